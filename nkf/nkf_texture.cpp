// nkf/nkf_texture.cpp -- the *TEXTURES, *USER and *INTERNALSTRING blocks
// (layouts in nkf_texture.h). The import loads every texture block and
// matches part attributes to textures by name.
#include "nkf/nkf_texture.h"

#include <climits>
#include <cstring>
#include <string>

#include "core/nk_memory.h"
#include "nkf/nkf_reader.h"

// Binary header record bytes the texture reader knows.
static const int kTextureHeaderBytes = 96;

NKFTextureBlock::NKFTextureBlock(NKFReader *pReader, int iBlockID)
    : NKFBlock(pReader, iBlockID), name(""), m_iWidth(0), m_iHeight(0), m_pcPixels(nullptr)
{
    m_iBlockType = NKF_TEXTURES;
}

NKFTextureBlock::~NKFTextureBlock() { FreeData(); }

bool NKFTextureBlock::ParseBlock()
{
    if (!GetPosition()) return false;
    if (m_pReader->IsAscii()) {
        ReportError(NKString(""),
                    NKString("ASCII version of Textures Block is not implemented yet."));
        return false;
    }
    int32_t iHeaderSize = 0, iDataSize = 0;
    if (!ReadHeaderSizes(kTextureHeaderBytes, &iHeaderSize, &iDataSize)) return false;
    NKString readName = m_pReader->ReadString80();
    int32_t aiSize[2] = {0, 0};
    if (m_pReader->IsEndReached() || !m_pReader->ReadInts(aiSize, 2)) {
        ReportMissingEnd();
        return false;
    }
    if (!SkipHeaderRest(iHeaderSize, kTextureHeaderBytes)) return false;
    name = readName;
    m_iWidth = aiSize[0];
    m_iHeight = aiSize[1];
    if (!CheckEndOfBlock(iDataSize)) return false;
    m_bHeaderParsed = true;
    return true;
}

// Bytes of the pixels, or -1 for a negative width or height. Sizes whose
// bytes pass INT64_MAX (two huge words) give INT64_MAX, which no data size
// holds.
static int64_t PixelBytes(int32_t iWidth, int32_t iHeight)
{
    if (iWidth < 0 || iHeight < 0) return -1;
    int64_t iPixels = (int64_t)iWidth * iHeight;
    return iPixels > INT64_MAX / 3 ? INT64_MAX : iPixels * 3;
}

bool NKFTextureBlock::LoadData()
{
    if (m_bDataLoaded) return true;
    if (!m_bHeaderParsed || !SeekPosition() || !SkipHeaderDirectives())
        return ReportFailure("Error skipping header");
    // A size the data cannot hold is refused before anything is allocated.
    int64_t iBytes = PixelBytes(m_iWidth, m_iHeight);
    if (iBytes < 0 || iBytes > m_iDataSize) return ReportFailure("Error reading texture values");
    if (iBytes > 0) {
        m_pcPixels = (uint8_t *)NKAlloc((size_t)iBytes);
        if (m_pcPixels == nullptr) return ReportFailure("Error allocating memory texture");
        if (!m_pReader->ReadBytes(m_pcPixels, iBytes)) {
            FreeData();
            ReportError(NKString(""), NKString("Error reading texture values"));
            return false;
        }
    }
    m_bDataLoaded = true;
    return true;
}

int NKFTextureBlock::GetNumItems()
{
    int64_t iPixels = PixelBytes(m_iWidth, m_iHeight) / 3;
    if (iPixels < 0) return 0;
    return iPixels > INT_MAX ? INT_MAX : (int)iPixels;
}

void NKFTextureBlock::FreeData()
{
    NKFree(m_pcPixels);
    m_pcPixels = nullptr;
    m_bDataLoaded = false;
}

// ---------------------------------------------------------------------------

NKFUserBlock::NKFUserBlock(NKFReader *pReader, int iBlockID) : NKFBlock(pReader, iBlockID)
{
    m_iBlockType = NKF_USER;
}

// Reads the two size words and skips header and data; the end-of-block
// marker is left to the parser. Sizes that cannot frame a block (a header
// below 8 bytes, a negative data size, content past the end of the file)
// fail instead of being skipped by a wrong amount.
static bool SkipBinaryContent(NKFReader *pReader, int32_t iHeaderSize, int32_t iDataSize)
{
    int64_t iSkip = (int64_t)iHeaderSize - NKF_HEADER_SIZES_BYTES + iDataSize;
    return iDataSize >= 0 && pReader->Skip(iSkip);
}

bool NKFUserBlock::ParseBlock()
{
    if (!GetPosition()) return false;
    if (m_pReader->IsAscii()) {
        SkipAsciiContent();
    } else {
        int32_t iHeaderSize = 0, iDataSize = 0;
        if (!ReadHeaderSizes(NKF_HEADER_SIZES_BYTES, &iHeaderSize, &iDataSize)) return false;
        if (!SkipBinaryContent(m_pReader, iHeaderSize, iDataSize)) {
            ReportMissingEnd();
            return false;
        }
    }
    m_bHeaderParsed = true;
    return true;
}

bool NKFUserBlock::LoadData()
{
    if (m_bDataLoaded) return true;
    if (!m_bHeaderParsed || !SeekPosition()) return ReportFailure("Error skipping header");
    if (m_pReader->IsAscii()) {
        SkipAsciiContent();
    } else if (!SkipHeaderDirectives() || !m_pReader->Skip(m_iDataSize))
        return ReportFailure("Error skipping header");
    m_bDataLoaded = true;
    return true;
}

// ---------------------------------------------------------------------------

NKFInternalStringBlock::NKFInternalStringBlock(NKFReader *pReader, int iBlockID)
    : NKFBlock(pReader, iBlockID), text(""), m_iTextLength(0), m_pcData(nullptr), m_iDataSize(0)
{
    m_iBlockType = NKF_INTERNALSTRING;
}

NKFInternalStringBlock::~NKFInternalStringBlock() { NKFree(m_pcData); }

// Keeps a copy of the loaded bytes: a binary string may hold zero bytes,
// which end the text but are part of the data.
bool NKFInternalStringBlock::KeepData(const char *pcBytes, int iCount)
{
    NKFree(m_pcData);
    m_iDataSize = 0;
    m_pcData = (char *)NKAlloc((size_t)iCount + 1);
    if (m_pcData == nullptr) return false;
    if (iCount > 0) std::memcpy(m_pcData, pcBytes, (size_t)iCount);
    m_pcData[iCount] = 0;
    m_iDataSize = iCount;
    return true;
}

bool NKFInternalStringBlock::ParseBlock()
{
    if (!GetPosition()) return false;
    if (m_pReader->IsAscii()) {
        SkipAsciiContent();
    } else {
        int32_t iHeaderSize = 0, iLength = 0;
        if (!ReadHeaderSizes(NKF_HEADER_SIZES_BYTES, &iHeaderSize, &iLength)) return false;
        if (!SkipBinaryContent(m_pReader, iHeaderSize, iLength)) {
            ReportMissingEnd();
            return false;
        }
        m_iTextLength = iLength;
    }
    m_bHeaderParsed = true;
    return true;
}

// Leading '%' lines are header directives; every later line up to the
// next block line is text, kept with a line end.
bool NKFInternalStringBlock::LoadAsciiText()
{
    std::string collected;  // appended in place: texts may have many lines
    bool bInHeader = true;
    while (const NKString *pLine = NextBlockLine()) {
        const NKString &line = *pLine;
        if (bInHeader && line.GetAt(0) == '%') continue;
        bInHeader = false;
        collected.append(line.GetText(), (size_t)line.GetLength());
        collected += '\n';
    }
    text.Assign(collected.c_str(), (int)collected.size());
    return KeepData(collected.c_str(), (int)collected.size());
}

bool NKFInternalStringBlock::LoadData()
{
    if (m_bDataLoaded) return true;
    if (!m_bHeaderParsed || !SeekPosition()) return ReportFailure("Error skipping header");
    if (m_pReader->IsAscii()) {
        LoadAsciiText();
    } else {
        if (!SkipHeaderDirectives()) return ReportFailure("Error skipping header");
        // Checked against the file when parsing; checked again here since
        // nothing else guards this allocation.
        if (m_iTextLength < 0 || m_iTextLength > m_pReader->BytesLeft())
            return ReportFailure("Error reading text");
        char *pcText = (char *)NKAlloc((size_t)m_iTextLength + 1);
        if (pcText == nullptr || !m_pReader->ReadBytes(pcText, m_iTextLength)) {
            NKFree(pcText);
            ReportError(NKString(""), NKString("Error reading text"));
            return false;
        }
        pcText[m_iTextLength] = 0;
        text.Assign(pcText, m_iTextLength);
        bool bKept = KeepData(pcText, m_iTextLength);
        NKFree(pcText);
        if (!bKept) return ReportFailure("Error reading text");
    }
    m_bDataLoaded = true;
    return true;
}
