// platform/nk_message_box.h -- message boxes with an OK button.
//
// The shell shows its start-up failures (no pixel format, no OpenGL context)
// and a few notices this way. With a widget application on a display the box
// is a modal QMessageBox; without a display, without a widget application,
// or with the environment variable CI set, nothing waits: the title and the
// text go to standard error and OK is taken. Either way the last box's title
// and text are kept for tests. No Qt types appear here.
#pragma once

#include <string>

enum NKMessageBoxIcon { NK_MB_ICON_INFORMATION, NK_MB_ICON_WARNING, NK_MB_ICON_ERROR };

// Shows pszText under pszTitle (null counts as empty) and returns when the
// box is closed.
void NKMessageBox(const char *pszText, const char *pszTitle, NKMessageBoxIcon eIcon);

// The title and text of the last box since start-up or the last reset, and
// how many boxes were shown.
const std::string &NKGetLastMessageBoxTitle(void);
const std::string &NKGetLastMessageBoxText(void);
int NKGetMessageBoxCount(void);
void NKResetMessageBoxes(void);
