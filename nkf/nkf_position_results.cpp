// nkf/nkf_position_results.cpp -- the *POSITIONRESULTS block and the two
// position step lists (layouts in nkf_position_results.h). The step lists
// are NKFStepListBlock (nkf_step_table.cpp) with their own type, reference
// check and unknown-directive warning.
#include "nkf/nkf_position_results.h"

#include "core/nk_memory.h"
#include "nkf/nkf_reader.h"

static const int kPositionHeaderBytes = 36;
static const char *const kMissingPositionResults =
    "Position results block (*POSITIONRESULTS) with ID = ";

NKFPositionResultBlock::NKFPositionResultBlock(NKFReader *pReader, int iBlockID)
    : NKFBlock(pReader, iBlockID), m_piIDs(nullptr), m_pfPositions(nullptr),
      m_pfScalarValues(nullptr), m_pfVectorValues(nullptr), m_iDimension(1), m_iNumValues(0),
      m_iMapToElements(-1), m_iTargetBlockID(-1), m_iMapping(NKF_POSITION_MAP_NONE),
      m_bGlobalPositions(1), m_bGlobalResults(1)
{
    m_iBlockType = NKF_POSITIONRESULTS;
}

NKFPositionResultBlock::~NKFPositionResultBlock() { FreeData(); }

void NKFPositionResultBlock::FreeData()
{
    NKFreeAndClear(&m_piIDs, &m_pfPositions, &m_pfScalarValues, &m_pfVectorValues);
    m_bDataLoaded = false;
}

int64_t NKFPositionResultBlock::RowBytes() const
{
    return ((m_iMapping != NKF_POSITION_MAP_NONE ? 1 : 0) + 3 + (int64_t)m_iDimension) * 4;
}

bool NKFPositionResultBlock::ResolveReferences()
{
    if (!m_bHeaderParsed) return ReportFailure("Results block not parsed.");
    if (m_iMapToElements != 1 || m_pReader->FindBlock(NKF_ELEMENTS, m_iTargetBlockID) != nullptr)
        return true;
    ReportError(NKString(""),
                NKString::FromFormat("Element block (*ELEMENTS) with id = %dnot found in file",
                                     m_iTargetBlockID));
    return false;
}

// ---------------------------------------------------------------------------
// First pass

bool NKFPositionResultBlock::ParseBlock()
{
    return ParseByForm([this] { return ParseAscii(); }, [this] { return ParseBinary(); });
}

bool NKFPositionResultBlock::ParseDirective(const NKString &line)
{
    NKString word = NKFDirectiveWord(line);
    if (word == "%DIMENSION") {
        int iDimension = NKFDirectiveInt(line);
        if (iDimension != 1 && iDimension != 3) {
            ReportLineError(NKString(""),
                            NKString("Wrong number of dimensions. Only 1 and 3 accepted"));
            return false;
        }
        m_iDimension = iDimension;
    } else if (word == "%MAPTO_ELEMENTS") {
        if (line.FindChar('#', 0, true) < 0) {
            ReportLineError(
                NKString(""),
                NKString("No element block ID specified in %MAPTO_ELEMENTS. Missing #ID."));
            return false;
        }
        m_iTargetBlockID = ReadReference(line);
        m_iMapToElements = 1;
    } else if (word == "%MAP_NONE" || word == "%MAP_ID" || word == "%MAP_INDEX") {
        m_iMapping = word == "%MAP_NONE" ? NKF_POSITION_MAP_NONE
                     : word == "%MAP_ID" ? NKF_POSITION_MAP_ID
                                         : NKF_POSITION_MAP_INDEX;
    } else if (word == "%GLOBAL_POSITIONS" || word == "%LOCAL_POSITIONS") {
        m_bGlobalPositions = word == "%GLOBAL_POSITIONS" ? 1 : 0;
    } else if (word == "%GLOBAL_RESULTS" || word == "%LOCAL_RESULTS") {
        m_bGlobalResults = word == "%GLOBAL_RESULTS" ? 1 : 0;
    }
    return true;  // other directives are ignored
}

// With the parser's strict checking: [ID] x y z and the dimension's values.
bool NKFPositionResultBlock::CheckValueLine(const NKString &line)
{
    int iWords = line.CountWords();
    if (m_iMapping != NKF_POSITION_MAP_NONE) {
        if (iWords == m_iDimension + 4) return true;
        ReportLineError(NKString(""), NKString("Error in results values. \nEach line must contain "
                                               "#dim + 4 values when using %WITH_ID"));
        return false;
    }
    if (iWords == m_iDimension + 3) return true;
    ReportLineError(NKString(""), NKString("Error in results values. \nEach line must contain "
                                           "#dim + 3 values when using %NO_ID (default)"));
    return false;
}

bool NKFPositionResultBlock::ParseAscii()
{
    NKString line;
    for (NKFLineKind eKind; (eKind = NKFNextBodyLine(m_pReader, &line)) != NKF_LINE_END;) {
        if (eKind == NKF_LINE_DIRECTIVE) {
            if (!ParseDirective(line)) return false;
            continue;
        }
        if (!m_pReader->GetDeferReferences() && !CheckValueLine(line)) return false;
        if (m_iNumValues == INT32_MAX) {
            ReportLineError(NKString(""), NKString("Too many values in block."));
            return false;
        }
        m_iNumValues++;
    }
    return true;
}

bool NKFPositionResultBlock::ParseBinary()
{
    int32_t iDataSize = 0;
    // dimension, map-to-elements, target, mapping, global positions,
    // global results, value count
    int32_t aiFields[7] = {0, 0, 0, 0, 0, 0, 0};
    if (!ReadHeaderWords(kPositionHeaderBytes, aiFields, 7, &iDataSize)) return false;
    if (aiFields[0] != 1 && aiFields[0] != 3) {
        ReportLineError(NKString(""),
                        NKString("Wrong number of dimensions. Only 1 and 3 accepted"));
        return false;
    }
    m_iDimension = aiFields[0];
    m_iMapToElements = aiFields[1];
    m_iTargetBlockID = aiFields[2];
    m_iMapping = aiFields[3];
    m_bGlobalPositions = aiFields[4] == 1 ? 1 : 0;
    m_bGlobalResults = aiFields[5] == 1 ? 1 : 0;
    m_iNumValues = aiFields[6];
    if (!CheckItemBytes(m_iNumValues, RowBytes())) return false;
    return CheckEndOfBlock(iDataSize);
}

// ---------------------------------------------------------------------------
// Second pass

bool NKFPositionResultBlock::AllocateValues()
{
    size_t n = (size_t)m_iNumValues;
    m_pfPositions = (float *)NKCalloc(n * 3, sizeof(float));
    if (m_iDimension == 3)
        m_pfVectorValues = (float *)NKCalloc(n * 3, sizeof(float));
    else
        m_pfScalarValues = (float *)NKCalloc(n, sizeof(float));
    if (m_iMapping != NKF_POSITION_MAP_NONE) m_piIDs = (int32_t *)NKCalloc(n, sizeof(int32_t));
    bool bOk = m_pfPositions != nullptr &&
               (m_pfVectorValues != nullptr || m_pfScalarValues != nullptr) &&
               (m_iMapping == NKF_POSITION_MAP_NONE || m_piIDs != nullptr);
    if (!bOk) {
        FreeData();
        ReportError(NKString(""), NKString("Error allocating memory for results"));
    }
    return bOk;
}

bool NKFPositionResultBlock::LoadData()
{
    if (m_bDataLoaded) return true;
    if (!m_bHeaderParsed) return ReportFailure("Results block not parsed.");
    if (m_iNumValues == 0) {
        m_bDataLoaded = true;
        return true;
    }
    if (!SeekPosition() || !SkipHeaderDirectives()) return false;
    // Checked when parsing too; nothing else guards this allocation.
    if (!CheckItemBytes(m_iNumValues, RowBytes())) return false;
    if (!AllocateValues()) return false;
    // Values that are no number load as undefined (NaN and infinities are
    // kept, with a warning for NaN and -inf); a position or ID that is no
    // finite number fails the load, since it would place the value anywhere.
    bool bRead = m_iDimension == 3 ? ReadVec3Pairs(m_piIDs, m_pfPositions, m_pfVectorValues,
                                                   m_iNumValues, NKF_NUMBERS_RESULTS)
                                   : ReadVec3AndFloat(m_piIDs, m_pfPositions, m_pfScalarValues,
                                                      m_iNumValues, NKF_NUMBERS_RESULTS);
    if (!bRead) {
        FreeData();
        ReportError(NKString(""), NKString("Error reading results"));
        return false;
    }
    WarnNotNumbers(m_iDimension == 3 ? m_pfVectorValues : m_pfScalarValues,
                   (int64_t)m_iNumValues * (m_iDimension == 3 ? 3 : 1));
    m_bDataLoaded = true;
    return true;
}

// ---------------------------------------------------------------------------
// Step lists

NKFPositionListBlock::NKFPositionListBlock(NKFReader *pReader, int iBlockID, int iType)
    : NKFStepListBlock(pReader, iBlockID, iType, NKF_STEPS_EACH_LINE)
{}

const char *NKFPositionListBlock::MissingReferenceText() const { return kMissingPositionResults; }

void NKFPositionListBlock::ReportUnknownDirective()
{
    ReportLineWarning(NKString("Unknown directive found."));
}

NKFQuolinPositionScalarBlock::NKFQuolinPositionScalarBlock(NKFReader *pReader, int iBlockID)
    : NKFPositionListBlock(pReader, iBlockID, NKF_QUOLINPOSITIONSCALAR)
{}

NKFQuolinPositionVectorBlock::NKFQuolinPositionVectorBlock(NKFReader *pReader, int iBlockID)
    : NKFPositionListBlock(pReader, iBlockID, NKF_QUOLINPOSITIONVECTOR)
{}
