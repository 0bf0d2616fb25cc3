// core/nk_sort.h -- sorting and searching on plain int and float arrays, and
// the bucket lists.
//
// The mesh code (node merging, face matching, edge finding), the NKF blocks
// (sorted ID lists), the transparency order and the readers sort through
// here. Most sorts leave the (possibly large) key arrays alone and permute an
// index array over them. The point sort brings coincident nodes together with
// a tolerance comparison that is not a strict weak ordering, so it runs on
// the system's own quicksort and must never be handed to std::sort. The bucket
// lists chain int values under int keys from one pool allocated per use, for
// adjacency building (node to element, face hashing).
#pragma once

#include <cstdint>

// ---- Index-array quicksort --------------------------------------------------

// One recursive quicksort over int or float keys. Without an index the data
// itself is sorted (keys are the data); with one, keys are read through the
// index and only the index is permuted.
class NKSorter {
public:
    void *m_pData = nullptr;        // int32 or float data, sorted in place when no index
    const void *m_pKeys = nullptr;  // int32 or float keys read through the index
    int32_t *m_piIndex = nullptr;   // permuted; null when the data is sorted
    int32_t m_aiKeyOrder[3] = {0, 1, 2};

    // Sorts positions lo..hi ascending (Hoare partition around the middle key).
    void SortInts(int lo, int hi);
    void SortFloats(int lo, int hi);
    void SwapData(int i, int j);
    void SwapFloatData(int i, int j);
    void SwapIndex(int i, int j);

private:
    // The one body behind both key types (int32_t or float).
    template <typename Key>
    Key KeyAt(int i) const;
    template <typename Key>
    void SwapValues(int i, int j);
    template <typename Key>
    int Partition(int lo, int hi);
    template <typename Key>
    void Sort(int lo, int hi);
};

// Ascending in place by repeated passes until one makes no swap.
void NKBubbleSortInts(int *a, int n);
// Ascending in place (quicksort).
void NKSortInts(int *a, int n);
// index[i] = i.
void NKInitIndexArray(int *piIndex, int n);
// Fills the index with 0..n-1 and sorts it so that keys[index[i]] ascend.
void NKSortIntsIndexed(const int *piKeys, int *piIndex, int n);
void NKSortFloatsIndexed(const float *pfKeys, int *piIndex, int n);

// ---- Point sort -------------------------------------------------------------

// Modes of the global point-sort state.
enum {
    NK_SORT_FLOAT_KEYS = 1,  // float keys through the index
    NK_SORT_INT_KEYS = 2,    // int keys through the index
    NK_SORT_FLOATS = 3,      // floats in place
    NK_SORT_INTS = 4,        // ints in place
    NK_SORT_POINTS_REL = 5,  // points through the index, NKFloatsEqual
    NK_SORT_POINTS_ABS = 6   // points through the index, NKFloatsEqualAbs
};

// Sorts the given index (callers fill it with 0..n-1 first) so that the
// points (3 floats each) ascend lexicographically in the axis order
// piKeyOrder (null: x, y, z). Coordinates count as equal by NKFloatsEqual, or
// within 1e-5 when bAbsTolerance. Points that count as equal may end in any
// order. False for null arrays or a key order outside 0..2.
bool NKSortPointsIndexed(const float *pfPoints, int *piIndex, int n, const int *piKeyOrder,
                         bool bAbsTolerance);

// The quicksort over the global point-sort state, usable directly between
// NKSetQuickSortGlobalState and NKClearQuickSortGlobalState. pKeys is the
// data itself for the in-place modes 3 and 4.
void NKSetQuickSortGlobalState(void *pKeys, int *piIndex, int iMode, const int *piKeyOrder);
void NKClearQuickSortGlobalState(void);
void NKQuickSortGlobal(int lo, int hi);
int NKQuickSortGlobalPartition(int lo, int hi);
// 1 when element i is greater than element j, 0 when not, -1 for an unknown
// mode.
int NKQuickSortGlobalCompare(int i, int j);
void NKQuickSortGlobalSwap(int i, int j);

// ---- Radix sort -------------------------------------------------------------

// Sorts n words (key << 32 | value) by their 32-bit keys in linear time,
// stably (equal keys keep their order): counting passes over 16-bit digits,
// over 8-bit digits for fewer than 65,536 words (whose counters would cost
// more than the words), an insertion sort for a few; a pass is skipped when
// every word has the same digit. pScratch holds n words; the sorted words end
// in pWords.
void NKRadixSortKeyedWords(uint64_t *pWords, uint64_t *pScratch, int64_t n);
// The order-preserving unsigned image of a float: a < b exactly when
// image(a) < image(b), for every float but NaN; -0 and +0 give one image.
uint32_t NKOrderedFloatBits(float f);

// ---- Searching and sorted arrays -----------------------------------------------

// Position of value in the ascending a[lo..hi], or -1. *piInsertPos is the
// found position, or where value would be inserted to keep the order. -1 for
// a null array.
int NKBinarySearchInt(const int *a, int value, int lo, int hi, int *piInsertPos);
// The same over keys[index[lo..hi]]; results are positions in the index.
int NKBinarySearchIntIndexed(const int *piKeys, const int *piIndex, int value, int lo, int hi,
                             int *piPos);
// Inserts value into the ascending array of iCount entries. False when the
// array is full (iCount >= iCapacity), iCount < 0, or bUnique is set and
// value is present.
bool NKSortedInsertInt(int *a, int value, int iCount, int iCapacity, bool bUnique);
// True when a is non-decreasing. With piDescents every descent a[i] > a[i+1]
// is counted; without, the scan stops at the first.
bool NKIsSortedInts(const int *a, int n, int *piDescents);
// The distinct values ascending, into piOut when given. Returns their count,
// -1 when memory runs out.
int NKSortUniqueInts(const int *piValues, int n, int *piOut);
// Each keys[index[i]] (already sorted; identity index when null) that differs
// from its predecessor goes to piOut when given. Returns the count.
int NKCollectDistinctSorted(const int *piKeys, const int *piIndex, int n, int *piOut);
// Runs of equal consecutive values as triples {value, first, last position}
// (through the index when given). Returns the number of runs.
int NKGroupEqualRuns(const int *piKeys, const int *piIndex, int n, int *piOut);
// Position i whose edge ring[i]-ring[i+1] (the last wrapping to ring[0]) is
// a-b in either direction; -1 when absent.
int NKFindEdgeInRing(int a, int b, const int *piRing, int n);
// Index of the k-th occurrence (from 1) of value; -1 when there are fewer.
int NKFindNthOccurrence(const int *a, int n, int value, int k);

// ---- Bucket lists -----------------------------------------------------------

struct NKBucketEntry {
    int32_t iValue;
    NKBucketEntry *pNext;
};

// The one global set of bucket lists.
struct NKBucketList {
    NKBucketEntry **ppHeads = nullptr;  // keyCount list heads, null = empty
    NKBucketEntry *pPool = nullptr;     // poolSize entries
    int32_t iUsed = 0;                  // entries taken from the pool
    int32_t iKeyCount = 0;
    int32_t iPoolSize = 0;
};

// Frees earlier lists and makes iKeyCount empty lists over a pool of
// iPoolSize entries. False (all counts 0) when memory runs out.
bool NKBucketListInit(int iPoolSize, int iKeyCount);
// Puts value first in the key's list (lists run newest first). False when
// the key is outside 0..keyCount-1 or the pool is used up.
bool NKBucketListAdd(int iKey, int iValue);
// Empties every list; the pool stays.
void NKBucketListClear(void);
// Frees pool and heads.
void NKBucketListFree(void);
// The first entry of the key's list (null when empty or out of range).
const NKBucketEntry *NKBucketListHead(int iKey);
const NKBucketList *NKGetBucketList(void);
