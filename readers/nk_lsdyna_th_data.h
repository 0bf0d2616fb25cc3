// readers/nk_lsdyna_th_data.h -- the control record of the open LS-DYNA
// time-history database, shared by its open (nk_lsdyna_th_open.cpp) and its
// curve, geometry and title functions (nk_lsdyna_th_curves.cpp). Nothing
// outside these two files includes it; the public face is nk_lsdyna_th.h.
#pragma once

#include <cstdint>
#include <vector>

#include "readers/nk_lsdyna_format.h"
#include "readers/nk_lsdyna_th.h"

// The five range lists, in file order.
enum { NK_TH_NDSB = 0, NK_TH_NSTHB = 1, NK_TH_NSTBB = 2, NK_TH_NSTSB = 3, NK_TH_NSTTB = 4 };

struct LSDynaThRange {
    int iFirst;
    int iLast;
};

// One series of a category: the entity's user ID and internal number.
struct LSDynaThItem {
    int iUserId;
    int iInternal;
};

// One node of the Nodes category and where its values lie.
struct LSDynaThNode {
    int iNode;           // internal number, 1-based
    float afInitial[3];  // coordinates of the geometry section
    int iSource;         // 0 solid, 1 shell, 2 thick-shell element nodes, 4 NDSB
    int iElement;        // index of the element within its block (0 for NDSB)
    int iPosition;       // node within the element, or index in the NDSB list
};

struct LSDynaThState {
    int iFile;        // family file in which the state begins
    int64_t iOffset;  // word offset in that file
    float fTime;
};

struct LSDynaThControl {
    uint8_t bOpen = 0;
    char title[256] = {0};
    LSDynaHeader header;  // control words, NDIM, MAXINT, ISTRN, NUMMAT
    std::vector<LSDynaThRange> ranges[5];
    int aiTotals[5] = {0, 0, 0, 0, 0};  // selected entities of each list
    int iInterfaceWords = 0;
    bool bSwap = false;
    int iWordSize = 4;
    int iFormat = NK_DYNA_NOT_DATABASE;
    int64_t iGeometryStart = 0, iGeometrySize = 0, iStateSize = 0;
    uint8_t bGeometryOnly = 0;
    int iNumStates = 0;
    std::vector<LSDynaThState> states;  // empty with fewer than two states
    LSDynaUserIds ids;
    std::vector<LSDynaThNode> nodes;
    uint8_t abCategory[NK_TH_NUM_CATEGORIES] = {0};
    uint8_t abComponent[NK_TH_NUM_CATEGORIES][NK_TH_NUM_COMPONENTS] = {{0}};
    std::vector<LSDynaThItem> items[NK_TH_NUM_CATEGORIES];
    std::vector<LSDynaFamilyFile> files;
    // Word offsets within a state (-1 where the block does not exist):
    // the first word after each leading word, and the result bases.
    int64_t iNodeBlock = -1, iSolidNodes = -1, iSolidResults = 0, iThickNodes = -1;
    int64_t iShellNodes = -1, iThickResults = 0, iBeamResults = 0, iShellResults = 0;
    int iNodeStride = 0;  // words per NDSB node

    int W(int iWord) const { return header.w[iWord]; }
};

extern LSDynaThControl g_LSDynaTh;

extern const char *const g_apszThCategoryNames[NK_TH_NUM_CATEGORIES];
extern const char *const g_apszThComponentNames[NK_TH_NUM_COMPONENTS];
