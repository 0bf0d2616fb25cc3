// commands/nk_load_sequence.cpp -- the reset before a load, the refresh
// after it, the reset of the close-all command and the start-up command
// files (see nk_load_sequence.h). ComputeGeometryData is in
// core/nk_geometry_data.cpp, the recent-file list in nk_recent_files.cpp.
//
// Much of what these steps clear belongs to folders above commands/: the
// drawing code's settings and the tools' and plots' state are data in core
// (core/nk_render_state.h, core/nk_tool_state.h), and the work of the shell
// and the plots goes through core/nk_shell_hooks.h. The tools' own resets
// run as command lines ("nocutplane", "plt kill" ...), which simply answer 3
// while their handlers are not in the chain.
#include "commands/nk_load_sequence.h"

#include <cstdlib>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_command_path.h"
#include "commands/nk_recent_files.h"
#include "core/nk_bbox.h"
#include "core/nk_file.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_program_directory.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_sound_sources.h"
#include "core/nk_source_settings.h"
#include "core/nk_tool_state.h"
#include "core/nk_transform_tables.h"
#include "core/nk_view_state.h"
#include "nkf/nkf_import.h"
#include "readers/nk_data_source.h"
#include "readers/nk_native_result_files.h"
#include "readers/nk_shell_axes.h"

uint8_t bKeepSettings = 0;

namespace {

// ---- ResetStateBeforeLoad ---------------------------------------------------------

// Playback stops and the animation set-ups are forgotten.
void StopPlayback(void)
{
    if (NKSoundsActive()) ExecuteCommand("nosound");
    if (g_pModel->animationType != 0) ExecuteCommand("noanim");
    g_pModel->iNumInterstateFrames = -1;
    g_pModel->iModeNegativeSteps = -1;
    g_pModel->iModePositiveSteps = -1;
    g_pModel->bModeShapeAnimation = 0;
    g_pModel->bModeShapeScalar = 0;
    // A new model starts with real results: a phase sweep needs a complex
    // result read from it first.
    bFreqResultsScalar = 0;
    bFreqResultsVector = 0;
}

// What the tools, dialogs and plots made for the old model goes.
void ClearToolsAndPlots(void)
{
    NKFreeCutSurfaces(-1, -1);
    NKFreeIsoSurfaces(-1);
    NKCloseInfoDialogs();
    NKPlotInterfaceClose();
    if (g_pCurrentPlot != nullptr) ExecuteCommand("plt kill");
    if (NKModelHasGeometry()) {
        ExecuteCommand("text3d delete all");
        ExecuteCommand("noisosurface");
        ExecuteCommand("nocutplane");
    }
    NKReleasePrimitives(g_pGlobalPrimitives);
    g_pGlobalPrimitives = nullptr;
    g_ShellAxes.DisableAll();
}

// No frames, no box, no axis scaling.
void ClearModel(void)
{
    NKSetFrameCount(0, false);
    NKResetContourSettings(&g_ContourSettings);
    NKSetMaxValues(g_pModel->fBoundingBox);
    for (float &fScale : g_pModel->fAxisScale) fScale = 1.0f;
}

// The display settings a new model starts with unless the user asked to
// keep them.
void ResetDisplaySettings(void)
{
    g_fNearClip = NK_DEFAULT_NEAR_CLIP;
    g_fFarClip = NK_DEFAULT_FAR_CLIP;
    g_bHiddenCullingOn = 0;
    g_bHiddenCullingAnalysis = 0;
    g_iPlotNewModelSetting = 1;
    g_szStepText = "";
    NKInitValueRange(&g_pModel->valueRanges[0]);
    NKInitValueRange(&g_pModel->valueRanges[1]);
    NKInitValueRangeUnit(&g_pModel->valueRanges[2]);
    NKInitValueRangeUnit(&g_pModel->valueRanges[3]);
    for (int i = 4; i < NK_NUM_VALUE_RANGES; i++)
        NKInitSeparateVectorRange(&g_pModel->valueRanges[i]);
    for (NKVectorSettings &settings : g_SeparateVectorSettings)
        NKResetVectorSettings(&settings, NK_VECTOR_RESET_NEW_MODEL);
    // What the old model's source set for itself goes with it; the new-model
    // reset keeps the user's own.
    NKRestoreUserSettings();
    g_MirrorSettings.Reset();
}

// ---- Start-up command files -----------------------------------------------------

// The file in the user's configuration folder, else in the program's
// directory (the site's): a user's own file, an empty one too, replaces the
// site's. Empty when neither can be read.
NKString FindStartupFile(const char *pszName)
{
    const char *pszHome = std::getenv("HOME");
    if (pszHome != nullptr && *pszHome != '\0') {
        NKString path = NKString(pszHome) + "/.config/Brovik/" + pszName;
        if (NKTestFileAccess(path.GetText(), NK_ACCESS_READ)) return path;
    }
    const NKString &directory = NKGetProgramDirectory();
    if (!directory.IsEmpty()) {
        NKString path = directory + pszName;
        if (NKTestFileAccess(path.GetText(), NK_ACCESS_READ)) return path;
    }
    return NKString("");
}

bool RunStartupFile(const char *pszName, const char *pszInfo)
{
    NKString path = FindStartupFile(pszName);
    if (path.IsEmpty()) return true;
    NKPrintInfo(pszInfo);
    NKString line;
    return NKPathCommandLine("source", path.GetText(), &line) &&
           ExecuteCommand(line.GetText()) == NK_CMD_DONE;
}

// The current data source of ResetScene.
// The dispatcher's source, and an NKF file the nkf command opened by itself
// (that one never passes the dispatcher).
void CloseDataSource(void)
{
    if (NKGetInterfaceType() != NK_INTERFACE_NONE) NKCloseInterface();
    if (NKFGetParser() != nullptr) NKFCloseInterface();
}

}  // namespace

void NKInstallLoadSequence(void)
{
    NKLoadHooks hooks = NKGetLoadHooks();
    hooks.pfnResetStateBeforeLoad = NKResetStateBeforeLoad;
    hooks.pfnRefreshAfterLoad = NKRefreshAfterLoad;
    NKSetLoadHooks(hooks);
}

bool NKResetStateBeforeLoad(const char *pszFileName)
{
    (void)pszFileName;  // the same reset whatever file comes next
    if (g_pModel == nullptr) return false;
    NKMessagesOff quiet;
    StopPlayback();
    ClearToolsAndPlots();
    ClearModel();
    if (!bKeepSettings) ResetDisplaySettings();
    quiet.Release();
    ResetModelState(bKeepSettings != 0);
    g_TransformationTable.Clear();
    g_ViewPointTable.Init();
    return true;
}

bool NKRefreshAfterLoad(const char *pszFileName)
{
    NKMessagesOff quiet;
    if (!bKeepSettings) ExecuteCommand("autofocus");
    NKResetScalarMinMax();
    NKResetVectorMinMax();
    if (NKIsPartAttributesDialogOpen()) {
        ShowPartAttributesDialog(0);
        ShowPartAttributesDialog(1);
    }
    RefreshInfoPropertySheet(0, false);
    quiet.Release();
    NKFlagMaterialsForUpdate(g_pListUpdateInfo, -1, -1);
    // The display transform always subtracts the model centre, so the
    // projection the view sets needs no new centre here.
    // A model loaded by a command file is reopened by running that file.
    AddRecentFile(g_CommandRunner.bRunningCommandFile
                      ? g_CommandRunner.szCurrentCommandFilePath.GetText()
                      : pszFileName);
    // Every load ends here, whoever started it: the projection takes the new
    // model's clipping distances and the view is painted once the event loop
    // runs, also when no command after the load asks for it.
    // The view's resize step sets the projection (and places a plot over it).
    if (NKMakeViewContextCurrent()) NKResizeView(NKViewWindowSize.iWidth, NKViewWindowSize.iHeight);
    NKInvalidateView();
    return true;
}

bool RunStartupCommandFile(void)
{
    return RunStartupFile("quolin.qlc", "Running global startup command file...");
}

bool RunFileOpenCommandFile(void)
{
    // An open inside the file would run the file again, and again, until
    // the nesting limit stopped it.
    static bool s_bRunning = false;
    if (s_bRunning) return true;
    s_bRunning = true;
    bool bOk = RunStartupFile("fileopen.qlc", "Running \"file open\" command file...");
    s_bRunning = false;
    return bOk;
}

void ResetScene(void)
{
    static const char *const kResetLines[] = {
        "noanim", "nofog", "autofocus", "cleartextures all", "noisosurface", "nocutplane"};
    NKMessagesOff quiet;
    for (const char *pszLine : kResetLines) ExecuteCommand(pszLine);
    if (NKModelHasGeometry()) {
        ExecuteCommand("text3d delete all");
        ExecuteCommand("plt kill");
    }
    ExecuteCommand(
        NKString::FromFormat("clipfront %g", static_cast<double>(NK_DEFAULT_NEAR_CLIP)).GetText());
    ExecuteCommand(
        NKString::FromFormat("clipback %g", static_cast<double>(NK_DEFAULT_FAR_CLIP)).GetText());
    NKRefreshMenusForModel();
    NKSetFrameCount(0, false);
    NKInitModel(g_pModel);
    CloseDataSource();
    NKRestoreUserSettings();
    NKRedrawView();
}
