// bench/nkf_parse.cpp -- times reading a large NKF file: a *NODES block of
// 1,000,000 nodes (a 100 x 100 x 100 grid, with IDs), an *ELEMENTS block of
// the grid's 970,299 hexahedra (node indices), a *RESULTS block of one
// scalar per node and a *QUOLINGEOMETRY block naming the element block. The
// file is written with the tests' NKF writers into a temporary folder, in
// binary in each byte order and as ASCII (9 significant digits). Per file the
// parse (first pass) and the loading of the node, element and result data are
// timed separately, with the rate of parse plus loads over the file's size in
// MB/s (one core, the file in the page cache), then the building of the
// part's faces from the elements, and the whole geometry of step 0 through
// the NKF import (NKFGetGeometry: parts, internal faces removed). Each figure
// is the best of a few runs. Beside each rate stand bare reads of the same
// file (one fread into a fresh buffer, and one into a buffer already in
// memory, the floor no load can pass) and the ratios of the rates. The
// aims: ASCII >= 500 MB/s and >= 0.3 of a bare read; binary >= 1.0 of a bare
// read into a fresh buffer.
// Usage: bench_nkf_parse [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <sys/mman.h>

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

const int kSide = 100;  // nodes along each edge of the grid

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

// Best times of the steps over the runs.
struct StepTimes {
    double parse = 1e30, nodes = 1e30, elements = 1e30, results = 1e30, faces = 1e30;
    double geometry = 1e30;
};

// The geometry of step 0 through the NKF import; false when it fails.
bool TimeGeometry(const std::string &path, StepTimes *pTimes)
{
    if (!NKFIInitInterface(path.c_str())) return false;
    auto t = std::chrono::steady_clock::now();
    NKGeometry *pGeo = NKFGetGeometry(0, true);
    pTimes->geometry = std::min(pTimes->geometry, Seconds(t));
    bool bOk = pGeo != nullptr && pGeo->iNumParts == 1 && pGeo->pParts[0].iNumNodes > 0;
    NKReleaseGeometry(pGeo);
    NKFCloseInterface();
    return bOk;
}

// Parses and loads the file once; false when any step fails.
bool TimeOneRun(const std::string &path, StepTimes *pTimes)
{
    auto t = std::chrono::steady_clock::now();
    NKFParser parser(NKString(path.c_str()));
    if (!parser.Parse()) return false;
    pTimes->parse = std::min(pTimes->parse, Seconds(t));

    NKFBlock *pNodes = parser.FindBlock(NKF_NODES, 1);
    auto *pElements = static_cast<Elements *>(parser.FindBlock(NKF_ELEMENTS, 1));
    NKFBlock *pResults = parser.FindBlock(NKF_RESULTS, 1);
    if (pNodes == nullptr || pElements == nullptr || pResults == nullptr) return false;

    t = std::chrono::steady_clock::now();
    if (!pNodes->LoadData()) return false;
    pTimes->nodes = std::min(pTimes->nodes, Seconds(t));
    t = std::chrono::steady_clock::now();
    if (!pElements->LoadData()) return false;
    pTimes->elements = std::min(pTimes->elements, Seconds(t));
    t = std::chrono::steady_clock::now();
    if (!pResults->LoadData()) return false;
    pTimes->results = std::min(pTimes->results, Seconds(t));

    NKIndexedFaceSet faces;
    NKInitPolygonMesh(&faces);
    t = std::chrono::steady_clock::now();
    bool bOk = pElements->NKCreatePartFromElements(&faces, false);
    pTimes->faces = std::min(pTimes->faces, Seconds(t));
    bOk = bOk && faces.iNumPolygons == 6 * pElements->GetNumItems();
    NKFreePolygonMesh(&faces);
    return bOk && pNodes->GetNumItems() == kSide * kSide * kSide &&
           pResults->GetNumItems() == pNodes->GetNumItems();
}

// Bare reads of the whole file, one fread each, in seconds (negative when
// one fails): *pdFresh into a fresh buffer, pages mapped for this read alone
// and never touched before, as a program reading a file for the first time
// gets them (a heap block of that size is often one that the loads before
// left behind, already in memory, which makes the read a mere copy from the
// page cache); *pdWarm into a buffer already in memory, that copy alone.
void TimeBareReads(const std::string &path, double *pdFresh, double *pdWarm)
{
    *pdFresh = *pdWarm = -1.0;
    FILE *pFile = fopen(path.c_str(), "rb");
    if (pFile == nullptr) return;
    fseeko(pFile, 0, SEEK_END);
    size_t size = static_cast<size_t>(ftello(pFile));
    fclose(pFile);
    for (int warm = 0; warm < 2; warm++) {
        void *pMap =
            mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (pMap == MAP_FAILED) return;
        if (warm) memset(pMap, 0, size);
        auto t = std::chrono::steady_clock::now();
        pFile = fopen(path.c_str(), "rb");
        bool bOk = pFile != nullptr && fread(pMap, 1, size, pFile) == size;
        if (pFile != nullptr) fclose(pFile);
        double seconds = Seconds(t);
        munmap(pMap, size);
        (warm ? *pdWarm : *pdFresh) = bOk ? seconds : -1.0;
    }
}

// Times one file over the runs and prints its figures; false on a failure.
bool TimeFile(const std::string &path, double dMegabytes, int runs)
{
    StepTimes times;
    double bare = 1e30, warm = 1e30;
    for (int r = 0; r < runs; r++) {
        double b = 0.0, w = 0.0;
        TimeBareReads(path, &b, &w);
        if (b < 0 || w < 0 || !TimeOneRun(path, &times) || !TimeGeometry(path, &times)) {
            fprintf(stderr, "Reading %s failed\n", path.c_str());
            return false;
        }
        bare = std::min(bare, b);
        warm = std::min(warm, w);
    }
    double total = times.parse + times.nodes + times.elements + times.results;
    printf("  bare read, fresh buffer %8.4f s  %8.0f MB/s\n", bare, dMegabytes / bare);
    printf("  bare read, warm buffer  %8.4f s  %8.0f MB/s\n", warm, dMegabytes / warm);
    printf("  parse (first pass)      %8.4f s\n", times.parse);
    printf("  load nodes              %8.4f s\n", times.nodes);
    printf("  load elements           %8.4f s\n", times.elements);
    printf("  load results            %8.4f s\n", times.results);
    printf("  parse + load, total     %8.4f s  %8.0f MB/s  (%.2f of the fresh bare read's rate, "
           "%.2f of the warm one's)\n",
           total, dMegabytes / total, bare / total, warm / total);
    printf("  faces from elements     %8.4f s\n", times.faces);
    printf("  geometry of step 0      %8.4f s\n", times.geometry);
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    std::filesystem::path dir = NKTestMakeTempDir("quolin_bench_nkf_parse_");
    if (dir.empty()) {
        fprintf(stderr, "Cannot make a temporary folder\n");
        return 1;
    }
    // The import prints what it opens and reads; the figures are what matter.
    NKToggleMessageOutput(false);
    g_pModel = NKCreateModel();
    Grid grid = BuildGrid();
    int iResult = 0;
    for (int form = 0; form < 3 && iResult == 0; form++) {
        const char *pszNames[] = {"grid_le.nkf", "grid_be.nkf", "grid_ascii.nkf"};
        const char *pszForms[] = {"binary, little-endian", "binary, big-endian", "ASCII"};
        std::string path = (dir / pszNames[form]).string();
        size_t size = 0;
        bool bWritten;
        if (form < 2) {
            NKFTestWriter w = BuildBinaryFile(grid, form == 1);
            size = w.Size();
            bWritten = NKTestWriteBytes(path, w.Data());
        } else {
            std::string text = BuildAsciiFile(grid);
            size = text.size();
            bWritten = NKTestWriteText(path, text);
        }
        if (!bWritten) {
            fprintf(stderr, "Cannot write %s\n", path.c_str());
            iResult = 1;
            break;
        }
        printf("%s: %.1f MB, 1,000,000 nodes, %d hexahedra, %s\n", path.c_str(), size / 1e6,
               (kSide - 1) * (kSide - 1) * (kSide - 1), pszForms[form]);
        if (!TimeFile(path, size / 1e6, runs)) iResult = 1;
        std::filesystem::remove(path);
    }
    NKDestroyModel(g_pModel);
    g_pModel = nullptr;
    NKTestRemoveDir(dir.string());
    return iResult;
}
