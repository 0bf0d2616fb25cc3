// tests/tools/test_cut_surface.cpp -- the cut surfaces a frame owns: freeing
// a cut surface's parts and vector grid, and a frame that releases the cut
// surfaces left in it once the tools have filled the model core's slots.
#include <gtest/gtest.h>

#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/tools/surface_fixtures.h"
#include "tools/nk_cut_surface.h"

namespace {

// The tools fill the model core's slots, as at start-up.
class CutSurfaces : public surface::SurfaceTest {};

TEST_F(CutSurfaces, HeaderFreesPartsAndGrid)
{
    MakeFrames(1, 1);
    NKFrame *f = &g_pModel->pFrames[0];
    CutSurface *pCut = new CutSurface();
    pCut->iNumParts = 3;
    pCut->pParts = new CutSurfacePart[3];
    pCut->vectorGrid.iCountI = 2;
    pCut->vectorGrid.iCountJ = 2;
    pCut->vectorGrid.pfPositions = static_cast<float *>(NKAlloc(12 * sizeof(float)));
    pCut->vectorGrid.pFound = static_cast<uint8_t *>(NKAlloc(4));
    NKFreeCutSurfaceHeader(pCut);
    EXPECT_EQ(pCut->pParts, nullptr);
    EXPECT_EQ(pCut->vectorGrid.pfPositions, nullptr);
    EXPECT_EQ(pCut->vectorGrid.iCountI, 0);
    // A surface left in a frame is cleaned when the frame goes; the leak
    // checker sees that nothing stays behind.
    pCut->pParts = new CutSurfacePart[1];
    pCut->vectorGrid.pfValues = static_cast<float *>(NKAlloc(4 * sizeof(float)));
    f->iNumCutSurfaces = 1;
    f->pCutSurfaces[0] = pCut;
    NKFreeCutSurfaceHeader(nullptr);
}

}  // namespace
