// tests/core/nk_model_test_helpers.h -- small models for the model record and
// frame array tests: a global model made and destroyed around each test,
// geometries of square parts, and frames filled with every per-part array a
// loader gives them.
#pragma once

#include <cstring>

#include <gtest/gtest.h>

#include "core/nk_frames.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_movie_settings.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NK_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define NK_TEST_ASAN 1
#endif

#ifdef NK_TEST_ASAN
#include <sanitizer/asan_interface.h>
#endif

// True when the block has gone back to the heap. AddressSanitizer poisons
// freed memory (it stays in quarantine), which lets a test see a free happen;
// without it the answer is "unknown" and the check is skipped.
inline bool NKTestIsFreed(const void *pBlock, bool *pbKnown)
{
#ifdef NK_TEST_ASAN
    *pbKnown = true;
    return __asan_address_is_poisoned(pBlock) != 0;
#else
    (void)pBlock;
    *pbKnown = false;
    return false;
#endif
}

#define EXPECT_FREED(p)                                                                            \
    do {                                                                                           \
        bool bKnown_ = false;                                                                      \
        bool bFreed_ = NKTestIsFreed((p), &bKnown_);                                               \
        if (bKnown_) {                                                                             \
            EXPECT_TRUE(bFreed_) << #p " should have been freed";                                  \
        }                                                                                          \
    } while (0)

// A geometry of iNumParts parts; each part a unit square of 4 nodes split
// into two triangles (6 polygon-node references).
inline NKGeometry *NKTestMakeGeometry(int iNumParts)
{
    static const int aiConnects[6] = {0, 1, 2, 0, 2, 3};
    static const float afCoords[12] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    NKGeometry *pGeo = NKCreateGeometry(iNumParts);
    for (int i = 0; i < iNumParts; i++) {
        NKPart *pPart = &pGeo->pParts[i];
        pPart->iNumNodes = 4;
        pPart->iNumPolygons = 2;
        pPart->iNumConnects = 6;
        pPart->pNodeCoords = static_cast<float *>(NKAlloc(sizeof(afCoords)));
        std::memcpy(pPart->pNodeCoords, afCoords, sizeof(afCoords));
        pPart->pConnects = static_cast<int *>(NKAlloc(sizeof(aiConnects)));
        std::memcpy(pPart->pConnects, aiConnects, sizeof(aiConnects));
    }
    pGeo->iTotalNumNodes = 4 * iNumParts;
    pGeo->iTotalNumPolygons = 2 * iNumParts;
    pGeo->iTotalNumConnects = 6 * iNumParts;
    return pGeo;
}

// Stores pGeo in the frame (one more holder) and gives the frame everything a
// loader may give it per part: matrices, one contour line in each part,
// visibility bytes and part boxes, each filled with the value iTag.
inline void NKTestFillFrame(NKFrame *pFrame, NKGeometry *pGeo, int iTag)
{
    pFrame->pGeometry = pGeo;
    pGeo->iNumRef++;
    int n = pGeo->iNumParts;
    ASSERT_TRUE(NKAllocFrameTransformations(pFrame));
    pFrame->pTransformation[12] = static_cast<float>(iTag);
    pFrame->pContours = static_cast<NKContourList *>(NKCalloc(n, sizeof(NKContourList)));
    pFrame->ppVisibility = static_cast<uint8_t **>(NKCalloc(n, sizeof(uint8_t *)));
    pFrame->pPartBoundingBoxes = static_cast<float *>(NKCalloc(n * 6, sizeof(float)));
    for (int i = 0; i < n; i++) {
        pFrame->pContours[i].iNumLines = 1;
        pFrame->pContours[i].pLines =
            static_cast<NKContourLine *>(NKCalloc(1, sizeof(NKContourLine)));
        pFrame->pContours[i].pLines[0].iLevel = iTag;
        pFrame->ppVisibility[i] = static_cast<uint8_t *>(NKAlloc(2));
        std::memset(pFrame->ppVisibility[i], iTag, 2);
        pFrame->pPartBoundingBoxes[i * 6] = static_cast<float>(iTag);
    }
    pFrame->fTime = static_cast<float>(iTag);
    pFrame->iStepIndex = iTag;
    pFrame->szDescription = NKString::FromFormat("Step %d", iTag);
}

// Makes the global model (and movie settings) for each test and frees them
// after it.
class NKModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_pModel = NKCreateModel();
        ASSERT_NE(g_pModel, nullptr);
        g_pMovieSettings = &m_MovieSettings;
    }
    void TearDown() override
    {
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
        g_pMovieSettings = nullptr;
    }

    // n frames that all share one geometry of iNumParts parts, frame i
    // tagged i.
    NKGeometry *MakeFrames(int n, int iNumParts)
    {
        NKGeometry *pGeo = NKTestMakeGeometry(iNumParts);
        EXPECT_TRUE(NKSetFrameCount(n, false));
        for (int i = 0; i < n; i++) NKTestFillFrame(&g_pModel->pFrames[i], pGeo, i);
        return pGeo;
    }

    NKMovieSettings m_MovieSettings;
};
