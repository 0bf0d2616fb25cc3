// render/nk_part_overlays.cpp -- lines and marks over a part (see
// nk_part_overlays.h).
#include "render/nk_part_overlays.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "core/nk_bbox.h"
#include "core/nk_data_source_kind.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_oriented_box.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "render/nk_element_drawing.h"
#include "render/nk_fringe_commands.h"
#include "render/nk_gl_scope.h"
#include "render/nk_label_overlay.h"
#include "render/nk_node_colors.h"
#include "render/nk_node_numbers.h"
#include "render/nk_primitives.h"
#include "render/nk_scene_view.h"
#include "render/nk_text_list.h"
#include "render/nk_view_settings.h"

NKOrientedBox *g_pVectorFilterBox = nullptr;
uint8_t g_bVectorBoxFilter = 0;
uint8_t g_uMeshColor[3] = {0, 0, 0};
uint8_t g_uUndeformedColor[3] = {255, 255, 255};

namespace {

// Vectors shorter than this (squared, display units) draw nothing.
constexpr float kMinSquaredVectorLength = 2.5e-9f;
// Normals are drawn this long (display units per unit normal).
constexpr float kNormalLength = 0.05f;

const NKGraphicsSettings kDefaultSettings;
const NKGraphicsSettings &Settings(void)
{
    return g_pGraphicsSettings != nullptr ? *g_pGraphicsSettings : kDefaultSettings;
}

// Everything a draw here changes, saved for the pop at its end.
constexpr GLbitfield kSavedBits = GL_ENABLE_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT |
                                  GL_LINE_BIT | GL_POINT_BIT | GL_LIGHTING_BIT | GL_TRANSFORM_BIT;

void LineSmoothing(void)
{
    if (Settings().bLineSmooth)
        glEnable(GL_LINE_SMOOTH);
    else
        glDisable(GL_LINE_SMOOTH);
}

void TranslateByMeshOffset(void)
{
    glTranslatef(g_afMeshOffset[0], g_afMeshOffset[1], g_afMeshOffset[2]);
}

// A node outside the filter box while box filtering is on; without a box
// nothing is filtered.
bool OutsideVectorFilterBox(const float *pfNode)
{
    return g_bVectorBoxFilter && g_pVectorFilterBox != nullptr &&
           !g_pVectorFilterBox->Contains(pfNode);
}

// Scalar values are element values: the result holds them and node
// averaging is off.
bool ElementResults(const NKFrame *pFrame)
{
    const bool bAverage = g_pViewSettings == nullptr || g_pViewSettings->bNodeAverage;
    return pFrame->pScalar != nullptr && pFrame->pScalar->pElementResults != nullptr && !bAverage;
}

bool SpectrumColours(const NKFrame *pFrame)
{
    return Settings().bTextureFringes && !ElementResults(pFrame);
}

bool Contains(const NKString &text, const char *pszWord)
{
    return std::strstr(text.GetText(), pszWord) != nullptr;
}

// Reservoir sources colour water blue, oil green and gas red; false for
// other names or sources.
bool ReservoirColour(const NKString &name, uint8_t *pColor)
{
    if (NKGetInterfaceType() != NK_INTERFACE_RESERVOIR) return false;
    static const struct {
        const char *pszWord;
        uint8_t auColor[3];
    } kFluids[3] = {{"Water", {0, 0, 255}}, {"Oil", {0, 255, 0}}, {"Gas", {255, 0, 0}}};
    for (const auto &f : kFluids)
        if (Contains(name, f.pszWord)) {
            std::memcpy(pColor, f.auColor, 3);
            return true;
        }
    return false;
}

bool Drawable(NKFrame *pFrame, int iPart, int k, bool bFilter)
{
    const uint8_t *pVisibility = NKGetPartVisibility(pFrame, iPart);
    const uint8_t uLevel = NKGetPartLevel(NKGetFrameGeometry(pFrame), iPart);
    if ((pVisibility != nullptr ? pVisibility[k] : 0) != uLevel) return false;
    return !(bFilter && NKIsPolygonFilteredOut(pFrame, iPart, k));
}

int EdgeFlag(const NKPart &part, int iSlot)
{
    return part.pEdgeKinds != nullptr && iSlot < part.iNumEdgeSlots ? part.pEdgeKinds[iSlot] : 1;
}

void EdgeVertices(const float *pfCoords, int a, int b)
{
    glVertex3fv(pfCoords + 3 * a);
    glVertex3fv(pfCoords + 3 * b);
}

}  // namespace

void NKDrawPartEdges(int iPart, NKPart *pPart, NKFrame *pFrame, bool bOutline, bool bColourGiven)
{
    if (pPart == nullptr || pFrame == nullptr) return;
    const float *pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
    if (pfCoords == nullptr) return;
    const int iThreshold = bOutline ? 2 : 1;
    glPushAttrib(kSavedBits);
    LineSmoothing();
    if (!bColourGiven) {
        if (!bOutline)
            glColor3ubv(g_uMeshColor);
        else if (pPart->bOutlineMeshDefaultColor)
            glColor3fv(pPart->material.diffuse);
        else
            glColor3ubv(pPart->uOutlineMeshColor);
    }
    glDisable(GL_LIGHTING);
    glDepthFunc(GL_LEQUAL);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    TranslateByMeshOffset();
    // Only polygons that carry values can be filtered.
    const bool bFilter =
        g_ValueFilterSettings.bValueFilter && pPart->bFringes && NKHasPartNodeValues(pFrame, iPart);
    const bool bOwnBlocks = g_RendererWorkarounds.bLineClipFix;
    if (!bOwnBlocks) glBegin(GL_LINES);
    const int *piNodes = nullptr;
    int n = 0;
    for (int k = 0; k < pPart->iNumPolygons; k++) {
        if (!NKGetValidPolygon(*pPart, k, &piNodes, &n) || n == 2 || n < 1) continue;
        if (!Drawable(pFrame, iPart, k, bFilter)) continue;
        const int iStart = pPart->pPolygonStart[k];
        for (int j = 0; j < n; j++) {
            if (EdgeFlag(*pPart, iStart + j) < iThreshold) continue;
            if (bOwnBlocks) glBegin(GL_LINES);
            EdgeVertices(pfCoords, piNodes[j], piNodes[(j + 1) % n]);
            if (bOwnBlocks) glEnd();
        }
    }
    if (!bOwnBlocks) glEnd();
    glPopMatrix();
    glPopAttrib();
}

void NKDrawContourLines(int iPart, NKFrame *pFrame)
{
    if (pFrame == nullptr || pFrame->pContours == nullptr) return;
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr || iPart < 0 || iPart >= pGeo->iNumParts) return;
    const NKContourList &list = pFrame->pContours[iPart];
    const NKContourSettings &cs = g_ContourSettings;
    if (list.pLines == nullptr || list.iNumLines < 1 || cs.iNumLevels < 1) return;
    std::vector<int> aiCounters;
    try {
        aiCounters.assign(static_cast<size_t>(cs.iNumLevels), 0);
    } catch (const std::bad_alloc &) {
        return;
    }
    glPushAttrib(kSavedBits);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glDepthFunc(GL_LEQUAL);
    TranslateByMeshOffset();
    glDisable(GL_LIGHTING);
    const bool bSpectrum = SpectrumColours(pFrame);
    const float fFrom = g_pModel != nullptr ? g_pModel->fFringeRangeFrom : 0.0f;
    const float fTo = g_pModel != nullptr ? g_pModel->fFringeRangeTo : 0.0f;
    for (int i = 0; i < list.iNumLines; i++) {
        const NKContourLine &line = list.pLines[i];
        // A record of a level the settings no longer have is left out.
        if (line.iLevel < 0 || line.iLevel >= cs.iNumLevels || cs.pLevels == nullptr) continue;
        float fValue = cs.pLevels[line.iLevel];
        const bool bLabel = cs.bValueLabels && aiCounters[line.iLevel] % 100 == 0;
        uint8_t auColor[3] = {g_uContourLineColor[0], g_uContourLineColor[1],
                              g_uContourLineColor[2]};
        if (bLabel || (cs.bFringeColors && bSpectrum)) {
            if (bSpectrum)
                NKScalarToSpectrumColor(fValue, auColor);
            else
                NKMapScalarsToColors(fFrom, fTo, 1, &fValue, auColor, nullptr);
        }
        if (bLabel && g_pLabelOverlay != nullptr) {
            LabelItem item(NKString::FromFormat("%g", static_cast<double>(fValue)).GetText());
            item.SetPosition(line.fStart[0], line.fStart[1], line.fStart[2]);
            item.SetColorBytes(0, auColor[0], auColor[1], auColor[2], 255);
            item.SetColorBytes(2, auColor[0], auColor[1], auColor[2], 255);
            AddLabel(g_pLabelOverlay, item, NK_LABEL_OWNER_ALWAYS_CAPTURE);
        }
        glLineWidth(line.fLineWidth);
        // The computed colour goes to the label; the line takes it only
        // when the lines follow the fringes.
        if (!cs.bFringeColors)
            glColor3ubv(g_uContourLineColor);
        else
            glColor3ubv(bSpectrum ? auColor : line.uColor);
        glBegin(GL_LINES);
        glVertex3fv(line.fStart);
        glVertex3fv(line.fEnd);
        glEnd();
        aiCounters[line.iLevel]++;
    }
    glPopMatrix();
    glPopAttrib();
}

void NKDrawUndeformedShape(NKPart *pPart, NKFrame *pFrame)
{
    if (pPart == nullptr || pPart->pNodeCoords == nullptr) return;
    (void)pFrame;
    glPushAttrib(kSavedBits);
    glDisable(GL_LIGHTING);
    glColor3ubv(g_uUndeformedColor);
    glLineStipple(1, 0x8888);
    glEnable(GL_LINE_STIPPLE);
    const int *piNodes = nullptr;
    int n = 0;
    for (int k = 0; k < pPart->iNumPolygons; k++) {
        if (!NKGetValidPolygon(*pPart, k, &piNodes, &n) || n < 1) continue;
        glBegin(GL_LINE_LOOP);
        for (int j = 0; j < n; j++) glVertex3fv(pPart->pNodeCoords + 3 * piNodes[j]);
        glEnd();
    }
    glDisable(GL_LINE_STIPPLE);
    glPopAttrib();
}

void NKDrawSelectedPolygon(int iPolygon, int iPart, NKFrame *pFrame)
{
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr || !pPart->bVisible) return;
    const int *piNodes = nullptr;
    int n = 0;
    const float *pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
    if (iPolygon < 0 || iPolygon >= pPart->iNumPolygons || pfCoords == nullptr ||
        !NKGetValidPolygon(*pPart, iPolygon, &piNodes, &n) || n < 1) {
        NKDiagnostic("Could not find the selected polygon to draw.", "NKDrawSelectedPolygon");
        return;
    }
    glPushAttrib(kSavedBits);
    glDisable(GL_LIGHTING);
    glDepthFunc(GL_LEQUAL);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    if (pFrame->pTransformation != nullptr) glMultMatrixf(pFrame->pTransformation + 16 * iPart);
    TranslateByMeshOffset();
    glColor3ubv(NKPartHighlightSettings.uSelectionColor);
    glBegin(n == 2 ? GL_LINE_LOOP : GL_POLYGON);
    for (int j = 0; j < n; j++) glVertex3fv(pfCoords + 3 * piNodes[j]);
    glEnd();
    if (NKGetInterfaceType() != NK_INTERFACE_RESERVOIR && g_pLabelOverlay != nullptr)
        for (int j = 0; j < n; j++) {
            const float *p = pfCoords + 3 * piNodes[j];
            AddTextLabel(g_pLabelOverlay, NKFormatNodeLabel(*pPart, iPart, piNodes[j]).GetText(),
                         p[0], p[1], p[2], NK_LABEL_OWNER_ALWAYS_CAPTURE);
        }
    glPopMatrix();
    glPopAttrib();
}

void NKDrawNodeMarkers(NKFrame *pFrame, const NKNodeMarker *pMarkers, int iCount)
{
    if (pFrame == nullptr || pMarkers == nullptr || iCount < 1) return;
    glPushAttrib(kSavedBits);
    glDisable(GL_LIGHTING);
    glPointSize(5.0f);
    glMatrixMode(GL_MODELVIEW);
    for (int i = 0; i < iCount; i++) {
        const NKNodeMarker &m = pMarkers[i];
        NKPart *pPart = NKGetFramePart(pFrame, m.iPart);
        if (pPart == nullptr || !pPart->bVisible || m.iNode < 0 || m.iNode >= pPart->iNumNodes)
            continue;
        const float *pfCoords = GetPartNodeCoords(m.iPart, pPart, pFrame);
        if (pfCoords == nullptr) continue;
        const float *p = pfCoords + 3 * m.iNode;
        glPushMatrix();
        if (pFrame->pTransformation != nullptr)
            glMultMatrixf(pFrame->pTransformation + 16 * m.iPart);
        glColor3ubv(m.auColor);
        glBegin(GL_POINTS);
        glVertex3fv(p);
        glEnd();
        const NKString text =
            NKString::FromFormat(" <---%s", NKFormatNodeLabel(*pPart, m.iPart, m.iNode).GetText());
        NKDrawText3D(12, p[0], p[1], p[2], m.auColor[0], m.auColor[1], m.auColor[2],
                     text.GetText());
        glPopMatrix();
    }
    glPopAttrib();
}

namespace {

// One field's drawing: the state, then an arrow per item.
struct VectorDraw {
    NKFrame *pFrame;
    int iPart;
    const NKVectorSettings *pSettings;
    float fReference;  // the field's displacement scale
    const uint8_t *pNodeColors = nullptr;
    const float *pfNodeValues = nullptr;
    int iNumValues = 0;
    bool bSpectrum = false;
};

// The arrows' lines, points and colour, under an attribute scope of
// kSavedBits.
void SetVectorState(const NKVectorSettings &s, const uint8_t *pColor)
{
    glDisable(GL_LIGHTING);
    LineSmoothing();
    if (s.iLineWidth > 0) glLineWidth(static_cast<float>(s.iLineWidth));
    glPointSize(2.0f * static_cast<float>(Settings().iPointSize));
    glColor3ubv(pColor);
}

void PrepareScalarColours(VectorDraw *pDraw, NKPart *pPart)
{
    if (!pDraw->pSettings->bScalarColor) return;
    pDraw->bSpectrum = SpectrumColours(pDraw->pFrame);
    pDraw->pNodeColors = NKGetPartNodeColors(pDraw->iPart, pPart, pDraw->pFrame);
    const NKScalarPartEntry *pEntry = NKGetPartScalarEntry(pDraw->iPart, pDraw->pFrame);
    if (pEntry != nullptr) {
        pDraw->pfNodeValues = pEntry->pNodeValues;
        pDraw->iNumValues = pEntry->iCount;
    }
}

// The colour of node iNode when vectors follow the fringes; nothing for
// a node without one.
void ScalarColour(const VectorDraw &d, int iNode)
{
    if (!d.pSettings->bScalarColor || iNode < 0) return;
    if (!d.bSpectrum) {
        if (d.pNodeColors != nullptr) glColor3ubv(d.pNodeColors + 3 * iNode);
        return;
    }
    uint8_t auColor[3];
    if (d.pfNodeValues != nullptr && iNode < d.iNumValues &&
        NKScalarToSpectrumColor(d.pfNodeValues[iNode], auColor))
        glColor3ubv(auColor);
}

// Filters, clamps and draws the arrow from pfTail to pfTip (display
// coordinates) of node iNode (-1: none).
void DrawArrow(const VectorDraw &d, const float *pfTail, const float *pfTip, int iNode)
{
    const NKVectorSettings &s = *d.pSettings;
    for (int k = 0; k < 3; k++)
        if (NKIsUndefined(pfTip[k]) || std::isnan(pfTip[k])) return;
    if (OutsideVectorFilterBox(pfTail)) return;
    float afVector[3] = {pfTip[0] - pfTail[0], pfTip[1] - pfTail[1], pfTip[2] - pfTail[2]};
    if (s.bFilter) {
        float afModel[3] = {afVector[0], afVector[1], afVector[2]};
        DisplayToModelVector(afModel);
        const float fLength =
            std::sqrt(afModel[0] * afModel[0] + afModel[1] * afModel[1] + afModel[2] * afModel[2]);
        const float fData = d.fReference != 0.0f ? fLength / d.fReference : fLength;
        if (fData > s.fFilterMax || fData < s.fFilterMin) return;
    }
    const float fSquared =
        afVector[0] * afVector[0] + afVector[1] * afVector[1] + afVector[2] * afVector[2];
    if (fSquared < kMinSquaredVectorLength) return;
    if (s.bClamp) {
        const float fLength = std::sqrt(fSquared);
        float fNew = fLength;
        if (fLength > s.fClampMax) fNew = s.fClampMax;
        if (fLength < s.fClampMin) fNew = s.fClampMin;
        for (int k = 0; k < 3; k++) afVector[k] *= fNew / fLength;
    }
    const float afTip[3] = {pfTail[0] + afVector[0], pfTail[1] + afVector[1],
                            pfTail[2] + afVector[2]};
    ScalarColour(d, iNode);
    glBegin(GL_LINES);
    glVertex3fv(pfTail);
    glVertex3fv(afTip);
    glEnd();
    if (s.bArrows) NKDrawArrowHead(pfTail, afTip, s.fArrowSize);
}

}  // namespace

void NKDrawPartVectors(int iPart, NKPart *pPart, NKFrame *pFrame, const NKVectorSettings *pSettings)
{
    if (pPart == nullptr || pFrame == nullptr || pSettings == nullptr) return;
    const NKVectorPartEntry *pEntry = NKGetPartVectorEntry(iPart, pFrame);
    if (pEntry == nullptr || pEntry->pNodeValues == nullptr || pPart->pNodeCoords == nullptr)
        return;
    VectorDraw d{pFrame, iPart, pSettings,
                 g_pModel != nullptr ? g_pModel->valueRanges[2].from : 1.0f};
    PrepareScalarColours(&d, pPart);
    uint8_t auColor[3] = {pSettings->uColor[0], pSettings->uColor[1], pSettings->uColor[2]};
    if (pFrame->pVector != nullptr) ReservoirColour(pFrame->pVector->szDescription, auColor);
    const NKAttribScope attribs(kSavedBits);
    SetVectorState(*pSettings, auColor);
    const int iCount = pEntry->iNumNodes < pPart->iNumNodes ? pEntry->iNumNodes : pPart->iNumNodes;
    for (int i = 0; i < iCount; i++) {
        if (pSettings->bSurfaceNodesOnly && pPart->pNodeType != nullptr && pPart->pNodeType[i] < 1)
            continue;
        DrawArrow(d, pPart->pNodeCoords + 3 * i, pEntry->pNodeValues + 3 * i, i);
    }
}

void NKDrawSeparateVectorFields(int iPart, NKPart *pPart, NKFrame *pFrame,
                                const NKVectorSettings *pSettings)
{
    if (pPart == nullptr || pFrame == nullptr || pSettings == nullptr) return;
    for (int s = 0; s < NK_NUM_SEPARATE_VECTOR_SLOTS; s++) {
        const NKSeparateVectorField *pField = pFrame->pSeparateVectors[s];
        if (pField == nullptr || pField->pParts == nullptr || iPart < 0 ||
            iPart >= pField->iNumParts)
            continue;
        const NKSeparateVectorPart &items = pField->pParts[iPart];
        if (items.pItems == nullptr || items.iCount < 1) continue;
        const float fScale = g_pModel != nullptr ? g_pModel->valueRanges[4 + s].fLengthScale : 1.0f;
        VectorDraw d{pFrame, iPart, &pSettings[s], fScale};
        PrepareScalarColours(&d, pPart);
        uint8_t auColor[3] = {pSettings[s].uColor[0], pSettings[s].uColor[1],
                              pSettings[s].uColor[2]};
        ReservoirColour(pField->szName, auColor);
        const NKAttribScope attribs(kSavedBits);
        SetVectorState(pSettings[s], auColor);
        for (int i = 0; i < items.iCount; i++) {
            const NKSeparateVector &v = items.pItems[i];
            if (NKIsUndefined(v.fVector[0]) || NKIsUndefined(v.fVector[1]) ||
                NKIsUndefined(v.fVector[2]))
                continue;
            const float afTip[3] = {v.fPosition[0] + v.fVector[0] * fScale,
                                    v.fPosition[1] + v.fVector[1] * fScale,
                                    v.fPosition[2] + v.fVector[2] * fScale};
            const int iNode = v.iIndex >= 0 && v.iIndex < pPart->iNumNodes ? v.iIndex : -1;
            DrawArrow(d, v.fPosition, afTip, iNode);
        }
    }
}

void NKDrawPartNormals(int iPart, NKPart *pPart, NKFrame *pFrame, const NKVectorSettings *pSettings)
{
    if (pPart == nullptr || pFrame == nullptr || pSettings == nullptr) return;
    const float *pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
    const int8_t *pNodeNormals = NKGetPartNodeNormals(iPart, pPart, pFrame);
    const int8_t *pPolygonNormals = NKGetPartPolygonNormals(iPart, pPart, pFrame);
    if (pfCoords == nullptr || pPolygonNormals == nullptr) return;
    const bool bSmooth = pPart->bSmooth && pNodeNormals != nullptr;
    glPushAttrib(kSavedBits);
    glDisable(GL_LIGHTING);
    glColor3ubv(pSettings->uColor);
    LineSmoothing();
    glPointSize(2.0f * static_cast<float>(Settings().iPointSize));
    const float fScale = kNormalLength / 127.0f;
    auto drawNormal = [fScale](const float *p, const int8_t *pNormal) {
        const float afEnd[3] = {p[0] + pNormal[0] * fScale, p[1] + pNormal[1] * fScale,
                                p[2] + pNormal[2] * fScale};
        glBegin(GL_LINES);
        glVertex3fv(p);
        glVertex3fv(afEnd);
        glEnd();
        glBegin(GL_POINTS);
        glVertex3fv(afEnd);
        glEnd();
    };
    const int *piNodes = nullptr;
    int n = 0;
    for (int k = 0; k < pPart->iNumPolygons; k++) {
        if (!NKGetValidPolygon(*pPart, k, &piNodes, &n) || n < 1) continue;
        const int8_t *pPolygonNormal = pPolygonNormals + 3 * k;
        if (bSmooth) {
            for (int j = 0; j < n; j++) {
                const int8_t *pNormal = pNodeNormals + 3 * piNodes[j];
                if (pNormal[0] == 127 && pNormal[1] == 127) pNormal = pPolygonNormal;
                drawNormal(pfCoords + 3 * piNodes[j], pNormal);
            }
            continue;
        }
        float afCentroid[3] = {0.0f, 0.0f, 0.0f};
        for (int j = 0; j < n; j++)
            for (int c = 0; c < 3; c++) afCentroid[c] += pfCoords[3 * piNodes[j] + c] / n;
        drawNormal(afCentroid, pPolygonNormal);
    }
    glPopAttrib();
}
