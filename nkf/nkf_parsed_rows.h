// nkf/nkf_parsed_rows.h -- numbers of an ASCII block's rows converted during
// the parser's first pass, kept for the block's load.
//
// The first pass of an ASCII file reads every line once anyway; the
// geometry's row blocks (*NODES, *ELEMENTS) convert their numbers as they
// count them, into arrays from NKAlloc that their load takes over as they are, so
// that a large file is read and split only once. A block drops what it
// converted (and its load goes back to the file) whenever something in its
// rows would make the load read them differently or report on them: a word
// that is no good number, a directive after the first row. The store
// shares a budget with the reader's other blocks (NKFReader::ClaimParsedBytes),
// so a file of many large blocks keeps no more than that in memory before it
// is loaded. No Qt, no GL.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/nk_memory.h"
#include "nkf/nkf_reader.h"
#include "nkf/nkf_stream.h"

template <typename T>
class NKFParsedRows {
public:
    NKFParsedRows() = default;
    ~NKFParsedRows() { Clear(); }
    NKFParsedRows(const NKFParsedRows &) = delete;
    NKFParsedRows &operator=(const NKFParsedRows &) = delete;
    NKFParsedRows(NKFParsedRows &&other) noexcept
        : m_pValues(other.m_pValues), m_iSize(other.m_iSize), m_iCapacity(other.m_iCapacity)
    {
        other.m_pValues = nullptr;
        other.m_iSize = other.m_iCapacity = 0;
    }
    NKFParsedRows &operator=(NKFParsedRows &&) = delete;

    void Clear()
    {
        NKFree(m_pValues);
        m_pValues = nullptr;
        m_iSize = m_iCapacity = 0;
    }
    int64_t Size() const { return m_iSize; }
    // Room for iCount more values at the end, counted in at once; null when
    // the array cannot grow or the reader's budget is spent.
    T *Extend(int iCount, NKFReader *pReader)
    {
        if (m_iSize + iCount > m_iCapacity) {
            int64_t iCapacity = m_iCapacity < 4096 ? 4096 : 2 * m_iCapacity;
            while (iCapacity < m_iSize + iCount) iCapacity *= 2;
            if (!pReader->ClaimParsedBytes((iCapacity - m_iCapacity) * (int64_t)sizeof(T)))
                return nullptr;
            T *pValues = (T *)NKRealloc(m_pValues, (size_t)iCapacity * sizeof(T));
            if (pValues == nullptr) return nullptr;
            m_pValues = pValues;
            m_iCapacity = iCapacity;
        }
        T *p = m_pValues + m_iSize;
        m_iSize += iCount;
        return p;
    }
    // Hands the values over in an array of their own size (NKFree it); the
    // store is empty after. Null when it holds nothing.
    T *Take()
    {
        T *pValues = m_pValues;
        if (pValues != nullptr && m_iSize < m_iCapacity) {
            T *pShrunk =
                m_iSize > 0 ? (T *)NKRealloc(pValues, (size_t)m_iSize * sizeof(T)) : nullptr;
            if (pShrunk != nullptr) pValues = pShrunk;
        }
        if (m_iSize == 0) {
            NKFree(pValues);
            pValues = nullptr;
        }
        m_pValues = nullptr;
        m_iSize = m_iCapacity = 0;
        return pValues;
    }

private:
    T *m_pValues = nullptr;
    int64_t m_iSize = 0;
    int64_t m_iCapacity = 0;
};

// The next word of a row as an integer or a float number.
inline NKWordScan NKFScanRowWord(const char **ppCursor, int32_t *piValue)
{
    return NKFScanIntWord(ppCursor, piValue);
}
inline NKWordScan NKFScanRowWord(const char **ppCursor, float *pfValue)
{
    return NKFScanFloatWord(ppCursor, pfValue);
}

// Converts the row at p as the load would read it: its ID into *pIDs when
// bWithID, then iValues numbers into *pValues. False when a store cannot
// grow, when iValues is 0, or when a word is no good number (the caller then
// drops what it converted).
template <typename T>
bool NKFConvertRow(const char *p, bool bWithID, NKFParsedRows<int32_t> *pIDs,
                   NKFParsedRows<T> *pValues, int iValues, NKFReader *pReader)
{
    int32_t *piID = bWithID ? pIDs->Extend(1, pReader) : nullptr;
    T *pRow = iValues > 0 ? pValues->Extend(iValues, pReader) : nullptr;
    bool bOk = pRow != nullptr && (!bWithID || piID != nullptr);
    if (bOk && piID != nullptr) bOk = NKFScanIntWord(&p, piID) == NKF_WORD_NUMBER;
    for (int k = 0; bOk && k < iValues; k++) bOk = NKFScanRowWord(&p, &pRow[k]) == NKF_WORD_NUMBER;
    return bOk;
}
