// tests/test_support/plot_source_names.h -- the name arrays a plot source
// hands out (categories, components, series), taken into strings for the
// tests, and a name's rank among them.
#pragma once

#include <string>
#include <vector>

// The n names of ppNames as strings; the array is freed.
std::vector<std::string> NKTestTakeNames(char **ppNames, int n);
// The index of pszName in names, or -1.
int NKTestRank(const std::vector<std::string> &names, const char *pszName);
