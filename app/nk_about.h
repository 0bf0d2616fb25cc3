// app/nk_about.h -- the About box: the product's logo, name and version.
#pragma once

class QDialog;

// Runs the About box modally over the main window, with every top window
// disabled meanwhile; the view is redrawn when it closes. Returns 1.
int NKRunAboutBox(void);
// The open About box, null when none is open (for tests).
QDialog *NKGetAboutBox(void);
