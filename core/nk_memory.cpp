// core/nk_memory.cpp -- allocation wrappers, block arrays and PtrArray (see
// nk_memory.h). The wrappers sit directly on the C heap so that blocks can be
// handed between subsystems and freed by whoever releases the record.
#include "core/nk_memory.h"

#include <cassert>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

// Blocks of 8 MB and more (the arrays of a large model) start on a huge-page
// boundary and ask for huge pages: a first touch then maps 2 MB at once
// instead of 512 small pages, which is most of the cost of filling fresh
// memory. A system without them (or refusing them) leaves small pages.
// Such blocks get mappings of their own (a fixed threshold for the C heap's
// mappings), so that a freed one goes back to the system at once and the
// huge-page advice never reaches heap memory that small blocks reuse later.
static void *AllocHugePages(size_t iSize)
{
    const size_t kHugePage = (size_t)2 << 20;
    if (iSize < 4 * kHugePage || iSize > SIZE_MAX - kHugePage) return nullptr;
#ifdef M_MMAP_THRESHOLD
    static const bool bOwnMappings = mallopt(M_MMAP_THRESHOLD, (int)(4 * kHugePage)) != 0;
    (void)bOwnMappings;
#endif
    size_t iRounded = (iSize + kHugePage - 1) / kHugePage * kHugePage;
    void *pBlock = std::aligned_alloc(kHugePage, iRounded);
#ifdef MADV_HUGEPAGE
    if (pBlock != nullptr) madvise(pBlock, iRounded, MADV_HUGEPAGE);
#endif
    return pBlock;
}

void *NKAlloc(size_t iSize)
{
    if (iSize == 0) return nullptr;
    void *pBlock = AllocHugePages(iSize);
    return pBlock != nullptr ? pBlock : std::malloc(iSize);
}

void *NKAllocLarge(size_t iSize) { return NKAlloc(iSize); }

void *NKCalloc(size_t iCount, size_t iSize)
{
    if (iCount == 0 || iSize == 0) return nullptr;
    // An overflowing product is refused here rather than left to calloc,
    // which some allocators (the sanitizers') treat as a fatal error.
    if (iCount > SIZE_MAX / iSize) return nullptr;
    return std::calloc(iCount, iSize);
}

void *NKRealloc(void *pBlock, size_t iSize)
{
    // realloc(p, 0) is left to the implementation by the C standard; make it
    // mean "free" everywhere so callers see one behaviour.
    if (iSize == 0) {
        std::free(pBlock);
        return nullptr;
    }
    return std::realloc(pBlock, iSize);
}

void NKFree(void *pBlock) { std::free(pBlock); }

void **NKAllocBlockArray(int iBlockSize, int iCount)
{
    if (iCount < 1 || iBlockSize < 1) return nullptr;
    void **ppArray = static_cast<void **>(NKCalloc(static_cast<size_t>(iCount), sizeof(void *)));
    if (ppArray == nullptr) return nullptr;
    for (int i = 0; i < iCount; i++) {
        ppArray[i] = NKAlloc(static_cast<size_t>(iBlockSize));
        if (ppArray[i] == nullptr) {
            NKFreeBlockArray(ppArray, i);
            return nullptr;
        }
    }
    return ppArray;
}

void NKFreeBlockArray(void **ppArray, int iCount)
{
    if (ppArray == nullptr) return;
    for (int i = 0; i < iCount; i++) NKFree(ppArray[i]);
    NKFree(ppArray);
}

PtrArray::~PtrArray() { NKFree(m_ppData); }

// The automatic step grows the array by an eighth of its size, at least 4 and
// at most 1024 slots: appends stay amortised without wasting much on big arrays.
static int NKPtrArrayStep(int iSize, int iGrowBy)
{
    if (iGrowBy > 0) return iGrowBy;
    int iStep = iSize / 8;
    if (iStep < 4) iStep = 4;
    if (iStep > 1024) iStep = 1024;
    return iStep;
}

void PtrArray::SetSize(int iNewSize, int iGrowBy)
{
    if (iGrowBy != -1) m_iGrowBy = iGrowBy;
    if (iNewSize <= 0) {
        NKFree(m_ppData);
        m_ppData = nullptr;
        m_iSize = m_iCapacity = 0;
        return;
    }
    if (m_ppData == nullptr) {
        m_ppData = static_cast<void **>(NKCalloc(static_cast<size_t>(iNewSize), sizeof(void *)));
        if (m_ppData == nullptr) return;
        m_iSize = m_iCapacity = iNewSize;
        return;
    }
    if (iNewSize <= m_iCapacity) {
        if (iNewSize > m_iSize)
            std::memset(m_ppData + m_iSize, 0,
                        sizeof(void *) * static_cast<size_t>(iNewSize - m_iSize));
        m_iSize = iNewSize;
        return;
    }
    int64_t iWanted = static_cast<int64_t>(m_iCapacity) + NKPtrArrayStep(m_iSize, m_iGrowBy);
    int iNewCapacity =
        iWanted > iNewSize ? static_cast<int>(iWanted > INT32_MAX ? INT32_MAX : iWanted) : iNewSize;
    void **ppNew =
        static_cast<void **>(NKAlloc(sizeof(void *) * static_cast<size_t>(iNewCapacity)));
    if (ppNew == nullptr) return;
    std::memcpy(ppNew, m_ppData, sizeof(void *) * static_cast<size_t>(m_iSize));
    std::memset(ppNew + m_iSize, 0, sizeof(void *) * static_cast<size_t>(iNewSize - m_iSize));
    NKFree(m_ppData);
    m_ppData = ppNew;
    m_iSize = iNewSize;
    m_iCapacity = iNewCapacity;
}

void *PtrArray::GetAt(int i) const
{
    assert(i >= 0 && i < m_iSize);
    return m_ppData[i];
}

void PtrArray::SetAt(int i, void *pElement)
{
    assert(i >= 0 && i < m_iSize);
    m_ppData[i] = pElement;
}

void *&PtrArray::operator[](int i)
{
    assert(i >= 0 && i < m_iSize);
    return m_ppData[i];
}
