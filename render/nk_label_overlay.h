// render/nk_label_overlay.h -- text labels anchored at 3-D points, drawn
// after the model in window pixels when their anchor is not covered.
//
// Drawing code of a frame (pick read-outs, arrow labels, ruler values, user
// labels) adds LabelItem copies to the one LabelOverlay (g_pLabelOverlay,
// made at start-up by the shell's records); the scene empties it at the
// start of each frame (NKResetLabelOverlay) and draws it after the model
// (NKDrawLabelOverlay). An added anchor is carried into eye coordinates by
// the model-view matrix captured for its owner id; at drawing time a small
// sphere drawn at the anchor tells from the depth buffer whether it is
// visible. Text is drawn with an NKBitmapFont of "Arial", 8 point.
#pragma once

#include <cstdint>

#include "core/nk_string.h"
#include "render/nk_text.h"

// Owner ids in use besides part indices (pick labels) and 0 (read-outs).
constexpr int NK_LABEL_OWNER_ARROW = 1000001;
constexpr int NK_LABEL_OWNER_USER = 1000002;
constexpr int NK_LABEL_OWNER_RULER = 1000003;
// Recaptures the model-view matrix on every add.
constexpr int NK_LABEL_OWNER_ALWAYS_CAPTURE = -99;

// One label; copied by value into the overlay.
class LabelItem {
public:
    LabelItem();
    explicit LabelItem(const char *pszText);

    // Empty text, flags and colours at their start values.
    void Reset();
    bool SetText(const char *pszText);
    bool SetPosition(float x, float y, float z);
    bool SetPoint(float x, float y, float z);
    // Slots: 0 text, 1 box fill, 2 box outline, 3 marker; above 3 ignored.
    void SetColor(int iSlot, float r, float g, float b, float a);
    void SetColorBytes(int iSlot, uint8_t r, uint8_t g, uint8_t b, uint8_t a);
    // A slot other than 1-3 answers slot 0.
    void GetColor(int iSlot, float *pfColor) const;
    void SetFramed(bool bFramed) { this->bFramed = bFramed ? 1 : 0; }
    void SetMarker(bool bMarker) { this->bMarker = bMarker ? 1 : 0; }
    void SetMarkerSize(int iSize) { iMarkerSize = iSize; }

    NKString Text;         // lines separated by "\n"
    uint8_t bMultiLine;    // drawn line by line
    float fAnchor[3];      // once added with an owner, eye coordinates
    float fWindow[3];      // pixels and depth, set when drawn
    uint8_t bScreenFixed;  // anchor x, y in the view's -1..1 square
    uint8_t bVisible;      // result of the occlusion test
    uint8_t bFramed;       // filled, outlined box behind the text
    uint8_t bMarker;       // marker point at the anchor
    int32_t iMarkerSize;   // marker point size and sphere size factor
    float fColor[4][4];    // RGBA slots
};

struct LabelOverlay {
    LabelItem *pItems = nullptr;  // owned (new[])
    int32_t iCount = 0;
    int32_t iCapacity = 0;
    int32_t iGrowBy = 0;  // 0: count / 8, kept within 4..1024
    NKOrthoView View{};   // the viewport in pixels while drawing
    NKBitmapFont *pFont = nullptr;
    double adModelView[16] = {};
    int32_t iOwnerId = -1;   // whose matrix adModelView is; -1 none
    uint8_t bHighlight = 0;  // new labels white with a red outline
};

// The overlay of the 3-D view; null until the shell makes it.
extern LabelOverlay *g_pLabelOverlay;
// Null when out of memory.
LabelOverlay *CreateLabelOverlay(void);
// Frees items, font (lists only in their context) and record; null is fine.
void DestroyLabelOverlay(LabelOverlay *pOverlay);

// Adds a copy of the item; an owner of 0 or more carries the anchor into
// eye coordinates with the matrix captured for it (captured now when the
// owner differs from the last one, or always for -99). True when added,
// false for a null overlay or when memory runs out (nothing added).
bool AddLabel(LabelOverlay *pOverlay, const LabelItem &item, int iOwnerId);
// An item with that text and anchor, added.
bool AddTextLabel(LabelOverlay *pOverlay, const char *pszText, float x, float y, float z,
                  int iOwnerId);
// Tests and draws every label (see nk_label_overlay.cpp); true, or false
// when the label font cannot be made.
bool DrawLabelOverlay(LabelOverlay *pOverlay);
// No items; owner -1.
void ClearLabelOverlay(LabelOverlay *pOverlay);
void SetLabelHighlight(LabelOverlay *pOverlay, bool bOn);
// The window point of pfPoint through the captured model-view and the
// current projection and viewport; false when the projection fails.
bool ProjectLabelPoint(const LabelOverlay *pOverlay, const float *pfPoint, float *pfWindow);

// The scene's calls on g_pLabelOverlay: empty it at the start of a frame,
// draw it after the model.
void NKResetLabelOverlay(void);
void NKDrawLabelOverlay(void);
