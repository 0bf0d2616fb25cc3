// nkf/nkf_display_hooks.h -- the slot through which the NKF display state
// reaches the display records of the higher folders.
//
// The settings and items of an NKF file belong to the drawing code
// (render/: view, background, colours, legend, lights, fringe table,
// viewpoint, texts, images, textures), the tools (tools/: cutting planes,
// particle traces, traced nodes), the 2-D plots (plot/: the current plot of
// the extra record, the node plot) and the shell (app/: menu bar, tool bar,
// status bar, spin mode). Each owner adds one NKFDisplayStateHooks at start-up; the
// settings export asks every owner to fill its words of a record, and the
// import hands every owner each record to apply. What the lower folders
// keep themselves (graphics settings, animation clock, mirror, contours,
// vector and scalar settings, step text) the NKF code fills and applies on
// its own. An empty slot fills and applies nothing.
//
// The main record is applied group by group in the order below (the order
// of its words' effects); within a group every owner is called in the
// order it was added.
#pragma once

#include "nkf/nkf_state_records.h"

struct NKFExportSettings;
class NKFItemsBlock;

// Groups of the main record, in the order they are applied.
enum NKFMainGroup {
    NKF_MAIN_VIEW = 0,         // 1-11 view settings
    NKF_MAIN_BACKGROUND,       // 12-24
    NKF_MAIN_COLORS,           // 25-33 text, mesh, undeformed-model colours
    NKF_MAIN_FRINGE_TABLE,     // 252-299
    NKF_MAIN_LEGEND,           // 34-67 (47 after 35)
    NKF_MAIN_GRAPHICS,         // 68-82
    NKF_MAIN_CLIPPING,         // 83, 84
    NKF_MAIN_MESH_FACTOR,      // 237
    NKF_MAIN_WINDOW_PARTS,     // 85-87
    NKF_MAIN_SPIN,             // 88
    NKF_MAIN_LIGHTS,           // 89-94
    NKF_MAIN_MODEL_SCALE,      // 95-97
    NKF_MAIN_VIEWPOINT,        // 98-106
    NKF_MAIN_ROTATION_POINT,   // 107-109
    NKF_MAIN_TEXTS,            // 110-151
    NKF_MAIN_START_ANIMATION,  // 152
    NKF_MAIN_IMAGES,           // 153-195
    NKF_MAIN_ANIMATION,        // 196-200, 243
    NKF_MAIN_MIRROR,           // 201-213
    NKF_MAIN_PARTICLES,        // 214-236
    NKF_MAIN_CONTOURS,         // 244-251
    NKF_MAIN_CLIP_EACH_OTHER,  // 306
    NKF_MAIN_GROUPS
};

struct NKFDisplayStateHooks {
    // Settings records. pSettings is the exporter's copy of the switches.
    void (*pfnFillMain)(NKFMainSettings *pRec, const NKFExportSettings *pSettings) = nullptr;
    void (*pfnApplyMain)(const NKFMainSettings &rec, int iGroup) = nullptr;
    // Scalar record i (from 0), after the NKF code applied its own words.
    void (*pfnFillScalar)(NKFScalarSettings *pRec) = nullptr;
    void (*pfnApplyScalar)(const NKFScalarSettings &rec, int i) = nullptr;
    // The 2-D plot record; the fill answers false without a current plot.
    bool (*pfnFillExtra)(NKFExtraSettings *pRec) = nullptr;
    void (*pfnApplyExtra)(const NKFExtraSettings &rec) = nullptr;
    // Items: the block is loaded; pMain is the file's main settings record
    // (the clipping planes' indices), null without one.
    void (*pfnApplyCutPlanes)(const NKFItemsBlock &items, const NKFMainSettings *pMain) = nullptr;
    void (*pfnApplyParticleTraces)(const NKFItemsBlock &items) = nullptr;
    void (*pfnApplyTraces)(const NKFItemsBlock &items) = nullptr;
    // A file with node plots: the node plot is made and shown before the
    // NKF code adds the file's nodes to it ("np add").
    void (*pfnInitNodePlot)(void) = nullptr;
    // Textures: adds a copy of an image (width x height RGB bytes, rows
    // bottom first) to the texture image list, true when listed; images
    // iFirst..iLast of the list are to be rebuilt; the part textures changed
    // (every part texture to rebuild).
    bool (*pfnAddTextureImage)(const char *pszName, int iWidth, int iHeight,
                               const uint8_t *pcPixels) = nullptr;
    void (*pfnTextureImagesAdded)(int iFirst, int iLast) = nullptr;
    void (*pfnPartTexturesChanged)(void) = nullptr;
};

// Adds an owner's hooks (at most eight owners); false when full. Removing
// takes the record with the same slots back out.
bool NKFAddDisplayStateHooks(const NKFDisplayStateHooks &hooks);
void NKFRemoveDisplayStateHooks(const NKFDisplayStateHooks &hooks);
// An owner's start-up and shut-down: adds (bInstall) or removes its hooks
// unless *pbInstalled says they already are so; *pbInstalled follows.
void NKFInstallDisplayStateHooks(const NKFDisplayStateHooks &hooks, bool bInstall,
                                 bool *pbInstalled);
int NKFGetNumDisplayStateHooks(void);
const NKFDisplayStateHooks &NKFGetDisplayStateHooks(int i);

// The calls the import and export make: each goes to every owner.
void NKFFillMainSettingsFromOwners(NKFMainSettings *pRec, const NKFExportSettings *pSettings);
void NKFApplyMainSettingsGroup(const NKFMainSettings &rec, int iGroup);
