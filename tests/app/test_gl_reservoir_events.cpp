// tests/app/test_gl_reservoir_events.cpp -- reservoir events of different
// geometry read one after the other in the program's window: event 1 holds
// unit 1 alone (two elements), event 3 both units (three). Each read of an
// event gives that event's geometry, whatever was read before it, and the
// same picture. Needs an X display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "export/nk_image_commands.h"
#include "readers/nk_data_source.h"
#include "tests/app/app_window_fixture.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/output3d_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

// The fixture with its first event computed over unit 1 alone: elements 1
// and 2, the twelve nodes they use (x below 300), their results, and the
// water flow record of element 1.
NKO3DFixture FixtureWithEvent1OfUnit1(void)
{
    NKO3DFixture fx = NKOutput3DFixture();
    for (auto &binary : fx.binaries) {
        std::vector<std::vector<uint32_t>> &events = binary.second.events;
        if (events.size() != 3) continue;
        const std::vector<uint32_t> &all = events[2];
        std::vector<uint32_t> &first = events[0];
        const size_t iWords = (size_t)binary.second.iRecordWords;
        for (size_t r = 0; r * iWords < all.size(); r++) {
            bool bKeep = r < 2;                                     // an element's record
            if (binary.first == "k00") bKeep = (115 - r) % 4 != 3;  // node 116 - r
            if (binary.first == "y01") bKeep = r == 0;
            if (bKeep)
                first.insert(first.end(), all.begin() + r * iWords, all.begin() + (r + 1) * iWords);
        }
    }
    return fx;
}

class ReservoirEvents : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        NKRegisterImageCommands();
        m_Dir = NKTestMakeTempDir("quolin_reservoir_events_");
        ASSERT_TRUE(NKOutput3DWriteFiles(m_Dir, FixtureWithEvent1OfUnit1(), false));
        ASSERT_TRUE(NKTestSetViewSize(320, 240));
    }
    void TearDown() override
    {
        NKCloseInterface();
        NKSetImageCommandHandler(nullptr);
        NKTestRemoveDir(m_Dir);
        ProgramWindowTest::TearDown();
    }
    std::string m_Dir;
};

// What a read of an event shows: the parts, nodes and elements of the
// frame's geometry, and the picture of the model.
struct EventView {
    int iParts = 0, iNodes = 0, iElements = 0;
    std::string picture;
    bool operator==(const EventView &o) const
    {
        return iParts == o.iParts && iNodes == o.iNodes && iElements == o.iElements &&
               picture == o.picture;
    }
};

}  // namespace

TEST_F(ReservoirEvents, EventsReadOneThreeOneThreeGiveTheirOwnGeometryEachTime)
{
    MessageCapture capture;
    ASSERT_EQ(ExecuteCommand(("open \"" + m_Dir + "/res.e00\"").c_str()), 0) << capture.Text();
    const int aiEvents[] = {1, 3, 1, 3};
    std::vector<EventView> views;
    for (int iEvent : aiEvents) {
        SCOPED_TRACE("event " + std::to_string(iEvent) + ", read " +
                     std::to_string(views.size() + 1));
        ASSERT_EQ(ExecuteCommand(("readstate " + std::to_string(iEvent) + " 1 1").c_str()), 0)
            << capture.Text();
        const NKGeometry *pGeo = NKGetFrameGeometry(NKGetFrame(0));
        ASSERT_NE(pGeo, nullptr);
        const std::string picture = m_Dir + "/event.ppm";
        ASSERT_EQ(ExecuteCommand(("toppm \"" + picture + "\" 64 48").c_str()), 0) << capture.Text();
        views.push_back({pGeo->iNumParts, pGeo->iTotalNumNodes, NKGetTotalNumElements(pGeo),
                         NKTestReadFile(picture)});
    }
    EXPECT_EQ(views[0].iElements, 2);
    EXPECT_EQ(views[1].iElements, 3);
    EXPECT_LT(views[0].iNodes, views[1].iNodes);
    EXPECT_FALSE(views[1].picture.empty());
    EXPECT_NE(views[0].picture, views[1].picture);
    EXPECT_TRUE(views[2] == views[0]);
    EXPECT_TRUE(views[3] == views[1]);
}
