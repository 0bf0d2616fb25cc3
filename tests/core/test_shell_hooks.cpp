// tests/core/test_shell_hooks.cpp -- the shell's services as the lower
// folders see them without a shell: the data kept in core (view size,
// invalidation flags) and the neutral answers of empty slots; and that a
// filled slot gets the call.
#include <gtest/gtest.h>

#include "core/nk_graphics_settings.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_view_state.h"

namespace {

class ShellHooks : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Saved = NKSetShellHooks(NKShellHooks());
        m_SavedSize = NKViewWindowSize;
    }
    void TearDown() override
    {
        NKSetShellHooks(m_Saved);
        NKViewWindowSize = m_SavedSize;
        g_bViewInvalidated = 0;
    }
    NKShellHooks m_Saved;
    NKViewSize m_SavedSize = {0, 0};
};

TEST_F(ShellHooks, EmptySlotsKeepTheCoreDataAndAnswerNeutrally)
{
    EXPECT_EQ(NKViewWindowSize.iWidth, 810);  // the main window's size before the view
    EXPECT_EQ(NKViewWindowSize.iHeight, 600);
    NKResizeView(800, 400);
    EXPECT_EQ(NKViewWindowSize.iWidth, 800);
    EXPECT_EQ(NKViewWindowSize.iHeight, 400);

    g_bViewInvalidated = 0;
    NKRedrawView();
    EXPECT_EQ(g_bViewInvalidated, 1);
    EXPECT_EQ(g_bSynchronousPaint, 0);

    NKStartTimer(2);
    EXPECT_FALSE(NKRunAnimation(0, 0));
    // Calls with nothing behind them are harmless.
    NKSwapBuffers();
    NKStopTimer(1);
}

uint8_t sg_bSeenSynchronous = 0;
int sg_iResizedWidth = 0;

TEST_F(ShellHooks, FilledSlotsGetTheCallWithTheFlagsSet)
{
    NKShellHooks hooks;
    hooks.pfnRedrawView = []() { sg_bSeenSynchronous = g_bSynchronousPaint; };
    hooks.pfnResizeView = [](int iWidth, int) {
        sg_iResizedWidth = NKViewWindowSize.iWidth + iWidth;
    };
    hooks.pfnRunAnimation = [](int iFrom, int iTo) { return iFrom == 3 && iTo == 1; };
    NKSetShellHooks(hooks);
    NKRedrawView();
    EXPECT_EQ(sg_bSeenSynchronous, 1);  // the paint sees the forced-paint flag
    EXPECT_EQ(g_bSynchronousPaint, 0);  // and it is cleared afterwards
    NKResizeView(300, 200);
    EXPECT_EQ(sg_iResizedWidth, 600);  // the size is stored before the slot runs
    EXPECT_TRUE(NKRunAnimation(3, 1));
    EXPECT_FALSE(NKRunAnimation(6, 1));
}

}  // namespace
