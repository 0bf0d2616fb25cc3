// commands/nk_argument_scan.h -- the token scan that command handlers run
// over their argument text.
//
// A handler that does not use CommandParams scans its arguments token by
// token: it copies the argument text ("PARAMS " + arguments, nk_command.h),
// takes the "PARAMS" word, and then reads plain tokens (counts, delays, part
// numbers), file arguments (a double-quoted name may hold blanks) and the
// rest of the line. The part-range parser (nk_part_range.h) continues the
// same scan. Each scan owns its copy of the text, so handlers that run
// further command lines while they scan cannot disturb one another.
#pragma once

#include <string>

#include "core/nk_string.h"

class NKArgumentScan {
public:
    explicit NKArgumentScan(const char *pszText);

    // The next token separated by blanks or tabs (runs of them give no empty
    // tokens); a null string when none is left.
    NKString NextToken();
    // The next file argument: when the rest of the line, past its blanks,
    // begins with a double quote, the text up to the closing quote (the
    // first one that a blank, a tab or the end of the line follows; else
    // the end of the line) without the quotes; else the next token. A null
    // string when none is left.
    NKString NextArgument();
    // Everything after the tokens taken so far, blanks included.
    NKString Rest() const;
    bool AtEnd() const;

private:
    void SkipBlanks();

    std::string m_text;
    size_t m_iPos = 0;
};
