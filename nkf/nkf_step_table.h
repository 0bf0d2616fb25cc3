// nkf/nkf_step_table.h -- what the step-dependent NKF blocks share: how
// "%STEP" lines are counted, the per-step name / time / number table, the
// ASCII line and ID-list helpers, NKFSteppedBlock, the base of every block
// whose data is a list of steps (name, step count, step table), and
// NKFStepListBlock, the common base of the blocks whose steps each list
// block IDs (*QUOLINSCALAR, *QUOLINVECTOR, *QUOLINVISIBILITY,
// *QUOLINPOSITIONSCALAR, *QUOLINPOSITIONVECTOR, *QUOLINTRANSFORMATION).
//
// Every step-dependent block reads its file twice: ParseBlock counts steps
// and items, LoadData sizes its arrays from those counts and reads again.
// Both passes use the same NKFStepCounter, so LoadData can never move past
// the steps ParseBlock counted. The derived classes (nkf_step_lists.h,
// nkf_position_results.h, nkf_transformation_results.h) add their own
// directives and binary header fields; the transformation, viewpoint and
// command blocks derive from NKFSteppedBlock, and the plot-series block
// uses the counter only.
//
// Binary step record of an ID-list block (after the block's header record):
//   offset  size   meaning
//   0       4      int32 step number (1-based first model step it applies to)
//   4       80     char[80] step name
//   84      4      float32 step time
//   88      4      int32 ID count n
//   92      4      int32 not used (only when the block's extra-word flag is set)
//   ...     n x 4  int32 block IDs
#pragma once

#include <cstdint>
#include <vector>

#include "core/nk_string.h"
#include "nkf/nkf_block.h"

// Most steps (or series) an ASCII block may open.
const int NKF_MAX_STEPS = 10000;
// Most IDs one step of an ID list may name. Ranges such as "1-2000000000"
// cost nothing in the file; beyond this the file is refused instead of
// allocating gigabytes.
const int NKF_MAX_IDS_PER_STEP = 1 << 24;
// Most IDs all steps of one ID list may name together: many steps of large
// ranges would otherwise ask for many times the per-step limit.
const int NKF_MAX_IDS_PER_BLOCK = 1 << 25;
// Bytes of a binary step record before its counts: number, name, time.
const int NKF_STEP_RECORD_HEAD_BYTES = 4 + 80 + 4;

// How "%STEP" lines open steps.
enum NKFStepRule {
    // A "%STEP" line opens a new step only when value lines were read since
    // the step began; consecutive "%STEP" lines merge into one step that
    // keeps the last number.
    NKF_STEPS_MERGE_EMPTY,
    // Values before the first "%STEP" form a first step of their own; every
    // "%STEP" line after the first value, and every one before it except
    // the first, opens a new step.
    NKF_STEPS_EACH_LINE,
    // A "%STEP" (or "%SERIES") line opens a new step once any value line
    // was read; those before the first value all label the first step.
    NKF_STEPS_AFTER_FIRST_VALUE
};

// Counts steps over the lines of a block; the first step exists from the
// start. ParseBlock and LoadData run one each over the same lines.
class NKFStepCounter {
public:
    explicit NKFStepCounter(NKFStepRule eRule);
    // A "%STEP" line: true when it opens a new step (the current index moves
    // on), false when it labels the current step.
    bool OnStepLine();
    // A value line of the current step.
    void OnValueLine();
    // Index of the step values now go to; the step count is this + 1.
    int GetCurrent() const { return m_iCurrent; }
    int GetNumSteps() const { return m_iCurrent + 1; }
    // True once any value line was seen.
    bool HasValues() const { return m_bAnyValue; }

private:
    NKFStepRule m_eRule;
    int m_iCurrent;
    bool m_bValueSinceStep;
    bool m_bAnyValue;
    bool m_bAnyStep;
};

// What a line did to the steps of a load pass (NKFStepTable::ApplyDirective).
enum NKFStepLine {
    NKF_STEP_OTHER,     // not "%STEP", "%STEPNAME" or "%STEPTIME"
    NKF_STEP_LABELLED,  // named, timed or numbered the current step
    NKF_STEP_OPENED,    // a "%STEP" line opened a new step and numbered it
    NKF_STEP_PAST_END   // a "%STEP" line moved past the steps the parse counted
};

// Name, time and number of every step of a loaded block. Every step starts
// with an empty name, time 0 and number index + 1 (the first step has number 1).
class NKFStepTable {
public:
    NKFStepTable();
    ~NKFStepTable();
    NKFStepTable(const NKFStepTable &) = delete;
    NKFStepTable &operator=(const NKFStepTable &) = delete;

    // Frees what was held and makes iNumSteps entries; false when memory
    // runs out (then the table is empty). 0 steps gives an empty table.
    bool Allocate(int iNumSteps);
    void Free();

    int GetNumSteps() const { return m_iNumSteps; }
    // Out-of-range indices give "", 0 and -1.
    NKString GetName(int i) const;
    float GetTime(int i) const;
    int GetNumber(int i) const;
    // The numbers in step order (null when empty), for NKFFindStepIndex.
    const int32_t *GetNumbers() const { return m_piNumbers; }
    // Setters ignore indices out of range.
    void SetName(int i, const NKString &name);
    void SetTime(int i, float fTime);
    void SetNumber(int i, int iNumber);
    // Reads number, 80-byte name and time of a binary step record into
    // step i; false when the file ends.
    bool ReadRecordHead(NKFReader *pReader, int i);
    // Applies the step directive of an ASCII load line (word is its
    // directive word) through pCounter: "%STEP" moves the counter and
    // numbers the step it lands on, "%STEPNAME" and "%STEPTIME" label the
    // current step. A load stops at NKF_STEP_PAST_END (iNumSteps is what
    // the parse counted), as the file changed since the first pass.
    NKFStepLine ApplyDirective(const NKString &word, const NKString &line, NKFStepCounter *pCounter,
                               int iNumSteps);

private:
    int m_iNumSteps;
    NKString *m_pNames;    // owned, m_iNumSteps entries
    float *m_pfTimes;      // owned
    int32_t *m_piNumbers;  // owned
};

// The base of the blocks whose data is a list of steps (the ID lists, the
// transformation, viewpoint and command blocks): their name, the step count
// the parse found and the table of step names, times and numbers the load
// fills.
class NKFSteppedBlock : public NKFBlock {
public:
    int GetNumItems() override { return m_iNumSteps; }

    const NKString &GetName() const { return m_Name; }
    int GetNumSteps() const { return m_iNumSteps; }
    NKString GetStepName(int i) const { return m_Steps.GetName(i); }
    float GetStepTime(int i) const { return m_Steps.GetTime(i); }
    int GetStepNumber(int i) const { return m_Steps.GetNumber(i); }
    const int32_t *GetStepNumbers() const { return m_Steps.GetNumbers(); }

protected:
    NKFSteppedBlock(NKFReader *pReader, int iBlockID)
        : NKFBlock(pReader, iBlockID), m_Name(""), m_iNumSteps(0)
    {}
    // A binary header of the size words, the 80-byte name and iFields int32
    // fields into piFields, the header's rest (past iKnownBytes) skipped. The
    // name is kept once all of it was read; a header that ends early is a
    // missing end marker.
    bool ReadNamedHeader(int iKnownBytes, int32_t *piFields, int iFields, int32_t *piDataSize);

    NKString m_Name;
    int32_t m_iNumSteps;
    NKFStepTable m_Steps;
};

// Entry i of a first pass's per-step count table, which grows as the steps
// come (new entries count 0): a block of few steps sizes nothing by the
// step limit.
template <typename T>
T &NKFGrowCount(std::vector<T> *pCounts, size_t i)
{
    if (i >= pCounts->size()) pCounts->resize(i + 1, 0);
    return (*pCounts)[i];
}

// Kinds of the lines of an ASCII block body.
enum NKFLineKind {
    NKF_LINE_END,        // end of file, or the next block's line (pushed back)
    NKF_LINE_DIRECTIVE,  // first character '%'
    NKF_LINE_VALUE       // anything else
};

// Reads the next significant line of the block into *pLine.
NKFLineKind NKFNextBodyLine(NKFReader *pReader, NKString *pLine);
// The directive's own word: the first word of the line, cut at a '#'.
NKString NKFDirectiveWord(const NKString &line);
// The second word of the line as an integer / a float (0 when missing).
int NKFDirectiveInt(const NKString &line);
float NKFDirectiveFloat(const NKString &line);
// The highest model step a file may give (its step numbers are 1-based).
const int NKF_MAX_STEP_NUMBER = 1000000;
// The error text of a "%STEP" line whose number names no model step (below
// 1 or above NKF_MAX_STEP_NUMBER); empty when the number fits or the line
// gives none.
NKString NKFStepNumberError(const NKString &line);
// A "%STEP" line of a first pass: its number must name a model step, and a
// step the line opens (pCounter) must stay within NKF_MAX_STEPS; else the
// line error of pBlock (the number's text, or pszTooMany) and false.
bool NKFCountStepLine(NKFBlock *pBlock, const NKString &line, NKFStepCounter *pCounter,
                      const char *pszTooMany);
// Number of IDs an ASCII ID line lists: each word counts 1, a range a-b
// (a '-' after the word's first character) counts b - a + 1, or 0 when b
// is below a.
int64_t NKFCountIDs(const NKString &line);
// Stores the IDs of the line from piDest[*piStored] on; false, storing
// nothing more, when they would pass iRoom entries.
bool NKFStoreIDs(const NKString &line, int32_t *piDest, int iRoom, int *piStored);
// An 80-byte text field (blanks trimmed when bTrim); false, leaving *pText,
// when the file ends. (The reader's end flag stays set once any read
// failed, so the readers here go by each read's own answer.)
bool NKFReadText80(NKFReader *pReader, NKString *pText, bool bTrim);

// A block whose steps each list block IDs of one other block type.
class NKFStepListBlock : public NKFSteppedBlock {
public:
    ~NKFStepListBlock() override;

    // "Block not parsed." before ParseBlock; true while not loaded; else
    // every listed ID must name a block of the referenced type.
    bool ResolveReferences() override;
    bool ParseBlock() override;
    bool LoadData() override;
    // Always fails with "<class>::WriteBlock, not implemented yet".
    bool WriteBlock() override;
    // Frees the IDs, names, times and numbers; the per-step counts stay.
    void FreeData() override;

    // Number of IDs listed for the 0-based model step (looked up by
    // NKFFindStepIndex over the step numbers); -1 when no step applies or
    // the data is not loaded.
    int GetNumResults(int iStep) const;
    // Its i-th ID; -1 when no step applies or i is out of range.
    int GetResultID(int iStep, int i) const;

    const NKString &GetDescription() const { return m_Description; }
    int GetDescriptionBlockID() const { return m_iDescriptionBlockID; }
    // IDs of step index i and their count (null / 0 out of range or empty).
    const int32_t *GetStepIDs(int i) const;
    int GetStepIDCount(int i) const;
    // True when every binary step record carries one more int32.
    bool HasExtraWord() const { return m_bExtraWord != 0; }

protected:
    NKFStepListBlock(NKFReader *pReader, int iBlockID, int iType, NKFStepRule eRule);

    // The class name used in the WriteBlock message.
    virtual const char *ClassName() const = 0;
    // The block type the listed IDs name, and the message start for a
    // missing one ("Results block (*RESULTS) with ID = ").
    virtual int ReferencedType() const = 0;
    virtual const char *MissingReferenceText() const = 0;
    // Header bytes a reader knows at least, and the reading of the header
    // fields after the two size words; *piKnownBytes gets the bytes read
    // (size words included). False when the file ends.
    virtual int MinHeaderBytes() const { return 92; }
    virtual bool ReadHeaderFields(int iHeaderSize, int *piKnownBytes);
    // The header fields most lists have: the 80-byte name and the step count
    // (92 bytes with the size words); in a header of at least iExtendedBytes
    // (0: never) the words up to that size follow, the last of them the
    // extra-word flag and the others unused.
    bool ReadNameAndSteps(int iHeaderSize, int iExtendedBytes, int *piKnownBytes);
    // A directive the base does not know: 1 handled, 0 unknown, -1 failed
    // (reported).
    virtual int ParseOwnDirective(const NKString &word, const NKString &line);
    // Reports an unknown directive; the pass fails. The default is the
    // line error "Illegal directive found.".
    virtual void ReportUnknownDirective();
    virtual bool AcceptsDescriptionReference() const { return true; }
    virtual const char *TooManyStepsText() const { return "Too many steps in Geometry block"; }
    // A warning with the line information of ReportLineError.
    void ReportLineWarning(const NKString &message);

    NKString m_Description;
    int32_t m_iDescriptionBlockID;
    uint8_t m_bExtraWord;

private:
    bool ParseAscii();
    bool ParseBinary();
    bool ParseDirective(const NKString &line, NKFStepCounter *pCounter);
    bool AllocateSteps();
    bool LoadAscii();
    bool LoadBinary();
    bool LoadBinaryStep(int i, int64_t *piBytesLeft);

    NKFStepRule m_eRule;
    int32_t **m_ppiStepIDs;   // owned; one owned array per step (null when empty)
    int32_t *m_piIDsPerStep;  // owned; counted by ParseBlock (ASCII) or LoadData (binary)
};
