// bench/nkf_parse.cpp -- times reading a large binary NKF file: a *NODES
// block of 1,000,000 nodes (a 100 x 100 x 100 grid, with IDs), an
// *ELEMENTS block of the grid's 970,299 hexahedra (node indices) and a
// *RESULTS block of one scalar per node. The file is written with the
// tests' NKF writers into a temporary folder, once in each byte order, and
// then the parse (first pass) and the loading of the node, element and
// result data are timed separately, followed by building the part's faces
// from the elements. Each figure is the best of a few runs, in seconds.
// Usage: bench_nkf_parse [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/nk_element_types.h"
#include "core/nk_mesh.h"
#include "nkf/nkf_elements.h"
#include "nkf/nkf_format.h"
#include "nkf/nkf_parser.h"
#include "tests/test_support/nkf_mesh_writer.h"
#include "tests/test_support/nkf_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

const int kSide = 100;  // nodes along each edge of the grid

int GridNode(int i, int j, int k) { return i + kSide * (j + kSide * k); }

// The whole file in one byte order.
NKFTestWriter BuildFile(bool bBigEndian)
{
    const int nodes = kSide * kSide * kSide;
    std::vector<int32_t> ids(nodes);
    std::vector<float> coords(3 * static_cast<size_t>(nodes));
    std::vector<float> values(nodes);
    for (int k = 0; k < kSide; k++)
        for (int j = 0; j < kSide; j++)
            for (int i = 0; i < kSide; i++) {
                int n = GridNode(i, j, k);
                ids[n] = n + 1;
                coords[3 * n] = i * 0.01f;
                coords[3 * n + 1] = j * 0.01f;
                coords[3 * n + 2] = k * 0.01f;
                values[n] = static_cast<float>(i + j + k);
            }
    NKFTestSection hexahedra{NK_ELEM_HEXAHEDRON + 1, {}, {}, 0};
    const int cells = kSide - 1;
    hexahedra.refs.reserve(8 * static_cast<size_t>(cells) * cells * cells);
    for (int k = 0; k < cells; k++)
        for (int j = 0; j < cells; j++)
            for (int i = 0; i < cells; i++) {
                for (int dk = 0; dk < 2; dk++) {  // 1-based node indices
                    hexahedra.refs.push_back(GridNode(i, j, k + dk) + 1);
                    hexahedra.refs.push_back(GridNode(i + 1, j, k + dk) + 1);
                    hexahedra.refs.push_back(GridNode(i + 1, j + 1, k + dk) + 1);
                    hexahedra.refs.push_back(GridNode(i, j + 1, k + dk) + 1);
                }
                hexahedra.iCount++;
            }
    NKFTestWriter w(bBigEndian);
    AppendFileHeader(w);
    AppendNodesBlock(w, 1, ids.data(), coords.data(), nodes);
    AppendElementsBlock(w, 1, 1, {hexahedra}, false, false, 0);
    AppendResultsBlock(w, 1, 1, 1, 0, nullptr, values.data(), nodes, 1);
    return w;
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Best times of the steps over the runs.
struct StepTimes {
    double parse = 1e30, nodes = 1e30, elements = 1e30, results = 1e30, faces = 1e30;
};

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

}  // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    std::filesystem::path dir = NKTestMakeTempDir("quolin_bench_nkf_parse_");
    if (dir.empty()) {
        fprintf(stderr, "Cannot make a temporary folder\n");
        return 1;
    }
    int iResult = 0;
    for (bool bBigEndian : {false, true}) {
        std::string path = (dir / (bBigEndian ? "grid_be.nkf" : "grid_le.nkf")).string();
        {
            NKFTestWriter w = BuildFile(bBigEndian);
            if (!NKTestWriteBytes(path, w.Data())) {
                fprintf(stderr, "Cannot write %s\n", path.c_str());
                iResult = 1;
                break;
            }
            printf("%s: %.1f MB, 1,000,000 nodes, %d hexahedra, %s\n", path.c_str(), w.Size() / 1e6,
                   (kSide - 1) * (kSide - 1) * (kSide - 1),
                   bBigEndian ? "big-endian" : "little-endian");
        }
        StepTimes times;
        for (int r = 0; r < runs; r++) {
            if (!TimeOneRun(path, &times)) {
                fprintf(stderr, "Reading %s failed\n", path.c_str());
                iResult = 1;
                break;
            }
        }
        printf("  parse (first pass)      %8.4f s\n", times.parse);
        printf("  load nodes              %8.4f s\n", times.nodes);
        printf("  load elements           %8.4f s\n", times.elements);
        printf("  load results            %8.4f s\n", times.results);
        printf("  parse + load, total     %8.4f s\n",
               times.parse + times.nodes + times.elements + times.results);
        printf("  faces from elements     %8.4f s\n", times.faces);
    }
    NKTestRemoveDir(dir.string());
    return iResult;
}
