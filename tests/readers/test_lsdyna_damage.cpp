// Tests of damaged LS-DYNA families: copies of whole families with one
// member cut short, at every byte of its first 64, around the end of each
// of its states, inside its end marker and inside its states. A cut family
// offers only the states that lie wholly before the cut, each the state the
// whole family has at its time, with one warning naming the cut member and
// where the states end. The real families of the shared test data, and
// families written here in 4- and 8-byte words with one and several states
// a member; the plot database and the time-history database.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/nk_memory.h"
#include "core/nk_message.h"
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

// FNV-1a over the words of a state as read: its time and every array.
uint64_t StateHash(const LSDynaStateData &d)
{
    uint64_t h = 1469598103934665603ULL;
    auto Add = [&h](const void *p, size_t n) {
        const auto *b = (const unsigned char *)p;
        for (size_t i = 0; i < n; i++) h = (h ^ b[i]) * 1099511628211ULL;
    };
    Add(&d.fTime, sizeof(float));
    for (const std::vector<float> *v :
         {&d.globals, &d.coords, &d.temperatures, &d.velocities, &d.accelerations, &d.solids,
          &d.thickShells, &d.beams, &d.shells, &d.deletion}) {
        const size_t n = v->size();
        Add(&n, sizeof(n));
        Add(v->data(), n * sizeof(float));
    }
    return h;
}

// A family's members in order, with their bytes.
struct Member {
    std::string name;
    std::vector<uint8_t> bytes;
};

// One state of the whole family as listed: the member it begins in (index
// into the members), where, and its size in words.
struct ListedState {
    float fTime;
    size_t iMember;
    int64_t iOffset, iSize;
};

// The word index of the last word of bytes that is not zero (the end
// marker in every member here), or -1.
int64_t LastWordNotZero(const std::vector<uint8_t> &bytes, int iWordSize)
{
    for (int64_t w = (int64_t)bytes.size() / iWordSize - 1; w >= 0; w--)
        if (std::any_of(bytes.begin() + w * iWordSize, bytes.begin() + (w + 1) * iWordSize,
                        [](uint8_t b) { return b != 0; }))
            return w;
    return -1;
}

// The byte counts a member is cut to: every byte of its first 64, each of
// its states' ends -7..+7 bytes, its end marker's bytes, and inside states
// (past the time word, the middle, the last word's first byte).
std::vector<size_t> CutPoints(const std::vector<ListedState> &states, size_t iMember, size_t iSize,
                              int iWordSize, int64_t iMarkerWord)
{
    std::vector<int64_t> cuts;
    for (int64_t n = 0; n < 64; n++) cuts.push_back(n);
    for (const ListedState &s : states) {
        if (s.iMember != iMember) continue;
        const int64_t iStart = s.iOffset * iWordSize, iEnd = iStart + s.iSize * iWordSize;
        for (int64_t d = -7; d <= 7; d++) cuts.push_back(iEnd + d);
        cuts.push_back(iStart + iWordSize + 1);
        cuts.push_back((iStart + iEnd) / 2);
        cuts.push_back(iEnd - iWordSize + 1);
    }
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
    while (k < states.size() && (states[k].iMember < m ||
                                 (states[k].iMember == m &&
                                  (states[k].iOffset + states[k].iSize) * iWordSize <= (int64_t)n)))
        k++;
    return k;
}

// The one warning of a cut: exactly one warning line, naming the member
// and, unless the member is empty, where the states end.
void ExpectOneWarning(const MessageCapture &capture, const std::string &member, size_t n,
                      int iStates, float fLastTime)
{
    std::vector<std::string> warnings;
    for (const CapturedLine &line : capture.Lines())
        if (line.iLevel == NK_MSG_WARNING) warnings.push_back(line.text);
    EXPECT_EQ(warnings.size(), 1u) << capture.Text();
    if (warnings.empty()) return;
    const std::string &w = warnings[0];
    const std::string start = "LS-DYNA family file " + member + " ";
    EXPECT_EQ(w.compare(0, start.size(), start), 0) << w;
    const std::string end =
        n == 0         ? std::string(" is empty, states end there.")
        : iStates == 0 ? std::string("no state is whole.")
                       : std::string(NKString::FromFormat(" states end with state %d at time %g.",
                                                          iStates, (double)fLastTime)
                                         .GetText());
    EXPECT_TRUE(w.size() >= end.size() && w.compare(w.size() - end.size(), end.size(), end) == 0)
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
        out.push_back({s.fTime, m, s.iOffset, s.iSize});
    }
    return out;
}

uint64_t PlotStateHash(int k)
{
    EXPECT_TRUE(NKLSDynaReadState(k)) << "state " << k + 1;
    return StateHash(NKLSDynaGetStateData());
}

// Cuts every member of the family at every cut point; each open offers the
// whole family's first states up to the cut, as listed there, the last of
// them (when it lies in the cut member) with the same words, and one
// warning names the cut member. A base file cut inside its header may
// fail to open.
void CheckPlotCuts(const std::string &dir, const std::vector<Member> &members)
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
            const size_t iKept = StatesBeforeCut(ref.states, m, n, ref.iWordSize);
            const std::vector<ListedState> got = ListedPlotStates(members);
            EXPECT_EQ(got.size(), iKept) << capture.Text();
            for (size_t k = 0; k < std::min(iKept, got.size()); k++) {
                EXPECT_EQ(got[k].fTime, ref.states[k].fTime) << k;
                EXPECT_EQ(got[k].iMember, ref.states[k].iMember) << k;
                EXPECT_EQ(got[k].iOffset, ref.states[k].iOffset) << k;
            }
            if (iKept > 0 && got.size() == iKept && got[iKept - 1].iMember == m) {
                EXPECT_EQ(PlotStateHash((int)iKept - 1), ref.hashes[iKept - 1]);
            }
            ExpectOneWarning(capture, copy.Path(members[m].name), n, (int)iKept,
                             iKept > 0 ? ref.states[iKept - 1].fTime : 0.0f);
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
// 0, 0.001, ...
std::vector<Member> WrittenPlotFamily(int iWordSize, int iPerMember)
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
// geometry and the end marker, then three members of iPerMember states and
// the end marker each; times 0, 1, 2, ...
std::vector<Member> WrittenThFamily(int iWordSize, int iPerMember)
{
    std::vector<double> times;
    for (int k = 0; k < 3 * iPerMember; k++) times.push_back((double)k);
    LSDynaTestWriter all;
    all.iWordSize = iWordSize;
    LSDynaWriteBrickHistory(&all, times);
    const size_t iGeometryEnd = 101 * (size_t)iWordSize, iState = 102 * (size_t)iWordSize;
    LSDynaTestWriter marker;
    marker.iWordSize = iWordSize;
    marker.Float(-999999.0);
    std::vector<Member> out;
    out.push_back({"d3thdt", std::vector<uint8_t>(all.bytes.begin(),
                                                  all.bytes.begin() + (long)iGeometryEnd)});
    for (int f = 0; f < 3; f++) {
        auto first = all.bytes.begin() + (long)(iGeometryEnd + (size_t)(f * iPerMember) * iState);
        std::vector<uint8_t> bytes(first, first + (long)(iPerMember * iState));
        out.push_back({NKString::FromFormat("d3thdt%02d", f + 1).GetText(), bytes});
    }
    for (Member &m : out) m.bytes.insert(m.bytes.end(), marker.bytes.begin(), marker.bytes.end());
    return out;
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
    // The states as listed: member, offset and size in words.
    std::vector<ListedState> states;
    const int64_t S = 102;
    for (size_t m = 1; m < members.size(); m++)
        for (int64_t o = 0; (o + S) * iWordSize <= (int64_t)members[m].bytes.size(); o += S)
            states.push_back({whole[states.size()].first, m, o, S});
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
            ExpectOneWarning(capture, copy.Path(members[m].name), n, (int)iKept,
                             iKept > 0 ? states[iKept - 1].fTime : 0.0f);
            TH::Close();
        }
        copy.Restore(members[m]);
    }
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

TEST_F(LSDynaDamage, WrittenFamiliesCutAnywhereOfferOnlyTheirWholeStates)
{
    ForEachWrittenFamily(m_Dir, [](const std::string &dir, int iWordSize, int iPerMember) {
        CheckPlotCuts(dir, WrittenPlotFamily(iWordSize, iPerMember));
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

// The real families, each member cut.
TEST_F(LSDynaDamage, RealFamiliesCutAnywhereOfferOnlyTheirWholeStates)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
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
    };
    for (Case &c : cases) {
        if (c.members.empty()) {
            c.members.push_back("d3plot");
            const int n = std::string(c.folder).find("solid_int") != std::string::npos ? 22 : 16;
            for (int i = 1; i <= n; i++)
                c.members.push_back(NKString::FromFormat("d3plot%02d", i).GetText());
        }
        SCOPED_TRACE(c.folder);
        CheckPlotCuts(m_Dir + "/" + fs::path(c.folder).filename().string(),
                      ReadMembers(root + c.folder, c.members));
        if (::testing::Test::HasFatalFailure()) return;
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

}  // namespace
