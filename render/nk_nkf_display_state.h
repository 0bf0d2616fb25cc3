// render/nk_nkf_display_state.h -- the drawing code's hooks of the NKF
// display state (nkf/nkf_display_hooks.h): view settings, background,
// colours, legend, fringe table, mesh factor, lights, viewpoint, rotation
// point, user text, logo and background images, contour line colour and
// width, the value filter's display mode, and the texture images of a file.
#pragma once

// Adds (true) or removes (false) the hooks; start-up and shut-down.
void NKInstallNKFDisplayState(bool bInstall);
