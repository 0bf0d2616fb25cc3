// commands/nk_part_range.h -- the part-range argument of the commands that
// act on parts.
//
// Most part commands take an optional range: two part numbers, one number,
// "0 0" for all parts, "-1" for the last part, a word beginning "sel" for
// the span of the selected parts, or a word beginning "unsel" for all parts
// in the unselected sense. NKCommandGetPartRange reads that range from the
// handler's running argument scan, checks it against the part count of the
// current geometry and, when asked (material and draw-style commands),
// against the attribute lock set by `lockattributes`. It prints nothing:
// the message goes to the error text and the handler reports it, as a rule
// through NKCommandError (nk_command_messages.h), and answers 1.
#pragma once

#include "commands/nk_argument_scan.h"
#include "core/nk_string.h"

enum {
    NK_PART_RANGE_NUMBERS = 0,     // numbers given ("0 0" and "-1" included)
    NK_PART_RANGE_SELECTED = 1,    // "sel...": first to last selected part
    NK_PART_RANGE_UNSELECTED = 2,  // "unsel...": parts 1 to n
    NK_PART_RANGE_NONE = 3,        // nothing given: parts 1 to n
    NK_PART_RANGE_ERROR = 4        // illegal; bounds untouched
};

// Marks a bound that was not given.
constexpr int NK_PART_NOT_GIVEN = 0x7FFFFFFF;

// Reads at most two tokens from pScan (whose "PARAMS" word the caller has
// taken). piFrom and piTo receive 1-based part numbers for every result
// below 4. For the numeric forms pLastToken (may be null) receives the
// second token read, a null string when there was none; the "sel" and
// "unsel" forms leave it alone. pErrorText (may be null) receives the
// message of result 4.
int NKCommandGetPartRange(NKArgumentScan *pScan, int *piFrom, int *piTo, NKString *pLastToken,
                          NKString *pErrorText, bool bCheckLocks);
