// bench/mesh_utilities.cpp -- times the mesh clean-up of a reader on a block
// of 100 x 100 x 100 hexahedra: face listing, coincident-node merging,
// internal-face hiding and the removal of unused nodes. Each element comes
// with its own eight nodes, as element-wise sources deliver them, so the merge
// has 8,000,000 nodes to bring together before the shared faces can be found.
// Every step is timed again on a block of 50^3 elements (1,000,000 nodes) and
// printed beside the large block with the growth between them (x8 is
// linear), so that a step that grows faster than the model shows at once.
//
// First, before anything else has grown the process, the geometry of the first step
// of the same grid read from a binary NKF file (1,030,301 nodes, a node
// scalar) through the NKF import (NKFGetGeometry: parts, internal faces
// removed, element list), with the process's peak resident memory
// (getrusage) per million nodes. A forked child writes the file, so that its
// buffers never count in the peak. Aims: <= 0.6 s per million hexahedra,
// <= 250 MB per million nodes; the merge of 8M nodes <= 1.5 s.
// A plain timed main: prints each step's time and what it produced.
// Usage: bench_mesh_utilities [RUNS]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/nk_element_types.h"
#include "core/nk_memory.h"
#include "core/nk_mesh.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "nkf/nkf_import.h"
#include "tests/test_support/nkf_geometry_writer.h"
#include "tests/test_support/nkf_mesh_writer.h"
#include "tests/test_support/nkf_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

int N = 100;  // elements along each axis

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Every element's own eight corner nodes, element after element.
float *MakeElementNodes(int *piNumNodes)
{
    static const int aiCorner[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                       {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    int iNodes = 8 * N * N * N;
    float *pf = (float *)NKAlloc(sizeof(float) * 3 * (size_t)iNodes);
    if (pf == nullptr) return nullptr;
    size_t k = 0;
    for (int z = 0; z < N; z++)
        for (int y = 0; y < N; y++)
            for (int x = 0; x < N; x++)
                for (int c = 0; c < 8; c++) {
                    pf[k++] = 0.01f * (float)(x + aiCorner[c][0]);
                    pf[k++] = 0.01f * (float)(y + aiCorner[c][1]);
                    pf[k++] = 0.01f * (float)(z + aiCorner[c][2]);
                }
    *piNumNodes = iNodes;
    return pf;
}

// The six faces of every element as polygons of the face set.
bool ListFaces(NKIndexedFaceSet *pIFS)
{
    int iElems = N * N * N, iPolys = 6 * iElems;
    pIFS->iNumPolygons = iPolys;
    pIFS->iConnectLength = 4 * iPolys;
    pIFS->piConnects = (int *)NKAlloc(sizeof(int) * (size_t)pIFS->iConnectLength);
    pIFS->piPolygonStart = (int *)NKAlloc(sizeof(int) * (size_t)iPolys);
    pIFS->piPolygonNumNodes = (int *)NKAlloc(sizeof(int) * (size_t)iPolys);
    pIFS->piPolygonElement = (int *)NKAlloc(sizeof(int) * (size_t)iPolys);
    pIFS->pbKeep = (unsigned char *)NKAlloc((size_t)iPolys);
    pIFS->pbWholeElement = (unsigned char *)NKAlloc((size_t)iPolys);
    pIFS->pbVisibility = (unsigned char *)NKAlloc((size_t)iPolys);
    if (!pIFS->piConnects || !pIFS->piPolygonStart || !pIFS->piPolygonNumNodes ||
        !pIFS->piPolygonElement || !pIFS->pbKeep || !pIFS->pbWholeElement || !pIFS->pbVisibility)
        return false;
    for (int e = 0; e < iElems; e++) {
        int aiHexa[8];
        for (int c = 0; c < 8; c++) aiHexa[c] = 8 * e + c;
        NKGetHexaFaces(pIFS->piConnects + 24 * e, aiHexa, false);
        NKFillPolygonRun(pIFS, 6 * e, 6, 4, 24 * e, e, 1, 0, 0);
    }
    return true;
}

// The grid of N^3 hexahedra over (N+1)^3 shared nodes as a binary NKF file
// with a node scalar; written by a child process. False when it fails.
bool WriteGridFile(const std::string &path)
{
    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        const int s = N + 1, nodes = s * s * s;
        std::vector<int32_t> ids((size_t)nodes);
        std::vector<float> coords(3 * (size_t)nodes), values((size_t)nodes);
        for (int n = 0; n < nodes; n++) {
            int i = n % s, j = (n / s) % s, k = n / (s * s);
            ids[(size_t)n] = n + 1;
            coords[3 * (size_t)n] = 0.01f * (float)i;
            coords[3 * (size_t)n + 1] = 0.01f * (float)j;
            coords[3 * (size_t)n + 2] = 0.01f * (float)k;
            values[(size_t)n] = 0.1f * (float)(i + j + k);
        }
        NKFTestSection hexahedra{NK_ELEM_HEXAHEDRON + 1, {}, {}, N * N * N};
        hexahedra.refs.reserve(8 * (size_t)N * N * N);
        for (int k = 0; k < N; k++)
            for (int j = 0; j < N; j++)
                for (int i = 0; i < N; i++)
                    for (int dk = 0; dk < 2; dk++) {  // 1-based node indices
                        int b = i + s * (j + s * (k + dk)) + 1;
                        for (int c : {b, b + 1, b + 1 + s, b + s}) hexahedra.refs.push_back(c);
                    }
        NKFTestWriter w(false);
        AppendFileHeader(w);
        AppendNodesBlock(w, 1, ids.data(), coords.data(), nodes);
        AppendElementsBlock(w, 1, 1, {hexahedra}, false, false, 0);
        AppendResultsBlock(w, 1, 1, 1, 0, nullptr, values.data(), nodes, 1);
        AppendGeometryBlock(w, 1, "Grid", {{1, "", 0.0f, {}, {1}}});
        _exit(NKTestWriteBytes(path, w.Data()) ? 0 : 1);
    }
    int iStatus = 0;
    return waitpid(pid, &iStatus, 0) == pid && WIFEXITED(iStatus) && WEXITSTATUS(iStatus) == 0;
}

double PeakMegabytes()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return (double)usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}

// The geometry of the first step through the NKF import, best of the runs; prints
// the time per million hexahedra and the peak memory per million nodes.
bool TimeImportGeometry(int iRuns)
{
    std::string dir = NKTestMakeTempDir("quolin_bench_mesh_");
    std::string path = dir + "/grid.nkf";
    if (dir.empty() || !WriteGridFile(path)) {
        std::fprintf(stderr, "Cannot write the grid file\n");
        return false;
    }
    NKToggleMessageOutput(false);
    g_pModel = NKCreateModel();
    double dBest = 1e30;
    bool bOk = true;
    int iNodes = 0;
    for (int r = 0; r < iRuns && bOk; r++) {
        bOk = NKFIInitInterface(path.c_str());
        auto t0 = std::chrono::steady_clock::now();
        NKGeometry *pGeo = bOk ? NKFGetGeometry(0, true) : nullptr;
        dBest = std::min(dBest, Seconds(t0));
        bOk = pGeo != nullptr && pGeo->iNumParts == 1 &&
              pGeo->pParts[0].iNumPolygons == 6 * N * N &&
              pGeo->pParts[0].iNumElements == N * N * N;
        if (bOk) iNodes = pGeo->pParts[0].iNumNodes;
        NKReleaseGeometry(pGeo);
        NKFCloseInterface();
    }
    double dPeak = PeakMegabytes();
    NKDestroyModel(g_pModel);
    g_pModel = nullptr;
    NKToggleMessageOutput(true);
    NKTestRemoveDir(dir);
    double dMillionHexa = (double)N * N * N / 1e6, dMillionNodes = iNodes / 1e6;
    std::printf("NKF geometry of step 0: %8.3f s  (%d nodes, %d hexahedra)\n", dBest, iNodes,
                N * N * N);
    std::printf("  per million hexahedra  %8.3f s   (aim <= 0.6)\n", dBest / dMillionHexa);
    std::printf("  peak resident memory   %8.1f MB, %.1f MB per million nodes   (aim <= 250)\n",
                dPeak, dMillionNodes > 0 ? dPeak / dMillionNodes : 0.0);
    return bOk;
}

// The clean-up steps on a block of n^3 elements with their own nodes, each
// the best of the runs in seconds; false when a step fails or the result is
// not the block's skin over its shared nodes.
struct CleanUpTimes {
    double made = 1e30, listing = 1e30, merge = 1e30, hiding = 1e30, unused = 1e30;
};

bool TimeCleanUp(int n, int iRuns, CleanUpTimes *pTimes)
{
    int iSaved = N;
    N = n;
    bool bOk = true;
    for (int r = 0; r < iRuns && bOk; r++) {
        NKIndexedFaceSet ifs;
        NKInitPolygonMesh(&ifs);
        auto step = [](double *pdBest, auto t0) { *pdBest = std::min(*pdBest, Seconds(t0)); };
        auto t0 = std::chrono::steady_clock::now();
        ifs.pfCoords = MakeElementNodes(&ifs.iNumNodes);
        step(&pTimes->made, t0);
        t0 = std::chrono::steady_clock::now();
        bOk = ifs.pfCoords != nullptr && ListFaces(&ifs);
        step(&pTimes->listing, t0);
        t0 = std::chrono::steady_clock::now();
        bOk = bOk && NKMergeCoincidentNodes(ifs.piConnects, ifs.iConnectLength,
                                            (float(*)[3])ifs.pfCoords, ifs.iNumNodes);
        step(&pTimes->merge, t0);
        t0 = std::chrono::steady_clock::now();
        bOk = bOk && HideInternalFaces(&ifs);
        step(&pTimes->hiding, t0);
        t0 = std::chrono::steady_clock::now();
        bOk = bOk && NKRemoveUnusedNodesFromIFS(&ifs);
        step(&pTimes->unused, t0);
        bOk = bOk && ifs.iNumKeptPolygons == 6 * N * N &&
              ifs.iNumNodes == (N + 1) * (N + 1) * (N + 1);
        NKFreePolygonMesh(&ifs);
    }
    N = iSaved;
    return bOk;
}

}  // namespace

int main(int argc, char **argv)
{
    const int iRuns = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    if (!TimeImportGeometry(iRuns)) {
        std::printf("FAILED\n");
        return 1;
    }
    // The clean-up at 1M and 8M nodes made (50^3 and 100^3 elements), with
    // the growth between them: x8 is linear.
    CleanUpTimes small, large;
    bool bOk = TimeCleanUp(50, iRuns, &small) && TimeCleanUp(100, iRuns, &large);
    std::printf("clean-up, best of %d      1M nodes   8M nodes   growth\n", iRuns);
    const struct {
        const char *pszName;
        double CleanUpTimes::*pTime;
    } rows[] = {{"nodes made", &CleanUpTimes::made},
                {"face listing", &CleanUpTimes::listing},
                {"coincident nodes", &CleanUpTimes::merge},
                {"internal faces", &CleanUpTimes::hiding},
                {"unused nodes", &CleanUpTimes::unused}};
    for (const auto &row : rows) {
        double s = small.*row.pTime, l = large.*row.pTime;
        std::printf("  %-22s %8.3f s %8.3f s   x%5.2f\n", row.pszName, s, l, s > 0 ? l / s : 0.0);
    }
    std::printf("  merge of 8M nodes %.3f s (aim <= 1.5)\n", large.merge);
    std::printf("%s\n", bOk ? "ok" : "FAILED");
    return bOk ? 0 : 1;
}
