// render/nk_navigation.h -- study and walk navigation: the navigation mode,
// walk motion started and stopped by the view window, the walk step of a
// held mouse button and the keyboard step of held keys, both run by the
// shell's idle step while timer reason 5 paces them.
//
// The mode and the walk state are globals of the one 3-D view; the matrix
// and the input record are passed in (g_ViewMatrix and g_InputState of
// nk_camera.h in the program). NKIsNavigationActive is declared with the
// camera, which the scene includes.
#pragma once

#include "render/nk_camera.h"

enum { NK_NAVIGATION_STUDY = 1, NK_NAVIGATION_WALK = 2 };

// Sets the mode (1 study, 2 walk), clears walk motion and the view
// window's drag-in-progress flag; true.
bool NKSetNavigationMode(int iMode);
int NKGetNavigationMode(void);
// Mode study, no walk motion, the walk start and ranges back to their start
// values (NKInitNavigation calls it).
void NKResetNavigationState(void);

// Begins walking from the input's cursor with the view size; in walk mode
// also starts timer reason 5.
void NKStartWalkMotion(const NKInputState *pInput, int iWidth, int iHeight);
// Ends walking and stops timer reason 5.
void NKStopWalkMotion(void);
// Whether walk motion is on.
bool NKIsWalkMotion(void);

// bBegin: remembers the start point and the ranges to the farther edges
// (a size below 1 keeps the remembered one). Else one walk step on
// pfMatrix from the cursor's offset and the held button, or a keyboard step
// when any key bit is held. False for a step without a matrix or input.
bool NKWalkNavigate(float *pfMatrix, const NKInputState *pInput, bool bBegin, int iWidth,
                    int iHeight);
// One keyboard step: Ctrl with the arrows moves, the arrows alone turn
// about the eye, 'A' and 'Z' move forward and back, 'X' and 'C' roll;
// Shift makes every step four times as large.
void NKKeyboardNavigate(float *pfMatrix, const NKInputState *pInput);
