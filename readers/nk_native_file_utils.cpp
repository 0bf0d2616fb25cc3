// readers/nk_native_file_utils.cpp -- file, byte-order and word reading
// services of the older native file readers (see nk_native_file_utils.h).
#include "readers/nk_native_file_utils.h"

#include <algorithm>
#include <cstring>

#include "core/nk_file.h"

namespace {

uint32_t Swap32(uint32_t v)
{
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

}  // namespace

bool NKIsBinaryText(const std::string &bytes)
{
    size_t n = std::min<size_t>(bytes.size(), 1024);
    for (size_t i = 0; i < n; i++) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 7) return true;
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

std::vector<std::string> NKSplitTextLines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t iStart = 0;
    while (iStart < text.size()) {
        size_t iEnd = text.find('\n', iStart);
        if (iEnd == std::string::npos) iEnd = text.size();
        std::string line = text.substr(iStart, iEnd - iStart);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        iStart = iEnd + 1;
    }
    return lines;
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
