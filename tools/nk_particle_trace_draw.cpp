// tools/nk_particle_trace_draw.cpp -- the scene pass of the particle traces
// (NKDrawParticleTraces): static lines, seed points and the animated display
// (incremental line, line and point tails, moving point), in immediate mode.
// The scene calls it for the frame being drawn with the global set
// (scene/nk_scene_extras.cpp); the traces come from nk_particle_compute.cpp.
#include <GL/gl.h>

#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "tools/nk_particle_trace.h"

namespace {

const ParticleTraceResult *Result(const NKFrame *pFrame, int t)
{
    return t < NK_MAX_FRAME_TRACES ? pFrame->pParticleTraces[t] : nullptr;
}

// Point size 3, white, one point per seed.
void NKDrawTraceStartPoints(const ParticleTraceResult *r)
{
    glPointSize(3.0f);
    glColor3ub(255, 255, 255);
    glBegin(GL_POINTS);
    for (int s = 0; s < r->iNumSeeds; s++) glVertex3fv(r->pfSeeds + 3 * s);
    glEnd();
}

// One strip per line through its segments in time order, each vertex in its
// segment's colour.
void NKDrawTraceLines(const ParticleTraceResult *r, const TraceDisplayOptions &o)
{
    if (o.iStaticLineWidth > 0) glLineWidth((float)o.iStaticLineWidth);
    for (int s = 0; s < r->iNumSeeds; s++) {
        const TracePoint *p = r->pLines[s].pBackward;
        if (p == nullptr) continue;
        glBegin(GL_LINE_STRIP);
        if (p->fTime < 0.0f) {
            glColor3ubv(p->uColor);
            glVertex3fv(p->fEnd);
        }
        const TracePoint *pLast = p;
        for (; p != nullptr; p = p->pNext) {
            glColor3ubv(p->uColor);
            glVertex3fv(p->fStart);
            pLast = p;
        }
        glVertex3fv(pLast->fEnd);
        glEnd();
    }
}

void Segment(const TracePoint *p)
{
    glBegin(GL_LINES);
    glVertex3fv(p->fStart);
    glVertex3fv(p->fEnd);
    glEnd();
}

void Point(const TracePoint *p, bool bStartPoint)
{
    glBegin(GL_POINTS);
    glVertex3fv(bStartPoint ? p->fStart : p->fEnd);
    glEnd();
}

// The segments up to the animation time t: incremental line, line tail,
// point tail, and the moving point once per line.
void NKDrawTraceAnimation(const ParticleTraceResult *r, const TraceDisplayOptions &o, float dt,
                          float t, float fLineWidth)
{
    static const GLubyte kWhite[3] = {255, 255, 255};
    const float fLineTailFrom = t - (float)o.iLineTailSteps * dt;
    const float fPointTailFrom = t - (float)o.iPointTailSteps * dt;
    for (int s = 0; s < r->iNumSeeds; s++) {
        bool bMovingDrawn = false;
        for (const TracePoint *p = r->pLines[s].pBackward; p != nullptr; p = p->pNext) {
            if (o.bMovingPoint && !bMovingDrawn && t <= p->fTime && p->fTime <= t + dt) {
                glPointSize((float)o.iPointSize);
                glColor3ubv(o.bPointSingleColor ? kWhite : p->uColor);
                Point(p, p->fTime >= 0.0f);
                bMovingDrawn = true;
            }
            if (p->fTime > t) continue;
            if (o.bIncrementalLine) {
                glLineWidth(fLineWidth);
                glColor3ubv(p->uColor);
                Segment(p);
            }
            if (o.bLineTail && p->fTime >= fLineTailFrom) {
                glLineWidth((float)o.iLineTailWidth);
                glColor3ubv(o.bLineTailSingleColor ? kWhite : p->uColor);
                Segment(p);
            }
            if (o.bPointTail && p->fTime >= fPointTailFrom) {
                glPointSize((float)o.iPointSize);
                glColor3ubv(o.bPointSingleColor ? kWhite : p->uColor);
                Point(p, p->fTime < 0.0f);
            }
        }
    }
}

}  // namespace

bool NKTraceAnimationTime(const NKFrame *pFrame, const ParticleTraceSet *pSet, float *pfDt,
                          float *pfTime)
{
    if (pFrame == nullptr || pSet == nullptr || pSet->GetAnimationSteps() < 1) return false;
    float fStart = 0.0f, fEnd = 0.0f;
    NKGetTraceTimeRange(pFrame, &fStart, &fEnd);
    const float dt = (fEnd - fStart) / (float)pSet->GetAnimationSteps();
    *pfDt = dt;
    *pfTime = (float)pSet->GetAnimationStep() * dt + fStart;
    return true;
}

void NKDrawParticleTraces(NKFrame *pFrame, const ParticleTraceSet *pSet)
{
    if (pFrame == nullptr || pSet == nullptr || !pSet->IsEnabled() || !pSet->IsShown()) return;
    const TraceDisplayOptions &o = pSet->GetDisplayOptions();
    const NKGraphicsSettings *g = g_pGraphicsSettings;
    const float fGlobalWidth = g != nullptr ? (float)g->iLineWidth : 1.0f;
    const float fGlobalSize = g != nullptr ? (float)g->iPointSize : 1.0f;
    float dt = 0.0f, t = 0.0f;
    const bool bClock = pSet->IsAnimating() && NKTraceAnimationTime(pFrame, pSet, &dt, &t);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_POINT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    for (int i = 0; i < pFrame->iNumParticleTraces; i++) {
        const ParticleTraceResult *r = Result(pFrame, i);
        if (r == nullptr || r->pLines == nullptr) continue;
        if (o.bStaticLine) NKDrawTraceLines(r, o);
        if (o.bStartPoints) NKDrawTraceStartPoints(r);
        if (bClock)
            NKDrawTraceAnimation(r, o, dt, t,
                                 o.iStaticLineWidth > 0 ? (float)o.iStaticLineWidth : fGlobalWidth);
    }
    glPopAttrib();
    glLineWidth(fGlobalWidth);
    glPointSize(fGlobalSize);
}
