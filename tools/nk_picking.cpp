// tools/nk_picking.cpp -- the pick ray, the part and cutting-plane hit tests
// and what a pick does (see nk_picking.h).
#include "tools/nk_picking.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "commands/nk_command_log.h"
#include "commands/nk_dde_server.h"
#include "core/nk_bbox.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_math.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_oriented_box.h"
#include "core/nk_part_lists.h"
#include "core/nk_ray.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "render/nk_element_drawing.h"
#include "render/nk_scene_view.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_line_sets.h"
#include "tools/nk_manipulator.h"
#include "tools/nk_particle_trace.h"
#include "tools/nk_surface_records.h"

namespace {

uint8_t sg_bToggle = 0;  // Ctrl picks toggle the highlight

constexpr float kNoHit = 1e12f;

// The nearest part hit of one pass.
struct PartHit {
    int iPart = -1;
    NKRayHit hit{{0.0f, 0.0f, 0.0f}, -1, kNoHit};
};

int ResolveFrame(int iFrame)
{
    if (iFrame >= 0 || g_pModel == nullptr) return iFrame;
    return g_pModel->iCurrentFrame;
}

// p = m x (x, y, z, 1), column-major m.
void TransformPoint(const float *m, const float *p, float *pOut)
{
    for (int r = 0; r < 3; r++)
        pOut[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
}

// The part's box (displaced when the frame has one), in display
// coordinates, grown by 0.01 and carried by the part's matrix.
bool RayMissesPartBox(const NKFrame *pFrame, int iPart, const float *o, const float *d)
{
    const float *pfBox = NKGetPartBoundingBox(pFrame, iPart, NK_BOX_DISPLACED_OR_UNDEFORMED);
    if (pfBox == nullptr) return true;
    float afBox[6];
    for (int i = 0; i < 6; i++) afBox[i] = pfBox[i];
    ModelToDisplayBox(afBox);
    NKOrientedBox box;
    box.SetFromBox(afBox);
    box.Inflate(0.01f);
    if (pFrame->pTransformation != nullptr) box.Transform(pFrame->pTransformation + 16 * iPart);
    box.Update();
    if (box.Contains(o)) return false;
    float fDist = kNoHit, afHit[3];
    int iCorner = -1, iFace = -1;
    return !box.RayHit(o, d, &fDist, &iCorner, &iFace, afHit) || fDist >= kNoHit;
}

// The part hit test: box first, then the drawn polygons with the ray in the
// part's own coordinates. True with *pHit when the part was hit.
bool HitPart(NKFrame *pFrame, int iPart, const float *o, const float *d, NKRayHit *pHit)
{
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr || pPart->iNumPolygons < 1 || pPart->pConnects == nullptr) return false;
    if (RayMissesPartBox(pFrame, iPart, o, d)) return false;
    float afO[3] = {o[0], o[1], o[2]}, afD[3] = {d[0], d[1], d[2]};
    if (pFrame->pTransformation != nullptr) {
        // The ray's origin and end into the part's own coordinates; the ray
        // parameter stays comparable between parts.
        float afInverse[16], afEnd[3], afLocalEnd[3];
        if (!NKInvertMatrix(pFrame->pTransformation + 16 * iPart, afInverse)) return false;
        for (int i = 0; i < 3; i++) afEnd[i] = o[i] + d[i];
        TransformPoint(afInverse, o, afO);
        TransformPoint(afInverse, afEnd, afLocalEnd);
        for (int i = 0; i < 3; i++) afD[i] = afLocalEnd[i] - afO[i];
    }
    const float *pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
    const bool bFilter = g_ValueFilterSettings.bValueFilter && NKHasPartNodeValues(pFrame, iPart);
    NKRayHit hit{{0.0f, 0.0f, 0.0f}, -1, kNoHit};
    const int n = NKRayHitPartPolygons(
        pfCoords, pPart->pConnects, pPart->pPolygonStart, pPart->pPolygonNumNodes,
        pPart->iNumPolygons, afO, afD, &hit, NKGetPartVisibility(pFrame, iPart),
        NKGetPartLevel(NKGetFrameGeometry(pFrame), iPart), bFilter ? pFrame : nullptr, iPart);
    if (n == 0 || hit.iPolygon < 0) return false;
    *pHit = hit;
    return true;
}

// The nearest hit among the parts that match the filter; ties keep the
// lower part.
PartHit PickParts(NKFrame *pFrame, const float *o, const float *d, uint32_t uMask, uint8_t uWanted)
{
    PartHit best;
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr || pGeo->pParts == nullptr) return best;
    for (int i = 0; i < pGeo->iNumParts; i++) {
        if (!NKPartMatchesFilter(&pGeo->pParts[i], uMask, uWanted)) continue;
        NKRayHit hit;
        if (HitPart(pFrame, i, o, d, &hit) && hit.fT < best.hit.fT) {
            best.iPart = i;
            best.hit = hit;
        }
    }
    return best;
}

// The record of a part hit: element, nearest node (first of equals) and the
// polygon's information text when asked for.
void FillPartPick(int iFrame, NKFrame *pFrame, const PartHit &hit, NKPickInfo *pPick)
{
    *pPick = NKPickInfo();
    NKPart *pPart = NKGetFramePart(pFrame, hit.iPart);
    if (pPart == nullptr) return;
    const int k = hit.hit.iPolygon;
    pPick->iFrame = iFrame;
    pPick->pGeometry = NKGetFrameGeometry(pFrame);
    pPick->iPart = hit.iPart;
    pPick->iPolygon = k;
    if (pPart->pPolygonElements != nullptr) {
        const int e = pPart->pPolygonElements[k];
        if (e >= 0 && e < pPart->iNumElements) pPick->iElement = e;
    }
    const float *pfCoords = GetPartNodeCoords(hit.iPart, pPart, pFrame);
    pPick->iNode = NKFindNearestPoint(pPart->pConnects + pPart->pPolygonStart[k],
                                      pPart->pPolygonNumNodes[k], pfCoords, hit.hit.afPoint);
    for (int i = 0; i < 3; i++) pPick->fPoint[i] = hit.hit.afPoint[i];
    if (NKGetPolygonInfoInPick() && pPart->pStringList != nullptr)
        pPick->pszInfo = pPart->pStringList->Get(k);
}

// The nearest cutting-plane surface polygon along the ray.
struct CutHit {
    int iPlane = -1, iPiece = -1, iPolygon = -1;
    float afPoint[3] = {0.0f, 0.0f, 0.0f};
    float fT = kNoHit;
};

// A local plane is hit only within its rectangle (NKWithinLocalPlane).
CutHit PickCutSurfaces(const NKFrame *pFrame, const float *o, const float *d)
{
    CutHit best;
    if (g_pCutPlaneSet == nullptr || !g_pCutPlaneSet->IsEnabled()) return best;
    for (int iPlane = 0; iPlane < g_pCutPlaneSet->GetNumPlanes(); iPlane++) {
        const CutPlane *pPlane = g_pCutPlaneSet->GetPlane(iPlane);
        const CutSurface *pCut =
            iPlane < NK_MAX_CUT_SURFACES ? pFrame->pCutSurfaces[iPlane] : nullptr;
        if (pPlane == nullptr || pCut == nullptr || pCut->pParts == nullptr) continue;
        for (int iPiece = 0; iPiece < pCut->iNumParts; iPiece++) {
            const CutSurfacePart &piece = pCut->pParts[iPiece];
            const NKIndexedFaceSet &mesh = piece.mesh;
            if (!piece.bHasSurface || mesh.pfCoords == nullptr || mesh.piConnects == nullptr)
                continue;
            float afHit[3], t = 0.0f;
            if (!NKIntersectRayPlane(piece.fPlaneNormal, piece.fPlanePoint, o, d, afHit, &t) ||
                t < 0.0f || !(t < best.fT))
                continue;
            if (pPlane->bLocal && !NKWithinLocalPlane(*pPlane, afHit)) continue;
            for (int k = 0; k < mesh.iNumPolygons; k++) {
                if (!NKPointInIndexedPolygon(piece.fPlaneNormal, mesh.pfCoords,
                                             mesh.piConnects + mesh.piPolygonStart[k],
                                             mesh.piPolygonNumNodes[k], afHit))
                    continue;
                best.iPlane = iPlane;
                best.iPiece = iPiece;
                best.iPolygon = k;
                best.fT = t;
                for (int i = 0; i < 3; i++) best.afPoint[i] = afHit[i];
                break;
            }
        }
    }
    return best;
}

// The nearest particle-trace seed along the ray: a seed box as an oriented
// box in display coordinates, a point seed as a sphere whose radius, 0.005,
// grows with the distance from the ray's origin. The trace index or -1.
int PickTraceSeeds(const float *o, const float *d, float *pfT)
{
    *pfT = kNoHit;
    int iBest = -1;
    if (g_pParticleTraceSet == nullptr || !g_pParticleTraceSet->IsEnabled()) return -1;
    for (int i = 0; i < g_pParticleTraceSet->GetNumTraces(); i++) {
        const TraceSeedBox *pSeed = g_pParticleTraceSet->GetSeedBox(i);
        if (pSeed == nullptr) continue;
        float afA[3] = {pSeed->fCorner1[0], pSeed->fCorner1[1], pSeed->fCorner1[2]};
        float afB[3] = {pSeed->fCorner2[0], pSeed->fCorner2[1], pSeed->fCorner2[2]};
        ModelToDisplay(afA);
        ModelToDisplay(afB);
        float t = kNoHit, afHit[3];
        bool bHit = false;
        if (pSeed->bIsBox) {
            NKOrientedBox box;
            box.SetFromMinMax(afA, afB);
            box.Update();
            int iCorner = -1, iFace = -1;
            bHit = box.RayHit(o, d, &t, &iCorner, &iFace, afHit);
        } else {
            bHit = NKRayHitsSphere(afA, 0.0f, o, d, 0.005f, afHit, &t);
        }
        if (bHit && t >= 0.0f && t < *pfT) {
            *pfT = t;
            iBest = i;
        }
    }
    return iBest;
}

// A cutting plane picked in front of the parts becomes current; in
// cutting-plane mode with the list on its record joins the list.
void TakeCutPlanePick(int iFrame, NKFrame *pFrame, const CutHit &cut)
{
    g_pCutPlaneSet->SetCurrent(cut.iPlane);
    if (g_SelectionList.iMode != 7 || !g_SelectionList.bEnabled) return;
    NKPickInfo pick;
    pick.iFrame = iFrame;
    pick.pGeometry = NKGetFrameGeometry(pFrame);
    pick.iPart = -1;
    pick.iPolygon = cut.iPolygon;
    pick.iElement = cut.iPlane;
    pick.iNode = cut.iPiece;
    for (int i = 0; i < 3; i++) pick.fPoint[i] = cut.afPoint[i];
    g_SelectionList.Add(pick);
}

// Cursor to window position; in split-screen stereo a point outside the
// viewport is moved into the other eye's half.
bool WindowPoint(int x, int y, int iHeight, const int aiViewport[4], double *pdX, double *pdY)
{
    const int vx = aiViewport[0], vy = aiViewport[1], vw = aiViewport[2], vh = aiViewport[3];
    int wy = iHeight - y - 1;
    auto inside = [&]() { return x >= vx && x < vx + vw && wy >= vy && wy < vy + vh; };
    if (!inside()) {
        const NKGraphicsSettings *g = g_pGraphicsSettings;
        if (g == nullptr || !g->bStereo || g->bQuadBufferStereo) return false;
        const int iShift = iHeight / 2 + 2 * g->iStartupSetting1;
        if (wy > vh)
            wy -= iShift;
        else if (wy < vy)
            wy += iShift;
        if (!inside()) return false;
    }
    *pdX = x + 0.5;
    *pdY = wy + 0.5;
    return true;
}

bool UnprojectRay(double dX, double dY, const double adModelView[16], const double adProjection[16],
                  const int aiViewport[4], float *pfRay)
{
    double adNear[3], adFar[3];
    if (!NKUnProject(dX, dY, 0.0, adModelView, adProjection, aiViewport, adNear) ||
        !NKUnProject(dX, dY, 1.0, adModelView, adProjection, aiViewport, adFar))
        return false;
    for (int i = 0; i < 3; i++) {
        pfRay[i] = static_cast<float>(adNear[i]);
        pfRay[3 + i] = static_cast<float>(adFar[i] - adNear[i]);
    }
    return true;
}

}  // namespace

NKPickInput NKMakePickInput(int x, int y, const double adModelView[16],
                            const double adProjection[16], const int aiViewport[4])
{
    NKPickInput input;
    input.iX = x;
    input.iY = y;
    std::copy(adModelView, adModelView + 16, input.adModelView);
    std::copy(adProjection, adProjection + 16, input.adProjection);
    std::copy(aiViewport, aiViewport + 4, input.aiViewport);
    input.iWindowHeight =
        NKViewWindowSize.iHeight > 0 ? NKViewWindowSize.iHeight : aiViewport[1] + aiViewport[3];
    return input;
}

NKPickInput NKPickInputOfSavedView(int x, int y)
{
    return NKMakePickInput(x, y, g_adSavedModelView, g_adSavedProjection, g_aiSavedViewport);
}

bool NKMouseRay(int x, int y, int iHeight, const double adModelView[16],
                const double adProjection[16], const int aiViewport[4], float *pfOrigin,
                float *pfDirection)
{
    if (adModelView == nullptr || adProjection == nullptr || aiViewport == nullptr) return false;
    double dX = 0.0, dY = 0.0;
    float afRay[6];
    if (!WindowPoint(x, y, iHeight, aiViewport, &dX, &dY) ||
        !UnprojectRay(dX, dY, adModelView, adProjection, aiViewport, afRay))
        return false;
    for (int i = 0; i < 3; i++) {
        pfOrigin[i] = afRay[i];
        pfDirection[i] = afRay[3 + i];
    }
    return true;
}

int NKPickAtMouse(int iFrame, const NKPickInput &input, NKPickInfo *pPick, bool bPartsOff)
{
    if (pPick != nullptr) *pPick = NKPickInfo();
    double dX = 0.0, dY = 0.0;
    if (!WindowPoint(input.iX, input.iY, input.iWindowHeight, input.aiViewport, &dX, &dY))
        return -1;
    static const double kEyeSpace[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -2, 1};
    float afRays[2][6];
    if (!UnprojectRay(dX, dY, input.adModelView, input.adProjection, input.aiViewport, afRays[0]) ||
        !UnprojectRay(dX, dY, kEyeSpace, input.adProjection, input.aiViewport, afRays[1]))
        return -1;
    const int aiGroups[2] = {1, 2};
    return NKPickRay(iFrame, afRays, aiGroups, 2, pPick, bPartsOff);
}

int NKPickRay(int iFrame, const float (*pfRays)[6], const int *piGroups, int iNumGroups,
              NKPickInfo *pPick, bool bPartsOff)
{
    if (pPick != nullptr) *pPick = NKPickInfo();
    iFrame = ResolveFrame(iFrame);
    NKFrame *pFrame = NKGetFrame(iFrame);
    if (pFrame == nullptr || pfRays == nullptr || piGroups == nullptr || iNumGroups < 1) return -1;
    const float *o = pfRays[0], *d = pfRays[0] + 3;
    if (g_SelectionList.iMode == 7) {
        g_SelectionList.Clear();
        bPartsOff = true;
    }
    PartHit part;
    if (!bPartsOff)
        part = PickParts(pFrame, o, d,
                         NK_FILTER_VISIBLE | NK_FILTER_LINES | NK_FILTER_POINTS | NK_FILTER_OUTLINE,
                         NK_FILTER_VISIBLE);
    ManipulatorList *pList = g_pManipulatorList;
    Manipulator *pBefore = nullptr;
    float fHandleT = kNoHit;
    if (pList != nullptr) {
        pBefore = pList->Get(-1);
        pList->ResetPick();
        for (int i = 0; i < iNumGroups; i++)
            pList->Pick(pfRays[i], pfRays[i] + 3, &fHandleT, piGroups[i]);
        if (pList->Get(-1) == nullptr) fHandleT = kNoHit;
    }
    const CutHit cut = PickCutSurfaces(pFrame, o, d);
    float fSeedT = kNoHit;
    const int iSeed = PickTraceSeeds(o, d, &fSeedT);
    float fLineDistance = kNoHit;
    bool bLine = false;
    if (g_pLineSetList != nullptr && g_pLineSetList->m_bPickable)
        bLine = g_pLineSetList->Pick(o, d, &fLineDistance) && fLineDistance < kNoHit;
    const float fTool = std::min(std::min(fHandleT, cut.fT), std::min(fSeedT, fLineDistance));
    if (cut.iPlane < 0 && iSeed < 0 && !bLine && fHandleT >= kNoHit) {
        if (part.iPart < 0 && !bPartsOff)
            part =
                PickParts(pFrame, o, d, NK_FILTER_VISIBLE | NK_FILTER_SURFACE, NK_FILTER_VISIBLE);
    } else if (fTool < part.hit.fT) {
        part = PartHit();
        // A line set hit keeps the pick its own test recorded; a handle at
        // the nearest distance stays current.
        if (cut.iPlane >= 0 && cut.fT == fTool) {
            TakeCutPlanePick(iFrame, pFrame, cut);
            if (pList != nullptr) pList->SetCurrent(&g_pCutPlaneSet->Handle(), fTool);
        } else if (iSeed >= 0 && fSeedT == fTool) {
            g_pParticleTraceSet->SetCurrent(iSeed);
            if (pList != nullptr) pList->SetCurrent(&g_pParticleTraceSet->Handle(), fTool);
        } else if (bLine && fLineDistance == fTool && fHandleT != fTool && pList != nullptr) {
            pList->ResetPick();
        }
    } else if (pList != nullptr) {
        pList->ResetPick();
    }
    // A second press on the handle that was already current is a click.
    if (pList != nullptr && pBefore != nullptr && pList->Get(-1) == pBefore)
        for (int i = 0; i < iNumGroups; i++) pList->Click(pfRays[i], pfRays[i] + 3, piGroups[i]);
    if (part.iPart < 0) return -1;
    if (pPick != nullptr) FillPartPick(iFrame, pFrame, part, pPick);
    return part.iPart;
}

int NKPickPartAtMouse(int iFrame, const NKPickInput &input, NKPickInfo *pPick)
{
    if (pPick != nullptr) *pPick = NKPickInfo();
    float afO[3], afD[3];
    if (!NKMouseRay(input.iX, input.iY, input.iWindowHeight, input.adModelView, input.adProjection,
                    input.aiViewport, afO, afD))
        return -1;
    return NKPickPartAlongRay(iFrame, afO, afD, pPick);
}

int NKPickPartAlongRay(int iFrame, const float *pfOrigin, const float *pfDirection,
                       NKPickInfo *pPick)
{
    iFrame = ResolveFrame(iFrame);
    NKFrame *pFrame = NKGetFrame(iFrame);
    if (pFrame == nullptr || pfOrigin == nullptr || pfDirection == nullptr) return -1;
    PartHit part = PickParts(pFrame, pfOrigin, pfDirection, NK_FILTER_VISIBLE | NK_FILTER_OUTLINE,
                             NK_FILTER_VISIBLE);
    if (part.iPart < 0)
        part = PickParts(pFrame, pfOrigin, pfDirection, NK_FILTER_VISIBLE | NK_FILTER_OUTLINE,
                         NK_FILTER_VISIBLE | NK_FILTER_OUTLINE);
    if (part.iPart < 0) return -1;
    if (pPick != nullptr) FillPartPick(iFrame, pFrame, part, pPick);
    return part.iPart;
}

void NKSetPickTogglesHighlight(bool bToggle) { sg_bToggle = bToggle ? 1 : 0; }
bool NKGetPickTogglesHighlight(void) { return sg_bToggle != 0; }

void NKFormatPickLogLine(const NKPickInfo *pPick, char *pszOut, int iSize)
{
    if (pszOut == nullptr || iSize < 1) return;
    pszOut[0] = '\0';
    if (pPick == nullptr || pPick->iFrame < 0 || pPick->iPart < 0) return;
    const NKPart *pPart = NKGetFramePart(NKGetFrame(pPick->iFrame), pPick->iPart);
    if (pPart == nullptr) return;
    int iNodeID = -1;
    if (pPick->iNode >= 0)
        iNodeID = pPart->pNodeIDs != nullptr ? pPart->pNodeIDs[pPick->iNode] : pPick->iNode + 1;
    float afModel[3] = {pPick->fPoint[0], pPick->fPoint[1], pPick->fPoint[2]};
    DisplayToModel(afModel);
    int n = 0;
    if (pPick->iElement >= 0 && pPart->pElements != nullptr)
        n = std::snprintf(pszOut, iSize, "#Selected part %d, element %d. Nearest node: %d",
                          pPick->iPart + 1, pPart->pElements[pPick->iElement].iID, iNodeID);
    else
        n = std::snprintf(pszOut, iSize, "#Selected part %d, polygon %d. Nearest node: %d",
                          pPick->iPart + 1, pPick->iPolygon + 1, iNodeID);
    if (n < 0 || n >= iSize) return;
    std::snprintf(pszOut + n, iSize - n, "  Intersect point: (%g, %g, %g)", afModel[0], afModel[1],
                  afModel[2]);
}

namespace {

// Acting on a pick: the pick record and the part highlight of
// every geometry (each shared geometry once).
void HighlightPick(const NKPickInfo &pick)
{
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr) return;
    const NKGeometry *pPicked = NKGetFrameGeometry(NKGetFrame(pick.iFrame));
    std::vector<NKGeometry *> done;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        NKGeometry *pGeo = g_pModel->pFrames[f].pGeometry;
        if (pGeo == nullptr || std::find(done.begin(), done.end(), pGeo) != done.end()) continue;
        done.push_back(pGeo);
        pGeo->pickInfo = pGeo == pPicked ? pick : NKPickInfo();
        pGeo->pickInfo.pGeometry = nullptr;  // a reference to itself would never be freed
        for (int i = 0; i < pGeo->iNumParts && pGeo->pParts != nullptr; i++) {
            uint8_t &bSelected = pGeo->pParts[i].bSelected;
            if (sg_bToggle && pick.iPart >= 0) {
                if (i == pick.iPart) bSelected = bSelected ? 0 : 1;
            } else {
                bSelected = i == pick.iPart ? 1 : 0;
            }
        }
    }
}

}  // namespace

bool NKHandlePickResult(const NKPickInfo *pPick)
{
    const NKPickInfo pick = pPick != nullptr ? *pPick : NKPickInfo();
    NKGraphicsSettings *g = g_pGraphicsSettings;
    if (g != nullptr && g->bStereo && !sg_bToggle) {
        for (int i = 0; i < 3; i++) g->fVector[i] = pick.iFrame >= 0 ? pick.fPoint[i] : 0.0f;
        g->iCounter = 0;
        return true;
    }
    HighlightPick(pick);
    if (g_SelectionList.bEnabled) g_SelectionList.Add(pick);
    if (bDdeEnabled) NKDDEPostPickAdvise(&pick);
    if (pick.iFrame >= 0 && pick.iPart >= 0 && NKCanWriteCommandLog()) {
        char szLine[512];
        NKFormatPickLogLine(&pick, szLine, static_cast<int>(sizeof(szLine) - 1));
        char szText[514];
        std::snprintf(szText, sizeof(szText), "%s\n", szLine);
        NKCommandLogWrite(szText);
    }
    NKInvalidateView();
    return true;
}

bool NKPickNearestViewPoint(void)
{
    // No click here: the grid's points are clicks over the saved view.
    NKPickInput input = NKPickInputOfSavedView(0, 0);
    const int *v = input.aiViewport;
    float afModelView[16], afInverse[16];
    for (int i = 0; i < 16; i++) afModelView[i] = static_cast<float>(input.adModelView[i]);
    if (!NKInvertMatrix(afModelView, afInverse)) return false;
    const float afEye[3] = {afInverse[12], afInverse[13], afInverse[14]};
    double dBest = 1e12;
    int iBestX = -1, iBestY = -1;
    for (int j = 1; j <= 3; j++) {
        for (int i = 1; i <= 3; i++) {
            input.iX = v[0] + v[2] * i / 4;
            input.iY = input.iWindowHeight - 1 - (v[1] + v[3] * j / 4);
            NKPickInfo pick;
            if (NKPickPartAtMouse(-1, input, &pick) < 0) continue;
            const double dDist = NKVec3DistanceSquared(pick.fPoint, afEye);
            if (dDist < dBest) {
                dBest = dDist;
                iBestX = input.iX;
                iBestY = input.iY;
            }
        }
    }
    if (iBestX < 0 || g_pGraphicsSettings == nullptr) return false;
    input.iX = iBestX;
    input.iY = iBestY;
    NKPickInfo pick;
    if (NKPickPartAtMouse(-1, input, &pick) < 0) return false;
    for (int i = 0; i < 3; i++) g_pGraphicsSettings->fVector[i] = pick.fPoint[i];
    NKInvalidateView();
    return true;
}

void NKInstallPickingHooks(void)
{
    NKModelHooks hooks = NKGetModelHooks();
    hooks.pfnFindNearestViewPoint = NKPickNearestViewPoint;
    NKSetModelHooks(hooks);
}
