// commands/nk_result_animation.cpp -- single-step and series loads of older
// native scalar and vector files (see nk_result_animation.h).
//
// The scalar and vector loads differ only in their reader, their texts and
// how a step's result is made ready for its frame, so one template over a
// kind record (ScalarKind, VectorKind) serves both. Failures inside a series
// go to the internal trace under the command's own name and leave only that
// frame without a result.
#include "commands/nk_result_animation.h"

#include "commands/nk_command.h"
#include "core/nk_apply_results.h"
#include "core/nk_bbox.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_progress.h"
#include "core/nk_string.h"
#include "core/nk_transform_tables.h"
#include "readers/nk_native_result_files.h"

namespace {

// The texts of one kind of result, in the order the loads use them.
struct KindTexts {
    const char *pszReadFunction;  // the single read, for the trace
    const char *pszFunction;      // the series load, for the trace
    const char *pszDefaultExtension;
    const char *pszReadingFile;    // status of a single read
    const char *pszComputing;      // status after it
    const char *pszReadError;      // "%s": the file
    const char *pszReadingSeries;  // progress of a series
    const char *pszReadingStep;    // "%d of %d": frame, frames
    const char *pszCancelled;
    const char *pszComputeError;
    const char *pszNullGeometry;
    const char *pszApplyError;
    const char *pszCompleted;
};

struct ScalarKind {
    typedef NKScalarResult Result;
    static const KindTexts texts;
    static Result *Read(const char *pszFile, int iStep, NKGeometry *pGeo)
    {
        return NKReadScalarFile(pszFile, iStep, pGeo);
    }
    static bool Apply(Result *pResult, int iFirst, int iLast)
    {
        return NKApplyScalarToFrames(pResult, iFirst, iLast);
    }
    static void Release(Result *pResult) { NKReleaseScalarResult(pResult); }
    static Result **Slot(NKFrame *pFrame) { return &pFrame->pScalar; }
    static int *StepCount() { return &g_pModel->iNumScalarSteps; }
    // The values are fitted to the parts before the colours are computed,
    // so that every node has a colour.
    static const char *Prepare(Result *pResult, NKGeometry *pGeo)
    {
        if (!NKFitScalarResultToGeometry(pGeo, pResult)) return texts.pszApplyError;
        if (!NKComputeScalarNodeValues(pGeo, pResult)) return texts.pszComputeError;
        return nullptr;
    }
    static void MergeRanges(const Result *pResult, int iFrame)
    {
        g_pModel->scalarMinMax.Merge(pResult->nodeMinMax, iFrame);
        g_pModel->elementMinMax.Merge(pResult->elementMinMax, iFrame);
    }
    static void ResetRanges() { NKResetScalarMinMax(); }
    static void Finish() {}
};

const KindTexts ScalarKind::texts = {"NKCommandReadScalar",
                                     "NKCommandAnimScalar",
                                     "scl",
                                     "Reading Scalar Results From File...",
                                     "Computing Scalar Results...",
                                     "Error reading scalar file %s.",
                                     "Reading Scalar Results...",
                                     "Reading Scalar Results, Step %d of %d...",
                                     "Animation of scalars cancelled.",
                                     "Error computing scalar information.",
                                     "Error applying scalar information to NULL geometry.",
                                     "Error applying scalar information.",
                                     "Completed animation setup of scalars."};

struct VectorKind {
    typedef NKVectorResult Result;
    static const KindTexts texts;
    static Result *Read(const char *pszFile, int iStep, NKGeometry *pGeo)
    {
        return NKReadVectorFile(pszFile, iStep, pGeo);
    }
    static bool Apply(Result *pResult, int iFirst, int iLast)
    {
        return NKApplyVectorToFrames(pResult, iFirst, iLast);
    }
    static void Release(Result *pResult) { NKReleaseVectorResult(pResult); }
    static Result **Slot(NKFrame *pFrame) { return &pFrame->pVector; }
    static int *StepCount() { return &g_pModel->iNumVectorSteps; }
    static const char *Prepare(Result *pResult, NKGeometry *pGeo)
    {
        if (!NKComputeVectorLengthRange(pResult)) return texts.pszComputeError;
        if (!NKComputeDisplacedCoordinates(pGeo, pResult, NKGetResultScaleFactor(0)))
            return texts.pszApplyError;
        return nullptr;
    }
    static void MergeRanges(const Result *pResult, int iFrame)
    {
        g_pModel->vectorMinMax.Merge(pResult->lengthMinMax, iFrame);
    }
    static void ResetRanges() { NKResetVectorMinMax(); }
    static void Finish() { NKComputeFrameBoundingBoxes(-1, false, true); }
};

const KindTexts VectorKind::texts = {"NKCommandReadVector",
                                     "NKCommandAnimVector",
                                     "vec",
                                     "Reading Vector Results From File...",
                                     "Computing Vector Results...",
                                     "Error reading vector file %s.",
                                     "Reading Vector Results...",
                                     "Reading Vector Results, Step %d of %d...",
                                     "Animation of vectors cancelled.",
                                     "Error computing vector information.",
                                     "Error applying vector information to NULL geometry.",
                                     "Error applying vector information.",
                                     "Completed animation setup of vectors."};

// The step's matrices and viewpoint for a frame that has a geometry.
void ApplyStepTables(NKFrame *pFrame, int iStep)
{
    if (pFrame->pGeometry == nullptr) return;
    g_TransformationTable.ApplyToFrame(pFrame, iStep);
    g_ViewPointTable.ApplyToFrame(pFrame, iStep);
}

template <class K>
bool ReadOneStep(const char *pszFileName, int iStep)
{
    if (pszFileName == nullptr)
        return NKDiagnostic("NULL pointer passed", K::texts.pszReadFunction);
    NKSetStatusText(K::texts.pszReadingFile);
    NKFrame *pFirst = NKGetFrame(0);
    typename K::Result *pResult =
        K::Read(pszFileName, iStep, pFirst != nullptr ? pFirst->pGeometry : nullptr);
    if (pResult == nullptr) {
        NKPrintError(NKString::FromFormat(K::texts.pszReadError, pszFileName).GetText());
        return false;
    }
    // Only now that the step is in hand does the model give up its frames,
    // its animation and the extremes of the results it replaces: a file that
    // cannot be read leaves them all as they were.
    if (pFirst == nullptr) {
        K::Release(pResult);
        return false;
    }
    if (g_pModel->animationType != 0) ExecuteCommand("noanim");
    K::ResetRanges();
    if (!NKSetFrameCount(1, false)) {
        K::Release(pResult);
        return false;
    }
    NKSetStatusText(K::texts.pszComputing);
    ApplyStepTables(&g_pModel->pFrames[0], iStep);
    return K::Apply(pResult, 0, g_pModel->iNumFrames - 1);
}

// Where the steps of a series come from: one file, or numbered files
// prefix001.extension, prefix002.extension, ...
struct StepFiles {
    NKString fileName;
    bool bNumbered = false;
    NKString prefix;
    NKString extension;

    StepFiles(const char *pszFileName, const char *pszDefaultExtension) : fileName(pszFileName)
    {
        int iStar = fileName.FindChar('*');
        if (iStar < 0) return;
        bNumbered = true;
        prefix = fileName.Left(iStar);
        NKString rest = fileName.Substring(iStar + 1);
        int iDot = rest.FindChar('.', rest.GetLength() - 1, false);
        extension = iDot >= 0 ? rest.Substring(iDot + 1) : NKString();
        if (extension.IsEmpty()) extension = pszDefaultExtension;
    }
    // The file of step s (1-based) and the step to read in it.
    NKString FileOf(int s, int *piStepInFile) const
    {
        *piStepInFile = bNumbered ? 0 : s - 1;
        if (!bNumbered) return fileName;
        return NKString::FromFormat("%s%03d.%s", prefix.GetText(), s, extension.GetText());
    }
};

void NameFrame(NKFrame *pFrame, int s)
{
    const NKStringList *pNames = NKGetNativeStepNames();
    const char *pszName = pNames != nullptr ? pNames->Get(s - 1) : nullptr;
    pFrame->szDescription =
        pszName != nullptr ? NKString(pszName) : NKString::FromFormat("Step: %d", s);
    pFrame->fTime = static_cast<float>(s);
}

// Step s into frame i; false (the frame then holds no result) when it cannot
// be read or made ready for the frame's geometry.
template <class K>
bool LoadStep(const StepFiles &files, int i, int s)
{
    NKFrame *pFrame = &g_pModel->pFrames[i];
    typename K::Result **ppSlot = K::Slot(pFrame);
    int iStepInFile = 0;
    NKString file = files.FileOf(s, &iStepInFile);
    typename K::Result *pResult = K::Read(file.GetText(), iStepInFile, pFrame->pGeometry);
    const char *pszFailure = nullptr;
    if (pResult == nullptr) {
        NKDiagnostic(NKString::FromFormat(K::texts.pszReadError, file.GetText()).GetText(),
                     K::texts.pszFunction);
    } else if (pFrame->pGeometry == nullptr) {
        pszFailure = K::texts.pszNullGeometry;
    } else {
        pszFailure = K::Prepare(pResult, pFrame->pGeometry);
    }
    if (pszFailure != nullptr) NKDiagnostic(pszFailure, K::texts.pszFunction);
    K::Release(*ppSlot);
    *ppSlot = nullptr;
    if (pResult == nullptr || pszFailure != nullptr) {
        if (pResult != nullptr) K::Release(pResult);
        return false;
    }
    *ppSlot = pResult;
    pResult->iNumRef++;
    K::MergeRanges(pResult, i);
    return true;
}

template <class K>
bool AnimateSteps(const char *pszFileName, int iFirst, int iLast, int iIncrement)
{
    if (pszFileName == nullptr || g_pModel == nullptr || g_pModel->pFrames == nullptr ||
        g_pModel->iNumFrames < 1 || iFirst <= 0 || iLast <= iFirst || iIncrement < 1)
        return false;
    int n = (iLast - iFirst) / iIncrement + 1;
    if (!NKSetFrameCount(n, false))
        return NKDiagnostic("Error reallocating frames.", K::texts.pszFunction);
    StepFiles files(pszFileName, K::texts.pszDefaultExtension);
    NKBeginProgress(n, K::texts.pszReadingSeries, true, true);
    int iTaken = 0;
    for (int i = 0; i < n; i++) {
        NKSetProgress(i, NKString::FromFormat(K::texts.pszReadingStep, i + 1, n).GetText());
        if (NKCheckCancel()) {
            NKEndProgress(K::texts.pszCancelled, true, true);
            NKSetFrameCount(1, false);
            K::Finish();
            return false;
        }
        int s = iFirst + i * iIncrement;
        NKFrame *pFrame = &g_pModel->pFrames[i];
        NameFrame(pFrame, s);
        if (LoadStep<K>(files, i, s)) iTaken++;
        ApplyStepTables(pFrame, s - 1);
    }
    NKEndProgress(K::texts.pszCompleted, true, true);
    *K::StepCount() = iTaken;
    K::Finish();
    return true;
}

}  // namespace

bool NKCommandReadScalar(const char *pszFileName, int iStep)
{
    return ReadOneStep<ScalarKind>(pszFileName, iStep);
}

bool NKCommandReadVector(const char *pszFileName, int iStep)
{
    return ReadOneStep<VectorKind>(pszFileName, iStep);
}

bool NKCommandAnimScalar(const char *pszFileName, int iFirst, int iLast, int iIncrement)
{
    return AnimateSteps<ScalarKind>(pszFileName, iFirst, iLast, iIncrement);
}

bool NKCommandAnimVector(const char *pszFileName, int iFirst, int iLast, int iIncrement)
{
    return AnimateSteps<VectorKind>(pszFileName, iFirst, iLast, iIncrement);
}
