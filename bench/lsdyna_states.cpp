// bench/lsdyna_states.cpp -- times reading every state of the shared
// LS-DYNA projectile family (R14, double precision, 5664 solids, 16 states
// in 16 files) with NKLSDynaReadState: the rate is the states' bytes over
// the time, one core, the files in the page cache (a first untimed pass
// warms it). Each figure is the best of a few runs. The aim: >= 500 MB/s.
// Before that, for every family under ../shared/testdata/lsdyna (each base
// file "d3plot..." without a family number), the open with its first state
// as the program does it: NKLSDynaOpen, the geometry of state 0 (parts,
// internal faces removed) and the state's words, the median of RUNS opens in
// milliseconds. Small families show there what a fixed cost weighs. Then
// the family's members repeated to 16 and 96 states in a temporary folder
// (each copy's time words moved on, so the times keep rising): the open
// alone and the open with its first state, the runs of both sizes taking
// turns, medians in milliseconds. The open reads no state's words but the
// time words (and the last state's element deletion words, where a database
// has them); what it does per member file (list it with its size, open it,
// read the block of each time word, close it) shows as the growth per added
// state (one state per member in the projectile family). The aim: the open at 96 states within 1.5
// times the open at 16. Then two written families keep the open's checks
// in sight: 1,000 members of one state each (512 words, the end marker,
// padding to 512-word blocks), and states of 40 MB running on over four
// members of 32 MB; and families of 1,000 and 5,000 members of one state,
// restarted every ten members (a base file and nine numbered members a
// segment), whose open grows linearly with its members; the open alone,
// median in milliseconds. Then the reads
// of states keep the check of a family changed on disk in sight: two
// members of 200 small states (64 words) each, and 400 states of 700 words
// written on over members of one 512-word block (a state runs over two or
// three, as in a large model's family), every state checked and read as a
// state read of the program does it, median in milliseconds. Last, the
// ansys family (22 states) written again as one stream over members of its
// base file's length (40,960 bytes, the last padded to 512-word blocks), as
// a writer that splits states fills them (a state runs over two or three
// members): every state checked and read, median in milliseconds.
// Usage: bench_lsdyna_states [RUNS] [FAMILY BASE FILE]
//        bench_lsdyna_states --write DIR: writes those four families into
//        DIR/members, DIR/runover, DIR/two and DIR/spread, a time-history
//        family of 1,000 members of one state into DIR/history, the family
//        of 5,000 members restarted every ten into DIR/restart and, with the
//        shared test data, the split ansys family into DIR/split (for
//        counting an open's and a read's system calls), and ends.
//        bench_lsdyna_states --read BASE [RUNS]: opens BASE and checks and
//        reads every state once (for counting a read's system calls), or
//        RUNS times, printing the median in milliseconds, and ends.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/nk_message.h"
#include "core/nk_model.h"

#include "readers/nk_lsdyna.h"
#include "tests/test_support/lsdyna_test_writer.h"
#include "tests/test_support/lsdyna_th_brick.h"
#include "tests/test_support/test_files.h"

namespace {

// The ansys family (22 states in two members), the split family's source.
std::string AnsysFamily(void)
{
    return NKTestSharedDataDir() + "/lsdyna/ansys-example-data/d3plot/d3plot";
}

std::string DefaultFamily(void)
{
    return NKTestSharedDataDir() + "/lsdyna/ansys-example-data/d3plot_projectile/d3plot";
}

// Seconds to read every state once; -1 when one cannot be read.
double ReadAllStates(void)
{
    auto t0 = std::chrono::steady_clock::now();
    for (int s = 0; s < NKLSDynaGetNumStates(); s++)
        if (!NKLSDynaReadState(s)) return -1.0;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// The base files of the families under dir: "d3plot" and names that start
// with it, except the numbered files of a family ("d3plot01"); sorted.
std::vector<std::string> FamilyBases(const std::string &dir)
{
    std::vector<std::string> bases;
    std::error_code error;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(dir, error)) {
        std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || name.compare(0, 6, "d3plot") != 0) continue;
        std::string rest = name.substr(6);
        if (!rest.empty() && rest.find_first_not_of("0123456789") == std::string::npos) continue;
        bases.push_back(entry.path().string());
    }
    std::sort(bases.begin(), bases.end());
    return bases;
}

// Seconds to open a family, make the geometry of its first state and read
// that state's words; -1 when a step fails. A database that holds no state
// (its writer stopped before the first) opens with its geometry alone, as
// the program opens it; *pbGeometryOnly (unless null) says so.
double OpenWithFirstState(const std::string &base, bool *pbGeometryOnly = nullptr)
{
    auto t0 = std::chrono::steady_clock::now();
    bool bOk = NKLSDynaOpen(base.c_str());
    const bool bGeometryOnly = bOk && NKLSDynaGetNumStates() == 0;
    if (pbGeometryOnly != nullptr) *pbGeometryOnly = bGeometryOnly;
    NKGeometry *pGeo = bOk ? NKLSDynaGetGeometry(0) : nullptr;
    bOk = pGeo != nullptr && (bGeometryOnly || NKLSDynaReadState(0));
    double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    NKReleaseGeometry(pGeo);
    NKLSDynaClose();
    return bOk ? t : -1.0;
}

// One line per family: the median of iRuns opens, in milliseconds.
void TimeFamilyOpens(int iRuns)
{
    std::string dir = NKTestSharedDataDir() + "/lsdyna";
    NKToggleMessageOutput(false);
    g_pModel = NKCreateModel();
    std::printf("open + first state, median of %d:\n", iRuns);
    for (const std::string &base : FamilyBases(dir)) {
        std::vector<double> times;
        bool bGeometryOnly = false;
        for (int r = 0; r < iRuns + 1; r++)
            times.push_back(OpenWithFirstState(base, &bGeometryOnly));
        times.erase(times.begin());  // the first fills the page cache
        std::sort(times.begin(), times.end());
        std::string name = base.substr(dir.size() + 1);
        if (times.front() < 0)
            std::printf("  %-52s cannot be opened\n", name.c_str());
        else
            std::printf("  %-52s %9.3f ms%s\n", name.c_str(), 1e3 * times[times.size() / 2],
                        bGeometryOnly ? " (no state: the geometry only)" : "");
    }
    NKDestroyModel(g_pModel);
    g_pModel = nullptr;
    NKToggleMessageOutput(true);
}

// Seconds to open a family alone; -1 when it fails.
double OpenAlone(const std::string &base)
{
    auto t0 = std::chrono::steady_clock::now();
    bool bOk = NKLSDynaOpen(base.c_str()) && NKLSDynaGetNumStates() > 0;
    double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    NKLSDynaClose();
    return bOk ? t : -1.0;
}

// One word of a family's format written at byte iAt of the bytes.
void PutWord(std::string *pBytes, int64_t iAt, double d, int iWordSize, bool bSwap)
{
    unsigned char word[8];
    if (iWordSize == 8) {
        std::memcpy(word, &d, 8);
    } else {
        float f = (float)d;
        std::memcpy(word, &f, 4);
    }
    if (bSwap) std::reverse(word, word + iWordSize);
    if (iAt >= 0 && iAt + iWordSize <= (int64_t)pBytes->size())
        std::memcpy(&(*pBytes)[(size_t)iAt], word, (size_t)iWordSize);
}

// The family of base (opened here) with its numbered members repeated to
// iStates states in dir: copy c of a member has its time words moved on by
// c times the span of the family's times plus one step. The path of the new
// base file; empty when the family cannot be repeated so (its base file
// holds states, or a member fails to copy).
std::string RepeatFamily(const std::string &base, int iStates, const std::string &dir)
{
    if (!NKLSDynaOpen(base.c_str())) return "";
    const LSDynaControlData g = *NKLSDynaGetControlData();
    NKLSDynaClose();
    const int n = (int)g.states.size();
    if (n < 2 || g.states[0].iFileIndex == 0 || iStates % n != 0) return "";
    const double dSpan = g.states[(size_t)n - 1].fTime - g.states[0].fTime +
                         (g.states[(size_t)n - 1].fTime - g.states[(size_t)n - 2].fTime);
    const std::string out = dir + "/d3plot";
    std::filesystem::copy_file(g.files[0].szFileName.GetText(), out,
                               std::filesystem::copy_options::overwrite_existing);
    std::vector<std::string> members;
    for (size_t f = 1; f < g.files.size(); f++)
        members.push_back(NKTestReadFile(g.files[f].szFileName.GetText()));
    int iNumber = 1;
    for (int c = 0; c < iStates / n; c++) {
        for (size_t f = 1; f < g.files.size(); f++, iNumber++) {
            std::string bytes = members[f - 1];
            for (const LSDynaStateInfo &s : g.states)
                if (s.iFileIndex == (int)f)
                    PutWord(&bytes, s.iOffset * g.iWordSize, s.fTime + c * dSpan, g.iWordSize,
                            g.bSwap);
            char szName[32];
            std::snprintf(szName, sizeof(szName), "/d3plot%02d", iNumber);
            if (!NKTestWriteBytes(dir + szName, bytes.data(), bytes.size())) return "";
        }
    }
    return out;
}

// The open alone and with its first state over the family repeated to 16 and
// 96 states, the sizes taking turns run by run; medians in milliseconds.
void TimeRepeatedFamily(const std::string &family, int iRuns)
{
    const int kSizes[2] = {16, 96};
    std::string dirs[2], bases[2];
    NKToggleMessageOutput(false);
    g_pModel = NKCreateModel();
    for (int k = 0; k < 2; k++) {
        dirs[k] = NKTestMakeTempDir("bench_lsdyna_states_");
        bases[k] = RepeatFamily(family, kSizes[k], dirs[k]);
    }
    if (!bases[0].empty() && !bases[1].empty()) {
        std::vector<double> open[2], first[2];
        for (int r = 0; r < iRuns + 1; r++)
            for (int k = 0; k < 2; k++) {
                open[k].push_back(OpenAlone(bases[k]));
                first[k].push_back(OpenWithFirstState(bases[k]));
            }
        double aOpen[2], aFirst[2];
        for (int k = 0; k < 2; k++) {
            open[k].erase(open[k].begin());  // the first fills the page cache
            first[k].erase(first[k].begin());
            std::sort(open[k].begin(), open[k].end());
            std::sort(first[k].begin(), first[k].end());
            aOpen[k] = 1e3 * open[k][open[k].size() / 2];
            aFirst[k] = 1e3 * first[k][first[k].size() / 2];
        }
        std::printf("family repeated, median of %d (ms):   open alone   open + first state\n",
                    iRuns);
        for (int k = 0; k < 2; k++)
            std::printf("  %3d states                          %9.3f   %9.3f\n", kSizes[k],
                        aOpen[k], aFirst[k]);
        std::printf("  open at 96 / open at 16: %.2f (aim <= 1.5)\n", aOpen[1] / aOpen[0]);
        std::printf("  open's growth per added state: %.2f us\n",
                    1e3 * (aOpen[1] - aOpen[0]) / (kSizes[1] - kSizes[0]));
    } else {
        std::printf("family repeated: %s cannot be repeated to 16 and 96 states\n", family.c_str());
    }
    for (const std::string &dir : dirs) NKTestRemoveDir(dir);
    NKDestroyModel(g_pModel);
    g_pModel = nullptr;
    NKToggleMessageOutput(true);
}

// A written family of the shell fixture in 4-byte words with iGlobals
// globals a state in dir: d3plot with the geometry and the end marker, and
// iStates states with the end marker after them, cut into members of
// iMemberWords words (0: members of iPerMember states each, closed with
// the end marker); every file padded to 512-word blocks. Its base file, or
// "" when a file cannot be written.
std::string WriteShellFamily(const std::string &dir, int64_t iGlobals, int iStates,
                             int64_t iMemberWords, int iPerMember = 1)
{
    LSDynaTestHeader h = LSDynaShellFixtureHeader();
    h.w[18] = iGlobals;  // NGLBV
    LSDynaTestWriter base;
    LSDynaWriteShellGeometry(&base, h, "bench family");
    base.Float(-999999.0);
    const int64_t S = 1 + iGlobals + 12;
    auto Pad = [](std::string *p) { p->resize((p->size() + 2047) / 2048 * 2048, '\0'); };
    std::string bytes(base.bytes.begin(), base.bytes.end());
    Pad(&bytes);
    if (!NKTestWriteBytes(dir + "/d3plot", bytes.data(), bytes.size())) return "";
    // The states' words: the time, globals and the four nodes' coordinates,
    // none of them zero (coordinates all zero are refused where the state is
    // read).
    auto States = [&](int iFirst, int n) {
        std::string out((size_t)(n * S + 1) * 4, '\0');
        for (int k = 0; k < n; k++) {
            PutWord(&out, k * S * 4, 0.001 * (iFirst + k), 4, false);
            for (int64_t w = 1; w < S; w++) PutWord(&out, (k * S + w) * 4, 1 + w % 7, 4, false);
        }
        PutWord(&out, n * S * 4, -999999.0, 4, false);
        return out;
    };
    int iNumber = 1;
    auto Member = [&](std::string member) {
        Pad(&member);
        char szName[32];
        std::snprintf(szName, sizeof(szName), "/d3plot%02d", iNumber++);
        return NKTestWriteBytes(dir + szName, member.data(), member.size());
    };
    if (iMemberWords == 0) {
        for (int k = 0; k < iStates; k += iPerMember)
            if (!Member(States(k, std::min(iPerMember, iStates - k)))) return "";
    } else {
        const std::string all = States(0, iStates);
        for (size_t at = 0; at < all.size(); at += (size_t)iMemberWords * 4)
            if (!Member(all.substr(at, (size_t)iMemberWords * 4))) return "";
    }
    return dir + "/d3plot";
}

// A written family of iMembers members of one state each (the shell
// fixture, 4-byte words, 512 words a state) in dir, restarted every ten
// members: each segment a base file with the geometry and nine numbered
// members ("d3plot", "d3plot01".."d3plot09", then "d3plotaa",
// "d3plotaa01".. and on), the times rising over the restarts; every file
// padded to 512-word blocks. Its base file, or "" when a file cannot be
// written.
std::string WriteRestartFamily(const std::string &dir, int iMembers)
{
    LSDynaTestHeader h = LSDynaShellFixtureHeader();
    const int64_t iGlobals = 512 - 13, S = 1 + iGlobals + 12;
    h.w[18] = (int)iGlobals;  // NGLBV
    LSDynaTestWriter base;
    LSDynaWriteShellGeometry(&base, h, "bench family");
    base.Float(-999999.0);
    auto Write = [&](const std::string &name, std::string bytes) {
        bytes.resize((bytes.size() + 2047) / 2048 * 2048, '\0');
        return NKTestWriteBytes(dir + "/" + name, bytes.data(), bytes.size());
    };
    const std::string geometry(base.bytes.begin(), base.bytes.end());
    for (int k = 0; k < iMembers; k++) {
        const int iSegment = k / 10;
        std::string stem = "d3plot";
        if (iSegment > 0) {
            stem += (char)('a' + (iSegment - 1) / 26);
            stem += (char)('a' + (iSegment - 1) % 26);
        }
        if (k % 10 == 0) {
            if (!Write(stem, geometry)) return "";
            continue;
        }
        std::string state((size_t)(S + 1) * 4, '\0');
        PutWord(&state, 0, 0.001 * k, 4, false);
        for (int64_t w = 1; w < S; w++) PutWord(&state, w * 4, 1 + w % 7, 4, false);
        PutWord(&state, S * 4, -999999.0, 4, false);
        char szName[16];
        std::snprintf(szName, sizeof(szName), "%02d", k % 10);
        if (!Write(stem + szName, state)) return "";
    }
    return dir + "/d3plot";
}

// A time-history family of the one-brick database in dir: d3thdt with the
// geometry and the end marker, then iStates members of one state and the
// end marker each. Its base file, or "" when a file cannot be written.
std::string WriteHistoryFamily(const std::string &dir, int iStates)
{
    LSDynaTestWriter base;
    LSDynaWriteBrickHistory(&base, {});
    base.Float(-999999.0);
    if (!NKTestWriteBytes(dir + "/d3thdt", base.bytes.data(), base.bytes.size())) return "";
    for (int k = 0; k < iStates; k++) {
        LSDynaTestWriter w;
        LSDynaWriteBrickHistoryState(&w, 0.001 * k);
        w.Float(-999999.0);
        char szName[32];
        std::snprintf(szName, sizeof(szName), "/d3thdt%02d", k + 1);
        if (!NKTestWriteBytes(dir + szName, w.bytes.data(), w.bytes.size())) return "";
    }
    return dir + "/d3thdt";
}

// The written families: 1,000 members of one state, three states of 40 MB
// over four members of 32 MB, two members of 200 states of 64 words, and
// 400 states of 700 words over members of one 512-word block (each state
// runs over two or three).
bool WriteBenchFamilies(const std::string &dir, std::string *pMembers, std::string *pRunOver,
                        std::string *pTwo, std::string *pSpread)
{
    for (const char *pszName : {"/members", "/runover", "/two", "/spread"})
        std::filesystem::create_directories(dir + pszName);
    *pMembers = WriteShellFamily(dir + "/members", 512 - 13, 1000, 0);
    *pRunOver = WriteShellFamily(dir + "/runover", 10 * 1024 * 1024 - 13, 3, 8 * 1024 * 1024);
    *pTwo = WriteShellFamily(dir + "/two", 64 - 13, 400, 0, 200);
    *pSpread = WriteShellFamily(dir + "/spread", 700 - 13, 400, 512);
    return !pMembers->empty() && !pRunOver->empty() && !pTwo->empty() && !pSpread->empty();
}

// Seconds to check and read every state of the open family once, as the
// program's state read does it; -1 when one is refused.
double CheckAndReadAllStates(void)
{
    auto t0 = std::chrono::steady_clock::now();
    for (int s = 0; s < NKLSDynaGetNumStates(); s++)
        if (!NKLSDynaCheckStateCoordinates(s) || !NKLSDynaReadState(s)) return -1.0;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Every state of the family of base checked and read iRuns times (after one
// pass that fills the page cache): the median in milliseconds, -1 when the
// family cannot be opened or a state is refused.
double TimeStateReads(const std::string &base, int iRuns)
{
    if (!NKLSDynaOpen(base.c_str()) || NKLSDynaGetNumStates() < 1) return -1.0;
    std::vector<double> times;
    for (int r = 0; r < iRuns + 1; r++) times.push_back(CheckAndReadAllStates());
    NKLSDynaClose();
    times.erase(times.begin());
    std::sort(times.begin(), times.end());
    return times.front() < 0 ? -1.0 : 1e3 * times[times.size() / 2];
}

// The shared ansys family written again into dir as one stream over members
// of its base file's length: each member's words up to its end marker (the
// last member's with it), the last piece padded to whole 512-word blocks.
// Its base file, or "" when the family cannot be read or written.
std::string WriteSplitAnsysFamily(const std::string &dir)
{
    if (!NKLSDynaOpen(AnsysFamily().c_str())) return "";
    const LSDynaControlData g = *NKLSDynaGetControlData();
    NKLSDynaClose();
    const size_t iWord = (size_t)g.iWordSize, iBlock = (size_t)NK_DYNA_BLOCK_WORDS * iWord;
    std::string all;
    for (size_t f = 1; f < g.files.size(); f++) {
        const std::string bytes = NKTestReadFile(g.files[f].szFileName.GetText());
        size_t n = bytes.size() / iWord * iWord;
        while (n >= iWord && bytes.compare(n - iWord, iWord, std::string(iWord, '\0')) == 0)
            n -= iWord;
        // n ends after the end marker: the last member keeps it.
        all.append(bytes, 0, f + 1 == g.files.size() ? n : n - iWord);
    }
    const size_t iMember = (size_t)g.files[0].iFileSize;
    std::filesystem::copy_file(g.files[0].szFileName.GetText(), dir + "/d3plot",
                               std::filesystem::copy_options::overwrite_existing);
    int iNumber = 1;
    for (size_t at = 0; at < all.size(); at += iMember) {
        std::string piece = all.substr(at, iMember);
        piece.resize((piece.size() + iBlock - 1) / iBlock * iBlock, '\0');
        char szName[32];
        std::snprintf(szName, sizeof(szName), "/d3plot%02d", iNumber++);
        if (!NKTestWriteBytes(dir + szName, piece.data(), piece.size())) return "";
    }
    return dir + "/d3plot";
}

// Every state of the split ansys family checked and read, median of iRuns.
void TimeSplitFamily(int iRuns)
{
    const std::string dir = NKTestMakeTempDir("bench_lsdyna_split_");
    NKToggleMessageOutput(false);
    const std::string base = WriteSplitAnsysFamily(dir);
    if (!base.empty())
        std::printf("the ansys family split over members of its base file's length, every state "
                    "checked and read (ms, median of %d): %9.3f\n",
                    iRuns, TimeStateReads(base, iRuns));
    else
        std::printf("the ansys family cannot be split in %s\n", dir.c_str());
    NKToggleMessageOutput(true);
    NKTestRemoveDir(dir);
}

// The open alone of the two written families, median of iRuns.
void TimeWrittenFamilies(int iRuns)
{
    const std::string dir = NKTestMakeTempDir("bench_lsdyna_written_");
    std::string bases[4];
    NKToggleMessageOutput(false);
    if (WriteBenchFamilies(dir, &bases[0], &bases[1], &bases[2], &bases[3])) {
        std::printf("written families, the open alone, median of %d (ms):\n", iRuns);
        const char *pszNames[2] = {"1,000 members of one state",
                                   "40 MB states over 4 members of 32 MB"};
        for (int k = 0; k < 2; k++) {
            std::vector<double> times;
            for (int r = 0; r < iRuns + 1; r++) times.push_back(OpenAlone(bases[k]));
            times.erase(times.begin());  // the first fills the page cache
            std::sort(times.begin(), times.end());
            std::printf("  %-40s %9.3f\n", pszNames[k], 1e3 * times[times.size() / 2]);
        }
        // The open of a family restarted every ten members grows with its
        // members: 5,000 take five times what 1,000 take.
        double aRestart[2] = {0.0, 0.0};
        for (int k = 0; k < 2; k++) {
            const int iMembers = k == 0 ? 1000 : 5000;
            const std::string restart = dir + "/restart" + std::to_string(iMembers);
            std::filesystem::create_directories(restart);
            const std::string base = WriteRestartFamily(restart, iMembers);
            std::vector<double> times;
            for (int r = 0; r < iRuns + 1 && !base.empty(); r++) times.push_back(OpenAlone(base));
            if (times.size() < 2) continue;
            times.erase(times.begin());
            std::sort(times.begin(), times.end());
            aRestart[k] = 1e3 * times[times.size() / 2];
            std::printf("  %-40s %9.3f\n",
                        (std::to_string(iMembers) + " members, a restart every 10").c_str(),
                        aRestart[k]);
        }
        if (aRestart[0] > 0.0)
            std::printf("  restarts, open of 5,000 / open of 1,000: %.2f (linear: 5)\n",
                        aRestart[1] / aRestart[0]);
        std::printf("  every state of 2 members of 200 states, checked and read (ms, median of "
                    "%d): %9.3f\n",
                    std::max(iRuns, 15), TimeStateReads(bases[2], std::max(iRuns, 15)));
        std::printf("  every state of 400 states over members of one block, checked and read "
                    "(ms, median of %d): %9.3f\n",
                    std::max(iRuns, 15), TimeStateReads(bases[3], std::max(iRuns, 15)));
    } else {
        std::printf("written families: cannot be written in %s\n", dir.c_str());
    }
    NKToggleMessageOutput(true);
    NKTestRemoveDir(dir);
}

}  // namespace

int main(int argc, char **argv)
{
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--read") == 0) {
        NKToggleMessageOutput(false);
        if (argc == 4) {
            const double fMs = TimeStateReads(argv[2], std::max(1, std::atoi(argv[3])));
            std::printf("%.4f\n", fMs);
            return fMs < 0 ? 1 : 0;
        }
        bool bOk = NKLSDynaOpen(argv[2]) && CheckAndReadAllStates() >= 0;
        NKLSDynaClose();
        return bOk ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "--write") == 0) {
        std::string members, runOver, two, spread;
        const std::string dir = argv[2];
        std::filesystem::create_directories(dir + "/history");
        std::filesystem::create_directories(dir + "/split");
        std::filesystem::create_directories(dir + "/restart");
        const bool bSplit = access(AnsysFamily().c_str(), R_OK) != 0 ||
                            !WriteSplitAnsysFamily(dir + "/split").empty();
        return WriteBenchFamilies(dir, &members, &runOver, &two, &spread) &&
                       !WriteHistoryFamily(dir + "/history", 1000).empty() &&
                       !WriteRestartFamily(dir + "/restart", 5000).empty() && bSplit
                   ? 0
                   : 1;
    }
    int iRuns = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::string family = argc > 2 ? argv[2] : DefaultFamily();
    // A clone without the shared test data has no default family to time.
    if (argc <= 2 && access(family.c_str(), R_OK) != 0) {
        std::printf("skipped: test data folder ../shared/testdata is absent (%s)\n",
                    family.c_str());
        TimeWrittenFamilies(std::max(iRuns, 5));
        return 0;
    }
    if (argc <= 2) TimeFamilyOpens(iRuns);
    TimeRepeatedFamily(family, std::max(iRuns, 5));
    TimeWrittenFamilies(std::max(iRuns, 5));
    TimeSplitFamily(std::max(iRuns, 15));
    if (!NKLSDynaOpen(family.c_str()) || NKLSDynaGetNumStates() < 1) {
        std::fprintf(stderr, "cannot open %s\n", family.c_str());
        return 1;
    }
    const LSDynaControlData &g = *NKLSDynaGetControlData();
    double fBytes = 0.0;
    for (const LSDynaStateInfo &s : g.states) fBytes += (double)s.iSize * g.iWordSize;
    ReadAllStates();  // page cache
    double fBest = 1e30;
    for (int r = 0; r < iRuns; r++) {
        double t = ReadAllStates();
        if (t < 0) {
            std::fprintf(stderr, "state read failed\n");
            return 1;
        }
        fBest = std::min(fBest, t);
    }
    std::printf("%d states, %.1f MB of state words: best %.4f s, %.0f MB/s (aim >= 500)\n",
                NKLSDynaGetNumStates(), fBytes / 1e6, fBest, fBytes / 1e6 / fBest);
    NKLSDynaClose();
    return 0;
}
