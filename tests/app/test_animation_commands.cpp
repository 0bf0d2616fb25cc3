// tests/app/test_animation_commands.cpp -- the animation commands end to end
// through the interpreter on the example beam, with the shell's animation
// runs behind the slots and the frames taken from the animation clock (a
// draw every 34 ms on the test clock); and the performance read-out after a
// frame; and the beam opened after a reservoir set, shown as when opened
// first, and the automatic scaling after a kind-103 source.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/nk_animation_timer.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_view_state.h"
#include "platform/nk_clock.h"
#include "readers/nk_animation_setup.h"
#include "readers/nk_data_source.h"
#include "render/nk_animation_commands.h"
#include "render/nk_scene_view.h"
#include "render/nk_text_list.h"
#include "render/nk_vector_commands.h"
#include "render/nk_view_settings.h"
#include "scene/nk_renderer.h"
#include "scene/nk_scene_extras.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/lsdyna_test_writer.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/mock_fem_reader.h"
#include "tests/test_support/nkf_example_models.h"
#include "tests/test_support/nkf_test_writer.h"
#include "tests/test_support/output3d_test_writer.h"
#include "tests/test_support/recording_progress_ui.h"
#include "tests/test_support/test_files.h"

namespace {

int g_iFrameRateCalls = 0;
bool CountFrameRate(float, uint32_t, uint32_t, int, int)
{
    g_iFrameRateCalls++;
    return true;
}

class AnimationCommands : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedModelHooks = NKGetModelHooks();
        m_SavedShellHooks = NKGetShellHooks();
        g_pGraphicsSettings = NKCreateRenderOptions(nullptr);
        ASSERT_TRUE(NKInstallRenderer());
        NKShellHooks hooks = NKGetShellHooks();
        NKFillAnimationHooks(&hooks);
        NKSetShellHooks(hooks);
        NKResetAnimationTimer();
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterVectorCommands();
        NKRegisterAnimationCommands();
        NKSetTestClock(true, 0);
        g_AnimationSettings = NKAnimationSettings();
        g_szStepText = "";
    }
    void TearDown() override
    {
        NKCloseInterface();
        NKResetAnimationTimer();
        NKSetCommandHandler(NK_HANDLER_ANIMATION, nullptr);
        NKSetCommandHandler(NK_HANDLER_VECTORS, nullptr);
        NKSetTestClock(false, 0);
        NKFreeTextList();
        NKShutdownRenderer();
        NKDestroyRenderOptions(g_pGraphicsSettings);
        g_pGraphicsSettings = nullptr;
        NKSetShellHooks(m_SavedShellHooks);
        NKSetModelHooks(m_SavedModelHooks);
        g_AnimationSettings = NKAnimationSettings();
        g_szStepText = "";
        NKModelTest::TearDown();
    }
    int Run(const std::string &line)
    {
        m_Capture.Clear();
        return ExecuteCommand(line.c_str());
    }
    bool Said(const std::string &line, int iLevel = NK_MSG_INFO)
    {
        return m_Capture.HasLine(line, iLevel);
    }
    void OpenBeam(const char *pszState = "readstate 1 1 1")
    {
        ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
        ASSERT_EQ(Run(pszState), 0);
    }
    // The frames of iCount draws, one every 34 ms; the run starts at a step.
    std::vector<int> Frames(int iCount)
    {
        std::vector<int> frames;
        g_AnimationSettings.uTimeLastStep = m_uClock;
        for (int i = 0; i < iCount; i++, m_uClock += 34) {
            NKSetTestClock(true, m_uClock);
            frames.push_back(NKUpdateCurrentFrame(g_pModel, &g_AnimationSettings));
        }
        return frames;
    }
    static std::string LastText()
    {
        std::string text;
        for (NKTextItem *p = g_pTextListHead != nullptr ? g_pTextListHead->pNext : nullptr;
             p != nullptr; p = p->pNext)
            text = p->Text.GetText();
        return text;
    }
    // The displacement (displaced minus node position) of node iNode of
    // part 0 in frame iFrame, component k.
    static float Displacement(int iFrame, int iNode, int k)
    {
        const NKFrame &f = g_pModel->pFrames[iFrame];
        return f.pVector->pResults[0].pNodeValues[3 * iNode + k] -
               f.pGeometry->pParts[0].pNodeCoords[3 * iNode + k];
    }

    // The beam's node 10 as shown: per state read, its displaced position
    // and the vector lengths' maximum (the info box's VMX); then frames 0-8
    // of the results animation with three interstate frames, their
    // displaced z.
    std::vector<float> ShownBeamDisplacements()
    {
        std::vector<float> shown;
        for (int iStep = 1; iStep <= 3; iStep++) {
            EXPECT_EQ(Run("readstate " + std::to_string(iStep) + " 1 1"), 0);
            const NKVectorResult *pVector = g_pModel->pFrames[0].pVector;
            if (pVector == nullptr) return shown;
            const float *pfNode = pVector->pResults[0].pNodeValues + 3 * 10;
            shown.insert(shown.end(), pfNode, pfNode + 3);
            shown.push_back(pVector->lengthMinMax.max);
        }
        EXPECT_EQ(Run("animresults"), 0);
        EXPECT_EQ(Run("interpolatestates 3"), 0);
        for (int f = 0; f < g_pModel->iNumFrames; f++)
            shown.push_back(g_pModel->pFrames[f].pVector->pResults[0].pNodeValues[3 * 10 + 2]);
        return shown;
    }

    NKModelHooks m_SavedModelHooks;
    NKShellHooks m_SavedShellHooks;
    MessageCapture m_Capture;
    uint32_t m_uClock = 1000;
};

TEST_F(AnimationCommands, ResultsAnimationPlaysStepsPausesAndRefusesBadRanges)
{
    OpenBeam();
    ASSERT_EQ(Run("animresults"), 0);
    EXPECT_TRUE(Said("Setting up animation from interface.")) << m_Capture.Text();
    EXPECT_TRUE(Said("Animation run from step 1 to step 3.")) << m_Capture.Text();
    ASSERT_EQ(g_pModel->iNumFrames, 3);
    const float afTimes[3] = {0.333333f, 0.666667f, 1.0f};
    for (int f = 0; f < 3; f++) {
        EXPECT_EQ(std::string(g_pModel->pFrames[f].szDescription.GetText()),
                  "Load " + std::to_string(f + 1));
        EXPECT_NEAR(g_pModel->pFrames[f].fTime, afTimes[f], 1e-5f);
    }

    const struct {
        const char *pszRun;
        bool bCycle;
        std::vector<int> frames;
    } kRuns[] = {
        {"anim_run", false, {0, 1, 2, 0, 1}},
        {"anim_run 0 -1", false, {0, 2, 1, 0}},
        {"anim_run", true, {0, 1, 2, 1, 0, 1}},
    };
    for (const auto &r : kRuns) {
        ASSERT_EQ(Run("noanim"), 0);
        EXPECT_TRUE(Said("Animation turned off"));
        EXPECT_FALSE(NKIsTimerReasonActive(NK_TIMER_ANIMATION));
        if (r.bCycle) {
            ASSERT_EQ(Run("anim_cycle"), 0);
            EXPECT_TRUE(Said("Turn on animation cycle"));
        }
        ASSERT_EQ(Run(r.pszRun), 0);
        EXPECT_TRUE(NKIsTimerReasonActive(NK_TIMER_ANIMATION)) << r.pszRun;
        EXPECT_EQ(Frames(static_cast<int>(r.frames.size())), r.frames) << r.pszRun;
    }
    ASSERT_EQ(Run("noanim_cycle"), 0);
    EXPECT_EQ(g_pModel->bAnimationCycle, 0);

    // A running animation runs on past a refused range.
    ASSERT_EQ(Run("anim_run"), 0);
    EXPECT_EQ(Run("anim_run 5 1"), 1);
    EXPECT_TRUE(Said("anim_run: Illegal step range 5 1  (legal range 1 -> 3)", NK_MSG_ERROR));
    EXPECT_EQ(g_pModel->animationType, 1);
    EXPECT_TRUE(NKIsTimerReasonActive(NK_TIMER_ANIMATION));

    // Still frames and single steps.
    const struct {
        const char *pszRun;
        int iFrame;
        const char *pszMessage;
    } kSteps[] = {
        {"anim_run 3 3", 2, "Animation paused at step 3."},
        {"anim_run 1 0", 0, "Animation run from step 1 to step 3."},
        {"anim_run -1 0", 2, "Animation run from step 1 to step 3."},
        {"anim_run 2 2", 1, "Animation paused at step 2."},
        {"anim_run -1 -1", 1, "Animation paused at step 2."},
    };
    for (const auto &s : kSteps) {
        ASSERT_EQ(Run(s.pszRun), 0) << s.pszRun;
        EXPECT_EQ(g_pModel->animationType, 0) << s.pszRun;
        EXPECT_EQ(Frames(1), std::vector<int>{s.iFrame}) << s.pszRun;
        EXPECT_TRUE(Said(s.pszMessage)) << s.pszRun << "\n" << m_Capture.Text();
        EXPECT_FALSE(NKIsTimerReasonActive(NK_TIMER_ANIMATION)) << s.pszRun;
    }
}

TEST_F(AnimationCommands, InterstateModeShapeAndListedStepAnimations)
{
    OpenBeam();
    ASSERT_EQ(Run("animresults"), 0);
    ASSERT_EQ(Run("interpolatestates 3"), 0);
    EXPECT_TRUE(Said("Interpolation of 3 interstate frames ok."));
    EXPECT_EQ(g_pModel->iNumInterstateFrames, 3);
    ASSERT_EQ(g_pModel->iNumFrames, 9);
    for (int f = 0; f < 9; f++)
        EXPECT_NEAR(g_pModel->pFrames[f].fTime, 1.0f / 3 + f / 12.0f, 1e-5f) << f;
    EXPECT_NEAR(g_pModel->pFrames[2].pScalar->pNodeResults[0].pNodeValues[10], 0.501404f, 1e-5f);
    EXPECT_NEAR(g_pModel->pFrames[2].pVector->pResults[0].pNodeValues[3 * 10 + 2], -0.1f, 1e-5f);
    for (const char *pszLine : {"interpolatestates 0", "interpolatestates 2147483647"}) {
        EXPECT_EQ(Run(pszLine), 1);
        EXPECT_TRUE(Said("interpolatestates: Interpolate FAILED", NK_MSG_ERROR));
        EXPECT_EQ(g_pModel->iNumFrames, 9);
    }

    ASSERT_EQ(Run("readstate 3 1 1"), 0);
    ASSERT_EQ(Run("mode 2 2"), 0);
    EXPECT_TRUE(Said("Mode shape animation enabled with 2 negative and 2 positive steps"));
    ASSERT_EQ(g_pModel->iNumFrames, 5);
    const float fFull = Displacement(0, 10, 0);
    ASSERT_GT(std::fabs(fFull), 1e-3f);  // factors 1, sin 45 degrees, 0, ... of it
    const float afFactors[5] = {1.0f, 0.707107f, 0.0f, -0.707107f, -1.0f};
    for (int f = 0; f < 5; f++)
        EXPECT_NEAR(Displacement(f, 10, 0), afFactors[f] * fFull, 1e-5f) << f;
    EXPECT_EQ(g_pModel->bAnimationCycle, 1);
    EXPECT_EQ((std::vector<int>{g_pModel->iModeNegativeSteps, g_pModel->iModePositiveSteps,
                                g_pModel->bModeShapeAnimation, g_pModel->bModeShapeScalar}),
              (std::vector<int>{2, 2, 1, 0}));
    EXPECT_EQ(g_pModel->animationType, 1);
    ASSERT_EQ(Run("readstate 3 1 1"), 0);
    ASSERT_EQ(Run("mode -5 3 scl"), 0);
    EXPECT_TRUE(Said(
        "Mode shape animation enabled with 5 negative and 3 positive steps (interpolate scalar)"));
    EXPECT_EQ(g_pModel->iNumFrames, 9);
    EXPECT_EQ(g_pModel->bModeShapeScalar, 1);
    for (const char *pszLine : {"mode 0 0", "mode -2147483648 2147483647"}) {
        EXPECT_EQ(Run(pszLine), 1) << pszLine;
        EXPECT_TRUE(Said("mode: Error creating mode shape animation", NK_MSG_ERROR)) << pszLine;
        EXPECT_EQ(g_pModel->iNumFrames, 9) << pszLine;
    }

    ASSERT_EQ(Run("animresults steps 1 3"), 0);
    ASSERT_EQ(g_pModel->iNumFrames, 2);
    EXPECT_STREQ(g_pModel->pFrames[0].szDescription.GetText(), "Load 1");
    EXPECT_STREQ(g_pModel->pFrames[1].szDescription.GetText(), "Load 3");
    ASSERT_EQ(Run("animresults steps 2-3"), 0);
    EXPECT_EQ(g_pModel->iNumFrames, 2);
    for (const char *pszLine :
         {"animresults steps 0", "animresults steps 3-2", "animresults steps x",
          "animresults steps 2-9", "animresults steps"}) {
        EXPECT_EQ(Run(pszLine), 1) << pszLine;
        EXPECT_TRUE(Said("animresults steps: Error in command parameter.", NK_MSG_ERROR))
            << pszLine << "\n"
            << m_Capture.Text();
    }
    EXPECT_EQ(Run("anim_scalar x 2 -1"), 1);
    EXPECT_TRUE(Said("anim_scalar: Illegal file numbers for animation 2 -1", NK_MSG_ERROR));

    // Numbered files (which the older native readers cannot read yet) still
    // make one frame per number, and the animation runs over them.
    const uint8_t bAutoRange = g_bAutoFringeRange;
    g_bAutoFringeRange = 1;
    ASSERT_EQ(Run("anim_scalar \"res*.scl\" 1 3"), 0);
    EXPECT_TRUE(Said("Setting fringe range to full range of scalars in animation."));
    EXPECT_TRUE(Said("Animation of scalar values created from file res*.scl."));
    EXPECT_EQ(g_pModel->iNumFrames, 3);
    EXPECT_EQ(g_pModel->animationType, 1);
    g_bAutoFringeRange = bAutoRange;
    ASSERT_EQ(Run("anim_vector res*.vec 2 6 2"), 0);
    EXPECT_TRUE(Said("Animation of vector values created from file res*.vec."));
    EXPECT_STREQ(g_pModel->pFrames[2].szDescription.GetText(), "Step: 6");
    EXPECT_EQ(Run("anim_vector res*.vec 3 3"), 1);
}

// A source of one step animates its one listed step.
TEST_F(AnimationCommands, OneStepSourceAnimatesAListedStep)
{
    const std::string file = NKFWriteTestFile("anim_one_step.nkf", NKFTestQuadLines(nullptr));
    ASSERT_EQ(Run("open \"" + file + "\""), 0) << m_Capture.Text();
    ASSERT_EQ(NKGetInterfaceNumSteps(), 1);
    ASSERT_EQ(Run("animresults steps 1"), 0) << m_Capture.Text();
    EXPECT_EQ(g_pModel->iNumFrames, 1);
    EXPECT_EQ(Run("animresults"), 1);
    EXPECT_TRUE(Said("Invalid parameters for animation setup.", NK_MSG_ERROR));
}

// What the frames show: per frame its step, time, geometry and results, and
// node 3's displaced y in the frame's vector result.
struct FrameShow {
    int iStep;
    float fTime;
    const void *pGeometry, *pScalar, *pVector;
    float fY;
    bool operator==(const FrameShow &o) const
    {
        return iStep == o.iStep && fTime == o.fTime && pGeometry == o.pGeometry &&
               pScalar == o.pScalar && pVector == o.pVector && fY == o.fY;
    }
};
std::vector<FrameShow> ShownFrames(void)
{
    std::vector<FrameShow> shown;
    for (int i = 0; i < g_pModel->iNumFrames; i++) {
        const NKFrame &f = g_pModel->pFrames[i];
        float fY = f.pVector != nullptr && f.pVector->pResults[0].pNodeValues != nullptr
                       ? f.pVector->pResults[0].pNodeValues[3 * 2 + 1]
                       : -1.0f;
        shown.push_back({f.iStepIndex, f.fTime, f.pGeometry, f.pScalar, f.pVector, fY});
    }
    return shown;
}

// An LS-DYNA database whose third state holds a node coordinate that is not
// finite opens with all four states. "readstate 3" is refused naming the
// file, the state and the node, and an animation over states 1-4 fails with
// the same error; both leave the frames as they were, and the states around
// the refused one read: readstate next and previous go on past it.
TEST_F(AnimationCommands, LSDynaStateWithNonFiniteCoordinatesIsRefusedLeavingTheFrames)
{
    const std::string dir = NKTestMakeTempDir("anim_lsdyna_bad_state_");
    const std::string db = dir + "/d3plot";
    for (double dBad : {(double)NAN, (double)INFINITY, -(double)INFINITY}) {
        SCOPED_TRACE(dBad);
        ASSERT_TRUE(LSDynaSaveFamilyWithBadThirdState(db, dBad));
        ASSERT_EQ(Run("open \"" + db + "\""), 0) << m_Capture.Text();
        EXPECT_EQ(NKGetInterfaceNumSteps(), 4);
        const std::string refusal =
            "LS-DYNA file " + db +
            ": state 3 is refused, the coordinates of node 3 are not finite.";
        EXPECT_EQ(Run("readstate 4 1 1"), 0) << m_Capture.Text();
        EXPECT_EQ(Run("readstate 2 1 1"), 0) << m_Capture.Text();
        std::vector<FrameShow> before = ShownFrames();
        ASSERT_EQ(before.size(), 1u);
        EXPECT_EQ(before[0].iStep, 1);
        EXPECT_NE(before[0].fY, -1.0f);  // a vector result is shown
        EXPECT_EQ(Run("readstate 3 1 1"), 1);
        EXPECT_TRUE(Said(refusal, NK_MSG_ERROR)) << m_Capture.Text();
        EXPECT_TRUE(ShownFrames() == before);
        EXPECT_EQ(Run("animresults 1 4 1"), 1);
        EXPECT_TRUE(Said(refusal, NK_MSG_ERROR)) << m_Capture.Text();
        EXPECT_TRUE(ShownFrames() == before);
        EXPECT_EQ(NKGetInterfaceNumSteps(), 4);
        // The set-up records the refused step for Play; the next set-up,
        // also one refused before its check, clears the record.
        EXPECT_EQ(NKRefusedAnimationSteps(), std::vector<int>{2});
        EXPECT_EQ(Run("animresults 3 2 1"), 1);
        EXPECT_TRUE(NKRefusedAnimationSteps().empty());
        // An animation over the good states, then the refusals again.
        EXPECT_EQ(Run("animresults 1 2 1"), 0) << m_Capture.Text();
        before = ShownFrames();
        ASSERT_EQ(before.size(), 2u);
        EXPECT_EQ(Run("animresults steps 1-4"), 1);
        EXPECT_TRUE(Said(refusal, NK_MSG_ERROR)) << m_Capture.Text();
        EXPECT_EQ(Run("readstate 3 1 1"), 1);
        EXPECT_TRUE(ShownFrames() == before);
        EXPECT_EQ(Run("readstate 4 1 1"), 0) << m_Capture.Text();
        EXPECT_EQ(g_pModel->pFrames[0].iStepIndex, 3);
        // A step goes on past the refused state, naming it, both ways.
        EXPECT_EQ(Run("readstate previous"), 0) << m_Capture.Text();
        EXPECT_TRUE(Said(refusal, NK_MSG_ERROR)) << m_Capture.Text();
        EXPECT_TRUE(Said("State 3 is refused: stepped on to state 2.", NK_MSG_WARNING))
            << m_Capture.Text();
        EXPECT_EQ(g_pModel->pFrames[0].iStepIndex, 1);
        EXPECT_EQ(Run("readstate next"), 0) << m_Capture.Text();
        EXPECT_TRUE(Said("State 3 is refused: stepped on to state 4.", NK_MSG_WARNING))
            << m_Capture.Text();
        EXPECT_EQ(g_pModel->pFrames[0].iStepIndex, 3);
        ASSERT_EQ(Run("closefiles"), 0);
    }
    NKTestRemoveDir(dir);
}

// An animation over refused states, in every form of animresults: the
// set-up records the source's steps it found refused (0-based, in the order
// it checked them; not the frames they would have made), names the first it
// checked once and no other, fails, and leaves the frames as they were.
TEST_F(AnimationCommands, ASetUpRecordsTheStepsItFoundRefused)
{
    const struct {
        const char *pszLine;
        std::vector<int> bad;  // 1-based states of five
        std::vector<int> recorded;
        int iNamed;
    } rows[] = {
        {"animresults 3 5 1", {4}, {3}, 4},
        {"animresults 1 5 2", {3, 5}, {2, 4}, 3},
        {"animresults 2 5 3", {2, 5}, {1, 4}, 2},
        {"animresults steps 5 2-4", {4}, {3}, 4},
        {"animresults steps 4 1-2", {2, 4}, {3, 1}, 4},
    };
    const std::string dir = NKTestMakeTempDir("anim_lsdyna_refused_steps_");
    const std::string db = dir + "/d3plot";
    for (const auto &row : rows) {
        SCOPED_TRACE(row.pszLine);
        ASSERT_TRUE(LSDynaSaveFamilyWithBadStates(db, 5, row.bad));
        ASSERT_EQ(Run("open \"" + db + "\""), 0) << m_Capture.Text();
        ASSERT_EQ(NKGetInterfaceNumSteps(), 5);
        const std::vector<FrameShow> before = ShownFrames();
        EXPECT_EQ(Run(row.pszLine), 1);
        EXPECT_EQ(NKRefusedAnimationSteps(), row.recorded);
        size_t iRefusals = 0;
        for (const CapturedLine &line : m_Capture.Lines())
            iRefusals += line.text.find("is refused") != std::string::npos;
        EXPECT_EQ(iRefusals, 1u) << m_Capture.Text();
        EXPECT_TRUE(Said("LS-DYNA file " + db + ": state " + std::to_string(row.iNamed) +
                             " is refused, the coordinates of node 3 are not finite.",
                         NK_MSG_ERROR))
            << m_Capture.Text();
        EXPECT_TRUE(ShownFrames() == before);
        ASSERT_EQ(Run("closefiles"), 0);
    }
    NKTestRemoveDir(dir);
}

std::vector<std::string> FrameNames(void)
{
    std::vector<std::string> names;
    for (int i = 0; i < g_pModel->iNumFrames; i++)
        names.push_back(g_pModel->pFrames[i].szDescription.GetText());
    return names;
}

// A reservoir set whose event 2 holds a node coordinate that is not finite
// (NaN, +inf, -inf) opens on event 3. The event is refused whenever it is
// read, as the LS-DYNA state above: "readstate 2" answers 1 naming the file,
// the event and the node, and an animation over a range that holds event 2
// fails with the same error; both leave the frames' geometry, results and
// names as they were, over one frame or two. Events 1 and 3 read, alone and
// animated, each with its own geometry, and the set keeps its three steps.
TEST_F(AnimationCommands, ReservoirEventWithNonFiniteCoordinatesIsRefusedLeavingTheFrames)
{
    const std::string dir = NKTestMakeTempDir("anim_reservoir_bad_event_");
    const std::string file = dir + "/res.e00";
    const std::string refusal = "Error reading file " + dir +
                                "/res.k00: event 2, the coordinates of node 116 are not finite.";
    for (float fBad : {NAN, INFINITY, -INFINITY}) {
        SCOPED_TRACE(fBad);
        ASSERT_TRUE(NKOutput3DWriteFiles(dir, NKOutput3DFixtureWithEvent2Z(fBad), false));
        ASSERT_EQ(Run("open \"" + file + "\""), 0) << m_Capture.Text();
        for (const char *pszShown : {"readstate 3 1 1", "readstate 1 1 1", "animresults 1 3 2"}) {
            SCOPED_TRACE(pszShown);
            ASSERT_EQ(Run(pszShown), 0) << m_Capture.Text();
            const std::vector<FrameShow> before = ShownFrames();
            const std::vector<std::string> names = FrameNames();
            ASSERT_EQ(before.size(), pszShown[0] == 'a' ? 2u : 1u);
            for (const char *pszLine : {"readstate 2 1 1", "animresults 1 3 1", "animresults 2 3 1",
                                        "animresults steps 1-3"}) {
                SCOPED_TRACE(pszLine);
                EXPECT_EQ(Run(pszLine), 1);
                EXPECT_TRUE(Said(refusal, NK_MSG_ERROR)) << m_Capture.Text();
                EXPECT_FALSE(Said("State Loaded sucessfully.")) << m_Capture.Text();
                EXPECT_TRUE(ShownFrames() == before);
                EXPECT_EQ(FrameNames(), names);
                EXPECT_EQ(NKGetInterfaceNumSteps(), 3);
            }
        }
        // Events 1 and 3, each with its own geometry and results.
        for (int iEvent : {1, 3}) {
            ASSERT_EQ(Run("readstate " + std::to_string(iEvent) + " 1 1"), 0) << m_Capture.Text();
            EXPECT_TRUE(Said("State Loaded sucessfully.")) << m_Capture.Text();
            const NKFrame &frame = g_pModel->pFrames[0];
            ASSERT_NE(frame.pGeometry, nullptr);
            EXPECT_EQ(frame.pGeometry->iStepNumber, iEvent - 1);
            EXPECT_STREQ(frame.szDescription.GetText(),
                         iEvent == 1 ? "Triassic (245 Mabp)" : "Present (0 Mabp)");
            EXPECT_NE(frame.pScalar, nullptr);
        }
        ASSERT_EQ(Run("closefiles"), 0);
    }
    NKTestRemoveDir(dir);
}

// The automatic displacement scaling a reservoir set turns on for itself
// when it opens lasts while the set is loaded: the beam opened after it,
// with closefiles between or directly over it, shows its displacements as
// when opened first. The user's own automatic scaling, chosen before the
// set or while it is open, is the beam's too. With keepsettings a load
// keeps the display as it is, the set's scaling too; closefiles ends it.
TEST_F(AnimationCommands, AModelOpenedAfterAReservoirSetShowsItsOwnDisplacements)
{
    const std::string dir = NKTestMakeTempDir("anim_reservoir_then_beam_");
    ASSERT_TRUE(NKOutput3DWriteFixture(dir, false));
    const struct {
        const char *pszBefore;     // the user's line before the set opens
        const char *pszWhileOpen;  // the user's line while it is open
        bool bCloseFiles;
        bool bKeepSettings;
        const char *pszBeamAlone;  // the same user setting on the beam alone
        float fAutoScale;          // the beam's automatic factor, 0: off
    } kCases[] = {
        {"noascalevectors", "", true, false, "noascalevectors", 0.0f},
        {"noascalevectors", "", false, false, "noascalevectors", 0.0f},
        {"ascalevectors 0.2", "", true, false, "ascalevectors 0.2", 0.2f},
        {"ascalevectors 0.2", "", false, false, "ascalevectors 0.2", 0.2f},
        {"ascalevectors 0.2", "noascalevectors", false, false, "noascalevectors", 0.0f},
        {"noascalevectors", "ascalevectors 0.3", true, false, "ascalevectors 0.3", 0.3f},
        {"noascalevectors", "", true, true, "noascalevectors", 0.0f},
    };
    for (const auto &c : kCases) {
        SCOPED_TRACE(std::string(c.pszBefore) + " / " + c.pszWhileOpen +
                     (c.bCloseFiles ? " / closefiles" : "") +
                     (c.bKeepSettings ? " / keepsettings" : ""));
        ASSERT_EQ(Run(c.bKeepSettings ? "keepsettings" : "nokeepsettings"), 0);
        ASSERT_EQ(Run(c.pszBeamAlone), 0);
        OpenBeam();
        const std::vector<float> alone = ShownBeamDisplacements();
        ASSERT_EQ(alone.size(), 3u * 4u + 9u);
        ASSERT_EQ(Run("closefiles"), 0);

        ASSERT_EQ(Run(c.pszBefore), 0);
        ASSERT_EQ(Run("open \"" + dir + "/res.e00\""), 0) << m_Capture.Text();
        EXPECT_TRUE(Said("Vector auto scale factor set to 0.075 of max model extent."));
        ASSERT_EQ(Run("readstate 3 1 1"), 0) << m_Capture.Text();
        if (*c.pszWhileOpen != '\0') {
            ASSERT_EQ(Run(c.pszWhileOpen), 0);
        }
        if (c.bCloseFiles) {
            ASSERT_EQ(Run("closefiles"), 0);
        }
        OpenBeam();
        // Shown as the first state comes in.
        EXPECT_EQ(m_Capture.Contains("Scale displacement by"), c.fAutoScale > 0.0f);
        EXPECT_EQ(g_VectorSettings.bAutoScale, c.fAutoScale > 0.0f ? 1 : 0);
        if (c.fAutoScale > 0.0f) {
            EXPECT_FLOAT_EQ(g_VectorSettings.fAutoScaleFactor, c.fAutoScale);
        }
        const std::vector<float> after = ShownBeamDisplacements();
        ASSERT_EQ(after.size(), alone.size());
        for (size_t i = 0; i < alone.size(); i++) EXPECT_FLOAT_EQ(after[i], alone[i]) << i;
        if (c.fAutoScale == 0.0f) {
            // Unscaled: frame 2 lies halfway between loads 1 and 2.
            EXPECT_NEAR(after[12 + 2], -0.1f, 1e-5f);
        }
        ASSERT_EQ(Run("closefiles"), 0);
    }
    ASSERT_EQ(Run("nokeepsettings"), 0);
    ASSERT_EQ(Run("noascalevectors"), 0);
    NKTestRemoveDir(dir);
}

// A kind-103 source's own automatic scaling (0.1) ends with it, also when
// it was opened twice under keepsettings: closefiles gives back the user's.
TEST_F(AnimationCommands, AKind103SourcesOwnScalingEndsWithItHoweverOftenOpened)
{
    NKTestMockModel mock;
    mock.pszExtension = ".moc";
    NKTestTwoHexahedra(&mock);
    mock.steps = {{1, "Step one", 0.0f, 1}};
    NKTestInstallMock(2, &mock);  // the registry's third interface: kind 103
    const std::string dir = NKTestMakeTempDir("anim_kind103_");
    NKTestWriteText(dir + "/cube.moc", "");
    const NKVectorSettings before = g_VectorSettings;
    ASSERT_EQ(Run("keepsettings"), 0);
    for (int iOpens : {1, 2}) {
        ASSERT_EQ(Run("ascalevectors 0.2"), 0);
        for (int i = 0; i < iOpens; i++)
            ASSERT_EQ(Run("open \"" + dir + "/cube.moc\""), 0) << m_Capture.Text();
        EXPECT_EQ(NKGetInterfaceType(), 103);
        EXPECT_FLOAT_EQ(g_VectorSettings.fAutoScaleFactor, 0.1f);
        ASSERT_EQ(Run("closefiles"), 0);
        EXPECT_FLOAT_EQ(g_VectorSettings.fAutoScaleFactor, 0.2f) << iOpens;
    }
    ASSERT_EQ(Run("nokeepsettings"), 0);
    g_VectorSettings = before;
    NKTestRemoveMocks();
    NKTestRemoveDir(dir);
}

TEST_F(AnimationCommands, TimingAndStepTextSettings)
{
    OpenBeam();
    NKAnimationSettings &a = g_AnimationSettings;
    const struct {
        const char *pszLine;
        const char *pszMessage;  // "": none
        int32_t *piField;
        int iValue;
    } kSettings[] = {
        {"maxfps 30", "Setting max fps to: 30 (interframe delay: 33ms)", &a.iFrameInterval, 33},
        {"maxfps 0", "Setting max fps to: 0 (interframe delay: 10000000ms)", &a.iFrameInterval,
         10000000},
        {"maxfps 3000", "Setting max fps to: 3000 (interframe delay: 1ms)", &a.iFrameInterval, 1},
        {"delay 0.04", "Setting max fps to: 25 (interframe delay: 40ms)", &a.iFrameInterval, 40},
        {"delay 0.0005", "", &a.iFrameInterval, 40},
        {"start_delay 2.5", "Setting start delay for animation to 2.5 seconds (default: 0.0)",
         &a.iStartDelay, 2500},
        {"stop_delay -1", "Setting stop delay for animation to 0 seconds (default: 0.0)",
         &a.iStopDelay, 0},
        {"inactivepct 150", "Reducing max fps 150 percent when application is inactive",
         &a.iInactivePercentage, 100},
    };
    for (const auto &c : kSettings) {
        ASSERT_EQ(Run(c.pszLine), 0) << c.pszLine;
        EXPECT_EQ(*c.piField, c.iValue) << c.pszLine;
        const bool bSaid = *c.pszMessage != '\0'
                               ? Said(c.pszMessage)
                               : m_Capture.Text().find("Setting") == std::string::npos;
        EXPECT_TRUE(bSaid) << c.pszLine << "\n" << m_Capture.Text();
    }
    ASSERT_EQ(Run("nodrawanimationsetup"), 0);
    EXPECT_EQ(a.bDrawAnimationSetup, 0);

    ASSERT_EQ(Run("steptext Run A"), 0);
    EXPECT_TRUE(Said("Setting step text prefix to: Run A"));
    ASSERT_EQ(Run("steptext"), 0);  // no text keeps the prefix
    EXPECT_STREQ(g_szStepText.GetText(), "Run A");
    ASSERT_EQ(Run("nosteptext"), 0);
    EXPECT_TRUE(Said("Setting step text prefix to blank"));
    EXPECT_STREQ(g_szStepText.GetText(), "");
    ASSERT_EQ(Run("nostep"), 0);
    EXPECT_EQ(g_pViewSettings->bShowStep, 0);
}

TEST_F(AnimationCommands, SpeedupReadOutAveragesTimedFrames)
{
    OpenBeam();
    NKGeometry *pGeo = g_pModel->pFrames[0].pGeometry;
    ASSERT_EQ(pGeo->iTotalNumPolygons, 88);
    g_pViewSettings->bShowPerformance = 0;
    NKCalculateAnimationSpeedup(8, pGeo);  // the average starts again
    EXPECT_EQ(g_pTextListHead, nullptr);
    g_pViewSettings->bShowPerformance = 1;
    const struct {
        unsigned int uMs;
        const char *pszText;
    } kFrames[] = {
        {8, "Number of polygons: 88   Polygons/Second: 11000  Average : 11000  Drawing time: 8 ms "
            "(125.0 fps)"},
        {0, "Number of polygons: 88   Polygons/Second: >88000  Drawing time: < 1 ms"},
        {16, "Number of polygons: 88   Polygons/Second: 5500  Average : 8250  Drawing time: 16 ms "
             "(62.5 fps)"},
    };
    for (const auto &f : kFrames) {
        NKFreeTextList();
        NKCalculateAnimationSpeedup(f.uMs, pGeo);
        EXPECT_EQ(LastText(), f.pszText);
        const NKTextItem *p = g_pTextListHead->pNext;
        EXPECT_EQ((std::vector<float>{p->fX, p->fY, float(p->iSize)}),
                  (std::vector<float>{-0.99f, 0.87f, 12.0f}));
    }
    // Parts drawn as lines count their connections, as points their nodes.
    ASSERT_NE(pGeo->iTotalNumConnects, pGeo->iTotalNumNodes);
    const struct {
        int iStyle;
        const char *pszWord, *pszTitle;
        int64_t n;
    } kStyles[] = {{NK_DRAW_LINES, "lines", "Lines", pGeo->iTotalNumConnects},
                   {NK_DRAW_POINTS, "points", "Points", pGeo->iTotalNumNodes}};
    for (const auto &k : kStyles) {
        pGeo->pParts[0].iDrawStyle = k.iStyle;
        NKFreeTextList();
        NKCalculateAnimationSpeedup(0, pGeo);
        EXPECT_EQ(LastText(), "Number of " + std::string(k.pszWord) + ": " + std::to_string(k.n) +
                                  "   " + k.pszTitle + "/Second: >" + std::to_string(k.n * 1000) +
                                  "  Drawing time: < 1 ms");
    }
    pGeo->pParts[0].iDrawStyle = NK_DRAW_SURFACE;

    // Rates past 2^32 in their sum still average.
    g_pViewSettings->bShowPerformance = 0;
    NKCalculateAnimationSpeedup(10, pGeo);
    g_pViewSettings->bShowPerformance = 1;
    NKGeometry *pLarge = NKCreateGeometry(1);
    pLarge->iTotalNumPolygons = 2000000;
    for (int i = 0; i < 30; i++) {
        NKFreeTextList();
        NKCalculateAnimationSpeedup(10, pLarge);
    }
    EXPECT_NE(LastText().find("Average : 200000000  "), std::string::npos) << LastText();
    NKReleaseGeometry(pLarge);

    // The status bar's read-out at most every 333 ms.
    NKShellHooks hooks = NKGetShellHooks();
    hooks.pfnShowFrameRate = CountFrameRate;
    NKSetShellHooks(hooks);
    g_iFrameRateCalls = 0;
    for (uint32_t t = 0; t < 400; t += 100) {
        NKSetTestClock(true, 5000000 + t);
        NKCalculateAnimationSpeedup(8, pGeo);
    }
    EXPECT_EQ(g_iFrameRateCalls, 1);
    NKSetTestClock(true, 5000400);
    NKCalculateAnimationSpeedup(8, pGeo);
    EXPECT_EQ(g_iFrameRateCalls, 2);
}

// While the hidden-polygon analysis runs over an animation, the status
// read-out moves the progress bar to the frames analysed, with their count;
// with the analysis done or the removal off the bar stays where it was.
TEST_F(AnimationCommands, SpeedupProgressFollowsTheHiddenPolygonAnalysis)
{
    OpenBeam();
    NKGeometry *pGeo = g_pModel->pFrames[0].pGeometry;
    NKShellHooks hooks = NKGetShellHooks();
    hooks.pfnShowFrameRate = CountFrameRate;
    NKSetShellHooks(hooks);
    RecordingProgressUI ui;
    NKSetProgressUI(&ui);
    NKResetProgressState();
    ASSERT_TRUE(NKBeginProgressBar(12, nullptr));
    HiddenPartCuller &c = g_HiddenPartCuller;
    c.iFramesToAnalyse = 12;
    const struct {
        uint8_t bEnabled, bAnalysisOn;
        int iCount, iPosition;
        const char *pszText;  // the status text, or null for none
    } kCases[] = {{1, 1, 3, 3, "Calculating Animation Speedup (3 of 12)..."},
                  {1, 1, 7, 7, "Calculating Animation Speedup (7 of 12)..."},
                  {1, 0, 12, 7, nullptr},
                  {0, 1, 9, 7, nullptr}};
    uint32_t uClock = 7000000;
    for (const auto &k : kCases) {
        SCOPED_TRACE(k.iCount);
        c.bEnabled = k.bEnabled, c.bAnalysisOn = k.bAnalysisOn, c.iAnalysisCount = k.iCount;
        ui.texts.clear();
        NKSetTestClock(true, uClock += 400);
        NKCalculateAnimationSpeedup(8, pGeo);
        EXPECT_EQ(ui.GetProgressPosition(), k.iPosition);
        EXPECT_EQ(ui.texts, k.pszText != nullptr ? std::vector<std::string>{k.pszText}
                                                 : std::vector<std::string>{});
    }
    NKEndProgressBar(nullptr);
    NKSetProgressUI(nullptr);
    NKResetProgressState();
    c.bEnabled = c.bAnalysisOn = 0;
    c.iFramesToAnalyse = c.iAnalysisCount = 0;
}

}  // namespace
