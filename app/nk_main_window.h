// app/nk_main_window.h -- the main window of the program with the 3-D view
// and the status bar.
#pragma once

class QWidget;

// Placeholder: the main window of the shell's windows replaces this
// stand-in: a QMainWindow of 810 x 600 titled with the product name, with
// the 3-D view (app/nk_view_window.h) as its central widget and the status
// bar while g_bStatusbarShown is set, shown at once. True when it exists
// afterwards; false, with nothing made, when the view gets no OpenGL
// context.
bool CreateMainWindow(void);
// Destroys the main window with the status bar, the view and its context.
void NKDestroyMainWindow(void);

// Placeholder: the stand-in main window; null when none.
QWidget *NKGetMainWindow(void);
