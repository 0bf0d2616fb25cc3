// tests/core/test_source_settings.cpp -- what a source's open gives back of
// the user's trace seed when the source goes, through core's trace-seed
// slots filled here with two traces of the test's own.
#include <gtest/gtest.h>

#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "core/nk_source_settings.h"

namespace {

NKTraceSeed sg_aSeeds[2];
int sg_iCurrent = 0;

NKTraceSeed Seed(uint8_t bIsBox, float fCorner, int nx, int ny = 1, int nz = 1)
{
    NKTraceSeed seed;
    seed.bIsBox = bIsBox;
    seed.aiCounts[0] = nx;
    seed.aiCounts[1] = ny;
    seed.aiCounts[2] = nz;
    for (int i = 0; i < 6; i++) seed.afBox[i] = fCorner + (float)i;  // each corner its own
    return seed;
}

class SourceSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        NKModelHooks hooks;
        hooks.pfnGetTraceSeed = [](int iTrace, int *piIndex, NKTraceSeed *pSeed) {
            *piIndex = iTrace == -1 ? sg_iCurrent : iTrace;
            *pSeed = sg_aSeeds[*piIndex];
            return true;
        };
        hooks.pfnSetTraceSeed = [](int iTrace, const NKTraceSeed &seed) {
            sg_aSeeds[iTrace == -1 ? sg_iCurrent : iTrace] = seed;
        };
        m_Saved = NKSetModelHooks(hooks);
        m_SavedVectors = g_VectorSettings;
        sg_iCurrent = 0;
    }
    void TearDown() override
    {
        NKRestoreUserSettings();
        NKSetModelHooks(m_Saved);
        g_VectorSettings = m_SavedVectors;
    }
    NKModelHooks m_Saved;
    NKVectorSettings m_SavedVectors;
};

// The user's seed, then the source's (a box with other corners and
// counts), then what the user changes while the source is open: after the
// source goes, the box (with its flag) and the counts each go back to the
// user's only where they are still as the source set them.
TEST_F(SourceSettings, TheUserSeedComesBackWhereTheSourceSeedIsUnchanged)
{
    const NKTraceSeed user = Seed(0, 1.0f, 1), source = Seed(1, 50.0f, 10);
    struct Row {
        const char *pszWhat;
        NKTraceSeed changed;   // the seed the user leaves while the source is open
        NKTraceSeed expected;  // the seed after the source goes
    } rows[] = {
        {"nothing changed", source, user},
        {"only the box flag changed", Seed(0, 50.0f, 10), Seed(0, 50.0f, 1)},
        {"only one corner value changed",
         [&] {
             NKTraceSeed s = source;
             s.afBox[4] = -7.0f;
             return s;
         }(),
         [&] {
             NKTraceSeed s = source;
             s.afBox[4] = -7.0f;
             s.aiCounts[0] = 1;
             return s;
         }()},
        {"only the counts changed", Seed(1, 50.0f, 3), Seed(0, 1.0f, 3)},
        {"only the second count changed", Seed(1, 50.0f, 10, 3), Seed(0, 1.0f, 10, 3)},
        {"only the third count changed", Seed(1, 50.0f, 10, 1, 4), Seed(0, 1.0f, 10, 1, 4)},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.pszWhat);
        sg_aSeeds[0] = user;
        NKBeginSourceSettings();
        sg_aSeeds[0] = source;
        NKEndSourceSettings();
        sg_aSeeds[0] = r.changed;
        NKRestoreUserSettings();
        EXPECT_TRUE(sg_aSeeds[0] == r.expected);
    }
}

// The seed goes back to the trace the source seeded, also when the user
// made another trace current since.
TEST_F(SourceSettings, TheSeedGoesBackToTheTraceTheSourceSeeded)
{
    const NKTraceSeed user = Seed(0, 1.0f, 1), other = Seed(1, 20.0f, 2);
    sg_iCurrent = 1;
    sg_aSeeds[0] = other;
    sg_aSeeds[1] = user;
    NKBeginSourceSettings();
    sg_aSeeds[1] = Seed(1, 50.0f, 10);
    NKEndSourceSettings();
    sg_iCurrent = 0;
    NKRestoreUserSettings();
    EXPECT_TRUE(sg_aSeeds[1] == user);
    EXPECT_TRUE(sg_aSeeds[0] == other);
}

// A source opened after the first has gone, with the user's scaling
// changed between (ascalevectors, noascalevectors), gives back the
// scaling the user chose between, not the one from before the first.
TEST_F(SourceSettings, ASecondSourceGivesBackTheScalingChosenAfterTheFirst)
{
    const struct {
        const char *pszWhat;
        uint8_t bAutoScale;
        float fFactor;
        bool bFactor;  // the line gives a factor of its own
    } rows[] = {{"ascalevectors 0.2", 1, 0.2f, true}, {"noascalevectors", 0, 1.0f, false}};
    // A source's open sets its own scaling; its close gives the user's back.
    const auto openAndClose = [](float fSource) {
        NKBeginSourceSettings();
        g_VectorSettings.bAutoScale = 1;
        g_VectorSettings.fAutoScaleFactor = fSource;
        NKEndSourceSettings();
        NKRestoreUserSettings();
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.pszWhat);
        g_VectorSettings.bAutoScale = 1;
        g_VectorSettings.fAutoScaleFactor = 1.0f;
        openAndClose(0.075f);
        g_VectorSettings.bAutoScale = r.bAutoScale;  // the user's line
        if (r.bFactor) g_VectorSettings.fAutoScaleFactor = r.fFactor;
        NKForgetUserAutoScale(r.bFactor);
        openAndClose(0.1f);
        EXPECT_EQ(g_VectorSettings.bAutoScale, r.bAutoScale);
        EXPECT_EQ(g_VectorSettings.fAutoScaleFactor, r.fFactor);
    }
}

}  // namespace
