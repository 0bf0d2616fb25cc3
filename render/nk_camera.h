// render/nk_camera.h -- the camera of the 3-D view: the view matrix, the
// input record the view window fills, the trackball, panning and zooming
// through NKApplyRotation, continuous spin, the rotation point, look-at, the
// set-view text that restores the view, the eye point and the eye-space axes
// carried back into display coordinates.
//
// The view matrix maps display coordinates into an eye space whose camera
// sits at (0, 0, 2) looking down -z at the origin; the scene loads it as
// the parts' model-view transformation, picking inverts it. The shell's
// view window turns mouse and wheel input into the calls below; walking and
// the ride are in nk_navigation.h and nk_ride.h. No Qt: keys and buttons
// arrive through NKInputState.
#pragma once

#include <cstdint>

#include "core/nk_model.h"

class NKString;

// The camera's view matrix (column order, translation in elements 12-14);
// the identity at start-up.
extern float g_ViewMatrix[16];

// Held-key bits of NKInputState::uKeys.
enum : uint32_t {
    NK_KEY_CTRL = 0x00000001u,
    NK_KEY_SHIFT = 0x00000002u,
    NK_KEY_F3 = 0x00000004u,  // held: the mouse drags the 3-D handles
    NK_KEY_A = 0x01000000u,
    NK_KEY_Z = 0x02000000u,
    NK_KEY_X = 0x04000000u,
    NK_KEY_C = 0x08000000u,
    NK_KEY_UP = 0x10000000u,
    NK_KEY_DOWN = 0x20000000u,
    NK_KEY_LEFT = 0x40000000u,
    NK_KEY_RIGHT = 0x80000000u
};

// What the view window knows of the mouse and the keyboard.
struct NKInputState {
    int32_t iX = 0;              // cursor x, client pixels of the 3-D view
    int32_t iY = 0;              // cursor y, counted downwards
    uint32_t uButtons = 0;       // 0 none, 1 left, 2 middle or both, 3 right
    uint32_t uKeys = 0;          // NK_KEY_ bits
    float fSensitivity = 1.0f;   // walking, keyboard turns, turns about a point
    float fMotionFactor = 1.0f;  // panning, zooming, keyboard moves, trackball
};
extern NKInputState g_InputState;

// Matrix to identity, navigation mode study, walk motion off, the input
// record to its start values; true. Called once at start-up.
bool NKInitNavigation(float *pfMatrix, NKInputState *pInput);

// Height of the trackball surface of radius fRadius above (x, y): on the
// sphere inside 0.7071 r, on the hyperbola t*t/e outside.
float NKTrackballDepth(float fRadius, float x, float y);
// The rotation increment (quaternion, w last) of a trackball drag from
// (x1, y1) to (x2, y2), normalised window coordinates, with the axis turned
// into display coordinates. With pfPoint the rate depends on the point's
// distance from the eye-space origin; returns pfQuat.
float *NKTrackball(float *pfQuat, float x1, float y1, float x2, float y2, const float *pfMatrix,
                   const NKInputState *pInput, const float *pfPoint = nullptr);
// M = T(t) M when pfTranslation is given; then M = M R(q), about the
// rotation point when one is set, and q becomes the last increment. A null
// q resets the last increment (ending a spin) and turns nothing. True.
bool NKApplyRotation(const float *pfQuat, const float *pfTranslation, float *pfMatrix);
// Re-applies the last rotation increment unless a mouse drag is in
// progress; true.
bool NKSpinStep(float *pfMatrix);
// The last increment NKApplyRotation applied.
void NKGetLastRotation(float *pfQuat);

// The centre of trackball turns (display coordinates); null clears it to the
// origin and switches it off. True.
bool NKSetRotationPoint(const float *pfPoint);
// Copies the point out when pfPoint is given; whether it is in use.
bool NKGetRotationPoint(float *pfPoint);

// The view matrix that puts pfEye at (0, 0, 2) looking at pfVrp with pfVup
// up (display coordinates) into pfMatrix; returns pfMatrix.
float *NKLookAtMatrix(const float *pfEye, const float *pfVrp, const float *pfVup, float *pfMatrix);
// NKLookAtMatrix with the viewpoint's three vectors; false for null.
bool NKApplyViewPoint(const NKViewPoint *pViewPoint, float *pfMatrix);

// The set-view command that restores pfMatrix: "setview" and, for qx, qy,
// qz, qw of its rotation and tx, ty, tz of its translation, a blank and the
// number as "%g". Returns pText.
NKString *NKMakeSetviewCommand(NKString *pText, const float *pfMatrix);

// The eye in display coordinates (the inverse view matrix applied to
// (0, 0, 2)), cached while g_ViewMatrix stays exactly the same; false, pfEye
// unchanged, when the matrix cannot be inverted.
bool NKGetEyePoint(float *pfEye);
// Eye, eye-space origin and up direction carried back by the inverse view
// matrix; false (outputs unchanged) when it cannot be inverted.
bool NKGetCurrentViewPoint(float *pfEye, float *pfVrp, float *pfVup);
// The eye-space origin in display coordinates, from the given inverse or
// else from the inverted matrix; false (pfOut zeroed) without either or
// when the inversion fails.
bool NKGetViewOriginInModel(const float *pfMatrix, const float *pfInverse, float *pfOut);
// The screen's right and up directions in display coordinates, unit length;
// false as NKGetViewOriginInModel (outputs unchanged).
bool NKGetScreenAxesInModel(const float *pfMatrix, const float *pfInverse, float *pfRight,
                            float *pfUp);

// The keyboard steps: radians and eye-space units per step, 0.02 each (the
// keyrotate and keytranslate commands set them).
extern float g_fKeyRotateStep;
extern float g_fKeyTranslateStep;

// The navigation calls the scene asks; see nk_navigation.h for the rest.
// 0: walk motion or a study drag; 1: study mode and a drag; 2: walk mode and
// walk motion.
bool NKIsNavigationActive(int iMode = 0);
