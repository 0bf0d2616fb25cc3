// export/nk_animated_gif.cpp -- the animated GIF writer: frames through the
// image-sequence writer, then the join of the GIF87a frame files into one
// GIF89a file. The join reads each frame file whole and finds the end of its
// image data by following the LZW code widths.
#include "export/nk_animated_gif.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/nk_message.h"
#include "core/nk_movie_settings.h"
#include "core/nk_output_file.h"
#include "core/nk_progress.h"
#include "core/nk_string.h"
#include "core/nk_view_state.h"
#include "export/nk_image.h"
#include "export/nk_image_sequence.h"
#include "export/nk_private_folder.h"
#include "render/nk_background.h"

namespace {

// The join state of the running join (joins do not run concurrently).
struct JoinState {
    bool bTransparency = false;
    int iTransparent = -1;
    int iDelay = 0;
    int iDisposal = 0;
    bool bLoop = false;
    int iLoopCount = 0;
    bool bGlobalTable = false;  // the current frame file has a global table
    int iTableSize = 0;         // its size field
    uint8_t ucTable[768] = {0};
} sg_Join;

// A frame file's bytes and the read position.
struct FrameBytes {
    std::vector<uint8_t> data;
    size_t iPos = 0;
    bool Has(size_t n) const { return iPos + n <= data.size(); }
    int Next() { return iPos < data.size() ? data[iPos++] : -1; }
};

void WriteByte(NKOutputFile *pOut, int iByte)
{
    const uint8_t b = static_cast<uint8_t>(iByte);
    pOut->WriteRaw(&b, 1);
}

// Copies a frame's code size byte and the sub-blocks until
// the byte that completes the end code, or until the codes go wrong.
void CopyImageData(NKOutputFile *pOut, FrameBytes *pFrame)
{
    const int iMinSize = pFrame->Next();
    if (iMinSize < 0) return;
    WriteByte(pOut, iMinSize);
    if (iMinSize < 1 || iMinSize > 11) return;
    const int iClear = 1 << iMinSize, iEnd = iClear + 1;
    int iWidth = iMinSize + 1, iNext = iEnd + 1;
    bool bFirst = true;
    uint32_t uBits = 0;
    int iHeld = 0;
    for (;;) {
        const int iLength = pFrame->Next();
        if (iLength <= 0) return;  // the closing zero block is the merge's
        WriteByte(pOut, iLength);
        for (int i = 0; i < iLength; i++) {
            const int iByte = pFrame->Next();
            if (iByte < 0) return;
            WriteByte(pOut, iByte);
            uBits |= static_cast<uint32_t>(iByte) << iHeld;
            iHeld += 8;
            while (iHeld >= iWidth) {
                const int iCode = static_cast<int>(uBits & ((1u << iWidth) - 1));
                uBits >>= iWidth;
                iHeld -= iWidth;
                if (iCode == iEnd) return;
                if (iCode > 4100) return;
                if (iCode == iClear) {
                    iWidth = iMinSize + 1;
                    iNext = iEnd + 1;
                    bFirst = true;
                    continue;
                }
                if (!bFirst) {
                    if (iNext > 4100) return;  // the table is full
                    iNext++;
                }
                bFirst = false;
                if (iNext >= (1 << iWidth) && iWidth < 12) iWidth++;
            }
        }
    }
}

// Signature, logical screen and global table; written for the
// first frame (signature as GIF89a). False when the file is too short.
bool ReadHeader(NKOutputFile *pOut, FrameBytes *pFrame, bool bFirst)
{
    if (!pFrame->Has(13)) return false;
    uint8_t *p = &pFrame->data[0];
    sg_Join.bGlobalTable = (p[10] & 0x80) != 0;
    sg_Join.iTableSize = p[10] & 7;
    const size_t iTableBytes = sg_Join.bGlobalTable ? 3u * (2u << sg_Join.iTableSize) : 0;
    if (!pFrame->Has(13 + iTableBytes)) return false;
    std::memcpy(sg_Join.ucTable, p + 13, iTableBytes);
    if (bFirst) {
        uint8_t header[13];
        std::memcpy(header, p, 13);
        if (header[4] == '7') header[4] = '9';
        pOut->WriteRaw(header, 13);
        pOut->WriteRaw(sg_Join.ucTable, iTableBytes);
    }
    pFrame->iPos = 13 + iTableBytes;
    return true;
}

void WriteExtensions(NKOutputFile *pOut, bool bFirst)
{
    if (bFirst && sg_Join.bLoop) {
        const uint8_t loop[19] = {0x21,
                                  0xFF,
                                  0x0B,
                                  'N',
                                  'E',
                                  'T',
                                  'S',
                                  'C',
                                  'A',
                                  'P',
                                  'E',
                                  '2',
                                  '.',
                                  '0',
                                  3,
                                  1,
                                  static_cast<uint8_t>(sg_Join.iLoopCount & 0xFF),
                                  static_cast<uint8_t>((sg_Join.iLoopCount >> 8) & 0xFF),
                                  0};
        pOut->WriteRaw(loop, sizeof loop);
    }
    const bool bTransparent = sg_Join.bTransparency && sg_Join.iTransparent >= 0;
    if (sg_Join.iDelay == 0 && !bTransparent) return;
    const uint8_t control[8] = {0x21,
                                0xF9,
                                4,
                                static_cast<uint8_t>(sg_Join.iDisposal * 4 +
                                                     (sg_Join.iDelay != 0 ? 0x80 : 0) +
                                                     (bTransparent ? 1 : 0)),
                                static_cast<uint8_t>(sg_Join.iDelay & 0xFF),
                                static_cast<uint8_t>((sg_Join.iDelay >> 8) & 0xFF),
                                static_cast<uint8_t>(bTransparent ? sg_Join.iTransparent : 0),
                                0};
    pOut->WriteRaw(control, sizeof control);
}

// The image descriptor and the frame's colour table.
bool WriteDescriptor(NKOutputFile *pOut, FrameBytes *pFrame, bool bFirst)
{
    if (!pFrame->Has(9)) return false;
    uint8_t descriptor[10];
    descriptor[0] = ',';
    std::memcpy(descriptor + 1, &pFrame->data[pFrame->iPos], 9);
    pFrame->iPos += 9;
    const bool bLocal = (descriptor[9] & 0x80) != 0;
    const size_t iLocalBytes = bLocal ? 3u * (2u << (descriptor[9] & 7)) : 0;
    if (!pFrame->Has(iLocalBytes)) return false;
    if (sg_Join.bGlobalTable && !bFirst)
        descriptor[9] = static_cast<uint8_t>((descriptor[9] & 0xF8) | 0x80 | sg_Join.iTableSize);
    pOut->WriteRaw(descriptor, sizeof descriptor);
    if (bLocal) {
        pOut->WriteRaw(&pFrame->data[pFrame->iPos], iLocalBytes);
        pFrame->iPos += iLocalBytes;
    } else if (sg_Join.bGlobalTable && !bFirst) {
        pOut->WriteRaw(sg_Join.ucTable, 3u * (2u << sg_Join.iTableSize));
    }
    return true;
}

}  // namespace

int MergeGifFrame(NKOutputFile *pOutput, const char *pszFrameFile, bool bFirst)
{
    std::ifstream in(pszFrameFile, std::ios::binary);
    if (!in) return NK_IMAGE_OPEN_ERROR;
    FrameBytes frame;
    frame.data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!ReadHeader(pOutput, &frame, bFirst)) return NK_IMAGE_READ_ERROR;
    int c;
    while ((c = frame.Next()) != ',')
        if (c < 0) return NK_IMAGE_READ_ERROR;
    WriteExtensions(pOutput, bFirst);
    if (!WriteDescriptor(pOutput, &frame, bFirst)) return NK_IMAGE_READ_ERROR;
    CopyImageData(pOutput, &frame);
    WriteByte(pOutput, 0);
    return 1;
}

int WriteAnimatedGif(const char *pszPattern, int iCount, bool bLoopForever, int iLoopCount,
                     bool bTransparency, int iTransparent, int iDelay, const char *pszOutput)
{
    sg_Join = JoinState();
    sg_Join.bTransparency = bTransparency;
    sg_Join.iTransparent = iTransparent;
    sg_Join.iDelay = iDelay;
    sg_Join.iDisposal = bTransparency ? 2 : 0;
    NKOutputFile out;
    if (!out.Open(pszOutput)) return NK_IMAGE_OPEN_ERROR;
    NKBeginProgress(iCount, "Saving animated GIF file...", true, true);
    for (int i = 0; i < iCount; i++) {
        sg_Join.bLoop = bLoopForever || iLoopCount > 0;
        sg_Join.iLoopCount = bLoopForever ? 0 : iLoopCount;
        NKSetProgress(i + 1,
                      NKString::FromFormat("Saving animated GIF file... (%d of %d)", i + 1, iCount)
                          .GetText());
        if (NKCheckCancel()) {
            NKEndProgress("Animated GIF file generation aborted.", true, true);
            return NK_IMAGE_ABORTED;
        }
        const NKString frame = NKString::FromFormat(pszPattern, i);
        const int iStatus = MergeGifFrame(&out, frame.GetText(), i == 0);
        if (iStatus < 1) {
            NKEndProgress("", true, true);
            return iStatus;
        }
    }
    static const char kComment[] = "GIF anim from Quolin";
    const uint8_t head[3] = {0x21, 0xFE, static_cast<uint8_t>(sizeof kComment - 1)};
    out.WriteRaw(head, 3);
    out.WriteRaw(kComment, sizeof kComment - 1);
    const uint8_t tail[2] = {0, ';'};
    out.WriteRaw(tail, 2);
    if (!out.Commit()) {
        NKEndProgress("", true, true);
        return NK_IMAGE_WRITE_ERROR;
    }
    NKEndProgress("Done saving animated GIF file.", true, true);
    return 1;
}

namespace {

// The folder of the output with a trailing '/' ("" for none).
std::string OutputFolder(const char *pszOutput)
{
    const std::string name(pszOutput);
    const size_t iSlash = name.find_last_of('/');
    return iSlash == std::string::npos ? std::string() : name.substr(0, iSlash + 1);
}

// The transparent index; mode 0 swaps the background for the frames.
int ChooseTransparent(const NKMovieSettings &s, bool *pbSwapped)
{
    *pbSwapped = false;
    if (!s.bTransparency) return -1;
    if (s.iTransparencyMode == 1) return 255;
    if (s.iTransparencyMode == 2) return 0;
    if (g_pBackgroundSettings == nullptr) return -1;
    const uint8_t *pNow = g_pBackgroundSettings->ucColors[0];
    const bool bLight = pNow[0] > 150 || pNow[1] > 150 || pNow[2] > 150;
    static const uint8_t kLight[3] = {218, 255, 255}, kDark[3] = {255, 0, 255};
    NKSetExportBackground(bLight ? kLight : kDark, g_pBackgroundSettings, false);
    *pbSwapped = true;
    return bLight ? 254 : 199;
}

}  // namespace

int NKWriteAnimatedGif(NKMovieSettings *pSettings)
{
    if (pSettings == nullptr) return -10;
    const NKMovieSettings &s = *pSettings;
    int n = std::abs(s.iToStep - s.iFromStep) / (s.iSkip > 0 ? s.iSkip : 1) + 1;
    if (s.bCycle) n = 2 * n - 1;
    const int iCount = n * s.iRepeatEvery + s.iRepeatFirst + s.iRepeatLast;
    const uint32_t uFlags = NK_IMAGE_GIF | (s.bCaptureScreen ? NK_IMAGE_CAPTURE : 0u);
    const int iDelay = static_cast<int>(100.0f / s.fGifFrameRate);
    // Frames go to a private folder beside the output unless they are kept.
    std::string folder = OutputFolder(s.szFileName.GetText());
    std::string privateFolder;
    if (!s.bKeepImages) {
        privateFolder = NKMakePrivateFolder(folder, "qln_gif_");
        if (privateFolder.empty()) {
            NKPrintError("Problems writing image sequence for generation of AnimGIF");
            return -10;
        }
        folder = privateFolder + "/";
    }
    const std::string pattern = folder + "qln_%d.gif";
    bool bSwapped = false;
    const int iTransparent = ChooseTransparent(s, &bSwapped);
    const int aiFrame[2] = {s.iEncodedWidth, s.iEncodedHeight};
    int iStatus =
        NKWriteImageSequence(s.iFromStep, s.iToStep, s.iSkip, s.bCycle != 0, s.iRepeatEvery,
                             s.iRepeatFirst, s.iRepeatLast, true, NKViewWindowSize.iWidth,
                             NKViewWindowSize.iHeight, uFlags, pattern.c_str(), aiFrame, 0);
    if (bSwapped) NKSetExportBackground(nullptr, g_pBackgroundSettings, true);
    if (iStatus == NK_IMAGE_OK)
        iStatus =
            WriteAnimatedGif(pattern.c_str(), iCount, s.bLoopForever != 0, s.iLoopCount,
                             s.bTransparency != 0, iTransparent, iDelay, s.szFileName.GetText());
    else if (iStatus == NK_IMAGE_ABORTED)
        iStatus = -1;
    else {
        NKPrintError("Problems writing image sequence for generation of AnimGIF");
        iStatus = -10;
    }
    if (!privateFolder.empty()) NKRemovePrivateFolder(privateFolder);
    return iStatus;
}
