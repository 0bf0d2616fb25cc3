// nkf/nkf_transformations.cpp -- the *TRANSFORMATIONS and *VIEWPOINTS
// blocks (layouts in nkf_transformations.h): clearing entries, the entry
// array, both passes of both forms, and the queries the display-state
// import uses.
#include "nkf/nkf_transformations.h"

#include <cstring>
#include <new>

#include "core/nk_memory.h"
#include "nkf/nkf_reader.h"
#include "nkf/nkf_stream.h"

static const int kTransformationHeaderBytes = 96;
static const int kViewpointHeaderBytes = 92;
// Step record bytes before the entries: number, name, time, E, F.
static const int kTransformationStepBytes = NKF_STEP_RECORD_HEAD_BYTES + 8;
// Step record bytes of a viewpoint: number, name, time, nine floats.
static const int kViewpointStepBytes = NKF_STEP_RECORD_HEAD_BYTES + 36;

static const char *const kMatrixStepText =
    "12 or 13 values must be specified for matrix in each step.";
static const char *const kMatrixEndText = "12 or 13 values must be specified for each step.";
static const char *const kThreeValuesText = "3 values must be specified on each line.";
static const char *const kViewpointText = "9 values (3 vectors) must be specified for each step.";

// Fills the rows of a matrix from twelve values (four rows of three) and
// sets the fixed elements 3, 7, 11 (0) and 15 (1).
static void SetMatrixRows(float pfMatrix[16], const float pfRows[12])
{
    for (int r = 0; r < 4; r++) {
        for (int k = 0; k < 3; k++) pfMatrix[r * 4 + k] = pfRows[r * 3 + k];
        pfMatrix[r * 4 + 3] = r == 3 ? 1.0f : 0.0f;
    }
}

// The first three words of a value line as floats (a missing word gives 0).
static void ReadThreeWords(const NKString &line, float pfValues[3])
{
    const char *p = line.GetText();
    const char *pStart, *pEnd;
    for (int k = 0; k < 3; k++) {
        double d = NKFNextWord(&p, &pStart, &pEnd) ? NKFWordToDouble(pStart) : 0.0;
        pfValues[k] = NKFDoubleToFloat(d);
    }
}

// ---------------------------------------------------------------------------
// Entry array

void NKFClearTransformationRecords(NKFTransformationEntry *pRecords, int iCount)
{
    if (pRecords == nullptr || iCount < 1) return;
    memset(pRecords, 0, (size_t)iCount * sizeof(NKFTransformationEntry));
}

NKFTransformationEntryArray::NKFTransformationEntryArray()
    : m_pData(nullptr), m_iSize(0), m_iCapacity(0), m_iGrowBy(0)
{}

NKFTransformationEntryArray::~NKFTransformationEntryArray() { NKFree(m_pData); }

bool NKFTransformationEntryArray::SetSize(int n)
{
    if (n <= 0) {
        NKFree(m_pData);
        m_pData = nullptr;
        m_iSize = m_iCapacity = 0;
        return true;
    }
    if (n > m_iCapacity) {
        int iNewCapacity = n;
        if (m_pData != nullptr) {
            int g = m_iGrowBy;
            if (g == 0) g = m_iSize / 8 < 4 ? 4 : (m_iSize / 8 > 1024 ? 1024 : m_iSize / 8);
            if ((int64_t)m_iCapacity + g > n) iNewCapacity = m_iCapacity + g;
        }
        void *pNew = NKRealloc(m_pData, (size_t)iNewCapacity * sizeof(NKFTransformationEntry));
        if (pNew == nullptr) return false;
        m_pData = (NKFTransformationEntry *)pNew;
        m_iCapacity = iNewCapacity;
    }
    if (n > m_iSize)
        memset(m_pData + m_iSize, 0, (size_t)(n - m_iSize) * sizeof(NKFTransformationEntry));
    m_iSize = n;
    return true;
}

NKFTransformationEntry *NKFTransformationEntryArray::GetAt(int i)
{
    return i >= 0 && i < m_iSize ? &m_pData[i] : nullptr;
}

const NKFTransformationEntry *NKFTransformationEntryArray::GetAt(int i) const
{
    return i >= 0 && i < m_iSize ? &m_pData[i] : nullptr;
}

// ---------------------------------------------------------------------------
// Transformation block: life and queries

NKFTransformationBlock::NKFTransformationBlock(NKFReader *pReader, int iBlockID)
    : NKFSteppedBlock(pReader, iBlockID), m_bWithID(0), m_pElementMatrices(nullptr),
      m_pFaceSetMatrices(nullptr)
{
    m_iBlockType = NKF_TRANSFORMATIONS;
}

NKFTransformationBlock::~NKFTransformationBlock() { FreeData(); }

void NKFTransformationBlock::FreeData()
{
    delete[] m_pElementMatrices;
    delete[] m_pFaceSetMatrices;
    m_pElementMatrices = nullptr;
    m_pFaceSetMatrices = nullptr;
    m_Steps.Free();
    m_bDataLoaded = false;
}

const NKFTransformationEntryArray *NKFTransformationBlock::GetElementMatrices(int i) const
{
    if (m_pElementMatrices == nullptr || i < 0 || i >= m_iNumSteps) return nullptr;
    return &m_pElementMatrices[i];
}

const NKFTransformationEntryArray *NKFTransformationBlock::GetFaceSetMatrices(int i) const
{
    if (m_pFaceSetMatrices == nullptr || i < 0 || i >= m_iNumSteps) return nullptr;
    return &m_pFaceSetMatrices[i];
}

bool NKFTransformationBlock::CheckEntries(const NKFTransformationEntryArray *pArrays, int iType,
                                          const char *pszText)
{
    for (int s = 0; s < m_iNumSteps; s++) {
        for (int i = 0; i < pArrays[s].GetSize(); i++) {
            int iID = pArrays[s].GetAt(i)->iBlockID;
            if (m_pReader->FindBlock(iType, iID) != nullptr) continue;
            ReportError(NKString(""),
                        NKString::FromFormat("%s%d not found in file.", pszText, iID));
            return false;
        }
    }
    return true;
}

// Runs in the parser's reference pass, which comes before any LoadData: an
// unloaded block has nothing to check yet.
bool NKFTransformationBlock::ResolveReferences()
{
    if (!CheckParsed("Block not parsed.")) return false;
    if (!m_bWithID || !m_bDataLoaded) return true;
    return CheckEntries(m_pFaceSetMatrices, NKF_INDEXEDFACESET,
                        "Indexed face set block (*INDEXEDFACESET) with ID = ") &&
           CheckEntries(m_pElementMatrices, NKF_ELEMENTS, "Element block (*ELEMENTS) with ID = ");
}

// ---------------------------------------------------------------------------
// Transformation block: first pass

bool NKFTransformationBlock::ParseBlock()
{
    return ParseByForm([this] { return ParseAscii(); }, [this] { return ParseBinary(); });
}

// One value line: with IDs a matrix starts with a line holding the ID
// alone, every other line holds three numbers.
bool NKFTransformationBlock::ParseAsciiValue(const NKString &line, int64_t *piValues)
{
    int iWords = line.CountWords();
    if (m_bWithID && *piValues % 13 == 0) {
        if (iWords != 1) {
            ReportLineError(NKString(""),
                            NKString("The block ID must be specifed on a separate line."));
            return false;
        }
        *piValues += 1;
        return true;
    }
    if (iWords != 3) {
        ReportLineError(NKString(""), NKString(kThreeValuesText));
        return false;
    }
    *piValues += 3;
    return true;
}

bool NKFTransformationBlock::ParseAscii()
{
    NKFStepCounter counter(NKF_STEPS_EACH_LINE);
    int64_t iValues = 0;  // values of the current step
    NKString line;
    for (NKFLineKind eKind; (eKind = NKFNextBodyLine(m_pReader, &line)) != NKF_LINE_END;) {
        if (eKind == NKF_LINE_VALUE) {
            if (!ParseAsciiValue(line, &iValues)) return false;
            counter.OnValueLine();
            continue;
        }
        NKString word = NKFDirectiveWord(line);
        if (word == "%NAME") {
            m_Name = ReadQuoted(line);
        } else if (word == "%WITH_ID" || word == "%NO_ID") {
            m_bWithID = word == "%WITH_ID" ? 1 : 0;
        } else if (word == "%STEP") {
            if (!NKFStepNumberError(line).IsEmpty()) {
                ReportLineError(NKString(""), NKFStepNumberError(line));
                return false;
            }
            if (iValues % (m_bWithID ? 13 : 12) != 0) {
                ReportLineError(NKString(""), NKString(kMatrixStepText));
                return false;
            }
            counter.OnStepLine();
            iValues = 0;
        } else if (word != "%INDEXEDFACESET" && word != "%ELEMENTS" && word != "%STEPNAME" &&
                   word != "%STEPTIME") {
            ReportLineError(NKString(""), NKString("Illegal directive found."));
            return false;
        }
    }
    if (iValues % (m_bWithID ? 13 : 12) != 0) {
        ReportLineError(NKString(""), NKString(kMatrixEndText));
        return false;
    }
    m_iNumSteps = counter.GetNumSteps();
    return true;
}

bool NKFTransformationBlock::ParseBinary()
{
    int32_t iDataSize = 0;
    int32_t aiFields[2] = {0, 0};  // with-ID flag, step count
    if (!ReadNamedHeader(kTransformationHeaderBytes, aiFields, 2, &iDataSize)) return false;
    m_bWithID = aiFields[0] != 0 ? 1 : 0;
    m_iNumSteps = aiFields[1];
    if (!CheckItemBytes(m_iNumSteps, kTransformationStepBytes)) return false;
    return CheckEndOfBlock(iDataSize);
}

// ---------------------------------------------------------------------------
// Transformation block: second pass

bool NKFTransformationBlock::AllocateSteps()
{
    if (m_iNumSteps == 0) return true;
    m_pElementMatrices = new (std::nothrow) NKFTransformationEntryArray[m_iNumSteps];
    m_pFaceSetMatrices = new (std::nothrow) NKFTransformationEntryArray[m_iNumSteps];
    if (m_pElementMatrices == nullptr || m_pFaceSetMatrices == nullptr ||
        !m_Steps.Allocate(m_iNumSteps))
        return ReportFailure("Error allocating memory");
    return true;
}

bool NKFTransformationBlock::LoadData()
{
    return LoadAfterSeek(
        [this] { return AllocateSteps() && (m_pReader->IsAscii() ? LoadAscii() : LoadBinary()); },
        "Block not parsed.");
}

// Follows the lines as the first pass counted them: a value line starts an
// entry when none is open (with IDs the line is the ID) and otherwise
// fills the open entry's next row.
bool NKFTransformationBlock::LoadAscii()
{
    NKFStepCounter counter(NKF_STEPS_EACH_LINE);
    bool bFaceSets = false, bWithID = false;
    NKFTransformationEntryArray *pOpen = nullptr;  // list of the open entry
    int iRow = 0;
    float afRows[12];
    NKString line;
    for (NKFLineKind eKind; (eKind = NKFNextBodyLine(m_pReader, &line)) != NKF_LINE_END;) {
        int s = counter.GetCurrent();
        if (eKind == NKF_LINE_DIRECTIVE) {
            NKString word = NKFDirectiveWord(line);
            NKFStepLine eStep = m_Steps.ApplyDirective(word, line, &counter, m_iNumSteps);
            if (eStep == NKF_STEP_PAST_END) break;
            if (eStep != NKF_STEP_OTHER) continue;
            if (word == "%INDEXEDFACESET" || word == "%ELEMENTS") {
                bFaceSets = word == "%INDEXEDFACESET";
            } else if (word == "%WITH_ID" || word == "%NO_ID") {
                bWithID = word == "%WITH_ID";
            }
            continue;
        }
        counter.OnValueLine();
        if (pOpen == nullptr) {
            pOpen = bFaceSets ? &m_pFaceSetMatrices[s] : &m_pElementMatrices[s];
            if (!pOpen->SetSize(pOpen->GetSize() + 1))
                return ReportFailure("Error allocating memory");
            pOpen->GetAt(pOpen->GetSize() - 1)->iBlockID =
                bWithID ? NKFWordToInt(line.GetText()) : -1;
            iRow = 0;
            if (bWithID) continue;
        }
        ReadThreeWords(line, afRows + iRow * 3);
        if (++iRow == 4) {
            SetMatrixRows(pOpen->GetAt(pOpen->GetSize() - 1)->afMatrix, afRows);
            pOpen = nullptr;
        }
    }
    if (counter.GetNumSteps() != m_iNumSteps || pOpen != nullptr) return ReportReadFailure();
    return true;
}

// Reads iCount entries; their bytes are checked against what is left of
// the block's data before the list grows.
bool NKFTransformationBlock::LoadBinaryEntries(NKFTransformationEntryArray *pArray, int iCount,
                                               int64_t *piBytesLeft)
{
    int iWords = (m_bWithID ? 1 : 0) + 12;
    if (iCount < 0 || (int64_t)iCount * iWords * 4 > *piBytesLeft)
        return ReportFailure("Item count does not fit the data size of the block.");
    *piBytesLeft -= (int64_t)iCount * iWords * 4;
    if (iCount == 0) return true;
    if (!pArray->SetSize(iCount)) return ReportFailure("Error allocating memory");
    for (int i = 0; i < iCount; i++) {
        int32_t aiWords[13];
        float afRows[12];
        if (!m_pReader->ReadInts(aiWords, iWords)) return ReportReadFailure();
        NKFTransformationEntry *pEntry = pArray->GetAt(i);
        pEntry->iBlockID = m_bWithID ? aiWords[0] : 0;
        memcpy(afRows, aiWords + (m_bWithID ? 1 : 0), sizeof afRows);
        SetMatrixRows(pEntry->afMatrix, afRows);
    }
    return true;
}

bool NKFTransformationBlock::LoadBinary()
{
    if (!SkipHeaderDirectives()) return false;
    int64_t iBytesLeft = m_iDataSize;
    for (int s = 0; s < m_iNumSteps; s++) {
        bool bHead = m_Steps.ReadRecordHead(m_pReader, s);
        int32_t aiCounts[2] = {0, 0};  // element matrices, face-set matrices
        if (!bHead || !m_pReader->ReadInts(aiCounts, 2)) return ReportReadFailure();
        iBytesLeft -= kTransformationStepBytes;
        if (!LoadBinaryEntries(&m_pElementMatrices[s], aiCounts[0], &iBytesLeft) ||
            !LoadBinaryEntries(&m_pFaceSetMatrices[s], aiCounts[1], &iBytesLeft))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Viewpoint block

NKFViewpointBlock::NKFViewpointBlock(NKFReader *pReader, int iBlockID)
    : NKFSteppedBlock(pReader, iBlockID), m_ppfViewpoints(nullptr)
{
    m_iBlockType = NKF_VIEWPOINTS;
}

NKFViewpointBlock::~NKFViewpointBlock() { FreeData(); }

void NKFViewpointBlock::FreeData()
{
    NKFreeBlockArray((void **)m_ppfViewpoints, m_iNumSteps);
    m_ppfViewpoints = nullptr;
    m_Steps.Free();
    m_bDataLoaded = false;
}

bool NKFViewpointBlock::GetViewpoint(int iStep, float pfEye[3], float pfVrp[3], float pfUp[3])
{
    if (iStep < 0 || iStep >= m_iNumSteps || pfEye == nullptr || pfVrp == nullptr ||
        pfUp == nullptr)
        return false;
    if (!LoadData()) return false;
    const float *pf = m_ppfViewpoints[iStep];
    memcpy(pfEye, pf, 3 * sizeof(float));
    memcpy(pfVrp, pf + 3, 3 * sizeof(float));
    memcpy(pfUp, pf + 6, 3 * sizeof(float));
    return true;
}

bool NKFViewpointBlock::ParseBlock()
{
    return ParseByForm([this] { return ParseAscii(); }, [this] { return ParseBinary(); });
}

// Every step holds exactly three vectors: checked when a "%STEP" line
// closes a step and at the end.
bool NKFViewpointBlock::ParseAscii()
{
    NKFStepCounter counter(NKF_STEPS_EACH_LINE);
    int64_t iValues = 0;
    NKString line;
    for (NKFLineKind eKind; (eKind = NKFNextBodyLine(m_pReader, &line)) != NKF_LINE_END;) {
        if (eKind == NKF_LINE_VALUE) {
            if (line.CountWords() != 3) {
                ReportLineError(NKString(""), NKString(kThreeValuesText));
                return false;
            }
            iValues += 3;
            counter.OnValueLine();
            continue;
        }
        NKString word = NKFDirectiveWord(line);
        if (word == "%STEP") {
            if (counter.OnStepLine() && iValues != 9) {
                ReportLineError(NKString(""), NKString(kViewpointText));
                return false;
            }
            iValues = 0;
        } else if (word != "%STEPNAME" && word != "%STEPTIME") {
            ReportLineError(NKString(""), NKString("Illegal directive found."));
            return false;
        }
    }
    if (iValues != 9) {
        ReportLineError(NKString(""), NKString(kViewpointText));
        return false;
    }
    m_iNumSteps = counter.GetNumSteps();
    return true;
}

bool NKFViewpointBlock::ParseBinary()
{
    int32_t iDataSize = 0, iNumSteps = 0;
    if (!ReadNamedHeader(kViewpointHeaderBytes, &iNumSteps, 1, &iDataSize)) return false;
    m_iNumSteps = iNumSteps;
    if (!CheckItemBytes(m_iNumSteps, kViewpointStepBytes)) return false;
    return CheckEndOfBlock(iDataSize);
}

bool NKFViewpointBlock::AllocateSteps()
{
    if (m_iNumSteps == 0) return true;
    m_ppfViewpoints = (float **)NKAllocBlockArray(9 * sizeof(float), m_iNumSteps);
    if (m_ppfViewpoints == nullptr || !m_Steps.Allocate(m_iNumSteps))
        return ReportFailure("Error allocating memory");
    for (int s = 0; s < m_iNumSteps; s++) memset(m_ppfViewpoints[s], 0, 9 * sizeof(float));
    return true;
}

bool NKFViewpointBlock::LoadData()
{
    return LoadAfterSeek(
        [this] { return AllocateSteps() && (m_pReader->IsAscii() ? LoadAscii() : LoadBinary()); },
        "Block not parsed.");
}

bool NKFViewpointBlock::LoadAscii()
{
    NKFStepCounter counter(NKF_STEPS_EACH_LINE);
    int iRow = 0;
    NKString line;
    for (NKFLineKind eKind; (eKind = NKFNextBodyLine(m_pReader, &line)) != NKF_LINE_END;) {
        int s = counter.GetCurrent();
        if (eKind == NKF_LINE_VALUE) {
            counter.OnValueLine();
            if (iRow < 3) {
                const char *p = line.GetText();
                for (int k = 0; k < 3; k++) NKFScanFloat(&p, &m_ppfViewpoints[s][iRow * 3 + k]);
            }
            iRow++;
            continue;
        }
        NKFStepLine eStep =
            m_Steps.ApplyDirective(NKFDirectiveWord(line), line, &counter, m_iNumSteps);
        if (eStep == NKF_STEP_PAST_END) break;
        if (eStep == NKF_STEP_OPENED) iRow = 0;
    }
    if (counter.GetNumSteps() != m_iNumSteps) return ReportReadFailure();
    return true;
}

bool NKFViewpointBlock::LoadBinary()
{
    if (!SkipHeaderDirectives()) return false;
    for (int s = 0; s < m_iNumSteps; s++) {
        if (!m_Steps.ReadRecordHead(m_pReader, s) || !m_pReader->ReadFloats(m_ppfViewpoints[s], 9))
            return ReportReadFailure();
    }
    return true;
}
