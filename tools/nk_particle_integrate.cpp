// tools/nk_particle_integrate.cpp -- following a particle trace through one
// element: velocities by inverse-distance interpolation over the corners,
// fixed and adaptive steps, the exit test, the face crossing, the face rule
// into the neighbour and the segments added to the line (see
// nk_particle_integrate.h). Positions are the parts' own node coordinates
// (as core's point location uses them), vectors the frame's node vectors in
// display units.
#include "tools/nk_particle_integrate.h"

#include <algorithm>
#include <cmath>

#include "core/nk_element_types.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_progress.h"
#include "core/nk_ray.h"
#include "core/nk_topology.h"
#include "platform/nk_clock.h"

namespace {

inline float Dot(const float *a, const float *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline float Dist(const float *a, const float *b)
{
    const float d[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    return std::sqrt(Dot(d, d));
}
inline void Copy(float *d, const float *s)
{
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
}
// r = p + v s
inline void Step(float *r, const float *p, const float *v, float s)
{
    for (int k = 0; k < 3; k++) r[k] = p[k] + v[k] * s;
}

const float *PartVectors(TraceWork *w, int iPart, const NKPart *pPart)
{
    if (w->ppPartVectors[iPart] == nullptr)
        w->ppPartVectors[iPart] = NKComputePartDisplacements(iPart, pPart, w->pFrame, 0);
    return w->ppPartVectors[iPart];
}

}  // namespace

bool NKLoadTraceElement(TraceWork *w, int iRecord, TraceElement *pEl)
{
    if (iRecord < 0 || iRecord >= w->iNumRecords) return false;
    const NKElementNeighbourRecord &rec = w->pRecords[iRecord];
    const NKPart *pPart = NKGetFramePart(w->pFrame, rec.iPart);
    if (pPart == nullptr || pPart->pNodeCoords == nullptr || pPart->pElements == nullptr ||
        rec.iElement < 0 || rec.iElement >= pPart->iNumElements)
        return false;
    const NKElement &e = pPart->pElements[rec.iElement];
    TraceElement &el = *pEl;
    el.iRecord = iRecord;
    el.pPart = pPart;
    el.pfCoords = pPart->pNodeCoords;
    el.pfVectors = PartVectors(w, rec.iPart, pPart);
    el.iType = e.iType;
    el.iNumCorners = std::min(NKElementCornerCount(e.iType), 8);
    el.iNumFaces = std::min(NKElementFaceCount(e.iType), 6);
    if (el.pfVectors == nullptr || el.iNumCorners < 1 || el.iNumFaces < 1) return false;
    for (int c = 0; c < el.iNumCorners; c++) {
        long long j = (long long)e.iNodeStart + c;
        if (j < 0 || j >= pPart->iNumElementConnects) return false;
        el.aiCorners[c] = pPart->pElementConnects[j];
        if (el.aiCorners[c] < 0 || el.aiCorners[c] >= pPart->iNumNodes) return false;
    }
    el.fH = 0.0f;
    for (int c = 1; c < el.iNumCorners; c++)
        el.fH = std::max(
            el.fH, Dist(el.pfCoords + 3 * el.aiCorners[c], el.pfCoords + 3 * el.aiCorners[c - 1]));
    for (int f = 0; f < el.iNumFaces; f++) {
        int aiFace[4];
        NKPartElementFaceCorners(pPart, rec.iElement, f, aiFace);
        if (aiFace[0] < 0) return false;
        el.aiFaceFirst[f] = aiFace[0];
        el.afD[f] = Dot(rec.fFaceNormals[f], el.pfCoords + 3 * aiFace[0]);
    }
    return true;
}

float NKTraceVelocity(const TraceWork *w, const TraceElement &el, const float *p, float *v)
{
    NKInterpolateAtPoint(reinterpret_cast<const float(*)[3]>(el.pfCoords), el.aiCorners,
                         el.iNumCorners, nullptr, reinterpret_cast<const float(*)[3]>(el.pfVectors),
                         w->options.iInterpolation, p, nullptr, v);
    if (w->iDirection < 0)
        for (int k = 0; k < 3; k++) v[k] = -v[k];
    return std::sqrt(Dot(v, v));
}

int NKFindExitFaces(const TraceWork *w, const TraceElement &el, const float *p, int *piFaces)
{
    const NKElementNeighbourRecord &rec = w->pRecords[el.iRecord];
    if (el.iNumFaces < 4) {
        // A surface element: off its plane, or outside its polygon.
        const float *n = rec.fFaceNormals[0];
        bool bOut = std::fabs(Dot(n, p) - el.afD[0]) > 1e-12f ||
                    !NKPointInIndexedPolygon(n, el.pfCoords, el.aiCorners, el.iNumCorners, p);
        if (bOut) piFaces[0] = 0;
        return bOut ? 1 : 0;
    }
    int n = 0;
    for (int f = 0; f < el.iNumFaces; f++)
        if (Dot(rec.fFaceNormals[f], p) - el.afD[f] >= 0.0f) piFaces[n++] = f;
    return n;
}

bool NKCrossElementFace(const TraceWork *w, const TraceElement &el, const float *prev, float *pos,
                        const int *piFaces, int iNumFaces, int *piExitFace)
{
    const NKElementNeighbourRecord &rec = w->pRecords[el.iRecord];
    const float d[3] = {pos[0] - prev[0], pos[1] - prev[1], pos[2] - prev[2]};
    float fBest = 0.0f;
    int iBest = -1;
    for (int i = 0; i < iNumFaces; i++) {
        const float *n = rec.fFaceNormals[piFaces[i]];
        const float fDen = Dot(n, d);
        if (!(fDen > 0.0f)) continue;  // parallel, or moving inwards
        float t = (el.afD[piFaces[i]] - Dot(n, prev)) / fDen;
        if (t < 0.0f) t = 0.0f;  // prev already a hair beyond the plane
        if (iBest < 0 || t < fBest) {
            fBest = t;
            iBest = piFaces[i];
        }
    }
    if (iBest < 0) return false;
    float afCross[3];
    Step(afCross, prev, d, fBest);
    if (!NKPointInBox(w->fSearchBox, afCross)) return false;
    Copy(pos, afCross);
    *piExitFace = iBest;
    return true;
}

bool NKAddTracePoint(TraceWork *w, const float *start, const float *end, float fSpeed)
{
    if (fSpeed < w->fStopSpeed) return false;
    // The time follows the segment's own length.
    if (fSpeed != 0.0f) w->fTime += (float)w->iDirection * Dist(start, end) / fSpeed;
    ParticleTraceResult *r = w->pResult;
    r->fMinTime = std::min(r->fMinTime, w->fTime);
    r->fMaxTime = std::max(r->fMaxTime, w->fTime);
    r->fMinSpeed = std::min(r->fMinSpeed, fSpeed);
    r->fMaxSpeed = std::max(r->fMaxSpeed, fSpeed);
    TracePoint *p = static_cast<TracePoint *>(NKAlloc(sizeof(TracePoint)));
    if (p == nullptr) return false;
    p->fTime = w->fTime;
    p->fSpeed = fSpeed;
    Copy(p->fStart, start);
    Copy(p->fEnd, end);
    p->uColor[0] = p->uColor[1] = p->uColor[2] = 255;
    p->pNext = p->pPrevious = nullptr;
    TraceLine *pLine = w->pLine;
    if (pLine->pFirst == nullptr) {
        pLine->pFirst = pLine->pForward = pLine->pBackward = p;
    } else if (w->iDirection > 0) {
        p->pPrevious = pLine->pForward;
        pLine->pForward->pNext = p;
        pLine->pForward = p;
    } else {
        p->pNext = pLine->pBackward;
        pLine->pBackward->pPrevious = p;
        pLine->pBackward = p;
    }
    return ++w->iNumPoints < w->options.iMaxSteps;
}

bool NKPollTraceCancel(TraceWork *w)
{
    const uint32_t uNow = NKGetMilliseconds();
    if (!w->bPolled || uNow - w->uLastPoll >= 50u) {
        w->bPolled = true;
        w->uLastPoll = uNow;
        if (NKCheckCancel()) w->bAbort = true;
    }
    return w->bAbort;
}

namespace {

// What one step did.
struct StepState {
    bool bStopped = false;
    bool bRejected = false;
    int iNumExits = 0;
    int aiExits[6] = {};
    float fSpeed = 0.0f;  // at the step's start
};

// The segment that closes the element at an exit.
bool AddClosingSegment(TraceWork *w, const TraceElement &el, const float *entry, const float *prev,
                       const float *pos, float fSpeedPrev)
{
    if (w->options.bPointsInside) return NKAddTracePoint(w, prev, pos, fSpeedPrev);
    float v[3];
    return NKAddTracePoint(w, entry, pos, NKTraceVelocity(w, el, entry, v));
}

// One fixed step of length s from prev into pos; a zero speed stops.
void FixedStep(TraceWork *w, const TraceElement &el, const float *prev, float s, float *pos,
               StepState *st)
{
    float v[3];
    st->fSpeed = NKTraceVelocity(w, el, prev, v);
    if (st->fSpeed == 0.0f) {
        Copy(pos, prev);
        st->bStopped = true;
        return;
    }
    Step(pos, prev, v, s / st->fSpeed);
}

// Methods 0 and 1: fixed steps of h or h / steps per element.
bool TraceFixed(TraceWork *w, const TraceElement &el, float *pos, int *piExitFace)
{
    const float s = w->options.iMethod == 0 ? el.fH : el.fH / (float)w->options.iStepsPerElement;
    float entry[3], prev[3];
    Copy(entry, pos);
    for (;;) {
        StepState st;
        Copy(prev, pos);
        FixedStep(w, el, prev, s, pos, &st);
        if (!st.bStopped) st.iNumExits = NKFindExitFaces(w, el, pos, st.aiExits);
        if (w->options.bPointsInside && !st.bStopped && st.iNumExits == 0)
            st.bStopped = !NKAddTracePoint(w, prev, pos, st.fSpeed);
        if (!st.bStopped && st.iNumExits == 0 && pos[0] == prev[0] && pos[1] == prev[1] &&
            pos[2] == prev[2])
            st.bStopped = true;
        if (NKPollTraceCancel(w)) st.bStopped = true;
        if (st.iNumExits > 0) {
            if (st.bStopped) return true;
            if (!NKCrossElementFace(w, el, prev, pos, st.aiExits, st.iNumExits, piExitFace))
                return true;
            return !AddClosingSegment(w, el, entry, prev, pos, st.fSpeed);
        }
        if (st.bStopped) return true;
    }
}

// The adaptive third-order step from pos with the carried step length:
// stages k1 at p, k2 at p + 2/3 k1 dt, k3 at p + (2 k2 - 2 k1) dt; the
// third-order result p + (k1/8 + 3 k2/4 + k3/8) dt is kept when its squared
// distance from the second-order one p + (k1/4 + 3 k2/4) dt is within the
// tolerance, and dt follows that error within [dtMin, dtMax].
void AdaptiveStep(TraceWork *w, const TraceElement &el, float *pos, float *pfCarried, StepState *st)
{
    const float tol = w->options.fTolerance;
    float p[3], k1[3], k2[3], k3[3], p1[3], q[3];
    Copy(p, pos);
    const float fSpeed = NKTraceVelocity(w, el, p, k1);
    st->fSpeed = fSpeed;
    if (fSpeed == 0.0f) {
        st->fSpeed = 1e-12f;
        st->bStopped = true;
        return;
    }
    double dt = std::max((double)*pfCarried / fSpeed, 1e-10);
    const double dtMin = std::max(0.5 * el.fH * 0.001 / fSpeed, 1e-12);
    const double dtMax = 0.5 * el.fH / fSpeed;
    Step(p1, p, k1, (float)(dt * 2.0 / 3.0));
    st->iNumExits = NKFindExitFaces(w, el, p1, st->aiExits);
    if (st->iNumExits > 0) {
        Copy(pos, p1);
        *pfCarried = (float)(fSpeed * dt);
        return;
    }
    NKTraceVelocity(w, el, p1, k2);
    for (int k = 0; k < 3; k++) q[k] = (float)(p[k] + (2.0 * k2[k] - 2.0 * k1[k]) * dt);
    NKTraceVelocity(w, el, q, k3);
    float p3[3];
    double e = 0.0;
    for (int k = 0; k < 3; k++) {
        double d3 = (k1[k] / 8.0 + 3.0 * k2[k] / 4.0 + k3[k] / 8.0) * dt;
        double d2 = (k1[k] / 4.0 + 3.0 * k2[k] / 4.0) * dt;
        p3[k] = (float)(p[k] + d3);
        e += (d2 - d3) * (d2 - d3);
    }
    e = std::max(e, 1e-10);
    const double fGrow = 0.95 * dt * std::cbrt(tol / e);
    // A step already at the smallest size is taken: rejecting it again
    // could never end. The carried length passes through a float, so the
    // size comes back a few parts in 10^7 off.
    if (e > tol && dt > dtMin * (1.0 + 1e-5)) {
        st->bRejected = true;
        dt = fGrow;
    } else {
        Copy(pos, p3);
        if (e < 2.0 / 3.0 * tol) dt = std::min(fGrow, 2.0 * dt);
    }
    dt = std::min(std::max(dt, dtMin), dtMax);
    if (!st->bRejected) {
        st->iNumExits = NKFindExitFaces(w, el, pos, st->aiExits);
        if (st->iNumExits > 0) Copy(pos, p1);
    }
    *pfCarried = (float)(fSpeed * dt);
}

// Method 2: adaptive steps with error control.
bool TraceAdaptive(TraceWork *w, const TraceElement &el, float *pos, int *piExitFace)
{
    float fCarried = el.fH / (float)w->options.iStepsPerElement;
    float entry[3], prev[3];
    Copy(entry, pos);
    Copy(prev, pos);
    bool bRejected = false;
    for (;;) {
        if (!bRejected) Copy(prev, pos);
        StepState st;
        AdaptiveStep(w, el, pos, &fCarried, &st);
        bRejected = st.bRejected;
        if (w->options.bPointsInside && st.iNumExits == 0 && !st.bStopped && !st.bRejected)
            st.bStopped = !NKAddTracePoint(w, prev, pos, st.fSpeed);
        if (NKPollTraceCancel(w)) st.bStopped = true;
        if (st.iNumExits > 0 && !st.bStopped) {
            if (!NKCrossElementFace(w, el, prev, pos, st.aiExits, st.iNumExits, piExitFace))
                return true;
            fCarried = Dist(prev, pos);
            if (fCarried == 0.0f) fCarried = 1e-12f;
            StepState fixed;
            FixedStep(w, el, prev, fCarried, pos, &fixed);
            if (fixed.bStopped) return true;
            return !AddClosingSegment(w, el, entry, prev, pos, fixed.fSpeed);
        }
        if (st.bStopped) return true;
    }
}

}  // namespace

bool NKTraceThroughElement(TraceWork *w, const TraceElement &el, float *pos, int *piExitFace)
{
    *piExitFace = -1;
    if (w->options.iMethod == 2) return TraceAdaptive(w, el, pos, piExitFace);
    return TraceFixed(w, el, pos, piExitFace);
}

int NKEnterNeighbourElement(TraceWork *w, const TraceElement &el, int iFace, float *pos,
                            int *piNext)
{
    const NKElementNeighbourRecord &rec = w->pRecords[el.iRecord];
    const int iNext = rec.iNeighbours[iFace][0];
    const int iNextFace = rec.iNeighbours[iFace][1];
    float ve[3], vn[3];
    NKTraceVelocity(w, el, pos, ve);
    const float *ne = rec.fFaceNormals[iFace];
    // Angles against pi/2 are signs of the dot products.
    const float fDotE = Dot(ve, ne);
    float fDotN = fDotE;
    Copy(vn, ve);
    TraceElement next;
    if (iNext >= 0 && iNextFace >= 0 && iNextFace < 6 && NKLoadTraceElement(w, iNext, &next)) {
        NKTraceVelocity(w, next, pos, vn);
        fDotN = Dot(vn, w->pRecords[iNext].fFaceNormals[iNextFace]);
    } else if (iNext >= 0) {
        return NK_TRACE_STOP;  // a neighbour that cannot be traced
    }
    *piNext = iNext;
    if (fDotE > 0.0f && fDotN < 0.0f) return iNext >= 0 ? NK_TRACE_ENTER : NK_TRACE_LEAVE;
    if (fDotE < 0.0f && fDotN > 0.0f) return NK_TRACE_STAY;
    float avg[3];
    for (int k = 0; k < 3; k++) avg[k] = 0.5f * (ve[k] + vn[k]);
    const float fLen = std::sqrt(Dot(avg, avg));
    if (fLen == 0.0f) return NK_TRACE_STOP;
    Step(pos, pos, avg, 1e-10f / fLen);
    if (Dot(avg, ne) > 0.0f) return iNext >= 0 ? NK_TRACE_ENTER : NK_TRACE_LEAVE;
    return NK_TRACE_STAY;
}
