// core/nk_family_warning.h -- the warning of a damaged file family, kept in
// its parts: the member it names, what was found there and where the
// family's states end. The terminal shows the sentence in that order; a
// display with room for one line (the window's status line) puts where the
// states end first, so that a line cut to its width still says how many
// states remain. The parts travel with the printed line, so no display has
// to find them in its words (a folder's name may hold any of them).
#pragma once

#include <string>

struct NKFamilyWarning {
    std::string member;           // the member as the line names it (its kind and path)
    std::string found;            // what was found there ("holds only zeros")
    std::string statesEnd;        // "states end with state 3 at time 0.5", "no state is whole"
    const char *pszJoint = ", ";  // what joins the two (": " after a clause of its own)

    // "<member> <found><joint><states end>."
    std::string TerminalLine(void) const;
    // "<States end>: <member> <found>."
    std::string StatusLine(void) const;
};

// Prints the warning's terminal line at iLevel (NK_MSG_WARNING, or
// NK_MSG_ERROR where the open fails); while a sink receives that line,
// NKPrintedFamilyWarning (core/nk_message.h) gives the warning.
void NKPrintFamilyWarning(const NKFamilyWarning &warning, int iLevel);
