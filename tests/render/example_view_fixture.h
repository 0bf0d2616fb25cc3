// tests/render/example_view_fixture.h -- the drawing tests' model fixture
// with what opening an example model by command needs: the data sources,
// the file and viewpoint commands, navigation reset, the view size and an
// off-screen context of that size. TearDown undoes all of it.
#pragma once

#include <GL/gl.h>

#include <gtest/gtest.h>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_model_hooks.h"
#include "core/nk_view_state.h"
#include "platform/nk_gl_context.h"
#include "readers/nk_data_source.h"
#include "render/nk_camera.h"
#include "render/nk_viewpoint_commands.h"
#include "tests/render/render_fixture.h"

class NKExampleViewTest : public NKRenderModelTest {
protected:
    // Call from SetUp after NKRenderModelTest::SetUp; the context is
    // current afterwards, with NKOpenOrthoTestContext's matrices.
    void SetUpExampleView(int iWidth, int iHeight)
    {
        m_SavedHooks = NKGetModelHooks();
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterViewpointCommands();
        NKInitNavigation(g_ViewMatrix, &g_InputState);
        m_SavedSize = NKViewWindowSize;
        NKViewWindowSize = {iWidth, iHeight};
        m_pContext = NKOpenOrthoTestContext(iWidth, iHeight);
        ASSERT_NE(m_pContext, nullptr);
    }
    void TearDown() override
    {
        if (m_pContext != nullptr) NKDestroyGLContext(m_pContext);
        m_pContext = nullptr;
        NKViewWindowSize = m_SavedSize;
        NKCloseInterface();
        NKSetCommandHandler(NK_HANDLER_VIEWPOINT, nullptr);
        NKSetModelHooks(m_SavedHooks);
        NKInitNavigation(g_ViewMatrix, &g_InputState);
        NKRenderModelTest::TearDown();
    }

    NKModelHooks m_SavedHooks;
    NKViewSize m_SavedSize{};
    NKGLContext *m_pContext = nullptr;
};
