// tests/app/test_window_layout.cpp -- the geometry rules of the shell's
// windows without a window: the status bar's part edges and children, and
// the placement of a window beside another inside the work area.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/nk_statusbar.h"
#include "app/nk_window_utils.h"
#include "core/nk_family_warning.h"
#include "platform/nk_progress_ui.h"

namespace {

std::vector<int> Edges(int iWidth, bool bMaximized, unsigned int uMode)
{
    int aiEdges[NK_STATUSBAR_MAX_PARTS] = {};
    int n = NKComputeStatusbarEdges(iWidth, bMaximized, uMode, aiEdges);
    return std::vector<int>(aiEdges, aiEdges + n);
}

TEST(StatusbarLayout, PartEdgesFollowTheModeAndTheWidth)
{
    const unsigned int kBoth = NK_STATUSBAR_CANCEL | NK_STATUSBAR_PROGRESS;
    const struct {
        int iWidth;
        bool bMaximized;
        unsigned int uMode;
        std::vector<int> edges;
    } kCases[] = {
        {600, false, NK_STATUSBAR_NORMAL, {315, 370, 440, 550, 580}},
        {600, true, NK_STATUSBAR_NORMAL, {335, 390, 460, 570, 600}},   // no size grip
        {400, false, NK_STATUSBAR_NORMAL, {300, 355, 425, 535, 565}},  // status line at least 300
        {600, false, kBoth, {435, 580}},
        {600, false, NK_STATUSBAR_CANCEL, {520, 580}},
        {600, false, NK_STATUSBAR_PROGRESS, {490, 580}},
        {320, false, kBoth, {240, 300}},  // the bar does not fit beside the button
        {280, false, kBoth, {255, 260}},  // neither fits: 5 pixels
        {220, false, kBoth, {200, 200}},  // status line at least 200
        {600, false, 0, {580}},
        {200, false, 0, {300}},
    };
    for (const auto &c : kCases)
        EXPECT_EQ(Edges(c.iWidth, c.bMaximized, c.uMode), c.edges) << c.iWidth << " " << c.uMode;
}

TEST(StatusbarLayout, ChildrenTakeTheirPlacesWhileThereIsRoom)
{
    const struct {
        int aiRect[4];
        bool bCancel, bProgress;
        int aiExpected[4];  // Cancel x, y, progress x, y
    } kCases[] = {
        {{435, 2, 580, 20}, true, true, {440, 3, 495, 5}},
        {{435, 2, 580, 20}, false, true, {-1, -1, 440, 5}},
        {{435, 2, 520, 20}, true, true, {440, 3, -1, -1}},   // 30 pixels left for an 80-pixel bar
        {{435, 2, 480, 20}, true, false, {-1, -1, -1, -1}},  // 45 pixels for a 50-pixel button
        {{0, 0, 80, 20}, false, true, {-1, -1, -1, -1}},     // the bar needs more than its width
        {{0, 0, 81, 20}, false, true, {-1, -1, 5, 4}},
    };
    for (const auto &c : kCases) {
        int ai[4];
        NKComputeStatusbarChildren(c.aiRect, c.bCancel, c.bProgress, &ai[0], &ai[1], &ai[2],
                                   &ai[3]);
        EXPECT_EQ(std::vector<int>(ai, ai + 4), std::vector<int>(c.aiExpected, c.aiExpected + 4))
            << c.aiRect[2] << " " << c.bCancel << c.bProgress;
    }
}

// A damaged family's warning shows where its states end first, whichever
// damage it names and whatever its folder is called (the parts come with
// the warning, not from its words); the terminal's line keeps its words.
// Any other line shows as it is, whatever it says.
TEST(StatusbarLayout, AFamilysConclusionComesFirstOnTheStatusLine)
{
    const std::string f = "LS-DYNA family file /run/d3plot11";
    const std::string statesEndFolder = "LS-DYNA family file /run/x, states end y/d3plot02";
    const std::string noneFolder = "LS-DYNA family file /run/x, no state is whole/d3plot02";
    const std::string partWord =
        "ends inside a word, the bytes after its last whole word are left out";
    const struct {
        std::string member, found, statesEnd;
        const char *pszJoint;
        std::string terminal, shown;
    } kFamilies[] = {
        {f, "holds only zeros from state 11 on", "states end with state 10 at time 0.5", ", ",
         f + " holds only zeros from state 11 on, states end with state 10 at time 0.5.",
         "States end with state 10 at time 0.5: " + f + " holds only zeros from state 11 on."},
        {f, "holds only zeros", "no state is whole", ", ",
         f + " holds only zeros, no state is whole.",
         "No state is whole: " + f + " holds only zeros."},
        {f, "is missing", "states end there", ", ", f + " is missing, states end there.",
         "States end there: " + f + " is missing."},
        {f, partWord, "states end with state 3 at time 0.002", ": ",
         f + " " + partWord + ": states end with state 3 at time 0.002.",
         "States end with state 3 at time 0.002: " + f + " " + partWord + "."},
        // Folders whose names hold a conclusion's words.
        {statesEndFolder, "ends inside state 3", "no state is whole", ", ",
         statesEndFolder + " ends inside state 3, no state is whole.",
         "No state is whole: " + statesEndFolder + " ends inside state 3."},
        {noneFolder, "is missing", "states end there", ", ",
         noneFolder + " is missing, states end there.",
         "States end there: " + noneFolder + " is missing."},
        {noneFolder, partWord, "no state is whole", ": ",
         noneFolder + " " + partWord + ": no state is whole.",
         "No state is whole: " + noneFolder + " " + partWord + "."}};
    for (const auto &c : kFamilies) {
        NKFamilyWarning warning;
        warning.member = c.member;
        warning.found = c.found;
        warning.statesEnd = c.statesEnd;
        warning.pszJoint = c.pszJoint;
        EXPECT_EQ(warning.TerminalLine(), c.terminal);
        EXPECT_EQ(NKStatusLineText(c.terminal, &warning), c.shown) << c.terminal;
    }
    // Not a family's warning: as it is, whatever its words.
    const std::string kLines[] = {
        "No state after state 1 reads: state 1 stays.",
        "states end with state 2, then more.",
        f + " holds only zeros, no state is whole.",
        "Unable to open file for reading: /run/x, states end y/d3plot",
        "Error reading LS-DYNA geometry from /run/x, no state is whole/d3plot.",
        "Done.",
        ""};
    for (const std::string &line : kLines) EXPECT_EQ(NKStatusLineText(line, nullptr), line);
}

TEST(WindowPlacement, AnchorsPlaceBesideTheReferenceInsideTheWorkArea)
{
    const int aiReference[4] = {1000, 100, 1200, 400};
    const int aiWork[4] = {0, 0, 1280, 1024};
    const struct {
        int iAnchor;
        int iX, iY;
    } kCases[] = {
        {0, 980, 400}, {1, 950, 400}, {2, 900, 400}, {3, 980, 100}, {4, 980, 150},
        {5, 980, 200}, {6, 980, 400}, {7, 950, 150}, {8, 0, 0},     {-1, 0, 0},
    };
    for (const auto &c : kCases) {
        int x = -5, y = -5;
        NKComputeWindowPlacement(c.iAnchor, aiReference, aiWork, 300, 200, &x, &y);
        EXPECT_EQ(x, c.iX) << "anchor " << c.iAnchor;
        EXPECT_EQ(y, c.iY) << "anchor " << c.iAnchor;
    }
    // Pulled up at the bottom, then never above or left of 0.
    const int aiLow[4] = {10, 900, 100, 1000};
    int x = 0, y = 0;
    NKComputeWindowPlacement(NK_PLACE_BELOW_LEFT, aiLow, aiWork, 300, 200, &x, &y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 824);
    NKComputeWindowPlacement(NK_PLACE_BELOW_LEFT, aiLow, aiWork, 2000, 2000, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

}  // namespace
