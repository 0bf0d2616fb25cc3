// nkf/nkf_geometry_block_parse.cpp -- reading the *QUOLINGEOMETRY block:
// the first pass (ASCII: count the steps and the IDs of each list; binary:
// the header record, the data skipped) and LoadData, which reads the step
// entries with their names, times, numbers, part attributes and ID lists.
// Layout of the binary form in nkf_geometry_block.h; the queries and the
// part building are in nkf_geometry_block.cpp; the step counter and the ID
// word helpers are nkf_step_table.cpp's.
//
// Every count is checked before anything is sized by it: steps against
// NKF_MAX_STEPS (and, in the binary form, against the data size), the IDs of
// a list against NKF_MAX_IDS_PER_STEP and all IDs of the block against
// NKF_MAX_IDS_PER_BLOCK, and binary counts against the bytes left in the
// block's data.
#include <cstring>
#include <new>
#include <vector>

#include "core/nk_memory.h"
#include "nkf/nkf_geometry_block.h"
#include "nkf/nkf_reader.h"
#include "nkf/nkf_step_table.h"

namespace {

// The two ID lists of an entry, in part order.
enum { LIST_FACE_SETS = 0, LIST_ELEMENTS = 1 };

// Header bytes every binary header holds; the two flag words may follow.
const int HEADER_KNOWN_BYTES = 92;
// A step record of the older layout: number, name, time, element count.
const int64_t OLD_STEP_HEAD_BYTES = NKF_STEP_RECORD_HEAD_BYTES + 4;
// The words of the newer layout after the element count: face-set count,
// marker and part attributes ID.
const int64_t NEW_STEP_WORD_BYTES = 12;

// The list a directive word selects, or -1 for any other word.
int ListOfWord(const NKString &word)
{
    if (word == "%INDEXEDFACESET") return LIST_FACE_SETS;
    if (word == "%ELEMENTS") return LIST_ELEMENTS;
    return -1;
}

}  // namespace

bool NKFQuolinGeometryBlock::ParseBlock()
{
    return ParseByForm([this] { return ParseAscii(); }, [this] { return ParseBinary(); });
}

// ---------------------------------------------------------------------------
// ASCII first pass

// Counts the IDs of every list of every step, two counts per step (face
// sets, elements), the table growing with the steps.
bool NKFQuolinGeometryBlock::ParseAscii()
{
    std::vector<int64_t> counts;
    NKFStepCounter counter(NKF_STEPS_AFTER_FIRST_VALUE);
    int iList = LIST_FACE_SETS;
    int64_t iTotal = 0;
    bool bOk = true;
    NKString line;
    for (NKFLineKind eKind; bOk && (eKind = NKFNextBodyLine(m_pReader, &line)) != NKF_LINE_END;) {
        if (eKind == NKF_LINE_DIRECTIVE) {
            bOk = ParseAsciiDirective(line, &counter, &iList);
            continue;
        }
        counter.OnValueLine();
        size_t iEntry = (size_t)counter.GetCurrent() * 2 + (size_t)iList;
        bOk = CountAsciiIDs(line, &NKFGrowCount(&counts, iEntry), &iTotal);
    }
    if (!bOk) return false;
    counts.resize((size_t)counter.GetNumSteps() * 2, 0);
    return StoreParseCounts(counts.data(), counter.GetNumSteps());
}

// One '%' line of the first pass. A "%STEP" line that would open more than
// NKF_MAX_STEPS steps fails the parse; unknown words are only warned about.
bool NKFQuolinGeometryBlock::ParseAsciiDirective(const NKString &line, NKFStepCounter *pCounter,
                                                 int *piList)
{
    NKString word = NKFDirectiveWord(line);
    if (ListOfWord(word) >= 0) {
        *piList = ListOfWord(word);
    } else if (word == "%NAME") {
        m_Name = ReadQuoted(line);
    } else if (word == "%DESCRIPTION") {
        if (line.FindChar('#', 0, true) >= 0)
            m_iDescriptionBlockID = ReadReference(line);
        else
            m_Description = ReadQuoted(line);
    } else if (word == "%STEP") {
        if (!NKFCountStepLine(this, line, pCounter, "Too many steps in Geometry block"))
            return false;
    } else if (word != "%STEPNAME" && word != "%STEPTIME") {
        m_pReader->ReportWarning(NKString(""),
                                 NKString("Unknown Identifier found in Indexed Face Set block."));
    }
    return true;
}

// Adds the IDs of a reference line to its list's count and to the block's
// total; a range such as 1-2000000000 costs nothing in the file, so both
// are capped before LoadData sizes anything by them.
bool NKFQuolinGeometryBlock::CountAsciiIDs(const NKString &line, int64_t *piCount, int64_t *piTotal)
{
    int64_t iLineIDs = NKFCountIDs(line);
    *piCount += iLineIDs;
    *piTotal += iLineIDs;
    if (*piCount > NKF_MAX_IDS_PER_STEP) {
        ReportLineError(NKString(""), NKString("Too many IDs in step."));
        return false;
    }
    if (*piTotal > NKF_MAX_IDS_PER_BLOCK) {
        ReportLineError(NKString(""), NKString("Too many IDs in block."));
        return false;
    }
    return true;
}

// Keeps the per-step counts of the first pass; part attributes start at -1
// (the ASCII form has no directive for them).
bool NKFQuolinGeometryBlock::StoreParseCounts(const int64_t *piCounts, int iNumSteps)
{
    NKFree(m_piNumFaceSets);
    NKFree(m_piNumElements);
    NKFree(m_piPartAttributes);
    m_iNumSteps = 0;
    m_piNumFaceSets = (int32_t *)NKCalloc((size_t)iNumSteps, sizeof(int32_t));
    m_piNumElements = (int32_t *)NKCalloc((size_t)iNumSteps, sizeof(int32_t));
    m_piPartAttributes = (int32_t *)NKCalloc((size_t)iNumSteps, sizeof(int32_t));
    if (m_piNumFaceSets == nullptr || m_piNumElements == nullptr || m_piPartAttributes == nullptr)
        return ReportFailure("Out of memory");
    m_iNumSteps = iNumSteps;
    for (int i = 0; i < iNumSteps; i++) {
        m_piNumFaceSets[i] = (int32_t)piCounts[i * 2 + LIST_FACE_SETS];
        m_piNumElements[i] = (int32_t)piCounts[i * 2 + LIST_ELEMENTS];
        m_piPartAttributes[i] = -1;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Binary first pass

// Reads the header record; the flag words are read only where the header
// size covers them whole, and the rest of a longer header is skipped. Every
// step record holds at least the older layout's head, which bounds the step
// count by the data size.
bool NKFQuolinGeometryBlock::ParseBinary()
{
    int32_t iHeaderSize = 0, iDataSize = 0, iNumSteps = 0;
    if (!ReadHeaderSizes(HEADER_KNOWN_BYTES, &iHeaderSize, &iDataSize)) return false;
    if (!NKFReadText80(m_pReader, &m_Name, true) || !m_pReader->ReadInts(&iNumSteps, 1)) {
        ReportMissingEnd();
        return false;
    }
    int iRead = HEADER_KNOWN_BYTES;
    int32_t aiFlags[2] = {0, 0};  // extra word A, extra word B
    for (int k = 0; k < 2 && iRead + 4 <= iHeaderSize; k++, iRead += 4)
        aiFlags[k] = m_pReader->ReadInt();
    m_bExtraWordA = aiFlags[0] != 0 ? 1 : 0;
    m_bExtraWordB = aiFlags[1] != 0 ? 1 : 0;
    if (!SkipHeaderRest(iHeaderSize, iRead)) return false;
    if (iNumSteps > NKF_MAX_STEPS) return ReportFailure("Too many steps in Geometry block");
    if (!CheckDataBytes(iNumSteps < 0 ? -1 : (int64_t)iNumSteps * OLD_STEP_HEAD_BYTES))
        return false;
    m_iNumSteps = iNumSteps;
    return CheckEndOfBlock(iDataSize);
}

// ---------------------------------------------------------------------------
// Second pass

bool NKFQuolinGeometryBlock::LoadData()
{
    return LoadAfterSeek([this] { return m_pReader->IsAscii() ? LoadAscii() : LoadBinary(); });
}

// The per-entry tables every load fills: the ID list pointers, names, times
// and numbers (entry i numbered i + 1 until the file says otherwise), and,
// in the binary form, the counts and part attributes that the load reads.
bool NKFQuolinGeometryBlock::AllocateSteps()
{
    if (m_iNumSteps == 0) return true;
    size_t n = (size_t)m_iNumSteps;
    m_ppiFaceSetIDs = (int32_t **)NKCalloc(n, sizeof(int32_t *));
    m_ppiElementIDs = (int32_t **)NKCalloc(n, sizeof(int32_t *));
    m_pStepNames = new (std::nothrow) NKString[n];
    m_pfStepTimes = (float *)NKCalloc(n, sizeof(float));
    m_piStepNumbers = (int32_t *)NKCalloc(n, sizeof(int32_t));
    if (m_piNumFaceSets == nullptr) m_piNumFaceSets = (int32_t *)NKCalloc(n, sizeof(int32_t));
    if (m_piNumElements == nullptr) m_piNumElements = (int32_t *)NKCalloc(n, sizeof(int32_t));
    if (m_piPartAttributes == nullptr) m_piPartAttributes = (int32_t *)NKCalloc(n, sizeof(int32_t));
    if (m_ppiFaceSetIDs == nullptr || m_ppiElementIDs == nullptr || m_pStepNames == nullptr ||
        m_pfStepTimes == nullptr || m_piStepNumbers == nullptr || m_piNumFaceSets == nullptr ||
        m_piNumElements == nullptr || m_piPartAttributes == nullptr)
        return ReportFailure("Error allocating memory");
    for (int i = 0; i < m_iNumSteps; i++) {
        m_pStepNames[i] = "";
        m_piStepNumbers[i] = i + 1;
    }
    return true;
}

// Sizes every list of every entry by the counts of the first pass; the
// lists start zeroed.
bool NKFQuolinGeometryBlock::AllocateAsciiLists()
{
    for (int i = 0; i < m_iNumSteps; i++) {
        int32_t *apiCounts[2] = {&m_piNumFaceSets[i], &m_piNumElements[i]};
        int32_t **appiLists[2] = {&m_ppiFaceSetIDs[i], &m_ppiElementIDs[i]};
        for (int k = 0; k < 2; k++) {
            if (*apiCounts[k] == 0) continue;
            *appiLists[k] = (int32_t *)NKCalloc((size_t)*apiCounts[k], sizeof(int32_t));
            if (*appiLists[k] == nullptr) return ReportFailure("Error allocating memory");
        }
    }
    return true;
}

// Walks the lines again with the step counter of the first pass, so that
// the entries cannot drift from the counts. The reference lines of a list
// are appended to it, also when a directive line stands between them.
bool NKFQuolinGeometryBlock::LoadAscii()
{
    if (!AllocateSteps() || !AllocateAsciiLists()) return false;
    NKFStepCounter counter(NKF_STEPS_AFTER_FIRST_VALUE);
    int iList = LIST_FACE_SETS;
    int aiStored[2] = {0, 0};
    NKString line;
    for (NKFLineKind eKind; (eKind = NKFNextBodyLine(m_pReader, &line)) != NKF_LINE_END;) {
        int s = counter.GetCurrent();
        if (eKind == NKF_LINE_VALUE) {
            counter.OnValueLine();
            if (!StoreAsciiIDs(line, s, iList, aiStored)) return false;
            continue;
        }
        NKString word = NKFDirectiveWord(line);
        if (ListOfWord(word) >= 0) {
            iList = ListOfWord(word);
        } else if (word == "%STEPNAME") {
            m_pStepNames[s] = ReadQuoted(line);
        } else if (word == "%STEPTIME") {
            m_pfStepTimes[s] = NKFDirectiveFloat(line);
        } else if (word == "%STEP") {
            if (counter.OnStepLine()) {
                if (!CheckEntryFilled(s, aiStored)) return false;
                aiStored[0] = aiStored[1] = 0;
            }
            // More steps than the first pass counted: the file changed.
            if (counter.GetCurrent() >= m_iNumSteps) break;
            m_piStepNumbers[counter.GetCurrent()] = NKFDirectiveInt(line);
        }
    }
    if (counter.GetNumSteps() != m_iNumSteps) return ReportReadFailure();
    return CheckEntryFilled(counter.GetCurrent(), aiStored);
}

// Appends the IDs of one reference line to list iList of entry iEntry.
bool NKFQuolinGeometryBlock::StoreAsciiIDs(const NKString &line, int iEntry, int iList,
                                           int aiStored[2])
{
    int32_t *piList = iList == LIST_FACE_SETS ? m_ppiFaceSetIDs[iEntry] : m_ppiElementIDs[iEntry];
    int iRoom = iList == LIST_FACE_SETS ? m_piNumFaceSets[iEntry] : m_piNumElements[iEntry];
    if (NKFStoreIDs(line, piList, iRoom, &aiStored[iList])) return true;
    ReportLineError(NKString(""),
                    NKString("ReadCommaSeparatedData: Internal error. To many values found."));
    return false;
}

// An entry whose lists hold fewer IDs than the first pass counted was read
// from a file that changed in between.
bool NKFQuolinGeometryBlock::CheckEntryFilled(int iEntry, const int aiStored[2])
{
    if (aiStored[0] == m_piNumFaceSets[iEntry] && aiStored[1] == m_piNumElements[iEntry])
        return true;
    return ReportReadFailure();
}

// Zeroes the counts of a binary block, which only its load knows.
void NKFQuolinGeometryBlock::ClearCounts()
{
    for (int i = 0; i < m_iNumSteps; i++) {
        if (m_piNumFaceSets != nullptr) m_piNumFaceSets[i] = 0;
        if (m_piNumElements != nullptr) m_piNumElements[i] = 0;
    }
}

bool NKFQuolinGeometryBlock::LoadBinary()
{
    if (!SkipHeaderDirectives()) return ReportReadFailure();
    bool bOk = AllocateSteps();
    ClearCounts();
    int64_t iBytesLeft = m_iDataSize, iTotal = 0;
    for (int i = 0; bOk && i < m_iNumSteps; i++) bOk = LoadBinaryStep(i, &iBytesLeft, &iTotal);
    if (!bOk) ClearCounts();
    return bOk;
}

// One step record, in either layout; its counts are checked against the
// bytes left in the block's data before its lists are allocated.
bool NKFQuolinGeometryBlock::LoadBinaryStep(int i, int64_t *piBytesLeft, int64_t *piTotal)
{
    int32_t iNumber = 0, iElements = 0, iFaceSets = 0, iAttributes = -1;
    float fTime = 0.0f;
    NKString name;
    bool bRead = *piBytesLeft >= OLD_STEP_HEAD_BYTES && m_pReader->ReadInts(&iNumber, 1) &&
                 NKFReadText80(m_pReader, &name, false) && m_pReader->ReadFloats(&fTime, 1) &&
                 m_pReader->ReadInts(&iElements, 1);
    if (!bRead) return ReportReadFailure();
    *piBytesLeft -= OLD_STEP_HEAD_BYTES;
    if (!ReadStepLayout(piBytesLeft, &iFaceSets, &iAttributes)) return false;
    if (!CheckStepCounts(iElements, iFaceSets, *piBytesLeft, piTotal)) return false;
    *piBytesLeft -= 4 * ((int64_t)iElements + iFaceSets);
    m_piStepNumbers[i] = iNumber;
    m_pStepNames[i] = name;
    m_pfStepTimes[i] = fTime;
    m_piPartAttributes[i] = iAttributes;
    m_piNumElements[i] = iElements;
    m_piNumFaceSets[i] = iFaceSets;
    return ReadIDList(&m_ppiElementIDs[i], iElements) && ReadIDList(&m_ppiFaceSetIDs[i], iFaceSets);
}

// After the element count: the newer layout's face-set count, marker (0 or
// -1), part attributes ID and extra words, or, for any other marker, the
// older layout, whose element IDs follow at once (the stream goes back to
// them). A record too short for the three words is of the older layout.
bool NKFQuolinGeometryBlock::ReadStepLayout(int64_t *piBytesLeft, int32_t *piFaceSets,
                                            int32_t *piAttributes)
{
    *piFaceSets = 0;
    *piAttributes = -1;
    if (*piBytesLeft < NEW_STEP_WORD_BYTES) return true;
    int64_t iAfterCount = 0;
    int32_t aiWords[3] = {0, 0, 0};  // face-set count, marker, part attributes ID
    if (!m_pReader->GetPosition(&iAfterCount) || !m_pReader->ReadInts(aiWords, 3))
        return ReportReadFailure();
    if (aiWords[1] != 0 && aiWords[1] != -1) {
        if (m_pReader->SetPosition(iAfterCount)) return true;
        return ReportReadFailure();
    }
    int64_t iExtraBytes = 4 * ((m_bExtraWordA ? 1 : 0) + (m_bExtraWordB ? 1 : 0));
    *piBytesLeft -= NEW_STEP_WORD_BYTES;
    if (iExtraBytes > *piBytesLeft || !m_pReader->Skip(iExtraBytes))
        return ReportFailure("Item count does not fit the data size of the block.");
    *piBytesLeft -= iExtraBytes;
    *piFaceSets = aiWords[0];
    *piAttributes = aiWords[2];
    return true;
}

// The counts of one step record: not negative, within the bytes left, and
// within the per-list and per-block caps.
bool NKFQuolinGeometryBlock::CheckStepCounts(int32_t iElements, int32_t iFaceSets,
                                             int64_t iBytesLeft, int64_t *piTotal)
{
    if (iElements < 0 || iFaceSets < 0 || 4 * ((int64_t)iElements + iFaceSets) > iBytesLeft)
        return ReportFailure("Item count does not fit the data size of the block.");
    *piTotal += (int64_t)iElements + iFaceSets;
    if (iElements > NKF_MAX_IDS_PER_STEP || iFaceSets > NKF_MAX_IDS_PER_STEP)
        return ReportFailure("Too many IDs in step.");
    if (*piTotal > NKF_MAX_IDS_PER_BLOCK) return ReportFailure("Too many IDs in block.");
    return true;
}

// Allocates and reads one binary ID list of iCount words (none for 0).
bool NKFQuolinGeometryBlock::ReadIDList(int32_t **ppiIDs, int32_t iCount)
{
    if (iCount == 0) return true;
    *ppiIDs = (int32_t *)NKAlloc((size_t)iCount * sizeof(int32_t));
    if (*ppiIDs == nullptr) return ReportFailure("Out of memory.");
    if (ReadCommaSeparatedData(*ppiIDs, iCount)) return true;
    return ReportReadFailure();
}
