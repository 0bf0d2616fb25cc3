// nkf/nkf_stream.cpp -- bulk binary reads with byte swapping and whole-line
// ASCII reads for the NKF reader (interface and rules in nkf_stream.h). The
// number scanning is core's (core/nk_text_utils.cpp).
#include "nkf/nkf_stream.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sys/types.h>

#include "core/nk_file.h"
#include "core/nk_file_read.h"

// The line buffer's first size at most; it grows for a longer line. What is
// left of a smaller file fits a buffer of that size (every data source
// opens an NKF stream, and most of the files are small).
static const size_t kLineBufferBytes = 1 << 20;
static const size_t kLineBufferMinBytes = 4096;

NKFStream::NKFStream()
    : m_pFile(nullptr), m_iFileSize(0), m_bSwapBytes(false), m_bEndReached(false), m_iBytesRead(0),
      m_bLineBuffer(false), m_pLine(nullptr), m_iLineCapacity(0), m_iLineStart(0), m_iLineEnd(0),
      m_iLineFilePos(0), m_iLineNul(-1), m_cLineNulByte(0)
{}

NKFStream::~NKFStream()
{
    Close();
    free(m_pLine);
}

bool NKFStream::Open(const char *pszPath)
{
    Close();
    if (pszPath == nullptr || pszPath[0] == 0) return false;
    m_pFile = NKOpenRegularFile(pszPath);
    if (m_pFile == nullptr) return false;
    m_iFileSize = 0;
    if (fseeko(m_pFile, 0, SEEK_END) == 0) m_iFileSize = ftello(m_pFile);
    if (m_iFileSize < 0) m_iFileSize = 0;
    rewind(m_pFile);
    return true;
}

void NKFStream::Close()
{
    if (m_pFile != nullptr) fclose(m_pFile);
    m_pFile = nullptr;
    m_iFileSize = 0;
    m_bLineBuffer = false;
    m_iLineNul = -1;
}

FILE *NKFStream::GetFile() const
{
    EndLineBuffer();
    return m_pFile;
}

void NKFStream::RestoreLineEnd() const
{
    if (m_iLineNul >= 0) m_pLine[m_iLineNul] = m_cLineNulByte;
    m_iLineNul = -1;
}

void NKFStream::EndLineBuffer() const
{
    RestoreLineEnd();
    if (!m_bLineBuffer) return;
    m_bLineBuffer = false;
    if (m_pFile != nullptr)
        fseeko(m_pFile, (off_t)(m_iLineFilePos + (int64_t)m_iLineStart), SEEK_SET);
}

int64_t NKFStream::GetPosition() const
{
    if (m_pFile == nullptr) return 0;
    if (m_bLineBuffer) return m_iLineFilePos + (int64_t)m_iLineStart;
    off_t iPos = ftello(m_pFile);
    return iPos < 0 ? 0 : (int64_t)iPos;
}

bool NKFStream::SetPosition(int64_t iPosition)
{
    if (m_pFile == nullptr || iPosition < 0) return false;
    RestoreLineEnd();
    // A block's data read again after its parse usually lies in the buffer.
    if (m_bLineBuffer && iPosition >= m_iLineFilePos &&
        iPosition <= m_iLineFilePos + (int64_t)m_iLineEnd) {
        m_iLineStart = (size_t)(iPosition - m_iLineFilePos);
        m_bEndReached = false;
        return true;
    }
    m_bLineBuffer = false;
    if (fseeko(m_pFile, (off_t)iPosition, SEEK_SET) != 0) return false;
    // Blocks load their data long after the parse ran into the end of the
    // file: a successful seek starts a fresh read, so the flag is cleared.
    m_bEndReached = false;
    return true;
}

int64_t NKFStream::BytesLeft() const
{
    if (m_pFile == nullptr) return 0;
    int64_t iLeft = m_iFileSize - GetPosition();
    return iLeft < 0 ? 0 : iLeft;
}

bool NKFStream::ReadRaw(void *pBuffer, int64_t iCount)
{
    if (iCount == 0) return true;
    if (m_pFile == nullptr || pBuffer == nullptr || iCount < 0) {
        m_bEndReached = true;
        return false;
    }
    // A count beyond the file can never be satisfied: fail before touching
    // the stream or the destination, so that a bad size costs nothing.
    if (iCount > BytesLeft()) {
        m_bEndReached = true;
        return false;
    }
    EndLineBuffer();
    if (fread(pBuffer, 1, (size_t)iCount, m_pFile) != (size_t)iCount) {
        m_bEndReached = true;
        memset(pBuffer, 0, (size_t)iCount);
        return false;
    }
    return true;
}

// Reads iCount 4-byte words and puts them in the machine's order.
bool NKFStream::ReadWords(void *pValues, int64_t iCount)
{
    if (iCount == 0) return true;
    if (pValues == nullptr || iCount < 0 || iCount > INT64_MAX / 4) {
        m_bEndReached = true;
        return false;
    }
    if (!m_bSwapBytes) {
        if (!ReadRaw(pValues, iCount * 4)) return false;
    } else {
        // Words in the other order are swapped a piece at a time, each while
        // the caches still hold it, instead of in a second pass over memory.
        const int64_t kPieceWords = (int64_t)1 << 16;
        if (iCount > BytesLeft() / 4) {  // as ReadRaw: a bad count reads nothing
            m_bEndReached = true;
            return false;
        }
        char *p = static_cast<char *>(pValues);
        for (int64_t i = 0; i < iCount; i += kPieceWords) {
            int64_t n = std::min(kPieceWords, iCount - i);
            if (!ReadRaw(p + 4 * i, n * 4)) {
                // A failed read leaves every requested word zero, as ReadRaw does.
                memset(pValues, 0, (size_t)(iCount * 4));
                return false;
            }
            SwapBytes(p + 4 * i, 4, n);
        }
    }
    m_iBytesRead += (int32_t)(iCount * 4);
    return true;
}

bool NKFStream::ReadInts(int32_t *piValues, int64_t iCount) { return ReadWords(piValues, iCount); }

bool NKFStream::ReadFloats(float *pfValues, int64_t iCount) { return ReadWords(pfValues, iCount); }

bool NKFStream::Skip(int64_t iCount)
{
    if (iCount < 1) return true;
    if (m_pFile == nullptr || iCount > BytesLeft()) {
        m_bEndReached = true;
        return false;
    }
    EndLineBuffer();
    return fseeko(m_pFile, (off_t)iCount, SEEK_CUR) == 0;
}

size_t NKFStream::FirstLineCapacity() const
{
    int64_t iLeft = m_iFileSize - m_iLineFilePos;
    if (iLeft >= (int64_t)kLineBufferBytes) return kLineBufferBytes;
    return iLeft < (int64_t)kLineBufferMinBytes ? kLineBufferMinBytes : (size_t)iLeft + 1;
}

bool NKFStream::RefillLineBuffer()
{
    size_t iKept = m_iLineEnd - m_iLineStart;
    if (m_pLine == nullptr || iKept == m_iLineCapacity) {
        // Empty (first use) or full of one unfinished line: grow. One byte
        // more than the capacity is kept for the NUL after a last line.
        size_t iCapacity = m_iLineCapacity == 0 ? FirstLineCapacity() : 2 * m_iLineCapacity;
        char *pLine = (char *)realloc(m_pLine, iCapacity + 1);
        if (pLine == nullptr) return false;
        m_pLine = pLine;
        m_iLineCapacity = iCapacity;
    }
    if (m_iLineStart > 0) {
        memmove(m_pLine, m_pLine + m_iLineStart, iKept);
        m_iLineFilePos += (int64_t)m_iLineStart;
        m_iLineStart = 0;
        m_iLineEnd = iKept;
    }
    size_t iRead = fread(m_pLine + m_iLineEnd, 1, m_iLineCapacity - m_iLineEnd, m_pFile);
    m_iLineEnd += iRead;
    return iRead > 0;
}

bool NKFStream::ReadLine(const char **ppszLine, int64_t *piLength)
{
    *ppszLine = "";
    *piLength = 0;
    if (m_pFile == nullptr) return false;
    RestoreLineEnd();
    if (!m_bLineBuffer) {
        off_t iPos = ftello(m_pFile);
        m_iLineFilePos = iPos < 0 ? 0 : (int64_t)iPos;
        m_iLineStart = m_iLineEnd = 0;
        m_bLineBuffer = true;
    }
    size_t iSearched = 0;  // bytes after the line's start known to hold no LF
    size_t iStop = 0;
    for (;;) {
        size_t iFrom = m_iLineStart + iSearched;
        const char *pEnd = m_pLine == nullptr
                               ? nullptr
                               : (const char *)memchr(m_pLine + iFrom, '\n', m_iLineEnd - iFrom);
        if (pEnd != nullptr) {
            iStop = (size_t)(pEnd - m_pLine);
            break;
        }
        iSearched = m_iLineEnd - m_iLineStart;
        if (!RefillLineBuffer()) {
            if (m_iLineStart == m_iLineEnd) return false;  // nothing left
            iStop = m_iLineEnd;                            // a last line without LF
            break;
        }
    }
    const char *pszLine = m_pLine + m_iLineStart;
    size_t iLength = iStop - m_iLineStart;
    m_iLineStart = iStop < m_iLineEnd ? iStop + 1 : iStop;
    // Neither CR nor LF belongs to a line's text.
    while (iLength > 0 && pszLine[iLength - 1] == '\r') iLength--;
    m_iLineNul = (int64_t)(pszLine - m_pLine) + (int64_t)iLength;
    m_cLineNulByte = m_pLine[m_iLineNul];
    m_pLine[m_iLineNul] = 0;
    *ppszLine = pszLine;
    *piLength = (int64_t)iLength;
    return true;
}
