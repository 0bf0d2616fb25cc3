// readers/nk_native_file_utils.cpp -- file, byte-order and word reading
// services of the older native file readers (see nk_native_file_utils.h).
#include "readers/nk_native_file_utils.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/nk_file.h"

namespace {

// Opens a regular file only: a folder opens for reading too (a file name
// that is empty or cut short by a zero byte names the results file's own
// folder), and its size as ftell gives it is no size at all.
FILE *OpenRead(const char *pszFileName)
{
    std::string path(pszFileName);
    std::replace(path.begin(), path.end(), '\\', '/');
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
    return std::fopen(path.c_str(), "rb");
}

uint32_t Swap32(uint32_t v)
{
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

}  // namespace

bool NKReadWholeFile(const char *pszFileName, std::string *pBytes)
{
    FILE *pFile = OpenRead(pszFileName);
    if (pFile == nullptr) return false;
    pBytes->clear();
    if (std::fseek(pFile, 0, SEEK_END) == 0) {
        long iSize = std::ftell(pFile);
        if (iSize > 0) pBytes->reserve(static_cast<size_t>(iSize));
        std::rewind(pFile);
    }
    char buffer[1 << 16];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pFile)) > 0) pBytes->append(buffer, n);
    bool bOk = std::ferror(pFile) == 0;
    std::fclose(pFile);
    return bOk;
}

bool NKReadFileHead(const char *pszFileName, size_t iMax, std::string *pBytes)
{
    FILE *pFile = OpenRead(pszFileName);
    if (pFile == nullptr) return false;
    pBytes->assign(iMax, '\0');
    size_t n = std::fread(&(*pBytes)[0], 1, iMax, pFile);
    pBytes->resize(n);
    std::fclose(pFile);
    return true;
}

bool NKIsBinaryText(const std::string &bytes)
{
    size_t n = std::min<size_t>(bytes.size(), 1024);
    for (size_t i = 0; i < n; i++) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 7 || c >= 0x80) return true;
    }
    return false;
}

bool NKDecideByteOrder(const std::string &bytes, bool *pbSwap)
{
    if (bytes.size() < 4) return false;
    uint32_t w = 0;
    std::memcpy(&w, bytes.data(), 4);
    if (w >= 1 && w <= 65535) {
        *pbSwap = false;
        return true;
    }
    uint32_t s = Swap32(w);
    if (s >= 1 && s <= 65535) {
        *pbSwap = true;
        return true;
    }
    return false;
}

bool NKNumbersFit(const std::string &text, const char *pCursor, int64_t iCount)
{
    int64_t iLeft = static_cast<int64_t>(text.size()) - (pCursor - text.c_str());
    return iCount >= 0 && iCount <= (iLeft + 1) / 2;
}

bool NKWordReader::Copy(void *pOut, size_t n)
{
    if (n > (m_Bytes.size() - m_iPos) / 4) return false;
    std::memcpy(pOut, m_Bytes.data() + m_iPos, 4 * n);
    if (m_bSwap) SwapBytes(pOut, 4, static_cast<int64_t>(n));
    m_iPos += 4 * n;
    return true;
}

bool NKWordReader::Next(int *piValue) { return Copy(piValue, 1); }
bool NKWordReader::NextFloat(float *pfValue) { return Copy(pfValue, 1); }
bool NKWordReader::Ints(int *piValues, size_t n) { return n == 0 || Copy(piValues, n); }
bool NKWordReader::Floats(float *pfValues, size_t n) { return n == 0 || Copy(pfValues, n); }

bool NKWordReader::Skip(int64_t n)
{
    if (n < 0 || n > WordsLeft()) return false;
    m_iPos += static_cast<size_t>(4 * n);
    return true;
}
