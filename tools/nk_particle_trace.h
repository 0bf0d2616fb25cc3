// tools/nk_particle_trace.h -- particle traces: stream lines through the node
// vector field of a frame, followed element by element from seed points.
//
// One global ParticleTraceSet (g_pParticleTraceSet, made at start-up by
// NKCreateParticleTraceSet) holds up to five seed definitions and the
// display and computation options. The traces of a frame live with the frame
// (NKFrame::pParticleTraces, one ParticleTraceResult per seed definition) and
// are computed on demand by the scene's tool update
// (NKUpdateFrameParticleTraces) when a slot is null; every change of a seed
// or an option clears them (NKClearParticleTraces). nk_particle_trace.cpp
// keeps the set and the results, nk_particle_compute.cpp runs the passes
// from the seeds (element records of core/nk_topology.h and the seed grid of
// nk_element_grid.h kept with the geometry), nk_particle_integrate.cpp
// follows a pass through one element, nk_particle_trace_draw.cpp draws the
// traces and nk_particle_trace_commands.cpp holds the commands.
#pragma once

#include <cstdint>

#include "tools/nk_manipulator.h"

struct NKFrame;
struct NKAnimationSettings;

enum { NK_MAX_TRACE_SPECS = 5 };

// One seed definition; corners in model coordinates.
struct TraceSeedBox {
    uint8_t bIsBox = 0;  // 1: a box with two corners, 0: a single point
    int32_t nx = 1, ny = 1, nz = 1;
    float fCorner1[3] = {0.0f, 0.0f, 0.0f};
    float fCorner2[3] = {0.0f, 0.0f, 0.0f};
    bool operator==(const TraceSeedBox &o) const;
    bool operator!=(const TraceSeedBox &o) const { return !(*this == o); }
};

// How the traces are drawn (initial values as at start-up).
struct TraceDisplayOptions {
    uint8_t bStaticLine = 1;
    uint8_t bIncrementalLine = 0;
    uint8_t bMovingPoint = 0;
    uint8_t bPointTail = 0;
    uint8_t bLineTail = 0;
    uint8_t bPointSingleColor = 0;
    uint8_t bLineTailSingleColor = 0;
    uint8_t bStartPoints = 1;
    int32_t iPointTailSteps = 5;
    int32_t iLineTailSteps = 5;
    int32_t iLineTailWidth = 3;
    int32_t iPointSize = 4;
    int32_t iStaticLineWidth = 0;  // 0: the global line width
    bool operator==(const TraceDisplayOptions &o) const;
    bool operator!=(const TraceDisplayOptions &o) const { return !(*this == o); }
};

// How the traces are computed.
struct TraceComputeOptions {
    int32_t iMethod = 1;  // 0 one step per element size, 1 fixed steps, 2 adaptive
    float fTolerance = 1e-5f;
    int32_t iStepsPerElement = 20;
    uint8_t bPointsInside = 1;  // 0: one segment per element crossed
    int32_t iDirection = 0;     // 1 forward, -1 backward, 0 both
    int32_t iInterpolation = 2;
    int32_t iMaxSteps = 5000;
    float fStopFraction = 0.0f;
    bool operator==(const TraceComputeOptions &o) const;
    bool operator!=(const TraceComputeOptions &o) const { return !(*this == o); }
};

// One segment of a trace line, in display coordinates.
struct TracePoint {
    float fTime;  // at the segment's end; negative along the backward pass
    float fSpeed;
    float fStart[3];
    float fEnd[3];
    uint8_t uColor[3];
    TracePoint *pNext;
    TracePoint *pPrevious;
};

// The segments of one seed, ordered by time from pBackward to pForward.
struct TraceLine {
    TracePoint *pFirst = nullptr;
    TracePoint *pForward = nullptr;
    TracePoint *pBackward = nullptr;
};

// The traces of one seed definition in one frame; owned by the frame.
struct ParticleTraceResult {
    uint8_t bComputed = 0;
    int32_t iNumSeeds = 0;
    float *pfSeeds = nullptr;     // three per seed, display coordinates
    TraceLine *pLines = nullptr;  // one per seed
    float fMinTime = 1e12f;
    float fMaxTime = -1e12f;
    float fMinSpeed = 1e12f;
    float fMaxSpeed = -1e12f;
};

class ParticleTraceSet {
public:
    ParticleTraceSet();

    void Enable(bool bOn);
    // False when five traces exist; the new trace becomes current.
    bool AddTrace(bool bCopyCurrent);
    bool DeleteTrace(int iIndex, bool bAll);
    // Count 0, current 0, then one default trace.
    void Reset();
    bool SetCurrent(int iIndex);
    void SetAnimate(bool bOn);
    bool SetAnimationSteps(int n);
    bool SetDisplayOptions(const TraceDisplayOptions &options);
    bool SetComputeOptions(const TraceComputeOptions &options);
    bool SetSeedBox(const TraceSeedBox &box, int iIndex);
    // Null for an invalid index (-1: the current trace).
    const TraceSeedBox *GetSeedBox(int iIndex) const;
    // One animation step against the animation clock (see the source).
    void AdvanceAnimation(const NKAnimationSettings *pTiming);
    // Takes a moved handle's box into the current seed box; true when it did.
    bool TakeManipulatorBox();

    bool IsEnabled() const { return m_bEnabled != 0; }
    bool IsShown() const { return m_bShown != 0; }
    void SetShown(bool bOn) { m_bShown = bOn ? 1 : 0; }
    bool IsAnimating() const { return m_bAnimate != 0; }
    int GetNumTraces() const { return m_iNumTraces; }
    int GetCurrent() const { return m_iCurrent; }
    int GetAnimationSteps() const { return m_iAnimationSteps; }
    int GetAnimationStep() const { return m_iAnimationStep; }
    const TraceDisplayOptions &GetDisplayOptions() const { return m_Display; }
    const TraceComputeOptions &GetComputeOptions() const { return m_Compute; }
    GridBoxManipulator &Handle() { return m_Handle; }

private:
    int Resolve(int iIndex) const { return iIndex == -1 ? m_iCurrent : iIndex; }
    void MoveHandleToSeed();

    uint8_t m_bEnabled = 0;
    int m_iNumTraces = 0;
    int m_iCurrent = 0;
    uint8_t m_bShown = 0;
    uint8_t m_bAnimate = 0;
    int m_iAnimationSteps = 100;
    int m_iAnimationStep = 0;
    uint8_t m_bAnimationStarted = 0;  // the first AdvanceAnimation after SetAnimate ran
    uint32_t m_uParticleStamp = 0;    // clock of the last animation step
    TraceDisplayOptions m_Display;
    TraceComputeOptions m_Compute;
    TraceSeedBox m_Seeds[NK_MAX_TRACE_SPECS];
    GridBoxManipulator m_Handle;
};

extern ParticleTraceSet *g_pParticleTraceSet;

// Start-up and shut-down of the global set. Create answers false when
// memory runs out.
bool NKCreateParticleTraceSet(void);
void NKDestroyParticleTraceSet(void);
// Fills core's slots for freeing a frame's traces and for reading and
// setting a trace's seed.
void NKInstallParticleTraceHooks(void);

// Frees the results of trace iTrace (negative: all) in frame iFrame
// (negative: every frame). True.
bool NKClearParticleTraces(int iTrace, int iFrame);
// Frees every result of one frame and sets its count to 0.
void NKFreeFrameParticleTraces(NKFrame *pFrame);
// Frees one result with its lines and points.
void NKFreeParticleTraceResult(ParticleTraceResult *pResult);
// False when the set is not enabled; else true when some frame of the range
// (negative: all) lacks a result of one of the set's traces.
bool NKParticleTracesNeedUpdate(ParticleTraceSet *pSet, int iFrame);
// Computes every missing result of the frame. False only for missing
// arguments or a failed work-array allocation.
bool NKComputeParticleTraces(NKFrame *pFrame, ParticleTraceSet *pSet);
// The smallest minimum and largest maximum time over the frame's results.
bool NKGetTraceTimeRange(const NKFrame *pFrame, float *pfMin, float *pfMax);
// The scene's per-frame step: computes missing traces of a frame with a
// vector result while the set is enabled, then advances the animation.
void NKUpdateFrameParticleTraces(int iFrame, NKFrame *pFrame, NKAnimationSettings *pTiming);

// The animation clock of the drawing: the time step and the current time of
// the set's animation step over the frame's time range. False when the
// number of animation steps is below 1.
bool NKTraceAnimationTime(const NKFrame *pFrame, const ParticleTraceSet *pSet, float *pfDt,
                          float *pfTime);
// The scene pass of the traces of the frame (GL state restored).
void NKDrawParticleTraces(NKFrame *pFrame, const ParticleTraceSet *pSet);
