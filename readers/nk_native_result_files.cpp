// readers/nk_native_result_files.cpp -- the scalar and vector file reads and
// the step-name table of the older native file set (see
// nk_native_result_files.h).
//
// A binary file is read as its header and then only the bytes of the step
// asked for, after the header's counts were checked against the file's size.
// An ASCII file is read whole. Both give the file's node values, which are
// then picked for each part through its node map.
#include "readers/nk_native_result_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/nk_file.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_render_state.h"
#include "core/nk_text_utils.h"
#include "readers/nk_native_file_utils.h"

uint8_t bFreqResultsScalar = 0;
uint8_t bFreqResultsVector = 0;
float g_fPhaseAngle = 0.0f;
uint8_t g_bComplexMagnitude = 1;
uint8_t g_bFringeDisplacements = 0;

namespace {

// Owned for the whole run, so the names go at exit as well.
std::unique_ptr<NKStringList> sg_pStepNames;

// The texts of one kind of result file.
struct FileKind {
    const char *pszNullGeometry;
    const char *pszOpen;
    const char *pszWrongFormat;
    const char *pszOneStep;
    const char *pszStepMissing;
    uint8_t *pbComplexFlag;
    const char *pszResult;  // the result's name in the warning of values that are no number
};

const FileKind kScalarKind = {"Unable to map scalar to NULL geometry.",
                              "Unable to open scalar file %s",
                              "Wrong scalar file format in %s",
                              "Scalar file contains 1 step only.",
                              "Error reading step %d from scalar file %s, contains %d steps only.",
                              &bFreqResultsScalar,
                              "scalar"};
const FileKind kVectorKind = {"Unable to map vector to NULL geometry.",
                              "Unable to open vector file %s",
                              "Wrong vector file format in %s",
                              "Vector file contains 1 step only.",
                              "Error reading step %d from vector file %s, contains %d steps only.",
                              &bFreqResultsVector,
                              "vector"};

// One step of a file: iValues values of iFloats floats each.
struct StepData {
    bool bComplex = false;
    int iStep = 0;
    int iStepsInFile = 1;
    int iValues = 0;
    std::vector<float> floats;
    size_t iNumbersRead = 0;  // of a text file: before its numbers ran out
};

void PrintFile(const char *pszFormat, const char *pszFileName)
{
    NKPrintError(NKString::FromFormat(pszFormat, pszFileName).GetText());
}

// Floats per value of a binary file: iPlain for real data, iComplex else.
bool ReadBinaryStep(FILE *pFile, const char *pszFileName, int iStep, int iPlain, int iComplex,
                    const FileKind &kind, StepData *pData)
{
    std::string head;
    head.resize(12);
    size_t n = std::fread(&head[0], 1, 12, pFile);
    head.resize(n);
    bool bSwap = false;
    int h[3] = {0, 0, 0};
    if (!NKDecideByteOrder(head, &bSwap)) {
        PrintFile(kind.pszWrongFormat, pszFileName);
        return false;
    }
    NKWordReader words(head, bSwap);
    if (!words.Ints(h, 3)) {
        PrintFile("Error reading from file %s", pszFileName);
        return false;
    }
    std::fseek(pFile, 0, SEEK_END);
    int64_t iDataWords = (static_cast<int64_t>(std::ftell(pFile)) - 12) / 4;
    pData->bComplex = h[0] == 2;
    int iPer = pData->bComplex ? iComplex : iPlain;
    int64_t iValues = pData->bComplex ? h[2] / 2 : h[2];
    // Floats per step first: steps x floats can pass 2^63 for large words.
    int64_t iStepWords = iValues * iPer;
    if ((h[0] != 1 && h[0] != 2) || (pData->bComplex && h[2] % 2 != 0) || h[1] < 0 || h[2] < 0 ||
        iStepWords > iDataWords || (iStepWords > 0 && h[1] > iDataWords / iStepWords)) {
        PrintFile(kind.pszWrongFormat, pszFileName);
        return false;
    }
    *kind.pbComplexFlag = pData->bComplex ? 1 : 0;
    if (iStep >= h[1]) {
        if (h[1] != 1) {
            NKPrintError(
                NKString::FromFormat(kind.pszStepMissing, iStep + 1, pszFileName, h[1]).GetText());
            return false;
        }
        NKPrintInfo(kind.pszOneStep);
        iStep = 0;
    }
    pData->iStep = iStep;
    pData->iStepsInFile = h[1];
    pData->iValues = static_cast<int>(iValues);
    size_t iFloats = static_cast<size_t>(iValues) * static_cast<size_t>(iPer);
    pData->floats.resize(iFloats);
    long iOffset =
        static_cast<long>(12 + 4 * static_cast<int64_t>(iStep) * static_cast<int64_t>(iFloats));
    if (std::fseek(pFile, iOffset, SEEK_SET) != 0 ||
        std::fread(pData->floats.data(), 4, iFloats, pFile) != iFloats) {
        PrintFile("Error reading from file %s", pszFileName);
        return false;
    }
    if (bSwap) SwapBytes(pData->floats.data(), 4, static_cast<int64_t>(iFloats));
    return true;
}

// One step of iValues values of iPer numbers; a number that cannot be read
// is undefined, one beyond the finite floats (NaN, infinities) is kept. False when the text holds
// no digit at all (an empty file, or words only): such a file is no result file, and reading it as
// every value undefined would report a damaged file as read.
bool ReadTextStep(const std::string &text, int iValues, int iPer, StepData *pData)
{
    if (text.find_first_of("0123456789") == std::string::npos) return false;
    pData->iValues = iValues;
    pData->floats.assign(static_cast<size_t>(iValues) * static_cast<size_t>(iPer),
                         NK_UNDEFINED_VALUE);
    const char *pCursor = text.c_str();
    pData->iNumbersRead = 0;
    for (float &f : pData->floats) {
        const char *pWord = pCursor;
        NKWordScan scan = NKScanFloatWord(&pCursor, &f);
        if (scan == NK_WORD_MISSING) break;
        if (scan == NK_WORD_ILLEGAL && !NKNonFiniteFloatWord(pWord, &f)) f = NK_UNDEFINED_VALUE;
        pData->iNumbersRead++;
    }
    return true;
}

// One warning naming a text file that ends before the model's numbers do
// (one per node, or three for vectors without a one-component mode): the
// values it lacks are undefined.
void WarnShortText(const char *pszFileName, const FileKind &kind, const StepData &data)
{
    if (data.iNumbersRead >= data.floats.size()) return;
    NKPrintWarning(NKString::FromFormat("The %s file %s holds %zu numbers where the model needs "
                                        "%zu; the values it lacks are undefined.",
                                        kind.pszResult, pszFileName, data.iNumbersRead,
                                        data.floats.size())
                       .GetText());
}

// One warning naming the file, the result and the step when values of the
// step are NaN or minus infinity; they stay as read here, and the results
// made from them take them as undefined values.
void WarnNotNumbers(const char *pszFileName, const FileKind &kind, const StepData &data)
{
    int64_t iCount = 0;
    int64_t iFirst = NKFirstNaNOrMinusInf(data.floats.data(), (int64_t)data.floats.size(), &iCount);
    if (iFirst < 0) return;
    NKPrintWarning(
        NKString::FromFormat("The %s result of file %s, step %d: NaN or -inf values: "
                             "%lld, the first is value %lld; they count as undefined values.",
                             kind.pszResult, pszFileName, data.iStep + 1, (long long)iCount,
                             (long long)iFirst + 1)
            .GetText());
}

bool ReadStep(const char *pszFileName, int iStep, const NKGeometry *pGeo, int iPlain, int iComplex,
              const FileKind &kind, StepData *pData)
{
    if (pGeo == nullptr) {
        NKPrintError(kind.pszNullGeometry);
        return false;
    }
    if (iStep < 0) {
        NKPrintError(NKString::FromFormat("Error in step number: %d", iStep + 1).GetText());
        return false;
    }
    std::string path = pszFileName != nullptr ? pszFileName : "";
    for (char &c : path)
        if (c == '\\') c = '/';
    std::string why;
    FILE *pFile = NKOpenRegularFile(path.c_str(), &why);
    if (pFile == nullptr) {
        PrintFile(kind.pszOpen, path.c_str());
        NKPrintFileProblem(path.c_str(), why.c_str());
        return false;
    }
    std::string head;
    head.resize(1024);
    head.resize(std::fread(&head[0], 1, 1024, pFile));
    std::rewind(pFile);
    bool bOk = true;
    if (NKIsBinaryText(head)) {
        bOk = ReadBinaryStep(pFile, pszFileName, iStep, iPlain, iComplex, kind, pData);
        std::fclose(pFile);
        if (bOk) WarnNotNumbers(path.c_str(), kind, *pData);
        return bOk;
    }
    std::fclose(pFile);
    std::string text;
    if (!NKReadWholeFile(path.c_str(), &text, &why) ||
        !ReadTextStep(text, pGeo->iGlobalNumNodes, iPlain, pData)) {
        PrintFile(kind.pszWrongFormat, path.c_str());
        NKPrintFileProblem(path.c_str(), why.empty()
                                             ? (text.empty() ? "it is empty" : "it holds no number")
                                             : why.c_str());
        return false;
    }
    *kind.pbComplexFlag = 0;
    WarnShortText(path.c_str(), kind, *pData);
    WarnNotNumbers(path.c_str(), kind, *pData);
    return true;
}

// A complex value (re, im) as the modes ask.
float ComplexValue(float re, float im)
{
    if (g_bComplexMagnitude) return std::sqrt(re * re + im * im);
    return re * std::cos(g_fPhaseAngle) - im * std::sin(g_fPhaseAngle);
}

// The file values of the step, one float per node (scalars).
std::vector<float> ScalarValues(const StepData &data)
{
    std::vector<float> values(static_cast<size_t>(data.iValues));
    const float *f = data.floats.data();
    for (size_t i = 0; i < values.size(); i++) {
        if (data.bComplex) {
            values[i] = ComplexValue(f[2 * i], f[2 * i + 1]);
        } else if (g_bFringeDisplacements) {
            const float *v = &f[3 * i];
            bool bUndefined = v[0] > 2.99e38f || v[1] > 2.99e38f || v[2] > 2.99e38f;
            values[i] = bUndefined ? NK_UNDEFINED_VALUE
                                   : std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        } else {
            values[i] = f[i];
        }
    }
    return values;
}

// The component a one-value-per-node vector file fills (x before y before
// z when several modes are on); -1 when no one-component mode is on.
int OneComponent(void)
{
    for (int k = 0; k < 3; k++)
        if (g_uOneComponentVector[k] != 0) return k;
    return -1;
}

// The file vectors of the step, three floats per node.
std::vector<float> VectorValues(const StepData &data)
{
    std::vector<float> values(3 * static_cast<size_t>(data.iValues), 0.0f);
    const float *f = data.floats.data();
    const int iSingle = OneComponent();
    for (size_t i = 0; i < static_cast<size_t>(data.iValues); i++) {
        if (data.bComplex) {
            for (int k = 0; k < 3; k++)
                values[3 * i + k] = ComplexValue(f[6 * i + 2 * k], f[6 * i + 2 * k + 1]);
        } else if (iSingle >= 0) {
            values[3 * i + static_cast<size_t>(iSingle)] = f[i];
        } else {
            std::memcpy(&values[3 * i], &f[3 * i], 3 * sizeof(float));
        }
    }
    return values;
}

template <typename T>
T *AllocArray(size_t n)
{
    return static_cast<T *>(NKAlloc((n > 0 ? n : 1) * sizeof(T)));
}

// What differs between a scalar and a vector result built from file values:
// its record, its part entries and how a node's values count in its extremes.
struct ScalarFileResult {
    using Result = NKScalarResult;
    using Entry = NKScalarPartEntry;
    static constexpr size_t kWidth = 1;
    static Result *Create() { return NKCreateScalarResult(); }
    static void Release(Result *r) { NKReleaseScalarResult(r); }
    static Entry *&Entries(Result *r) { return r->pNodeResults; }
    static void InitEntry(Entry *e) { NKInitScalarPartEntry(e); }
    static int &NodeCount(Entry *e) { return e->iCount; }
    static void Update(Result *r, const float *v, int p, int j)
    {
        if (v[0] <= 2.99e38f) r->nodeMinMax.Update(v[0], p, j, -1);
    }
};

struct VectorFileResult {
    using Result = NKVectorResult;
    using Entry = NKVectorPartEntry;
    static constexpr size_t kWidth = 3;
    static Result *Create() { return NKCreateVectorResult(); }
    static void Release(Result *r) { NKReleaseVectorResult(r); }
    static Entry *&Entries(Result *r) { return r->pResults; }
    static void InitEntry(Entry *e) { NKInitVectorPartEntry(e); }
    static int &NodeCount(Entry *e) { return e->iNumNodes; }
    static void Update(Result *r, const float *v, int p, int j)
    {
        if (v[0] <= 2.99e38f && v[1] <= 2.99e38f && v[2] <= 2.99e38f)
            r->lengthMinMax.Update(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]), p, j, -1);
    }
};

// The result of the step over the geometry's parts: each part node takes the
// file values of its global node, undefined where the file has none.
template <typename Kind>
typename Kind::Result *BuildResult(const std::vector<float> &values, const StepData &data,
                                   const NKGeometry *pGeo, const char *pszFileName)
{
    using Entry = typename Kind::Entry;
    const size_t w = Kind::kWidth;
    typename Kind::Result *r = Kind::Create();
    if (r == nullptr) return nullptr;
    r->iNumParts = pGeo->iNumParts;
    Kind::Entries(r) = static_cast<Entry *>(
        NKCalloc(static_cast<size_t>(pGeo->iNumParts > 0 ? pGeo->iNumParts : 1), sizeof(Entry)));
    bool bOk = Kind::Entries(r) != nullptr;
    size_t iFileNodes = values.size() / w;
    for (int p = 0; bOk && p < pGeo->iNumParts; p++) {
        const NKPart &part = pGeo->pParts[p];
        Entry *e = &Kind::Entries(r)[p];
        Kind::InitEntry(e);
        e->pNodeValues = AllocArray<float>(w * static_cast<size_t>(part.iNumNodes));
        bOk = e->pNodeValues != nullptr;
        Kind::NodeCount(e) = bOk ? part.iNumNodes : 0;
        for (int j = 0; bOk && j < part.iNumNodes; j++) {
            int g = part.pNodeMap != nullptr ? part.pNodeMap[j] : j;
            float *v = &e->pNodeValues[w * static_cast<size_t>(j)];
            if (g >= 0 && static_cast<size_t>(g) < iFileNodes)
                std::memcpy(v, &values[w * static_cast<size_t>(g)], w * sizeof(float));
            else
                std::fill(v, v + w, NK_UNDEFINED_VALUE);
            Kind::Update(r, v, p, j);
        }
    }
    if (!bOk) {
        Kind::Release(r);
        NKPrintError("Error allocating memory.");
        return nullptr;
    }
    r->iStepNumber = data.iStep;
    r->iNumStepsInFile = data.iStepsInFile;
    r->szFileName = pszFileName;
    return r;
}

}  // namespace

NKScalarResult *NKReadScalarFile(const char *pszFileName, int iStep, NKGeometry *pGeo)
{
    StepData data;
    int iPlain = g_bFringeDisplacements ? 3 : 1;
    if (!ReadStep(pszFileName, iStep, pGeo, iPlain, 2, kScalarKind, &data)) return nullptr;
    return BuildResult<ScalarFileResult>(ScalarValues(data), data, pGeo, pszFileName);
}

NKVectorResult *NKReadVectorFile(const char *pszFileName, int iStep, NKGeometry *pGeo)
{
    StepData data;
    const bool bSingle = OneComponent() >= 0;
    if (!ReadStep(pszFileName, iStep, pGeo, bSingle ? 1 : 3, 6, kVectorKind, &data)) return nullptr;
    return BuildResult<VectorFileResult>(VectorValues(data), data, pGeo, pszFileName);
}

const NKStringList *NKGetNativeStepNames(void) { return sg_pStepNames.get(); }

void NKSetNativeStepNames(NKStringList *pNames) { sg_pStepNames.reset(pNames); }
