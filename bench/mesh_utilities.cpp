// bench/mesh_utilities.cpp -- times the mesh clean-up of a reader on a block
// of 100 x 100 x 100 hexahedra: face listing, coincident-node merging,
// internal-face hiding and the removal of unused nodes. Each element comes
// with its own eight nodes, as element-wise sources deliver them, so the merge
// has 8,000,000 nodes to bring together before the shared faces can be found.
// A plain timed main: prints each step's time and what it produced.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/nk_memory.h"
#include "core/nk_mesh.h"

namespace {

const int N = 100;  // elements along each axis

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

}  // namespace

int main()
{
    NKIndexedFaceSet ifs;
    NKInitPolygonMesh(&ifs);
    auto t0 = std::chrono::steady_clock::now();
    ifs.pfCoords = MakeElementNodes(&ifs.iNumNodes);
    std::printf("nodes made:           %8.3f s  (%d nodes)\n", Seconds(t0), ifs.iNumNodes);

    t0 = std::chrono::steady_clock::now();
    bool bOk = ifs.pfCoords != nullptr && ListFaces(&ifs);
    std::printf("face listing:         %8.3f s  (%d quadrilaterals)\n", Seconds(t0),
                ifs.iNumPolygons);

    t0 = std::chrono::steady_clock::now();
    bOk = bOk && NKMergeCoincidentNodes(ifs.piConnects, ifs.iConnectLength,
                                        (float(*)[3])ifs.pfCoords, ifs.iNumNodes);
    std::printf("coincident nodes:     %8.3f s\n", Seconds(t0));

    t0 = std::chrono::steady_clock::now();
    bOk = bOk && HideInternalFaces(&ifs);
    std::printf("internal faces:       %8.3f s  (%d faces kept)\n", Seconds(t0),
                ifs.iNumKeptPolygons);

    t0 = std::chrono::steady_clock::now();
    bOk = bOk && NKRemoveUnusedNodesFromIFS(&ifs);
    std::printf("unused nodes:         %8.3f s  (%d nodes left)\n", Seconds(t0), ifs.iNumNodes);

    int iExpectedKept = 6 * N * N, iExpectedNodes = (N + 1) * (N + 1) * (N + 1);
    bOk = bOk && ifs.iNumKeptPolygons == iExpectedKept && ifs.iNumNodes == iExpectedNodes;
    std::printf("%s\n", bOk ? "ok" : "FAILED");
    NKFreePolygonMesh(&ifs);
    return bOk ? 0 : 1;
}
