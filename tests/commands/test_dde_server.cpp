// tests/commands/test_dde_server.cpp -- the request server's verbs and texts
// without a socket: NKDDEAnswerRequest for the answers and the debug log,
// NKDDEPostPickAdvise over a small geometry made here for the pick texts, and
// the two sound texts from plain inputs. The socket itself is tested in
// tests/platform/test_request_socket.cpp.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_dde_server.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_part_arrays.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

// Three parts; part index 2 has nine nodes and eleven quads, polygon 10
// being nodes 3, 4, 8, 7, and six elements of IDs 72 to 77.
class PickTexts : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pGeo = NKCreateGeometry(3);
        ASSERT_NE(m_pGeo, nullptr);
        m_pGeo->iNumRef = 1;  // the test's own reference
        NKPart *pPart = &m_pGeo->pParts[2];
        pPart->iNumNodes = 9;
        std::vector<int> connects, starts, counts, elements;
        for (int k = 0; k < 11; k++) {
            std::vector<int> quad =
                k == 10 ? std::vector<int>{3, 4, 8, 7} : std::vector<int>{0, 1, 2, 3};
            starts.push_back(static_cast<int>(connects.size()));
            connects.insert(connects.end(), quad.begin(), quad.end());
            counts.push_back(4);
            elements.push_back(k % 6);
        }
        ASSERT_TRUE(NKSetPartPolygons(pPart, connects, starts, counts, elements));
        pPart->iNumElements = 6;
        pPart->pElements = static_cast<NKElement *>(NKCalloc(6, sizeof(NKElement)));
        for (int e = 0; e < 6; e++) pPart->pElements[e].iID = 72 + e;
    }
    void TearDown() override
    {
        NKDDEClose();  // lets the last pick's reference go
        EXPECT_EQ(m_pGeo->iNumRef, 1);
        NKReleaseGeometry(m_pGeo);
    }
    NKPickInfo Pick(int iElement) const
    {
        NKPickInfo pick;
        pick.iFrame = 0;
        pick.pGeometry = m_pGeo;
        pick.iPart = 2;
        pick.iPolygon = 10;
        pick.iElement = iElement;
        pick.iNode = 3;
        pick.fPoint[0] = 0.5f;
        pick.fPoint[1] = 0.25f;
        return pick;
    }
    NKGeometry *m_pGeo = nullptr;
};

TEST_F(PickTexts, PartPolygonVerticesAndNotifyOfAPickWithoutElement)
{
    NKPickInfo pick = Pick(-1);
    ASSERT_TRUE(NKDDEPostPickAdvise(&pick));
    EXPECT_EQ(m_pGeo->iNumRef, 2);  // the last pick holds its geometry
    EXPECT_STREQ(NKDDEGetItemText("pick_part_num").GetText(), "<1><3>");
    EXPECT_STREQ(NKDDEGetItemText("pick_polygon_num").GetText(), "<1><11>");
    EXPECT_STREQ(NKDDEGetItemText("pick_vertex_num").GetText(), "<4><4><5><9><8>");
    EXPECT_EQ(NKDDEAnswerRequest(1, "REQUEST data notify", false),
              "DATA [PARTNUM<1><3>][POLYGONNUM<1><11>][VERTEXNUM<4><4><5><9><8>]"
              "[PICKCOORDS<3><0.5><0.25><0>][NEAR_NODE_NUM<1><4>]");
}

TEST_F(PickTexts, ElementAndNodeIdsJoinTheNotifyText)
{
    NKPart *pPart = &m_pGeo->pParts[2];
    pPart->pNodeIDs = static_cast<int *>(NKCalloc(9, sizeof(int)));
    for (int i = 0; i < 9; i++) pPart->pNodeIDs[i] = 101 + i;
    NKPickInfo pick = Pick(5);
    ASSERT_TRUE(NKDDEPostPickAdvise(&pick));
    EXPECT_STREQ(NKDDEGetItemText("notify").GetText(),
                 "[PARTNUM<1><3>][POLYGONNUM<1><11>][VERTEXNUM<4><104><105><109><108>]"
                 "[ELEMENT_NUM<1><6>][ELEMENT_ID<1><77>][PICKCOORDS<3><0.5><0.25><0>]"
                 "[NEAR_NODE_NUM<1><4>][NEAR_NODE_ID<1><104>]");
}

// A miss, and indices that the held geometry does not have, give no text.
TEST_F(PickTexts, MissesAndIndicesOutsideTheGeometryGiveEmptyTexts)
{
    struct Case {
        const char *pszName;
        int iPart, iPolygon, iElement, iNode;
        const char *pszNotify;
    } cases[] = {
        {"miss", -1, -1, -1, -1, ""},
        {"part past the end", 3, 10, 5, 3, ""},
        {"polygon past the end", 2, 11, -1, 3, "[PARTNUM<1><3>][NEAR_NODE_NUM<1><4>]"},
        {"element and node past the end", 2, 10, 6, 9,
         "[PARTNUM<1><3>][POLYGONNUM<1><11>][VERTEXNUM<4><4><5><9><8>][PICKCOORDS<3><0.5><0.25><0>"
         "]"},
    };
    for (const Case &c : cases) {
        NKPickInfo pick = Pick(c.iElement);
        pick.iPart = c.iPart;
        pick.iPolygon = c.iPolygon;
        pick.iNode = c.iNode;
        if (c.iPart < 0) pick = NKPickInfo();
        ASSERT_TRUE(NKDDEPostPickAdvise(&pick));
        EXPECT_STREQ(NKDDEGetItemText("notify").GetText(), c.pszNotify) << c.pszName;
        EXPECT_EQ(NKDDEAnswerRequest(1, "REQUEST data notify", false),
                  std::string("DATA ") + c.pszNotify)
            << c.pszName;
        if (c.iPart < 0) {
            for (const char *pszItem : {"pick_part_num", "pick_polygon_num", "pick_vertex_num"})
                EXPECT_STREQ(NKDDEGetItemText(pszItem).GetText(), "") << pszItem;
        }
    }
}

struct VerbCase {
    const char *pszLine;
    const char *pszAnswer;
    const char *pszLog;  // a line the debug log must hold ("" for none)
};

TEST(DdeVerbs, AnswersAndDebugLinesOfEveryVerb)
{
    const VerbCase cases[] = {
        {"REQUEST data pick_part_num", "NAK",
         "!! dde->XTYP_REQUEST:: Request on item:pick_part_num not supported"},
        {"REQUEST cmd notify", "NAK",
         "!! dde->XTYP_REQUEST:: Data request submitted on unsupported topic (Topic: cmd)"},
        {"REQUEST notify notify", "NAK",
         "!! dde->XTYP_CONNECT:: Just refused a connection because of topic. (Topic notify not "
         "supported)"},
        {"REQUEST data", "NAK", "dde->XTYP_REQUEST:: Item name was empty"},
        {"ADVISE data foo", "NAK",
         "!! dde->XTYP_ADVSTART:: Advice loop on item:foo not supported (Topic: data)"},
        {"ADVISE cmd notify", "NAK",
         "!! dde->XTYP_ADVSTART:: Advice loop requested on unsupported topic (Topic: cmd)"},
        {"ADVISE data sound_setup", "ACK",
         "dde->XTYP_ADVSTART:: Advice loop on item: sound_setup established (Topic: data)"},
        {"UNADVISE\tdata\tsound_setup", "ACK",
         "dde->XTYP_ADVSTOP:: Ending advice loop on item:sound_setup (Topic:data)"},
        {"EXEC bogus", "NAK",
         "dde->XTYP_EXECUTE:: Received command: bogus (original command string length 5)"},
        {"EXEC #x", "ACK", ""},
        {"EXEC", "NAK", "!! dde->XTYP_EXECUTE:: Command string was empty"},
        {"EXEC   \t", "NAK", "!! dde->XTYP_EXECUTE:: Command string was empty"},
        {"", "NAK", ""},
        {"   ", "NAK", ""},
        {"POKE data notify", "NAK", ""},
        {"exec #x", "NAK", ""},
        {"REQUEST data notify extra", "NAK", ""},
    };
    NKSetDdeDebug(true);
    for (const VerbCase &c : cases) {
        MessageCapture capture;
        EXPECT_EQ(NKDDEAnswerRequest(7, c.pszLine, false), c.pszAnswer) << c.pszLine;
        if (c.pszLog[0] != '\0') {
            EXPECT_TRUE(capture.Contains(c.pszLog)) << c.pszLine << "\n" << capture.Text();
        }
    }
    EXPECT_EQ(NKDDEAnswerRequest(7, std::string("EXEC #\0x", 8), false), "NAK");
    EXPECT_EQ(NKDDEAnswerRequest(7, "", true), "NAK");  // a line over the limit
    NKSetDdeDebug(false);
    MessageCapture quiet;
    EXPECT_EQ(NKDDEAnswerRequest(7, "REQUEST data foo", false), "NAK");
    EXPECT_FALSE(quiet.Contains("dde->"));  // the log speaks only in debug mode
}

TEST(DdeVerbs, ExecRunsTheWholeLongLine)
{
    std::string line = "EXEC #" + std::string(100000, 'x');
    EXPECT_EQ(NKDDEAnswerRequest(1, line, false), "ACK");
    EXPECT_EQ(g_CommandRunner.iCommandLevel, 0);
}

TEST(DdeLog, FunctionNameIsTrimmedAndMayBeMissing)
{
    NKSetDdeDebug(true);
    MessageCapture capture;
    NKDDELogInfo("  NKDDEClose()  ", "Closing connection to DDEML server");
    NKDDELogError(" ", "A critical DDE error has occured");
    NKSetDdeDebug(false);
    NKDDELogInfo("x", "not shown");
    ASSERT_EQ(capture.Lines().size(), 2u);
    EXPECT_EQ(capture.Lines()[0].text, "NKDDEClose():: Closing connection to DDEML server");
    EXPECT_EQ(capture.Lines()[0].iLevel, NK_MSG_INFO);
    EXPECT_EQ(capture.Lines()[1].text, "!! A critical DDE error has occured");
    EXPECT_EQ(capture.Lines()[1].iLevel, NK_MSG_ERROR);
}

TEST(DdeSoundTexts, SetupAndUpdateFromTheirInputs)
{
    NKDDESoundSource bell;
    bell.iId = 1;
    bell.description = "Bell";
    bell.fileName = "bell.wav";
    bell.fPosition[0] = 10.0f;
    bell.fPosition[1] = 1.0f;
    bell.fPosition[2] = 1.0f;
    bell.fValue = 2.5f;
    const float afBox[6] = {0, 0, 0, 10, 1, 1};
    const float afView[9] = {1, 2, 3, 0, 0, 0, 0, 0, 1};
    EXPECT_STREQ(NKDDEComposeSoundSetup(afBox, &bell, 1).GetText(),
                 "0 0 0  10 1 1\n1  \"Bell\"  \"bell.wav\"\n");
    EXPECT_STREQ(NKDDEComposeSoundSetup(afBox, nullptr, 0).GetText(), "0 0 0  10 1 1\n");
    EXPECT_STREQ(NKDDEComposeSoundUpdate(false, 0.5f, afView, &bell, 1).GetText(), "OFF");
    NKString update = NKDDEComposeSoundUpdate(true, 0.5f, afView, &bell, 1);
    EXPECT_STREQ(update.GetText(), "0.5\n1 2 3  0 0 0  0 0 1 \n1  10 1 1  2.5\n");
    EXPECT_TRUE(NKDDESetSoundUpdateText(update));
    EXPECT_STREQ(NKDDEGetItemText("sound_update").GetText(), update.GetText());
    EXPECT_EQ(NKDDEEscapeLine(update.GetText()), "0.5\\n1 2 3  0 0 0  0 0 1 \\n1  10 1 1  2.5\\n");
    EXPECT_EQ(NKDDEEscapeLine("a\\b\r\n"), "a\\\\b\\r\\n");
}

TEST(DdeServer, StartWithoutAnEventLoopFailsNamingThePath)
{
    std::string dir = NKTestMakeTempDir("quolin_rt_");
    ASSERT_FALSE(dir.empty());
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    MessageCapture capture;
    EXPECT_FALSE(NKDDEInitialize());
    EXPECT_TRUE(capture.HasLine(
        "Cannot start the request server: No event loop to serve requests on " + dir + "/Quolin",
        NK_MSG_ERROR))
        << capture.Text();
    EXPECT_EQ(NKDDEGetNumConnections(), 0);
    EXPECT_TRUE(NKTestRemoveDir(dir));
}

}  // namespace

namespace {

// A connection holding an advise loop is never closed to make room for a
// new client, however long it idles; once its last loop ends, or it failed
// to start one, it may be.
TEST(DdeServer, OnlyConnectionsWithoutAnAdviseLoopMayMakeRoom)
{
    const struct {
        std::vector<std::string> lines;  // sent on connection 41 in order
        bool bMayClose;
    } cases[] = {
        {{}, true},
        {{"REQUEST data notify", "EXEC #x"}, true},
        {{"ADVISE data notify"}, false},
        {{"ADVISE data sound_update", "ADVISE data notify", "UNADVISE data notify"}, false},
        {{"ADVISE data notify", "UNADVISE data notify"}, true},
        {{"ADVISE data foo", "ADVISE cmd notify"}, true},
        {{"ADVISE data pick_part_num", "UNADVISE data sound_update"}, false},
    };
    for (const auto &c : cases) {
        std::string trace;
        for (const std::string &line : c.lines) {
            trace += line + "; ";
            NKDDEAnswerRequest(41, line, false);
        }
        SCOPED_TRACE(trace);
        EXPECT_EQ(NKDDEMayCloseConnection(41), c.bMayClose);
        EXPECT_TRUE(NKDDEMayCloseConnection(42));  // another connection's loops are its own
        NKDDEConnectionClosed(41);
        EXPECT_TRUE(NKDDEMayCloseConnection(41));  // a gone connection holds nothing
    }
}

}  // namespace
