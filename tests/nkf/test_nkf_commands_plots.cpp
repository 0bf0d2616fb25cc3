// tests/nkf/test_nkf_commands_plots.cpp -- the *QUOLINCOMMANDS and
// *2DPLOTSERIES blocks through the parser: command steps, the start-up
// flag and the step limit; series, points, axes and colours; both forms in
// both byte orders and the count checks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nkf/nkf_commands_plots.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_step_test_support.h"
#include "tests/test_support/nkf_test_parse.h"

namespace {

std::string Dump(NKFQuolinCommandBlock *pBlock)
{
    if (!pBlock->LoadData()) return "load failed";
    std::string text =
        pBlock->GetName().GetText() + std::string(pBlock->IsStartup() ? "|startup" : "|");
    for (int s = 0; s < pBlock->GetNumSteps(); s++) {
        text += NKFStepHeading(pBlock, s) + ":";
        for (int k = 0; k < pBlock->GetNumCommands(s); k++)
            text += " <" + std::string(pBlock->GetCommand(s, k).GetText()) + ">";
    }
    return text;
}

std::string Dump(NKF2DPlotSeriesBlock *pBlock)
{
    if (!pBlock->LoadData()) return "load failed";
    std::string text = pBlock->GetName().GetText() + std::string("|") +
                       pBlock->GetXAxisName().GetText() + "|" + pBlock->GetYAxisName().GetText() +
                       "|";
    for (int i = 0; i < 6; i++) text += " " + NumberText(pBlock->GetAxisValue(i));
    for (int s = 0; s < pBlock->GetNumSeries(); s++) {
        const float *pfColor = pBlock->GetSeriesColor(s);
        text += "\n'" + std::string(pBlock->GetSeriesName(s).GetText()) + "' (" +
                NumberText(pfColor[0]) + " " + NumberText(pfColor[1]) + " " +
                NumberText(pfColor[2]) + "):";
        for (int k = 0; k < pBlock->GetNumPoints(s); k++) {
            text += " " + NumberText(pBlock->GetPoints(s)[2 * k]) + "," +
                    NumberText(pBlock->GetPoints(s)[2 * k + 1]);
        }
    }
    return text;
}

NKFQuolinCommandBlock *Commands(const std::unique_ptr<NKFParser> &pParser)
{
    return (NKFQuolinCommandBlock *)pParser->FindBlock(NKF_QUOLINCOMMANDS, 1);
}

NKF2DPlotSeriesBlock *Plot(const std::unique_ptr<NKFParser> &pParser)
{
    return (NKF2DPlotSeriesBlock *)pParser->FindBlock(NKF_2DPLOTSERIES, 1);
}

}  // namespace

// ---------------------------------------------------------------------------
// Commands

TEST(NKFCommandBlock, CommandsWithoutStepLinesFormStepOne)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("cmd_plain.nkf",
                             {"*QUOLINCOMMANDS 1", "%NAME \"setup\"", "view front", "# a comment",
                              "color background 0 0 0"},
                             &pParser));
    EXPECT_EQ(1, Commands(pParser)->GetNumItems());
    EXPECT_EQ("setup|\n1 '' 0: <view front> <color background 0 0 0>", Dump(Commands(pParser)));
}

TEST(NKFCommandBlock, StepFiveFirstAndStepSevenAfterCommands)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("cmd_steps.nkf",
                             {"*QUOLINCOMMANDS 1", "%STARTUP", "%STEP 5", "%STEPNAME \"a\"",
                              "zoom 2", "%STEP 7", "%STEPTIME 1.5", "zoom 3", "spin"},
                             &pParser));
    EXPECT_EQ("|startup\n5 'a' 0: <zoom 2>\n7 '' 1.5: <zoom 3> <spin>", Dump(Commands(pParser)));
}

TEST(NKFCommandBlock, StepLinesBeforeTheFirstCommandOpenEmptySteps)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("cmd_empty.nkf", {"*QUOLINCOMMANDS 1", "%STEP 1", "%STEP 2", "zoom 2"},
                             &pParser));
    EXPECT_EQ("|\n1 '' 0:\n2 '' 0: <zoom 2>", Dump(Commands(pParser)));
}

TEST(NKFCommandBlock, TenThousandStepsLoadAndOneMoreFails)
{
    for (int iSteps : {10000, 10001}) {
        MessageCapture capture;
        std::vector<std::string> lines = {"*QUOLINCOMMANDS 1"};
        for (int s = 1; s <= iSteps; s++) {
            lines.push_back("%STEP " + std::to_string(s));
            lines.push_back("redraw");
        }
        std::unique_ptr<NKFParser> pParser;
        bool bOk = NKFParseBody("cmd_many.nkf", lines, &pParser);
        if (iSteps == 10000) {
            ASSERT_TRUE(bOk);
            ASSERT_TRUE(Commands(pParser)->LoadData());
            EXPECT_EQ(10000, Commands(pParser)->GetStepNumber(9999));
        } else {
            EXPECT_FALSE(bOk);
            EXPECT_TRUE(capture.Contains("Too many steps in Geometry block"));
        }
    }
}

TEST(NKFCommandBlock, IllegalDirectiveAndWriteBlockFail)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBody("cmd_dir.nkf", {"*QUOLINCOMMANDS 1", "%SERIES"}, &pParser));
    EXPECT_TRUE(capture.Contains("Illegal directive found."));
    ASSERT_TRUE(NKFParseBody("cmd_write.nkf", {"*QUOLINCOMMANDS 1", "redraw"}, &pParser));
    EXPECT_FALSE(Commands(pParser)->WriteBlock());
    EXPECT_TRUE(capture.Contains("NKFQuolinCommandBlock::WriteBlock, not implemented yet"));
}

TEST(NKFCommandForms, AsciiAndBinaryInBothByteOrdersHoldTheSameContent)
{
    MessageCapture capture;
    const std::vector<std::string> body = {
        "%NAME \"tour\"", "%STARTUP", "view top",    "%STEP 2",   "%STEPNAME \"second\"",
        "; skipped",      "",         "rotate x 45", "light 1 on"};
    const char *const kExpected =
        "tour|startup\n1 '' 0: <view top>\n2 'second' 0: <rotate x 45> <light 1 on>";
    std::vector<std::string> lines = {"*QUOLINCOMMANDS 1"};
    lines.insert(lines.end(), body.begin(), body.end());
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("cmd_forms.nkf", lines, &pParser));
    EXPECT_EQ(kExpected, Dump(Commands(pParser)));
    std::string text;
    for (const std::string &line : body) text += line + "\r\n";
    for (bool bBig : {false, true}) {
        NKFTestWriter w(bBig);
        AppendFileHeader(w);
        AppendCommandBlock(w, 1, text);
        ASSERT_TRUE(NKFParseBytes("cmd_forms.bin", w, &pParser));
        EXPECT_EQ(kExpected, Dump(Commands(pParser))) << bBig;
    }
}

TEST(NKFCommandForms, BinaryTextLongerThanTheFileFails)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    size_t iBlock = w.Size();
    AppendCommandBlock(w, 1, "view top\n");
    w.PatchInt(iBlock + 12, 1 << 30);  // data size
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBytes("cmd_long.nkf", w, &pParser));
    EXPECT_TRUE(capture.Contains("End of block marker not found at expected position."));
}

// ---------------------------------------------------------------------------
// Plot series

TEST(NKFPlotSeriesBlock, ValueLineOfThreeNumbersFails)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(
        NKFParseBody("plot_three.nkf", {"*2DPLOTSERIES 1", "%SERIES", "0 1", "1 2 3"}, &pParser));
    EXPECT_TRUE(capture.Contains(
        "Block type : *2DPLOTSERIES : 2 values (x y) must be specified on each line."));
}

TEST(NKFPlotSeriesBlock, QueriesOutsideTheSeriesAnswerNothing)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("plot_range.nkf", {"*2DPLOTSERIES 1", "0 1", "1 2"}, &pParser));
    NKF2DPlotSeriesBlock *pPlot = Plot(pParser);
    ASSERT_TRUE(pPlot->LoadData());
    EXPECT_EQ(0, pPlot->GetNumPoints(-1));
    EXPECT_EQ(2, pPlot->GetNumPoints(0));
    EXPECT_EQ(nullptr, pPlot->GetPoints(pPlot->GetNumItems()));
    EXPECT_EQ(nullptr, pPlot->GetPoints(-1));
    EXPECT_EQ(nullptr, pPlot->GetSeriesColor(1));
}

TEST(NKFPlotSeriesBlock, SeriesOpenOnceAPointWasRead)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("plot_series.nkf",
                             {"*2DPLOTSERIES 1", "%SERIES", "%SERIES_NAME \"a\"", "%SERIES", "0 1",
                              "%SERIES_NAME \"late\"", "1 1", "%SERIES", "%SERIES",
                              "%SERIES_COLOR 1 0.5 0", "2 2"},
                             &pParser));
    EXPECT_EQ("||| 0 0 0 0 0 0\n'late' (0 0 0): 0,1 1,1\n'' (0 0 0):\n'' (1 0.5 0): 2,2",
              Dump(Plot(pParser)));
}

TEST(NKFPlotSeriesBlock, AxisDirectivesClearTheirNotGivenFlags)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("plot_axes.nkf",
                             {"*2DPLOTSERIES 1", "%XAXIS_MIN -1", "%YAXIS_UNIT 0.25", "0 1"},
                             &pParser));
    NKF2DPlotSeriesBlock *pPlot = Plot(pParser);
    EXPECT_FALSE(pPlot->IsAxisValueMissing(NKF_PLOT_XMIN));
    EXPECT_FALSE(pPlot->IsAxisValueMissing(NKF_PLOT_YUNIT));
    EXPECT_TRUE(pPlot->IsAxisValueMissing(NKF_PLOT_XMAX));
    EXPECT_FLOAT_EQ(-1.0f, pPlot->GetAxisValue(NKF_PLOT_XMIN));
    EXPECT_FLOAT_EQ(0.25f, pPlot->GetAxisValue(NKF_PLOT_YUNIT));
}

TEST(NKFPlotSeriesBlock, IllegalDirectiveTooManySeriesAndWriteBlockFail)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBody("plot_dir.nkf", {"*2DPLOTSERIES 1", "%STEP 1"}, &pParser));
    EXPECT_TRUE(capture.Contains("Illegal directive found."));
    std::vector<std::string> lines = {"*2DPLOTSERIES 1"};
    for (int s = 0; s < 10001; s++) {
        lines.push_back("%SERIES");
        lines.push_back("0 1");
    }
    EXPECT_FALSE(NKFParseBody("plot_many.nkf", lines, &pParser));
    EXPECT_TRUE(capture.Contains("Too many steps in Geometry block"));
    ASSERT_TRUE(NKFParseBody("plot_write.nkf", {"*2DPLOTSERIES 1", "0 1"}, &pParser));
    EXPECT_FALSE(Plot(pParser)->WriteBlock());
    EXPECT_TRUE(capture.Contains("NKF2DPlotSeriesBlock::WriteBlock, not implemented yet"));
}

TEST(NKFPlotSeriesForms, AsciiAndBinaryInBothByteOrdersHoldTheSameContent)
{
    MessageCapture capture;
    const float afAxis[6] = {0, 10, 1, -5, 5, 0.5f};
    const std::vector<TestSeries> series = {
        {"force", {1, 0, 0}, {0, 0, 1, 2.5f, 2, 4}},
        {"empty", {0, 1, 0}, {}},
        {"moment", {0, 0, 1}, {0.5f, -1}},
    };
    std::vector<std::string> lines = {
        "*2DPLOTSERIES 1", "%NAME \"curves\"", "%XAXIS_NAME \"time\"", "%YAXIS_NAME \"load\"",
        "%XAXIS_MIN 0",    "%XAXIS_MAX 10",    "%XAXIS_UNIT 1",        "%YAXIS_MIN -5",
        "%YAXIS_MAX 5",    "%YAXIS_UNIT 0.5"};
    for (const TestSeries &s : series) {
        lines.push_back("%SERIES");
        lines.push_back("%SERIES_NAME \"" + s.name + "\"");
        lines.push_back("%SERIES_COLOR " + NumberText(s.afColor[0]) + " " +
                        NumberText(s.afColor[1]) + " " + NumberText(s.afColor[2]));
        for (size_t k = 0; k < s.points.size(); k += 2)
            lines.push_back(NumberText(s.points[k]) + " " + NumberText(s.points[k + 1]));
    }
    const char *const kExpected =
        "curves|time|load| 0 10 1 -5 5 0.5\n'force' (1 0 0): 0,0 1,2.5 2,4\n"
        "'empty' (0 1 0):\n'moment' (0 0 1): 0.5,-1";
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("plot_forms.nkf", lines, &pParser));
    EXPECT_EQ(kExpected, Dump(Plot(pParser)));
    for (bool bBig : {false, true}) {
        NKFTestWriter w(bBig);
        AppendFileHeader(w);
        AppendPlotSeriesBlock(w, 1, "curves", "time", "load", afAxis, series);
        ASSERT_TRUE(NKFParseBytes("plot_forms.bin", w, &pParser));
        EXPECT_EQ(kExpected, Dump(Plot(pParser))) << bBig;
        EXPECT_TRUE(Plot(pParser)->IsAxisValueMissing(NKF_PLOT_XMIN));  // binary leaves the flags
    }
}

TEST(NKFPlotSeriesForms, BinaryCountsBeyondTheDataSizeAreRefused)
{
    MessageCapture capture;
    const float afAxis[6] = {0, 1, 1, 0, 1, 1};
    NKFTestWriter w;
    AppendFileHeader(w);
    size_t iBlock = w.Size();
    AppendPlotSeriesBlock(w, 1, "p", "x", "y", afAxis, {{"s", {0, 0, 0}, {1, 2}}});
    NKFTestWriter wSeries = w;
    wSeries.PatchInt(iBlock + 8 + 272, 3);  // series count
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBytes("plot_bigseries.nkf", wSeries, &pParser));
    EXPECT_TRUE(capture.Contains("Item count does not fit the data size of the block."));
    capture.Clear();
    w.PatchInt(iBlock + 8 + 276 + 92, 1000000000);  // point count of the series
    ASSERT_TRUE(NKFParseBytes("plot_bigpoints.nkf", w, &pParser));
    EXPECT_FALSE(Plot(pParser)->LoadData());
    EXPECT_TRUE(capture.Contains("Item count does not fit the data size of the block."));
    EXPECT_EQ(nullptr, Plot(pParser)->GetPoints(0));
}
