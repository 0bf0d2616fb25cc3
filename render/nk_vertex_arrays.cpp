// render/nk_vertex_arrays.cpp -- the vertex-array path of opaque surface
// parts, the flat polygons of a part and the depth pass under hidden lines
// (see nk_element_drawing.h).
//
// The vertex-array path draws what the immediate drawers draw: when every
// polygon is drawable (visibility byte equal to the level code, not hidden
// by the value filter, nodes inside the part) the part's connectivity goes
// to OpenGL as it is, otherwise an index list of the drawable polygons.
#include <GL/gl.h>

#include <vector>

#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "render/nk_element_drawing.h"
#include "render/nk_part_drawing.h"

namespace {

struct Drawability {
    const uint8_t *pVisibility = nullptr;
    uint8_t uLevel = 0;
    bool bFilter = false;
    NKFrame *pFrame = nullptr;
    int iPart = 0;

    Drawability(NKFrame *f, int i)
        : pVisibility(NKGetPartVisibility(f, i)), uLevel(NKGetPartLevel(NKGetFrameGeometry(f), i)),
          bFilter(g_ValueFilterSettings.bValueFilter && NKHasPartNodeValues(f, i)), pFrame(f),
          iPart(i)
    {}
    bool operator()(int k) const
    {
        if ((pVisibility != nullptr ? pVisibility[k] : 0) != uLevel) return false;
        return !(bFilter && NKIsPolygonFilteredOut(pFrame, iPart, k));
    }
};

void SendNormal(const int8_t *pNormal)
{
    if (g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bDisplayFlag)
        glNormal3bv(reinterpret_cast<const GLbyte *>(pNormal));
    else
        glNormal3f(pNormal[0] * 0.007874016f, pNormal[1] * 0.007874016f, pNormal[2] * 0.007874016f);
}

// The drawable polygons: their indices into the polygon list. Empty with
// *pbAll set when every polygon is drawable and of the uniform count
// (iUniform > 0; 0 for mixed parts, where only drawability counts).
std::vector<int> DrawablePolygons(const NKPart &part, const Drawability &drawable, int iUniform,
                                  bool *pbAll)
{
    std::vector<int> list;
    *pbAll = true;
    const int *piNodes = nullptr;
    int n = 0;
    for (int k = 0; k < part.iNumPolygons; k++) {
        const bool bOk = drawable(k) && NKGetValidPolygon(part, k, &piNodes, &n) &&
                         (iUniform == 0 ? n > 0 : n == iUniform);
        if (bOk && *pbAll) continue;
        if (bOk) {
            list.push_back(k);
        } else if (*pbAll) {
            *pbAll = false;
            list.reserve(part.iNumPolygons);
            for (int j = 0; j < k; j++) list.push_back(j);
        }
    }
    return list;
}

// The quick test for the common case, in loops the compiler vectorises:
// no value filter, every visibility byte the level code, every polygon of
// the uniform count laid out one after the other, every index a node.
bool AllDrawable(const NKPart &part, const Drawability &drawable, int iUniform)
{
    const int n = part.iNumPolygons;
    if (drawable.bFilter || static_cast<long long>(iUniform) * n > part.iNumConnects ||
        part.pPolygonStart == nullptr || part.pPolygonNumNodes == nullptr)
        return false;
    int iBad = 0;
    for (int k = 0; k < n; k++)
        iBad |= (part.pPolygonNumNodes[k] != iUniform) | (part.pPolygonStart[k] != iUniform * k);
    for (int k = 0; drawable.pVisibility != nullptr && k < n; k++)
        iBad |= drawable.pVisibility[k] != drawable.uLevel;
    if (drawable.pVisibility == nullptr) iBad |= drawable.uLevel != 0;
    const unsigned uNodes = static_cast<unsigned>(part.iNumNodes);
    const long long iCount = static_cast<long long>(iUniform) * n;
    for (long long i = 0; i < iCount; i++)
        iBad |= static_cast<unsigned>(part.pConnects[i]) >= uNodes;
    return iBad == 0;
}

// The connectivity of the listed polygons, in order.
std::vector<GLuint> IndicesOf(const NKPart &part, const std::vector<int> &polygons)
{
    std::vector<GLuint> indices;
    for (int k : polygons)
        for (int j = 0; j < part.pPolygonNumNodes[k]; j++)
            indices.push_back(static_cast<GLuint>(part.pConnects[part.pPolygonStart[k] + j]));
    return indices;
}

GLenum UniformMode(int iUniform)
{
    return iUniform == 2 ? GL_LINES : (iUniform == 3 ? GL_TRIANGLES : GL_QUADS);
}

void DrawSmooth(const NKPart &part, const Drawability &drawable)
{
    const int iUniform = part.iUniformPolygonSize;
    bool bAll = false;
    if (iUniform >= 2 && iUniform <= 4) {
        std::vector<int> list;
        bAll = AllDrawable(part, drawable, iUniform);
        if (!bAll) list = DrawablePolygons(part, drawable, iUniform, &bAll);
        if (bAll) {
            glDrawElements(UniformMode(iUniform), iUniform * part.iNumPolygons, GL_UNSIGNED_INT,
                           part.pConnects);
        } else if (!list.empty()) {
            std::vector<GLuint> indices = IndicesOf(part, list);
            glDrawElements(UniformMode(iUniform), static_cast<GLsizei>(indices.size()),
                           GL_UNSIGNED_INT, indices.data());
        }
        return;
    }
    const int *piNodes = nullptr;
    int n = 0;
    for (int k = 0; k < part.iNumPolygons; k++)
        if (drawable(k) && NKGetValidPolygon(part, k, &piNodes, &n) && n > 0)
            glDrawElements(GL_POLYGON, n, GL_UNSIGNED_INT, piNodes);
}

void EmitFlatPolygon(const NKPart &part, const int8_t *pNormals, int k, const int *piNodes, int n)
{
    if (pNormals != nullptr) SendNormal(pNormals + 3 * k);
    for (int j = 0; j < n; j++) glArrayElement(piNodes[j]);
    (void)part;
}

void DrawFlat(const NKPart &part, const int8_t *pNormals, const Drawability &drawable)
{
    const int iUniform = part.iUniformPolygonSize;
    const bool bBlock = iUniform >= 2 && iUniform <= 4;
    const int *piNodes = nullptr;
    int n = 0;
    if (bBlock) glBegin(UniformMode(iUniform));
    for (int k = 0; k < part.iNumPolygons; k++) {
        if (!drawable(k) || !NKGetValidPolygon(part, k, &piNodes, &n) || n < 1) continue;
        if (bBlock && n != iUniform) continue;
        if (!bBlock) glBegin(GL_POLYGON);
        EmitFlatPolygon(part, pNormals, k, piNodes, n);
        if (!bBlock) glEnd();
    }
    if (bBlock) glEnd();
}

// Colour and texture-coordinate arrays when the part's fringes and the
// frame's scalar result ask for them and cover every node.
void EnableValueArrays(int iPart, NKPart *pPart, NKFrame *pFrame)
{
    const NKScalarPartEntry *pEntry = NKGetPartScalarEntry(iPart, pFrame);
    if (pFrame->pScalar == nullptr || pEntry == nullptr || pEntry->iCount < pPart->iNumNodes)
        return;
    const uint8_t *pColors = NKGetPartNodeColors(iPart, pPart, pFrame);
    if (pColors != nullptr) {
        glColorPointer(3, GL_UNSIGNED_BYTE, 0, pColors);
        glEnableClientState(GL_COLOR_ARRAY);
    }
    const float *pfTex = NKGetPartNodeTexCoords(iPart, pPart, pFrame);
    if (pfTex != nullptr && NKTextureFringesOn()) {
        glTexCoordPointer(1, GL_FLOAT, 0, pfTex);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    }
}

}  // namespace

bool NKHasPartNodeValues(const NKFrame *pFrame, int iPart)
{
    const NKScalarPartEntry *pEntry = NKGetPartScalarEntry(iPart, pFrame);
    return pEntry != nullptr && pEntry->pNodeValues != nullptr && pEntry->iCount > 0;
}

void NKDrawPartArrays(int iPart, NKFrame *pFrame)
{
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr) return;
    const float *pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
    const int8_t *pNodeNormals = NKGetPartNodeNormals(iPart, pPart, pFrame);
    if (pfCoords == nullptr || pPart->pConnects == nullptr) return;
    const bool bSmooth = pPart->bSmooth && pNodeNormals != nullptr;
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glPushAttrib(GL_CURRENT_BIT);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, pfCoords);
    glEnableClientState(GL_VERTEX_ARRAY);
    if (bSmooth) {
        glNormalPointer(GL_BYTE, 0, pNodeNormals);
        glEnableClientState(GL_NORMAL_ARRAY);
    }
    if (pPart->bFringes) EnableValueArrays(iPart, pPart, pFrame);
    const Drawability drawable(pFrame, iPart);
    if (bSmooth)
        DrawSmooth(*pPart, drawable);
    else
        DrawFlat(*pPart, NKGetPartPolygonNormals(iPart, pPart, pFrame), drawable);
    glPopAttrib();
    glPopClientAttrib();
}

void NKDrawPartPolygonsFlat(int iPart, NKFrame *pFrame)
{
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr) return;
    const float *pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
    if (pfCoords == nullptr) return;
    const Drawability drawable(pFrame, iPart);
    const int *piNodes = nullptr;
    int n = 0;
    for (int k = 0; k < pPart->iNumPolygons; k++) {
        if (!drawable(k) || !NKGetValidPolygon(*pPart, k, &piNodes, &n) || n < 1) continue;
        glBegin(GL_POLYGON);
        for (int j = 0; j < n; j++) glVertex3fv(pfCoords + 3 * piNodes[j]);
        glEnd();
    }
    // The part's 3-D primitives are drawn by the scene's overlay pass.
}

void NKDrawHiddenLineDepthPass(const int *piParts, int iCount, NKFrame *pFrame)
{
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_ENABLE_BIT | GL_TRANSFORM_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_MODELVIEW);
    const bool bMatrices = pFrame != nullptr && pFrame->pTransformation != nullptr;
    for (int i = 0; piParts != nullptr && i < iCount; i++) {
        NKPart *pPart = NKGetFramePart(pFrame, piParts[i]);
        if (pPart == nullptr || !pPart->bVisible) continue;
        if (bMatrices) {
            glPushMatrix();
            glMultMatrixf(pFrame->pTransformation + 16 * piParts[i]);
        }
        NKDrawPartPolygonsFlat(piParts[i], pFrame);
        if (bMatrices) glPopMatrix();
    }
    glPopAttrib();
}
