// tests/test_support/lsdyna_th_brick.cpp -- the one-brick LS-DYNA
// time-history database of the time-history and plot command tests (see
// lsdyna_th_brick.h).
#include "tests/test_support/lsdyna_th_brick.h"

const double g_adLSDynaBrickCube[24] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0,
                                        0, 0, 1, 1, 0, 1, 1, 1, 1, 0, 1, 1};

// The header of the one-brick database; words 64-67 hold NDSB (1, 8) and
// NSTHB (1, 1), so the geometry starts at word 68.
LSDynaTestHeader LSDynaBrickHistoryHeader(void)
{
    LSDynaTestHeader h;
    h.w[15] = 4;     // NDIM (3)
    h.w[16] = 8;     // NUMNP
    h.w[18] = 12;    // NGLBV: 6 globals, 6 of the one material
    h.w[20] = 1;     // IU
    h.w[23] = 1;     // NEL8
    h.w[24] = 1;     // NUMMAT8
    h.w[25] = 1;     // NDSB ranges
    h.w[27] = 7;     // NV3D
    h.w[43] = 1000;  // IOSHL(1): stresses
    h.w[44] = 1000;  // IOSHL(2): plastic strain
    h.w[59] = 1;     // element-block ranges in all
    h.w[60] = 1;     // NSTHB ranges
    return h;
}

// One state of 102 words: the time, 12 globals, the NDSB node block, the
// brick's element node block and its 7 results. At time t every node has
// moved by t x (0.3, 0, 0.4), the brick's xx stress is 90 t and the kinetic
// energy 5 t.
void LSDynaWriteBrickHistoryState(LSDynaTestWriter *w, double t, int iBrickNode1)
{
    w->Float(t);
    w->Floats({5 * t, 2, 3, 0, 0, 0, 7, 8, 0, 0, 0, 0});  // globals
    w->Float(0);                                          // node block's leading word
    for (int i = 0; i < 24; i++)
        w->Float(g_adLSDynaBrickCube[i] + t * (i % 3 == 0 ? 0.3 : i % 3 == 2 ? 0.4 : 0));
    w->Float(0);  // solid node block's leading word
    w->Ints({iBrickNode1, 2, 3, 4, 5, 6, 7, 8});
    for (int i = 0; i < 24; i++)
        w->Float(g_adLSDynaBrickCube[i] + t * (i % 3 == 0 ? 0.3 : i % 3 == 2 ? 0.4 : 0));
    for (int i = 0; i < 24; i++) w->Float(0);     // velocities
    w->Floats({90 * t, 0, 0, 0, 0, 0, 0.5 * t});  // xx, yy, zz, xy, yz, zx, plastic strain
}

// The database with the given states; returns its words.
int64_t LSDynaWriteBrickHistory(LSDynaTestWriter *w, const std::vector<double> &times,
                                LSDynaTestHeader h)
{
    LSDynaWriteHeader(w, h, "brick history");
    w->Ints({1, 8, 1, 1});  // NDSB (1, 8), NSTHB (1, 1)
    w->Floats(std::vector<double>(g_adLSDynaBrickCube, g_adLSDynaBrickCube + 24));
    w->Ints({1, 2, 3, 4, 5, 6, 7, 8, 1});  // brick nodes, material
    for (double t : times) LSDynaWriteBrickHistoryState(w, t);
    return w->Words();
}
