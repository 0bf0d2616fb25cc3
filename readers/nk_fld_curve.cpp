// readers/nk_fld_curve.cpp -- the forming-limit curve file (see
// nk_fld_curve.h).
#include "readers/nk_fld_curve.h"

#include <cstdio>

#include "core/nk_file_read.h"
#include "core/nk_message.h"

FLDCurve g_FLDCurve;

namespace {

// The path with its file-name part replaced; '/' joins it to the directory.
NKString WithFileName(const NKString &path, const NKString &name)
{
    NKString dir = path.GetDirectory();
    return dir.IsEmpty() ? name : dir + "/" + name;
}

FILE *OpenWithRetries(const NKString &path, bool bDefault, NKString *pOpened)
{
    NKString lower = path.GetFileName();
    lower.MakeLower();
    NKString tries[3] = {path, WithFileName(path, lower), WithFileName(path, "Fld")};
    for (int i = 0; i < (bDefault ? 3 : 2); i++) {
        FILE *pFile = NKOpenRegularFile(tries[i].GetText());
        if (pFile != nullptr) {
            *pOpened = tries[i];
            return pFile;
        }
    }
    return nullptr;
}

}  // namespace

void NKFLDCurveInit(FLDCurve *pCurve)
{
    pCurve->points.clear();
    pCurve->szFileName = "FLD";
}

void NKFLDCurveClear(FLDCurve *pCurve) { pCurve->points.clear(); }

bool NKFLDCurveRead(FLDCurve *pCurve)
{
    NKString path = pCurve->szFileName;
    bool bDefault = path.IsBlank() || path.GetFileName() == "FLD";
    if (path.IsBlank()) path = "FLD";
    NKString opened;
    FILE *pFile = OpenWithRetries(path, bDefault, &opened);
    if (pFile == nullptr) {
        NKFLDCurveClear(pCurve);
        NKPrintError("Error opening FLD file.");
        return false;
    }
    int c;
    while ((c = fgetc(pFile)) != EOF && c != '\n') {
    }
    int n = 0;
    bool bOk = fscanf(pFile, "%d", &n) == 1 && n > 0;
    NKFLDCurveClear(pCurve);
    for (int i = 0; bOk && i < n / 2; i++) {
        float a, b;
        bOk = fscanf(pFile, "%f %f", &a, &b) == 2;
        if (bOk) pCurve->points.insert(pCurve->points.end(), {a, b});
    }
    bOk = bOk && !ferror(pFile);
    fclose(pFile);
    if (!bOk) {
        NKFLDCurveClear(pCurve);
        NKPrintError("Error reading FLD file.");
        return false;
    }
    pCurve->szFileName = opened;
    return true;
}

float NKFLDCurveMajorAt(const FLDCurve &curve, float fMinor)
{
    int n = curve.NumPoints();
    if (n == 0) return 0.0f;
    const float *p = curve.points.data();
    if (fMinor <= p[0]) return p[1];
    for (int i = 0; i + 1 < n; i++) {
        float x0 = p[2 * i], x1 = p[2 * i + 2];
        if (fMinor > x1) continue;
        if (x1 == x0) return p[2 * i + 1];
        return p[2 * i + 1] + (fMinor - x0) / (x1 - x0) * (p[2 * i + 3] - p[2 * i + 1]);
    }
    return p[2 * n - 1];
}
