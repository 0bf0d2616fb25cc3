// tools/nk_picking.h -- picking: a mouse position of the 3-D view turned into
// a ray, the nearest part polygon (with its element and nearest node),
// cutting-plane surface, particle-trace seed or line-set line along it, and
// what a pick does: the part highlight, the selection list, the DDE pick
// advise and the command log line.
//
// Rays are in display coordinates: an origin o and a direction d, hits at
// o + t d. A pick under the cursor reads the click and the drawn view's
// matrices from its NKPickInput alone; the view that takes the click fills
// it once, usually from the view saved after the last frame's set-up
// (render/nk_scene_view.h). Part hits are tested against each part's box
// first (grown by 0.01, carried by the frame's part matrix), so only parts
// whose box the ray crosses have their polygons tested. A part's hit point
// is in the part's own display coordinates, before the frame's part matrix.
// It lives in tools/ because the nearest-object pick weighs the cutting
// planes' surfaces, the trace seeds and the line sets against the parts.
#pragma once

#include <cstdint>

struct NKPickInfo;

// What a pick under the cursor starts from: the click (window pixels, y
// counted downwards), the height of the window it is counted in, and the
// model-view, projection and viewport of the view it was made over.
struct NKPickInput {
    int iX = 0;
    int iY = 0;
    int iWindowHeight = 0;
    double adModelView[16] = {};
    double adProjection[16] = {};
    int aiViewport[4] = {};
};

// The click (x, y) over the given view; the window height is the view
// window's (NKViewWindowSize), or the viewport's top while it has none.
NKPickInput NKMakePickInput(int x, int y, const double adModelView[16],
                            const double adProjection[16], const int aiViewport[4]);
// The click (x, y) over the view saved after the last frame's set-up.
NKPickInput NKPickInputOfSavedView(int x, int y);

// The scene ray through the pixel (x, y) of a view iHeight pixels high
// (y counted downwards): (x + 0.5, iHeight - y - 1 + 0.5) unprojected at
// window depths 0 and 1. Outside the viewport the pick fails, except in
// split-screen stereo where y is moved into the other eye's half first.
// False when the point lies outside or the unprojection fails.
bool NKMouseRay(int x, int y, int iHeight, const double adModelView[16],
                const double adProjection[16], const int aiViewport[4], float *pfOrigin,
                float *pfDirection);

// The nearest-object pick at the click of frame iFrame (-1: current): the
// scene ray (model-view) and the eye-space ray (translation (0, 0, -2)
// alone) go to NKPickRay. -1 when the click is outside the viewport; else
// the picked part index or -1. With bPartsOff no part is picked.
int NKPickAtMouse(int iFrame, const NKPickInput &input, NKPickInfo *pPick, bool bPartsOff);
// iNumGroups rays, origin and direction (six floats) each, with their group
// ids (1 the scene, 2 the eye space); the first ray picks the parts, the
// cutting-plane surfaces, the trace seeds and (while picking on lines is on)
// the line sets. A tool nearer than the nearest part drops the part: a
// cutting plane becomes current (in cutting-plane mode with the list on,
// its record joins the list), else a trace seed's trace becomes current.
// Returns the picked part or -1; pPick, when given, receives the part pick
// or an empty record.
int NKPickRay(int iFrame, const float (*pfRays)[6], const int *piGroups, int iNumGroups,
              NKPickInfo *pPick, bool bPartsOff);
// Parts only (hover and tool tips).
int NKPickPartAtMouse(int iFrame, const NKPickInput &input, NKPickInfo *pPick);
// The visible parts not drawn as outline first, then the visible outline
// parts; fills pPick when a part was hit. The part or -1.
int NKPickPartAlongRay(int iFrame, const float *pfOrigin, const float *pfDirection,
                       NKPickInfo *pPick);

// Acts on a pick: the stereo focus (stereo on, toggling off), else the part
// highlight of every geometry, the selection list, the DDE pick advise and
// the command log line. True.
bool NKHandlePickResult(const NKPickInfo *pPick);
// Ctrl picks toggle the picked part's highlight; Shift picks select only it.
void NKSetPickTogglesHighlight(bool bToggle);
bool NKGetPickTogglesHighlight(void);
// The comment line a part pick writes to the command log ("" for a miss),
// with the hit point in model coordinates.
void NKFormatPickLogLine(const NKPickInfo *pPick, char *pszOut, int iSize);

// Picks at the nine points of a 3 x 3 grid over the saved viewport; the hit
// nearest the eye becomes the stereo focus point. False when nothing was hit
// (the focus point unchanged). Reached from below through the model slot
// NKFindNearestViewPoint (core/nk_model_hooks.h).
bool NKPickNearestViewPoint(void);
// Fills that slot; part of NKInstallToolHooks.
void NKInstallPickingHooks(void);
