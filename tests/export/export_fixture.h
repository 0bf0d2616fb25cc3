// tests/export/export_fixture.h -- a model of small polygon parts for the
// scene-export tests, with the renderer's records made and a fresh folder
// for the files written; and helpers that take the written texts apart.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/test_files.h"

// Gives pPart nNodes nodes and the polygons given as corner lists; visible,
// drawn as surface, ambient (1, 0, 0), opaque.
inline void NKTestMakePolygonPart(NKPart *pPart, const std::vector<float> &coords,
                                  const std::vector<std::vector<int>> &polygons)
{
    NKFreePart(pPart);
    NKInitPart(pPart);
    pPart->iNumNodes = (int)coords.size() / 3;
    pPart->pNodeCoords = static_cast<float *>(NKAlloc(sizeof(float) * coords.size()));
    std::memcpy(pPart->pNodeCoords, coords.data(), sizeof(float) * coords.size());
    int iConnects = 0;
    for (const auto &p : polygons) iConnects += (int)p.size();
    pPart->iNumPolygons = (int)polygons.size();
    pPart->iNumConnects = iConnects;
    pPart->pConnects = static_cast<int *>(NKAlloc(sizeof(int) * (iConnects + 1)));
    pPart->pPolygonStart = static_cast<int *>(NKAlloc(sizeof(int) * (polygons.size() + 1)));
    pPart->pPolygonNumNodes = static_cast<int *>(NKAlloc(sizeof(int) * (polygons.size() + 1)));
    int iAt = 0;
    for (size_t p = 0; p < polygons.size(); p++) {
        pPart->pPolygonStart[p] = iAt;
        pPart->pPolygonNumNodes[p] = (int)polygons[p].size();
        for (int c : polygons[p]) pPart->pConnects[iAt++] = c;
    }
    pPart->bVisible = 1;
    pPart->iDrawStyle = NK_DRAW_SURFACE;
    static const float kRed[3] = {1.0f, 0.0f, 0.0f};
    for (int k = 0; k < 3; k++) {
        pPart->material.ambient[k] = kRed[k];
        pPart->material.diffuse[k] = kRed[k];
        pPart->material.specular[k] = 0.0f;
        pPart->material.emission[k] = 0.0f;
    }
    pPart->material.alpha = 255;
}

// The unit square (0,0,0), (1,0,0), (1,1,0), (0,1,0) as one quadrilateral.
inline const std::vector<float> &NKTestUnitSquare()
{
    static const std::vector<float> kSquare = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    return kSquare;
}

class ExportModelTest : public NKRenderModelTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        m_Dir = NKTestMakeTempDir("quolin_export_");
        ASSERT_FALSE(m_Dir.empty());
    }
    void TearDown() override
    {
        NKTestRemoveDir(m_Dir);
        NKRenderModelTest::TearDown();
    }
    // One frame whose geometry has iNumParts empty parts; returns it.
    NKGeometry *MakeParts(int iNumParts)
    {
        NKGeometry *pGeo = NKCreateGeometry(iNumParts);
        g_pModel->pFrames = NKAllocFrameArray(1);
        g_pModel->iNumFrames = 1;
        g_pModel->pFrames[0].pGeometry = pGeo;
        pGeo->iNumRef++;
        pGeo->iNumParts = iNumParts;
        return pGeo;
    }
    std::string Path(const char *pszName) const { return m_Dir + "/" + pszName; }
    std::string m_Dir;
};

// The number of times the fragment occurs in the text.
inline int NKTestCount(const std::string &text, const std::string &fragment)
{
    int n = 0;
    for (size_t at = text.find(fragment); at != std::string::npos; at = text.find(fragment, at + 1))
        n++;
    return n;
}

inline bool NKTestEndsWith(const std::string &text, const std::string &tail)
{
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}
