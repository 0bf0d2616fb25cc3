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

// The open file's parser and what was read of it. Another file is opened
// into a new one, which takes its place only once it opened: a file that
// does not open leaves the one open before whole, with the steps and
// results the model reads from it.
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

OpenInterface sg_Open;

void FreeStepTable(void)
{
    NKFree(sg_Open.pStepTimes);
    sg_Open.pStepTimes = nullptr;
    delete sg_Open.pStepNames;
    sg_Open.pStepNames = nullptr;
    sg_Open.iNumSteps = 0;
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
    if (InternalStringTagged(20002, "interface", &rest)) sg_Open.iInterfaceType = rest.ToInt();
    if (InternalStringTagged(20003, "ies", &rest)) sg_Open.iIesCount = rest.ToInt();
}

// Names and times of the steps below sg_Open.iNumSteps from the candidate list,
// entry i for step i; steps past it get "Step : n" and time -1.
bool FillStepTable(const StepList &candidate)
{
    sg_Open.pStepTimes = static_cast<float *>(
        NKCalloc(sg_Open.iNumSteps > 0 ? sg_Open.iNumSteps : 1, sizeof(float)));
    sg_Open.pStepNames = new (std::nothrow) NKStringList(sg_Open.iNumSteps);
    if (sg_Open.pStepTimes == nullptr || sg_Open.pStepNames == nullptr ||
        sg_Open.pStepNames->GetCount() != sg_Open.iNumSteps) {
        NKPrintError("Out of memory");
        FreeStepTable();
        return false;
    }
    for (int i = 0; i < sg_Open.iNumSteps; i++) {
        NKString name;
        float fTime = -1.0f;
        if (i < candidate.iCount) {
            name = candidate.pfnName(candidate.pBlock, i);
            fTime = candidate.pfnTime(candidate.pBlock, i);
        }
        if (name.IsEmpty()) name = NKString("Step : ") + (i + 1);
        sg_Open.pStepNames->Set(i, name.GetText());
        sg_Open.pStepTimes[i] = fTime;
    }
    return true;
}

// The table of steps: as many as the largest step number of any block that
// carries steps, named after the block with the most step entries.
bool BuildStepTable(void)
{
    NKFBlock *pGeoBlock = sg_Open.pParser->GetBlock(NKF_QUOLINGEOMETRY, 0);
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
        for (int i = 0; i < sg_Open.pParser->GetNumBlocks(iType); i++) {
            StepList list = StepListOf(sg_Open.pParser->GetBlock(iType, i));
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
    sg_Open.iNumSteps = iMax;
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
    delete sg_Open.pParser;
    sg_Open.pParser = nullptr;
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
    if (sg_Open.pParser == nullptr) return nullptr;
    int n = sg_Open.pParser->GetNumBlocks(iType);
    NKStringList *pList = new (std::nothrow) NKStringList(n);
    if (pList == nullptr || pList->GetCount() != n) {
        delete pList;
        return nullptr;
    }
    for (int i = 0; i < n; i++) {
        B *pBlock = dynamic_cast<B *>(sg_Open.pParser->GetBlock(iType, i));
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
    for (int i = 0; i < sg_Open.pParser->GetNumBlocks(NKF_RESULTS); i++)
        if (!sg_Open.pParser->GetBlock(NKF_RESULTS, i)->ResolveReferences()) return false;
    return true;
}

namespace {

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
    sg_Open.pParser = new (std::nothrow) NKFParser(name);
    if (sg_Open.pParser == nullptr) {
        NKDiagnostic("Error allocating sg_pParser", "NKFIInitInterface");
        NKPrintError("Out of memory");
        return false;
    }
    NKSetStatusText("Parsing NKF file...");
    if (!sg_Open.pParser->Parse()) {
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
    std::swap(before, sg_Open);
    if (!ParseInterface(name)) {
        FreeInterface(&sg_Open);
        sg_Open = before;
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
    sg_Open.iGeometryStep = -1;
    NKPrintInfo("Closing NKF file.");
    return true;
}

NKFParser *NKFGetParser(void) { return sg_Open.pParser; }

NKFReader *NKFGetReader(void) { return sg_Open.pParser; }

int NKFGetNumSteps(void) { return sg_Open.pParser != nullptr ? sg_Open.iNumSteps : 0; }

NKStringList *NKFGetStepNames(void)
{
    if (sg_Open.pParser == nullptr || sg_Open.pStepNames == nullptr) return nullptr;
    NKStringList *pCopy = new (std::nothrow) NKStringList(sg_Open.iNumSteps);
    if (pCopy == nullptr || pCopy->GetCount() != sg_Open.iNumSteps) {
        delete pCopy;
        return nullptr;
    }
    for (int i = 0; i < sg_Open.iNumSteps; i++) pCopy->Set(i, sg_Open.pStepNames->Get(i));
    return pCopy;
}

int NKFGetNumScalars(void)
{
    return sg_Open.pParser != nullptr ? sg_Open.pParser->GetNumBlocks(NKF_QUOLINSCALAR) : 0;
}

NKStringList *NKFGetScalarNames(void)
{
    return BlockNames<NKFQuolinScalarBlock>(NKF_QUOLINSCALAR, "%d: No scalar description found");
}

int NKFGetNumVectors(void)
{
    return sg_Open.pParser != nullptr ? sg_Open.pParser->GetNumBlocks(NKF_QUOLINVECTOR) : 0;
}

NKStringList *NKFGetVectorNames(void)
{
    return BlockNames<NKFQuolinVectorBlock>(NKF_QUOLINVECTOR, "%d: No vector description found");
}

int NKFGetNumSeparateVectors(void)
{
    return sg_Open.pParser != nullptr ? sg_Open.pParser->GetNumBlocks(NKF_QUOLINPOSITIONVECTOR) : 0;
}

int NKFGetInterfaceType(void) { return sg_Open.iInterfaceType; }

int NKFGetIesCount(void) { return sg_Open.iIesCount; }

float *NKFGetFileViewpoint(void) { return sg_Open.afViewpoint; }

float NKFGetStepTime(int iStep)
{
    if (sg_Open.pParser == nullptr || iStep < 0 || iStep >= sg_Open.iNumSteps) return 0.0f;
    return sg_Open.pStepTimes[iStep];
}

NKGeometry *NKFGetGeometry(int iStep, bool bForce)
{
    if (sg_Open.pParser == nullptr) return nullptr;
    NKFQuolinGeometryBlock *pBlock =
        dynamic_cast<NKFQuolinGeometryBlock *>(sg_Open.pParser->FindBlock(NKF_QUOLINGEOMETRY, 1));
    if (pBlock == nullptr) {
        NKPrintError("Quolin Geometry Block (*QUOLINGEOMETRY) with id = 1 not found in NKF file.");
        return nullptr;
    }
    if (!bForce && sg_Open.iGeometryStep >= 0 && pBlock->LoadData() &&
        !pBlock->StepsDiffer(iStep, sg_Open.iGeometryStep))
        return nullptr;
    NKGeometry *pGeo = NKFConvertGeometry(pBlock, iStep);
    if (pGeo == nullptr) return nullptr;
    sg_Open.iGeometryStep = iStep;
    ReadModelBox();
    return pGeo;
}

bool NKFGetInternalString(int iID, NKString *pText)
{
    if (sg_Open.pParser == nullptr) return false;
    NKFInternalStringBlock *pBlock =
        dynamic_cast<NKFInternalStringBlock *>(sg_Open.pParser->FindBlock(NKF_INTERNALSTRING, iID));
    if (pBlock == nullptr) return false;
    pBlock->LoadData();
    if (pText != nullptr) *pText = pBlock->GetText();
    return true;
}

bool NKFGetInternalStringData(int iID, const char **ppData, int *piSize)
{
    if (sg_Open.pParser == nullptr) return false;
    NKFInternalStringBlock *pBlock =
        dynamic_cast<NKFInternalStringBlock *>(sg_Open.pParser->FindBlock(NKF_INTERNALSTRING, iID));
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
