// app/nk_study_mouse.h -- study navigation by mouse: in navigation mode
// study the left button pans, the right button turns the camera with the
// trackball and the middle button (or left and right together) zooms. The
// view window calls NKStudyMouse on a button press or release and
// NKStudyMouseMove on every move; each move changes g_ViewMatrix through
// the camera (render/nk_camera.h), with the view size of NKViewWindowSize
// and the pan and zoom factor fMotionFactor of g_InputState.
#pragma once

#include <cstdint>

// Starts a motion for buttons 1 (pan), 2 (zoom) or 3 (rotate) at (x, y),
// client pixels with y counted downwards; 0 ends the motion and forgets
// the last point.
void NKStudyMouse(uint32_t uButtons, int iX, int iY);
// One motion step from the last point to (x, y); nothing without a motion.
void NKStudyMouseMove(int iX, int iY);
// Whether a study motion is in progress.
bool NKIsStudyMotion(void);
// (x, y) of the bottom-up view mapped onto [-1, 1] in both directions.
void NKStudyNormalisePoint(int iX, int iY, float *pfX, float *pfY);
