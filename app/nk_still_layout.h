// app/nk_still_layout.h -- the main window's layout places the view and the
// tool bar at once, without a geometry animation.
//
// QMainWindow's layout moves the widgets it manages with a geometry
// animation whenever the window is laid out again (for every status-bar
// child shown: each progress lays it out twice), zero-length when nothing
// moves, and each animation deletes itself later through the event loop.
// While a command file runs before the loop starts (the file given on the
// command line) none is deleted: about four more stayed behind each open.
// A widget given this style tells the layout that it has no animations, and
// the layout sets its geometry directly.
#pragma once

class QWidget;

void NKLayOutWithoutAnimation(QWidget *pWidget);
