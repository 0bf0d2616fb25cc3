// readers/nk_data_source.cpp -- the data-source dispatcher (see
// nk_data_source.h): the record of the open source, the reader table by
// kind, the name caches and the current indices.
//
// All of it is module state used from the user-interface thread only. The
// reader of the open source is looked up once, when it opens, and kept until
// it closes, so every query on it goes to the same reader.
#include "readers/nk_data_source.h"

#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_progress.h"
#include "readers/nk_fem_reader.h"
#include "readers/nk_fem_source.h"
#include "readers/nk_lsdyna.h"
#include "readers/nk_native_source.h"
#include "readers/nk_nkf_source.h"
#include "readers/nk_output3d.h"

namespace {

NKResultsInterface *sg_pInterface = nullptr;

// The readers of kinds 3, 5, 7 and 9, and the reader of the open source.
const NKDataSourceReader *sg_pNativeReader = nullptr;
const NKDataSourceReader *sg_pNKFReader = nullptr;
const NKDataSourceReader *sg_pLSDynaReader = nullptr;
const NKDataSourceReader *sg_pReservoirReader = nullptr;
const NKDataSourceReader *sg_pOpenReader = nullptr;

NKStringList *sg_pStepNames = nullptr;
NKStringList *sg_pScalarNames = nullptr;
NKStringList *sg_pVectorNames = nullptr;

int sg_iCurrentScalar = -1;
int sg_iCurrentVector = -1;
int sg_iCurrentTransformation = -1;
int sg_iCurrentStep = -1;

// The table slot of a reader kind, null for any other kind.
const NKDataSourceReader **FindReaderSlot(int iKind)
{
    switch (iKind) {
    case NK_INTERFACE_NATIVE:
        return &sg_pNativeReader;
    case NK_INTERFACE_NKF:
        return &sg_pNKFReader;
    case NK_INTERFACE_LSDYNA:
        return &sg_pLSDynaReader;
    case NK_INTERFACE_RESERVOIR:
        return &sg_pReservoirReader;
    default:
        return nullptr;
    }
}

const NKDataSourceReader *FindReader(int iKind)
{
    const NKDataSourceReader **ppSlot = FindReaderSlot(iKind);
    return ppSlot != nullptr ? *ppSlot : nullptr;
}

int OpenKind(void) { return sg_pInterface != nullptr ? sg_pInterface->type : NK_INTERFACE_NONE; }

// A count slot of the open reader; 0 when the reader or the slot is missing.
int AskCount(int (*NKDataSourceReader::*pfn)(void))
{
    if (sg_pOpenReader == nullptr || sg_pOpenReader->*pfn == nullptr) return 0;
    int n = (sg_pOpenReader->*pfn)();
    return n > 0 ? n : 0;
}

// The cache when it holds a list, else a fresh list from the reader (which
// may be null again: then it is asked again next time).
const NKStringList *CachedNames(NKStringList **ppCache,
                                NKStringList *(*NKDataSourceReader::*pfn)(void))
{
    if (*ppCache == nullptr && sg_pOpenReader != nullptr && sg_pOpenReader->*pfn != nullptr)
        *ppCache = (sg_pOpenReader->*pfn)();
    return *ppCache;
}

void FreeNameCaches(void)
{
    delete sg_pStepNames;
    delete sg_pScalarNames;
    delete sg_pVectorNames;
    sg_pStepNames = nullptr;
    sg_pScalarNames = nullptr;
    sg_pVectorNames = nullptr;
}

// The core keeps a copy of the kind and the transformation count for the
// model code that cannot ask the dispatcher.
void PublishKind(void)
{
    NKSetInterfaceType(OpenKind());
    NKSetInterfaceNumTransformations(AskCount(&NKDataSourceReader::pfnGetNumTransformations));
}

bool InRange(int iIndex, int iCount) { return iIndex >= 0 && iIndex < iCount; }

}  // namespace

// ---- Start-up and the reader table ----------------------------------------

void NKInstallDataSources(void)
{
    if (sg_pInterface != nullptr) return;
    sg_pInterface = new NKResultsInterface();
    sg_pInterface->szFileName = "";
    NKSetDataSourceReader(NK_INTERFACE_NATIVE, NKGetNativeDataSourceReader());
    NKSetDataSourceReader(NK_INTERFACE_NKF, NKGetNKFDataSourceReader());
    NKSetDataSourceReader(NK_INTERFACE_LSDYNA, NKGetLSDynaDataSourceReader());
    NKSetDataSourceReader(NK_INTERFACE_RESERVOIR, NKGetOutput3DDataSourceReader());
    PublishKind();
}

void NKReleaseDataSources(void)
{
    if (sg_pInterface == nullptr) return;
    if (sg_pInterface->type != NK_INTERFACE_NONE) NKCloseInterface();
    delete sg_pInterface;
    sg_pInterface = nullptr;
}

const NKResultsInterface *NKGetResultsInterface(void) { return sg_pInterface; }

const NKDataSourceReader *NKSetDataSourceReader(int iKind, const NKDataSourceReader *pReader)
{
    const NKDataSourceReader **ppSlot = FindReaderSlot(iKind);
    if (ppSlot == nullptr) return nullptr;
    const NKDataSourceReader *pPrevious = *ppSlot;
    *ppSlot = pReader;
    return pPrevious;
}

// ---- Opening and closing ----------------------------------------------------

int OpenInterface(int iKind, const char *pszFileName)
{
    if (sg_pInterface == nullptr) return 0;
    if (sg_pInterface->type != NK_INTERFACE_NONE) NKCloseInterface();
    sg_pInterface->type = iKind;
    sg_pInterface->szFileName = pszFileName != nullptr ? pszFileName : "";
    sg_iCurrentScalar = -1;
    sg_iCurrentVector = -1;
    sg_iCurrentStep = 0;
    sg_pOpenReader = FindReader(iKind);
    int iResult = 0;
    if (NKIsFEMInterfaceId(iKind)) {
        // The plug-in adapter stays attached after a failed open; the close
        // deletes it.
        sg_pOpenReader = NKGetFEMDataSourceReader();
        iResult = NKOpenFEMSource(iKind, sg_pInterface->szFileName.GetText());
    } else if (sg_pOpenReader != nullptr && sg_pOpenReader->pfnOpen != nullptr)
        iResult = sg_pOpenReader->pfnOpen(sg_pInterface->szFileName.GetText());
    PublishKind();
    return iResult;
}

bool NKCloseInterface(void)
{
    // The lists are the dispatcher's own, so they go before the reader does.
    FreeNameCaches();
    bool bResult = false;
    if (sg_pOpenReader != nullptr && sg_pOpenReader->pfnClose != nullptr)
        bResult = sg_pOpenReader->pfnClose();
    sg_pOpenReader = nullptr;
    if (sg_pInterface != nullptr) {
        sg_pInterface->type = NK_INTERFACE_NONE;
        sg_pInterface->szFileName = "";
    }
    sg_iCurrentScalar = -1;
    sg_iCurrentVector = -1;
    sg_iCurrentStep = -1;
    PublishKind();
    return bResult;
}

NKDataSourceMark NKMarkInterface(void)
{
    NKDataSourceMark mark;
    mark.iKind = OpenKind();
    if (mark.iKind == NK_INTERFACE_NONE) return mark;
    mark.fileName = sg_pInterface->szFileName;
    mark.iStep = sg_iCurrentStep;
    mark.iScalar = sg_iCurrentScalar;
    mark.iVector = sg_iCurrentVector;
    mark.iTransformation = sg_iCurrentTransformation;
    return mark;
}

void NKCloseInterfaceQuietly(void)
{
    if (OpenKind() == NK_INTERFACE_NONE) return;
    NKMessagesOff quiet;
    NKHoldStatusbar(true);
    NKCloseInterface();
    NKHoldStatusbar(false);
}

bool NKReopenInterface(const NKDataSourceMark &mark)
{
    if (mark.iKind == NK_INTERFACE_NONE) return true;
    bool bOpened;
    {
        NKMessagesOff quiet;
        NKHoldStatusbar(true);
        bOpened = OpenInterface(mark.iKind, mark.fileName.GetText()) == 1;
        if (!bOpened) NKCloseInterface();
        NKHoldStatusbar(false);
    }
    if (!bOpened) return false;
    sg_iCurrentStep = mark.iStep;
    sg_iCurrentScalar = mark.iScalar;
    sg_iCurrentVector = mark.iVector;
    sg_iCurrentTransformation = mark.iTransformation;
    return true;
}

// ---- The source and its names -------------------------------------------------

int NKGetUnderlyingInterfaceType(void)
{
    if (sg_pOpenReader != nullptr && sg_pOpenReader->pfnGetUnderlyingType != nullptr)
        return sg_pOpenReader->pfnGetUnderlyingType();
    return OpenKind();
}

void NKGetInterfaceName(NKString *pName)
{
    if (sg_pOpenReader != nullptr && sg_pOpenReader->pfnGetName != nullptr)
        sg_pOpenReader->pfnGetName(pName);
    else if (sg_pOpenReader != nullptr && sg_pOpenReader->pszName != nullptr)
        *pName = sg_pOpenReader->pszName;
    else
        *pName = "Unknown Interface";
}

void NKGetInterfaceFileName(NKString *pName)
{
    if (OpenKind() == NK_INTERFACE_NONE)
        *pName = "N/A";
    else
        *pName = sg_pInterface->szFileName;
}

int NKGetInterfaceNumSteps(void) { return AskCount(&NKDataSourceReader::pfnGetNumSteps); }
int NKGetInterfaceNumScalars(void) { return AskCount(&NKDataSourceReader::pfnGetNumScalars); }
int NKGetInterfaceNumVectors(void) { return AskCount(&NKDataSourceReader::pfnGetNumVectors); }

const NKStringList *NKGetInterfaceStepNames(void)
{
    return CachedNames(&sg_pStepNames, &NKDataSourceReader::pfnGetStepNames);
}

const NKStringList *NKGetInterfaceScalarNames(void)
{
    return CachedNames(&sg_pScalarNames, &NKDataSourceReader::pfnGetScalarNames);
}

const NKStringList *NKGetInterfaceVectorNames(void)
{
    return CachedNames(&sg_pVectorNames, &NKDataSourceReader::pfnGetVectorNames);
}

// ---- Steps, geometry and results ----------------------------------------------

NKGeometry *NKGetInterfaceGeometry(int iStep)
{
    sg_iCurrentStep = iStep;
    if (sg_pOpenReader == nullptr || sg_pOpenReader->pfnGetGeometry == nullptr) return nullptr;
    return sg_pOpenReader->pfnGetGeometry(iStep);
}

float NKGetInterfaceStepTime(int iStep)
{
    if (sg_pOpenReader == nullptr || sg_pOpenReader->pfnGetStepTime == nullptr)
        return NK_UNDEFINED_VALUE;
    return sg_pOpenReader->pfnGetStepTime(iStep);
}

bool NKCheckInterfaceStep(int iStep)
{
    return sg_pOpenReader == nullptr || sg_pOpenReader->pfnCheckStep == nullptr ||
           sg_pOpenReader->pfnCheckStep(iStep);
}

NKScalarResult *NKGetInterfaceScalar(int iIndex, int iStep, NKGeometry *pGeo, bool bSetCurrent)
{
    NKScalarResult *pResult = nullptr;
    if (InRange(iIndex, NKGetInterfaceNumScalars()) && sg_pOpenReader->pfnGetScalar != nullptr)
        pResult = sg_pOpenReader->pfnGetScalar(iIndex, iStep, pGeo);
    if (!bSetCurrent) return pResult;
    if (pResult != nullptr || iIndex == -1) {
        sg_iCurrentStep = iStep;
        sg_iCurrentScalar = iIndex;
    } else if (sg_iCurrentScalar != iIndex) {
        // A step that lacks the current scalar keeps it current for the
        // steps after it (the animation set-up asks for the current index
        // step by step); any other index that reads nothing leaves none.
        sg_iCurrentScalar = -1;
    }
    return pResult;
}

NKVectorResult *NKGetInterfaceVector(int iIndex, int iStep, NKGeometry *pGeo, bool bSetCurrent)
{
    NKVectorResult *pResult = nullptr;
    if (InRange(iIndex, NKGetInterfaceNumVectors()) && sg_pOpenReader->pfnGetVector != nullptr)
        pResult = sg_pOpenReader->pfnGetVector(iIndex, iStep, pGeo);
    if (bSetCurrent && (pResult != nullptr || iIndex == -1)) {
        sg_iCurrentStep = iStep;
        sg_iCurrentVector = iIndex;
    }
    return pResult;
}

NKSeparateVectorField *NKGetInterfaceTransformation(int iIndex, int iStep, NKGeometry *pGeo,
                                                    bool bSetCurrent)
{
    NKSeparateVectorField *pResult = nullptr;
    if (InRange(iIndex, AskCount(&NKDataSourceReader::pfnGetNumTransformations)) &&
        sg_pOpenReader->pfnGetTransformation != nullptr)
        pResult = sg_pOpenReader->pfnGetTransformation(iIndex, iStep, pGeo);
    if (bSetCurrent && (pResult != nullptr || iIndex == -1)) {
        sg_iCurrentStep = iStep;
        sg_iCurrentTransformation = iIndex;
    }
    return pResult;
}

int NKGetCurrentScalarIndex(void) { return sg_iCurrentScalar; }
int NKGetCurrentVectorIndex(void) { return sg_iCurrentVector; }
int NKGetCurrentTransformationIndex(void) { return sg_iCurrentTransformation; }
int NKGetCurrentStep(void) { return sg_iCurrentStep; }

void NKSetInterfaceCurrent(int iStep, int iScalar, int iVector)
{
    sg_iCurrentStep = iStep;
    sg_iCurrentScalar = iScalar;
    sg_iCurrentVector = iVector;
}

void NKUpdateInterfaceVisibility(int iStep, NKFrame *pFrame)
{
    if (sg_pOpenReader != nullptr && sg_pOpenReader->pfnUpdateVisibility != nullptr)
        sg_pOpenReader->pfnUpdateVisibility(iStep, pFrame);
}

// ---- Element queries ------------------------------------------------------------

int NKGetInterfaceNumElements(void)
{
    if (sg_pOpenReader != nullptr && sg_pOpenReader->pfnGetNumElements != nullptr)
        return sg_pOpenReader->pfnGetNumElements();
    return NKGetCurrentNumPolygons();
}

int NKGetInterfaceNumNodes(void)
{
    if (sg_pOpenReader != nullptr && sg_pOpenReader->pfnGetNumNodes != nullptr)
        return sg_pOpenReader->pfnGetNumNodes();
    return NKGetCurrentNumNodes();
}

bool NKIsInterfaceElementScalar(int iIndex)
{
    return sg_pOpenReader != nullptr && sg_pOpenReader->pfnIsElementScalar != nullptr &&
           sg_pOpenReader->pfnIsElementScalar(iIndex);
}

float NKGetInterfaceElementScalarValue(int iIndex, int iElement)
{
    if (sg_pOpenReader == nullptr || sg_pOpenReader->pfnGetElementScalarValue == nullptr)
        return NK_UNDEFINED_VALUE;
    return sg_pOpenReader->pfnGetElementScalarValue(iIndex, iElement);
}
