// tools/nk_user_drawing.h -- the simple user drawing tables of the
// draw_point, draw_label and draw_texpoly commands: points, text labels at
// 3-D points and textured quadrilaterals, all in display coordinates.
//
// The scene draws them with NKDrawUserPoints, NKDrawUserLabels and
// NKDrawUserTexturePolygons (the record types are render/nk_overlays.h's);
// whether points and labels are drawn is said by NKViewSettings' shown
// bytes. The 2-D user text is g_UserText (render/nk_text_list.h).
#pragma once

#include <cstdint>

struct ImageRecord;
struct NKDisplayListSet;
struct NKUserLabel;
struct NKUserPoint;
struct NKUserTexturePolygon;

constexpr int NK_MAX_USER_TEXTURE_POLYGONS = 101;

// Adds a point; the table starts at 1000 and grows by 1000. False when out
// of memory (nothing added).
bool NKAddUserPoint(const float *pfPoint, uint8_t r, uint8_t g, uint8_t b);
void NKClearUserPoints(void);
// Adds a text label; the table starts at 100 and grows by 100.
bool NKAddUserLabel(const float *pfPoint, uint8_t r, uint8_t g, uint8_t b, const char *pszText);
void NKClearUserLabels(void);
// Adds a textured quadrilateral (12 floats); false when 101 exist.
bool NKAddUserTexturePolygon(ImageRecord *pImage, const float *pfCorners);
int NKCountUserTexturePolygons(void);
void NKClearUserTexturePolygons(void);
// Drops every textured polygon that shows the image (before it is freed).
void NKRemoveImageReferences(const ImageRecord *pImage);
// The tables emptied (reset before a model without kept settings, exit).
void NKClearUserDrawing(void);

// The tables as the drawing reads them; null when empty.
const NKUserPoint *NKGetUserPoints(int *piCount);
const NKUserLabel *NKGetUserLabels(int *piCount);
const NKUserTexturePolygon *NKGetUserTexturePolygons(int *piCount);
// Draw the tables into the current frame (the points and labels only when
// the view settings show them).
void NKDrawUserPoints(void);
void NKDrawUserLabels(void);
void NKDrawUserTexturePolygons(NKDisplayListSet *pLists);
