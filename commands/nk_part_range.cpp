// commands/nk_part_range.cpp -- NKCommandGetPartRange (see nk_part_range.h).
// Reads the part count, the selected parts and the attribute locks of the
// current geometry through the model core.
#include "commands/nk_part_range.h"

#include <cstring>

#include "core/nk_frames.h"
#include "core/nk_references.h"

namespace {

bool IsPartLocked(int iPart)
{
    const NKPart *pParts = NKGetCurrentParts();
    return pParts != nullptr && pParts[iPart].bLockAttributes != 0;
}

void SetError(NKString *pErrorText, const NKString &message)
{
    if (pErrorText != nullptr) *pErrorText = message;
}

int ReadSelected(int *piFrom, int *piTo, NKString *pErrorText)
{
    int iFirst = -1, iLast = -1;
    for (int i = 0, n = NKGetNumParts(); i < n; i++) {
        if (!NKIsPartSelected(i)) continue;
        if (iFirst < 0) iFirst = i;
        iLast = i;
    }
    if (iFirst < 0) {
        SetError(pErrorText,
                 "Tried to operate on selected parts, but no selected parts were found");
        return NK_PART_RANGE_ERROR;
    }
    // Every part between the first and the last selected one counts.
    *piFrom = iFirst + 1;
    *piTo = iLast + 1;
    return NK_PART_RANGE_SELECTED;
}

// Locking is on when part 1 is locked. Locked parts inside the range move
// its start behind the last of them; a range that ends on a locked part has
// nothing left. Part 1 alone stays as given.
int ApplyLocks(int iNumParts, int *piFrom, int iTo, NKString *pErrorText)
{
    if (iNumParts < 1 || !IsPartLocked(0)) return NK_PART_RANGE_NUMBERS;
    if (*piFrom == 1 && iTo == 1) return NK_PART_RANGE_NUMBERS;
    if (IsPartLocked(iTo - 1)) {
        SetError(pErrorText,
                 NKString::FromFormat("All parts in specified range (%d to %d) are locked", *piFrom,
                                      iTo));
        return NK_PART_RANGE_ERROR;
    }
    for (int iPart = iTo; iPart >= *piFrom; iPart--) {
        if (IsPartLocked(iPart - 1)) {
            *piFrom = iPart + 1;
            break;
        }
    }
    return NK_PART_RANGE_NUMBERS;
}

}  // namespace

int NKCommandGetPartRange(NKArgumentScan *pScan, int *piFrom, int *piTo, NKString *pLastToken,
                          NKString *pErrorText, bool bCheckLocks)
{
    const int n = NKGetNumParts();
    int iFrom = NK_PART_NOT_GIVEN, iTo = NK_PART_NOT_GIVEN;
    int iResult = NK_PART_RANGE_NUMBERS;

    NKString first = pScan->NextToken();
    if (!first.IsNull()) {
        if (std::strncmp(first.GetText(), "sel", 3) == 0)
            return ReadSelected(piFrom, piTo, pErrorText);
        if (std::strncmp(first.GetText(), "unsel", 5) == 0) {
            *piFrom = 1;
            *piTo = n;
            return NK_PART_RANGE_UNSELECTED;
        }
        iFrom = first.ToInt();  // a word that is no number reads as 0
        NKString second = pScan->NextToken();
        if (!second.IsNull()) iTo = second.ToInt();
        if (pLastToken != nullptr) *pLastToken = second;
    } else if (pLastToken != nullptr) {
        *pLastToken = NKString();
    }

    if (iFrom == NK_PART_NOT_GIVEN) {
        iFrom = 1;
        iTo = n;
        iResult = NK_PART_RANGE_NONE;
    } else if (iFrom == -1) {
        iFrom = iTo = n;  // a second number is ignored
    } else if (iFrom == 0 && iTo == 0) {
        iFrom = 1;
        iTo = n;
    } else if (iTo == NK_PART_NOT_GIVEN) {
        iTo = iFrom;
    }

    // Without parts every numeric form is illegal: "-1" would otherwise
    // name part 0, which does not exist.
    bool bLegal = iFrom >= 1 && iFrom <= n && iTo >= 1 && iTo <= n && iFrom <= iTo;
    if (iResult == NK_PART_RANGE_NUMBERS && !bLegal) {
        SetError(pErrorText, NKString::FromFormat("Illegal part range %d %d  (legal range 1 -> %d)",
                                                  iFrom, iTo, n));
        return NK_PART_RANGE_ERROR;
    }
    if (bCheckLocks && n >= 1 && ApplyLocks(n, &iFrom, iTo, pErrorText) == NK_PART_RANGE_ERROR)
        return NK_PART_RANGE_ERROR;
    *piFrom = iFrom;
    *piTo = iTo;
    return iResult;
}
