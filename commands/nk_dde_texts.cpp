// commands/nk_dde_texts.cpp -- the texts of the request server's "data"
// items (see nk_dde_server.h): the last pick, which this file keeps with a
// reference to its geometry, the two stored sound texts and their
// composition, and the one-line escaping of every text that travels. The
// verbs and the socket are in nk_dde_server.cpp.
#include <cstring>

#include "commands/nk_dde_server.h"
#include "core/nk_bbox.h"
#include "core/nk_part_arrays.h"
#include "core/nk_references.h"

namespace {

NKPickInfo sg_LastPick;
NKString sg_SoundSetup;
NKString sg_SoundUpdate;

// The picked part when the last pick holds a geometry with that part.
const NKPart *PickedPart(void)
{
    const NKGeometry *pGeo = sg_LastPick.pGeometry;
    if (sg_LastPick.iFrame < 0 || pGeo == nullptr || pGeo->pParts == nullptr) return nullptr;
    if (sg_LastPick.iPart < 0 || sg_LastPick.iPart >= pGeo->iNumParts) return nullptr;
    return &pGeo->pParts[sg_LastPick.iPart];
}

// The picked polygon's part when the polygon lies inside it.
const NKPart *PickedPolygonPart(void)
{
    const NKPart *pPart = PickedPart();
    if (pPart == nullptr || sg_LastPick.iPolygon < 0 || sg_LastPick.iPolygon >= pPart->iNumPolygons)
        return nullptr;
    return pPart;
}

NKString Pair(int iValue) { return NKString::FromFormat("<1><%d>", iValue); }

NKString PartText(void)
{
    return PickedPart() != nullptr ? Pair(sg_LastPick.iPart + 1) : NKString("");
}

NKString PolygonText(void)
{
    return PickedPolygonPart() != nullptr ? Pair(sg_LastPick.iPolygon + 1) : NKString("");
}

// "<n>" and then each node's ID of the picked polygon.
NKString VertexText(void)
{
    const NKPart *pPart = PickedPolygonPart();
    const int *piNodes = nullptr;
    int iCount = 0;
    if (pPart == nullptr || !NKGetPartPolygon(*pPart, sg_LastPick.iPolygon, &piNodes, &iCount))
        return "";
    NKString text = NKString::FromFormat("<%d>", iCount);
    for (int i = 0; i < iCount; i++)
        text += NKString::FromFormat(
            "<%d>", NKGetNodeID(sg_LastPick.iPart, piNodes[i], sg_LastPick.pGeometry));
    return text;
}

bool HasElement(const NKPart *pPart)
{
    return pPart != nullptr && sg_LastPick.iElement >= 0 &&
           sg_LastPick.iElement < pPart->iNumElements;
}

NKString ElementText(void)
{
    return HasElement(PickedPart()) ? Pair(sg_LastPick.iElement + 1) : NKString("");
}

NKString ElementIdText(void)
{
    const NKPart *pPart = PickedPart();
    if (!HasElement(pPart) || pPart->pElements == nullptr) return "";
    return Pair(pPart->pElements[sg_LastPick.iElement].iID);
}

NKString CoordinateText(void)
{
    if (PickedPolygonPart() == nullptr) return "";
    float afPoint[3] = {sg_LastPick.fPoint[0], sg_LastPick.fPoint[1], sg_LastPick.fPoint[2]};
    DisplayToModel(afPoint);
    return NKString::FromFormat("<3><%g><%g><%g>", afPoint[0], afPoint[1], afPoint[2]);
}

bool HasNode(const NKPart *pPart)
{
    return pPart != nullptr && sg_LastPick.iNode >= 0 && sg_LastPick.iNode < pPart->iNumNodes;
}

NKString NodeText(void)
{
    return HasNode(PickedPart()) ? Pair(sg_LastPick.iNode + 1) : NKString("");
}

NKString NodeIdText(void)
{
    const NKPart *pPart = PickedPart();
    if (!HasNode(pPart) || pPart->pNodeIDs == nullptr) return "";
    return Pair(pPart->pNodeIDs[sg_LastPick.iNode]);
}

// Each non-empty pick text in its bracket, in the fixed order.
NKString NotifyText(void)
{
    const struct {
        const char *pszTag;
        NKString (*pfnText)(void);
    } aSections[] = {{"[PARTNUM", PartText},         {"[POLYGONNUM", PolygonText},
                     {"[VERTEXNUM", VertexText},     {"[ELEMENT_NUM", ElementText},
                     {"[ELEMENT_ID", ElementIdText}, {"[PICKCOORDS", CoordinateText},
                     {"[NEAR_NODE_NUM", NodeText},   {"[NEAR_NODE_ID", NodeIdText}};
    NKString text("");
    for (const auto &section : aSections) {
        NKString part = section.pfnText();
        if (!part.IsEmpty()) text += NKString(section.pszTag) + part + "]";
    }
    return text;
}

}  // namespace

// Keeps the pick and a reference to its geometry; the previous geometry's
// reference goes (a null pick only releases).
void NKDDEStorePick(const NKPickInfo *pPick)
{
    NKGeometry *pOld = sg_LastPick.pGeometry;
    sg_LastPick = pPick != nullptr ? *pPick : NKPickInfo();
    sg_LastPick.pszInfo = nullptr;  // borrowed and never read here
    if (sg_LastPick.pGeometry != nullptr) sg_LastPick.pGeometry->iNumRef++;
    if (pOld != nullptr) NKReleaseGeometry(pOld);
}

void NKDDEStoreSoundText(bool bSetup, const NKString &text)
{
    (bSetup ? sg_SoundSetup : sg_SoundUpdate) = text;
}

NKString NKDDEGetItemText(const char *pszItem)
{
    const struct {
        const char *pszItem;
        NKString (*pfnText)(void);
    } aItems[] = {{"notify", NotifyText},
                  {"pick_part_num", PartText},
                  {"pick_polygon_num", PolygonText},
                  {"pick_vertex_num", VertexText}};
    for (const auto &item : aItems)
        if (std::strcmp(pszItem, item.pszItem) == 0) return item.pfnText();
    if (std::strcmp(pszItem, "sound_setup") == 0) return NKString(sg_SoundSetup.GetText());
    if (std::strcmp(pszItem, "sound_update") == 0) return NKString(sg_SoundUpdate.GetText());
    return "";
}

NKString NKDDEComposeSoundSetup(const float pfBox[6], const NKDDESoundSource *pSources,
                                int iNumSources)
{
    NKString text = NKString::FromFormat("%g %g %g  %g %g %g\n", pfBox[0], pfBox[1], pfBox[2],
                                         pfBox[3], pfBox[4], pfBox[5]);
    for (int i = 0; i < iNumSources; i++)
        text +=
            NKString::FromFormat("%d  \"%s\"  \"%s\"\n", pSources[i].iId,
                                 pSources[i].description.GetText(), pSources[i].fileName.GetText());
    return text;
}

NKString NKDDEComposeSoundUpdate(bool bSoundOn, float fTime, const float pfView[9],
                                 const NKDDESoundSource *pSources, int iNumSources)
{
    if (!bSoundOn) return "OFF";
    NKString text = NKString::FromFormat("%g\n", fTime);
    const float *v = pfView;
    text += NKString::FromFormat("%g %g %g  %g %g %g  %g %g %g \n", v[0], v[1], v[2], v[3], v[4],
                                 v[5], v[6], v[7], v[8]);
    for (int i = 0; i < iNumSources; i++) {
        const NKDDESoundSource &s = pSources[i];
        text += NKString::FromFormat("%d  %g %g %g  %g\n", s.iId, s.fPosition[0], s.fPosition[1],
                                     s.fPosition[2], s.fValue);
    }
    return text;
}

std::string NKDDEEscapeLine(const char *pszText)
{
    std::string line;
    for (const char *p = pszText; *p != '\0'; p++) {
        if (*p == '\\')
            line += "\\\\";
        else if (*p == '\n')
            line += "\\n";
        else if (*p == '\r')
            line += "\\r";
        else
            line += *p;
    }
    return line;
}
