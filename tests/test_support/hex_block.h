// tests/test_support/hex_block.h -- what the solid-model benchmarks share: a
// block of unit hexahedra as one part, and the seconds since a start time.
//
// The block of n x n x n hexahedra has (n + 1)^3 nodes at the integer
// points (i, j, k), numbered i fastest, then j, then k; element e (IDs from
// 1) has its corners counter-clockwise at the bottom, then at the top.
#pragma once

#include <chrono>

struct NKPart;

// Gives an empty part the block's nodes, elements and connectivity (NKAlloc
// arrays the part owns). False when memory runs out.
bool NKTestBuildHexBlock(NKPart *pPart, int n);

// Seconds of the steady clock since t0.
double NKTestSecondsSince(std::chrono::steady_clock::time_point t0);
