// tests/test_support/plot_source_names.cpp -- plot-source names for the
// tests (see plot_source_names.h).
#include "tests/test_support/plot_source_names.h"

#include "core/nk_memory.h"

std::vector<std::string> NKTestTakeNames(char **ppNames, int n)
{
    std::vector<std::string> v;
    for (int i = 0; i < n && ppNames != nullptr; i++) v.push_back(ppNames[i]);
    NKFreeBlockArray((void **)ppNames, n);
    return v;
}

int NKTestRank(const std::vector<std::string> &names, const char *pszName)
{
    for (size_t i = 0; i < names.size(); i++)
        if (names[i] == pszName) return (int)i;
    return -1;
}
