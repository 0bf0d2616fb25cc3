// render/nk_label_overlay.cpp -- LabelItem, adding labels with their
// captured matrix, the depth-buffer occlusion test and the drawing of
// framed, plain and multi-line labels (see nk_label_overlay.h).
#include "render/nk_label_overlay.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstring>
#include <new>

#include "core/nk_graphics_settings.h"
#include "core/nk_math.h"
#include "platform/nk_gl_context.h"
#include "render/nk_primitives.h"

LabelOverlay *g_pLabelOverlay = nullptr;

namespace {

const float kStartColors[4][4] = {{0.0f, 0.0f, 0.0f, 1.0f},
                                  {1.0f, 1.0f, 0.8f, 1.0f},
                                  {0.0f, 0.0f, 0.0f, 1.0f},
                                  {1.0f, 0.0f, 1.0f, 1.0f}};

void SetIdentity(double *m)
{
    for (int i = 0; i < 16; i++) m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

void TransformByCaptured(const LabelOverlay *pOverlay, float *p)
{
    const double *m = pOverlay->adModelView;
    const double x = p[0], y = p[1], z = p[2];
    for (int r = 0; r < 3; r++)
        p[r] = static_cast<float>(m[r] * x + m[4 + r] * y + m[8 + r] * z + m[12 + r]);
}

bool Grow(LabelOverlay *pOverlay)
{
    int iStep = pOverlay->iGrowBy;
    if (iStep <= 0) {
        iStep = pOverlay->iCount / 8;
        iStep = iStep < 4 ? 4 : (iStep > 1024 ? 1024 : iStep);
    }
    const int iNew = pOverlay->iCapacity + iStep;
    LabelItem *pNew = new (std::nothrow) LabelItem[iNew];
    if (pNew == nullptr) return false;
    for (int i = 0; i < pOverlay->iCount; i++) pNew[i] = pOverlay->pItems[i];
    delete[] pOverlay->pItems;
    pOverlay->pItems = pNew;
    pOverlay->iCapacity = iNew;
    return true;
}

// Projects the anchor and decides visibility: inside the viewport (a pixel
// of margin) and, for 3-D anchors, when the marker sphere drawn at the
// anchor changed any depth value of the 3 x 3 block around its pixel.
void TestVisibility(LabelOverlay *pOverlay, LabelItem *pItem, const GLint *aiViewport,
                    int iDepthBits)
{
    const int w = aiViewport[2], h = aiViewport[3];
    pItem->bVisible = 0;
    if (pItem->bScreenFixed) {
        pItem->fWindow[0] = w * (pItem->fAnchor[0] + 1.0f) * 0.5f;
        pItem->fWindow[1] = h * (pItem->fAnchor[1] + 1.0f) * 0.5f;
        pItem->fWindow[2] = 0.0f;
        pItem->bVisible = 1;
        return;
    }
    float afWin[3];
    if (!ProjectLabelPoint(pOverlay, pItem->fAnchor, afWin)) return;
    pItem->fWindow[0] = afWin[0] - aiViewport[0];
    pItem->fWindow[1] = afWin[1] - aiViewport[1];
    pItem->fWindow[2] = afWin[2];
    const float x = pItem->fWindow[0], y = pItem->fWindow[1];
    if (x < 1.0f || y < 1.0f || x > w - 2 || y > h - 2) return;
    const int px = static_cast<int>(afWin[0]) - 1, py = static_cast<int>(afWin[1]) - 1;
    float afBefore[9], afAfter[9];
    glReadPixels(px, py, 3, 3, GL_DEPTH_COMPONENT, GL_FLOAT, afBefore);
    glColor4fv(pItem->fColor[3]);
    float fRadius = pItem->iMarkerSize * static_cast<float>(NKVec3Length(pItem->fAnchor)) * 0.0006f;
    if (iDepthBits == 16) fRadius *= 2.5f;
    glPushMatrix();
    glTranslatef(pItem->fAnchor[0], pItem->fAnchor[1], pItem->fAnchor[2]);
    NKDrawSphereGlyph(fRadius, 6, true);
    glPopMatrix();
    glReadPixels(px, py, 3, 3, GL_DEPTH_COMPONENT, GL_FLOAT, afAfter);
    pItem->bVisible = std::memcmp(afBefore, afAfter, sizeof(afBefore)) != 0 ? 1 : 0;
}

void OcclusionTest(LabelOverlay *pOverlay, const GLint *aiViewport)
{
    GLint iDepthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &iDepthBits);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    SetIdentity(pOverlay->adModelView);
    for (int i = 0; i < pOverlay->iCount; i++)
        TestVisibility(pOverlay, &pOverlay->pItems[i], aiViewport, iDepthBits);
    glPopMatrix();
    // The identity belongs to no owner: the next add captures afresh.
    pOverlay->iOwnerId = -1;
}

bool EnsureFont(LabelOverlay *pOverlay)
{
    void *hContext = NKGetCurrentGLContextHandle();
    if (pOverlay->pFont != nullptr && pOverlay->pFont->hContext == hContext) return true;
    NKDeleteBitmapFont(pOverlay->pFont);
    pOverlay->pFont = NKCreateBitmapFont("Arial", 8, 0);
    return pOverlay->pFont != nullptr;
}

// A raster position outside the viewport is invalid and would drop the
// whole text, yet a label may begin up to two pixels from the right edge:
// the position is set at the view's origin and moved by an empty bitmap.
void DrawLabelText(float x, float y, const NKBitmapFont *pFont, const char *pszText)
{
    glRasterPos2f(0.0f, 0.0f);
    glBitmap(0, 0, 0.0f, 0.0f, x, y, nullptr);
    glListBase(pFont->uListBase);
    const size_t n = std::strlen(pszText);
    if (n > 0) glCallLists(static_cast<GLsizei>(n), GL_UNSIGNED_BYTE, pszText);
}

void DrawBox(const LabelItem &item, float x0, float y0, float x1, float y1)
{
    glColor4fv(item.fColor[1]);
    glRectf(x0, y0, x1, y1);
    glColor4fv(item.fColor[2]);
    glBegin(GL_LINE_LOOP);
    glVertex2f(x0 + 0.5f, y0 + 0.5f);
    glVertex2f(x1 - 0.5f, y0 + 0.5f);
    glVertex2f(x1 - 0.5f, y1 - 0.5f);
    glVertex2f(x0 + 0.5f, y1 - 0.5f);
    glEnd();
}

void DrawSingleLine(const LabelItem &item, const NKBitmapFont *pFont)
{
    const float x = std::floor(item.fWindow[0]), y = std::floor(item.fWindow[1]);
    const char *pszText = item.Text.GetText();
    const float fLine = static_cast<float>(pFont->iLineHeight);
    if (item.bFramed) {
        const float fWidth = static_cast<float>(NKGetTextWidth(pszText, pFont->iCharWidth));
        DrawBox(item, x, y, x + fWidth + 10.0f, y + fLine + 10.0f);
        glColor4fv(item.fColor[0]);
        DrawLabelText(x + 5.0f, y + 5.0f, pFont, pszText);
    } else {
        glColor4fv(item.fColor[0]);
        DrawLabelText(x + 5.0f, y - fLine * 0.5f, pFont, pszText);
    }
}

void DrawMultiLine(const LabelItem &item, const NKBitmapFont *pFont)
{
    const float x = std::floor(item.fWindow[0]), y = std::floor(item.fWindow[1]);
    const char *pszText = item.Text.GetText();
    int iLines = 1, iWidest = 0;
    for (const char *p = pszText;; p++) {
        const char *pEnd = std::strchr(p, '\n');
        NKString line;
        line.Assign(p, pEnd != nullptr ? static_cast<int>(pEnd - p) : -1);
        const int w = NKGetTextWidth(line.GetText(), pFont->iCharWidth);
        if (w > iWidest) iWidest = w;
        if (pEnd == nullptr) break;
        iLines++;
        p = pEnd;
    }
    const float fLine = static_cast<float>(pFont->iLineHeight);
    const float fTotal = fLine * iLines + 2.0f * (iLines - 1);
    if (item.bFramed) DrawBox(item, x, y, x + iWidest + 10.0f, y + fTotal + 10.0f);
    glColor4fv(item.fColor[0]);
    float fy = item.bFramed ? y + 5.0f : y - fTotal * 0.5f;
    // The last line is drawn lowest.
    for (int k = iLines - 1; k >= 0; k--, fy += fLine + 2.0f) {
        const char *p = pszText;
        for (int j = 0; j < k; j++) p = std::strchr(p, '\n') + 1;
        const char *pEnd = std::strchr(p, '\n');
        NKString line;
        line.Assign(p, pEnd != nullptr ? static_cast<int>(pEnd - p) : -1);
        DrawLabelText(x + 5.0f, fy, pFont, line.GetText());
    }
}

void DrawItems(LabelOverlay *pOverlay, const GLint *aiViewport)
{
    NKOrthoView &v = pOverlay->View;
    v.iX = aiViewport[0], v.iY = aiViewport[1], v.iWidth = aiViewport[2], v.iHeight = aiViewport[3];
    v.fXMin = 0.0f, v.fXMax = static_cast<float>(v.iWidth);
    v.fYMin = 0.0f, v.fYMax = static_cast<float>(v.iHeight);
    NKUpdateOrthoPixelSize(&v);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    NKSetOrthoView(&v);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    for (int i = 0; i < pOverlay->iCount; i++) {
        const LabelItem &item = pOverlay->pItems[i];
        if (!item.bVisible) continue;
        if (item.bMultiLine)
            DrawMultiLine(item, pOverlay->pFont);
        else
            DrawSingleLine(item, pOverlay->pFont);
        if (item.bMarker) {
            glPointSize(static_cast<float>(item.iMarkerSize));
            glColor4fv(item.fColor[3]);
            glBegin(GL_POINTS);
            glVertex2f(item.fWindow[0], item.fWindow[1]);
            glEnd();
        }
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

}  // namespace

LabelItem::LabelItem() { Reset(); }

LabelItem::LabelItem(const char *pszText)
{
    Reset();
    SetText(pszText);
}

void LabelItem::Reset()
{
    Text = "";
    bMultiLine = bScreenFixed = bVisible = 0;
    bFramed = bMarker = 1;
    iMarkerSize = 5;
    for (int i = 0; i < 3; i++) fAnchor[i] = fWindow[i] = 0.0f;
    std::memcpy(fColor, kStartColors, sizeof(fColor));
}

bool LabelItem::SetText(const char *pszText)
{
    Text = pszText != nullptr ? pszText : "";
    return true;
}

bool LabelItem::SetPosition(float x, float y, float z)
{
    NKVec3Set(fAnchor, x, y, z);
    return true;
}

bool LabelItem::SetPoint(float x, float y, float z) { return SetPosition(x, y, z); }

void LabelItem::SetColor(int iSlot, float r, float g, float b, float a)
{
    if (iSlot < 0 || iSlot > 3) return;
    NKVec4Set(fColor[iSlot], r, g, b, a);
}

void LabelItem::SetColorBytes(int iSlot, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    SetColor(iSlot, r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f);
}

void LabelItem::GetColor(int iSlot, float *pfColor) const
{
    if (pfColor == nullptr) return;
    const int s = (iSlot >= 1 && iSlot <= 3) ? iSlot : 0;
    std::memcpy(pfColor, fColor[s], 4 * sizeof(float));
}

LabelOverlay *CreateLabelOverlay(void)
{
    LabelOverlay *pOverlay = new (std::nothrow) LabelOverlay();
    if (pOverlay != nullptr) SetIdentity(pOverlay->adModelView);
    return pOverlay;
}

void DestroyLabelOverlay(LabelOverlay *pOverlay)
{
    if (pOverlay == nullptr) return;
    delete[] pOverlay->pItems;
    NKDeleteBitmapFont(pOverlay->pFont);
    delete pOverlay;
}

bool AddLabel(LabelOverlay *pOverlay, const LabelItem &item, int iOwnerId)
{
    if (pOverlay == nullptr) return false;
    if (pOverlay->iCount == pOverlay->iCapacity && !Grow(pOverlay)) return false;
    LabelItem &added = pOverlay->pItems[pOverlay->iCount];
    added = item;
    if (iOwnerId >= 0 || iOwnerId == NK_LABEL_OWNER_ALWAYS_CAPTURE) {
        if (iOwnerId != pOverlay->iOwnerId || iOwnerId == NK_LABEL_OWNER_ALWAYS_CAPTURE) {
            glGetDoublev(GL_MODELVIEW_MATRIX, pOverlay->adModelView);
            pOverlay->iOwnerId = iOwnerId;
        }
        // Screen-fixed anchors are window positions already.
        if (!added.bScreenFixed) TransformByCaptured(pOverlay, added.fAnchor);
    }
    if (pOverlay->bHighlight) {
        added.SetColor(1, 1.0f, 1.0f, 1.0f, 1.0f);
        added.SetColor(2, 1.0f, 0.0f, 0.0f, 1.0f);
    }
    pOverlay->iCount++;
    return true;
}

bool AddTextLabel(LabelOverlay *pOverlay, const char *pszText, float x, float y, float z,
                  int iOwnerId)
{
    LabelItem item(pszText);
    item.SetPoint(x, y, z);
    return AddLabel(pOverlay, item, iOwnerId);
}

bool DrawLabelOverlay(LabelOverlay *pOverlay)
{
    if (pOverlay == nullptr || pOverlay->iCount == 0) return true;
    GLint aiViewport[4];
    glGetIntegerv(GL_VIEWPORT, aiViewport);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_VIEWPORT_BIT | GL_TRANSFORM_BIT | GL_LIST_BIT);
    glDisable(GL_LIGHTING);
    OcclusionTest(pOverlay, aiViewport);
    const bool bFont = EnsureFont(pOverlay);
    if (bFont) DrawItems(pOverlay, aiViewport);
    glPopAttrib();
    glEnable(GL_LIGHTING);
    const int iPointSize = g_pGraphicsSettings != nullptr ? g_pGraphicsSettings->iPointSize : 1;
    glPointSize(static_cast<float>(iPointSize));
    return bFont;
}

void ClearLabelOverlay(LabelOverlay *pOverlay)
{
    if (pOverlay == nullptr) return;
    delete[] pOverlay->pItems;
    pOverlay->pItems = nullptr;
    pOverlay->iCount = pOverlay->iCapacity = 0;
    pOverlay->iOwnerId = -1;
}

void SetLabelHighlight(LabelOverlay *pOverlay, bool bOn)
{
    if (pOverlay != nullptr) pOverlay->bHighlight = bOn ? 1 : 0;
}

bool ProjectLabelPoint(const LabelOverlay *pOverlay, const float *pfPoint, float *pfWindow)
{
    if (pOverlay == nullptr || pfPoint == nullptr || pfWindow == nullptr) return false;
    GLdouble adProjection[16], wx = 0.0, wy = 0.0, wz = 0.0;
    GLint aiViewport[4];
    glGetDoublev(GL_PROJECTION_MATRIX, adProjection);
    glGetIntegerv(GL_VIEWPORT, aiViewport);
    if (gluProject(pfPoint[0], pfPoint[1], pfPoint[2], pOverlay->adModelView, adProjection,
                   aiViewport, &wx, &wy, &wz) != GL_TRUE)
        return false;
    pfWindow[0] = static_cast<float>(wx);
    pfWindow[1] = static_cast<float>(wy);
    pfWindow[2] = static_cast<float>(wz);
    return true;
}

void NKResetLabelOverlay(void) { ClearLabelOverlay(g_pLabelOverlay); }

void NKDrawLabelOverlay(void) { DrawLabelOverlay(g_pLabelOverlay); }
