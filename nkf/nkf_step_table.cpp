// nkf/nkf_step_table.cpp -- the step counter, the step table, the ASCII
// line and ID-list helpers, and NKFStepListBlock, the base of the blocks
// whose steps list block IDs (see nkf_step_table.h).
#include "nkf/nkf_step_table.h"

#include <new>
#include <vector>

#include "core/nk_memory.h"
#include "nkf/nkf_reader.h"
#include "nkf/nkf_stream.h"

// ---------------------------------------------------------------------------
// Step counter

NKFStepCounter::NKFStepCounter(NKFStepRule eRule)
    : m_eRule(eRule), m_iCurrent(0), m_bValueSinceStep(false), m_bAnyValue(false), m_bAnyStep(false)
{}

bool NKFStepCounter::OnStepLine()
{
    bool bOpens = false;
    switch (m_eRule) {
    case NKF_STEPS_MERGE_EMPTY:
        bOpens = m_bValueSinceStep;
        break;
    case NKF_STEPS_EACH_LINE:
        bOpens = m_bAnyValue || m_bAnyStep;
        break;
    case NKF_STEPS_AFTER_FIRST_VALUE:
        bOpens = m_bAnyValue;
        break;
    }
    if (bOpens) m_iCurrent++;
    m_bValueSinceStep = false;
    m_bAnyStep = true;
    return bOpens;
}

void NKFStepCounter::OnValueLine()
{
    m_bValueSinceStep = true;
    m_bAnyValue = true;
}

// ---------------------------------------------------------------------------
// Step table

NKFStepTable::NKFStepTable()
    : m_iNumSteps(0), m_pNames(nullptr), m_pfTimes(nullptr), m_piNumbers(nullptr)
{}

NKFStepTable::~NKFStepTable() { Free(); }

bool NKFStepTable::Allocate(int iNumSteps)
{
    Free();
    if (iNumSteps <= 0) return true;
    m_pNames = new (std::nothrow) NKString[iNumSteps];
    m_pfTimes = (float *)NKCalloc((size_t)iNumSteps, sizeof(float));
    m_piNumbers = (int32_t *)NKCalloc((size_t)iNumSteps, sizeof(int32_t));
    if (m_pNames == nullptr || m_pfTimes == nullptr || m_piNumbers == nullptr) {
        Free();
        return false;
    }
    m_iNumSteps = iNumSteps;
    for (int i = 0; i < iNumSteps; i++) {
        m_pNames[i] = "";
        m_piNumbers[i] = i + 1;
    }
    return true;
}

void NKFStepTable::Free()
{
    delete[] m_pNames;
    m_pNames = nullptr;
    NKFreeAndClear(&m_pfTimes, &m_piNumbers);
    m_iNumSteps = 0;
}

NKString NKFStepTable::GetName(int i) const
{
    return i >= 0 && i < m_iNumSteps ? m_pNames[i] : NKString("");
}

float NKFStepTable::GetTime(int i) const { return i >= 0 && i < m_iNumSteps ? m_pfTimes[i] : 0.0f; }

int NKFStepTable::GetNumber(int i) const { return i >= 0 && i < m_iNumSteps ? m_piNumbers[i] : -1; }

void NKFStepTable::SetName(int i, const NKString &name)
{
    if (i >= 0 && i < m_iNumSteps) m_pNames[i] = name;
}

void NKFStepTable::SetTime(int i, float fTime)
{
    if (i >= 0 && i < m_iNumSteps) m_pfTimes[i] = fTime;
}

void NKFStepTable::SetNumber(int i, int iNumber)
{
    if (i >= 0 && i < m_iNumSteps) m_piNumbers[i] = iNumber;
}

NKFStepLine NKFStepTable::ApplyDirective(const NKString &word, const NKString &line,
                                         NKFStepCounter *pCounter, int iNumSteps)
{
    int s = pCounter->GetCurrent();
    if (word == "%STEPNAME")
        SetName(s, NKFBlock::ReadQuoted(line));
    else if (word == "%STEPTIME")
        SetTime(s, NKFDirectiveFloat(line));
    if (word != "%STEP")
        return word == "%STEPNAME" || word == "%STEPTIME" ? NKF_STEP_LABELLED : NKF_STEP_OTHER;
    bool bOpened = pCounter->OnStepLine();
    s = pCounter->GetCurrent();
    if (s >= iNumSteps) return NKF_STEP_PAST_END;
    SetNumber(s, NKFDirectiveInt(line));
    return bOpened ? NKF_STEP_OPENED : NKF_STEP_LABELLED;
}

bool NKFStepTable::ReadRecordHead(NKFReader *pReader, int i)
{
    int32_t iNumber = 0;
    NKString name;
    float fTime = 0.0f;
    if (!pReader->ReadInts(&iNumber, 1) || !NKFReadText80(pReader, &name, false) ||
        !pReader->ReadFloats(&fTime, 1))
        return false;
    SetNumber(i, iNumber);
    SetName(i, name);
    SetTime(i, fTime);
    return true;
}

// ---------------------------------------------------------------------------
// ASCII helpers

NKFLineKind NKFNextBodyLine(NKFReader *pReader, NKString *pLine)
{
    *pLine = pReader->ReadLine();
    if (pLine->IsEmpty()) return NKF_LINE_END;
    if (pLine->GetAt(0) == '*') {
        pReader->PushBackLine();
        return NKF_LINE_END;
    }
    return pLine->GetAt(0) == '%' ? NKF_LINE_DIRECTIVE : NKF_LINE_VALUE;
}

NKString NKFDirectiveWord(const NKString &line)
{
    NKString word = NKString(line).GetFirstWord();
    int iHash = word.FindChar('#', 0, true);
    if (iHash > 0) word.Truncate(iHash);
    return word;
}

int NKFDirectiveInt(const NKString &line)
{
    return NKFWordToInt(NKString(line).GetWord(1).GetText());
}

NKString NKFStepNumberError(const NKString &line)
{
    NKString word = NKString(line).GetWord(1);
    if (word.IsEmpty()) return NKString();
    int iNumber = NKFWordToInt(word.GetText());
    if (iNumber >= 1 && iNumber <= NKF_MAX_STEP_NUMBER) return NKString();
    return NKString::FromFormat("Step number %s out of range (1 to %d).", word.GetText(),
                                NKF_MAX_STEP_NUMBER);
}

float NKFDirectiveFloat(const NKString &line)
{
    return NKFDoubleToFloat(NKFWordToDouble(NKString(line).GetWord(1).GetText()));
}

// The first and last ID of one word; a plain ID is a range of one.
static void IDWordRange(const char *pStart, const char *pEnd, int64_t *piFirst, int64_t *piLast)
{
    const char *pDash = nullptr;
    for (const char *p = pStart + 1; p < pEnd; p++) {
        if (*p == '-') {
            pDash = p;
            break;
        }
    }
    *piFirst = NKFWordToInt(pStart);
    *piLast = pDash != nullptr ? NKFWordToInt(pDash + 1) : *piFirst;
}

bool NKFCountStepLine(NKFBlock *pBlock, const NKString &line, NKFStepCounter *pCounter,
                      const char *pszTooMany)
{
    NKString error = NKFStepNumberError(line);
    if (!error.IsEmpty()) {
        pBlock->ReportLineError(NKString(""), error);
        return false;
    }
    if (pCounter->OnStepLine() && pCounter->GetNumSteps() > NKF_MAX_STEPS) {
        pBlock->ReportLineError(NKString(""), NKString(pszTooMany));
        return false;
    }
    return true;
}

int64_t NKFCountIDs(const NKString &line)
{
    const char *p = line.GetText();
    const char *pStart, *pEnd;
    int64_t iCount = 0;
    while (NKFNextWord(&p, &pStart, &pEnd)) {
        int64_t iFirst, iLast;
        IDWordRange(pStart, pEnd, &iFirst, &iLast);
        if (iLast >= iFirst) iCount += iLast - iFirst + 1;
    }
    return iCount;
}

bool NKFStoreIDs(const NKString &line, int32_t *piDest, int iRoom, int *piStored)
{
    const char *p = line.GetText();
    const char *pStart, *pEnd;
    while (NKFNextWord(&p, &pStart, &pEnd)) {
        int64_t iFirst, iLast;
        IDWordRange(pStart, pEnd, &iFirst, &iLast);
        if (iLast >= iFirst && iLast - iFirst + 1 > iRoom - *piStored) return false;
        for (int64_t v = iFirst; v <= iLast; v++) piDest[(*piStored)++] = (int32_t)v;
    }
    return true;
}

bool NKFReadText80(NKFReader *pReader, NKString *pText, bool bTrim)
{
    char acBuffer[NKF_TEXT_FIELD_BYTES + 1];
    if (!pReader->ReadChars80(acBuffer)) return false;
    acBuffer[NKF_TEXT_FIELD_BYTES] = 0;
    *pText = acBuffer;
    if (bTrim) pText->Trim();
    return true;
}

bool NKFSteppedBlock::ReadNamedHeader(int iKnownBytes, int32_t *piFields, int iFields,
                                      int32_t *piDataSize)
{
    int32_t iHeaderSize = 0;
    if (!ReadHeaderSizes(iKnownBytes, &iHeaderSize, piDataSize)) return false;
    NKString readName;
    if (!NKFReadText80(m_pReader, &readName, true) || !m_pReader->ReadInts(piFields, iFields)) {
        ReportMissingEnd();
        return false;
    }
    if (!SkipHeaderRest(iHeaderSize, iKnownBytes)) return false;
    m_Name = readName;
    return true;
}

// ---------------------------------------------------------------------------
// NKFStepListBlock: life, queries, references

NKFStepListBlock::NKFStepListBlock(NKFReader *pReader, int iBlockID, int iType, NKFStepRule eRule)
    : NKFSteppedBlock(pReader, iBlockID), m_Description(""), m_iDescriptionBlockID(0),
      m_bExtraWord(0), m_eRule(eRule), m_ppiStepIDs(nullptr), m_piIDsPerStep(nullptr)
{
    m_iBlockType = iType;
}

NKFStepListBlock::~NKFStepListBlock()
{
    FreeData();
    NKFree(m_piIDsPerStep);
}

void NKFStepListBlock::FreeData()
{
    NKFreeBlockArray((void **)m_ppiStepIDs, m_iNumSteps);
    m_ppiStepIDs = nullptr;
    m_Steps.Free();
    m_bDataLoaded = false;
}

bool NKFStepListBlock::WriteBlock()
{
    return ReportFailure(NKString::FromFormat("%s::WriteBlock, not implemented yet", ClassName()));
}

const int32_t *NKFStepListBlock::GetStepIDs(int i) const
{
    if (!m_bDataLoaded || i < 0 || i >= m_iNumSteps) return nullptr;
    return m_ppiStepIDs[i];
}

int NKFStepListBlock::GetStepIDCount(int i) const
{
    if (m_piIDsPerStep == nullptr || i < 0 || i >= m_iNumSteps) return 0;
    return m_piIDsPerStep[i];
}

int NKFStepListBlock::GetNumResults(int iStep) const
{
    if (!m_bDataLoaded) return -1;
    int iIndex = NKFFindStepIndex(iStep, m_Steps.GetNumbers(), m_Steps.GetNumSteps());
    return iIndex < 0 ? -1 : GetStepIDCount(iIndex);
}

int NKFStepListBlock::GetResultID(int iStep, int i) const
{
    if (!m_bDataLoaded) return -1;
    int iIndex = NKFFindStepIndex(iStep, m_Steps.GetNumbers(), m_Steps.GetNumSteps());
    if (iIndex < 0 || i < 0 || i >= GetStepIDCount(iIndex)) return -1;
    return m_ppiStepIDs[iIndex][i];
}

bool NKFStepListBlock::ResolveReferences()
{
    if (!CheckParsed("Block not parsed.")) return false;
    if (!m_bDataLoaded) return true;
    for (int i = 0; i < m_iNumSteps; i++) {
        for (int k = 0; k < GetStepIDCount(i); k++) {
            int iID = m_ppiStepIDs[i][k];
            if (m_pReader->FindBlock(ReferencedType(), iID) != nullptr) continue;
            NKString message =
                NKString::FromFormat("%s%d not found in file.", MissingReferenceText(), iID);
            message += NKString::FromFormat(" Referenced in step %d", m_Steps.GetNumber(i));
            ReportError(NKString(""), message);
            return false;
        }
    }
    return true;
}

void NKFStepListBlock::ReportLineWarning(const NKString &message)
{
    NKString text = message + " \n\n";
    if (m_pReader->IsAscii()) {
        text += NKString::FromFormat("Error in line : %d\n\nLine : ", m_pReader->GetLineNumber());
        text += m_pReader->GetCurrentLine();
        text += "\n\n";
    }
    m_pReader->ReportWarning(NKString("Block type : ") + NKFBlockKeyword(m_iBlockType), text);
}

void NKFStepListBlock::ReportUnknownDirective()
{
    ReportLineError(NKString(""), NKString("Illegal directive found."));
}

int NKFStepListBlock::ParseOwnDirective(const NKString &, const NKString &) { return 0; }

// ---------------------------------------------------------------------------
// First pass

bool NKFStepListBlock::ParseBlock()
{
    return ParseByForm([this] { return ParseAscii(); }, [this] { return ParseBinary(); });
}

// Directives of the first pass. A "%STEP" line may open a step, up to
// NKF_MAX_STEPS steps.
bool NKFStepListBlock::ParseDirective(const NKString &line, NKFStepCounter *pCounter)
{
    NKString word = NKFDirectiveWord(line);
    if (word == "%NAME") {
        m_Name = ReadQuoted(line);
    } else if (word == "%DESCRIPTION") {
        if (AcceptsDescriptionReference() && line.FindChar('#', 0, true) >= 0)
            m_iDescriptionBlockID = ReadReference(line);
        else
            m_Description = ReadQuoted(line);
    } else if (word == "%STEP") {
        if (!NKFCountStepLine(this, line, pCounter, TooManyStepsText())) return false;
    } else if (word != "%STEPNAME" && word != "%STEPTIME") {
        int iOwn = ParseOwnDirective(word, line);
        if (iOwn < 0) return false;
        if (iOwn == 0) {
            ReportUnknownDirective();
            return false;
        }
    }
    return true;
}

bool NKFStepListBlock::ParseAscii()
{
    std::vector<int64_t> counts;  // IDs per step
    NKFStepCounter counter(m_eRule);
    bool bOk = true;
    int64_t iTotal = 0;
    NKString line;
    for (NKFLineKind eKind; bOk && (eKind = NKFNextBodyLine(m_pReader, &line)) != NKF_LINE_END;) {
        if (eKind == NKF_LINE_DIRECTIVE) {
            bOk = ParseDirective(line, &counter);
            continue;
        }
        counter.OnValueLine();
        int64_t &iCount = NKFGrowCount(&counts, (size_t)counter.GetCurrent());
        int64_t iLineIDs = NKFCountIDs(line);
        iCount += iLineIDs;
        iTotal += iLineIDs;
        if (iCount > NKF_MAX_IDS_PER_STEP) {
            ReportLineError(NKString(""), NKString("Too many IDs in step."));
            bOk = false;
        } else if (iTotal > NKF_MAX_IDS_PER_BLOCK) {
            ReportLineError(NKString(""), NKString("Too many IDs in block."));
            bOk = false;
        }
    }
    if (bOk) {
        NKFree(m_piIDsPerStep);
        m_iNumSteps = counter.GetNumSteps();
        m_piIDsPerStep = (int32_t *)NKCalloc((size_t)m_iNumSteps, sizeof(int32_t));
        if (m_piIDsPerStep == nullptr) {
            ReportError(NKString(""), NKString("Error Allocation memory"));
            bOk = false;
        }
        counts.resize((size_t)m_iNumSteps, 0);
        for (int i = 0; bOk && i < m_iNumSteps; i++) m_piIDsPerStep[i] = (int32_t)counts[i];
    }
    return bOk;
}

bool NKFStepListBlock::ReadHeaderFields(int iHeaderSize, int *piKnownBytes)
{
    return ReadNameAndSteps(iHeaderSize, 0, piKnownBytes);
}

bool NKFStepListBlock::ReadNameAndSteps(int iHeaderSize, int iExtendedBytes, int *piKnownBytes)
{
    *piKnownBytes = 92;
    if (!NKFReadText80(m_pReader, &m_Name, true) || !m_pReader->ReadInts(&m_iNumSteps, 1))
        return false;
    int iWords = (iExtendedBytes - 92) / 4;
    if (iWords < 1 || iWords > 8 || iHeaderSize < iExtendedBytes) return true;
    int32_t aiExtra[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    if (!m_pReader->ReadInts(aiExtra, iWords)) return false;
    m_bExtraWord = aiExtra[iWords - 1] != 0 ? 1 : 0;
    *piKnownBytes = iExtendedBytes;
    return true;
}

bool NKFStepListBlock::ParseBinary()
{
    int32_t iHeaderSize = 0, iDataSize = 0;
    if (!ReadHeaderSizes(MinHeaderBytes(), &iHeaderSize, &iDataSize)) return false;
    int iKnown = 0;
    if (!ReadHeaderFields(iHeaderSize, &iKnown)) {
        ReportMissingEnd();
        return false;
    }
    if (!SkipHeaderRest(iHeaderSize, iKnown)) return false;
    // Every step record holds at least its number, name, time and count.
    int64_t iRecordBytes = NKF_STEP_RECORD_HEAD_BYTES + 4 + (m_bExtraWord ? 4 : 0);
    if (!CheckItemBytes(m_iNumSteps, iRecordBytes)) return false;
    return CheckEndOfBlock(iDataSize);
}

// ---------------------------------------------------------------------------
// Second pass

bool NKFStepListBlock::AllocateSteps()
{
    if (m_iNumSteps == 0) return true;
    m_ppiStepIDs = (int32_t **)NKCalloc((size_t)m_iNumSteps, sizeof(int32_t *));
    if (m_ppiStepIDs == nullptr || !m_Steps.Allocate(m_iNumSteps)) {
        FreeData();
        ReportError(NKString(""), NKString("Error allocating memory"));
        return false;
    }
    return true;
}

bool NKFStepListBlock::LoadData()
{
    return LoadAfterSeek([this] { return m_pReader->IsAscii() ? LoadAscii() : LoadBinary(); });
}

bool NKFStepListBlock::LoadAscii()
{
    if (!AllocateSteps()) return false;
    for (int i = 0; i < m_iNumSteps; i++) {
        if (m_piIDsPerStep[i] == 0) continue;
        m_ppiStepIDs[i] = (int32_t *)NKAlloc((size_t)m_piIDsPerStep[i] * sizeof(int32_t));
        if (m_ppiStepIDs[i] == nullptr) return ReportFailure("Error allocating memory");
    }
    NKFStepCounter counter(m_eRule);
    int iStored = 0;
    NKString line;
    for (NKFLineKind eKind; (eKind = NKFNextBodyLine(m_pReader, &line)) != NKF_LINE_END;) {
        int s = counter.GetCurrent();
        NKString word = eKind == NKF_LINE_DIRECTIVE ? NKFDirectiveWord(line) : NKString("");
        NKFStepLine eStep = m_Steps.ApplyDirective(word, line, &counter, m_iNumSteps);
        if (eStep == NKF_STEP_PAST_END) break;
        if (eStep == NKF_STEP_OPENED) iStored = 0;
        if (eStep == NKF_STEP_OTHER && eKind == NKF_LINE_VALUE) {
            counter.OnValueLine();
            if (!NKFStoreIDs(line, m_ppiStepIDs[s], m_piIDsPerStep[s], &iStored)) {
                ReportLineError(NKString(""), NKString("ReadCommaSeparatedData: Internal error. "
                                                       "To many values found."));
                return false;
            }
        }
    }
    if (counter.GetNumSteps() != m_iNumSteps) return ReportReadFailure();
    return true;
}

bool NKFStepListBlock::LoadBinary()
{
    if (!SkipHeaderDirectives()) return false;
    if (!AllocateSteps()) return false;
    NKFree(m_piIDsPerStep);
    m_piIDsPerStep = nullptr;
    if (m_iNumSteps == 0) return true;
    m_piIDsPerStep = (int32_t *)NKCalloc((size_t)m_iNumSteps, sizeof(int32_t));
    if (m_piIDsPerStep == nullptr) return ReportFailure("Error allocating memory");
    int64_t iBytesLeft = m_iDataSize;
    for (int i = 0; i < m_iNumSteps; i++) {
        if (!LoadBinaryStep(i, &iBytesLeft)) return false;
    }
    return true;
}

// One step record; the ID count is checked against the bytes left in the
// block's data before the IDs are allocated.
bool NKFStepListBlock::LoadBinaryStep(int i, int64_t *piBytesLeft)
{
    int64_t iHeadBytes = NKF_STEP_RECORD_HEAD_BYTES + 4 + (m_bExtraWord ? 4 : 0);
    if (!m_Steps.ReadRecordHead(m_pReader, i)) return ReportReadFailure();
    int32_t aiCount[2] = {0, 0};  // ID count, the unused extension word
    bool bRead = m_pReader->ReadInts(aiCount, m_bExtraWord ? 2 : 1);
    int32_t iCount = aiCount[0];
    *piBytesLeft -= iHeadBytes;
    if (!bRead || iCount < 0 || (int64_t)iCount * 4 > *piBytesLeft)
        return ReportFailure("Item count does not fit the data size of the block.");
    *piBytesLeft -= (int64_t)iCount * 4;
    m_piIDsPerStep[i] = iCount;
    if (iCount == 0) return true;
    m_ppiStepIDs[i] = (int32_t *)NKAlloc((size_t)iCount * sizeof(int32_t));
    if (m_ppiStepIDs[i] == nullptr) return ReportFailure("Error allocating memory");
    if (!m_pReader->ReadInts(m_ppiStepIDs[i], iCount)) return ReportReadFailure();
    return true;
}
