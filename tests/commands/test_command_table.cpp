// tests/commands/test_command_table.cpp -- the generated command table and
// its lookup: row counts and flags, shared ids, byte-order sorting, the
// abbreviation and ambiguity rules, the full-name rule, candidate lists, and
// the set-up helpers on tables of the test's own.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "commands/nk_command_table.h"
#include "core/nk_diagnostic.h"

namespace {

const CommandTableEntry *Live(int i) { return &g_NKCommandRows[i]; }

int CountLive(bool (*pred)(const CommandTableEntry &))
{
    NKCommandTable table;
    int n = 0;
    for (int i = 0; i < g_iNumCommands; i++)
        if (pred(*Live(i))) n++;
    return n;
}

// The row with exactly this name, or null.
const CommandTableEntry *Row(const char *pszName)
{
    NKCommandTable table;
    for (int i = 0; i < g_iNumCommands; i++)
        if (std::strcmp(Live(i)->name, pszName) == 0) return Live(i);
    return nullptr;
}

// Looks the text up as the interpreter does; returns the found name, or
// "-1" / "-2".
std::string Lookup(const char *pszText)
{
    NKCommandTable table;
    int i = table.Find(pszText, nullptr, nullptr, true, false, false, false);
    if (i < 0) return std::to_string(i);
    EXPECT_EQ(table.GetEntry(), Live(i));
    return table.GetEntry()->name;
}

CommandTableEntry MakeRow(const char *pszName, uint32_t uFlags = 0)
{
    CommandTableEntry row{};
    std::strncpy(row.name, pszName, sizeof row.name - 1);
    row.flags = uFlags;
    return row;
}

}  // namespace

// ---- table invariants ------------------------------------------------------

TEST(CommandTableRows, CountsMatchTheCommandLanguage)
{
    NKCommandTable table;
    EXPECT_EQ(g_iNKCommandRowCount, 862);
    EXPECT_EQ(g_iNumCommands, 862);  // no row is disabled
    auto oneWord = [](const CommandTableEntry &r) { return std::strchr(r.name, ' ') == nullptr; };
    EXPECT_EQ(CountLive(oneWord), 565);
    EXPECT_EQ(
        CountLive([](const CommandTableEntry &r) { return std::strchr(r.name, ' ') != nullptr; }),
        297);
    // closefiles also runs without a model, so that closing twice succeeds;
    // usermenu too, so that the site's file open command file builds the
    // Results Menu without an error after a command file that opens no model.
    EXPECT_EQ(CountLive([](const CommandTableEntry &r) { return r.needgeom == 1; }), 462);
    EXPECT_EQ(CountLive([](const CommandTableEntry &r) {
                  return NKCommandTable::IsAvailableFlags(r.flags);
              }),
              774);
    EXPECT_EQ(
        CountLive([](const CommandTableEntry &r) { return (r.flags & NK_CMDF_FULL_NAME) != 0; }),
        28);
}

TEST(CommandTableRows, FlagCombinationsAndGroups)
{
    std::set<uint32_t> allowed = {0x00, 0x01, 0x02, 0x04, 0x08, 0x09, 0x20, 0x40};
    int obsolete = 0, cave = 0, vr = 0, notWindows = 0, windowsOnly = 0, threeWord = 0;
    NKCommandTable table;
    for (int i = 0; i < g_iNumCommands; i++) {
        const CommandTableEntry &r = *Live(i);
        EXPECT_TRUE(allowed.count(r.flags)) << r.name;
        if (r.flags & NK_CMDF_OBSOLETE) {
            obsolete++;
            EXPECT_STREQ(r.description, "Obsolete.") << r.name;
        }
        cave += (r.flags & NK_CMDF_CAVE_ONLY) != 0;
        vr += (r.flags & NK_CMDF_VR_ONLY) != 0;
        notWindows += (r.flags & NK_CMDF_NOT_WINDOWS) != 0;
        windowsOnly += (r.flags & NK_CMDF_WINDOWS_ONLY) != 0;
        if (std::strchr(r.name, ' ') && std::strchr(std::strchr(r.name, ' ') + 1, ' ')) threeWord++;
        EXPECT_NE(r.description[0], '\0') << r.name;
        EXPECT_LE(r.keepsub, 1);
    }
    EXPECT_EQ(obsolete, 28);
    EXPECT_EQ(cave, 10);
    EXPECT_EQ(vr, 17);
    EXPECT_EQ(notWindows, 5);
    EXPECT_EQ(windowsOnly, 33);
    EXPECT_EQ(threeWord, 1);  // "lp current add"
}

TEST(CommandTableRows, KeepSubAndMinimumAbbreviations)
{
    EXPECT_EQ(Row("transparent nice")->keepsub, 1);
    EXPECT_EQ(Row("sound add")->keepsub, 0);
    EXPECT_EQ(Row("lp current add")->keepsub, 1);
    EXPECT_EQ(Row("vr debug")->keepsub, 0);
    int withMin = 0;
    NKCommandTable table;
    for (int i = 0; i < g_iNumCommands; i++) withMin += Live(i)->minabbr != 0;
    EXPECT_EQ(withMin, 3);
    EXPECT_EQ(Row("readscalar")->minabbr, 5);
    EXPECT_EQ(Row("displacements")->minabbr, 5);
    EXPECT_EQ(Row("nodisplacements")->minabbr, 5);
}

// A row whose synopsis and description are quoted word for word.
TEST(CommandTableRows, QuotedRowTextsKeepEveryWord)
{
    const CommandTableEntry *pRow = Row("nkf visibility");
    ASSERT_NE(pRow, nullptr);
    EXPECT_STREQ(pRow->synopsis, "<ID> [<from step> <to step>]");
    EXPECT_STREQ(pRow->description, "Read visibilities from NKF file");
}

TEST(CommandTableRows, SynonymPairsShareIds)
{
    const char *pairs[][2] = {{"exit", "quit"},
                              {"dir", "ls"},
                              {"readdisplacements", "readvector"},
                              {"saveview", "sv"},
                              {"loadview", "lv"},
                              {"nosmooth", "unsmooth"},
                              {"dots", "points"},
                              {"nodots", "nopoints"},
                              {"pointsize", "sizedots"},
                              {"complex_amplitude", "complex_magnitude"},
                              {"nocomplex_amplitude", "nocomplex_magnitude"},
                              {"fringecolors", "legendcolors"},
                              {"fringerange", "fringescale"},
                              {"contourrange", "contourscale"},
                              {"texturefringes", "tf"},
                              {"notexturefringes", "notf"},
                              {"scaledisplacements", "scalevectors"},
                              {"bc", "boundary"},
                              {"nobc", "noboundary"},
                              {"noperspective", "orthographic"},
                              {"axes", "axis"},
                              {"noaxes", "noaxis"},
                              {"noalpha", "notransparent"},
                              {"anim_displacement", "anim_vector"},
                              {"anim_scalar", "anim_scl"},
                              {"draw_line", "drawline"},
                              {"nodraw_line", "nodrawline"},
                              {"lookat", "upat"},
                              {"coordinates", "showcoordinates"},
                              {"showdisplacements", "showvectors"},
                              {"plotrange", "rplot"}};
    static_assert(sizeof pairs / sizeof pairs[0] == 31, "31 synonym pairs");
    for (const auto &pair : pairs) {
        ASSERT_NE(Row(pair[0]), nullptr) << pair[0];
        ASSERT_NE(Row(pair[1]), nullptr) << pair[1];
        EXPECT_EQ(Row(pair[0])->id, Row(pair[1])->id) << pair[0] << " = " << pair[1];
    }
    EXPECT_EQ(Row("exit")->id, NK_CID_EXIT);
    EXPECT_EQ(Row("quit")->id, NK_CID_EXIT);
}

TEST(CommandTableRows, FamiliesShareIdsAndOthersAreUnique)
{
    EXPECT_EQ(Row("nkf open")->id, NK_CID_NKF);
    EXPECT_EQ(Row("plt ytransform")->id, NK_CID_PLT);
    EXPECT_EQ(Row("lp current add")->id, NK_CID_LP);
    EXPECT_EQ(Row("fringes hide")->id, Row("fringes filter")->id);
    EXPECT_NE(Row("fringes hide")->id, Row("fringes")->id);
    EXPECT_EQ(Row("label pos")->id, Row("label 3dpos")->id);
    EXPECT_NE(Row("label pos")->id, Row("label")->id);
    EXPECT_EQ(Row("sound add")->id, NK_CID_SOUND_ADD);
    EXPECT_NE(Row("sound add")->id, Row("sound")->id);
    EXPECT_EQ(Row(";")->id, NK_CID_SEMICOLON);
    EXPECT_EQ(Row("outwardnormals")->id, NK_CID_OUTWARDNORMALS);
    EXPECT_NE(NK_CID_OUTLINE, NK_CID_NOOUTLINE);
    EXPECT_NE(NK_CID_HIDDENLINES, NK_CID_NOHIDDENLINES);

    std::set<int> ids;
    NKCommandTable table;
    for (int i = 0; i < g_iNumCommands; i++) ids.insert(Live(i)->id);
    EXPECT_EQ(ids.size(), 698u);  // 862 rows less 31 synonyms less 133 family members
}

TEST(CommandTableRows, LiveRowsAreSortedInByteOrder)
{
    NKCommandTable table;
    for (int i = 1; i < g_iNumCommands; i++)
        EXPECT_LT(std::strcmp(Live(i - 1)->name, Live(i)->name), 0) << Live(i)->name;
    // A blank sorts before letters: a head word stands right before its forms.
    EXPECT_STREQ(Live(table.Find("sound", nullptr, nullptr, true, false, false, false) + 1)->name,
                 "sound add");
    EXPECT_STREQ(Live(0)->name, ";");
}

TEST(CommandTableRows, SetUpRunsOnce)
{
    NKCommandTable first;
    ASSERT_TRUE(g_bCommandTableReady);
    int i = first.Find("post", nullptr, nullptr, true, false, false, false);
    NKCommandTable second(true);  // keep-disabled no longer matters
    EXPECT_EQ(g_iNumCommands, 862);
    EXPECT_EQ(second.GetEntry(), nullptr);
    EXPECT_EQ(second.GetCurrentIndex(), -1);
    EXPECT_EQ(second.Find("post", nullptr, nullptr, true, false, false, false), i);
}

// ---- lookup ------------------------------------------------------------------

TEST(CommandTableLookup, ExactAbbreviatedAndAmbiguous)
{
    EXPECT_EQ(Lookup("fringes"), "fringes");
    EXPECT_EQ(Lookup("pos"), "post");
    EXPECT_EQ(Lookup("reads"), "readscalar");
    EXPECT_EQ(Lookup("read"), "-2");
    EXPECT_EQ(Lookup("displa"), "displacements");
    EXPECT_EQ(Lookup("display"), "display");
    EXPECT_EQ(Lookup("disp"), "-2");
    EXPECT_EQ(Lookup("sou"), "-2");
    EXPECT_EQ(Lookup("cwalk"), "-2");
    EXPECT_EQ(Lookup("sound a"), "sound add");
    EXPECT_EQ(Lookup("plt s"), "-2");
    EXPECT_EQ(Lookup(";"), ";");
    EXPECT_EQ(Lookup("nodispl"), "nodisplacements");
}

TEST(CommandTableLookup, FullNameRowsMustBeTypedInFull)
{
    EXPECT_EQ(Lookup("testc"), "-1");
    EXPECT_EQ(Lookup("testcommands"), "testcommands");
    EXPECT_EQ(Lookup("outw"), "-1");
    EXPECT_EQ(Lookup("outwardnormals"), "outwardnormals");
    EXPECT_EQ(Lookup("ep a"), "-1");
    EXPECT_EQ(Lookup("ep add"), "ep add");
    EXPECT_EQ(Lookup("ep"), "ep");
    EXPECT_EQ(Lookup("stdout m"), "-1");
    EXPECT_EQ(Lookup("stdout messages"), "stdout messages");
}

// A whole number after a blank is an ID for the one-word command, never the
// beginning of a sub-command; other words still abbreviate.
TEST(CommandTableLookup, WholeNumberWordsAreNeverAbbreviations)
{
    const std::pair<const char *, const char *> rows[] = {
        {"label 2", "-1"},
        {"label 3", "-1"},
        {"label +2", "-1"},
        {"label -3", "-1"},
        {"label 2d", "label 2dpos"},
        {"label 3dpos", "label 3dpos"},
        {"label 2dpos", "label 2dpos"},
        {"label a", "label add"},
        {"label", "label"},
    };
    for (const auto &row : rows) EXPECT_EQ(Lookup(row.first), row.second) << row.first;
}

TEST(CommandTableLookup, NothingMatches)
{
    EXPECT_EQ(Lookup(""), "-1");
    EXPECT_EQ(Lookup("FRINGES"), "-1");
    EXPECT_EQ(Lookup("frob"), "-1");
    EXPECT_EQ(Lookup("zzzz"), "-1");
    EXPECT_EQ(Lookup("lp current add"), "lp current add");
    NKCommandTable table;
    EXPECT_EQ(table.Find(nullptr, nullptr, nullptr, true, false, false, false), -1);
    EXPECT_EQ(table.GetEntry(), nullptr);
    EXPECT_FALSE(table.NeedsGeometry());
    EXPECT_FALSE(table.IsAvailable());
}

TEST(CommandTableLookup, WithoutAbbreviationsMinimumLengthsDoNotCount)
{
    NKCommandTable table;
    EXPECT_EQ(table.Find("reads", nullptr, nullptr, false, false, false, false), -2);
    EXPECT_EQ(table.GetCurrentIndex(), -1);
}

TEST(CommandTableLookup, EntryQueries)
{
    NKCommandTable table;
    ASSERT_GE(table.Find("post", nullptr, nullptr, true, false, false, false), 0);
    EXPECT_TRUE(table.NeedsGeometry());
    EXPECT_TRUE(table.IsAvailable());
    ASSERT_GE(table.Find("stereo", nullptr, nullptr, true, false, false, false), 0);
    EXPECT_FALSE(table.NeedsGeometry());
    EXPECT_FALSE(table.IsAvailable());
    ASSERT_GE(table.Find("dde", nullptr, nullptr, true, false, false, false), 0);
    EXPECT_TRUE(table.IsAvailable());  // Windows-only rows stay available
    EXPECT_FALSE(NKCommandTable::IsAvailableIndex(-1));
    EXPECT_FALSE(NKCommandTable::IsAvailableIndex(g_iNumCommands));
}

TEST(CommandTableLookup, AvailableOnlyShrinksTheRun)
{
    NKCommandTable table;
    // "stereoautofocus" is the only available row beginning "stereo".
    EXPECT_EQ(Lookup("stereo"), "stereo");
    int i = table.Find("stereo", nullptr, nullptr, true, false, true, false);
    ASSERT_GE(i, 0);
    EXPECT_STREQ(table.GetEntry()->name, "stereoautofocus");
    // Every "vr" row is unavailable.
    EXPECT_EQ(table.Find("vr", nullptr, nullptr, true, false, true, false), -1);
}

TEST(CommandTableLookup, NoExactResolveKeepsTheTextAmbiguous)
{
    NKCommandTable table;
    EXPECT_EQ(table.Find("fringes", nullptr, nullptr, true, true, false, false), -2);
    // A single row still is the result.
    EXPECT_GE(table.Find("pos", nullptr, nullptr, true, true, false, false), 0);
}

TEST(CommandTableLookup, CandidateLists)
{
    NKCommandTable table;
    int list[64];
    int count = 64;
    EXPECT_EQ(table.Find("sou", list, &count, true, false, false, false), -2);
    ASSERT_EQ(count, 2);  // two-word forms are left out
    EXPECT_STREQ(Live(list[0])->name, "sound");
    EXPECT_STREQ(Live(list[1])->name, "source");

    count = 64;
    table.Find("sou", list, &count, true, false, false, true);
    EXPECT_EQ(count, 9);  // "sound", its seven forms and "source"

    count = 64;
    EXPECT_EQ(table.Find("plt s", list, &count, true, false, false, false), -2);
    EXPECT_EQ(count, 8);  // the typed blank lists two-word names

    count = 64;
    int found = table.Find("fringes", list, &count, true, false, false, false);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(list[0], found);

    count = 3;  // room for three only
    table.Find("sou", list, &count, true, false, false, true);
    EXPECT_EQ(count, 3);

    count = 64;
    EXPECT_EQ(table.Find("qqq", list, &count, true, false, false, false), -1);
    EXPECT_EQ(count, 0);
}

TEST(CommandTableLookup, CandidatesAfterAFullMatchIncludeTwoWordNames)
{
    NKCommandTable table;
    int list[64];
    int count = 64;
    EXPECT_EQ(table.Find("fringes", list, &count, true, true, false, false), -2);
    // "fringes", "fringes filter"... "fringescale", "fringeshade": every row.
    EXPECT_EQ(count, 8);
}

// ---- set-up helpers on the test's own tables ---------------------------------

TEST(CommandTableSetUp, SearchPrefixOnSortedRows)
{
    std::vector<CommandTableEntry> rows = {MakeRow("a"), MakeRow("ab"), MakeRow("abc"),
                                           MakeRow("b"), MakeRow("c d")};
    EXPECT_EQ(NKCommandTable::SearchPrefix("", rows.data(), 5), -1);
    EXPECT_EQ(NKCommandTable::SearchPrefix("c", rows.data(), 5), 4);
    EXPECT_EQ(NKCommandTable::SearchPrefix("x", rows.data(), 5), -1);
    int i = NKCommandTable::SearchPrefix("ab", rows.data(), 5);
    EXPECT_TRUE(i == 1 || i == 2);
    EXPECT_EQ(NKCommandTable::SearchPrefix("a", rows.data(), 0), -1);
}

TEST(CommandTableSetUp, SortByNameOrdersBytesAndSwapsWholeRows)
{
    std::vector<CommandTableEntry> rows = {MakeRow("plt_x"), MakeRow("plt x"), MakeRow("plt"),
                                           MakeRow("plt2"), MakeRow(";")};
    rows[0].id = 10;
    std::strcpy(rows[0].synopsis, "<underscore>");
    NKCommandTable::SortByName(rows.data(), static_cast<int>(rows.size()));
    const char *expected[] = {";", "plt", "plt x", "plt2", "plt_x"};
    for (size_t i = 0; i < rows.size(); i++) EXPECT_STREQ(rows[i].name, expected[i]);
    EXPECT_EQ(rows[4].id, 10);
    EXPECT_STREQ(rows[4].synopsis, "<underscore>");

    NKCommandTable::SwapEntries(&rows[0], &rows[4]);
    EXPECT_STREQ(rows[0].name, "plt_x");
    EXPECT_EQ(rows[0].id, 10);
    NKCommandTable::SortByName(rows.data(), 1);  // fewer than two rows: nothing
    EXPECT_STREQ(rows[0].name, "plt_x");
}

TEST(CommandTableSetUp, StripDisabledMovesThemBehind)
{
    std::vector<CommandTableEntry> rows = {MakeRow("a", NK_CMDF_DISABLED), MakeRow("b"),
                                           MakeRow("c", NK_CMDF_DISABLED | NK_CMDF_OBSOLETE),
                                           MakeRow("d", NK_CMDF_WINDOWS_ONLY)};
    EXPECT_EQ(NKCommandTable::StripDisabledCommands(rows.data(), 4), 2);
    EXPECT_STREQ(rows[0].name, "b");
    EXPECT_STREQ(rows[1].name, "d");
    EXPECT_TRUE(rows[2].flags & NK_CMDF_DISABLED);
    EXPECT_TRUE(rows[3].flags & NK_CMDF_DISABLED);
}

TEST(CommandTableSetUp, StripWithNothingEnabledIsTraced)
{
    std::vector<CommandTableEntry> rows = {MakeRow("a", NK_CMDF_DISABLED)};
    int before = NKGetDiagnosticCount();
    EXPECT_EQ(NKCommandTable::StripDisabledCommands(rows.data(), 1), 0);
    EXPECT_EQ(NKGetDiagnosticCount(), before + 1);
    EXPECT_STREQ(NKGetLastDiagnostic(),
                 "Seems like no commands are enabled, this must be an error");
    EXPECT_STREQ(NKGetLastDiagnosticFunction(), "NKCommandTable::StripDisabledCommands");
}
