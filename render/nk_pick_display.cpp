// render/nk_pick_display.cpp -- the pieces of the pick feedback (see
// nk_pick_display.h): element shapes, part boxes, picked polygons, node
// spheres, the node read-out and the distance of a pair.
#include "render/nk_pick_display.h"

#include <GL/gl.h>

#include <cmath>
#include <vector>

#include "core/nk_bbox.h"
#include "core/nk_element_types.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_math.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_ray.h"
#include "core/nk_topology.h"
#include "render/nk_element_drawing.h"
#include "render/nk_gl_scope.h"
#include "render/nk_label_overlay.h"
#include "render/nk_primitives.h"
#include "render/nk_text.h"

NKPickMarker g_PickMarker;

void NKResetPickMarker(void) { g_PickMarker = NKPickMarker(); }

namespace {

// Screen-sized spheres of the picked nodes and points.
constexpr float kSphereFactor = 0.005f;

// p carried by the 4 x 4 column-major matrix m.
void TransformPoint(const float *m, const float *p, float *pfOut)
{
    for (int r = 0; r < 3; r++)
        pfOut[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
}

const float *PartMatrix(const NKFrame *pFrame, int iPart)
{
    return pFrame != nullptr && pFrame->pTransformation != nullptr
               ? pFrame->pTransformation + 16 * iPart
               : nullptr;
}

// The part's drawn coordinates, null when missing or when a displaced
// entry holds fewer nodes than the part (indices of the part would read
// past it).
const float *DrawnCoords(NKFrame *pFrame, int iPart, NKPart *pPart)
{
    const float *pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
    if (pfCoords == nullptr || pPart == nullptr || pfCoords == pPart->pNodeCoords) return pfCoords;
    const NKVectorPartEntry *pEntry = NKGetPartVectorEntry(iPart, pFrame);
    return pEntry != nullptr && pEntry->iNumNodes >= pPart->iNumNodes ? pfCoords : nullptr;
}

// The drawn coordinates of a node of the part; null when either is missing.
const float *NodeCoords(NKFrame *pFrame, int iPart, int iNode)
{
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr || iNode < 0 || iNode >= pPart->iNumNodes) return nullptr;
    const float *pfCoords = DrawnCoords(pFrame, iPart, pPart);
    return pfCoords != nullptr ? pfCoords + 3 * iNode : nullptr;
}

void SendPackedNormal(const int8_t *pNormal)
{
    const bool bBytes = g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bDisplayFlag;
    if (bBytes)
        glNormal3bv(reinterpret_cast<const GLbyte *>(pNormal));
    else
        glNormal3f(pNormal[0] / 127.0f, pNormal[1] / 127.0f, pNormal[2] / 127.0f);
}

// Every face of the element as one polygon after its normal; faces with a
// node outside the part are left out.
void DrawElementFaces(const NKPart *pPart, int iElement, const float *pfCoords)
{
    const int iType = pPart->pElements[iElement].iType;
    for (int f = 0; f < NKElementFaceCount(iType); f++) {
        int aiNodes[8];
        NKPartElementFaceNodes(pPart, iElement, f, aiNodes);
        const int n = NKElementFaceNodeCount(iType, f);
        bool bUsable = n >= 3 && n <= 8;
        for (int i = 0; bUsable && i < n; i++) bUsable = aiNodes[i] >= 0;
        if (!bUsable) continue;
        float afNormal[3];
        NKComputePolygonNormal(aiNodes, n, pfCoords, afNormal);
        glNormal3fv(afNormal);
        glBegin(GL_POLYGON);
        for (int i = 0; i < n; i++) glVertex3fv(pfCoords + 3 * aiNodes[i]);
        glEnd();
    }
}

void DrawElementEdges(const NKPart *pPart, int iElement, const float *pfCoords)
{
    const int iType = pPart->pElements[iElement].iType;
    glBegin(GL_LINES);
    for (int e = 0; e < NKElementEdgeCount(iType); e++) {
        int a = -1, b = -1;
        NKPartElementEdgeNodes(pPart, iElement, e, &a, &b);
        if (a < 0 || b < 0) continue;
        glVertex3fv(pfCoords + 3 * a);
        glVertex3fv(pfCoords + 3 * b);
    }
    glEnd();
}

// The picked items are drawn moved by the marker's offset, under a
// model-view matrix scope of the caller.
void TranslateByPickOffset(void)
{
    glTranslatef(g_PickMarker.fOffset[0], g_PickMarker.fOffset[1], g_PickMarker.fOffset[2]);
}

// The drawn coordinates of the entries' nodes or hit points.
std::vector<float> EntryPoints(NKFrame *pFrame, int iFrame, int iPart, NKPickInfo *const *ppEntries,
                               const int *piIndices, int iCount, bool bHitPoints)
{
    std::vector<float> points;
    if (ppEntries == nullptr || piIndices == nullptr) return points;
    for (int i = 0; i < iCount; i++) {
        const NKPickInfo *p = ppEntries[piIndices[i]];
        if (p == nullptr) continue;
        const float *pfPoint = nullptr;
        if (bHitPoints) {
            if (p->iFrame == iFrame) pfPoint = p->fPoint;
        } else {
            pfPoint = NodeCoords(pFrame, iPart, p->iNode);
        }
        if (pfPoint != nullptr) points.insert(points.end(), pfPoint, pfPoint + 3);
    }
    return points;
}

void DrawSpheres(const std::vector<float> &points)
{
    if (points.empty()) return;
    NKDrawScreenSizedSpheres(points.data(), static_cast<int>(points.size() / 3), kSphereFactor,
                             false, nullptr, nullptr);
}

}  // namespace

bool NKDrawElementShape(NKFrame *pFrame, NKPart *pPart, int iPart, int iElement, bool bFilled)
{
    if (pPart == nullptr || pPart->pElements == nullptr || iElement < 0 ||
        iElement >= pPart->iNumElements)
        return false;
    const float *pfCoords = DrawnCoords(pFrame, iPart, pPart);
    if (pfCoords == nullptr) return false;
    if (bFilled)
        DrawElementFaces(pPart, iElement, pfCoords);
    else
        DrawElementEdges(pPart, iElement, pfCoords);
    return true;
}

void NKDrawPickedPartBox(int iFrame, int iPart)
{
    const float *pfBox =
        NKGetPartBoundingBox(NKGetFrame(iFrame), iPart, NK_BOX_DISPLACED_OR_UNDEFORMED);
    if (pfBox == nullptr) return;
    float afBox[6];
    for (int i = 0; i < 6; i++) afBox[i] = pfBox[i];
    ModelToDisplayBox(afBox);
    NKDrawBox(afBox, false, 1.0f);
}

void NKDrawPickedElements(int iFrame, int iPart, NKPickInfo *const *ppEntries, const int *piIndices,
                          int iCount, bool bFilled)
{
    NKFrame *pFrame = NKGetFrame(iFrame);
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr || ppEntries == nullptr || piIndices == nullptr) return;
    const NKMatrixScope matrix(GL_MODELVIEW);
    TranslateByPickOffset();
    for (int i = 0; i < iCount; i++) {
        const NKPickInfo *p = ppEntries[piIndices[i]];
        if (p != nullptr) NKDrawElementShape(pFrame, pPart, iPart, p->iElement, bFilled);
    }
}

void NKDrawPickedPolygons(int iFrame, int iPart, NKPickInfo *const *ppEntries, const int *piIndices,
                          int iCount)
{
    NKFrame *pFrame = NKGetFrame(iFrame);
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    const float *pfCoords = DrawnCoords(pFrame, iPart, pPart);
    if (pfCoords == nullptr || ppEntries == nullptr || piIndices == nullptr) return;
    const int8_t *pNormals = NKGetPartPolygonNormals(iPart, pPart, pFrame);
    const NKMatrixScope matrix(GL_MODELVIEW);
    TranslateByPickOffset();
    for (int i = 0; i < iCount; i++) {
        const NKPickInfo *p = ppEntries[piIndices[i]];
        const int *piNodes = nullptr;
        int n = 0;
        if (p == nullptr || !NKGetValidPolygon(*pPart, p->iPolygon, &piNodes, &n) || n < 1)
            continue;
        if (pNormals != nullptr) SendPackedNormal(pNormals + 3 * p->iPolygon);
        glBegin(GL_POLYGON);
        for (int j = 0; j < n; j++) glVertex3fv(pfCoords + 3 * piNodes[j]);
        glEnd();
    }
}

void NKDrawPickedNodes(int iFrame, int iPart, NKPickInfo *const *ppEntries, const int *piIndices,
                       int iCount)
{
    DrawSpheres(
        EntryPoints(NKGetFrame(iFrame), iFrame, iPart, ppEntries, piIndices, iCount, false));
}

void NKDrawPickedPoints(int iFrame, int iPart, NKPickInfo *const *ppEntries, const int *piIndices,
                        int iCount)
{
    DrawSpheres(EntryPoints(NKGetFrame(iFrame), iFrame, iPart, ppEntries, piIndices, iCount, true));
}

bool NKGetDrawnNodePosition(NKFrame *pFrame, int iPart, int iNode, float *pfOut)
{
    const float *p = NodeCoords(pFrame, iPart, iNode);
    if (p == nullptr || pfOut == nullptr) return false;
    for (int i = 0; i < 3; i++) pfOut[i] = p[i];
    return true;
}

bool NKGetPickedNodePosition(NKFrame *pFrame, int iPart, int iNode, float *pfOut)
{
    const float *p = NodeCoords(pFrame, iPart, iNode);
    if (p == nullptr || pfOut == nullptr) return false;
    const float *m = PartMatrix(pFrame, iPart);
    if (m != nullptr) {
        TransformPoint(m, p, pfOut);
    } else {
        for (int i = 0; i < 3; i++) pfOut[i] = p[i];
    }
    return true;
}

bool NKFormatNodeInfo(NKString *pText, NKFrame *pFrame, int iPart, int iNode)
{
    if (pText == nullptr) return false;
    *pText = NKString();
    float afPos[3];
    if (!NKGetPickedNodePosition(pFrame, iPart, iNode, afPos)) return false;
    const NKPart *pPart = NKGetFramePart(pFrame, iPart);
    NKString text;
    if (pPart->pNodeIDs != nullptr)
        text = NKString::FromFormat("Node ID: %d\n", pPart->pNodeIDs[iNode]);
    DisplayToModel(afPos);
    text = NKString::FromFormat("%sPos: %g %g %g", text.GetText(), afPos[0], afPos[1], afPos[2]);
    const NKScalarPartEntry *pScalar = NKGetPartScalarEntry(iPart, pFrame);
    if (pScalar != nullptr && pScalar->pNodeValues != nullptr && iNode < pScalar->iCount) {
        const float v = pScalar->pNodeValues[iNode];
        text = NKIsUndefined(v) ? NKString::FromFormat("%s\nScalar: UNDEFINED", text.GetText())
                                : NKString::FromFormat("%s\nScalar: %g", text.GetText(), v);
    }
    // The displacement against the undeformed node, whether or not the part
    // is drawn displaced: against the drawn (displaced) coordinates it would
    // read 0.
    const NKVectorPartEntry *pVector = NKGetPartVectorEntry(iPart, pFrame);
    if (pVector != nullptr && pVector->pNodeValues != nullptr && iNode < pVector->iNumNodes &&
        pPart->pNodeCoords != nullptr) {
        float afVector[3];
        for (int i = 0; i < 3; i++)
            afVector[i] = pVector->pNodeValues[3 * iNode + i] - pPart->pNodeCoords[3 * iNode + i];
        DisplayToModelVector(afVector);
        text = NKString::FromFormat("%s\nVector: %g %g %g", text.GetText(), afVector[0],
                                    afVector[1], afVector[2]);
    }
    *pText = text;
    return true;
}

bool NKFormatPickDistance(NKString *pText, float *pfMidpoint, NKFrame *pFrame,
                          NKPickInfo *const *ppEntries, int iCount)
{
    if (pText == nullptr || pfMidpoint == nullptr || ppEntries == nullptr || iCount != 2 ||
        ppEntries[0] == nullptr || ppEntries[1] == nullptr)
        return false;
    float afA[3], afB[3];
    const NKPickInfo &a = *ppEntries[0], &b = *ppEntries[1];
    if (!NKGetPickedNodePosition(pFrame, a.iPart, a.iNode, afA) ||
        !NKGetPickedNodePosition(pFrame, b.iPart, b.iNode, afB))
        return false;
    for (int i = 0; i < 3; i++) pfMidpoint[i] = 0.5f * (afA[i] + afB[i]);
    DisplayToModel(afA);
    DisplayToModel(afB);
    float d[3];
    for (int i = 0; i < 3; i++) d[i] = afB[i] - afA[i];
    const float fLength = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    *pText = NKString::FromFormat("Dist: %g (dx: %g, dy: %g, dz: %g)", fLength, std::fabs(d[0]),
                                  std::fabs(d[1]), std::fabs(d[2]));
    return true;
}

bool NKDrawPickDistance(int iFrame, NKPickInfo *const *ppEntries, int iCount)
{
    NKString text;
    float afMid[3];
    NKFrame *pFrame = NKGetFrame(iFrame);
    if (!NKFormatPickDistance(&text, afMid, pFrame, ppEntries, iCount)) return false;
    const NKPickInfo &a = *ppEntries[0], &b = *ppEntries[1];
    float afA[3], afB[3];
    NKGetPickedNodePosition(pFrame, a.iPart, a.iNode, afA);
    NKGetPickedNodePosition(pFrame, b.iPart, b.iNode, afB);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glColor3ubv(NKGetTextColor());
    glBegin(GL_LINES);
    glVertex3fv(afA);
    glVertex3fv(afB);
    glEnd();
    glPopAttrib();
    // The label's owner is the first part, whose captured matrix may already
    // hold that part's matrix (its node label was added inside it): the
    // midpoint goes in inside the same matrix, carried back into the part's
    // own coordinates.
    const float *m = PartMatrix(pFrame, a.iPart);
    float afInverse[16], afLocal[3] = {afMid[0], afMid[1], afMid[2]};
    const bool bMatrix = m != nullptr && NKInvertMatrix(m, afInverse);
    if (bMatrix) {
        TransformPoint(afInverse, afMid, afLocal);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glMultMatrixf(m);
    }
    AddTextLabel(g_pLabelOverlay, text.GetText(), afLocal[0], afLocal[1], afLocal[2], a.iPart);
    if (bMatrix) glPopMatrix();
    return true;
}
