// bench/bench_offscreen_scene.h -- the start and the end the drawing
// benchmarks share: a model, single-buffered render options and the renderer,
// drawn into an off-screen context of a given size.
#pragma once

#include <GL/gl.h>

#include <cstdio>

#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "platform/nk_gl_context.h"
#include "scene/nk_renderer.h"

// Creates the model and the render options, installs the renderer and opens
// an off-screen context of iWidth x iHeight with its viewport and window
// size; null when any of it fails (a line on stderr without a context).
inline NKGLContext *NKBenchStartOffscreenScene(int iWidth, int iHeight)
{
    g_pModel = NKCreateModel();
    g_pGraphicsSettings = NKCreateRenderOptions(nullptr);
    if (g_pModel == nullptr || g_pGraphicsSettings == nullptr) return nullptr;
    g_pGraphicsSettings->bSingleBuffer = 1;
    if (!NKInstallRenderer()) return nullptr;
    NKGLContext *pContext = NKCreateOffscreenGLContext(iWidth, iHeight);
    if (pContext == nullptr) {
        std::fprintf(stderr, "No OpenGL context (is there an X display?)\n");
        return nullptr;
    }
    glViewport(0, 0, iWidth, iHeight);
    NKViewWindowSize = {iWidth, iHeight};
    return pContext;
}

// Closes the context, the renderer, the model and the render options.
inline void NKBenchEndOffscreenScene(NKGLContext *pContext)
{
    NKDestroyGLContext(pContext);
    NKShutdownRenderer();
    NKDestroyModel(g_pModel);
    g_pModel = nullptr;
    NKDestroyRenderOptions(g_pGraphicsSettings);
}
