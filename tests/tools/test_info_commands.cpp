// tests/tools/test_info_commands.cpp -- the node-number, listing and model
// information commands and the text3d command, run as command lines on
// small models made in memory and on the example beam; messages read back
// through the message output.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/nk_oriented_box.h"
#include "core/nk_shell_hooks.h"
#include "render/nk_node_colors.h"
#include "render/nk_node_numbers.h"
#include "render/nk_text3d.h"
#include "render/nk_vector_commands.h"
#include "tests/tools/annotation_fixture.h"
#include "tools/nk_info_commands.h"
#include "tools/nk_manipulator.h"

namespace {

struct Row {
    const char *pszLine;
    int iResult;
    const char *pszMessage;  // contained in the captured text; "" for none
};

class InfoCommands : public AnnotationTest {
protected:
    void SetUp() override
    {
        AnnotationTest::SetUp();
        NKRegisterInfoCommands();
        NKCreateText3DList();
        g_NodeNumberRange = NKNodeNumberRange();
    }
    void TearDown() override
    {
        NKDestroyText3DList();
        NKSetCommandHandler(NK_HANDLER_INFO, nullptr);
        AnnotationTest::TearDown();
    }
    void RunRows(const std::vector<Row> &rows)
    {
        for (const Row &r : rows) Expect(r.pszLine, r.iResult, r.pszMessage);
    }
    // Three parts of four nodes with display = model coordinates; part 1's
    // first node at (1, 2, 3) and, with iNodes, part 1 grown to that many.
    void MakeThreeParts(int iNodes = 4)
    {
        MakeFrames(1, 3);
        g_pModel->fGeoScale = 1.0f;
        g_pModel->fCenterX = g_pModel->fCenterY = g_pModel->fCenterZ = 0.0f;
        NKPart &part = g_pModel->pFrames[0].pGeometry->pParts[0];
        if (iNodes > 4) {
            NKFree(part.pNodeCoords);
            part.pNodeCoords = static_cast<float *>(NKCalloc(3 * iNodes, sizeof(float)));
            part.iNumNodes = iNodes;
        }
        const float afFirst[3] = {1.0f, 2.0f, 3.0f};
        std::memcpy(part.pNodeCoords, afFirst, sizeof(afFirst));
    }
    std::vector<Text3DItem *> Items() const
    {
        std::vector<Text3DItem *> v;
        for (Text3DItem *p = g_pText3DList->pHead; p != nullptr; p = p->pNext) v.push_back(p);
        return v;
    }
};

TEST_F(InfoCommands, ListingsOfNodesAndTheirRefusals)
{
    MakeThreeParts();
    std::vector<std::string> pieces;
    ASSERT_TRUE(NKComposeNodeListing(nullptr, "PARAMS 1,1", NK_LIST_COORDINATES, &pieces));
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0], "Coordinates for (part,node)  1, 1  to  1, 1\n"
                         "  1, 1:  x =  1.00000e+00  y =  2.00000e+00  z =  3.00000e+00\n");
    RunRows({
        {"showscalars 1,1", 0, "Scalar values for (part,node)  1, 1  to  1, 1\n  1, 1:  NO_VALUE"},
        {"showvectors 2,2", 0, "  2, 2:  dx =  0.00000e+00  dy =  0.00000e+00  dz =  0.00000e+00"},
        {"showcoordinates 1,4 2,1", 0, "  1, 4:  x = "},
        {"coordinates 1,1 9,1", 1,
         "coordinates: Illegal node range specification: 1,1  9,1\n"
         "Remember to use part,node for specifying nodes"},
        {"coordinates 1,9", 1, "Illegal node range specification: 1,9  1,9"},
        {"showscalars 1", 1,
         "showscalars: Illegal node specification.\nRemember to use part,node for specifying "
         "nodes"},
    });
    // The whole model: part 1's first node to part 3's last, 12 lines.
    Expect("coordinates", 0, "Coordinates for (part,node)  1, 1  to  3, 4\n");
    EXPECT_TRUE(m_Capture.Contains("  3, 4:  x =  0.00000e+00  y =  1.00000e+00"));
    EXPECT_FALSE(m_Capture.Contains("  3, 5:"));
    // A last part without nodes lists nothing of its own.
    g_pModel->pFrames[0].pGeometry->pParts[2].iNumNodes = 0;
    Expect("coordinates", 0, "  2, 4:  x = ");
    EXPECT_FALSE(m_Capture.Contains("\n  3, "));
    g_pModel->pFrames[0].pGeometry->pParts[2].iNumNodes = 4;
}

// A scalar value that is no number (NaN, either infinity) is listed as
// NO_VALUE, as the undefined value is, also when nothing before the listing
// made it undefined.
TEST_F(InfoCommands, ScalarsThatAreNoNumberAreListedAsNoValue)
{
    MakeThreeParts();
    NKScalarResult *pScalar = NKCreateScalarResult();
    pScalar->iNumRef = 1;
    pScalar->iNumParts = 3;
    pScalar->pNodeResults =
        static_cast<NKScalarPartEntry *>(NKCalloc(3, sizeof(NKScalarPartEntry)));
    const float afValues[4] = {NAN, INFINITY, -INFINITY, 2.5f};
    pScalar->pNodeResults[0].iCount = 4;
    pScalar->pNodeResults[0].pNodeValues = static_cast<float *>(NKAlloc(sizeof(afValues)));
    std::memcpy(pScalar->pNodeResults[0].pNodeValues, afValues, sizeof(afValues));
    g_pModel->pFrames[0].pScalar = pScalar;
    std::vector<std::string> pieces;
    ASSERT_TRUE(NKComposeNodeListing(nullptr, "PARAMS 1,1 1,4", NK_LIST_SCALARS, &pieces));
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0], "Scalar values for (part,node)  1, 1  to  1, 4\n"
                         "  1, 1:  NO_VALUE\n"
                         "  1, 2:  NO_VALUE\n"
                         "  1, 3:  NO_VALUE\n"
                         "  1, 4:   2.50000e+00\n");
}

TEST_F(InfoCommands, LongListingsGoOutTwentyFiveLinesAtATime)
{
    MakeThreeParts(60);
    std::vector<std::string> pieces;
    ASSERT_TRUE(NKComposeNodeListing(nullptr, "PARAMS 1,1 1,60", NK_LIST_COORDINATES, &pieces));
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[2].rfind("  1, 50:", 0), 0u);
    Expect("coordinates 1,1 1,60", 0, "  1, 60:  x = ");
}

TEST_F(InfoCommands, NodeNumbersSetTheRangeOrRefuse)
{
    MakeThreeParts();
    RunRows({
        {"numbers 2,2 3,3", 0, "Enable node numbers for node (2, 2) to node (3, 3)."},
    });
    EXPECT_EQ(g_NodeNumberRange.iFromPart, 1);
    EXPECT_EQ(g_NodeNumberRange.iFromNode, 1);
    EXPECT_EQ(g_NodeNumberRange.iToPart, 2);
    EXPECT_EQ(g_NodeNumberRange.iToNode, 2);
    EXPECT_EQ(g_pViewSettings->bShowNodeNumbers, 1);
    RunRows({
        {"numbers 4,1", 1, "numbers: Illegal part specified : 4. Legal 1 -> 3"},
        {"numbers 1,1 0,1", 1, "numbers: Illegal part specified : 0. Legal 1 -> 3"},
        {"numbers 1,7", 1, "numbers: Illegal node specified : 7."},
        {"numbers 1", 1, "Remember to use part,node"},
    });
    EXPECT_EQ(g_NodeNumberRange.iFromPart, 1);  // the refusals changed nothing
    Expect("numbers 2,3", 0, "Enable node numbers for node (2, 3) to node (2, 3).");
    EXPECT_EQ(g_NodeNumberRange.iToNode, 2);
    Expect("numbers", 0, "Enable node numbers for node (1, 1) to node (3, 4).");
    EXPECT_EQ(g_NodeNumberRange.iToPart, 2);
    EXPECT_EQ(g_NodeNumberRange.iToNode, 3);
    Expect("nonumbers", 0, "Disable drawing of node numbers.");
    EXPECT_EQ(g_pViewSettings->bShowNodeNumbers, 0);
    // A part without node IDs labels its nodes with part number and index + 1.
    const NKPart &part = g_pModel->pFrames[0].pGeometry->pParts[1];
    EXPECT_STREQ(NKFormatNodeLabel(part, 1, 4).GetText(), "2, 5");
}

TEST_F(InfoCommands, ModelInformationOfTheBeamAndTheDialog)
{
    Expect("noinfo", 0, "Disable display of model information");
    ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
    Expect("info", 0, "Enable display of model information");
    EXPECT_EQ(g_pViewSettings->bShowInfo, 1);
    // The sink receives the text line by line.
    const std::string text = m_Capture.Text();
    EXPECT_NE(text.find("\nGeometry information:\n  - Current geometry file"), std::string::npos);
    EXPECT_NE(text.find("  - Number of nodes.............: 99\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  - Number of polygons..........: 88\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  - Maximum x-value.............: 10\n"), std::string::npos) << text;
    for (int i = 0; i < 2; i++) {
        Expect("noinfo", 0, "Disable display of model information");
        EXPECT_EQ(g_pViewSettings->bShowInfo, 0);
    }
    static int s_iSelector = -1;
    static bool s_bActivate = false;
    NKShellHooks hooks;
    hooks.pfnRefreshInfoPropertySheet = [](int iSelector, bool bActivate) {
        s_iSelector = iSelector;
        s_bActivate = bActivate;
    };
    const NKShellHooks saved = NKSetShellHooks(hooks);
    Expect("showinfodialog", 0, "Enable display of model and results information dialog");
    NKSetShellHooks(saved);
    EXPECT_EQ(s_iSelector, 1);
    EXPECT_TRUE(s_bActivate);
}

// The extremes' lines end with the model step their frame holds, read
// from the frame (NKGetFrameStep), not with the frame's index: a read of
// one step into one frame names that step.
TEST_F(InfoCommands, ModelInformationNamesTheStepItsFrameShows)
{
    NKInstallNodeColorHooks(true);  // the ranges come with the colours
    ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
    for (int iStep : {3, 2}) {
        SCOPED_TRACE(iStep);
        ASSERT_EQ(Run("readstate " + std::to_string(iStep) + " 1"), 0);
        ASSERT_EQ(g_pModel->iNumFrames, 1);
        Expect("info", 0, "Scalar information:");
        const std::string where = ", step " + std::to_string(iStep) + ")";
        for (const char *pszLine :
             {"  - Minimum node value........: ", "  - Maximum node value........: "}) {
            const std::string text = m_Capture.Text();
            const size_t at = text.find(pszLine);
            ASSERT_NE(at, std::string::npos) << text;
            const std::string line = text.substr(at, text.find('\n', at) - at);
            EXPECT_NE(line.find("(in part 1, node "), std::string::npos) << line;
            EXPECT_EQ(line.substr(line.size() - where.size()), where) << line;
        }
    }
    NKInstallNodeColorHooks(false);
}

TEST_F(InfoCommands, Text3DAddsChangesAndDeletesItems)
{
    MakeThreeParts();
    RunRows({
        {"text3d \"ab cd\"", 0, "New 3D Text string without ID added."},
        {"text3d \"x\" #5", 0, "New 3D Text string with ID added."},
        {"text3d \"seven\" #7", 0, ""},
        {"text3d \"again\" #7", 0, ""},
        {"text3d size 2 7", 0, "Set size of text with id 7 to : 2.000000 "},
        {"text3d color 255 0", 0,
         "Set color of text with id 0 to : 255.000000 0.000000 255.000000"},
        {"text3d depth 0 5", 0, "Set depth of text with id 5 to : 0.000000 "},
        {"text3d vector 0 -1 0 5", 0,
         "Set plane vector of text with id 5 to : 0.000000 -1.000000 0.000000"},
        {"text3d position 1 2 3 5", 0,
         "Set position of text with id 5 to : 1.000000 2.000000 3.000000"},
    });
    std::vector<Text3DItem *> v = Items();
    ASSERT_EQ(v.size(), 4u);
    EXPECT_STREQ(v[0]->pszText, "ab cd");
    EXPECT_EQ(v[0]->iID, 0);
    for (int k = 0; k < 3; k++) EXPECT_FLOAT_EQ(v[0]->fPosition[k], 0.0f);  // the model origin
    EXPECT_EQ(v[0]->uColor[0], 255);
    EXPECT_EQ(v[0]->uColor[1], 0);
    EXPECT_EQ(v[0]->uColor[2], 255);
    EXPECT_EQ(v[1]->iID, 5);
    EXPECT_FLOAT_EQ(v[1]->fDepth, 0.0f);
    EXPECT_FLOAT_EQ(v[1]->fVector[1], -1.0f);
    EXPECT_FLOAT_EQ(v[1]->fPosition[2], 3.0f);
    EXPECT_FLOAT_EQ(v[2]->fSize, 2.0f);
    EXPECT_FLOAT_EQ(v[3]->fSize, 2.0f);
    EXPECT_FLOAT_EQ(v[1]->fSize, 1.0f);
    // Words after the quotes: position, vector, size, depth and colour.
    Expect("text3d \"q\" 1 2 3 0 0 1 4 0 10 20", 0, "without ID");
    const Text3DItem *q = Items().back();
    EXPECT_FLOAT_EQ(q->fPosition[1], 2.0f);
    EXPECT_FLOAT_EQ(q->fVector[2], 1.0f);
    EXPECT_FLOAT_EQ(q->fSize, 4.0f);
    EXPECT_EQ(q->uColor[0], 10);
    EXPECT_EQ(q->uColor[1], 20);
    EXPECT_EQ(q->uColor[2], 255);
    RunRows({
        {"text3d delete", 0, "Deleted text item(s) with ID 0"},
        {"text3d bogus", 1, "Illegal text3d subcommand : bogus"},
    });
    EXPECT_EQ(Items().size(), 3u);
    EXPECT_EQ(m_Capture.Lines().back().iLevel, NK_MSG_ERROR);
    Expect("text3d delete 7", 0, "Deleted text item(s) with ID 7");
    ASSERT_EQ(Items().size(), 1u);
    EXPECT_EQ(g_pText3DList->pTail, Items().back());
    Expect("text3d \"unterminated", 0, "");
    EXPECT_STREQ(Items().back()->pszText, "unterminated");
    Expect("text3d delete all", 0, "Deleting all text3d items");
    EXPECT_EQ(g_pText3DList->pHead, nullptr);
    EXPECT_EQ(g_pText3DList->pTail, nullptr);
    EXPECT_FALSE(NKText3DDeleteAll());
}

}  // namespace

// The ruler rows place, scale and name the "3D Ruler" and list it; the
// vectors' box filter fits the "Filter Box" to the default handle box and
// lists it while filtering is on.
TEST_F(InfoCommands, RulerAndVectorBoxFilterFollowTheirCommands)
{
    MakeThreeParts();
    NKRegisterVectorCommands();
    NKInstallManipulatorHooks();
    g_pManipulatorList = new ManipulatorList();
    g_pRuler = new RulerManipulator("3D Ruler");
    ASSERT_TRUE(NKCreateVectorFilterBox());
    auto listed = [](Manipulator *p) {
        for (int i = 0; i < g_pManipulatorList->GetCount(); i++)
            if (g_pManipulatorList->Get(i) == p) return true;
        return false;
    };
    RunRows({
        {"ruler scale 0", 1, "ruler scale: Illegal ruler scale factor 0.000000 (legal values > 0)"},
        {"ruler scale 2.5", 0, "Ruler scaling factor set to: 2.5"},
        {"ruler", 0, "3D ruler enabled with scale factor: 2.5, unit: none"},
        {"ruler unit \"mm per step\"", 0, "Ruler unit string set to: mm per step"},
        {"ruler 0 0 0 2 0 0", 0, "3D ruler enabled with scale factor: 2.5, unit: mm per step"},
    });
    EXPECT_TRUE(g_pRuler->IsEnabled());
    EXPECT_TRUE(listed(g_pRuler));
    EXPECT_NEAR(g_pRuler->GetLength(true, false), 2.0f, 1e-5f);
    EXPECT_NEAR(g_pRuler->GetLength(true, true), 5.0f, 1e-5f);
    RunRows({{"noruler", 0, "3D ruler disabled"}});
    EXPECT_FALSE(g_pRuler->IsEnabled());
    EXPECT_FALSE(listed(g_pRuler));

    BoxManipulator *pBox = NKGetVectorFilterBox();
    RunRows({{"vectors boxfilter", 0, "Vector filtering using box enabled."}});
    EXPECT_TRUE(pBox->IsEnabled());
    EXPECT_TRUE(listed(pBox));
    float afBox[6], afDefault[6];
    pBox->GetOrientedBoxPointer()->GetBox(afBox, false);
    NKGetDefaultManipulatorBox(afDefault, false);
    for (int k = 0; k < 6; k++) EXPECT_NEAR(afBox[k], afDefault[k], 1e-5f) << k;
    RunRows({{"vectors noboxfilter", 0, "Vector filtering using box disabled."}});
    EXPECT_FALSE(pBox->IsEnabled());
    EXPECT_FALSE(listed(pBox));

    NKDestroyVectorFilterBox();
    delete g_pRuler;
    g_pRuler = nullptr;
    delete g_pManipulatorList;
    g_pManipulatorList = nullptr;
    NKSetVectorFilterBoxHook(nullptr);
    NKSetCommandHandler(NK_HANDLER_VECTORS, nullptr);
}
