// core/nk_sort.h -- sorting and searching on plain int and float arrays, and
// the global bucket lists that chain values under integer keys.
//
// Only what the edge search and the transparency order call is here so far;
// the full sorting module replaces this header and its source.
#pragma once

// One entry of a bucket list: a value and the next entry of the same key.
struct NKBucketEntry {
    int iValue;
    NKBucketEntry *pNext;
};

// Placeholder: fills index with 0..n-1 and orders it so that keys[index[i]]
// ascend; the keys stay as they are. Nothing for null arrays or n < 1.
void NKSortFloatsIndexed(const float *pfKeys, int *piIndex, int n);

// Placeholder: position i whose ring edge {ring[i], ring[i+1] (the last
// wrapping to ring[0])} joins a and b in either direction; -1 when absent,
// for a null ring or n < 1.
int NKFindEdgeInRing(int a, int b, const int *piRing, int n);

// Placeholder: the global bucket lists. Init frees earlier lists and makes
// iKeyCount empty keys over a pool of iPoolSize entries (false, all counts
// zero, when out of memory). Add puts a value first in its key's list, so a
// list runs in the reverse order of adding; the caller stays within the pool
// and the keys 0..iKeyCount-1. Clear empties every list and keeps the pool.
bool NKBucketListInit(int iPoolSize, int iKeyCount);
void NKBucketListAdd(int iKey, int iValue);
void NKBucketListClear(void);
void NKBucketListFree(void);
// The first entry of a key's list; null for an empty list or a bad key.
const NKBucketEntry *NKBucketListHead(int iKey);
// The array of list heads (null before Init).
NKBucketEntry *const *NKBucketListHeads(void);
