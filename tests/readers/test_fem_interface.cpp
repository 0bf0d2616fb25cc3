// tests/readers/test_fem_interface.cpp -- reader plug-ins served by the
// in-memory mock: the registry and its name look-ups, the dispatcher's
// plug-in column, NKFEMInterface's parts, names, results and visibility,
// and damaged reader data that must fail cleanly.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "readers/nk_data_source.h"
#include "readers/nk_fem_interface.h"
#include "readers/nk_fem_reader.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/mock_fem_reader.h"

namespace {

class FEMInterface : public ::testing::Test {
protected:
    void SetUp() override { NKTestRemoveMocks(); }
    void TearDown() override { NKTestRemoveMocks(); }

    // An adapter for the mock at index 0 (id 101), opened.
    NKFEMInterface *Open(int iId = 101)
    {
        int iIndex = NKFEMInterfaceIndexOf(iId);
        NKTestInstallMock(iIndex, &m_Model);
        m_pAdapter.reset(new NKFEMInterface(iId));
        EXPECT_TRUE(m_pAdapter->Open("model.moc"));
        return m_pAdapter.get();
    }
    std::vector<std::string> PartNames(NKGeometry *pGeo)
    {
        std::vector<std::string> names;
        for (int i = 0; i < pGeo->iNumParts; i++) names.push_back(pGeo->pParts[i].szName.GetText());
        return names;
    }

    NKTestMockModel m_Model;
    std::unique_ptr<NKFEMInterface> m_pAdapter;
    MessageCapture m_Capture;
};

TEST_F(FEMInterface, WithoutReadersNothingIsAvailable)
{
    EXPECT_FALSE(NKIsFEMInterfaceId(100));
    EXPECT_FALSE(NKIsFEMInterfaceId(117));
    for (int id = 101; id <= 116; id++) EXPECT_TRUE(NKIsFEMInterfaceId(id)) << id;
    EXPECT_EQ(NKFindFEMInterfaceForFile("cube.moc"), 2);
    EXPECT_EQ(NKGetNumFEMInterfaces(), 0);
    EXPECT_EQ(NKGetFEMInterfaceNames(true), nullptr);
    EXPECT_EQ(NKCreateFEMReader(-1), nullptr);
    EXPECT_EQ(NKCreateFEMReader(16), nullptr);
    NKInstallDataSources();
    EXPECT_EQ(OpenInterface(101, "x"), 0);
    EXPECT_EQ(NKGetInterfaceNumSteps(), 0);
    EXPECT_EQ(NKGetInterfaceGeometry(0), nullptr);
    EXPECT_EQ(NKGetInterfaceStepTime(0), -1.0f);  // the adapter answers, with no steps
    NKString name;
    NKGetInterfaceName(&name);
    EXPECT_EQ(name, "Unknown Interface");
    NKCloseInterface();
    NKReleaseDataSources();
}

TEST_F(FEMInterface, RegistryNamesAndLookUps)
{
    NKTestMockModel abd;
    m_Model.info.szShortName = "abc";
    abd.info.szShortName = "abd";
    NKTestInstallMock(0, &m_Model);
    NKTestInstallMock(6, &abd);
    EXPECT_EQ(NKGetNumFEMInterfaces(), 2);
    EXPECT_EQ(NKGetFEMInterfaceIdByName("ab"), 107);  // the last match in registry order
    EXPECT_EQ(NKGetFEMInterfaceIdByName(" abc "), 101);
    EXPECT_EQ(NKGetFEMInterfaceIdByName("ABC"), 2);
    NKStringList *pNames = NKGetFEMInterfaceNames(true);
    ASSERT_NE(pNames, nullptr);
    EXPECT_STREQ(pNames->Get(0), "abc, Unknown Interface Name");
    EXPECT_STREQ(pNames->Get(1), "abd, Unknown Interface Name");
    delete pNames;

    NKTestMockModel unnamed;
    NKTestInstallMock(0, &unnamed);
    const InterfaceInfo *pInfo = NKGetFEMInterfaceInfo(101);
    EXPECT_EQ(pInfo->szName, "Unknown Interface Name");
    EXPECT_EQ(pInfo->szShortName, "unk");
    unnamed.pszExtension = ".moc";
    EXPECT_EQ(NKFindFEMInterfaceForFile("cube.moc"), 101);
    EXPECT_EQ(NKFindFEMInterfaceForFile("cube.nkf"), 2);
}

TEST_F(FEMInterface, PartsFollowTheKeysOfTheirBlock)
{
    struct Case {
        std::vector<int> partIds;
        std::vector<int> types;
        uint8_t bPartIds;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {{5, 5, 2}, {}, 0, {"Part 3", "Part 6"}},
        {{5, 5, 2}, {}, 1, {"Part 2", "Part 5"}},
        {{}, {8, 8, 1}, 0, {"Beam_3s", "Hexahedrons"}},
        {{}, {}, 0, {"Part 1"}},
    };
    for (const Case &c : cases) {
        m_Model = NKTestMockModel();
        m_Model.nodes = {NKTestNodeBlock(8, {})};
        m_Model.elements = {NKTestElementBlock(8, 8, std::vector<int>(24, 0))};
        for (int e = 0; e < 3; e++)
            for (int k = 0; k < 8; k++) m_Model.elements[0].connectivity[(size_t)(e * 8 + k)] = k;
        m_Model.elements[0].partIds = c.partIds;
        m_Model.elements[0].types = c.types;
        m_Model.abCaps[5] = c.bPartIds;
        m_Model.steps = {{1, "a", 0.0f, 1}};
        NKGeometry *pGeo = Open()->GetGeometry(0);
        ASSERT_NE(pGeo, nullptr);
        EXPECT_EQ(PartNames(pGeo), c.names);
        if (!c.partIds.empty()) {
            EXPECT_EQ(pGeo->pParts[0].iNumElements, 1);
        }
        NKReleaseGeometry(pGeo);
    }
}

TEST_F(FEMInterface, TheSameGeometryIsHandedOutOnce)
{
    NKTestTwoHexahedra(&m_Model);
    m_Model.steps = {{1, "a", 0.0f, 1}, {2, "b", 0.0f, 1}, {3, "c", 0.0f, 1}};
    m_Model.abCaps[0] = 0;  // the geometry may change from step to step
    NKFEMInterface *p = Open();
    NKGeometry *pFirst = p->GetGeometry(0);
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(p->GetGeometry(0), nullptr);
    NKGeometry *pSecond = p->GetGeometry(1);  // the mock says every step differs
    EXPECT_NE(pSecond, nullptr);
    NKReleaseGeometry(pFirst);
    NKReleaseGeometry(pSecond);

    m_Model.abCaps[0] = 1;
    p = Open();
    pFirst = p->GetGeometry(0);
    EXPECT_NE(pFirst, nullptr);
    EXPECT_EQ(p->GetGeometry(1), nullptr);
    EXPECT_EQ(p->GetGeometry(2), nullptr);
    NKReleaseGeometry(pFirst);
}

TEST_F(FEMInterface, TwoHexahedraShareTheirFace)
{
    NKTestTwoHexahedra(&m_Model);
    m_Model.scalars = {{7, "Stress", 0, NK_RESULT_MAP_ELEMENT}, {8, "Temp", 0, NK_RESULT_MAP_NODE}};
    m_Model.values1D[{7, 1}] = {{0, 2, {2.0f, 4.0f}}};
    m_Model.values1D[{7, 2}] = {{0, 2, {NK_UNDEFINED_VALUE, 4.0f}}};
    // Node values keyed by node id, in descending order; node 112 has none.
    FEValueBlock nodeValues{0, 11, {}};
    FEMappingBlock nodeKeys{11, {}};
    for (int id = 111; id >= 101; id--) {
        nodeValues.values.push_back((float)id * 10.0f);
        nodeKeys.keys.push_back(id);
    }
    m_Model.values1D[{8, -1}] = {nodeValues};
    m_Model.maps1D[{8, -1}] = {nodeKeys};
    m_Model.steps.push_back({2, "Step 2", 0.0f, 0});
    NKFEMInterface *p = Open();
    NKGeometry *pGeo = p->GetGeometry(0);
    ASSERT_NE(pGeo, nullptr);
    ASSERT_EQ(pGeo->iNumParts, 1);
    const NKPart &part = pGeo->pParts[0];
    EXPECT_EQ(part.iNumNodes, 12);
    EXPECT_EQ(part.iNumPolygons, 10);
    EXPECT_EQ(part.iNumElements, 2);

    NKScalarResult *pStress = p->GetScalar(0, 0, pGeo);
    ASSERT_NE(pStress, nullptr);
    for (int j = 0; j < 12; j++) {
        int id = part.pNodeIDs[j];
        float fWanted = id <= 104 ? 2.0f : id <= 108 ? 3.0f : 4.0f;
        EXPECT_EQ(pStress->pNodeResults[0].pNodeValues[j], fWanted) << id;
    }
    EXPECT_EQ(pStress->pElementResults[0].pNodeValues[1], 4.0f);
    NKReleaseScalarResult(pStress);
    pStress = p->GetScalar(0, 1, pGeo);
    ASSERT_NE(pStress, nullptr);
    for (int j = 0; j < 12; j++) {
        int id = part.pNodeIDs[j];
        EXPECT_EQ(pStress->pNodeResults[0].pNodeValues[j], id <= 104 ? 0.0f : 4.0f) << id;
    }
    EXPECT_EQ(pStress->pElementResults[0].pNodeValues[0], NK_UNDEFINED_VALUE);
    NKReleaseScalarResult(pStress);

    NKScalarResult *pTemp = p->GetScalar(1, 0, pGeo);
    ASSERT_NE(pTemp, nullptr);
    for (int j = 0; j < 12; j++) {
        int id = part.pNodeIDs[j];
        float fWanted = id == 112 ? NK_UNDEFINED_VALUE : (float)id * 10.0f;
        EXPECT_EQ(pTemp->pNodeResults[0].pNodeValues[j], fWanted) << id;
    }
    EXPECT_EQ(pTemp->szDescription, "Temp");
    NKReleaseScalarResult(pTemp);
    EXPECT_EQ(p->GetStepTime(0), 0.5f);
    EXPECT_EQ(p->GetStepTime(1), -1.0f);
    EXPECT_EQ(p->GetStepTime(2), -1.0f);
    NKReleaseGeometry(pGeo);
}

// Element values that are NaN or minus infinity count as undefined in the
// averages (a node of no other element gets what an undefined value gives
// it) and the result warns once, naming file, result and step; plus
// infinity, the undefined value, passes silently.
TEST_F(FEMInterface, ValuesThatAreNoNumberWarnOnceAndAverageAsUndefined)
{
    NKTestTwoHexahedra(&m_Model);
    m_Model.scalars = {{7, "Stress", 0, NK_RESULT_MAP_ELEMENT}};
    NKFEMInterface *p = Open();
    NKGeometry *pGeo = p->GetGeometry(0);
    ASSERT_NE(pGeo, nullptr);
    const NKPart &part = pGeo->pParts[0];
    for (float fBad : {NAN, -INFINITY, INFINITY}) {
        SCOPED_TRACE(fBad);
        m_Model.values1D[{7, 1}] = {{0, 2, {fBad, 4.0f}}};
        m_Capture.Clear();
        NKScalarResult *pStress = p->GetScalar(0, 0, pGeo);
        ASSERT_NE(pStress, nullptr);
        for (int j = 0; j < 12; j++)
            EXPECT_EQ(pStress->pNodeResults[0].pNodeValues[j], part.pNodeIDs[j] <= 104 ? 0 : 4.0f)
                << part.pNodeIDs[j];
        NKReleaseScalarResult(pStress);
        const bool bWarned = !(fBad > 0);
        EXPECT_EQ(m_Capture.Lines().size(), bWarned ? 1u : 0u) << m_Capture.Text();
        EXPECT_EQ(m_Capture.HasLine("The Stress result of file model.moc, step 1: NaN or -inf "
                                    "values: 1, the first is value 1; they count as undefined "
                                    "values.",
                                    NK_MSG_WARNING),
                  bWarned)
            << m_Capture.Text();
    }
    NKReleaseGeometry(pGeo);
}

TEST_F(FEMInterface, ResultNamesAndRefusedMappings)
{
    NKTestTwoHexahedra(&m_Model);
    m_Model.scalars = {{1, "Stress", NK_RESULT_LAYER_SHELL_TOP, NK_RESULT_MAP_ELEMENT},
                       {2, "Strain", 0, NK_RESULT_MAP_ELEMENT_NODE}};
    m_Model.vectors = {{3, "Velocity", 5, NK_RESULT_MAP_ELEMENT}};
    m_Model.values1D[{2, -1}] = {{0, 2, {1.0f, 2.0f}}};
    m_Model.values3D[{3, -1}] = {{0, 2, {1, 2, 3, 4, 5, 6}}};
    NKFEMInterface *p = Open(101);
    NKStringList *pNames = p->GetScalarNames();
    EXPECT_STREQ(pNames->Get(0), "Stress [element] [shell top]");
    delete pNames;
    pNames = p->GetVectorNames();
    EXPECT_STREQ(pNames->Get(0), "Velocity [element] [beam 2]");
    delete pNames;
    p = Open(103);
    pNames = p->GetScalarNames();
    EXPECT_STREQ(pNames->Get(0), "Stress [shell top]");
    delete pNames;

    NKGeometry *pGeo = p->GetGeometry(0);
    ASSERT_NE(pGeo, nullptr);
    EXPECT_EQ(p->GetScalar(1, 0, pGeo), nullptr);
    EXPECT_TRUE(m_Capture.HasLine("Unsupported result mapping type.", NK_MSG_ERROR));
    EXPECT_EQ(p->GetVector(0, 0, pGeo), nullptr);
    EXPECT_TRUE(
        m_Capture.HasLine("Only nodal result mapping supported for vector results.", NK_MSG_ERROR));
    NKReleaseGeometry(pGeo);
}

TEST_F(FEMInterface, DeletedHexahedronHidesAllItsFaces)
{
    NKTestTwoHexahedra(&m_Model);
    m_Model.elements[0].ids = {501, 502};
    m_Model.abCaps[3] = 1;
    m_Model.hiddenElements[1] = {{502, 999999, -7}};  // unknown keys pass over
    NKFEMInterface *p = Open();
    NKFrame frame;
    frame.pGeometry = p->GetGeometry(0);
    ASSERT_NE(frame.pGeometry, nullptr);
    p->UpdateVisibility(0, &frame);
    ASSERT_NE(frame.ppVisibility, nullptr);
    const NKPart &part = frame.pGeometry->pParts[0];
    int iHidden = 0;
    for (int j = 0; j < part.iNumPolygons; j++) {
        bool bSecond = part.pElements[part.pPolygonElements[j]].iID == 502;
        EXPECT_EQ(frame.ppVisibility[0][j], bSecond ? 1 : 0);
        iHidden += frame.ppVisibility[0][j];
    }
    EXPECT_EQ(iHidden, 5);
    NKFree(frame.ppVisibility[0]);
    NKFree(frame.ppVisibility);
    frame.ppVisibility = nullptr;
    NKReleaseGeometry(frame.pGeometry);
    frame.pGeometry = nullptr;
}

// Damaged reader data, one fault at a time: the geometry or the result
// fails with its message and nothing is read out of bounds.
TEST_F(FEMInterface, DamagedReaderDataFailsCleanly)
{
    struct Case {
        const char *pszName;
        void (*pfnDamage)(NKTestMockModel *);
        bool bResult;  // the damage is in the result, not the geometry
        const char *pszMessage;
    };
    const Case cases[] = {
        {"connectivity 0 (no such id)",
         [](NKTestMockModel *m) { m->elements[0].connectivity[3] = 0; }, false,
         "Unable to create part geometry."},
        {"connectivity past the node block",
         [](NKTestMockModel *m) {
             m->abCaps[2] = 0;
             for (int &v : m->elements[0].connectivity) v -= 101;
             m->elements[0].connectivity[5] = 12;
         },
         false, "Unable to create part geometry."},
        {"node block index past the count",
         [](NKTestMockModel *m) { m->elements[0].iNodeBlock = 1; }, false,
         "Unable to get node block."},
        {"start past the connectivity", [](NKTestMockModel *m) { m->elements[0].starts[1] = 12; },
         false, "Unable to create part geometry."},
        {"element count 2^31 - 1",
         [](NKTestMockModel *m) { m->elements[0].iNumElements = INT_MAX; }, false,
         "Unable to create part geometry."},
        {"node count 2^31 - 1", [](NKTestMockModel *m) { m->nodes[0].iNumNodes = INT_MAX; }, false,
         "Unable to create part geometry."},
        {"value count 2^31 - 1",
         [](NKTestMockModel *m) {
             m->values1D[{1, -1}][0].iNumValues = INT_MAX;
         },
         true, "Error applying element results."},
        {"mapping count 2^31 - 1",
         [](NKTestMockModel *m) {
             m->maps1D[{1, -1}][0].iCount = INT_MAX;
         },
         true, "Error applying element results."},
    };
    for (const Case &c : cases) {
        m_Model = NKTestMockModel();
        NKTestTwoHexahedra(&m_Model);
        m_Model.scalars = {{1, "S", 0, NK_RESULT_MAP_ELEMENT}};
        m_Model.values1D[{1, -1}] = {{0, 2, {1.0f, 2.0f}}};
        m_Model.maps1D[{1, -1}] = {{2, {1, 0}}};
        c.pfnDamage(&m_Model);
        m_Capture.Clear();
        NKFEMInterface *p = Open();
        NKGeometry *pGeo = p->GetGeometry(0);
        if (c.bResult) {
            ASSERT_NE(pGeo, nullptr) << c.pszName;
            EXPECT_EQ(p->GetScalar(0, 0, pGeo), nullptr) << c.pszName;
            NKReleaseGeometry(pGeo);
        } else {
            EXPECT_EQ(pGeo, nullptr) << c.pszName;
        }
        EXPECT_TRUE(m_Capture.HasLine(c.pszMessage, NK_MSG_ERROR)) << c.pszName << m_Capture.Text();
    }
}

}  // namespace
