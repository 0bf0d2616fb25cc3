// export/nk_image.cpp -- the image record's life, the status texts and
// format names, the capture of the frame buffer and NKSaveSceneImage, the
// one way from the scene to a still-image file.
#include "export/nk_image.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

#include "core/nk_load_hooks.h"
#include "core/nk_memory.h"
#include "core/nk_progress.h"
#include "export/nk_bmp_files.h"
#include "export/nk_eps_writer.h"
#include "export/nk_gif_writer.h"
#include "export/nk_image_files.h"
#include "export/nk_offscreen.h"
#include "render/nk_background.h"

void NKInitImageRecord(ImageRecord *pImage)
{
    pImage->szName = "none";
    pImage->iWidth = -1;
    pImage->iHeight = -1;
    pImage->pPixels = nullptr;
}

void NKReleaseImagePixels(ImageRecord *pImage)
{
    NKFree(pImage->pPixels);
    NKInitImageRecord(pImage);
}

void NKFreeImageRecord(ImageRecord *pImage)
{
    if (pImage == nullptr) return;
    NKFree(pImage->pPixels);
    delete pImage;
}

NKString NKImageErrorText(int iCode)
{
    static const struct {
        int iCode;
        const char *pszText;
    } kTexts[] = {
        {1, "No errors"},
        {-1, "General error during image operation"},
        {-2, "Aborted by user"},
        {-3, "Parameter error"},
        {-4, "Could not write to file"},
        {-5, "Could not open file"},
        {-6, "Could not read from file"},
        {-7, "Unsupporten number of bits per pixel"},
        {-8, "File is not a Windows BMP-file"},
        {-9, "File is not a SGI RGB-file"},
        {-11, "RLE buffer too smalle"},
        {-12, "Error allocating memory for image data"},
        {-13, "Unable to create offscreen pixmap for rendering (use capturing instead)"},
    };
    for (const auto &t : kTexts)
        if (t.iCode == iCode) return NKString(t.pszText);
    return NKString("Unknown error");
}

NKString NKImageFormatNames(uint32_t uFlags, bool bLower)
{
    static const struct {
        uint32_t uBit;
        const char *pszName, *pszLower;
    } kNames[] = {{NK_IMAGE_PPM, "PPM", "ppm"},   {NK_IMAGE_RGB, "RGB", "rgb"},
                  {NK_IMAGE_TIFF, "TIFF", "tif"}, {NK_IMAGE_BMP, "BMP", "bmp"},
                  {NK_IMAGE_EPS, "EPS", "eps"},   {NK_IMAGE_GIF, "GIF", "gif"}};
    const char *pszName = "XXX";
    for (const auto &n : kNames)
        if (uFlags & n.uBit) pszName = bLower ? n.pszLower : n.pszName;
    return NKString(pszName);
}

NKString NKImageSaveMessage(bool bCapturing, bool bSelection, uint32_t uFlags,
                            const char *pszFileName, int iWidth, int iHeight)
{
    return NKString::FromFormat("%s scene %sto %s-file: %s  (Image size: %d*%d pixels)",
                                bCapturing ? "Capturing" : "Rendering",
                                bSelection ? "selection " : "",
                                NKImageFormatNames(uFlags, false).GetText(),
                                pszFileName != nullptr ? pszFileName : "", iWidth, iHeight);
}

namespace {

// Where a capture reads and what it makes: the read rectangle (x, y, w, h), the
// picture's size and its borders. -3 for a rectangle off the buffer.
int CaptureRect(int iWidth, int iHeight, const int *piOrigin, const int *piSize,
                const int *piTarget, int *r, int *piPicture, int *piBorder)
{
    r[0] = 0, r[1] = 0, r[2] = iWidth, r[3] = iHeight;
    if (piOrigin != nullptr && piSize != nullptr) {
        r[0] = piOrigin[0], r[1] = piOrigin[1], r[2] = piSize[0], r[3] = piSize[1];
        if (r[0] < 0 || r[0] >= iWidth || r[1] < 0 || r[1] >= iHeight || r[2] < 1 || r[3] < 1)
            return NK_IMAGE_BAD_PARAMETER;
        if (r[0] + r[2] > iWidth) r[2] = iWidth - r[0];
        if (r[1] + r[3] > iHeight) r[3] = iHeight - r[1];
    }
    piBorder[0] = piBorder[1] = 0;
    piPicture[0] = r[2], piPicture[1] = r[3];
    if (piTarget == nullptr) return NK_IMAGE_OK;
    if (piTarget[0] < 1 || piTarget[1] < 1) return NK_IMAGE_BAD_PARAMETER;
    for (int a = 0; a < 2; a++) {
        if (piTarget[a] > r[2 + a]) piBorder[a] = (piTarget[a] - r[2 + a]) / 2;
        if (r[2 + a] > piTarget[a]) {
            r[a] += (r[2 + a] - piTarget[a]) / 2;
            r[2 + a] = piTarget[a];
        }
    }
    if (r[0] + r[2] > iWidth || r[1] + r[3] > iHeight) return NK_IMAGE_BAD_PARAMETER;
    piPicture[0] = piTarget[0], piPicture[1] = piTarget[1];
    return NK_IMAGE_OK;
}

}  // namespace

int ReadFrameBuffer(int iWidth, int iHeight, ImageRecord *pImage, const int *piOrigin,
                    const int *piSize, const int *piTarget, bool bFront)
{
    if (iWidth < 1 || iHeight < 1 || pImage == nullptr) return NK_IMAGE_BAD_PARAMETER;
    int r[4], aiPicture[2], aiBorder[2];
    int iStatus = CaptureRect(iWidth, iHeight, piOrigin, piSize, piTarget, r, aiPicture, aiBorder);
    if (iStatus != NK_IMAGE_OK) return iStatus;
    const bool bPad = aiPicture[0] != r[2] || aiPicture[1] != r[3];
    const size_t nBytes = (size_t)aiPicture[0] * (size_t)aiPicture[1] * 3;
    uint8_t *pPixels = static_cast<uint8_t *>(bPad ? NKCalloc(1, nBytes) : NKAlloc(nBytes));
    if (pPixels == nullptr) return NK_IMAGE_NO_MEMORY;
    GLint iAlign = 4, iReadBuffer = GL_BACK, iFramebuffer = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &iAlign);
    glGetIntegerv(GL_READ_BUFFER, &iReadBuffer);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &iFramebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // A framebuffer object has no front and back; its colour attachment is read.
    glReadBuffer(iFramebuffer != 0 ? GL_COLOR_ATTACHMENT0 : (bFront ? GL_FRONT : GL_BACK));
    if (!bPad) {
        glReadPixels(r[0], r[1], r[2], r[3], GL_RGB, GL_UNSIGNED_BYTE, pPixels);
    } else {
        for (int i = 0; i < r[3]; i++)
            glReadPixels(r[0], r[1] + i, r[2], 1, GL_RGB, GL_UNSIGNED_BYTE,
                         pPixels + ((size_t)(aiBorder[1] + i) * aiPicture[0] + aiBorder[0]) * 3);
    }
    glPixelStorei(GL_PACK_ALIGNMENT, iAlign);
    glReadBuffer((GLenum)iReadBuffer);
    NKFree(pImage->pPixels);
    pImage->pPixels = pPixels;
    pImage->iWidth = aiPicture[0];
    pImage->iHeight = aiPicture[1];
    return NK_IMAGE_OK;
}

int NKCaptureScene(int iFrame, int iWidth, int iHeight, ImageRecord *pImage, const int *piOrigin,
                   const int *piSize, const int *piTarget)
{
    if (iWidth < 1 || iHeight < 1) return NK_IMAGE_BAD_PARAMETER;
    NKOffscreenState *pState = nullptr;
    int iStatus = NKBeginOffscreen(iWidth, iHeight, &pState);
    if (iStatus != NK_IMAGE_OK) return iStatus;
    if (NKDrawScene(iFrame, 1, 1))
        iStatus = ReadFrameBuffer(iWidth, iHeight, pImage, piOrigin, piSize, piTarget, true);
    else
        iStatus = NK_IMAGE_ERROR;
    NKEndOffscreen(pState, nullptr);
    return iStatus;
}

namespace {

// BMP files are rendered only; a selection's origin goes to
// top-down rows, its height clipped to the picture first.
int SaveBitmap(int iFrame, int iWidth, int iHeight, uint32_t uFlags, const char *pszFileName,
               const int *piOrigin, const int *piSize)
{
    if (uFlags & NK_IMAGE_CAPTURE) return NK_IMAGE_ERROR;
    if (piOrigin == nullptr || piSize == nullptr)
        return NKWriteSceneBitmapFile(iFrame, iWidth, iHeight, pszFileName);
    if (piOrigin[1] < 0 || piOrigin[1] >= iHeight || piSize[1] < 1) return NK_IMAGE_BAD_PARAMETER;
    const int h = piSize[1] < iHeight - piOrigin[1] ? piSize[1] : iHeight - piOrigin[1];
    const int aiTop[2] = {piOrigin[0], iHeight - piOrigin[1] - h};
    const int aiSize[2] = {piSize[0], h};
    return NKWriteSceneSelectionBitmapFile(iFrame, iWidth, iHeight, pszFileName, aiTop, aiSize);
}

// The writer of the first format bit in the order RGB, PPM, TIFF,
// GIF, EPS.
int WriteImage(const ImageRecord *pImage, uint32_t uFlags, const char *pszFileName)
{
    if (uFlags & NK_IMAGE_RGB) return WriteSgiRgbFile(pImage, pszFileName);
    if (uFlags & NK_IMAGE_PPM) return WritePpmFile(pImage, pszFileName);
    if (uFlags & NK_IMAGE_TIFF) return WriteTiffFile(pImage, pszFileName);
    if (uFlags & NK_IMAGE_GIF) return WriteGifFile(pImage, pszFileName);
    if (!(uFlags & NK_IMAGE_EPS)) return NK_IMAGE_ERROR;
    NKBeginProgressBar(100, "Generating EPS file...");
    // A cancelled file is not written either: both leave the target as it was.
    const int iStatus = NKWriteEPS(pImage, nullptr, pszFileName, false, 0, 100)
                            ? NK_IMAGE_OK
                            : NK_IMAGE_WRITE_ERROR;
    NKEndProgressBar(iStatus == NK_IMAGE_OK            ? "Done"
                     : iStatus == NK_IMAGE_WRITE_ERROR ? "Error writing EPS file"
                                                       : "");
    return iStatus;
}

}  // namespace

int NKSaveSceneImage(int iFrame, int iWidth, int iHeight, uint32_t uFlags, const char *pszFileName,
                     const int *piOrigin, const int *piSize, const int *piTarget)
{
    if (uFlags & NK_IMAGE_BMP)
        return SaveBitmap(iFrame, iWidth, iHeight, uFlags, pszFileName, piOrigin, piSize);
    ImageRecord image;
    NKInitImageRecord(&image);
    int iStatus =
        (uFlags & NK_IMAGE_CAPTURE)
            ? NKCaptureScene(iFrame, iWidth, iHeight, &image, piOrigin, piSize, piTarget)
            : NKRenderSceneToImage(iFrame, iWidth, iHeight, &image, nullptr, 3, piOrigin, piSize);
    if (iStatus == NK_IMAGE_OK) iStatus = WriteImage(&image, uFlags, pszFileName);
    NKReleaseImagePixels(&image);
    return iStatus;
}

namespace {
struct SavedBackground {
    int32_t iMode = 0;
    uint8_t ucColor[3] = {0, 0, 0};
} sg_SavedBackground;
}  // namespace

void NKSetExportBackground(const uint8_t *pColor, NKBackgroundSettings *pBackground, bool bRestore)
{
    if (pBackground == nullptr) return;
    if (bRestore) {
        pBackground->iMode = sg_SavedBackground.iMode;
        std::memcpy(pBackground->ucColors[0], sg_SavedBackground.ucColor, 3);
        return;
    }
    sg_SavedBackground.iMode = pBackground->iMode;
    std::memcpy(sg_SavedBackground.ucColor, pBackground->ucColors[0], 3);
    pBackground->iMode = 0;
    if (pColor != nullptr) std::memcpy(pBackground->ucColors[0], pColor, 3);
}
