// platform/nk_font_outline.h -- the filled outline of one character of a
// font face, for the solid 3-D glyphs that render/ tessellates and extrudes.
//
// The outline is given in em units (the character height is 1), y up from
// the baseline, curves flattened to line segments. Each contour is a closed
// loop given once (its last point is not repeated). The face's own winding
// holds: the filled area is where the non-zero winding rule says. Like the
// bitmap fonts (nk_font_raster.h), "arial" in any case is Liberation Sans and
// DejaVu Sans stands in for a face the system lacks. The implementation is
// Qt's QRawFont (nk_font_outline.cpp); it needs the GUI application object,
// which needs a display.
#pragma once

#include <vector>

struct NKGlyphOutline {
    // Each contour is x0, y0, x1, y1, ... in em units.
    std::vector<std::vector<float>> contours;
    // The horizontal advance of the character in em units.
    float fAdvance = 0.0f;
};

// Fills pOut with the outline of character c (Latin-1) of pszFace. False,
// with pOut emptied, when no GUI application can be made, the face has no
// glyph for c, or the glyph has no outline (the blank).
bool NKGetGlyphOutline(const char *pszFace, int c, NKGlyphOutline *pOut);
