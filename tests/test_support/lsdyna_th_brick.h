// tests/test_support/lsdyna_th_brick.h -- a one-brick LS-DYNA time-history
// database written word by word: 8 nodes in the NDSB list, the brick in the
// NSTHB list, 12 globals. At time t every node has moved by t x (0.3, 0,
// 0.4), the brick's xx stress is 90 t and the kinetic energy 5 t.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/test_support/lsdyna_test_writer.h"

// The unit cube's 8 corners, 3 coordinates each, in node order.
extern const double g_adLSDynaBrickCube[24];
// The header; words 64-67 hold NDSB (1, 8) and NSTHB (1, 1), so the geometry
// starts at word 68.
LSDynaTestHeader LSDynaBrickHistoryHeader(void);
// One state of 102 words at time t; iBrickNode1 is the brick's first node in
// the state's connectivity.
void LSDynaWriteBrickHistoryState(LSDynaTestWriter *w, double t, int iBrickNode1 = 1);
// The database with a state per time; returns its words.
int64_t LSDynaWriteBrickHistory(LSDynaTestWriter *w, const std::vector<double> &times,
                                LSDynaTestHeader h = LSDynaBrickHistoryHeader());
