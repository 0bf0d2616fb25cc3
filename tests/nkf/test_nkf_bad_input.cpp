// tests/nkf/test_nkf_bad_input.cpp -- ASCII model files opened through the
// open command as a user's editor or a damaged copy leaves them: letters of
// Latin-1 and a last line without a line end open; a result mapped to a
// node block the file lacks and step numbers that name no model step are
// refused as errors of their block naming the file, and the model opened
// before stays.
#include <gtest/gtest.h>

#include <string>

#include "tests/nkf/nkf_open_fixture.h"

namespace {

// One hexahedron with a scalar result over two steps. Each case replaces
// one line of it (or its node rows).
const char kHexModel[] = "*NKF-1.00\n"
                         "# unit hexahedron\n"
                         "*NODES 1\n"
                         "0 0 0\n1 0 0\n1 1 0\n0 1 0\n0 0 1\n1 0 1\n1 1 1\n0 1 1\n"
                         "*ELEMENTS 1\n"
                         "%NAME \"Hex\"\n"
                         "%NODES #1\n"
                         "%WITH_ID\n"
                         "%HEXAHEDRONS\n"
                         "1 1 2 3 4 5 6 7 8\n"
                         "*QUOLINGEOMETRY 1\n"
                         "%NAME \"Hex\"\n"
                         "%ELEMENTS\n"
                         "1\n"
                         "*RESULTS 1\n"
                         "%DIMENSION 1\n"
                         "%PER_NODE #1\n"
                         "0\n0\n0\n0\n1\n1\n1\n1\n"
                         "*QUOLINSCALAR 1\n"
                         "%NAME \"z\"\n"
                         "%STEP 1\n"
                         "1\n"
                         "%STEP 2\n"
                         "1\n";

std::string Replaced(const std::string &from, const std::string &to)
{
    std::string text = kHexModel;
    size_t i = text.find(from);
    EXPECT_NE(i, std::string::npos) << from;
    return i == std::string::npos ? text : text.replace(i, from.size(), to);
}

class NKFBadInput : public NKFOpenTest {
protected:
    int Open(const std::string &path) { return Run("open \"" + path + "\""); }
};

}  // namespace

// Text that every editor writes: a Latin-1 letter was once taken for a
// binary file ("Unable to auto-detect primary file type."), a file saved
// without a final line end for a cut one.
TEST_F(NKFBadInput, TextAsEditorsWriteItOpens)
{
    const std::string unended = std::string(kHexModel).substr(0, sizeof(kHexModel) - 2);
    const struct {
        const char *pszName;
        std::string text;
        bool bWarned;
    } cases[] = {
        {"latin1.nkf", Replaced("# unit hexahedron", "# W\xFCrfel, Kantenl\xE4nge 1"), false},
        {"latin1_name.nkf", Replaced("%NAME \"z\"", "%NAME \"Temp\xE9rature\""), false},
        {"unended.nkf", unended, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszName);
        const std::string path = m_Dir + "/" + c.pszName;
        ASSERT_TRUE(NKTestWriteText(path, c.text));
        m_Capture.Clear();
        EXPECT_EQ(Open(path), 0) << m_Capture.Text();
        EXPECT_TRUE(m_Capture.Contains("NKF-file opened.")) << m_Capture.Text();
        EXPECT_EQ(m_Capture.Contains("The last line of the file has no line end; it is read as "
                                     "it stands.\nNKF file : " +
                                     path),
                  c.bWarned)
            << m_Capture.Text();
        ASSERT_GE(g_pModel->iNumFrames, 1);
        EXPECT_NE(g_pModel->pFrames[0].pGeometry, nullptr);
    }
}

// A value that points nowhere opened without a word before: the results
// of a node block the file lacks were dropped, and a step number past any
// model step or below 1 was taken as it stood; an element naming a node ID
// that no node has must not take a neighbour's node. Each is an error of
// its block naming the file, and the model opened before stays.
TEST_F(NKFBadInput, BlocksThatPointNowhereAreRefused)
{
    const std::string good = m_Dir + "/good.nkf";
    ASSERT_TRUE(NKTestWriteText(good, kHexModel));
    ASSERT_EQ(Open(good), 0) << m_Capture.Text();
    const NKGeometry *pBefore = g_pModel->pFrames[0].pGeometry;
    const int iFrames = g_pModel->iNumFrames;
    const struct {
        const char *pszFrom, *pszTo, *pszBlock, *pszError;
        bool bParsed;  // the file's blocks were read ("NKF-file opened.") before the error
    } cases[] = {
        {"%PER_NODE #1", "%PER_NODE #99", "*RESULTS. ID = 1",
         "Node block (*NODES) with id = 99not found in file", false},
        {"%STEP 1", "%STEP 2147483647", "*QUOLINSCALAR",
         "Step number 2147483647 out of range (1 to 1000000).", false},
        {"%STEP 2", "%STEP -2", "*QUOLINSCALAR", "Step number -2 out of range (1 to 1000000).",
         false},
        {"%STEP 1", "%STEP 0", "*QUOLINSCALAR", "Step number 0 out of range (1 to 1000000).",
         false},
        // IDs that ascend with 3 given twice and 4 left out: the element's
        // ID 4 is no node's, though the IDs run from 1 to 8 over 8 nodes.
        {"0 0 0\n1 0 0\n1 1 0\n0 1 0\n0 0 1\n1 0 1\n1 1 1\n0 1 1\n",
         "%WITH_ID\n1 0 0 0\n2 1 0 0\n3 1 1 0\n3 0 1 0\n5 0 0 1\n6 1 0 1\n7 1 1 1\n8 0 1 1\n",
         "*ELEMENTS. ID = 1", "Refers to node with user defined ID = 4. No such ID exists.", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszTo);
        const std::string path = m_Dir + "/bad.nkf";
        ASSERT_TRUE(NKTestWriteText(path, Replaced(c.pszFrom, c.pszTo)));
        m_Capture.Clear();
        EXPECT_EQ(Open(path), 1);
        EXPECT_TRUE(m_Capture.Contains(std::string("Block type : ") + c.pszBlock))
            << m_Capture.Text();
        EXPECT_TRUE(m_Capture.Contains(c.pszError)) << m_Capture.Text();
        EXPECT_TRUE(m_Capture.Contains(path)) << m_Capture.Text();
        EXPECT_EQ(m_Capture.Contains("opened"), c.bParsed) << m_Capture.Text();
        EXPECT_TRUE(m_Capture.Contains("Error reading geometry.") || !c.bParsed);
        ASSERT_EQ(g_pModel->iNumFrames, iFrames);
        EXPECT_EQ(g_pModel->pFrames[0].pGeometry, pBefore);
    }
}

// The largest step number a file may give opens as the model's last step;
// one more is refused and the model before stays.
TEST_F(NKFBadInput, TheLargestStepNumberOpensAndOneMoreIsRefused)
{
    const std::string top = m_Dir + "/top.nkf";
    ASSERT_TRUE(NKTestWriteText(top, Replaced("%STEP 2", "%STEP 1000000")));
    ASSERT_EQ(Open(top), 0) << m_Capture.Text();
    EXPECT_TRUE(m_Capture.Contains("NKF-file opened.")) << m_Capture.Text();
    const NKGeometry *pBefore = g_pModel->pFrames[0].pGeometry;
    const std::string over = m_Dir + "/over.nkf";
    ASSERT_TRUE(NKTestWriteText(over, Replaced("%STEP 2", "%STEP 1000001")));
    m_Capture.Clear();
    EXPECT_EQ(Open(over), 1);
    EXPECT_TRUE(m_Capture.Contains("Step number 1000001 out of range (1 to 1000000)."))
        << m_Capture.Text();
    EXPECT_EQ(g_pModel->pFrames[0].pGeometry, pBefore);
}
