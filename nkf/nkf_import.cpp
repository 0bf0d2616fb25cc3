// nkf/nkf_import.cpp -- an NKF file as a data source: opening, the step
// table, names and counts, the geometry of a step, internal strings and
// closing (see nkf_import.h).
//
// The module keeps one parser and the step table of the open file. The step
// table takes its length from the largest step number of any step-carrying
// block and its names and times from the block with the most step entries.
// Parts are built in nkf_import_geometry.cpp, results in
// nkf_import_results.cpp; the scalar results come from the nkf command's
// builders (nkf_command.cpp).
#include "nkf/nkf_import.h"

#include <cfloat>
#include <new>
#include <utility>

#include "core/nk_diagnostic.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "nkf/nkf_command.h"
#include "nkf/nkf_commands_plots.h"
#include "nkf/nkf_geometry_block.h"
#include "nkf/nkf_parser.h"
#include "nkf/nkf_step_lists.h"
#include "nkf/nkf_texture.h"
#include "nkf/nkf_transformation_results.h"
#include "nkf/nkf_transformations.h"

namespace {

// More steps than this in one file are refused: the step table and every
// frame of an animation would be made for each of them.
const int kMaxFileSteps = NKF_MAX_STEP_NUMBER;

NKFParser *sg_pParser = nullptr;
int sg_iNumSteps = 0;
float *sg_pStepTimes = nullptr;
NKStringList *sg_pStepNames = nullptr;
int sg_iInterfaceType = 0;
int sg_iIesCount = 0;
int sg_iGeometryStep = -1;
float sg_FileViewpoint[9] = {FLT_MAX, 0, 0, 0, 0, 0, 0, 0, 0};

void FreeStepTable(void)
{
    NKFree(sg_pStepTimes);
    sg_pStepTimes = nullptr;
    delete sg_pStepNames;
    sg_pStepNames = nullptr;
    sg_iNumSteps = 0;
}

// The step entries of one block as the step table sees them.
struct StepList {
    const NKFBlock *pBlock = nullptr;
    int iCount = 0;
    int iLastNumber = 0;
    NKString (*pfnName)(const NKFBlock *, int) = nullptr;
    float (*pfnTime)(const NKFBlock *, int) = nullptr;
};

template <class B>
StepList MakeStepList(NKFBlock *pBlock)
{
    StepList list;
    B *pTyped = dynamic_cast<B *>(pBlock);
    if (pTyped == nullptr || !pBlock->LoadData()) return list;
    list.pBlock = pBlock;
    list.iCount = pTyped->GetNumSteps();
    list.iLastNumber = list.iCount > 0 ? pTyped->GetStepNumber(list.iCount - 1) : 0;
    list.pfnName = [](const NKFBlock *p, int i) {
        return static_cast<const B *>(p)->GetStepName(i);
    };
    list.pfnTime = [](const NKFBlock *p, int i) {
        return static_cast<const B *>(p)->GetStepTime(i);
    };
    return list;
}

StepList StepListOf(NKFBlock *pBlock)
{
    switch (pBlock->GetType()) {
    case NKF_QUOLINSCALAR:
    case NKF_QUOLINVECTOR:
    case NKF_QUOLINVISIBILITY:
    case NKF_QUOLINTRANSFORMATION:
        return MakeStepList<NKFStepListBlock>(pBlock);
    case NKF_TRANSFORMATIONS:
        return MakeStepList<NKFTransformationBlock>(pBlock);
    case NKF_VIEWPOINTS:
        return MakeStepList<NKFViewpointBlock>(pBlock);
    case NKF_QUOLINCOMMANDS:
        return MakeStepList<NKFQuolinCommandBlock>(pBlock);
    default:
        return StepList();
    }
}

// The first ';'-separated token of internal string iID and the rest after
// it; false when the string is missing or its first token differs.
bool InternalStringTagged(int iID, const char *pszTag, NKString *pRest)
{
    NKString text;
    if (!NKFGetInternalString(iID, &text)) return false;
    NKString first = text.GetFirstToken(';');
    first.Trim(true);
    if (first != pszTag) return false;
    *pRest = text.GetRest();
    return true;
}

void ReadInterfaceStrings(void)
{
    NKString rest;
    if (InternalStringTagged(20002, "interface", &rest)) sg_iInterfaceType = rest.ToInt();
    if (InternalStringTagged(20003, "ies", &rest)) sg_iIesCount = rest.ToInt();
}

// Names and times of the steps below sg_iNumSteps from the candidate list,
// entry i for step i; steps past it get "Step : n" and time -1.
bool FillStepTable(const StepList &candidate)
{
    sg_pStepTimes =
        static_cast<float *>(NKCalloc(sg_iNumSteps > 0 ? sg_iNumSteps : 1, sizeof(float)));
    sg_pStepNames = new (std::nothrow) NKStringList(sg_iNumSteps);
    if (sg_pStepTimes == nullptr || sg_pStepNames == nullptr ||
        sg_pStepNames->GetCount() != sg_iNumSteps) {
        NKPrintError("Out of memory");
        FreeStepTable();
        return false;
    }
    for (int i = 0; i < sg_iNumSteps; i++) {
        NKString name;
        float fTime = -1.0f;
        if (i < candidate.iCount) {
            name = candidate.pfnName(candidate.pBlock, i);
            fTime = candidate.pfnTime(candidate.pBlock, i);
        }
        if (name.IsEmpty()) name = NKString("Step : ") + (i + 1);
        sg_pStepNames->Set(i, name.GetText());
        sg_pStepTimes[i] = fTime;
    }
    return true;
}

// The table of steps: as many as the largest step number of any block that
// carries steps, named after the block with the most step entries.
bool BuildStepTable(void)
{
    NKFBlock *pGeoBlock = sg_pParser->GetBlock(NKF_QUOLINGEOMETRY, 0);
    NKFQuolinGeometryBlock *pGeo = dynamic_cast<NKFQuolinGeometryBlock *>(pGeoBlock);
    if (pGeo == nullptr) {
        NKPrintError("No geometry block found in NKF file. Aborting.");
        return false;
    }
    if (!pGeo->LoadData()) return false;
    StepList candidate;
    candidate.pBlock = pGeo;
    candidate.iCount = pGeo->GetNumSteps();
    candidate.pfnName = [](const NKFBlock *p, int i) {
        return static_cast<const NKFQuolinGeometryBlock *>(p)->GetStepName(i);
    };
    candidate.pfnTime = [](const NKFBlock *p, int i) {
        return static_cast<const NKFQuolinGeometryBlock *>(p)->GetStepTime(i);
    };
    int iLast = candidate.iCount > 0 ? pGeo->GetStepNumber(candidate.iCount - 1) : 0;
    int iMax = iLast >= 0 ? iLast : 0;
    const int aiTypes[] = {NKF_QUOLINSCALAR,    NKF_QUOLINVECTOR,         NKF_QUOLINVISIBILITY,
                           NKF_TRANSFORMATIONS, NKF_QUOLINTRANSFORMATION, NKF_VIEWPOINTS,
                           NKF_QUOLINCOMMANDS};
    for (int iType : aiTypes) {
        for (int i = 0; i < sg_pParser->GetNumBlocks(iType); i++) {
            StepList list = StepListOf(sg_pParser->GetBlock(iType, i));
            if (list.pBlock == nullptr) continue;
            if (list.iLastNumber > iMax) iMax = list.iLastNumber;
            if (list.iCount > candidate.iCount) candidate = list;
        }
    }
    if (iMax > kMaxFileSteps) {
        NKPrintError(NKString::FromFormat("Too many steps in NKF file: %d (at most %d).", iMax,
                                          kMaxFileSteps)
                         .GetText());
        return false;
    }
    sg_iNumSteps = iMax;
    if (!FillStepTable(candidate)) return false;
    ReadInterfaceStrings();
    return true;
}

// ".nkf" is added when the name after the last separator holds no '.'.
NKString WithExtension(const char *pszFileName)
{
    NKString name(pszFileName);
    int iSlash = name.FindChar('/', -1, false);
    int iBackslash = name.FindChar('\\', -1, false);
    int iStart = (iSlash > iBackslash ? iSlash : iBackslash) + 1;
    if (name.FindChar('.', iStart) < 0) name += ".nkf";
    return name;
}

void DestroyParser(void)
{
    delete sg_pParser;
    sg_pParser = nullptr;
}

// Internal string 20001, "modelbox;cx;cy;cz;scale;xmin;ymin;zmin;xmax;ymax;
// zmax", sets the model's centre, scale and box.
void ReadModelBox(void)
{
    NKString rest;
    if (g_pModel == nullptr || !InternalStringTagged(20001, "modelbox", &rest)) return;
    float afValues[10] = {};
    NKString text = rest;
    NKString token = text.GetFirstToken(';');
    for (int i = 0; i < 10 && !token.IsNull(); i++) {
        afValues[i] = static_cast<float>(token.ToFloat());
        token = text.GetNextToken(';');
    }
    g_pModel->fCenterX = afValues[0];
    g_pModel->fCenterY = afValues[1];
    g_pModel->fCenterZ = afValues[2];
    g_pModel->fGeoScale = afValues[3];
    for (int k = 0; k < 6; k++) g_pModel->fBoundingBox[k] = afValues[4 + k];
    NKPrintInfo("Model boundingbox and center/scale read from NKF file.");
}

template <class B>
NKStringList *BlockNames(int iType, const char *pszMissing)
{
    if (sg_pParser == nullptr) return nullptr;
    int n = sg_pParser->GetNumBlocks(iType);
    NKStringList *pList = new (std::nothrow) NKStringList(n);
    if (pList == nullptr || pList->GetCount() != n) {
        delete pList;
        return nullptr;
    }
    for (int i = 0; i < n; i++) {
        B *pBlock = dynamic_cast<B *>(sg_pParser->GetBlock(iType, i));
        NKString name;
        if (pBlock != nullptr)
            name = pBlock->GetName().IsEmpty() ? pBlock->GetDescription() : pBlock->GetName();
        else
            name = NKString::FromFormat(pszMissing, i);
        pList->Set(i, name.GetText());
    }
    return pList;
}

}  // namespace

// Every *RESULTS block's node or element block must be in the file: the
// values of a block mapped to one that is not there would be dropped
// without a word. The block's own error names the file and the block.
static bool ResultReferencesResolve(void)
{
    for (int i = 0; i < sg_pParser->GetNumBlocks(NKF_RESULTS); i++)
        if (!sg_pParser->GetBlock(NKF_RESULTS, i)->ResolveReferences()) return false;
    return true;
}

namespace {

// The open file's parser and what was read of it, taken aside while
// another file is opened: a file that does not open leaves the one open
// before whole, with the steps and results the model reads from it.
struct OpenInterface {
    NKFParser *pParser = nullptr;
    int iNumSteps = 0;
    float *pStepTimes = nullptr;
    NKStringList *pStepNames = nullptr;
    int iInterfaceType = 0;
    int iIesCount = 0;
    int iGeometryStep = -1;
    float afViewpoint[9] = {FLT_MAX, 0, 0, 0, 0, 0, 0, 0, 0};
};

// Exchanges the interface's state with the one given: with a new one,
// leaves the interface as with no file open.
void SwapInterface(OpenInterface *pOther)
{
    std::swap(pOther->pParser, sg_pParser);
    std::swap(pOther->iNumSteps, sg_iNumSteps);
    std::swap(pOther->pStepTimes, sg_pStepTimes);
    std::swap(pOther->pStepNames, sg_pStepNames);
    std::swap(pOther->iInterfaceType, sg_iInterfaceType);
    std::swap(pOther->iIesCount, sg_iIesCount);
    std::swap(pOther->iGeometryStep, sg_iGeometryStep);
    std::swap(pOther->afViewpoint, sg_FileViewpoint);
}

void FreeInterface(OpenInterface *pInterface)
{
    delete pInterface->pParser;
    NKFree(pInterface->pStepTimes);
    delete pInterface->pStepNames;
    *pInterface = OpenInterface();
}

// Parses the file and reads its step table into the interface's state,
// which starts as with no file open.
bool ParseInterface(const NKString &name)
{
    sg_pParser = new (std::nothrow) NKFParser(name);
    if (sg_pParser == nullptr) {
        NKDiagnostic("Error allocating sg_pParser", "NKFIInitInterface");
        NKPrintError("Out of memory");
        return false;
    }
    NKSetStatusText("Parsing NKF file...");
    if (!sg_pParser->Parse()) {
        NKPrintError("Error parsing NKF file. File not found or error in file.");
        NKSetStatusText("");
        return false;
    }
    if (!ResultReferencesResolve()) {
        NKSetStatusText("");
        return false;
    }
    return BuildStepTable();
}

}  // namespace

bool NKFIInitInterface(const char *pszFileName)
{
    NKString name = WithExtension(pszFileName != nullptr ? pszFileName : "");
    NKWaitCursor cursor;
    OpenInterface before;
    SwapInterface(&before);
    if (!ParseInterface(name)) {
        OpenInterface failed;
        SwapInterface(&failed);
        FreeInterface(&failed);
        SwapInterface(&before);
        return false;
    }
    FreeInterface(&before);
    NKPrintInfo("NKF-file opened.");
    return true;
}

bool NKFCloseInterface(void)
{
    DestroyParser();
    FreeStepTable();
    sg_iGeometryStep = -1;
    NKPrintInfo("Closing NKF file.");
    return true;
}

NKFParser *NKFGetParser(void) { return sg_pParser; }

NKFReader *NKFGetReader(void) { return sg_pParser; }

int NKFGetNumSteps(void) { return sg_pParser != nullptr ? sg_iNumSteps : 0; }

NKStringList *NKFGetStepNames(void)
{
    if (sg_pParser == nullptr || sg_pStepNames == nullptr) return nullptr;
    NKStringList *pCopy = new (std::nothrow) NKStringList(sg_iNumSteps);
    if (pCopy == nullptr || pCopy->GetCount() != sg_iNumSteps) {
        delete pCopy;
        return nullptr;
    }
    for (int i = 0; i < sg_iNumSteps; i++) pCopy->Set(i, sg_pStepNames->Get(i));
    return pCopy;
}

int NKFGetNumScalars(void)
{
    return sg_pParser != nullptr ? sg_pParser->GetNumBlocks(NKF_QUOLINSCALAR) : 0;
}

NKStringList *NKFGetScalarNames(void)
{
    return BlockNames<NKFQuolinScalarBlock>(NKF_QUOLINSCALAR, "%d: No scalar description found");
}

int NKFGetNumVectors(void)
{
    return sg_pParser != nullptr ? sg_pParser->GetNumBlocks(NKF_QUOLINVECTOR) : 0;
}

NKStringList *NKFGetVectorNames(void)
{
    return BlockNames<NKFQuolinVectorBlock>(NKF_QUOLINVECTOR, "%d: No vector description found");
}

int NKFGetNumSeparateVectors(void)
{
    return sg_pParser != nullptr ? sg_pParser->GetNumBlocks(NKF_QUOLINPOSITIONVECTOR) : 0;
}

int NKFGetInterfaceType(void) { return sg_iInterfaceType; }

int NKFGetIesCount(void) { return sg_iIesCount; }

float *NKFGetFileViewpoint(void) { return sg_FileViewpoint; }

float NKFGetStepTime(int iStep)
{
    if (sg_pParser == nullptr || iStep < 0 || iStep >= sg_iNumSteps) return 0.0f;
    return sg_pStepTimes[iStep];
}

NKGeometry *NKFGetGeometry(int iStep, bool bForce)
{
    if (sg_pParser == nullptr) return nullptr;
    NKFQuolinGeometryBlock *pBlock =
        dynamic_cast<NKFQuolinGeometryBlock *>(sg_pParser->FindBlock(NKF_QUOLINGEOMETRY, 1));
    if (pBlock == nullptr) {
        NKPrintError("Quolin Geometry Block (*QUOLINGEOMETRY) with id = 1 not found in NKF file.");
        return nullptr;
    }
    if (!bForce && sg_iGeometryStep >= 0 && pBlock->LoadData() &&
        !pBlock->StepsDiffer(iStep, sg_iGeometryStep))
        return nullptr;
    NKGeometry *pGeo = NKFConvertGeometry(pBlock, iStep);
    if (pGeo == nullptr) return nullptr;
    sg_iGeometryStep = iStep;
    ReadModelBox();
    return pGeo;
}

bool NKFGetInternalString(int iID, NKString *pText)
{
    if (sg_pParser == nullptr) return false;
    NKFInternalStringBlock *pBlock =
        dynamic_cast<NKFInternalStringBlock *>(sg_pParser->FindBlock(NKF_INTERNALSTRING, iID));
    if (pBlock == nullptr) return false;
    pBlock->LoadData();
    if (pText != nullptr) *pText = pBlock->GetText();
    return true;
}

bool NKFGetInternalStringData(int iID, const char **ppData, int *piSize)
{
    if (sg_pParser == nullptr) return false;
    NKFInternalStringBlock *pBlock =
        dynamic_cast<NKFInternalStringBlock *>(sg_pParser->FindBlock(NKF_INTERNALSTRING, iID));
    if (pBlock == nullptr) return false;
    pBlock->LoadData();
    if (ppData != nullptr) *ppData = pBlock->GetData();
    if (piSize != nullptr) *piSize = pBlock->GetDataSize();
    return true;
}

bool NKFReadVersionInfo(NKFVersionInfo *pInfo)
{
    NKString text;
    if (!NKFGetInternalString(99999, &text)) return false;
    NKString copy = text;
    return NKFParseVersionInfo(copy.GetText(), pInfo);
}

NKGeometry *NKFReadGeometryFile(const char *pszFileName, int iBlockID, int iNumParts,
                                int *piFailure)
{
    int iFailure = NKF_READ_GEOMETRY_OK;
    NKGeometry *pGeo = nullptr;
    NKFParser parser{NKString(pszFileName)};
    NKFQuolinGeometryBlock *pBlock = nullptr;
    if (!parser.Parse()) {
        iFailure = NKF_READ_GEOMETRY_NOT_PARSED;
    } else {
        NKFBlock *pFound = iBlockID > 0
                               ? parser.GetBlockList()->FindBlock(NKF_QUOLINGEOMETRY, iBlockID)
                               : parser.GetBlock(NKF_QUOLINGEOMETRY, 0);
        pBlock = dynamic_cast<NKFQuolinGeometryBlock *>(pFound);
        if (pBlock == nullptr) iFailure = NKF_READ_GEOMETRY_NO_BLOCK;
    }
    if (pBlock != nullptr && iNumParts > 0 &&
        (!pBlock->LoadData() || pBlock->GetNumParts(0) != iNumParts))
        iFailure = NKF_READ_GEOMETRY_BAD_BLOCK;
    if (iFailure == NKF_READ_GEOMETRY_OK) {
        pGeo = NKFConvertGeometry(pBlock, 0);
        if (pGeo == nullptr || (iNumParts > 0 && pGeo->iNumParts != iNumParts)) {
            NKReleaseGeometry(pGeo);
            pGeo = nullptr;
            iFailure = NKF_READ_GEOMETRY_NOT_MADE;
        }
    }
    if (piFailure != nullptr) *piFailure = iFailure;
    return pGeo;
}

NKFReader *NKFParseFile(const char *pszFileName, int *piFailure)
{
    int iFailure = NKF_PARSE_FILE_OK;
    NKFParser *pParser = new (std::nothrow) NKFParser(NKString(pszFileName));
    if (pParser == nullptr) {
        iFailure = NKF_PARSE_FILE_NO_MEMORY;
    } else if (!pParser->Parse()) {
        delete pParser;
        pParser = nullptr;
        iFailure = NKF_PARSE_FILE_FAILED;
    }
    if (piFailure != nullptr) *piFailure = iFailure;
    return pParser;
}
