// core/nk_memory.h -- the memory layer every record and array goes through.
//
// The allocation wrappers (NKAlloc, NKCalloc, NKRealloc, NKFree) are the only
// way model records and their owned arrays are allocated and freed, so that a
// record allocated in one subsystem can be released by another. On top of them
// sit the block array (count pointers to equal-sized blocks, used for tables of
// fixed-length names) and PtrArray, the growable array of pointers that does
// not own what it points to. Allocation failures are returned as null; the
// caller reports its own message. No state is kept here.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// A heap block of iSize bytes, uninitialised; null for size 0 or when out of
// memory.
void *NKAlloc(size_t iSize);
// NKAlloc for a block the caller fills whole at once, as a read from a file
// does: from a megabyte up its pages are mapped in one call instead of
// faulting in one by one as the fill reaches them.
void *NKAllocToFill(size_t iSize);
// A zero-filled block of iCount x iSize bytes; null when either is 0, when the
// product overflows, or when out of memory.
void *NKCalloc(size_t iCount, size_t iSize);
// Resizes a block from NKAlloc/NKCalloc as realloc does: a null block is
// allocated; on failure null is returned and the old block stays valid. A new
// size of 0 frees the block and returns null.
void *NKRealloc(void *pBlock, size_t iSize);
// Frees a block from the functions above; null is accepted.
void NKFree(void *pBlock);

// An array of iCount pointers, each to its own new block of iBlockSize bytes
// (uninitialised). Null when iCount < 1, iBlockSize < 1 or any allocation
// fails; nothing stays allocated then. Free with NKFreeBlockArray.
void **NKAllocBlockArray(int iBlockSize, int iCount);
// Frees iCount blocks (null entries are skipped) and the array; null does
// nothing.
void NKFreeBlockArray(void **ppArray, int iCount);

// A growable array of pointers. It owns its slot array, never the elements.
// Callers append by SetSize(GetSize() + 1) and store into the last slot.
// Slots from the size up to the capacity exist but are not in the array.
class PtrArray {
public:
    PtrArray() = default;
    ~PtrArray();
    // The slot array would be freed twice by a copy.
    PtrArray(const PtrArray &) = delete;
    PtrArray &operator=(const PtrArray &) = delete;

    // Changes the number of elements (iNewSize >= 0; a negative size counts
    // as 0). A growBy other than -1 first replaces the stored growth step
    // (0 = automatic: an eighth of the size, 4 to 1024 slots). New elements
    // are null. Capacity never shrinks except at size 0, which frees the
    // slots. When memory runs out the array is left as it was.
    void SetSize(int iNewSize, int iGrowBy = -1);

    int GetSize() const { return m_iSize; }
    int GetCapacity() const { return m_iCapacity; }
    int GetGrowBy() const { return m_iGrowBy; }
    void **GetData() const { return m_ppData; }

    // Element access; the index must lie in 0 .. size-1.
    void *GetAt(int i) const;
    void SetAt(int i, void *pElement);
    void *&operator[](int i);
    void *operator[](int i) const { return GetAt(i); }

private:
    void **m_ppData = nullptr;  // owned slot array
    int32_t m_iSize = 0;        // elements in use
    int32_t m_iCapacity = 0;    // allocated slots
    int32_t m_iGrowBy = 0;      // growth step; 0 = automatic
};

// A copy of the vector's items in a new NKAlloc array (freed with NKFree);
// null for an empty vector or when the allocation fails.
template <typename T>
T *NKAllocCopy(const std::vector<T> &v)
{
    if (v.empty()) return nullptr;
    T *p = static_cast<T *>(NKAlloc(v.size() * sizeof(T)));
    if (p != nullptr) std::copy(v.begin(), v.end(), p);
    return p;
}

// Frees each NKAlloc array given by the address of its pointer and sets the
// pointer to null: NKFreeAndClear(&m_pfValues, &m_piIDs).
template <typename... T>
void NKFreeAndClear(T **...ppArrays)
{
    ((NKFree(*ppArrays), *ppArrays = nullptr), ...);
}
