// nkf/nkf_stream.cpp -- bulk binary reads with byte swapping and whole-line
// ASCII reads for the NKF reader (interface and rules in nkf_stream.h). The
// number scanning is core's (core/nk_text_utils.cpp).
#include "nkf/nkf_stream.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sys/types.h>

#include "core/nk_file.h"

NKFStream::NKFStream()
    : m_pFile(nullptr), m_iFileSize(0), m_bSwapBytes(false), m_bEndReached(false), m_iBytesRead(0),
      m_pLine(nullptr), m_iLineCapacity(0)
{}

NKFStream::~NKFStream()
{
    Close();
    free(m_pLine);  // allocated by getline(3)
}

bool NKFStream::Open(const char *pszPath)
{
    Close();
    if (pszPath == nullptr || pszPath[0] == 0) return false;
    m_pFile = fopen(pszPath, "rb");
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
}

int64_t NKFStream::GetPosition() const
{
    if (m_pFile == nullptr) return 0;
    off_t iPos = ftello(m_pFile);
    return iPos < 0 ? 0 : (int64_t)iPos;
}

bool NKFStream::SetPosition(int64_t iPosition)
{
    if (m_pFile == nullptr || iPosition < 0) return false;
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
    if (!ReadRaw(pValues, iCount * 4)) return false;
    if (m_bSwapBytes) SwapBytes(pValues, 4, iCount);
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
    return fseeko(m_pFile, (off_t)iCount, SEEK_CUR) == 0;
}

bool NKFStream::ReadLine(const char **ppszLine, int64_t *piLength)
{
    *ppszLine = "";
    *piLength = 0;
    if (m_pFile == nullptr) return false;
    ssize_t iRead = getline(&m_pLine, &m_iLineCapacity, m_pFile);
    if (iRead < 0) return false;
    // Neither CR nor LF belongs to a line's text.
    while (iRead > 0 && (m_pLine[iRead - 1] == '\n' || m_pLine[iRead - 1] == '\r'))
        m_pLine[--iRead] = 0;
    *ppszLine = m_pLine;
    *piLength = iRead;
    return true;
}
