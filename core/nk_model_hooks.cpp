// core/nk_model_hooks.cpp -- the slots of higher folders and their neutral
// answers (see nk_model_hooks.h).
#include "core/nk_model_hooks.h"

#include <cstring>
#include <utility>

#include "core/nk_graphics_settings.h"

namespace {
NKModelHooks sg_Hooks;
int sg_iInteractionCursor = NK_CURSOR_NORMAL;
// ExecuteCommand's answer for a line nobody handles.
constexpr int kNotHandled = 3;
}  // namespace

NKModelHooks NKSetModelHooks(const NKModelHooks &hooks) { return std::exchange(sg_Hooks, hooks); }

const NKModelHooks &NKGetModelHooks(void) { return sg_Hooks; }

void NKReleaseCutSurface(CutSurface *pCut)
{
    if (pCut != nullptr && sg_Hooks.pfnReleaseCutSurface != nullptr)
        sg_Hooks.pfnReleaseCutSurface(pCut);
}

bool NKFreeCutSurfaces(int iPlane, int iFrame)
{
    return sg_Hooks.pfnFreeCutSurfaces == nullptr || sg_Hooks.pfnFreeCutSurfaces(iPlane, iFrame);
}

bool NKFreeIsoSurfaces(int iFrame)
{
    return sg_Hooks.pfnFreeIsoSurfaces == nullptr || sg_Hooks.pfnFreeIsoSurfaces(iFrame);
}

void NKFreeFrameIsoSurfaces(NKFrame *pFrame)
{
    if (pFrame != nullptr && sg_Hooks.pfnFreeFrameIsoSurfaces != nullptr)
        sg_Hooks.pfnFreeFrameIsoSurfaces(pFrame);
}

void NKFreeFrameTraces(NKFrame *pFrame)
{
    if (pFrame != nullptr && sg_Hooks.pfnFreeFrameTraces != nullptr)
        sg_Hooks.pfnFreeFrameTraces(pFrame);
}

void NKReleasePrimitives(Primitive3DList *pList)
{
    if (pList != nullptr && sg_Hooks.pfnReleasePrimitives != nullptr)
        sg_Hooks.pfnReleasePrimitives(pList);
}

bool NKGetPrimitivesBox(const Primitive3DList *pList, float *pfBox)
{
    return pfBox != nullptr && sg_Hooks.pfnGetPrimitivesBox != nullptr &&
           sg_Hooks.pfnGetPrimitivesBox(pList, pfBox);
}

bool NKConvertCutPlanePoints(bool bToModel)
{
    return sg_Hooks.pfnConvertCutPlanePoints == nullptr ||
           sg_Hooks.pfnConvertCutPlanePoints(bToModel);
}

uint8_t NKGetPartLevel(const NKGeometry *pGeo, int iPart)
{
    return sg_Hooks.pfnGetPartLevel != nullptr ? sg_Hooks.pfnGetPartLevel(pGeo, iPart) : 0;
}

bool NKComputeNodeTraces(void)
{
    return sg_Hooks.pfnComputeNodeTraces == nullptr || sg_Hooks.pfnComputeNodeTraces();
}

void NKMapScalarsToColors(float fMin, float fMax, int iCount, const float *pfValues,
                          uint8_t *pColors, float *pfTexCoords)
{
    if (pfValues == nullptr || pColors == nullptr || pfTexCoords == nullptr) return;
    if (sg_Hooks.pfnMapScalarsToColors != nullptr) {
        sg_Hooks.pfnMapScalarsToColors(fMin, fMax, iCount, pfValues, pColors, pfTexCoords);
        return;
    }
    for (int i = 0; i < iCount; i++) {
        pColors[3 * i] = pColors[3 * i + 1] = pColors[3 * i + 2] = 0;
        pfTexCoords[i] = 0.0f;
    }
}

bool NKIsPolygonFilteredOut(NKFrame *pFrame, int iPart, int iPolygon)
{
    return sg_Hooks.pfnIsPolygonFilteredOut != nullptr &&
           sg_Hooks.pfnIsPolygonFilteredOut(pFrame, iPart, iPolygon);
}

bool NKFindNearestViewPoint(void)
{
    return sg_Hooks.pfnFindNearestViewPoint != nullptr && sg_Hooks.pfnFindNearestViewPoint();
}

bool NKTraceSeed::operator==(const NKTraceSeed &o) const
{
    return bIsBox == o.bIsBox && std::memcmp(aiCounts, o.aiCounts, sizeof(aiCounts)) == 0 &&
           std::memcmp(afBox, o.afBox, sizeof(afBox)) == 0;
}

bool NKGetTraceSeed(int iTrace, int *piIndex, NKTraceSeed *pSeed)
{
    int iIndex = 0;
    if (pSeed == nullptr || sg_Hooks.pfnGetTraceSeed == nullptr ||
        !sg_Hooks.pfnGetTraceSeed(iTrace, &iIndex, pSeed))
        return false;
    if (piIndex != nullptr) *piIndex = iIndex;
    return true;
}

void NKSetTraceSeed(int iTrace, const NKTraceSeed &seed)
{
    if (sg_Hooks.pfnSetTraceSeed != nullptr) sg_Hooks.pfnSetTraceSeed(iTrace, seed);
}

void NKSetTraceSeedBox(const float *pfBox, int nx, int ny, int nz)
{
    if (pfBox == nullptr) return;
    NKTraceSeed seed;
    seed.bIsBox = 1;
    seed.aiCounts[0] = nx;
    seed.aiCounts[1] = ny;
    seed.aiCounts[2] = nz;
    std::memcpy(seed.afBox, pfBox, sizeof(seed.afBox));
    NKSetTraceSeed(-1, seed);
}

int SetInteractionCursor(int iCode)
{
    int iPrevious = sg_iInteractionCursor;
    sg_iInteractionCursor = iCode;
    if (sg_Hooks.pfnShowInteractionCursor != nullptr) sg_Hooks.pfnShowInteractionCursor(iCode);
    return iPrevious;
}

int NKGetRememberedCursor(void) { return sg_iInteractionCursor; }

void NKInvalidateView(void)
{
    g_bViewInvalidated = 1;
    if (sg_Hooks.pfnInvalidateView != nullptr) sg_Hooks.pfnInvalidateView();
}

int NKRunCommandLine(const char *pszLine)
{
    return sg_Hooks.pfnExecuteCommand != nullptr ? sg_Hooks.pfnExecuteCommand(pszLine)
                                                 : kNotHandled;
}
