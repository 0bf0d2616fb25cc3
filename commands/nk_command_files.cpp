// commands/nk_command_files.cpp -- the command-file runner, the commands
// source, repeatfile, pausefile and resumefile, and the file commands that
// close files, keep settings, start tests and write geometry and views (see
// nk_command_files.h).
//
// The runner switches the information lines off by one level while it runs
// the lines of a file (unless command debugging is on), so that a script
// does not flood the output; the warnings and errors of its lines are shown,
// a failing line's own reason first. Its own reports -- a file that cannot
// be opened, a failing line, the nesting limit -- are printed with the
// output switched on for that report, or nobody would see why a script went
// wrong.
#include "commands/nk_command_files.h"

#include <chrono>
#include <cstdio>
#include <string>

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_log.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "commands/nk_command_table.h"
#include "commands/nk_load_sequence.h"
#include "commands/nk_open_commands.h"
#include "commands/nk_part_range.h"
#include "core/nk_file.h"
#include "core/nk_file_read.h"
#include "core/nk_file_report.h"
#include "core/nk_frames.h"
#include "core/nk_geometry_writers.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_output_file.h"
#include "core/nk_process.h"
#include "core/nk_progress.h"
#include "platform/nk_key_filter.h"

void NKPausedCommandFile::Reset()
{
    fileName = "";
    lineReached = 0;
    repeatCount = 0;
    repetition = 0;
    directory = "";
}

namespace {

// The wait cursor of long operations.
const int kBusyCursor = NK_CURSOR_WAIT;
// The interface is repainted between lines at most this often.
const std::chrono::milliseconds kRepaintInterval(50);

NKPausedCommandFile &PausedRecord() { return g_CommandRunner.Paused; }

// One run of a file, from its start or from a pause.
struct FileRun {
    NKString fileName;
    FILE *pFile = nullptr;
    int iLine = 0;  // lines read in the current repetition
    int iRepetition = 0;
    int iCount = 0;
    bool bNested = false;  // another file was running when this one started
    bool bDebug = false;   // the debug mode this run last saw
    // The run's "information off" request, held while it runs its lines
    // outside debug mode.
    NKMessagesOff quiet{false, NKMessagesOff::INFORMATION_LINES};
};

// Prints with the message output switched on for this one text.
void PrintShown(const char *pszText, int iLevel) { NKPrintMessageShown(pszText, iLevel); }

void ShowError(const char *pszText) { PrintShown(pszText, NK_MSG_ERROR); }

// Reads one line of any length; the line end (LF, and a CR before it) is
// not part of the line. False at the end of the file.
bool ReadLine(FILE *pFile, std::string *pLine)
{
    pLine->clear();
    int c;
    while ((c = std::fgetc(pFile)) != EOF) {
        if (c == '\n') break;
        pLine->push_back((char)c);
    }
    if (c == EOF && pLine->empty()) return false;
    if (!pLine->empty() && pLine->back() == '\r') pLine->pop_back();
    return true;
}

// Opens a command file for reading; null when it cannot be opened or is no
// regular file (fopen opens a directory on Linux, and reading it would then
// end at once as if an empty file had run). The error shown then is
// followed by the line naming the file and why.
FILE *OpenCommandFile(const char *pszFileName, std::string *pWhy)
{
    return NKOpenRegularFile(pszFileName, pWhy);
}

// The report of a command file that cannot be opened: the runner's line,
// then the file's name and why.
void ShowOpenError(const char *pszText, const char *pszFileName, const std::string &why)
{
    ShowError(pszText);
    ShowError(NKFileProblemLine(pszFileName, why).c_str());
}

void CloseFile(FileRun *pRun)
{
    if (pRun->pFile != nullptr) std::fclose(pRun->pFile);
    pRun->pFile = nullptr;
}

// A run keeps the information lines of the lines it runs quiet; their
// warnings and errors (why a line failed, what a load found missing) are
// shown.
void OutputOff(FileRun *pRun) { pRun->quiet.Hold(); }

void OutputOn(FileRun *pRun) { pRun->quiet.Release(); }

// Every way out of a run that did not end normally. A nested run hands the
// flag back to the file that ran it, which still runs (after an abort that
// file stops too, and the outermost run clears the flag).
int StopRun(FileRun *pRun)
{
    g_CommandRunner.bRunningCommandFile = pRun->bNested;
    OutputOn(pRun);
    CloseFile(pRun);
    return 1;
}

void RepaintNowAndThen()
{
    auto now = std::chrono::steady_clock::now();
    if (now - g_CommandRunner.LastRepaint < kRepaintInterval) return;
    g_CommandRunner.LastRepaint = now;
    NKKeyFilterProcessEvents();
}

int PauseRun(FileRun *pRun)
{
    NKPausedCommandFile &paused = PausedRecord();
    paused.Reset();
    paused.fileName = pRun->fileName;
    paused.lineReached = pRun->iLine;
    paused.repeatCount = pRun->iCount;
    paused.repetition = pRun->iRepetition;
    NKGetCurrentDirectory(&paused.directory);
    g_CommandRunner.bCommandFilePaused = true;
    g_CommandRunner.bRunningCommandFile = false;
    OutputOn(pRun);
    CloseFile(pRun);
    NKSetStatusText("Execution of command file paused. Press 'c' to continue.");
    NKPrintInfo(NKString::FromFormat("Command file paused after line %d \nUse \"resumefile\" or "
                                     "press 'c' to continue",
                                     pRun->iLine)
                    .GetText());
    return 0;
}

void ReportFailedLine(const FileRun &run, const std::string &line)
{
    NKString text("Error in file: ");
    text += run.fileName;
    text += "\nLine: ";
    text += run.iLine;
    text += "\nCommand: ";
    text += line.c_str();
    ShowError(text.GetText());
    NKEndMessageCollection();
    // The question "Do you want to continue reading commands from command
    // file ?" answers yes without being shown: a failing line never stops
    // the file.
}

// Runs the line just read and looks at the keys. Returns -1 to go on with
// the next line, else the result of the whole run.
int RunOneLine(FileRun *pRun, const std::string &line)
{
    pRun->iLine++;
    int iResult = ExecuteCommand(line.c_str());
    bool bPause = false;
    if (iResult == 4) {
        if (pRun->bNested)  // shown, or nobody would see why the file went on
            PrintShown("Pausing of command files not supported in nested files", NK_MSG_WARNING);
        else
            bPause = true;
        iResult = 0;
    }
    if (g_CommandRunner.bAbortAllFiles) return StopRun(pRun);  // Esc in a file this one ran
    RepaintNowAndThen();
    if (NKKeyFilterWasPressed(NK_FILTER_KEY_ESCAPE)) {
        g_CommandRunner.bAbortAllFiles = true;
        StopRun(pRun);
        PrintShown("Command file aborted", NK_MSG_INFO);
        return 1;
    }
    if (NKKeyFilterWasPressed(NK_FILTER_KEY_SPACE)) bPause = true;
    if (bPause && !pRun->bNested) return PauseRun(pRun);
    if (g_CommandRunner.bDebugCommands != pRun->bDebug) {
        // A debugcommands line: its mode decides whether this run keeps
        // the output off.
        pRun->bDebug = g_CommandRunner.bDebugCommands;
        if (pRun->bDebug)
            OutputOn(pRun);
        else
            OutputOff(pRun);
    }
    if (iResult != 0) ReportFailedLine(*pRun, line);
    return -1;
}

// The run from its set-up to its end, with pRun's file possibly open
// already (a resumed run).
int RunLines(FileRun *pRun)
{
    PausedRecord().Reset();
    g_CommandRunner.bCommandFilePaused = false;
    pRun->bNested = g_CommandRunner.bRunningCommandFile;
    if (pRun->iCount == 0) {
        CloseFile(pRun);
        return 1;
    }
    g_CommandRunner.bRunningCommandFile = true;
    NKTimerStart(nullptr);
    // Only presses from now on count.
    NKKeyFilterWasPressed(NK_FILTER_KEY_ESCAPE);
    NKKeyFilterWasPressed(NK_FILTER_KEY_SPACE);
    pRun->bDebug = g_CommandRunner.bDebugCommands;
    if (!pRun->bDebug) OutputOff(pRun);

    std::string line;
    while (pRun->iRepetition < pRun->iCount) {
        if (pRun->pFile == nullptr) {
            std::string why;
            pRun->pFile = OpenCommandFile(pRun->fileName.GetText(), &why);
            if (pRun->pFile == nullptr) {
                ShowOpenError("Error running command file. Could not find file.",
                              pRun->fileName.GetText(), why);
                return StopRun(pRun);
            }
        }
        if (!ReadLine(pRun->pFile, &line)) {
            CloseFile(pRun);
            pRun->iRepetition++;
            pRun->iLine = 0;  // lines count within each repetition
            continue;
        }
        int iEnd = RunOneLine(pRun, line);
        if (iEnd >= 0) return iEnd;
    }
    OutputOn(pRun);
    NKTimerStop("Time used executing command file: ");
    if (!pRun->bNested) g_CommandRunner.bRunningCommandFile = false;
    return 0;
}

// Opens the paused file and skips the lines it ran before the pause.
int ResumeRun(FileRun *pRun)
{
    NKPausedCommandFile &paused = PausedRecord();
    if (g_CommandRunner.bRunningCommandFile) {
        paused.Reset();
        g_CommandRunner.bCommandFilePaused = false;
        ShowError("Cannot resume paused file while executing command file.");
        return 1;
    }
    if (paused.fileName.IsBlank() || !g_CommandRunner.bCommandFilePaused) {
        paused.Reset();
        g_CommandRunner.bCommandFilePaused = false;
        ShowError("Cannot resume, no file currently paused.");
        return 1;
    }
    pRun->fileName = paused.fileName;
    pRun->iLine = paused.lineReached;
    pRun->iCount = paused.repeatCount;
    pRun->iRepetition = paused.repetition;
    // The paused name is relative to the directory of the pause: without
    // that directory, a file of the same name elsewhere must not be run.
    bool bInDirectory = NKChangeDirectory(paused.directory, nullptr);
    paused.Reset();
    g_CommandRunner.bCommandFilePaused = false;

    std::string why = "its folder is gone";
    if (bInDirectory) pRun->pFile = OpenCommandFile(pRun->fileName.GetText(), &why);
    if (pRun->pFile == nullptr) {
        ShowOpenError("Error resuming command file execution. Could not open file.",
                      pRun->fileName.GetText(), why);
        return 1;
    }
    std::string line;
    for (int i = 0; i < pRun->iLine; i++) {
        if (!ReadLine(pRun->pFile, &line)) {
            ShowError("Error resuming command file execution. File length might have changed.");
            CloseFile(pRun);
            return 1;
        }
    }
    return RunLines(pRun);
}

// Counts the runners inside one another; the outermost one forgets an
// abort once every file has stopped.
struct DepthGuard {
    DepthGuard()
    {
        g_CommandRunner.iFileDepth++;
        NKKeyFilterBegin();
    }
    ~DepthGuard()
    {
        NKKeyFilterEnd();
        if (--g_CommandRunner.iFileDepth == 0) g_CommandRunner.bAbortAllFiles = false;
    }
};

}  // namespace

const NKPausedCommandFile &NKGetPausedCommandFile(void) { return PausedRecord(); }

int NKGetCommandFileDepth(void) { return g_CommandRunner.iFileDepth; }

int NKCommandRunFile(const char *pszFileName, int iRepeatCount, bool bResume)
{
    if (g_CommandRunner.iFileDepth >= NK_MAX_COMMAND_FILE_DEPTH) {
        ShowError("Command files nested too deeply");
        return 1;
    }
    DepthGuard guard;
    FileRun run;
    if (bResume) return ResumeRun(&run);
    run.fileName = pszFileName != nullptr ? pszFileName : "";
    run.iCount = iRepeatCount;
    return RunLines(&run);
}

// ---- The commands ----------------------------------------------------------

namespace {

// True (after the message) when the name is the file the command log writes.
bool IsLogFile(const NKString &name)
{
    if (!g_CommandRunner.bLogCommands || name != g_CommandRunner.szLogFileName) return false;
    NKPrintError(NKString::FromFormat("Already logging commands to %s \nYou must stop logging "
                                      "before you can open the command file.",
                                      name.GetText())
                     .GetText());
    return true;
}

// The file argument; reports the missing name through the command.
bool ReadFileName(CommandTableEntry *pEntry, NKArgumentScan *pScan, NKString *pName)
{
    *pName = pScan->NextArgument();
    if (!pName->IsEmpty()) return true;
    NKCommandError(pEntry, "Cannot open file for reading. No filename specified");
    return false;
}

int CommandSource(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name;
    if (!ReadFileName(pEntry, pScan, &name)) return 1;
    // Checked before the run moves into the file's directory, so that the
    // file is named as the user gave it.
    const std::string why = NKFileProblem(name.GetText());
    if (!why.empty()) {
        ShowOpenError("Error running command file. Could not find file.", name.GetText(), why);
        return 1;
    }
    if (!g_CommandRunner.bRunningCommandFile) {
        g_CommandRunner.szCurrentCommandFile = name;
        // The file runs from its own directory, where its name as given may
        // name another file: the recent-file list takes the full path.
        if (!NKGetFullPath(name.GetText(), &g_CommandRunner.szCurrentCommandFilePath))
            g_CommandRunner.szCurrentCommandFilePath = name;
    }
    if (IsLogFile(name)) return 1;

    // The file runs in its own directory, so that the files it names
    // relative to itself are found.
    NKString savedDirectory;
    NKGetCurrentDirectory(&savedDirectory);
    // When the file's directory cannot be entered, the name stays whole, so
    // that a file of the same name in the current directory is not run.
    NKString fileName = name;
    if (NKChangeToFileDirectory(name.GetText())) fileName = name.GetFileName();
    NKSetStatusText("Reading commands from file...");
    int iPreviousCursor = SetInteractionCursor(kBusyCursor);
    int iResult = NKCommandRunFile(fileName.GetText(), 1, false);
    SetInteractionCursor(iPreviousCursor);
    NKChangeDirectory(savedDirectory, nullptr);

    if (iResult != 0) {
        NKSetStatusText("");
        return 1;
    }
    if (g_CommandRunner.bCommandFilePaused) return 1;
    NKPrintInfo(NKString::FromFormat("Commands read from file %s.", fileName.GetText()).GetText());
    return 0;
}

int CommandRepeatFile(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name;
    if (!ReadFileName(pEntry, pScan, &name)) return 1;
    NKString countWord = pScan->NextToken();
    int iCount = countWord.IsNull() ? 1 : countWord.ToInt();
    if (IsLogFile(name)) return 1;
    if (NKCommandRunFile(name.GetText(), iCount, false) != 0) return 1;
    NKPrintInfo(NKString::FromFormat("Commands read from file %s %d times.", name.GetText(), iCount)
                    .GetText());
    return 0;
}

int CommandPauseFile()
{
    if (!g_CommandRunner.bRunningCommandFile) {
        NKPrintError("Cannot pause command file execution, no command file is being executed");
        return 1;
    }
    return 4;
}

int CommandResumeFile()
{
    if (!g_CommandRunner.bCommandFilePaused) {
        NKPrintError("Cannot resume command file execution, no command file paused");
        return 1;
    }
    NKSetStatusText("Resuming command file execution...");
    int iPreviousCursor = SetInteractionCursor(kBusyCursor);
    NKString savedDirectory;
    NKGetCurrentDirectory(&savedDirectory);
    int iResult = NKCommandRunFile("", 0, true);
    NKChangeDirectory(savedDirectory, nullptr);
    SetInteractionCursor(iPreviousCursor);
    if (iResult == 0 && g_CommandRunner.bCommandFilePaused) return 1;
    return iResult;
}

}  // namespace

// ---- Closing, settings, tests, geometry and view files ----------------------

namespace {

NKViewLineMaker sg_pfnViewLine = nullptr;
// The reports testdir and testopenperf run: NKRegisterBatchReports
// (nk_batch_reports.h) puts them here at start-up; while empty the
// commands fail.
NKBatchReportFunction sg_pfnTestDir = nullptr;
NKBatchReportFunction sg_pfnTestOpenPerf = nullptr;

void Info(const NKString &text) { NKPrintInfo(text.GetText()); }

// The name of a file to write; reports the missing name through the command.
bool WriteFileName(CommandTableEntry *pEntry, NKArgumentScan *pScan, NKString *pName)
{
    *pName = pScan->NextArgument();
    if (!pName->IsEmpty()) return true;
    NKCommandError(pEntry, "Cannot open file for writing. No filename specified");
    return false;
}

int CommandCloseFiles()
{
    ResetScene();
    NKPrintInfo("All files closed.");
    return 0;
}

int CommandKeepSettings(bool bKeep)
{
    bKeepSettings = bKeep ? 1 : 0;
    NKPrintInfo(bKeep ? "Keep current settings when loading a new primary file."
                      : "Reset all settings when loading a new primarty file (default).");
    return 0;
}

int CommandExportResultInfo(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name;
    if (!ReadFileName(pEntry, pScan, &name)) return 1;
    // The writer reports both its failure and its success.
    return ExportResultInfo(name.GetText()) ? 0 : 1;
}

int CommandTestCommands(NKArgumentScan *pScan)
{
    NKString commandFile = pScan->NextArgument();
    NKString logFile = pScan->NextArgument();
    g_CommandRunner.szTestCommandFile = commandFile.IsNull() ? NKString("") : commandFile;
    g_CommandRunner.szTestLogFile =
        logFile.IsEmpty() ? NKString::FromFormat("%s.log", "Quolin") : logFile;
    Info(NKString::FromFormat("Testing commands and logging to file %s.",
                              g_CommandRunner.szTestLogFile.GetText()));
    return 0;
}

// `testdir` and `testopenperf`: directory (required), mask and output file.
// A report that fails answers 1 without the closing line.
int CommandBatchReport(CommandTableEntry *pEntry, const char *pszArguments,
                       NKBatchReportFunction pfnReport, const char *pszDefaultOutput,
                       const char *pszDoneFormat)
{
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    NKString directory;
    NKString mask("*.*");
    NKString output(pszDefaultOutput);
    if (!params.NKGetFirstParameterString(&directory, true, NK_PARAM_STRING_TOKEN) ||
        !params.NKGetParameterString(&mask, false, NK_PARAM_STRING_TOKEN) ||
        !params.NKGetParameterString(&output, false, NK_PARAM_STRING_TOKEN))
        return 1;
    bool bDone = false;
    if (pfnReport != nullptr) {
        NKWaitCursor cursor;
        bDone = pfnReport(directory.GetText(), mask.GetText(), output.GetText());
    }
    if (!bDone) return 1;
    Info(
        NKString::FromFormat(pszDoneFormat, directory.GetText(), mask.GetText(), output.GetText()));
    return 0;
}

// `writegeometry <file> [<frame>]`: the frame counts from 1.
int CommandWriteGeometry(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name;
    if (!WriteFileName(pEntry, pScan, &name)) return 1;
    NKString frameWord = pScan->NextToken();
    int iFrame = frameWord.IsEmpty() ? 1 : frameWord.ToInt();
    int iNumFrames = g_pModel != nullptr ? g_pModel->iNumFrames : 0;
    if (iFrame < 1 || iFrame > iNumFrames) {
        NKCommandError(
            pEntry,
            NKString::FromFormat("Frame %d out of range  (1 - %d)", iFrame, iNumFrames).GetText());
        return 1;
    }
    NKWaitCursor cursor;
    if (!NKModelHasGeometry()) return 0;
    NKFileReport report(name.GetText());
    if (!NKWriteGeometryFile(g_pModel->pFrames[iFrame - 1].pGeometry, name.GetText())) {
        NKPrintError("Error writing geometry file");
        report.Failed(NKWriteProblem(name.GetText()).c_str());
        return 1;
    }
    Info(NKString::FromFormat("Geometry from frame %d written to file %s", iFrame, name.GetText()));
    return 0;
}

// `writeparts <file> [<from part> <to part>]`: parts of the current frame.
int CommandWriteParts(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name;
    if (!WriteFileName(pEntry, pScan, &name)) return 1;
    int iFrom = 0, iTo = 0;
    NKString errorText;
    if (NKCommandGetPartRange(pScan, &iFrom, &iTo, nullptr, &errorText, false) ==
        NK_PART_RANGE_ERROR) {
        NKCommandError(pEntry, errorText.GetText());
        return 1;
    }
    NKWaitCursor cursor;
    if (!NKModelHasGeometry()) return 0;
    // The writer prints its own messages, its failure included.
    return NKWritePartsToBYUFile(NKGetCurrentFrame(), name.GetText(), iFrom - 1, iTo - 1) ? 0 : 1;
}

// `saveview [<file>]`: one set-view line, written in one go.
int CommandSaveView(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name = pScan->NextArgument();
    if (name.IsEmpty()) name = NKString::FromFormat("%s.vif", "Quolin");
    NKString line("setview  0 0 0 1 0 0 0");
    if (sg_pfnViewLine != nullptr) sg_pfnViewLine(&line);
    NKOutputFile out;
    if (!out.Open(name.GetText())) {
        NKCommandError(
            pEntry,
            NKString::FromFormat("Unable to open file for writing: %s", name.GetText()).GetText());
        return 1;
    }
    Info(NKString::FromFormat("Writing view to file: %s", name.GetText()));
    out.Printf("%s\n", line.GetText());
    if (!out.Commit()) {
        NKCommandError(pEntry,
                       NKString::FromFormat("Error writing file: %s", name.GetText()).GetText());
        return 1;
    }
    return 0;
}

}  // namespace

NKViewLineMaker NKSetViewLineMaker(NKViewLineMaker pfnMaker)
{
    NKViewLineMaker pfnPrevious = sg_pfnViewLine;
    sg_pfnViewLine = pfnMaker;
    return pfnPrevious;
}

NKBatchReportFunction NKSetTestDirFunction(NKBatchReportFunction pfnReport)
{
    NKBatchReportFunction pfnPrevious = sg_pfnTestDir;
    sg_pfnTestDir = pfnReport;
    return pfnPrevious;
}

NKBatchReportFunction NKSetTestOpenPerfFunction(NKBatchReportFunction pfnReport)
{
    NKBatchReportFunction pfnPrevious = sg_pfnTestOpenPerf;
    sg_pfnTestOpenPerf = pfnReport;
    return pfnPrevious;
}

int NKCommandHandleFiles(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();  // "PARAMS"
    switch (pEntry->id) {
    case NK_CID_SOURCE:
        return CommandSource(pEntry, &scan);
    case NK_CID_REPEATFILE:
        return CommandRepeatFile(pEntry, &scan);
    case NK_CID_PAUSEFILE:
        return CommandPauseFile();
    case NK_CID_RESUMEFILE:
        return CommandResumeFile();
    case NK_CID_CLOSEINTERFACE:
        NKCommandCloseInterface();
        return 0;
    case NK_CID_CLOSEFILES:
        return CommandCloseFiles();
    case NK_CID_KEEPSETTINGS:
        return CommandKeepSettings(true);
    case NK_CID_NOKEEPSETTINGS:
        return CommandKeepSettings(false);
    case NK_CID_EXPORTRESULTINFO:
        return CommandExportResultInfo(pEntry, &scan);
    case NK_CID_TESTCOMMANDS:
        return CommandTestCommands(&scan);
    case NK_CID_TESTDIR:
        return CommandBatchReport(pEntry, pszArguments, sg_pfnTestDir, "QuolinTest.log",
                                  "Testing dir %s files %s output %s COMPLETE.");
    case NK_CID_TESTOPENPERF:
        return CommandBatchReport(pEntry, pszArguments, sg_pfnTestOpenPerf, "FileOpenPerf.log",
                                  "Fileopen performance for dir %s files %s output %s COMPLETE.");
    case NK_CID_WRITEGEOMETRY:
        return CommandWriteGeometry(pEntry, &scan);
    case NK_CID_WRITEPARTS:
        return CommandWriteParts(pEntry, &scan);
    case NK_CID_SAVEVIEW:
        return CommandSaveView(pEntry, &scan);
    default:
        break;
    }
    // The open, read and state commands, then the log and the poll file,
    // share the handler.
    int iResult = NKCommandHandleOpenRows(pEntry, pszArguments);
    if (iResult != 3) return iResult;
    iResult = NKCommandHandleExportRows(pEntry, pszArguments);
    if (iResult != 3) return iResult;
    if (NKCommandHandler pfnImages = NKGetImageCommandHandler()) {
        iResult = pfnImages(pEntry, pszArguments);
        if (iResult != 3) return iResult;
    }
    return NKCommandHandleLog(pEntry, pszArguments);
}

// The file commands run nested command lines (nkf open reads its geometry
// with "nkf geo"), so registering them also lets core run command lines.
void NKRegisterFileCommands(void)
{
    NKSetCommandHandler(NK_HANDLER_FILES, NKCommandHandleFiles);
    NKInstallCommandHooks();
}
