// readers/nk_fld_curve.h -- the forming-limit curve: (minor strain, major
// strain) points read from the small text file "FLD" that sits beside an
// LS-DYNA plot database. The FLD result of the LS-DYNA states
// (nk_lsdyna_states.cpp) divides a shell's major strain by the curve's major
// strain at its minor strain.
//
// File: line 1 any text; an integer N; then N / 2 pairs "minor major".
#pragma once

#include <vector>

#include "core/nk_string.h"

struct FLDCurve {
    std::vector<float> points;  // minor, major, in file order
    NKString szFileName = "FLD";
    int NumPoints() const { return (int)points.size() / 2; }
};

// The one curve of the program.
extern FLDCurve g_FLDCurve;

// No points, file name "FLD".
void NKFLDCurveInit(FLDCurve *pCurve);
// No points; the file name stays.
void NKFLDCurveClear(FLDCurve *pCurve);
// Reads the curve from its file name; when that cannot be opened, tries the
// file-name part in lower case and, for the default name, "Fld", in the same
// directory. "Error opening FLD file." / "Error reading FLD file." and false
// (the curve empty) on failure; on success the name opened is kept.
bool NKFLDCurveRead(FLDCurve *pCurve);
// The curve's major strain at a minor strain: the first point's below the
// curve, the last's above it, linear in between.
float NKFLDCurveMajorAt(const FLDCurve &curve, float fMinor);
