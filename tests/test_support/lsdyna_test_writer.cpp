// tests/test_support/lsdyna_test_writer.cpp -- the LS-DYNA database writer
// of the reader tests (see lsdyna_test_writer.h).
#include "tests/test_support/lsdyna_test_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string_view>

#include "readers/nk_lsdyna.h"
#include "readers/nk_lsdyna_format.h"
#include "tests/test_support/test_files.h"

namespace {

void Put(LSDynaTestWriter *pW, const void *p, int n)
{
    uint8_t b[8];
    std::memcpy(b, p, (size_t)n);
    if (pW->bBigEndian) std::reverse(b, b + n);
    pW->bytes.insert(pW->bytes.end(), b, b + n);
}

}  // namespace

void LSDynaTestWriter::Int(int64_t v)
{
    if (bFloatCoded) {
        Float((double)v);
    } else if (iWordSize == 4) {
        int32_t i = (int32_t)v;
        Put(this, &i, 4);
    } else {
        Put(this, &v, 8);
    }
}

void LSDynaTestWriter::Float(double v)
{
    if (iWordSize == 4) {
        float f = (float)v;
        Put(this, &f, 4);
    } else {
        Put(this, &v, 8);
    }
}

void LSDynaTestWriter::Ints(const std::vector<int64_t> &v)
{
    for (int64_t i : v) Int(i);
}

void LSDynaTestWriter::Floats(const std::vector<double> &v)
{
    for (double d : v) Float(d);
}

bool LSDynaTestWriter::Save(const std::string &path) const { return NKTestWriteBytes(path, bytes); }

LSDynaTestHeader::LSDynaTestHeader() { std::fill(w, w + 64, 0); }

void LSDynaWriteHeader(LSDynaTestWriter *pW, const LSDynaTestHeader &h, const char *pszTitle)
{
    // Title words hold their characters as stored bytes.
    std::vector<uint8_t> title((size_t)(10 * pW->iWordSize), ' ');
    for (size_t i = 0; pszTitle[i] != 0 && i < title.size(); i++) title[i] = (uint8_t)pszTitle[i];
    pW->bytes.insert(pW->bytes.end(), title.begin(), title.end());
    for (int i = 10; i < 64; i++) pW->Int(h.w[i]);
}

LSDynaTestHeader LSDynaShellFixtureHeader(void)
{
    LSDynaTestHeader h;
    h.w[15] = 4;  // NDIM
    h.w[16] = 4;  // NUMNP
    h.w[20] = 1;  // IU
    h.w[31] = 1;  // NEL4
    h.w[32] = 1;  // NUMMAT4
    h.w[36] = 3;  // MAXINT
    return h;
}

void LSDynaWriteShellGeometry(LSDynaTestWriter *pW)
{
    LSDynaWriteShellGeometry(pW, LSDynaShellFixtureHeader(), "shell fixture");
}

void LSDynaWriteShellGeometry(LSDynaTestWriter *pW, const LSDynaTestHeader &h, const char *pszTitle)
{
    LSDynaWriteHeader(pW, h, pszTitle);
    pW->Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0});  // 4 nodes
    pW->Ints({1, 2, 3, 4, 1});                         // shell nodes, material
}

void LSDynaWriteShellState(LSDynaTestWriter *pW, double fTime)
{
    pW->Float(fTime);
    const double c[12] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    for (int i = 0; i < 12; i++) pW->Float(c[i] + (i % 3 == 0 ? fTime : 0.0));
}

bool LSDynaSaveFamilyWithBadThirdState(const std::string &path, double dBad, int iWordSize)
{
    LSDynaTestWriter w;
    w.iWordSize = iWordSize;
    LSDynaWriteShellGeometry(&w);
    LSDynaWriteShellState(&w, 0.0);
    LSDynaWriteShellState(&w, 0.001);
    w.Float(0.002);
    w.Floats({0, 0, 0, 1, 0, 0, 1, dBad, 0, 0, 1, 0});
    LSDynaWriteShellState(&w, 0.003);
    return w.Save(path);
}

bool LSDynaSaveFamilyWithBadStates(const std::string &path, int iStates,
                                   const std::vector<int> &bad)
{
    LSDynaTestWriter w;
    LSDynaWriteShellGeometry(&w);
    for (int k = 1; k <= iStates; k++) {
        if (std::find(bad.begin(), bad.end(), k) == bad.end()) {
            LSDynaWriteShellState(&w, 0.001 * (k - 1));
            continue;
        }
        w.Float(0.001 * (k - 1));
        w.Floats({0, 0, 0, 1, 0, 0, 1, NAN, 0, 0, 1, 0});
    }
    return w.Save(path);
}

int64_t LSDynaWriteFamilyFixture(const std::string &dir, bool bEndMarker)
{
    LSDynaTestWriter base, next;
    LSDynaWriteShellGeometry(&base);
    std::vector<double> inBase = {0.0, 0.001}, inNext = {0.002, 0.003};
    if (bEndMarker) {
        inNext.insert(inNext.begin(), inBase.begin(), inBase.end());
        inBase.clear();
    }
    for (double t : inBase) LSDynaWriteShellState(&base, t);
    base.Float(-999999.0);
    for (double t : inNext) LSDynaWriteShellState(&next, t);
    bool bOk = base.Save(dir + "/d3plot");
    for (const char *pszName : {"/d3plot01", "/d3plot00", "/d3plot1"})
        bOk = next.Save(dir + pszName) && bOk;
    return bOk ? base.Words() : -1;
}

bool LSDynaWriteStrainFamily(const std::string &dir, const std::vector<double> &times,
                             double dOuter, int iWordSize, bool bWhole)
{
    constexpr int kNV2D = 45, kGlobals = 500;
    LSDynaTestHeader h = LSDynaShellFixtureHeader();
    h.w[18] = kGlobals;  // NGLBV: a state larger than every member
    h.w[33] = kNV2D;
    h.w[43] = h.w[44] = 1000;  // stresses and plastic strain
    LSDynaTestWriter base, all;
    base.iWordSize = all.iWordSize = iWordSize;
    LSDynaWriteShellGeometry(&base, h, "strain fixture");
    // Written whole, the states follow the geometry in d3plot.
    if (!bWhole) base.Float(-999999.0);
    for (size_t k = 0; k < times.size(); k++) {
        all.Float(times[k]);
        all.Floats(std::vector<double>(kGlobals, 0.0));
        all.Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0});
        std::vector<double> w(kNV2D, 0.0);
        for (int i = 0; i < 21; i++) w[(size_t)i] = 100.0 * (double)k + i;  // stresses
        double s = times[k] == 0.0 ? 0.0 : (double)(k + 1);
        w[33] = 0.02 * s, w[34] = -0.01 * s, w[35] = 0.003 * s;
        w[39] = 0.02 * dOuter * s, w[40] = -0.01 * dOuter * s, w[41] = 0.003 * dOuter * s;
        all.Floats(w);
    }
    all.Float(-999999.0);
    if (bWhole) {
        // (A base file's end marker would send its states on to d3plot01.)
        base.bytes.insert(base.bytes.end(), all.bytes.begin(), all.bytes.end() - iWordSize);
        return base.Save(dir + "/d3plot");
    }
    // Members of one block, fewer words than a state's 558: the states run on.
    bool bOk = base.Save(dir + "/d3plot");
    const size_t iMember = (size_t)NK_DYNA_BLOCK_WORDS * (size_t)iWordSize;
    for (size_t at = 0, f = 1; at < all.bytes.size(); at += iMember, f++) {
        LSDynaTestWriter m;
        m.bytes.assign(all.bytes.begin() + (std::ptrdiff_t)at,
                       all.bytes.begin() +
                           (std::ptrdiff_t)std::min(all.bytes.size(), at + iMember));
        char szName[32];
        std::snprintf(szName, sizeof(szName), "/d3plot%02d", (int)f);
        bOk = m.Save(dir + szName) && bOk;
    }
    return bOk;
}

bool LSDynaWriteDeletionFamily(const std::string &dir, int iWordSize, int iStates,
                               int64_t iSplitWord)
{
    LSDynaTestHeader h = LSDynaShellFixtureHeader();
    h.w[36] = -10003;  // MAXINT 3 with deletion words per element (MDLOPT 2)
    LSDynaTestWriter base, states;
    base.iWordSize = states.iWordSize = iWordSize;
    LSDynaWriteShellGeometry(&base, h, "deletion fixture");
    base.Float(-999999.0);
    for (int k = 0; k < iStates; k++) {
        LSDynaWriteShellState(&states, 0.001 * k);
        states.Float(1.0);  // the shell is kept
    }
    const size_t iSplit = std::min(states.bytes.size(), (size_t)(iSplitWord * iWordSize));
    LSDynaTestWriter first = states, second = states;
    first.bytes.resize(iSplit);
    // A member that ends at a state's end is closed with the end marker.
    if (iSplitWord % 14 == 0 && iSplit < states.bytes.size()) first.Float(-999999.0);
    second.bytes.erase(second.bytes.begin(), second.bytes.begin() + (std::ptrdiff_t)iSplit);
    return base.Save(dir + "/d3plot") && first.Save(dir + "/d3plot01") &&
           second.Save(dir + "/d3plot02");
}

uint64_t NKTestLSDynaStateHash(const LSDynaStateData &d)
{
    uint64_t h = 1469598103934665603ULL;
    auto Add = [&h](const void *p, size_t n) {
        h = (h ^ std::hash<std::string_view>{}(std::string_view((const char *)p, n))) *
            1099511628211ULL;
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
