// core/nk_export_items.h -- what the NKF export reads of the tools, the
// plots and the textures: the texture image list, the traced nodes and the
// node plots (data), and a slot for the records of the cutting planes, the
// iso-surface and the particle-trace sets, and for a part texture's name.
//
// The tools (tools/), the plots (plot/) and the part textures (render/) keep
// this state under these names and fill the slot at start-up. Without them
// (the lower tiers on their own) the data stays empty and the slot answers
// with no records, so an export writes no items and no textures.
#pragma once

#include <cstdint>

#include "core/nk_image_record.h"
#include "core/nk_memory.h"
#include "core/nk_string.h"

struct ImageRecord;

// The texture image list (render/nk_texture_images.h): ImageRecord
// pointers (core/nk_image_record.h), at most 100, owned by the list.
extern PtrArray TextureImageList;

// A node of a part (indices from 0 in the current frame's geometry).
// In the plotted-node list the colour is the node's curve colour.
struct NKItemNode {
    int iNode;
    int iPart;
    uint8_t ucColor[3] = {0, 0, 0};
};

// The trace node table, kept by `trace` (plot/nk_node_plot.h); owned array
// (NKAlloc), none at start.
extern NKItemNode *g_pTraceNodes;
extern int g_iNumTraceNodes;
// The plotted-node list, rebuilt by the node plots (plot/nk_node_plot.h)
// from their visible curves; owned array (NKAlloc), none at start.
extern NKItemNode *g_pNodePlots;
extern int g_iNumNodePlots;

// The record sources of the items. Eleven words make one 44-byte record.
struct NKExportItemHooks {
    int (*pfnCountCutPlanes)(void) = nullptr;
    void (*pfnGetCutPlaneRecord)(int iPlane, int32_t aiWords[11]) = nullptr;
    // True with the value when an iso-surface is defined.
    bool (*pfnGetIsoSurface)(float *pfValue) = nullptr;
    int (*pfnCountParticleTraceSets)(void) = nullptr;
    void (*pfnGetParticleTraceRecord)(int iSet, int32_t aiWords[11]) = nullptr;
};

// The tools fill the slot at start-up (tools/nk_nkf_tool_state.h); while it
// is empty every count is 0.
NKExportItemHooks NKSetExportItemHooks(const NKExportItemHooks &hooks);
const NKExportItemHooks &NKGetExportItemHooks(void);
// The slot's answers, 0, false or null while it is empty.
int NKCountCutPlaneItems(void);
bool NKGetCutPlaneItem(int iPlane, int32_t aiWords[11]);
bool NKGetIsoSurfaceItem(float *pfValue);
int NKCountParticleTraceItems(void);
bool NKGetParticleTraceItem(int iSet, int32_t aiWords[11]);
const char *NKGetTextureName(const ImageRecord *pTexture);
