// readers/nk_fem_source.cpp -- the plug-in adapter as the dispatcher's
// reader of kinds 101-116 (see nk_fem_source.h). Every slot forwards to the
// one adapter and answers as for a missing reader when there is none.
#include "readers/nk_fem_source.h"

#include <new>

#include "readers/nk_fem_interface.h"

namespace {

NKFEMInterface *sg_pAdapter = nullptr;

bool CloseFEM(void)
{
    if (sg_pAdapter == nullptr) return false;
    bool bResult = sg_pAdapter->Close();
    delete sg_pAdapter;
    sg_pAdapter = nullptr;
    return bResult;
}

void FEMName(NKString *pName)
{
    if (sg_pAdapter != nullptr)
        sg_pAdapter->GetName(pName);
    else
        *pName = "Unknown Interface";
}

int FEMNumSteps(void) { return sg_pAdapter != nullptr ? sg_pAdapter->GetNumSteps() : 0; }
int FEMNumScalars(void) { return sg_pAdapter != nullptr ? sg_pAdapter->GetNumScalars() : 0; }
int FEMNumVectors(void) { return sg_pAdapter != nullptr ? sg_pAdapter->GetNumVectors() : 0; }

NKStringList *FEMStepNames(void)
{
    return sg_pAdapter != nullptr ? sg_pAdapter->GetStepNames() : nullptr;
}

NKStringList *FEMScalarNames(void)
{
    return sg_pAdapter != nullptr ? sg_pAdapter->GetScalarNames() : nullptr;
}

NKStringList *FEMVectorNames(void)
{
    return sg_pAdapter != nullptr ? sg_pAdapter->GetVectorNames() : nullptr;
}

NKGeometry *FEMGeometry(int iStep)
{
    return sg_pAdapter != nullptr ? sg_pAdapter->GetGeometry(iStep) : nullptr;
}

float FEMStepTime(int iStep)
{
    return sg_pAdapter != nullptr ? sg_pAdapter->GetStepTime(iStep) : 0.0f;
}

NKScalarResult *FEMScalar(int iIndex, int iStep, NKGeometry *pGeo)
{
    return sg_pAdapter != nullptr ? sg_pAdapter->GetScalar(iIndex, iStep, pGeo) : nullptr;
}

NKVectorResult *FEMVector(int iIndex, int iStep, NKGeometry *pGeo)
{
    return sg_pAdapter != nullptr ? sg_pAdapter->GetVector(iIndex, iStep, pGeo) : nullptr;
}

void FEMVisibility(int iStep, NKFrame *pFrame)
{
    if (sg_pAdapter != nullptr) sg_pAdapter->UpdateVisibility(iStep, pFrame);
}

constexpr NKDataSourceReader MakeFEMReader(void)
{
    NKDataSourceReader reader;
    reader.pfnGetName = FEMName;
    reader.pfnClose = CloseFEM;
    reader.pfnGetNumSteps = FEMNumSteps;
    reader.pfnGetStepNames = FEMStepNames;
    reader.pfnGetNumScalars = FEMNumScalars;
    reader.pfnGetScalarNames = FEMScalarNames;
    reader.pfnGetNumVectors = FEMNumVectors;
    reader.pfnGetVectorNames = FEMVectorNames;
    reader.pfnGetGeometry = FEMGeometry;
    reader.pfnGetStepTime = FEMStepTime;
    reader.pfnGetScalar = FEMScalar;
    reader.pfnGetVector = FEMVector;
    reader.pfnUpdateVisibility = FEMVisibility;
    return reader;
}

constexpr NKDataSourceReader sg_FEMReader = MakeFEMReader();

}  // namespace

int NKOpenFEMSource(int iInterfaceId, const char *pszFileName)
{
    delete sg_pAdapter;
    sg_pAdapter = new (std::nothrow) NKFEMInterface(iInterfaceId);
    if (sg_pAdapter == nullptr) return -6;
    return sg_pAdapter->Open(pszFileName) ? 1 : 0;
}

const NKDataSourceReader *NKGetFEMDataSourceReader(void) { return &sg_FEMReader; }

NKFEMInterface *NKGetFEMSourceAdapter(void) { return sg_pAdapter; }
