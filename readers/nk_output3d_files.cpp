// readers/nk_output3d_files.cpp -- bounded binary reads and text-file
// splitting for the IES Output3D reader (see nk_output3d_files.h).
#include "readers/nk_output3d_files.h"

#include <cstring>

#include "core/nk_file_read.h"

namespace {

uint32_t Swap32(uint32_t u)
{
    return (u >> 24) | ((u >> 8) & 0xFF00u) | ((u << 8) & 0xFF0000u) | (u << 24);
}

std::string Trim(const std::string &s)
{
    size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

std::vector<std::string> SplitFields(const std::string &line)
{
    std::vector<std::string> fields;
    size_t iStart = 0;
    for (;;) {
        size_t iBar = line.find('|', iStart);
        fields.push_back(Trim(line.substr(iStart, iBar - iStart)));
        if (iBar == std::string::npos) break;
        iStart = iBar + 1;
    }
    return fields;
}

bool ReadLine(FILE *pFile, std::string *pLine)
{
    pLine->clear();
    int c;
    while ((c = fgetc(pFile)) != EOF && c != '\n') pLine->push_back((char)c);
    while (!pLine->empty() && pLine->back() == '\r') pLine->pop_back();
    return c != EOF || !pLine->empty();
}

}  // namespace

NKOutput3DFile::~NKOutput3DFile()
{
    if (m_pFile != nullptr) fclose(m_pFile);
}

bool NKOutput3DFile::Open(const std::string &path)
{
    m_Path = path;
    m_pFile = NKOpenRegularFile(path.c_str());
    if (m_pFile == nullptr) return false;
    if (fseeko(m_pFile, 0, SEEK_END) != 0) return false;
    m_iSize = (int64_t)ftello(m_pFile);
    return m_iSize >= 0;
}

bool NKOutput3DFile::IsFemType(bool bSwap)
{
    bool bWas = m_bSwap;
    m_bSwap = bSwap;
    int32_t iWord = 0;
    bool bOk = ReadWords(56, &iWord, 1) && iWord == NK_O3D_FEM_TYPE;
    m_bSwap = bWas;
    return bOk;
}

int NKOutput3DFile::DetectSwap()
{
    if (IsFemType(false)) return 0;
    return IsFemType(true) ? 1 : -1;
}

bool NKOutput3DFile::ReadHeader(NKOutput3DHeader *pHeader)
{
    uint32_t au[25];
    if (!ReadWords(0, au, 25)) return false;
    int32_t ai[25];
    float af[25];
    std::memcpy(ai, au, sizeof(ai));
    std::memcpy(af, au, sizeof(af));
    pHeader->iNumEvents = ai[5];
    for (int k = 0; k < 6; k++) pHeader->fBox[k] = af[8 + k];
    pHeader->iNumGeoUnits = ai[15];
    pHeader->iNumElements = ai[16];
    pHeader->iNumNodes = ai[17];
    return true;
}

bool NKOutput3DFile::Fits(int64_t iOffset, int64_t iCount) const
{
    return m_pFile != nullptr && iOffset >= 0 && iCount >= 0 && iCount <= m_iSize / 4 &&
           iOffset <= m_iSize - 4 * iCount;
}

bool NKOutput3DFile::ReadWords(int64_t iOffset, void *pDst, int64_t iCount)
{
    if (!Fits(iOffset, iCount)) return false;
    if (iCount == 0) return true;
    if (fseeko(m_pFile, (off_t)iOffset, SEEK_SET) != 0) return false;
    if (fread(pDst, 4, (size_t)iCount, m_pFile) != (size_t)iCount) return false;
    if (m_bSwap) {
        uint32_t *pu = static_cast<uint32_t *>(pDst);
        for (int64_t i = 0; i < iCount; i++) pu[i] = Swap32(pu[i]);
    }
    return true;
}

bool NKOutput3DFile::ReadEvent(int iEvent, int iRecordWords, int64_t *piStart, int *piCount)
{
    int32_t ai[2];
    if (iEvent < 0 || !ReadWords(NK_O3D_HEADER_BYTES + 8LL * iEvent, ai, 2)) return false;
    if (ai[0] < 0 || ai[1] < 0) return false;
    int64_t iBytes = 4LL * iRecordWords * ai[1];
    if (ai[1] > 0 && (ai[0] > m_iSize || iBytes > m_iSize - ai[0])) return false;
    *piStart = ai[0];
    *piCount = ai[1];
    return true;
}

bool NKReadOutput3DTextFile(const std::string &path, bool bOnlyDataLines,
                            std::vector<std::vector<std::string>> *pLines)
{
    FILE *pFile = NKOpenRegularFile(path.c_str());
    if (pFile == nullptr) return false;
    std::string line;
    bool bInData = false;
    while (ReadLine(pFile, &line)) {
        if (!line.empty() && line[0] == 'c') continue;
        if (!bInData && line.find("Data") == std::string::npos) continue;
        bInData = true;
        if (bOnlyDataLines && line.compare(0, 4, "Data") != 0) continue;
        if (Trim(line).empty()) continue;
        pLines->push_back(SplitFields(line));
    }
    fclose(pFile);
    return true;
}
