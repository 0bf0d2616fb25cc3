// platform/nk_status_line.h -- the text of the main part of the status bar.
//
// The interpreter shows "Done." here after a top-level command that
// succeeded, loaders show what they are reading, and so on. Without a window
// (tests, scripts, no display) the headless status line only remembers the
// text; the main window installs an NKStatusLine of its own that also shows
// it. Either way NKGetStatusText gives the text shown last.
#pragma once

// What a status bar implements to show the text.
class NKStatusLine {
public:
    virtual ~NKStatusLine() = default;
    virtual void ShowText(const char *pszText) = 0;
};

// Shows the text (null counts as "") and remembers it.
void NKSetStatusText(const char *pszText);
// The text shown last; "" at start-up.
const char *NKGetStatusText(void);
// How many times a text was set since start-up (tests tell a repeated text
// from no text at all with it).
int NKGetStatusTextCount(void);

// Installs the status line that shows the texts (not owned); null goes back
// to the headless one. Returns the one installed before.
NKStatusLine *NKSetStatusLine(NKStatusLine *pStatusLine);
