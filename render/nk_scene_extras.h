// render/nk_scene_extras.h -- the pieces NKRenderScene calls around its
// part passes that other drawing code owns: overlays, tool
// surfaces, culling and the sounds.
//
// Each is a placeholder until its owner is built: it draws nothing and
// answers success, so the scene's order of calls is already in place.
#pragma once

#include <cstdint>

struct NKFrame;
struct NKGeometry;

// Placeholder: the 3-D overlays of a frame (primitives, pick marks,
// manipulators, 3-D legend, trace curves, rotation point); for now only the
// forming limit diagram's redraw when the selected shells changed.
void NKDrawSceneOverlays(NKFrame *pFrame);
// The overlay pass of every copy: the 3-D primitives, the line sets, the
// user labels, points, text labels and textured polygons. Placeholder: the
// display lists, the box and the 3-D texts are not drawn here yet.
void NKDrawCopyOverlays(NKFrame *pFrame);
// The 2-D and screen overlays of a frame: mouse position, user text,
// legend, title block, axes (nk_overlays.cpp). Placeholder: the pick
// information and the plot in the view are not drawn yet.
void NKDrawScreenOverlays(NKFrame *pFrame, int iScreen);
// Placeholder: queues the frame label; nothing.
void NKQueueFrameLabel(NKFrame *pFrame);
// The tool surfaces of the frame: the particle traces. Placeholder: ride
// markers, cut and iso-surfaces draw nothing yet (the tools keep their own
// state).
void NKDrawToolSurfaces(NKFrame *pFrame);
// The global text colour (three bytes, white at start-up), set by textcolor.
extern uint8_t g_uTextColor[3];
const uint8_t *NKGetTextColor(void);

// Placeholder: visibility culling; no part is culled unless a test forces
// one with NKForcePartCulled (-1 none).
bool NKIsPartCulled(int iPart);
void NKForcePartCulled(int iPart);

// The sound sources follow the frame: listener view and time, node-anchored
// sources moved, the update published; the sound manager, when there is
// one, hears from the view, moves its sounds and runs the frame's events
// (nk_scene_sounds.cpp).
int NKGetSoundSourceCount(void);
void NKUpdateSoundListener(int iFrame, NKFrame *pFrame);
void NKUpdateSoundManager(int iFrame, NKFrame *pFrame);

// The drawing time of a complete frame and its geometry, for the
// performance read-out of the animation commands.
// Placeholder: no read-out yet; nothing is shown.
void NKCalculateAnimationSpeedup(unsigned int uMilliseconds, NKGeometry *pGeometry);
