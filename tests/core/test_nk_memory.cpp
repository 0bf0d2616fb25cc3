// tests/core/test_nk_memory.cpp -- allocation wrappers, block arrays and the
// PtrArray growth rule of core/nk_memory.h (run under AddressSanitizer, which
// catches leaks and stray writes).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "core/nk_memory.h"

TEST(AllocationWrappers, ZeroSizesGiveNull)
{
    EXPECT_EQ(NKAlloc(0), nullptr);
    EXPECT_EQ(NKCalloc(0, 8), nullptr);
    EXPECT_EQ(NKCalloc(8, 0), nullptr);
    NKFree(nullptr);
}

TEST(AllocationWrappers, CallocZeroFillsAndReallocKeepsContents)
{
    int *pi = static_cast<int *>(NKCalloc(4, sizeof(int)));
    ASSERT_NE(pi, nullptr);
    for (int i = 0; i < 4; i++) EXPECT_EQ(pi[i], 0);
    pi[3] = 42;
    pi = static_cast<int *>(NKRealloc(pi, 100 * sizeof(int)));
    ASSERT_NE(pi, nullptr);
    EXPECT_EQ(pi[3], 42);
    EXPECT_EQ(NKRealloc(pi, 0), nullptr);  // frees the block
}

TEST(AllocationWrappers, OverflowingCallocFails) { EXPECT_EQ(NKCalloc(SIZE_MAX / 2, 4), nullptr); }

TEST(BlockArrays, MakesIndependentBlocks)
{
    void **pp = NKAllocBlockArray(257, 3);
    ASSERT_NE(pp, nullptr);
    for (int i = 0; i < 3; i++)
        std::memset(pp[i], 'a' + i, 257);  // every block is writable in full
    EXPECT_EQ(static_cast<char *>(pp[2])[256], 'c');
    NKFreeBlockArray(pp, 3);
    NKFreeBlockArray(nullptr, 3);
}

TEST(BlockArrays, BadCountsGiveNull)
{
    EXPECT_EQ(NKAllocBlockArray(16, 0), nullptr);
    EXPECT_EQ(NKAllocBlockArray(16, -2), nullptr);
    EXPECT_EQ(NKAllocBlockArray(0, 4), nullptr);
}

TEST(PtrArrayGrowth, FirstSizeIsExactThenAutomaticStepOfAtLeastFour)
{
    PtrArray a;
    EXPECT_EQ(a.GetSize(), 0);
    EXPECT_EQ(a.GetCapacity(), 0);
    a.SetSize(1);
    EXPECT_EQ(a.GetCapacity(), 1);
    a.SetSize(2);
    EXPECT_EQ(a.GetCapacity(), 5);
    EXPECT_EQ(a.GetSize(), 2);
}

TEST(PtrArrayGrowth, FullArrayOfHundredGrowsByAnEighth)
{
    PtrArray a;
    a.SetSize(100);
    ASSERT_EQ(a.GetCapacity(), 100);
    a.SetSize(101);
    EXPECT_EQ(a.GetCapacity(), 112);
}

TEST(PtrArrayGrowth, AutomaticStepIsCappedAt1024)
{
    PtrArray a;
    a.SetSize(20000);
    a.SetSize(20001);
    EXPECT_EQ(a.GetCapacity(), 21024);
}

TEST(PtrArrayGrowth, StoredStepAndLargeJumps)
{
    PtrArray a;
    a.SetSize(3, 10);
    EXPECT_EQ(a.GetGrowBy(), 10);
    EXPECT_EQ(a.GetCapacity(), 3);
    a.SetSize(4);
    EXPECT_EQ(a.GetCapacity(), 13);
    a.SetSize(50);  // beyond capacity + step: exactly the new size
    EXPECT_EQ(a.GetCapacity(), 50);
}

TEST(PtrArrayGrowth, KeepsEntriesAndZeroesNewSlots)
{
    PtrArray a;
    int aiValues[3];
    a.SetSize(3);
    for (int i = 0; i < 3; i++) a[i] = &aiValues[i];
    a.SetSize(40);
    for (int i = 0; i < 3; i++) EXPECT_EQ(a.GetAt(i), &aiValues[i]);
    for (int i = 3; i < 40; i++) EXPECT_EQ(a.GetAt(i), nullptr);
    // Shrinking keeps the capacity; growing back inside it zeroes again.
    int iCapacity = a.GetCapacity();
    a.SetAt(5, &aiValues[0]);
    a.SetSize(2);
    EXPECT_EQ(a.GetCapacity(), iCapacity);
    a.SetSize(6);
    EXPECT_EQ(a.GetAt(1), &aiValues[1]);
    EXPECT_EQ(a.GetAt(5), nullptr);
}

TEST(PtrArrayGrowth, SizeZeroFreesEverything)
{
    PtrArray a;
    a.SetSize(10);
    a.SetSize(0);
    EXPECT_EQ(a.GetData(), nullptr);
    EXPECT_EQ(a.GetSize(), 0);
    EXPECT_EQ(a.GetCapacity(), 0);
    a.SetSize(2);  // starts over with an exact allocation
    EXPECT_EQ(a.GetCapacity(), 2);
}

TEST(PtrArrayGrowth, AppendPattern)
{
    PtrArray a;
    static int s_iDummy;
    for (int i = 0; i < 1000; i++) {
        a.SetSize(a.GetSize() + 1);
        a[a.GetSize() - 1] = &s_iDummy;
    }
    EXPECT_EQ(a.GetSize(), 1000);
    EXPECT_GE(a.GetCapacity(), 1000);
    EXPECT_LE(a.GetCapacity(), 1000 + 1000 / 8 + 4);
}
