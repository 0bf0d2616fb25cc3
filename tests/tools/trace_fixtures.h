// tests/tools/trace_fixtures.h -- blocks of unit-shaped hexahedra with a node
// vector field in frame 0 of the global model (identity display transform),
// the particle-trace set made, and readers of the traced lines.
#pragma once

#include <functional>
#include <vector>

#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "tests/tools/surface_fixtures.h"
#include "tools/nk_particle_trace.h"

namespace traces {

using VectorField = std::function<void(const float *p, float *v)>;

// A trace line's segments in time order.
inline std::vector<const TracePoint *> Segments(const TraceLine &line)
{
    std::vector<const TracePoint *> v;
    for (const TracePoint *p = line.pBackward; p != nullptr; p = p->pNext) v.push_back(p);
    return v;
}

inline int CountIf(const TraceLine &line, bool bForward)
{
    int n = 0;
    for (const TracePoint *p : Segments(line)) n += (p->fTime > 0.0f) == bForward;
    return n;
}

class TraceTest : public surface::SurfaceTest {
protected:
    void SetUp() override
    {
        surface::SurfaceTest::SetUp();
        g_pModel->fGeoScale = 1.0f;
        ASSERT_TRUE(NKCreateParticleTraceSet());
    }
    void TearDown() override
    {
        surface::SurfaceTest::TearDown();
        NKDestroyParticleTraceSet();
    }
    // nx x ny x nz cells of size fCell from pfOrigin, node vectors from the
    // field; the largest display length is the largest node vector unless
    // fDisplayMax is given. Frame 0 of one frame holds both.
    NKFrame *Block(int nx, int ny, int nz, float fCell, const float *pfOrigin,
                   const VectorField &field, float fDisplayMax = -1.0f)
    {
        NKGeometry *pGeo = NKCreateGeometry(1);
        std::vector<float> c = fixtures::GridNodes(nx, ny, nz);
        for (size_t i = 0; i < c.size(); i++) c[i] = c[i] * fCell + pfOrigin[i % 3];
        fixtures::SetNodes(pGeo->pParts[0], c);
        auto hexa = fixtures::GridHexahedra(nx, ny, nz);
        fixtures::SetElements(pGeo->pParts[0], std::vector<int>(hexa.size(), NK_ELEM_HEXAHEDRON),
                              hexa);
        NKFrame *pFrame = Frames(1, pGeo, nullptr);
        NKVectorResult *r = NKCreateVectorResult();
        r->iNumParts = 1;
        r->pResults = static_cast<NKVectorPartEntry *>(NKCalloc(1, sizeof(NKVectorPartEntry)));
        NKVectorPartEntry &e = r->pResults[0];
        const int n = pGeo->pParts[0].iNumNodes;
        e.iNumNodes = n;
        e.pNodeValues = static_cast<float *>(NKAlloc(sizeof(float) * 3 * (size_t)n));
        float fMax = 0.0f;
        for (int i = 0; i < n; i++) {
            float v[3];
            field(&c[3 * (size_t)i], v);
            fMax = std::max(fMax, std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
            for (int k = 0; k < 3; k++) e.pNodeValues[3 * i + k] = c[3 * (size_t)i + k] + v[k];
        }
        r->fMaxDisplayLength = fDisplayMax >= 0.0f ? fDisplayMax : fMax;
        pFrame->pVector = r;
        r->iNumRef++;
        return pFrame;
    }
    // Seeds the current trace with one point (or a box with counts) and
    // computes the frame's traces; the result of trace 0.
    const ParticleTraceResult *Trace(NKFrame *pFrame, const float *pfSeed,
                                     const TraceComputeOptions &options,
                                     const float *pfSeed2 = nullptr, int nx = 1, int ny = 1,
                                     int nz = 1)
    {
        TraceSeedBox box;
        for (int k = 0; k < 3; k++) box.fCorner1[k] = box.fCorner2[k] = pfSeed[k];
        if (pfSeed2 != nullptr) {
            box.bIsBox = 1;
            for (int k = 0; k < 3; k++) box.fCorner2[k] = pfSeed2[k];
        }
        box.nx = nx;
        box.ny = ny;
        box.nz = nz;
        g_pParticleTraceSet->SetComputeOptions(options);
        g_pParticleTraceSet->SetSeedBox(box, -1);
        NKClearParticleTraces(-1, -1);
        EXPECT_TRUE(NKComputeParticleTraces(pFrame, g_pParticleTraceSet));
        return pFrame->pParticleTraces[0];
    }
};

}  // namespace traces
