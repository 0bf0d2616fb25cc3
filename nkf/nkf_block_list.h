// nkf/nkf_block_list.h -- NKFBlockList, the block database of one NKF
// file: one list per block type 0..27, each in strictly ascending block-ID
// order, so that a lookup is a direct probe or a binary search; every
// entry holds one reference to its block.
//
// The reader (nkf_reader.h) owns the list and looks the blocks that a block
// refers to up in it; the parser files every block it makes there. The
// list knows a block only by pointer, so the reader holds it without the
// block base; nkf_block_list.cpp uses the base (nkf_block.h) for the IDs
// and reference counts.
#pragma once

#include "core/nk_memory.h"
#include "nkf/nkf_format.h"

class NKFBlock;

class NKFBlockList {
public:
    NKFBlockList();
    ~NKFBlockList();
    NKFBlockList(const NKFBlockList &) = delete;
    NKFBlockList &operator=(const NKFBlockList &) = delete;

    // Files the block (adding a reference). A block with an ID already
    // present replaces the earlier one, which is released; *pbReplaced then
    // says so. False for a null block or when memory runs out.
    bool Add(NKFBlock *pBlock, bool *pbReplaced);
    int GetCount(int iType) const;
    NKFBlock *GetBlock(int iType, int i) const;
    NKFBlock *FindBlock(int iType, int iID) const;
    // Index of the block with the ID in its type's list, or -1.
    int FindIndex(int iType, int iID) const;
    // Where a block with the ID would go, or -1 when the ID is present.
    int InsertPosition(int iType, int iID) const;
    // The n-th block counting the types 0..27 in order, each in ID order.
    NKFBlock *GetBlockByIndex(int n) const;
    // Releases every block and empties the lists.
    void ReleaseAll();

private:
    const PtrArray *List(int iType) const;
    NKFBlock *Entry(int iType, int i) const;
    PtrArray m_Lists[NKF_NUM_BLOCK_TYPES];
};
