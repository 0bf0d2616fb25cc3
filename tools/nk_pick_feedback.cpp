// tools/nk_pick_feedback.cpp -- the selection list drawn each frame, the
// cutting-plane read-out, the cursor choice, the hit texts and the part
// tool tip (see nk_pick_feedback.h).
#include "tools/nk_pick_feedback.h"

#include <GL/gl.h>

#include <algorithm>

#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "render/nk_camera.h"
#include "render/nk_element_drawing.h"
#include "render/nk_label_overlay.h"
#include "render/nk_pick_display.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_picking.h"
#include "tools/nk_surface_records.h"

namespace {

// NKInterpolateAtPoint takes at most this many nodes.
constexpr int kMaxInterpolationNodes = 16;

// Whether the entry's indices lie inside its part (or, for a cutting-plane
// pick, whether it belongs to this frame: its surface is the frame's).
bool EntryIsValid(const NKPickInfo &e, NKFrame *pFrame, int iFrame, int iMode)
{
    if (iMode == 7) return e.iPart == -1 && e.iFrame == iFrame;
    const NKPart *pPart = NKGetFramePart(pFrame, e.iPart);
    if (pPart == nullptr) return false;
    switch (iMode) {
    case 2:
        return e.iElement >= 0 && e.iElement < pPart->iNumElements;
    case 3:
        return e.iPolygon >= 0 && e.iPolygon < pPart->iNumPolygons;
    case 4:
    case 6:
        return e.iNode >= 0 && e.iNode < pPart->iNumNodes;
    default:
        return true;
    }
}

// The feedback for one entry: its label, else its marks.
void DrawEntry(NKFrame *pFrame, int iFrame, const NKSelectionList &list,
               NKPickInfo *const *ppEntries, int iIndex)
{
    const NKPickInfo &e = *ppEntries[iIndex];
    const int iMode = list.iMode;
    if ((iMode == 4 || iMode == 6) && list.bShowNodeInfo) {
        NKString text;
        // The label goes in under the part's matrix, at the node as drawn.
        float afPoint[3];
        if (NKFormatNodeInfo(&text, pFrame, e.iPart, e.iNode) &&
            NKGetDrawnNodePosition(pFrame, e.iPart, e.iNode, afPoint))
            AddTextLabel(g_pLabelOverlay, text.GetText(), afPoint[0], afPoint[1], afPoint[2],
                         e.iPart);
        return;
    }
    if (iMode == 7) {
        NKString text;
        if (list.bShowNodeInfo &&
            NKFormatPointInfo(&text, pFrame, e.iElement, e.iNode, e.iPolygon, e.fPoint))
            AddTextLabel(g_pLabelOverlay, text.GetText(), e.fPoint[0], e.fPoint[1], e.fPoint[2], 0);
        return;
    }
    switch (iMode) {
    case 1:
        NKDrawPickedPartBox(iFrame, e.iPart);
        break;
    case 2:
        NKDrawPickedElements(iFrame, e.iPart, ppEntries, &iIndex, 1, true);
        break;
    case 3:
        NKDrawPickedPolygons(iFrame, e.iPart, ppEntries, &iIndex, 1);
        break;
    case 4:
    case 6:
        NKDrawPickedNodes(iFrame, e.iPart, ppEntries, &iIndex, 1);
        break;
    case 5:
        NKDrawPickedPoints(iFrame, e.iPart, ppEntries, &iIndex, 1);
        break;
    default:
        break;
    }
}

// Nodes of polygon iPolygon of the piece, all inside the piece; at most
// kMaxInterpolationNodes are used.
int PieceFaceNodes(const CutSurfacePart &piece, int iPolygon, const int **ppiNodes)
{
    const NKIndexedFaceSet &m = piece.mesh;
    if (!piece.bHasSurface || m.pfCoords == nullptr || m.piConnects == nullptr ||
        m.piPolygonStart == nullptr || m.piPolygonNumNodes == nullptr || iPolygon < 0 ||
        iPolygon >= m.iNumPolygons)
        return 0;
    const int iStart = m.piPolygonStart[iPolygon], n = m.piPolygonNumNodes[iPolygon];
    if (iStart < 0 || n < 1 || iStart + n > m.iConnectLength) return 0;
    for (int i = 0; i < n; i++)
        if (m.piConnects[iStart + i] < 0 || m.piConnects[iStart + i] >= m.iNumNodes) return 0;
    *ppiNodes = m.piConnects + iStart;
    return std::min(n, kMaxInterpolationNodes);
}

}  // namespace

bool NKFormatPointInfo(NKString *pText, NKFrame *pFrame, int iPlane, int iPiece, int iPolygon,
                       const float *pfPoint)
{
    if (pText == nullptr) return false;
    *pText = NKString();
    if (pFrame == nullptr || pfPoint == nullptr || iPlane < 0 || iPlane >= NK_MAX_CUT_SURFACES)
        return false;
    const CutSurface *pCut = pFrame->pCutSurfaces[iPlane];
    if (pCut == nullptr || pCut->pParts == nullptr || iPiece < 0 || iPiece >= pCut->iNumParts)
        return false;
    const CutSurfacePart &piece = pCut->pParts[iPiece];
    const int *piNodes = nullptr;
    const int n = PieceFaceNodes(piece, iPolygon, &piNodes);
    if (n < 1) return false;
    const auto *pCoords = reinterpret_cast<const float(*)[3]>(piece.mesh.pfCoords);
    const auto *pVectors = reinterpret_cast<const float(*)[3]>(piece.pfVectors);
    float fValue = 0.0f, afVector[3] = {0.0f, 0.0f, 0.0f};
    NKInterpolateAtPoint(pCoords, piNodes, n, piece.pfValues, pVectors, 1, pfPoint, &fValue,
                         afVector);
    float afPos[3] = {pfPoint[0], pfPoint[1], pfPoint[2]};
    DisplayToModel(afPos);
    NKString text = NKString::FromFormat("Pos: %g %g %g", afPos[0], afPos[1], afPos[2]);
    if (piece.pfValues != nullptr) {
        bool bUndefined = false;
        for (int i = 0; i < n; i++)
            bUndefined = bUndefined || NKIsUndefined(piece.pfValues[piNodes[i]]);
        text = bUndefined ? NKString::FromFormat("%s\nScalar: UNDEFINED", text.GetText())
                          : NKString::FromFormat("%s\nScalar: %g", text.GetText(), fValue);
    }
    if (piece.pfVectors != nullptr) {
        DisplayToModelVector(afVector);
        text = NKString::FromFormat("%s\nVector: %g %g %g", text.GetText(), afVector[0],
                                    afVector[1], afVector[2]);
    }
    *pText = text;
    return true;
}

// The frame's entries only (the list's geometry filter); each entry under
// its part's matrix; the state the drawing changes is put back by one
// attribute pop (lighting, colour tracking, culling, shading, depth
// function, current colour).
bool NKDrawNodeInfo(int iFrame, NKSelectionList *pList)
{
    NKFrame *pFrame = NKGetFrame(iFrame);
    if (pFrame == nullptr || pList == nullptr) return false;
    pList->SetGeometryFilter(pFrame->pGeometry);
    int n = 0;
    NKPickInfo *const *ppEntries = pList->GetEntries(true, &n);
    if (ppEntries == nullptr || n < 1) return false;
    const int iMode = pList->iMode;
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT |
                 GL_LINE_BIT);
    if (iMode == 1) {
        glDisable(GL_LIGHTING);
    } else {
        glEnable(GL_LIGHTING);
        glShadeModel(GL_FLAT);
        glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
        glDisable(GL_CULL_FACE);
    }
    glDepthFunc(GL_LEQUAL);
    glColor3ubv(NKPartHighlightSettings.uSelectionColor);
    glMatrixMode(GL_MODELVIEW);
    for (int i = 0; i < n; i++) {
        if (ppEntries[i] == nullptr || !EntryIsValid(*ppEntries[i], pFrame, iFrame, iMode))
            continue;
        const int iPart = ppEntries[i]->iPart;
        const bool bMatrix = pFrame->pTransformation != nullptr && iPart >= 0;
        if (bMatrix) {
            glPushMatrix();
            glMultMatrixf(pFrame->pTransformation + 16 * iPart);
        }
        DrawEntry(pFrame, iFrame, *pList, ppEntries, i);
        if (bMatrix) glPopMatrix();
    }
    if (iMode == 6) NKDrawPickDistance(iFrame, ppEntries, n);
    glPopAttrib();
    return true;
}

int NKChooseInteractionCursor(int iCurrent, bool bModel, bool bStudy, uint32_t uKeys,
                              uint32_t uButtons)
{
    if (iCurrent == NK_CURSOR_WAIT) return iCurrent;
    if (!bModel) return NK_CURSOR_NORMAL;
    const uint32_t uPick = NK_KEY_CTRL | NK_KEY_SHIFT;
    if (uKeys == NK_KEY_CTRL) return NK_CURSOR_PICK_TOGGLE;
    if (uKeys == NK_KEY_SHIFT) return NK_CURSOR_PICK_SELECT;
    if (uKeys == uPick) return NK_CURSOR_PICK_BOTH;
    if (uKeys != 0) return iCurrent;
    static const int kStudy[4] = {NK_CURSOR_NORMAL, NK_CURSOR_STUDY_PAN, NK_CURSOR_STUDY_ZOOM,
                                  NK_CURSOR_STUDY_ROTATE};
    static const int kWalk[4] = {NK_CURSOR_NORMAL, NK_CURSOR_WALK, NK_CURSOR_WALK_ROLL,
                                 NK_CURSOR_WALK_LOOK};
    if (uButtons > 3) return NK_CURSOR_NORMAL;
    return bStudy ? kStudy[uButtons] : kWalk[uButtons];
}

bool NKFormatPickHit(const NKPickInfo *pPick, NKString *pLine1, NKString *pLine2)
{
    if (pLine1 == nullptr || pLine2 == nullptr) return false;
    *pLine1 = NKString("No hits");
    *pLine2 = NKString();
    if (pPick == nullptr || pPick->iFrame < 0 || pPick->iPart < 0) return false;
    const NKPart *pPart = NKGetFramePart(NKGetFrame(pPick->iFrame), pPick->iPart);
    const bool bNode = pPart != nullptr && pPick->iNode >= 0 && pPick->iNode < pPart->iNumNodes;
    int iNodeID = pPick->iNode + 1;
    if (bNode && pPart->pNodeIDs != nullptr) iNodeID = pPart->pNodeIDs[pPick->iNode];
    const bool bElement = pPart != nullptr && pPart->pElements != nullptr && pPick->iElement >= 0 &&
                          pPick->iElement < pPart->iNumElements;
    if (bElement)
        *pLine1 =
            NKString::FromFormat("Hitting part %d, element %d. Nearest node: %d", pPick->iPart + 1,
                                 pPart->pElements[pPick->iElement].iID, iNodeID);
    else
        *pLine1 = NKString::FromFormat("Hitting part %d, polygon %d. Nearest node: %d",
                                       pPick->iPart + 1, pPick->iPolygon + 1, iNodeID);
    if (pPick->pszInfo != nullptr)
        *pLine1 = NKString::FromFormat("%s. Polygon info: %s", pLine1->GetText(), pPick->pszInfo);
    float afModel[3] = {pPick->fPoint[0], pPick->fPoint[1], pPick->fPoint[2]};
    DisplayToModel(afModel);
    *pLine2 =
        NKString::FromFormat("Intersect point: (%g, %g, %g)", afModel[0], afModel[1], afModel[2]);
    return true;
}

NKString NKFormatPartToolTip(int iPart)
{
    const NKPart *pPart = NKGetFramePart(NKGetCurrentFrame(), iPart);
    if (pPart == nullptr) return NKString();
    if (pPart->hotSpot.bHasHotSpot) {
        if (!pPart->hotSpot.szText.IsEmpty()) return pPart->hotSpot.szText;
        return NKString::FromFormat("Hotspot for part %d", iPart + 1);
    }
    if (!pPart->szName.IsEmpty()) return pPart->szName;
    return NKString::FromFormat("Part %d", iPart + 1);
}

int NKPickPartAtPixel(int x, int y, NKPickInfo *pPick)
{
    if (pPick != nullptr) *pPick = NKPickInfo();
    if (g_pModel == nullptr || NKGetCurrentFrame() == nullptr) return -1;
    return NKPickPartAtMouse(-1, NKPickInputOfSavedView(x, y), pPick);
}

bool NKCurrentGeometryHasHotSpots(void)
{
    const NKGeometry *pGeo = NKGetFrameGeometry(NKGetCurrentFrame());
    if (pGeo == nullptr || pGeo->pParts == nullptr) return false;
    for (int i = 0; i < pGeo->iNumParts; i++)
        if (pGeo->pParts[i].hotSpot.bHasHotSpot) return true;
    return false;
}
