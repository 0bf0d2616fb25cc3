// nkf/nkf_transformation_results.cpp -- the *TRANSFORMATIONRESULT block and
// the *QUOLINTRANSFORMATION step list (layouts in
// nkf_transformation_results.h). The step list is NKFStepListBlock
// (nkf_step_table.cpp) with its own header fields and messages.
#include "nkf/nkf_transformation_results.h"

#include <cstring>

#include "nkf/nkf_reader.h"

static const int kResultHeaderBytes = 16;
// Bytes of the matrix data: four rows of three float32.
static const int kMatrixBytes = 12 * 4;

NKFTransformationResultBlock::NKFTransformationResultBlock(NKFReader *pReader, int iBlockID)
    : NKFBlock(pReader, iBlockID), m_afMatrix{}, m_iFaceSetBlockID(-1), m_iElementBlockID(-1)
{
    m_iBlockType = NKF_TRANSFORMATIONRESULT;
}

bool NKFTransformationResultBlock::ParseBlock()
{
    return ParseByForm([this] { return ParseAscii(); }, [this] { return ParseBinary(); });
}

// An unknown directive is only warned about; with the parser's strict
// checking every value line holds three numbers.
bool NKFTransformationResultBlock::ParseAscii()
{
    NKString line;
    for (NKFLineKind eKind; (eKind = NKFNextBodyLine(m_pReader, &line)) != NKF_LINE_END;) {
        if (eKind == NKF_LINE_VALUE) {
            if (!m_pReader->GetDeferReferences() && line.CountWords() != 3) {
                ReportLineError(NKString(""),
                                NKString("Error in matrix. \nEach line must contain 3 values."));
                return false;
            }
            continue;
        }
        NKString word = NKFDirectiveWord(line);
        if (word == "%IFS_BLOCK_ID") {
            m_iFaceSetBlockID = ReadReference(line);
        } else if (word == "%ELEMENT_BLOCK_ID") {
            m_iElementBlockID = ReadReference(line);
        } else {
            m_pReader->ReportWarning(
                NKString("Block type : ") + NKFBlockKeyword(m_iBlockType),
                NKString("Unknown Identifier found in transformation result block."));
        }
    }
    return true;
}

bool NKFTransformationResultBlock::ParseBinary()
{
    int32_t iHeaderSize = 0, iDataSize = 0;
    if (!ReadHeaderSizes(kResultHeaderBytes, &iHeaderSize, &iDataSize)) return false;
    int32_t aiIDs[2] = {0, 0};  // face-set block, element block
    if (!m_pReader->ReadInts(aiIDs, 2)) {
        ReportMissingEnd();
        return false;
    }
    if (!SkipHeaderRest(iHeaderSize, kResultHeaderBytes)) return false;
    m_iFaceSetBlockID = aiIDs[0];
    m_iElementBlockID = aiIDs[1];
    // The matrix must fit the block's data.
    if (!CheckDataBytes(kMatrixBytes)) return false;
    return CheckEndOfBlock(iDataSize);
}

bool NKFTransformationResultBlock::LoadData()
{
    if (m_bDataLoaded) return true;
    if (!CheckParsed("Block not parsed.")) return false;
    if (!SeekPosition() || !SkipHeaderDirectives())
        return ReportFailure("Error reading transformation matrix");
    float afRows[12] = {0};
    if (!ReadFloatRows(afRows, 3, 4, nullptr))
        return ReportFailure("Error reading transformation matrix");
    for (int r = 0; r < 4; r++) {
        memcpy(m_afMatrix + r * 4, afRows + r * 3, 3 * sizeof(float));
        m_afMatrix[r * 4 + 3] = r == 3 ? 1.0f : 0.0f;
    }
    m_bDataLoaded = true;
    return true;
}

// ---------------------------------------------------------------------------
// Step list

NKFQuolinTransformationBlock::NKFQuolinTransformationBlock(NKFReader *pReader, int iBlockID)
    : NKFStepListBlock(pReader, iBlockID, NKF_QUOLINTRANSFORMATION, NKF_STEPS_EACH_LINE)
{}

const char *NKFQuolinTransformationBlock::MissingReferenceText() const
{
    return "Transformation result block (*TRANSFORMATIONRESULT) with ID = ";
}

// Name and step count, and from 100 bytes on an unused word and the
// extra-word flag.
bool NKFQuolinTransformationBlock::ReadHeaderFields(int iHeaderSize, int *piKnownBytes)
{
    return ReadNameAndSteps(iHeaderSize, 100, piKnownBytes);
}

void NKFQuolinTransformationBlock::ReportUnknownDirective()
{
    ReportLineWarning(NKString("Unknown directive found."));
}
