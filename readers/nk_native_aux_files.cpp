// readers/nk_native_aux_files.cpp -- the transformation, RGB and view file
// readers (formats and contracts in nk_native_aux_files.h).
//
// Each file is read whole into memory and scanned word by word with the
// locale-free number scanners of nkf/nkf_stream.h, which take blanks, tabs,
// commas, CR and LF as separators and refuse a word that is not one number
// ("1.5x", "abc"). The files are small next to the models they belong to.
#include "readers/nk_native_aux_files.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/nk_diagnostic.h"
#include "core/nk_file_read.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_string.h"
#include "core/nk_text_utils.h"

namespace {

// Numbers of a transformation matrix and of a viewpoint in the files.
const int kNumbersPerMatrix = 12;
const int kNumbersPerViewPoint = 9;
// The texture coordinate of every colour of an RGB result.
const float kRgbTexCoord = 0.001f;

void PrintFileError(const char *pszFormat, const char *pszFileName)
{
    NKPrintError(NKString::FromFormat(pszFormat, pszFileName).GetText());
}

// The bytes from the cursor to the end of the text.
int64_t BytesLeft(const std::string &text, const char *pCursor)
{
    return static_cast<int64_t>(text.size()) - (pCursor - text.c_str());
}

// Whether iCount groups of iPerGroup numbers could still follow: each
// number takes at least one character and all but the last a separator
// after it. Divides instead of multiplying, so no count can overflow.
bool NumbersFit(const std::string &text, const char *pCursor, int64_t iCount, int iPerGroup)
{
    return iCount >= 0 && iCount <= (BytesLeft(text, pCursor) + 1) / 2 / iPerGroup;
}

bool ScanInt(const char **ppCursor, int *piValue)
{
    int32_t iValue = 0;
    if (NKScanIntWord(ppCursor, &iValue) != NK_WORD_NUMBER) return false;
    *piValue = iValue;
    return true;
}

bool ScanFloats(const char **ppCursor, float *pfValues, int n)
{
    for (int i = 0; i < n; i++) {
        if (NKScanFloatWord(ppCursor, &pfValues[i]) != NK_WORD_NUMBER) return false;
    }
    return true;
}

// Twelve numbers into a column-ordered 4x4 matrix: three rotation columns,
// then the translation.
bool ScanMatrix(const char **ppCursor, float *m)
{
    float r[kNumbersPerMatrix];
    if (!ScanFloats(ppCursor, r, kNumbersPerMatrix)) return false;
    for (int c = 0; c < 3; c++) {
        for (int k = 0; k < 3; k++) m[4 * c + k] = r[3 * c + k];
        m[4 * c + 3] = 0.0f;
    }
    for (int k = 0; k < 3; k++) m[12 + k] = r[9 + k];
    m[15] = 1.0f;
    return true;
}

// The translation of m moved into display coordinates: the model is
// rotated about the model origin, while display coordinates are taken about
// the centre c and scaled by s per axis and by fGeoScale g, so the centre's
// own rotation (m c, with each component scaled by its axis) moves the
// translation as well.
void TranslationToDisplay(float *m)
{
    const double c[3] = {g_pModel->fCenterX, g_pModel->fCenterY, g_pModel->fCenterZ};
    const double s[3] = {g_pModel->fAxisScale[0], g_pModel->fAxisScale[1], g_pModel->fAxisScale[2]};
    const double g = g_pModel->fGeoScale;
    double sc[3];
    for (int k = 0; k < 3; k++) sc[k] = s[k] * c[k];
    double t[3];
    for (int k = 0; k < 3; k++) {
        double dOwn = (m[12 + k] - c[k] + m[5 * k] * c[k]) * s[k];
        double dOthers = 0.0;
        for (int j = 0; j < 3; j++) {
            if (j != k) dOthers += m[4 * j + k] * sc[j];
        }
        t[k] = (dOwn + dOthers) * g;
    }
    for (int k = 0; k < 3; k++) m[12 + k] = static_cast<float>(t[k]);
}

bool DisplayTransformSet(void)
{
    return g_pModel != nullptr && g_pModel->fGeoScale != NK_GEO_SCALE_UNSET;
}

}  // namespace

// ---- Transformation file --------------------------------------------------------

float *NKReadTransformationFile(const char *pszFileName, int *piNumSteps, int *piNumParts)
{
    if (pszFileName == nullptr || piNumSteps == nullptr || piNumParts == nullptr) {
        NKDiagnostic("NULL pointer passed", "NKReadTransformationFile");
        return nullptr;
    }
    *piNumSteps = 0;
    *piNumParts = 0;
    std::string text;
    if (!NKReadWholeFile(pszFileName, &text)) {
        PrintFileError("Error opening transformation file %s", pszFileName);
        return nullptr;
    }
    const char *pCursor = text.c_str();
    int iSteps = 0, iParts = 0;
    bool bHeader =
        ScanInt(&pCursor, &iSteps) && ScanInt(&pCursor, &iParts) && iSteps > 0 && iParts > 0;
    int64_t iNumMatrices = static_cast<int64_t>(iSteps) * iParts;
    if (!bHeader || !NumbersFit(text, pCursor, iNumMatrices, kNumbersPerMatrix)) {
        PrintFileError("Error reading transformation matrices from file %s", pszFileName);
        return nullptr;
    }
    float *pMatrices = static_cast<float *>(NKAlloc(iNumMatrices * 16 * sizeof(float)));
    if (pMatrices == nullptr) {
        NKPrintError("Error allocating memory for transformations.");
        return nullptr;
    }
    bool bConvert = DisplayTransformSet();
    for (int64_t i = 0; i < iNumMatrices; i++) {
        float *m = &pMatrices[16 * i];
        if (!ScanMatrix(&pCursor, m)) {
            PrintFileError("Error reading transformation matrices from file %s", pszFileName);
            NKFree(pMatrices);
            return nullptr;
        }
        if (bConvert) TranslationToDisplay(m);
    }
    *piNumSteps = iSteps;
    *piNumParts = iParts;
    return pMatrices;
}

// ---- RGB file ----------------------------------------------------------------------

namespace {

uint8_t ClampByte(int iValue) { return static_cast<uint8_t>(std::min(255, std::max(0, iValue))); }

// One colour per line of the text, three bytes each; black for a line that
// does not begin with three whole numbers.
std::vector<uint8_t> ParseColorLines(const std::string &text)
{
    std::vector<uint8_t> colors;
    size_t iStart = 0;
    while (iStart < text.size()) {
        size_t iEnd = text.find('\n', iStart);
        if (iEnd == std::string::npos) iEnd = text.size();
        std::string line = text.substr(iStart, iEnd - iStart);
        const char *pCursor = line.c_str();
        int rgb[3] = {0, 0, 0};
        bool bOk =
            ScanInt(&pCursor, &rgb[0]) && ScanInt(&pCursor, &rgb[1]) && ScanInt(&pCursor, &rgb[2]);
        for (int k = 0; k < 3; k++) colors.push_back(bOk ? ClampByte(rgb[k]) : 0);
        iStart = iEnd + 1;
    }
    return colors;
}

// Fills the entry of a part from the colours of its nodes' lines.
bool FillColorEntry(NKScalarPartEntry *pEntry, const NKPart &part,
                    const std::vector<uint8_t> &colors)
{
    int n = part.iNumNodes;
    pEntry->pNodeValues = static_cast<float *>(NKAlloc(n * sizeof(float)));
    pEntry->pTexCoords = static_cast<float *>(NKAlloc(n * sizeof(float)));
    pEntry->pColors = static_cast<uint8_t *>(NKAlloc(3 * static_cast<size_t>(n)));
    if (pEntry->pNodeValues == nullptr || pEntry->pTexCoords == nullptr ||
        pEntry->pColors == nullptr)
        return false;
    pEntry->iCount = n;
    int64_t iNumLines = static_cast<int64_t>(colors.size() / 3);
    for (int j = 0; j < n; j++) {
        int iLine = part.pNodeMap[j];
        uint8_t *pColor = &pEntry->pColors[3 * j];
        pColor[0] = pColor[1] = pColor[2] = 0;
        if (iLine >= 0 && iLine < iNumLines) std::copy_n(&colors[3 * iLine], 3, pColor);
        pEntry->pNodeValues[j] =
            static_cast<float>((pColor[0] * 256 + pColor[1]) * 256 + pColor[2]);
        pEntry->pTexCoords[j] = kRgbTexCoord;
    }
    return true;
}

}  // namespace

NKScalarResult *NKReadRgbFile(const char *pszFileName, NKGeometry *pGeo)
{
    if (pszFileName == nullptr || pGeo == nullptr) {
        NKDiagnostic("NULL pointer passed", "NKReadRgbFile");
        return nullptr;
    }
    std::string text;
    if (!NKReadWholeFile(pszFileName, &text)) {
        PrintFileError("Unable to open rgb file %s", pszFileName);
        return nullptr;
    }
    std::vector<uint8_t> colors = ParseColorLines(text);
    NKScalarResult *pResult = NKCreateScalarResult();
    int n = pGeo->iNumParts;
    bool bOk = pResult != nullptr;
    if (bOk && n > 0) {
        pResult->pNodeResults =
            static_cast<NKScalarPartEntry *>(NKCalloc(n, sizeof(NKScalarPartEntry)));
        bOk = pResult->pNodeResults != nullptr;
    }
    if (bOk) {
        pResult->iNumParts = n;
        pResult->iStepNumber = 0;
        pResult->iNumStepsInFile = 1;
        pResult->szFileName = pszFileName;
        for (int p = 0; p < n; p++) NKInitScalarPartEntry(&pResult->pNodeResults[p]);
    }
    for (int p = 0; bOk && p < n; p++) {
        const NKPart &part = pGeo->pParts[p];
        if (part.pNodeMap != nullptr && part.iNumNodes > 0)
            bOk = FillColorEntry(&pResult->pNodeResults[p], part, colors);
    }
    if (!bOk) {
        NKPrintError("Error allocating memory.");
        NKReleaseScalarResult(pResult);
        return nullptr;
    }
    return pResult;
}

// ---- View file --------------------------------------------------------------------

NKViewPoint *NKReadViewFile(const char *pszFileName, int *piNumSteps)
{
    if (pszFileName == nullptr || piNumSteps == nullptr) {
        NKDiagnostic("NULL pointer passed", "NKReadViewFile");
        return nullptr;
    }
    *piNumSteps = 0;
    std::string text;
    if (!NKReadWholeFile(pszFileName, &text)) {
        PrintFileError("Error opening view file %s", pszFileName);
        return nullptr;
    }
    const char *pCursor = text.c_str();
    int n = 0;
    if (!ScanInt(&pCursor, &n)) {
        PrintFileError("Error reading view file %s", pszFileName);
        return nullptr;
    }
    if (n <= 0) {
        NKPrintError("Error reading view file. Number of steps <= 0");
        return nullptr;
    }
    if (!NumbersFit(text, pCursor, n, kNumbersPerViewPoint)) {
        NKPrintError("Error reading viewpoints.");
        return nullptr;
    }
    NKViewPoint *pViews = static_cast<NKViewPoint *>(NKCalloc(n, sizeof(NKViewPoint)));
    if (pViews == nullptr) {
        NKPrintError("Error allocating memory for viewpoints.");
        return nullptr;
    }
    for (int i = 0; i < n; i++) {
        NKViewPoint *pView = &pViews[i];
        NKInitViewPoint(pView);
        if (!ScanFloats(&pCursor, pView->eye, 3) || !ScanFloats(&pCursor, pView->vrp, 3) ||
            !ScanFloats(&pCursor, pView->vup, 3)) {
            NKPrintError("Error reading viewpoints.");
            NKFree(pViews);
            return nullptr;
        }
    }
    *piNumSteps = n;
    return pViews;
}
