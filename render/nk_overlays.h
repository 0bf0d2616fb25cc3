// render/nk_overlays.h -- what the scene draws around the model: the frame
// clear and the gradient or image background, the empty grey frame without
// a model, the logo, the axes at the origin, the rotation point, the
// bounding box with its rulers, the user points, labels and textured
// polygons, the mouse position text, the all-points scalar display, the
// highlighted element, the title block's layout and the screen overlays of
// each frame (legend, title block, axes).
//
// The scene drawing (scene/nk_scene.cpp) calls these; each sets the GL state it
// needs and leaves the depth test, depth writes, lighting and line width as
// the scene expects them. The legend, title block and triad themselves are
// in nk_legend.cpp.
#pragma once

#include <cstdint>

#include "render/nk_lights.h"

struct ImageRecord;
struct NKBackgroundSettings;
struct NKFrame;
struct NKGraphicsSettings;
struct NKInputState;
struct NKPart;

// The image of background mode 5, set by the image background command; it
// is drawn through the image's texture list.
struct NKBackgroundImage {
    ImageRecord *pImage = nullptr;  // not owned
};
extern NKBackgroundImage g_BackgroundImage;
// The logo in a corner of the view (drawlogo): null for none, the scale
// factors and the corner (0 top-left, 1 bottom-left, 2 top-right, 3
// bottom-right).
struct NKLogoState {
    ImageRecord *pImage = nullptr;  // not owned
    float fXScale = 1.0f;
    float fYScale = 1.0f;
    int32_t iCorner = 2;
};
extern NKLogoState g_LogoState;

// Clears to black, then to background colour 0, and draws the background
// when its mode is not 0.
void NKClearFrame(NKFrame *pFrame, const NKBackgroundSettings *pSettings, NKDisplayListSet *pLists);
// The background of modes 1 to 5 over the whole view; mode 0 draws nothing.
void NKDrawBackground(const NKBackgroundSettings *pSettings, NKDisplayListSet *pLists);
// The image copied to the view, keeping its aspect, centred; compiled into
// a list the first time and replayed after.
void NKDrawBackgroundPixels(const ImageRecord *pImage);
// Drops the compiled background-image list (a resize, a new image, the
// display lists freed); the next draw fits the image again.
void NKDropBackgroundImageList(void);
// The empty grey frame of each eye, the queued texts, then presenting.
void NKClearStereoBuffers(const NKGraphicsSettings *pSettings);
// The logo, when one is set.
void NKDrawLogo(NKDisplayListSet *pLists);

// Axes at the model origin (bit 0 of iAxisFlags).
void NKDrawOriginAxes(void);
// Red x, green y, blue z arrows of fLength from pfPoint (null: the origin),
// with rulers and labels when bRulersAndLabels.
void NKDrawAxisArrows(const float *pfPoint, float fLength, bool bRulersAndLabels);
// The rotation point marker, when bShowRotationPoint is set.
void NKDrawRotationPoint(void);
// The frame's box (or with bAllSteps the union of every frame's) with its
// edge rulers; false when that box is unavailable.
bool NKDrawBoundingBox(NKFrame *pFrame, bool bAllSteps);
// The mouse buttons and position, queued at the top left.
void NKQueueMouseInfo(const NKInputState *pInput);
void NKDrawAllPointsScalar(NKFrame *pFrame, NKDisplayListSet *pLists);
void NKDrawSelectedElement(NKFrame *pFrame);
void NKSetHighlightMaterial(const NKPart *pPart);

// The title block's rectangle (left, bottom, right, top in the -1..1
// square), its first text position and line step (both in that square).
void NKMeasureLegendText(float *pfRect, NKFrame *pFrame, float *pfTextX, float *pfTextY,
                         float *pfLineStep);
// A window pixel (y counted upward) to the -1..1 square of the viewport;
// pfOut gets x, y and z.
void NKPixelToView(int iX, int iY, float fZ, float *pfOut);

// The legend's iso marker asks whether the iso-surface tool is on and, when
// it is, at which value (pfValue). The tool lives above the drawing code, so
// it answers through a slot that the tools fill at start-up
// (NKInstallToolHooks); an empty slot counts as the tool off.
using NKIsoSurfaceQuery = bool (*)(float *pfValue);
void NKSetIsoSurfaceQuery(NKIsoSurfaceQuery pfnQuery);
bool NKIsIsoSurfaceOn(float *pfValue);
// The user points, labels and textured polygons of the drawing commands.
struct NKUserPoint {
    float x, y, z;
    uint8_t r, g, b;
};
struct NKUserLabel {
    float x, y, z;
    uint8_t r, g, b;
    const char *pszText;
};
struct NKUserTexturePolygon {
    float afCorners[12];  // four corners x, y, z
};

// The 2-D and screen overlays of a frame: mouse position, user text,
// legend, title block, the logo, axes (nk_overlays.cpp). The picks are
// marked with the 3-D overlays, and the scene draws the plot shown in the
// view after these.
void NKDrawScreenOverlays(NKFrame *pFrame, int iScreen);
