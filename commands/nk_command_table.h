// commands/nk_command_table.h -- the table of every command of the command
// language and its lookup.
//
// The rows are static data generated at build time from
// commands/nk_commands.tsv (cmake/generated.cmake); the NK_CID_ constants the
// handlers switch on come from "commands/nk_command_ids.h". At the first
// construction of an NKCommandTable the rows flagged disabled are moved behind
// the others and the live rows are sorted by name in byte order, so that all
// names beginning with a given text form one contiguous run. The interpreter
// (nk_command.cpp) and the file-type test look typed words up here with the
// abbreviation and ambiguity rules of NKCommandTable::Find; words the errors
// themselves are left to the callers.
#pragma once

#include <cstdint>

#include "commands/nk_command_ids.h"

// Availability bits of CommandTableEntry::flags.
enum : uint32_t {
    NK_CMDF_WINDOWS_ONLY = 0x01,  // counts as available
    NK_CMDF_NOT_WINDOWS = 0x02,   // refused: "Command not available in WINDOWS version!"
    NK_CMDF_CAVE_ONLY = 0x04,     // refused: CAVE version only
    NK_CMDF_FULL_NAME = 0x08,     // must be typed in full when it is the only match
    NK_CMDF_DISABLED = 0x10,      // removed from the live table at set-up
    NK_CMDF_OBSOLETE = 0x20,      // refused: obsolete
    NK_CMDF_VR_ONLY = 0x40        // refused: VR version only
};

// One row of the table. Names are lower case, words separated by one blank.
struct CommandTableEntry {
    int32_t id;             // NK_CID_ constant; shared by synonyms and families
    char name[31];          // one, two or three words, or ";"
    uint8_t minabbr;        // minimum abbreviation length, 0 = none
    uint8_t needgeom;       // 1: refused while no model is loaded
    uint8_t keepsub;        // two-word match: 1 keeps the second word in the arguments
    uint32_t flags;         // NK_CMDF_ bits
    char synopsis[201];     // argument synopsis, quoted in parameter errors
    char description[200];  // one-line description
};

// The generated rows (nk_command_rows.cpp) and their number. After the first
// NKCommandTable construction the first g_iNumCommands rows are the live,
// sorted table.
extern CommandTableEntry g_NKCommandRows[];
extern const int g_iNKCommandRowCount;
extern int g_iNumCommands;
extern bool g_bCommandTableReady;

class NKCommandTable {
public:
    // Sets the shared table up on the first construction in the program's
    // life (strip disabled rows unless bKeepDisabled, then sort); every
    // construction starts with no current entry.
    explicit NKCommandTable(bool bKeepDisabled = false);

    // Looks pszText up among the live rows (rules in nk_command_table.cpp).
    // Returns the index of the entry found, -1 when nothing matches, -2 when
    // the text is ambiguous, and makes the result the current entry.
    // piCandidates/piNumCandidates may be null; when both are given,
    // *piNumCandidates holds the room in piCandidates on entry and the number
    // of indexes stored on return (a longer list is cut to the room).
    int Find(const char *pszText, int *piCandidates, int *piNumCandidates, bool bAllowAbbreviation,
             bool bNoExactResolve, bool bAvailableOnly, bool bListTwoWord);

    // The current entry (null when there is none). Valid for the program's life.
    CommandTableEntry *GetEntry() const;
    bool NeedsGeometry() const;
    bool IsAvailable() const;
    int GetCurrentIndex() const { return m_iCurrent; }

    // True when 0 <= iIndex < g_iNumCommands and the row's flags are exactly
    // 0 or NK_CMDF_WINDOWS_ONLY.
    static bool IsAvailableIndex(int iIndex);
    static bool IsAvailableFlags(uint32_t uFlags);

    // Binary search over the first iCount sorted rows for a row whose name
    // begins with pszText; its index or -1 (also for an empty text).
    static int SearchPrefix(const char *pszText, const CommandTableEntry *pTable, int iCount);
    // Ascending byte-order sort of whole rows by name.
    static void SortByName(CommandTableEntry *pTable, int iCount);
    static void SwapEntries(CommandTableEntry *pA, CommandTableEntry *pB);
    // Moves the rows flagged NK_CMDF_DISABLED behind the others and returns
    // the number of rows not so flagged (traced as an error when below 1).
    static int StripDisabledCommands(CommandTableEntry *pTable, int iCount);

private:
    int m_iCurrent;
};
