// render/nk_overlays.cpp -- the background, the empty frame, the logo and
// the overlays around the model (see nk_overlays.h). The screen overlays of
// a frame (NKDrawScreenOverlays) are at the end of the file.
#include "render/nk_overlays.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "core/nk_bbox.h"
#include "core/nk_data_source_kind.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_image_record.h"
#include "core/nk_model.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_view_state.h"
#include "platform/nk_font_raster.h"
#include "platform/nk_gl_context.h"
#include "render/nk_background.h"
#include "render/nk_camera.h"
#include "render/nk_culling.h"
#include "render/nk_label_overlay.h"
#include "render/nk_legend.h"
#include "render/nk_node_colors.h"
#include "render/nk_pick_display.h"
#include "render/nk_primitives.h"
#include "render/nk_scene_view.h"
#include "render/nk_text.h"
#include "render/nk_text_list.h"
#include "render/nk_texture_images.h"
#include "render/nk_view_settings.h"

NKBackgroundImage g_BackgroundImage;
NKLogoState g_LogoState;

namespace {

// The compiled image background and the raster position it was made for.
GLuint sg_uBackgroundList = 0;
float sg_afRasterPos[3] = {-1.0f, -1.0f, -1.0f};

constexpr int kReservoirSource = 9;

void RestoreLineWidth(void)
{
    glLineWidth(g_pGraphicsSettings != nullptr ? static_cast<float>(g_pGraphicsSettings->iLineWidth)
                                               : 1.0f);
}

void Vertex(const uint8_t *c, float x, float y)
{
    glColor3ubv(c);
    glVertex3f(x, y, 0.0f);
}

// The gradient of modes 1 to 4.
void DrawGradient(int iMode, const uint8_t (*c)[3])
{
    if (iMode == 1 || iMode == 2) {
        const float yMid = iMode == 1 ? 1.0f : 0.0f;
        glBegin(GL_QUADS);
        Vertex(c[0], -1, -1), Vertex(c[0], 1, -1), Vertex(c[1], 1, yMid), Vertex(c[1], -1, yMid);
        if (iMode == 2)
            Vertex(c[1], -1, 0), Vertex(c[1], 1, 0), Vertex(c[2], 1, 1), Vertex(c[2], -1, 1);
        glEnd();
    } else if (iMode == 3) {
        glBegin(GL_TRIANGLES);
        Vertex(c[0], -1, -1), Vertex(c[1], 1, -1), Vertex(c[2], 1, 1);
        Vertex(c[0], -1, -1), Vertex(c[2], 1, 1), Vertex(c[3], -1, 1);
        glEnd();
    } else if (iMode == 4) {
        static const float s_afCorners[5][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {-1, -1}};
        glBegin(GL_TRIANGLES);
        for (int i = 0; i < 4; i++) {
            Vertex(c[0], s_afCorners[i][0], s_afCorners[i][1]);
            Vertex(c[0], s_afCorners[i + 1][0], s_afCorners[i + 1][1]);
            Vertex(c[1], 0, 0);
        }
        glEnd();
    }
}

// A quad with texture coordinates (0,0), (1,0), (1,1), (0,1) from the
// bottom left anticlockwise, textured by a list in decal mode.
void DrawTexturedQuad(GLuint uList, const float (*p)[3])
{
    glCallList(uList);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    static const float s_afTex[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; i++) {
        glTexCoord2fv(s_afTex[i]);
        glVertex3fv(p[i]);
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

}  // namespace

void NKPixelToView(int iX, int iY, float fZ, float *pfOut)
{
    GLint v[4] = {0, 0, NKViewWindowSize.iWidth, NKViewWindowSize.iHeight};
    glGetIntegerv(GL_VIEWPORT, v);
    const int aiPixel[2] = {std::max(iX, 0), std::max(iY, 0)};
    for (int k = 0; k < 2; k++) {
        const int iSize = v[2 + k], iHalf = iSize / 2;
        pfOut[k] = static_cast<float>(aiPixel[k]);
        if (iSize > 1)
            pfOut[k] = static_cast<float>(aiPixel[k] - iHalf) / static_cast<float>(iHalf);
    }
    pfOut[2] = fZ;
}

void NKClearFrame(NKFrame *pFrame, const NKBackgroundSettings *pSettings, NKDisplayListSet *pLists)
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The identity colours are drawn on black, so identity 0 is the background.
    if (g_HiddenPartCuller.bEnabled && g_HiddenPartCuller.bAnalysisOn && pFrame != nullptr)
        NKRenderHidePolys(pFrame);
    if (pSettings == nullptr) return;
    const uint8_t *c = pSettings->ucColors[0];
    glClearColor(c[0] / 255.0f, c[1] / 255.0f, c[2] / 255.0f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (pSettings->iMode != 0) NKDrawBackground(pSettings, pLists);
}

void NKDrawBackground(const NKBackgroundSettings *pSettings, NKDisplayListSet *)
{
    if (pSettings == nullptr || pSettings->iMode == 0) return;
    glShadeModel(GL_SMOOTH);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    {
        const NKScreenFrame frame;
        if (pSettings->iMode >= 1 && pSettings->iMode <= 4)
            DrawGradient(pSettings->iMode, pSettings->ucColors);
        const ImageRecord *pImage = g_BackgroundImage.pImage;
        if (pSettings->iMode == 5 && pImage != nullptr) {
            const GLuint uList = NKGetImageTextureList(pImage);
            if (g_RendererWorkarounds.bBackgroundTextureMapping && uList != 0) {
                static const float s_afSquare[4][3] = {
                    {-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
                DrawTexturedQuad(uList, s_afSquare);
            } else {
                NKDrawBackgroundPixels(pImage);
            }
        }
    }
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
}

void NKDrawBackgroundPixels(const ImageRecord *pImage)
{
    if (sg_uBackgroundList != 0) {
        glRasterPos3fv(sg_afRasterPos);
        glCallList(sg_uBackgroundList);
        return;
    }
    if (pImage == nullptr || pImage->pPixels == nullptr || pImage->iWidth < 1 ||
        pImage->iHeight < 1)
        return;
    GLint v[4], iAlign = 4;
    glGetIntegerv(GL_VIEWPORT, v);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &iAlign);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const float zx = static_cast<float>(v[2]) / static_cast<float>(pImage->iWidth);
    const float zy = static_cast<float>(v[3]) / static_cast<float>(pImage->iHeight);
    const float fZoom = zx >= zy ? zy : zx;
    sg_afRasterPos[0] = zx >= zy ? -(zy / zx) : -1.0f;
    sg_afRasterPos[1] = zx >= zy ? -1.0f : -(zx / zy);
    sg_afRasterPos[2] = -1.0f;
    glRasterPos3fv(sg_afRasterPos);
    sg_uBackgroundList = glGenLists(1);
    if (sg_uBackgroundList != 0) glNewList(sg_uBackgroundList, GL_COMPILE_AND_EXECUTE);
    glPixelZoom(fZoom, fZoom);
    glDrawPixels(pImage->iWidth, pImage->iHeight, GL_RGB, GL_UNSIGNED_BYTE, pImage->pPixels);
    glPixelZoom(1.0f, 1.0f);
    if (sg_uBackgroundList != 0) glEndList();
    glPixelStorei(GL_UNPACK_ALIGNMENT, iAlign);
}

void NKDropBackgroundImageList(void)
{
    if (sg_uBackgroundList != 0 && NKGetCurrentGLContextHandle() != nullptr)
        glDeleteLists(sg_uBackgroundList, 1);
    sg_uBackgroundList = 0;
}

void NKClearStereoBuffers(const NKGraphicsSettings *pSettings)
{
    const bool bStereo = pSettings != nullptr && pSettings->bStereo;
    const bool bQuad = bStereo && pSettings->bQuadBufferStereo;
    const bool bSingle = pSettings != nullptr && pSettings->bSingleBuffer;
    const int iEyes = bStereo ? 2 : 1;
    for (int iEye = 0; iEye < iEyes; iEye++) {
        if (bQuad)
            glDrawBuffer(bSingle ? (iEye == 0 ? GL_FRONT_LEFT : GL_FRONT_RIGHT)
                                 : (iEye == 0 ? GL_BACK_LEFT : GL_BACK_RIGHT));
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (bStereo) NKSetStereoProjection(iEye, pSettings);
    }
    if (bQuad) glDrawBuffer(bSingle ? GL_FRONT_LEFT : GL_BACK_LEFT);
    NKDrawTextList();
    if (bSingle)
        glFinish();
    else
        NKSwapBuffers();
}

void NKDrawLogo(NKDisplayListSet *)
{
    const NKLogoState &l = g_LogoState;
    const GLuint uList = NKGetImageTextureList(l.pImage);
    if (l.pImage == nullptr || uList == 0) return;
    GLint v[4];
    glGetIntegerv(GL_VIEWPORT, v);
    const int w = static_cast<int>(static_cast<float>(l.pImage->iWidth) * l.fXScale);
    const int h = static_cast<int>(static_cast<float>(l.pImage->iHeight) * l.fYScale);
    const bool bLeft = l.iCorner == 0 || l.iCorner == 1, bTop = l.iCorner == 0 || l.iCorner == 2;
    const int x = bLeft ? 5 : v[2] - w - 5, y = bTop ? v[3] - 5 : h + 5;
    float p[4][3];
    NKPixelToView(x, y - h, -0.1f, p[0]);
    NKPixelToView(x + w, y - h, -0.1f, p[1]);
    NKPixelToView(x + w, y, -0.1f, p[2]);
    NKPixelToView(x, y, -0.1f, p[3]);
    const bool bDepth = g_pGraphicsSettings == nullptr || g_pGraphicsSettings->bZBuffer;
    glShadeModel(GL_SMOOTH);
    glDisable(GL_LIGHTING);
    {
        const NKScreenFrame frame(0.01, 1.0);
        if (bDepth) glDisable(GL_DEPTH_TEST);
        DrawTexturedQuad(uList, p);
        if (bDepth) glEnable(GL_DEPTH_TEST);
    }
    glEnable(GL_LIGHTING);
}

void NKDrawAxisArrows(const float *pfPoint, float fLength, bool bRulersAndLabels)
{
    static const float s_afOrigin[3] = {0.0f, 0.0f, 0.0f};
    static const float s_afColors[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const bool bReservoir = NKGetInterfaceType() == kReservoirSource;
    const char *apszLabels[3] = {bReservoir ? "North" : "x", bReservoir ? "East" : "y",
                                 bReservoir ? "Depth" : "z"};
    for (int i = 0; i < 3; i++) {
        float afDir[3] = {0.0f, 0.0f, 0.0f};
        afDir[i] = 1.0f;
        NKDrawLabelledArrow(pfPoint != nullptr ? pfPoint : s_afOrigin, afDir, fLength, true, 1.0f,
                            bRulersAndLabels, bRulersAndLabels, false, apszLabels[i],
                            s_afColors[i]);
    }
}

void NKDrawOriginAxes(void)
{
    float afOrigin[3];
    GetModelOriginInDisplay(afOrigin);
    const bool bSmooth = g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bLineSmooth;
    glLineWidth(1.0f);
    glDisable(GL_LIGHTING);
    glColor3ub(255, 0, 255);
    if (bSmooth) glEnable(GL_LINE_SMOOTH);
    NKDrawAxisArrows(afOrigin, 0.2f, true);
    if (bSmooth) glDisable(GL_LINE_SMOOTH);
    RestoreLineWidth();
    glEnable(GL_LIGHTING);
}

void NKDrawRotationPoint(void)
{
    float afPoint[3], afEye[3];
    NKGetRotationPoint(afPoint);
    if (g_pViewSettings == nullptr || !g_pViewSettings->bShowRotationPoint || !NKGetEyePoint(afEye))
        return;
    const float d[3] = {afPoint[0] - afEye[0], afPoint[1] - afEye[1], afPoint[2] - afEye[2]};
    const float fSize = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]) * 0.012f;
    glPushMatrix();
    glColor3ub(255, 255, 255);
    glTranslatef(afPoint[0], afPoint[1], afPoint[2]);
    glEnable(GL_LIGHTING);
    NKDrawSphereGlyph(fSize, 10, true);
    glDisable(GL_LIGHTING);
    glDepthFunc(GL_LEQUAL);
    NKDrawAxisArrows(nullptr, 3.0f * fSize, false);
    glDepthFunc(GL_LESS);
    glEnable(GL_LIGHTING);
    glPopMatrix();
}

namespace {

// The twelve edges of a box (display coordinates) as corner index pairs;
// corner bit 0 x max, bit 1 y max, bit 2 z max.
const int sg_aiEdges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                               {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

void Corner(const float *b, int i, float *p)
{
    for (int k = 0; k < 3; k++) p[k] = (i >> k) & 1 ? b[k + 3] : b[k];
}

// The corner mark: a triangle cutting the maximum corner, joined to it.
void DrawCornerMark(const float *b)
{
    float t[3][3];
    for (int i = 0; i < 3; i++)
        for (int k = 0; k < 3; k++)
            t[i][k] = b[k + 3] - (k == i ? (b[k + 3] - b[k]) / 30.0f : 0.0f);
    glColor3ub(0, 255, 255);
    glBegin(GL_LINES);
    for (int i = 0; i < 3; i++) {
        glVertex3fv(t[i]);
        glVertex3fv(b + 3);
    }
    glEnd();
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < 3; i++) glVertex3fv(t[i]);
    glEnd();
}

}  // namespace

bool NKDrawBoundingBox(NKFrame *pFrame, bool bAllSteps)
{
    float afModel[6];
    const float *pBox = nullptr;
    if (bAllSteps) {
        if (!NKGetModelBoundingBox(afModel, 0)) return false;
        pBox = afModel;
    } else {
        pBox = NKGetGeoBoundingBox(pFrame, 0);
        if (pBox == nullptr) return false;
        std::copy(pBox, pBox + 6, afModel);
    }
    float afBox[6];
    std::copy(afModel, afModel + 6, afBox);
    ModelToDisplayBox(afBox);
    for (const auto &e : sg_aiEdges) {
        float a[3], b[3];
        Corner(afBox, e[0], a);
        Corner(afBox, e[1], b);
        const int k = (e[0] ^ e[1]) == 1 ? 0 : (e[0] ^ e[1]) == 2 ? 1 : 2;
        NKDrawRuler(a, b, 10, afModel[k]);
    }
    const bool bSmooth = g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bLineSmooth;
    glLineWidth(1.0f);
    glDisable(GL_LIGHTING);
    if (bSmooth) glEnable(GL_LINE_SMOOTH);
    glColor3ub(255, 0, 255);
    glBegin(GL_LINES);
    for (const auto &e : sg_aiEdges)
        for (int i : e) {
            float p[3];
            Corner(afBox, i, p);
            glVertex3fv(p);
        }
    glEnd();
    DrawCornerMark(afBox);
    if (bSmooth) glDisable(GL_LINE_SMOOTH);
    RestoreLineWidth();
    glEnable(GL_LIGHTING);
    return true;
}

namespace {
NKIsoSurfaceQuery sg_pfnIsoSurfaceQuery = nullptr;
}  // namespace

void NKSetIsoSurfaceQuery(NKIsoSurfaceQuery pfnQuery) { sg_pfnIsoSurfaceQuery = pfnQuery; }

bool NKIsIsoSurfaceOn(float *pfValue)
{
    return sg_pfnIsoSurfaceQuery != nullptr && pfValue != nullptr && sg_pfnIsoSurfaceQuery(pfValue);
}

void NKQueueMouseInfo(const NKInputState *pInput)
{
    if (pInput == nullptr) return;
    const uint32_t b = pInput->uButtons;
    const char *pszButton = b == 1 ? "L" : b == 2 ? "M" : b == 3 ? "R" : "none";
    const bool bInside = pInput->iX >= 0 && pInput->iY >= 0 &&
                         pInput->iX < NKViewWindowSize.iWidth &&
                         pInput->iY < NKViewWindowSize.iHeight;
    const NKString text = bInside
                              ? NKString::FromFormat("[Button=%s,  X pos=%d, Y pos=%d]", pszButton,
                                                     pInput->iX, pInput->iY)
                              : NKString::FromFormat("[Button=%s,  X pos=??, Y pos=??]", pszButton);
    const uint8_t *c = NKGetTextColor();
    NKAddText(12, -0.99f, 0.95f, c[0], c[1], c[2], text.GetText());
}

void NKDrawAllPointsScalar(NKFrame *pFrame, NKDisplayListSet *)
{
    NKGeometry *pGeo = pFrame != nullptr ? pFrame->pGeometry : nullptr;
    if (g_pViewSettings == nullptr || !g_pViewSettings->bShowAllPointsScalar || pGeo == nullptr)
        return;
    const float fQuality =
        g_pGraphicsSettings != nullptr ? g_pGraphicsSettings->fSphereQuality : 1.0f;
    for (int i = 0; i < pGeo->iNumParts; i++) {
        const NKPart &part = pGeo->pParts[i];
        if (!part.bVisible || part.pNodeCoords == nullptr) continue;
        const NKScalarResult *s = pFrame->pScalar;
        const uint8_t *pColors = nullptr;
        if (s != nullptr && i < s->iNumParts && s->pNodeResults[i].iCount == part.iNumNodes)
            pColors = s->pNodeResults[i].pColors;
        if (part.bPointsAsSpheres) {
            glEnable(GL_LIGHTING);
            NKDrawSpherePoints(part.pNodeCoords, part.iNumNodes, part.fSphereSize * 0.5f,
                               part.bSmooth != 0, -1, fQuality, pColors);
            continue;
        }
        glDisable(GL_LIGHTING);
        glBegin(GL_POINTS);
        for (int n = 0; n < part.iNumNodes; n++) {
            if (pColors != nullptr) glColor3ubv(pColors + 3 * n);
            glVertex3fv(part.pNodeCoords + 3 * n);
        }
        glEnd();
        glEnable(GL_LIGHTING);
    }
}

void NKDrawSelectedElement(NKFrame *pFrame)
{
    if (pFrame == nullptr || !pFrame->bHighlightElement) return;
    const bool bCull = glIsEnabled(GL_CULL_FACE) == GL_TRUE;
    if (bCull) glDisable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glShadeModel(GL_FLAT);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glColor3ub(255, 255, 255);
    NKDrawElementShape(pFrame, NKGetFramePart(pFrame, pFrame->iHighlightPart),
                       pFrame->iHighlightPart, pFrame->iHighlightElement, true);
    glDisable(GL_COLOR_MATERIAL);
    if (bCull) glEnable(GL_CULL_FACE);
}

void NKSetHighlightMaterial(const NKPart *pPart)
{
    if (pPart == nullptr) return;
    if (pPart->bFringes) {
        glColor3ub(255, 255, 255);
        return;
    }
    static const float s_afAmbient[4] = {0.3f, 0.3f, 0.3f, 0.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, s_afAmbient);
}

namespace {

// The small font's character widths, measured once a font can be made;
// all 0 before.
const int32_t *SmallFontWidths(void)
{
    static int32_t s_aiWidths[256] = {0};
    static bool s_bMeasured = false;
    if (!s_bMeasured) {
        NKRasterFont *pFont = NKCreateGdiFont(nullptr, "arial", 80, 0, 0);
        if (pFont != nullptr) {
            for (int c = 0; c < 256; c++)
                s_aiWidths[c] = static_cast<int32_t>(std::lround(pFont->aGlyphs[c].fAdvanceX));
            NKFreeRasterFont(pFont);
            s_bMeasured = true;
        }
    }
    return s_aiWidths;
}

}  // namespace

void NKMeasureLegendText(float *pfRect, NKFrame *pFrame, float *pfTextX, float *pfTextY,
                         float *pfLineStep)
{
    const int32_t *w = SmallFontWidths();
    int iWidest = NKGetTextWidth("XSMN =0.000e+00  SMX =0.000e+00X", w);
    const char *pszScalar = pFrame != nullptr && pFrame->pScalar != nullptr
                                ? pFrame->pScalar->szDescription.GetText()
                                : "";
    const char *pszVector = pFrame != nullptr && pFrame->pVector != nullptr
                                ? pFrame->pVector->szDescription.GetText()
                                : "";
    iWidest = std::max({iWidest, NKGetTextWidth(pszScalar, w), NKGetTextWidth(pszVector, w)});
    const int iBoxWidth = iWidest + 10;
    const int iHeight = pszScalar[0] != '\0' || pszVector[0] != '\0' ? 80 : 52;
    GLint v[4] = {0, 0, NKViewWindowSize.iWidth, NKViewWindowSize.iHeight};
    glGetIntegerv(GL_VIEWPORT, v);
    float p[3];
    NKPixelToView(v[2] - iBoxWidth - 2, 2, 0.0f, p);
    pfRect[0] = p[0], pfRect[1] = p[1];
    NKPixelToView(v[2] - 2, iHeight + 2, 0.0f, p);
    pfRect[2] = p[0], pfRect[3] = p[1];
    NKPixelToView(v[2] - iBoxWidth + 3, iHeight - 13, 0.0f, p);
    *pfTextX = p[0];
    *pfTextY = p[1];
    *pfLineStep = v[3] > 1 ? 15.0f / static_cast<float>(v[3] / 2) : 0.0f;
    if (NKStrokeFontSwitch) pfRect[0] = 0.43f, pfRect[2] = 0.99f;
}

void NKDrawScreenOverlays(NKFrame *pFrame, int iScreen)
{
    const NKViewSettings *v = g_pViewSettings;
    if (v == nullptr) return;
    if (v->bShowMousePosition && iScreen == 1) NKQueueMouseInfo(&g_InputState);
    if (v->bShowUserText) NKQueueUserText();
    if (v->bShowLegend) NKDrawColorLegend(pFrame);
    if (v->bShowInfo) NKDrawTitleBlock(pFrame, false);
    NKDrawLogo(&g_DisplayLists);
    if (v->iAxisFlags & 1) NKDrawOriginAxes();
    if ((v->iAxisFlags & 2) && iScreen == 1) NKDrawAxisTriad();
}
