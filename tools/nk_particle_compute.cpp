// tools/nk_particle_compute.cpp -- NKComputeParticleTraces: the element
// records and seed grid kept with the geometry, the results of a frame's
// missing traces, the passes from each seed through the elements with the
// progress bar and its Cancel button, and the colouring by speed. The steps
// inside one element are in nk_particle_integrate.cpp.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/nk_bbox.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "core/nk_ray.h"
#include "core/nk_stopwatch.h"
#include "core/nk_topology.h"
#include "tools/nk_element_grid.h"
#include "tools/nk_particle_integrate.h"
#include "tools/nk_particle_trace.h"

namespace {

// The element records, their normals and the seed grid of the frame's
// geometry, built or refreshed as needed. False without records.
bool PrepareElementRecords(NKFrame *pFrame)
{
    NKGeometry *pGeo = pFrame->pGeometry;
    if (pGeo == nullptr) return false;
    if (pGeo->pElementRecords == nullptr) {
        NKTimerStart("Finding neighbour elements...");
        int iCount = 0;
        pGeo->pElementRecords = NKBuildElementNeighbours(pFrame, &iCount);
        pGeo->iNumElementRecords = pGeo->pElementRecords != nullptr ? iCount : 0;
        NKFree(pGeo->pElementGrid);
        pGeo->pElementGrid =
            NKBuildElementGrid(pFrame, pGeo->pElementRecords, pGeo->iNumElementRecords);
        NKTimerStop("Done. ");
        pGeo->bElementNormalsOutOfDate = 0;
    } else if (pGeo->bElementNormalsOutOfDate) {
        NKTimerStart("Updating element normals...");
        NKComputeElementListFaceNormals(pFrame, pGeo->pElementRecords, pGeo->iNumElementRecords);
        NKFree(pGeo->pElementGrid);
        pGeo->pElementGrid =
            NKBuildElementGrid(pFrame, pGeo->pElementRecords, pGeo->iNumElementRecords);
        NKTimerStop("Done. ");
        pGeo->bElementNormalsOutOfDate = 0;
    }
    return pGeo->pElementRecords != nullptr && pGeo->pElementGrid != nullptr;
}

// The frame's geometry box in display coordinates, joined with the records'
// box (a geometry whose box was never computed still bounds its elements),
// grown by a hair so that a crossing computed on the boundary in floats
// still counts as inside.
void MakeSearchBox(const NKFrame *pFrame, const void *pGrid, float *pfBox)
{
    NKGetElementGridBox(pGrid, pfBox);
    const float *pfGeo = NKGetGeoBoundingBox(pFrame, NK_BOX_UNDEFORMED);
    if (!NKIsEmptyBox(pfGeo)) {
        float afGeo[6];
        std::memcpy(afGeo, pfGeo, sizeof(afGeo));
        ModelToDisplayBox(afGeo);
        for (int k = 0; k < 3; k++) {
            pfBox[k] = std::min(pfBox[k], afGeo[k]);
            pfBox[k + 3] = std::max(pfBox[k + 3], afGeo[k + 3]);
        }
    }
    float fExtent = 0.0f;
    for (int k = 0; k < 3; k++) fExtent = std::max(fExtent, std::fabs(pfBox[k + 3] - pfBox[k]));
    const float fGrow = 1e-5f * (fExtent > 0.0f ? fExtent : 1.0f);
    for (int k = 0; k < 3; k++) {
        pfBox[k] -= fGrow;
        pfBox[k + 3] += fGrow;
    }
}

// A new result with the seed lattice (display coordinates) and one empty
// line per seed; null when memory runs out or a count is below 1.
ParticleTraceResult *MakeResult(const TraceSeedBox &seed)
{
    if (seed.nx < 1 || seed.ny < 1 || seed.nz < 1) return nullptr;
    const long long n = (long long)seed.nx * seed.ny * seed.nz;
    if (n > 0x7fffffff) return nullptr;
    ParticleTraceResult *r = static_cast<ParticleTraceResult *>(NKAlloc(sizeof(*r)));
    if (r == nullptr) return nullptr;
    *r = ParticleTraceResult();
    float afBox[6];
    std::memcpy(afBox, seed.fCorner1, 3 * sizeof(float));
    std::memcpy(afBox + 3, seed.fCorner2, 3 * sizeof(float));
    ModelToDisplayBox(afBox);
    r->pfSeeds = NKMakeBoxGridPoints(afBox, seed.nx, seed.ny, seed.nz);
    r->pLines = static_cast<TraceLine *>(NKAlloc(sizeof(TraceLine) * (size_t)n));
    if (r->pfSeeds == nullptr || r->pLines == nullptr) {
        NKFreeParticleTraceResult(r);
        return nullptr;
    }
    for (long long i = 0; i < n; i++) r->pLines[i] = TraceLine();
    r->iNumSeeds = (int)n;
    return r;
}

// Follows one pass from the seed's element and face. The element loop ends
// when the pass stops, leaves the mesh or is cancelled; a pass that moves
// less than a millionth of the element size through an element stops.
void TracePass(TraceWork *w, int iRecord, int iFace, const float *pfSeed, int iProgress)
{
    w->fTime = 0.0f;
    w->iNumPoints = 0;
    float pos[3];
    std::memcpy(pos, pfSeed, sizeof(pos));
    TraceElement el;
    if (!NKLoadTraceElement(w, iRecord, &el)) return;
    if (iFace >= 0) {
        int iNext = -1;
        int iRule = NKEnterNeighbourElement(w, el, iFace, pos, &iNext);
        if (iRule == NK_TRACE_STOP || iRule == NK_TRACE_LEAVE) return;
        if (iRule == NK_TRACE_ENTER && !NKLoadTraceElement(w, iNext, &el)) return;
    }
    NKSetProgress(iProgress - 6, nullptr);
    while (!w->bAbort) {
        float before[3];
        std::memcpy(before, pos, sizeof(before));
        int iExit = -1;
        if (NKTraceThroughElement(w, el, pos, &iExit)) break;
        const float d[3] = {pos[0] - before[0], pos[1] - before[1], pos[2] - before[2]};
        if (std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]) < 1e-6f * el.fH) break;
        int iNext = -1;
        int iRule = NKEnterNeighbourElement(w, el, iExit, pos, &iNext);
        if (iRule == NK_TRACE_STOP || iRule == NK_TRACE_LEAVE) break;
        if (iRule == NK_TRACE_ENTER && !NKLoadTraceElement(w, iNext, &el)) break;
    }
    NKSetProgress(iProgress, nullptr);
}

// Both passes of every seed of one result; k counts the passes that started
// inside an element.
void TraceResult(TraceWork *w, ParticleTraceResult *r, int *piPass)
{
    const NKGeometry *pGeo = w->pFrame->pGeometry;
    const int iDir = w->options.iDirection;
    for (int s = 0; s < r->iNumSeeds && !w->bAbort; s++) {
        const float *pfSeed = r->pfSeeds + 3 * s;
        w->pResult = r;
        w->pLine = &r->pLines[s];
        NKSetProgress(10 * (*piPass + 1) - 7, nullptr);
        int iFace = -1;
        const int iRecord = NKGridFindElementContainingPoint(pGeo->pElementGrid, w->pFrame,
                                                             w->pRecords, pfSeed, &iFace);
        if (iRecord < 0) continue;
        for (int iPass = 0; iPass < (iDir == 0 ? 2 : 1) && !w->bAbort; iPass++) {
            w->iDirection = iDir == 0 ? (iPass == 0 ? 1 : -1) : iDir;
            ++*piPass;
            TracePass(w, iRecord, iFace, pfSeed, 10 * *piPass);
        }
    }
    if (r->fMinTime > r->fMaxTime) r->fMinTime = r->fMaxTime = 0.0f;
    if (r->fMinSpeed > r->fMaxSpeed) r->fMinSpeed = r->fMaxSpeed = 0.0f;
    r->bComputed = 1;
}

// Every point of every result of the frame gets the fringe colour of its
// speed over the frame's speed range.
void ColourBySpeed(NKFrame *pFrame)
{
    float fMin = 1e12f, fMax = -1e12f;
    for (int t = 0; t < pFrame->iNumParticleTraces; t++) {
        const ParticleTraceResult *r = pFrame->pParticleTraces[t];
        if (r == nullptr || r->fMinSpeed > r->fMaxSpeed) continue;
        fMin = std::min(fMin, r->fMinSpeed);
        fMax = std::max(fMax, r->fMaxSpeed);
    }
    for (int t = 0; t < pFrame->iNumParticleTraces; t++) {
        const ParticleTraceResult *r = pFrame->pParticleTraces[t];
        for (int s = 0; r != nullptr && s < r->iNumSeeds; s++)
            for (TracePoint *p = r->pLines[s].pBackward; p != nullptr; p = p->pNext) {
                float fTex = 0.0f;
                NKMapScalarsToColors(fMin, fMax, 1, &p->fSpeed, p->uColor, &fTex);
            }
    }
}

int CountPasses(const NKFrame *pFrame, const ParticleTraceSet *pSet)
{
    long long n = 0;
    for (int t = 0; t < pSet->GetNumTraces() && t < NK_MAX_FRAME_TRACES; t++) {
        const TraceSeedBox *s = pSet->GetSeedBox(t);
        if (pFrame->pParticleTraces[t] == nullptr && s->nx > 0 && s->ny > 0 && s->nz > 0)
            n += (long long)s->nx * s->ny * s->nz;
    }
    n *= pSet->GetComputeOptions().iDirection == 0 ? 2 : 1;
    return (int)std::min(n * 10, 0x7fffffffLL);
}

// The traces of the frame's missing slots, in order; a cancel ends the
// work after the current result.
void ComputeMissing(TraceWork *w, ParticleTraceSet *pSet)
{
    NKFrame *pFrame = w->pFrame;
    pFrame->iNumParticleTraces = pSet->GetNumTraces();
    NKBeginProgress(CountPasses(pFrame, pSet), "Computing traces...", true, true);
    int iPass = 0;
    for (int t = 0; t < pSet->GetNumTraces() && t < NK_MAX_FRAME_TRACES && !w->bAbort; t++) {
        if (pFrame->pParticleTraces[t] != nullptr) continue;
        ParticleTraceResult *r = MakeResult(*pSet->GetSeedBox(t));
        if (r == nullptr) continue;
        pFrame->pParticleTraces[t] = r;
        TraceResult(w, r, &iPass);
    }
    ColourBySpeed(pFrame);
    NKEndProgress(w->bAbort ? "Aborted." : "Done.", true, true);
}

}  // namespace

bool NKComputeParticleTraces(NKFrame *pFrame, ParticleTraceSet *pSet)
{
    if (pFrame == nullptr || pSet == nullptr || pFrame->pGeometry == nullptr) return false;
    NKGeometry *pGeo = pFrame->pGeometry;
    const int iParts = std::max(pGeo->iNumParts, 1);
    float **ppVectors = static_cast<float **>(NKAlloc(sizeof(float *) * (size_t)iParts));
    if (ppVectors == nullptr) return false;
    for (int i = 0; i < iParts; i++) ppVectors[i] = nullptr;
    if (PrepareElementRecords(pFrame)) {
        TraceWork w;
        w.pFrame = pFrame;
        w.pRecords = pGeo->pElementRecords;
        w.iNumRecords = pGeo->iNumElementRecords;
        w.ppPartVectors = ppVectors;
        w.options = pSet->GetComputeOptions();
        // The largest node vector length in the traces' own (display) units.
        w.fStopSpeed = pFrame->pVector != nullptr
                           ? w.options.fStopFraction * pFrame->pVector->fMaxDisplayLength
                           : 0.0f;
        MakeSearchBox(pFrame, pGeo->pElementGrid, w.fSearchBox);
        ComputeMissing(&w, pSet);
    }
    for (int i = 0; i < iParts; i++) NKFree(ppVectors[i]);
    NKFree(ppVectors);
    return true;
}
