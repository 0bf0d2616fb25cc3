// commands/nk_argument_scan.cpp -- see nk_argument_scan.h. The scan never
// writes into its text, so Rest() gives the line exactly as typed.
#include "commands/nk_argument_scan.h"

namespace {

// Tabs separate tokens as blanks do, so that arguments typed with a tab
// between them are not run together.
bool IsSeparator(char c) { return c == ' ' || c == '\t'; }

// A quote followed by white space (a line's break included) ends its word.
bool EndsWord(char c) { return IsSeparator(c) || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

size_t FindSeparator(const std::string &text, size_t iFrom)
{
    while (iFrom < text.size() && !IsSeparator(text[iFrom])) iFrom++;
    return iFrom;
}

}  // namespace

NKArgumentScan::NKArgumentScan(const char *pszText) : m_text(pszText != nullptr ? pszText : "") {}

void NKArgumentScan::SkipBlanks()
{
    while (m_iPos < m_text.size() && IsSeparator(m_text[m_iPos])) m_iPos++;
}

NKString NKArgumentScan::NextToken()
{
    SkipBlanks();
    if (m_iPos >= m_text.size()) return NKString();
    size_t iEnd = FindSeparator(m_text, m_iPos);
    NKString token;
    token.Assign(m_text.c_str() + m_iPos, (int)(iEnd - m_iPos));
    // The delimiter is consumed, as a strtok-style scan does.
    m_iPos = iEnd < m_text.size() ? iEnd + 1 : iEnd;
    return token;
}

// The quote that closes a quoted argument ends its word: one followed by
// more characters is inside the name (`"x"y.nkf"` names x"y.nkf, which a
// name check then refuses), not the end of a name x with y.nkf" left over.
NKString NKArgumentScan::NextArgument()
{
    SkipBlanks();
    if (m_iPos >= m_text.size() || m_text[m_iPos] != '"') return NextToken();
    size_t iStart = m_iPos + 1;
    size_t iEnd = m_text.find('"', iStart);
    while (iEnd != std::string::npos && iEnd + 1 < m_text.size() && !EndsWord(m_text[iEnd + 1]))
        iEnd = m_text.find('"', iEnd + 1);
    if (iEnd == std::string::npos) iEnd = m_text.size();
    NKString argument;
    argument.Assign(m_text.c_str() + iStart, (int)(iEnd - iStart));
    m_iPos = iEnd < m_text.size() ? iEnd + 1 : iEnd;
    return argument;
}

NKString NKArgumentScan::Rest() const
{
    return NKString(m_iPos < m_text.size() ? m_text.c_str() + m_iPos : "");
}

bool NKArgumentScan::AtEnd() const
{
    for (size_t i = m_iPos; i < m_text.size(); i++)
        if (!IsSeparator(m_text[i])) return false;
    return true;
}
