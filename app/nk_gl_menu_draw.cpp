// app/nk_gl_menu_draw.cpp -- drawing and picking of the in-view menu. Both
// place each button from the menu's origin and axes and work under the
// same matrix (NKGLMenuModelView): the projection's start matrix moved by
// the offsets the view's drags change, then the placement.
#include <GL/gl.h>

#include <vector>

#include "app/nk_gl_menu.h"
#include "core/nk_ray.h"
#include "render/nk_lights.h"
#include "render/nk_text_list.h"
#include "tools/nk_picking.h"

namespace {

// The check mark's outline in the unit square.
const float kCheckMark[18][2] = {
    {0.325f, 0.025f},   {0.4125f, 0.0625f}, {0.5125f, 0.275f}, {0.6875f, 0.575f}, {0.85f, 0.8f},
    {0.9625f, 0.9125f}, {0.9625f, 0.95f},   {0.9375f, 0.975f}, {0.8625f, 0.975f}, {0.75f, 0.95f},
    {0.65f, 0.85f},     {0.5f, 0.625f},     {0.325f, 0.325f},  {0.2375f, 0.4f},   {0.1375f, 0.425f},
    {0.05f, 0.375f},    {0.025f, 0.3f},     {0.225f, 0.0375f}};

float Dot(const float *a, const float *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// The button's top-left corner as drawn.
void ItemCorner(const NKGLMenu *pMenu, const NKGLMenuItem *pItem, float *pfCorner)
{
    const float afLocal[3] = {pItem->level * pMenu->itemWidth * 0.5f,
                              -pItem->slot * pMenu->itemHeight, pItem->level * pMenu->depthStep};
    pfCorner[0] = Dot(afLocal, pMenu->xAxis) + pMenu->origin[0];
    pfCorner[1] = Dot(afLocal, pMenu->yAxis) - pMenu->origin[1];
    pfCorner[2] = Dot(afLocal, pMenu->normal) + pMenu->origin[2];
}

void Quad(float x0, float y0, float x1, float y1, float z)
{
    glBegin(GL_QUADS);
    glVertex3f(x0, y0, z);
    glVertex3f(x1, y0, z);
    glVertex3f(x1, y1, z);
    glVertex3f(x0, y1, z);
    glEnd();
}

void Colour(const float *c, float fScale = 1.0f)
{
    glColor3f(c[0] * fScale, c[1] * fScale, c[2] * fScale);
}

// Arrow, check mark and text of one button at depth z.
void DrawItemMarks(const NKGLMenu *pMenu, const NKGLMenuItem *pItem, const float *pfCorner, float z)
{
    const float x = pfCorner[0], y = pfCorner[1];
    const float w = pMenu->itemWidth, height = pMenu->itemHeight;
    const float h = 0.5f * (height - 2.0f * pMenu->insetY);
    const float yc = y - height * 0.5f;
    float afText[3];
    for (int i = 0; i < 3; i++)
        afText[i] = pItem->pressed    ? 1.0f - pItem->textColor[i]
                    : pItem->disabled ? pItem->disabledTextColor[i]
                                      : pItem->textColor[i];
    Colour(afText);
    if (pItem->branch != nullptr) {
        glBegin(GL_TRIANGLES);
        glVertex3f(x + w - 1.2f * h, yc - 0.5f * h, z);
        glVertex3f(x + w - 0.6f * h, yc, z);
        glVertex3f(x + w - 1.2f * h, yc + 0.5f * h, z);
        glEnd();
    }
    if (pItem->checked) {
        glBegin(GL_POLYGON);
        for (const float *p : kCheckMark)
            glVertex3f(x + pMenu->insetX + p[0] * h, yc - 0.5f * h + p[1] * h, z);
        glEnd();
    }
    if (pItem->text[0] == '\0') return;
    glPushMatrix();
    glTranslatef(x + pMenu->insetX + pMenu->textOffsetX,
                 y - height + pMenu->insetY + pMenu->textOffsetY, z);
    glScalef(pMenu->textScaleX, pMenu->textScaleY, pMenu->textScaleZ);
    const float fLimit =
        (w - 2.0f * pMenu->insetX - 1.2f * h - pMenu->textOffsetX) / pMenu->textScaleX;
    NKDrawStrokeText(pItem->text, fLimit);
    glPopMatrix();
}

void DrawItem(const NKGLMenu *pMenu, const NKGLMenuItem *pItem)
{
    float afCorner[3];
    ItemCorner(pMenu, pItem, afCorner);
    const float x = afCorner[0], y = afCorner[1], z = afCorner[2];
    const float w = pMenu->itemWidth, height = pMenu->itemHeight;
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glNormal3fv(pMenu->normal);
    if (pItem->level > 0) {
        Colour(pItem->faceColor, 0.1f);
        Quad(x - 0.004f, y - height, x + w + 0.004f, y + 0.004f, z - pMenu->depthStep * 0.2f);
    }
    Colour(pItem->faceColor);
    Quad(x, y - height, x + w, y, z);
    const float *pFace = pItem->pressed ? pMenu->pressedFaceColor : pItem->faceColor;
    Colour(pFace);
    const float fFaceZ = z + pMenu->frontOffset * 0.5f;
    Quad(x + pMenu->insetX, y - height + pMenu->insetY, x + w - pMenu->insetX, y - pMenu->insetY,
         fFaceZ);
    glDisable(GL_LIGHTING);
    DrawItemMarks(pMenu, pItem, afCorner,
                  z + pMenu->frontOffset + (pItem->pressed ? 0.003f : 0.0f));
}

// Each item, then the rest of its list, then its branch when open.
void DrawTree(const NKGLMenu *pMenu, const NKGLMenuItem *pItem)
{
    for (; pItem != nullptr; pItem = pItem->next) {
        DrawItem(pMenu, pItem);
        if (pItem->open) DrawTree(pMenu, pItem->branch);
    }
}

// The visible items in drawing order.
void CollectVisible(NKGLMenuItem *pItem, std::vector<NKGLMenuItem *> *pOut)
{
    for (; pItem != nullptr; pItem = pItem->next) {
        pOut->push_back(pItem);
        if (pItem->open) CollectVisible(pItem->branch, pOut);
    }
}

void MultiplyMatrix(const double *a, const double *b, double *pOut)
{
    double r[16];
    for (int c = 0; c < 4; c++)
        for (int row = 0; row < 4; row++) {
            double d = 0.0;
            for (int k = 0; k < 4; k++) d += a[k * 4 + row] * b[c * 4 + k];
            r[c * 4 + row] = d;
        }
    for (int i = 0; i < 16; i++) pOut[i] = r[i];
}

}  // namespace

void NKGLMenuModelView(const NKGLMenu *pMenu, double adOut[16])
{
    double adMove[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -2.0, 1};
    double adPlacement[16];
    if (pMenu == nullptr) {
        for (int i = 0; i < 16; i++) adOut[i] = adMove[i];
        return;
    }
    adMove[12] += pMenu->offsetX;
    adMove[13] += pMenu->offsetY;
    adMove[14] += pMenu->offsetZ;
    for (int i = 0; i < 16; i++) adPlacement[i] = pMenu->placement[i];
    MultiplyMatrix(adMove, adPlacement, adOut);
}

bool NKDrawGLMenu(NKGLMenu *pMenu)
{
    if (pMenu == nullptr || pMenu->root == nullptr) return false;
    // The Results Menu shows the state as it is now: commands typed or read
    // from a file (readstate, fringes, ...) change it as well as its items.
    if (pMenu->bResultsMenu) NKGLMenuUpdateResultsMenu(pMenu);
    const GLboolean bNormalize = glIsEnabled(GL_NORMALIZE);
    glEnable(GL_NORMALIZE);
    NKSetDefaultMaterial();
    glDepthFunc(GL_LEQUAL);
    DrawTree(pMenu, pMenu->root);
    glDepthFunc(GL_LESS);
    glDisable(GL_COLOR_MATERIAL);
    if (!bNormalize) glDisable(GL_NORMALIZE);
    return true;
}

void NKDrawShownGLMenu(void)
{
    NKResultsMenuFollowModel();
    if (g_pGLMenu == nullptr || !g_pGLMenu->shown) return;
    double adModelView[16];
    NKGLMenuModelView(g_pGLMenu, adModelView);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadMatrixd(adModelView);
    // The menu sits behind the model's centre in eye space, yet it is used
    // in front of the model: its depths go to the front hundredth of the
    // depth range, so the model never hides it and its own layers (shadow,
    // button, face, text) keep their order.
    GLdouble adRange[2] = {0.0, 1.0};
    glGetDoublev(GL_DEPTH_RANGE, adRange);
    glDepthRange(0.0, 0.01);
    NKDrawGLMenu(g_pGLMenu);
    glDepthRange(adRange[0], adRange[1]);
    glPopMatrix();
}

int NKGLMenuPickAt(NKGLMenu *pMenu, const double *pdModelView, const double *pdProjection,
                   const int *piViewport, int x, int y, bool bOpen)
{
    if (pMenu == nullptr || pMenu->root == nullptr) return -1;
    float afOrigin[3], afDirection[3];
    if (!NKMouseRay(x, y, piViewport[3], pdModelView, pdProjection, piViewport, afOrigin,
                    afDirection))
        return -1;
    std::vector<NKGLMenuItem *> visible;
    CollectVisible(pMenu->root, &visible);
    int iDeepest = 0;
    for (const NKGLMenuItem *p : visible)
        if (p->level > iDeepest) iDeepest = p->level;
    NKGLMenuItem *pBest = nullptr;
    float fBest = 1e12f;
    for (NKGLMenuItem *p : visible) {
        if (!bOpen && p->level != iDeepest) continue;
        float c[3];
        ItemCorner(pMenu, p, c);
        const float w = pMenu->itemWidth, h = pMenu->itemHeight;
        const float afQuad[12] = {c[0],     c[1] - h, c[2], c[0] + w, c[1] - h, c[2],
                                  c[0] + w, c[1],     c[2], c[0],     c[1],     c[2]};
        NKRayHit hit{};
        hit.fT = 1e12f;
        if (NKFindNearestRayPolygonHit(afQuad, pMenu->normal, 4, 1, afOrigin, afDirection, &hit) >
                0 &&
            hit.fT < fBest) {
            fBest = hit.fT;
            pBest = p;
        }
    }
    if (pBest == nullptr) {
        if (bOpen) NKGLMenuCloseBranches(pMenu->root, nullptr);
        return -1;
    }
    NKGLMenuPressItem(pMenu, pBest->id, bOpen);
    return pBest->id;
}
