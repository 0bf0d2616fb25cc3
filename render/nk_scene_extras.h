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
// manipulators, 3-D legend, trace curves, rotation point); nothing.
void NKDrawSceneOverlays(NKFrame *pFrame);
// Placeholder: the overlay pass with the display lists and the box, line
// sets, user primitives and 3-D texts of every copy; nothing.
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
// Placeholder: the text colour of the display settings (textcolor); white
// until the display globals are built. Three bytes.
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
