// tools/nk_user_drawing.cpp -- the user point, label and textured-polygon
// tables (see nk_user_drawing.h), their accessors and their drawing.
#include "tools/nk_user_drawing.h"

#include <GL/gl.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "render/nk_label_overlay.h"
#include "render/nk_overlays.h"
#include "render/nk_texture_images.h"
#include "render/nk_view_settings.h"

namespace {

std::vector<NKUserPoint> sg_Points;
std::vector<NKUserLabel> sg_Labels;
std::vector<std::string> sg_LabelTexts;  // owns the texts the labels point to
NKUserTexturePolygon sg_Polygons[NK_MAX_USER_TEXTURE_POLYGONS];
ImageRecord *sg_pPolygonImages[NK_MAX_USER_TEXTURE_POLYGONS];
int sg_iNumPolygons = 0;

}  // namespace

bool NKAddUserPoint(const float *pfPoint, uint8_t r, uint8_t g, uint8_t b)
{
    try {
        if (sg_Points.size() == sg_Points.capacity()) sg_Points.reserve(sg_Points.size() + 1000);
        sg_Points.push_back(NKUserPoint{pfPoint[0], pfPoint[1], pfPoint[2], r, g, b});
    } catch (const std::bad_alloc &) {
        return false;
    }
    return true;
}

void NKClearUserPoints(void) { std::vector<NKUserPoint>().swap(sg_Points); }

// The label records point into sg_LabelTexts, so both grow together and
// the pointers are set again after each growth.
bool NKAddUserLabel(const float *pfPoint, uint8_t r, uint8_t g, uint8_t b, const char *pszText)
{
    try {
        if (sg_Labels.size() == sg_Labels.capacity()) {
            sg_Labels.reserve(sg_Labels.size() + 100);
            sg_LabelTexts.reserve(sg_Labels.size() + 100);
        }
        sg_LabelTexts.emplace_back(pszText != nullptr ? pszText : "");
        sg_Labels.push_back(NKUserLabel{pfPoint[0], pfPoint[1], pfPoint[2], r, g, b, nullptr});
    } catch (const std::bad_alloc &) {
        if (sg_LabelTexts.size() > sg_Labels.size()) sg_LabelTexts.pop_back();
        return false;
    }
    for (size_t i = 0; i < sg_Labels.size(); i++) sg_Labels[i].pszText = sg_LabelTexts[i].c_str();
    return true;
}

void NKClearUserLabels(void)
{
    std::vector<NKUserLabel>().swap(sg_Labels);
    std::vector<std::string>().swap(sg_LabelTexts);
}

bool NKAddUserTexturePolygon(ImageRecord *pImage, const float *pfCorners)
{
    if (sg_iNumPolygons >= NK_MAX_USER_TEXTURE_POLYGONS) return false;
    std::memcpy(sg_Polygons[sg_iNumPolygons].afCorners, pfCorners, 12 * sizeof(float));
    sg_pPolygonImages[sg_iNumPolygons] = pImage;
    sg_iNumPolygons++;
    return true;
}

int NKCountUserTexturePolygons(void) { return sg_iNumPolygons; }
void NKClearUserTexturePolygons(void) { sg_iNumPolygons = 0; }

void NKRemoveImageReferences(const ImageRecord *pImage)
{
    int k = 0;
    for (int i = 0; i < sg_iNumPolygons; i++) {
        if (sg_pPolygonImages[i] == pImage) continue;
        sg_Polygons[k] = sg_Polygons[i];
        sg_pPolygonImages[k] = sg_pPolygonImages[i];
        k++;
    }
    sg_iNumPolygons = k;
}

void NKClearUserDrawing(void)
{
    NKClearUserPoints();
    NKClearUserLabels();
    NKClearUserTexturePolygons();
}

const NKUserPoint *NKGetUserPoints(int *piCount)
{
    *piCount = int(sg_Points.size());
    return sg_Points.empty() ? nullptr : sg_Points.data();
}

const NKUserLabel *NKGetUserLabels(int *piCount)
{
    *piCount = int(sg_Labels.size());
    return sg_Labels.empty() ? nullptr : sg_Labels.data();
}

const NKUserTexturePolygon *NKGetUserTexturePolygons(int *piCount)
{
    *piCount = sg_iNumPolygons;
    return sg_iNumPolygons > 0 ? sg_Polygons : nullptr;
}

void NKDrawUserPoints(void)
{
    int n = 0;
    const NKUserPoint *p = NKGetUserPoints(&n);
    if (g_pViewSettings == nullptr || !g_pViewSettings->bShowUserPoints || n == 0) return;
    glDisable(GL_LIGHTING);
    glBegin(GL_POINTS);
    for (int i = 0; i < n; i++) {
        glColor3ub(p[i].r, p[i].g, p[i].b);
        glVertex3f(p[i].x, p[i].y, p[i].z);
    }
    glEnd();
    glEnable(GL_LIGHTING);
}

void NKDrawUserLabels(void)
{
    int n = 0;
    const NKUserLabel *p = NKGetUserLabels(&n);
    if (g_pViewSettings == nullptr || !g_pViewSettings->bShowUserLabels ||
        g_pLabelOverlay == nullptr)
        return;
    for (int i = 0; i < n; i++) {
        LabelItem item(p[i].pszText);
        item.SetPosition(p[i].x, p[i].y, p[i].z);
        item.SetColorBytes(0, p[i].r, p[i].g, p[i].b, 255);
        AddLabel(g_pLabelOverlay, item, 0);
    }
}

void NKDrawUserTexturePolygons(NKDisplayListSet *)
{
    int n = 0;
    const NKUserTexturePolygon *p = NKGetUserTexturePolygons(&n);
    if (n == 0) return;
    glEnable(GL_TEXTURE_2D);
    static const float s_afTex[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < n; i++) {
        const GLuint uList = NKGetImageTextureList(sg_pPolygonImages[i]);
        if (uList == 0) continue;
        glCallList(uList);
        glBegin(GL_POLYGON);
        for (int k = 0; k < 4; k++) {
            glTexCoord2fv(s_afTex[k]);
            glVertex3fv(p[i].afCorners + 3 * k);
        }
        glEnd();
    }
    glDisable(GL_TEXTURE_2D);
}
