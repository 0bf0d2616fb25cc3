// tests/tools/test_gl_particle_traces.cpp -- the particle-trace pass drawn
// into an off-screen context of 300 x 100 pixels over the row of three unit
// cells (x 0..3 and y 0..1 fill the window, 100 pixels a unit): the static
// line, the incremental line at an animation step, the cases that draw
// nothing, and the GL state the pass leaves.
#include <GL/gl.h>

#include "core/nk_graphics_settings.h"
#include "platform/nk_gl_context.h"
#include "scene/nk_scene.h"
#include "tests/tools/trace_fixtures.h"

namespace {

const float kOrigin[3] = {0.0f, 0.0f, 0.0f};
const unsigned char kBackground[3] = {0, 0, 128};

class TracesGL : public traces::TraceTest {
protected:
    void SetUp() override
    {
        traces::TraceTest::SetUp();
        g_pGraphicsSettings = NKCreateRenderOptions(nullptr);
        g_pGraphicsSettings->iLineWidth = 2;
        g_pGraphicsSettings->iPointSize = 5;
        m_pContext = NKCreateOffscreenGLContext(300, 100);
        ASSERT_NE(m_pContext, nullptr);
        glViewport(0, 0, 300, 100);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 3, 0, 1, -2, 2);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_LIGHTING);
        glLineWidth(2.0f);
        glPointSize(5.0f);
        NKFrame *pFrame = Block(3, 1, 1, 1.0f, kOrigin, [](const float *, float *v) {
            v[0] = 2.0f;
            v[1] = v[2] = 0.0f;
        });
        const float seed[3] = {0.5f, 0.5f, 0.5f};
        ASSERT_NE(Trace(pFrame, seed, TraceComputeOptions()), nullptr);
        g_pParticleTraceSet->Enable(true);
        g_pParticleTraceSet->SetShown(true);
        TraceDisplayOptions o;
        o.bStartPoints = 0;
        SetDisplay(o);
    }
    // A display change while shown clears the traces; the next draw's update
    // computes them again.
    void SetDisplay(const TraceDisplayOptions &o)
    {
        EXPECT_TRUE(g_pParticleTraceSet->SetDisplayOptions(o));
        EXPECT_TRUE(NKParticleTracesNeedUpdate(g_pParticleTraceSet, 0));
        EXPECT_TRUE(NKComputeParticleTraces(&g_pModel->pFrames[0], g_pParticleTraceSet));
    }
    void TearDown() override
    {
        if (m_pContext != nullptr) NKDestroyGLContext(m_pContext);
        NKDestroyRenderOptions(g_pGraphicsSettings);
        g_pGraphicsSettings = nullptr;
        traces::TraceTest::TearDown();
    }
    // Clears, draws frame 0's traces, checks the state left and answers
    // whether the pixel column at x (model units) on y = 0.5 was drawn.
    std::vector<bool> Draw(std::initializer_list<float> xs)
    {
        glClearColor(kBackground[0] / 255.0f, kBackground[1] / 255.0f, kBackground[2] / 255.0f,
                     1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        GLint iDepthBefore = 0, iDepthAfter = 0;
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &iDepthBefore);
        NKDrawParticleTraces(&g_pModel->pFrames[0], g_pParticleTraceSet);
        glFinish();
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &iDepthAfter);
        EXPECT_EQ(iDepthAfter, iDepthBefore);
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        GLfloat fWidth = 0.0f, fSize = 0.0f;
        glGetFloatv(GL_LINE_WIDTH, &fWidth);
        glGetFloatv(GL_POINT_SIZE, &fSize);
        EXPECT_EQ(fWidth, 2.0f);
        EXPECT_EQ(fSize, 5.0f);
        std::vector<bool> drawn;
        for (float x : xs) {
            unsigned char a[4] = {0, 0, 0, 0};
            glReadPixels((int)(x * 100.0f), 50, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, a);
            drawn.push_back(a[0] != kBackground[0] || a[1] != kBackground[1] ||
                            a[2] != kBackground[2]);
        }
        return drawn;
    }

    NKGLContext *m_pContext = nullptr;
};

TEST_F(TracesGL, StaticLineCrossesTheRow)
{
    EXPECT_EQ(Draw({0.05f, 0.5f, 1.5f, 2.95f}), (std::vector<bool>{true, true, true, true}));
}

TEST_F(TracesGL, IncrementalLineStopsAtTheAnimationTime)
{
    TraceDisplayOptions o = g_pParticleTraceSet->GetDisplayOptions();
    o.bStaticLine = 0;
    o.bIncrementalLine = 1;
    SetDisplay(o);
    g_pParticleTraceSet->SetAnimationSteps(4);
    g_pParticleTraceSet->SetAnimate(true);
    NKAnimationSettings timing;
    for (uint32_t ms : {0u, 100u}) {
        timing.uTimeThisFrame = ms;
        g_pParticleTraceSet->AdvanceAnimation(&timing);
    }
    ASSERT_EQ(g_pParticleTraceSet->GetAnimationStep(), 2);
    float dt = 0.0f, t = 0.0f;
    ASSERT_TRUE(NKTraceAnimationTime(&g_pModel->pFrames[0], g_pParticleTraceSet, &dt, &t));
    EXPECT_NEAR(t, 0.5f, 1e-5f);  // up to x = 1.495, the last segment ending before t
    EXPECT_EQ(Draw({0.05f, 1.0f, 1.47f, 1.53f, 2.5f}),
              (std::vector<bool>{true, true, true, false, false}));
    // No steps, or traces not shown: nothing.
    g_pParticleTraceSet->SetAnimationSteps(0);
    EXPECT_EQ(Draw({0.05f, 1.0f}), (std::vector<bool>{false, false}));
    g_pParticleTraceSet->SetAnimationSteps(4);
    g_pParticleTraceSet->SetShown(false);
    EXPECT_EQ(Draw({0.05f, 1.0f}), (std::vector<bool>{false, false}));
}

}  // namespace
