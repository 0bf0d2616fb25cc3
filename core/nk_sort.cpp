// core/nk_sort.cpp -- quicksorts, the point sort, searching in sorted arrays
// and the bucket lists (see nk_sort.h).
//
// Both quicksorts recurse into the smaller part and loop over the larger, so
// that the stack stays O(log n) deep whatever the input.
#include "core/nk_sort.h"

#include <cassert>
#include <cstring>
#include <utility>
#include <vector>

#include "core/nk_math.h"
#include "core/nk_memory.h"

// ---- Index-array quicksort --------------------------------------------------

template <typename Key>
Key NKSorter::KeyAt(int i) const
{
    if (m_piIndex) return static_cast<const Key *>(m_pKeys)[m_piIndex[i]];
    return static_cast<const Key *>(m_pData)[i];
}

template <typename Key>
void NKSorter::SwapValues(int i, int j)
{
    Key *pData = static_cast<Key *>(m_pData);
    std::swap(pData[i], pData[j]);
}

void NKSorter::SwapData(int i, int j) { SwapValues<int32_t>(i, j); }

void NKSorter::SwapFloatData(int i, int j) { SwapValues<float>(i, j); }

void NKSorter::SwapIndex(int i, int j) { std::swap(m_piIndex[i], m_piIndex[j]); }

// Hoare partition around the key at the middle position; returns j with
// lo <= j < hi, every key in lo..j <= every key in j+1..hi.
template <typename Key>
int NKSorter::Partition(int lo, int hi)
{
    const Key pivot = KeyAt<Key>(lo + (hi - lo) / 2);
    int i = lo - 1, j = hi + 1;
    for (;;) {
        do j--;
        while (KeyAt<Key>(j) > pivot);
        do i++;
        while (KeyAt<Key>(i) < pivot);
        if (i >= j) return j;
        if (m_piIndex)
            SwapIndex(i, j);
        else
            SwapValues<Key>(i, j);
    }
}

template <typename Key>
void NKSorter::Sort(int lo, int hi)
{
    while (lo < hi) {
        int j = Partition<Key>(lo, hi);
        if (j - lo < hi - j) {
            Sort<Key>(lo, j);
            lo = j + 1;
        } else {
            Sort<Key>(j + 1, hi);
            hi = j;
        }
    }
}

void NKSorter::SortInts(int lo, int hi) { Sort<int32_t>(lo, hi); }

void NKSorter::SortFloats(int lo, int hi) { Sort<float>(lo, hi); }

void NKBubbleSortInts(int *a, int n)
{
    if (!a) return;
    bool bSwapped = true;
    while (bSwapped) {
        bSwapped = false;
        for (int i = 0; i + 1 < n; i++) {
            if (a[i] > a[i + 1]) {
                int iTmp = a[i];
                a[i] = a[i + 1];
                a[i + 1] = iTmp;
                bSwapped = true;
            }
        }
    }
}

void NKSortInts(int *a, int n)
{
    if (!a || n < 2) return;
    NKSorter sorter;
    sorter.m_pData = a;
    sorter.SortInts(0, n - 1);
}

void NKInitIndexArray(int *piIndex, int n)
{
    if (!piIndex) return;
    for (int i = 0; i < n; i++) piIndex[i] = i;
}

// Fills the index with 0..n-1 and sorts it by the keys with pfnSort.
template <typename Key>
static void SortIndexed(const Key *pKeys, int *piIndex, int n, void (NKSorter::*pfnSort)(int, int))
{
    if (!pKeys || !piIndex) return;
    NKInitIndexArray(piIndex, n);
    NKSorter sorter;
    sorter.m_pKeys = pKeys;
    sorter.m_piIndex = piIndex;
    (sorter.*pfnSort)(0, n - 1);
}

void NKSortIntsIndexed(const int *piKeys, int *piIndex, int n)
{
    SortIndexed(piKeys, piIndex, n, &NKSorter::SortInts);
}

void NKSortFloatsIndexed(const float *pfKeys, int *piIndex, int n)
{
    SortIndexed(pfKeys, piIndex, n, &NKSorter::SortFloats);
}

// ---- Point sort -------------------------------------------------------------

namespace {

// The global point-sort state, set for one sort and cleared afterwards.
struct NKQuickSortGlobalState {
    void *pKeys = nullptr;
    int32_t *piIndex = nullptr;
    int32_t iMode = 0;
    const int32_t *piKeyOrder = nullptr;
};
NKQuickSortGlobalState sg_QuickSort;

const int32_t kDefaultKeyOrder[3] = {0, 1, 2};

bool IsPointMode(int iMode) { return iMode == NK_SORT_POINTS_REL || iMode == NK_SORT_POINTS_ABS; }

bool IsInPlaceMode(int iMode) { return iMode == NK_SORT_FLOATS || iMode == NK_SORT_INTS; }

// The scalar key of position i for modes 1 to 4, as a double (exact for both
// int32 and float).
double ScalarAt(int i)
{
    const NKQuickSortGlobalState &s = sg_QuickSort;
    switch (s.iMode) {
    case NK_SORT_FLOAT_KEYS:
        return static_cast<const float *>(s.pKeys)[s.piIndex[i]];
    case NK_SORT_INT_KEYS:
        return static_cast<const int32_t *>(s.pKeys)[s.piIndex[i]];
    case NK_SORT_FLOATS:
        return static_cast<const float *>(s.pKeys)[i];
    default:
        return static_cast<const int32_t *>(s.pKeys)[i];
    }
}

const float *PointAt(int i)
{
    return static_cast<const float *>(sg_QuickSort.pKeys) + 3 * sg_QuickSort.piIndex[i];
}

// Whether point a is greater than point b: the first axis in key order whose
// coordinates do not count as equal decides.
bool PointGreater(const float *a, const float *b)
{
    bool bAbs = sg_QuickSort.iMode == NK_SORT_POINTS_ABS;
    for (int k = 0; k < 3; k++) {
        int iAxis = sg_QuickSort.piKeyOrder[k];
        bool bEqual =
            bAbs ? NKFloatsEqualAbs(a[iAxis], b[iAxis]) : NKFloatsEqual(a[iAxis], b[iAxis]);
        if (!bEqual) return a[iAxis] > b[iAxis];
    }
    return false;
}

// The pivot of one partition, held by value: a swap that moves the element
// out of the pivot position must not change the pivot.
struct NKGlobalPivot {
    double fValue;
    const float *pfPoint;
};

NKGlobalPivot PivotAt(int i)
{
    NKGlobalPivot pivot = {0.0, nullptr};
    if (IsPointMode(sg_QuickSort.iMode))
        pivot.pfPoint = PointAt(i);
    else
        pivot.fValue = ScalarAt(i);
    return pivot;
}

bool GreaterThanPivot(int i, const NKGlobalPivot &pivot)
{
    if (pivot.pfPoint) return PointGreater(PointAt(i), pivot.pfPoint);
    return ScalarAt(i) > pivot.fValue;
}

bool PivotGreaterThan(const NKGlobalPivot &pivot, int i)
{
    if (pivot.pfPoint) return PointGreater(pivot.pfPoint, PointAt(i));
    return pivot.fValue > ScalarAt(i);
}

// Puts the median of the elements at lo, the middle and hi into position lo,
// so that ordered input (structured meshes) splits in halves.
void MoveMedianToFront(int lo, int hi)
{
    int iMid = lo + (hi - lo) / 2;
    int a = lo, b = iMid, c = hi, t;
    if (NKQuickSortGlobalCompare(a, b) == 1) {
        t = a;
        a = b;
        b = t;
    }
    if (NKQuickSortGlobalCompare(b, c) == 1) {
        t = b;
        b = c;
        c = t;
    }
    if (NKQuickSortGlobalCompare(a, b) == 1) {
        t = a;
        a = b;
        b = t;
    }
    if (b != lo) NKQuickSortGlobalSwap(b, lo);
}

}  // namespace

void NKSetQuickSortGlobalState(void *pKeys, int *piIndex, int iMode, const int *piKeyOrder)
{
    sg_QuickSort.pKeys = pKeys;
    sg_QuickSort.piIndex = piIndex;
    sg_QuickSort.iMode = iMode;
    sg_QuickSort.piKeyOrder = piKeyOrder ? piKeyOrder : kDefaultKeyOrder;
}

void NKClearQuickSortGlobalState(void) { sg_QuickSort = NKQuickSortGlobalState(); }

int NKQuickSortGlobalCompare(int i, int j)
{
    int iMode = sg_QuickSort.iMode;
    if (IsPointMode(iMode)) return PointGreater(PointAt(i), PointAt(j)) ? 1 : 0;
    if (iMode >= NK_SORT_FLOAT_KEYS && iMode <= NK_SORT_INTS)
        return ScalarAt(i) > ScalarAt(j) ? 1 : 0;
    return -1;
}

void NKQuickSortGlobalSwap(int i, int j)
{
    int32_t *pi = IsInPlaceMode(sg_QuickSort.iMode) ? static_cast<int32_t *>(sg_QuickSort.pKeys)
                                                    : sg_QuickSort.piIndex;
    // Floats are moved as their 32-bit patterns.
    int32_t iTmp = pi[i];
    pi[i] = pi[j];
    pi[j] = iTmp;
}

// The partition with the first element as the pivot: j comes down over
// elements greater than the pivot, i goes up over elements less than it,
// stray pairs are swapped. Returns j with lo <= j < hi. The comparison need
// not be transitive: the scans stop at the pivot itself or at the element the
// previous swap left behind, so they never leave lo..hi.
int NKQuickSortGlobalPartition(int lo, int hi)
{
    NKGlobalPivot pivot = PivotAt(lo);
    int j = hi + 1, i = lo - 1;
    for (;;) {
        j--;
        if (GreaterThanPivot(j, pivot)) continue;
        do i++;
        while (PivotGreaterThan(pivot, i));
        if (i >= j) return j;
        NKQuickSortGlobalSwap(i, j);
    }
}

void NKQuickSortGlobal(int lo, int hi)
{
    if (sg_QuickSort.iMode < NK_SORT_FLOAT_KEYS || sg_QuickSort.iMode > NK_SORT_POINTS_ABS) return;
    while (lo < hi) {
        MoveMedianToFront(lo, hi);
        int p = NKQuickSortGlobalPartition(lo, hi);
        if (p - lo < hi - p) {
            NKQuickSortGlobal(lo, p);
            lo = p + 1;
        } else {
            NKQuickSortGlobal(p + 1, hi);
            hi = p;
        }
    }
}

bool NKSortPointsIndexed(const float *pfPoints, int *piIndex, int n, const int *piKeyOrder,
                         bool bAbsTolerance)
{
    if (!pfPoints || !piIndex) return false;
    if (piKeyOrder) {
        for (int k = 0; k < 3; k++) {
            if (piKeyOrder[k] < 0 || piKeyOrder[k] > 2) return false;
        }
    }
    assert(sg_QuickSort.iMode == 0 && "point sorts do not nest");
    NKSetQuickSortGlobalState(const_cast<float *>(pfPoints), piIndex,
                              bAbsTolerance ? NK_SORT_POINTS_ABS : NK_SORT_POINTS_REL, piKeyOrder);
    NKQuickSortGlobal(0, n - 1);
    NKClearQuickSortGlobalState();
    return true;
}

// ---- Radix sort -------------------------------------------------------------

namespace {

uint32_t WordKey(uint64_t w) { return (uint32_t)(w >> 32); }

// Stable insertion by key, for a few words.
void InsertionSortKeyedWords(uint64_t *pWords, int64_t n)
{
    for (int64_t i = 1; i < n; i++) {
        uint64_t w = pWords[i];
        int64_t j = i;
        for (; j > 0 && WordKey(pWords[j - 1]) > WordKey(w); j--) pWords[j] = pWords[j - 1];
        pWords[j] = w;
    }
}

// Stable counting passes over the key's digits of iBits bits (8 or 16),
// the lowest digit first; a digit shared by every word costs no pass. The
// counts of every digit come from one pass over the words. Returns where the
// sorted words lie (pWords or pScratch).
uint64_t *SortByDigits(uint64_t *pWords, uint64_t *pScratch, int64_t n, int iBits)
{
    const int iDigits = 1 << iBits, iPasses = 32 / iBits;
    const uint32_t uMask = (uint32_t)iDigits - 1;
    std::vector<int64_t> counts((size_t)iPasses * (size_t)iDigits, 0);
    for (int64_t i = 0; i < n; i++) {
        uint32_t uKey = WordKey(pWords[i]);
        for (int d = 0; d < iPasses; d++)
            counts[(size_t)(d * iDigits) + ((uKey >> (d * iBits)) & uMask)]++;
    }
    uint64_t *pFrom = pWords, *pTo = pScratch;
    for (int d = 0; d < iPasses; d++) {
        int64_t *piCount = counts.data() + (size_t)d * (size_t)iDigits;
        int iShift = 32 + d * iBits;
        if (piCount[(pFrom[0] >> iShift) & uMask] == n) continue;
        int64_t iSum = 0;
        for (int k = 0; k < iDigits; k++) {
            int64_t c = piCount[k];
            piCount[k] = iSum;
            iSum += c;
        }
        for (int64_t i = 0; i < n; i++) pTo[piCount[(pFrom[i] >> iShift) & uMask]++] = pFrom[i];
        std::swap(pFrom, pTo);
    }
    return pFrom;
}

}  // namespace

// Few words go by insertion; up to the size where 65,536 counters cost about
// as much as the words, four passes over 8-bit digits (256 counters each);
// more, two passes over 16-bit digits.
void NKRadixSortKeyedWords(uint64_t *pWords, uint64_t *pScratch, int64_t n)
{
    if (pWords == nullptr || pScratch == nullptr || n < 2) return;
    if (n <= 32) {
        InsertionSortKeyedWords(pWords, n);
        return;
    }
    uint64_t *pSorted = SortByDigits(pWords, pScratch, n, n < (1 << 16) ? 8 : 16);
    if (pSorted != pWords) std::memcpy(pWords, pSorted, sizeof(uint64_t) * (size_t)n);
}

uint32_t NKOrderedFloatBits(float f)
{
    if (f == 0.0f) f = 0.0f;  // -0 sorts with +0
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return (u & 0x80000000u) != 0 ? ~u : (u | 0x80000000u);
}

// ---- Searching and sorted arrays -----------------------------------------------

// The binary search over key(position) for lo..hi, shared by the plain and the
// indexed form.
template <typename KeyAt>
static int NKBinarySearch(KeyAt key, int value, int lo, int hi, int *piPos)
{
    int iPos = lo;
    int iFound = -1;
    while (lo <= hi) {
        if (lo == hi) {
            if (key(lo) == value) iFound = lo;
            iPos = (iFound >= 0 || value < key(lo)) ? lo : lo + 1;
            break;
        }
        int iMid = lo + (hi - lo) / 2;
        int iKey = key(iMid);
        if (iKey == value) {
            iFound = iPos = iMid;
            break;
        }
        if (value > iKey)
            lo = iMid + 1;
        else
            hi = iMid - 1;
        iPos = lo;
    }
    if (piPos) *piPos = iPos;
    return iFound;
}

int NKBinarySearchInt(const int *a, int value, int lo, int hi, int *piInsertPos)
{
    if (!a) return -1;
    return NKBinarySearch([a](int i) { return a[i]; }, value, lo, hi, piInsertPos);
}

int NKBinarySearchIntIndexed(const int *piKeys, const int *piIndex, int value, int lo, int hi,
                             int *piPos)
{
    if (!piKeys || !piIndex) return -1;
    return NKBinarySearch([piKeys, piIndex](int i) { return piKeys[piIndex[i]]; }, value, lo, hi,
                          piPos);
}

bool NKSortedInsertInt(int *a, int value, int iCount, int iCapacity, bool bUnique)
{
    if (!a || iCount < 0 || iCount >= iCapacity) return false;
    int iPos = 0;
    int iFound = NKBinarySearchInt(a, value, 0, iCount - 1, &iPos);
    if (iFound >= 0 && bUnique) return false;
    std::memmove(a + iPos + 1, a + iPos, sizeof(int) * static_cast<size_t>(iCount - iPos));
    a[iPos] = value;
    return true;
}

bool NKIsSortedInts(const int *a, int n, int *piDescents)
{
    if (piDescents) *piDescents = 0;
    if (!a) return false;
    int iDescents = 0;
    for (int i = 0; i + 1 < n; i++) {
        if (a[i] > a[i + 1]) {
            iDescents++;
            if (!piDescents) break;
        }
    }
    if (piDescents) *piDescents = iDescents;
    return iDescents == 0;
}

// Sorting a copy and dropping repeats gives the same ascending distinct values
// as inserting each value into a sorted buffer, without the quadratic shifting.
int NKSortUniqueInts(const int *piValues, int n, int *piOut)
{
    if (!piValues || n < 1) return 0;
    int *piWork = static_cast<int *>(NKAlloc(sizeof(int) * static_cast<size_t>(n)));
    if (!piWork) return -1;
    std::memcpy(piWork, piValues, sizeof(int) * static_cast<size_t>(n));
    NKSortInts(piWork, n);
    int iCount = 0;
    for (int i = 0; i < n; i++) {
        if (i == 0 || piWork[i] != piWork[iCount - 1]) piWork[iCount++] = piWork[i];
    }
    if (piOut) std::memcpy(piOut, piWork, sizeof(int) * static_cast<size_t>(iCount));
    NKFree(piWork);
    return iCount;
}

int NKCollectDistinctSorted(const int *piKeys, const int *piIndex, int n, int *piOut)
{
    if (!piKeys) return 0;
    int iCount = 0, iPrevious = 0;
    for (int i = 0; i < n; i++) {
        int iValue = piKeys[piIndex ? piIndex[i] : i];
        if (i == 0 || iValue != iPrevious) {
            if (piOut) piOut[iCount] = iValue;
            iCount++;
        }
        iPrevious = iValue;
    }
    return iCount;
}

int NKGroupEqualRuns(const int *piKeys, const int *piIndex, int n, int *piOut)
{
    if (!piKeys || !piOut) return 0;
    int iRuns = 0;
    for (int i = 0; i < n; i++) {
        int iValue = piKeys[piIndex ? piIndex[i] : i];
        if (iRuns > 0 && piOut[3 * (iRuns - 1)] == iValue) {
            piOut[3 * (iRuns - 1) + 2] = i;
            continue;
        }
        piOut[3 * iRuns] = iValue;
        piOut[3 * iRuns + 1] = i;
        piOut[3 * iRuns + 2] = i;
        iRuns++;
    }
    return iRuns;
}

int NKFindEdgeInRing(int a, int b, const int *piRing, int n)
{
    if (!piRing || n < 1) return -1;
    for (int i = 0; i < n; i++) {
        int p = piRing[i], q = piRing[(i + 1 < n) ? i + 1 : 0];
        if ((p == a && q == b) || (p == b && q == a)) return i;
    }
    return -1;
}

int NKFindNthOccurrence(const int *a, int n, int value, int k)
{
    if (!a || k < 1) return -1;
    for (int i = 0; i < n; i++) {
        if (a[i] == value && --k == 0) return i;
    }
    return -1;
}

// ---- Bucket lists -----------------------------------------------------------

static NKBucketList sg_BucketList;

void NKBucketListFree(void)
{
    NKFree(sg_BucketList.pPool);
    NKFree(sg_BucketList.ppHeads);
    sg_BucketList = NKBucketList();
}

bool NKBucketListInit(int iPoolSize, int iKeyCount)
{
    NKBucketListFree();
    if (iPoolSize < 0 || iKeyCount < 0) return false;
    // Zero counts are valid (an empty list set); the wrappers give null for
    // them, which is not a failure.
    NKBucketEntry **ppHeads = static_cast<NKBucketEntry **>(
        NKCalloc(static_cast<size_t>(iKeyCount), sizeof(NKBucketEntry *)));
    NKBucketEntry *pPool = static_cast<NKBucketEntry *>(
        NKAlloc(sizeof(NKBucketEntry) * static_cast<size_t>(iPoolSize)));
    if ((iKeyCount > 0 && !ppHeads) || (iPoolSize > 0 && !pPool)) {
        NKFree(ppHeads);
        NKFree(pPool);
        return false;
    }
    sg_BucketList.ppHeads = ppHeads;
    sg_BucketList.pPool = pPool;
    sg_BucketList.iKeyCount = iKeyCount;
    sg_BucketList.iPoolSize = iPoolSize;
    return true;
}

bool NKBucketListAdd(int iKey, int iValue)
{
    NKBucketList &lists = sg_BucketList;
    // A key outside the heads or a full pool would write past the arrays.
    if (iKey < 0 || iKey >= lists.iKeyCount || lists.iUsed >= lists.iPoolSize) return false;
    NKBucketEntry *pEntry = &lists.pPool[lists.iUsed++];
    pEntry->iValue = iValue;
    pEntry->pNext = lists.ppHeads[iKey];
    lists.ppHeads[iKey] = pEntry;
    return true;
}

void NKBucketListClear(void)
{
    if (sg_BucketList.ppHeads)
        std::memset(sg_BucketList.ppHeads, 0,
                    sizeof(NKBucketEntry *) * static_cast<size_t>(sg_BucketList.iKeyCount));
    sg_BucketList.iUsed = 0;
}

const NKBucketEntry *NKBucketListHead(int iKey)
{
    if (iKey < 0 || iKey >= sg_BucketList.iKeyCount) return nullptr;
    return sg_BucketList.ppHeads[iKey];
}

const NKBucketList *NKGetBucketList(void) { return &sg_BucketList; }
