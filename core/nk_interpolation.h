// core/nk_interpolation.h -- frames inserted between the states of a model
// for smoother animation.
//
// NKInterpolateStates rebuilds g_pModel's frame array with n frames between
// every two consecutive frames. The frames of the existing states keep their
// shared results; each inserted frame owns private copies of its results
// with linearly interpolated times, vector values and scalar values, their
// colours and minima and maxima. Inserted frames carry bInterpolated 1 and
// the step index -1. Works only when all frames share one geometry. The work
// runs as a progress operation with a Cancel button; a cancel or any failure
// leaves the model exactly as it was.
#pragma once

// Inserts n frames between each pair of consecutive frames; false (nothing
// changed) for n < 1, on a refusal (with its message) or on Cancel.
bool NKInterpolateStates(int n);
// a + (b - a) t, or the undefined value when a or b is undefined.
float NKInterpolateValue(float a, float b, float t);
