// tests/commands/result_model_fixture.h -- the model the result loads are
// tested on: frames sharing one geometry of cube parts, the full apply
// operations installed, and every global they change put back afterwards.
#pragma once

#include <vector>

#include <gtest/gtest.h>

#include "commands/nk_command.h"
#include "core/nk_apply_results.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_model_hooks.h"
#include "core/nk_movie_settings.h"
#include "core/nk_render_state.h"
#include "core/nk_transform_tables.h"
#include "core/nk_view_state.h"
#include "readers/nk_native_result_files.h"
#include "tests/core/mesh_fixtures.h"
#include "tests/core/nk_geometry_test_helpers.h"
#include "tests/test_support/message_capture.h"

class ResultModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_pModel = NKCreateModel();
        g_pMovieSettings = &m_MovieSettings;
        m_SavedHooks = NKGetLoadHooks();
        m_SavedModelHooks = NKGetModelHooks();
        NKInstallCommandHooks();  // installs the apply operations
        NKResetDiagnostics();
    }
    void TearDown() override
    {
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
        g_pMovieSettings = nullptr;
        NKSetLoadHooks(m_SavedHooks);
        NKSetModelHooks(m_SavedModelHooks);
        g_bAutoFringeRange = 0;
        g_VectorSettings = NKVectorSettings();
        for (auto &settings : g_SeparateVectorSettings) settings = NKVectorSettings();
        g_ValueFilterSettings = NKValueFilterSettings();
        g_TransformationTable.Clear();
        g_ViewPointTable.Init();
        NKSetNativeStepNames(nullptr);
    }

    // Replaces n frames by n frames sharing one geometry of iNumParts cubes
    // (0,0,0)-(2,2,2) in model coordinates, held about the centre (1,1,1)
    // with fGeoScale 0.5; part p's node j is node 8p + j of the node list.
    NKGeometry *MakeCubeModel(int n, int iNumParts = 1)
    {
        NKFreeModelFrames(g_pModel);
        if (n < 1) return nullptr;
        g_pModel->fCenterX = g_pModel->fCenterY = g_pModel->fCenterZ = 1.0f;
        g_pModel->fGeoScale = 0.5f;
        NKGeometry *pGeo = NKCreateGeometry(iNumParts);
        for (int p = 0; p < iNumParts; p++) {
            NKTestMakeCube(&pGeo->pParts[p], -0.5f, 0.5f);
            pGeo->pParts[p].pNodeMap = static_cast<int *>(NKAlloc(8 * sizeof(int)));
            for (int j = 0; j < 8; j++) pGeo->pParts[p].pNodeMap[j] = 8 * p + j;
        }
        EXPECT_TRUE(NKSetFrameCount(n, false));
        for (int f = 0; f < n; f++) NKTestShareGeometry(&g_pModel->pFrames[f], pGeo);
        return pGeo;
    }
    static void DropGeometry(int iFrame)
    {
        NKReleaseGeometry(g_pModel->pFrames[iFrame].pGeometry);
        g_pModel->pFrames[iFrame].pGeometry = nullptr;
    }

    // One entry for part 0 holding the values given (three a node for vectors).
    static NKScalarResult *MakeScalar(const std::vector<float> &values)
    {
        NKScalarResult *pResult = NKCreateScalarResult();
        pResult->iNumParts = 1;
        pResult->pNodeResults =
            static_cast<NKScalarPartEntry *>(NKCalloc(1, sizeof(NKScalarPartEntry)));
        pResult->pNodeResults[0].iCount = static_cast<int>(values.size());
        pResult->pNodeResults[0].pNodeValues = fixtures::AllocCopy(values);
        return pResult;
    }
    static NKVectorResult *MakeVector(const std::vector<float> &values)
    {
        NKVectorResult *pResult = NKCreateVectorResult();
        pResult->iNumParts = 1;
        pResult->pResults =
            static_cast<NKVectorPartEntry *>(NKCalloc(1, sizeof(NKVectorPartEntry)));
        pResult->pResults[0].iNumNodes = static_cast<int>(values.size() / 3);
        pResult->pResults[0].pNodeValues = fixtures::AllocCopy(values);
        return pResult;
    }
    NKMovieSettings m_MovieSettings;
    NKLoadHooks m_SavedHooks;
    NKModelHooks m_SavedModelHooks;
    MessageCapture m_Messages;
};

inline void ExpectPoint(const float *p, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(p[0], x);
    EXPECT_FLOAT_EQ(p[1], y);
    EXPECT_FLOAT_EQ(p[2], z);
}
