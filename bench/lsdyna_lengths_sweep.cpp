// bench/lsdyna_lengths_sweep.cpp -- counts what the open of LS-DYNA
// families written as a splitting writer fills members offers, over the
// real families of the shared test data (the ansys family, 22 states of
// 55,932 bytes; the projectile family, 16 of 914,760; the qd-cae family,
// one): their states as one stream over members of one length, the last
// padded to 512-word blocks after the end marker (whole), or ending at a
// state's end without it (a job still writing), at member lengths shorter
// than, as long as and longer than the base file, with one to twenty
// states; and the whole families over members of 38,912, 40,960 and
// 43,008 bytes (ansys) and 700,416 (projectile) with each numbered member
// copied from the member before it, after it, three on and from the last,
// swapped with the next, a block of zeros or of the next member's words
// longer, and a block shorter. Each state offered is compared with the
// state of the family as written (every array of it); a wrong state counts
// only where a word of the family could show it (for copies and swaps:
// some time word where the states begin, or the word after the last, out
// of order). Prints the counts: opens, states offered, wrong states,
// warnings on whole families and jobs still writing, states missing from
// them, and warnings that name a member left as it was.
// Usage: bench_lsdyna_lengths_sweep [TESTDATA]   (default ../shared/testdata)
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/nk_message.h"
#include "core/nk_string.h"
#include "readers/nk_lsdyna.h"
#include "readers/nk_lsdyna_format.h"
#include "tests/test_support/lsdyna_test_writer.h"
#include "tests/test_support/message_capture.h"

namespace fs = std::filesystem;

namespace {

struct Member {
    std::string name;
    std::vector<uint8_t> bytes;
};

std::vector<uint8_t> ReadAll(const std::string &path)
{
    std::vector<uint8_t> out;
    if (FILE *f = std::fopen(path.c_str(), "rb")) {
        uint8_t buf[65536];
        for (size_t n; (n = std::fread(buf, 1, sizeof(buf), f)) > 0;)
            out.insert(out.end(), buf, buf + n);
        std::fclose(f);
    }
    return out;
}

void WriteAll(const std::string &path, const std::vector<uint8_t> &b)
{
    if (FILE *f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(b.data(), 1, b.size(), f);
        std::fclose(f);
    }
}

// What an open shows: each state's hash and time, and its warnings.
struct Shown {
    bool bOpened = false;
    std::vector<uint64_t> states;
    std::vector<std::string> warnings;
};

Shown Show(const std::string &base)
{
    Shown out;
    MessageCapture capture;
    out.bOpened = NKLSDynaOpen(base.c_str());
    if (out.bOpened)
        for (int k = 0; k < NKLSDynaGetNumStates(); k++)
            out.states.push_back(
                NKLSDynaReadState(k) ? NKTestLSDynaStateHash(NKLSDynaGetStateData()) : 0);
    NKLSDynaClose();
    for (const CapturedLine &line : capture.Lines())
        if (line.iLevel == NK_MSG_WARNING || line.iLevel == NK_MSG_ERROR)
            out.warnings.push_back(line.text);
    return out;
}

// A real family: its base file, its states' bytes in order, the word size,
// and each state's hash as the family has it.
struct Family {
    std::string name;
    Member base;
    std::vector<std::vector<uint8_t>> states;
    int iWordSize = 4;
    std::vector<uint64_t> hashes;
};

bool LoadFamily(const std::string &dir, const std::string &name, Family *p)
{
    p->name = name;
    const Shown whole = Show(dir + "/d3plot");
    if (!whole.bOpened || !NKLSDynaOpen((dir + "/d3plot").c_str())) return false;
    const LSDynaControlData *g = NKLSDynaGetControlData();
    p->iWordSize = g->iWordSize;
    for (const LSDynaStateInfo &s : g->states) {
        const std::vector<uint8_t> b = ReadAll(s.szFileName.GetText());
        const size_t at = (size_t)(s.iOffset * p->iWordSize), n = (size_t)(s.iSize * p->iWordSize);
        p->states.emplace_back(b.begin() + (long)at, b.begin() + (long)(at + n));
    }
    NKLSDynaClose();
    p->base = {"d3plot", ReadAll(dir + "/d3plot")};
    p->hashes = whole.states;
    return p->hashes.size() == p->states.size() && !p->states.empty();
}

// The first k states as one stream over members of iBytes (the end marker
// after them and the last padded to 512-word blocks, or neither).
std::vector<Member> Stream(const Family &f, size_t k, size_t iBytes, bool bMarker)
{
    std::vector<uint8_t> all;
    for (size_t s = 0; s < k; s++) all.insert(all.end(), f.states[s].begin(), f.states[s].end());
    if (bMarker) {
        const float fMarker = -999999.0f;
        const double dMarker = -999999.0;
        const uint8_t *p = f.iWordSize == 8 ? (const uint8_t *)&dMarker : (const uint8_t *)&fMarker;
        all.insert(all.end(), p, p + f.iWordSize);
    }
    const size_t iBlock = 512 * (size_t)f.iWordSize;
    std::vector<Member> out = {f.base};
    for (size_t at = 0; at < all.size(); at += iBytes) {
        std::vector<uint8_t> b(all.begin() + (long)at,
                               all.begin() + (long)std::min(all.size(), at + iBytes));
        if (bMarker) b.resize((b.size() + iBlock - 1) / iBlock * iBlock, 0);
        out.push_back({NKString::FromFormat("d3plot%02d", (int)out.size()).GetText(), b});
    }
    return out;
}

struct Counts {
    long iOpens = 0, iStates = 0, iWrong = 0, iWarned = 0, iMissing = 0, iIntactNamed = 0;
};

void Print(const char *pszWhat, const Counts &c)
{
    std::printf("%-52s opens %6ld  states %7ld  wrong %4ld  warned %4ld  missing %5ld  intact "
                "named %4ld\n",
                pszWhat, c.iOpens, c.iStates, c.iWrong, c.iWarned, c.iMissing, c.iIntactNamed);
}

// Writes the family into dir (only the members that differ from those
// there) and opens it.
Shown OpenWritten(const std::string &dir, const std::vector<Member> &family)
{
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const Member &m : family) WriteAll(dir + "/" + m.name, m.bytes);
    return Show(dir + "/d3plot");
}

// The word at byte iByte of b as a time.
float Word(const std::vector<uint8_t> &b, size_t iByte, int iWordSize)
{
    if (iByte + (size_t)iWordSize > b.size()) return NAN;
    float f = 0.0f;
    double d = 0.0;
    if (iWordSize == 8) std::memcpy(&d, b.data() + iByte, 8);
    if (iWordSize == 4) std::memcpy(&f, b.data() + iByte, 4);
    return iWordSize == 8 ? (float)d : f;
}

// True when, read with the members' lengths of the family written whole
// (its k states of iState bytes), the damaged family's time words where
// the states begin all rise and the word after the last is the end
// marker: no word of the family shows the damage.
bool Unseen(const std::vector<Member> &whole, const std::vector<Member> &damaged, size_t k,
            size_t iState, int iWordSize)
{
    for (size_t j = 0; j < whole.size(); j++)
        if (damaged[j].bytes.size() != whole[j].bytes.size()) return false;
    size_t m = 1, at = 0;
    float fBefore = -INFINITY;
    for (size_t s = 0; s <= k; s++, at += iState) {
        while (m < whole.size() && at >= whole[m].bytes.size()) at -= whole[m++].bytes.size();
        if (m >= whole.size()) return false;
        const float f = Word(damaged[m].bytes, at, iWordSize);
        if (s == k) return f == -999999.0f;
        if (!std::isfinite(f) || f <= fBefore) return false;
        fBefore = f;
    }
    return false;
}

// Adds what an open of a whole family or a job still writing showed.
void CountWhole(const Family &f, size_t k, const Shown &shown, Counts *c)
{
    c->iOpens++;
    c->iStates += (long)shown.states.size();
    if (!shown.warnings.empty()) c->iWarned++;
    if (shown.states.size() < k) c->iMissing += (long)(k - shown.states.size());
    for (size_t s = 0; s < shown.states.size(); s++)
        if (s >= k || shown.states[s] != f.hashes[s]) c->iWrong++;
}

// The whole families and jobs still writing of f's first 1 to kMost states
// over members of each length.
void SweepLengths(const Family &f, const std::string &dir, const std::vector<size_t> &lengths,
                  size_t kMost, Counts *pWhole, Counts *pRunning)
{
    for (size_t iBytes : lengths)
        for (size_t k = 1; k <= std::min(kMost, f.states.size()); k++)
            for (bool bMarker : {true, false}) {
                const Shown shown = OpenWritten(dir, Stream(f, k, iBytes, bMarker));
                CountWhole(f, k, shown, bMarker ? pWhole : pRunning);
            }
}

// Each numbered member of f's whole family over members of iBytes damaged
// in each way; the counts of each way by its name.
void SweepDamages(const Family &f, const std::string &dir, size_t iBytes,
                  std::vector<std::pair<std::string, Counts>> *pCounts)
{
    const std::vector<Member> whole = Stream(f, f.states.size(), iBytes, true);
    const size_t n = whole.size(), iState = f.states[0].size();
    const size_t iBlock = 512 * (size_t)f.iWordSize;
    size_t iDamaged = 0, iFrom = 0;
    auto Count = [&](const std::string &way, const std::vector<Member> &family) {
        Counts *c = nullptr;
        for (auto &x : *pCounts)
            if (x.first == way) c = &x.second;
        if (!c) {
            pCounts->push_back({way, {}});
            c = &pCounts->back().second;
        }
        const Shown shown = OpenWritten(dir, family);
        c->iOpens++;
        c->iStates += (long)shown.states.size();
        const bool bSeen = !Unseen(whole, family, f.states.size(), iState, f.iWordSize);
        for (size_t s = 0; s < shown.states.size(); s++)
            if (bSeen && (s >= f.hashes.size() || shown.states[s] != f.hashes[s])) {
                c->iWrong++;
                if (getenv("SWEEP_SHOW"))
                    std::printf("wrong state %zu, %s %zu, member %zu (from %zu) of %zu: %s\n",
                                s + 1, way.c_str(), iBytes, iDamaged, iFrom, n - 1,
                                shown.warnings.empty() ? "" : shown.warnings[0].c_str());
            }
        for (const std::string &w : shown.warnings)
            for (size_t j = 0; j < n; j++)
                if (w.rfind("LS-DYNA family file " + dir + "/" + whole[j].name + " ", 0) == 0 &&
                    family[j].bytes == whole[j].bytes) {
                    c->iIntactNamed++;
                    if (getenv("SWEEP_SHOW"))
                        std::printf("%s %zu, member %zu (from %zu) of %zu: %s\n", way.c_str(),
                                    iBytes, iDamaged, iFrom, n - 1, w.c_str());
                }
    };
    for (size_t m = 1; m < n; m++) {
        iDamaged = m;
        for (size_t from : {m - 1, m + 1, m + 3, n - 1}) {
            if (from < 1 || from >= n || whole[from].bytes == whole[m].bytes) continue;
            std::vector<Member> family = whole;
            family[m].bytes = whole[from].bytes;
            iFrom = from;
            Count(from == n - 1 ? "copy of the last" : "copy of another", family);
            iFrom = 0;
        }
        if (m + 2 < n) {
            std::vector<Member> family = whole;
            std::swap(family[m].bytes, family[m + 1].bytes);
            Count("swap with the next", family);
        }
        if (m + 1 < n) {
            std::vector<Member> family = whole;
            family[m].bytes.resize(family[m].bytes.size() + iBlock, 0);
            Count("a block of zeros longer", family);
            family[m].bytes = whole[m].bytes;
            family[m].bytes.insert(family[m].bytes.end(), whole[m + 1].bytes.begin(),
                                   whole[m + 1].bytes.begin() + (long)iBlock);
            Count("a block of the next member's words longer", family);
            family[m].bytes = whole[m].bytes;
            family[m].bytes.resize(family[m].bytes.size() - iBlock);
            Count("a block shorter", family);
        }
    }
}

}  // namespace

int main(int argc, char **argv)
{
    const std::string data = argc > 1 ? argv[1] : "../shared/testdata";
    char szTemplate[] = "/tmp/lsdyna_sweep_XXXXXX";
    if (!mkdtemp(szTemplate)) return 1;
    const std::string tmp = szTemplate, dir = tmp + "/f";
    Family ansys, projectile, qd;
    if (!LoadFamily(data + "/lsdyna/ansys-example-data/d3plot", "ansys", &ansys) ||
        !LoadFamily(data + "/lsdyna/ansys-example-data/d3plot_projectile", "projectile",
                    &projectile) ||
        !LoadFamily(data + "/lsdyna/qd-cae", "qd-cae", &qd)) {
        std::fprintf(stderr, "no shared test data under %s\n", data.c_str());
        return 1;
    }
    Counts whole, running;
    // (ansys: base file 20 blocks of 2,048 bytes, a state 27.3; every
    // length from 1 to 27 blocks. projectile: base file 171 blocks of
    // 4,096 bytes, a state 223.3. qd-cae: base file 94 blocks of 2,048.)
    std::vector<size_t> lengths;
    for (size_t b = 1; b <= 27; b++) lengths.push_back(b * 2048);
    SweepLengths(ansys, dir, lengths, 20, &whole, &running);
    SweepLengths(projectile, dir, {100 * 4096, 170 * 4096, 171 * 4096, 172 * 4096, 200 * 4096}, 16,
                 &whole, &running);
    SweepLengths(qd, dir, {92 * 2048, 93 * 2048, 94 * 2048, 95 * 2048, 96 * 2048}, 1, &whole,
                 &running);
    Print("whole families at every member length", whole);
    Print("jobs still writing at every member length", running);
    std::vector<std::pair<std::string, Counts>> damages;
    for (size_t iBytes : {38912, 40960, 43008}) SweepDamages(ansys, dir, iBytes, &damages);
    SweepDamages(projectile, dir, 700416, &damages);
    for (const auto &d : damages) Print(d.first.c_str(), d.second);
    fs::remove_all(tmp);
    return 0;
}
