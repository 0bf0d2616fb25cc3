// tools/nk_particle_integrate.h -- the work record of one trace computation
// and the steps that follow a trace through the elements, shared by
// nk_particle_integrate.cpp (the element steps) and nk_particle_compute.cpp
// (seeds, passes, progress and colouring). Nothing outside those two files
// uses it; NKComputeParticleTraces (nk_particle_trace.h) is the entry.
#pragma once

#include <cstdint>

#include "tools/nk_particle_trace.h"

struct NKFrame;
struct NKPart;
struct NKElementNeighbourRecord;

// One computation of a frame's traces, and the state of the running pass.
struct TraceWork {
    NKFrame *pFrame = nullptr;
    const NKElementNeighbourRecord *pRecords = nullptr;
    int iNumRecords = 0;
    float **ppPartVectors = nullptr;  // per part, made on first use (NKAlloc)
    TraceComputeOptions options;
    float fStopSpeed = 0.0f;
    float fSearchBox[6] = {0, 0, 0, 0, 0, 0};
    // The running pass.
    ParticleTraceResult *pResult = nullptr;
    TraceLine *pLine = nullptr;
    int iDirection = 1;
    float fTime = 0.0f;
    int iNumPoints = 0;
    bool bAbort = false;
    bool bPolled = false;
    uint32_t uLastPoll = 0;
};

// The element a pass is in, with what its steps need.
struct TraceElement {
    int iRecord = -1;
    const NKPart *pPart = nullptr;
    const float *pfCoords = nullptr;   // the part's node coordinates
    const float *pfVectors = nullptr;  // the part's node vectors
    int iType = 0;
    int iNumCorners = 0;
    int aiCorners[8] = {};
    int iNumFaces = 0;
    int aiFaceFirst[6] = {};  // first corner node of each face
    float afD[6] = {};        // face planes: normal . first corner
    float fH = 0.0f;          // element size
};

// Loads record iRecord; false when it has no usable corners or vectors.
bool NKLoadTraceElement(TraceWork *w, int iRecord, TraceElement *pEl);
// The velocity at p in the element (negated for the backward direction);
// returns the speed.
float NKTraceVelocity(const TraceWork *w, const TraceElement &el, const float *p, float *v);
// The faces p has left by (at most six, into piFaces); their count.
int NKFindExitFaces(const TraceWork *w, const TraceElement &el, const float *p, int *piFaces);
// Moves pos to the nearest crossing of prev -> pos with an exit face's plane;
// false (pos unchanged) when there is none or it lies outside the search box.
bool NKCrossElementFace(const TraceWork *w, const TraceElement &el, const float *prev, float *pos,
                        const int *piFaces, int iNumFaces, int *piExitFace);
// Adds the segment start -> end with the speed at its start; false when the
// pass stops (slow, out of memory, or the step limit reached).
bool NKAddTracePoint(TraceWork *w, const float *start, const float *end, float fSpeed);
// Follows the pass through one element from pos. True when the pass stopped
// (also for a cancel); false when it left the element through *piExitFace,
// with pos on that face.
bool NKTraceThroughElement(TraceWork *w, const TraceElement &el, float *pos, int *piExitFace);

// What the face rule decides.
enum { NK_TRACE_STAY = 0, NK_TRACE_ENTER = 1, NK_TRACE_LEAVE = 2, NK_TRACE_STOP = 3 };
// At exit face iFace of el with pos on it: stay, enter the neighbour (then
// *piNext is its record), leave the mesh or stop. pos may move by 1e-10.
int NKEnterNeighbourElement(TraceWork *w, const TraceElement &el, int iFace, float *pos,
                            int *piNext);
// Polls the Cancel button at most every 50 ms; true once cancelled.
bool NKPollTraceCancel(TraceWork *w);
