// tests/test_support/nk_string_print.h -- lets GoogleTest show an NKString
// in failure messages: its text in quotes, or (null) for a null text.
#pragma once

#include <ostream>

#include "core/nk_string.h"

inline void PrintTo(const NKString &s, std::ostream *pOut)
{
    if (s.IsNull())
        *pOut << "(null)";
    else
        *pOut << '"' << s.GetText() << '"';
}
