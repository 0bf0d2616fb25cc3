// Tests of damaged LS-DYNA families: copies of whole families with one
// member cut short, at every byte of its first 64, around the end of each
// of its states, inside its end marker and inside its states, and with
// every other sign of damage: a base file cut inside its geometry (the open
// fails), members of zeros, times that are not a number or not above the
// time before, a member copied over the next, words after an end marker
// with a cut elsewhere, a member longer than its writer's length. Zeros
// inside a state are its values: whole families written again over
// members, with runs of zeros longer than a member, offer every state. A
// damaged family offers only the whole family's
// first states, each with the same words, with one warning naming the
// damaged member and its sign. The real families of the shared test data,
// and families written here in 4- and 8-byte words with one and several
// states a member, padded to 512-word blocks, or split over members by
// their writer; the plot database and the time-history database.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_plot_records.h"
#include "core/nk_string.h"
#include "readers/nk_lsdyna.h"
#include "readers/nk_lsdyna_format.h"
#include "readers/nk_lsdyna_th.h"
#include "tests/test_support/lsdyna_test_writer.h"
#include "tests/test_support/lsdyna_th_brick.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/plot_source_names.h"
#include "tests/test_support/test_files.h"

namespace fs = std::filesystem;
namespace TH = LSDynaTimeHistorySource;

namespace {

// A family's members in order, with their bytes.
struct Member {
    std::string name;
    std::vector<uint8_t> bytes;
};

// One state of the whole family as listed: the member it begins in (index
// into the members), where, and its size in words; the member its words end
// in and the byte there after its last word.
struct ListedState {
    float fTime;
    size_t iMember;
    int64_t iOffset, iSize;
    size_t iEndMember = 0;
    int64_t iEndByte = 0;
};

// Fills in where each state's words end, running on over members' ends.
void SetEnds(std::vector<ListedState> *pStates, const std::vector<Member> &members, int iWordSize)
{
    for (ListedState &s : *pStates) {
        s.iEndMember = s.iMember;
        int64_t iEnd = s.iOffset + s.iSize;
        while (s.iEndMember + 1 < members.size() &&
               iEnd * iWordSize > (int64_t)members[s.iEndMember].bytes.size()) {
            iEnd -= (int64_t)members[s.iEndMember].bytes.size() / iWordSize;
            s.iEndMember++;
        }
        s.iEndByte = iEnd * iWordSize;
    }
}

// The word index of the last word of bytes that is not zero (the end
// marker in every member here), or -1.
int64_t LastWordNotZero(const std::vector<uint8_t> &bytes, int iWordSize)
{
    // (Zeros are passed over a block at a time with memcmp: a member of a
    // megabyte ends in zeros in many of the damages.)
    static const uint8_t zeros[4096] = {};
    size_t n = bytes.size() / (size_t)iWordSize * (size_t)iWordSize;
    while (n >= sizeof(zeros) &&
           std::memcmp(bytes.data() + n - sizeof(zeros), zeros, sizeof(zeros)) == 0)
        n -= sizeof(zeros);
    while (n > 0 && bytes[n - 1] == 0) n--;
    return n == 0 ? -1 : (int64_t)(n - 1) / iWordSize;
}

// The byte counts a member is cut to: every byte of its first 64, each of
// its states' ends -7..+7 bytes, its end marker's bytes, inside states
// (past the time word, the middle, the last word's first byte) and half a
// 512-word block.
std::vector<size_t> CutPoints(const std::vector<ListedState> &states, size_t iMember, size_t iSize,
                              int iWordSize, int64_t iMarkerWord)
{
    std::vector<int64_t> cuts;
    for (int64_t n = 0; n < 64; n++) cuts.push_back(n);
    for (const ListedState &s : states) {
        for (int64_t d = -7; d <= 7 && s.iEndMember == iMember; d++) cuts.push_back(s.iEndByte + d);
        if (s.iMember != iMember) continue;
        const int64_t iStart = s.iOffset * iWordSize, iEnd = iStart + s.iSize * iWordSize;
        cuts.push_back(iStart + iWordSize + 1);
        cuts.push_back((iStart + iEnd) / 2);
        cuts.push_back(iEnd - iWordSize + 1);
    }
    cuts.push_back(256 * iWordSize);
    for (int64_t b = 0; iMarkerWord >= 0 && b < iWordSize; b++)
        cuts.push_back(iMarkerWord * iWordSize + b);
    std::vector<size_t> out;
    for (int64_t n : cuts)
        if (n >= 0 && n < (int64_t)iSize) out.push_back((size_t)n);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// The number of states of the whole family that lie wholly before a cut of
// member m to n bytes.
size_t StatesBeforeCut(const std::vector<ListedState> &states, size_t m, size_t n, int iWordSize)
{
    size_t k = 0;
    while (k < states.size() && (states[k].iEndMember < m ||
                                 (states[k].iEndMember == m && states[k].iEndByte <= (int64_t)n)))
        k++;
    (void)iWordSize;
    return k;
}

// The one warning of a damage (an error where the open fails): exactly one
// such line, naming the member and where the states end, and, with the text
// of its sign, exactly that line.
// No warning and no error: at most a line of information.
void ExpectNoWarning(const MessageCapture &capture)
{
    for (const CapturedLine &line : capture.Lines())
        EXPECT_TRUE(line.iLevel != NK_MSG_WARNING && line.iLevel != NK_MSG_ERROR) << line.text;
}

// (With other, the two members whose times disagree: member and other.)
void ExpectOneWarning(const MessageCapture &capture, const std::string &member, size_t n,
                      int iStates, float fLastTime, const std::string &sign = "",
                      int iLevel = NK_MSG_WARNING, const std::string &other = "")
{
    std::vector<std::string> warnings;
    for (const CapturedLine &line : capture.Lines())
        if (line.iLevel == iLevel) warnings.push_back(line.text);
    // A family whose last member ends at a state's end without the end
    // marker is whole (a run still writing): no warning.
    if (sign.rfind("ends the family with no end marker", 0) == 0) {
        ExpectNoWarning(capture);
        return;
    }
    EXPECT_EQ(warnings.size(), 1u) << capture.Text();
    if (warnings.empty()) return;
    const std::string &w = warnings[0],
                      start = other.empty()
                                  ? "LS-DYNA family file " + member + " "
                                  : "LS-DYNA family files " + member + " and " + other + " ";
    const std::string end =
        n == 0         ? std::string("is empty, states end there.")
        : iStates == 0 ? std::string("no state is whole.")
                       : std::string(NKString::FromFormat("states end with state %d at time %g.",
                                                          iStates, (double)fLastTime)
                                         .GetText());
    if (!sign.empty() && n != 0) {
        const char *pszAfter = sign == "ends inside a word"
                                   ? ", the bytes after its last whole word are left out: "
                                   : ", ";
        EXPECT_EQ(w, start + sign + pszAfter + end);
        return;
    }
    EXPECT_EQ(w.compare(0, start.size(), start), 0) << w << "\nexpected the start: " << start;
    EXPECT_TRUE(w.size() > end.size() && w.compare(w.size() - end.size(), end.size(), end) == 0 &&
                w[w.size() - end.size() - 1] == ' ')
        << w << "\nexpected the end: " << end;
}

// A family copied into a folder of its own, written once; a cut member is
// rewritten with its first bytes and restored after its cuts.
class FamilyCopy {
public:
    FamilyCopy(const std::string &dir, const std::vector<Member> &members) : m_Dir(dir)
    {
        fs::remove_all(dir);
        fs::create_directories(dir);
        for (const Member &m : members) NKTestWriteBytes(Path(m.name), m.bytes);
    }
    std::string Path(const std::string &name) const { return m_Dir + "/" + name; }
    void Cut(const Member &m, size_t n) const { NKTestWriteBytes(Path(m.name), m.bytes.data(), n); }
    void Restore(const Member &m) const { NKTestWriteBytes(Path(m.name), m.bytes); }

private:
    std::string m_Dir;
};

// ---- The plot database --------------------------------------------------------------

struct PlotReference {
    int iWordSize = 4;
    std::vector<ListedState> states;
    std::vector<uint64_t> hashes;  // per state, 0 until read
};

bool OpenPlot(const std::string &path) { return NKLSDynaOpen(path.c_str()); }

std::vector<ListedState> ListedPlotStates(const std::vector<Member> &members)
{
    std::vector<ListedState> out;
    const LSDynaControlData *g = NKLSDynaGetControlData();
    for (const LSDynaStateInfo &s : g->states) {
        const std::string name = s.szFileName.GetFileName().GetText();
        size_t m = 0;
        while (m < members.size() && members[m].name != name) m++;
        out.push_back({s.fTime, m, s.iOffset, s.iSize, 0, 0});
    }
    SetEnds(&out, members, g->iWordSize);
    return out;
}

uint64_t PlotStateHash(int k)
{
    EXPECT_TRUE(NKLSDynaReadState(k)) << "state " << k + 1;
    return NKTestLSDynaStateHash(NKLSDynaGetStateData());
}

// The sign of a numbered member cut to n bytes that keeps iKept states: a
// cut after its end marker (iMarker, its word) is a cut short of the
// writer's blocks, or ends inside a word; a cut at the end of state iKept
// (bAtStateEnd) leaves a member without its end marker, the family's last
// (bLast) whole: a run still writing; else the member ends inside the next
// state.
std::string CutSign(size_t n, int iWordSize, int64_t iMarker, size_t iKept, bool bAtStateEnd,
                    bool bLast)
{
    if (iMarker >= 0 && (int64_t)n >= (iMarker + 1) * iWordSize)
        return n % (size_t)iWordSize != 0 ? "ends inside a word"
                                          : "is cut short after its end marker";
    const std::string k = std::to_string(iKept);
    if (bAtStateEnd)
        return bLast ? "ends the family with no end marker after state " + k
                     : "ends after state " + k + " without its end marker";
    return "ends inside state " + std::to_string(iKept + 1);
}

// Cuts every member of the family at every cut point; each open offers the
// whole family's first states up to the cut, as listed there, the last of
// them (when it lies in the cut member) with the same words, and one
// warning names the cut member with the text of its sign. A base file cut
// inside its header may fail to open. A writer that splits states writes
// no end marker but the last: a cut that leaves every state whole there
// shows no sign.
void CheckPlotCuts(const std::string &dir, const std::vector<Member> &members, bool bSplit = false)
{
    FamilyCopy copy(dir, members);
    const std::string base = copy.Path(members[0].name);
    PlotReference ref;
    {
        MessageCapture quiet;
        ASSERT_TRUE(OpenPlot(base)) << quiet.Text();
        EXPECT_EQ(quiet.Lines().size(), 0u) << quiet.Text();
        ref.iWordSize = NKLSDynaGetControlData()->iWordSize;
        ref.states = ListedPlotStates(members);
        for (int k = 0; k < (int)ref.states.size(); k++) ref.hashes.push_back(PlotStateHash(k));
        NKLSDynaClose();
    }
    const bool bBlocks = std::all_of(members.begin(), members.end(), [&](const Member &x) {
        return x.bytes.size() % ((size_t)NK_DYNA_BLOCK_WORDS * (size_t)ref.iWordSize) == 0;
    });
    for (size_t m = 0; m < members.size(); m++) {
        const std::vector<size_t> cuts =
            CutPoints(ref.states, m, members[m].bytes.size(), ref.iWordSize,
                      LastWordNotZero(members[m].bytes, ref.iWordSize));
        for (size_t n : cuts) {
            SCOPED_TRACE(dir + "/" + members[m].name + " cut to " + std::to_string(n) + " bytes");
            copy.Cut(members[m], n);
            MessageCapture capture;
            const bool bOpened = OpenPlot(base);
            if (!bOpened) {
                EXPECT_EQ(m, 0u) << capture.Text();
                continue;
            }
            size_t iKept = StatesBeforeCut(ref.states, m, n, ref.iWordSize);
            // A state that ran on into a member cut before the word after it
            // is not shown whole (in the family's last member it is: a run
            // still writing).
            if (bSplit && iKept > 0) {
                const ListedState &s = ref.states[iKept - 1];
                if (s.iMember != m && s.iEndMember == m &&
                    s.iEndByte + ref.iWordSize > (int64_t)n &&
                    (m + 1 < members.size() || s.iEndByte != (int64_t)n))
                    iKept--;
            }
            const std::vector<ListedState> got = ListedPlotStates(members);
            EXPECT_EQ(got.size(), iKept) << capture.Text();
            for (size_t k = 0; k < std::min(iKept, got.size()); k++) {
                EXPECT_EQ(got[k].fTime, ref.states[k].fTime) << k;
                EXPECT_EQ(got[k].iMember, ref.states[k].iMember) << k;
                EXPECT_EQ(got[k].iOffset, ref.states[k].iOffset) << k;
            }
            if (iKept > 0 && got.size() == iKept && got[iKept - 1].iEndMember == m) {
                EXPECT_EQ(PlotStateHash((int)iKept - 1), ref.hashes[iKept - 1]);
            }
            const bool bLast = m + 1 == members.size();
            const bool bAtStateEnd = iKept > 0 && ref.states[iKept - 1].iEndMember == m &&
                                     ref.states[iKept - 1].iEndByte == (int64_t)n;
            // A cut that leaves every state whole in the family's last member
            // is a run still writing: whole, without a word.
            if (bLast && bAtStateEnd) {
                ExpectNoWarning(capture);
                NKLSDynaClose();
                continue;
            }
            const int64_t iMarker = LastWordNotZero(members[m].bytes, ref.iWordSize);
            // A cut that leaves every member smaller than a state lets states
            // run on over members' ends, but not over one cut short of the
            // writer's blocks.
            size_t iLargest = n;
            for (size_t j = 0; j < members.size(); j++)
                if (j != m) iLargest = std::max(iLargest, members[j].bytes.size());
            const size_t iBlock = (size_t)NK_DYNA_BLOCK_WORDS * (size_t)ref.iWordSize;
            if (!bSplit && m > 0 && bBlocks && n % iBlock != 0 && n % ref.iWordSize == 0 &&
                (size_t)ref.states[0].iSize * ref.iWordSize > iLargest) {
                ExpectOneWarning(capture, copy.Path(members[m].name), n, (int)iKept,
                                 iKept > 0 ? ref.states[iKept - 1].fTime : 0.0f,
                                 "is cut short of its writer's 512-word blocks");
                NKLSDynaClose();
                continue;
            }
            ExpectOneWarning(capture, copy.Path(members[m].name), n, (int)iKept,
                             iKept > 0 ? ref.states[iKept - 1].fTime : 0.0f,
                             m == 0 || n == 0 || bSplit
                                 ? ""
                                 : CutSign(n, ref.iWordSize, iMarker, iKept, bAtStateEnd, bLast));
            NKLSDynaClose();
            if (::testing::Test::HasFatalFailure()) break;
        }
        copy.Restore(members[m]);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

std::vector<Member> ReadMembers(const std::string &dir, const std::vector<std::string> &names)
{
    std::vector<Member> out;
    for (const std::string &name : names) {
        std::string bytes = NKTestReadFile(dir + "/" + name);
        out.push_back({name, std::vector<uint8_t>(bytes.begin(), bytes.end())});
    }
    return out;
}

// The shell fixture family: d3plot with the geometry and the end marker,
// then three members of iPerMember states each and the end marker; times
// 0, 0.001, ...; with bPad every member padded with zeros to whole 512-word
// blocks.
std::vector<Member> WrittenPlotFamily(int iWordSize, int iPerMember, bool bPad = false)
{
    std::vector<Member> out;
    LSDynaTestWriter base;
    base.iWordSize = iWordSize;
    LSDynaWriteShellGeometry(&base);
    base.Float(-999999.0);
    out.push_back({"d3plot", base.bytes});
    int k = 0;
    for (const char *name : {"d3plot01", "d3plot02", "d3plot03"}) {
        LSDynaTestWriter w;
        w.iWordSize = iWordSize;
        for (int i = 0; i < iPerMember; i++, k++) LSDynaWriteShellState(&w, 0.001 * k);
        w.Float(-999999.0);
        out.push_back({name, w.bytes});
    }
    const size_t iBlock = (size_t)NK_DYNA_BLOCK_WORDS * (size_t)iWordSize;
    for (Member &m : out)
        if (bPad) m.bytes.resize((m.bytes.size() + iBlock - 1) / iBlock * iBlock, 0);
    return out;
}

// A writer that splits states, as the solver does only for a state larger
// than a member: d3plot with the geometry (81 words) and the end marker,
// then seven states of 13 + iGlobals words (613) written on over members of
// one 512-word block each, the last ending with the end marker; the base
// file and the last member padded to the block. With bInBase the states
// follow the geometry in d3plot, which is the first member of the stream.
std::vector<Member> WrittenSplitFamily(int iWordSize, int iGlobals = 600, bool bInBase = false)
{
    LSDynaTestHeader h = LSDynaShellFixtureHeader();
    h.w[18] = iGlobals;  // NGLBV
    LSDynaTestWriter base, all;
    base.iWordSize = all.iWordSize = iWordSize;
    LSDynaWriteShellGeometry(bInBase ? &all : &base, h, "split fixture");
    base.Float(-999999.0);
    for (int k = 0; k < 7; k++) {
        all.Float(0.001 * k);
        for (int g = 0; g < iGlobals; g++) all.Float(k + 0.01 * g);
        for (int c = 0; c < 12; c++) all.Float(c % 3 == 0 ? 0.001 * k + c : c);
    }
    all.Float(-999999.0);
    std::vector<Member> out;
    if (!bInBase) out.push_back({"d3plot", base.bytes});
    const size_t iMember = (size_t)NK_DYNA_BLOCK_WORDS * (size_t)iWordSize;
    for (size_t at = 0; at < all.bytes.size(); at += iMember) {
        const size_t iEnd = std::min(all.bytes.size(), at + iMember);
        out.push_back(
            {out.empty() ? std::string("d3plot")
                         : NKString::FromFormat("d3plot%02d", (int)out.size()).GetText(),
             std::vector<uint8_t>(all.bytes.begin() + (long)at, all.bytes.begin() + (long)iEnd)});
    }
    for (Member &m : out) m.bytes.resize((m.bytes.size() + iMember - 1) / iMember * iMember, 0);
    return out;
}

// ---- The time-history database -------------------------------------------------------

// The points of three curves of the open database: node 3's displacement,
// the brick's effective stress and the kinetic energy, as (time, value).
std::vector<std::pair<float, float>> ThPoints()
{
    const struct {
        const char *pszCategory, *pszComponent, *pszSeries;
    } kCurves[] = {{"Nodes", "Norm Displacement", "3"},
                   {"Brick Elements", "Von Mises Effective Stress", "1"},
                   {"Globals", "Kinetic Energy", nullptr}};
    std::vector<std::pair<float, float>> out;
    for (const auto &k : kCurves) {
        int c = NKTestRank(NKTestTakeNames(TH::GetCategoryNames(), TH::GetCategoryCount()),
                           k.pszCategory);
        int m = NKTestRank(NKTestTakeNames(TH::GetComponentNames(c), TH::GetComponentCount(c)),
                           k.pszComponent);
        PlotCurve *p = TH::ReadCurve(c, m, k.pszSeries);
        if (p == nullptr) continue;
        for (int i = 0; i < p->iNumPoints; i++) out.push_back({p->pPoints[i].x, p->pPoints[i].y});
        NKFreePlotCurve(p);
    }
    return out;
}

// The one-brick time-history database: d3thdt with the header, the
// geometry, iPerMember states and the end marker, then three members of
// iPerMember states and the end marker each; times 0, 1, 2, ...
std::vector<Member> WrittenThFamily(int iWordSize, int iPerMember)
{
    std::vector<double> times;
    for (int k = 0; k < 4 * iPerMember; k++) times.push_back((double)k);
    LSDynaTestWriter all;
    all.iWordSize = iWordSize;
    LSDynaWriteBrickHistory(&all, times);
    const size_t iGeometryEnd = 101 * (size_t)iWordSize, iState = 102 * (size_t)iWordSize;
    LSDynaTestWriter marker;
    marker.iWordSize = iWordSize;
    marker.Float(-999999.0);
    std::vector<Member> out;
    for (int f = 0; f < 4; f++) {
        auto first = all.bytes.begin() + (long)(iGeometryEnd + (size_t)(f * iPerMember) * iState);
        std::vector<uint8_t> bytes(first, first + (long)(iPerMember * iState));
        if (f == 0)
            bytes.insert(bytes.begin(), all.bytes.begin(), all.bytes.begin() + (long)iGeometryEnd);
        out.push_back(
            {f == 0 ? std::string("d3thdt") : NKString::FromFormat("d3thdt%02d", f).GetText(),
             bytes});
    }
    for (Member &m : out) m.bytes.insert(m.bytes.end(), marker.bytes.begin(), marker.bytes.end());
    return out;
}

// The time-history family's states as listed whole: 102 words each, from
// word 101 of the base file and word 0 of each member.
std::vector<ListedState> ThStates(const std::vector<Member> &members, int iWordSize)
{
    std::vector<ListedState> states;
    float fTime = 0.0f;
    for (size_t m = 0; m < members.size(); m++)
        for (int64_t o = m == 0 ? 101 : 0;
             (o + 102) * iWordSize <= (int64_t)members[m].bytes.size(); o += 102)
            states.push_back({fTime++, m, o, 102, 0, 0});
    SetEnds(&states, members, iWordSize);
    return states;
}

// The time-history family cut as the plot families are: the state count is
// that of the states before the cut; with two or more, every point of the
// curves is the whole family's point of that state.
void CheckThCuts(const std::string &dir, const std::vector<Member> &members, int iWordSize)
{
    FamilyCopy copy(dir, members);
    const std::string base = copy.Path(members[0].name);
    ASSERT_TRUE(TH::Open(base.c_str()));
    const int iStates = TH::GetStateCount();
    const std::vector<std::pair<float, float>> whole = ThPoints();
    TH::Close();
    ASSERT_EQ(whole.size(), 3u * (size_t)iStates);
    const std::vector<ListedState> states = ThStates(members, iWordSize);
    ASSERT_EQ((int)states.size(), iStates);
    for (size_t m = 0; m < members.size(); m++) {
        for (size_t n : CutPoints(states, m, members[m].bytes.size(), iWordSize,
                                  LastWordNotZero(members[m].bytes, iWordSize))) {
            SCOPED_TRACE(dir + "/" + members[m].name + " cut to " + std::to_string(n) + " bytes");
            copy.Cut(members[m], n);
            MessageCapture capture;
            if (!TH::Open(base.c_str())) {
                EXPECT_EQ(m, 0u) << capture.Text();
                continue;
            }
            const size_t iKept = StatesBeforeCut(states, m, n, iWordSize);
            EXPECT_EQ(TH::GetStateCount(), (int)iKept) << capture.Text();
            if (iKept >= 2 && TH::GetStateCount() == (int)iKept) {
                const std::vector<std::pair<float, float>> got = ThPoints();
                ASSERT_EQ(got.size(), 3 * iKept);
                for (size_t c = 0; c < 3; c++)
                    for (size_t k = 0; k < iKept; k++)
                        EXPECT_EQ(got[c * iKept + k], whole[c * (size_t)iStates + k])
                            << c << " " << k;
            }
            // The last member cut at a state's end: a run still writing.
            if (m + 1 == members.size() && iKept > 0 && states[iKept - 1].iEndMember == m &&
                states[iKept - 1].iEndByte == (int64_t)n)
                ExpectNoWarning(capture);
            else
                ExpectOneWarning(capture, copy.Path(members[m].name), n, (int)iKept,
                                 iKept > 0 ? states[iKept - 1].fTime : 0.0f);
            TH::Close();
        }
        copy.Restore(members[m]);
    }
}

// ---- Every sign of damage ------------------------------------------------------------

constexpr size_t kRefused = (size_t)-1;

// The text of two time words that disagree where the words cannot tell
// which is damaged: state 2's and state 3's, the later alone after it.
constexpr const char *kDisagree =
    "hold times that disagree: state 2 has a time not below the time of state 3";

// Other members' bytes replaced beside a damage: (member, bytes).
using Others = std::vector<std::pair<size_t, std::vector<uint8_t>>>;

// One damage: member iMember's bytes replaced (and others'), the states the
// open keeps (kRefused: it fails) and the text of its sign.
struct Damage {
    size_t iMember;
    std::vector<uint8_t> bytes;
    size_t iKept;
    std::string sign;
    Others others = {};
};

// A reader of a family: its open, a fingerprint of every state it offers
// (0 where it shows none) and its close.
struct Reader {
    std::function<bool(const std::string &)> open;
    std::function<std::vector<uint64_t>()> states;
    std::function<void()> close;
};

Reader PlotReader()
{
    return {OpenPlot,
            [] {
                std::vector<uint64_t> out;
                for (int k = 0; k < NKLSDynaGetNumStates(); k++) out.push_back(PlotStateHash(k));
                return out;
            },
            NKLSDynaClose};
}

Reader ThReader()
{
    return {[](const std::string &path) { return TH::Open(path.c_str()); },
            [] {
                const size_t n = (size_t)TH::GetStateCount();
                const std::vector<std::pair<float, float>> points = ThPoints();
                std::vector<uint64_t> out(n, 0);
                for (size_t k = 0; k < n && points.size() == 3 * n; k++)
                    for (size_t c = 0; c < 3; c++) {
                        uint64_t pair;
                        std::memcpy(&pair, &points[c * n + k], sizeof(pair));
                        out[k] = out[k] * 1099511628211ULL ^ pair;
                    }
                return out;
            },
            [] { TH::Close(); }};
}

// What an open shows: whether it opened, a fingerprint of each state it
// offers and its warnings and errors.
struct Shown {
    bool bOpened = false;
    std::vector<uint64_t> states;
    std::vector<std::string> messages;
    bool operator==(const Shown &o) const
    {
        return bOpened == o.bOpened && states == o.states && messages == o.messages;
    }
};

Shown Show(const Reader &reader, const std::string &base)
{
    Shown out;
    MessageCapture capture;
    out.bOpened = reader.open(base);
    if (out.bOpened) out.states = reader.states();
    reader.close();
    for (const CapturedLine &line : capture.Lines())
        if (line.iLevel == NK_MSG_WARNING || line.iLevel == NK_MSG_ERROR)
            out.messages.push_back(line.text);
    return out;
}

std::vector<uint8_t> Head(const Member &m, size_t n)
{
    return std::vector<uint8_t>(m.bytes.begin(),
                                m.bytes.begin() + (long)std::min(n, m.bytes.size()));
}

// The bytes of m with word o set to v in iWordSize-byte words.
std::vector<uint8_t> WithWord(const Member &m, int64_t o, int iWordSize, double v)
{
    std::vector<uint8_t> b = m.bytes;
    const float f = (float)v;
    std::memcpy(b.data() + o * iWordSize, iWordSize == 4 ? (const void *)&f : (const void *)&v,
                (size_t)iWordSize);
    return b;
}

// Member m (of iSize bytes) zeros from byte iZeros to its end: the
// states that lie wholly before the zeros are kept (zeros that begin inside
// a state and go on past its end drop it), and the sign: a member of only
// zeros; zeros from the first state not kept on, where it begins in m, or
// where a state fits after the last one kept; else the zeros hold the place
// of the end marker.
std::pair<size_t, std::string> ZerosFrom(const std::vector<ListedState> &states, size_t m,
                                         size_t iZeros, size_t iSize, int iWordSize, bool bLast)
{
    size_t k = 0;
    while (k < states.size() &&
           (states[k].iEndMember < m ||
            (states[k].iEndMember == m && states[k].iEndByte <= (int64_t)iZeros)))
        k++;
    const std::string from = "holds only zeros from state " + std::to_string(k + 1) + " on";
    if (iZeros == 0) return {k, "holds only zeros"};
    if (k < states.size() && states[k].iMember == m) return {k, from};
    const size_t iEnd = k > 0 ? (size_t)states[k - 1].iEndByte : 0;
    if (iEnd + (size_t)states[0].iSize * (size_t)iWordSize <= iSize) return {k, from};
    const std::string n = std::to_string(k);
    return {k, bLast ? "ends the family with no end marker after state " + n
                     : "ends after state " + n + " without its end marker"};
}

// The damages that show each sign, for a family whose states (as listed
// whole) lie in whole members, with the geometry ending at word iGeometry
// of the base file: the base file cut on each 512-word block inside its
// geometry and 3 bytes short of its end; each numbered member filled with
// zeros, whole, from half its size on and (with bQuarters) from a quarter,
// half and three quarters into each of its states and from its last word
// on; its first state's time (and its
// second's) not a number, infinite, below the time before and equal to it;
// a copy of the member before it; bytes 0xFF after its end marker with the
// next member cut inside its first state, and the other way round.
std::vector<Damage> SignDamages(const std::vector<Member> &members,
                                const std::vector<ListedState> &states, int iWordSize,
                                int64_t iGeometry, bool bQuarters = true)
{
    std::vector<Damage> out;
    // (A damage that leaves the member's bytes as they are shows nothing.)
    auto Add = [&](size_t m, std::vector<uint8_t> bytes, size_t iKept, const std::string &sign,
                   Others others = {}) {
        if (bytes != members[m].bytes)
            out.push_back({m, std::move(bytes), iKept, sign, std::move(others)});
    };
    // Zeros from byte iAt of member m to its end, from the last word before
    // it that is not zero.
    auto Zeros = [&](size_t m, size_t iAt) {
        std::vector<uint8_t> b = members[m].bytes;
        std::fill(b.begin() + (long)iAt, b.end(), 0);
        const auto z = ZerosFrom(states, m, (size_t)(LastWordNotZero(b, iWordSize) + 1) * iWordSize,
                                 b.size(), iWordSize, m + 1 == members.size());
        Add(m, b, z.first, z.second);
    };
    const size_t iBlock = (size_t)NK_DYNA_BLOCK_WORDS * (size_t)iWordSize,
                 iGeometryBytes = (size_t)iGeometry * iWordSize;
    for (size_t n = iBlock; n < iGeometryBytes; n += iBlock)
        Add(0, Head(members[0], n), kRefused, "ends inside its geometry");
    Add(0, Head(members[0], iGeometryBytes - 3), kRefused, "ends inside its geometry");
    // A word that is not a block's end, in a base file of whole blocks.
    if ((iGeometryBytes - iWordSize) % iBlock != 0)
        Add(0, Head(members[0], iGeometryBytes - iWordSize), kRefused, "ends inside its geometry");
    auto First = [&](size_t m) {
        size_t k = 0;
        while (k < states.size() && states[k].iMember != m) k++;
        return k;
    };
    for (size_t m = 1; m < members.size(); m++) {
        const size_t k = First(m), iSize = members[m].bytes.size();
        if (k == states.size()) continue;
        Add(m, std::vector<uint8_t>(iSize, 0), k, "holds only zeros");
        Zeros(m, iSize / 2 / (size_t)iWordSize * (size_t)iWordSize);
        for (size_t j = k; bQuarters && j < states.size() && states[j].iEndMember == m; j++)
            for (int64_t q = 1; q <= 4; q++)
                Zeros(m, (size_t)(states[j].iOffset +
                                  std::min(q * (states[j].iSize / 4), states[j].iSize - 1)) *
                             iWordSize);
        const std::string at = "state " + std::to_string(k + 1);
        if (k > 0) {
            const float fBefore = states[k - 1].fTime;
            for (const auto &t :
                 {std::make_pair((double)NAN, " has a time that is not a number"),
                  std::make_pair((double)INFINITY, " has a time that is not a number"),
                  std::make_pair(fBefore - 1.0, " has a time below the time before it"),
                  std::make_pair((double)fBefore, " has the time of the state before it")})
                Add(m, WithWord(members[m], states[k].iOffset, iWordSize, t.first), k,
                    at + t.second);
        }
        if (k + 1 < states.size() && states[k + 1].iMember == m)
            Add(m, WithWord(members[m], states[k + 1].iOffset, iWordSize, states[k].fTime - 1.0),
                k + 1, "state " + std::to_string(k + 2) + " has a time below the time before it");
        if (m >= 2 && First(m - 1) < k)
            Add(m, members[m - 1].bytes, k,
                at + (k - First(m - 1) == 1 ? " has the time of the state before it"
                                            : " has a time below the time before it"));
        const size_t iNext = m + 1 < members.size() ? First(m + 1) : states.size();
        if (iNext == states.size()) continue;
        auto Cut = [&](size_t j, size_t s) {
            return Head(members[j], (size_t)(states[s].iOffset + states[s].iSize / 2) * iWordSize);
        };
        auto FF = [&](size_t j) {
            std::vector<uint8_t> b = members[j].bytes;
            b.insert(b.end(), 2048, 0xFF);
            return b;
        };
        Add(m, FF(m), iNext, "has words after its end marker", {{m + 1, Cut(m + 1, iNext)}});
        Add(m, Cut(m, k), k, "ends inside " + at, {{m + 1, FF(m + 1)}});
    }
    return out;
}

// Opens the family with each damage: it is refused with one error naming
// the base file, or it offers the whole family's first states (every word
// of each the same) with one warning naming the damaged member and its sign.
void CheckDamages(const std::string &dir, const std::vector<Member> &members, const Reader &reader,
                  const std::vector<ListedState> &states, const std::vector<Damage> &damages)
{
    FamilyCopy copy(dir, members);
    const std::string base = copy.Path(members[0].name);
    ASSERT_TRUE(reader.open(base));
    const std::vector<uint64_t> whole = reader.states();
    reader.close();
    ASSERT_EQ(whole.size(), states.size());
    for (const Damage &d : damages) {
        SCOPED_TRACE(dir + "/" + members[d.iMember].name + " " + d.sign + " (" +
                     std::to_string(&d - damages.data()) + ")");
        copy.Cut({members[d.iMember].name, d.bytes}, d.bytes.size());
        for (const auto &o : d.others) copy.Cut({members[o.first].name, o.second}, o.second.size());
        MessageCapture capture;
        const bool bOpened = reader.open(base);
        const std::string member = copy.Path(members[d.iMember].name);
        if (d.iKept == kRefused) {
            EXPECT_FALSE(bOpened);
            ExpectOneWarning(capture, member, 1, 0, 0.0f, d.sign, NK_MSG_ERROR);
        } else if (bOpened) {
            std::vector<uint64_t> got = reader.states();
            EXPECT_EQ(got.size(), d.iKept) << capture.Text();
            for (size_t k = 0; k < std::min(got.size(), whole.size()); k++)
                if (got[k] != 0) {
                    EXPECT_EQ(got[k], whole[k]) << "state " << k + 1;
                }
            ExpectOneWarning(capture, member, 1, (int)d.iKept,
                             d.iKept > 0 ? states[d.iKept - 1].fTime : 0.0f, d.sign);
        } else {
            ADD_FAILURE() << "refused: " << capture.Text();
        }
        reader.close();
        copy.Restore(members[d.iMember]);
        for (const auto &o : d.others) copy.Restore(members[o.first]);
    }
}

// A plot family written whole in dir: its states as listed, its word size
// and the word its geometry ends at.
struct WholePlot {
    std::vector<ListedState> states;
    int iWordSize = 4;
    int64_t iGeometry = 0;
};

void ListWholePlot(const std::string &dir, const std::vector<Member> &members, WholePlot *p)
{
    FamilyCopy copy(dir, members);
    ASSERT_TRUE(OpenPlot(copy.Path(members[0].name)));
    LSDynaHeader h;
    ASSERT_TRUE(NKLSDynaReadHeader(0, &h));
    p->iWordSize = NKLSDynaGetControlData()->iWordSize;
    p->states = ListedPlotStates(members);
    p->iGeometry = NKLSDynaGeometrySize(h, INT64_MAX);
    NKLSDynaClose();
}

// The plot family's damages from its states as listed whole and the end
// of its geometry.
// (bQuarters: with zeros from each quarter of each state on; more: damages
// of the family of its own, given its states as listed whole.)
void CheckPlotSigns(
    const std::string &dir, const std::vector<Member> &members, bool bQuarters = true,
    const std::function<std::vector<Damage>(const std::vector<ListedState> &)> &more = nullptr)
{
    WholePlot w;
    ListWholePlot(dir, members, &w);
    if (::testing::Test::HasFatalFailure()) return;
    std::vector<Damage> damages =
        SignDamages(members, w.states, w.iWordSize, w.iGeometry, bQuarters);
    if (more) {
        const std::vector<Damage> own = more(w.states);
        damages.insert(damages.end(), own.begin(), own.end());
    }
    CheckDamages(dir, members, PlotReader(), w.states, damages);
}

class LSDynaDamage : public ::testing::Test {
protected:
    void SetUp() override { m_Dir = NKTestMakeTempDir("lsdamage"); }
    void TearDown() override
    {
        NKLSDynaClose();
        TH::Close();
        NKTestRemoveDir(m_Dir);
    }
    std::string m_Dir;
};

// Runs check over the written families: 4- and 8-byte words, one and
// three states a member, each in a folder of its own.
void ForEachWrittenFamily(const std::string &dir,
                          const std::function<void(const std::string &, int, int)> &check)
{
    for (int iWordSize : {4, 8})
        for (int iPerMember : {1, 3}) {
            SCOPED_TRACE(std::to_string(iWordSize) + "-byte words, " + std::to_string(iPerMember) +
                         " states a member");
            check(dir + "/" + std::to_string(iWordSize) + "_" + std::to_string(iPerMember),
                  iWordSize, iPerMember);
            if (::testing::Test::HasFatalFailure()) return;
        }
}

// The written families; those of 8-byte words padded to 512-word blocks
// too, and the families whose writer splits states over members.
TEST_F(LSDynaDamage, WrittenFamiliesCutAnywhereOfferOnlyTheirWholeStates)
{
    ForEachWrittenFamily(m_Dir, [](const std::string &dir, int iWordSize, int iPerMember) {
        CheckPlotCuts(dir, WrittenPlotFamily(iWordSize, iPerMember));
        if (iWordSize == 8) CheckPlotCuts(dir + "_padded", WrittenPlotFamily(8, iPerMember, true));
        if (iPerMember == 1) CheckPlotCuts(dir + "_split", WrittenSplitFamily(iWordSize), true);
    });
}

// Every sign in the written plot and time-history families.
TEST_F(LSDynaDamage, WrittenFamiliesNameEverySign)
{
    ForEachWrittenFamily(m_Dir, [](const std::string &dir, int iWordSize, int iPerMember) {
        CheckPlotSigns(dir, WrittenPlotFamily(iWordSize, iPerMember));
        const std::vector<Member> th = WrittenThFamily(iWordSize, iPerMember);
        const std::vector<ListedState> states = ThStates(th, iWordSize);
        CheckDamages(dir + "_th", th, ThReader(), states, SignDamages(th, states, iWordSize, 101));
    });
}

TEST_F(LSDynaDamage, WrittenTimeHistoriesCutAnywhereOfferOnlyTheirWholeStates)
{
    ForEachWrittenFamily(m_Dir, [](const std::string &dir, int iWordSize, int iPerMember) {
        CheckThCuts(dir, WrittenThFamily(iWordSize, iPerMember), iWordSize);
    });
}

// A state whose time is not finite, or lies below the time before it, is
// no state of the family: the states end before it, and one warning names
// its member. The written family (three states a member) with the time of
// d3plot02's second state replaced.
TEST_F(LSDynaDamage, TimeThatIsNotFiniteOrGoesBackEndsTheStates)
{
    const std::vector<Member> members = WrittenPlotFamily(4, 3);
    FamilyCopy copy(m_Dir, members);
    const size_t iState = 13 * 4;  // bytes of a state of the shell fixture
    for (float fTime : {NAN, INFINITY, -INFINITY, -1.0f, 0.0025f}) {
        SCOPED_TRACE(fTime);
        Member bad = members[2];
        std::memcpy(bad.bytes.data() + iState, &fTime, 4);
        copy.Cut(bad, bad.bytes.size());
        MessageCapture capture;
        ASSERT_TRUE(OpenPlot(copy.Path("d3plot")));
        ASSERT_EQ(NKLSDynaGetNumStates(), 4) << capture.Text();
        for (int k = 0; k < 4; k++) EXPECT_FLOAT_EQ(NKLSDynaGetStateTime(k), 0.001f * (float)k);
        ExpectOneWarning(capture, copy.Path("d3plot02"), 1, 4, 0.003f);
        NKLSDynaClose();
    }
}

// A restart: a new geometry (d3plotaa) whose member's first state lies
// below the time before it ends the states there.
TEST_F(LSDynaDamage, RestartWhoseTimeGoesBackEndsTheStates)
{
    std::vector<Member> members = WrittenPlotFamily(4, 3);
    LSDynaTestWriter w;
    for (int k = 0; k < 3; k++) LSDynaWriteShellState(&w, 0.01 + 0.001 * k);
    w.Float(-999999.0);
    members.push_back({"d3plotaa", members[0].bytes});
    members.push_back({"d3plotaa01", w.bytes});
    FamilyCopy copy(m_Dir, members);
    ASSERT_TRUE(OpenPlot(copy.Path("d3plot")));
    const std::vector<ListedState> states = ListedPlotStates(members);
    NKLSDynaClose();
    ASSERT_EQ(states.size(), 12u);
    CheckDamages(m_Dir, members, PlotReader(), states,
                 {{5, WithWord(members[5], 0, 4, 0.001), 9,
                   "state 10 has a time below the time before it"}});
}

// A state smaller than a member never runs on over a member's end: with
// the last state's deletion word split into a member of its own, that
// state is not whole, and the member it begins in is named, in 4- and
// 8-byte words; the states before it read as the family written whole has
// them.
TEST_F(LSDynaDamage, DeletionWordSplitIntoTheNextMemberEndsTheStates)
{
    for (int iWordSize : {4, 8}) {
        ASSERT_TRUE(LSDynaWriteDeletionFamily(m_Dir, iWordSize, 3, 3 * 14 - 1));
        MessageCapture capture;
        ASSERT_TRUE(OpenPlot(m_Dir + "/d3plot")) << capture.Text();
        EXPECT_EQ(NKLSDynaGetNumStates(), 2);
        ExpectOneWarning(capture, m_Dir + "/d3plot01", 1, 2, 0.001f, "ends inside state 3");
        NKGeometry *pOpened = NKLSDynaGetGeometry(0);
        ASSERT_TRUE(pOpened != nullptr && NKLSDynaReadState(1));
        std::vector<uint8_t> deleted;
        for (float f : NKLSDynaGetStateData().deletion) deleted.push_back(f == 0.0f ? 1 : 0);
        NKGeometry *pWhole =
            NKLSDynaConvertGeometry(*NKLSDynaGetCachedGeometry(), &deleted, nullptr);
        EXPECT_EQ(pOpened->pParts[0].iNumPolygons, pWhole->pParts[0].iNumPolygons);
        NKReleaseGeometry(pOpened);
        NKReleaseGeometry(pWhole);
        NKLSDynaClose();
    }
}

// Runs check over the real families of the shared test data, each read
// into memory with its members in order.
void ForEachRealFamily(
    const std::function<void(const std::string &, const std::vector<Member> &)> &check)
{
    const std::string root = NKTestSharedDataDir() + "/lsdyna/";
    struct Case {
        const char *folder;
        std::vector<std::string> members;
    } cases[] = {
        {"qd-cae", {"d3plot", "d3plot01"}},
        {"lasso-python/d3plot_beamip", {"d3plot", "d3plot01"}},
        {"lasso-python/d3plot_node_temperature", {"d3plot", "d3plot01"}},
        {"ansys-example-data/d3plot", {"d3plot", "d3plot01", "d3plot02"}},
        {"ansys-example-data/d3plot_beam", {"d3plot", "d3plot01", "d3plot02"}},
        {"lasso-python/d3plot_solid_int", {}},
        {"ansys-example-data/d3plot_projectile", {}},
        {"lasso-python/order_d3plot",
         {"d3plot", "d3plot01", "d3plot02", "d3plot10", "d3plot11", "d3plot12", "d3plot22",
          "d3plot100"}},
    };
    for (Case &c : cases) {
        if (c.members.empty()) {
            c.members.push_back("d3plot");
            const int n = std::string(c.folder).find("solid_int") != std::string::npos ? 22 : 16;
            for (int i = 1; i <= n; i++)
                c.members.push_back(NKString::FromFormat("d3plot%02d", i).GetText());
        }
        SCOPED_TRACE(c.folder);
        check(fs::path(c.folder).filename().string(), ReadMembers(root + c.folder, c.members));
        if (::testing::Test::HasFatalFailure()) return;
    }
}

// The real families, each member cut.
TEST_F(LSDynaDamage, RealFamiliesCutAnywhereOfferOnlyTheirWholeStates)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    ForEachRealFamily([this](const std::string &name, const std::vector<Member> &members) {
        CheckPlotCuts(m_Dir + "/" + name, members);
    });
}

// Every numbered member of a family cut to n bytes: member iNamed (the
// first unless given) is named.
Damage EveryMemberCut(const std::vector<Member> &members, size_t n, const std::string &sign,
                      size_t iNamed = 1)
{
    Damage d = {iNamed, Head(members[iNamed], n), 0, sign};
    for (size_t m = 1; m < members.size(); m++)
        if (m != iNamed) d.others.push_back({m, Head(members[m], n)});
    return d;
}

// The states of a family written again as one stream over members of
// iBytes (whole blocks, smaller than a state), as a writer that splits
// states writes them: each member's words up to its end marker, the last
// member's with it, the last piece padded to whole blocks.
std::vector<Member> Resplit(const std::vector<Member> &members, size_t iBytes, int iWordSize)
{
    std::vector<uint8_t> all;
    for (size_t m = 1; m < members.size(); m++) {
        const int64_t iLast = LastWordNotZero(members[m].bytes, iWordSize);
        const size_t n = (size_t)(iLast + (m + 1 == members.size() ? 1 : 0)) * iWordSize;
        all.insert(all.end(), members[m].bytes.begin(), members[m].bytes.begin() + (long)n);
    }
    std::vector<Member> out = {members[0]};
    for (size_t at = 0; at < all.size(); at += iBytes) {
        std::vector<uint8_t> b(all.begin() + (long)at,
                               all.begin() + (long)std::min(all.size(), at + iBytes));
        const size_t iBlock = (size_t)NK_DYNA_BLOCK_WORDS * (size_t)iWordSize;
        b.resize((b.size() + iBlock - 1) / iBlock * iBlock, 0);
        out.push_back({NKString::FromFormat("d3plot%02d", (int)out.size()).GetText(), b});
    }
    return out;
}

// The damages of one real family that its own sizes show: every numbered
// member cut to one length, smaller than a state, so that states would run
// on over members: not whole blocks, so never the writer's length (longer
// than the base file, past it; shorter, ending inside state 1), or whole
// blocks below the base file's size (the members are shorter than it); the ansys d3plot01 zeroed
// from state 3's time word on but for one word in the first or the second piece read back from its
// end, also the first word of either (the zeros do not reach the end: a time below the time before
// it); node_temperature's base file cut inside its part titles with d3plot01 ending after state 10
// (a run still writing).
std::vector<Damage> OwnDamages(const std::string &name, const std::vector<Member> &members)
{
    const std::string inside = "ends inside state 1", longer = "has words past its writer's length",
                      shorter = "and the members after it are shorter than the base file";
    // (Cut to 454,656 bytes, whole blocks, the projectile's members, each of
    // whose states begins at its first word, put data words where members
    // of that length put time words: no length is confirmed, and the first
    // member shorter than the base file is named.)
    if (name == "d3plot_projectile")
        return {EveryMemberCut(members, 457376, inside), EveryMemberCut(members, 454656, shorter)};
    if (name == "d3plot_solid_int") return {EveryMemberCut(members, 5964, longer)};
    if (name == "d3plot_node_temperature")
        return {{0,
                 Head(members[0], 21290 * 4),
                 0,
                 "is cut short after its end marker",
                 {{1, Head(members[1], 10 * 8742 * 4)}}}};
    if (name != "d3plot") return {};
    std::vector<Damage> out = {EveryMemberCut(members, 50000, longer),
                               EveryMemberCut(members, 38912, shorter)};
    // (The word first in the first piece read back from the end, and first
    // in the second.)
    const size_t iWords = members[1].bytes.size() / 4, iBlock = (size_t)NK_DYNA_BLOCK_WORDS;
    for (size_t iWord :
         {iWords - 2, iWords - iBlock - 1000, iWords - iBlock, iWords - iBlock - 65536 / 4}) {
        std::vector<uint8_t> b = members[1].bytes;
        std::fill(b.begin() + 2 * 55932, b.end(), 0);
        b[iWord * 4] = 1;
        out.push_back({1, b, 2, "state 3 has a time below the time before it"});
    }
    return out;
}

// Every sign in the real families; the ansys family written again over
// members of 40,960 bytes: whole; with a member of zeros in which a state
// ends (d3plot29), that holds state 14's time word (d3plot18) or that ends
// the family (d3plot31); with d3plot20 longer by a word, 1,000 bytes, a
// block or a member (the words after it): the states end before the first
// state it holds. Zeros inside a state are its values: with d3plot30, which
// state 22 fills, all zeros, every state is offered, and so with d3plot01,
// which state 1 fills from its time word (0, as a first state's may be):
// the open offers every state without a word (the read of state 1 finds
// its coordinates all zero). A last member longer than the others, d3plot31
// written into d3plot30, is whole.
TEST_F(LSDynaDamage, RealFamiliesNameEverySign)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    ForEachRealFamily([this](const std::string &name, const std::vector<Member> &members) {
        const std::string dir = m_Dir + "/" + name;
        CheckPlotSigns(dir, members, name == "d3plot" || name == "d3plot_node_temperature",
                       [&](const std::vector<ListedState> &) { return OwnDamages(name, members); });
        if (name != "d3plot") return;
        const std::vector<Member> split = Resplit(members, 40960, 4);
        ASSERT_EQ(split.size(), 32u);
        FamilyCopy copy(dir + "_split", split);
        EXPECT_EQ(Show(PlotReader(), copy.Path("d3plot")), Show(PlotReader(), dir + "/d3plot"));
        WholePlot w;
        ListWholePlot(dir + "_split", split, &w);
        auto Longer = [&](size_t n) {
            std::vector<uint8_t> b = split[20].bytes;
            b.insert(b.end(), split[21].bytes.begin(), split[21].bytes.begin() + (long)n);
            return b;
        };
        const std::vector<uint8_t> zeros(40960, 0);
        const std::string longer = "has words past its writer's length";
        CheckDamages(dir + "_split", split, PlotReader(), w.states,
                     {{29, zeros, 20, "holds only zeros"},
                      {18, zeros, 12, "holds only zeros"},
                      {31, std::vector<uint8_t>(2048, 0), 21, "holds only zeros"},
                      {20, Longer(4), 13, longer},
                      {20, Longer(1000), 13, longer},
                      {20, Longer(2048), 13, longer},
                      {20, Longer(40960), 13, longer}});
        const Shown whole = Show(PlotReader(), copy.Path("d3plot"));
        {
            copy.Cut({"d3plot30", zeros}, zeros.size());
            const Shown shown = Show(PlotReader(), copy.Path("d3plot"));
            copy.Restore(split[30]);
            EXPECT_TRUE(shown.bOpened && shown.messages.empty())
                << (shown.messages.empty() ? "" : shown.messages[0]);
            ASSERT_EQ(shown.states.size(), 22u);
            EXPECT_TRUE(
                std::equal(whole.states.begin(), whole.states.end() - 1, shown.states.begin()));
        }
        {
            copy.Cut({"d3plot01", zeros}, zeros.size());
            MessageCapture capture;
            EXPECT_TRUE(OpenPlot(copy.Path("d3plot")));
            EXPECT_EQ(NKLSDynaGetNumStates(), 22);
            EXPECT_TRUE(capture.Lines().empty()) << capture.Text();
            NKLSDynaClose();
            copy.Restore(split[1]);
        }
        std::vector<Member> lastLonger(split.begin(), split.end() - 1);
        lastLonger.back().bytes.insert(lastLonger.back().bytes.end(), split[31].bytes.begin(),
                                       split[31].bytes.end());
        FamilyCopy longerCopy(dir + "_last", lastLonger);
        EXPECT_EQ(Show(PlotReader(), longerCopy.Path("d3plot")), whole);
    });
}

// ---- Two and three damaged members --------------------------------------------------

// The damages of member m used two and three at a time: a base file cut
// inside its geometry (after its control words); a numbered member cut inside its middle state, cut
// after its last state (the end marker gone), all zeros, a copy of the
// member before it, and 2,048 bytes 0xFF after its words.
std::vector<std::vector<uint8_t>> MemberDamages(const std::vector<Member> &members,
                                                const std::vector<ListedState> &states, size_t m,
                                                int iWordSize, int64_t iGeometry)
{
    const Member &member = members[m];
    // (Past the 64 control words: a header cut short reads on in d3plot01.)
    if (m == 0) return {Head(member, (size_t)((iGeometry + 64) / 2) * iWordSize)};
    std::vector<size_t> in;
    for (size_t k = 0; k < states.size(); k++)
        if (states[k].iMember == m) in.push_back(k);
    std::vector<std::vector<uint8_t>> out;
    if (!in.empty()) {
        const ListedState &mid = states[in[in.size() / 2]], &last = states[in.back()];
        out.push_back(Head(member, (size_t)(mid.iOffset + mid.iSize / 2) * iWordSize));
        if (last.iEndMember == m) out.push_back(Head(member, (size_t)last.iEndByte));
    }
    out.push_back(std::vector<uint8_t>(member.bytes.size(), 0));
    if (m >= 2) out.push_back(members[m - 1].bytes);
    std::vector<uint8_t> ff = member.bytes;
    ff.insert(ff.end(), 2048, 0xFF);
    out.push_back(ff);
    return out;
}

// Every pair of damaged members (and triples, each member with a damage of
// the same rank) among the members to (all when empty): the family shows
// what it shows with the first damaged member alone: the whole family's
// first states (each with the same words) and one message naming that
// member; no later damage changes it.
void CheckDamagedTogether(const std::string &dir, const std::vector<Member> &members,
                          const Reader &reader, const std::vector<ListedState> &states,
                          int iWordSize, int64_t iGeometry, std::vector<size_t> to = {})
{
    if (to.empty())
        for (size_t m = 0; m < members.size(); m++) to.push_back(m);
    FamilyCopy copy(dir, members);
    const std::string base = copy.Path(members[0].name);
    const std::vector<uint64_t> whole = Show(reader, base).states;
    ASSERT_EQ(whole.size(), states.size());
    std::vector<std::vector<std::vector<uint8_t>>> damages;
    for (size_t m : to) damages.push_back(MemberDamages(members, states, m, iWordSize, iGeometry));
    auto Put = [&](size_t a, size_t d) {
        const Member &m = members[to[a]];
        copy.Cut({m.name, damages[a][d]}, damages[a][d].size());
    };
    auto Restore = [&](size_t a) { copy.Restore(members[to[a]]); };
    for (size_t a = 0; a < to.size(); a++)
        for (size_t d = 0; d < damages[a].size(); d++) {
            Put(a, d);
            const Shown alone = Show(reader, base);
            const std::string name = copy.Path(members[to[a]].name);
            SCOPED_TRACE(name + " damage " + std::to_string(d));
            EXPECT_EQ(alone.bOpened, to[a] != 0);
            // The last member cut at a state's end: a run still writing,
            // whole and without a word.
            if (alone.messages.empty() && to[a] + 1 == members.size()) {
                EXPECT_GE(alone.states.size(), 1u);
                for (size_t k = 0; k < alone.states.size() && k < whole.size(); k++)
                    EXPECT_EQ(alone.states[k], whole[k]) << "state " << k + 1;
                Restore(a);
                continue;
            }
            ASSERT_EQ(alone.messages.size(), 1u);
            EXPECT_EQ(alone.messages[0].rfind("LS-DYNA family file " + name + " ", 0), 0u)
                << alone.messages[0];
            ASSERT_LE(alone.states.size(), whole.size());
            for (size_t k = 0; k < alone.states.size(); k++)
                EXPECT_EQ(alone.states[k], whole[k]) << "state " << k + 1;
            for (size_t b = a + 1; b < to.size(); b++)
                for (size_t e = 0; e < damages[b].size(); e++) {
                    SCOPED_TRACE(copy.Path(members[to[b]].name) + " damage " + std::to_string(e));
                    Put(b, e);
                    const Shown both = Show(reader, base);
                    EXPECT_TRUE(both == alone)
                        << both.states.size() << " states, " << both.messages.size()
                        << " messages: " << (both.messages.empty() ? "" : both.messages[0]);
                    for (size_t c = b + 1; c < to.size() && e < damages[c].size(); c++) {
                        Put(c, e);
                        EXPECT_TRUE(Show(reader, base) == alone)
                            << "and " << members[to[c]].name << " damage " << e;
                        Restore(c);
                    }
                    Restore(b);
                }
            Restore(a);
            if (::testing::Test::HasFatalFailure()) return;
        }
}

// The written plot and time-history families, every member.
TEST_F(LSDynaDamage, WrittenFamiliesWithSeveralDamagedMembersShowTheFirstDamageAlone)
{
    ForEachWrittenFamily(m_Dir, [](const std::string &dir, int iWordSize, int iPerMember) {
        const std::vector<Member> plot = WrittenPlotFamily(iWordSize, iPerMember);
        WholePlot w;
        ListWholePlot(dir, plot, &w);
        if (::testing::Test::HasFatalFailure()) return;
        CheckDamagedTogether(dir, plot, PlotReader(), w.states, iWordSize, w.iGeometry);
        const std::vector<Member> th = WrittenThFamily(iWordSize, iPerMember);
        CheckDamagedTogether(dir + "_th", th, ThReader(), ThStates(th, iWordSize), iWordSize, 101);
    });
}

// The real families: every member of those with one or two numbered
// members, the base file, the first two and the last of the others.
TEST_F(LSDynaDamage, RealFamiliesWithSeveralDamagedMembersShowTheFirstDamageAlone)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    ForEachRealFamily([this](const std::string &name, const std::vector<Member> &members) {
        const std::string dir = m_Dir + "/" + name;
        WholePlot w;
        ListWholePlot(dir, members, &w);
        if (::testing::Test::HasFatalFailure()) return;
        std::vector<size_t> to;
        if (members.size() > 4) to = {0, 1, 2, members.size() - 1};
        CheckDamagedTogether(dir, members, PlotReader(), w.states, w.iWordSize, w.iGeometry, to);
    });
}

// ---- A run still writing and the boundaries ------------------------------------------

// The shell fixture with 51 globals, so that eight states of 64 words fill a
// 512-word block: d3plot with the geometry and the end marker, then three
// members of eight states each whose end marker is the first word of their
// last block; every file padded with zeros to whole 512-word blocks.
std::vector<Member> BlockFamily(int iWordSize)
{
    LSDynaTestHeader h = LSDynaShellFixtureHeader();
    h.w[18] = 51;  // NGLBV
    LSDynaTestWriter base;
    base.iWordSize = iWordSize;
    LSDynaWriteShellGeometry(&base, h, "block fixture");
    base.Float(-999999.0);
    std::vector<Member> out = {{"d3plot", base.bytes}};
    for (int f = 1, k = 0; f <= 3; f++) {
        LSDynaTestWriter w;
        w.iWordSize = iWordSize;
        for (int i = 0; i < 8; i++, k++) {
            w.Float(0.001 * k);
            for (int g = 0; g < 51; g++) w.Float(k + 0.01 * g);
            for (int c = 0; c < 12; c++) w.Float(c % 3 == 0 ? 0.001 * k + c : c);
        }
        w.Float(-999999.0);
        out.push_back({NKString::FromFormat("d3plot%02d", f).GetText(), w.bytes});
    }
    const size_t iBlock = (size_t)NK_DYNA_BLOCK_WORDS * (size_t)iWordSize;
    for (Member &m : out) m.bytes.resize((m.bytes.size() + iBlock - 1) / iBlock * iBlock, 0);
    return out;
}

// The last member of a family ending at a state's end without the end
// marker, as a run still writing leaves it: every state is offered, and no
// text says it was cut. Written families, their last member holding one
// more state in place of its end marker (one warning: the family has no end
// marker after it, the other members end with theirs), and a base file with
// one member of states and no marker (no warning).
TEST_F(LSDynaDamage, LiveLastMemberOffersEveryState)
{
    ForEachWrittenFamily(m_Dir, [](const std::string &dir, int iWordSize, int iPerMember) {
        std::vector<Member> members = WrittenPlotFamily(iWordSize, iPerMember);
        LSDynaTestWriter more;
        more.iWordSize = iWordSize;
        LSDynaWriteShellState(&more, 0.001 * (3 * iPerMember));
        Member &last = members.back();
        last.bytes.resize(last.bytes.size() - (size_t)iWordSize);  // the end marker
        last.bytes.insert(last.bytes.end(), more.bytes.begin(), more.bytes.end());
        FamilyCopy copy(dir, members);
        MessageCapture capture;
        ASSERT_TRUE(OpenPlot(copy.Path("d3plot")));
        const int n = 3 * iPerMember + 1;
        EXPECT_EQ(NKLSDynaGetNumStates(), n);
        EXPECT_TRUE(NKLSDynaReadState(n - 1));
        ExpectOneWarning(capture, copy.Path("d3plot03"), 1, n, (float)(0.001 * (n - 1)),
                         "ends the family with no end marker after state " + std::to_string(n));
        NKLSDynaClose();
        // A base file and one member of states without the marker.
        FamilyCopy one(dir + "_one", {members[0], {"d3plot01", last.bytes}});
        MessageCapture quiet;
        ASSERT_TRUE(OpenPlot(one.Path("d3plot")));
        EXPECT_EQ(NKLSDynaGetNumStates(), iPerMember + 1);
        EXPECT_TRUE(quiet.Lines().empty()) << quiet.Text();
        NKLSDynaClose();
    });
}

// The ansys family's d3plot02 holding its state and one more (its words
// again at a later time) without the end marker: all 23 states, and the
// warning says the family has no end marker after state 23.
TEST_F(LSDynaDamage, LiveLastMemberOfARealFamilyOffersEveryState)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    const std::string from = NKTestSharedDataDir() + "/lsdyna/ansys-example-data/d3plot";
    std::vector<Member> members = ReadMembers(from, {"d3plot", "d3plot01", "d3plot02"});
    FamilyCopy whole(m_Dir + "/whole", members);
    ASSERT_TRUE(OpenPlot(whole.Path("d3plot")));
    const LSDynaStateInfo last = NKLSDynaGetControlData()->states.back();
    ASSERT_EQ(last.iFileIndex, 2);
    NKLSDynaClose();
    const size_t iState = (size_t)last.iSize * 4;
    std::vector<uint8_t> &b = members[2].bytes;
    b.resize(iState);
    b.insert(b.end(), b.begin(), b.begin() + (long)iState);
    const float fLater = 0.0011f;
    std::memcpy(b.data() + iState, &fLater, 4);
    FamilyCopy copy(m_Dir + "/live", members);
    MessageCapture capture;
    ASSERT_TRUE(OpenPlot(copy.Path("d3plot")));
    EXPECT_EQ(NKLSDynaGetNumStates(), 23);
    EXPECT_TRUE(NKLSDynaReadState(22));
    ExpectOneWarning(capture, copy.Path("d3plot02"), 1, 23, fLater,
                     "ends the family with no end marker after state 23");
    EXPECT_FALSE(capture.Contains("ends inside")) << capture.Text();
}

// Boundaries: a member of exactly one state's words, all zeros; a member's
// last state zeroed from its middle to the member's end; and in a family
// of 512-word blocks whose end marker is the first word of its last block,
// in 4- and 8-byte words: the whole family (its padding is no words after
// the marker), one more block after the padding (words after the marker),
// and the marker zeroed (zeros from the next state on: the padding has room
// for one). States of exactly one member's 512 words following the geometry
// in d3plot do not run on over its end; a base file that ends where its
// geometry does (its end marker gone) holds no state; a base file cut a
// word short of its geometry's end is refused, with one member after it
// and with two, the first as long as the base file; a
// state that ran over members (state 2, from d3plot02) followed by a time
// equal to its own or below it but above state 1's, or below state 1's
// too: the time words after it go on from state 2's, so state 3's is out
// of order, and d3plot03, which holds it, is named (state 1 stays);
// followed by a time that is not a number, state 2 is dropped and the
// member it ended in named; the last member ending at a
// state's end without its marker, that state zero from its middle on, keeps
// it (a run still writing); a member that is not the last ending at a
// state's end without its marker, zero from that state's time word on,
// ends the states before it.
TEST_F(LSDynaDamage, BoundariesOfZerosAndOfTheLastBlock)
{
    for (int iWordSize : {4, 8}) {
        SCOPED_TRACE(std::to_string(iWordSize) + "-byte words");
        const std::string dir = m_Dir + "/" + std::to_string(iWordSize);
        const std::vector<Member> one = WrittenPlotFamily(iWordSize, 1);
        const std::vector<Member> three = WrittenPlotFamily(iWordSize, 3);
        const std::vector<Member> blocks = BlockFamily(iWordSize);
        const size_t S = 13 * (size_t)iWordSize, iBlockS = 64 * (size_t)iWordSize;
        std::vector<uint8_t> zeroed = three[2].bytes;  // state 6 from its middle on
        std::fill(zeroed.begin() + (long)(2 * S + S / 2 / iWordSize * iWordSize), zeroed.end(), 0);
        std::vector<uint8_t> moreBlock = blocks[2].bytes, noMarker = blocks[2].bytes;
        moreBlock.insert(moreBlock.end(), (size_t)NK_DYNA_BLOCK_WORDS * (size_t)iWordSize, 0xFF);
        std::fill(noMarker.begin() + (long)(8 * iBlockS), noMarker.begin() + (long)(9 * iBlockS),
                  0);
        const std::vector<Member> exact = WrittenSplitFamily(iWordSize, 499, true);
        const std::vector<Member> split = WrittenSplitFamily(iWordSize);
        const std::vector<Member> pair = {one[0], one[1]};
        // (d3plot01 as long as the cut base file: members a split geometry
        // could run on over, but for their blocks.)
        const std::vector<uint8_t> geometryCut = Head(one[0], one[0].bytes.size() - 2 * iWordSize);
        const std::vector<Member> sameSize = {
            {"d3plot", geometryCut}, {"d3plot01", geometryCut}, {"d3plot02", one[1].bytes}};
        // d3plot02 ending with state 6 (no marker), zero from its time word
        // on; state 5 ends with a word that is not zero (node 4's z).
        std::vector<uint8_t> noMarkerZeroed = WithWord(three[2], 2 * 13 - 1, iWordSize, 1.0);
        noMarkerZeroed.resize(3 * S);
        std::fill(noMarkerZeroed.begin() + (long)(2 * S), noMarkerZeroed.end(), 0);
        std::vector<uint8_t> live = three[3].bytes;  // state 9 from its middle on, no marker
        live.resize(3 * S);
        std::fill(live.begin() + (long)(2 * S + S / 2 / iWordSize * iWordSize), live.end(), 0);
        {
            FamilyCopy copy(dir + "_blocks", blocks);
            MessageCapture capture;
            ASSERT_TRUE(OpenPlot(copy.Path("d3plot")));
            EXPECT_EQ(NKLSDynaGetNumStates(), 24);
            EXPECT_TRUE(capture.Lines().empty()) << capture.Text();
            NKLSDynaClose();
        }
        const struct {
            const std::vector<Member> *pFamily;
            size_t iMember;
            std::vector<uint8_t> bytes;
            int iKept;
            float fLast;
            const char *pszSign;
            size_t iNamed = kRefused;  // the member named, where not iMember
            size_t iOther = kRefused;  // and the other, where two disagree
        } cases[] = {
            {&one, 2, std::vector<uint8_t>(S, 0), 1, 0.0f, "holds only zeros"},
            {&three, 2, zeroed, 5, 0.004f, "holds only zeros from state 6 on"},
            {&blocks, 2, moreBlock, 16, 0.015f, "has words after its end marker"},
            {&blocks, 2, noMarker, 16, 0.015f, "holds only zeros from state 17 on"},
            {&exact, 0, exact[0].bytes, 0, 0.0f, "ends inside state 1"},
            {&one, 0, Head(one[0], one[0].bytes.size() - iWordSize), 0, 0.0f,
             "ends inside state 1"},
            {&pair, 0, geometryCut, -1, 0.0f, "ends inside its geometry"},
            {&sameSize, 0, geometryCut, -1, 0.0f, "ends inside its geometry"},
            {&split, 3, WithWord(split[3], 202, iWordSize, 0.001), 0, 0.0f, kDisagree, 2, 3},
            {&split, 3, WithWord(split[3], 202, iWordSize, 0.0005), 0, 0.0f, kDisagree, 2, 3},
            {&split, 3, WithWord(split[3], 202, iWordSize, -1.0), 1, 0.0f,
             "state 3 has a time below the time before it"},
            {&split, 3, WithWord(split[3], 202, iWordSize, NAN), 1, 0.0f,
             "state 2 is followed by a time that is not a number"},
            {&three, 2, noMarkerZeroed, 5, 0.004f, "holds only zeros from state 6 on"},
            {&three, 3, live, 9, 0.008f, "ends the family with no end marker after state 9"},
        };
        for (const auto &c : cases) {
            SCOPED_TRACE(c.pszSign);
            const std::vector<Member> &family = *c.pFamily;
            FamilyCopy copy(dir, family);
            copy.Cut({family[c.iMember].name, c.bytes}, c.bytes.size());
            MessageCapture capture;
            // (iKept -1: the open is refused.)
            ASSERT_EQ(OpenPlot(copy.Path("d3plot")), c.iKept >= 0);
            EXPECT_EQ(NKLSDynaGetNumStates(), std::max(c.iKept, 0));
            const size_t iNamed = c.iNamed == kRefused ? c.iMember : c.iNamed;
            ExpectOneWarning(capture, copy.Path(family[iNamed].name), 1, std::max(c.iKept, 0),
                             c.fLast, c.pszSign, c.iKept >= 0 ? NK_MSG_WARNING : NK_MSG_ERROR,
                             c.iOther == kRefused ? "" : copy.Path(family[c.iOther].name));
            NKLSDynaClose();
        }
    }
}

// Every whole family offers the states and times it always has (written
// down from the reader before damage ended any state).
TEST_F(LSDynaDamage, WholeRealFamiliesKeepTheirStatesAndTimes)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    const struct {
        const char *path;
        std::vector<float> times;
    } cases[] = {
        {"qd-cae/d3plot", {0.0f}},
        {"lasso-python/d3plot_beamip/d3plot", {0.0f, 0.0017400739f}},
        {"lasso-python/d3plot_node_temperature/d3plot",
         {0.0f,        0.199999988f, 0.599999964f, 1.39999998f, 2.39999986f, 3.39999986f,
          4.39999962f, 5.39999962f,  6.39999962f,  7.39999962f, 8.39999962f, 9.39999962f,
          10.3999996f, 11.3999996f,  12.3999996f,  13.3999996f, 14.3999996f, 15.3999996f,
          16.3999996f, 17.3999996f,  18.3999996f,  19.3999996f, 20.0f}},
        {"lasso-python/d3plot_solid_int/d3plot",
         {0.0f,          0.00499936659f, 0.00999982841f, 0.014999995f,  0.0199995991f,
          0.0249996316f, 0.0299995057f,  0.0349997357f,  0.0399994291f, 0.0449998975f,
          0.0499997176f, 0.0549995974f,  0.0599997602f,  0.0649994388f, 0.069999598f,
          0.0749995634f, 0.0799998939f,  0.0849993378f,  0.0899993852f, 0.0949998274f,
          0.0999995023f, 0.100000195f}},
        {"lasso-python/order_d3plot/d3plot", {1.0f, 2.0f, 10.0f, 11.0f, 12.0f, 22.0f, 100.0f}},
        {"ansys-example-data/d3plot/d3plot",
         {0.0f,
          4.98709524e-05f,
          9.99459589e-05f,
          0.000149740445f,
          0.000199724047f,
          0.000249809324f,
          0.000299972424f,
          0.000349845795f,
          0.0003998006f,
          0.000449755404f,
          0.000499768707f,
          0.000549939985f,
          0.000599904044f,
          0.000649795926f,
          0.000699737284f,
          0.000749881263f,
          0.000799840083f,
          0.000849976612f,
          0.000899983454f,
          0.000949794834f,
          0.000999896205f,
          0.0010001614f}},
        {"ansys-example-data/d3plot_beam/d3plot",
         {0.0f, 0.997460425f, 1.99781764f, 2.99823713f, 3.99865675f, 4.99907637f, 5.99949551f,
          6.99991512f, 7.99750853f, 8.99792862f, 9.99834824f, 10.001174f}},
        {"ansys-example-data/d3plot_projectile/d3plot",
         {0.0f, 4.97685719f, 9.95371437f, 14.9808426f, 19.9576988f, 24.984827f, 29.9616852f,
          34.9888115f, 39.9656677f, 44.9927979f, 49.9696541f, 54.9967842f, 59.9736404f, 64.9505005f,
          69.977623f, 70.0278931f}},
        {"ansys-example-data/bird_strike_incomplete/d3plot", {}},
        {"pladebuk/d3plot_incomplete", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        MessageCapture capture;
        ASSERT_TRUE(NKLSDynaOpen((NKTestSharedDataDir() + "/lsdyna/" + c.path).c_str()));
        ASSERT_EQ(NKLSDynaGetNumStates(), (int)c.times.size());
        for (int k = 0; k < NKLSDynaGetNumStates(); k++)
            EXPECT_EQ(NKLSDynaGetStateTime(k), c.times[(size_t)k]) << k;
        NKLSDynaClose();
    }
}

// ---- Zeros inside states, and running on over members --------------------------------

// The words of state s (lying in one member) from its word iFrom to its end
// set to zero.
void ZeroState(std::vector<Member> *pMembers, const ListedState &s, int64_t iFrom, int iWordSize)
{
    std::vector<uint8_t> &b = (*pMembers)[s.iMember].bytes;
    std::fill(b.begin() + (long)((s.iOffset + iFrom) * iWordSize),
              b.begin() + (long)((s.iOffset + s.iSize) * iWordSize), 0);
}

// Whole families written again as one stream over members of their base
// file's length, as a writer that splits states fills them: every real
// family whose state is larger than its base file, with its first state
// zero after its coordinates (a model at rest), and the beam family with
// every state zero after its velocities (a rigid part: zeros over several
// whole members in every state). Each offers every state, without a word,
// with the words the family written whole has.
TEST_F(LSDynaDamage, SplitFamiliesWithZerosInsideStatesOfferEveryState)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    int iFamilies = 0;
    ForEachRealFamily([&](const std::string &name, const std::vector<Member> &members) {
        const std::string dir = m_Dir + "/" + name;
        WholePlot w;
        ListWholePlot(dir, members, &w);
        if (::testing::Test::HasFatalFailure()) return;
        const size_t iBase = members[0].bytes.size();
        if ((size_t)w.states[0].iSize * (size_t)w.iWordSize <= iBase) return;
        iFamilies++;
        LSDynaHeader h;
        ASSERT_TRUE(OpenPlot(dir + "/d3plot"));
        ASSERT_TRUE(NKLSDynaReadHeader(0, &h));
        NKLSDynaClose();
        const int64_t iNodeWords = (int64_t)h.NUMNP() * h.NDIM,
                      iCoordsEnd = 1 + h.w[NK_DW_NGLBV] + iNodeWords;
        std::vector<std::vector<Member>> zeroed = {members};
        ZeroState(&zeroed[0], w.states[0], iCoordsEnd, w.iWordSize);
        if (name == "d3plot_beam") {
            zeroed.push_back(members);
            for (const ListedState &s : w.states)
                ZeroState(&zeroed[1], s, iCoordsEnd + iNodeWords, w.iWordSize);
        }
        for (const std::vector<Member> &z : zeroed) {
            SCOPED_TRACE(&z == zeroed.data() ? "the first state at rest" : "a rigid part");
            FamilyCopy whole(dir + "_zeros", z);
            const Shown expected = Show(PlotReader(), whole.Path("d3plot"));
            EXPECT_EQ(expected.states.size(), w.states.size());
            EXPECT_TRUE(expected.messages.empty())
                << (expected.messages.empty() ? "" : expected.messages[0]);
            FamilyCopy split(dir + "_split", Resplit(z, iBase, w.iWordSize));
            const Shown shown = Show(PlotReader(), split.Path("d3plot"));
            EXPECT_TRUE(shown == expected) << shown.states.size() << " states; "
                                           << (shown.messages.empty() ? "" : shown.messages[0]);
        }
    });
    EXPECT_EQ(iFamilies, 6);
}

// Runs check over the real families whose states run over members when
// written again over members of their base file's length: the ansys,
// solid_int and projectile families, so written, with their states as
// listed whole.
void ForEachSplitRealFamily(
    const std::string &root,
    const std::function<void(const std::string &, const std::vector<Member> &, const WholePlot &)>
        &check)
{
    int iFamilies = 0;
    ForEachRealFamily([&](const std::string &name, const std::vector<Member> &members) {
        if (name != "d3plot" && name != "d3plot_solid_int" && name != "d3plot_projectile") return;
        iFamilies++;
        const std::string dir = root + "/" + name;
        WholePlot w;
        ListWholePlot(dir, members, &w);
        if (::testing::Test::HasFatalFailure()) return;
        const std::vector<Member> split = Resplit(members, members[0].bytes.size(), w.iWordSize);
        ListWholePlot(dir, split, &w);
        if (::testing::Test::HasFatalFailure()) return;
        ASSERT_GT((size_t)(w.states[0].iSize * w.iWordSize), split[0].bytes.size());
        check(dir, split, w);
    });
    EXPECT_EQ(iFamilies, 3);
}

// True when the time words a walk reads in the family written whole (its
// states as listed), with its members' bytes replaced by those of damaged
// (each of the same length, or longer, the last), are finite and each
// above the one before, and the word after the last state is the end
// marker or a time above it: nothing the walk reads shows the damage.
bool TimesInOrder(const std::vector<Member> &members, const std::vector<ListedState> &states,
                  int iWordSize, const std::vector<Member> &damaged)
{
    // (A last member may be longer: a run still writing.)
    for (size_t j = 0; j < members.size(); j++)
        if (damaged[j].bytes.size() < members[j].bytes.size() ||
            (damaged[j].bytes.size() != members[j].bytes.size() && j + 1 < members.size()))
            return false;
    float fBefore = -INFINITY;
    auto Word = [&](size_t j, int64_t iByte) {
        const uint8_t *p = damaged[j].bytes.data() + iByte;
        float f = 0.0f;
        double d = 0.0;
        if (iWordSize == 8) std::memcpy(&d, p, 8);
        if (iWordSize == 4) std::memcpy(&f, p, 4);
        return iWordSize == 8 ? (float)d : f;
    };
    for (const ListedState &s : states) {
        const float f = Word(s.iMember, s.iOffset * iWordSize);
        if (!std::isfinite(f) || f <= fBefore) return false;
        fBefore = f;
    }
    // The end marker after the last state, or a time that follows in order.
    const ListedState &last = states.back();
    const float f = Word(last.iEndMember, last.iEndByte);
    return f == -999999.0f || (std::isfinite(f) && f > fBefore);
}

// The members a family's warning names: one, or the two whose times
// disagree ("LS-DYNA family files <a> and <b> hold times that disagree").
std::vector<std::string> NamedMembers(const std::string &text)
{
    const std::string one = "LS-DYNA family file ", two = "LS-DYNA family files ";
    if (text.rfind(two, 0) == 0) {
        const size_t a = text.find(" and "), b = text.find(" hold times that disagree");
        if (a == std::string::npos || b == std::string::npos || b < a) return {};
        return {text.substr(two.size(), a - two.size()), text.substr(a + 5, b - a - 5)};
    }
    if (text.rfind(one, 0) != 0) return {};
    return {text.substr(one.size(), text.find(' ', one.size()) - one.size())};
}

// Each numbered member m of a split family replaced by a copy of the member
// before it, after it, three further on and of the family's last (which
// ends with the end marker), and m swapped with the member after it. Where
// the time words the walk reads show it: the family offers only states
// that lie wholly before m, each with the words of the family written
// whole (none is kept on a time word the next one contradicts), and one
// warning names m or, where the words cannot show which of two members is
// wrong, the two whose times disagree, m among them. Where they do not (the
// times fall in order, or m lies wholly inside one state), every state but
// those with words in m (and in the member swapped with it) is the
// family's.
TEST_F(LSDynaDamage, ACopiedMemberOfASplitFamilyEndsTheStatesBeforeIt)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    ForEachSplitRealFamily(
        m_Dir, [](const std::string &dir, const std::vector<Member> &split, const WholePlot &w) {
            FamilyCopy copy(dir, split);
            const Shown whole = Show(PlotReader(), copy.Path("d3plot"));
            ASSERT_EQ(whole.states.size(), w.states.size());
            for (size_t m = 1; m < split.size(); m++) {
                size_t iBefore = 0;
                for (const ListedState &s : w.states)
                    if (s.iEndMember < m) iBefore++;
                // (The damaged family, its last damaged member, its name.)
                std::vector<std::tuple<std::vector<Member>, size_t, std::string>> damages;
                for (size_t from : {m - 1, m + 1, m + 3, split.size() - 1}) {
                    if (from < 1 || from >= split.size() || split[from].bytes == split[m].bytes)
                        continue;
                    std::vector<Member> family = split;
                    family[m].bytes = split[from].bytes;
                    damages.push_back(
                        {std::move(family), m, split[m].name + " a copy of " + split[from].name});
                }
                if (m + 2 < split.size()) {
                    std::vector<Member> family = split;
                    std::swap(family[m].bytes, family[m + 1].bytes);
                    damages.push_back({std::move(family), m + 1,
                                       split[m].name + " swapped with " + split[m + 1].name});
                }
                for (const auto &d : damages) {
                    const std::vector<Member> &family = std::get<0>(d);
                    const size_t iLast = std::get<1>(d);
                    SCOPED_TRACE(std::get<2>(d));
                    for (size_t j = m; j <= iLast; j++)
                        copy.Cut({split[j].name, family[j].bytes}, family[j].bytes.size());
                    const Shown shown = Show(PlotReader(), copy.Path("d3plot"));
                    for (size_t j = m; j <= iLast; j++) copy.Restore(split[j]);
                    EXPECT_TRUE(shown.bOpened);
                    ASSERT_LE(shown.states.size(), whole.states.size());
                    const bool bShown = !TimesInOrder(split, w.states, w.iWordSize, family);
                    for (size_t k = 0; k < shown.states.size(); k++)
                        if (bShown || w.states[k].iEndMember < m || w.states[k].iMember > iLast) {
                            EXPECT_EQ(shown.states[k], whole.states[k]) << "state " << k + 1;
                        }
                    if (!bShown) continue;
                    EXPECT_LE(shown.states.size(), iBefore);
                    ASSERT_EQ(shown.messages.size(), 1u);
                    // One member named, or two whose times disagree: a damaged
                    // one among them.
                    const std::vector<std::string> named = NamedMembers(shown.messages[0]);
                    bool bNamed = false;
                    for (const std::string &n : named)
                        bNamed = bNamed || n == copy.Path(split[m].name) ||
                                 n == copy.Path(split[iLast].name);
                    EXPECT_TRUE(bNamed) << shown.messages[0];
                    // (Where the words cannot tell, the states end before the
                    // first of the earlier time words' members.)
                    if (iLast > m && named.size() == 1) {
                        EXPECT_GE(shown.states.size(), iBefore) << shown.messages[0];
                    }
                }
            }
        });
}

// The first k states of the ansys family (members: its base file and
// d3plot01; 55,932 bytes a state) with the end marker, or a job still
// writing without it, as one stream over members of iBytes, the last padded
// to whole blocks where it ends with the marker.
std::vector<Member> AnsysStream(const std::vector<Member> &members, size_t k, size_t iBytes,
                                bool bMarker)
{
    const float fMarker = -999999.0f;
    std::vector<uint8_t> all(members[1].bytes.begin(),
                             members[1].bytes.begin() + (long)(k * 55932));
    if (bMarker) all.insert(all.end(), (const uint8_t *)&fMarker, (const uint8_t *)&fMarker + 4);
    std::vector<Member> out = {members[0]};
    for (size_t at = 0; at < all.size(); at += iBytes) {
        std::vector<uint8_t> b(all.begin() + (long)at,
                               all.begin() + (long)std::min(all.size(), at + iBytes));
        if (bMarker) b.resize((b.size() + 2047) / 2048 * 2048, 0);
        out.push_back({NKString::FromFormat("d3plot%02d", (int)out.size()).GetText(), b});
    }
    return out;
}

// Damages of families whose states run over members that the time words
// cannot tell apart, or that no time word shows: the projectile's states as
// one stream over 700,416-byte members with d3plot10 or d3plot19 copied over
// d3plot02, d3plot02 swapped with d3plot14 and d3plot03 with d3plot04 (the
// earlier time words lie in no more members than the later: the states end
// before the first with words in d3plot02, and the warning names it and the
// later's member); the last member swapped forward (the projectile's
// d3plot21 with d3plot20 and with d3plot18, the ansys stream over 43,008-byte
// members' d3plot29 with d3plot28): the member that holds the end marker
// before the last is named, and every state before it stays; the
// solid_int family's one state over three 4,096-byte members with d3plot03
// copied over d3plot02, or the two swapped; the ansys stream of one and two
// states over 38,912-byte members with d3plot01 (and d3plot02) 2,048 zero
// bytes longer, as long as the base file, a length the words contradict.
// Every state offered is the family's, and exactly one warning names what
// it says. So do the written family of 768-word states over 512-word
// members with time words set out of order at a member's first word, two
// equal times in two members, equal words among those after a
// disagreement, and the segment's last time word out of order before a
// restart; the ansys stream with a copy of its last member right before
// it; a job still writing whose last member, whole blocks, ends at the end
// of a state that ran over into it (every state, no warning).
TEST_F(LSDynaDamage, DamageTheWordsCannotTellKeepsOnlyWhatBothReadingsKeep)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    const std::string root = NKTestSharedDataDir() + "/lsdyna/";
    std::vector<std::string> names = {"d3plot"};
    for (int i = 1; i <= 16; i++) names.push_back(NKString::FromFormat("d3plot%02d", i).GetText());
    const std::vector<Member> projectile =
        Resplit(ReadMembers(root + "ansys-example-data/d3plot_projectile", names), 700416, 8);
    ASSERT_EQ(projectile.size(), 22u);
    const std::vector<Member> ansys =
        ReadMembers(root + "ansys-example-data/d3plot", {"d3plot", "d3plot01", "d3plot02"});
    const std::vector<Member> ansys43 = Resplit(ansys, 43008, 4),
                              one38 = AnsysStream(ansys, 1, 38912, true),
                              two38 = AnsysStream(ansys, 2, 38912, true);
    const std::vector<Member> solid = Resplit(
        ReadMembers(root + "lasso-python/d3plot_solid_int", {"d3plot", "d3plot01"}), 4096, 4);
    ASSERT_EQ(solid.size(), 4u);
    auto Copied = [](std::vector<Member> f, size_t to, size_t from) {
        f[to].bytes = f[from].bytes;
        return f;
    };
    auto Swapped = [](std::vector<Member> f, size_t a, size_t b) {
        std::swap(f[a].bytes, f[b].bytes);
        return f;
    };
    // States of 768 words over 512-word members: state k's time word lies at
    // word 768 (k - 1) of the stream (d3plot04's first is state 3's, d3plot05's
    // word 256 state 4's); a job still writing that ends at state 2's end.
    const std::vector<Member> written = WrittenSplitFamily(4, 755),
                              running(written.begin(), written.begin() + 4);
    // The same with a restart: d3plotaa with the geometry again, its seven
    // states over members of its own at times 1 to 1.006.
    std::vector<Member> restart = written;
    for (size_t m = 0; m < written.size(); m++) {
        Member aa = written[m];
        aa.name = "d3plotaa" + written[m].name.substr(6);
        for (int k = 0; k < 7 && m > 0; k++)
            if ((size_t)(768 * k / 512 + 1) == m)
                aa.bytes = WithWord(aa, 768 * k % 512, 4, 1.0 + 0.001 * k);
        restart.push_back(aa);
    }
    auto Timed = [](std::vector<Member> f, std::vector<std::tuple<size_t, int64_t, double>> words) {
        for (const auto &w : words)
            f[std::get<0>(w)].bytes =
                WithWord(f[std::get<0>(w)], std::get<1>(w), 4, std::get<2>(w));
        return f;
    };
    auto Longer = [](std::vector<Member> f, std::vector<size_t> which) {
        for (size_t m : which) f[m].bytes.resize(f[m].bytes.size() + 2048, 0);
        return f;
    };
    const std::string disagree = "hold times that disagree: state 2 has a time not below the time "
                                 "of state 3, no state is whole.",
                      marker = "ends with the end marker before the family's last member, ";
    const struct {
        const char *pszCase;
        const std::vector<Member> *pWhole;
        std::vector<Member> family;
        size_t iKept;
        std::vector<size_t> named;  // the members the warning names
        std::string found;          // what it says after them
    } cases[] = {
        {"projectile, d3plot02 a copy of d3plot10",
         &projectile,
         Copied(projectile, 2, 10),
         0,
         {2, 3},
         disagree},
        {"projectile, d3plot02 a copy of d3plot19",
         &projectile,
         Copied(projectile, 2, 19),
         0,
         {2, 3},
         disagree},
        {"projectile, d3plot02 and d3plot14 swapped",
         &projectile,
         Swapped(projectile, 2, 14),
         0,
         {2, 3},
         disagree},
        {"projectile, d3plot03 and d3plot04 swapped",
         &projectile,
         Swapped(projectile, 3, 4),
         0,
         {2, 3},
         disagree},
        {"projectile, d3plot20 and d3plot21 swapped",
         &projectile,
         Swapped(projectile, 20, 21),
         14,
         {20},
         marker + "states end with state 14 at time 64.9505."},
        {"projectile, d3plot18 and d3plot21 swapped",
         &projectile,
         Swapped(projectile, 18, 21),
         13,
         {18},
         marker + "states end with state 13 at time 59.9736."},
        {"ansys over 43,008 bytes, d3plot28 and d3plot29 swapped",
         &ansys43,
         Swapped(ansys43, 28, 29),
         20,
         {28},
         marker + "states end with state 20 at time 0.000949795."},
        {"solid_int over 4,096 bytes, d3plot02 a copy of d3plot03",
         &solid,
         Copied(solid, 2, 3),
         0,
         {2},
         marker + "no state is whole."},
        {"solid_int over 4,096 bytes, d3plot02 and d3plot03 swapped",
         &solid,
         Swapped(solid, 2, 3),
         0,
         {2},
         marker + "no state is whole."},
        {"ansys over 43,008 bytes, d3plot28 a copy of the last",
         &ansys43,
         Copied(ansys43, 28, 29),
         20,
         {28},
         marker + "states end with state 20 at time 0.000949795."},
        {"written, a job still writing whose last member ends at state 2's end",
         &running,
         running,
         2,
         {},
         ""},
        {"written, state 3's time, d3plot04's first word, between states 1 and 2",
         &written,
         Timed(written, {{4, 0, 0.0005}}),
         0,
         {2, 4},
         disagree},
        {"written, state 3's time below state 1's",
         &written,
         Timed(written, {{4, 0, -1.0}}),
         2,
         {4},
         "state 3 has a time below the time before it, states end with state 2 at time 0.001."},
        {"written with a restart, state 7's time, the segment's last, between states 4 and 5",
         &restart,
         Timed(restart, {{10, 0, 0.0035}}),
         6,
         {10},
         "state 7 has a time below the time before it, states end with state 6 at time 0.005."},
        {"written, state 6's time (d3plot08's word 256) state 5's (d3plot07's first)",
         &written,
         Timed(written, {{8, 256, 0.004}}),
         4,
         {7, 8},
         "hold times that disagree: state 5 has a time not below the time of state 6, states end "
         "with state 4 at time 0.003."},
        {"written, states 3 and 4 at one time below state 1's",
         &written,
         Timed(written, {{4, 0, -1.0}, {5, 256, -1.0}}),
         0,
         {1, 4},
         "hold times that disagree: state 1 has a time not below the time of state 3, no state is "
         "whole."},
        {"ansys, one state over 38,912 bytes, d3plot01 longer",
         &one38,
         Longer(one38, {1}),
         0,
         {},
         "no state is whole."},
        {"ansys, two states over 38,912 bytes, d3plot01 and d3plot02 longer",
         &two38,
         Longer(two38, {1, 2}),
         0,
         {},
         "no state is whole."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszCase);
        FamilyCopy copy(m_Dir + "/case", c.family);
        FamilyCopy wholeCopy(m_Dir + "/whole", *c.pWhole);
        const std::vector<uint64_t> whole = Show(PlotReader(), wholeCopy.Path("d3plot")).states;
        const Shown shown = Show(PlotReader(), copy.Path("d3plot"));
        EXPECT_TRUE(shown.bOpened);
        EXPECT_EQ(shown.states.size(), c.iKept);
        for (size_t k = 0; k < shown.states.size() && k < whole.size(); k++)
            EXPECT_EQ(shown.states[k], whole[k]) << "state " << k + 1;
        EXPECT_EQ(shown.messages.size(), c.found.empty() ? 0u : 1u);
        if (shown.messages.size() != 1) continue;
        const std::string &text = shown.messages[0];
        EXPECT_TRUE(text.size() >= c.found.size() &&
                    text.compare(text.size() - c.found.size(), c.found.size(), c.found) == 0)
            << text;
        if (c.named.empty()) continue;
        std::vector<std::string> expected;
        for (size_t m : c.named) expected.push_back(copy.Path(c.family[m].name));
        EXPECT_EQ(NamedMembers(text), expected) << text;
    }
}

// The ansys family written again over members of its base file's length
// (40,960 bytes), cut to its first members, the last as the family's last:
// with four files, d3plot02 longer by 4 bytes, 1,000 bytes and a block (the
// words of d3plot03 after it), and d3plot01 longer by a member; with three,
// d3plot01 longer by as much as d3plot02 was: the base file is of
// the writer's length where states run over members, and a length that is
// not whole blocks is never the writer's, so the longer member is named and
// the states end before state 1, which has words in it. Six files with
// d3plot03 and d3plot04 a block longer (two lengths tie, two against two;
// the base file's decides); with d3plot01 and d3plot02 two blocks longer
// and d3plot03 and d3plot04 one (two lengths above the base file's tie: the
// first members' is taken, and the time words read over them, out of place,
// end the states, naming d3plot01). Over members of 2,048 bytes, every member but the
// base file is shorter than the base file: no state, and the warning says
// so. Ten files, the last, d3plot10, zero from the first time word in it on
// (a run still writing whose state would run past its end): the states
// before it, and the warning says the family has no end marker.
TEST_F(LSDynaDamage, TheWritersLengthOfASplitFamilyIsTheBaseFilesAndNamesTheOddMember)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    const std::vector<Member> members =
        ReadMembers(NKTestSharedDataDir() + "/lsdyna/ansys-example-data/d3plot",
                    {"d3plot", "d3plot01", "d3plot02"});
    const std::vector<Member> split = Resplit(members, 40960, 4);
    WholePlot w;
    ListWholePlot(m_Dir + "/whole", split, &w);
    ASSERT_EQ(w.states.size(), 22u);
    auto First = [&](size_t n) {
        return std::vector<Member>(split.begin(), split.begin() + (long)n);
    };
    // Member m of family longer by the first n bytes of the member after it
    // in the family written whole (or shorter by -n bytes).
    auto Changed = [&](std::vector<Member> family, size_t m, long n) {
        std::vector<uint8_t> &b = family[m].bytes;
        if (n < 0)
            b.resize(b.size() - (size_t)-n);
        else
            b.insert(b.end(), split[m + 1].bytes.begin(), split[m + 1].bytes.begin() + n);
        return family;
    };
    const std::string longer = "has words past its writer's length";
    struct Case {
        std::vector<Member> family;
        size_t iNamed, iKept;
        std::string sign;
        size_t iOther = kRefused;  // the other member, where two disagree
    };
    std::vector<Case> cases;
    for (long n : {4L, 1000L, 2048L}) {
        cases.push_back({Changed(First(4), 2, n), 2, 0, longer});
        cases.push_back({Changed(First(3), 1, n), 1, 0, longer});
    }
    // (d3plot01 a member longer: as long as a state, it is no evidence that
    // states fit in members.)
    cases.push_back({Changed(First(4), 1, 40960), 1, 0, longer});
    cases.push_back({Changed(Changed(First(6), 3, 2048), 4, 2048), 3, 1, longer});
    cases.push_back(
        {Changed(Changed(Changed(Changed(First(6), 1, 4096), 2, 4096), 3, 2048), 4, 2048), 1, 0,
         longer});
    // Members of one block, shorter than the base file: their words
    // confirm the length, and the family is whole.
    const std::vector<Member> small = Resplit(members, 2048, 4);
    cases.push_back({small, 1, 22, ""});
    // A real tie with the base file: the base file and d3plot02 of one
    // length, d3plot01 and d3plot03 a block longer.
    cases.push_back({Changed(Changed(First(5), 1, 2048), 3, 2048), 1, 0, longer});
    // Every numbered member but the last cut a block short of the base
    // file's length, the last of it.
    std::vector<Member> cut = First(6);
    for (size_t m = 1; m + 1 < cut.size(); m++) cut[m].bytes.resize(38912);
    cases.push_back({cut, 1, 0, "is shorter than the base file"});
    // The family over members of 43,008 bytes, cut after d3plot04, with
    // d3plot01 and d3plot02 2,048 zero bytes longer: no length is
    // confirmed, and the length most members share is theirs, so d3plot03
    // is the member whose length departs.
    std::vector<Member> over = Resplit(members, 43008, 4);
    over.resize(5);
    for (size_t m : {1, 2}) over[m].bytes.resize(over[m].bytes.size() + 2048, 0);
    cases.push_back(
        {over, 3, 0, "is shorter than the other members its writer filled, inside state 1"});
    // A tie the base file's length would take: the family over members of
    // 43,008 bytes, d3plot02 cut to the base file's 40,960. The words
    // confirm 43,008: d3plot02 is cut, and the states before it are kept.
    std::vector<Member> tie = Resplit(members, 43008, 4);
    WholePlot w43;
    ListWholePlot(m_Dir + "/w43", tie, &w43);
    tie.resize(5);
    tie[2].bytes.resize(40960);
    size_t iTie = 0;
    while (w43.states[iTie].iEndMember < 2 ||
           (w43.states[iTie].iEndMember == 2 && w43.states[iTie].iEndByte <= 40960))
        iTie++;
    cases.push_back({tie, 2, iTie,
                     "is shorter than the other members its writer filled, inside state " +
                         std::to_string(iTie + 1)});
    // The first state alone as one stream over members of 47,104 bytes,
    // longer than the base file, one numbered member before the last: whole.
    std::vector<Member> one = {members[0], members[1]};
    one[1].bytes.resize((size_t)w.states[0].iSize * 4);
    const float fMarker = -999999.0f;
    one[1].bytes.insert(one[1].bytes.end(), (const uint8_t *)&fMarker,
                        (const uint8_t *)&fMarker + 4);
    cases.push_back({Resplit(one, 47104, 4), 1, 1, ""});
    // A run still writing, cut at state 21's end.
    const ListedState &s21 = w.states[20];
    std::vector<Member> running = First(s21.iEndMember + 1);
    running.back().bytes.resize((size_t)s21.iEndByte);
    cases.push_back({running, s21.iEndMember, 21, ""});
    // State 6's time word set to state 4's time, and to half of it: the
    // words after it go on from state 5's, so it is out of order, and the
    // states end before the first state with words in its member.
    const ListedState &s6 = w.states[5];
    size_t iBefore6 = 0;
    while (w.states[iBefore6].iEndMember < s6.iMember) iBefore6++;
    for (double f : {(double)w.states[3].fTime, 0.5 * w.states[3].fTime})
        cases.push_back({[&] {
                             std::vector<Member> family = split;
                             family[s6.iMember].bytes =
                                 WithWord(split[s6.iMember], s6.iOffset, 4, f);
                             return family;
                         }(),
                         s6.iMember, iBefore6, "state 6 has a time below the time before it"});
    // State 6's time set to state 4's and state 7's to state 5's, or to
    // state 6's new time: the earlier words (states 4 and 5) and the later
    // (states 6 and 7) lie in two members each, so the words cannot tell
    // which are damaged: the states end before the first with words in
    // state 4's member, and the warning names it and state 6's.
    const ListedState &s4 = w.states[3], &s7 = w.states[6];
    size_t iBefore4 = 0;
    while (w.states[iBefore4].iEndMember < s4.iMember) iBefore4++;
    for (double f : {(double)w.states[4].fTime, (double)w.states[3].fTime}) {
        std::vector<Member> family = split;
        family[s6.iMember].bytes = WithWord(split[s6.iMember], s6.iOffset, 4, w.states[3].fTime);
        family[s7.iMember].bytes = WithWord(family[s7.iMember], s7.iOffset, 4, f);
        cases.push_back(
            {family, s4.iMember, iBefore4,
             "hold times that disagree: state 4 has a time not below the time of state 6",
             s6.iMember});
    }
    auto Stream = [&](size_t k, size_t iBytes, bool bMarker) {
        return AnsysStream(members, k, iBytes, bMarker);
    };
    // Families of one, two and three states over members shorter than,
    // as long as and longer than the base file, whole and jobs still
    // writing: every state, no warning (under the base file's length a data
    // word where the next time word would lie may rise).
    for (size_t k : {1, 2, 3, 5})
        for (size_t iBytes : {38912, 40960, 43008, 45056})
            for (bool bMarker : {true, false})
                cases.push_back({Stream(k, iBytes, bMarker), 1, k, ""});
    // The same over members of 43,008 bytes with d3plot01, and d3plot02
    // too, a block of zeros longer: no length is confirmed (read with the
    // longer members' length, the end marker lies inside a state), or the
    // one confirmed makes d3plot01 longer; no state, d3plot01 named.
    for (size_t k : {1, 2, 3})
        for (size_t iLonger : {1, 2}) {
            std::vector<Member> family = Stream(k, 43008, true);
            if (iLonger + 1 >= family.size()) continue;
            for (size_t m = 1; m <= iLonger; m++) family[m].bytes.resize(45056, 0);
            cases.push_back({family, 1, 0, longer});
        }
    // The whole family over members of 43,008 bytes with d3plot07 the first
    // 26,284 bytes of d3plot29, cut right after its end marker: it holds
    // the marker before the family's last member, and the state that runs
    // into it is not offered.
    std::vector<Member> marked = Resplit(members, 43008, 4);
    ASSERT_GE(marked.size(), 30u);
    marked[7].bytes.assign(marked[29].bytes.begin(), marked[29].bytes.begin() + 26284);
    size_t iBefore7 = 0;
    while (w43.states[iBefore7].iEndMember < 7) iBefore7++;
    cases.push_back(
        {marked, 7, iBefore7, "ends with the end marker before the family's last member"});
    // The same family damaged near its end, where no time word after the
    // disagreement is above the later: d3plot27 and d3plot28 swapped,
    // d3plot28 a copy of d3plot27, and the last, d3plot29, a copy of
    // d3plot28 (no end marker: a cut). The word a damaged member puts where
    // a state's time lies is below every time before it: one time word out
    // of order, not twenty, and its member is named, never d3plot01; no
    // state keeps words from the member before it, which holds the earlier
    // time word (d3plot27 is the first of a swapped pair).
    size_t iBefore27 = 0, iBefore28 = 0;
    while (w43.states[iBefore27].iEndMember < 27) iBefore27++;
    while (w43.states[iBefore28].iEndMember < 28) iBefore28++;
    std::vector<Member> swapped = Resplit(members, 43008, 4);
    std::swap(swapped[27].bytes, swapped[28].bytes);
    cases.push_back({swapped, 28, iBefore27, "state 22 has a time below the time before it"});
    std::vector<Member> copied = Resplit(members, 43008, 4);
    copied[28].bytes = copied[27].bytes;
    cases.push_back({copied, 28, iBefore27, "state 22 has a time below the time before it"});
    copied = Resplit(members, 43008, 4);
    copied[29].bytes = copied[28].bytes;
    cases.push_back({copied, 29, iBefore28, "state 23 has a time below the time before it"});
    std::vector<Member> live = First(11);
    size_t iLive = 0;
    while (w.states[iLive].iMember != 10) iLive++;
    std::fill(live[10].bytes.begin() + w.states[iLive].iOffset * 4, live[10].bytes.end(), 0);
    cases.push_back({live, 10, iLive,
                     "ends the family with no end marker after state " + std::to_string(iLive)});
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.family.size()) + " files, " + c.family[c.iNamed].name +
                     " of " + std::to_string(c.family[c.iNamed].bytes.size()) + " bytes");
        FamilyCopy copy(m_Dir + "/case", c.family);
        MessageCapture capture;
        ASSERT_TRUE(OpenPlot(copy.Path("d3plot"))) << capture.Text();
        EXPECT_EQ(NKLSDynaGetNumStates(), (int)c.iKept) << capture.Text();
        for (int k = 0; k < std::min(NKLSDynaGetNumStates(), (int)c.iKept); k++)
            EXPECT_EQ(NKLSDynaGetStateTime(k), w.states[(size_t)k].fTime);
        if (c.sign.empty()) {
            ExpectNoWarning(capture);
            // A job still writing (its last member, short of whole blocks,
            // ends at a state's end without the end marker) has one line
            // of information.
            const std::vector<uint8_t> &last = c.family.back().bytes;
            const int64_t iLastWord = LastWordNotZero(last, 4);
            float fLastWord = 0.0f;
            if (iLastWord >= 0) std::memcpy(&fLastWord, last.data() + iLastWord * 4, 4);
            if (last.size() % 2048 != 0 && fLastWord != -999999.0f) {
                int iInfo = 0;
                for (const CapturedLine &line : capture.Lines())
                    iInfo += line.iLevel == NK_MSG_INFO &&
                             line.text.find("without the end marker: a run still writing") !=
                                 std::string::npos;
                EXPECT_EQ(iInfo, 1) << capture.Text();
            }
        } else {
            ExpectOneWarning(capture, copy.Path(c.family[c.iNamed].name), 1, (int)c.iKept,
                             c.iKept > 0 ? w.states[c.iKept - 1].fTime : 0.0f, c.sign,
                             NK_MSG_WARNING,
                             c.iOther == kRefused ? "" : copy.Path(c.family[c.iOther].name));
        }
        NKLSDynaClose();
    }
}

// A base file of two 512-word blocks whose geometry, a header over iNodes
// nodes and iShells shells, runs on into the members after it: d3plot01
// holds its rest, as long as the base file or (bMarker: the family's last)
// shorter, with the end marker after the geometry, padded to a block.
std::vector<Member> SplitGeometryFamily(int iWordSize, int64_t iNodes, int iShells, bool bMarker)
{
    LSDynaTestHeader h = LSDynaShellFixtureHeader();
    h.w[16] = iNodes;   // NUMNP
    h.w[31] = iShells;  // NEL4
    LSDynaTestWriter all;
    all.iWordSize = iWordSize;
    LSDynaWriteHeader(&all, h, "split geometry");
    for (int64_t n = 0; n < iNodes; n++) all.Floats({(double)n, 0, 0});
    for (int k = 0; k < iShells; k++) all.Ints({1, 2, 3, 4, 1});
    if (bMarker) all.Float(-999999.0);
    const size_t iBlock = (size_t)NK_DYNA_BLOCK_WORDS * (size_t)iWordSize;
    all.bytes.resize((all.bytes.size() + iBlock - 1) / iBlock * iBlock, 0);
    const auto at = all.bytes.begin() + (long)(2 * iBlock);
    return {{"d3plot", std::vector<uint8_t>(all.bytes.begin(), at)},
            {"d3plot01", std::vector<uint8_t>(at, all.bytes.end())}};
}

// Running on over members at their ends, in 4- and 8-byte words: a state of
// 768 words that ran on over members and ends at d3plot03's end, followed by
// its own time at d3plot04's first word: the time words after it go on from
// state 2's, so d3plot04, which holds it, is named, and states 1 and 2
// stay; a
// geometry of 2,048 words that runs on into d3plot01 and ends at its end is
// refused without a d3plot02 and with one whose first word is not a number,
// and opens with one that begins with the end marker; a geometry of 1,324
// words whose rest and end marker lie in d3plot01, the family's last and
// shorter than the base file, opens.
TEST_F(LSDynaDamage, RunningOnOverMembersEndsAtTheirEnds)
{
    for (int iWordSize : {4, 8}) {
        SCOPED_TRACE(std::to_string(iWordSize) + "-byte words");
        const std::string dir = m_Dir + "/" + std::to_string(iWordSize);
        const std::vector<Member> split = WrittenSplitFamily(iWordSize, 755);
        {
            FamilyCopy copy(dir + "_state", split);
            copy.Cut({"d3plot04", WithWord(split[4], 0, iWordSize, 0.001)}, split[4].bytes.size());
            MessageCapture capture;
            ASSERT_TRUE(OpenPlot(copy.Path("d3plot")));
            // (One member holds each of the two time words: the words
            // cannot tell which is damaged.)
            EXPECT_EQ(NKLSDynaGetNumStates(), 0);
            ExpectOneWarning(capture, copy.Path("d3plot02"), 1, 0, 0.0f, kDisagree, NK_MSG_WARNING,
                             copy.Path("d3plot04"));
            NKLSDynaClose();
        }
        const std::vector<Member> exact = SplitGeometryFamily(iWordSize, 658, 2, false);
        ASSERT_EQ(exact[1].bytes.size(), exact[0].bytes.size());
        LSDynaTestWriter next;
        next.iWordSize = iWordSize;
        next.Float(NAN);
        next.bytes.resize((size_t)NK_DYNA_BLOCK_WORDS * (size_t)iWordSize, 0);
        const std::vector<Member> notNumber = {exact[0], exact[1], {"d3plot02", next.bytes}};
        std::vector<Member> marker = notNumber;
        marker[2].bytes = WithWord(marker[2], 0, iWordSize, -999999.0);
        const std::vector<Member> shorter = SplitGeometryFamily(iWordSize, 415, 3, true);
        ASSERT_LT(shorter[1].bytes.size(), shorter[0].bytes.size());
        const struct {
            const char *pszCase;
            const std::vector<Member> *pFamily;
            bool bOpens;
        } cases[] = {{"ends at d3plot01's end", &exact, false},
                     {"d3plot02 begins with a word that is not a number", &notNumber, false},
                     {"d3plot02 begins with the end marker", &marker, true},
                     {"its rest in d3plot01, the last and shorter", &shorter, true}};
        for (const auto &c : cases) {
            SCOPED_TRACE(c.pszCase);
            FamilyCopy copy(dir + "_run", *c.pFamily);
            MessageCapture capture;
            EXPECT_EQ(OpenPlot(copy.Path("d3plot")), c.bOpens) << capture.Text();
            if (c.bOpens) {
                EXPECT_EQ(NKLSDynaGetNumStates(), 0);
                EXPECT_FALSE(capture.Contains("geometry")) << capture.Text();
            } else {
                ExpectOneWarning(capture, copy.Path("d3plot"), 1, 0, 0.0f,
                                 "ends inside its geometry", NK_MSG_ERROR);
            }
            NKLSDynaClose();
        }
    }
}

// node_temperature's base file ending with its titles' end marker, not
// whole blocks (its writer did not pad it), beside a member of whole blocks:
// every state, without a word.
TEST_F(LSDynaDamage, BaseFileEndingWithItsTitlesMarkerIsWhole)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    std::vector<Member> members =
        ReadMembers(NKTestSharedDataDir() + "/lsdyna/lasso-python/d3plot_node_temperature",
                    {"d3plot", "d3plot01"});
    members[0].bytes.resize((size_t)(LastWordNotZero(members[0].bytes, 4) + 1) * 4);
    ASSERT_NE(members[0].bytes.size() % (4 * (size_t)NK_DYNA_BLOCK_WORDS), 0u);
    FamilyCopy copy(m_Dir, members);
    MessageCapture capture;
    ASSERT_TRUE(OpenPlot(copy.Path("d3plot")));
    EXPECT_EQ(NKLSDynaGetNumStates(), 23);
    EXPECT_TRUE(capture.Lines().empty()) << capture.Text();
}

// ---- Zeros inside a state and the state read over members ---------------------------

// A member of zeros where a state begins: the real families whose state is
// larger than their base file, written again over members of the base
// file's length (whole blocks, as a splitting writer fills them), with
// d3plot01 zeroed where it lies wholly inside state 1 and holds its time
// word (0 is a first state's time) and its coordinates. Every state is
// offered with no message; state 1 is refused where it is read, by the
// check and by the read, naming d3plot01, and the state read before it
// stays current with its words (none in a family of one state); every other
// state reads as in the family written whole.
TEST_F(LSDynaDamage, AMemberOfZerosWhereAStateBeginsIsRefusedWhereTheStateIsRead)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    int iFamilies = 0;
    ForEachRealFamily([&](const std::string &name, const std::vector<Member> &members) {
        const std::string dir = m_Dir + "/" + name;
        LSDynaHeader h;
        int64_t iStateWords = 0;
        int iWordSize = 4;
        {
            FamilyCopy whole(dir, members);
            ASSERT_TRUE(OpenPlot(whole.Path(members[0].name)));
            ASSERT_TRUE(NKLSDynaReadHeader(0, &h));
            iWordSize = NKLSDynaGetControlData()->iWordSize;
            if (NKLSDynaGetNumStates() > 0) iStateWords = NKLSDynaGetControlData()->states[0].iSize;
            NKLSDynaClose();
        }
        const size_t iMember = members[0].bytes.size();
        const int64_t iCoordinatesEnd = 1 + h.w[NK_DW_NGLBV] + (int64_t)h.NUMNP() * h.NDIM;
        if (iStateWords * iWordSize <= (int64_t)iMember ||
            iCoordinatesEnd * iWordSize > (int64_t)iMember)
            return;
        iFamilies++;
        const std::vector<Member> split = Resplit(members, iMember, iWordSize);
        FamilyCopy copy(dir + "_split", split);
        const std::string base = copy.Path("d3plot");
        const Shown whole = Show(PlotReader(), base);
        ASSERT_TRUE(whole.bOpened);
        ASSERT_GE(whole.states.size(), 1u);
        EXPECT_TRUE(whole.messages.empty()) << whole.messages[0];
        // The state read before state 1: state 2, or none.
        const int iBefore = whole.states.size() > 1 ? 1 : -1;
        copy.Cut({"d3plot01", std::vector<uint8_t>(split[1].bytes.size(), 0)},
                 split[1].bytes.size());
        MessageCapture capture;
        ASSERT_TRUE(OpenPlot(base));
        EXPECT_EQ(NKLSDynaGetNumStates(), (int)whole.states.size());
        EXPECT_TRUE(capture.Lines().empty()) << capture.Text();
        if (iBefore > 0) {
            EXPECT_EQ(PlotStateHash(iBefore), whole.states[(size_t)iBefore]);
        }
        capture.Clear();
        EXPECT_FALSE(NKLSDynaCheckStateCoordinates(0));
        EXPECT_FALSE(NKLSDynaReadState(0));
        const std::string refusal = "LS-DYNA file " + copy.Path("d3plot01") +
                                    ": state 1 is refused, the coordinates of every node are zero.";
        ASSERT_EQ(capture.Lines().size(), 2u) << capture.Text();
        for (const CapturedLine &line : capture.Lines()) EXPECT_EQ(line.text, refusal);
        EXPECT_EQ(NKLSDynaGetCurrentState(), iBefore);
        if (iBefore > 0) {
            EXPECT_EQ(NKTestLSDynaStateHash(NKLSDynaGetStateData()), whole.states[1]);
        }
        for (size_t k = 2; k < whole.states.size(); k++)
            EXPECT_EQ(PlotStateHash((int)k), whole.states[k]) << "state " << k + 1;
        NKLSDynaClose();
    });
    EXPECT_EQ(iFamilies, 6);
}

// The members opened by name in a folder, counted from the kernel's record
// of each open (inotify), which an open makes before it returns.
class OpenCounter {
public:
    explicit OpenCounter(const std::string &dir) : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (m_fd >= 0) inotify_add_watch(m_fd, dir.c_str(), IN_OPEN);
    }
    ~OpenCounter()
    {
        if (m_fd >= 0) close(m_fd);
    }
    OpenCounter(const OpenCounter &) = delete;
    OpenCounter &operator=(const OpenCounter &) = delete;
    bool Watching() const { return m_fd >= 0; }
    // The names opened since the last call, in order.
    std::vector<std::string> Opened()
    {
        std::vector<std::string> names;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t n; (n = read(m_fd, buffer, sizeof(buffer))) > 0;)
            for (ssize_t at = 0; at < n;) {
                const auto *e = (const inotify_event *)(buffer + at);
                if (e->len > 0) names.push_back(e->name);
                at += (ssize_t)sizeof(inotify_event) + e->len;
            }
        return names;
    }

private:
    int m_fd;
};

// A written family whose writer splits its states over members of one
// block (a state runs over two or three), in 4- and 8-byte words. Each
// state checked and read in order opens each member once: the check opens
// the members the check before it did not hold, the read after the check
// opens none. Then a member a state runs on into is cut after the open:
// to a few words, the state refused by the check and by a read alone,
// each naming that member, the state read before it kept current; to
// where the state ends in it, the state reads and the next, which begins
// past the cut, is refused naming it. Last, the state's words in that
// member, its coordinates among them, zeroed: the state is refused where
// it is read, naming that member.
TEST_F(LSDynaDamage, AStateOverMembersIsReadThroughTheMembersItsCheckHolds)
{
    for (int iWordSize : {4, 8}) {
        SCOPED_TRACE(std::to_string(iWordSize) + "-byte words");
        const std::vector<Member> split = WrittenSplitFamily(iWordSize);
        const std::string dir = m_Dir + "/split" + std::to_string(iWordSize);
        FamilyCopy copy(dir, split);
        ASSERT_TRUE(OpenPlot(copy.Path("d3plot")));
        const int n = NKLSDynaGetNumStates();
        ASSERT_EQ(n, 7);
        OpenCounter opens(dir);
        ASSERT_TRUE(opens.Watching());
        std::vector<std::string> all;
        for (int k = 0; k < n; k++) {
            ASSERT_TRUE(NKLSDynaCheckStateCoordinates(k)) << k;
            const std::vector<std::string> checked = opens.Opened();
            all.insert(all.end(), checked.begin(), checked.end());
            ASSERT_TRUE(NKLSDynaReadState(k)) << k;
            EXPECT_EQ(opens.Opened(), std::vector<std::string>{}) << "read of state " << k + 1;
        }
        std::vector<std::string> members;
        for (size_t m = 1; m < split.size(); m++) members.push_back(split[m].name);
        EXPECT_EQ(all, members);
        // State 1 ends 101 words into d3plot02, state 2 begins there.
        const size_t iFirstEnd = (size_t)(613 - NK_DYNA_BLOCK_WORDS) * (size_t)iWordSize;
        for (size_t iCut : {(size_t)(3 * iWordSize), iFirstEnd}) {
            SCOPED_TRACE("d3plot02 cut to " + std::to_string(iCut) + " bytes");
            copy.Cut(split[2], iCut);
            const int iRefused = iCut < iFirstEnd ? 0 : 1;
            if (iRefused == 1) {
                EXPECT_TRUE(NKLSDynaCheckStateCoordinates(0));
                EXPECT_TRUE(NKLSDynaReadState(0));
            }
            ASSERT_TRUE(NKLSDynaReadState(3));
            const std::string refusal =
                "LS-DYNA file " + copy.Path("d3plot02") + ": state " +
                std::to_string(iRefused + 1) +
                " is refused, the file changed on disk after it was opened.";
            MessageCapture capture;
            EXPECT_FALSE(NKLSDynaCheckStateCoordinates(iRefused));
            EXPECT_FALSE(NKLSDynaReadState(iRefused));
            EXPECT_EQ(NKLSDynaGetCurrentState(), 3);
            ASSERT_EQ(capture.Lines().size(), 2u) << capture.Text();
            for (const CapturedLine &line : capture.Lines()) EXPECT_EQ(line.text, refusal);
            copy.Restore(split[2]);
        }
        NKLSDynaClose();
        // State 1's words in d3plot02, its coordinates among them, zeroed
        // before the open: no sign for the open (state 2's time follows);
        // state 1 is refused where it is read, naming d3plot02.
        std::vector<uint8_t> zeroed = split[2].bytes;
        std::fill(zeroed.begin(), zeroed.begin() + (long)iFirstEnd, 0);
        copy.Cut({"d3plot02", zeroed}, zeroed.size());
        MessageCapture capture;
        ASSERT_TRUE(OpenPlot(copy.Path("d3plot")));
        EXPECT_EQ(NKLSDynaGetNumStates(), 7);
        EXPECT_FALSE(NKLSDynaReadState(0));
        EXPECT_TRUE(NKLSDynaReadState(1));
        ASSERT_EQ(capture.Lines().size(), 1u) << capture.Text();
        EXPECT_EQ(capture.Lines()[0].text,
                  "LS-DYNA file " + copy.Path("d3plot02") +
                      ": state 1 is refused, the coordinates of every node are zero.");
        NKLSDynaClose();
    }
}

// The coordinates of state 1 run over d3plot01's end (states of 13 +
// iGlobals words over members of one block, state 1 from d3plot01's first
// word): all of them zeroed before the open, which sees no sign (no time
// word lies among them). The state is refused where it is read, by the
// check and by the read, naming the member that holds most of them (9 of
// 12 in the first, or in the last; or all of them, in the member after
// the one that holds the state's time word, from its first word or one or
// two words into it), in 4- and 8-byte words.
TEST_F(LSDynaDamage, CoordinatesZeroedOverTwoMembersNameTheMemberHoldingMostOfThem)
{
    const struct {
        int iGlobals;
        int iInFirst;  // coordinate words in d3plot01, of 12 (below 0: the
                       // words of d3plot02 before them)
        const char *pszNamed;
    } kCases[] = {{502, 9, "d3plot01"},
                  {508, 3, "d3plot02"},
                  {511, 0, "d3plot02"},
                  {512, -1, "d3plot02"},
                  {513, -2, "d3plot02"}};
    for (int iWordSize : {4, 8})
        for (const auto &c : kCases) {
            SCOPED_TRACE(std::to_string(iWordSize) + "-byte words, " + std::to_string(c.iInFirst) +
                         " coordinate words in d3plot01");
            std::vector<Member> split = WrittenSplitFamily(iWordSize, c.iGlobals);
            const long iWords = (long)(split[1].bytes.size() / (size_t)iWordSize);
            ASSERT_EQ(iWords - (1 + c.iGlobals), c.iInFirst);
            // The 12 coordinate words from word 1 + iGlobals of the state,
            // which begins at d3plot01's first word.
            for (long w = 1 + c.iGlobals; w < 13 + c.iGlobals; w++) {
                std::vector<uint8_t> &b = split[w < iWords ? 1 : 2].bytes;
                const long at = (w < iWords ? w : w - iWords) * iWordSize;
                std::fill(b.begin() + at, b.begin() + at + iWordSize, 0);
            }
            FamilyCopy copy(m_Dir + "/split" + std::to_string(iWordSize), split);
            MessageCapture capture;
            ASSERT_TRUE(OpenPlot(copy.Path("d3plot")));
            EXPECT_EQ(NKLSDynaGetNumStates(), 7);
            EXPECT_TRUE(capture.Lines().empty()) << capture.Text();
            EXPECT_TRUE(NKLSDynaReadState(1));
            EXPECT_FALSE(NKLSDynaCheckStateCoordinates(0));
            EXPECT_FALSE(NKLSDynaReadState(0));
            EXPECT_EQ(NKLSDynaGetCurrentState(), 1);
            const std::string refusal =
                "LS-DYNA file " + copy.Path(c.pszNamed) +
                ": state 1 is refused, the coordinates of every node are zero.";
            ASSERT_EQ(capture.Lines().size(), 2u) << capture.Text();
            for (const CapturedLine &line : capture.Lines()) EXPECT_EQ(line.text, refusal);
            NKLSDynaClose();
        }
}

// The descriptors this process holds open on files in a folder.
int DescriptorsIn(const std::string &dir)
{
    int n = 0;
    std::error_code error;
    for (const auto &entry : fs::directory_iterator("/proc/self/fd", error)) {
        const std::string target = fs::read_symlink(entry.path(), error).string();
        if (!error && target.compare(0, dir.size() + 1, dir + "/") == 0) n++;
    }
    return n;
}

// States of 9,013 words over members of one block (each state runs over 18
// or 19 members), in 4- and 8-byte words: every state checked and read in
// order, each as written, with at most 16 members held open after the
// check and after the read (a state over more members has the others
// opened by the read, one at a time); none after the close.
TEST_F(LSDynaDamage, AStateOverMoreThanSixteenMembersHoldsAtMostSixteenOpen)
{
    for (int iWordSize : {4, 8}) {
        SCOPED_TRACE(std::to_string(iWordSize) + "-byte words");
        const std::vector<Member> split = WrittenSplitFamily(iWordSize, 9000);
        ASSERT_GT(split.size(), 7u * 17u);
        const std::string dir = m_Dir + "/split" + std::to_string(iWordSize);
        FamilyCopy copy(dir, split);
        MessageCapture capture;
        ASSERT_TRUE(OpenPlot(copy.Path("d3plot")));
        ASSERT_EQ(NKLSDynaGetNumStates(), 7) << capture.Text();
        int iMost = 0;
        for (int k = 0; k < 7; k++) {
            ASSERT_TRUE(NKLSDynaCheckStateCoordinates(k)) << k << capture.Text();
            iMost = std::max(iMost, DescriptorsIn(dir));
            EXPECT_LE(DescriptorsIn(dir), 16) << "after the check of state " << k + 1;
            ASSERT_TRUE(NKLSDynaReadState(k)) << k << capture.Text();
            EXPECT_LE(DescriptorsIn(dir), 16) << "after the read of state " << k + 1;
            EXPECT_EQ(NKLSDynaGetStateData().fTime, (float)(0.001 * k));
            EXPECT_EQ(NKLSDynaGetStateData().globals.size(), 9000u);
            EXPECT_EQ(NKLSDynaGetStateData().globals[8999], (float)(k + 0.01 * 8999));
        }
        EXPECT_EQ(iMost, 16);
        NKLSDynaClose();
        EXPECT_EQ(DescriptorsIn(dir), 0);
    }
}

}  // namespace
