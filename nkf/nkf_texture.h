// nkf/nkf_texture.h -- three small NKF block kinds: *TEXTURES (type 19),
// one named RGB image that parts can use as a texture; *USER (type 20),
// room for a writer's own data, which is skipped; and *INTERNALSTRING
// (type 21), free text that the system's own export writes and the import
// and the `nkf` command read back by block ID.
//
// Binary *TEXTURES header record (framing in nkf_format.h), 96 bytes:
//   offset  size  meaning
//   0       4     int32 header size (at least 96, below 1025)
//   4       4     int32 data size in bytes
//   8       80    char[80] texture name (as stored, not trimmed)
//   88      4     int32 width in pixels
//   92      4     int32 height in pixels
// Data: width x height x 3 raw bytes (red, green, blue), rows in file order.
//
// Binary *USER: int32 header size, int32 data size, the rest of the
// header, the data; nothing of it is kept.
// Binary *INTERNALSTRING: int32 header size (at least 8), int32 text length
// in bytes, surplus header bytes, then the text (no terminating zero).
// In both, the end-of-block marker is passed over by the parser in front
// of the next block code.
//
// ASCII: *TEXTURES has no ASCII form; *USER is every line up to the next
// block line; *INTERNALSTRING skips its leading '%' lines and keeps every
// following line up to the next block line, each with a line end.
#pragma once

#include <cstdint>

#include "nkf/nkf_block.h"

class NKFTextureBlock : public NKFBlock {
public:
    NKFTextureBlock(NKFReader *pReader, int iBlockID);
    ~NKFTextureBlock() override;

    bool ParseBlock() override;
    // Reads the pixels; a texture whose width x height x 3 exceeds its data
    // size fails with "Error reading texture values" before allocating.
    bool LoadData() override;
    bool WriteBlock() override { return true; }  // nothing to write
    int GetNumItems() override;                  // width x height
    void FreeData() override;

    const NKString &GetName() const { return name; }
    int GetWidth() const { return m_iWidth; }
    int GetHeight() const { return m_iHeight; }
    const uint8_t *GetPixels() const { return m_pcPixels; }

private:
    NKString name;
    int32_t m_iWidth;
    int32_t m_iHeight;
    uint8_t *m_pcPixels;  // owned; width x height x 3 bytes once loaded
};

class NKFUserBlock : public NKFBlock {
public:
    NKFUserBlock(NKFReader *pReader, int iBlockID);

    bool ParseBlock() override;
    bool LoadData() override;
    bool WriteBlock() override { return true; }  // nothing to write
    int GetNumItems() override { return 0; }
    void FreeData() override {}
};

class NKFInternalStringBlock : public NKFBlock {
public:
    NKFInternalStringBlock(NKFReader *pReader, int iBlockID);
    ~NKFInternalStringBlock() override;

    bool ParseBlock() override;
    bool LoadData() override;
    bool WriteBlock() override { return true; }  // nothing to write
    int GetNumItems() override { return text.GetLength(); }
    void FreeData() override {}  // the text stays

    const NKString &GetText() const { return text; }
    int GetTextLength() const { return m_iTextLength; }
    // The loaded bytes as they stand in the file, zero bytes included (the
    // text stops at the first of them): binary data such as cell indices.
    // Null before loading; GetDataSize bytes, followed by one zero byte.
    const char *GetData() const { return m_pcData; }
    int GetDataSize() const { return m_iDataSize; }

private:
    bool LoadAsciiText();
    bool KeepData(const char *pcBytes, int iCount);

    NKString text;
    int32_t m_iTextLength;  // binary text length in bytes
    char *m_pcData;         // owned; the loaded bytes and a terminating zero
    int32_t m_iDataSize;
};
