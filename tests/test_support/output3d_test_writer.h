// tests/test_support/output3d_test_writer.h -- IES Output3D result sets for
// the reservoir reader tests and benchmark, built word by word in either
// byte order.
//
// The fixture "res" (NKOutput3DWriteFixture): three hexahedra in a row along
// x (ids 1, 2 in unit 1, id 3 in unit 3) over 16 nodes 101-116 stored with
// descending ids on x 0, 100, 200, 300, y 0, 100, z -50, 0; three events,
// the first not computed; results p01 (record r, corner c: r + c/10, range
// 0.05..0.35) and the water flow components w09, w10, w11 (all 1, 2, 3);
// water flow records y01 of elements 1 and 3; .std3, .ovl3 and .uni3 texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One binary file: the 25 header words, then per event its record words
// (an empty event is "not computed": start 0, count 0), or plain words after
// the header (.elm).
struct NKO3DBinary {
    std::vector<uint32_t> header;               // 25 words
    std::vector<std::vector<uint32_t>> events;  // record words per event
    int iRecordWords = 1;                       // words per record
    std::vector<uint32_t> plain;                // words after the header instead
};

uint32_t NKO3DFloatWord(float f);
// The header: words 1, 2 = 1, 2; event count; box; type 38; counts.
std::vector<uint32_t> NKO3DHeader(int iEvents, const float afBox[6], int iUnits, int iElements,
                                  int iNodes);
// The file's bytes in the byte order (big-endian when bBigEndian).
std::vector<uint8_t> NKO3DBytes(const NKO3DBinary &file, bool bBigEndian);

// A regular grid set: nx x ny x nz hexahedra, unit of element e = e % units
// + 1, iEvents computed events, one scalar result "p01". Written as
// <dir>/<name>.*; false when a file cannot be written.
bool NKOutput3DWriteGrid(const std::string &dir, const char *pszName, int nx, int ny, int nz,
                         int iUnits, int iEvents);

// The fixture's binary files by extension, for tests that damage them.
struct NKO3DFixture {
    std::vector<std::pair<std::string, NKO3DBinary>> binaries;
    std::vector<std::pair<std::string, std::string>> texts;
};
NKO3DFixture NKOutput3DFixture(void);
// The fixture with its first event computed as well (event 2's records
// copied into it), and node 116's z in event 2 set to fZ (a value that is
// not finite there refuses event 2).
NKO3DFixture NKOutput3DFixtureWithEvent2Z(float fZ);
// Writes the fixture as <dir>/res.*; false when a file cannot be written.
bool NKOutput3DWriteFixture(const std::string &dir, bool bBigEndian);
bool NKOutput3DWriteFiles(const std::string &dir, const NKO3DFixture &fixture, bool bBigEndian);
