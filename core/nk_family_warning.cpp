// core/nk_family_warning.cpp -- a damaged family's warning and its two
// orders (see nk_family_warning.h).
#include "core/nk_family_warning.h"

#include <cctype>

#include "core/nk_message.h"

namespace {

// The warning being printed; messages run on the user-interface thread.
const NKFamilyWarning *sg_pPrinting = nullptr;

}  // namespace

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
    const NKFamilyWarning *pOuter = sg_pPrinting;
    sg_pPrinting = &warning;
    NKPrintMessage(warning.TerminalLine().c_str(), iLevel);
    sg_pPrinting = pOuter;
}

const NKFamilyWarning *NKPrintedFamilyWarning(void) { return sg_pPrinting; }
