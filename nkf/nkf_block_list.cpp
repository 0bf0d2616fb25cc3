// nkf/nkf_block_list.cpp -- NKFBlockList, the block database of one
// NKF file: 28 PtrArrays, one per block type, each in strictly ascending
// block-ID order so that a lookup is a direct probe or a binary search.
// The IDs and reference counts are the block base's (nkf_block.h).
#include "nkf/nkf_block_list.h"

#include <algorithm>
#include <cstring>

#include "nkf/nkf_block.h"

NKFBlockList::NKFBlockList() {}

NKFBlockList::~NKFBlockList()
{
    // The reader releases the blocks; a list dropped without that still
    // frees its slot arrays (PtrArray's destructor).
}

const PtrArray *NKFBlockList::List(int iType) const
{
    if (iType < 0 || iType >= NKF_NUM_BLOCK_TYPES) return nullptr;
    return &m_Lists[iType];
}

NKFBlock *NKFBlockList::Entry(int iType, int i) const
{
    return (NKFBlock *)m_Lists[iType].GetAt(i);
}

int NKFBlockList::GetCount(int iType) const
{
    const PtrArray *pList = List(iType);
    return pList != nullptr ? pList->GetSize() : 0;
}

NKFBlock *NKFBlockList::GetBlock(int iType, int i) const
{
    const PtrArray *pList = List(iType);
    if (pList == nullptr || i < 0 || i >= pList->GetSize()) return nullptr;
    return Entry(iType, i);
}

NKFBlock *NKFBlockList::FindBlock(int iType, int iID) const
{
    int i = FindIndex(iType, iID);
    return i < 0 ? nullptr : Entry(iType, i);
}

int NKFBlockList::FindIndex(int iType, int iID) const
{
    const PtrArray *pList = List(iType);
    if (pList == nullptr || iID < 0) return -1;
    int n = pList->GetSize();
    if (n == 0) return -1;
    // Writers usually number blocks 0..n-1 or 1..n: probe those first.
    if (iID < n && Entry(iType, iID)->GetBlockID() == iID) return iID;
    if (iID >= 1 && iID <= n && Entry(iType, iID - 1)->GetBlockID() == iID) return iID - 1;
    int lo = 0, hi = n - 1;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        int iMidID = Entry(iType, mid)->GetBlockID();
        if (iMidID == iID) return mid;
        if (iMidID < iID)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return -1;
}

int NKFBlockList::InsertPosition(int iType, int iID) const
{
    const PtrArray *pList = List(iType);
    if (pList == nullptr) return -1;
    int n = pList->GetSize();
    if (n == 0) return 0;
    if (iID > Entry(iType, n - 1)->GetBlockID()) return n;
    if (iID < Entry(iType, 0)->GetBlockID()) return 0;
    int lo = 0, hi = n - 1;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        int iMidID = Entry(iType, mid)->GetBlockID();
        if (iMidID == iID) return -1;
        if (iMidID < iID)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return lo;  // the first block with a greater ID
}

bool NKFBlockList::Add(NKFBlock *pBlock, bool *pbReplaced)
{
    if (pbReplaced != nullptr) *pbReplaced = false;
    if (pBlock == nullptr) return false;
    int iType = pBlock->GetType();
    if (iType < 0 || iType >= NKF_NUM_BLOCK_TYPES) return false;
    PtrArray &list = m_Lists[iType];
    pBlock->AddRef();
    int p = InsertPosition(iType, pBlock->GetBlockID());
    if (p == -1) {
        // FindIndex answers -1 for every negative ID, but a file may number
        // its blocks below 0: find the present entry by its sort position.
        int iID = pBlock->GetBlockID();
        void **ppBegin = list.GetData();
        void **ppFound =
            std::lower_bound(ppBegin, ppBegin + list.GetSize(), iID, [](void *pEntry, int iKey) {
                return ((NKFBlock *)pEntry)->GetBlockID() < iKey;
            });
        int i = (int)(ppFound - ppBegin);
        if (pbReplaced != nullptr) *pbReplaced = true;
        ((NKFBlock *)list.GetAt(i))->Release();
        int n = list.GetSize();
        void **ppData = list.GetData();
        memmove(ppData + i, ppData + i + 1, (size_t)(n - i - 1) * sizeof(void *));
        list.SetSize(n - 1);
        p = InsertPosition(iType, pBlock->GetBlockID());
    }
    int n = list.GetSize();
    list.SetSize(n + 1);
    if (list.GetSize() != n + 1) {  // out of memory: the list is unchanged
        pBlock->Release();
        return false;
    }
    void **ppData = list.GetData();
    memmove(ppData + p + 1, ppData + p, (size_t)(n - p) * sizeof(void *));
    ppData[p] = pBlock;
    return true;
}

NKFBlock *NKFBlockList::GetBlockByIndex(int n) const
{
    if (n < 0) return nullptr;
    for (int iType = 0; iType < NKF_NUM_BLOCK_TYPES; iType++) {
        int iCount = m_Lists[iType].GetSize();
        if (n < iCount) return Entry(iType, n);
        n -= iCount;
    }
    return nullptr;
}

void NKFBlockList::ReleaseAll()
{
    for (PtrArray &list : m_Lists) {
        for (int i = 0; i < list.GetSize(); i++) ((NKFBlock *)list.GetAt(i))->Release();
        list.SetSize(0);
    }
}
