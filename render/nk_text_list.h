// render/nk_text_list.h -- the overlay text queue of the 3-D view and text
// anchored at 3-D points.
//
// Window texts (the user text string, read-outs, texts projected from 3-D
// while stroke fonts are on) are queued during a frame as NKTextItem
// records and drawn together on top of everything by NKDrawTextList at the
// end of the frame (scene/nk_scene.cpp), which also frees them. Anchored
// texts are drawn at once with the shared font lists of nk_text.h, or
// projected and queued while the stroke-font switch (NKStrokeFontSwitch,
// core/nk_render_state.h) is on. Stroke text is freeglut's Roman font and
// draws nothing when NKInitStrokeFont answers false (no display, or
// freeglut could not start there: a warning says so once).
#pragma once

#include <cstdint>

#include "core/nk_string.h"

// One queued text; positions are in the view's -1..1 square.
struct NKTextItem {
    int32_t iSize = 0;  // above 12 the large font; the stroke font's scale
    float fX = 0.0f;
    float fY = 0.0f;
    uint8_t uRed = 0, uGreen = 0, uBlue = 0;
    NKString Text;  // owned
    NKTextItem *pNext = nullptr;
};

// The queue: an empty head item, then the texts in the order queued. Both
// null while there is no list.
extern NKTextItem *g_pTextListHead;
extern NKTextItem *g_pTextListTail;

// The user text string of the text command, shown while bShowUserText is on.
struct NKUserText {
    float fX = 0.0f;
    float fY = 0.0f;
    NKString Text{"<user text string>"};
};
extern NKUserText g_UserText;

// Makes the empty head (freeing a list left from before); false when out
// of memory.
bool NKCreateTextList(void);
// Frees every item, the head included; head and tail become null. True.
bool NKFreeTextList(void);
// Appends a copy of pszText (null queues "") at size iSize, position (x, y)
// and colour; makes the list when there is none. False, queuing nothing,
// when memory runs out.
bool NKAddText(int iSize, float x, float y, uint8_t r, uint8_t g, uint8_t b, const char *pszText);
// Draws every queued text over the scene, setting the colour and the list
// base only when they change, then frees the list; the list base ends on
// the small font. Nothing without a list.
void NKDrawTextList(void);
// Queues the user text string in the text colour at size 18 (50 with
// bLargeText).
bool NKQueueUserText(void);

// Text at the 3-D point (x, y, z) in the colour given, or in the current
// colour and list base (Plain). With stroke fonts the point is projected
// and the text queued at size 12 (Plain: in the text colour).
void NKDrawText3D(int iSize, float x, float y, float z, uint8_t r, uint8_t g, uint8_t b,
                  const char *pszText);
void NKDrawText3DPlain(float x, float y, float z, const char *pszText);
// Brackets a run of NKDrawText3DPlain calls: lighting off, the colour and
// the list base for iSize; End returns to the small font and lighting on.
void NKBeginText3D(int iSize, uint8_t r, uint8_t g, uint8_t b);
void NKEndText3D(void);

// Text in the stroke font at the origin of the current model-view matrix,
// its baseline on the x axis and one unit the font's whole line height
// (capitals 0.78 high, descenders 0.22 below), advancing along x. The
// characters that would reach past fLimitWidth units are left out. Nothing
// without a stroke font.
void NKDrawStrokeText(const char *pszText, float fLimitWidth);
