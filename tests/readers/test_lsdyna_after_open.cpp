// tests/readers/test_lsdyna_after_open.cpp -- an LS-DYNA family whose
// writer splits its states over members (a state runs over two to five
// members), read state by state after its open: the members held open
// after each state is read are exactly those the state covers, and a member
// that lost its last word after the open has the state that covers that
// word refused by the state's check alone, naming the member.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "core/nk_message.h"
#include "core/nk_string.h"
#include "readers/nk_lsdyna.h"
#include "readers/nk_lsdyna_format.h"
#include "tests/test_support/lsdyna_test_writer.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace fs = std::filesystem;

namespace {

constexpr int kStates = 7;

// A family as its writer splits it: d3plot holds the shell fixture's
// geometry and the end marker, padded to the block; seven states of 13 + iGlobals words (the
// time, the globals, 12 coordinates) and the end marker are written as one
// stream over d3plot01, d3plot02 ... of one 512-word block each, the last
// padded. State k begins at stream word k * (13 + iGlobals).
struct SplitFamily {
    std::string dir;
    int iWordSize = 4;
    int64_t iStateWords = 0;
    std::vector<std::string> names;  // the numbered members, d3plot01 first
    std::vector<std::vector<uint8_t>> bytes;

    SplitFamily(const std::string &folder, int iWords, int iGlobals)
        : dir(folder), iWordSize(iWords), iStateWords(13 + iGlobals)
    {
        LSDynaTestHeader h = LSDynaShellFixtureHeader();
        h.w[18] = iGlobals;  // NGLBV
        LSDynaTestWriter base, all;
        base.iWordSize = all.iWordSize = iWordSize;
        LSDynaWriteShellGeometry(&base, h, "split fixture");
        base.Float(-999999.0);
        for (int k = 0; k < kStates; k++) {
            all.Float(0.001 * k);
            for (int g = 0; g < iGlobals; g++) all.Float(k + 0.01 * g);
            for (int c = 0; c < 12; c++) all.Float(c % 3 == 0 ? 0.001 * k + c : c);
        }
        all.Float(-999999.0);
        const size_t iMember = (size_t)NK_DYNA_BLOCK_WORDS * (size_t)iWordSize;
        for (LSDynaTestWriter *w : {&base, &all})
            w->bytes.resize((w->bytes.size() + iMember - 1) / iMember * iMember, 0);
        fs::create_directories(dir);
        NKTestWriteBytes(dir + "/d3plot", base.bytes);
        for (size_t at = 0; at < all.bytes.size(); at += iMember) {
            names.push_back(NKString::FromFormat("d3plot%02d", (int)names.size() + 1).GetText());
            bytes.emplace_back(all.bytes.begin() + (long)at,
                               all.bytes.begin() + (long)(at + iMember));
            NKTestWriteBytes(Path(names.size() - 1), bytes.back());
        }
    }
    std::string Path(size_t m) const { return dir + "/" + names[m]; }
    // The numbered members (0: d3plot01) that state k's words lie in.
    std::vector<size_t> Covered(int k) const
    {
        const int64_t iFirst = k * iStateWords, iLast = iFirst + iStateWords - 1;
        std::vector<size_t> out;
        for (int64_t m = iFirst / NK_DYNA_BLOCK_WORDS; m <= iLast / NK_DYNA_BLOCK_WORDS; m++)
            out.push_back((size_t)m);
        return out;
    }
};

// The names of the files in dir that this process holds open, each once
// for every descriptor.
std::multiset<std::string> OpenIn(const std::string &dir)
{
    std::multiset<std::string> out;
    std::error_code error;
    for (const auto &entry : fs::directory_iterator("/proc/self/fd", error)) {
        std::error_code e;
        const std::string target = fs::read_symlink(entry.path(), e).string();
        if (!e && target.compare(0, dir.size() + 1, dir + "/") == 0)
            out.insert(target.substr(dir.size() + 1));
    }
    return out;
}

class LSDynaAfterOpen : public ::testing::Test {
protected:
    void SetUp() override { m_Dir = NKTestMakeTempDir("lsafteropen"); }
    void TearDown() override
    {
        NKLSDynaClose();
        NKTestRemoveDir(m_Dir);
    }
    std::string m_Dir;
};

// The families of the rows: 4- and 8-byte words, states of 613 words (over
// two or three members), of 1,113 (three or four: d3plot02 lies wholly
// inside state 1) and of 1,613 (four or five).
template <typename F>
void ForEachSplitFamily(const std::string &root, F check)
{
    for (int iWordSize : {4, 8})
        for (int iGlobals : {600, 1100, 1600}) {
            SCOPED_TRACE(std::to_string(iWordSize) + "-byte words, states of " +
                         std::to_string(13 + iGlobals) + " words");
            SplitFamily family(root + "/" + std::to_string(iWordSize) + "_" +
                                   std::to_string(iGlobals),
                               iWordSize, iGlobals);
            check(family);
            NKLSDynaClose();
            if (::testing::Test::HasFatalFailure()) return;
        }
}

}  // namespace

// Each state checked and read, in order, backwards and by jumps: after
// each, the descriptors open on the family are one for each member the
// state covers, and none other (no member of a state read before, not the
// base file); none after the close.
TEST_F(LSDynaAfterOpen, AfterEachStateIsReadExactlyTheMembersItCoversAreHeldOpen)
{
    ForEachSplitFamily(m_Dir, [](const SplitFamily &family) {
        MessageCapture capture;
        ASSERT_TRUE(NKLSDynaOpen((family.dir + "/d3plot").c_str()));
        ASSERT_EQ(NKLSDynaGetNumStates(), kStates) << capture.Text();
        EXPECT_EQ(capture.Text(), "");
        const std::vector<int> order = {0, 1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1, 0, 6, 0, 3, 1, 5};
        for (int k : order) {
            ASSERT_TRUE(NKLSDynaCheckStateCoordinates(k)) << k << capture.Text();
            ASSERT_TRUE(NKLSDynaReadState(k)) << k << capture.Text();
            EXPECT_EQ(NKLSDynaGetStateData().fTime, (float)(0.001 * k));
            std::multiset<std::string> expected;
            for (size_t m : family.Covered(k)) expected.insert(family.names[m]);
            EXPECT_EQ(OpenIn(family.dir), expected) << "after state " << k + 1 << " was read";
        }
        NKLSDynaClose();
        EXPECT_EQ(OpenIn(family.dir), std::multiset<std::string>{});
    });
}

// Every numbered member whose last word is a state's word (every one but
// the last, which holds the end marker and its padding) loses that word
// after the open, with the state that covers it checked before the cut or
// not: the state's check alone (no read after it) refuses it with one error
// naming that member, and the current state stays; the member's words
// back, the state checks again. A state that does not cover the member
// still checks.
TEST_F(LSDynaAfterOpen, AStateCheckAloneRefusesAStateWhoseMemberLostItsLastWord)
{
    ForEachSplitFamily(m_Dir, [](const SplitFamily &family) {
        MessageCapture capture;
        ASSERT_TRUE(NKLSDynaOpen((family.dir + "/d3plot").c_str()));
        ASSERT_EQ(NKLSDynaGetNumStates(), kStates) << capture.Text();
        for (size_t m = 0; m + 1 < family.names.size(); m++) {
            SCOPED_TRACE(family.names[m] + " cut by its last word");
            const int64_t iLastWord = (int64_t)(m + 1) * NK_DYNA_BLOCK_WORDS - 1;
            const int k = (int)(iLastWord / family.iStateWords);
            ASSERT_LT(k, kStates);
            // Another state, read and current; checked last before the cut
            // in half the rows, state k in the others.
            const int iOther = k == 0 ? kStates - 1 : 0;
            ASSERT_TRUE(NKLSDynaCheckStateCoordinates(iOther));
            ASSERT_TRUE(NKLSDynaReadState(iOther));
            if (m % 2 == 1) {
                ASSERT_TRUE(NKLSDynaCheckStateCoordinates(k));
            }
            const std::vector<uint8_t> &whole = family.bytes[m];
            ASSERT_TRUE(NKTestWriteBytes(family.Path(m), whole.data(),
                                         whole.size() - (size_t)family.iWordSize));
            capture.Clear();
            EXPECT_FALSE(NKLSDynaCheckStateCoordinates(k));
            EXPECT_EQ(NKLSDynaGetCurrentState(), iOther);
            ASSERT_EQ(capture.Lines().size(), 1u) << capture.Text();
            EXPECT_TRUE(capture.HasLine("LS-DYNA file " + family.Path(m) + ": state " +
                                            std::to_string(k + 1) +
                                            " is refused, the file changed on disk after it "
                                            "was opened.",
                                        NK_MSG_ERROR))
                << capture.Text();
            const std::vector<size_t> covered = family.Covered(iOther);
            if (std::find(covered.begin(), covered.end(), m) == covered.end()) {
                EXPECT_TRUE(NKLSDynaCheckStateCoordinates(iOther)) << capture.Text();
            }
            ASSERT_TRUE(NKTestWriteBytes(family.Path(m), whole));
            EXPECT_TRUE(NKLSDynaCheckStateCoordinates(k)) << capture.Text();
        }
    });
}
