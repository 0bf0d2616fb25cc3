// commands/nk_open_commands.cpp -- the type-detecting open, opening a data
// source with its first state, and reading one state (see
// nk_open_commands.h). Animations, closing, the result-list export, older
// native geometry files and the size arguments are in
// nk_open_commands_more.cpp.
//
// The order of an open is: open the source and read the geometry of its
// first state; only when both succeeded clear the previous model
// (ResetStateBeforeLoad), so a file that cannot be opened or gives no
// geometry leaves the model as it was, with its source open again; then the
// load sequence, and for an NKF file its display state.
#include "commands/nk_open_commands.h"

#include "commands/nk_command.h"
#include "commands/nk_command_path.h"
#include "commands/nk_file_type.h"
#include "commands/nk_load_sequence.h"
#include "core/nk_diagnostic.h"
#include "core/nk_file.h"
#include "core/nk_file_read.h"
#include "core/nk_file_report.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_part_lists.h"
#include "core/nk_progress.h"
#include "core/nk_source_settings.h"
#include "core/nk_transform_tables.h"
#include "core/nk_view_state.h"
#include "nkf/nkf_display_state.h"
#include "readers/nk_data_source.h"
#include "readers/nk_fem_reader.h"
#include "readers/nk_output3d.h"

namespace {

// The open command of a detected type, or "" for none.
NKString OpenCommandFor(int iType, const NKString &fileName)
{
    const char *pszWord = nullptr;
    switch (iType) {
    case NK_FILETYPE_NATIVE_RESULTS:
        pszWord = "openresultsfile";
        break;
    case NK_FILETYPE_NATIVE_GEOMETRY:
        pszWord = "readgeometry";
        break;
    case NK_FILETYPE_NKF:
        pszWord = "opennkffile";
        break;
    case NK_FILETYPE_COMMANDS:
        pszWord = "source";
        break;
    case NK_FILETYPE_LSDYNA_PLOT:
        pszWord = "opendynastatedb";
        break;
    case NK_FILETYPE_LSDYNA_HISTORY:
        pszWord = "th open";
        break;
    case NK_FILETYPE_RESERVOIR:
        pszWord = "openiesoutput3d";
        break;
    default:
        break;
    }
    if (pszWord == nullptr && NKIsFEMInterfaceId(iType)) {
        NKString interfaceName;
        NKGetFEMInterfaceName(&interfaceName, iType);
        NKString line;
        NKPathCommandLine((NKString("openfemfile ") + interfaceName).GetText(), fileName.GetText(),
                          &line);
        return line;
    }
    if (pszWord == nullptr) return NKString("");
    NKString line;
    NKPathCommandLine(pszWord, fileName.GetText(), &line);
    return line;
}

// Ends a failed open after the source was opened: no frames, no source.
bool FailOpen(void)
{
    NKSetFrameCount(0, false);
    NKCloseInterface();
    return false;
}

// The model's per-axis scales. A reader may set them while it opens its
// file or reads its geometry (a reservoir set stretches its depth).
struct AxisScales {
    float af[3];
    bool operator!=(const AxisScales &other) const
    {
        return af[0] != other.af[0] || af[1] != other.af[1] || af[2] != other.af[2];
    }
};

AxisScales GetAxisScales(void)
{
    return AxisScales{{g_pModel->fAxisScale[0], g_pModel->fAxisScale[1], g_pModel->fAxisScale[2]}};
}

void SetAxisScales(const AxisScales &scales)
{
    for (int i = 0; i < 3; i++) g_pModel->fAxisScale[i] = scales.af[i];
}

// Ends an open that failed before the model was touched: the new source
// goes and the one before it opens again, and the model gets back the axis
// scales the new file's reader may have set. When the file before no longer
// opens, the model it fed is emptied too, so that no model stays without
// its source.
bool KeepPreviousModel(const NKDataSourceMark &previous, const AxisScales &scales)
{
    SetAxisScales(scales);
    NKCloseInterfaceQuietly();
    if (NKReopenInterface(previous)) return false;
    NKPrintError(NKString::FromFormat("The file opened before cannot be read again: %s",
                                      previous.fileName.GetText())
                     .GetText());
    ResetStateBeforeLoad(nullptr);
    NKSetFrameCount(0, false);
    NKRefreshMenusForModel();
    NKInvalidateView();
    return false;
}

void ReportOpenFailure(int iKind, int iCode)
{
    NKString message("Error initializing interface.");
    if (iKind >= 104 && iKind <= 107) message += "\nInvalid file, possibly missing geometry";
    if (iKind == 107) message += " or platform incompatible text.";
    NKPrintErrorCode(message.GetText(), iCode);
}

// The geometry of the first state: the last step of a reservoir set (the
// first step when that fails), else the first step. *piStep gets the step used.
NKGeometry *FirstGeometry(int *piStep)
{
    *piStep = 0;
    if (NKGetUnderlyingInterfaceType() == NK_INTERFACE_RESERVOIR && NKGetInterfaceNumSteps() > 0) {
        int iLast = NKGetInterfaceNumSteps() - 1;
        // The messages of a failed try are not shown: the first step follows.
        NKMessagesOff quiet;
        NKGeometry *pGeo = NKGetInterfaceGeometry(iLast);
        quiet.Release();
        if (pGeo != nullptr) {
            *piStep = iLast;
            return pGeo;
        }
    }
    return NKGetInterfaceGeometry(0);
}

// Runs one display-state step of an NKF file with its status text; true when
// it applied something.
bool DisplayStep(const char *pszStatus, bool (*pfnApply)(void), const char *pszDone)
{
    NKSetStatusText(pszStatus);
    if (!pfnApply()) return false;
    NKPrintInfo(pszDone);
    return true;
}

bool ApplyPartAttributes(void)
{
    return NKFApplyPartAttributes(0, NKGetFrameGeometry(NKGetFrame(0)));
}

// The display state an NKF file carries; false when its animation failed.
bool LoadNKFDisplayState(int iStep, bool *pbChanged)
{
    DisplayStep("Loading textures...", NKFLoadTextures, "Textures loaded from NKF file.");
    if (DisplayStep("Loading part attributes...", ApplyPartAttributes,
                    "Part attributes set from NKF file.")) {
        NKInvalidatePartLists(nullptr);
        if (NKGetInterfaceNumSteps() > 0)
            ExecuteCommand(NKString::FromFormat("readstate %d 1 1", iStep + 1).GetText());
        *pbChanged = true;
    }
    if (DisplayStep("Loading items (cutplanes, nodeplots, etc.)...", NKFApplyItems,
                    "Items (cutplanes, nodeplots, etc.) added from NKF file.")) {
        NKFreeIsoSurfaces(-1);
        NKFreeCutSurfaces(-1, -1);
        NKComputeNodeTraces();
        *pbChanged = true;
    }
    bool bAnimate = false;
    NKSetStatusText("Loading Quolin Settings...");
    if (NKFApplySettings(&bAnimate)) {
        NKPrintInfo("Quolin settings set from NKF file.");
        *pbChanged = true;
    }
    NKSetStatusText("Loading Transformations...");
    if (NKFApplyTransformations()) NKPrintInfo("Transformations applied from NKF file.");
    NKComputeNodeTraces();
    if (NKFApplyQuolinTransformations())
        NKPrintInfo("QuolinTransformations applied from NKF file.");
    NKComputeNodeTraces();
    if (NKFApplyViewpoints()) NKPrintInfo("Viewpoints applied from NKF file.");
    if (bAnimate && NKGetInterfaceNumSteps() > 1) {
        NKSetStatusText("Starting animation...");
        if (ExecuteCommand("animresults") != 0) {
            NKSetStatusText("Aborted.");
            return false;
        }
        NKFreeIsoSurfaces(-1);
        NKFreeCutSurfaces(-1, -1);
        *pbChanged = true;
    }
    NKFApplyAnimationSettings();
    NKSetStatusText("Done.");
    return true;
}

// What a reservoir set or a kind-103 source sets for itself when it opens:
// its automatic displacement scaling (the line runs it) and, for the set,
// flow traces starting from a sheet of seeds over the whole set. They hold
// while the source is open (core/nk_source_settings.h).
void SourceOwnSettings(const char *pszAutoScaleLine, bool bSeedSheet)
{
    NKBeginSourceSettings();
    ExecuteCommand(pszAutoScaleLine);
    if (bSeedSheet) NKSetTraceSeedBox(g_pModel->fBoundingBox, 10, 10, 1);
    NKEndSourceSettings();
}

// What the kind of source asks for after its first state is loaded.
bool AfterFirstState(int iKind, int iStep)
{
    if (iKind == NK_INTERFACE_LSDYNA) ExecuteCommand("displacements");
    if (iKind == NK_INTERFACE_RESERVOIR) {
        SourceOwnSettings("ascalevector 0.075", true);
        NKApplyReservoirOverlayVisibility(NKGetFrameGeometry(NKGetFrame(0)));
    }
    if (iKind == 103) SourceOwnSettings("ascalevector 0.1", false);
    if (iKind != NK_INTERFACE_NKF) return true;
    bool bChanged = false;
    if (!LoadNKFDisplayState(iStep, &bChanged)) return false;
    if (bChanged) NKInvalidateView();
    return true;
}

}  // namespace

bool OpenFileAutoDetect(const NKOpenRequest &request)
{
    if (request.fileName.IsEmpty()) {
        NKPrintError("Cannot open file for reading. No filename specified");
        return false;
    }
    if (!NKTestFileAccess(request.fileName.GetText(), NK_ACCESS_READ)) {
        NKPrintError(
            NKString::FromFormat("Unable to open file for reading: %s", request.fileName.GetText())
                .GetText());
        return false;
    }
    // A folder, a FIFO or a device is no file of any kind: it is refused
    // before its contents are looked at (a FIFO would keep the look waiting).
    const std::string why = NKFileProblem(request.fileName.GetText());
    if (!why.empty()) {
        NKPrintError(
            NKString::FromFormat("Unable to open file for reading: %s", request.fileName.GetText())
                .GetText());
        NKPrintFileProblem(request.fileName.GetText(), why.c_str());
        return false;
    }
    int iType =
        request.iType == NK_FILETYPE_DETECT ? DetectFileType(request.fileName) : request.iType;
    if (iType == NK_FILETYPE_UNKNOWN) {
        NKPrintError("Unable to auto-detect primary file type.\nPlease open file again and select "
                     "the correct file type.");
        // An empty file is of no type: the file line says so.
        const std::string why = NKInputFileProblem(request.fileName.GetText());
        NKPrintFileProblem(request.fileName.GetText(), why.c_str());
        return false;
    }
    NKString command = OpenCommandFor(iType, request.fileName);
    if (command.IsEmpty()) return false;
    // Each open command replaces the model's source itself once its file
    // has been read far enough; a command file leaves it to its lines.
    if (ExecuteCommand(command.GetText()) != 0) return false;
    RunFileOpenCommandFile();
    return true;
}

bool NKCommandOpenInterface(int iKind, const char *pszFileName)
{
    // The native, LS-DYNA and reservoir readers take the file named: one
    // that cannot be read, or holds nothing, is refused before the source
    // and the model before it are touched.
    if (iKind == NK_INTERFACE_NATIVE || iKind == NK_INTERFACE_LSDYNA ||
        iKind == NK_INTERFACE_RESERVOIR) {
        const std::string why = NKInputFileProblem(pszFileName);
        if (!why.empty()) {
            ReportOpenFailure(iKind, 0);
            NKPrintFileProblem(pszFileName, why.c_str());
            return false;
        }
    }
    NKWaitCursor cursor;
    // A reader's error may not say which file it read: the failure's last
    // line names it.
    NKFileReport report(pszFileName);
    // The source before this one is closed to open the new file, but the
    // model stays until the new file has given its first geometry: a file
    // that fails before that gets the source before it back.
    const NKDataSourceMark previous = NKMarkInterface();
    const AxisScales before = GetAxisScales();
    NKCloseInterfaceQuietly();
    int iCode = OpenInterface(iKind, pszFileName);
    if (iCode != 1) {
        ReportOpenFailure(iKind, iCode);
        report.Failed();
        return KeepPreviousModel(previous, before);
    }
    NKSetStatusText("Reading Geometry...");
    int iStep = 0;
    NKGeometry *pGeo = FirstGeometry(&iStep);
    if (pGeo == nullptr) {
        NKPrintError("Error reading geometry.");
        report.Failed();
        return KeepPreviousModel(previous, before);
    }
    const AxisScales read = GetAxisScales();
    if (!ResetStateBeforeLoad(pszFileName)) {
        NKReleaseGeometry(pGeo);
        NKCloseInterface();
        return false;
    }
    // Scales the reader set belong to the new model and outlive the reset.
    if (read != before) SetAxisScales(read);
    NKSetFrameCount(1, false);
    if (!ComputeGeometryData(pGeo, 0, 0, iStep, 0, NKUpdateInterfaceVisibility)) {
        NKDiagnostic("Error Inserting Geometry", "NKCommandOpenInterface");
        return FailOpen();
    }
    NKSetDefaultPartAttributes(pGeo, -1, -1);
    NKSetStatusText("Updating geometry...");
    if (!NKRefreshMenusForModel()) {
        NKDiagnostic("Error Updating New Geomety", "NKCommandOpenInterface");
        return FailOpen();
    }
    RefreshAfterLoad(pszFileName);
    NKSetStatusText("Done.");
    NKApplyScalarToFrames(nullptr, 0, 0);
    NKApplyVectorToFrames(nullptr, 0, 0);
    if (!AfterFirstState(iKind, iStep)) return false;
    NKSetupLevelOfDetail();
    return true;
}
