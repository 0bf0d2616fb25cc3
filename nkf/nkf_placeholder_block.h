// nkf/nkf_placeholder_block.h -- NKFPlaceholderBlock, which stands in the
// block factory for the block types whose own classes are not built yet.
// It frames a block like any other (binary: header sizes, end-of-block
// marker; ASCII: the lines up to the next block line) and keeps nothing of
// its content, so files holding such blocks still parse.
#pragma once

#include "nkf/nkf_block.h"

// Placeholder: replaced, type by type, by the block classes of the mesh,
// step-list and display-state blocks.
class NKFPlaceholderBlock : public NKFBlock {
public:
    NKFPlaceholderBlock(NKFReader *pReader, int iBlockID, int iType);
    bool ParseBlock() override;
    bool LoadData() override;
    bool WriteBlock() override { return true; }
    int GetNumItems() override { return 0; }
    void FreeData() override { m_bDataLoaded = false; }
};
