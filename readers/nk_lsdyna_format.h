// readers/nk_lsdyna_format.h -- the file layer of the LS-DYNA binary plot
// database ("d3plot" family): format detection, the family's files and their
// order, the word stream across the family, the control words and the list
// of states. The geometry (nk_lsdyna_geometry.cpp), the state reader
// (nk_lsdyna_states.cpp) and the access functions (nk_lsdyna.h) build on it.
//
// Every count read from a file is checked against the words the family holds
// before anything is sized by it; sizes and offsets are 64-bit word counts.
//
// Layout of a base file (words of 4 or 8 bytes, 0-based word numbers):
//   0-9     title (40 characters; an 8-byte file's title is its 80 bytes)
//   10-63   control words: 14 VERSION, 15 NDIM, 16 NUMNP, 17 ICODE,
//           18 NGLBV, 19 IT, 20 IU, 21 IV, 22 IA, 23 NEL8, 24 NUMMAT8,
//           27 NV3D, 28 NEL2, 29 NUMMAT2, 30 NV1D, 31 NEL4, 32 NUMMAT4,
//           33 NV2D, 34 NEIPH, 35 NEIPS, 36 MAXINT, 37 NMSPH, 39 NARBS,
//           40 NELT, 41 NUMMATT, 42 NV3DT, 43-46 IOSHL(1-4), 47 IALEMAT,
//           50 NADAPT, 54 NPEFG, 55 NEL48, 56 IDTDT, 57 EXTRA
//   64..    EXTRA more control words when EXTRA > 0 (0 NEL20, 1 NT3D, 2 NEL27)
//   then    NDIM 5: NUMRBE, NUMMAT and NUMMAT material types;
//           NMSPH > 0: the SPH flag block (its first word is its length)
//   H       geometry: NUMNP x NDIM coordinates, NEL8 x 9 solid, NELT x 9
//           thick-shell, NEL2 x 6 beam and NEL4 x 5 shell words
//   H+G     NARBS words of user numbering, 2 x NADAPT + 2 x NMSPH more
//   states  time, NGLBV globals, node arrays, element arrays, deletion words
// A time of -999999.0 marks the end of the states.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

#include "core/nk_string.h"

// Format codes of NKLSDynaDetectFormat.
enum {
    NK_DYNA_INT4 = 0,
    NK_DYNA_FLOAT4 = 1,
    NK_DYNA_INT8 = 2,
    NK_DYNA_FLOAT8 = 3,
    NK_DYNA_NOT_DATABASE = 4
};

// Control word numbers (0-based) of the header.
enum {
    NK_DW_NDIM = 15,
    NK_DW_NUMNP = 16,
    NK_DW_NGLBV = 18,
    NK_DW_IT = 19,
    NK_DW_IU = 20,
    NK_DW_IV = 21,
    NK_DW_IA = 22,
    NK_DW_NEL8 = 23,
    NK_DW_NUMMAT8 = 24,
    NK_DW_NV3D = 27,
    NK_DW_NEL2 = 28,
    NK_DW_NUMMAT2 = 29,
    NK_DW_NV1D = 30,
    NK_DW_NEL4 = 31,
    NK_DW_NUMMAT4 = 32,
    NK_DW_NV2D = 33,
    NK_DW_NEIPH = 34,
    NK_DW_NEIPS = 35,
    NK_DW_MAXINT = 36,
    NK_DW_NMSPH = 37,
    NK_DW_NARBS = 39,
    NK_DW_NELT = 40,
    NK_DW_NUMMATT = 41,
    NK_DW_NV3DT = 42,
    NK_DW_IOSHL1 = 43,
    NK_DW_IOSHL2 = 44,
    NK_DW_IOSHL3 = 45,
    NK_DW_IOSHL4 = 46,
    NK_DW_IALEMAT = 47,
    NK_DW_NADAPT = 50,
    NK_DW_NPEFG = 54,
    NK_DW_NEL48 = 55,
    NK_DW_IDTDT = 56,
    NK_DW_EXTRA = 57,
    NK_DW_NELB = 59,
    NK_DW_COUNT = 64
};

constexpr float NK_DYNA_END_MARKER = -999999.0f;
// The solver writes its files in blocks of 512 words and pads a closed
// member with zeros to a whole number of them.
constexpr int64_t NK_DYNA_BLOCK_WORDS = 512;

// The control words a header read checks, by name, with each reader's checks:
// a count that may not be negative, and a size per element that may not pass
// 2^24 (which keeps every word position inside an int). A check is 0 (none)
// or the word's place in that reader's order; the message names the first
// failing word, counts before sizes.
struct LSDynaControlWord {
    int iWord;
    const char *pszName;
    int iPlotCount, iPlotSize;  // the plot database ("d3plot")
    int iThCount, iThSize;      // the time-history database ("d3thdt")
};
// clang-format off
constexpr LSDynaControlWord kLSDynaControlWords[] = {
    //  word            name        plot     time history
    {NK_DW_NDIM,     "NDIM",      0, 0,      0, 7},
    {NK_DW_NUMNP,    "NUMNP",     1, 0,      1, 0},
    {NK_DW_NGLBV,    "NGLBV",     2, 7,      2, 5},
    {NK_DW_NEL8,     "NEL8",      0, 0,      3, 0},
    {NK_DW_NUMMAT8,  "NUMMAT8",  15, 0,      4, 0},
    {NK_DW_NV3D,     "NV3D",      6, 1,      5, 1},
    {NK_DW_NEL2,     "NEL2",      3, 0,      6, 0},
    {NK_DW_NUMMAT2,  "NUMMAT2",  16, 0,      7, 0},
    {NK_DW_NV1D,     "NV1D",      7, 2,      8, 2},
    {NK_DW_NEL4,     "NEL4",      4, 0,      9, 0},
    {NK_DW_NUMMAT4,  "NUMMAT4",  17, 0,     10, 0},
    {NK_DW_NV2D,     "NV2D",      8, 3,     11, 3},
    {NK_DW_NEIPH,    "NEIPH",    11, 5,      0, 0},
    {NK_DW_NEIPS,    "NEIPS",    12, 6,     12, 6},
    {NK_DW_NMSPH,    "NMSPH",    13, 0,      0, 0},
    {NK_DW_NARBS,    "NARBS",    10, 0,     13, 0},
    {NK_DW_NELT,     "NELT",      5, 0,     14, 0},
    {NK_DW_NUMMATT,  "NUMMATT",  18, 0,     15, 0},
    {NK_DW_NV3DT,    "NV3DT",     9, 4,     16, 4},
    {NK_DW_NADAPT,   "NADAPT",   14, 0,      0, 0},
    {NK_DW_EXTRA,    "EXTRA",     0, 0,     17, 0},
    {NK_DW_NELB,     "NELB",      0, 0,     18, 0}};
// clang-format on

// The name of the first control word of piWords (NK_DW_COUNT words) that
// fails the checks of the plot reader (bTimeHistory false) or of the
// time-history reader; nullptr when all pass.
const char *NKLSDynaOutOfRangeWord(const int *piWords, bool bTimeHistory);

// One file of a family, in family order.
struct LSDynaFamilyFile {
    NKString szFileName;    // full path
    int64_t iFileSize = 0;  // bytes
    // Whole words in 4- and 8-byte words, kept with the size so that a
    // position in the family is found without a division per member.
    int64_t iWords4 = 0, iWords8 = 0;
    int iSuffixNumber = 0;  // numeric part of the suffix; 0 for none
    int iLetter1 = 0;       // letter part of the suffix ('a'..'z'), 0 for none
    int iLetter2 = 0;
    uint8_t bBaseFile = 0;  // starts a segment with its own header and geometry

    void SetSize(int64_t iBytes)
    {
        iFileSize = iBytes;
        iWords4 = iBytes / 4;
        iWords8 = iBytes / 8;
    }
    int64_t Words(int iWordSize) const { return iWordSize == 8 ? iWords8 : iWords4; }
    // True when the size is not a whole number of words: the member is damaged.
    bool PartWord(int iWordSize) const { return Words(iWordSize) * iWordSize != iFileSize; }
    // True when the size is a whole number of the writer's blocks.
    bool WholeBlocks(int iWordSize) const
    {
        return iFileSize % (NK_DYNA_BLOCK_WORDS * iWordSize) == 0;
    }
};

// The control words of one base file and what follows from them.
struct LSDynaHeader {
    char title[256] = {0};
    int w[NK_DW_COUNT] = {0};   // control words 10-63 (0-9 unused)
    int iExtra[3] = {0, 0, 0};  // EXTRA words 0-2: NEL20, NT3D, NEL27
    int NDIM = 3;               // 4 and 5 become 3
    int NUMRBE = 0, MATTYP = 0, MDLOPT = 0, ISTRN = 0, NUMMAT = 0;
    int MAXINT = 0;                // without the deletion code
    int IT = 0;                    // IT mod 10
    uint8_t bMassScaling = 0;      // IT of 10 or more: NUMNP words after the temperatures
    int64_t iHeaderWords = 0;      // H: where the geometry begins
    int64_t iMaterialTypesAt = 0;  // word of the first material type (NDIM 5)
    int iFileIndex = -1;
    NKString szUnsupported;        // a header word this reader cannot follow, "" when none
    NKString szStatesUnsupported;  // states that cannot be read, "" when they can

    int Get(int iWord) const { return w[iWord]; }
    int NUMNP() const { return w[NK_DW_NUMNP]; }
    int NEL8() const { return w[NK_DW_NEL8]; }
    int NELT() const { return w[NK_DW_NELT]; }
    int NEL2() const { return w[NK_DW_NEL2]; }
    int NEL4() const { return w[NK_DW_NEL4]; }
};

// One state of the family.
struct LSDynaStateInfo {
    NKString szFileName;  // the file in which the state begins
    float fTime = -1.0f;
    int64_t iHeaderWords = 0;  // H of its segment
    int64_t iOffset = 0;       // word offset in the file in which it begins
    int64_t iSize = 0;         // words
    int iSuffixNumber = 0;
    int iFileIndex = 0;
    int iBaseFileIndex = 0;
    uint8_t bFirstState = 0;
    int iGeometryIndex = 0;
    // The coordinate check, made when the state is first read: -1 not made
    // yet, 0 every coordinate finite, else the first node (1-based) with one
    // that is not.
    int64_t iBadNode = -1;
    // The member named when that check found every coordinate zero, else -1.
    int iZeroCoordinatesFile = -1;
};

// ---- Detection and the family ---------------------------------------------------

// The format code (0-4) of the file, with its word size and byte-swap flag.
int NKLSDynaDetectFormat(const char *pszFileName, int *piWordSize, bool *pbSwap);
// True when the detection finds a database; a ".DSY" name never is one.
bool NKLSDynaIsDatabaseFile(const char *pszFileName);
// The files of the family of pszFileName in family order; 0 when none. The
// list ends before the first empty member after the first file, with a
// warning naming it.
int NKLSDynaFindFamilyFiles(const char *pszFileName, std::vector<LSDynaFamilyFile> *pFiles,
                            bool bAllowLetterSuffix);
// True when pCandidate's name (without directory) belongs to the family of
// pszBaseName (without directory); fills its suffix fields and base flag. The
// file size is filled by the caller.
bool NKLSDynaIsFamilyMember(LSDynaFamilyFile *pCandidate, const char *pszCandidateName,
                            const char *pszBaseName, bool bAllowLetterSuffix);
// True when a must come after b.
bool NKLSDynaFileGt(const LSDynaFamilyFile &a, const LSDynaFamilyFile &b);
// True when next is the numbered member that comes directly after prev
// (the same letters, the next number).
bool NKLSDynaFollowsDirectly(const LSDynaFamilyFile &prev, const LSDynaFamilyFile &next);

// The title byte-swap switch of "swapdynatitle"; off at start-up.
void NKLSDynaSetTitleByteSwap(bool bOn);
bool NKLSDynaGetTitleByteSwap(void);

// ---- The word stream --------------------------------------------------------------

// Reads words across the family: a position past the end of one file goes on
// in the next. Words are byte-reversed first when the family needs it, then
// converted: integer words of a float file truncate toward zero, 8-byte
// integers keep their low 32 bits, doubles become floats.
class LSDynaStream {
public:
    LSDynaStream(const std::vector<LSDynaFamilyFile> *pFiles, int iFormat, bool bSwap);
    ~LSDynaStream();
    LSDynaStream(const LSDynaStream &) = delete;
    LSDynaStream &operator=(const LSDynaStream &) = delete;

    // Positions the stream at word iWord of file iFile (may lie in a later
    // file; each file holds its whole words, a trailing part word is left
    // out). False when the family ends before it.
    bool Seek(int iFile, int64_t iWord);
    // The number of words read (fewer at the end of the family).
    int64_t ReadFloats(float *pfOut, int64_t n);
    int64_t ReadInts(int *piOut, int64_t n);
    int64_t Skip(int64_t n);
    // Reads word iWord of member iFile (within its listed words) with one
    // read of that word's bytes alone, past the stream's buffer, through
    // the descriptor lent for the member (UseDescriptor), else the member's
    // stream (opened as a read opens it). False when it is not
    // there. The stream's position is then undefined: Seek before reading.
    bool ReadFloatAlone(int iFile, int64_t iWord, float *pfOut);
    int WordSize() const { return m_iWordSize; }
    // The member the stream reads in (where a short read came short).
    int CurrentFile() const { return m_iFile; }
    // Reads member iFile with pread through fd, a descriptor of it that its
    // owner holds open for as long as the stream reads (-1: none), instead
    // of opening it by its name. Any number of members may be lent so.
    void UseDescriptor(int iFile, int fd);

private:
    int64_t ReadRaw(unsigned char *pOut, int64_t n);  // n words
    bool OpenCurrent();
    int LentDescriptor(int iFile) const;

    const std::vector<LSDynaFamilyFile> *m_pFiles;
    int m_iFormat;
    bool m_bSwap;
    int m_iWordSize;
    int m_iFile = 0;
    int64_t m_iByte = 0;
    FILE *m_pFile = nullptr;
    int m_iOpenFile = -1;
    std::vector<unsigned char> m_Buffer;
    std::vector<std::pair<int, int>> m_Lent;  // (member, descriptor) of UseDescriptor
};

// What the time word of a state holds: a time, the end marker, or nothing
// (the family ends before it).
enum class LSDynaTimeWord { Missing, EndMarker, Time };

// Reads the time words of the states while a family is scanned: one word
// at a time at known places, file by file. A member is opened once as a
// descriptor and read with pread through a cached block, so a scan costs
// a member an open, a read per block it looks into and a close, where a
// stream's set-up would cost it twice that.
class LSDynaTimeReader {
public:
    LSDynaTimeReader(const std::vector<LSDynaFamilyFile> *pFiles, int iFormat, bool bSwap);
    ~LSDynaTimeReader();
    LSDynaTimeReader(const LSDynaTimeReader &) = delete;
    LSDynaTimeReader &operator=(const LSDynaTimeReader &) = delete;

    // The time word at word iWord of family file iFile (a word past its
    // end is Missing: a state begins in the file that holds its time).
    LSDynaTimeWord Read(int iFile, int64_t iWord, float *pfTime);
    // True when file iFile holds words after word iWord that are no padding:
    // more words than fill its 512-word block, or a word that is not zero,
    // as far as the block read for that word shows, and, for a file that is
    // not whole blocks (its writer does not pad), its last word. Reads at
    // most that word, through the descriptor that read word iWord.
    bool NotZeroAfter(int iFile, int64_t iWord);
    // The word after the last word of file iFile that is not zero (0 when
    // every word is zero), read back from its end in pieces through the
    // same descriptor: a zero time word asks it whether the zeros run on to
    // the file's end.
    int64_t ZerosFrom(int iFile);
    // True when file iFile ends with the end marker and its padding: read
    // back from its last word, no further than its last 512-word block
    // (the writer's padding is shorter).
    bool EndsWithMarker(int iFile);
    // Forgets the block read last, so that the next word is read afresh.
    void DropBlock() { m_iBlockAt = -1; }
    // The descriptor of file iFile when it is the one open, else -1.
    int OpenDescriptor(int iFile) const { return m_iOpenFile == iFile ? m_fd : -1; }

private:
    enum { kBlockBytes = 512, kPieceBytes = 65536 };
    bool Open(int iFile);
    bool ReadAt(int64_t iByte, unsigned char *p, int64_t iBytes) const;
    const std::vector<LSDynaFamilyFile> *m_pFiles;
    bool m_bSwap;
    int m_iWordSize;
    int m_fd = -1;
    int m_iOpenFile = -1;
    int64_t m_iBlockAt = -1;  // byte offset of the cached block, -1 for none
    int64_t m_iBlockBytes = 0;
    unsigned char m_Block[kBlockBytes];
    // The pieces read back from a file's end; allocated once, not cleared.
    std::unique_ptr<unsigned char[]> m_Piece;
};

// Word count of family file i (its size over the word size).
int64_t NKLSDynaFileWords(const std::vector<LSDynaFamilyFile> &files, int i, int iWordSize);

// The warning of a family cut inside a state (or where its next state or
// end marker should begin): the member it ends in, the state it ends inside
// (iWholeStates + 1) and the last whole state's time, which stays with
// every state before it.
void NKLSDynaWarnEndInsideState(const char *pszMember, int iWholeStates, float fLastTime);
// The warning of a member whose size is not a whole number of words: it is
// damaged, its last bytes are no word of the family, and the family's
// states end with state iStates at fLastTime (or none is whole).
void NKLSDynaWarnPartWord(const char *pszMember, int iStates, float fLastTime);
// The message of any other damage: "LS-DYNA family file <member> <found>, "
// and where the states end; an error (the open fails) when bError is set.
// With pszOther, two members whose words disagree: "LS-DYNA family files
// <member> and <other> <found>, ".
void NKLSDynaWarnFound(const char *pszMember, const char *pszFound, int iStates, float fLastTime,
                       bool bError, const char *pszOther = nullptr);
// The warning of a family whose next member, pszMember, is missing: the
// states end there. Nothing for an empty member, whose own warning the
// family's listing gave as it ended the list there
// (NKLSDynaFindFamilyFiles).
void NKLSDynaWarnMissingMember(const char *pszMember);

// ---- Header, sizes and the scan -----------------------------------------------------

// Reads the header of family file iFile of the open family (from the header
// cache when it was read before). False on a read or format error.
bool NKLSDynaReadHeader(int iFile, LSDynaHeader *pHeader);
// Geometry words G of a segment (coordinates and connectivity).
int64_t NKLSDynaGeometryWords(const LSDynaHeader &h);
// Word offset at which the states of a segment begin (in its base file,
// possibly beyond it); -1 when the family holds fewer words.
int64_t NKLSDynaGeometrySize(const LSDynaHeader &h, int64_t iFamilyWords);
// Words of one state.
int64_t NKLSDynaStateSize(const LSDynaHeader &h);
// Reads the user numbering (NARBS > 0) of a segment: node, solid, beam,
// shell, thick-shell IDs and the material IDs. False on a short read.
struct LSDynaUserIds {
    std::vector<int> nodes, solids, beams, shells, thickShells, materials;
};
bool NKLSDynaReadArbitraryNumbering(const LSDynaHeader &h, int iBaseFile, LSDynaUserIds *pIds);
// The same over any family (the time-history database keeps its own).
bool NKLSDynaReadArbitraryNumberingFrom(const std::vector<LSDynaFamilyFile> &files, int iFormat,
                                        bool bSwap, const LSDynaHeader &h, int iBaseFile,
                                        LSDynaUserIds *pIds);
// The ten title words of a base file as text (see the scan for the codings).
bool NKLSDynaReadTitle(const LSDynaFamilyFile &file, int iFormat, int iWordSize, bool bSwap,
                       char *pszTitle);

// Finds the family of pszFileName, reads its headers and lists its states in
// the control record. False when no family or header was found.
bool NKLSDynaScanFiles(const char *pszFileName);

// ---- The global control record ----------------------------------------------------

struct LSDynaControlData {
    char title[256] = {0};
    bool bSwap = false;
    uint8_t bGeometryOnly = 0;
    int iFormat = NK_DYNA_NOT_DATABASE;
    int iWordSize = 4;
    NKString szBaseFile;
    int64_t iHeaderWords = 0;
    int iNumGeometries = 0;
    std::vector<LSDynaStateInfo> states;
    std::vector<LSDynaFamilyFile> files;
    std::vector<LSDynaHeader> headerCache;
    // Per file, where its header lies in headerCache (-1 or past the end:
    // not read yet): a state's read finds its segment's header directly.
    std::vector<int> headerOfFile;
    int NEIPH = 0, NEIPS = 0;
};
extern LSDynaControlData g_LSDynacontrolData;

// Clears the scan's lists and the header cache.
void NKLSDynaClearScan(void);
