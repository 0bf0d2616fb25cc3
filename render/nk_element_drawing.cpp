// render/nk_element_drawing.cpp -- the two immediate-mode element drawers
// and the transparent pass (see nk_element_drawing.h). The vertex-array
// path, the depth pass and the flat polygons are in nk_vertex_arrays.cpp.
//
// A draw gathers the part's arrays into one PolygonSource, sets up colour
// and lighting for its drawer, and walks the polygons through the same
// emitters: one vertex at a time with its normal, colour, texture
// coordinates and coordinates.
#include "render/nk_element_drawing.h"

#include <GL/gl.h>

#include <algorithm>
#include <vector>

#include "core/nk_data_source_kind.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_part_arrays.h"
#include "core/nk_part_lists.h"
#include "core/nk_render_state.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_lights.h"
#include "render/nk_lod.h"
#include "render/nk_node_colors.h"
#include "render/nk_part_drawing.h"
#include "render/nk_primitives.h"
#include "render/nk_view_settings.h"

int32_t g_iHighOrderMode = NK_HIGH_ORDER_SKIP;

namespace {

const NKGraphicsSettings kDefaultSettings;
const NKGraphicsSettings &Settings(void)
{
    return g_pGraphicsSettings != nullptr ? *g_pGraphicsSettings : kDefaultSettings;
}

// Everything one part draw reads, gathered once.
struct PolygonSource {
    int iPart = 0;
    NKPart *pPart = nullptr;
    NKFrame *pFrame = nullptr;
    const float *pfCoords = nullptr;
    const int8_t *pNodeNormals = nullptr;
    const int8_t *pPolygonNormals = nullptr;
    const uint8_t *pNodeColors = nullptr;  // per-vertex colours (fringe drawer)
    const float *pfTexCoords = nullptr;    // per-vertex fringe coordinates
    const uint8_t *pElementColors = nullptr;
    const float *pfElementValues = nullptr;  // with bElementBands
    int iNumElementValues = 0;
    bool bElementBands = false;  // element colours from the 16 texture bands
    const uint8_t *pVisibility = nullptr;
    int iFirst = 0, iLast = -1;  // the polygons of the part's level
    uint8_t uLevel = 0;
    bool bFilter = false;
    bool bSmooth = false;
    bool bImageTexture = false;
    float afTexOrigin[3] = {0, 0, 0}, afTexScale[3] = {0, 0, 0};
    bool bAlpha = false;  // colours go with the part's alpha byte
    uint8_t uAlpha = 255;
};

void SendNormal(const int8_t *pNormal)
{
    if (Settings().bDisplayFlag)
        glNormal3bv(reinterpret_cast<const GLbyte *>(pNormal));
    else
        glNormal3f(pNormal[0] * 0.007874016f, pNormal[1] * 0.007874016f, pNormal[2] * 0.007874016f);
}

// The part's texture frame: the origin is the box minimum, the
// scale 1 / extent per axis (0 for no extent), 4.0 on every axis when the
// part tiles its texture.
void ComputeTextureFrame(const NKPart &part, float *pfOrigin, float *pfScale)
{
    for (int k = 0; k < 3; k++) {
        pfOrigin[k] = part.fBoundingBox[k];
        const float fExtent = part.fBoundingBox[k + 3] - part.fBoundingBox[k];
        pfScale[k] = part.bTextureTile ? 4.0f : (fExtent != 0.0f ? 1.0f / fExtent : 0.0f);
    }
}

bool HasImageTexture(const NKPart &part)
{
    return part.pTexture != nullptr && part.uTextureMode[0] && !part.uTextureMode[1];
}

bool ValueFilterApplies(const NKFrame *pFrame, int iPart)
{
    return g_ValueFilterSettings.bValueFilter && NKHasPartNodeValues(pFrame, iPart);
}

// The arrays both drawers use; colours are added by the fringe drawer.
PolygonSource GatherSource(int iPart, NKPart *pPart, NKFrame *pFrame)
{
    PolygonSource s;
    s.iPart = iPart;
    s.pPart = pPart;
    s.pFrame = pFrame;
    s.pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
    s.pNodeNormals = NKGetPartNodeNormals(iPart, pPart, pFrame);
    s.pPolygonNormals = NKGetPartPolygonNormals(iPart, pPart, pFrame);
    s.pVisibility = NKGetPartVisibility(pFrame, iPart);
    s.uLevel = NKGetPartLevel(NKGetFrameGeometry(pFrame), iPart);
    NKGetPartPolygonRange(pFrame, iPart, &s.iFirst, &s.iLast);
    s.bFilter = ValueFilterApplies(pFrame, iPart);
    s.bSmooth = pPart->bSmooth && s.pNodeNormals != nullptr;
    s.bImageTexture = HasImageTexture(*pPart);
    if (s.bImageTexture) ComputeTextureFrame(*pPart, s.afTexOrigin, s.afTexScale);
    s.uAlpha = pPart->material.alpha;
    return s;
}

bool Drawable(const PolygonSource &s, int k)
{
    const uint8_t uByte = s.pVisibility != nullptr ? s.pVisibility[k] : 0;
    if (uByte != s.uLevel) return false;
    return !(s.bFilter && NKIsPolygonFilteredOut(s.pFrame, s.iPart, k));
}

const int8_t *PolygonNormal(const PolygonSource &s, int k)
{
    return s.pPolygonNormals != nullptr ? s.pPolygonNormals + 3 * k : nullptr;
}

// One vertex of polygon k: normal (smooth parts), colour, texture
// coordinates and position.
void EmitVertex(const PolygonSource &s, int k, int iNode, bool bColour)
{
    if (s.bSmooth) {
        const int8_t *n = s.pNodeNormals + 3 * iNode;
        if (n[0] == 127 && n[1] == 127 && PolygonNormal(s, k) != nullptr) n = PolygonNormal(s, k);
        SendNormal(n);
    }
    if (bColour && s.pfTexCoords != nullptr) {
        glTexCoord1f(s.pfTexCoords[iNode]);
    } else if (bColour && s.pNodeColors != nullptr) {
        const uint8_t *c = s.pNodeColors + 3 * iNode;
        if (s.bAlpha)
            glColor4ub(c[0], c[1], c[2], s.uAlpha);
        else
            glColor3ubv(c);
    }
    const float *p = s.pfCoords + 3 * iNode;
    float afST[2];
    if (s.bImageTexture && NKImageTexCoord(s.pPart->iTexturePlane, s.afTexOrigin, s.afTexScale, p,
                                           PolygonNormal(s, k), afST))
        glTexCoord2fv(afST);
    glVertex3fv(p);
}

// Colour of polygon k from its element; false when element colours do not
// apply. Undefined values take the undefined colour.
bool ElementColour(const PolygonSource &s, int k, uint8_t auOut[3])
{
    if (s.pElementColors == nullptr || s.pPart->pPolygonElements == nullptr) return false;
    const int e = s.pPart->pPolygonElements[k];
    if (e < 0 || e >= s.pPart->iNumElements) return false;
    const float *pfRange = g_pModel != nullptr ? &g_pModel->fFringeRangeFrom : nullptr;
    if (s.bElementBands && s.pfElementValues != nullptr && e < s.iNumElementValues) {
        const float v = s.pfElementValues[e];
        const uint8_t *c = NKIsUndefined(v) ? NKUndefinedValueColor
                           : pfRange != nullptr
                               ? NKFringeTextureBandColor(v, pfRange[0], g_pModel->fFringeRangeTo)
                               : NKFringeTextureBandColor(v, 0.0f, 0.0f);
        for (int j = 0; j < 3; j++) auOut[j] = c[j];
    } else {
        for (int j = 0; j < 3; j++) auOut[j] = s.pElementColors[3 * e + j];
    }
    return true;
}

// Polygon-level state before the vertices: flat normal, element colour.
// True when vertex colours are still to be sent.
bool BeginPolygonState(const PolygonSource &s, int k)
{
    if (!s.bSmooth && PolygonNormal(s, k) != nullptr) SendNormal(PolygonNormal(s, k));
    uint8_t auColour[3];
    if (!ElementColour(s, k, auColour)) return true;
    if (s.bAlpha)
        glColor4ub(auColour[0], auColour[1], auColour[2], s.uAlpha);
    else
        glColor3ubv(auColour);
    return false;
}

void EmitNodes(const PolygonSource &s, int k, const int *piNodes, const int *piOrder, int n)
{
    const bool bColour = BeginPolygonState(s, k);
    for (int j = 0; j < n; j++)
        EmitVertex(s, k, piNodes[piOrder != nullptr ? piOrder[j] : j], bColour);
}

// The fan (0, j+1, j+2) of polygon k as triangles, inside a GL_TRIANGLES
// block.
void EmitFan(const PolygonSource &s, int k, const int *piNodes, int n)
{
    const bool bColour = BeginPolygonState(s, k);
    for (int j = 0; j + 2 < n; j++) {
        EmitVertex(s, k, piNodes[0], bColour);
        EmitVertex(s, k, piNodes[j + 1], bColour);
        EmitVertex(s, k, piNodes[j + 2], bColour);
    }
}

}  // namespace

bool NKGetValidPolygon(const NKPart &part, int k, const int **ppiNodes, int *piCount)
{
    if (k < 0 || k >= part.iNumPolygons || !NKGetPartPolygon(part, k, ppiNodes, piCount))
        return false;
    for (int j = 0; j < *piCount; j++)
        if ((*ppiNodes)[j] < 0 || (*ppiNodes)[j] >= part.iNumNodes) return false;
    return true;
}

bool NKImageTexCoord(int iPlane, const float afOrigin[3], const float afScale[3],
                     const float *pfVertex, const int8_t *pPolygonNormal, float afOut[2])
{
    if (iPlane == NK_TEXTURE_PLANE_NEAREST) {
        if (pPolygonNormal == nullptr) return false;
        int a[3];
        for (int k = 0; k < 3; k++)
            a[k] = pPolygonNormal[k] < 0 ? -pPolygonNormal[k] : pPolygonNormal[k];
        // The largest component names the axis, ties going to the lower one.
        if (a[0] >= a[1] && a[0] >= a[2])
            iPlane = NK_TEXTURE_PLANE_YZ;
        else if (a[1] >= a[2])
            iPlane = NK_TEXTURE_PLANE_XZ;
        else
            iPlane = NK_TEXTURE_PLANE_XY;
    }
    const float *v = pfVertex;
    switch (iPlane) {
    case NK_TEXTURE_PLANE_XY:
        afOut[0] = (v[0] - afOrigin[0]) * afScale[0];
        afOut[1] = (v[1] - afOrigin[1]) * afScale[1];
        return true;
    case NK_TEXTURE_PLANE_XZ:
        afOut[0] = (v[0] - afOrigin[0]) * afScale[0];
        afOut[1] = (v[2] - afOrigin[2]) * afScale[2];
        return true;
    case NK_TEXTURE_PLANE_YZ:
        afOut[0] = (v[1] - afOrigin[1]) * afScale[1];
        afOut[1] = (v[2] - afOrigin[2]) * afScale[2];
        return true;
    case NK_TEXTURE_PLANE_AUTO:
        afOut[0] = afScale[0] * v[0] + afScale[2] * v[2];
        afOut[1] = afScale[1] * v[1] + afScale[2] * v[2];
        return true;
    default:
        return false;
    }
}

namespace {

bool HasElements(const NKPart &part) { return part.iNumElements > 0; }

// A quadratic face: 8 nodes, or 6 of a part with elements.
bool IsHighOrder(const NKPart &part, int n) { return n == 8 || (n == 6 && HasElements(part)); }

void EmitHighOrder(const PolygonSource &s, int k, const int *piNodes, int n)
{
    static const int ai6[12] = {0, 1, 5, 1, 3, 5, 1, 2, 3, 5, 3, 4};
    static const int ai8[18] = {0, 1, 7, 1, 3, 7, 1, 2, 3, 7, 5, 6, 7, 3, 5, 3, 4, 5};
    static const int aiCorners[4] = {0, 2, 4, 6};
    if (g_iHighOrderMode == NK_HIGH_ORDER_TRIANGLES) {
        glBegin(GL_TRIANGLES);
        EmitNodes(s, k, piNodes, n == 6 ? ai6 : ai8, n == 6 ? 12 : 18);
        glEnd();
        return;
    }
    const bool bSkip = g_iHighOrderMode == NK_HIGH_ORDER_SKIP;
    glBegin(GL_POLYGON);
    EmitNodes(s, k, piNodes, bSkip ? aiCorners : nullptr, bSkip ? n / 2 : n);
    glEnd();
}

// A two-node polygon as a line loop, unlit while fringe shading would
// light it (and no element colours are used).
void EmitLineLoop(const PolygonSource &s, int k, const int *piNodes)
{
    const bool bUnlit = Settings().bFringeShade && s.pElementColors == nullptr;
    if (bUnlit) glDisable(GL_LIGHTING);
    glBegin(GL_LINE_LOOP);
    EmitNodes(s, k, piNodes, nullptr, 2);
    glEnd();
    if (bUnlit) glEnable(GL_LIGHTING);
}

// The byte colour of node iNode as floats; false when the vertices carry
// no colours of their own.
bool NodeColour(const PolygonSource &s, bool bColour, int iNode, float *pfColour)
{
    if (!bColour || s.pNodeColors == nullptr) return false;
    for (int c = 0; c < 3; c++) pfColour[c] = s.pNodeColors[3 * iNode + c] / 255.0f;
    return true;
}

// A one-node polygon: a GL point, or a sphere of half the part's
// sphere-point size.
void EmitPoint(const PolygonSource &s, int k, const int *piNodes)
{
    if (!s.pPart->bPointsAsSpheres) {
        glBegin(GL_POINTS);
        EmitNodes(s, k, piNodes, nullptr, 1);
        glEnd();
        return;
    }
    const bool bColour = BeginPolygonState(s, k);
    const uint8_t *pColour =
        bColour && s.pNodeColors != nullptr ? s.pNodeColors + 3 * piNodes[0] : nullptr;
    const float fQuality = g_pGraphicsSettings != nullptr ? g_pGraphicsSettings->fSphereQuality : 1;
    NKDrawSpherePoints(s.pfCoords + 3 * piNodes[0], 1, s.pPart->fSphereSize * 0.5f, s.bSmooth, -1,
                       fQuality, pColour);
}

// The edge from node a to node b as a cylinder of half the part's cylinder
// size, in the two nodes' colours.
void EmitCylinder(const PolygonSource &s, int k, int a, int b)
{
    const bool bColour = BeginPolygonState(s, k);
    float afA[3], afB[3];
    const bool bA = NodeColour(s, bColour, a, afA), bB = NodeColour(s, bColour, b, afB);
    NKDrawCylinderBetweenPoints(s.pfCoords + 3 * a, s.pfCoords + 3 * b,
                                s.pPart->fCylinderSize * 0.5f, s.bSmooth, -1, 1.0f,
                                bA ? afA : nullptr, bB ? afB : nullptr, NK_CAP_NONE, NK_CAP_NONE);
}

// Per polygon, for fix triangles, mixed parts and quads as polygons.
void DrawPolygonsOneByOne(const PolygonSource &s, bool bTriangles)
{
    const int *piNodes = nullptr;
    int n = 0;
    for (int k = s.iFirst; k <= s.iLast; k++) {
        if (!Drawable(s, k) || !NKGetValidPolygon(*s.pPart, k, &piNodes, &n) || n < 1) continue;
        if (n == 1) {
            EmitPoint(s, k, piNodes);
        } else if (n == 2 && s.pPart->bLinesAsCylinders) {
            EmitCylinder(s, k, piNodes[0], piNodes[1]);
        } else if (n == 2) {
            EmitLineLoop(s, k, piNodes);
        } else if (bTriangles) {
            glBegin(GL_TRIANGLES);
            EmitFan(s, k, piNodes, n);
            glEnd();
        } else if (IsHighOrder(*s.pPart, n)) {
            EmitHighOrder(s, k, piNodes, n);
        } else {
            glBegin(GL_POLYGON);
            EmitNodes(s, k, piNodes, nullptr, n);
            glEnd();
        }
    }
}

// Every polygon of n nodes in one block of the given mode.
void DrawPolygonsInBlock(const PolygonSource &s, GLenum uMode, int iNodes)
{
    const int *piNodes = nullptr;
    int n = 0;
    glBegin(uMode);
    for (int k = s.iFirst; k <= s.iLast; k++) {
        if (!Drawable(s, k) || !NKGetValidPolygon(*s.pPart, k, &piNodes, &n) || n != iNodes)
            continue;
        EmitNodes(s, k, piNodes, nullptr, n);
    }
    glEnd();
}

// The part's triangle strips; a strip is drawn when the polygon of its
// first vertex is drawable. False when the strips do not fit the part.
bool DrawStrips(const PolygonSource &s)
{
    const NKTriangleStrips *t = s.pPart->pTriangleStrips;
    if (!NKTriangleStrips::HasStrips(t) || t->pStripLengths == nullptr ||
        t->pNodeIndices == nullptr || t->pPolygonIndices == nullptr)
        return false;
    for (int i = 0, v = 0; i < t->iNumStrips; v += t->pStripLengths[i], i++) {
        const int iLen = t->pStripLengths[i];
        const int k = t->pPolygonIndices[v];
        if (iLen < 3 || k < 0 || k >= s.pPart->iNumPolygons || !Drawable(s, k)) continue;
        glBegin(GL_TRIANGLE_STRIP);
        for (int j = v; j < v + iLen; j++) {
            const int iNode = t->pNodeIndices[j], kv = t->pPolygonIndices[j];
            if (iNode < 0 || iNode >= s.pPart->iNumNodes || kv < 0 || kv >= s.pPart->iNumPolygons)
                continue;
            if (!s.bSmooth && PolygonNormal(s, kv) != nullptr) SendNormal(PolygonNormal(s, kv));
            EmitVertex(s, kv, iNode, true);
        }
        glEnd();
    }
    return true;
}

void DrawSurfaces(const PolygonSource &s, bool bPlainDrawer)
{
    const int iUniform = s.pPart->iUniformPolygonSize;
    if (g_RendererWorkarounds.bTrianglesOnly && !(iUniform >= 0 && iUniform <= 3)) {
        DrawPolygonsOneByOne(s, true);
    } else if (iUniform == 2 && !s.pPart->bLinesAsCylinders) {
        DrawPolygonsOneByOne(s, false);
    } else if (iUniform == 3) {
        if (!(bPlainDrawer && DrawStrips(s))) DrawPolygonsInBlock(s, GL_TRIANGLES, 3);
    } else if (iUniform == 4 && !g_RendererWorkarounds.bQuadsAsPolygons) {
        DrawPolygonsInBlock(s, GL_QUADS, 4);
    } else {
        DrawPolygonsOneByOne(s, false);
    }
}

}  // namespace

namespace {

bool EdgePasses(const PolygonSource &s, int iSlot, int iThreshold)
{
    const uint8_t *pFlags = s.pPart->pEdgeKinds;
    const int iFlag = pFlags != nullptr && iSlot < s.pPart->iNumEdgeSlots ? pFlags[iSlot] : 1;
    return iFlag >= iThreshold;
}

// One edge per block, or per cylinder with cylinder lines; one-node
// polygons are points or spheres.
void DrawLinesOneByOne(const PolygonSource &s, int iThreshold)
{
    const int *piNodes = nullptr;
    int n = 0;
    for (int k = s.iFirst; k <= s.iLast; k++) {
        if (!Drawable(s, k) || !NKGetValidPolygon(*s.pPart, k, &piNodes, &n) || n < 1) continue;
        const int iStart = s.pPart->pPolygonStart[k];
        if (n == 1) {
            if (EdgePasses(s, iStart, iThreshold)) EmitPoint(s, k, piNodes);
            continue;
        }
        for (int j = 0; j < n; j++) {
            if (!EdgePasses(s, iStart + j, iThreshold)) continue;
            if (s.pPart->bLinesAsCylinders) {
                EmitCylinder(s, k, piNodes[j], piNodes[(j + 1) % n]);
                continue;
            }
            glBegin(GL_LINES);
            EmitVertex(s, k, piNodes[j], true);
            EmitVertex(s, k, piNodes[(j + 1) % n], true);
            glEnd();
        }
    }
}

// Every passing edge in one GL_LINES block; a one-node polygon becomes a
// point between two blocks.
void DrawLinesInBlock(const PolygonSource &s, int iThreshold)
{
    const int *piNodes = nullptr;
    int n = 0;
    glBegin(GL_LINES);
    for (int k = s.iFirst; k <= s.iLast; k++) {
        if (!Drawable(s, k) || !NKGetValidPolygon(*s.pPart, k, &piNodes, &n) || n < 1) continue;
        const int iStart = s.pPart->pPolygonStart[k];
        if (n == 1) {
            if (!EdgePasses(s, iStart, iThreshold)) continue;
            glEnd();
            EmitPoint(s, k, piNodes);
            glBegin(GL_LINES);
            continue;
        }
        for (int j = 0; j < n; j++) {
            if (!EdgePasses(s, iStart + j, iThreshold)) continue;
            EmitVertex(s, k, piNodes[j], true);
            EmitVertex(s, k, piNodes[(j + 1) % n], true);
        }
    }
    glEnd();
}

void DrawLines(const PolygonSource &s, int iStyle)
{
    const int iThreshold = iStyle == NK_DRAW_LINES ? 1 : 2;
    if (Settings().bLineSmooth) glEnable(GL_LINE_SMOOTH);
    if (g_RendererWorkarounds.bLineClipFix || s.pPart->bPointsAsSpheres ||
        s.pPart->bLinesAsCylinders)
        DrawLinesOneByOne(s, iThreshold);
    else
        DrawLinesInBlock(s, iThreshold);
}

bool HotSpotShown(int iPart, const NKPart &part)
{
    const NKViewSettings *v = g_pViewSettings;
    return v != nullptr && v->bHotSpotHighlight && part.hotSpot.bHasHotSpot &&
           (v->iHoveredPart == iPart || v->bHotSpotShowAll);
}

void ApplyHotSpotLook(int iPart, const NKPart &part)
{
    if (!HotSpotShown(iPart, part)) return;
    if (part.iDrawStyle != NK_DRAW_SURFACE) {
        glColor3ub(255, 255, 255);
        return;
    }
    const float afAmbient[4] = {0.3f, 0.3f, 0.3f, 0.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, afAmbient);
}

void DrawStyle(const PolygonSource &s, int iStyle, bool bPlainDrawer)
{
    if (iStyle == NK_DRAW_SURFACE)
        DrawSurfaces(s, bPlainDrawer);
    else
        DrawLines(s, iStyle);
}

bool UseVertexArrays(const NKPart &part, int iStyle)
{
    return NKVertexArraySwitch && iStyle == NK_DRAW_SURFACE && !part.bTransparent;
}

// GL_TEXTURE_BIT is left out: popping it would also put back the bound
// texture's filters that the fringe texture upload sets. The environment
// mode is kept by hand (TextureEnvironment).
constexpr GLbitfield kDrawerAttribs =
    GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT | GL_LINE_BIT | GL_POLYGON_BIT;

// Saves the texture environment mode and puts it back when it goes.
class TextureEnvironment {
public:
    TextureEnvironment() { glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &m_iMode); }
    ~TextureEnvironment() { glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, m_iMode); }
    TextureEnvironment(const TextureEnvironment &) = delete;
    TextureEnvironment &operator=(const TextureEnvironment &) = delete;

private:
    GLint m_iMode = GL_MODULATE;
};

// Element colours apply: the result has element values and node averaging
// is off.
void AddElementColours(PolygonSource *s)
{
    if (g_pViewSettings != nullptr && g_pViewSettings->bNodeAverage) return;
    s->pElementColors = NKGetPartElementColors(s->iPart, s->pPart, s->pFrame);
    if (s->pElementColors == nullptr) return;
    const NKScalarPartEntry *pEntry = NKGetPartElementScalarEntry(s->iPart, s->pFrame);
    if (pEntry == nullptr || pEntry->iCount < s->pPart->iNumElements) {
        s->pElementColors = nullptr;
        return;
    }
    s->pfElementValues = pEntry->pNodeValues;
    s->iNumElementValues = pEntry->iCount;
    s->bElementBands = Settings().bTextureFringes && pEntry->pNodeValues != nullptr;
}

// Node colours and fringe coordinates cover every node only when the entry
// does; the fringe texture cannot be used over a bound image texture.
void AddNodeColours(PolygonSource *s, bool bImageBound)
{
    const NKScalarPartEntry *pEntry = NKGetPartScalarEntry(s->iPart, s->pFrame);
    if (pEntry == nullptr || pEntry->iCount < s->pPart->iNumNodes) return;
    s->pNodeColors = NKGetPartNodeColors(s->iPart, s->pPart, s->pFrame);
    if (!bImageBound) s->pfTexCoords = NKGetPartNodeTexCoords(s->iPart, s->pPart, s->pFrame);
    if (s->pNodeColors == nullptr) s->pfTexCoords = nullptr;
}

// The fringe drawer's look: the shade model, lit or unlit, the fringe texture.
void SetupFringeLook(const PolygonSource &s, int iStyle, bool bImageBound)
{
    const NKGraphicsSettings &g = Settings();
    glShadeModel(g.bSmoothFringes ? GL_SMOOTH : GL_FLAT);
    const bool bLit = iStyle == NK_DRAW_SURFACE ? g.bFringeShade != 0
                      : iStyle == NK_DRAW_LINES ? s.pPart->bLinesAsCylinders != 0
                                                : false;
    const bool bTexture = g.bTextureFringes && s.pElementColors == nullptr && s.pfTexCoords;
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    if (bLit) {
        if (bTexture) {
            NKEnableFringeTexture(true);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        }
        const float afBlack[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, afBlack);
        glEnable(GL_COLOR_MATERIAL);
        glColor4ub(255, 255, 255, s.bAlpha ? s.uAlpha : 255);
        glEnable(GL_LIGHTING);
        return;
    }
    if (!bImageBound) {
        NKEnableFringeTexture(bTexture);
        if (bTexture) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    }
    glEnable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
}

}  // namespace

void NKDrawPartColored(int iPart, NKFrame *pFrame, int iStyle, NKDisplayListSet *)
{
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr) return;
    PolygonSource s = GatherSource(iPart, pPart, pFrame);
    if (s.pfCoords == nullptr) return;
    AddElementColours(&s);
    AddNodeColours(&s, s.bImageTexture);
    s.bAlpha = pPart->bTransparent != 0;
    const TextureEnvironment environment;
    glPushAttrib(kDrawerAttribs);
    SetupFringeLook(s, iStyle, s.bImageTexture);
    ApplyHotSpotLook(iPart, *pPart);
    if (UseVertexArrays(*pPart, iStyle))
        NKDrawPartArrays(iPart, pFrame);
    else
        DrawStyle(s, iStyle, false);
    glPopAttrib();
}

namespace {

// The plain drawer's look: the part's colour (the undefined-value colour for
// a part with fringes on), lit or unlit.
void SetupPlainLook(const PolygonSource &s, int iStyle, NKDisplayListSet *pLists)
{
    const NKPart &part = *s.pPart;
    float afColour[3];
    NKScaleByMaxComponent(afColour, part.material.ambient);
    const bool bUndefined = part.bFringes && NKGetInterfaceType() != NK_INTERFACE_RESERVOIR;
    if (bUndefined)
        for (int k = 0; k < 3; k++) afColour[k] = NKUndefinedValueColor[k] / 255.0f;
    if (iStyle == NK_DRAW_SURFACE || part.bPointsAsSpheres || part.bLinesAsCylinders) {
        glEnable(GL_LIGHTING);
        if (bUndefined) {
            glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
            glEnable(GL_COLOR_MATERIAL);
            glColor3fv(afColour);
        } else {
            NKCallMaterialList(pLists, s.iPart);
        }
        return;
    }
    glDisable(GL_LIGHTING);
    glColor3fv(afColour);
}

}  // namespace

void NKDrawPartTextured(int iPart, NKFrame *pFrame, int iStyle, NKDisplayListSet *pLists)
{
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr) return;
    const PolygonSource s = GatherSource(iPart, pPart, pFrame);
    if (s.pfCoords == nullptr) return;
    glPushAttrib(kDrawerAttribs);
    SetupPlainLook(s, iStyle, pLists);
    ApplyHotSpotLook(iPart, *pPart);
    if (UseVertexArrays(*pPart, iStyle))
        NKDrawPartArrays(iPart, pFrame);
    else
        DrawStyle(s, iStyle, true);
    glPopAttrib();
}

namespace {

// The colour set-up of one part of the transparent pass: as the element
// drawers set up a surface, then the part's shade model, hot spot and
// image texture. True when an image texture was bound.
bool SetupTransparentPart(PolygonSource *s, NKDisplayListSet *pLists)
{
    NKPart &part = *s->pPart;
    NKEnableFringeTexture(false);
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    s->bFilter = false;
    s->bAlpha = true;
    if (part.bFringes && NKHasPartNodeValues(s->pFrame, s->iPart)) {
        AddElementColours(s);
        AddNodeColours(s, s->bImageTexture);
        SetupFringeLook(*s, NK_DRAW_SURFACE, s->bImageTexture);
    } else {
        NKCallMaterialList(pLists, s->iPart);
    }
    glShadeModel(part.bSmooth ? GL_SMOOTH : GL_FLAT);
    ApplyHotSpotLook(s->iPart, part);
    return (part.uTextureMode[0] || part.uTextureMode[1]) &&
           NKCallPartLists(&part, s->iPart, pLists, -1);
}

void EmitTransparentPolygon(const PolygonSource &s, int k)
{
    const int *piNodes = nullptr;
    int n = 0;
    if (!Drawable(s, k) || !NKGetValidPolygon(*s.pPart, k, &piNodes, &n) || n < 2) return;
    if (n == 2) {
        glBegin(GL_LINE_LOOP);
        EmitNodes(s, k, piNodes, nullptr, 2);
    } else if (g_RendererWorkarounds.bTrianglesOnly) {
        glBegin(GL_TRIANGLES);
        EmitFan(s, k, piNodes, n);
    } else {
        glBegin(GL_POLYGON);
        EmitNodes(s, k, piNodes, nullptr, n);
    }
    glEnd();
}

// The visible listed parts (valid indices only) and their polygons as
// (part, polygon) keys in list order.
void CollectTransparentPolygons(const NKGeometry &geo, const int *piParts, int iCount,
                                std::vector<int> *pParts, std::vector<int> *pKeys)
{
    for (int i = 0; i < iCount; i++) {
        const int p = piParts[i];
        if (p < 0 || p >= geo.iNumParts || !geo.pParts[p].bVisible) continue;
        pParts->push_back(p);
        for (int k = 0; k < geo.pParts[p].iNumPolygons; k++) {
            pKeys->push_back(p);
            pKeys->push_back(k);
        }
    }
}

// The polygons order[first, last) of one part, under the part's matrix
// (pushed and popped here) and with its texturing on only while they draw.
void DrawTransparentRun(NKFrame *pFrame, const std::vector<int> &keys, const std::vector<int> &walk,
                        int iFirst, int iLast, NKDisplayListSet *pLists)
{
    const bool bMatrices = pFrame->pTransformation != nullptr;
    const int iPart = keys[2 * walk[iFirst]];
    if (bMatrices) {
        glPushMatrix();
        glMultMatrixf(pFrame->pTransformation + 16 * iPart);
    }
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    PolygonSource s = GatherSource(iPart, pPart, pFrame);
    const bool bTexture = SetupTransparentPart(&s, pLists);
    for (int i = iFirst; i < iLast; i++)
        if (s.pfCoords != nullptr) EmitTransparentPolygon(s, keys[2 * walk[i] + 1]);
    if (bTexture) NKDisableTexturing();
    if (bMatrices) glPopMatrix();
}

// The polygons in the order given (backwards when asked), one run per part
// change.
void WalkTransparentOrder(NKFrame *pFrame, const std::vector<int> &keys,
                          const std::vector<int> &order, bool bBackwards, NKDisplayListSet *pLists)
{
    std::vector<int> walk(order);
    if (bBackwards) std::reverse(walk.begin(), walk.end());
    const int n = static_cast<int>(walk.size());
    for (int i = 0; i < n;) {
        const int iPart = keys[2 * walk[i]];
        int j = i + 1;
        while (j < n && keys[2 * walk[j]] == iPart) j++;
        DrawTransparentRun(pFrame, keys, walk, i, j, pLists);
        i = j;
    }
}

}  // namespace

bool NKDrawModelPass(const int *piParts, int iCount, NKFrame *pFrame, bool bSorted,
                     NKDisplayListSet *pLists)
{
    NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (piParts == nullptr || pGeo == nullptr) return false;
    std::vector<int> parts, keys;
    CollectTransparentPolygons(*pGeo, piParts, iCount, &parts, &keys);
    const int n = static_cast<int>(keys.size() / 2);
    if (n == 0) return true;
    std::vector<int> order(n);
    const bool bFast = g_pViewSettings != nullptr && g_pViewSettings->bTransparentFast;
    const TextureEnvironment environment;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT | GL_DEPTH_BUFFER_BIT |
                 GL_TRANSFORM_BIT);
    glMatrixMode(GL_MODELVIEW);
    if (bFast) {
        for (int i = 0; i < n; i++) order[i] = i;
        glDepthMask(GL_TRUE);
    }
    const bool bOrdered = bFast || NKComputeTransparentPolysDrawOrder(
                                       pFrame, parts.data(), static_cast<int>(parts.size()), n,
                                       keys.data(), order.data());
    if (bOrdered) {
        glEnable(GL_LIGHTING);
        glDisable(GL_COLOR_MATERIAL);
        NKEnableFringeTexture(false);
        WalkTransparentOrder(pFrame, keys, order, bSorted && !bFast, pLists);
    }
    glPopAttrib();
    if (!bOrdered) return false;
    // The parts' 3-D primitives are drawn by the scene's overlay pass.
    for (int p : parts) NKDrawPartExtras(p, NKGetFramePart(pFrame, p), pFrame);
    return true;
}
