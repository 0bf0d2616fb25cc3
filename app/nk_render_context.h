// app/nk_render_context.h -- device contexts and OpenGL contexts of windows.
//
// A device context stands for a window that OpenGL draws into: the window
// and the pixel format set on it. Setting a format copies its sizes, double
// buffering and stereo into the window's QSurfaceFormat (compatibility
// profile); the window must not exist on the display yet, as its visual is
// chosen when it is made. NKCreateRenderContext chooses the format, sets it,
// makes the context and says which format the context really got. Its
// failures destroy the splash window and show their message box titled
// "Error". NKSwapBuffers is declared in core/nk_shell_hooks.h.
#pragma once

#include <cstdint>

class QWindow;
struct NKDeviceContext;
struct NKPixelFormatDescriptor;
struct NKRenderContext;
struct NKShellHooks;

// Flags of NKCreateRenderContext (platform/nk_pixel_formats.h values).
enum : uint32_t { NK_RC_DRAW_TO_WINDOW = 0x4u, NK_RC_STEREO = 0x2u };

// The window's device context, made on the first call and kept until
// NKReleaseDC; null for a null window.
NKDeviceContext *NKGetWindowDC(QWindow *pWindow);
void NKReleaseDC(NKDeviceContext *pDC);
// The format set on the window, 0 before one is set.
int NKGetDCPixelFormat(const NKDeviceContext *pDC);
// Sets format iFormat (1-based) on the window; false for a number off the
// display's list or a null context.
bool NKSetPixelFormat(NKDeviceContext *pDC, int iFormat);
// The descriptor of format iFormat; false for a number off the list.
bool NKDescribePixelFormat(NKDeviceContext *pDC, int iFormat, NKPixelFormatDescriptor *pFormat);

// A context for the window: the format is iRequest, or found by
// NKFindPixelFormat for -1; flags NK_RC_DRAW_TO_WINDOW, with NK_RC_STEREO a
// stereo format is required. *piChosen gets the number of the format the
// context uses. Null (after the message box) when no format is found
// ("ChoosePixelFormat failed"), it cannot be set ("SetPixelFormat failed"),
// it lacks the stereo asked for ("Failed to get a pixelformat supporting
// stereo mode") or the context cannot be made ("OpenGL window context
// creation failed. (Error code : %u)").
NKRenderContext *NKCreateRenderContext(int iDepthBits, int iColorBits, bool bSingleBuffer,
                                       uint32_t dwFlags, NKDeviceContext *pDC, int iRequest,
                                       int *piChosen);
void NKDeleteRenderContext(NKRenderContext *pContext);
// Makes the context current on the device context's window; a null context
// makes none current. Palettes have nothing to realize here. False when the
// context cannot be made current.
bool NKMakeCurrent(NKDeviceContext *pDC, NKRenderContext *pContext, bool bRealizePalette);

void NKFillRenderContextHooks(NKShellHooks *pHooks);
