// tests/readers/test_lsdyna_th.cpp -- the LS-DYNA time-history database as
// plot source 0, through LSDynaTimeHistorySource only: a one-brick database
// built word by word (in every word size and byte order), its categories,
// components, series and curves, its geometry, the plot titles, damaged
// copies that must fail with their list's message and leave the source
// closed, and copies changed on disk after the open, whose curves are
// refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "core/nk_diagnostic.h"
#include "core/nk_element_types.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_plot_records.h"
#include "core/nk_string.h"
#include "readers/nk_lsdyna_th.h"
#include "tests/test_support/lsdyna_th_brick.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/plot_source_names.h"
#include "tests/test_support/test_files.h"

namespace TH = LSDynaTimeHistorySource;

namespace {

class LSDynaTimeHistory : public ::testing::Test {
protected:
    void SetUp() override { m_Dir = NKTestMakeTempDir("lsdth"); }
    void TearDown() override
    {
        TH::Close();
        NKTestRemoveDir(m_Dir);
    }
    std::string Path() const { return m_Dir + "/d3thdt"; }

    // The curve of a category's component for one series name.
    PlotCurve *Curve(const char *pszCategory, const char *pszComponent, const char *pszName)
    {
        int c = NKTestRank(NKTestTakeNames(TH::GetCategoryNames(), TH::GetCategoryCount()),
                           pszCategory);
        int k = NKTestRank(NKTestTakeNames(TH::GetComponentNames(c), TH::GetComponentCount(c)),
                           pszComponent);
        EXPECT_GE(k, 0) << pszComponent;
        return TH::ReadCurve(c, k, pszName);
    }

    std::string m_Dir;
};

struct Expected {
    const char *pszCategory, *pszComponent, *pszSeries, *pszName, *pszLabel;
    int iId, iSubId;
    float fAt1;
};

}  // namespace

TEST_F(LSDynaTimeHistory, BrickDatabaseOffersItsCurvesInEveryFormat)
{
    const Expected kCurves[] = {
        {"Brick Elements", "Von Mises Effective Stress", "1", "elem 1", "1", 0, 1, 90.0f},
        {"Brick Elements", "Pressure/Average Stress", "1", "elem 1", "1", 0, 1, -30.0f},
        {"Brick Elements", "Maximum Shear Stress", "1", "elem 1", "1", 0, 1, 45.0f},
        {"Brick Elements", "Plastic Strain", "1", "elem 1", "1", 0, 1, 0.5f},
        {"Nodes", "Norm Displacement", "3", "node 3", "3", 4, 3, 0.5f},
        {"Nodes", "Z Displacement", "7", "node 7", "7", 4, 7, 0.4f},
        {"Nodes", "X Coordinate", "2", "node 2", "2", 4, 2, 1.3f},
        {"Materials", "Internal Energy", "1", "mat 1", "1", 5, 1, 7.0f},
        {"Globals", "Kinetic Energy", nullptr, "global", "global", 6, -1, 5.0f}};
    for (int iFormat = 0; iFormat < 3; iFormat++) {
        SCOPED_TRACE(iFormat);
        LSDynaTestWriter w;
        w.iWordSize = iFormat == 1 ? 8 : 4;
        w.bBigEndian = iFormat == 2;
        EXPECT_EQ(LSDynaWriteBrickHistory(&w, {0.0, 1.0}), 68 + 33 + 2 * 102);
        ASSERT_TRUE(w.Save(Path()));
        ASSERT_TRUE(TH::Open(Path().c_str()));
        EXPECT_EQ(TH::GetStateCount(), 2);
        EXPECT_EQ(NKTestTakeNames(TH::GetCategoryNames(), TH::GetCategoryCount()),
                  (std::vector<std::string>{"Brick Elements", "Nodes", "Materials", "Globals"}));
        std::vector<std::string> brick =
            NKTestTakeNames(TH::GetComponentNames(0), TH::GetComponentCount(0));
        ASSERT_EQ(brick.size(), 13u);
        EXPECT_EQ(brick[0], "Von Mises Effective Stress");
        EXPECT_EQ(brick[12], "ZX Shear Stress");
        EXPECT_EQ(NKTestTakeNames(TH::GetSeriesNames(0, 0), TH::GetSeriesCount(0, 0)),
                  std::vector<std::string>{"1"});
        EXPECT_EQ(NKTestTakeNames(TH::GetSeriesNames(1, 0), TH::GetSeriesCount(1, 0)),
                  (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8"}));
        for (const Expected &e : kCurves) {
            SCOPED_TRACE(e.pszComponent);
            PlotCurve *p = Curve(e.pszCategory, e.pszComponent, e.pszSeries);
            ASSERT_NE(p, nullptr);
            EXPECT_STREQ(p->szName.GetText(), e.pszName);
            EXPECT_STREQ(p->szLabel, e.pszLabel);
            EXPECT_EQ(p->iId, e.iId);
            EXPECT_EQ(p->iSubId, e.iSubId);
            EXPECT_EQ(p->iKind, 2);
            EXPECT_EQ(p->iXQuantity, 0);
            EXPECT_EQ(p->iYQuantity, 2);
            ASSERT_EQ(p->iNumPoints, 2);
            EXPECT_FLOAT_EQ(p->pPoints[0].x, 0.0f);
            EXPECT_NEAR(p->pPoints[0].y,
                        e.fAt1 == 7.0f   ? 7.0f
                        : e.fAt1 == 1.3f ? 1.0f
                                         : 0.0f,
                        1e-5);
            EXPECT_FLOAT_EQ(p->pPoints[1].x, 1.0f);
            EXPECT_NEAR(p->pPoints[1].y, e.fAt1, 1e-5);
            NKFreePlotCurve(p);
        }
    }
}

TEST_F(LSDynaTimeHistory, UnknownIdsMakeNoCurvesAndTitlesFollowTheChoice)
{
    LSDynaTestWriter w;
    LSDynaWriteBrickHistory(&w, {0.0, 1.0});
    ASSERT_TRUE(w.Save(Path()));
    ASSERT_TRUE(TH::Open(Path().c_str()));
    int aiIds[4] = {3, 99, 8, -1};
    PlotCurve *apCurves[4] = {nullptr, nullptr, nullptr, nullptr};
    ASSERT_EQ(TH::ReadCurves(1, 0, aiIds, 4, apCurves), 2);
    EXPECT_STREQ(apCurves[0]->szName.GetText(), "node 3");
    EXPECT_STREQ(apCurves[1]->szName.GetText(), "node 8");
    EXPECT_EQ(apCurves[2], nullptr);
    NKFreePlotCurves(apCurves, 2);
    EXPECT_EQ(TH::ReadCurve(0, 0, "2"), nullptr);  // no brick 2
    EXPECT_EQ(TH::ReadCurve(0, 0, nullptr), nullptr);

    PlotRecord plot;
    EXPECT_TRUE(TH::SetDefaults(&plot));
    EXPECT_EQ(plot.iPlotKind, 2);
    EXPECT_EQ(plot.iXAxisQuantity, 2);
    EXPECT_STREQ(plot.szTitle.GetText(), std::string("brick history").append(27, ' ').c_str());
    EXPECT_STREQ(plot.szLegendTitle.GetText(), "?????");
    EXPECT_TRUE(plot.bTitleShown && plot.bXTitleShown && plot.bYTitleShown && plot.bLegendShown);
    EXPECT_TRUE(TH::SetTitles(&plot, 0, 0));
    EXPECT_STREQ(plot.szXTitle.GetText(), "Time");
    EXPECT_STREQ(plot.szYTitle.GetText(), "Von Mises Effective Stress");
    EXPECT_STREQ(plot.szLegendTitle.GetText(), "Brick Elements");
    EXPECT_FALSE(TH::SetTitles(&plot, 4, 0));  // four categories have data
    // No LS-DYNA model is loaded, so the plot needs the database's geometry.
    EXPECT_TRUE(TH::NeedsGeometry());
    NKGeometry *pGeo = TH::ReadGeometry(0);
    ASSERT_NE(pGeo, nullptr);
    EXPECT_EQ(pGeo->iNumParts, 1);
    EXPECT_EQ(pGeo->iTotalNumNodes, 8);
    EXPECT_EQ(pGeo->szDescription, plot.szTitle);
    NKReleaseGeometry(pGeo);
}

TEST_F(LSDynaTimeHistory, OneStateOpensAsGeometryOnly)
{
    LSDynaTestWriter w;
    LSDynaWriteBrickHistory(&w, {0.0});
    ASSERT_TRUE(w.Save(Path()));
    ASSERT_TRUE(TH::Open(Path().c_str()));
    EXPECT_TRUE(TH::IsGeometryOnly());
    EXPECT_EQ(TH::GetCategoryCount(), 0);
    EXPECT_EQ(TH::GetCategoryNames(), nullptr);
    EXPECT_EQ(TH::ReadCurve(0, 0, "1"), nullptr);
    NKGeometry *pGeo = TH::ReadGeometry(0);
    ASSERT_NE(pGeo, nullptr);
    NKReleaseGeometry(pGeo);
}

TEST_F(LSDynaTimeHistory, DamagedDatabasesFailWithTheirListsMessage)
{
    struct Case {
        const char *pszWhat;
        int64_t iCutAfterWord;  // -1: whole
        int iWord, iValue;      // header word changed (0: none)
        int iBrickNode1;        // first brick node in the connectivity
        const char *pszMessage;
    };
    const Case kCases[] = {{"cut after word 66", 66, 0, 0, 1, "Error reading NSTHB."},
                           {"cut in the NDSB list", 64, 0, 0, 1, "Error reading NDSB."},
                           {"cut in the control words", 40, 0, 0, 1, "Error reading LSDYNA file."},
                           {"NDSB range past NUMNP", -1, 16, 7, 1, "Error reading NDSB."},
                           {"NSTHB range past NEL8", -1, 23, 0, 1, "Error reading NSTHB."},
                           {"brick node outside NUMNP", -1, 0, 0, 9, "Error reading NSTHB."},
                           {"huge NSTHB range count", -1, 60, 1 << 30, 1, "Error reading NSTHB."},
                           {"negative NGLBV", -1, 18, -3, 1, "header word NGLBV is out of range"},
                           {"geometry beyond the family", 80, 0, 0, 1,
                            "d3thdt ends inside its geometry, no state is whole."}};
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.pszWhat);
        LSDynaTestWriter w;
        LSDynaTestHeader h = LSDynaBrickHistoryHeader();
        if (c.iWord > 0) h.w[c.iWord] = c.iValue;
        LSDynaWriteHeader(&w, h, "brick history");
        w.Ints({1, 8, 1, 1});
        w.Floats(std::vector<double>(g_adLSDynaBrickCube, g_adLSDynaBrickCube + 24));
        w.Ints({c.iBrickNode1, 2, 3, 4, 5, 6, 7, 8, 1});
        LSDynaWriteBrickHistoryState(&w, 0.0);
        LSDynaWriteBrickHistoryState(&w, 1.0);
        if (c.iCutAfterWord >= 0) w.bytes.resize((size_t)(c.iCutAfterWord + 1) * 4);
        ASSERT_TRUE(w.Save(Path()));
        MessageCapture capture;
        EXPECT_FALSE(TH::Open(Path().c_str()));
        EXPECT_TRUE(capture.Contains(c.pszMessage)) << capture.Text();
        if (std::string(c.pszMessage) == "Error reading LSDYNA file.") {
            EXPECT_TRUE(capture.HasLine("File \"" + Path() + "\".", NK_MSG_ERROR))
                << capture.Text();
        }
        EXPECT_FALSE(TH::IsOpen());
        EXPECT_EQ(TH::GetCategoryCount(), 0);
        EXPECT_EQ(TH::GetStateCount(), 0);
    }
}

// A name that is no file (missing, a folder) opens nothing: the reader's
// error and a line naming the file and why, and the source stays closed.
TEST_F(LSDynaTimeHistory, ANameThatIsNoFileOpensNothingAndSaysWhy)
{
    const struct {
        std::string name, why;
    } kCases[] = {{m_Dir + "/missing", "no such file"}, {m_Dir, "it is a folder"}};
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.name);
        MessageCapture capture;
        EXPECT_FALSE(TH::Open(c.name.c_str()));
        EXPECT_EQ(capture.Text(),
                  "Error reading LSDYNA file.\nFile \"" + c.name + "\": " + c.why + ".");
        EXPECT_FALSE(TH::IsOpen());
        EXPECT_EQ(TH::GetStateCount(), 0);
    }
}

TEST_F(LSDynaTimeHistory, StateThatFitsInAMemberDoesNotRunOnIntoTheNext)
{
    // d3thdt ends inside the third state, whose words would go on in
    // d3thdt01: a state smaller than a member never runs on over its end,
    // so the states end before it, with d3thdt named, and no missing
    // member (d3thdt02) is looked for.
    LSDynaTestWriter w;
    EXPECT_EQ(LSDynaWriteBrickHistory(&w, {0.0, 1.0, 2.0, 3.0}), 68 + 33 + 4 * 102);
    std::vector<uint8_t> all = w.bytes;
    auto At = [&](int64_t iWord) { return all.begin() + (long)(iWord * 4); };
    ASSERT_TRUE(NKTestWriteBytes(Path(), std::vector<uint8_t>(all.begin(), At(101 + 250))));
    ASSERT_TRUE(
        NKTestWriteBytes(Path() + "01", std::vector<uint8_t>(At(101 + 250), At(101 + 350))));
    ASSERT_TRUE(NKTestWriteBytes(Path() + "03", std::vector<uint8_t>(At(101 + 350), all.end())));
    MessageCapture capture;
    ASSERT_TRUE(TH::Open(Path().c_str()));
    EXPECT_TRUE(capture.HasLine("LS-DYNA family file " + Path() +
                                    " ends inside state 3, states end with state 2 at time 1.",
                                NK_MSG_WARNING))
        << capture.Text();
    EXPECT_FALSE(capture.Contains("is missing")) << capture.Text();
    EXPECT_EQ(TH::GetStateCount(), 2);
    PlotCurve *p = TH::ReadCurve(1, 0, "3");  // norm displacement of node 3
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->iNumPoints, 2);
    EXPECT_FLOAT_EQ(p->pPoints[1].x, 1.0f);
    EXPECT_NEAR(p->pPoints[1].y, 0.5f, 1e-5);
    NKFreePlotCurve(p);
}

// A family cut inside a state (inside its words, or inside its first word)
// names the member and the state it ends in and keeps the whole states; it
// once named a next member as missing that was never written.
TEST_F(LSDynaTimeHistory, FamilyCutInsideAStateKeepsTheWholeStates)
{
    LSDynaTestWriter w;
    LSDynaWriteBrickHistory(&w, {0.0, 1.0, 2.0, 3.0});
    const std::vector<uint8_t> all = w.bytes;
    const size_t kState3 = (101 + 2 * 102) * 4, kState4 = kState3 + 102 * 4;
    const struct {
        const char *pszWhat;
        size_t iFirstEnd, iSecondEnd;  // bytes of d3thdt, end of d3thdt01 (0: none)
        const char *pszMember;
        int iStates;
        const char *pszReport;
    } cases[] = {
        {"cut inside state 3", kState3 + 200, 0, "d3thdt", 2,
         " ends inside state 3, states end with state 2 at time 1."},
        {"cut inside the time word of state 3", kState3 + 2, 0, "d3thdt", 2,
         " ends inside state 3, states end with state 2 at time 1."},
        {"second member cut inside state 4", kState4 - 102 * 4, kState4 + 40, "d3thdt", 2,
         " ends after state 2 without its end marker, states end with state 2 at time 1."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszWhat);
        std::remove((Path() + "01").c_str());
        ASSERT_TRUE(NKTestWriteBytes(
            Path(), std::vector<uint8_t>(all.begin(), all.begin() + (long)c.iFirstEnd)));
        if (c.iSecondEnd > 0) {
            ASSERT_TRUE(NKTestWriteBytes(Path() + "01",
                                         std::vector<uint8_t>(all.begin() + (long)c.iFirstEnd,
                                                              all.begin() + (long)c.iSecondEnd)));
        }
        MessageCapture capture;
        ASSERT_TRUE(TH::Open(Path().c_str())) << capture.Text();
        const std::string member = m_Dir + "/" + c.pszMember;
        EXPECT_TRUE(capture.HasLine("LS-DYNA family file " + member + c.pszReport, NK_MSG_WARNING))
            << capture.Text();
        EXPECT_FALSE(capture.Contains("is missing")) << capture.Text();
        EXPECT_EQ(TH::GetStateCount(), c.iStates);
        TH::Close();
    }
}

// A member whose size is not a whole number of words is damaged: the states
// end with the last state lying wholly before its last whole word. d3thdt
// ends 1-3 bytes into the word after state 2's time word, d3thdt01 holds
// the rest from that word: state 1 alone is whole, so the database opens
// as geometry only, with one warning naming d3thdt and where the states
// end; d3thdt01 is not read for states.
TEST_F(LSDynaTimeHistory, MemberCutInsideAWordEndsTheStatesBeforeIt)
{
    LSDynaTestWriter w;
    LSDynaWriteBrickHistory(&w, {0.0, 1.0, 2.0, 3.0});
    const std::vector<uint8_t> all = w.bytes;
    const long kCut = (101 + 102 + 1) * 4;  // the word after state 2's time word
    for (long iPart : {1, 2, 3}) {
        SCOPED_TRACE(iPart);
        const std::vector<uint8_t> first(all.begin(), all.begin() + kCut + iPart);
        ASSERT_TRUE(NKTestWriteBytes(Path(), first));
        ASSERT_TRUE(
            NKTestWriteBytes(Path() + "01", std::vector<uint8_t>(all.begin() + kCut, all.end())));
        MessageCapture capture;
        ASSERT_TRUE(TH::Open(Path().c_str())) << capture.Text();
        EXPECT_TRUE(capture.HasLine("LS-DYNA family file " + Path() +
                                        " ends inside state 2, states end with state 1 at time 0.",
                                    NK_MSG_WARNING))
            << capture.Text();
        EXPECT_EQ(capture.Lines().size(), 1u) << capture.Text();
        EXPECT_EQ(TH::GetStateCount(), 1);
        EXPECT_TRUE(TH::IsGeometryOnly());
        TH::Close();
    }
}

TEST_F(LSDynaTimeHistory, ShellSurfacesBeamsAndShellNodes)
{
    // One shell (nodes 1-4, material 2) and one beam (nodes 5, 6, material
    // 1); MAXINT 3, so a shell's 33 words hold three points of six
    // stresses and a plastic strain, 8 resultants, the thickness, two words
    // and the internal energy.
    LSDynaTestHeader h;
    h.w[15] = 3;   // NDIM
    h.w[16] = 6;   // NUMNP
    h.w[28] = 1;   // NEL2
    h.w[29] = 1;   // NUMMAT2
    h.w[30] = 6;   // NV1D
    h.w[31] = 1;   // NEL4
    h.w[32] = 1;   // NUMMAT4
    h.w[33] = 33;  // NV2D
    h.w[36] = 3;   // MAXINT
    h.w[43] = h.w[44] = h.w[46] = 1000;
    h.w[59] = 2;  // element-block ranges
    h.w[61] = 1;  // NSTBB
    h.w[62] = 1;  // NSTSB
    LSDynaTestWriter w;
    LSDynaWriteHeader(&w, h, "shell history");
    w.Ints({1, 1, 1, 1});  // NSTBB (1, 1), NSTSB (1, 1)
    w.Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 5, 5, 5, 6, 5, 5});
    w.Ints({5, 6, 0, 0, 0, 1});  // beam
    w.Ints({1, 2, 3, 4, 2});     // shell
    for (double t : {0.0, 1.0}) {
        w.Float(t);
        w.Float(0);  // shell node block: leading word, node numbers, coordinates, velocities
        w.Ints({1, 2, 3, 4});
        w.Floats({0, 0, 0, 1 + t, 0, 0, 1, 1, 0, 0, 1, 0});
        w.Floats(std::vector<double>(12, 0.0));
        w.Float(0);  // beam block's leading word
        w.Floats({11 * t, 12 * t, 0, 0, 0, 0});
        std::vector<double> shell(33, 0.0);
        shell[0] = 10 * t;   // middle point xx
        shell[7] = 20 * t;   // inner point xx (behind 6 stresses and a strain)
        shell[14] = 30 * t;  // outer point xx
        shell[29] = 0.25;    // thickness
        shell[32] = 4 * t;   // internal energy
        w.Floats(shell);
    }
    ASSERT_TRUE(w.Save(Path()));
    ASSERT_TRUE(TH::Open(Path().c_str()));
    EXPECT_EQ(NKTestTakeNames(TH::GetCategoryNames(), TH::GetCategoryCount()),
              (std::vector<std::string>{"Shell Elements", "Beam Elements", "Nodes"}));
    EXPECT_EQ(NKTestTakeNames(TH::GetSeriesNames(2, 0), TH::GetSeriesCount(2, 0)),
              (std::vector<std::string>{"1", "2", "3", "4"}));
    struct Case {
        int iSurface;
        const char *pszCategory, *pszComponent, *pszSeries;
        float fAt1;
    };
    const Case kCases[] = {{1, "Shell Elements", "X Axis Stress", "1", 10.0f},
                           {0, "Shell Elements", "X Axis Stress", "1", 20.0f},
                           {2, "Shell Elements", "X Axis Stress", "1", 30.0f},
                           {2, "Shell Elements", "Von Mises Effective Stress", "1", 30.0f},
                           {1, "Shell Elements", "Shell Thickness", "1", 0.25f},
                           {1, "Shell Elements", "Internal Energy", "1", 4.0f},
                           {1, "Beam Elements", "S-Shear Force Resultant", "1", 12.0f},
                           {1, "Nodes", "X Displacement", "2", 1.0f},
                           {1, "Nodes", "X Coordinate", "2", 2.0f}};
    for (const Case &c : kCases) {
        SCOPED_TRACE(std::string(c.pszComponent) + " " + std::to_string(c.iSurface));
        NKSetShellSurface(c.iSurface);
        PlotCurve *p = Curve(c.pszCategory, c.pszComponent, c.pszSeries);
        ASSERT_NE(p, nullptr);
        ASSERT_EQ(p->iNumPoints, 2);
        EXPECT_NEAR(p->pPoints[1].y, c.fAt1, 1e-5);
        NKFreePlotCurve(p);
    }
    NKSetShellSurface(1);
}

TEST_F(LSDynaTimeHistory, UserNumberingNamesSeriesAndCurves)
{
    // NARBS 22: a sort word and 9 more, 8 node IDs, 1 solid ID and three
    // material arrays of one entry; the materials take the first array.
    LSDynaTestHeader h = LSDynaBrickHistoryHeader();
    h.w[39] = 22;
    LSDynaTestWriter w;
    LSDynaWriteHeader(&w, h, "numbered history");
    w.Ints({1, 8, 1, 1});
    w.Floats(std::vector<double>(g_adLSDynaBrickCube, g_adLSDynaBrickCube + 24));
    w.Ints({1, 2, 3, 4, 5, 6, 7, 8, 1});
    w.Ints({0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    w.Ints({101, 102, 103, 104, 105, 106, 107, 108, 501, 7, 1, 1});
    LSDynaWriteBrickHistoryState(&w, 0.0);
    LSDynaWriteBrickHistoryState(&w, 1.0);
    ASSERT_TRUE(w.Save(Path()));
    ASSERT_TRUE(TH::Open(Path().c_str()));
    EXPECT_EQ(NKTestTakeNames(TH::GetSeriesNames(0, 0), TH::GetSeriesCount(0, 0)),
              std::vector<std::string>{"501"});
    EXPECT_EQ(NKTestTakeNames(TH::GetSeriesNames(1, 0), TH::GetSeriesCount(1, 0))[2], "103");
    EXPECT_EQ(NKTestTakeNames(TH::GetSeriesNames(2, 0), TH::GetSeriesCount(2, 0)),
              std::vector<std::string>{"7"});
    PlotCurve *p = Curve("Nodes", "Norm Displacement", "103");
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->szName.GetText(), "node 103");
    EXPECT_EQ(p->iSubId, 103);
    EXPECT_NEAR(p->pPoints[1].y, 0.5f, 1e-5);
    NKFreePlotCurve(p);
    EXPECT_EQ(Curve("Nodes", "Norm Displacement", "3"), nullptr);  // internal numbers are not IDs
}

// A database changed on disk after its open, as a rerun or a copy over it
// changes it: a curve is read while every word the open listed for each
// state is there and each state's time word still holds its listed time,
// bit for bit. Zeros in place (the last five states, a middle one), a time
// word changed (0 to -0 among them), a cut inside the last state after the
// words the curves read, by the file's last word alone, at a state's end
// or inside a time word, in one file, in a member of a family or in a
// member of a family split over members inside its states (the member
// after one whose last word is a state's time word among them): the read
// is refused with one error naming the member, and no curve is made. A
// member that only grew gives the curves as at the open.
TEST_F(LSDynaTimeHistory, ChangedAfterTheOpenRefusesTheCurvesNamingTheMember)
{
    // Ten states at times 0 to 9, 102 words each from word 101 (or 1,102
    // with 1,000 more globals: the time word is then read apart from the
    // values). The two-member form holds states 1-5 and the end marker in
    // d3thdt (612 words) and states 6-10 in d3thdt01 (510 words); the split
    // form (states of 1,102 words) is the whole stream and the end marker
    // written on over members of one 512-word block, as a writer that splits
    // states fills them: state 1 ends 179 words into d3thdt02, where state 2
    // begins, state 10 runs from d3thdt19 into d3thdt21, the last, padded.
    enum Change { kZeros, kSetWord, kCut, kGrow, kMinusZero };
    enum Form { kOneFile, kTwoMembers, kSplit };
    const struct Case {
        const char *pszWhat;
        int iWordSize;
        int iPad;  // globals added to each state
        Form form;
        const char *pszMember;
        Change change;
        int64_t iFrom, iTo;  // words of the member: zeroed [iFrom, iTo), the word
                             // iFrom set to iTo (or to -0), or the member's new length
        int iExtraBytes;     // bytes of a part word after a cut
        bool bRefused;
    } kCases[] = {
        {"last five states zeroed", 4, 0, kOneFile, "d3thdt", kZeros, 611, 1121, 0, true},
        {"states of 1,102 words, the last five zeroed", 4, 1000, kOneFile, "d3thdt", kZeros, 5611,
         11121, 0, true},
        {"states of 1,102 words, a time word changed", 4, 1000, kOneFile, "d3thdt", kSetWord, 6713,
         7, 0, true},
        {"states of 1,102 words, cut inside the last state after the words read", 4, 1000, kOneFile,
         "d3thdt", kCut, 11069, 0, 0, true},
        {"states of 1,102 words, cut by its last word", 4, 1000, kOneFile, "d3thdt", kCut, 11120, 0,
         0, true},
        {"states of 1,102 words, time 0 written as -0", 4, 1000, kOneFile, "d3thdt", kMinusZero,
         101, 0, 0, true},
        {"states of 1,102 words, grown", 4, 1000, kOneFile, "d3thdt", kGrow, 11200, 0, 0, false},
        {"last five states zeroed, 8-byte words", 8, 0, kOneFile, "d3thdt", kZeros, 611, 1121, 0,
         true},
        {"cut by its last word, 8-byte words", 8, 0, kOneFile, "d3thdt", kCut, 1120, 0, 0, true},
        {"time 0 written as -0, 8-byte words", 8, 0, kOneFile, "d3thdt", kMinusZero, 101, 0, 0,
         true},
        {"one middle state zeroed", 4, 0, kOneFile, "d3thdt", kZeros, 509, 611, 0, true},
        {"a time word changed", 4, 0, kOneFile, "d3thdt", kSetWord, 713, 7, 0, true},
        {"time 0 written as -0", 4, 0, kOneFile, "d3thdt", kMinusZero, 101, 0, 0, true},
        {"cut inside the last state, after the words read", 4, 0, kOneFile, "d3thdt", kCut, 1069, 0,
         0, true},
        {"cut by its last word", 4, 0, kOneFile, "d3thdt", kCut, 1120, 0, 0, true},
        {"cut at a state's end", 4, 0, kOneFile, "d3thdt", kCut, 917, 0, 0, true},
        {"cut inside a time word", 4, 0, kOneFile, "d3thdt", kCut, 917, 0, 2, true},
        {"grew by a state", 4, 0, kOneFile, "d3thdt", kGrow, 1223, 0, 0, false},
        {"second member cut inside its last state", 4, 0, kTwoMembers, "d3thdt01", kCut, 500, 0, 0,
         true},
        {"first member cut inside its last state, after the words read", 4, 0, kTwoMembers,
         "d3thdt", kCut, 569, 0, 0, true},
        {"first member cut before its end marker", 4, 0, kTwoMembers, "d3thdt", kCut, 611, 0, 0,
         false},
        {"second member zeroed", 4, 0, kTwoMembers, "d3thdt01", kZeros, 0, 510, 0, true},
        {"first member grew", 4, 0, kTwoMembers, "d3thdt", kGrow, 700, 0, 0, false},
        {"second member grew by a state", 4, 0, kTwoMembers, "d3thdt01", kGrow, 612, 0, 0, false},
        {"split, a member inside state 1 cut by its last word", 4, 1000, kSplit, "d3thdt01", kCut,
         511, 0, 0, true},
        {"split, the member state 2 begins in cut by its last word", 4, 1000, kSplit, "d3thdt02",
         kCut, 511, 0, 0, true},
        {"split, the member state 2 begins in cut where state 2 begins", 4, 1000, kSplit,
         "d3thdt02", kCut, 179, 0, 0, true},
        {"split, a member inside state 10 cut by its last word", 4, 1000, kSplit, "d3thdt20", kCut,
         511, 0, 0, true},
        {"split, a member inside state 10 cut to three words", 4, 1000, kSplit, "d3thdt20", kCut, 3,
         0, 0, true},
        {"split, 8-byte words, a member inside state 5 cut by its last word", 8, 1000, kSplit,
         "d3thdt09", kCut, 511, 0, 0, true},
        {"split, state 1's time 0 written as -0", 4, 1000, kSplit, "d3thdt", kMinusZero, 101, 0, 0,
         true},
        {"split, the last member cut after the end marker", 4, 1000, kSplit, "d3thdt21", kCut, 371,
         0, 0, false},
        // States of 922 words (read with their time word in one read) and
        // of 1,106: a state's time word is its member's last word, its
        // first values the next member's first words; that member cut.
        {"split, state 2's time the last word of d3thdt01, d3thdt02 cut to three words", 4, 820,
         kSplit, "d3thdt02", kCut, 3, 0, 0, true},
        {"split, state 2's time the last word of d3thdt01, d3thdt02 cut to nothing", 4, 820, kSplit,
         "d3thdt02", kCut, 0, 0, 0, true},
        {"split, 8-byte words, state 2's time the last word of d3thdt01, d3thdt02 cut to three "
         "words",
         8, 820, kSplit, "d3thdt02", kCut, 3, 0, 0, true},
        {"split, state 6's time the last word of d3thdt10, d3thdt11 cut to three words", 4, 1004,
         kSplit, "d3thdt11", kCut, 3, 0, 0, true},
        {"split, state 6's time the last word of d3thdt10, d3thdt11 cut by its last word", 4, 1004,
         kSplit, "d3thdt11", kCut, 511, 0, 0, true},
    };
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.pszWhat);
        for (int m = 1; m < 30; m++)
            std::remove(NKString::FromFormat("%s%02d", Path().c_str(), m).GetText());
        LSDynaTestWriter w;
        w.iWordSize = c.iWordSize;
        LSDynaTestHeader h = LSDynaBrickHistoryHeader();
        h.w[18] += c.iPad;  // NGLBV
        LSDynaWriteBrickHistory(&w, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, h);
        const long kBytes = c.iWordSize;
        std::vector<uint8_t> all(w.bytes.begin(), w.bytes.begin() + 101 * kBytes);
        for (long k = 0; k < 10; k++) {
            auto At = [&](long iWord) {
                return w.bytes.begin() + (101 + 102 * k + iWord) * kBytes;
            };
            all.insert(all.end(), At(0), At(13));  // the time and 12 globals
            all.insert(all.end(), (size_t)(c.iPad * kBytes), 0);
            all.insert(all.end(), At(13), At(102));
        }
        LSDynaTestWriter marker;
        marker.iWordSize = c.iWordSize;
        marker.Float(-999999.0);
        // The members' names and bytes.
        std::vector<std::pair<std::string, std::vector<uint8_t>>> members;
        if (c.form == kOneFile) members.push_back({"d3thdt", all});
        if (c.form == kTwoMembers) {
            std::vector<uint8_t> first(all.begin(), all.begin() + 611 * kBytes);
            first.insert(first.end(), marker.bytes.begin(), marker.bytes.end());
            members.push_back({"d3thdt", first});
            members.push_back(
                {"d3thdt01", std::vector<uint8_t>(all.begin() + 611 * kBytes, all.end())});
        }
        if (c.form == kSplit) {
            all.insert(all.end(), marker.bytes.begin(), marker.bytes.end());
            const size_t iMember = 512 * (size_t)kBytes;
            all.resize((all.size() + iMember - 1) / iMember * iMember, 0);
            for (size_t at = 0; at < all.size(); at += iMember)
                members.push_back(
                    {at == 0 ? std::string("d3thdt")
                             : NKString::FromFormat("d3thdt%02d", (int)members.size()).GetText(),
                     std::vector<uint8_t>(all.begin() + (long)at,
                                          all.begin() + (long)(at + iMember))});
            if (c.iPad == 1000) {
                ASSERT_EQ(members.size(), 22u);
            }
        }
        std::vector<uint8_t> bytes;
        for (const auto &m : members) {
            ASSERT_TRUE(NKTestWriteBytes(m_Dir + "/" + m.first, m.second));
            if (m.first == c.pszMember) bytes = m.second;
        }
        ASSERT_FALSE(bytes.empty());
        MessageCapture capture;
        ASSERT_TRUE(TH::Open(Path().c_str()));
        ASSERT_EQ(TH::GetStateCount(), 10) << capture.Text();
        // Norm displacement of nodes 3 and 7 as at the open.
        int aiIds[2] = {3, 7};
        PlotCurve *apBefore[2] = {nullptr, nullptr}, *apAfter[2] = {nullptr, nullptr};
        ASSERT_EQ(TH::ReadCurves(1, 0, aiIds, 2, apBefore), 2);
        const std::string member = m_Dir + "/" + c.pszMember;
        LSDynaTestWriter add;
        add.iWordSize = c.iWordSize;
        if (c.change == kZeros)
            std::fill(bytes.begin() + c.iFrom * kBytes, bytes.begin() + c.iTo * kBytes, 0);
        if (c.change == kSetWord || c.change == kMinusZero) {
            add.Float(c.change == kMinusZero ? -0.0 : (double)c.iTo);
            std::copy(add.bytes.begin(), add.bytes.end(), bytes.begin() + c.iFrom * kBytes);
        }
        if (c.change == kCut) bytes.resize((size_t)(c.iFrom * kBytes + c.iExtraBytes));
        if (c.change == kGrow) {
            LSDynaWriteBrickHistoryState(&add, 10.0);
            bytes.insert(bytes.end(), add.bytes.begin(), add.bytes.end());
            bytes.resize((size_t)(c.iFrom * kBytes));
        }
        ASSERT_TRUE(NKTestWriteBytes(member, bytes));
        capture.Clear();
        const int n = TH::ReadCurves(1, 0, aiIds, 2, apAfter);
        EXPECT_EQ(TH::ReadRefused(), c.bRefused);
        if (c.bRefused) {
            EXPECT_EQ(n, 0);
            EXPECT_EQ(apAfter[0], nullptr);
            EXPECT_EQ(apAfter[1], nullptr);
            EXPECT_EQ(capture.Text(), "LS-DYNA file " + member +
                                          ": the curves are refused, the file changed on disk "
                                          "after it was opened.");
            EXPECT_TRUE(capture.HasLine(capture.Text(), NK_MSG_ERROR));
        } else {
            EXPECT_EQ(n, 2);
            EXPECT_EQ(capture.Text(), "");
            for (int i = 0; i < n; i++) {
                ASSERT_EQ(apAfter[i]->iNumPoints, 10);
                for (int k = 0; k < 10; k++) {
                    EXPECT_EQ(apAfter[i]->pPoints[k].x, apBefore[i]->pPoints[k].x) << k;
                    EXPECT_EQ(apAfter[i]->pPoints[k].y, apBefore[i]->pPoints[k].y) << k;
                }
            }
        }
        NKFreePlotCurves(apBefore, 2);
        NKFreePlotCurves(apAfter, 2);
        TH::Close();
    }
}
