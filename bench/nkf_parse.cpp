// bench/nkf_parse.cpp -- times reading a large NKF file at two sizes: a
// *NODES block of 1,000,000 nodes (a 100 x 100 x 100 grid, with IDs) or of
// 8,000,000 (200^3), an *ELEMENTS block of the grid's hexahedra (970,299 or
// 7,880,599, node indices), a *RESULTS block of one scalar per node and a
// *QUOLINGEOMETRY block naming the element block. The files are written with
// the tests' NKF writers into a temporary folder, in binary in each byte
// order and as ASCII (9 significant digits). Per file the parse (first pass)
// and the loading of the node, element and result data are timed
// separately, with the rate of parse plus loads over the file's size in MB/s
// (one core, the file in the page cache), then the building of the part's
// faces from the elements, and the whole geometry of the first step through the NKF
// import (NKFGetGeometry: parts, internal faces removed) with its peak
// resident memory per million nodes. Beside each rate stands a bare read of
// the same file (one fread into a fresh buffer) and the ratio of the rates.
// All the files are written first (2 GB at the default sizes); each run
// then times every file once, the sizes taking turns, so that the growth
// from 1M to 8M compares runs made at the same time.
// Every measurement runs in a process of its own, forked from a small parent,
// so that each load, like each bare read, starts with fresh memory and the
// peak is the step's own. Each figure is the median over the runs, with the
// range of the runs beside it; a time row whose slowest run passes 1.5 times
// its median is marked '!' (a slow mode of the machine or of the code, not
// noise), unless the two differ by less than a millisecond: one wait for
// the scheduler costs a step that short that much. Each row is printed at
// both sizes with the growth of the medians from 1M to 8M, so that a step
// that grows faster than the model shows at once (x8 is linear). The aims:
// ASCII >= 500 MB/s; binary >= 0.9 of a bare read into a fresh buffer; the
// geometry <= 0.6 s per million hexahedra at either size and no slower per
// million at 8M than at 1M, growth <= x9, its peak <= 250 MB (10^6 bytes)
// per million nodes.
// Usage: bench_nkf_parse [RUNS] [SIDE...]  (sides of the node grid; default
// 100 200)
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/nk_element_types.h"
#include "core/nk_mesh.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "nkf/nkf_elements.h"
#include "nkf/nkf_format.h"
#include "nkf/nkf_import.h"
#include "nkf/nkf_parser.h"
#include "tests/test_support/nkf_geometry_writer.h"
#include "tests/test_support/nkf_mesh_writer.h"
#include "tests/test_support/nkf_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

int kSide = 100;  // nodes along each edge of the grid

int GridNode(int i, int j, int k) { return i + kSide * (j + kSide * k); }

// The grid: node IDs, coordinates, one value per node and the hexahedra.
struct Grid {
    std::vector<int32_t> ids;
    std::vector<float> coords;
    std::vector<float> values;
    NKFTestSection hexahedra{NK_ELEM_HEXAHEDRON + 1, {}, {}, 0};
};

Grid BuildGrid()
{
    const int nodes = kSide * kSide * kSide;
    Grid g;
    g.ids.resize(nodes);
    g.coords.resize(3 * static_cast<size_t>(nodes));
    g.values.resize(nodes);
    for (int k = 0; k < kSide; k++)
        for (int j = 0; j < kSide; j++)
            for (int i = 0; i < kSide; i++) {
                int n = GridNode(i, j, k);
                g.ids[n] = n + 1;
                g.coords[3 * n] = i * 0.01f;
                g.coords[3 * n + 1] = j * 0.01f;
                g.coords[3 * n + 2] = k * 0.01f;
                g.values[n] = static_cast<float>(i + j + k) * 0.1f;
            }
    const int cells = kSide - 1;
    g.hexahedra.refs.reserve(8 * static_cast<size_t>(cells) * cells * cells);
    for (int k = 0; k < cells; k++)
        for (int j = 0; j < cells; j++)
            for (int i = 0; i < cells; i++) {
                for (int dk = 0; dk < 2; dk++) {  // 1-based node indices
                    g.hexahedra.refs.push_back(GridNode(i, j, k + dk) + 1);
                    g.hexahedra.refs.push_back(GridNode(i + 1, j, k + dk) + 1);
                    g.hexahedra.refs.push_back(GridNode(i + 1, j + 1, k + dk) + 1);
                    g.hexahedra.refs.push_back(GridNode(i, j + 1, k + dk) + 1);
                }
                g.hexahedra.iCount++;
            }
    return g;
}

const std::vector<TestGeometryStep> kGeometry = {{1, "", 0.0f, {}, {1}}};

// The whole file in binary in one byte order.
NKFTestWriter BuildBinaryFile(const Grid &g, bool bBigEndian)
{
    const int nodes = kSide * kSide * kSide;
    NKFTestWriter w(bBigEndian);
    AppendFileHeader(w);
    AppendNodesBlock(w, 1, g.ids.data(), g.coords.data(), nodes);
    AppendElementsBlock(w, 1, 1, {g.hexahedra}, false, false, 0);
    AppendResultsBlock(w, 1, 1, 1, 0, nullptr, g.values.data(), nodes, 1);
    AppendGeometryBlock(w, 1, "Grid", kGeometry);
    return w;
}

// The same file as ASCII, numbers with 9 significant digits.
std::string BuildAsciiFile(const Grid &g)
{
    std::string text = "*NKF-1.00\n*NODES 1\n%WITH_ID\n";
    char line[160];
    const size_t nodes = g.ids.size();
    text.reserve(nodes * 64 + g.hexahedra.refs.size() * 8);
    for (size_t n = 0; n < nodes; n++) {
        snprintf(line, sizeof line, "%d %.9g %.9g %.9g\n", g.ids[n], g.coords[3 * n],
                 g.coords[3 * n + 1], g.coords[3 * n + 2]);
        text += line;
    }
    text += "*ELEMENTS 1\n%NODES #1\n%MAP_NODE_INDICES\n%HEXAHEDRONS\n";
    for (size_t e = 0; e < g.hexahedra.refs.size(); e += 8) {
        const int32_t *r = &g.hexahedra.refs[e];
        snprintf(line, sizeof line, "%d %d %d %d %d %d %d %d\n", r[0], r[1], r[2], r[3], r[4], r[5],
                 r[6], r[7]);
        text += line;
    }
    text += "*RESULTS 1\n%DIMENSION 1\n%PER_NODE #1\n";
    for (float v : g.values) {
        snprintf(line, sizeof line, "%.9g\n", v);
        text += line;
    }
    for (const std::string &l : GeometryLines(1, "Grid", kGeometry)) text += l + "\n";
    return text;
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The figures of one run; every step in its own process.
struct StepTimes {
    double bare = 0, parse = 0, nodes = 0, elements = 0, results = 0, faces = 0, geometry = 0;
    double peak = 0;  // MB (10^6 bytes), the geometry's process
    double Total() const { return parse + nodes + elements + results; }
};

// Runs fn in a forked child, which writes iCount doubles back through a
// pipe; *pdPeak gets the child's peak resident memory in MB (10^6 bytes).
// False when the child fails.
template <class F>
bool InChild(F fn, double *pdValues, int iCount, double *pdPeak)
{
    int aiPipe[2];
    if (pipe(aiPipe) != 0) return false;
    fflush(stdout);
    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        close(aiPipe[0]);
        std::vector<double> values((size_t)iCount, 0.0);
        bool bOk = fn(values.data());
        size_t iBytes = sizeof(double) * (size_t)iCount;
        bOk = bOk && write(aiPipe[1], values.data(), iBytes) == (ssize_t)iBytes;
        _exit(bOk ? 0 : 1);
    }
    close(aiPipe[1]);
    size_t iBytes = sizeof(double) * (size_t)iCount;
    bool bRead = read(aiPipe[0], pdValues, iBytes) == (ssize_t)iBytes;
    close(aiPipe[0]);
    int iStatus = 0;
    struct rusage usage;
    bool bOk = wait4(pid, &iStatus, 0, &usage) == pid && WIFEXITED(iStatus) &&
               WEXITSTATUS(iStatus) == 0 && bRead;
    // ru_maxrss counts KiB on Linux.
    if (pdPeak != nullptr) *pdPeak = (double)usage.ru_maxrss * 1024.0 / 1e6;
    return bOk;
}

// The geometry of the first step through the NKF import; false when it fails.
bool TimeGeometry(const std::string &path, double *pdSeconds)
{
    NKToggleMessageOutput(false);
    g_pModel = NKCreateModel();
    if (!NKFIInitInterface(path.c_str())) return false;
    auto t = std::chrono::steady_clock::now();
    NKGeometry *pGeo = NKFGetGeometry(0, true);
    *pdSeconds = Seconds(t);
    bool bOk = pGeo != nullptr && pGeo->iNumParts == 1 && pGeo->pParts[0].iNumNodes > 0;
    NKReleaseGeometry(pGeo);
    NKFCloseInterface();
    return bOk;
}

// Parses and loads the file once, then builds the faces; pd gets the parse,
// the three loads and the faces. False when any step fails.
bool TimeLoads(const std::string &path, double *pd)
{
    NKToggleMessageOutput(false);
    g_pModel = NKCreateModel();
    auto t = std::chrono::steady_clock::now();
    NKFParser parser(NKString(path.c_str()));
    if (!parser.Parse()) return false;
    pd[0] = Seconds(t);

    NKFBlock *pNodes = parser.FindBlock(NKF_NODES, 1);
    auto *pElements = static_cast<Elements *>(parser.FindBlock(NKF_ELEMENTS, 1));
    NKFBlock *pResults = parser.FindBlock(NKF_RESULTS, 1);
    if (pNodes == nullptr || pElements == nullptr || pResults == nullptr) return false;
    NKFBlock *apBlocks[3] = {pNodes, pElements, pResults};
    for (int b = 0; b < 3; b++) {
        t = std::chrono::steady_clock::now();
        if (!apBlocks[b]->LoadData()) return false;
        pd[1 + b] = Seconds(t);
    }
    NKIndexedFaceSet faces;
    NKInitPolygonMesh(&faces);
    t = std::chrono::steady_clock::now();
    bool bOk = pElements->NKCreatePartFromElements(&faces, false);
    pd[4] = Seconds(t);
    bOk = bOk && faces.iNumPolygons == 6 * pElements->GetNumItems();
    NKFreePolygonMesh(&faces);
    return bOk && pNodes->GetNumItems() == kSide * kSide * kSide &&
           pResults->GetNumItems() == pNodes->GetNumItems();
}

// A bare read of the whole file, one fread into a fresh buffer: pages
// mapped for this read alone and never touched before, as a program reading
// a file for the first time gets them.
bool TimeBareRead(const std::string &path, double *pdSeconds)
{
    auto t = std::chrono::steady_clock::now();
    FILE *pFile = fopen(path.c_str(), "rb");
    if (pFile == nullptr) return false;
    fseeko(pFile, 0, SEEK_END);
    size_t size = static_cast<size_t>(ftello(pFile));
    rewind(pFile);
    void *pMap = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    bool bOk = pMap != MAP_FAILED && fread(pMap, 1, size, pFile) == size;
    fclose(pFile);
    *pdSeconds = Seconds(t);
    if (pMap != MAP_FAILED) munmap(pMap, size);
    return bOk;
}

// One run over the file: the bare read, the loads and the geometry, each in
// a child of its own.
bool TimeOneRun(const std::string &path, StepTimes *pTimes)
{
    double ad[5];
    if (!InChild([&](double *pd) { return TimeBareRead(path, pd); }, &pTimes->bare, 1, nullptr) ||
        !InChild([&](double *pd) { return TimeLoads(path, pd); }, ad, 5, nullptr) ||
        !InChild([&](double *pd) { return TimeGeometry(path, pd); }, &pTimes->geometry, 1,
                 &pTimes->peak))
        return false;
    pTimes->parse = ad[0];
    pTimes->nodes = ad[1];
    pTimes->elements = ad[2];
    pTimes->results = ad[3];
    pTimes->faces = ad[4];
    return true;
}

// One file's runs, with what the rows divide by.
struct FileFigures {
    double megabytes = 0, nodes = 0, hexahedra = 0;
    std::vector<StepTimes> runs;
};

// What the rows of one file divide by, for the current grid.
void DescribeFile(double dMegabytes, int runs, FileFigures *pFigures)
{
    pFigures->runs.assign((size_t)runs, StepTimes());
    pFigures->megabytes = dMegabytes;
    pFigures->nodes = (double)kSide * kSide * kSide;
    pFigures->hexahedra = (double)(kSide - 1) * (kSide - 1) * (kSide - 1);
}

// The median of a row's value over one file's runs, and their range.
struct RowStats {
    double median = 0, low = 0, high = 0;
};

template <class F>
RowStats Stats(const FileFigures &f, F value)
{
    std::vector<double> v;
    for (const StepTimes &t : f.runs) v.push_back(value(f, t));
    std::sort(v.begin(), v.end());
    RowStats r;
    if (!v.empty()) r = {v[v.size() / 2], v.front(), v.back()};
    return r;
}

// One row: the median and range at each size, '!' where a run took more
// than 1.5 times the median and a millisecond more (times only), and the
// growth of the medians from the first size to the last.
template <class F>
void PrintRow(const char *pszName, const std::vector<FileFigures> &sizes, F value, bool bTime,
              const char *pszAim)
{
    printf("  %-34s", pszName);
    std::vector<RowStats> stats;
    for (const FileFigures &f : sizes) {
        stats.push_back(Stats(f, value));
        const RowStats &r = stats.back();
        bool bSlowRun = bTime && r.high > 1.5 * r.median && r.high - r.median > 1e-3;
        printf(" %10.4f (%.4f-%.4f)%s", r.median, r.low, r.high, bSlowRun ? "!" : " ");
    }
    if (bTime && stats.size() > 1 && stats.front().median > 0)
        printf("   x%5.2f", stats.back().median / stats.front().median);
    else if (stats.size() > 1)
        printf("         ");
    printf("   %s\n", pszAim);
}

void PrintForm(const char *pszForm, const std::vector<FileFigures> &sizes, bool bBinary)
{
    printf("%s (median (range))\n  %-34s", pszForm, "nodes:");
    for (const FileFigures &f : sizes) printf(" %9.0fk%22s", f.nodes / 1e3, "");
    printf("%s\n", sizes.size() > 1 ? "   growth" : "");
    using FF = const FileFigures &;
    using ST = const StepTimes &;
    PrintRow(
        "file size, MB", sizes, [](FF f, ST) { return f.megabytes; }, false, "");
    PrintRow(
        "bare read, fresh buffer, s", sizes, [](FF, ST t) { return t.bare; }, true, "");
    PrintRow(
        "parse (first pass), s", sizes, [](FF, ST t) { return t.parse; }, true, "");
    PrintRow(
        "load nodes, s", sizes, [](FF, ST t) { return t.nodes; }, true, "");
    PrintRow(
        "load elements, s", sizes, [](FF, ST t) { return t.elements; }, true, "");
    PrintRow(
        "load results, s", sizes, [](FF, ST t) { return t.results; }, true, "");
    PrintRow(
        "parse + load, s", sizes, [](FF, ST t) { return t.Total(); }, true, "");
    PrintRow(
        "parse + load, MB/s", sizes, [](FF f, ST t) { return f.megabytes / t.Total(); }, false,
        bBinary ? "" : "(aim >= 500)");
    PrintRow(
        "  over the fresh bare read's rate", sizes, [](FF, ST t) { return t.bare / t.Total(); },
        false, bBinary ? "(aim >= 0.9)" : "");
    PrintRow(
        "faces from elements, s", sizes, [](FF, ST t) { return t.faces; }, true, "");
    PrintRow(
        "geometry of step 0, s", sizes, [](FF, ST t) { return t.geometry; }, true,
        "(growth aim <= x9)");
    PrintRow(
        "  per million hexahedra, s", sizes,
        [](FF f, ST t) { return t.geometry / (f.hexahedra / 1e6); }, false,
        "(aim <= 0.6, not more at 8M)");
    PrintRow(
        "  peak, MB per million nodes", sizes, [](FF f, ST t) { return t.peak / (f.nodes / 1e6); },
        false, "(aim <= 250)");
}

// Writes the three files of the current grid in a child, so that the
// parent never holds the grid; sizes in MB go to pdMegabytes.
bool WriteFiles(const std::string *pPaths, double *pdMegabytes)
{
    return InChild(
        [&](double *pd) {
            Grid grid = BuildGrid();
            for (int form = 0; form < 3; form++) {
                bool bWritten;
                if (form < 2) {
                    NKFTestWriter w = BuildBinaryFile(grid, form == 1);
                    pd[form] = w.Size() / 1e6;
                    bWritten = NKTestWriteBytes(pPaths[form], w.Data());
                } else {
                    std::string text = BuildAsciiFile(grid);
                    pd[form] = text.size() / 1e6;
                    bWritten = NKTestWriteText(pPaths[form], text);
                }
                if (!bWritten) return false;
            }
            return true;
        },
        pdMegabytes, 3, nullptr);
}

}  // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    std::vector<int> sides;
    for (int a = 2; a < argc; a++) sides.push_back(std::max(2, atoi(argv[a])));
    if (sides.empty()) sides = {100, 200};
    std::filesystem::path dir = NKTestMakeTempDir("quolin_bench_nkf_parse_");
    if (dir.empty()) {
        fprintf(stderr, "Cannot make a temporary folder\n");
        return 1;
    }
    const char *pszNames[] = {"grid_le", "grid_be", "grid_ascii"};
    const char *pszForms[] = {"binary, little-endian", "binary, big-endian", "ASCII"};
    std::vector<FileFigures> figures[3];
    std::vector<std::array<std::string, 3>> paths(sides.size());
    int iResult = 0;
    // Every file is written first; then each run times every form at every
    // size in turn, so that a change in the machine's speed during the
    // benchmark moves both sizes alike instead of the growth between them.
    for (size_t s = 0; s < sides.size() && iResult == 0; s++) {
        kSide = sides[s];
        double adMegabytes[3] = {0, 0, 0};
        for (int form = 0; form < 3; form++)
            paths[s][form] = (dir / (pszNames[form] + std::to_string(kSide) + ".nkf")).string();
        if (!WriteFiles(paths[s].data(), adMegabytes)) {
            fprintf(stderr, "Cannot write the files of side %d\n", kSide);
            iResult = 1;
        }
        for (int form = 0; form < 3; form++) {
            figures[form].emplace_back();
            DescribeFile(adMegabytes[form], runs, &figures[form].back());
        }
    }
    for (int r = 0; r < runs && iResult == 0; r++)
        for (int form = 0; form < 3 && iResult == 0; form++)
            for (size_t s = 0; s < sides.size() && iResult == 0; s++) {
                kSide = sides[s];
                if (!TimeOneRun(paths[s][form], &figures[form][s].runs[(size_t)r])) {
                    fprintf(stderr, "Reading %s failed\n", paths[s][form].c_str());
                    iResult = 1;
                }
            }
    if (iResult == 0) {
        printf("A grid of nodes with IDs, its hexahedra and a node scalar; medians of %d runs\n",
               runs);
        for (int form = 0; form < 3; form++) PrintForm(pszForms[form], figures[form], form < 2);
    }
    NKTestRemoveDir(dir.string());
    return iResult;
}
