// app/nk_benchmark.cpp -- the drawing benchmark. The render modes are set
// through command lines with messages off, each mode is timed over n frames
// of NKDrawScene, and the rows are written to "benchmark.txt": the old text
// and the new rows go to a temporary file that replaces the old one, so an
// interrupted run never leaves a half-written file.
#include "app/nk_benchmark.h"

#include <GL/gl.h>

#include <cstdio>
#include <string>

#include "app/nk_view_window.h"
#include "commands/nk_command.h"
#include "core/nk_file_read.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_output_file.h"
#include "core/nk_stopwatch.h"
#include "platform/nk_platform.h"

namespace {

const char *const kModeNames[NK_BENCHMARK_MODES] = {"Polygons",
                                                    "Smooth Polygons",
                                                    "Lines",
                                                    "Points",
                                                    "Polygons w/mesh",
                                                    "Fringes polygons",
                                                    "Fringes lines",
                                                    "Fringes points",
                                                    "Fringes polygons (no lighting)",
                                                    "Textured Fringes",
                                                    "Textured Fringes (no lighting)"};
const int32_t kReferenceRates[NK_BENCHMARK_MODES] = {
    280345, 248444, 1946670, 3563341, 149372, 172718, 1192645, 1867029, 313652, 209090, 284285};
const int32_t kWeights[NK_BENCHMARK_MODES] = {3, 2, 2, 1, 3, 3, 2, 1, 1, 4, 1};

// What each mode counts as drawn per frame.
enum { COUNT_POLYGONS, COUNT_LINES, COUNT_POINTS };
struct ModeStep {
    const char *pszCommands[7];  // null-terminated group run before the mode
    int iCounted;
};
const ModeStep kModeSteps[NK_BENCHMARK_MODES] = {
    {{"noanim", "nomesh", "surface", "notexturefringes", "fringeshade", "nofringes", "nolegend"},
     COUNT_POLYGONS},
    {{"smooth"}, COUNT_POLYGONS},
    {{"nosmooth", "lines"}, COUNT_LINES},
    {{"points"}, COUNT_POINTS},
    {{"surface", "mesh"}, COUNT_POLYGONS},
    {{"nomesh", "fringes", "fringeshade", "legend"}, COUNT_POLYGONS},
    {{"lines"}, COUNT_LINES},
    {{"points"}, COUNT_POINTS},
    {{"surface", "nofringeshade"}, COUNT_POLYGONS},
    {{"texturefringes", "fringeshade"}, COUNT_POLYGONS},
    {{"nofringeshade"}, COUNT_POLYGONS}};

NKBenchmark MakeFixed(const int32_t *piValues, const char *pszMachine, const char *pszBoard)
{
    NKBenchmark record = NKMakeBenchmarkRecord();
    for (int i = 0; i < NK_BENCHMARK_MODES; i++) record.entries[i].iValue = piValues[i];
    record.machine = NKString(pszMachine);
    record.board = NKString(pszBoard);
    record.model = NKString("Neon");
    return record;
}

// Frame 0's polygons, drawn line segments (edge slots of kind 1 or more)
// and used nodes.
void CountItems(int piCounts[3])
{
    piCounts[0] = piCounts[1] = piCounts[2] = 0;
    const NKGeometry *pGeo = g_pModel != nullptr && g_pModel->iNumFrames > 0
                                 ? NKGetFrameGeometry(&g_pModel->pFrames[0])
                                 : nullptr;
    if (pGeo == nullptr) return;
    piCounts[COUNT_POLYGONS] = pGeo->iTotalNumPolygons;
    for (int p = 0; p < pGeo->iNumParts; p++) {
        const NKPart &part = pGeo->pParts[p];
        if (part.pEdgeKinds != nullptr)
            for (int i = 0; i < part.iNumEdgeSlots; i++)
                if (part.pEdgeKinds[i] >= 1) piCounts[COUNT_LINES]++;
        if (part.pNodeType != nullptr)
            for (int i = 0; i < part.iNumNodes; i++)
                if (part.pNodeType[i] == 1) piCounts[COUNT_POINTS]++;
    }
}

void RunQuietly(const char *const *ppszCommands, int iCount)
{
    NKMessagesOff quiet;
    for (int i = 0; i < iCount && ppszCommands[i] != nullptr; i++) ExecuteCommand(ppszCommands[i]);
}

NKString RendererName(void)
{
    const char *pszName = nullptr;
    if (NKMakeViewCurrent()) pszName = reinterpret_cast<const char *>(glGetString(GL_RENDERER));
    return NKString(pszName != nullptr && pszName[0] != '\0' ? pszName : "Unknown");
}

// The whole text of a file, empty when there is none (or it is no regular
// file: a FIFO under the name would block the program).
std::string ReadWholeFile(const char *pszName, bool *pbExists)
{
    std::string text;
    *pbExists = NKReadWholeFile(pszName, &text);
    return text;
}

}  // namespace

double NKBenchmark::GetScore(int iMode) const
{
    if (iMode < 0 || iMode >= NK_BENCHMARK_MODES) return 0.0;
    return (double)entries[iMode].iValue * 10.0 / (double)kReferenceRates[iMode];
}

double NKBenchmark::GetTotalScore() const
{
    double dSum = 0.0;
    int iWeights = 0;
    for (int i = 0; i < NK_BENCHMARK_MODES; i++) {
        dSum += GetScore(i) * kWeights[i];
        iWeights += kWeights[i];
    }
    return dSum / iWeights;
}

int64_t NKBenchmark::GetSum() const
{
    int64_t iSum = 0;
    for (const NKBenchmarkEntry &entry : entries) iSum += entry.iValue;
    return iSum;
}

NKBenchmark NKMakeBenchmarkRecord(void)
{
    NKBenchmark record;
    for (int i = 0; i < NK_BENCHMARK_MODES; i++) record.entries[i].name = NKString(kModeNames[i]);
    return record;
}

const NKBenchmark &NKGetReferenceBenchmark(void)
{
    static const NKBenchmark s_Reference =
        MakeFixed(kReferenceRates, "Pentium III 500 MHz", "Evans & Sutherland AccelGALAXY");
    return s_Reference;
}

const NKBenchmark &NKGetBenchmarkWeights(void)
{
    static const NKBenchmark s_Weights = MakeFixed(kWeights, "Weights", "");
    return s_Weights;
}

int32_t MeasureRate(int n, int iItemsPerFrame)
{
    const int iFrames = g_pModel != nullptr && g_pModel->iNumFrames > 0 ? g_pModel->iNumFrames : 1;
    NKTimerStart(nullptr);
    for (int i = 0; i < n; i++) NKDrawScene(i % iFrames, 1, 1);
    const double dSeconds = NKTimerStop(nullptr);
    if (!(dSeconds > 0.0)) return 0;
    const double dRate = (double)n * (double)iItemsPerFrame / dSeconds;
    if (!(dRate > 0.0)) return 0;
    return dRate >= 2147483647.0 ? INT32_MAX : (int32_t)dRate;
}

float RunBenchmark(NKBenchmark *pMachine, int n)
{
    if (n < 1) n = 1;
    const NKBenchmark &reference = NKGetReferenceBenchmark();
    NKPrintInfo(NKString::FromFormat("Running current animation or frame %d frames and calculating "
                                     "the performance.",
                                     n)
                    .GetText());
    NKPrintInfo(NKString::FromFormat("Score: 10 = %s, %s on model: %s", reference.machine.GetText(),
                                     reference.board.GetText(), reference.model.GetText())
                    .GetText());
    int aiCounts[3];
    CountItems(aiCounts);
    for (int iMode = 0; iMode < NK_BENCHMARK_MODES; iMode++) {
        RunQuietly(kModeSteps[iMode].pszCommands, 7);
        pMachine->entries[iMode].iValue = MeasureRate(n, aiCounts[kModeSteps[iMode].iCounted]);
        NKPrintInfo(NKString::FromFormat("%s: %d/s. Score: %5.1f", kModeNames[iMode],
                                         pMachine->entries[iMode].iValue, pMachine->GetScore(iMode))
                        .GetText());
    }
    const float fTotal = (float)pMachine->GetTotalScore();
    NKPrintInfo(NKString::FromFormat("\nTotal Score:  %5.1f", (double)fTotal).GetText());
    const char *const apszRestore[3] = {"nofringes", "nolegend", "surface"};
    RunQuietly(apszRestore, 3);
    return fTotal;
}

void WriteBenchmarkRow(const NKBenchmark &record, NKOutputFile *pFile, bool bRates)
{
    pFile->Printf("%s;%s;", record.machine.GetText(), record.board.GetText());
    for (int i = 0; i < NK_BENCHMARK_MODES; i++) {
        if (bRates)
            pFile->Printf("%d;", record.entries[i].iValue);
        else
            pFile->Printf("%.1f;", record.GetScore(i));
    }
    pFile->Printf("%.1f\n", record.GetTotalScore());
}

float WriteBenchmarkFile(const NKBenchmarkSettings &settings, int n)
{
    NKBenchmark machine = NKMakeBenchmarkRecord();
    machine.machine = NKString(NKGetPlatformName().c_str());
    machine.board = RendererName();
    machine.model = NKString("Unknown");
    const float fTotal = RunBenchmark(&machine, n);
    if (!settings.bWriteFile) return fTotal;
    bool bExists = false;
    const std::string old = ReadWholeFile(settings.fileName.GetText(), &bExists);
    NKOutputFile file;
    if (!file.Open(settings.fileName.GetText())) {
        NKPrintError("Error opening output file");
        return -1.0f;
    }
    if (bExists) {
        file.WriteRaw(old.data(), old.size());
    } else {
        const NKBenchmark &reference = NKGetReferenceBenchmark();
        file.Printf("Benchmark file generated from Quolin\n\n");
        file.Printf("Machine;Graphics board;Polygons;Smooth Polygons;Lines;Points;Polygons "
                    "w/mesh;Fringes polygons;Fringes lines;Fringes points;Fr. polys no "
                    "light;Textured Fringes;Textured Fringes no light;Total Score\n");
        if (settings.bWriteRates) WriteBenchmarkRow(reference, &file, true);
        if (settings.bWriteScores) WriteBenchmarkRow(reference, &file, false);
        file.Printf("\n");
    }
    if (settings.bWriteRates) WriteBenchmarkRow(machine, &file, true);
    if (settings.bWriteScores) WriteBenchmarkRow(machine, &file, false);
    file.Printf("\n");
    if (!file.Commit()) {
        NKPrintError("Error opening output file");
        return -1.0f;
    }
    return fTotal;
}

bool NKRunBenchmark(int iFrames)
{
    if (!NKModelHasGeometry()) return false;
    WriteBenchmarkFile(NKBenchmarkSettings(), iFrames < 1 ? 1 : iFrames);
    return true;
}
