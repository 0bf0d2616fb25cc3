// nkf/nkf_format.h -- what both forms of an NKF file share: the block
// keyword table, the binary block codes, the magic words, the end-of-block
// marker and the limits of the record framing.
//
// The parser (nkf_parser.cpp), the block classes and the export all take
// their constants from here, so the reader and the writer cannot drift
// apart. Reading itself lives in nkf_stream.cpp, nkf_reader.cpp and
// nkf_parser.cpp.
//
// Binary file header, 16 bytes (every value is 32-bit, no padding):
//
//   offset  size  meaning
//   0       4     int32 magic word 1 = 231272   (0x00038768); decides the
//                 byte order: read swapped it must still give 231272
//   4       4     int32 magic word 2 = -160871  (0xFFFD8B99)
//   8       4     int32 magic word 3 = 251271   (0x0003D587)
//   12      4     int32 format version = 1 (at most 1.0 is accepted)
//
// Binary block framing, repeated until the end of the file or a code of 0:
//
//   offset  size              meaning
//   0       4                 int32 block code = block type + 1001
//   4       4                 int32 block ID
//   8       4                 int32 header size in bytes, counting this word
//                             (first word of the header record)
//   12      4                 int32 data size in bytes after the header record
//   16      header size - 8   the block type's own header fields
//   8 + header size
//           data size         the block's data
//   ...     4                 int32 end-of-block marker = -999
//
// Where a block code is expected, one end-of-block marker is passed over,
// and the word 231272 starts a repeated file header (two files joined):
// its three remaining words are passed over too.
//
// Header records must be at least as large as the header a reader knows for
// the block type and smaller than 1025 bytes; surplus words at the end are
// skipped, so later writers may append fields. Codes 1028..1500 are legal
// but unknown blocks, skipped by their sizes; other codes are illegal.
// Text fields are 80 bytes, NUL-padded.
#pragma once

#include <cstdint>

// Magic words and version of the binary header.
const int32_t NKF_MAGIC_WORD1 = 231272;
const int32_t NKF_MAGIC_WORD2 = -160871;
const int32_t NKF_MAGIC_WORD3 = 251271;
// Magic word 1 as a reader of the other byte order sees it.
const int32_t NKF_MAGIC_WORD1_SWAPPED = 0x68870300;
const int32_t NKF_BINARY_VERSION = 1;
// Highest format version a reader accepts (both forms).
const float NKF_MAX_VERSION = 1.0f;
// Version text a writer puts after "*NKF-" in the ASCII form.
#define NKF_ASCII_VERSION_TEXT "1.00"
#define NKF_ASCII_HEADER_PREFIX "*NKF-"

// Word written after every binary block's data.
const int32_t NKF_END_OF_BLOCK = -999;

// Binary block codes.
const int32_t NKF_FIRST_BLOCK_CODE = 1001;
const int32_t NKF_LAST_KNOWN_BLOCK_CODE = 1027;
const int32_t NKF_LAST_LEGAL_BLOCK_CODE = 1500;

// Header records must be smaller than this many bytes.
const int32_t NKF_HEADER_SIZE_LIMIT = 1025;
// Size of the two leading words every header record starts with
// (header size, data size).
const int32_t NKF_HEADER_SIZES_BYTES = 8;
// Fixed text fields of binary records.
const int NKF_TEXT_FIELD_BYTES = 80;
// Bytes of the binary file header.
const int NKF_BINARY_HEADER_BYTES = 16;
// Bytes looked at to decide binary or ASCII.
const int NKF_FORM_PROBE_BYTES = 1024;

// Block types. The value is the row of the keyword table and the index of
// the block list; type + 1001 is the binary code.
enum NKFBlockType {
    NKF_NODES = 0,
    NKF_NORMALS = 1,
    NKF_COLORS = 2,
    NKF_MATERIALS = 3,
    NKF_DESCRIPTION = 4,
    NKF_INDEXEDFACESET = 5,
    NKF_ELEMENTS = 6,
    NKF_QUOLINGEOMETRY = 7,
    NKF_RESULTS = 8,
    NKF_QUOLINSCALAR = 9,
    NKF_QUOLINVECTOR = 10,
    NKF_QUOLINVISIBILITY = 11,
    NKF_TRANSFORMATIONS = 12,
    NKF_VIEWPOINTS = 13,
    NKF_QUOLINCOMMANDS = 14,
    NKF_2DPLOTSERIES = 15,
    NKF_PARTATTRIBUTES = 16,
    NKF_SETTINGS = 17,
    NKF_ITEMS = 18,
    NKF_TEXTURES = 19,
    NKF_USER = 20,
    NKF_INTERNALSTRING = 21,
    NKF_POSITIONRESULTS = 22,
    NKF_QUOLINPOSITIONSCALAR = 23,
    NKF_QUOLINPOSITIONVECTOR = 24,
    NKF_TRANSFORMATIONRESULT = 25,
    NKF_QUOLINTRANSFORMATION = 26,
    NKF_UNKNOWN = 27
};

// Number of block types including the unknown type 27.
const int NKF_NUM_BLOCK_TYPES = 28;
// Number of known block types (0..26).
const int NKF_NUM_KNOWN_BLOCK_TYPES = 27;
// What NKFBlockTypeFromCode answers for an illegal code.
const int NKF_ILLEGAL_BLOCK_TYPE = 500;

// One row of the keyword table.
struct NKFBlockKeywordEntry {
    int iType;
    const char *szKeyword;
};

// The 28 rows, indexed by type ("*UNKNOWN" last).
extern const NKFBlockKeywordEntry NKFBlockKeywordTable[NKF_NUM_BLOCK_TYPES];

// Block type of an exact (case-sensitive) keyword; 27 when not in the table.
int NKFBlockTypeFromKeyword(const char *pszKeyword);
// Keyword of a type; "*UNKNOWN" when the type is not in the table.
const char *NKFBlockKeyword(int iType);
// 0..26 for 1001..1027, 27 for 1028..1500, 500 (illegal) otherwise.
int NKFBlockTypeFromCode(int iCode);
// type + 1001.
int NKFBlockCodeFromType(int iType);
