// scene/nk_renderer.cpp -- start-up and shut-down of the drawing code (see
// nk_renderer.h).
#include "scene/nk_renderer.h"

#include "commands/nk_command.h"
#include "core/nk_load_hooks.h"
#include "core/nk_memory.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "render/nk_contour_lines.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_lights.h"
#include "render/nk_lod.h"
#include "render/nk_node_colors.h"
#include "render/nk_part_drawing.h"
#include "render/nk_view_commands.h"
#include "render/nk_view_settings.h"
#include "scene/nk_scene.h"

namespace {
// The list-update record made here, and the one core held before it, which
// the commands use while no drawing code is installed and get back at
// shut-down.
NKListUpdateInfo *sg_pOwnListUpdateInfo = nullptr;
NKListUpdateInfo *sg_pCoreListUpdateInfo = nullptr;
}  // namespace

bool NKInstallRenderer(void)
{
    if (g_pViewSettings == nullptr) g_pViewSettings = NKCreateViewSettings(nullptr);
    if (g_pLights == nullptr) g_pLights = NKCreateLights();
    if (g_pLightModels == nullptr) g_pLightModels = NKCreateLightModels();
    if (g_pFringeTextureColors == nullptr) g_pFringeTextureColors = NKCreateFringeTextureColors();
    if (sg_pOwnListUpdateInfo == nullptr) {
        // Made with everything flagged, so the first draw builds every list.
        sg_pOwnListUpdateInfo = NKCreateListUpdateInfo();
        if (sg_pOwnListUpdateInfo != nullptr) {
            sg_pCoreListUpdateInfo = g_pListUpdateInfo;
            g_pListUpdateInfo = sg_pOwnListUpdateInfo;
        }
    }
    if (g_pViewSettings == nullptr || g_pLights == nullptr || g_pLightModels == nullptr ||
        g_pFringeTextureColors == nullptr || sg_pOwnListUpdateInfo == nullptr) {
        NKShutdownRenderer();
        return false;
    }
    NKResetPartHighlightSettings(&NKPartHighlightSettings);
    NKClearDisplayListSet();
    NKFlagAllListsForUpdate(g_pListUpdateInfo);
    NKFringeTextureDirty = 1;
    NKInstallNodeColorHooks(true);
    NKInstallContourHooks(true);
    NKInstallLodHooks(true);
    NKLoadHooks hooks = NKGetLoadHooks();
    hooks.pfnDrawScene = NKRenderScene;
    NKSetLoadHooks(hooks);
    NKSetCommandHandler(NK_HANDLER_VIEW, NKCommandHandleView);
    return true;
}

void NKShutdownRenderer(void)
{
    NKFree(g_pViewSettings);
    g_pViewSettings = nullptr;
    NKFree(g_pLights);
    g_pLights = nullptr;
    NKFree(g_pLightModels);
    g_pLightModels = nullptr;
    NKFree(g_pFringeTextureColors);
    g_pFringeTextureColors = nullptr;
    NKInstallNodeColorHooks(false);
    NKInstallContourHooks(false);
    NKInstallLodHooks(false);
    if (sg_pOwnListUpdateInfo != nullptr) {
        g_pListUpdateInfo = sg_pCoreListUpdateInfo;
        NKFree(sg_pOwnListUpdateInfo);
        sg_pOwnListUpdateInfo = nullptr;
    }
    NKLoadHooks hooks = NKGetLoadHooks();
    hooks.pfnDrawScene = nullptr;
    NKSetLoadHooks(hooks);
    NKSetCommandHandler(NK_HANDLER_VIEW, nullptr);
}
