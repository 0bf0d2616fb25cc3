// nkf/nkf_placeholder_block.cpp -- framing-only reading for block types
// whose classes are not built yet (see nkf_placeholder_block.h).
#include "nkf/nkf_placeholder_block.h"

#include "nkf/nkf_reader.h"

NKFPlaceholderBlock::NKFPlaceholderBlock(NKFReader *pReader, int iBlockID, int iType)
    : NKFBlock(pReader, iBlockID)
{
    m_iBlockType = iType;
}

bool NKFPlaceholderBlock::ParseBlock()
{
    if (!GetPosition()) return false;
    if (m_pReader->IsAscii()) {
        SkipAsciiContent();
    } else {
        int32_t iHeaderSize = 0, iDataSize = 0;
        if (!ReadHeaderSizes(NKF_HEADER_SIZES_BYTES, &iHeaderSize, &iDataSize)) return false;
        if (!SkipHeaderRest(iHeaderSize, NKF_HEADER_SIZES_BYTES) || !CheckEndOfBlock(iDataSize))
            return false;
    }
    m_bHeaderParsed = true;
    return true;
}

bool NKFPlaceholderBlock::LoadData()
{
    if (m_bDataLoaded) return true;
    if (!m_bHeaderParsed || !SeekPosition()) return false;
    m_bDataLoaded = true;
    return true;
}
