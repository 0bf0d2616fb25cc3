// tests/core/test_nk_sort.cpp -- quicksorts, the tolerance point sort,
// binary search and sorted-array helpers, and the bucket lists of
// core/nk_sort.h. Sorted results are checked against std::sort on plain
// keys; point sorts are checked by their sorted coordinates, since points
// that count as equal may end in any order.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "core/nk_sort.h"

// ---- Quicksorts -----------------------------------------------------------------

TEST(IntSorts, IndexedSortLeavesKeys)
{
    const int keys[3] = {3, 1, 2};
    int index[3];
    NKSortIntsIndexed(keys, index, 3);
    EXPECT_EQ(index[0], 1);
    EXPECT_EQ(index[1], 2);
    EXPECT_EQ(index[2], 0);
    EXPECT_EQ(keys[0], 3);
}

TEST(IntSorts, QuickAndBubbleSortsAgreeWithStdSort)
{
    std::mt19937 rng(7);
    for (int n : {0, 1, 2, 3, 10, 257, 5000}) {
        std::vector<int> a(n), b, c;
        for (int &x : a) x = static_cast<int>(rng() % 50) - 25;  // many repeats
        b = a;
        c = a;
        std::vector<int> expected = a;
        std::sort(expected.begin(), expected.end());
        NKSortInts(a.data(), n);
        EXPECT_EQ(a, expected) << n;
        if (n <= 257) {
            NKBubbleSortInts(b.data(), n);
            EXPECT_EQ(b, expected) << n;
        }
        std::vector<int> index(n);
        NKSortIntsIndexed(c.data(), index.data(), n);
        for (int i = 0; i < n; i++) EXPECT_EQ(c[index[i]], expected[i]);
    }
}

TEST(IntSorts, OrderedAndReversedInputs)
{
    const int n = 200000;
    std::vector<int> up(n), down(n);
    for (int i = 0; i < n; i++) {
        up[i] = i;
        down[i] = n - i;
    }
    NKSortInts(up.data(), n);
    NKSortInts(down.data(), n);
    EXPECT_TRUE(std::is_sorted(up.begin(), up.end()));
    EXPECT_TRUE(std::is_sorted(down.begin(), down.end()));
}

TEST(FloatSorts, IndexedFloatSort)
{
    const float keys[5] = {0.5f, -2.0f, 3.25f, 0.5f, -7.0f};
    int index[5];
    NKSortFloatsIndexed(keys, index, 5);
    for (int i = 0; i + 1 < 5; i++) EXPECT_LE(keys[index[i]], keys[index[i + 1]]);
    EXPECT_EQ(index[0], 4);
    EXPECT_EQ(index[4], 2);
}

TEST(SorterObject, SortsFloatDataInPlace)
{
    float data[6] = {3, 1, 2, -1, 8, 0};
    NKSorter sorter;
    sorter.m_pData = data;
    sorter.SortFloats(0, 5);
    EXPECT_TRUE(std::is_sorted(data, data + 6));
    sorter.SwapFloatData(0, 5);
    EXPECT_EQ(data[0], 8.0f);
}

// ---- Point sort -------------------------------------------------------------------

namespace {

std::vector<float> SortedCoordinates(const std::vector<float> &points,
                                     const std::vector<int> &index)
{
    std::vector<float> out;
    for (int i : index) out.insert(out.end(), points.begin() + 3 * i, points.begin() + 3 * i + 3);
    return out;
}

}  // namespace

TEST(PointSort, AbsoluteToleranceBringsNearPointsTogether)
{
    // Without tolerance (0.000001, 0, 0) sorts after (0, 0, 5); with it, next
    // to (0, 0, 0).
    const std::vector<float> pts = {0.000001f, 0, 0, 0, 0, 5, 0, 0, 0};
    std::vector<int> index = {0, 1, 2};
    ASSERT_TRUE(NKSortPointsIndexed(pts.data(), index.data(), 3, nullptr, true));
    EXPECT_EQ(index[2], 1);
    index = {0, 1, 2};
    ASSERT_TRUE(NKSortPointsIndexed(pts.data(), index.data(), 3, nullptr, false));
    EXPECT_EQ(index[0], 2);
    EXPECT_EQ(index[1], 1);
    EXPECT_EQ(index[2], 0);
}

TEST(PointSort, KeyOrderDecidesAxisPriority)
{
    const std::vector<float> pts = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    const int zyx[3] = {2, 1, 0};
    std::vector<int> index = {0, 1, 2};
    ASSERT_TRUE(NKSortPointsIndexed(pts.data(), index.data(), 3, zyx, false));
    EXPECT_EQ(index, (std::vector<int>{0, 1, 2}));  // z = 0, 0, 1; then y
    const int bad[3] = {0, 3, 1};
    EXPECT_FALSE(NKSortPointsIndexed(pts.data(), index.data(), 3, bad, false));
    EXPECT_FALSE(NKSortPointsIndexed(nullptr, index.data(), 3, nullptr, false));
}

TEST(PointSort, RandomGridWithDuplicatesMatchesPlainLexicographicSort)
{
    std::mt19937 rng(3);
    const int n = 20000;
    std::vector<float> pts(3 * n);
    for (float &c : pts) c = static_cast<float>(rng() % 9) * 0.5f;  // exact, well-separated values
    std::vector<int> index(n);
    NKInitIndexArray(index.data(), n);
    ASSERT_TRUE(NKSortPointsIndexed(pts.data(), index.data(), n, nullptr, false));
    std::vector<int> ref(n);
    NKInitIndexArray(ref.data(), n);
    std::sort(ref.begin(), ref.end(), [&](int a, int b) {
        return std::lexicographical_compare(&pts[3 * a], &pts[3 * a + 3], &pts[3 * b],
                                            &pts[3 * b + 3]);
    });
    EXPECT_EQ(SortedCoordinates(pts, index), SortedCoordinates(pts, ref));
    std::vector<int> perm = index;
    std::sort(perm.begin(), perm.end());
    for (int i = 0; i < n; i++) ASSERT_EQ(perm[i], i);  // still a permutation
}

TEST(PointSort, OrderedStructuredMeshSortsQuickly)
{
    // A 100 x 100 x 20 grid in lexicographic order, as a structured mesh
    // writes it: the pivot choice keeps this from going quadratic (a
    // quadratic sort would take minutes here).
    std::vector<float> pts;
    for (int i = 0; i < 100; i++)
        for (int j = 0; j < 100; j++)
            for (int k = 0; k < 20; k++) {
                pts.push_back(i * 0.1f);
                pts.push_back(j * 0.1f);
                pts.push_back(k * 0.1f);
            }
    int n = static_cast<int>(pts.size() / 3);
    std::vector<int> index(n);
    NKInitIndexArray(index.data(), n);
    ASSERT_TRUE(NKSortPointsIndexed(pts.data(), index.data(), n, nullptr, false));
    std::vector<int> identity(n);
    NKInitIndexArray(identity.data(), n);
    EXPECT_EQ(SortedCoordinates(pts, index), SortedCoordinates(pts, identity));
}

TEST(PointSort, ReverseOrderAndAllEqual)
{
    const int n = 50000;
    std::vector<float> pts(3 * n), same(3 * n, 1.0f);
    for (int i = 0; i < n; i++) pts[3 * i] = static_cast<float>(n - i);
    std::vector<int> index(n);
    NKInitIndexArray(index.data(), n);
    ASSERT_TRUE(NKSortPointsIndexed(pts.data(), index.data(), n, nullptr, true));
    for (int i = 0; i < n; i++) ASSERT_EQ(index[i], n - 1 - i);
    NKInitIndexArray(index.data(), n);
    ASSERT_TRUE(NKSortPointsIndexed(same.data(), index.data(), n, nullptr, false));
}

TEST(PointSort, GlobalStateIsClearedAndScalarModesWork)
{
    // Modes 1 to 4 of the global quicksort are not used by the point sort
    // but are part of it.
    float f[5] = {3, -1, 2, 2, 0};
    NKSetQuickSortGlobalState(f, nullptr, NK_SORT_FLOATS, nullptr);
    EXPECT_EQ(NKQuickSortGlobalCompare(0, 1), 1);
    EXPECT_EQ(NKQuickSortGlobalCompare(2, 3), 0);
    NKQuickSortGlobal(0, 4);
    NKClearQuickSortGlobalState();
    EXPECT_TRUE(std::is_sorted(f, f + 5));
    const int keys[4] = {9, 4, 7, 1};
    int index[4] = {0, 1, 2, 3};
    NKSetQuickSortGlobalState(const_cast<int *>(keys), index, NK_SORT_INT_KEYS, nullptr);
    NKQuickSortGlobal(0, 3);
    NKClearQuickSortGlobalState();
    EXPECT_EQ(index[0], 3);
    EXPECT_EQ(index[3], 0);
    NKSetQuickSortGlobalState(f, nullptr, 9, nullptr);
    EXPECT_EQ(NKQuickSortGlobalCompare(0, 1), -1);
    NKClearQuickSortGlobalState();
}

// ---- Binary search ----------------------------------------------------------------

TEST(BinarySearch, FoundAndInsertPositions)
{
    const int a[4] = {1, 3, 5, 7};
    int pos = -9;
    EXPECT_EQ(NKBinarySearchInt(a, 5, 0, 3, &pos), 2);
    EXPECT_EQ(pos, 2);
    EXPECT_EQ(NKBinarySearchInt(a, 4, 0, 3, &pos), -1);
    EXPECT_EQ(pos, 2);
    EXPECT_EQ(NKBinarySearchInt(a, 0, 0, 3, &pos), -1);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(NKBinarySearchInt(a, 9, 0, 3, &pos), -1);
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(NKBinarySearchInt(a, 1, 0, 3, nullptr), 0);
    EXPECT_EQ(NKBinarySearchInt(a, 7, 0, 3, nullptr), 3);
    EXPECT_EQ(NKBinarySearchInt(nullptr, 7, 0, 3, &pos), -1);
}

TEST(BinarySearch, EveryValueAndGapOfALongerArray)
{
    std::vector<int> a;
    for (int i = 0; i < 37; i++) a.push_back(2 * i);
    for (int v = -1; v <= 74; v++) {
        int pos;
        int r = NKBinarySearchInt(a.data(), v, 0, 36, &pos);
        int expected = static_cast<int>(std::lower_bound(a.begin(), a.end(), v) - a.begin());
        EXPECT_EQ(pos, expected) << v;
        EXPECT_EQ(r, v % 2 == 0 && v >= 0 && v <= 72 ? v / 2 : -1) << v;
    }
}

TEST(BinarySearch, IndexedAndEmptyRange)
{
    const int keys[5] = {10, 20, 30, 40, 50};
    const int index[5] = {0, 1, 2, 3, 4};
    int pos;
    EXPECT_EQ(NKBinarySearchIntIndexed(keys, index, 35, 0, 4, &pos), -1);
    EXPECT_EQ(pos, 3);
    EXPECT_EQ(NKBinarySearchIntIndexed(keys, index, 35, 3, 2, &pos), -1);
    EXPECT_EQ(pos, 3);
    const int shuffled[5] = {40, 10, 50, 20, 30};
    const int order[5] = {1, 3, 4, 0, 2};
    EXPECT_EQ(NKBinarySearchIntIndexed(shuffled, order, 40, 0, 4, &pos), 3);
}

// ---- Sorted arrays ---------------------------------------------------------------

TEST(SortedArrays, InsertRespectsCapacityAndUniqueness)
{
    int a[4] = {2, 5, 9, 0};
    EXPECT_TRUE(NKSortedInsertInt(a, 6, 3, 4, true));
    EXPECT_EQ(std::vector<int>(a, a + 4), (std::vector<int>{2, 5, 6, 9}));
    EXPECT_FALSE(NKSortedInsertInt(a, 1, 4, 4, false));  // full
    int b[4] = {2, 5, 9, 0};
    EXPECT_FALSE(NKSortedInsertInt(b, 5, 3, 4, true));
    EXPECT_EQ(std::vector<int>(b, b + 4), (std::vector<int>{2, 5, 9, 0}));
    EXPECT_TRUE(NKSortedInsertInt(b, 5, 3, 4, false));
    EXPECT_EQ(b[3], 9);
    EXPECT_FALSE(NKSortedInsertInt(b, 5, -1, 4, false));
    int c[1];
    EXPECT_TRUE(NKSortedInsertInt(c, 3, 0, 1, true));
    EXPECT_EQ(c[0], 3);
}

TEST(SortedArrays, IsSortedCountsDescents)
{
    const int a[5] = {1, 3, 2, 5, 4};
    int iDescents = -1;
    EXPECT_FALSE(NKIsSortedInts(a, 5, &iDescents));
    EXPECT_EQ(iDescents, 2);
    EXPECT_FALSE(NKIsSortedInts(a, 5, nullptr));
    const int b[3] = {1, 1, 2};
    EXPECT_TRUE(NKIsSortedInts(b, 3, &iDescents));
    EXPECT_EQ(iDescents, 0);
}

TEST(SortedArrays, UniqueValuesBeyondTheFirstBuffer)
{
    std::vector<int> values;
    for (int i = 0; i < 450; i++)
        values.push_back((i * 7919) % 250 * 3);  // 250 distinct values, shuffled
    std::vector<int> out(450, -1);
    EXPECT_EQ(NKSortUniqueInts(values.data(), 450, out.data()), 250);
    for (int i = 0; i < 250; i++) EXPECT_EQ(out[i], 3 * i);
    EXPECT_EQ(NKSortUniqueInts(values.data(), 450, nullptr), 250);
    EXPECT_EQ(NKSortUniqueInts(values.data(), 0, nullptr), 0);
}

TEST(SortedArrays, DistinctAndRuns)
{
    const int keys[6] = {4, 4, 7, 9, 9, 9};
    int out[18];
    EXPECT_EQ(NKCollectDistinctSorted(keys, nullptr, 6, out), 3);
    EXPECT_EQ(out[2], 9);
    EXPECT_EQ(NKCollectDistinctSorted(keys, nullptr, 0, out), 0);
    ASSERT_EQ(NKGroupEqualRuns(keys, nullptr, 6, out), 3);
    const int expected[9] = {4, 0, 1, 7, 2, 2, 9, 3, 5};
    EXPECT_EQ(std::vector<int>(out, out + 9), std::vector<int>(expected, expected + 9));
    const int raw[4] = {9, 4, 9, 4};
    const int index[4] = {1, 3, 0, 2};
    ASSERT_EQ(NKGroupEqualRuns(raw, index, 4, out), 2);
    EXPECT_EQ(out[3], 9);
    EXPECT_EQ(out[4], 2);
    EXPECT_EQ(NKCollectDistinctSorted(raw, index, 4, nullptr), 2);
}

TEST(SortedArrays, EdgeInRingAndNthOccurrence)
{
    const int ring[3] = {2, 7, 5};
    EXPECT_EQ(NKFindEdgeInRing(5, 2, ring, 3), 2);
    EXPECT_EQ(NKFindEdgeInRing(7, 2, ring, 3), 0);
    EXPECT_EQ(NKFindEdgeInRing(2, 2, ring, 3), -1);
    EXPECT_EQ(NKFindEdgeInRing(5, 2, nullptr, 3), -1);
    const int a[6] = {1, 3, 1, 1, 3, 0};
    EXPECT_EQ(NKFindNthOccurrence(a, 6, 1, 3), 3);
    EXPECT_EQ(NKFindNthOccurrence(a, 6, 3, 3), -1);
    EXPECT_EQ(NKFindNthOccurrence(a, 6, 1, 0), -1);
}

// ---- Bucket lists ------------------------------------------------------------------

TEST(BucketLists, ListsRunNewestFirst)
{
    ASSERT_TRUE(NKBucketListInit(10, 3));
    EXPECT_TRUE(NKBucketListAdd(1, 100));
    EXPECT_TRUE(NKBucketListAdd(1, 101));
    EXPECT_TRUE(NKBucketListAdd(2, 200));
    const NKBucketEntry *p = NKBucketListHead(1);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->iValue, 101);
    ASSERT_NE(p->pNext, nullptr);
    EXPECT_EQ(p->pNext->iValue, 100);
    EXPECT_EQ(p->pNext->pNext, nullptr);
    EXPECT_EQ(NKBucketListHead(0), nullptr);
    EXPECT_EQ(NKGetBucketList()->iUsed, 3);
    NKBucketListClear();
    EXPECT_EQ(NKBucketListHead(1), nullptr);
    EXPECT_EQ(NKGetBucketList()->iUsed, 0);
    EXPECT_EQ(NKGetBucketList()->iPoolSize, 10);
    NKBucketListFree();
    EXPECT_EQ(NKGetBucketList()->iKeyCount, 0);
    EXPECT_EQ(NKGetBucketList()->pPool, nullptr);
}

TEST(BucketLists, RefusesBadKeysAndAFullPool)
{
    ASSERT_TRUE(NKBucketListInit(2, 2));
    EXPECT_FALSE(NKBucketListAdd(2, 1));
    EXPECT_FALSE(NKBucketListAdd(-1, 1));
    EXPECT_TRUE(NKBucketListAdd(0, 1));
    EXPECT_TRUE(NKBucketListAdd(0, 2));
    EXPECT_FALSE(NKBucketListAdd(1, 3));  // pool used up
    ASSERT_TRUE(NKBucketListInit(1, 1));  // re-initialising frees the old lists
    EXPECT_EQ(NKBucketListHead(0), nullptr);
    NKBucketListFree();
    EXPECT_FALSE(NKBucketListAdd(0, 1));
}

// ---- Radix sort -------------------------------------------------------------------

TEST(RadixSort, KeyedWordsSortStablyByKey)
{
    std::mt19937 rng(52);
    // Keys over the full range, over a few values (long runs of equal keys),
    // and sharing one high or low digit of 16 or 8 bits (passes that are
    // skipped). The sizes cross from the insertion sort (up to 32) to 8-bit
    // digits and on to 16-bit digits (from 65,536).
    const uint32_t aMasks[] = {0xffffffffu, 0x7u, 0xffffu, 0xffff0000u, 0x00ff00ffu};
    for (uint32_t uMask : aMasks) {
        for (int n : {0, 1, 2, 32, 33, 100, 1000, 65535, 65537, 70000, 1000000}) {
            if (n == 1000000 && uMask != aMasks[0] && uMask != aMasks[1]) continue;
            std::vector<uint64_t> words((size_t)n), scratch((size_t)n);
            for (int i = 0; i < n; i++)
                words[(size_t)i] = (uint64_t)(rng() & uMask) << 32 | (uint32_t)i;
            // The values are the indices, so the words in plain ascending
            // order are the keys in order with ties in index order.
            std::vector<uint64_t> expected = words;
            std::sort(expected.begin(), expected.end());
            NKRadixSortKeyedWords(words.data(), scratch.data(), n);
            EXPECT_EQ(words, expected) << "mask " << uMask << ", " << n << " words";
        }
    }
    NKRadixSortKeyedWords(nullptr, nullptr, 5);  // nothing happens
}

TEST(RadixSort, FloatImagesKeepTheOrderOfTheFloats)
{
    const float af[] = {-3.4e38f, -1.0f, -1e-30f, -0.0f, 0.0f,   1e-38f,
                        1e-5f,    0.5f,  1.0f,    2.0f,  3.4e38f};
    for (float a : af)
        for (float b : af) {
            EXPECT_EQ(a < b, NKOrderedFloatBits(a) < NKOrderedFloatBits(b)) << a << " " << b;
            EXPECT_EQ(a == b, NKOrderedFloatBits(a) == NKOrderedFloatBits(b)) << a << " " << b;
        }
}
