// scene/nk_scene_extras.h -- the pieces NKRenderScene calls around its
// part passes that the tools and plots own: overlays, tool surfaces and
// the sounds. (The screen overlays, the text colour and the culling are the
// drawing code's: render/nk_overlays.h, render/nk_text.h,
// render/nk_part_drawing.h.)
#pragma once

#include <cstdint>

struct NKFrame;
struct NKGeometry;

// The 3-D overlays of a frame: the forming limit diagram's redraw when the
// selected shells changed, the picked polygon, the traced nodes' curves,
// the selection list's marks and read-outs and the local axes of its
// shells; then, never clipped by the cutting planes, the manipulators of
// both groups, the 3-D legend box, the sound sources' node markers, the
// rotation point marker and the in-view menu.
void NKDrawSceneOverlays(NKFrame *pFrame);
// The overlay pass of every copy, also of the copy reduced to its box while
// the camera moves: the 3-D primitives, the user's textured polygons, the
// bounding box (shown, or standing for the model while moving as a box),
// the line sets, the surface paths' polylines, the boundary conditions
// when shown, the user primitives, points and labels, and the 3-D texts.
void NKDrawCopyOverlays(NKFrame *pFrame);
// Queues the frame label while the step is shown: the step text prefix,
// the frame's description and "(n of m)" at the lower left, and, drawing
// to the screen (iScreen 1) with no animation running, "Interpolated
// frame" for a frame made by interpolation.
void NKQueueFrameLabel(NKFrame *pFrame, int iScreen);
// The tool surfaces of the frame, nothing while the camera moves with a
// reduced drawing mode: the ride markers, the particle traces, the cut
// surfaces with the cutting planes' clip planes (on before them when the
// planes clip each other, else after), the iso-surfaces when enabled and
// present, the highlighted element and all points coloured by scalar.
void NKDrawToolSurfaces(NKFrame *pFrame);

// The sound sources follow the frame: listener view and time, node-anchored
// sources moved, the update published; the sound manager, when there is
// one, hears from the view, moves its sounds and runs the frame's events
// (nk_scene_sounds.cpp).
int NKGetSoundSourceCount(void);
void NKUpdateSoundListener(int iFrame, NKFrame *pFrame);
void NKUpdateSoundManager(int iFrame, NKFrame *pFrame);

// The read-out after each complete frame (nk_animation_speedup.cpp), from
// its drawing time and geometry: at most every 333 ms the frame rate in the
// status bar (NKShowStatusFrameRate); while the performance display is on,
// the elements drawn per second of the frame and their average over the
// frames counted, queued as one text at the upper left. The element count
// follows the draw style of the first part: connections (lines), nodes
// (points) or polygons. A frame drawn in under 1 ms reports more than
// N x 1000 per second and leaves the average alone; switching the display
// off starts the average again.
void NKCalculateAnimationSpeedup(unsigned int uMilliseconds, NKGeometry *pGeometry);
