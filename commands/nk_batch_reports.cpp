// commands/nk_batch_reports.cpp -- the `testdir` and `testopenperf`
// reports. Both walk the matching entries of a directory with NKFileFinder
// and drive the program only through command lines (open, readstate,
// closefiles), so they exercise the readers and the command language end to
// end. The report is a stream: each line is written and flushed at once.
#include "commands/nk_batch_reports.h"

#include <filesystem>
#include <system_error>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_command_path.h"
#include "core/nk_file.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_shell_hooks.h"
#include "platform/nk_clock.h"
#include "readers/nk_data_source.h"

namespace {

using FileReport = bool (*)(NKBatchReport *pReport, const char *pszFileName);

// The absolute, normalised spelling of a path, so that the output file is
// recognised among the directory's entries however it was named.
std::filesystem::path FullPath(const char *pszPath)
{
    std::error_code error;
    std::filesystem::path full = std::filesystem::weakly_canonical(pszPath, error);
    if (error) full = std::filesystem::absolute(pszPath, error).lexically_normal();
    return full;
}

void Redraw(const NKBatchReport *pReport)
{
    if (pReport->bRedraw) NKRedrawView();
}

// The directory walk of both commands: the output file is opened before the
// directory changes, every entry but the output file is reported, and the
// previous directory comes back however the walk ends.
bool RunDirectoryReport(const char *pszDirectory, const char *pszMask, const char *pszOutput,
                        FileReport pfnReport)
{
    NKBatchReport report;
    report.directory = NKString(pszDirectory != nullptr ? pszDirectory : "");
    if (pszMask != nullptr && pszMask[0] != '\0') report.mask = NKString(pszMask);
    report.output = NKString(pszOutput != nullptr ? pszOutput : "");
    NKString previous;
    NKGetCurrentDirectory(&previous);
    report.pOutput = report.output.IsEmpty() ? nullptr : std::fopen(report.output.GetText(), "w");
    if (report.pOutput == nullptr) {
        NKPrintError("Illegal output file specified");
        return false;
    }
    const std::filesystem::path outputPath = FullPath(report.output.GetText());
    if (report.directory.IsEmpty() || NKChangeDirectory(report.directory, nullptr)) {
        NKFileFinder finder;
        for (NKString name = finder.FindFirst(report.mask.GetText()); !name.IsEmpty();
             name = finder.FindNext()) {
            if (name == "." || name == "..") continue;
            if (FullPath(name.GetText()) == outputPath) continue;
            pfnReport(&report, name.GetText());
        }
        finder.Close();
    }
    NKChangeDirectory(previous, nullptr);
    std::fclose(report.pOutput);
    return true;
}

// Runs the open command line of a file; a name no command line can carry
// fails as a file that does not open.
int RunOpenLine(const char *pszFileName)
{
    NKString line;
    if (!NKPathCommandLine("open", pszFileName, &line)) return NK_CMD_FAILED;
    return ExecuteCommand(line.GetText());
}

// The min/max lines of the model's scalar node, scalar element and vector
// ranges after a state was read.
void WriteRanges(NKBatchReport *pReport)
{
    if (g_pModel == nullptr) return;
    const NKMinMax *apRanges[3] = {&g_pModel->scalarMinMax, &g_pModel->elementMinMax,
                                   &g_pModel->vectorMinMax};
    const char *apszFormats[3] = {"    Scalar node min/max: %g %g",
                                  "    Scalar element min/max: %g %g", "    Vector min/max: %g %g"};
    for (int i = 0; i < 3; i++)
        WriteReportLine(pReport, NKString::FromFormat(apszFormats[i], (double)apRanges[i]->min,
                                                      (double)apRanges[i]->max)
                                     .GetText());
}

// The elements of every part of the current frame's geometry.
int CountCurrentElements(void)
{
    const NKGeometry *pGeo = NKGetCurrentGeometry();
    if (pGeo == nullptr) return 0;
    int iCount = 0;
    for (int i = 0; i < pGeo->iNumParts; i++) iCount += pGeo->pParts[i].iNumElements;
    return iCount;
}

void AddDurationPart(NKString *pText, int64_t iValue, const char *pszUnit, const char *pszUnits)
{
    if (iValue == 0) return;
    if (!pText->IsEmpty()) *pText += ", ";
    *pText += NKString::FromFormat("%lld %s", (long long)iValue, iValue == 1 ? pszUnit : pszUnits);
}

}  // namespace

void WriteReportLine(NKBatchReport *pReport, const char *pszText)
{
    if (pReport == nullptr || pReport->pOutput == nullptr) return;
    std::fputs(pszText != nullptr ? pszText : "", pReport->pOutput);
    std::fputc('\n', pReport->pOutput);
    std::fflush(pReport->pOutput);
}

NKString FormatDuration(int64_t iMs)
{
    const int64_t iDays = iMs / 86400000;
    const int64_t iHours = iMs / 3600000 - 24 * iDays;
    const int64_t iMinutes = iMs / 60000 - 60 * (iMs / 3600000);
    const int64_t iSeconds = iMs / 1000 - 60 * (iMs / 60000);
    NKString text;
    AddDurationPart(&text, iDays, "day", "days");
    AddDurationPart(&text, iHours, "hour", "hours");
    AddDurationPart(&text, iMinutes, "minute", "minutes");
    AddDurationPart(&text, iSeconds, "second", "seconds");
    AddDurationPart(&text, iMs % 1000, "ms", "ms");
    return text;
}

bool BatchReportCommand(NKBatchReport *pReport, const char *pszFileName)
{
    WriteReportLine(pReport, NKString::FromFormat("Processing file: %s", pszFileName).GetText());
    if (RunOpenLine(pszFileName) != NK_CMD_DONE) {
        WriteReportLine(pReport,
                        NKString::FromFormat("  Error opening file: %s.", pszFileName).GetText());
        return false;
    }
    WriteReportLine(pReport,
                    NKString::FromFormat("  File: %s openend successfully", pszFileName).GetText());
    Redraw(pReport);
    const int iSteps = NKGetInterfaceNumSteps();
    const int iScalars = NKGetInterfaceNumScalars();
    const int iVectors = NKGetInterfaceNumVectors();
    for (int s = 0; s < iSteps; s++) {
        for (int k = 0; k < iScalars; k++) {
            const int v = k < iVectors - 1 ? k : iVectors - 1;
            const NKString line = NKString::FromFormat("readstate %i %i %i", s + 1, k + 1, v + 1);
            WriteReportLine(pReport,
                            NKString::FromFormat("  Command: %s", line.GetText()).GetText());
            if (ExecuteCommand(line.GetText()) != NK_CMD_DONE) {
                WriteReportLine(
                    pReport,
                    NKString::FromFormat("  Error opening file: %s.\n", pszFileName).GetText());
                ExecuteCommand("closefiles");
                return false;
            }
            WriteRanges(pReport);
            Redraw(pReport);
        }
    }
    WriteReportLine(pReport, NKString::FromFormat("File complete: %s\n", pszFileName).GetText());
    ExecuteCommand("closefiles");
    return true;
}

bool LoadTimeReportCommand(NKBatchReport *pReport, const char *pszFileName)
{
    const uint32_t uStart = NKGetMilliseconds();
    const int iResult = RunOpenLine(pszFileName);
    const uint32_t uElapsed = NKGetMilliseconds() - uStart;
    if (iResult != NK_CMD_DONE) {
        WriteReportLine(pReport,
                        NKString::FromFormat("  Error opening file: %s.", pszFileName).GetText());
        return false;
    }
    const int64_t iSize = NKGetFileSize(pszFileName);
    WriteReportLine(pReport, NKString::FromFormat("File: %s", pszFileName).GetText());
    WriteReportLine(pReport,
                    NKString::FromFormat("  Size:          %lld", (long long)iSize).GetText());
    WriteReportLine(pReport,
                    NKString::FromFormat("  Nodes:         %d", NKGetTotalNumNodes()).GetText());
    WriteReportLine(pReport,
                    NKString::FromFormat("  Elements:      %d", CountCurrentElements()).GetText());
    WriteReportLine(
        pReport,
        NKString::FromFormat("  Time to load:  %s", FormatDuration(uElapsed).GetText()).GetText());
    ExecuteCommand("closefiles");
    return true;
}

bool NKCommandTestDir(const char *pszDirectory, const char *pszMask, const char *pszOutput)
{
    return RunDirectoryReport(pszDirectory, pszMask, pszOutput, BatchReportCommand);
}

bool NKCommandTestOpenPerf(const char *pszDirectory, const char *pszMask, const char *pszOutput)
{
    return RunDirectoryReport(pszDirectory, pszMask, pszOutput, LoadTimeReportCommand);
}

void NKRegisterBatchReports(void)
{
    NKSetTestDirFunction(NKCommandTestDir);
    NKSetTestOpenPerfFunction(NKCommandTestOpenPerf);
}
