// tools/nk_cut_plane.h -- the set of cutting planes, as far as the model core
// converts its plane points when the display transform changes.
#pragma once

// Placeholder: holds no planes until the cutting planes are built.
class CutPlaneSet {
public:
    // Placeholder: there are no plane points to convert yet; answers true.
    // Converts each plane's point to model coordinates (bToModel) or back to
    // display coordinates.
    static bool ConvertPoints(CutPlaneSet *pSet, bool bToModel);
};

// Placeholder: the program's set; null until start-up makes it.
extern CutPlaneSet *g_pCutPlaneSet;
