// platform/nk_pixel_formats.h -- the pixel formats of the display: the
// GLX framebuffer configurations of the X display the program runs on, each
// described by the fields of the Windows pixel-format descriptor the shell
// reasons about, and numbered from 1 in the server's order.
//
// The shell's format choice (app/nk_pixel_format.cpp) searches this list, or
// asks the display's own choice; after a context exists it asks which
// configuration the context got. Colour bits are red + green + blue; a
// configuration with the GLX_SLOW_CONFIG caveat counts as generic (software)
// and one that can draw to windows (GLX_WINDOW_BIT with a visual) as
// draw-to-window; every configuration supports OpenGL. The display is the
// one of the Qt application; without one (or on another platform than X11)
// the list is empty. No Qt or X11 types appear here.
#pragma once

#include <cstdint>
#include <vector>

// Flag bits of dwFlags, with the values of the Windows descriptor (the
// pixel-format report prints them as a number).
enum : uint32_t {
    NK_PFD_DOUBLEBUFFER = 0x00000001u,
    NK_PFD_STEREO = 0x00000002u,
    NK_PFD_DRAW_TO_WINDOW = 0x00000004u,
    NK_PFD_DRAW_TO_BITMAP = 0x00000008u,
    NK_PFD_SUPPORT_GDI = 0x00000010u,
    NK_PFD_SUPPORT_OPENGL = 0x00000020u,
    NK_PFD_GENERIC_FORMAT = 0x00000040u,
    NK_PFD_NEED_PALETTE = 0x00000080u,
    NK_PFD_GENERIC_ACCELERATED = 0x00001000u
};
enum : uint8_t { NK_PFD_TYPE_RGBA = 0, NK_PFD_TYPE_COLORINDEX = 1 };

// One pixel format: the 40-byte descriptor's fields in their order.
struct NKPixelFormatDescriptor {
    uint16_t nSize = 40;
    uint16_t nVersion = 1;
    uint32_t dwFlags = 0;
    uint8_t iPixelType = NK_PFD_TYPE_RGBA;
    uint8_t cColorBits = 0;  // red + green + blue
    uint8_t cRedBits = 0;
    uint8_t cRedShift = 0;
    uint8_t cGreenBits = 0;
    uint8_t cGreenShift = 0;
    uint8_t cBlueBits = 0;
    uint8_t cBlueShift = 0;
    uint8_t cAlphaBits = 0;
    uint8_t cAlphaShift = 0;
    uint8_t cAccumBits = 0;
    uint8_t cAccumRedBits = 0;
    uint8_t cAccumGreenBits = 0;
    uint8_t cAccumBlueBits = 0;
    uint8_t cAccumAlphaBits = 0;
    uint8_t cDepthBits = 0;
    uint8_t cStencilBits = 0;
    uint8_t cAuxBuffers = 0;
    uint8_t iLayerType = 0;  // 0 main plane, 1 overlay, 255 underlay
    uint8_t bReserved = 0;
    uint32_t dwLayerMask = 0;
    uint32_t dwVisibleMask = 0;
    uint32_t dwDamageMask = 0;
};

// Replaces *pFormats with the display's formats in server order (format n is
// element n - 1). False, with an empty list, when there is no X display.
bool NKGetDisplayPixelFormats(std::vector<NKPixelFormatDescriptor> *pFormats);

// The display's own choice for a request (glXChooseFBConfig's first answer):
// RGBA, the draw-to-window and double-buffer flags of dwFlags, never stereo,
// at least the depth and colour bits asked for as far as any format has
// them. The 1-based number of the answer, 0 when there is none.
int NKChooseDisplayPixelFormat(int iDepthBits, int iColorBits, uint32_t dwFlags);

// The number of the format of the current OpenGL context (its
// GLX_FBCONFIG_ID), 0 when no GLX context is current.
int NKGetCurrentContextPixelFormat(void);
