// tests/test_support/lsdyna_test_writer.h -- LS-DYNA plot databases built
// word by word for the reader tests: 4 or 8-byte words, either byte order,
// integer or float coding of the control words.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct LSDynaTestWriter {
    int iWordSize = 4;
    bool bBigEndian = false;
    bool bFloatCoded = false;  // integer words stored as floats
    std::vector<uint8_t> bytes;

    void Int(int64_t v);
    void Float(double v);
    void Ints(const std::vector<int64_t> &v);
    void Floats(const std::vector<double> &v);
    int64_t Words() const { return (int64_t)bytes.size() / iWordSize; }
    bool Save(const std::string &path) const;
};

// The control words 0-63 of a header: title words 0-9 as text, the rest 0;
// set entries of w before writing with LSDynaWriteHeader.
struct LSDynaTestHeader {
    int64_t w[64] = {0};
    LSDynaTestHeader();
};
void LSDynaWriteHeader(LSDynaTestWriter *pW, const LSDynaTestHeader &h, const char *pszTitle);

// The fixture shell model: NDIM 3 (stored 4), NUMNP 4, IU 1, NEL4 1,
// NUMMAT4 1, MAXINT 3; a unit square shell 1 2 3 4 of material 1.
LSDynaTestHeader LSDynaShellFixtureHeader(void);
// Header and geometry of the fixture; with h, the square under that header.
void LSDynaWriteShellGeometry(LSDynaTestWriter *pW);
void LSDynaWriteShellGeometry(LSDynaTestWriter *pW, const LSDynaTestHeader &h,
                              const char *pszTitle);
// One fixture state: the time and the 12 current coordinates (the square
// moved by fTime along x).
void LSDynaWriteShellState(LSDynaTestWriter *pW, double fTime);
// The fixture with four states at 0, 0.001, 0.002 and 0.003 saved as
// path, in words of iWordSize bytes; the third state's node 3 has the y
// coordinate dBad (a coordinate that is not finite, for the state's
// refusal). False when the file cannot be written.
bool LSDynaSaveFamilyWithBadThirdState(const std::string &path, double dBad, int iWordSize = 4);
// The fixture with states at 0, 0.001, ... up to state iStates saved as
// path; the states (1-based) in bad have node 3's y coordinate NaN.
bool LSDynaSaveFamilyWithBadStates(const std::string &path, int iStates,
                                   const std::vector<int> &bad);
// A family in pszDir: d3plot with states 0 and 0.001 and the end marker
// (or, with bEndMarker, the end marker alone) and d3plot01 with the rest up to 0.003, plus
// d3plot00 and d3plot1, which are no members. Returns the words written to
// d3plot, or -1 when a file cannot be written.
int64_t LSDynaWriteFamilyFixture(const std::string &dir, bool bEndMarker);
// The unit square shell with strains (NV2D 45: 3 x 7 stresses, 12 strain
// words): state k has inner strains (0.02 s, -0.01 s, 0.003 s) with s =
// k + 1 (0 at time 0) and outer ones dOuter times as large, and 500 globals
// of zero, so that a state (558 words) is larger than any member: d3plot
// holds the geometry and the end marker, and the states with the end marker
// run on over members d3plot01, d3plot02, ... of one 512-word block each (with
// bWhole, they follow the geometry in d3plot instead, without the end
// marker), in words of
// iWordSize bytes. False when a file cannot be written.
bool LSDynaWriteStrainFamily(const std::string &dir, const std::vector<double> &times,
                             double dOuter = 2.0, int iWordSize = 4, bool bWhole = false);
// The shell fixture with element deletion (MAXINT -10003: MDLOPT 2, one
// deletion word a state, 1.0 for the shell kept), so 14 words a state, in
// words of iWordSize bytes: d3plot with the geometry and the end marker,
// then iStates states at times 0, 0.001, ... (node 1 at x = the time), their
// first iSplitWord words in d3plot01 (closed with the end marker where
// they end at a state's end) and the rest in d3plot02. False when a
// file cannot be written.
bool LSDynaWriteDeletionFamily(const std::string &dir, int iWordSize, int iStates,
                               int64_t iSplitWord);

struct LSDynaStateData;
// A hash of the words of a state as read: its time and every array, each
// array's bytes hashed whole by the standard library (whose loop, built
// optimised, takes a state of a megabyte in a fraction of the time a loop
// of ours over its bytes takes in the sanitised build), the hashes chained
// as FNV-1a chains bytes.
uint64_t NKTestLSDynaStateHash(const LSDynaStateData &d);
