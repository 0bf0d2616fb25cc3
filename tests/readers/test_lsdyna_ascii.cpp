// tests/readers/test_lsdyna_ascii.cpp -- the LS-DYNA ASCII output files as
// plot source 1, through LSDynaAsciiPlotSource only: the real files of an
// R14 run read in place, fixtures of our own for every kind, files that
// changed since the scan, and every fixture cut at every byte.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/nk_memory.h"
#include "core/nk_plot_records.h"
#include "readers/nk_lsdyna_ascii.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace AS = LSDynaAsciiPlotSource;

namespace {

const char *const kReadError = "Error reading plot data from LSDYNA ASCII file.";

std::string TestDataDir(void) { return NKTestSharedDataDir() + "/lsdyna/pladebuk/ascii"; }

std::vector<std::string> Names(char **ppNames, int n)
{
    std::vector<std::string> v;
    for (int i = 0; i < n && ppNames != nullptr; i++) v.push_back(ppNames[i]);
    NKFreeBlockArray((void **)ppNames, n);
    return v;
}

std::vector<std::string> Components(int c)
{
    return Names(AS::GetComponentNames(c), AS::GetComponentCount(c));
}
std::vector<std::string> Series(int c)
{
    return Names(AS::GetSeriesNames(c, 0), AS::GetSeriesCount(c, 0));
}

// A GLSTAT line: the label padded with dots to 32 characters, then the
// number right-aligned in characters 34 to 45, as the solver prints it.
std::string GlstatLine(const std::string &label, const char *pszNumber, size_t iWidth = 32)
{
    std::string line = " " + label;
    line.resize(iWidth, '.');
    char buf[32];
    std::snprintf(buf, sizeof(buf), "  %12s\n", pszNumber);
    return line + buf;
}

std::string GlstatState(int iCycle, const char *pszTime, const char *pszKinetic,
                        const char *pszTimePer)
{
    return " dt of cycle " + std::to_string(iCycle) + " is controlled by shell 12\n\n" +
           GlstatLine("time", pszTime) + GlstatLine("time step", "1.00000E-01") +
           GlstatLine("kinetic energy", pszKinetic) + GlstatLine("internal energy", "2.00000E+00") +
           GlstatLine("eroded kinetic energy", "9.00000E+00") +
           GlstatLine("total energy", "3.00000E+00") +
           GlstatLine("total energy / initial energy", "1.00000E+00") +
           GlstatLine("stonewall energy wall# 1 ", "4.00000E+00") +
           GlstatLine("time per zone cycle.(nanosec)", pszTimePer) + "\n";
}

const char *const kTitle = " fixture run\n ls-dyna version line\n\n";

// Fixtures of every kind, in the old and the new layouts.
struct Fixture {
    const char *pszFile;
    std::string text;
};

std::vector<Fixture> Fixtures(void)
{
    std::string deforcBlock;
    for (int t = 0; t < 2; t++) {
        deforcBlock += GlstatLine("time", t == 0 ? "0.00000E+00" : "1.00000E+00");
        for (int s : {5, 6}) {
            deforcBlock += " spring/damper number " + std::to_string(s) + "\n";
            deforcBlock += GlstatLine("x-force", t == 0 ? "1.00000E+00" : "-2.50000E+00", 30);
            deforcBlock += GlstatLine("y-force", "0.00000E+00", 30);
            deforcBlock += GlstatLine("resultant force", "2.50000E+00", 30);
        }
    }
    const char *pszNodHeader = " nodal point  x-disp     y-disp      z-disp      x-vel       y-vel "
                               "      z-vel      x-accl      "
                               "y-accl      z-accl      x-coor      y-coor      z-coor\n";
    std::string nodout;
    for (int t = 0; t < 2; t++) {
        nodout +=
            std::string(" n o d a l   p r i n t   o u t   f o r   t i m e  s t e p ( at time ") +
            (t == 0 ? "0.0000000E+00" : "1.0000000E+00") + " )\n\n" + pszNodHeader;
        nodout += "       1  0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8 0.9 1.0 1.1 1.2\n";
        nodout += "       2  " + std::to_string(t + 1) + ".5 0 0 7.0 0 0 0 0 0 0 0 0\n\n";
    }
    return {
        {"GLSTAT", kTitle + GlstatState(1, "0.00000E+00", "1.00000E+00", "12") +
                       GlstatState(2, "1.00000E+00", "5.00000E+00", "13")},
        {"RCFORC", std::string(kTitle) + "  master     1 time 1.0 x 3.0 y -4.0 z 0.0 mass 2.0\n"},
        {"TRHIST",
         " tracer particles\n 2 9\n x y z vx vy vz\n sx sy sz\n 0.5\n 0 0 0 0 0 0\n 1 2 3\n"
         " 0 0 0 0 0 0\n 4 5 6\n"},
        {"MATSUM",
         std::string(kTitle) +
             " time =   0.0000E+00\n mat.#=    1   inten=   1.0E+00   kinen=   2.0E+00\n"
             " x-mom=   0.0E+00   y-mom=   0.0E+00\n mat.#=    2   inten=   3.0E+00   kinen=   "
             "4.0E+00\n x-mom=   0.0E+00   y-mom=   0.0E+00\n\n time =   1.0000E+00\n mat.#=    "
             "1   inten=   5.0E+00   kinen=   6.0E+00\n x-mom=   0.0E+00   y-mom=   0.0E+00\n"
             " mat.#=    2   inten=   7.0E+00   kinen=   8.0E+00\n x-mom=   1.0E+00   y-mom=   "
             "0.0E+00\n"},
        {"ABSTAT", std::string(kTitle) +
                       " time  airbag  volume  pressure  internal energy  total mass\n"
                       "  0.0   1   1.0  2.0  3.0  4.0\n  0.0   2   5.0  6.0  7.0  8.0\n"
                       " time  airbag  volume  pressure  internal energy  total mass\n"
                       "  1.0   1   1.5  2.5  3.5  4.5\n  1.0   2   5.5  6.5  7.5  8.5\n"},
        {"NODOUT", nodout},
        {"DEFORC", kTitle + deforcBlock}};
}

class LSDynaAscii : public ::testing::Test {
protected:
    void SetUp() override
    {
        char buf[4096];
        ASSERT_NE(getcwd(buf, sizeof(buf)), nullptr);
        m_Cwd = buf;
        m_Dir = NKTestMakeTempDir("lsdascii");
    }
    void TearDown() override
    {
        AS::Close();
        EXPECT_EQ(chdir(m_Cwd.c_str()), 0);
        NKTestRemoveDir(m_Dir);
    }
    void WriteFixtures(void)
    {
        for (const Fixture &f : Fixtures())
            ASSERT_TRUE(NKTestWriteText(m_Dir + "/" + f.pszFile, f.text));
        ASSERT_EQ(chdir(m_Dir.c_str()), 0);
    }
    // The curve of a category's named component for one series.
    PlotCurve *Curve(int c, const char *pszComponent, const char *pszSeries)
    {
        std::vector<std::string> names = Components(c);
        for (size_t k = 0; k < names.size(); k++)
            if (names[k] == pszComponent) return AS::ReadCurve(c, (int)k, pszSeries);
        ADD_FAILURE() << "no component " << pszComponent;
        return nullptr;
    }

    std::string m_Cwd, m_Dir;
};

struct Point {
    int iCategory;
    const char *pszComponent, *pszSeries;
    int iState;
    float x, y;
};

void ExpectPoints(LSDynaAscii *pTest, const Point *pPoints, size_t n)
{
    (void)pTest;
    for (size_t i = 0; i < n; i++) {
        const Point &p = pPoints[i];
        SCOPED_TRACE(std::string(p.pszComponent) + " of " + p.pszSeries);
        std::vector<std::string> names = Components(p.iCategory);
        int k = -1;
        for (size_t j = 0; j < names.size(); j++)
            if (names[j] == p.pszComponent) k = (int)j;
        ASSERT_GE(k, 0);
        PlotCurve *pCurve = AS::ReadCurve(p.iCategory, k, p.pszSeries);
        ASSERT_NE(pCurve, nullptr);
        EXPECT_STREQ(pCurve->szName.GetText(), p.pszSeries);
        EXPECT_STREQ(pCurve->szLabel, p.pszSeries);
        ASSERT_GT(pCurve->iNumPoints, p.iState);
        EXPECT_FLOAT_EQ(pCurve->pPoints[p.iState].x, p.x);
        EXPECT_FLOAT_EQ(pCurve->pPoints[p.iState].y, p.y);
        NKFreePlotCurve(pCurve);
    }
}

}  // namespace

TEST_F(LSDynaAscii, RealR14FilesInPlace)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    ASSERT_EQ(chdir(TestDataDir().c_str()), 0);
    ASSERT_TRUE(AS::Init(nullptr));
    std::vector<std::string> cats = Names(AS::GetCategoryNames(), AS::GetCategoryCount());
    ASSERT_EQ(cats.size(), 7u);
    EXPECT_EQ(cats[0], "Airbag Statistics (ABSTAT)");
    EXPECT_EQ(cats[6], "Discrete element forces (DEFORC)");
    EXPECT_EQ(
        Components(NK_ASCII_GLSTAT),
        (std::vector<std::string>{
            "Kinetic energy", "Internal energy", "Spring and damper energy", "Houglass energy",
            "System damping energy", "Sliding interface energy", "External work", "Total energy",
            "Total energy/Initial energy", "Global X-velocity", "Global Y-velocity",
            "Global Z-velocity", "Time per zone cycle (ns)"}));
    ASSERT_EQ(Series(NK_ASCII_GLSTAT).size(), 1u);
    std::vector<std::string> mat = Components(NK_ASCII_MATSUM);
    ASSERT_EQ(mat.size(), 9u);
    EXPECT_EQ(mat[0], "Internal Energy");
    EXPECT_EQ(mat[1], "Kinetic Energy");
    EXPECT_EQ(mat[8], "Hourglass Energy");
    EXPECT_EQ(Series(NK_ASCII_MATSUM), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(Series(NK_ASCII_RCFORC),
              (std::vector<std::string>{"80085", "8008", "80086", "8009"}));
    EXPECT_EQ(
        Components(NK_ASCII_RCFORC),
        (std::vector<std::string>{"X force", "Y force", "Z force", "Mass", "Resultant force"}));
    for (int c : {NK_ASCII_ABSTAT, NK_ASCII_TRHIST, NK_ASCII_NODOUT, NK_ASCII_DEFORC}) {
        EXPECT_EQ(AS::GetSeriesCount(c, 0), 0) << c;
        EXPECT_EQ(AS::GetComponentCount(c), 0) << c;
    }
    // The printed numbers, read by hand: one state at time 0.
    std::string glstat = Series(NK_ASCII_GLSTAT)[0];
    const Point kPoints[] = {
        {NK_ASCII_GLSTAT, "Internal energy", glstat.c_str(), 0, 0.0f, 2e-20f},
        {NK_ASCII_GLSTAT, "Spring and damper energy", glstat.c_str(), 0, 0.0f, 1e-20f},
        {NK_ASCII_GLSTAT, "Total energy", glstat.c_str(), 0, 0.0f, 2e-20f},
        {NK_ASCII_GLSTAT, "Total energy/Initial energy", glstat.c_str(), 0, 0.0f, 1.0f},
        {NK_ASCII_GLSTAT, "Time per zone cycle (ns)", glstat.c_str(), 0, 0.0f, 0.0f},
        {NK_ASCII_MATSUM, "Kinetic Energy", "2", 0, 0.0f, 0.0f},
        {NK_ASCII_RCFORC, "X force", "8009", 0, 0.0f, 0.0f},
        {NK_ASCII_RCFORC, "Resultant force", "80085", 0, 0.0f, 0.0f}};
    ExpectPoints(this, kPoints, sizeof(kPoints) / sizeof(kPoints[0]));
    PlotRecord plot;
    EXPECT_TRUE(AS::SetDefaults(&plot));
    EXPECT_STREQ(plot.szTitle.GetText(), "LSDYNA ASCII PLOT");
    EXPECT_EQ(plot.iPlotKind, 3);
    EXPECT_TRUE(AS::SetTitles(&plot, NK_ASCII_GLSTAT, 7));
    EXPECT_STREQ(plot.szLegendTitle.GetText(), "Element");
    EXPECT_STREQ(plot.szTitle.GetText(), "Global Statistics");
    EXPECT_STREQ(plot.szXTitle.GetText(), "Time");
    EXPECT_STREQ(plot.szYTitle.GetText(), "Total energy");
}

TEST_F(LSDynaAscii, FixturesOfEveryKindGiveTheirNumbers)
{
    WriteFixtures();
    ASSERT_TRUE(AS::Init(nullptr));
    EXPECT_EQ(
        Components(NK_ASCII_GLSTAT),
        (std::vector<std::string>{"Kinetic energy", "Internal energy", "Total energy",
                                  "Total energy/Initial energy", "Stonewall energy for wall #1",
                                  "Time per zone cycle (ns)"}));
    EXPECT_EQ(Series(NK_ASCII_GLSTAT), std::vector<std::string>{"12"});
    EXPECT_EQ(Components(NK_ASCII_TRHIST).size(), 10u);
    EXPECT_EQ(Components(NK_ASCII_TRHIST)[9], "Pressure");
    EXPECT_EQ(Series(NK_ASCII_DEFORC), (std::vector<std::string>{"5", "6"}));
    EXPECT_EQ(Components(NK_ASCII_DEFORC),
              (std::vector<std::string>{"X-Force", "Y-Force", "Resultant Force"}));
    EXPECT_EQ(Components(NK_ASCII_NODOUT).size(), 9u);
    EXPECT_EQ(Series(NK_ASCII_ABSTAT), (std::vector<std::string>{"1", "2"}));
    const Point kPoints[] = {{NK_ASCII_RCFORC, "X force", "1", 0, 1.0f, -3.0f},
                             {NK_ASCII_RCFORC, "Y force", "1", 0, 1.0f, 4.0f},
                             {NK_ASCII_RCFORC, "Mass", "1", 0, 1.0f, 2.0f},
                             {NK_ASCII_RCFORC, "Resultant force", "1", 0, 1.0f, 5.0f},
                             {NK_ASCII_TRHIST, "Pressure", "1", 0, 0.5f, -2.0f},
                             {NK_ASCII_TRHIST, "X Stress", "2", 0, 0.5f, 4.0f},
                             {NK_ASCII_TRHIST, "X Stress", "3", 0, 0.5f, 0.0f},  // no particle 3
                             {NK_ASCII_GLSTAT, "Kinetic energy", "12", 0, 0.0f, 1.0f},
                             {NK_ASCII_GLSTAT, "Kinetic energy", "12", 1, 1.0f, 5.0f},
                             {NK_ASCII_GLSTAT, "Total energy", "12", 1, 1.0f, 3.0f},
                             {NK_ASCII_GLSTAT, "Stonewall energy for wall #1", "12", 1, 1.0f, 4.0f},
                             {NK_ASCII_GLSTAT, "Time per zone cycle (ns)", "12", 1, 1.0f, 13.0f},
                             {NK_ASCII_MATSUM, "Kinetic Energy", "2", 1, 1.0f, 8.0f},
                             {NK_ASCII_MATSUM, "Internal Energy", "1", 0, 0.0f, 1.0f},
                             {NK_ASCII_MATSUM, "X-momentum", "2", 1, 1.0f, 1.0f},
                             {NK_ASCII_ABSTAT, "Internal energy", "2", 1, 1.0f, 7.5f},
                             {NK_ASCII_NODOUT, "X Velocity", "2", 1, 1.0f, 7.0f},
                             {NK_ASCII_NODOUT, "X Displacement", "2", 1, 1.0f, 2.5f},
                             {NK_ASCII_NODOUT, "Z Acceleration", "1", 0, 0.0f, 0.9f},
                             {NK_ASCII_DEFORC, "X-Force", "6", 1, 1.0f, -2.5f},
                             {NK_ASCII_DEFORC, "Resultant Force", "5", 0, 0.0f, 2.5f}};
    ExpectPoints(this, kPoints, sizeof(kPoints) / sizeof(kPoints[0]));
    // More series asked for than the scan found fail the read.
    char szOne[] = "1";
    char *apszNames[4] = {szOne, szOne, szOne, szOne};
    PlotCurve *apCurves[4] = {nullptr, nullptr, nullptr, nullptr};
    MessageCapture capture;
    EXPECT_EQ(AS::ReadCurves(NK_ASCII_RCFORC, 0, apszNames, 2, apCurves), 0);
    EXPECT_TRUE(capture.HasLine(kReadError, NK_MSG_ERROR)) << capture.Text();
    EXPECT_EQ(AS::ReadCurves(NK_ASCII_TRHIST, 99, apszNames, 1, apCurves), 0);
    EXPECT_EQ(apCurves[0], nullptr);
}

TEST_F(LSDynaAscii, CutOrGrownFilesFailTheReadWithoutCurves)
{
    WriteFixtures();
    std::string glstat = kTitle + GlstatState(1, "0.00000E+00", "1.00000E+00", "12");
    std::string cut = glstat + " dt of cycle 2 is controlled by shell 12\n";
    // Cut right after the last "dt of cycle" line: that state never starts.
    ASSERT_TRUE(NKTestWriteText("GLSTAT", cut));
    ASSERT_TRUE(AS::Init(nullptr));
    MessageCapture capture;
    EXPECT_EQ(AS::ReadCurve(NK_ASCII_GLSTAT, 0, "12"), nullptr);
    EXPECT_TRUE(capture.HasLine(kReadError, NK_MSG_ERROR)) << capture.Text();
    // A file that grew since the scan no longer has the counted states.
    ASSERT_TRUE(NKTestWriteText("GLSTAT", glstat));
    ASSERT_TRUE(NKTestWriteText("MATSUM", Fixtures()[3].text));
    ASSERT_TRUE(AS::Init(nullptr));
    ASSERT_TRUE(NKTestWriteText("GLSTAT", glstat + GlstatState(2, "1.0", "2.0", "3")));
    capture.Clear();
    EXPECT_EQ(AS::ReadCurve(NK_ASCII_GLSTAT, 0, "12"), nullptr);
    EXPECT_TRUE(capture.HasLine(kReadError, NK_MSG_ERROR));
    // A removed file reads nothing either; a lower-case name is found.
    ASSERT_EQ(std::remove("MATSUM"), 0);
    EXPECT_EQ(AS::ReadCurve(NK_ASCII_MATSUM, 0, "1"), nullptr);
    ASSERT_TRUE(NKTestWriteText("matsum", Fixtures()[3].text));
    PlotCurve *p = AS::ReadCurve(NK_ASCII_MATSUM, 0, "1");
    ASSERT_NE(p, nullptr);
    NKFreePlotCurve(p);
}

TEST_F(LSDynaAscii, EveryFixtureCutAtEveryByteNeverCrashes)
{
    ASSERT_EQ(chdir(m_Dir.c_str()), 0);
    MessageCapture capture;  // keeps the read errors off the test output
    for (const Fixture &f : Fixtures()) {
        for (size_t n = 0; n <= f.text.size(); n++) {
            ASSERT_TRUE(NKTestWriteText(f.pszFile, f.text.substr(0, n)));
            ASSERT_TRUE(AS::Init(nullptr));
            // Only the cut file's own kind changes.
            for (int c = 0; c < NK_ASCII_NUM_KINDS; c++) {
                if (Names(AS::GetCategoryNames(), 7)[(size_t)c].find(f.pszFile) ==
                    std::string::npos)
                    continue;
                std::vector<std::string> series = Series(c);
                std::vector<char *> names;
                for (std::string &s : series) names.push_back(&s[0]);
                for (int k = 0; k <= AS::GetComponentCount(c); k++) {
                    std::vector<PlotCurve *> curves(names.size() + 1, nullptr);
                    int iMade =
                        AS::ReadCurves(c, k, names.data(), (int)names.size(), curves.data());
                    NKFreePlotCurves(curves.data(), iMade);
                    NKFreePlotCurve(AS::ReadCurve(c, k, nullptr));
                }
            }
        }
        std::remove(f.pszFile);
    }
}
