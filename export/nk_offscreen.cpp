// export/nk_offscreen.cpp -- off-screen rendering of the scene and of the
// 2-D plot into 24-bit bitmaps through a framebuffer object, the bitmap to
// ImageRecord conversion and the copy of the scene to the clipboard.
#include "export/nk_offscreen.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

#include "core/nk_graphics_settings.h"
#include "core/nk_load_hooks.h"
#include "core/nk_memory.h"
#include "core/nk_plot_records.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_view_state.h"
#include "export/nk_bmp_files.h"
#include "export/nk_image.h"
#include "platform/nk_clipboard.h"
#include "platform/nk_gl_context.h"
#include "plot/nk_plot.h"
#include "render/nk_background.h"
#include "render/nk_render_options.h"
#include "scene/nk_scene.h"

namespace {

struct FboProcs {
    PFNGLGENFRAMEBUFFERSPROC pfnGenFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC pfnBindFramebuffer = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC pfnDeleteFramebuffers = nullptr;
    PFNGLGENRENDERBUFFERSPROC pfnGenRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC pfnBindRenderbuffer = nullptr;
    PFNGLDELETERENDERBUFFERSPROC pfnDeleteRenderbuffers = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC pfnRenderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC pfnFramebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC pfnCheckFramebufferStatus = nullptr;
};

// The entry points of the current context; false when one is missing.
bool LoadFboProcs(FboProcs *p)
{
    p->pfnGenFramebuffers = (PFNGLGENFRAMEBUFFERSPROC)NKGetGLProcAddress("glGenFramebuffers");
    p->pfnBindFramebuffer = (PFNGLBINDFRAMEBUFFERPROC)NKGetGLProcAddress("glBindFramebuffer");
    p->pfnDeleteFramebuffers =
        (PFNGLDELETEFRAMEBUFFERSPROC)NKGetGLProcAddress("glDeleteFramebuffers");
    p->pfnGenRenderbuffers = (PFNGLGENRENDERBUFFERSPROC)NKGetGLProcAddress("glGenRenderbuffers");
    p->pfnBindRenderbuffer = (PFNGLBINDRENDERBUFFERPROC)NKGetGLProcAddress("glBindRenderbuffer");
    p->pfnDeleteRenderbuffers =
        (PFNGLDELETERENDERBUFFERSPROC)NKGetGLProcAddress("glDeleteRenderbuffers");
    p->pfnRenderbufferStorage =
        (PFNGLRENDERBUFFERSTORAGEPROC)NKGetGLProcAddress("glRenderbufferStorage");
    p->pfnFramebufferRenderbuffer =
        (PFNGLFRAMEBUFFERRENDERBUFFERPROC)NKGetGLProcAddress("glFramebufferRenderbuffer");
    p->pfnCheckFramebufferStatus =
        (PFNGLCHECKFRAMEBUFFERSTATUSPROC)NKGetGLProcAddress("glCheckFramebufferStatus");
    return p->pfnGenFramebuffers && p->pfnBindFramebuffer && p->pfnDeleteFramebuffers &&
           p->pfnGenRenderbuffers && p->pfnBindRenderbuffer && p->pfnDeleteRenderbuffers &&
           p->pfnRenderbufferStorage && p->pfnFramebufferRenderbuffer &&
           p->pfnCheckFramebufferStatus;
}

bool InViewPlot(void) { return g_pCurrentPlot != nullptr && g_bPlotShown && !g_bPlotInOwnWindow; }

}  // namespace

struct NKOffscreenState {
    FboProcs procs;
    GLuint uFbo = 0, uColor = 0, uDepth = 0;
    GLint iPreviousFbo = 0;
    int iWidth = 0, iHeight = 0;
    void *hPrevious = nullptr;    // the context current before
    NKGLContext *pOwn = nullptr;  // a context of our own, without a view
    NKViewSize savedSize{};
    uint8_t bSavedSingle = 0, bSavedQuad = 0;
    uint8_t bSavedOffscreen = 0;
};

int64_t NKBitmapStride(int iWidth) { return ((int64_t)iWidth * 3 + 3) / 4 * 4; }

NKOffscreenBitmap *NKCreateBitmap(int iWidth, int iHeight)
{
    if (iWidth < 1 || iHeight < 1) return nullptr;
    NKOffscreenBitmap *pBitmap = new NKOffscreenBitmap;
    pBitmap->iWidth = iWidth;
    pBitmap->iHeight = iHeight;
    pBitmap->iStride = (int32_t)NKBitmapStride(iWidth);
    pBitmap->pBits = static_cast<uint8_t *>(NKCalloc((size_t)pBitmap->iStride, (size_t)iHeight));
    if (pBitmap->pBits == nullptr) {
        delete pBitmap;
        return nullptr;
    }
    return pBitmap;
}

void NKDeleteBitmap(NKOffscreenBitmap *pBitmap)
{
    if (pBitmap == nullptr) return;
    NKFree(pBitmap->pBits);
    delete pBitmap;
}

namespace {

// Makes the colour and depth buffers and binds them; false when the
// object cannot have that size.
bool MakeTarget(NKOffscreenState *s)
{
    GLint iMax = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &iMax);
    GLint aiDims[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, aiDims);
    if (s->iWidth > iMax || s->iHeight > iMax || s->iWidth > aiDims[0] || s->iHeight > aiDims[1])
        return false;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &s->iPreviousFbo);
    const FboProcs &p = s->procs;
    p.pfnGenFramebuffers(1, &s->uFbo);
    p.pfnGenRenderbuffers(1, &s->uColor);
    p.pfnGenRenderbuffers(1, &s->uDepth);
    p.pfnBindFramebuffer(GL_FRAMEBUFFER, s->uFbo);
    p.pfnBindRenderbuffer(GL_RENDERBUFFER, s->uColor);
    p.pfnRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, s->iWidth, s->iHeight);
    p.pfnFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, s->uColor);
    p.pfnBindRenderbuffer(GL_RENDERBUFFER, s->uDepth);
    p.pfnRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, s->iWidth, s->iHeight);
    p.pfnFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, s->uDepth);
    p.pfnBindRenderbuffer(GL_RENDERBUFFER, 0);
    return p.pfnCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void FreeTarget(NKOffscreenState *s)
{
    const FboProcs &p = s->procs;
    if (p.pfnBindFramebuffer != nullptr) p.pfnBindFramebuffer(GL_FRAMEBUFFER, s->iPreviousFbo);
    if (s->uFbo != 0) p.pfnDeleteFramebuffers(1, &s->uFbo);
    if (s->uColor != 0) p.pfnDeleteRenderbuffers(1, &s->uColor);
    if (s->uDepth != 0) p.pfnDeleteRenderbuffers(1, &s->uDepth);
    s->uFbo = s->uColor = s->uDepth = 0;
}

// Back to the context current before; a context of our own goes, and the
// old context's resources are built again.
void RestoreContext(NKOffscreenState *s)
{
    if (s->pOwn == nullptr) {
        if (s->hPrevious != nullptr) NKMakeGLContextHandleCurrent(s->hPrevious);
        return;
    }
    // The in-view plot leaves the context before it goes.
    if (InViewPlot()) NKPlotDetachContext(g_pCurrentPlot);
    NKDestroyGLContext(s->pOwn);
    s->pOwn = nullptr;
    NKMakeGLContextHandleCurrent(s->hPrevious);
    if (s->hPrevious != nullptr) {
        NKReinitRenderResources();
        if (InViewPlot()) NKPlotAttachContext(g_pCurrentPlot, s->hPrevious);
    }
}

}  // namespace

int NKBeginOffscreen(int iWidth, int iHeight, NKOffscreenState **ppState)
{
    *ppState = nullptr;
    if (iWidth < 1 || iHeight < 1) return NK_IMAGE_BAD_PARAMETER;
    NKOffscreenState *s = new NKOffscreenState;
    s->iWidth = iWidth;
    s->iHeight = iHeight;
    s->hPrevious = NKGetCurrentGLContextHandle();
    if (!NKMakeViewContextCurrent()) {
        s->pOwn = NKCreateOffscreenGLContext(16, 16);
        if (s->pOwn == nullptr) {
            RestoreContext(s);
            delete s;
            return NK_IMAGE_NO_OFFSCREEN;
        }
        NKReinitRenderResources();
        if (InViewPlot()) NKPlotAttachContext(g_pCurrentPlot, nullptr);
    }
    if (!LoadFboProcs(&s->procs) || !MakeTarget(s)) {
        FreeTarget(s);
        RestoreContext(s);
        delete s;
        return NK_IMAGE_NO_OFFSCREEN;
    }
    s->savedSize = NKViewWindowSize;
    if (g_pGraphicsSettings != nullptr) {
        s->bSavedSingle = g_pGraphicsSettings->bSingleBuffer;
        s->bSavedQuad = g_pGraphicsSettings->bQuadBufferStereo;
        g_pGraphicsSettings->bSingleBuffer = 1;
        g_pGraphicsSettings->bQuadBufferStereo = 0;
    }
    s->bSavedOffscreen = g_bDrawingOffscreen;
    g_bDrawingOffscreen = 1;
    NKResizeView(iWidth, iHeight);
    glViewport(0, 0, iWidth, iHeight);
    *ppState = s;
    return NK_IMAGE_OK;
}

void NKEndOffscreen(NKOffscreenState *s, NKOffscreenBitmap *pBitmap)
{
    if (s == nullptr) return;
    glFinish();
    if (pBitmap != nullptr && pBitmap->iWidth == s->iWidth && pBitmap->iHeight == s->iHeight) {
        GLint iAlign = 4;
        glGetIntegerv(GL_PACK_ALIGNMENT, &iAlign);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glReadPixels(0, 0, s->iWidth, s->iHeight, GL_BGR, GL_UNSIGNED_BYTE, pBitmap->pBits);
        glPixelStorei(GL_PACK_ALIGNMENT, iAlign);
    }
    if (g_pGraphicsSettings != nullptr) {
        g_pGraphicsSettings->bSingleBuffer = s->bSavedSingle;
        g_pGraphicsSettings->bQuadBufferStereo = s->bSavedQuad;
    }
    g_bDrawingOffscreen = s->bSavedOffscreen;
    FreeTarget(s);
    RestoreContext(s);
    if (NKGetCurrentGLContextHandle() != nullptr)
        NKResizeView(s->savedSize.iWidth, s->savedSize.iHeight);
    else
        NKViewWindowSize = s->savedSize;
    delete s;
}

NKOffscreenBitmap *NKRenderSceneToBitmap(int iFrame, int iWidth, int iHeight, int iBitsPerPixel,
                                         const uint8_t *pBackground, int iPurpose, int *piStatus)
{
    int iStatus = NK_IMAGE_BAD_PARAMETER;
    NKOffscreenBitmap *pBitmap = nullptr;
    NKOffscreenState *pState = nullptr;
    if (iBitsPerPixel == 24 && iWidth >= 1 && iHeight >= 1) {
        pBitmap = NKCreateBitmap(iWidth, iHeight);
        iStatus =
            pBitmap == nullptr ? NK_IMAGE_NO_MEMORY : NKBeginOffscreen(iWidth, iHeight, &pState);
    }
    if (iStatus == NK_IMAGE_OK) {
        uint8_t aucPlotBackground[4] = {0, 0, 0, 0};
        const bool bPlot = InViewPlot();
        if (bPlot) std::memcpy(aucPlotBackground, g_pCurrentPlot->ucBackground, 4);
        if (pBackground != nullptr) {
            NKSetExportBackground(pBackground, g_pBackgroundSettings, false);
            if (bPlot) std::memcpy(g_pCurrentPlot->ucBackground, pBackground, 3);
        }
        bool bDrawn = NKDrawScene(iFrame, 1, iPurpose);
        if (pBackground != nullptr) {
            NKSetExportBackground(nullptr, g_pBackgroundSettings, true);
            if (bPlot) std::memcpy(g_pCurrentPlot->ucBackground, aucPlotBackground, 4);
        }
        NKEndOffscreen(pState, bDrawn ? pBitmap : nullptr);
        if (!bDrawn) iStatus = NK_IMAGE_ERROR;
    }
    if (iStatus != NK_IMAGE_OK) {
        NKDeleteBitmap(pBitmap);
        pBitmap = nullptr;
    }
    if (piStatus != nullptr) *piStatus = iStatus;
    return pBitmap;
}

namespace {

// Draws the plot alone into the bound target, filling it; with a
// background, the curves take its inverse so that they stay visible.
void DrawPlotAlone(PlotRecord *pPlot, int iWidth, int iHeight, const uint8_t *pBackground)
{
    const int n = pPlot->iNumCurves;
    uint8_t(*pSaved)[6] = new uint8_t[n > 0 ? n : 1][6];
    uint8_t aucBackground[4];
    std::memcpy(aucBackground, pPlot->ucBackground, 4);
    if (pBackground != nullptr) {
        std::memcpy(pPlot->ucBackground, pBackground, 3);
        for (int i = 0; i < n; i++) {
            PlotCurve *c = pPlot->ppCurves[i];
            if (c == nullptr) continue;
            std::memcpy(pSaved[i], c->ucLineColor, 3);
            std::memcpy(pSaved[i] + 3, c->ucMarkerColor, 3);
            for (int k = 0; k < 3; k++)
                c->ucLineColor[k] = c->ucMarkerColor[k] = (uint8_t)(255 - pBackground[k]);
        }
    }
    int x, y, w, h;
    NKGetPlotViewport(pPlot, &x, &y, &w, &h);
    NKSetPlotViewport(pPlot, 0, 0, iWidth, iHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    NKDrawPlot(pPlot, true, -1);
    NKSetPlotViewport(pPlot, x, y, w, h);
    std::memcpy(pPlot->ucBackground, aucBackground, 4);
    if (pBackground != nullptr)
        for (int i = 0; i < n; i++) {
            PlotCurve *c = pPlot->ppCurves[i];
            if (c == nullptr) continue;
            std::memcpy(c->ucLineColor, pSaved[i], 3);
            std::memcpy(c->ucMarkerColor, pSaved[i] + 3, 3);
        }
    delete[] pSaved;
}

}  // namespace

NKOffscreenBitmap *NKRenderPlotToBitmap(int iWidth, int iHeight, int iBitsPerPixel,
                                        const uint8_t *pBackground, int *piStatus)
{
    PlotRecord *pPlot = g_pCurrentPlot;
    int iStatus = NK_IMAGE_ERROR;
    NKOffscreenBitmap *pBitmap = nullptr;
    if (pPlot != nullptr) {
        iStatus = NK_IMAGE_BAD_PARAMETER;
        if (iBitsPerPixel == 24 && iWidth >= 1 && iHeight >= 1) {
            pBitmap = NKCreateBitmap(iWidth, iHeight);
            iStatus = pBitmap == nullptr ? NK_IMAGE_NO_MEMORY : NK_IMAGE_OK;
        }
    }
    NKOffscreenState *pState = nullptr;
    if (iStatus == NK_IMAGE_OK) {
        // The plot leaves its own context for the one drawn in and is bound
        // back afterwards.
        void *hOld = NKPlotDetachContext(pPlot);
        iStatus = NKBeginOffscreen(iWidth, iHeight, &pState);
        if (iStatus == NK_IMAGE_OK) {
            NKPlotAttachContext(pPlot, nullptr);
            DrawPlotAlone(pPlot, iWidth, iHeight, pBackground);
            glFinish();
            NKPlotDetachContext(pPlot);
            NKEndOffscreen(pState, pBitmap);
        }
        if (hOld != nullptr) NKPlotAttachContext(pPlot, hOld);
    }
    if (iStatus != NK_IMAGE_OK) {
        NKDeleteBitmap(pBitmap);
        pBitmap = nullptr;
    }
    if (piStatus != nullptr) *piStatus = iStatus;
    return pBitmap;
}

int NKBitmapToImageRecord(int iWidth, int iHeight, const NKOffscreenBitmap *pBitmap,
                          ImageRecord *pImage, const int *piOrigin, const int *piSize)
{
    if (pBitmap == nullptr || pImage == nullptr || pBitmap->pBits == nullptr ||
        pBitmap->iWidth != iWidth || pBitmap->iHeight != iHeight || pBitmap->iBitCount != 24)
        return NK_IMAGE_ERROR;
    int x = 0, y = 0, w = iWidth, h = iHeight;
    if (piOrigin != nullptr && piSize != nullptr) {
        x = piOrigin[0];
        y = piOrigin[1];
        if (x < 0 || x >= iWidth || y < 0 || y >= iHeight || piSize[0] < 1 || piSize[1] < 1)
            return NK_IMAGE_BAD_PARAMETER;
        w = piSize[0] < iWidth - x ? piSize[0] : iWidth - x;
        h = piSize[1] < iHeight - y ? piSize[1] : iHeight - y;
    }
    uint8_t *pPixels = static_cast<uint8_t *>(NKAlloc((size_t)w * (size_t)h * 3));
    if (pPixels == nullptr) return NK_IMAGE_NO_MEMORY;
    for (int r = 0; r < h; r++) {
        const uint8_t *pSrc = pBitmap->pBits + (int64_t)(y + r) * pBitmap->iStride + (int64_t)x * 3;
        uint8_t *pDst = pPixels + (int64_t)r * w * 3;
        for (int i = 0; i < w; i++, pSrc += 3, pDst += 3) {
            pDst[0] = pSrc[2];
            pDst[1] = pSrc[1];
            pDst[2] = pSrc[0];
        }
    }
    NKFree(pImage->pPixels);
    pImage->pPixels = pPixels;
    pImage->iWidth = w;
    pImage->iHeight = h;
    return NK_IMAGE_OK;
}

int NKRenderSceneToImage(int iFrame, int iWidth, int iHeight, ImageRecord *pImage,
                         const uint8_t *pBackground, int iPurpose, const int *piOrigin,
                         const int *piSize)
{
    if (iWidth < 1 || iHeight < 1) return NK_IMAGE_BAD_PARAMETER;
    int iStatus = NK_IMAGE_ERROR;
    NKOffscreenBitmap *pBitmap =
        NKRenderSceneToBitmap(iFrame, iWidth, iHeight, 24, pBackground, iPurpose, &iStatus);
    if (pBitmap == nullptr) return iStatus == NK_IMAGE_NO_OFFSCREEN ? iStatus : NK_IMAGE_ERROR;
    iStatus = NKBitmapToImageRecord(iWidth, iHeight, pBitmap, pImage, piOrigin, piSize);
    NKDeleteBitmap(pBitmap);
    return iStatus;
}

int NKRenderPlotToImage(int iWidth, int iHeight, ImageRecord *pImage, const uint8_t *pBackground)
{
    if (iWidth < 1 || iHeight < 1) return NK_IMAGE_BAD_PARAMETER;
    int iStatus = NK_IMAGE_ERROR;
    NKOffscreenBitmap *pBitmap = NKRenderPlotToBitmap(iWidth, iHeight, 24, pBackground, &iStatus);
    if (pBitmap == nullptr) return iStatus == NK_IMAGE_NO_OFFSCREEN ? iStatus : NK_IMAGE_ERROR;
    iStatus = NKBitmapToImageRecord(iWidth, iHeight, pBitmap, pImage, nullptr, nullptr);
    NKDeleteBitmap(pBitmap);
    return iStatus;
}

bool NKCopySceneToClipboard(int iWidth, int iHeight, const int *piOrigin, const int *piSize)
{
    if (piOrigin != nullptr && piSize != nullptr &&
        (piOrigin[0] < 0 || piOrigin[0] >= iWidth || piOrigin[1] < 0 || piOrigin[1] >= iHeight ||
         piSize[0] < 1 || piSize[1] < 1))
        return false;
    NKOffscreenBitmap *pBitmap = NKRenderSceneToBitmap(-1, iWidth, iHeight, 24, nullptr, 4);
    if (pBitmap == nullptr) return false;
    NKOffscreenBitmap *pUsed = pBitmap;
    NKOffscreenBitmap *pPart = nullptr;
    if (piOrigin != nullptr && piSize != nullptr) {
        pPart = NKCopyBitmapRect(pBitmap, piOrigin[0], piOrigin[1], piSize[0], piSize[1]);
        pUsed = pPart;
    }
    bool bDone = false;
    if (pUsed != nullptr) {
        size_t nBytes = 0;
        uint8_t *pDib = NKBitmapToPackedDIB(pUsed, 0, 24, &nBytes);
        bDone = pDib != nullptr && NKSetClipboardDib(pDib, nBytes);
        NKFree(pDib);
    }
    NKDeleteBitmap(pPart);
    NKDeleteBitmap(pBitmap);
    return bDone;
}
