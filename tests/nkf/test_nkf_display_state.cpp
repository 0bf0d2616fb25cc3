// tests/nkf/test_nkf_display_state.cpp -- the display-state steps of an NKF
// file as the open command runs them: what each applies to the records the
// lower folders keep and which commands it builds (caught by a recording
// command handler), on the beam example with display-state blocks added in
// either byte order.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_open_commands.h"
#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "core/nk_transform_tables.h"
#include "core/nk_view_state.h"
#include "nkf/nkf_display_state.h"
#include "nkf/nkf_import.h"
#include "readers/nk_data_source.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/nkf/nkf_state_block_writer.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_example_models.h"
#include "tests/test_support/nkf_example_twins.h"
#include "tests/test_support/nkf_test_parse.h"
#include "tests/test_support/test_files.h"

namespace {

std::vector<std::string> g_Recorded;

// Takes every command and keeps its line.
int RecordingHandler(CommandTableEntry *pEntry, const char *pszArguments)
{
    std::string args = pszArguments != nullptr ? pszArguments : "";
    if (args.rfind("PARAMS", 0) == 0) args = args.substr(6);
    while (!args.empty() && args[0] == ' ') args.erase(0, 1);
    g_Recorded.push_back(std::string(pEntry->name) + (args.empty() ? "" : " " + args));
    return NK_CMD_DONE;
}

class NKFDisplayState : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallDataSources();
        NKRegisterFileCommands();
        m_Dir = NKTestMakeTempDir("quolin_nkf_display_");
    }
    void TearDown() override
    {
        NKSetCommandHandler(NK_HANDLER_FILES, m_pSaved);
        NKRegisterFileCommands();
        NKCloseInterface();
        NKFCloseInterface();
        NKTestRemoveDir(m_Dir);
        NKSetModelHooks(m_SavedHooks);
        NKModelTest::TearDown();
    }
    // Opens the beam with the blocks the function appends, then records
    // every command run after it.
    template <class F>
    void Open(bool bBig, F appendBlocks)
    {
        NKFTestWriter w = NKFExampleBinaryTwin(NKFBeamExampleText(), bBig);
        appendBlocks(w);
        std::string path = m_Dir + "/state.nkf";
        ASSERT_TRUE(NKTestWriteBytes(path, w.Data()));
        ASSERT_EQ(ExecuteCommand(("open \"" + path + "\"").c_str()), 0) << m_Capture.Text();
        g_Recorded.clear();
        m_Capture.Clear();
        m_pSaved = NKSetCommandHandler(NK_HANDLER_FILES, RecordingHandler);
    }
    int Count(const std::string &line) const
    {
        int n = 0;
        for (const std::string &r : g_Recorded) n += r == line ? 1 : 0;
        return n;
    }

    NKModelHooks m_SavedHooks;
    NKCommandHandler m_pSaved = nullptr;
    MessageCapture m_Capture;
    std::string m_Dir;
};

}  // namespace

TEST_F(NKFDisplayState, WithoutStateBlocksEveryStepIsFalseAndSilent)
{
    Open(false, [](NKFTestWriter &) {});
    bool bAnimate = false;
    EXPECT_FALSE(NKFLoadTextures());
    EXPECT_FALSE(NKFApplyPartAttributes(0, g_pModel->pFrames[0].pGeometry));
    EXPECT_FALSE(NKFApplyItems());
    EXPECT_FALSE(NKFApplySettings(&bAnimate));
    EXPECT_FALSE(NKFApplyTransformations());
    EXPECT_FALSE(NKFApplyQuolinTransformations());
    EXPECT_FALSE(NKFApplyViewpoints());
    EXPECT_FALSE(NKFApplyAnimationSettings());
    EXPECT_FALSE(bAnimate);
    EXPECT_TRUE(g_Recorded.empty());
    EXPECT_EQ(m_Capture.Text(), "");
}

TEST_F(NKFDisplayState, SettingsBuildTheirCommandsInBothByteOrders)
{
    for (bool bBig : {false, true}) {
        SCOPED_TRACE(bBig ? "big" : "little");
        g_AnimationSettings.iFrameInterval = 33;
        Open(bBig, [](NKFTestWriter &w) {
            NKFTestSettings s;
            s.iMainSize = 1228;
            s.main.SetI(197, 25);
            s.main.SetI(152, 0);
            s.main.SetF(198, 1.5f);
            s.main.SetI(244, 0);  // no contours command for 0
            s.main.SetF(83, 2e-7f);
            NKFScalarSettings scalar;
            NKFInitScalarSettings(&scalar);
            scalar.SetF(1, 0.0f);
            scalar.SetF(2, 100.0f);
            s.scalars = {scalar, scalar};
            NKFVectorSettings autoScaled, scaled;
            NKFInitVectorSettings(&autoScaled);
            autoScaled.SetI(9, 1);
            autoScaled.SetF(10, 0.5f);
            autoScaled.SetI(7, 1);
            NKFInitVectorSettings(&scaled);
            scaled.SetI(9, 0);
            scaled.SetF(1, 2.0f);
            s.vectors = {autoScaled};
            AppendSettingsBlock(w, 1, s);
            NKFTestItems items;
            NKFIsoSurfaceItem iso;
            NKFInitIsoSurfaceItem(&iso);
            iso.SetF(1, 0.25f);
            NKFIsoSurfaceItem iso2 = iso;
            iso2.SetF(1, 0.5f);
            items.isos = {iso, iso2};
            NKFNodeItem plot;
            NKFInitNodeItem(&plot);
            plot.SetI(1, 3);
            plot.SetI(2, 1);
            items.plots = {plot};
            AppendItemsBlock(w, 1, items);
        });
        bool bAnimate = true;
        g_VectorSettings.bScalarColor = 0;
        EXPECT_TRUE(NKFApplySettings(&bAnimate));
        EXPECT_FALSE(bAnimate);
        EXPECT_EQ(Count("fringerange 0 100 1"), 1);
        EXPECT_EQ(Count("fringerange 0 100 2"), 1);
        EXPECT_EQ(Count("ascalevectors 0.5 1"), 1);
        EXPECT_EQ(Count("clipfront 2.00000002e-07"), 1);
        for (const std::string &r : g_Recorded) {
            EXPECT_EQ(r.find("scalevectors 2"), std::string::npos) << r;
            EXPECT_EQ(r.find("contours"), std::string::npos) << r;
        }
        EXPECT_EQ(g_VectorSettings.bScalarColor, 1);
        EXPECT_EQ(g_AnimationSettings.iFrameInterval, 40);
        EXPECT_EQ(g_AnimationSettings.iStartDelay, 1500);
        EXPECT_EQ(g_bAutoFringeRange, 0);
        g_Recorded.clear();
        EXPECT_TRUE(NKFApplyItems());
        EXPECT_EQ(Count("isosurface 0.25"), 1);
        EXPECT_EQ(Count("isosurface 0.5"), 0);
        // "np add" keeps its second word in the arguments.
        EXPECT_EQ(Count("np add add 1,3") + Count("np add 1,3"), 1);
        NKSetCommandHandler(NK_HANDLER_FILES, m_pSaved);
    }
}

TEST_F(NKFDisplayState, VectorScaleAndFrameRateWords)
{
    struct Case {
        int32_t iFps;
        int32_t iExpectedInterval;
    } cases[] = {{25, 40}, {0, 33}, {-5, 33}};
    for (const Case &c : cases) {
        g_AnimationSettings.iFrameInterval = 33;
        Open(false, [&](NKFTestWriter &w) {
            NKFTestSettings s;
            s.iMainSize = 1228;
            s.main.SetI(197, c.iFps);
            NKFVectorSettings scaled;
            NKFInitVectorSettings(&scaled);
            scaled.SetI(9, 0);
            scaled.SetF(1, 2.0f);
            s.vectors = {scaled};
            AppendSettingsBlock(w, 1, s);
        });
        bool bAnimate = false;
        EXPECT_TRUE(NKFApplySettings(&bAnimate));
        EXPECT_FALSE(bAnimate);
        EXPECT_EQ(g_AnimationSettings.iFrameInterval, c.iExpectedInterval) << c.iFps;
        ASSERT_GE(g_Recorded.size(), 2u);
        EXPECT_EQ(Count("noascalevectors 1"), 1);
        EXPECT_EQ(Count("scalevectors 2 0 0 1"), 1);
        NKSetCommandHandler(NK_HANDLER_FILES, m_pSaved);
    }
}

// Word 243 of the main settings record: drawing during the animation set-up
// off (0), on (any other value) or left as it is (unset, -1).
TEST_F(NKFDisplayState, DrawingDuringTheSetUpWord)
{
    const struct {
        int32_t iWord;
        int iOff, iOn;  // how often each line runs
    } cases[] = {{0, 1, 0}, {1, 0, 1}, {-1, 0, 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.iWord);
        Open(false, [&](NKFTestWriter &w) {
            NKFTestSettings s;
            s.iMainSize = 1228;
            s.main.SetI(243, c.iWord);
            AppendSettingsBlock(w, 1, s);
        });
        bool bAnimate = false;
        EXPECT_TRUE(NKFApplySettings(&bAnimate));
        EXPECT_EQ(Count("nodrawanimationsetup"), c.iOff);
        EXPECT_EQ(Count("drawanimationsetup"), c.iOn);
        NKSetCommandHandler(NK_HANDLER_FILES, m_pSaved);
    }
}

// An export names its part attributes from the geometry rows; its first
// record is changed to alpha 0.5, line drawing and unset colours.
TEST_F(NKFDisplayState, PartAttributesKeepUnsetFields)
{
    Open(false, [](NKFTestWriter &) {});
    NKSetCommandHandler(NK_HANDLER_FILES, m_pSaved);
    std::string out = m_Dir + "/pa.nkf";
    ASSERT_EQ(ExecuteCommand(("export nkf \"" + out + "\"").c_str()), 0) << m_Capture.Text();
    std::string bytes = NKTestReadFile(out);
    const int32_t aiHead[] = {1017, 0, 12};
    size_t at = bytes.find(std::string(reinterpret_cast<const char *>(aiHead), sizeof aiHead));
    ASSERT_NE(at, std::string::npos);
    size_t record = at + 5 * 4;
    auto patch = [&](int iWord, float f) { std::memcpy(&bytes[record + 4 * iWord], &f, 4); };
    for (int w = 12; w < 24; w++) patch(w, -1.0f);
    patch(26, 0.5f);
    int32_t iLines = NK_DRAW_LINES;
    std::memcpy(&bytes[record + 4], &iLines, 4);
    ASSERT_TRUE(NKTestWriteText(out, bytes));
    ASSERT_EQ(ExecuteCommand(("open \"" + out + "\"").c_str()), 0) << m_Capture.Text();
    NKGeometry *pGeo = g_pModel->pFrames[0].pGeometry;
    ASSERT_NE(pGeo, nullptr);
    NKPart &part = pGeo->pParts[0];
    part.material.alpha = 0;
    part.iDrawStyle = NK_DRAW_SURFACE;
    NKMaterial before = part.material;
    ASSERT_TRUE(NKFApplyPartAttributes(0, pGeo)) << m_Capture.Text();
    EXPECT_EQ(part.material.alpha, 127);
    EXPECT_EQ(part.iDrawStyle, NK_DRAW_LINES);
    for (int c = 0; c < 3; c++) {
        EXPECT_EQ(part.material.ambient[c], before.ambient[c]);
        EXPECT_EQ(part.material.emission[c], before.emission[c]);
    }
}

TEST_F(NKFDisplayState, TransformationsByIdAndWithoutMatrices)
{
    std::string base = NKFBeamExampleText();
    std::vector<std::string> matrix = {"1 0 0", "0 1 0", "0 0 1", "5 6 7"};
    struct Case {
        std::vector<std::string> block;
        bool bApplied;
    } cases[] = {
        {{"*TRANSFORMATIONS 1", "%WITH_ID", "%STEP 1", "999"}, true},
        {{"*TRANSFORMATIONS 1", "%STEP 1"}, false},
    };
    cases[0].block.insert(cases[0].block.end(), matrix.begin(), matrix.end());
    for (const Case &c : cases) {
        std::string text = base;
        for (const std::string &line : c.block) text += line + "\n";
        std::string path = m_Dir + "/tr.nkf";
        ASSERT_TRUE(NKTestWriteText(path, text));
        ASSERT_EQ(ExecuteCommand(("open \"" + path + "\"").c_str()), 0) << m_Capture.Text();
        m_Capture.Clear();
        EXPECT_EQ(NKFApplyTransformations(), c.bApplied);
        if (!c.bApplied) {
            EXPECT_TRUE(m_Capture.HasLine(
                "No transformation found in transformation block with ID = 1", NK_MSG_ERROR))
                << m_Capture.Text();
            continue;
        }
        const NKFrame &frame = g_pModel->pFrames[0];
        ASSERT_NE(frame.pTransformation, nullptr);
        for (int p = 0; p < frame.pGeometry->iNumParts; p++)
            for (int k = 0; k < 16; k++)
                EXPECT_EQ(frame.pTransformation[16 * p + k], k % 5 == 0 ? 1.0f : 0.0f);
    }
}

// An export of the beam with its display state, cut at every byte of the
// display-state blocks and with their header words changed: every block
// loads or fails cleanly (the sanitizers watch the reads).
TEST_F(NKFDisplayState, DamagedExportFailsCleanly)
{
    Open(false, [](NKFTestWriter &) {});
    NKSetCommandHandler(NK_HANDLER_FILES, m_pSaved);
    std::string out = m_Dir + "/damaged.nkf";
    ASSERT_EQ(ExecuteCommand(("export nkf \"" + out + "\"").c_str()), 0) << m_Capture.Text();
    NKFCloseInterface();
    std::string bytes = NKTestReadFile(out);
    const int32_t aiHead[] = {1017, 0, 12};
    size_t first = bytes.find(std::string(reinterpret_cast<const char *>(aiHead), sizeof aiHead));
    ASSERT_NE(first, std::string::npos);
    std::string path = m_Dir + "/cut.nkf";
    for (size_t n = first; n < bytes.size(); n++) {
        ASSERT_TRUE(NKTestWriteText(path, bytes.substr(0, n)));
        NKFExerciseEveryBlock(path);
    }
    // Header words of the part attributes and settings (no tools here, so
    // no items): sizes and counts.
    const int32_t aiCodes[] = {1017, 1018};
    for (int32_t iCode : aiCodes) {
        size_t at = bytes.find(std::string(reinterpret_cast<const char *>(&iCode), 4), first);
        ASSERT_NE(at, std::string::npos) << iCode;
        for (size_t w = at + 8; w < at + 8 + 28; w += 4) {
            for (int32_t iValue : {-1, 0, 3, 0x7fffffff}) {
                std::string bad = bytes;
                std::memcpy(&bad[w], &iValue, 4);
                ASSERT_TRUE(NKTestWriteText(path, bad));
                NKFExerciseEveryBlock(path);
            }
        }
    }
}

// Two viewpoints: two frames, each with a viewpoint of its own in display
// coordinates, the up direction of unit length, and the table filled.
TEST_F(NKFDisplayState, ViewpointsGiveEveryFrameItsOwn)
{
    std::string text = NKFBeamExampleText() + "*VIEWPOINTS 1\n%STEP 1\n0 0 5\n0 0 0\n0 3 0\n" +
                       "%STEP 2\n0 0 6\n1 0 0\n0 0 2\n";
    std::string path = m_Dir + "/vp.nkf";
    ASSERT_TRUE(NKTestWriteText(path, text));
    ASSERT_EQ(ExecuteCommand(("open \"" + path + "\"").c_str()), 0) << m_Capture.Text();
    ASSERT_TRUE(NKFApplyViewpoints());
    ASSERT_EQ(g_pModel->iNumFrames, 2);
    const NKViewPoint *p0 = g_pModel->pFrames[0].pViewPoint;
    const NKViewPoint *p1 = g_pModel->pFrames[1].pViewPoint;
    ASSERT_NE(p0, nullptr);
    ASSERT_NE(p1, nullptr);
    EXPECT_NE(p0, p1);
    EXPECT_EQ(p0->iNumRef, 1);
    float afEye[3] = {0, 0, 6};
    ModelToDisplay(afEye);
    for (int a = 0; a < 3; a++) EXPECT_FLOAT_EQ(p1->eye[a], afEye[a]);
    EXPECT_NEAR(p0->vup[1], 1.0f, 1e-6f);
    EXPECT_NEAR(p1->vup[2], 1.0f, 1e-6f);
    EXPECT_EQ(g_ViewPointTable.m_iCount, 2);
    EXPECT_EQ(g_pModel->pFrames[1].iStepIndex, 1);
}
