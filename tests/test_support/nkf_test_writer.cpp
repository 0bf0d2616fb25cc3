// tests/test_support/nkf_test_writer.cpp -- word-by-word builders of NKF
// test files (see nkf_test_writer.h). Every block is written one commented
// word at a time, in the order the format's framing table gives.
#include "tests/test_support/nkf_test_writer.h"

#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "tests/test_support/test_files.h"

void NKFTestWriter::Int(int32_t iValue)
{
    uint32_t u = (uint32_t)iValue;
    uint8_t ab[4] = {(uint8_t)u, (uint8_t)(u >> 8), (uint8_t)(u >> 16), (uint8_t)(u >> 24)};
    if (m_bBigEndian) {
        std::swap(ab[0], ab[3]);
        std::swap(ab[1], ab[2]);
    }
    m_Data.insert(m_Data.end(), ab, ab + 4);
}

void NKFTestWriter::Float(float fValue)
{
    int32_t iBits;
    memcpy(&iBits, &fValue, 4);
    Int(iBits);
}

void NKFTestWriter::Bytes(const void *pData, size_t iCount)
{
    const uint8_t *p = (const uint8_t *)pData;
    m_Data.insert(m_Data.end(), p, p + iCount);
}

void NKFTestWriter::Text80(const char *pszText)
{
    // Up to 80 characters, NUL-padded; a text of 80 has no terminator.
    char ac[80] = {0};
    memcpy(ac, pszText, strnlen(pszText, 80));
    Bytes(ac, 80);
}

void NKFTestWriter::PatchInt(size_t iOffset, int32_t iValue)
{
    NKFTestWriter word(m_bBigEndian);
    word.Int(iValue);
    memcpy(&m_Data[iOffset], word.Data().data(), 4);
}

void AppendFileHeader(NKFTestWriter &w, int32_t iVersion)
{
    w.BeginHeader();
    w.Int(231272);    // magic word 1
    w.Int(-160871);   // magic word 2
    w.Int(251271);    // magic word 3
    w.Int(iVersion);  // format version
    w.EndHeader();
}

void AppendResultsBlock(NKFTestWriter &w, int32_t iID, int32_t iDimension, int32_t iRefID,
                        int32_t iMapping, const int32_t *piIDs, const float *pfValues,
                        int32_t iCount, int iValuesPerItem)
{
    int32_t iRowWords = (piIDs != nullptr ? 1 : 0) + iValuesPerItem;
    w.BeginHeader();
    w.Int(1009);                      // block code: *RESULTS
    w.Int(iID);                       // block ID
    w.Int(28);                        // header size: seven words
    w.Int(iCount * iRowWords * 4);    // data size
    w.Int(iDimension);                // dimension
    w.Int(iRefID);                    // referenced block ID
    w.Int(iMapping);                  // mapping: 0 node, 1 element, 2 face
    w.Int(piIDs != nullptr ? 1 : 0);  // with-ID flag
    w.Int(iCount);                    // item count
    w.EndHeader();
    for (int32_t i = 0; i < iCount; i++) {
        if (piIDs != nullptr) w.Int(piIDs[i]);  // item ID
        for (int k = 0; k < iValuesPerItem; k++)
            w.Float(pfValues[i * iValuesPerItem + k]);  // value
    }
    w.BeginHeader();
    w.Int(-999);  // end-of-block marker
    w.EndHeader();
}

void AppendTextureBlock(NKFTestWriter &w, int32_t iID, const char *pszName, int32_t iWidth,
                        int32_t iHeight, int32_t iDataBytes, int32_t iHeaderSize)
{
    w.BeginHeader();
    w.Int(1020);                                             // block code: *TEXTURES
    w.Int(iID);                                              // block ID
    w.Int(iHeaderSize);                                      // header size (96 known bytes)
    w.Int(iDataBytes);                                       // data size
    w.Text80(pszName);                                       // texture name, 80 bytes
    w.Int(iWidth);                                           // width in pixels
    w.Int(iHeight);                                          // height in pixels
    for (int32_t i = 96; i < iHeaderSize; i += 4) w.Int(0);  // surplus header word
    w.EndHeader();
    for (int32_t i = 0; i < iDataBytes; i++) {
        uint8_t c = (uint8_t)i;
        w.Bytes(&c, 1);  // one RGB byte
    }
    w.BeginHeader();
    w.Int(-999);  // end-of-block marker
    w.EndHeader();
}

void AppendUserBlock(NKFTestWriter &w, int32_t iID, int32_t iDataBytes)
{
    w.BeginHeader();
    w.Int(1021);        // block code: *USER
    w.Int(iID);         // block ID
    w.Int(8);           // header size: the two size words
    w.Int(iDataBytes);  // data size
    w.EndHeader();
    for (int32_t i = 0; i < iDataBytes; i++) {
        uint8_t c = (uint8_t)(0xA0 + i);
        w.Bytes(&c, 1);  // one byte of the writer's own data
    }
    w.BeginHeader();
    w.Int(-999);  // end-of-block marker
    w.EndHeader();
}

void AppendInternalStringBlock(NKFTestWriter &w, int32_t iID, const char *pszText,
                               int32_t iHeaderSize)
{
    int32_t iLength = (int32_t)strlen(pszText);
    w.BeginHeader();
    w.Int(1022);                                                     // block code: *INTERNALSTRING
    w.Int(iID);                                                      // block ID
    w.Int(iHeaderSize);                                              // header size (8 known bytes)
    w.Int(iLength);                                                  // text length in bytes
    for (int32_t i = 8; i < iHeaderSize; i += 4) w.Int(0x7F7F7F7F);  // surplus header word
    w.EndHeader();
    w.Bytes(pszText, (size_t)iLength);  // the text, no terminator
    w.BeginHeader();
    w.Int(-999);  // end-of-block marker
    w.EndHeader();
}

void AppendFramedBlock(NKFTestWriter &w, int32_t iCode, int32_t iID, int32_t iDataBytes,
                       int32_t iHeaderSize)
{
    w.BeginHeader();
    w.Int(iCode);                                           // block code
    w.Int(iID);                                             // block ID
    w.Int(iHeaderSize);                                     // header size
    w.Int(iDataBytes);                                      // data size
    for (int32_t i = 8; i < iHeaderSize; i += 4) w.Int(0);  // header field
    w.EndHeader();
    for (int32_t i = 0; i < iDataBytes; i++) {
        uint8_t c = (uint8_t)(i * 7);
        w.Bytes(&c, 1);  // one data byte
    }
    w.BeginHeader();
    w.Int(-999);  // end-of-block marker
    w.EndHeader();
}

namespace {

// The process's folder of NKF test files, removed when the process ends (a
// child forked meanwhile leaves it to its parent).
struct NKFTestFolder {
    std::string dir;
    pid_t owner = 0;
    ~NKFTestFolder()
    {
        if (!dir.empty() && owner == getpid()) NKTestRemoveDir(dir);
    }
};

}  // namespace

std::string NKFTestPath(const char *pszName)
{
    static NKFTestFolder folder;
    if (folder.dir.empty()) {
        std::filesystem::path p = std::filesystem::path(NKTestTempRoot()) /
                                  ("quolin_nkf_tests_" + std::to_string(getpid()));
        std::filesystem::create_directories(p);
        folder.dir = p.string();
        folder.owner = getpid();
    }
    return folder.dir + "/" + pszName;
}

std::string NKFWriteTestFile(const char *pszName, const std::vector<std::string> &lines)
{
    std::string path = NKFTestPath(pszName);
    NKTestWriteText(path, NKFJoinLines(lines));
    return path;
}

std::string NKFWriteTestFile(const char *pszName, const NKFTestWriter &w)
{
    std::string path = NKFTestPath(pszName);
    NKTestWriteBytes(path, w.Data());
    return path;
}

std::string NKFJoinLines(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines) text += line + "\n";
    return text;
}
