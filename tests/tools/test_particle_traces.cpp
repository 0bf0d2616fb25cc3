// tests/tools/test_particle_traces.cpp -- particle traces through blocks of
// hexahedra: segment counts, times and end points of the methods and
// options on a row of three cells, a trace grazing an element edge, the
// radius of a rotation, the seed grid against core's scan, the set's
// operations, a cancelled computation and the animation clock.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/nk_topology.h"
#include "platform/nk_progress_ui.h"
#include "scene/nk_scene.h"
#include "tests/test_support/recording_progress_ui.h"
#include "tests/tools/trace_fixtures.h"
#include "tools/nk_element_grid.h"

using traces::Segments;
using traces::TraceTest;

namespace {

const float kOrigin[3] = {0.0f, 0.0f, 0.0f};
const double kH = std::sqrt(2.0);  // the corner 3-4 step of a unit hexahedron

void Uniform(const float *, float *v)
{
    v[0] = 2.0f;
    v[1] = 0.0f;
    v[2] = 0.0f;
}

struct RowCase {
    const char *pszName;
    int iMethod;
    int bInside;
    int iMaxSteps;
    float fSeedX;
    float fStop;
    float fDisplayMax;  // -1: the field's own
    int iBackward, iForward;
};

// A row of 3 x 1 x 1 unit cells with node vectors (2, 0, 0).
const RowCase kRowCases[] = {
    {"defaults", 1, 1, 5000, 0.5f, 0.0f, -1.0f, 8, 38},
    {"one segment per element", 1, 0, 5000, 0.5f, 0.0f, -1.0f, 1, 3},
    {"adaptive", 2, 1, 5000, 0.5f, 0.0f, -1.0f, 4, 12},
    {"ten steps at most", 1, 1, 10, 0.5f, 0.0f, -1.0f, 8, 10},
    {"seed on a face", 1, 1, 5000, 1.0f, 0.0f, -1.0f, 15, 30},
    {"seed outside", 1, 1, 5000, 3.5f, 0.0f, -1.0f, 0, 0},
    {"stop fraction 1", 1, 1, 5000, 0.5f, 1.0f, -1.0f, 8, 38},
    // The model lengths (lengthMinMax) are ten times the display ones; the
    // stop speed follows the display length the traces move in.
    {"stop fraction 1, model lengths x10", 1, 1, 5000, 0.5f, 1.0f, 2.0f, 8, 38},
};

TEST_F(TraceTest, RowOfThreeCellsCountsSegmentsPerMethodAndOption)
{
    for (const RowCase &c : kRowCases) {
        SCOPED_TRACE(c.pszName);
        NKFrame *pFrame = Block(3, 1, 1, 1.0f, kOrigin, Uniform, c.fDisplayMax);
        pFrame->pVector->lengthMinMax.Update(20.0f, 0, 0, -1);
        TraceComputeOptions o;
        o.iMethod = c.iMethod;
        o.bPointsInside = (uint8_t)c.bInside;
        o.iMaxSteps = c.iMaxSteps;
        o.fStopFraction = c.fStop;
        const float seed[3] = {c.fSeedX, 0.5f, 0.5f};
        const ParticleTraceResult *r = Trace(pFrame, seed, o);
        ASSERT_NE(r, nullptr);
        EXPECT_TRUE(r->bComputed);
        const TraceLine &line = r->pLines[0];
        EXPECT_EQ(traces::CountIf(line, false), c.iBackward);
        EXPECT_EQ(traces::CountIf(line, true), c.iForward);
        if (c.iForward == 0) {
            EXPECT_EQ(line.pFirst, nullptr);
            continue;
        }
        float fPrevTime = -1e30f;
        for (const TracePoint *p : Segments(line)) {
            EXPECT_NEAR(p->fStart[1], 0.5f, 1e-6f);
            EXPECT_NEAR(p->fEnd[2], 0.5f, 1e-6f);
            EXPECT_GT(p->fTime, fPrevTime);  // ordered by time
            fPrevTime = p->fTime;
            // A segment takes its own length over its speed: the time at its
            // end less the time at its start (0 at the seed).
            const TracePoint *pFrom = p->fTime > 0.0f ? p->pPrevious : p->pNext;
            const float fFrom = pFrom != nullptr && (pFrom->fTime > 0.0f) == (p->fTime > 0.0f)
                                    ? pFrom->fTime
                                    : 0.0f;
            EXPECT_NEAR(std::fabs(p->fEnd[0] - p->fStart[0]),
                        p->fSpeed * std::fabs(p->fTime - fFrom), 1e-5f);
        }
        if (c.iMaxSteps == 5000 && c.fSeedX == 0.5f) {
            EXPECT_NEAR(line.pBackward->fEnd[0], 0.0f, 1e-6f);
            EXPECT_NEAR(line.pForward->fEnd[0], 3.0f, 1e-6f);
            EXPECT_NEAR(r->fMinTime, -0.25f, 1e-5f);
            EXPECT_NEAR(r->fMaxTime, 1.25f, 1e-5f);
        }
        if (c.iMethod == 2) {
            // Lengths double from h/20 within an element and never pass h/2.
            std::vector<const TracePoint *> s = Segments(line);
            const float fFirst =
                std::fabs(s[(size_t)c.iBackward]->fEnd[0] - s[(size_t)c.iBackward]->fStart[0]);
            EXPECT_NEAR(fFirst, kH / 20.0, 1e-5);
            for (const TracePoint *p : s)
                EXPECT_LE(std::fabs(p->fEnd[0] - p->fStart[0]), kH / 2.0 + 1e-5);
        }
    }
}

TEST_F(TraceTest, AdaptiveStepsAtTheSmallestSizeGoOnUnderAnUnreachableTolerance)
{
    NKFrame *pFrame = Block(3, 1, 1, 1.0f, kOrigin, Uniform);
    TraceComputeOptions o;
    o.iMethod = 2;
    o.fTolerance = 1e-30f;  // below the error floor: every step fails the test
    o.iDirection = 1;
    const float seed[3] = {2.5f, 0.5f, 0.5f};
    const ParticleTraceResult *r = Trace(pFrame, seed, o);
    ASSERT_NE(r, nullptr);
    ASSERT_NE(r->pLines[0].pForward, nullptr);
    EXPECT_NEAR(r->pLines[0].pForward->fEnd[0], 3.0f, 1e-5f);
    for (const TracePoint *p : Segments(r->pLines[0]))
        EXPECT_LE(p->fEnd[0] - p->fStart[0], 0.5 * kH * 0.001 + 1e-6);
}

TEST_F(TraceTest, TraceGrazingAnElementEdgeGoesOnToTheFarSide)
{
    NKFrame *pFrame = Block(3, 3, 1, 1.0f, kOrigin, [](const float *, float *v) {
        v[0] = 1.0f;
        v[1] = 1.0f;
        v[2] = 0.0f;
    });
    TraceComputeOptions o;
    o.iDirection = 1;
    const float seed[3] = {0.5f, 0.499995f, 0.5f};
    const ParticleTraceResult *r = Trace(pFrame, seed, o);
    ASSERT_NE(r, nullptr);
    ASSERT_NE(r->pLines[0].pForward, nullptr);
    EXPECT_NEAR(r->pLines[0].pForward->fEnd[0], 3.0f, 1e-4f);
}

TEST_F(TraceTest, RotationKeepsItsRadiusForOneRevolution)
{
    // 40 x 40 x 1 cells of 0.05 over [-1, 1]^2 x [0, 0.05].
    const float origin[3] = {-1.0f, -1.0f, 0.0f};
    NKFrame *pFrame = Block(40, 40, 1, 0.05f, origin, [](const float *p, float *v) {
        v[0] = -p[1];
        v[1] = p[0];
        v[2] = 0.0f;
    });
    TraceComputeOptions o;
    o.iDirection = 1;
    const double s = 0.05 * kH / 20.0;
    for (float r0 : {0.2f, 0.5f, 0.9f}) {
        SCOPED_TRACE(r0);
        const float seed[3] = {r0, 0.0f, 0.025f};
        const ParticleTraceResult *r = Trace(pFrame, seed, o);
        ASSERT_NE(r, nullptr);
        double fAngle = 0.0, fLastAngle = 0.0, fTimeAtTurn = -1.0;
        for (const TracePoint *p : Segments(r->pLines[0])) {
            double a = std::atan2(p->fEnd[1], p->fEnd[0]);
            if (a < 0.0) a += 2.0 * M_PI;
            if (a < fLastAngle - M_PI) {  // a full turn
                fTimeAtTurn = p->fTime;
                break;
            }
            fLastAngle = fAngle = a;
            const double rad = std::hypot(p->fEnd[0], p->fEnd[1]);
            EXPECT_GE(rad, r0 - 0.001);
            EXPECT_LE(rad, r0 + M_PI * s + 1e-4);
        }
        (void)fAngle;
        EXPECT_NEAR(fTimeAtTurn, 2.0 * M_PI, 0.01 * 2.0 * M_PI);
    }
}

TEST_F(TraceTest, SeedGridAnswersAsTheScan)
{
    NKFrame *pFrame = Block(6, 5, 4, 0.5f, kOrigin, Uniform);
    int iCount = 0;
    NKElementNeighbourRecord *pRecords = NKBuildElementNeighbours(pFrame, &iCount);
    ASSERT_NE(pRecords, nullptr);
    void *pGrid = NKBuildElementGrid(pFrame, pRecords, iCount);
    ASSERT_NE(pGrid, nullptr);
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> u(-0.2f, 3.2f);
    std::vector<float> points;
    for (int i = 0; i < 2000; i++) points.insert(points.end(), {u(rng), u(rng), u(rng)});
    // Nodes, face centres and the box corners sit on cell and element borders.
    for (float x : {0.0f, 0.5f, 1.5f, 3.0f})
        for (float y : {0.0f, 1.0f, 2.5f})
            for (float z : {0.0f, 0.25f, 2.0f}) points.insert(points.end(), {x, y, z});
    for (size_t i = 0; i < points.size(); i += 3) {
        int iFaceScan = -2, iFaceGrid = -2;
        int iScan = NKFindElementContainingPoint(pFrame, pRecords, iCount, &points[i], &iFaceScan);
        int iGrid =
            NKGridFindElementContainingPoint(pGrid, pFrame, pRecords, &points[i], &iFaceGrid);
        EXPECT_EQ(iGrid, iScan) << points[i] << " " << points[i + 1] << " " << points[i + 2];
        EXPECT_EQ(iFaceGrid, iFaceScan);
    }
    NKFree(pGrid);
    NKFree(pRecords);
}

TEST_F(TraceTest, SetKeepsFiveTracesAndFallsBackToTheModelCentre)
{
    Block(3, 1, 1, 1.0f, kOrigin, Uniform);
    float afBox[6] = {0, 0, 0, 3, 1, 1};
    for (int f = 0; f < g_pModel->iNumFrames; f++)
        std::memcpy(g_pModel->pFrames[f].pGeometry->fBoundingBox, afBox, sizeof(afBox));
    ParticleTraceSet *s = g_pParticleTraceSet;
    s->Reset();
    for (int i = 1; i < 5; i++) EXPECT_TRUE(s->AddTrace(true));
    EXPECT_FALSE(s->AddTrace(true));
    EXPECT_EQ(s->GetNumTraces(), 5);
    EXPECT_EQ(s->GetCurrent(), 4);
    EXPECT_FALSE(s->DeleteTrace(7, false));
    EXPECT_TRUE(s->DeleteTrace(1, false));
    EXPECT_EQ(s->GetNumTraces(), 4);
    EXPECT_EQ(s->GetCurrent(), 3);
    EXPECT_FALSE(s->SetCurrent(9));
    EXPECT_EQ(s->GetCurrent(), 3);
    for (bool bAll : {true, false}) {
        if (!bAll)
            while (s->GetNumTraces() > 1) s->DeleteTrace(0, false);
        EXPECT_TRUE(s->DeleteTrace(0, bAll));
        ASSERT_EQ(s->GetNumTraces(), 1);
        const TraceSeedBox *b = s->GetSeedBox(-1);
        EXPECT_EQ(b->bIsBox, 0);
        EXPECT_FLOAT_EQ(b->fCorner1[0], 1.5f);
        EXPECT_FLOAT_EQ(b->fCorner2[1], 0.5f);
        EXPECT_EQ(b->nx * b->ny * b->nz, 1);
    }
    // Zero seeds leave the slot empty, and the update keeps asking.
    TraceSeedBox none = *s->GetSeedBox(-1);
    none.ny = 0;
    s->SetSeedBox(none, -1);
    s->Enable(true);
    EXPECT_TRUE(NKComputeParticleTraces(&g_pModel->pFrames[0], s));
    EXPECT_EQ(g_pModel->pFrames[0].pParticleTraces[0], nullptr);
    EXPECT_TRUE(NKParticleTracesNeedUpdate(s, 0));
}

TEST_F(TraceTest, CancelAtTheFirstPollKeepsThePartialResult)
{
    NKFrame *pFrame = Block(3, 1, 1, 1.0f, kOrigin, Uniform);
    RecordingProgressUI ui;
    ui.iCancelAt = 3;  // the position before the first seed's search
    NKSetProgressUI(&ui);
    const float seed[3] = {0.5f, 0.5f, 0.5f};
    const ParticleTraceResult *r = Trace(pFrame, seed, TraceComputeOptions());
    NKSetProgressUI(nullptr);
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(r->bComputed);
    EXPECT_EQ(traces::CountIf(r->pLines[0], true), 1);
    EXPECT_EQ(traces::CountIf(r->pLines[0], false), 0);
    ASSERT_FALSE(ui.texts.empty());
    EXPECT_EQ(ui.texts.back(), "Aborted.");
    // A stored partial result is not computed again.
    g_pParticleTraceSet->Enable(true);
    EXPECT_FALSE(NKParticleTracesNeedUpdate(g_pParticleTraceSet, 0));
}

TEST_F(TraceTest, AnimationStepsFollowTheFrameInterval)
{
    ParticleTraceSet *s = g_pParticleTraceSet;
    s->SetAnimate(true);
    NKAnimationSettings timing;
    timing.iFrameInterval = 33;
    const struct {
        uint32_t uMs;
        int iStep;
    } kTicks[] = {{0, 1}, {20, 1}, {40, 2}, {80, 3}};
    for (const auto &t : kTicks) {
        timing.uTimeThisFrame = t.uMs;
        s->AdvanceAnimation(&timing);
        EXPECT_EQ(s->GetAnimationStep(), t.iStep) << t.uMs;
    }
    EXPECT_TRUE(s->SetAnimationSteps(3));
    EXPECT_FALSE(s->SetAnimationSteps(-1));
    timing.uTimeThisFrame = 200;
    s->AdvanceAnimation(&timing);  // the first step after the reset of the count
    timing.uTimeThisFrame = 300;
    for (int i = 0; i < 3; i++, timing.uTimeThisFrame += 100) s->AdvanceAnimation(&timing);
    EXPECT_EQ(s->GetAnimationStep(), 1);  // wrapped after the third step
}

}  // namespace
