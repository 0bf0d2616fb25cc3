// tools/nk_edge_case_table.h -- EdgeCaseTable, the one table of the surface
// polygoniser (tools/nk_surface_polygoniser.h): for each mask of cut element
// edges (bit e = edge e is cut, edges numbered as NKElementEdgeNodes numbers
// them), the order in which the crossing points on those edges are joined into
// one polygon. Row m lists each set edge of m once, then -1 in every
// remaining slot. The same row serves every element type.
#pragma once

enum { NK_EDGE_CASE_ROWS = 4096, NK_EDGE_CASE_ROW_LENGTH = 12 };

// The twelve entries of row iMask; null for a mask outside 0..4095.
const int *NKGetEdgeCaseRow(int iMask);

// The rows that real elements reach are listed in the table's source; these
// two let a test walk that list: its length, and the mask of entry i (-1
// outside the list).
int NKGetNumListedEdgeCaseRows(void);
int NKGetListedEdgeCaseMask(int i);
