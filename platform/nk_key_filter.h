// platform/nk_key_filter.h -- the keys a running command file listens to.
//
// A command file runs on the user-interface thread and blocks the event
// loop until it ends. Between two lines the runner asks whether Esc (abort)
// or Space (pause) was pressed since it last asked, and lets the interface
// repaint now and then. While the filter watches, key and mouse input to the
// windows is held back (only Esc and Space presses are noted), so that
// nothing the user clicks starts a second command in the middle of the file.
//
// With a Qt application the filter sits on the application object; without
// one (tests, batch runs) it is headless: nothing is delivered and presses
// come only from NKKeyFilterSimulatePress. No Qt types appear here.
#pragma once

enum { NK_FILTER_KEY_ESCAPE = 0, NK_FILTER_KEY_SPACE = 1, NK_FILTER_KEY_COUNT = 2 };

// Starts watching; watches nest, and only the outermost begin installs the
// filter. Presses noted before the outermost begin are forgotten.
void NKKeyFilterBegin(void);
// Ends one watch; the outermost end removes the filter.
void NKKeyFilterEnd(void);
bool NKKeyFilterIsWatching(void);

// True when the key was pressed since the last call for that key; the note
// is cleared by the call.
bool NKKeyFilterWasPressed(int iKey);

// Lets the interface handle what is pending (repaints, timers, and key
// presses, which reach the filter). Nothing happens without an application.
void NKKeyFilterProcessEvents(void);

// Notes a press as if the user had pressed the key (tests, headless use).
void NKKeyFilterSimulatePress(int iKey);
