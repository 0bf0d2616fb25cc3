// tests/tools/test_surface_storage.cpp -- boundary edges found by hashing,
// freeing the frames' cut and iso-surfaces through the model core's slots,
// the iso-surface state with its slider, the per-frame computation, and the
// volume file looked for beside the geometry.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "core/nk_diagnostic.h"
#include "tests/test_support/test_files.h"
#include "tests/tools/surface_fixtures.h"
#include "tools/nk_iso_surface.h"

namespace {

using surface::SurfaceTest;

TEST(BoundaryEdges, SharedEdgesPairAndTheRestAreBoundaries)
{
    const int M = 3000000;  // node indices whose hash overflows 32 bits
    struct Case {
        const char *pszName;
        std::vector<int> conn, counts;
        std::vector<uint8_t> marks;
    };
    const Case cases[] = {
        {"two triangles on one edge", {M, M + 1, 5, M + 1, M, 7}, {3, 3}, {0, 1, 1, 0, 1, 1}},
        {"a segment", {4, 9}, {2}, {0, 0}},
        {"three triangles on one edge",
         {1, 2, 3, 2, 1, 4, 1, 2, 5},
         {3, 3, 3},
         {1, 1, 1, 0, 1, 1, 0, 1, 1}},
        {"one triangle", {0, 1, 2}, {3}, {1, 1, 1}},
    };
    for (const Case &c : cases) {
        uint8_t *pb = NKFindEdgesInCutplane(c.conn.data(), c.counts.data(), (int)c.counts.size(),
                                            (int)c.conn.size());
        ASSERT_NE(pb, nullptr) << c.pszName;
        EXPECT_EQ(std::vector<uint8_t>(pb, pb + c.conn.size()), c.marks) << c.pszName;
        NKFree(pb);
    }
    const int conn[3] = {0, 1, 2}, tooFew[1] = {2};
    EXPECT_EQ(NKFindEdgesInCutplane(conn, tooFew, 1, 3), nullptr);
    EXPECT_EQ(NKFindEdgesInCutplane(conn, tooFew, 0, 0), nullptr);
}

class SurfaceFrames : public SurfaceTest {
protected:
    // Three frames of a 2-block valued x + y + z (cell 1).
    NKFrame *Block(bool bScalar = true)
    {
        NKGeometry *pGeo = surface::MakeBlock(2, 1.0f);
        auto field = [](float x, float y, float z) { return x + y + z; };
        return Frames(3, pGeo, bScalar ? surface::MakeScalar(pGeo, field) : nullptr);
    }
    IsoSurfaceState m_State;
};

TEST_F(SurfaceFrames, FreeingByFrameAndByPlane)
{
    NKFrame *f = Block();
    m_State.fLevel = 3.0f;
    for (int i = 0; i < 3; i++) {
        ASSERT_TRUE(NKVolumeComputeIsoSurfaces(&f[i], &m_State));
        f[i].iNumCutSurfaces = 3;
        for (int k = 0; k < 3; k++) f[i].pCutSurfaces[k] = new CutSurface();
    }
    EXPECT_TRUE(NKFreeIsoSurfaces(2));
    EXPECT_EQ(f[2].pIsoSurfaces, nullptr);
    EXPECT_EQ(f[2].iNumIsoSurfaces, 0);
    EXPECT_NE(f[1].pIsoSurfaces, nullptr);
    EXPECT_TRUE(NKIsoSurfacesNeedUpdate(&m_State, -1));
    EXPECT_FALSE(NKIsoSurfacesNeedUpdate(&m_State, 1));
    EXPECT_TRUE(NKFreeIsoSurfaces(-1));
    for (int i = 0; i < 3; i++) EXPECT_EQ(f[i].pIsoSurfaces, nullptr);
    EXPECT_TRUE(NKFreeCutSurfaces(1, -1));
    for (int i = 0; i < 3; i++) {
        EXPECT_NE(f[i].pCutSurfaces[0], nullptr);
        EXPECT_EQ(f[i].pCutSurfaces[1], nullptr);
        EXPECT_EQ(f[i].iNumCutSurfaces, 3);
    }
    NKFreeFramesDerivedSurfaces(f, 1);
    EXPECT_EQ(f[0].pCutSurfaces[0], nullptr);
    EXPECT_EQ(f[0].iNumCutSurfaces, 0);
}

TEST_F(SurfaceFrames, LevelOutsideTheValuesGivesEmptyMeshes)
{
    NKFrame *f = Block();
    m_State.fLevel = 150.0f;
    EXPECT_TRUE(NKVolumeComputeIsoSurfaces(f, &m_State));
    ASSERT_EQ(f->iNumIsoSurfaces, 1);
    EXPECT_EQ(f->pIsoSurfaces[0].mesh.iNumPolygons, 0);
    EXPECT_EQ(f->pIsoSurfaces[0].bHasSurface, 0);
    EXPECT_EQ(m_State.slider.GetValue(), 100.0f);
    EXPECT_FALSE(m_State.slider.IsChanged());
}

TEST_F(SurfaceFrames, NoScalarResultGivesNoRecords)
{
    NKFrame *f = Block(false);
    EXPECT_FALSE(NKVolumeComputeIsoSurfaces(f, &m_State));
    EXPECT_EQ(f->pIsoSurfaces, nullptr);
    EXPECT_EQ(f->iNumIsoSurfaces, 0);
}

TEST_F(SurfaceFrames, RecomputingReplacesTheRecords)
{
    NKFrame *f = Block();
    m_State.fLevel = 2.5f;
    ASSERT_TRUE(NKVolumeComputeIsoSurfaces(f, &m_State));
    EXPECT_EQ(f->pIsoSurfaces[0].bHasSurface, 1);
    NKResetDiagnostics();
    m_State.fLevel = 3.5f;
    ASSERT_TRUE(NKVolumeComputeIsoSurfaces(f, &m_State));  // the leak checker sees the old ones go
    EXPECT_STREQ(NKGetLastDiagnostic(), "Frame already contains an iso surface");
    EXPECT_STREQ(NKGetLastDiagnosticFunction(), "NKVolumeComputeIsoSurfaces()");
    EXPECT_EQ(f->pIsoSurfaces[0].fLevel, 3.5f);
}

TEST_F(SurfaceFrames, SliderChangeTakesItsValueAsTheLevel)
{
    NKFrame *f = Block();
    EXPECT_FALSE(m_State.slider.IsChanged());  // the state clears the new slider's flag
    m_State.fLevel = 2.0f;
    for (int i = 0; i < 3; i++) ASSERT_TRUE(NKVolumeComputeIsoSurfaces(&f[i], &m_State));
    EXPECT_FALSE(NKIsoSurfacesNeedUpdate(&m_State, -1));
    // Setting the value is no drag: nothing changes.
    m_State.slider.SetValue(40.0f);
    EXPECT_FALSE(NKIsoSurfacesNeedUpdate(&m_State, -1));
    EXPECT_EQ(m_State.fLevel, 2.0f);
    // A changed slider (a new handle starts changed, as after a drag): the
    // level follows and every frame is computed again.
    m_State.slider.~SliderManipulator();
    new (&m_State.slider) SliderManipulator("Iso Surface Slider");
    m_State.slider.SetValue(4.0f);
    EXPECT_TRUE(NKIsoSurfacesNeedUpdate(&m_State, -1));
    EXPECT_EQ(m_State.fLevel, 4.0f);
    EXPECT_FALSE(m_State.slider.IsChanged());
    for (int i = 0; i < 3; i++) EXPECT_EQ(f[i].pIsoSurfaces, nullptr);
}

class VolumeBeside : public SurfaceTest {
protected:
    static int Handler(const char *pszLine)
    {
        s_Lines.push_back(pszLine);
        return s_Lines.size() == 1 ? 1 : 0;
    }
    static std::vector<std::string> s_Lines;
};
std::vector<std::string> VolumeBeside::s_Lines;

TEST_F(VolumeBeside, TriesTheExtensionsInOrderUntilOneLoads)
{
    std::string dir = NKTestMakeTempDir("iso");
    ASSERT_FALSE(dir.empty());
    std::string sub = dir + "/run.1";
    ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
    NKModelHooks hooks = NKGetModelHooks();
    hooks.pfnExecuteCommand = Handler;
    NKSetModelHooks(hooks);
    NKGeometry *pGeo = surface::MakeBlock(1, 1.0f);
    pGeo->szFileName = (sub + "/model").c_str();
    NKFrame *f = Frames(1, pGeo, nullptr);
    s_Lines.clear();
    EXPECT_FALSE(NKLoadVolumeBesideGeometry(f));  // neither file yet
    EXPECT_TRUE(s_Lines.empty());
    ASSERT_TRUE(NKTestWriteText(sub + "/model.vol", "v"));
    ASSERT_TRUE(NKTestWriteText(sub + "/model.QLG", "q"));
    EXPECT_TRUE(NKLoadVolumeBesideGeometry(f));
    EXPECT_EQ(s_Lines, (std::vector<std::string>{"readvolume " + sub + "/model.vol",
                                                 "readvolume " + sub + "/model.QLG"}));
    NKTestRemoveDir(dir);
}

}  // namespace
