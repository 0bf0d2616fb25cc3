// tools/nk_edge_case_table.cpp -- EdgeCaseTable: the corner order of the
// polygon that cuts an element, by the mask of its cut edges.
//
// The table is built by the compiler: every row starts as its set edge bits in
// ascending order (the rows no element can reach), then the 150 rows that the
// corner sides of triangles, quadrilaterals, tetrahedra, pentahedra and
// hexahedra produce take their listed order, in which consecutive entries lie
// on one face of the element (the last joined to the first).
#include "tools/nk_edge_case_table.h"

namespace {

struct ListedRow {
    int iMask;
    int aiEdges[NK_EDGE_CASE_ROW_LENGTH];  // the first popcount(iMask) are used
};

// clang-format off
constexpr ListedRow sg_aListedRows[] = {
    {0x003, {0, 1}},
    {0x005, {0, 2}},
    {0x006, {1, 2}},
    {0x009, {0, 3}},
    {0x00a, {1, 3}},
    {0x00c, {2, 3}},
    {0x00e, {1, 2, 3}},
    {0x00f, {0, 1, 2, 3}},
    {0x013, {0, 1, 4}},
    {0x01d, {0, 2, 3, 4}},
    {0x025, {0, 2, 5}},
    {0x02b, {0, 1, 3, 5}},
    {0x036, {1, 2, 5, 4}},
    {0x038, {3, 4, 5}},
    {0x0c1, {0, 6, 7}},
    {0x0cf, {0, 1, 7, 2, 3, 6}},
    {0x0d2, {1, 4, 6, 7}},
    {0x0dc, {2, 3, 4, 6, 7}},
    {0x0e4, {2, 5, 6, 7}},
    {0x0ea, {1, 3, 5, 6, 7}},
    {0x0f7, {0, 1, 2, 7, 6, 5, 4}},
    {0x0f9, {0, 4, 5, 6, 7, 3}},
    {0x145, {0, 2, 8, 6}},
    {0x14b, {0, 1, 3, 8, 6}},
    {0x156, {1, 2, 8, 6, 4}},
    {0x158, {3, 4, 6, 8}},
    {0x160, {5, 6, 8}},
    {0x16e, {1, 2, 3, 5, 6, 8}},
    {0x173, {0, 1, 4, 5, 6, 8}},
    {0x17d, {0, 2, 3, 4, 5, 6, 8}},
    {0x184, {2, 7, 8}},
    {0x18a, {1, 3, 8, 7}},
    {0x197, {0, 1, 2, 7, 8, 4}},
    {0x199, {0, 4, 3, 8, 7}},
    {0x1a1, {0, 5, 8, 7}},
    {0x1af, {0, 1, 2, 3, 5, 7, 8}},
    {0x1b2, {1, 4, 5, 8, 7}},
    {0x1bc, {2, 3, 4, 5, 7, 8}},
    {0x225, {0, 2, 9, 5}},
    {0x22b, {0, 1, 3, 9, 5}},
    {0x236, {1, 2, 9, 5, 4}},
    {0x238, {3, 4, 5, 9}},
    {0x2e4, {2, 7, 6, 5, 9}},
    {0x2ea, {1, 3, 5, 6, 7, 9}},
    {0x2f7, {0, 1, 2, 4, 5, 6, 7, 9}},
    {0x2f9, {0, 3, 4, 5, 6, 7, 9}},
    {0x360, {5, 6, 8, 9}},
    {0x36e, {1, 2, 3, 5, 6, 8, 9}},
    {0x373, {0, 1, 4, 5, 6, 8, 9}},
    {0x37d, {0, 2, 3, 4, 5, 6, 8, 9}},
    {0x3a1, {0, 5, 9, 8, 7}},
    {0x3af, {0, 1, 2, 3, 5, 7, 8, 9}},
    {0x3b2, {1, 4, 5, 7, 8, 9}},
    {0x3bc, {2, 3, 4, 5, 7, 8, 9}},
    {0x460, {5, 6, 10}},
    {0x46e, {1, 2, 3, 5, 6, 10}},
    {0x473, {0, 1, 4, 5, 6, 10}},
    {0x47d, {0, 2, 3, 4, 5, 6, 10}},
    {0x4a1, {0, 5, 10, 7}},
    {0x4af, {0, 1, 2, 3, 5, 7, 10}},
    {0x4b2, {1, 4, 5, 10, 7}},
    {0x4bc, {2, 3, 4, 5, 7, 10}},
    {0x525, {0, 2, 8, 10, 5}},
    {0x52b, {0, 1, 3, 5, 8, 10}},
    {0x536, {1, 4, 5, 10, 8, 2}},
    {0x538, {3, 4, 5, 10, 8}},
    {0x5e4, {2, 5, 6, 7, 8, 10}},
    {0x5ea, {1, 3, 5, 6, 7, 8, 10}},
    {0x5f7, {0, 1, 2, 4, 5, 6, 7, 8, 10}},
    {0x5f9, {0, 3, 4, 5, 6, 7, 8, 10}},
    {0x645, {0, 2, 9, 10, 6}},
    {0x64b, {0, 1, 3, 9, 10, 6}},
    {0x656, {1, 2, 4, 6, 9, 10}},
    {0x658, {3, 4, 6, 10, 9}},
    {0x684, {2, 7, 10, 9}},
    {0x68a, {1, 3, 9, 10, 7}},
    {0x697, {0, 1, 2, 4, 7, 9, 10}},
    {0x699, {0, 3, 4, 7, 9, 10}},
    {0x700, {8, 9, 10}},
    {0x70e, {1, 2, 3, 8, 9, 10}},
    {0x713, {0, 1, 4, 8, 9, 10}},
    {0x71d, {0, 2, 3, 4, 8, 9, 10}},
    {0x7c1, {0, 6, 7, 8, 9, 10}},
    {0x7cf, {0, 1, 2, 3, 6, 7, 8, 9, 10}},
    {0x7d2, {1, 4, 6, 7, 8, 9, 10}},
    {0x7dc, {2, 3, 4, 6, 7, 8, 9, 10}},
    {0x823, {0, 1, 11, 5}},
    {0x82d, {0, 2, 3, 11, 5}},
    {0x830, {4, 5, 11}},
    {0x83e, {1, 2, 3, 4, 5, 11}},
    {0x8e2, {1, 11, 5, 6, 7}},
    {0x8ec, {2, 3, 11, 5, 6, 7}},
    {0x8f1, {0, 4, 5, 6, 7, 11}},
    {0x8ff, {0, 1, 2, 3, 4, 5, 6, 7, 11}},
    {0x966, {1, 2, 5, 6, 8, 11}},
    {0x968, {3, 11, 5, 6, 8}},
    {0x975, {0, 2, 4, 5, 6, 8, 11}},
    {0x97b, {0, 1, 3, 4, 5, 6, 8, 11}},
    {0x9a7, {0, 1, 2, 5, 7, 8, 11}},
    {0x9a9, {0, 3, 5, 7, 8, 11}},
    {0x9b4, {2, 4, 5, 7, 8, 11}},
    {0x9ba, {1, 3, 4, 5, 7, 8, 11}},
    {0xa06, {1, 2, 9, 11}},
    {0xa08, {3, 9, 11}},
    {0xa15, {0, 2, 9, 11, 4}},
    {0xa1b, {0, 1, 3, 4, 9, 11}},
    {0xac7, {0, 1, 2, 6, 7, 9, 11}},
    {0xac9, {0, 3, 6, 7, 9, 11}},
    {0xad4, {2, 4, 6, 7, 9, 11}},
    {0xada, {1, 3, 4, 6, 7, 9, 11}},
    {0xb43, {0, 1, 6, 8, 9, 11}},
    {0xb4d, {0, 2, 3, 6, 8, 9, 11}},
    {0xb50, {4, 6, 8, 9, 11}},
    {0xb5e, {1, 2, 3, 4, 6, 8, 9, 11}},
    {0xb82, {1, 7, 8, 9, 11}},
    {0xb8c, {2, 3, 7, 8, 9, 11}},
    {0xb91, {0, 4, 11, 9, 8, 7}},
    {0xb9f, {0, 1, 2, 3, 4, 7, 8, 9, 11}},
    {0xc43, {0, 1, 11, 10, 6}},
    {0xc4d, {0, 2, 3, 6, 10, 11}},
    {0xc50, {4, 6, 10, 11}},
    {0xc5e, {1, 2, 3, 4, 6, 10, 11}},
    {0xc82, {1, 7, 10, 11}},
    {0xc8c, {2, 3, 11, 10, 7}},
    {0xc91, {4, 0, 7, 10, 11}},
    {0xc9f, {0, 1, 2, 3, 4, 7, 10, 11}},
    {0xd06, {1, 2, 8, 10, 11}},
    {0xd08, {3, 8, 10, 11}},
    {0xd15, {0, 2, 4, 8, 10, 11}},
    {0xd1b, {0, 1, 3, 4, 8, 10, 11}},
    {0xdc7, {0, 1, 2, 6, 7, 8, 10, 11}},
    {0xdc9, {0, 3, 6, 7, 8, 10, 11}},
    {0xdd4, {2, 4, 6, 7, 8, 10, 11}},
    {0xdda, {1, 3, 4, 6, 7, 8, 10, 11}},
    {0xe66, {1, 2, 5, 6, 9, 10, 11}},
    {0xe68, {3, 9, 10, 6, 5, 11}},
    {0xe75, {0, 2, 4, 5, 6, 9, 10, 11}},
    {0xe7b, {0, 1, 3, 4, 5, 6, 9, 10, 11}},
    {0xea7, {0, 1, 2, 5, 7, 9, 10, 11}},
    {0xea9, {0, 3, 5, 7, 9, 10, 11}},
    {0xeb4, {2, 4, 5, 7, 9, 10, 11}},
    {0xeba, {1, 3, 4, 5, 7, 9, 10, 11}},
    {0xf23, {0, 1, 5, 8, 9, 10, 11}},
    {0xf2d, {0, 2, 3, 5, 8, 9, 10, 11}},
    {0xf30, {4, 5, 8, 9, 10, 11}},
    {0xf3e, {1, 2, 3, 4, 5, 8, 9, 10, 11}},
    {0xfe2, {1, 5, 6, 7, 8, 9, 10, 11}},
    {0xfec, {2, 3, 5, 6, 7, 8, 9, 10, 11}},
    {0xff1, {0, 4, 5, 6, 7, 8, 9, 10, 11}},
    {0xfff, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
};
// clang-format on

struct EdgeCaseTableData {
    int aiRows[NK_EDGE_CASE_ROWS][NK_EDGE_CASE_ROW_LENGTH];
};

constexpr int BitCount(int iMask)
{
    int n = 0;
    for (; iMask != 0; iMask &= iMask - 1) n++;
    return n;
}

constexpr EdgeCaseTableData MakeEdgeCaseTable()
{
    EdgeCaseTableData t{};
    for (int m = 0; m < NK_EDGE_CASE_ROWS; m++) {
        int k = 0;
        for (int e = 0; e < NK_EDGE_CASE_ROW_LENGTH; e++)
            if ((m >> e) & 1) t.aiRows[m][k++] = e;
        for (; k < NK_EDGE_CASE_ROW_LENGTH; k++) t.aiRows[m][k] = -1;
    }
    for (const ListedRow &row : sg_aListedRows) {
        int n = BitCount(row.iMask);
        for (int k = 0; k < n; k++) t.aiRows[row.iMask][k] = row.aiEdges[k];
    }
    return t;
}

constexpr EdgeCaseTableData sg_EdgeCaseTable = MakeEdgeCaseTable();

}  // namespace

const int *NKGetEdgeCaseRow(int iMask)
{
    if (iMask < 0 || iMask >= NK_EDGE_CASE_ROWS) return nullptr;
    return sg_EdgeCaseTable.aiRows[iMask];
}

int NKGetNumListedEdgeCaseRows(void)
{
    return (int)(sizeof(sg_aListedRows) / sizeof(sg_aListedRows[0]));
}

int NKGetListedEdgeCaseMask(int i)
{
    if (i < 0 || i >= NKGetNumListedEdgeCaseRows()) return -1;
    return sg_aListedRows[i].iMask;
}
