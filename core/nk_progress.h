// core/nk_progress.h -- progress operations for long work on the
// user-interface thread: a status text, a progress bar, a Cancel button and
// the poll that keeps the windows painted while watching for Cancel.
//
// Interpolation, edge computation, NKF parsing and part building and captured
// processes call these between their steps. The progress state lives here;
// what is visible of it is drawn by the installed NKProgressUI
// (platform/nk_progress_ui.h): the main window's status bar, or the headless
// recorder in tests and batch runs. Without a status bar the state is still
// kept and NKCheckCancel still answers. No Qt in this header or its source.
#pragma once

// The progress state. Begin/end pairs nest: an inner begin and its end only
// count the depth, so the outer operation's bar and button stay in place.
struct NKProgressState {
    bool bRunning = false;        // a progress operation is open
    int iNested = 0;              // inner begins not yet ended
    bool bCancelPressed = false;  // Cancel was pressed since the last begin
};

// Shows the text on the status line when a status bar exists.
void NKSetStatusText(const char *pszText);
// true: one more request to leave the status bar as it is, whatever
// progress and status texts come (work done behind the user's back, such as
// opening a file again); false: one less.
void NKHoldStatusbar(bool bHold);

// Opens a progress operation with a bar over 0..iRange and/or a Cancel
// button; a given text goes to the status line. Answers the result of the
// status bar's mode change (false without a status bar). Inside a running
// operation it only counts the nesting and answers true.
bool NKBeginProgress(int iRange, const char *pszText, bool bProgressBar, bool bCancelButton);
// Closes the innermost operation. The outermost one puts the status bar
// back: children that are shown and not to be removed stay, otherwise the
// normal mode returns. A given text goes to the status line. True.
bool NKEndProgress(const char *pszText, bool bRemoveProgressBar, bool bRemoveCancelButton);

bool NKBeginProgressBar(int iRange, const char *pszText);  // bar only
bool NKEndProgressBar(const char *pszText);                // removes the bar
bool NKBeginCancelMode(const char *pszText);               // Cancel button only
bool NKEndCancelMode(const char *pszText);                 // removes the button

// Moves the bar when one is shown, no inner operation is open and the
// position is not negative; a given text goes to the status line. True.
bool NKSetProgress(int iPosition, const char *pszText);

// Lets waiting paint events and the Cancel button through (other input is
// dropped). True when Cancel was pressed, or when the program was asked to
// quit: the quit request stays for the main loop to carry out afterwards.
bool NKCheckCancel(void);

// The state itself, for the status bar and for tests.
const NKProgressState &NKGetProgressState(void);
// Back to the start-up state (tests only).
void NKResetProgressState(void);
