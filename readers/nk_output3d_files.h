// readers/nk_output3d_files.h -- bounded reading of the binary and text
// files of an IES Output3D set, for nk_output3d.cpp. Nothing here prints a
// message: callers report with the file's name.
//
// Binary header (100 bytes; every word 4 bytes in the file's byte order):
//   byte  type  field
//   20    i32   iNumEvents
//   32    f32   fMinXVal   (result files: minimum of the value range)
//   36    f32   fMaxXVal   (result files: maximum of the value range)
//   40    f32   fMinYVal
//   44    f32   fMaxYVal
//   48    f32   fMinZVal
//   52    f32   fMaxZVal
//   56    i32   iFemType   always 38; decides the byte order
//   60    i32   iNumGeoUnits
//   64    i32   iNumElements
//   68    i32   iNumNodes
// Event directory (.k00, .e00, results, flows) from byte 100: per event
// {i32 start byte; i32 count}; count 0 = event not computed. Records:
//   .k00     {f32 id; f32 x, y, z}
//   .e00     {i32 id; i32 node id x 8}
//   results  {f32 x 8}  one per element corner
//   .y0n     {f32 unused x 2; f32 element number; f32 position[3]; f32 vector[3]}
// .elm from byte 100: iNumElements i32 units.
// Every read is checked against the file's size with 64-bit arithmetic, so
// a cut or inflated file is refused, never read past.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

constexpr int NK_O3D_HEADER_BYTES = 100;
constexpr int NK_O3D_FEM_TYPE = 38;

// The header words the reader uses.
struct NKOutput3DHeader {
    int iNumEvents = 0;
    float fBox[6] = {0, 0, 0, 0, 0, 0};  // x min, x max, y min, y max, z min, z max
    int iNumGeoUnits = 0;
    int iNumElements = 0;
    int iNumNodes = 0;
};

// One binary file of a set, opened for bounded reads.
class NKOutput3DFile {
public:
    NKOutput3DFile() = default;
    ~NKOutput3DFile();
    NKOutput3DFile(const NKOutput3DFile &) = delete;
    NKOutput3DFile &operator=(const NKOutput3DFile &) = delete;

    // Opens the file; false when it cannot be opened.
    bool Open(const std::string &path);
    // The byte order from the word at byte 56: 0 as stored, 1 swapped, -1
    // not an Output3D file (or too short).
    int DetectSwap();
    // Whether the word at byte 56 reads 38 in the given order.
    bool IsFemType(bool bSwap);
    void SetSwap(bool bSwap) { m_bSwap = bSwap; }
    // The header; false when the file is shorter than it.
    bool ReadHeader(NKOutput3DHeader *pHeader);
    // iCount words from byte iOffset, swapped as set; false when they do not
    // lie within the file.
    bool ReadWords(int64_t iOffset, void *pDst, int64_t iCount);
    // Whether iCount words from byte iOffset lie within the file; asked
    // before a count from the file sizes an array.
    bool Fits(int64_t iOffset, int64_t iCount) const;
    // The directory entry of an event for records of iRecordWords words:
    // false when the entry or its records do not lie within the file or a
    // value is negative.
    bool ReadEvent(int iEvent, int iRecordWords, int64_t *piStart, int *piCount);
    const std::string &Path() const { return m_Path; }

private:
    FILE *m_pFile = nullptr;
    int64_t m_iSize = 0;
    bool m_bSwap = false;
    std::string m_Path;
};

// The data fields of a text file: comment lines ("c...") skipped, data from
// the first other line containing "Data" on (every later line with
// bOnlyDataLines false, only lines beginning with "Data" with it true), each
// split at '|' and trimmed. False when the file cannot be opened.
bool NKReadOutput3DTextFile(const std::string &path, bool bOnlyDataLines,
                            std::vector<std::vector<std::string>> *pLines);
