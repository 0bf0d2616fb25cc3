// render/nk_text3d.h -- solid 3-D text: the extruded glyph font, string
// drawing, and the list of texts placed in the model by the text3d command.
//
// The glyphs are made on first use from the outlines of "arial" (platform/
// nk_font_outline.h): each outline is tessellated with GLU into a front face
// at z +0.5 and a back face at z -0.5, with side walls between, in em units,
// x from the left ink edge; a glyph's advance is its ink width. The blank
// has no glyph and advances by 0.4. The part labels and the manipulators
// draw their texts through NKDrawText3DString / NKDrawText3DBetweenPoints;
// the scene draws the list with NKDrawText3DList among the copy overlays.
#pragma once

#include <cstdint>

struct NKDisplayListSet;

// The solid glyph of character c: its triangles (three vertices of three
// floats each), their count and the advance width. True for '!' to '~'
// when the glyph could be made; false for any other character.
bool GetStrokeGlyph(int c, const float **ppTriangles, int *piCount, float *pfAdvance);

// Draws the text with the current matrix, glyph after glyph along +x (a gap
// of 0.05 after each glyph, 0.4 for a blank; characters without a glyph
// draw nothing and do not advance). Flat: only the front faces, with one
// normal (0, 0, 1); otherwise every triangle with its own normal. Stops as
// soon as the width drawn reaches fMaxWidth (negative: no limit). The
// modelview matrix is left moved by the width drawn.
void NKDrawText3DString(const char *pszText, bool bFlat, float fMaxWidth);
// Draws the text from p1 towards p2: x along p2 - p1, y the world +y made
// square to it (+z when p2 - p1 is parallel to y), z = x cross y; scaled
// by fSize and lifted by 0.5 in z, so that the glyphs' back face lies on
// the plane through p1. pfMatrix (16 floats) receives the frame that is
// multiplied onto the current matrix; the current matrix is left as found.
void NKDrawText3DBetweenPoints(float *pfMatrix, const float *p1, const float *p2,
                               const char *pszText, bool bFlat, float fSize, float fMaxWidth);

// One string of the list.
struct Text3DItem {
    int32_t iID = 0;                          // 0 when added without one
    char *pszText = nullptr;                  // owned (NKAlloc)
    float fPosition[3] = {0.0f, 0.0f, 0.0f};  // display coordinates
    float fVector[3] = {1.0f, 0.0f, 0.0f};    // direction of the baseline
    float fSize = 1.0f;
    float fDepth = 1.0f;  // 0: flat
    uint8_t uColor[3] = {255, 255, 255};
    Text3DItem *pNext = nullptr;
};

struct Text3DList {
    Text3DItem *pHead = nullptr;
    Text3DItem *pTail = nullptr;
};

// Made at start-up (NKCreateText3DList), freed with its items at exit
// (NKDestroyText3DList); null before and after.
extern Text3DList *g_pText3DList;
Text3DList *NKCreateText3DList(void);
void NKDestroyText3DList(void);

// Appends a new item with the defaults; null, with the message, when memory
// runs out or there is no list.
Text3DItem *NKText3DAdd(const char *pszText, int iID);
// Removes every item with that ID.
void NKText3DDelete(int iID);
// Frees every item; false when the list was empty.
bool NKText3DDeleteAll(void);

// The item's placement onto the current matrix: translate to its position,
// turn +x along its vector, scale by its size and depth.
void NKApplyText3DTransform(const Text3DItem &item);
// Draws every item lit, in its colour, with the list's third lighting model.
void NKDrawText3DList(const NKDisplayListSet *pLists);

// The text3d command (argument text starting with "PARAMS"): adds a string
// or changes or deletes the items of an ID. False, with the message, on an
// illegal sub-command or when memory runs out.
bool NKText3DCommand(const char *pszArguments);
