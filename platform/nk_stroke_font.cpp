// platform/nk_stroke_font.cpp -- freeglut's start for its stroke fonts
// (NKInitStrokeFont, see nk_gl_context.h), apart from the Qt code because
// Xlib's macros (None, Bool, Status) clash with Qt's headers.
//
// The stroke fonts are glyph tables inside freeglut: drawing them needs no
// window of freeglut's, but freeglut draws nothing before glutInit, and
// glutInit opens a connection of its own to the X display and asks the
// display about its window manager. freeglut answers every error of that
// start by printing it and ending the process (exit(1)), and Xlib's
// default handler answers an X error the same way. A window manager that
// quit or crashed leaves its check property on the root window, naming a
// window that is gone: freeglut's question about that window fails, and
// the first stroke text (an in-view menu, text with "strokefonts") ended
// the program.
//
// So the start runs under handlers of ours, in force only while it runs:
// - Xlib errors are dropped: freeglut sees each failure in the status of
//   its call, and no X error ends the process. (Qt's xcb platform already
//   drops them; ours holds whatever platform, or none, set the handler.)
// - freeglut's error callback lets the start go on past a failed read of a
//   window property: libX11 (from 1.6 on) fills the outputs of a failed
//   XGetWindowProperty as an absent property (type None, no items, no
//   data) before it asks, so freeglut takes the display as having no
//   manager of the desktop conventions, which only its own full-screen
//   windows would use. Any other error of the start (no display, no GLX)
//   would have freeglut go on with what it lacks, so the start is
//   abandoned instead: the callback jumps back to before glutInit
//   (longjmp over freeglut's C frames, which hold nothing to unwind),
//   freeglut is not called again in this process, and NKStrokeFontFailure
//   says why. A failure to draw stroke text is a message, never the end.
// A connection that breaks during the start ends the process in Xlib, as
// it ends Qt's own: without its display nothing of the program goes on.
#include "platform/nk_gl_context.h"
#include "platform/nk_window_manager.h"

#include <GL/freeglut.h>

#include <csetjmp>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <X11/Xlib.h>

namespace {

enum class StrokeFontStart { NotTried, Ready, Failed };

StrokeFontStart sg_Start = StrokeFontStart::NotTried;
std::string sg_Failure;
std::jmp_buf sg_Abandon;

// freeglut names the function whose X request failed; this is the read of
// a window property (fghGetWindowProperty), which the start can pass.
bool IsWindowPropertyError(const char *pszText)
{
    return std::strstr(pszText, "fghGetWindowProperty") != nullptr;
}

// freeglut's error callback during the start. It holds only trivial
// objects, so that the jump out leaves nothing behind.
void OnFreeglutError(const char *pszFormat, va_list args, void *)
{
    char szText[512];
    std::vsnprintf(szText, sizeof szText, pszFormat, args);
    if (IsWindowPropertyError(szText)) return;
    const char *pszText = szText + std::strspn(szText, " ");
    sg_Failure = pszText[0] != '\0' ? pszText : "freeglut did not start";
    std::longjmp(sg_Abandon, 1);
}

int DropXError(Display *, XErrorEvent *) { return 0; }

// The X display freeglut is to open: the one the Qt application runs on
// (also when it was named by "-display"), else the one DISPLAY names; null
// when there is none.
std::string DisplayName(void)
{
    if (Display *pDisplay = NKX11Display()) return XDisplayString(pDisplay);
    const char *pszDisplay = std::getenv("DISPLAY");
    return pszDisplay != nullptr ? pszDisplay : "";
}

// Runs glutInit on the display named; false, with sg_Failure saying why,
// when freeglut gave up.
bool StartFreeglut(const std::string &display)
{
    char arg0[] = "quolin", arg1[] = "-display";
    std::string name = display;
    char *argv[] = {arg0, arg1, name.data(), nullptr};
    int argc = 3;
    XErrorHandler pfnPrevious = XSetErrorHandler(DropXError);
    glutInitErrorFuncUcall(OnFreeglutError, nullptr);
    sg_Failure.clear();
    if (setjmp(sg_Abandon) == 0) glutInit(&argc, argv);
    // freeglut's own handling again: no call of ours can fail once it
    // started, and none is made when it did not.
    glutInitErrorFuncUcall(nullptr, nullptr);
    XSetErrorHandler(pfnPrevious);
    return sg_Failure.empty();
}

}  // namespace

bool NKInitStrokeFont(void)
{
    if (sg_Start != StrokeFontStart::NotTried) return sg_Start == StrokeFontStart::Ready;
    const std::string display = DisplayName();
    if (display.empty()) return false;  // tried again once a display is there
    if (!StartFreeglut(display)) {
        sg_Start = StrokeFontStart::Failed;
        return false;
    }
    // Leaving the main loop must return to us rather than end the process.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    sg_Start = StrokeFontStart::Ready;
    return true;
}

const char *NKStrokeFontFailure(void)
{
    return sg_Start == StrokeFontStart::Failed ? sg_Failure.c_str() : nullptr;
}
