// platform/nk_pixel_formats.cpp -- the display's GLX framebuffer
// configurations as pixel-format descriptors (see nk_pixel_formats.h).
#include "platform/nk_pixel_formats.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

#include "platform/nk_window_manager.h"

namespace {

// The configurations in server order; the caller frees them with XFree.
GLXFBConfig *GetConfigs(Display *pDisplay, int *piCount)
{
    *piCount = 0;
    if (pDisplay == nullptr) return nullptr;
    GLXFBConfig *pConfigs = glXGetFBConfigs(pDisplay, DefaultScreen(pDisplay), piCount);
    if (pConfigs == nullptr) *piCount = 0;
    return pConfigs;
}

int Attrib(Display *pDisplay, GLXFBConfig config, int iAttribute)
{
    int iValue = 0;
    if (glXGetFBConfigAttrib(pDisplay, config, iAttribute, &iValue) != Success) return 0;
    return iValue;
}

uint8_t Shift(unsigned long uMask)
{
    if (uMask == 0) return 0;
    uint8_t n = 0;
    while ((uMask & 1u) == 0) {
        uMask >>= 1;
        n++;
    }
    return n;
}

// The component shifts come from the configuration's X visual; formats
// without a visual (pixmaps and pbuffers only) keep 0.
void SetShifts(Display *pDisplay, GLXFBConfig config, NKPixelFormatDescriptor *pFormat)
{
    XVisualInfo *pVisual = glXGetVisualFromFBConfig(pDisplay, config);
    if (pVisual == nullptr) return;
    pFormat->cRedShift = Shift(pVisual->red_mask);
    pFormat->cGreenShift = Shift(pVisual->green_mask);
    pFormat->cBlueShift = Shift(pVisual->blue_mask);
    unsigned long uAll = pVisual->depth >= 32 ? 0xFFFFFFFFul : (1ul << pVisual->depth) - 1;
    unsigned long uAlpha = uAll & ~(pVisual->red_mask | pVisual->green_mask | pVisual->blue_mask);
    if (pFormat->cAlphaBits > 0) pFormat->cAlphaShift = Shift(uAlpha);
    XFree(pVisual);
}

uint32_t Flags(Display *pDisplay, GLXFBConfig config)
{
    uint32_t dwFlags = NK_PFD_SUPPORT_OPENGL;
    int iDrawable = Attrib(pDisplay, config, GLX_DRAWABLE_TYPE);
    if ((iDrawable & GLX_WINDOW_BIT) != 0 && Attrib(pDisplay, config, GLX_VISUAL_ID) != 0)
        dwFlags |= NK_PFD_DRAW_TO_WINDOW;
    if ((iDrawable & GLX_PIXMAP_BIT) != 0) dwFlags |= NK_PFD_DRAW_TO_BITMAP;
    if (Attrib(pDisplay, config, GLX_DOUBLEBUFFER) != 0) dwFlags |= NK_PFD_DOUBLEBUFFER;
    if (Attrib(pDisplay, config, GLX_STEREO) != 0) dwFlags |= NK_PFD_STEREO;
    if (Attrib(pDisplay, config, GLX_CONFIG_CAVEAT) == GLX_SLOW_CONFIG)
        dwFlags |= NK_PFD_GENERIC_FORMAT;
    return dwFlags;
}

NKPixelFormatDescriptor Describe(Display *pDisplay, GLXFBConfig config)
{
    NKPixelFormatDescriptor format;
    format.dwFlags = Flags(pDisplay, config);
    bool bRgba = (Attrib(pDisplay, config, GLX_RENDER_TYPE) & GLX_RGBA_BIT) != 0;
    format.iPixelType = bRgba ? NK_PFD_TYPE_RGBA : NK_PFD_TYPE_COLORINDEX;
    format.cRedBits = uint8_t(Attrib(pDisplay, config, GLX_RED_SIZE));
    format.cGreenBits = uint8_t(Attrib(pDisplay, config, GLX_GREEN_SIZE));
    format.cBlueBits = uint8_t(Attrib(pDisplay, config, GLX_BLUE_SIZE));
    format.cAlphaBits = uint8_t(Attrib(pDisplay, config, GLX_ALPHA_SIZE));
    format.cColorBits = uint8_t(format.cRedBits + format.cGreenBits + format.cBlueBits);
    format.cAccumRedBits = uint8_t(Attrib(pDisplay, config, GLX_ACCUM_RED_SIZE));
    format.cAccumGreenBits = uint8_t(Attrib(pDisplay, config, GLX_ACCUM_GREEN_SIZE));
    format.cAccumBlueBits = uint8_t(Attrib(pDisplay, config, GLX_ACCUM_BLUE_SIZE));
    format.cAccumAlphaBits = uint8_t(Attrib(pDisplay, config, GLX_ACCUM_ALPHA_SIZE));
    format.cAccumBits = uint8_t(format.cAccumRedBits + format.cAccumGreenBits +
                                format.cAccumBlueBits + format.cAccumAlphaBits);
    format.cDepthBits = uint8_t(Attrib(pDisplay, config, GLX_DEPTH_SIZE));
    format.cStencilBits = uint8_t(Attrib(pDisplay, config, GLX_STENCIL_SIZE));
    format.cAuxBuffers = uint8_t(Attrib(pDisplay, config, GLX_AUX_BUFFERS));
    int iLevel = Attrib(pDisplay, config, GLX_LEVEL);
    format.iLayerType = iLevel == 0 ? 0 : (iLevel > 0 ? 1 : 255);
    SetShifts(pDisplay, config, &format);
    return format;
}

// The 1-based position of the configuration with this id, 0 when absent.
int NumberOfConfigId(Display *pDisplay, int iConfigId)
{
    int n = 0;
    GLXFBConfig *pConfigs = GetConfigs(pDisplay, &n);
    int iNumber = 0;
    for (int i = 0; i < n && iNumber == 0; i++)
        if (Attrib(pDisplay, pConfigs[i], GLX_FBCONFIG_ID) == iConfigId) iNumber = i + 1;
    if (pConfigs != nullptr) XFree(pConfigs);
    return iNumber;
}

}  // namespace

bool NKGetDisplayPixelFormats(std::vector<NKPixelFormatDescriptor> *pFormats)
{
    pFormats->clear();
    Display *pDisplay = NKX11Display();
    int n = 0;
    GLXFBConfig *pConfigs = GetConfigs(pDisplay, &n);
    if (pConfigs == nullptr) return false;
    pFormats->reserve(size_t(n));
    for (int i = 0; i < n; i++) pFormats->push_back(Describe(pDisplay, pConfigs[i]));
    XFree(pConfigs);
    return true;
}

// glXChooseFBConfig treats sizes as minimums, where the Windows choice gives
// the nearest format, so a request is first cut to what the display has.
int NKChooseDisplayPixelFormat(int iDepthBits, int iColorBits, uint32_t dwFlags)
{
    std::vector<NKPixelFormatDescriptor> formats;
    if (dwFlags == 0 || !NKGetDisplayPixelFormats(&formats)) return 0;
    int iMaxDepth = 0, iMaxComponent = 0;
    for (const NKPixelFormatDescriptor &f : formats) {
        iMaxDepth = std::max(iMaxDepth, int(f.cDepthBits));
        iMaxComponent =
            std::max(iMaxComponent, int(std::min({f.cRedBits, f.cGreenBits, f.cBlueBits})));
    }
    int iComponent = std::min(std::max(iColorBits, 0) / 3, iMaxComponent);
    int iDrawable = (dwFlags & NK_PFD_DRAW_TO_WINDOW) != 0 ? GLX_WINDOW_BIT : 0;
    if ((dwFlags & NK_PFD_DRAW_TO_BITMAP) != 0) iDrawable |= GLX_PIXMAP_BIT;
    const int aiAttributes[] = {GLX_RENDER_TYPE,
                                GLX_RGBA_BIT,
                                GLX_DRAWABLE_TYPE,
                                iDrawable,
                                GLX_DOUBLEBUFFER,
                                (dwFlags & NK_PFD_DOUBLEBUFFER) != 0 ? True : False,
                                GLX_STEREO,
                                False,
                                GLX_DEPTH_SIZE,
                                std::min(std::max(iDepthBits, 0), iMaxDepth),
                                GLX_RED_SIZE,
                                iComponent,
                                GLX_GREEN_SIZE,
                                iComponent,
                                GLX_BLUE_SIZE,
                                iComponent,
                                None};
    Display *pDisplay = NKX11Display();
    int n = 0;
    GLXFBConfig *pChosen = glXChooseFBConfig(pDisplay, DefaultScreen(pDisplay), aiAttributes, &n);
    if (pChosen == nullptr) return 0;
    int iNumber =
        n > 0 ? NumberOfConfigId(pDisplay, Attrib(pDisplay, pChosen[0], GLX_FBCONFIG_ID)) : 0;
    XFree(pChosen);
    return iNumber;
}

int NKGetCurrentContextPixelFormat(void)
{
    GLXContext context = glXGetCurrentContext();
    Display *pDisplay = glXGetCurrentDisplay();
    if (context == nullptr || pDisplay == nullptr) return 0;
    int iConfigId = 0;
    if (glXQueryContext(pDisplay, context, GLX_FBCONFIG_ID, &iConfigId) != Success) return 0;
    return NumberOfConfigId(pDisplay, iConfigId);
}
