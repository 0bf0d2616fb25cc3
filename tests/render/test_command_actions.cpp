// tests/render/test_command_actions.cpp -- the command handlers' action
// tables (render/nk_command_actions.h): which row runs, with what, and what
// an entry without a row answers.
#include <gtest/gtest.h>

#include "commands/nk_command.h"
#include "render/nk_command_actions.h"

namespace {

// The last call of a row function, to see which row ran with what.
int sg_iLastRow = 0;
const char *sg_pszLastArguments = nullptr;

int RowOne(CommandTableEntry *, const char *pszArguments)
{
    sg_iLastRow = 1;
    sg_pszLastArguments = pszArguments;
    return NK_CMD_DONE;
}

int RowTwo(CommandTableEntry *, const char *pszArguments)
{
    sg_iLastRow = 2;
    sg_pszLastArguments = pszArguments;
    return NK_CMD_FAILED;
}

// Id 7 stands twice: the first row is the one that runs.
const NKCommandAction kRows[] = {{7, RowOne}, {9, RowTwo}, {7, RowTwo}};

TEST(CommandActions, RunsTheFirstRowOfTheIdAndAnswersNotMineOtherwise)
{
    struct Case {
        int iId;
        int iResult;
        int iRow;  // 0: no row ran
    };
    const Case aCases[] = {{7, NK_CMD_DONE, 1}, {9, NK_CMD_FAILED, 2}, {8, NK_CMD_NOT_MINE, 0}};
    for (const Case &c : aCases) {
        sg_iLastRow = 0;
        sg_pszLastArguments = nullptr;
        CommandTableEntry entry{};
        entry.id = c.iId;
        const char *pszArguments = "PARAMS 1 2";
        EXPECT_EQ(NKRunCommandAction(kRows, &entry, pszArguments), c.iResult) << c.iId;
        EXPECT_EQ(sg_iLastRow, c.iRow) << c.iId;
        EXPECT_EQ(sg_pszLastArguments, c.iRow != 0 ? pszArguments : nullptr) << c.iId;
    }
}

TEST(CommandActions, NullEntryRunsNothing)
{
    sg_iLastRow = 0;
    EXPECT_EQ(NKRunCommandAction(kRows, nullptr, "PARAMS"), NK_CMD_NOT_MINE);
    EXPECT_EQ(sg_iLastRow, 0);
}

}  // namespace
