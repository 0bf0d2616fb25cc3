// tools/nk_user_label_items.cpp -- turns the user labels into label items of
// the label overlay for the frame being drawn (UserPrimitiveList::DrawAll,
// see nk_user_labels.h). Nothing is cached: items are rebuilt every frame,
// so labels follow animation and deformation.
#include <GL/gl.h>

#include <cstring>

#include "core/nk_bbox.h"
#include "core/nk_frame_results.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "render/nk_label_overlay.h"
#include "render/nk_view_settings.h"
#include "tools/nk_user_labels.h"

namespace {

// What a model anchor reads in one frame.
struct AnchorInputs {
    const NKPart *pPart;
    int iPart;
    const float *pfCoords;    // node coordinates, displaced when shown so
    const float *pfNodeVals;  // null: none
    const float *pfElemVals;  // null: none, or node averaging on
    LabelOverlay *pOverlay;
    const UserPrimitive *pLabel;
};

const char *OwnText(const UserPrimitive *pLabel)
{
    const char *p = pLabel->m_text.GetText();
    for (const char *q = p; *q != '\0'; q++)
        if (*q != ' ' && *q != '\t' && *q != '\n') return p;
    return "<none>";
}

void Emit(const AnchorInputs &in, const char *pszText, const float *pfPoint, bool bTextFlag)
{
    LabelItem item(pszText);
    item.SetPosition(pfPoint[0], pfPoint[1], pfPoint[2]);
    item.bMultiLine = bTextFlag ? 1 : 0;
    AddLabel(in.pOverlay, item, in.iPart);
}

NKString ScalarText(const float *pfValues, int i)
{
    if (pfValues == nullptr || i < 0) return NKString("Scl: N/A");
    if (pfValues[i] == NK_UNDEFINED_VALUE) return NKString("Scl: NO_VALUE");
    return NKString::FromFormat("Scl: %g", double(pfValues[i]));
}

void NodeItem(const AnchorInputs &in, int iNode)
{
    if (iNode < 0 || iNode >= in.pPart->iNumNodes) return;
    const float *p = in.pfCoords + 3 * iNode;
    switch (in.pLabel->m_iType) {
    case NK_LABEL_TEXT:
        Emit(in, OwnText(in.pLabel), p, true);
        break;
    case NK_LABEL_SCALAR:
        Emit(in, ScalarText(in.pfNodeVals, iNode).GetText(), p, false);
        break;
    case NK_LABEL_COORD: {
        float m[3] = {p[0], p[1], p[2]};
        DisplayToModel(m);
        Emit(in, NKString::FromFormat("[%g, %g, %g]", m[0], m[1], m[2]).GetText(), p, false);
        break;
    }
    default: {
        NKString t = in.pPart->pNodeIDs != nullptr
                         ? NKString::FromFormat("ID: %d", in.pPart->pNodeIDs[iNode])
                         : NKString::FromFormat("%d,%d", in.iPart + 1, iNode + 1);
        Emit(in, t.GetText(), p, false);
    }
    }
}

void PolygonItems(const AnchorInputs &in, int iPoly)
{
    const NKPart *pPart = in.pPart;
    if (iPoly < 0 || iPoly >= pPart->iNumPolygons) return;
    const int *pNodes = pPart->pConnects + pPart->pPolygonStart[iPoly];
    int n = pPart->pPolygonNumNodes[iPoly];
    int iType = in.pLabel->m_iType;
    if (iType == NK_LABEL_COORD ||
        (iType == NK_LABEL_SCALAR && in.pfNodeVals != nullptr && in.pfElemVals == nullptr)) {
        for (int k = 0; k < n; k++) NodeItem(in, pNodes[k]);
        return;
    }
    float c[3] = {0, 0, 0};
    for (int k = 0; k < n; k++)
        for (int a = 0; a < 3; a++) c[a] += in.pfCoords[3 * pNodes[k] + a] / float(n);
    int iElem = pPart->pPolygonElements != nullptr ? pPart->pPolygonElements[iPoly] : -1;
    if (iElem >= pPart->iNumElements) iElem = -1;
    if (iType == NK_LABEL_TEXT) {
        Emit(in, OwnText(in.pLabel), c, true);
    } else if (iType == NK_LABEL_SCALAR) {
        Emit(in, ScalarText(in.pfElemVals, iElem).GetText(), c, false);
    } else {
        NKString t = iElem >= 0 ? NKString::FromFormat("elemID: %d", pPart->pElements[iElem].iID)
                                : NKString::FromFormat("%d,%d", in.iPart + 1, iPoly + 1);
        Emit(in, t.GetText(), c, false);
    }
}

// The values of a scalar part entry, or null when missing or empty.
const float *EntryValues(const NKScalarPartEntry *pEntries, int iNumParts, int iPart)
{
    if (pEntries == nullptr || iPart >= iNumParts) return nullptr;
    const NKScalarPartEntry &e = pEntries[iPart];
    return e.iCount > 0 ? e.pNodeValues : nullptr;
}

void ModelAnchorItems(const UserPrimitive *pLabel, NKFrame *pFrame, const NKViewSettings *pView,
                      LabelOverlay *pOverlay)
{
    NKGeometry *pGeo = pFrame->pGeometry;
    if (pLabel->m_pGeometry != pGeo || pLabel->m_iPart >= pGeo->iNumParts) return;
    int iPart = pLabel->m_iPart;
    NKPart *pPart = &pGeo->pParts[iPart];
    AnchorInputs in{pPart,    iPart, GetPartNodeCoords(iPart, pPart, pFrame), nullptr, nullptr,
                    pOverlay, pLabel};
    if (in.pfCoords == nullptr) return;
    const NKScalarResult *pS = pFrame->pScalar;
    if (pS != nullptr) {
        in.pfNodeVals = EntryValues(pS->pNodeResults, pS->iNumParts, iPart);
        if (pView == nullptr || !pView->bNodeAverage)
            in.pfElemVals = EntryValues(pS->pElementResults, pS->iNumParts, iPart);
    }
    bool bMatrix = pFrame->pTransformation != nullptr;
    if (bMatrix) {
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glMultMatrixf(pFrame->pTransformation + 16 * iPart);
    }
    int iKind = pLabel->GetAnchorKind();
    if (iKind == 0) NodeItem(in, pLabel->m_iNode);
    if (iKind == 1) PolygonItems(in, pLabel->m_iPolygon);
    for (int i = 0; iKind == 2 && i < pLabel->m_iNumElementPolygons; i++)
        PolygonItems(in, pLabel->m_piElementPolygons[i]);
    if (bMatrix) glPopMatrix();
}

void PositionItem(const UserPrimitive *pLabel, LabelOverlay *pOverlay)
{
    LabelItem item(OwnText(pLabel));
    if (pLabel->m_bRelative2D) {
        item.SetPosition(pLabel->m_afPosition[0], pLabel->m_afPosition[1], 0.0f);
        item.bScreenFixed = 1;
    } else {
        item.SetPosition(pLabel->m_afPosition[0], pLabel->m_afPosition[1], pLabel->m_afPosition[2]);
    }
    item.bMultiLine = 1;
    AddLabel(pOverlay, item, NK_LABEL_OWNER_USER);
}

}  // namespace

int UserPrimitiveList::DrawAll(NKFrame *pFrame, const NKViewSettings *pView, LabelOverlay *pOverlay)
{
    for (int i = 0; i < m_iCount && pOverlay != nullptr; i++) {
        const UserPrimitive *pLabel = &m_pRecords[i];
        if (pLabel->GetAnchorKind() >= 3)
            PositionItem(pLabel, pOverlay);
        else if (pFrame != nullptr && pFrame->pGeometry != nullptr)
            ModelAnchorItems(pLabel, pFrame, pView, pOverlay);
    }
    return m_iCount;
}

void NKDrawUserPrimitives(NKFrame *pFrame)
{
    if (g_pUserPrimitives == nullptr || !g_pUserPrimitives->m_bShown) return;
    g_pUserPrimitives->DrawAll(pFrame, g_pViewSettings, g_pLabelOverlay);
}
