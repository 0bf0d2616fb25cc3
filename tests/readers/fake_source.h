// tests/readers/fake_source.h -- a data source made up in memory for the
// dispatcher and animation set-up tests, installed as the reader of kind 3
// (which has no reader of its own yet). It counts what it is asked; a test
// shapes it through g_Fake before opening it. The fixture makes the
// data-source record and a model, and puts every global back afterwards.
#pragma once

#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "core/nk_model.h"
#include "readers/nk_data_source.h"

struct FakeSource {
    int iOpenResult = 1;
    int iNumSteps = 10;
    int iNumScalars = 6;
    int iNumVectors = 3;
    int iNumTransformations = 0;
    int iFailingIndex = 2;            // scalar and vector reads of it give nothing
    std::set<int> geometrySteps{0};   // steps that deliver a new geometry
    bool bNames = true;               // whether the name lists exist
    int iOpens = 0;
    int iCloses = 0;
    int iNameCalls = 0;               // step, scalar and vector lists made
    std::vector<int> visibilitySteps;
};

inline FakeSource g_Fake;

inline NKStringList *FakeNames(int n, const char *pszFormat)
{
    g_Fake.iNameCalls++;
    if (!g_Fake.bNames) return nullptr;
    NKStringList *pList = new NKStringList(n);
    for (int i = 0; i < n; i++) pList->Set(i, NKString::FromFormat(pszFormat, i).GetText());
    return pList;
}

inline NKGeometry *FakeGeometry(int iStep)
{
    if (g_Fake.geometrySteps.count(iStep) == 0) return nullptr;
    NKGeometry *pGeo = NKCreateGeometry(1);
    pGeo->iStepNumber = iStep;
    return pGeo;
}

template <class T>
T *FakeResult(T *(*pfnCreate)(void), int iIndex, int iStep)
{
    if (iIndex == g_Fake.iFailingIndex) return nullptr;
    T *pResult = pfnCreate();
    pResult->iStepNumber = iStep;
    pResult->iNumStepsInFile = iIndex;  // the index read, for the tests
    return pResult;
}

inline NKDataSourceReader MakeFakeReader(void)
{
    NKDataSourceReader r;
    r.pszName = "Fake";
    r.pfnOpen = [](const char *) {
        g_Fake.iOpens++;
        return g_Fake.iOpenResult;
    };
    r.pfnClose = [] {
        g_Fake.iCloses++;
        return true;
    };
    r.pfnGetNumSteps = [] { return g_Fake.iNumSteps; };
    r.pfnGetStepNames = [] { return FakeNames(g_Fake.iNumSteps, "step %d"); };
    r.pfnGetNumScalars = [] { return g_Fake.iNumScalars; };
    r.pfnGetScalarNames = [] { return FakeNames(g_Fake.iNumScalars, "scalar %d"); };
    r.pfnGetNumVectors = [] { return g_Fake.iNumVectors; };
    r.pfnGetVectorNames = [] { return FakeNames(g_Fake.iNumVectors, "vector %d"); };
    r.pfnGetNumTransformations = [] { return g_Fake.iNumTransformations; };
    r.pfnGetGeometry = FakeGeometry;
    r.pfnGetStepTime = [](int iStep) { return 0.25f * iStep; };
    r.pfnGetScalar = [](int i, int s, NKGeometry *) {
        return FakeResult(NKCreateScalarResult, i, s);
    };
    r.pfnGetVector = [](int i, int s, NKGeometry *) {
        return FakeResult(NKCreateVectorResult, i, s);
    };
    r.pfnGetTransformation = [](int i, int, NKGeometry *) {
        NKSeparateVectorField *pField = NKCreateSeparateVectorField();
        pField->szName = NKString::FromFormat("field %d", i);
        return pField;
    };
    r.pfnUpdateVisibility = [](int iStep, NKFrame *) { g_Fake.visibilitySteps.push_back(iStep); };
    return r;
}

inline const NKDataSourceReader g_FakeReader = MakeFakeReader();

class FakeSourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_Fake = FakeSource();
        NKInstallDataSources();
        m_pSaved = NKSetDataSourceReader(NK_INTERFACE_NATIVE, &g_FakeReader);
        g_pModel = NKCreateModel();
    }
    void TearDown() override
    {
        NKReleaseDataSources();
        NKSetDataSourceReader(NK_INTERFACE_NATIVE, m_pSaved);
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
    }
    const NKDataSourceReader *m_pSaved = nullptr;
};
