// tests/commands/test_open_without_geometry.cpp -- an open whose reader
// opens its file and then gives no geometry: the model and the source open
// before it stay as they were, and the error is reported once.
#include <gtest/gtest.h>

#include <string>

#include "commands/nk_command.h"
#include "core/nk_model.h"
#include "readers/nk_data_source.h"
#include "tests/commands/load_sequence_fixture.h"
#include "tests/test_support/mock_fem_reader.h"

namespace {

class OpenWithoutGeometry : public LoadSequenceTest {
protected:
    void SetUp() override
    {
        LoadSequenceTest::SetUp();
        NKInstallDataSources();
        // The model that opens: two hexahedra over two steps.
        m_Good.info.szName = "Good reader";
        m_Good.pszExtension = ".goodmodel";
        NKTestTwoHexahedra(&m_Good);
        m_Good.steps = {{1, "Step one", 0.0f, 1}, {2, "Step two", 1.0f, 1}};
        NKTestInstallMock(0, &m_Good);
        // A reader whose open succeeds but whose nodes name no ids although
        // its elements refer to nodes by id: its first geometry is nothing.
        m_Empty.info.szName = "Empty reader";
        m_Empty.info.szShortName = "emp";
        m_Empty.pszExtension = ".emptymodel";
        NKTestTwoHexahedra(&m_Empty);
        m_Empty.nodes[0].ids.clear();
        NKTestInstallMock(1, &m_Empty);
    }
    void TearDown() override
    {
        NKCloseInterface();
        NKTestRemoveMocks();
        LoadSequenceTest::TearDown();
    }
    static std::string FileName(void)
    {
        NKString name;
        NKGetInterfaceFileName(&name);
        return name.GetText();
    }

    NKTestMockModel m_Good, m_Empty;
};

TEST_F(OpenWithoutGeometry, KeepsTheModelAndTheSourceBeforeIt)
{
    const std::string good = Path("model.goodmodel"), empty = Path("model.emptymodel");
    NKTestWriteText(good, "");
    NKTestWriteText(empty, "");
    ASSERT_EQ(ExecuteCommand(("open \"" + good + "\"").c_str()), 0) << m_Capture.Text();
    ASSERT_EQ(g_pModel->iNumFrames, 1);
    NKGeometry *pGeo = g_pModel->pFrames[0].pGeometry;
    ASSERT_NE(pGeo, nullptr);
    const int iNodes = pGeo->pParts[0].iNumNodes;
    const int iKind = NKGetResultsInterface()->type;

    for (const std::string &line :
         {"open \"" + empty + "\"", "openfemfile emp \"" + empty + "\""}) {
        m_Capture.Clear();
        EXPECT_EQ(ExecuteCommand(line.c_str()), 1) << line;
        EXPECT_TRUE(m_Capture.HasLine("Error reading geometry.", NK_MSG_ERROR)) << line << "\n"
                                                                                << m_Capture.Text();
        EXPECT_FALSE(m_Capture.Contains("cannot be read again")) << m_Capture.Text();
        ASSERT_EQ(g_pModel->iNumFrames, 1) << line;
        EXPECT_EQ(g_pModel->pFrames[0].pGeometry, pGeo) << line;
        EXPECT_EQ(g_pModel->pFrames[0].pGeometry->pParts[0].iNumNodes, iNodes) << line;
        EXPECT_EQ(NKGetResultsInterface()->type, iKind) << line;
        EXPECT_EQ(FileName(), good) << line;
    }
    // The source before reads on: its second step loads.
    m_Capture.Clear();
    ASSERT_EQ(ExecuteCommand("readstate 2"), 0) << m_Capture.Text();
    EXPECT_STREQ(g_pModel->pFrames[0].szDescription.GetText(), "Step two");
}

}  // namespace
