// core/nk_view_state.h -- view-wide state that model code reads: the size
// of the 3-D view, its field of view, and the part-highlight settings. The
// clipping distances are in core/nk_render_state.h.
#pragma once

#include <cstdint>

// The width and height of the 3-D view in pixels.
struct NKViewSize {
    int iWidth;
    int iHeight;
};
// Kept by NKResizeView (core/nk_shell_hooks.h); before the view exists it
// holds the main window's size at creation, 810 x 600.
extern NKViewSize NKViewWindowSize;

// The field-of-view factor of every projection of the 3-D view, the
// tangent of half the vertical field of view (the fov command sets it).
constexpr float NK_DEFAULT_FOV_FACTOR = 0.36397022f;  // tan 20 degrees
extern float g_fFieldOfViewFactor;

// The animation clock and the measured frame rate: the scene drawing steps
// frames by it, the particle traces advance with it, the shell paces its idle
// redraws and the attribute file saves its delays.
struct NKAnimationSettings {
    int32_t iFrameInterval = 33;  // ms between two steps
    int32_t iStartDelay = 0;      // ms on frame 0 before stepping on
    int32_t iStopDelay = 0;       // ms on the last frame before stepping on
    uint32_t uTimeThisFrame = 0;  // clock at the start of the current redraw
    uint32_t uTimeLastStep = 0;
    uint32_t uTimePreviousFrame = 0;
    uint32_t uDrawingTime = 0;  // ms the last complete redraw took
    float fFrameRate = 0.0f;
    float fFrameRateDeactivated = 25.0f;
    int32_t iInactivePercentage = 25;
    uint8_t bApplicationActive = 1;
    uint8_t bDrawAnimationSetup = 1;  // each frame drawn while an animation is set up
};
extern NKAnimationSettings g_AnimationSettings;

// The part-highlight settings: how highlighted and selected parts are
// marked. The drawing code resets and reads the record; the part lists turn
// the selection colour away from the background.
struct NKPartHighlight {
    uint8_t uSelectionColor[3] = {255, 255, 255};  // colour of selected polygons
    uint8_t uBoxColor[3] = {255, 255, 255};
    uint8_t uOutlineColor[3] = {255, 255, 255};
    uint8_t uFillColor[3] = {0, 0, 0};
    int32_t iStipplePattern = 12;  // index in the stipple table
    uint8_t bDrawBox = 1;
    uint8_t bDrawOutline = 0;
    uint8_t bStippleFill = 0;
};
extern NKPartHighlight NKPartHighlightSettings;

// Display switches that the readers and the animation set-up consult as
// well as the drawing code: plain data here, set by the display commands,
// all off at start-up.
// Whether polygon information is part of the pick information (the NKF import
// then keeps the cell indices of face sets as polygon texts).
bool NKGetPolygonInfoInPick(void);
void NKSetPolygonInfoInPick(bool bOn);
// The fringe range follows each new set of results (autofringerange).
extern uint8_t g_bAutoFringeRange;
// Contour lines are shown.
extern uint8_t g_bContoursShown;
// Fringes are shown.
extern uint8_t g_bFringesShown;
// The scale of an additional vector field's values (addvector), 1.0 unless set.
extern float g_fAdditionalVectorScale;
