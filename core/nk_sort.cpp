// core/nk_sort.cpp -- the sorting, ring search and bucket lists of
// nk_sort.h that the edge search and the transparency order use.
#include "core/nk_sort.h"

#include <algorithm>

#include "core/nk_memory.h"

namespace {

// The one bucket-list structure.
struct NKBucketLists {
    NKBucketEntry **ppHeads = nullptr;
    NKBucketEntry *pPool = nullptr;
    int iUsed = 0;
    int iKeyCount = 0;
    int iPoolSize = 0;
};

NKBucketLists g_BucketLists;

}  // namespace

void NKSortFloatsIndexed(const float *pfKeys, int *piIndex, int n)
{
    if (pfKeys == nullptr || piIndex == nullptr || n < 1) return;
    for (int i = 0; i < n; i++) piIndex[i] = i;
    std::stable_sort(piIndex, piIndex + n,
                     [pfKeys](int a, int b) { return pfKeys[a] < pfKeys[b]; });
}

int NKFindEdgeInRing(int a, int b, const int *piRing, int n)
{
    if (piRing == nullptr || n < 1) return -1;
    for (int i = 0; i < n; i++) {
        int p = piRing[i];
        int q = piRing[(i + 1) % n];
        if ((p == a && q == b) || (p == b && q == a)) return i;
    }
    return -1;
}

bool NKBucketListInit(int iPoolSize, int iKeyCount)
{
    NKBucketListFree();
    if (iPoolSize < 1 || iKeyCount < 1) return false;
    g_BucketLists.ppHeads =
        static_cast<NKBucketEntry **>(NKCalloc((size_t)iKeyCount, sizeof(NKBucketEntry *)));
    g_BucketLists.pPool =
        static_cast<NKBucketEntry *>(NKCalloc((size_t)iPoolSize, sizeof(NKBucketEntry)));
    if (g_BucketLists.ppHeads == nullptr || g_BucketLists.pPool == nullptr) {
        NKBucketListFree();
        return false;
    }
    g_BucketLists.iKeyCount = iKeyCount;
    g_BucketLists.iPoolSize = iPoolSize;
    return true;
}

void NKBucketListAdd(int iKey, int iValue)
{
    NKBucketLists &b = g_BucketLists;
    if (iKey < 0 || iKey >= b.iKeyCount || b.iUsed >= b.iPoolSize) return;
    NKBucketEntry *pEntry = &b.pPool[b.iUsed++];
    pEntry->iValue = iValue;
    pEntry->pNext = b.ppHeads[iKey];
    b.ppHeads[iKey] = pEntry;
}

void NKBucketListClear(void)
{
    NKBucketLists &b = g_BucketLists;
    for (int i = 0; i < b.iKeyCount; i++) b.ppHeads[i] = nullptr;
    b.iUsed = 0;
}

void NKBucketListFree(void)
{
    NKFree(g_BucketLists.ppHeads);
    NKFree(g_BucketLists.pPool);
    g_BucketLists = NKBucketLists();
}

const NKBucketEntry *NKBucketListHead(int iKey)
{
    if (iKey < 0 || iKey >= g_BucketLists.iKeyCount) return nullptr;
    return g_BucketLists.ppHeads[iKey];
}

NKBucketEntry *const *NKBucketListHeads(void)
{
    return g_BucketLists.ppHeads;
}
