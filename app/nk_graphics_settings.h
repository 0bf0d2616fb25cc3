// app/nk_graphics_settings.h -- the one record of OpenGL rendering options.
// Plain data, no Qt: model code reads its angles.
#pragma once

// Placeholder: only the fields that the model code reads so far.
struct NKGraphicsSettings {
    float outlineCreaseAngle = 0.5235988f;  // edge angle of outlines, radians
    float smoothNormalAngle = 1.0471976f;   // smoothing threshold, radians
};

// The program's settings record; null before start-up makes it.
extern NKGraphicsSettings *g_pGraphicsSettings;
