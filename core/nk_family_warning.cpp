// core/nk_family_warning.cpp -- a damaged family's warning and its two
// orders (see nk_family_warning.h).
#include "core/nk_family_warning.h"

#include <cctype>

#include "core/nk_message.h"

std::string NKFamilyWarning::TerminalLine(void) const
{
    return member + " " + found + pszJoint + statesEnd + ".";
}

std::string NKFamilyWarning::StatusLine(void) const
{
    std::string lead = statesEnd;
    if (!lead.empty()) lead[0] = (char)std::toupper((unsigned char)lead[0]);
    return lead + ": " + member + " " + found + ".";
}

void NKPrintFamilyWarning(const NKFamilyWarning &warning, int iLevel)
{
    NKPrintMessageFrom(warning.TerminalLine().c_str(), iLevel, &warning);
}
