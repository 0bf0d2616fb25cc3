// app/nk_pixel_format.cpp -- pixel-format searches and the pixel-format
// report (see nk_pixel_format.h).
#include "app/nk_pixel_format.h"

#include <cstring>
#include <functional>
#include <vector>

#include "core/nk_memory.h"
#include "core/nk_output_file.h"
#include "platform/nk_pixel_formats.h"
#include "platform/nk_platform.h"

int g_iPixelFormatRequest = NK_PIXELFORMAT_AUTO;
int g_iDepthBitsRequest = 32;
int g_iStencilBits = -1;

namespace {

std::vector<NKPixelFormatDescriptor> DisplayFormats(void)
{
    std::vector<NKPixelFormatDescriptor> formats;
    NKGetDisplayPixelFormats(&formats);
    return formats;
}

// The 1-based number of the first candidate that meets the test, 0 when
// none does.
int FirstMatch(const NKPixelFormatDescriptor *pFormats, const std::vector<int> &candidates,
               const std::function<bool(const NKPixelFormatDescriptor &)> &test)
{
    for (int i : candidates)
        if (test(pFormats[i])) return i + 1;
    return 0;
}

int PickCandidate(const NKPixelFormatDescriptor *pFormats, const std::vector<int> &candidates,
                  int iDepthBits, int iColorBits)
{
    int iFound = FirstMatch(pFormats, candidates, [&](const NKPixelFormatDescriptor &f) {
        return f.cDepthBits == iDepthBits && f.cColorBits == iColorBits;
    });
    for (int d = 32; iFound == 0 && d >= 16; d--)
        for (int c = 32; iFound == 0 && c >= 16; c--)
            iFound = FirstMatch(pFormats, candidates, [&](const NKPixelFormatDescriptor &f) {
                return f.cDepthBits >= d && f.cColorBits >= c;
            });
    for (int c = 16; iFound == 0 && c >= 0; c--)
        iFound = FirstMatch(pFormats, candidates, [&](const NKPixelFormatDescriptor &f) {
            return f.cDepthBits >= 16 && f.cColorBits >= c;
        });
    return iFound;
}

void PrintFlags(NKOutputFile *pFile, uint32_t dwFlags)
{
    const struct {
        const char *pszLine;
        uint32_t dwBit;
    } kFlags[] = {
        {"    PFD_DRAW_TO_WINDOW:      %d\n", NK_PFD_DRAW_TO_WINDOW},
        {"    PFD_DRAW_TO_BITMAP:      %d\n", NK_PFD_DRAW_TO_BITMAP},
        {"    PFD_SUPPORT_GDI:         %d\n", NK_PFD_SUPPORT_GDI},
        {"    PFD_SUPPORT_OPENGL:      %d\n", NK_PFD_SUPPORT_OPENGL},
        {"    PFD_GENERIC_ACCELERATED: %d\n", NK_PFD_GENERIC_ACCELERATED},
        {"    PFD_GENERIC_FORMAT:      %d\n", NK_PFD_GENERIC_FORMAT},
        {"    PFD_DOUBLEBUFFER:        %d\n", NK_PFD_DOUBLEBUFFER},
        {"    PFD_STEREO:              %d\n", NK_PFD_STEREO},
    };
    for (const auto &flag : kFlags)
        pFile->Printf(flag.pszLine, (dwFlags & flag.dwBit) != 0 ? 1 : 0);
}

// Each format's fields as the report lists them; iLayerType is a signed
// byte in the descriptor.
void PrintFormat(NKOutputFile *pFile, int iNumber, const NKPixelFormatDescriptor &f)
{
    pFile->Printf("\n\nPixel format number: \t%d\n", iNumber);
    pFile->Printf("nSize: \t\t\t%d\n", f.nSize);
    pFile->Printf("nVersion: \t\t%d\n", f.nVersion);
    pFile->Printf("dwFlags: \t\t%d\n", int(f.dwFlags));
    PrintFlags(pFile, f.dwFlags);
    const struct {
        const char *pszLine;
        int iValue;
    } kFields[] = {
        {"iPixelType: \t\t%d\n", f.iPixelType},
        {"cColorBits: \t\t%d\n", f.cColorBits},
        {"cRedBits: \t\t%d\n", f.cRedBits},
        {"cRedShift: \t\t%d\n", f.cRedShift},
        {"cGreenBits: \t\t%d\n", f.cGreenBits},
        {"cGreenShift: \t\t%d\n", f.cGreenShift},
        {"cBlueBits: \t\t%d\n", f.cBlueBits},
        {"cBlueShift: \t\t%d\n", f.cBlueShift},
        {"cAlphaBits: \t\t%d\n", f.cAlphaBits},
        {"cAlphaShift: \t\t%d\n", f.cAlphaShift},
        {"cAccumBits: \t\t%d\n", f.cAccumBits},
        {"cAccumRedBits: \t\t%d\n", f.cAccumRedBits},
        {"cAccumGreenBits: \t%d\n", f.cAccumGreenBits},
        {"cAccumBlueBits: \t%d\n", f.cAccumBlueBits},
        {"cAccumAlphaBits: \t%d\n", f.cAccumAlphaBits},
        {"cDepthBits: \t\t%d\n", f.cDepthBits},
        {"cStencilBits: \t\t%d\n", f.cStencilBits},
        {"cAuxBuffers: \t\t%d\n", f.cAuxBuffers},
        {"iLayerType: \t\t%d\n", int(int8_t(f.iLayerType))},
        {"bReserved: \t\t%d\n", f.bReserved},
        {"dwLayerMask: \t\t%d\n", int(f.dwLayerMask)},
        {"dwVisibleMask: \t\t%d\n", int(f.dwVisibleMask)},
        {"dwDamageMask: \t\t%d\n", int(f.dwDamageMask)},
    };
    for (const auto &field : kFields) pFile->Printf(field.pszLine, field.iValue);
}

}  // namespace

int NKSearchPixelFormatList(const NKPixelFormatDescriptor *pFormats, int iCount, int iDepthBits,
                            int iColorBits, bool bSingleBuffer, uint32_t dwFlags)
{
    if (pFormats == nullptr) return 0;
    uint32_t dwRequired = NK_PFD_DRAW_TO_WINDOW | NK_PFD_SUPPORT_OPENGL;
    if (!bSingleBuffer) dwRequired |= NK_PFD_DOUBLEBUFFER;
    if ((dwFlags & NK_PFD_STEREO) != 0) dwRequired |= NK_PFD_STEREO;
    std::vector<int> candidates;
    for (int i = 0; i < iCount; i++) {
        const NKPixelFormatDescriptor &f = pFormats[i];
        if (f.iPixelType == NK_PFD_TYPE_RGBA && (f.dwFlags & dwRequired) == dwRequired &&
            (f.dwFlags & NK_PFD_GENERIC_FORMAT) == 0)
            candidates.push_back(i);
    }
    return PickCandidate(pFormats, candidates, iDepthBits, iColorBits);
}

int NKSearchSoftwarePixelFormatList(const NKPixelFormatDescriptor *pFormats, int iCount,
                                    bool bSingleBuffer)
{
    for (int i = 0; pFormats != nullptr && i < iCount; i++) {
        const NKPixelFormatDescriptor &f = pFormats[i];
        bool bDraws = (f.dwFlags & (NK_PFD_DRAW_TO_WINDOW | NK_PFD_SUPPORT_OPENGL)) != 0;
        bool bGeneric = (f.dwFlags & NK_PFD_GENERIC_FORMAT) != 0 &&
                        (f.dwFlags & NK_PFD_GENERIC_ACCELERATED) == 0;
        bool bDouble = (f.dwFlags & NK_PFD_DOUBLEBUFFER) != 0;
        if (bDraws && f.iPixelType == NK_PFD_TYPE_RGBA && bGeneric && bDouble == !bSingleBuffer)
            return i + 1;
    }
    return -1;
}

NKPixelFormatDescriptor *NKGetPixelFormats(NKDeviceContext *, int *piCount)
{
    std::vector<NKPixelFormatDescriptor> formats = DisplayFormats();
    if (piCount != nullptr) *piCount = 0;
    if (formats.empty()) return nullptr;
    auto *pFormats = static_cast<NKPixelFormatDescriptor *>(
        NKAlloc(formats.size() * sizeof(NKPixelFormatDescriptor)));
    if (pFormats == nullptr) return nullptr;
    std::memcpy(pFormats, formats.data(), formats.size() * sizeof(NKPixelFormatDescriptor));
    if (piCount != nullptr) *piCount = int(formats.size());
    return pFormats;
}

int NKFindPixelFormat(int iDepthBits, int iColorBits, bool bSingleBuffer, uint32_t dwFlags,
                      NKDeviceContext *, bool bPlatformOnly)
{
    if (!bPlatformOnly && (dwFlags & NK_PFD_DRAW_TO_BITMAP) == 0) {
        std::vector<NKPixelFormatDescriptor> formats = DisplayFormats();
        int iFound = NKSearchPixelFormatList(formats.data(), int(formats.size()), iDepthBits,
                                             iColorBits, bSingleBuffer, dwFlags);
        if (iFound > 0) return iFound;
    }
    if (dwFlags == 0) return 0;
    uint32_t dwAsked = dwFlags | NK_PFD_SUPPORT_OPENGL;
    if (!bSingleBuffer) dwAsked |= NK_PFD_DOUBLEBUFFER;
    return NKChooseDisplayPixelFormat(iDepthBits, iColorBits, dwAsked);
}

int NKChooseSoftwarePixelFormat(int, int, bool bSingleBuffer, NKDeviceContext *)
{
    std::vector<NKPixelFormatDescriptor> formats = DisplayFormats();
    return NKSearchSoftwarePixelFormatList(formats.data(), int(formats.size()), bSingleBuffer);
}

void *NKCreatePaletteForDC(NKDeviceContext *) { return nullptr; }

bool NKWritePixelFormatList(const char *pszPath, int iRequest,
                            const NKPixelFormatDescriptor *pFormats, int iCount)
{
    NKOutputFile file;
    if (!file.Open(pszPath)) return false;
    file.Printf("Brovik %s\n\n", NK_PRODUCT_NAME);
    file.Printf("This file contains a description of the currently available pixel formats.\n\n");
    file.Printf("Current pixelformat : %d\n\n", iRequest);
    for (int i = 0; pFormats != nullptr && i < iCount; i++) PrintFormat(&file, i + 1, pFormats[i]);
    return file.Commit();
}

bool NKWritePixelFormatReport(NKDeviceContext *)
{
    std::vector<NKPixelFormatDescriptor> formats = DisplayFormats();
    return NKWritePixelFormatList("pixel.txt", g_iPixelFormatRequest, formats.data(),
                                  int(formats.size()));
}
