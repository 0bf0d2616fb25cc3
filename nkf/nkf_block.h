// nkf/nkf_block.h -- NKFBlock, the base of the 27 NKF block classes.
//
// A block object is made by the parser's factory (nkf_block_factory.cpp)
// for every block of a file. Its life has two passes: ParseBlock reads the
// header and skips the data during the parser's first pass, remembering
// where the data lies; LoadData later seeks back and reads the data when a
// user asks for it, and FreeData drops it again. The ASCII row blocks
// (nodes, elements, results) convert their rows as the parse counts them and
// their first load takes those (nkf_parsed_rows.h) instead of seeking back. Blocks are reference
// counted; the block list holds one reference per block. The base also
// holds the error reporting every block shares and the row readers the
// block classes use for their data, in either file form. A block reads,
// reports and finds the blocks it refers to only through the NKFReader it
// is made with (nkf_reader.h), never through the parser, so no block class
// depends on the parse or the factory. The block list is in
// nkf_block_list.h. The free functions below serve several block classes:
// the binary block colour, the framing of ASCII-only blocks met in a
// binary file, and the step lookups of step-dependent blocks. No Qt, no GL.
#pragma once

#include <cstdint>
#include <functional>

#include "core/nk_memory.h"
#include "core/nk_string.h"
#include "nkf/nkf_format.h"

class NKFReader;

// How the ASCII row reads treat a number that does not parse, parses to a
// value that is not finite (as a float), or is missing from its row. Binary
// rows are always taken as stored.
enum NKFNumberCheck {
    // As scanned: numbers in order up to the first that fails, which keeps
    // its value with the rest of the row (read word by word: 0); a value
    // beyond the float range gives infinity. Nothing is reported.
    NKF_NUMBERS_AS_READ,
    // Every number must be good; else the line error "Illegal number found
    // in data." or "Missing number in data." and the read fails. For the
    // geometry: node coordinates, normals, element connectivity.
    NKF_NUMBERS_STRICT,
    // Result values: a bad or missing value becomes the undefined value and
    // the read goes on, with one warning per read at the first of them. IDs
    // and positions, which place the values, stay strict, and so do integer
    // rows, which have no undefined value.
    NKF_NUMBERS_RESULTS,
    // Node coordinates: as NKF_NUMBERS_STRICT, but a word that names a
    // number beyond the finite floats ("inf", "-inf", "nan", "1e39") is
    // read as that number. The node block then refuses it by node, as it
    // does a non-finite number of a binary file.
    NKF_NUMBERS_COORDINATES
};

class NKFBlock {
public:
    NKFBlock(NKFReader *pReader, int iBlockID);
    virtual ~NKFBlock();
    NKFBlock(const NKFBlock &) = delete;
    NKFBlock &operator=(const NKFBlock &) = delete;

    // Checks that the blocks this one names by ID exist; the base has none.
    virtual bool ResolveReferences();
    // First pass: remember the data position, read the header, skip or
    // count the data, check the end-of-block marker; sets header parsed.
    virtual bool ParseBlock() = 0;
    // Second pass: seek back and read the data; sets data loaded.
    virtual bool LoadData() = 0;
    // Writes the block in the ASCII form through NKFReader::WriteText.
    virtual bool WriteBlock() = 0;
    virtual int GetNumItems() = 0;
    // Frees the loaded arrays and clears data loaded.
    virtual void FreeData() = 0;

    void AddRef() { m_iRefCount++; }
    // One reference less; below 1 the block deletes itself and 0 is
    // returned, else the new count.
    int Release();
    int GetRefCount() const { return m_iRefCount; }

    int GetType() const { return m_iBlockType; }
    NKString GetKeyword() const;
    int GetBlockID() const { return m_iBlockID; }
    bool IsHeaderParsed() const { return m_bHeaderParsed; }
    bool IsDataLoaded() const { return m_bDataLoaded; }
    NKFReader *GetReader() const { return m_pReader; }
    int64_t GetDataPosition() const { return m_iDataPosition; }

    // Stores the reader's stream position (and line number) as the data
    // position; SeekPosition moves the stream back there.
    bool GetPosition();
    bool SeekPosition();
    // ASCII: passes over the '%' lines (false at the end of the file, else
    // the first other line is pushed back). Binary: skips the header record.
    bool SkipHeaderDirectives();
    // True when iKnownSize <= iSize < 1025; else "Illegal header size found."
    bool CheckHeaderSize(int iSize, int iKnownSize);
    // Binary only: skips iDataSize bytes and requires the end-of-block
    // marker there; else "End of block marker not found at expected
    // position.".
    bool CheckEndOfBlock(int iDataSize);

    // Block errors: an empty title becomes "Block type : <keyword>. ID =
    // <id>" (ReportError) or "Block type : <keyword>" (ReportLineError,
    // which adds the line in the ASCII form). What a block reports after
    // the parse (loading its data, checking its references, building its
    // part) ends with one more line, "NKF file : <file name>".
    void ReportError(const NKString &title, const NKString &message);
    void ReportLineError(const NKString &title, const NKString &message);

    // The text between the first two double quotes ("" when none).
    static NKString ReadQuoted(const NKString &line);
    // The integer after the first '#' (0 when none).
    static int ReadReference(const NKString &line);

    // Data readers for LoadData. Every row is [ID] then its values; IDs are
    // read only when their array is given. Binary rows are read in bulk;
    // ASCII rows are one line each, their numbers treated as eCheck says.
    // They refuse with "Block not parsed" before ParseBlock and with "No
    // nodes in block. Cannot read block" for zero rows or zero values per
    // row. In the vector readers the first vector is a position: under
    // NKF_NUMBERS_RESULTS only what follows it is a result value.
    bool ReadIntRows(int32_t *piValues, int iPerRow, int iRows, int32_t *piIDs,
                     NKFNumberCheck eCheck = NKF_NUMBERS_AS_READ);
    bool ReadFloatRows(float *pfValues, int iPerRow, int iRows, int32_t *piIDs,
                       NKFNumberCheck eCheck = NKF_NUMBERS_AS_READ);
    bool ReadVec3Pairs(int32_t *piIDs, float *pfFirst, float *pfSecond, int iRows,
                       NKFNumberCheck eCheck = NKF_NUMBERS_AS_READ);
    bool ReadVec3AndFloat(int32_t *piIDs, float *pfVec3, float *pfValues, int iRows,
                          NKFNumberCheck eCheck = NKF_NUMBERS_AS_READ);
    // Rows of [ID] x y z scaled to unit length (zero gives (0, 0, 1)), each
    // component stored as component x 127 truncated.
    bool ReadPackedNormals(signed char *pcNormals, int iRows, int32_t *piIDs,
                           NKFNumberCheck eCheck = NKF_NUMBERS_AS_READ);
    // iCount integers: binary words, or ASCII words and ranges "a-b" over
    // the lines up to the next '*' or '%' line.
    bool ReadCommaSeparatedData(int32_t *piValues, int iCount);
    // Binary rows of an ID and three words, read a piece at a time into a
    // buffer the caches hold and taken apart from there: the IDs go to
    // piIDs, the values to pfValues (3 x iRows words). The large arrays are
    // written once each, and none larger than its own data.
    bool ReadIdTriples(float *pfValues, int32_t *piIDs, int iRows);
    // Reads iCount binary words straight into piWords, a piece of 64 Ki words
    // at a time, and hands each piece (its first word and count) to fnPiece
    // right after its read, while it is still in the caches, so that a
    // conversion costs no second pass over memory.
    bool ReadIntsInPieces(int32_t *piWords, int64_t iCount,
                          const std::function<void(int64_t, int64_t)> &fnPiece);

protected:
    // An array of iCount x iSize bytes for a load's rows (NKFree it; null
    // when either is 0 or memory runs out). Zero-filled in the ASCII form,
    // whose as-read rows may leave values untouched; uninitialised in the
    // binary form, where the read fills every byte or the load fails and
    // frees it, so that a large block is not written twice.
    void *AllocRowData(size_t iCount, size_t iSize) const;
    // Reads the header size and data size words that start every binary
    // header record, checks the header size against iKnownSize and keeps the
    // data size. The data size itself is checked where it is used: counts
    // against it before allocating (CheckDataBytes), and the end-of-block
    // marker after the data.
    bool ReadHeaderSizes(int iKnownSize, int32_t *piHeaderSize, int32_t *piDataSize);
    // Skips the header fields past the iKnownSize bytes a class reads; a
    // header running past the end of the file is a missing end marker.
    bool SkipHeaderRest(int iHeaderSize, int iKnownSize);
    // A header record of the size words and iCount int32 words (piWords),
    // iKnownSize bytes in all: ReadHeaderSizes, the words (a header that
    // ends first is a missing end marker), then SkipHeaderRest.
    bool ReadHeaderWords(int iKnownSize, int32_t *piWords, int iCount, int32_t *piDataSize);
    void ReportMissingEnd();
    // The block error "Error reading block data"; returns false.
    bool ReportReadFailure();
    // True when iBytes (what the header's counts need) fit the block's
    // data size; else the block error "Item count does not fit the data
    // size of the block.". Binary only; ASCII always passes.
    bool CheckDataBytes(int64_t iBytes);
    // The same for iCount items of iItemBytes each; a negative count is
    // reported alike.
    bool CheckItemBytes(int64_t iCount, int64_t iItemBytes);
    // ASCII: the next line of this block; null at the end of the file or at
    // the next block's '*' line, which is pushed back for the parser.
    const NKString *NextBlockLine();
    // ASCII: reads lines up to the next '*' line (pushed back) or the end.
    void SkipAsciiContent();
    // True once ParseBlock succeeded; else the block error pszMessage
    // ("Block not parsed", or "Block not parsed." for the step blocks).
    bool CheckParsed(const char *pszMessage = "Block not parsed");
    // The next word of an ASCII row as a number that must be good (see
    // NKFNumberCheck); else the line error and false.
    bool ScanCheckedInt(const char **ppCursor, int32_t *piValue);
    // With bNonFinite, a word naming a non-finite number is read as that
    // number (see NKF_NUMBERS_COORDINATES) instead of failing.
    bool ScanCheckedFloat(const char **ppCursor, float *pfValue, bool bNonFinite = false);
    // One warning naming the block and its file when any of n result
    // values is a NaN or minus infinity; the values stay as they are.
    void WarnNotNumbers(const float *pfValues, int64_t n);
    // The line error of a bad number: "Missing number in data." or "Illegal
    // number found in data.".
    void ReportBadNumber(bool bMissing);
    // Ends a LoadData: bOk sets data loaded, else what was read is freed.
    // Returns bOk.
    bool FinishLoad(bool bOk);
    // The ParseBlock of a block with a first pass per file form: remembers
    // the data position, runs fnAscii or fnBinary as the reader's form is
    // and sets header parsed when that succeeds.
    bool ParseByForm(const std::function<bool()> &fnAscii, const std::function<bool()> &fnBinary);
    // The LoadData of a block read in one go after its seek: true at once
    // when loaded, the block error pszNotParsed before the parse; else it
    // seeks back and runs fnRead, and FinishLoad takes what that answers.
    bool LoadAfterSeek(const std::function<bool()> &fnRead,
                       const char *pszNotParsed = "Block not parsed");
    // Reports the block error message and returns false: the failure of a
    // parse, a load, or the WriteBlock of a block type that has no ASCII
    // writer ("<class>::WriteBlock, not implemented yet").
    bool ReportFailure(const NKString &message);
    // Writes the block's first ASCII line: "<keyword> <block ID>".
    void WriteKeywordLine();
    // Starts writing a row block: it must be parsed and hold its rows (else
    // the block error pszNoData, "No nodes in block" and the like); writes
    // the keyword line and, when the rows carry IDs, "%WITH_ID".
    bool BeginRowWrite(bool bHasRows, bool bWithIDs, const char *pszNoData);

    int32_t m_iBlockID;
    bool m_bHeaderParsed;
    bool m_bDataLoaded;
    int32_t m_iBlockType;  // 0..26, set by the derived constructor
    NKFReader *m_pReader;  // not owned
    int64_t m_iDataPosition;
    int32_t m_iRefCount;
    int32_t m_iDataLine;  // ASCII line number at the data position
    int64_t m_iDataSize;  // binary data size from the header; -1 unknown

private:
    bool CheckRowArgs(int iPerRow, int iRows);
    // The one body of ReadIntRows and ReadFloatRows (T is int32_t or float).
    template <typename T>
    bool ReadRows(T *pValues, int iPerRow, int iRows, int32_t *piIDs, NKFNumberCheck eCheck);

    bool NextDataLine(const NKString **ppLine);
    // The ASCII rows of ReadVec3Pairs and ReadVec3AndFloat: [ID] x y z and
    // iRest more values (0, 1 or 3) into pfRest.
    bool ReadAsciiVec3Rows(int32_t *piIDs, float *pfVec3, float *pfRest, int iRest, int iRows,
                           NKFNumberCheck eCheck);
    bool ScanCheckedRow(const char *pszLine, int32_t *piID, float *pfFixed, int iFixed,
                        float *pfValues, int iValues, NKFNumberCheck eCheck, bool *pbWarned);
    bool ScanRowValue(const char **ppCursor, float *pfValue, NKFNumberCheck eCheck, bool *pbWarned);
    NKString GetBlockTitle() const;
    NKString WithFileName(const NKString &text) const;
};

// The binary form's block colour: a first component below 0 means none and
// leaves *ppfColor; else *ppfColor gets a new copy of the three. False, with
// the block error "Error Allocation memory", when the allocation fails.
bool NKFStoreBlockColor(NKFBlock *pBlock, const float afColor[3], float **ppfColor);
// Parses a binary block whose content is not read in that form (the ASCII
// only block types met in a binary file): checks the header size (at least
// the two size words), the data size against the bytes left, and the
// end-of-block marker behind the data. Errors are block errors.
bool NKFSkipBinaryFraming(NKFBlock *pBlock);

// Step-dependent blocks keep per entry the 1-based step number from which
// it applies. Index of the entry for the 0-based model step iStep, or -1.
int NKFFindStepIndex(int iStep, const int32_t *piStepNumbers, int iCount);
