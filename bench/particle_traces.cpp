// bench/particle_traces.cpp -- times NKComputeParticleTraces on one part of
// 100 x 100 x 100 unit hexahedra with the rotating node vectors
// (50 - y, x - 50, 0): 100 x 100 x 1 seeds over (15.5, 15.5, 50.5) -
// (84.5, 84.5, 50.5), forward, 1,000 steps each (10^7 steps), the element
// table and seed grid built first. Prints the trace steps per second, the
// time of one step against core's point-location test of one element
// (NKFindElementContainingPoint over one record), and the seeds' location
// through the grid against the whole run and against core's scan. Targets:
// a step within 3x the one-element test; the seeds under 2 % of the run.
// A plain timed main, one core.
#include <chrono>
#include <cstdio>

#include "core/nk_element_types.h"
#include "core/nk_frames.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_topology.h"
#include "tests/test_support/hex_block.h"
#include "tools/nk_element_grid.h"
#include "tools/nk_particle_trace.h"

namespace {

const int N = 100;

// Frame 0 of the global model: N^3 unit hexahedra and the rotating field as
// displaced coordinates of its vector result.
bool MakeFrame(NKFrame *f)
{
    NKGeometry *pGeo = NKCreateGeometry(1);
    NKVectorResult *r = NKCreateVectorResult();
    if (pGeo == nullptr || r == nullptr) return false;
    NKPart &p = pGeo->pParts[0];
    if (!NKTestBuildHexBlock(&p, N)) return false;
    r->iNumParts = 1;
    r->pResults = (NKVectorPartEntry *)NKCalloc(1, sizeof(NKVectorPartEntry));
    float *pfValues = (float *)NKAlloc(sizeof(float) * 3 * (size_t)p.iNumNodes);
    if (!r->pResults || !pfValues) return false;
    r->pResults[0].iNumNodes = p.iNumNodes;
    r->pResults[0].pNodeValues = pfValues;
    for (int n = 0; n < p.iNumNodes; n++) {
        const float *c = p.pNodeCoords + 3 * (size_t)n;
        float *v = pfValues + 3 * (size_t)n;
        v[0] = c[0] + (50.0f - c[1]);
        v[1] = c[1] + (c[0] - 50.0f);
        v[2] = c[2];
    }
    r->fMaxDisplayLength = 70.8f;
    f->pGeometry = pGeo;
    pGeo->iNumRef = 1;
    f->pVector = r;
    r->iNumRef = 1;
    return true;
}

// Nanoseconds of core's test of one element that holds the point.
double OneElementTestNs(const NKFrame *f, const NKElementNeighbourRecord *pRecords)
{
    const int iReps = 2000000;
    int iHits = 0, iFace = -1;
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < iReps; i++) {
        const int e = (int)(((long long)i * 7919) % (N * N * N));
        const float p[3] = {e % N + 0.3f, (e / N) % N + 0.6f, e / (N * N) + 0.45f};
        iHits += NKFindElementContainingPoint(f, &pRecords[e], 1, p, &iFace) == 0;
    }
    double ns = NKTestSecondsSince(t0) * 1e9 / iReps;
    if (iHits != iReps) std::printf("warning: %d of %d test points missed\n", iReps - iHits, iReps);
    return ns;
}

// Seconds to locate the seeds through the grid; and the scan's seconds for
// the first iScan seeds.
double SeedSeconds(const NKFrame *f, const NKGeometry *g, int iScan, double *pfScan)
{
    int iFace = -1, iFound = 0;
    auto t0 = std::chrono::steady_clock::now();
    for (int j = 0; j < 100; j++)
        for (int i = 0; i < 100; i++) {
            const float p[3] = {15.5f + 69.0f * i / 99.0f, 15.5f + 69.0f * j / 99.0f, 50.5f};
            iFound += NKGridFindElementContainingPoint(g->pElementGrid, f, g->pElementRecords, p,
                                                       &iFace) >= 0;
        }
    double s = NKTestSecondsSince(t0);
    t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < iScan; i++) {
        const float p[3] = {15.5f + i, 84.5f - i, 50.5f};
        NKFindElementContainingPoint(f, g->pElementRecords, g->iNumElementRecords, p, &iFace);
    }
    *pfScan = NKTestSecondsSince(t0) * 10000.0 / iScan;
    if (iFound != 10000) std::printf("warning: %d seeds not located\n", 10000 - iFound);
    return s;
}

long long CountSteps(const ParticleTraceResult *r)
{
    long long n = 0;
    for (int s = 0; r != nullptr && s < r->iNumSeeds; s++)
        for (const TracePoint *p = r->pLines[s].pBackward; p != nullptr; p = p->pNext) n++;
    return n;
}

}  // namespace

int main()
{
    g_pModel = NKCreateModel();
    if (g_pModel == nullptr || !NKSetFrameCount(1, false)) return 1;
    g_pModel->fGeoScale = 1.0f;
    NKFrame *f = &g_pModel->pFrames[0];
    if (!MakeFrame(f) || !NKCreateParticleTraceSet()) return 1;
    NKGeometry *g = f->pGeometry;
    auto t0 = std::chrono::steady_clock::now();
    g->pElementRecords = NKBuildElementNeighbours(f, &g->iNumElementRecords);
    g->pElementGrid = NKBuildElementGrid(f, g->pElementRecords, g->iNumElementRecords);
    std::printf("element table and seed grid: %.2f s\n", NKTestSecondsSince(t0));
    ParticleTraceSet *s = g_pParticleTraceSet;
    TraceComputeOptions o;
    o.iDirection = 1;
    o.iMaxSteps = 1000;
    s->SetComputeOptions(o);
    TraceSeedBox box;
    box.bIsBox = 1;
    box.nx = box.ny = 100;
    const float c1[3] = {15.5f, 15.5f, 50.5f}, c2[3] = {84.5f, 84.5f, 50.5f};
    for (int k = 0; k < 3; k++) box.fCorner1[k] = c1[k], box.fCorner2[k] = c2[k];
    s->SetSeedBox(box, -1);
    t0 = std::chrono::steady_clock::now();
    NKComputeParticleTraces(f, s);
    const double fRun = NKTestSecondsSince(t0);
    const long long iSteps = CountSteps(f->pParticleTraces[0]);
    const double fStepNs = fRun * 1e9 / (double)iSteps;
    const double fTestNs = OneElementTestNs(f, g->pElementRecords);
    double fScan = 0.0;
    const double fSeeds = SeedSeconds(f, g, 5, &fScan);
    std::printf("trace steps: %lld in %.2f s: %.3g steps/s, %.0f ns a step\n", iSteps, fRun,
                iSteps / fRun, fStepNs);
    std::printf("one-element point test: %.0f ns; a step takes %.2fx that (target 3x)\n", fTestNs,
                fStepNs / fTestNs);
    std::printf("seed location through the grid: %.4f s, %.3f %% of the run (target 2 %%); "
                "the scan would take %.1f s\n",
                fSeeds, 100.0 * fSeeds / fRun, fScan);
    NKDestroyParticleTraceSet();
    NKDestroyModel(g_pModel);
    g_pModel = nullptr;
    return 0;
}
