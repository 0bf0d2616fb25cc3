// render/nk_culling.cpp -- the hidden-polygon removal, frustum and
// occlusion culling and the visible-parts analysis (see nk_culling.h).
#include "render/nk_culling.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/nk_bbox.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_mesh.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_oriented_box.h"
#include "core/nk_part_lists.h"
#include "core/nk_progress.h"
#include "core/nk_ray.h"
#include "core/nk_render_state.h"
#include "core/nk_string.h"
#include "platform/nk_clock.h"
#include "platform/nk_gl_context.h"
#include "render/nk_element_drawing.h"
#include "render/nk_gl_scope.h"
#include "render/nk_lod.h"
#include "render/nk_projection.h"
#include "render/nk_render_options.h"

NKOcclusionStatistics g_OcclusionStatistics;
NKVisiblePartsRequest g_VisiblePartsRequest;

namespace {

const char *const kFn = "NKRenderHidePolys";

// ---- Identity colours ------------------------------------------------------------

int ChannelValue(const HiddenPartCuller &c, int iChannel, int iValue)
{
    return c.bDirectColors ? iValue : c.uLevelToColor[iChannel][iValue & 255];
}

void IdentityToColor(const HiddenPartCuller &c, int iGroup, uint8_t *pRgb)
{
    const int b = iGroup & c.iMask[2];
    const int g = (iGroup >> c.uBits[2]) & c.iMask[1];
    const int r = (iGroup >> (c.uBits[2] + c.uBits[1])) & c.iMask[0];
    pRgb[0] = uint8_t(ChannelValue(c, 0, r));
    pRgb[1] = uint8_t(ChannelValue(c, 1, g));
    pRgb[2] = uint8_t(ChannelValue(c, 2, b));
}

int ColorToIdentity(const HiddenPartCuller &c, const uint8_t *pRgb)
{
    int v[3];
    for (int k = 0; k < 3; k++) v[k] = c.bDirectColors ? pRgb[k] : c.uColorToLevel[k][pRgb[k]];
    return (v[0] << (c.uBits[1] + c.uBits[2])) | (v[1] << c.uBits[2]) | v[2];
}

// What the identity drawing changes, saved by its caller.
constexpr GLbitfield kIdentityBits =
    GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT;

// Fog, dither and lighting off, flat shading, under an attribute scope of
// kIdentityBits.
void SetIdentityDrawingState(void)
{
    glDisable(GL_FOG);
    glDisable(GL_DITHER);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glShadeModel(GL_FLAT);
}

// Polygon k of the part in the current colour: lines for fewer than three
// nodes, nothing for none.
void SendPolygon(const NKPart &part, const float *pfCoords, int k)
{
    const int *piNodes = nullptr;
    int n = 0;
    if (!NKGetValidPolygon(part, k, &piNodes, &n) || n < 1) return;
    glBegin(n < 3 ? GL_LINES : GL_POLYGON);
    for (int i = 0; i < n; i++) glVertex3fv(pfCoords + 3 * size_t(piNodes[i]));
    glEnd();
}

void MultPartMatrix(const NKFrame *pFrame, int iPart)
{
    if (pFrame->pTransformation != nullptr) glMultMatrixf(pFrame->pTransformation + 16 * iPart);
}

// ---- Read-back ---------------------------------------------------------------------

bool ViewSize(int *piWidth, int *piHeight)
{
    GLint v[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, v);
    *piWidth = v[2];
    *piHeight = v[3];
    return v[2] > 0 && v[3] > 0;
}

// The state after a failed read-back: nothing hidden, nothing analysed.
bool FailReadBack(HiddenPartCuller *c, const char *pszMessage)
{
    NKDiagnostic(pszMessage, kFn);
    NKResetHidePolys(c);
    NKFreeHidePolysBuffer(c);
    NKResetHiddenPolygons(g_pModel);
    return false;
}

// Reads the whole view into the culler's buffer, made at the first
// read-back at the view's size.
bool ReadView(HiddenPartCuller *c, int *piWidth, int *piHeight)
{
    int w = 0, h = 0;
    ViewSize(&w, &h);
    if (c->pFrameBuf == nullptr && c->iAnalysisCount == 0 && w > 0 && h > 0) {
        c->pFrameBuf = static_cast<uint8_t *>(NKAlloc(size_t(w) * size_t(h) * 4));
        if (c->pFrameBuf == nullptr) return FailReadBack(c, "Error allocating memory");
        c->iBufWidth = w;
        c->iBufHeight = h;
    }
    c->iAnalysisCount++;
    if (c->pFrameBuf == nullptr || w > c->iBufWidth || h > c->iBufHeight ||
        size_t(w) * size_t(h) > size_t(c->iBufWidth) * size_t(c->iBufHeight))
        return FailReadBack(c, "Error: frameBuf is unallocated or too small, window size has "
                               "probably changed, aborting");
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, c->pFrameBuf);
    *piWidth = w;
    *piHeight = h;
    return true;
}

// Clears the hidden bit of global polygon iGlobal.
void Unhide(NKFrame *pFrame, const NKGeometry *pGeo, int iGlobal)
{
    if (iGlobal < 0 || iGlobal >= pGeo->iTotalNumPolygons) return;
    const NKPolygonRef &ref = pGeo->pPolygonMap[iGlobal];
    uint8_t *pBytes = NKGetPartVisibility(pFrame, ref.iPart);
    if (pBytes != nullptr && ref.iPolygon < pGeo->pParts[ref.iPart].iNumPolygons)
        pBytes[ref.iPolygon] &= uint8_t(~NK_POLYGON_HIDDEN);
}

void UnhideSeenPolygons(const HiddenPartCuller &c, NKFrame *pFrame, int w, int h)
{
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    const int k = std::max(c.iPolygonsPerIdentity, 1);
    uint32_t uPrevious = 0;
    const size_t n = size_t(w) * size_t(h);
    for (size_t i = 0; i < n; i++) {
        const uint8_t *p = c.pFrameBuf + 4 * i;
        uint32_t uPixel;
        std::memcpy(&uPixel, p, 4);
        if (i > 0 && uPixel == uPrevious) continue;
        uPrevious = uPixel;
        const int iIdentity = ColorToIdentity(c, p);
        if (iIdentity == 0) continue;
        if (k == 1) {
            Unhide(pFrame, pGeo, iIdentity - 1);
            continue;
        }
        const long long llFirst = (long long)(iIdentity - 1) * k;
        for (long long g = llFirst; g < llFirst + k && g < pGeo->iTotalNumPolygons; g++)
            Unhide(pFrame, pGeo, int(g));
    }
}

// ---- Identity rendering of one frame -------------------------------------------------

// One part's identities: every polygon hidden, the current level's drawn in
// its identity colour.
void DrawPartIdentities(const HiddenPartCuller &c, NKFrame *pFrame, int iPart, int iFirstNumber)
{
    NKPart &part = pFrame->pGeometry->pParts[iPart];
    uint8_t *pBytes = NKGetPartVisibility(pFrame, iPart);
    if (pBytes == nullptr) return;
    if (part.bTransparent || part.iDrawStyle != NK_DRAW_SURFACE) {
        for (int k = 0; k < part.iNumPolygons; k++) pBytes[k] &= uint8_t(~NK_POLYGON_HIDDEN);
        return;
    }
    for (int k = 0; k < part.iNumPolygons; k++) pBytes[k] |= NK_POLYGON_HIDDEN;
    const float *pfCoords = GetPartNodeCoords(iPart, &part, pFrame);
    int iFirst = 0, iLast = -1;
    if (pfCoords == nullptr || !NKGetPartPolygonRange(pFrame, iPart, &iFirst, &iLast)) return;
    const uint8_t uDrawn = uint8_t(NKGetPartLevel(pFrame->pGeometry, iPart) | NK_POLYGON_HIDDEN);
    const int iGroup = std::max(c.iPolygonsPerIdentity, 1);
    const NKMatrixScope matrix(GL_MODELVIEW);
    MultPartMatrix(pFrame, iPart);
    for (int k = iFirst; k <= iLast; k++) {
        if (pBytes[k] != uDrawn) continue;
        const int iIdentity = iFirstNumber + k + 1;
        uint8_t rgb[3];
        IdentityToColor(c, iGroup == 1 ? iIdentity : (iIdentity + iGroup - 1) / iGroup, rgb);
        glColor3ubv(rgb);
        SendPolygon(part, pfCoords, k);
    }
}

// Every visible part's polygons in their identity colours, then the view
// read back and the polygons seen there unhidden. The GL state of the
// identity drawing is restored before the caller goes on. False when the
// read-back fails.
bool DrawAndReadIdentities(HiddenPartCuller *c, NKFrame *pFrame, const NKGeometry *pGeo)
{
    const NKAttribScope attribs(kIdentityBits);
    SetIdentityDrawingState();
    for (int p = 0, iNumber = 0; p < pGeo->iNumParts; iNumber += pGeo->pParts[p].iNumPolygons, p++)
        if (pGeo->pParts[p].bVisible) DrawPartIdentities(*c, pFrame, p, iNumber);
    int w = 0, h = 0;
    const bool bRead = ReadView(c, &w, &h);
    if (bRead) {
        UnhideSeenPolygons(*c, pFrame, w, h);
        pFrame->bAnalysed = 1;
    }
    return bRead;
}

bool AnimationSetUp(const HiddenPartCuller &c) { return c.iFramesToAnalyse > 0; }

}  // namespace

// ---- Colour tables ---------------------------------------------------------------------

void NKResetHidePolys(HiddenPartCuller *p)
{
    if (p == nullptr) return;
    p->bEnabled = p->bAnalysisOn = p->bDebug = 0;
    p->iFramesToAnalyse = p->iAnalysisCount = 0;
    p->iPolygonsPerIdentity = 1;
}

void NKFreeHidePolysBuffer(HiddenPartCuller *p)
{
    if (p == nullptr) return;
    NKFree(p->pFrameBuf);
    p->pFrameBuf = nullptr;
    p->iBufWidth = p->iBufHeight = 0;
}

void NKInitHidePolys(HiddenPartCuller *p)
{
    if (p == nullptr) return;
    NKResetHidePolys(p);
    const GLenum aeBits[3] = {GL_RED_BITS, GL_GREEN_BITS, GL_BLUE_BITS};
    int iTotal = 0;
    for (int k = 0; k < 3; k++) {
        GLint iBits = 8;
        glGetIntegerv(aeBits[k], &iBits);
        p->iBufferBits[k] = iBits;
        p->uBits[k] = uint8_t(std::min(std::max(int(iBits), 0), 8));
        p->iMask[k] = 255 >> (8 - p->uBits[k]);
        iTotal += p->uBits[k];
    }
    p->iLargestIdentity = int((1LL << iTotal) - 1);
    p->bDirectColors = (p->uBits[0] == 8 && p->uBits[1] == 8 && p->uBits[2] == 8 && !p->bDebug);
    if (!p->bDirectColors) NKBuildHidePolysTables(p);
}

namespace {

// Draws each grey level 0-255 into the corner pixel and reads back what the
// buffer kept: every new value per channel is the next level, so the tables
// map levels to the grey that makes them and read-back values to levels.
// Each probe goes to pDebug when given.
void ProbeColorLevels(HiddenPartCuller *p, FILE *pDebug)
{
    uint8_t auPrevious[3] = {0, 0, 0};
    int aiLevel[3] = {0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int i = 0; i < 256; i++) {
        glColor3ub(uint8_t(i), uint8_t(i), uint8_t(i));
        glRectf(0.0f, 0.0f, 2.0f, 2.0f);
        uint8_t a[4] = {0, 0, 0, 0};
        float af[4] = {0, 0, 0, 0};
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, a);
        if (pDebug != nullptr) {
            glReadPixels(0, 0, 1, 1, GL_RGBA, GL_FLOAT, af);
            std::fprintf(pDebug, "%3d:   %5d  %5d  %5d\n       %.3f  %.3f  %.3f\n", i, a[0], a[1],
                         a[2], double(af[0]), double(af[1]), double(af[2]));
        }
        for (int k = 0; k < 3; k++) {
            if (i == 0) {
                p->uLevelToColor[k][0] = 0;
                p->uColorToLevel[k][a[k]] = 0;
            } else if (a[k] != auPrevious[k] && aiLevel[k] < 255) {
                const int n = ++aiLevel[k];
                p->uLevelToColor[k][n] = uint8_t(i);
                p->uColorToLevel[k][a[k]] = uint8_t(n);
            }
            auPrevious[k] = a[k];
        }
    }
}

// Both tables side by side, one line per entry.
void WriteColorTables(const HiddenPartCuller *p, FILE *pDebug)
{
    std::fprintf(pDebug, "\n\nbitsToClr           clrToBits\n");
    for (int i = 0; i < 256; i++)
        std::fprintf(pDebug, "%3d=[%3d %3d %3d]   %3d=[%3d %3d %3d]\n", i, p->uLevelToColor[0][i],
                     p->uLevelToColor[1][i], p->uLevelToColor[2][i], i, p->uColorToLevel[0][i],
                     p->uColorToLevel[1][i], p->uColorToLevel[2][i]);
}

}  // namespace

bool NKBuildHidePolysTables(HiddenPartCuller *p)
{
    if (p == nullptr) return false;
    const GLboolean bFog = glIsEnabled(GL_FOG), bDither = glIsEnabled(GL_DITHER);
    GLint v[4] = {0, 0, 1, 1};
    glGetIntegerv(GL_VIEWPORT, v);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, double(std::max(v[2], 1)), 0.0, double(std::max(v[3], 1)), -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_FOG);
    glDisable(GL_DITHER);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glShadeModel(GL_FLAT);
    std::memset(p->uLevelToColor, 0, sizeof(p->uLevelToColor));
    std::memset(p->uColorToLevel, 0, sizeof(p->uColorToLevel));
    FILE *pDebug = nullptr;
    if (p->bDebug) {
        pDebug = std::fopen("hpc.txt", "w");
        if (pDebug == nullptr)
            NKDiagnostic("Trouble writing HPC debug file", "NKBuildHidePolysTables");
    }
    ProbeColorLevels(p, pDebug);
    if (pDebug != nullptr) {
        WriteColorTables(p, pDebug);
        std::fclose(pDebug);
        NKDiagnostic("Done writing HPC debug file", "NKBuildHidePolysTables");
    }
    if (bFog) glEnable(GL_FOG);
    if (bDither) glEnable(GL_DITHER);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    return true;
}

void NKIdentityToColor(int iIdentity, uint8_t *pRed, uint8_t *pGreen, uint8_t *pBlue)
{
    const HiddenPartCuller &c = g_HiddenPartCuller;
    const int k = c.iPolygonsPerIdentity;
    if (k > 1) iIdentity = (iIdentity + k - 1) / k;
    uint8_t rgb[3];
    IdentityToColor(c, iIdentity, rgb);
    *pRed = rgb[0];
    *pGreen = rgb[1];
    *pBlue = rgb[2];
}

int NKColorToIdentity(uint8_t uRed, uint8_t uGreen, uint8_t uBlue)
{
    const uint8_t rgb[3] = {uRed, uGreen, uBlue};
    return ColorToIdentity(g_HiddenPartCuller, rgb);
}

// ---- Hidden polygons ------------------------------------------------------------------

bool NKRenderHidePolys(NKFrame *pFrame)
{
    HiddenPartCuller *c = &g_HiddenPartCuller;
    NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr) return false;
    if (c->iAnalysisCount == 0)
        c->iPolygonsPerIdentity = pGeo->iTotalNumPolygons / std::max(c->iLargestIdentity, 1) + 1;
    if (AnimationSetUp(*c) && c->iAnalysisCount >= 1 && pFrame->bAnalysed) return false;
    if ((c->iFramesToAnalyse == 0 && c->iAnalysisCount == 0) ||
        c->iAnalysisCount == c->iFramesToAnalyse - 1)
        c->bAnalysisOn = 0;
    if (pGeo->pPolygonMap == nullptr && !NKBuildGeometryPolygonMap(pGeo)) {
        FailReadBack(c, "Error allocating memory");
        if (!c->bAnalysisOn) NKEndProgressBar(nullptr);
        return false;
    }
    const bool bRead = DrawAndReadIdentities(c, pFrame, pGeo);
    if (!c->bAnalysisOn) {
        NKEndProgressBar(nullptr);
        NKFreeHidePolysBuffer(c);
    }
    return bRead;
}

bool NKResetHiddenPolygons(NKModel *pModel)
{
    if (pModel == nullptr) return false;
    for (int f = 0; f < pModel->iNumFrames; f++)
        NKSetVisibilityBits(&pModel->pFrames[f], -1, NK_POLYGON_HIDDEN, 0);
    return true;
}

bool NKSetFramePolygonStates(int iFrame, uint8_t uValue)
{
    NKFrame *pFrame = NKGetFrame(iFrame);
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr || pFrame->ppVisibility == nullptr) return false;
    for (int p = 0; p < pGeo->iNumParts; p++)
        if (pFrame->ppVisibility[p] != nullptr)
            std::memset(pFrame->ppVisibility[p], uValue, size_t(pGeo->pParts[p].iNumPolygons));
    return true;
}
