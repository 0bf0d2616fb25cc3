// render/nk_part_drawing.h -- drawing one part inside the passes of
// NKRenderScene: whether it is drawn, its frame matrix, texture, polygon
// offset and highlight around the element drawers, the moving styles, the
// points style and the part's extras; and the batch of attribute-locked
// parts drawn with the first part's binding.
//
// The element drawers are in nk_element_drawing.h; the highlight record is
// core data (core/nk_view_state.h) because the part lists adjust its
// selection colour. Each function leaves the modelview and attribute
// stacks as it found them.
#pragma once

#include <cstdint>

struct NKDisplayListSet;
struct NKFrame;
struct NKPart;
struct NKPartHighlight;

// Number of 32 x 32 polygon stipple patterns (128 bytes each).
constexpr int NK_NUM_STIPPLE_PATTERNS = 32;
// Pattern iIndex (taken modulo the count) as glPolygonStipple takes it.
const uint8_t *NKGetStipplePattern(int iIndex);
// Selection, box and outline colour white, fill black, pattern 12, box on,
// outline and stipple fill off.
void NKResetPartHighlightSettings(NKPartHighlight *pSettings);

// True when input is pending and the draw is interruptible (abandon);
// false when the part was drawn or skipped.
bool NKDrawPart(int iPart, NKFrame *pFrame, NKDisplayListSet *pLists, int bUninterruptible,
                bool bSkipLocked);
void NKDrawPartElements(NKFrame *pFrame, int iPart, NKDisplayListSet *pLists);
void NKDrawPartExtras(int iPart, NKPart *pPart, NKFrame *pFrame);
// The points style: one point per used node, skipping nodes outside the
// value filter.
void NKDrawPartSimple(int iPart, NKFrame *pFrame, NKDisplayListSet *pLists);
// Binds the part's texture lists; true when a texture was bound.
bool NKCallPartLists(NKPart *pPart, int iPart, NKDisplayListSet *pLists, int iLastImage);
void NKDisableTexturing(void);
// The attribute-locked parts of the list (all parts for null) drawn with
// the first part's binding. True tells the opaque pass to skip locked parts.
bool NKDrawLockedParts(const int *piParts, int iCount, NKFrame *pFrame, NKDisplayListSet *pLists);
