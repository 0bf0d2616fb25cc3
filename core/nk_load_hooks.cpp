// core/nk_load_hooks.cpp -- the load pipeline's slots and what an empty slot
// does (see nk_load_hooks.h).
#include "core/nk_load_hooks.h"

#include <utility>

#include "core/nk_apply_results.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"

namespace {

NKLoadHooks sg_Hooks;

}  // namespace

NKLoadHooks NKSetLoadHooks(const NKLoadHooks &hooks) { return std::exchange(sg_Hooks, hooks); }

const NKLoadHooks &NKGetLoadHooks(void) { return sg_Hooks; }

bool ResetStateBeforeLoad(const char *pszFileName)
{
    if (sg_Hooks.pfnResetStateBeforeLoad != nullptr)
        return sg_Hooks.pfnResetStateBeforeLoad(pszFileName);
    return g_pModel != nullptr && NKSetFrameCount(0, false);
}

bool RefreshAfterLoad(const char *pszFileName)
{
    return sg_Hooks.pfnRefreshAfterLoad == nullptr || sg_Hooks.pfnRefreshAfterLoad(pszFileName);
}

bool NKUpdateContours(void)
{
    return sg_Hooks.pfnUpdateContours == nullptr || sg_Hooks.pfnUpdateContours();
}

bool NKComputeNodalAverage(NKGeometry *pGeo, NKScalarResult *pResult, int iPart)
{
    if (sg_Hooks.pfnComputeNodalAverage != nullptr)
        return sg_Hooks.pfnComputeNodalAverage(pGeo, pResult, iPart);
    return true;
}

// Values that are no finite number are undefined before anything is
// computed from them (colours, ranges, lengths, displaced positions).
bool NKComputeScalarNodeValues(NKGeometry *pGeo, NKScalarResult *pResult)
{
    NKUndefineNonFiniteValues(pResult);
    if (sg_Hooks.pfnComputeScalarNodeValues != nullptr)
        return sg_Hooks.pfnComputeScalarNodeValues(pGeo, pResult);
    return true;
}

bool NKComputeVectorLengthRange(NKVectorResult *pResult)
{
    NKUndefineNonFiniteValues(pResult);
    if (sg_Hooks.pfnComputeVectorLengthRange != nullptr)
        return sg_Hooks.pfnComputeVectorLengthRange(pResult);
    return true;
}

bool NKDrawScene(int iFrame, int iFlag1, int iFlag2)
{
    return sg_Hooks.pfnDrawScene == nullptr || sg_Hooks.pfnDrawScene(iFrame, iFlag1, iFlag2);
}

bool NKPlotExists(void) { return sg_Hooks.pfnPlotExists != nullptr && sg_Hooks.pfnPlotExists(); }

void NKFLDUpdatePlot(void)
{
    if (sg_Hooks.pfnFLDUpdatePlot != nullptr) sg_Hooks.pfnFLDUpdatePlot();
}

bool NKPlotInterfaceInit(int iSource, const char *pszFileName)
{
    return sg_Hooks.pfnPlotInterfaceInit != nullptr &&
           sg_Hooks.pfnPlotInterfaceInit(iSource, pszFileName);
}

void NKSetupLevelOfDetail(void)
{
    if (sg_Hooks.pfnSetupLevelOfDetail != nullptr) sg_Hooks.pfnSetupLevelOfDetail();
}

bool NKRefreshMenusForModel(void)
{
    if (sg_Hooks.pfnRefreshMenusForModel != nullptr) sg_Hooks.pfnRefreshMenusForModel();
    return NKGetCurrentGeometry() != nullptr;
}
