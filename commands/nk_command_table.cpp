// commands/nk_command_table.cpp -- set-up and lookup of the command table
// (see nk_command_table.h). The rows themselves are generated from
// commands/nk_commands.tsv into nk_command_rows.cpp.
//
// Lookup rules, for a typed text of length L:
//  - the text must begin at least one live name (case-sensitive);
//  - a text whose last word (after a blank) is a whole number matches only a
//    name equal to it: "label 2" chooses label 2, it does not begin
//    "label 2dpos";
//  - a run of one row is the result, unless that row must be typed in full
//    (NK_CMDF_FULL_NAME) and the text is shorter than its name;
//  - in a longer run, a name equal to the text wins (it is the run's first row);
//  - then the first row whose minimum abbreviation is at most L;
//  - then the only one-word name of the run, if there is exactly one;
//  - otherwise the text is ambiguous.
#include "commands/nk_command_table.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/nk_diagnostic.h"

int g_iNumCommands = 0;
bool g_bCommandTableReady = false;

namespace {

bool BeginsWith(const char *pszName, const char *pszText, size_t iLength)
{
    return std::strncmp(pszName, pszText, iLength) == 0;
}

bool HasBlank(const char *pszText) { return std::strchr(pszText, ' ') != nullptr; }

// True when a blank is followed by a last word of digits, with or without a
// sign: an ID or a count given to a command, never a sub-command begun.
bool EndsInWholeNumberWord(const char *pszText)
{
    const char *pszBlank = std::strrchr(pszText, ' ');
    if (pszBlank == nullptr) return false;
    const char *p = pszBlank + 1;
    if (*p == '+' || *p == '-') p++;
    if (*p == '\0') return false;
    for (; *p != '\0'; p++)
        if (*p < '0' || *p > '9') return false;
    return true;
}

// The run of live rows whose names begin with the text, around iFound.
void WidenRun(const char *pszText, size_t iLength, int iFound, int *piLow, int *piHigh)
{
    int iLow = iFound, iHigh = iFound;
    while (iLow > 0 && BeginsWith(g_NKCommandRows[iLow - 1].name, pszText, iLength)) iLow--;
    while (iHigh + 1 < g_iNumCommands &&
           BeginsWith(g_NKCommandRows[iHigh + 1].name, pszText, iLength))
        iHigh++;
    *piLow = iLow;
    *piHigh = iHigh;
}

// With available-only: no available row gives false; exactly one shrinks the
// run to it; several leave the run as it is.
bool ShrinkToAvailable(int *piLow, int *piHigh)
{
    int iCount = 0, iOnly = -1;
    for (int i = *piLow; i <= *piHigh; i++) {
        if (NKCommandTable::IsAvailableIndex(i)) {
            iCount++;
            iOnly = i;
        }
    }
    if (iCount == 0) return false;
    if (iCount == 1) *piLow = *piHigh = iOnly;
    return true;
}

int FindMinAbbreviation(int iLow, int iHigh, size_t iLength)
{
    for (int i = iLow; i <= iHigh; i++) {
        uint8_t uMin = g_NKCommandRows[i].minabbr;
        if (uMin != 0 && uMin <= iLength) return i;
    }
    return -1;
}

int FindOnlyOneWordName(int iLow, int iHigh)
{
    int iCount = 0, iOnly = -1;
    for (int i = iLow; i <= iHigh; i++) {
        if (!HasBlank(g_NKCommandRows[i].name)) {
            iCount++;
            iOnly = i;
        }
    }
    return iCount == 1 ? iOnly : -1;
}

struct CandidateRequest {
    int *piList;
    int *piCount;
    int iRoom;
    bool bListTwoWord;
    bool bTypedBlank;
    bool bAvailableOnly;
};

void StoreCandidate(const CandidateRequest &req, int iIndex, int *piStored)
{
    if (*piStored < req.iRoom) req.piList[*piStored] = iIndex;
    (*piStored)++;
}

// With a result the list is that one index; without one, every row of the
// run (two-word names only when asked for, typed or after a full match).
void FillCandidates(const CandidateRequest &req, int iResult, int iLow, int iHigh, bool bFullMatch)
{
    if (req.piList == nullptr || req.piCount == nullptr) return;
    int iStored = 0;
    if (iResult >= 0) {
        StoreCandidate(req, iResult, &iStored);
    } else {
        bool bTwoWord = req.bListTwoWord || req.bTypedBlank || bFullMatch;
        for (int i = iLow; i <= iHigh; i++) {
            if (!bTwoWord && HasBlank(g_NKCommandRows[i].name)) continue;
            if (req.bAvailableOnly && !NKCommandTable::IsAvailableIndex(i)) continue;
            StoreCandidate(req, i, &iStored);
        }
    }
    *req.piCount = std::min(iStored, req.iRoom);
}

}  // namespace

NKCommandTable::NKCommandTable(bool bKeepDisabled) : m_iCurrent(-1)
{
    if (g_bCommandTableReady) return;
    g_iNumCommands = bKeepDisabled ? g_iNKCommandRowCount
                                   : StripDisabledCommands(g_NKCommandRows, g_iNKCommandRowCount);
    SortByName(g_NKCommandRows, g_iNumCommands);
    g_bCommandTableReady = true;
}

int NKCommandTable::Find(const char *pszText, int *piCandidates, int *piNumCandidates,
                         bool bAllowAbbreviation, bool bNoExactResolve, bool bAvailableOnly,
                         bool bListTwoWord)
{
    m_iCurrent = -1;
    CandidateRequest req{piCandidates, piNumCandidates, 0, bListTwoWord, false, bAvailableOnly};
    if (piCandidates != nullptr && piNumCandidates != nullptr) {
        req.iRoom = std::max(*piNumCandidates, 0);
        *piNumCandidates = 0;  // stays 0 when nothing matches
    }
    size_t iLength = pszText ? std::strlen(pszText) : 0;
    if (iLength == 0) return -1;
    req.bTypedBlank = HasBlank(pszText);

    int iFound = SearchPrefix(pszText, g_NKCommandRows, g_iNumCommands);
    if (iFound < 0) return -1;
    int iLow, iHigh;
    WidenRun(pszText, iLength, iFound, &iLow, &iHigh);
    // The run is sorted, so a name equal to the text is its first row.
    if (EndsInWholeNumberWord(pszText)) {
        if (std::strlen(g_NKCommandRows[iLow].name) != iLength) return -1;
        iHigh = iLow;
    }
    if (bAvailableOnly && !ShrinkToAvailable(&iLow, &iHigh)) return -1;

    int iResult = -1;
    bool bFullMatch = false;
    if (iLow == iHigh) {
        const CommandTableEntry &row = g_NKCommandRows[iLow];
        if ((row.flags & NK_CMDF_FULL_NAME) && std::strlen(row.name) != iLength) return -1;
        iResult = iLow;
        bFullMatch = true;
    } else {
        if (std::strlen(g_NKCommandRows[iLow].name) == iLength &&
            (!bAvailableOnly || IsAvailableIndex(iLow))) {
            bFullMatch = true;
            if (!bNoExactResolve) iResult = iLow;
        }
        if (iResult < 0 && bAllowAbbreviation) iResult = FindMinAbbreviation(iLow, iHigh, iLength);
        if (iResult < 0 && !bNoExactResolve) iResult = FindOnlyOneWordName(iLow, iHigh);
    }
    FillCandidates(req, iResult, iLow, iHigh, bFullMatch);
    m_iCurrent = iResult;
    return iResult >= 0 ? iResult : -2;
}

CommandTableEntry *NKCommandTable::GetEntry() const
{
    return m_iCurrent >= 0 ? &g_NKCommandRows[m_iCurrent] : nullptr;
}

bool NKCommandTable::NeedsGeometry() const
{
    const CommandTableEntry *pEntry = GetEntry();
    return pEntry != nullptr && pEntry->needgeom != 0;
}

bool NKCommandTable::IsAvailable() const { return m_iCurrent >= 0 && IsAvailableIndex(m_iCurrent); }

bool NKCommandTable::IsAvailableFlags(uint32_t uFlags)
{
    return uFlags == 0 || uFlags == NK_CMDF_WINDOWS_ONLY;
}

bool NKCommandTable::IsAvailableIndex(int iIndex)
{
    return iIndex >= 0 && iIndex < g_iNumCommands &&
           IsAvailableFlags(g_NKCommandRows[iIndex].flags);
}

int NKCommandTable::SearchPrefix(const char *pszText, const CommandTableEntry *pTable, int iCount)
{
    size_t iLength = pszText ? std::strlen(pszText) : 0;
    if (iLength == 0 || pTable == nullptr || iCount < 1) return -1;
    int iLow = 0, iHigh = iCount - 1, iMiddle = 0;
    while (iLow <= iHigh) {
        iMiddle = (iLow + iHigh) / 2;
        int iCompare = std::strncmp(pszText, pTable[iMiddle].name, iLength);
        if (iCompare == 0) break;
        if (iCompare < 0)
            iHigh = iMiddle - 1;
        else
            iLow = iMiddle + 1;
    }
    return BeginsWith(pTable[iMiddle].name, pszText, iLength) ? iMiddle : -1;
}

// Names are unique, so any correct sort gives the order that repeated
// neighbour swaps would give; std::sort avoids their quadratic cost.
void NKCommandTable::SortByName(CommandTableEntry *pTable, int iCount)
{
    if (pTable == nullptr || iCount < 2) return;
    std::sort(pTable, pTable + iCount, [](const CommandTableEntry &a, const CommandTableEntry &b) {
        return std::strcmp(a.name, b.name) < 0;  // strcmp compares unsigned bytes
    });
}

void NKCommandTable::SwapEntries(CommandTableEntry *pA, CommandTableEntry *pB)
{
    if (pA != nullptr && pB != nullptr) std::swap(*pA, *pB);
}

int NKCommandTable::StripDisabledCommands(CommandTableEntry *pTable, int iCount)
{
    int iEnabled = 0;
    if (pTable != nullptr && iCount > 0) {
        CommandTableEntry *pEnd =
            std::stable_partition(pTable, pTable + iCount, [](const CommandTableEntry &row) {
                return (row.flags & NK_CMDF_DISABLED) == 0;
            });
        iEnabled = static_cast<int>(pEnd - pTable);
    }
    if (iEnabled < 1)
        NKDiagnostic("Seems like no commands are enabled, this must be an error",
                     "NKCommandTable::StripDisabledCommands");
    return iEnabled;
}
