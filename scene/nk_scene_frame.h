// scene/nk_scene_frame.h -- the per-frame steps of NKRenderScene around
// its eye passes: the tools brought up to date for the drawn frame, the
// frame's viewpoint and the ride applied to the camera, the logging of a
// changed view to the command log, and the stereo alignment pattern.
//
// nk_scene.cpp calls them in the order of a draw; each is also a public
// function so that tests reach it without a full draw. The tools keep their
// own state (tools/), the camera its matrix (nk_camera.h), the command log
// its stream (commands/nk_command_log.h).
#pragma once

struct NKFrame;

// The frame whose viewpoint was last applied to the camera; -1 none yet.
extern int g_iLastViewPointFrame;

// Brings the tools up to date for frame iFrame: the iso-surface slider's
// range (while it is shown), the frame's missing cut surfaces and the
// current plane's edges, its missing iso-surfaces, and the particle traces.
void NKUpdateFrameTools(int iFrame, NKFrame *pFrame);
// The frame's viewpoint becomes the view matrix, unless a window draw
// (iScreen 1) shows the frame whose viewpoint was applied last, so that the
// user can turn the view while a step stays shown. Then the ride, when one
// is in use, evaluates its viewpoint and, while riding, sets the view.
void NKApplyFrameViewPoint(int iFrame, NKFrame *pFrame, int iScreen);
// Writes the view's setview line to the command log when the view differs
// from the one compared last; the seven numbers are remembered in any case.
void NKLogViewChange(void);
// Yellow 5-pixel points at the nine window positions (w/4, h/4) x (1..3),
// drawn on the near plane over the image, GL state restored.
void NKDrawStereoAlignmentPattern(void);
