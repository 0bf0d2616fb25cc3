// app/nk_app_records.cpp -- the program's records (see nk_app_records.h):
// the start-up order of InitApplication, the run-time defaults, the
// shut-down order of ExitApplication and the reset before a model load.
//
// The drawing code makes several of its records together in
// NKInstallRenderer (lights, lighting models, the list-update record, the
// fringe texture table, the display-list set and its slots); the rows here
// make the view settings, lights and fringe table at their own places first,
// and NKInstallRenderer, which keeps records that exist, completes the rest
// at the display-list row.
#include "app/nk_app_records.h"

#include <GL/gl.h>

#include <QOpenGLContext>

#include "app/nk_gl_menu.h"
#include "app/nk_nkf_shell_state.h"
#include "commands/nk_command_log.h"
#include "commands/nk_macros.h"
#include "commands/nk_recent_files.h"
#include "core/nk_export_items.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_movie_settings.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_sound_sources.h"
#include "core/nk_view_state.h"
#include "export/nk_page_setup.h"
#include "nkf/nkf_export.h"
#include "platform/nk_gl_context.h"
#include "plot/nk_nkf_plot_state.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot.h"
#include "plot/nk_plot_commands.h"
#include "readers/nk_data_source.h"
#include "readers/nk_fem_reader.h"
#include "readers/nk_lsdyna.h"
#include "readers/nk_native_result_files.h"
#include "render/nk_background.h"
#include "render/nk_camera.h"
#include "render/nk_culling.h"
#include "render/nk_fringe_commands.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_gl_resources.h"
#include "render/nk_label_overlay.h"
#include "render/nk_lights.h"
#include "render/nk_lod.h"
#include "render/nk_nkf_display_state.h"
#include "render/nk_node_colors.h"
#include "render/nk_node_traces.h"
#include "render/nk_overlays.h"
#include "render/nk_part_drawing.h"
#include "render/nk_part_overlays.h"
#include "render/nk_pick_display.h"
#include "render/nk_render_options.h"
#include "render/nk_ride.h"
#include "render/nk_text.h"
#include "render/nk_text3d.h"
#include "render/nk_texture_images.h"
#include "render/nk_view_settings.h"
#include "scene/nk_renderer.h"
#include "scene/nk_scene.h"
#include "scene/nk_scene_extras.h"
#include "tools/nk_annotation_commands.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_iso_surface.h"
#include "tools/nk_line_sets.h"
#include "tools/nk_manipulator.h"
#include "tools/nk_nkf_tool_state.h"
#include "tools/nk_particle_trace.h"
#include "tools/nk_sound_playback.h"
#include "tools/nk_surface_path.h"
#include "tools/nk_user_drawing.h"
#include "tools/nk_user_labels.h"

namespace {

// The movie settings have no heap record of their own yet: g_pMovieSettings
// points here while the program runs.
NKMovieSettings sg_MovieSettings;

// Rows 1 to 8: the model and the settings records. False where a record
// that the rest cannot do without is missing.
bool MakeModelAndSettings(void)
{
    if (g_pModel == nullptr) g_pModel = NKCreateModel();
    if (g_pModel == nullptr) return false;
    if (g_pViewSettings == nullptr) g_pViewSettings = NKCreateViewSettings(nullptr);
    if (g_pGraphicsSettings == nullptr) g_pGraphicsSettings = NKCreateRenderOptions(nullptr);
    NKResetBackgroundSettings(g_pBackgroundSettings, NK_BACKGROUND_RESET_STARTUP);
    if (!NKCreateVectorFilterBox()) return false;
    if (!NKResetVectorSettings(&g_VectorSettings, NK_VECTOR_RESET_STARTUP)) return false;
    for (NKVectorSettings &settings : g_SeparateVectorSettings)
        if (!NKResetVectorSettings(&settings, NK_VECTOR_RESET_STARTUP)) return false;
    NKResetPartHighlightSettings(&NKPartHighlightSettings);
    sg_MovieSettings = NKMovieSettings(384, 288);
    g_pMovieSettings = &sg_MovieSettings;
    return true;
}

// Rows 9 to 16: menus, texts, lights, textures, display lists, contour and
// animation settings.
void MakeDisplayRecords(void)
{
    NKCreateText3DList();
    if (g_pLights == nullptr) g_pLights = NKCreateLights();
    if (g_pLightModels == nullptr) g_pLightModels = NKCreateLightModels();
    if (g_pFringeTextureColors == nullptr) g_pFringeTextureColors = NKCreateFringeTextureColors();
    // The texture image list is core's static TextureImageList, empty at start.
    // The list-update record, the display-list set and the drawing slots.
    NKInstallRenderer();
    NKResetContourSettings(&g_ContourSettings);
    g_AnimationSettings = NKAnimationSettings();
}

// Rows 28 to 30: the ruler (shown), the 3-D legend's box and the
// manipulator list with the tools' handles.
void MakeManipulators(void)
{
    // The level-of-detail manager and its "LOD Selector" come first.
    if (NKCreateLodManager() != nullptr && g_pLodManager->m_pSelector == nullptr) {
        BoxManipulator *pSelector = new BoxManipulator("LOD Selector", true, true);
        pSelector->SetHeadingOnly(true);
        pSelector->SetPositionLocks(false, false, true);
        pSelector->SetCornerLocks(false, false, true);
        g_pLodManager->m_pSelector = pSelector;
    }
    if (g_pRuler == nullptr) {
        g_pRuler = new RulerManipulator("3D Ruler");
        g_pRuler->SetShown(true);
    }
    if (g_pLegendBox == nullptr) g_pLegendBox = new BoxManipulator("3D Legend", false, false);
    if (g_pManipulatorList != nullptr) return;
    g_pManipulatorList = new ManipulatorList();
    if (g_pCutPlaneSet != nullptr) g_pManipulatorList->Add(&g_pCutPlaneSet->Handle());
    if (g_pIsoSurfaceState != nullptr) g_pManipulatorList->Add(&g_pIsoSurfaceState->slider);
    if (g_pParticleTraceSet != nullptr) g_pManipulatorList->Add(&g_pParticleTraceSet->Handle());
    if (g_pLodManager != nullptr && g_pLodManager->m_pSelector != nullptr)
        g_pManipulatorList->Add(g_pLodManager->m_pSelector);
}

// Rows 17 to 31: the tools, the command-language records and the handles.
void MakeToolRecords(void)
{
    NKCreateSurfaceTools();
    NKCreateParticleTraceSet();
    NKResetRideSpec(&g_RideSpec);
    ClearRecentFiles();
    g_MacroList.Clear();
    g_CommandRunner.PollFile.Reset();
    g_pLabelOverlay = CreateLabelOverlay();
    NKCreateUserPrimitives();
    NKFInitExportSettings(&g_NKFExportSettings);
    // The NKF display state reaches the drawing code, tools and shell.
    NKInstallNKFDisplayState(true);
    NKInstallNKFToolState(true);
    NKInstallNKFPlotState(true);
    NKInstallNKFShellState(true);
    NKCreateLineSetList();
    MakeManipulators();
    NKCreateSoundSourceTable();
}

}  // namespace

bool InitApplication(void)
{
    if (!MakeModelAndSettings()) return false;
    MakeDisplayRecords();
    MakeToolRecords();
    return true;
}

bool InitRuntimeDefaults(void)
{
    g_fNearClip = NK_DEFAULT_NEAR_CLIP;
    g_fFarClip = NK_DEFAULT_FAR_CLIP;
    g_HiddenPartCuller.bEnabled = 0;
    g_HiddenPartCuller.bAnalysisOn = 0;
    NKInstallDataSources();
    // The reader plug-ins registered with NKSetFEMReaderFactory describe
    // themselves once.
    NKInitFEMInterfaceTable();
    // The reservoir reader's record (g_Output3DSet) is static with its start
    // values; the LS-DYNA reader's state is set here.
    NKLSDynaReset();
    // No result-name table is made: each reader names its results itself,
    // and nothing reads a table of fixed names.
    NKResetPageSetup(&g_PageSetup);
    return true;
}

void ExitApplication(void)
{
    g_MacroList.Clear();
    g_CommandRunner.PollFile.Close();
    NKFreeSoundSourceTable();
    NKDestroySoundManager();
    delete g_pRuler;
    g_pRuler = nullptr;
    delete g_pLegendBox;
    g_pLegendBox = nullptr;
    delete g_pManipulatorList;  // the handles are their owners'
    g_pManipulatorList = nullptr;
    if (g_pLodManager != nullptr) {
        delete g_pLodManager->m_pSelector;
        g_pLodManager->m_pSelector = nullptr;
    }
    NKDestroyLodManager();
    NKFreeHidePolysBuffer(&g_HiddenPartCuller);
    NKFreeAnnotationRecords();
    DestroyLabelOverlay(g_pLabelOverlay);
    g_pLabelOverlay = nullptr;
    NKPlotInterfaceClose();
    NKReleaseDataSources();
    NKFree(g_pViewSettings);
    g_pViewSettings = nullptr;
    NKDestroyRenderOptions(g_pGraphicsSettings);
    g_pGraphicsSettings = nullptr;
    NKDestroyVectorFilterBox();
    g_pMovieSettings = nullptr;
    NKDestroyGLMenu();
    NKDestroyText3DList();
    // Lights, lighting models, list-update record, fringe table and slots.
    NKShutdownRenderer();
    NKClearTextureImageList(&TextureImageList);
    NKResetContourSettings(&g_ContourSettings);
    NKInstallNKFShellState(false);
    NKInstallNKFPlotState(false);
    NKInstallNKFToolState(false);
    NKInstallNKFDisplayState(false);
    NKDestroySurfaceTools();
    NKDestroyParticleTraceSet();
    NKDeleteCurrentPlot();
    NKFreeSelectionPaths();
    NKFreeNodeTraces();
    NKClearTraceNodes();
    // The list's entries hold references to the model's geometries.
    g_SelectionList.Clear();
    NKDestroyModel(g_pModel);
    g_pModel = nullptr;
}

void NKReleaseViewGLObjects(void)
{
    void *hView = NKGetCurrentGLContextHandle();
    if (g_pCurrentPlot != nullptr && g_pCurrentPlot->hGLContext != nullptr &&
        g_pCurrentPlot->hGLContext == hView)
        NKPlotDetachContext(g_pCurrentPlot);
    if (g_pLabelOverlay != nullptr) {
        NKDeleteBitmapFont(g_pLabelOverlay->pFont);  // its lists only in their own context
        g_pLabelOverlay->pFont = nullptr;
    }
    NKDeleteBitmapFontLists();
    if (hView != nullptr && g_uStippleListBase != 0) glDeleteLists(g_uStippleListBase, 3);
    g_uStippleListBase = 0;
    // The set's lists, flagged for a rebuild in the next context.
    if (hView != nullptr && g_pListUpdateInfo != nullptr) {
        NKDeleteAllDisplayLists();
    } else {
        NKClearDisplayListSet();
        NKDropBackgroundImageList();
        if (g_pListUpdateInfo != nullptr) NKFlagAllListsForUpdate(g_pListUpdateInfo);
    }
    NKFringeTextureDirty = 1;
}

namespace {

bool HasCurrentGLContext(void) { return QOpenGLContext::currentContext() != nullptr; }

// The colours of a new model: legend bands blue to red, undefined values blue.
void ResetModelColors(void)
{
    static const uint8_t s_auLegend[5][3] = {
        {0, 0, 255}, {0, 255, 255}, {0, 255, 0}, {255, 255, 0}, {255, 0, 0}};
    for (int i = 0; i < 5; i++)
        for (int k = 0; k < 3; k++) NKFringeColors[i][k] = s_auLegend[i][k];
    NKUndefinedValueColor[0] = 0;
    NKUndefinedValueColor[1] = 0;
    NKUndefinedValueColor[2] = 255;
    for (uint8_t &c : g_uMeshColor) c = 0;
    g_uContourLineColor[0] = g_uContourLineColor[1] = g_uContourLineColor[2] = 255;
    g_iContourLineWidth = 1;
    for (uint8_t &c : g_uTextColor) c = 255;
}

// What a new model starts with unless the settings are kept.
void ResetUnkeptState(void)
{
    g_ContourSettings.bAutoRange = 1;
    ResetModelColors();
    g_bFringesShown = 0;
    for (NKVectorSettings &settings : g_SeparateVectorSettings) settings.bShown = 0;
    g_AnimationSettings.iStartDelay = 0;
    g_AnimationSettings.iStopDelay = 0;
    g_fMeshDepthFactor = g_fDepthEpsilon;
    NKResetLineSetList(false);
    NKClearUserPoints();
    NKClearUserLabels();
    NKClearUserTexturePolygons();
    // Display lists exist only in a context; a new context makes them anyway.
    if (HasCurrentGLContext()) NKCreateStippleLists();
    NKSetRotationPoint(nullptr);
    g_bAutoFringeRange = 1;
}

// The fringe texture back to the default spectrum. The upload needs a
// current context; without one the next use of the texture uploads it.
void ResetFringeTexture(void)
{
    if (g_pFringeTextureColors == nullptr) return;
    NKResetFringeTextureColors(g_pFringeTextureColors->auColors);
    if (HasCurrentGLContext()) {
        NKLoadFringeTexture(g_pFringeTextureColors);
        NKFringeTextureDirty = 0;
    } else {
        NKFringeTextureDirty = 1;
    }
}

// What every load resets, kept settings or not.
void ResetLoadState(void)
{
    NKClearPlottedNodeList();
    NKClearTraceNodes();
    g_bPlotShown = 0;
    g_fPlotScale = 2.0f;
    NKClearUserPrimitives();
    NKFlagMaterialsForUpdate(g_pListUpdateInfo, -1, -1);
    if (g_pLights != nullptr) NKSetupDefaultLights(g_pLights);
    ResetFringeTexture();
    NKResetRideSpec(&g_RideSpec);
    bFreqResultsScalar = 0;
    bFreqResultsVector = 0;
    NKDestroySoundManager();
    NKResetPickMarker();
    g_SelectionList.SetEnabled(false);
    g_SelectionList.Clear();
    // The command-file runner's flag stays: a load run from a command file
    // would otherwise leave the runner believing that no file runs.
    NKSelectionFeedbackMode = 1;
}

}  // namespace

void NKResetModelStateRecords(bool bKeep)
{
    const int iMode = bKeep ? 2 : 1;
    NKInitRenderOptions(g_pGraphicsSettings, iMode);
    NKResetViewSettings(g_pViewSettings, iMode);
    NKResetBackgroundSettings(g_pBackgroundSettings, iMode);
    NKResetVectorSettings(&g_VectorSettings, iMode);
    // The highlight settings have no keep mode: only a new model resets them.
    if (!bKeep) NKResetPartHighlightSettings(&NKPartHighlightSettings);
    if (!bKeep) ResetUnkeptState();
    ResetLoadState();
}
