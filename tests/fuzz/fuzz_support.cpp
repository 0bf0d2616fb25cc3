// tests/fuzz/fuzz_support.cpp -- see fuzz_support.h.
#include "tests/fuzz/fuzz_support.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>

#include "app/nk_app_records.h"
#include "app/nk_shell_services.h"
#include "app/nk_system_commands.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_diagnostic.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_plot_records.h"
#include "core/nk_program_directory.h"
#include "export/nk_bmp_files.h"
#include "export/nk_image_commands.h"
#include "export/nk_plot_output.h"
#include "plot/nk_plot_commands.h"
#include "plot/nk_plot_source.h"
#include "readers/nk_data_source.h"
#include "render/nk_camera.h"
#include "render/nk_fringe_commands.h"
#include "render/nk_material_commands.h"
#include "render/nk_part_display_commands.h"
#include "render/nk_render_mode_commands.h"
#include "render/nk_transform_commands.h"
#include "render/nk_viewpoint_commands.h"
#include "tests/test_support/nkf_example_models.h"
#include "tests/test_support/test_files.h"
#include "tools/nk_annotation_commands.h"
#include "tools/nk_cut_plane_commands.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_texture_commands.h"

namespace {

void DropMessage(const char *, int, void *) {}

std::map<std::string, NKFuzzBody> &Registry()
{
    static std::map<std::string, NKFuzzBody> s_Registry;
    return s_Registry;
}

// The folder of the model every command input meets (not cleared between
// inputs, unlike NKFuzzDir()).
std::string sg_ModelDir;

void RemoveDirAtExit(void)
{
    NKTestRemoveDir(NKFuzzDir());
    if (!sg_ModelDir.empty()) NKTestRemoveDir(sg_ModelDir);
}

// The example beam of two hexahedra with all its blocks and steps: the
// example's own hundred nodes would make each input ten times slower to
// open, and the fuzzer's speed is its reach.
const std::string &SmallBeamPath(void)
{
    static std::string s_Path;
    if (s_Path.empty()) {
        NKFuzzDir();  // removes the model folder at exit too
        sg_ModelDir = NKTestMakeTempDir("quolin_fuzz_model_");
        s_Path = sg_ModelDir + "/beam.nkf";
        if (!NKTestWriteText(s_Path, NKFBeamText(2, 1, 1))) s_Path = NKTestExamplePath("beam.nkf");
    }
    return s_Path;
}

}  // namespace

bool NKFuzzRegister(const char *pszName, NKFuzzBody pfnBody)
{
    Registry()[pszName] = pfnBody;
    return true;
}

NKFuzzBody NKFuzzFind(const char *pszName)
{
    auto it = Registry().find(pszName);
    return it == Registry().end() ? nullptr : it->second;
}

void NKFuzzQuiet(void)
{
    static bool s_bDone = false;
    if (s_bDone) return;
    s_bDone = true;
    // QUOLIN_FUZZ_VERBOSE=1 keeps them, to read what a found input does.
    const char *pszVerbose = std::getenv("QUOLIN_FUZZ_VERBOSE");
    if (pszVerbose == nullptr || *pszVerbose == '\0' || *pszVerbose == '0')
        NKSetMessageSink(&DropMessage, nullptr);
}

const std::string &NKFuzzDir(void)
{
    static std::string s_Dir;
    if (s_Dir.empty()) {
        s_Dir = NKTestMakeTempDir("quolin_fuzz_");
        std::atexit(&RemoveDirAtExit);
    }
    return s_Dir;
}

std::string NKFuzzWrite(const char *pszName, const uint8_t *pData, size_t nSize)
{
    std::string path = NKFuzzDir() + "/" + pszName;
    NKTestWriteBytes(path, pData, nSize);
    return path;
}

std::string NKFuzzWrite(const char *pszName, const std::string &bytes)
{
    return NKFuzzWrite(pszName, reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
}

NKFuzzInDir::NKFuzzInDir()
{
    std::error_code ec;
    m_Previous = std::filesystem::current_path(ec).string();
    std::filesystem::current_path(NKFuzzDir(), ec);
}

NKFuzzInDir::~NKFuzzInDir()
{
    std::error_code ec;
    if (!m_Previous.empty()) std::filesystem::current_path(m_Previous, ec);
}

void NKFuzzClearDir(void)
{
    std::error_code ec;
    for (const auto &entry : std::filesystem::directory_iterator(NKFuzzDir(), ec))
        std::filesystem::remove_all(entry.path(), ec);
}

std::vector<std::string> NKFuzzSplit(const uint8_t *pData, size_t nSize, size_t nParts)
{
    std::string all(reinterpret_cast<const char *>(pData), nSize);
    const std::string sep = NK_FUZZ_SEPARATOR;
    std::vector<std::string> parts;
    size_t iFrom = 0;
    while (parts.size() + 1 < nParts) {
        size_t iAt = all.find(sep, iFrom);
        if (iAt == std::string::npos) break;
        parts.push_back(all.substr(iFrom, iAt - iFrom));
        iFrom = iAt + sep.size();
    }
    parts.push_back(all.substr(std::min(iFrom, all.size())));
    parts.resize(nParts);
    return parts;
}

void NKFuzzReadDataSource(int iKind, const std::string &path)
{
    NKFuzzQuiet();
    NKInstallDataSources();
    if (OpenInterface(iKind, path.c_str()) == 1) {
        NKGetInterfaceStepNames();
        NKGetInterfaceScalarNames();
        NKGetInterfaceVectorNames();
        int iSteps = std::min(NKGetInterfaceNumSteps(), 2);
        for (int iStep = 0; iStep < std::max(iSteps, 1); iStep++) {
            NKGeometry *pGeo = NKGetInterfaceGeometry(iStep);
            NKGetInterfaceStepTime(iStep);
            if (pGeo == nullptr) continue;
            pGeo->iNumRef++;
            for (int i = 0; i < std::min(NKGetInterfaceNumScalars(), 16); i++) {
                NKScalarResult *pScalar = NKGetInterfaceScalar(i, iStep, pGeo, true);
                if (pScalar != nullptr && pScalar->iNumRef == 0) NKReleaseScalarResult(pScalar);
                NKIsInterfaceElementScalar(i);
                NKGetInterfaceElementScalarValue(i, 0);
            }
            for (int i = 0; i < std::min(NKGetInterfaceNumVectors(), 16); i++) {
                NKVectorResult *pVector = NKGetInterfaceVector(i, iStep, pGeo, true);
                if (pVector != nullptr && pVector->iNumRef == 0) NKReleaseVectorResult(pVector);
            }
            for (int i = 0; i < 16; i++) {
                NKSeparateVectorField *pField = NKGetInterfaceTransformation(i, iStep, pGeo, true);
                if (pField == nullptr) break;
                if (pField->iNumRef == 0) NKReleaseSeparateVectorField(pField);
            }
            NKFrame frame;
            NKInitFrame(&frame);
            frame.pGeometry = pGeo;
            pGeo->iNumRef++;
            NKUpdateInterfaceVisibility(iStep, &frame);
            NKReleaseFrame(&frame);
            NKGetInterfaceNumElements();
            NKGetInterfaceNumNodes();
            NKReleaseGeometry(pGeo);
        }
    }
    NKCloseInterface();
}

void NKFuzzReadPlotSource(int iSource, const std::string &path)
{
    NKFuzzQuiet();
    if (NKPlotSourceInit(iSource, path.c_str())) {
        int iCategories = std::min(NKPlotSourceGetCategoryCount(), 8);
        char **ppCategories = NKPlotSourceGetCategoryNames();
        NKFreeBlockArray(reinterpret_cast<void **>(ppCategories), NKPlotSourceGetCategoryCount());
        for (int iCat = 0; iCat < iCategories; iCat++) {
            int iComponents = std::min(NKPlotSourceGetComponentCount(iCat), 8);
            char **ppComponents = NKPlotSourceGetComponentNames(iCat);
            NKFreeBlockArray(reinterpret_cast<void **>(ppComponents),
                             NKPlotSourceGetComponentCount(iCat));
            for (int iComp = 0; iComp < iComponents; iComp++) {
                int iSeries = NKPlotSourceGetSeriesCount(iCat, iComp);
                char **ppSeries = NKPlotSourceGetSeriesNames(iCat, iComp);
                // The first 256 series, as many as a plot shows.
                int iAsk = std::min(iSeries, 256);
                if (ppSeries != nullptr && iAsk > 0) {
                    std::vector<PlotCurve *> curves((size_t)iAsk, nullptr);
                    int iRead = NKPlotSourceReadCurves(iCat, iComp, ppSeries, iAsk, curves.data());
                    NKFreePlotCurves(curves.data(), std::max(0, std::min(iRead, iAsk)));
                }
                NKFreeBlockArray(reinterpret_cast<void **>(ppSeries), iSeries);
                NKFreePlotCurve(NKPlotSourceReadCurve(iCat, iComp, 0));
                PlotRecord *pPlot = NKCreatePlot();
                if (pPlot != nullptr) {
                    NKPlotSourceSetDefaults(pPlot);
                    NKPlotSourceSetTitles(pPlot, iCat, iComp);
                    NKFreePlot(pPlot);
                }
            }
        }
        if (NKPlotSourceNeedsGeometry(iSource)) {
            NKGeometry *pGeo = NKPlotSourceReadGeometry(0);
            if (pGeo != nullptr && pGeo->iNumRef == 0) NKReleaseGeometry(pGeo);
        }
    }
    NKPlotSourceClose();
}

// ---- The program without a window ----------------------------------------------

namespace {

NKCommandHandler sg_pfnFilesHandler = nullptr;

// Command words a fuzzed line never runs: they start or talk to other
// programs, open sockets, print, wait on timers or the user, need a window
// or a GL context that the run has not, or end the program.
const char *const sg_apszRefused[] = {"launch",
                                      "dde",
                                      "nodde",
                                      "print",
                                      "exit",
                                      "quit",
                                      "forceregisterfiles",
                                      "socket",
                                      "benchmark",
                                      "testcommands",
                                      "testdir",
                                      "testopenperf",
                                      "pollfile",
                                      "poll_delay",
                                      "pausefile",
                                      "resumefile",
                                      "repeatfile",
                                      "delay",
                                      "start_delay",
                                      "stop_delay",
                                      "sound",
                                      "audio",
                                      "menu",
                                      "usermenu",
                                      "menubox",
                                      "fullscreen",
                                      "winposition",
                                      "scrsz",
                                      "showinfodialog",
                                      "showresultsdialog",
                                      "showpixelformats",
                                      "toolbar",
                                      "statusbar",
                                      "listfonts",
                                      "openglinfo",
                                      "sysinfo",
                                      "makemovie",
                                      "makempeg",
                                      "makeoldmpeg",
                                      "makeavi",
                                      "makeanimgif",
                                      "makebmp",
                                      "makegif",
                                      "makeppm",
                                      "makergb",
                                      "maketiff",
                                      "captgif",
                                      "captppm",
                                      "captrgb",
                                      "capttiff",
                                      "capteps",
                                      "tobmp",
                                      "togif",
                                      "toppm",
                                      "torgb",
                                      "totiff",
                                      "toeps",
                                      "tops",
                                      "toclipboard",
                                      "plot",
                                      "plt",
                                      "th",
                                      "np",
                                      "dp",
                                      "lp",
                                      "rplot",
                                      "eplot",
                                      "fileplot",
                                      "trace",
                                      "cd",
                                      "dir",
                                      "ls",
                                      "animexport",
                                      "anim_run",
                                      "spin",
                                      "walk",
                                      "cwalk",
                                      "tooltip"};

bool IsRefused(const CommandTableEntry *pEntry, const char *pszArguments)
{
    std::string word(pEntry->name);
    word = word.substr(0, word.find(' '));
    for (const char *psz : sg_apszRefused)
        if (word == psz) return true;
    std::string args(pszArguments);
    return args.find_first_of("/\\~$") != std::string::npos || args.find("..") != std::string::npos;
}

// On while fuzzed lines run; off while the harness opens the example.
bool sg_bGuardOn = false;

int GuardHandler(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (sg_bGuardOn && IsRefused(pEntry, pszArguments)) return NK_CMD_DONE;
    return sg_pfnFilesHandler != nullptr ? sg_pfnFilesHandler(pEntry, pszArguments)
                                         : NK_CMD_NOT_MINE;
}

bool StartProgram(void)
{
    static int s_iStarted = 0;
    if (s_iStarted != 0) return s_iStarted > 0;
    s_iStarted = -1;
    NKFuzzQuiet();
    // Message boxes print instead of waiting.
    setenv("CI", "1", 1);
    setenv("HOME", NKFuzzDir().c_str(), 1);
    setenv("XDG_RUNTIME_DIR", NKFuzzDir().c_str(), 1);
    NKEnableFloatExceptions(false);
    NKInstallCommandHooks();
    NKInstallToolHooks();
    NKInstallShellHooks();
    if (!InitApplication()) return false;
    NKRegisterFileCommands();
    NKRegisterPartDisplayCommands();
    NKRegisterSystemCommands();
    NKRegisterCutPlaneCommands();
    NKRegisterViewpointCommands();
    NKRegisterFringeCommands();
    NKRegisterMaterialCommands();
    NKRegisterTransformCommands();
    NKRegisterRenderModeCommands();
    NKRegisterPlotCommands();
    NKRegisterImageCommands();
    NKRegisterPlotOutput();
    NKRegisterAnnotationCommands();
    NKRegisterTextureCommands();
    NKInstallTextureFileReaders();
    NKSetProgramDirectory(nullptr);
    InitRuntimeDefaults();
    NKInitNavigation(g_ViewMatrix, &g_InputState);
    sg_pfnFilesHandler = NKSetCommandHandler(NK_HANDLER_FILES, &GuardHandler);
    s_iStarted = 1;
    return true;
}

}  // namespace

bool NKFuzzProgramWithExample(void)
{
    if (!StartProgram()) return false;
    NKFuzzClearDir();
    sg_bGuardOn = false;
    std::string open = "open \"" + SmallBeamPath() + "\"";
    bool bOpened = ExecuteCommand(open.c_str()) == NK_CMD_DONE;
    sg_bGuardOn = true;
    return bOpened;
}

int NKFuzzRunLine(const std::string &line)
{
    if (!sg_bGuardOn) return NK_CMD_FAILED;
    return ExecuteCommand(line.c_str());
}

void NKFuzzRunLines(const uint8_t *pData, size_t nSize, int iMaxLines)
{
    std::string all(reinterpret_cast<const char *>(pData), nSize);
    size_t iFrom = 0;
    for (int n = 0; n < iMaxLines && iFrom < all.size(); n++) {
        size_t iEnd = all.find('\n', iFrom);
        if (iEnd == std::string::npos) iEnd = all.size();
        std::string line = all.substr(iFrom, iEnd - iFrom);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // A line holds no zero byte: the interpreter reads C strings.
        line = line.substr(0, line.find('\0'));
        NKFuzzRunLine(line);
        iFrom = iEnd + 1;
    }
}
