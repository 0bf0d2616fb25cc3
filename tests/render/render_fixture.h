// tests/render/render_fixture.h -- a model of square parts for the drawing
// tests, made fresh for each test with the drawing code installed, and the
// GL stack depths a draw must leave as it found them.
#pragma once

#include <GL/gl.h>

#include <cstring>

#include <gtest/gtest.h>

#include "core/nk_diagnostic.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_render_state.h"
#include "platform/nk_clock.h"
#include "platform/nk_gl_context.h"
#include "render/nk_background.h"
#include "render/nk_camera.h"
#include "render/nk_view_settings.h"
#include "scene/nk_renderer.h"
#include "scene/nk_scene.h"
#include "scene/nk_scene_frame.h"

// An off-screen context of iWidth x iHeight, current, its viewport over it,
// the projection the -1..1 cube and an identity model-view; null when no
// context could be made.
inline NKGLContext *NKOpenOrthoTestContext(int iWidth, int iHeight)
{
    NKGLContext *pContext = NKCreateOffscreenGLContext(iWidth, iHeight);
    if (pContext == nullptr) return nullptr;
    glViewport(0, 0, iWidth, iHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return pContext;
}

// One part: a square of half size fHalf at depth fZ, one polygon of four
// nodes, every node used, ambient colour (r, g, b).
inline void NKTestMakeSquarePart(NKPart *pPart, float fHalf, float fZ, const float afAmbient[3])
{
    const float afCoords[12] = {-fHalf, -fHalf, fZ, fHalf,  -fHalf, fZ,
                                fHalf,  fHalf,  fZ, -fHalf, fHalf,  fZ};
    pPart->iNumNodes = 4;
    pPart->iNumPolygons = 1;
    pPart->iNumConnects = 4;
    pPart->pNodeCoords = static_cast<float *>(NKAlloc(sizeof(afCoords)));
    std::memcpy(pPart->pNodeCoords, afCoords, sizeof(afCoords));
    pPart->pConnects = static_cast<int *>(NKAlloc(4 * sizeof(int)));
    for (int i = 0; i < 4; i++) pPart->pConnects[i] = i;
    pPart->pPolygonStart = static_cast<int *>(NKCalloc(1, sizeof(int)));
    pPart->pPolygonNumNodes = static_cast<int *>(NKAlloc(sizeof(int)));
    pPart->pPolygonNumNodes[0] = 4;
    pPart->pNodeType = static_cast<uint8_t *>(NKAlloc(4));
    std::memset(pPart->pNodeType, 1, 4);
    pPart->bVisible = 1;
    for (int k = 0; k < 3; k++) pPart->material.ambient[k] = afAmbient[k];
    pPart->material.alpha = 255;
}

// The global model and settings with the drawing code installed; frames
// 0..iWithGeometry-1 of iNumFrames share one geometry of one square part.
class NKRenderModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_pModel = NKCreateModel();
        g_pGraphicsSettings = NKCreateRenderOptions(nullptr);
        ASSERT_TRUE(NKInstallRenderer());
        // The drawing tests look through an identity projection, which the
        // frustum test (built for the view's perspective) does not model.
        g_pViewSettings->bFrustumCull = 0;
        NKSetTestClock(true, 0);
        NKSetInputPending(false);
        NKResetDiagnostics();
        g_AnimationSettings = NKAnimationSettings();
        // The camera as at start-up: a viewpoint an earlier test's frame
        // applied would turn this test's view away from its parts.
        NKMatrixIdentity(g_ViewMatrix);
        g_iLastViewPointFrame = -1;
    }
    void TearDown() override
    {
        NKSetTestClock(false, 0);
        NKSetInputPending(false);
        NKShutdownRenderer();
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
        NKDestroyRenderOptions(g_pGraphicsSettings);
        g_pGraphicsSettings = nullptr;
    }
    NKGeometry *MakeModel(int iNumFrames, int iWithGeometry, float fHalf = 0.5f, float fZ = 0.0f)
    {
        static const float afAmbient[3] = {0.4f, 0.2f, 0.0f};
        NKGeometry *pGeo = NKCreateGeometry(1);
        NKTestMakeSquarePart(&pGeo->pParts[0], fHalf, fZ, afAmbient);
        g_pModel->pFrames = NKAllocFrameArray(iNumFrames);
        g_pModel->iNumFrames = iNumFrames;
        g_pModel->iAnimationToFrame = iNumFrames - 1;
        for (int i = 0; i < iWithGeometry; i++) {
            g_pModel->pFrames[i].pGeometry = pGeo;
            pGeo->iNumRef++;
        }
        return pGeo;
    }
};
