// render/nk_text3d_glyphs.cpp -- the solid glyph font and the string
// drawing (see nk_text3d.h). Each glyph is built the first time it is asked
// for: the outline from platform/ is shifted to its left ink edge,
// tessellated with GLU (non-zero winding) into the front and back faces and
// closed by a wall along every contour edge. Built glyphs live for the
// program's life.
#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cmath>
#include <deque>
#include <vector>

#include "platform/nk_font_outline.h"
#include "render/nk_text3d.h"

namespace {

constexpr int kFirstGlyph = '!';
constexpr int kLastGlyph = '~';
constexpr int kNumGlyphs = kLastGlyph - kFirstGlyph + 1;
constexpr float kBlankAdvance = 0.4f;
constexpr float kGlyphGap = 0.05f;
constexpr float kFrontZ = 0.5f;
// Triangles whose vertices all lie at or above this z make the front face.
constexpr float kFrontFaceZ = 0.1f;

struct SolidGlyph {
    bool bTried = false;
    bool bMade = false;
    std::vector<float> triangles;  // nine floats per triangle
    float fAdvance = 0.0f;
};

SolidGlyph sg_Glyphs[kNumGlyphs];

// What the GLU callbacks collect: the face's vertices in threes.
struct TessState {
    std::vector<float> xy;                      // two floats per vertex, three vertices a triangle
    std::deque<std::array<GLdouble, 3>> extra;  // vertices made by the combine callback
    bool bError = false;
};

void TessBegin(GLenum, void *) {}
void TessEdgeFlag(GLboolean, void *) {}  // asks GLU for plain triangles
void TessEnd(void *) {}
void TessVertex(void *pVertex, void *pData)
{
    const GLdouble *v = static_cast<const GLdouble *>(pVertex);
    TessState *s = static_cast<TessState *>(pData);
    s->xy.push_back(static_cast<float>(v[0]));
    s->xy.push_back(static_cast<float>(v[1]));
}
void TessCombine(GLdouble coords[3], void *[4], GLfloat[4], void **ppOut, void *pData)
{
    TessState *s = static_cast<TessState *>(pData);
    s->extra.push_back({coords[0], coords[1], coords[2]});
    *ppOut = s->extra.back().data();
}
void TessError(GLenum, void *pData) { static_cast<TessState *>(pData)->bError = true; }

// Tessellates the contours into triangles (xy pairs); false on a GLU error.
bool Tessellate(const std::vector<std::vector<float>> &contours, std::vector<float> *pOut)
{
    GLUtesselator *pTess = gluNewTess();
    if (pTess == nullptr) return false;
    TessState state;
    std::vector<std::array<GLdouble, 3>> points;
    for (const auto &c : contours) points.resize(points.size() + c.size() / 2);
    gluTessCallback(pTess, GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(TessBegin));
    gluTessCallback(pTess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(TessEdgeFlag));
    gluTessCallback(pTess, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(TessVertex));
    gluTessCallback(pTess, GLU_TESS_END_DATA, reinterpret_cast<_GLUfuncptr>(TessEnd));
    gluTessCallback(pTess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(TessCombine));
    gluTessCallback(pTess, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(TessError));
    gluTessProperty(pTess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    gluTessNormal(pTess, 0.0, 0.0, 1.0);
    gluTessBeginPolygon(pTess, &state);
    size_t k = 0;
    for (const auto &c : contours) {
        gluTessBeginContour(pTess);
        for (size_t i = 0; i + 1 < c.size(); i += 2, k++) {
            points[k] = {c[i], c[i + 1], 0.0};
            gluTessVertex(pTess, points[k].data(), points[k].data());
        }
        gluTessEndContour(pTess);
    }
    gluTessEndPolygon(pTess);
    gluDeleteTess(pTess);
    *pOut = std::move(state.xy);
    return !state.bError && pOut->size() % 6 == 0;
}

void AddTriangle(std::vector<float> *pTris, const float a[3], const float b[3], const float c[3])
{
    pTris->insert(pTris->end(), a, a + 3);
    pTris->insert(pTris->end(), b, b + 3);
    pTris->insert(pTris->end(), c, c + 3);
}

// The front face (counter-clockwise seen from +z) and the back face
// (clockwise) from the tessellated triangles.
void AddFaces(const std::vector<float> &xy, std::vector<float> *pTris)
{
    for (size_t i = 0; i + 6 <= xy.size(); i += 6) {
        const float *p = &xy[i];
        const float fArea = (p[2] - p[0]) * (p[5] - p[1]) - (p[4] - p[0]) * (p[3] - p[1]);
        if (std::fabs(fArea) < 1e-12f) continue;
        const int j = fArea > 0.0f ? 2 : 4;  // the second vertex when counter-clockwise
        const int k = fArea > 0.0f ? 4 : 2;
        const float f0[3] = {p[0], p[1], kFrontZ}, f1[3] = {p[j], p[j + 1], kFrontZ},
                    f2[3] = {p[k], p[k + 1], kFrontZ};
        AddTriangle(pTris, f0, f1, f2);
        const float b0[3] = {p[0], p[1], -kFrontZ}, b1[3] = {p[k], p[k + 1], -kFrontZ},
                    b2[3] = {p[j], p[j + 1], -kFrontZ};
        AddTriangle(pTris, b0, b1, b2);
    }
}

// Two triangles per contour edge facing away from the filled area: with the
// contours counter-clockwise overall the filled area lies to the left of
// each edge, so the wall faces right, and the other way round.
void AddWalls(const std::vector<std::vector<float>> &contours, std::vector<float> *pTris)
{
    double dArea = 0.0;
    for (const auto &c : contours)
        for (size_t i = 0; i + 1 < c.size(); i += 2) {
            const size_t n = (i + 2) % c.size();
            dArea += double(c[i]) * c[n + 1] - double(c[n]) * c[i + 1];
        }
    const bool bFacesRight = dArea > 0.0;
    for (const auto &c : contours)
        for (size_t i = 0; i + 1 < c.size(); i += 2) {
            const size_t n = (i + 2) % c.size();
            const float a0[3] = {c[i], c[i + 1], -kFrontZ}, a1[3] = {c[i], c[i + 1], kFrontZ};
            const float b0[3] = {c[n], c[n + 1], -kFrontZ}, b1[3] = {c[n], c[n + 1], kFrontZ};
            if (bFacesRight) {
                AddTriangle(pTris, a0, b0, b1);
                AddTriangle(pTris, a0, b1, a1);
            } else {
                AddTriangle(pTris, a0, b1, b0);
                AddTriangle(pTris, a0, a1, b1);
            }
        }
}

bool MakeGlyph(int c, SolidGlyph *pGlyph)
{
    NKGlyphOutline outline;
    if (!NKGetGlyphOutline("arial", c, &outline)) return false;
    float fMinX = 1e30f, fMaxX = -1e30f;
    for (const auto &contour : outline.contours)
        for (size_t i = 0; i < contour.size(); i += 2) {
            fMinX = std::fmin(fMinX, contour[i]);
            fMaxX = std::fmax(fMaxX, contour[i]);
        }
    if (!(fMaxX > fMinX)) return false;
    for (auto &contour : outline.contours)
        for (size_t i = 0; i < contour.size(); i += 2) contour[i] -= fMinX;
    std::vector<float> xy;
    if (!Tessellate(outline.contours, &xy) || xy.empty()) return false;
    AddFaces(xy, &pGlyph->triangles);
    AddWalls(outline.contours, &pGlyph->triangles);
    pGlyph->fAdvance = fMaxX - fMinX;
    return true;
}

// The normalised cross product of the triangle's first two edges.
void SendTriangleNormal(const float *t)
{
    const float e1[3] = {t[3] - t[0], t[4] - t[1], t[5] - t[2]};
    const float e2[3] = {t[6] - t[3], t[7] - t[4], t[8] - t[5]};
    float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                  e1[0] * e2[1] - e1[1] * e2[0]};
    const float fLength = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (fLength > 0.0f)
        for (float &v : n) v /= fLength;
    glNormal3fv(n);
}

void DrawGlyph(const float *pTriangles, int iCount, bool bFlat)
{
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < iCount; i++) {
        const float *t = pTriangles + 9 * i;
        if (bFlat) {
            if (t[2] < kFrontFaceZ || t[5] < kFrontFaceZ || t[8] < kFrontFaceZ) continue;
        } else {
            SendTriangleNormal(t);
        }
        glVertex3fv(t);
        glVertex3fv(t + 3);
        glVertex3fv(t + 6);
    }
    glEnd();
}

}  // namespace

bool GetStrokeGlyph(int c, const float **ppTriangles, int *piCount, float *pfAdvance)
{
    if (c < kFirstGlyph || c > kLastGlyph) return false;
    SolidGlyph &g = sg_Glyphs[c - kFirstGlyph];
    if (!g.bTried) {
        g.bTried = true;
        g.bMade = MakeGlyph(c, &g);
        if (!g.bMade) g.triangles.clear();
    }
    if (!g.bMade) return false;
    if (ppTriangles != nullptr) *ppTriangles = g.triangles.data();
    if (piCount != nullptr) *piCount = static_cast<int>(g.triangles.size() / 9);
    if (pfAdvance != nullptr) *pfAdvance = g.fAdvance;
    return true;
}

void NKDrawText3DString(const char *pszText, bool bFlat, float fMaxWidth)
{
    if (pszText == nullptr) return;
    if (fMaxWidth < 0.0f) fMaxWidth = 1e12f;
    if (bFlat) glNormal3f(0.0f, 0.0f, 1.0f);
    float w = 0.0f;
    for (const char *p = pszText; *p != '\0' && w < fMaxWidth; p++) {
        const int c = static_cast<unsigned char>(*p);
        if (c == ' ') {
            glTranslatef(kBlankAdvance, 0.0f, 0.0f);
            w += kBlankAdvance;
            continue;
        }
        const float *pTriangles = nullptr;
        int iCount = 0;
        float fAdvance = 0.0f;
        if (!GetStrokeGlyph(c, &pTriangles, &iCount, &fAdvance)) continue;
        DrawGlyph(pTriangles, iCount, bFlat);
        glTranslatef(fAdvance + kGlyphGap, 0.0f, 0.0f);
        w += fAdvance + kGlyphGap;
    }
}

void NKDrawText3DBetweenPoints(float *pfMatrix, const float *p1, const float *p2,
                               const char *pszText, bool bFlat, float fSize, float fMaxWidth)
{
    if (p1 == nullptr || p2 == nullptr || pszText == nullptr) return;
    float x[3] = {p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]};
    const float fLength = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
    if (!(fLength > 0.0f)) return;
    for (float &v : x) v /= fLength;
    // y: the world +y less its part along x; +z when x runs along y.
    float y[3] = {-x[1] * x[0], 1.0f - x[1] * x[1], -x[1] * x[2]};
    float fY = std::sqrt(y[0] * y[0] + y[1] * y[1] + y[2] * y[2]);
    if (fY < 1e-6f) {
        y[0] = -x[2] * x[0];
        y[1] = -x[2] * x[1];
        y[2] = 1.0f - x[2] * x[2];
        fY = std::sqrt(y[0] * y[0] + y[1] * y[1] + y[2] * y[2]);
    }
    for (float &v : y) v /= fY;
    const float z[3] = {x[1] * y[2] - x[2] * y[1], x[2] * y[0] - x[0] * y[2],
                        x[0] * y[1] - x[1] * y[0]};
    float afLocal[16];
    float *m = pfMatrix != nullptr ? pfMatrix : afLocal;
    for (int i = 0; i < 3; i++) {
        m[i] = x[i];
        m[4 + i] = y[i];
        m[8 + i] = z[i];
        m[12 + i] = p1[i];
    }
    m[3] = m[7] = m[11] = 0.0f;
    m[15] = 1.0f;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glMultMatrixf(m);
    glScalef(fSize, fSize, fSize);
    glTranslatef(0.0f, 0.0f, kFrontZ);
    NKDrawText3DString(pszText, bFlat, fMaxWidth);
    glPopMatrix();
}
