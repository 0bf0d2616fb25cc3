// app/nk_splash.h -- the splash window shown while the program starts.
//
// ShowSplashWindow opens it centred on the screen, on top, with the splash
// bitmap (app/nk_window_utils.h). It closes itself after 3000 ms (window
// timer 6), on a left or right click, or when NKDestroySplashWindow is
// called: before the message boxes of a failed OpenGL set-up and before the
// pixel-format dialog.
#pragma once

class QWidget;

constexpr int NK_SPLASH_TIMER_ID = 6;
constexpr int NK_SPLASH_TIMEOUT_MS = 3000;
constexpr int NK_SPLASH_BITMAP_ID = 237;

// Shows the splash window and returns it; null without a widget
// application or when its bitmap cannot be made.
QWidget *ShowSplashWindow(void);
// Closes the splash window at once (it is deleted when control returns to
// the event loop); nothing when there is none.
void NKDestroySplashWindow(void);
// The splash window while it is open, else null.
QWidget *NKGetSplashWindow(void);
