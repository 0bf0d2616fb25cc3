// plot/nk_length_plot.h -- the length plot: a scalar result sampled along
// the surface path through the selection list (tools/nk_surface_path.h)
// against the length travelled, as a "Scalar vs. length." plot (kind 7),
// and the `lp` command that makes its curves.
#pragma once

#include <cstdint>

#include "tools/nk_surface_path.h"

class NKString;

// Curves made since the last new length plot.
extern int32_t g_iLengthCurveCount;

// Replaces the current plot by an empty length plot; false when it cannot
// be made.
bool NKStartLengthPlot(void);
// The samples of scalar iScalar (-1: the current frame's; else the data
// source's, 0-based) along the path: curve points and their positions
// (display coordinates) and the result's name. False when no curve can be
// made (no frame or part, no result, a part without values).
bool NKSampleScalarAlongPath(const NKSurfacePath &path, int iScalar, NKPathList<NKPlotPoint> *pXY,
                             NKPathList<NKPathPoint> *pPositions, NKString *pName);
// `lp` with the words after the command name: 1 prompt shown or curve made,
// 0 no curve, -2 not a command form.
int NKCommandLengthPlot(const char *pszText);
