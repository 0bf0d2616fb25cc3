// render/nk_node_numbers.h -- node numbers drawn next to the nodes of the
// parts, and the label text of a node. The numbers command (tools/
// nk_info_commands.cpp) sets the range and NKViewSettings::bShowNodeNumbers;
// the part drawing (NKDrawPartExtras) draws each part's share while the
// switch is on.
#pragma once

#include "core/nk_string.h"

struct NKFrame;
struct NKPart;

// The nodes that get numbers: part indices from 0, node indices within the
// part. A to-node of -1 means the part's last node.
struct NKNodeNumberRange {
    int iFromPart = 0;
    int iFromNode = 0;
    int iToPart = 0x7fffffff;
    int iToNode = -1;
};
extern NKNodeNumberRange g_NodeNumberRange;

// The label of node iNode of part iPart: its node ID ("%d") when the part
// has node IDs, else "%d, %d" with the part number and the node index + 1.
NKString NKFormatNodeLabel(const NKPart &part, int iPart, int iNode);

// The numbers of the part's nodes inside the range, each at its drawn
// coordinates (displaced when the part shows displacements) in the text
// colour; nodes that project outside the viewport are skipped. GL state
// and the matrices are left as found.
void NKDrawNodeNumbers(NKFrame *pFrame, NKPart *pPart, int iPart, const NKNodeNumberRange *pRange);
