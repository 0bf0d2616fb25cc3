// nkf/nkf_step_lists.cpp -- the scalar, vector and visibility step lists
// (layouts in nkf_step_lists.h): their own directives and header fields,
// the scalar block's mapping query and the visibility computation. Step
// counting and loading are NKFStepListBlock's (nkf_step_table.cpp).
#include "nkf/nkf_step_lists.h"

#include <cmath>
#include <cstring>

#include "core/nk_memory.h"
#include "nkf/nkf_elements.h"
#include "nkf/nkf_reader.h"
#include "nkf/nkf_results.h"
#include "nkf/nkf_stream.h"

// ---------------------------------------------------------------------------
// What the three share

NKFResultListBlock::NKFResultListBlock(NKFReader *pReader, int iBlockID, int iType)
    : NKFStepListBlock(pReader, iBlockID, iType, NKF_STEPS_MERGE_EMPTY)
{}

const char *NKFResultListBlock::MissingReferenceText() const
{
    return "Results block (*RESULTS) with ID = ";
}

// Name and step count, and from 104 bytes on two unused words and the
// extension flag.
bool NKFResultListBlock::ReadHeaderFields(int iHeaderSize, int *piKnownBytes)
{
    return ReadNameAndSteps(iHeaderSize, 104, piKnownBytes);
}

// ---------------------------------------------------------------------------
// Scalar

NKFQuolinScalarBlock::NKFQuolinScalarBlock(NKFReader *pReader, int iBlockID)
    : NKFResultListBlock(pReader, iBlockID, NKF_QUOLINSCALAR), m_fScaleFactor(1.0f), m_fOffset(0.0f)
{}

int NKFQuolinScalarBlock::ParseOwnDirective(const NKString &word, const NKString &line)
{
    if (word == "%SCALE_FACTOR") {
        m_fScaleFactor = NKFDirectiveFloat(line);
        return 1;
    }
    if (word == "%OFFSET") {
        m_fOffset = NKFDirectiveFloat(line);
        return 1;
    }
    return 0;
}

bool NKFQuolinScalarBlock::HasResultMapping(int iMapping, int iStep)
{
    if (!LoadData()) return false;
    int iFirst = 0, iLast = GetNumSteps() - 1;
    if (iStep != -1) {
        iFirst = iLast = NKFFindStepIndex(iStep, GetStepNumbers(), GetNumSteps());
        if (iFirst < 0) return false;
    }
    for (int s = iFirst; s <= iLast; s++) {
        const int32_t *piIDs = GetStepIDs(s);
        for (int k = 0; k < GetStepIDCount(s); k++) {
            auto *pResult = (NKFResultBlock *)m_pReader->FindBlock(NKF_RESULTS, piIDs[k]);
            if (pResult != nullptr && pResult->GetMapping() == iMapping) return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------
// Vector

NKFQuolinVectorBlock::NKFQuolinVectorBlock(NKFReader *pReader, int iBlockID)
    : NKFResultListBlock(pReader, iBlockID, NKF_QUOLINVECTOR),
      m_fScaleFactor(1.0f), m_afOffset{0.0f, 0.0f, 0.0f}, m_bXOnly(0), m_bYOnly(0), m_bZOnly(0),
      m_bDeformation(0)
{}

int NKFQuolinVectorBlock::ParseOwnDirective(const NKString &word, const NKString &line)
{
    if (word == "%SCALE_FACTOR") {
        m_fScaleFactor = NKFDirectiveFloat(line);
    } else if (word == "%OFFSET") {
        NKString scan(line);
        for (int k = 0; k < 3; k++)
            m_afOffset[k] = NKFDoubleToFloat(NKFWordToDouble(scan.GetWord(k + 1).GetText()));
    } else if (word == "%XVALUES" || word == "%YVALUES" || word == "%ZVALUES") {
        m_bXOnly = word == "%XVALUES" ? 1 : 0;
        m_bYOnly = word == "%YVALUES" ? 1 : 0;
        m_bZOnly = word == "%ZVALUES" ? 1 : 0;
    } else if (word == "%DEFORMATION") {
        m_bDeformation = 1;
    } else if (word == "%VECTOR_VALUES") {
        m_bDeformation = 0;
    } else {
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// Visibility

NKFQuolinVisibilityBlock::NKFQuolinVisibilityBlock(NKFReader *pReader, int iBlockID)
    : NKFResultListBlock(pReader, iBlockID, NKF_QUOLINVISIBILITY), m_bDefaultVisible(1)
{}

bool NKFQuolinVisibilityBlock::ReadHeaderFields(int, int *piKnownBytes)
{
    int32_t aiFields[2] = {0, 0};  // default visible, step count
    *piKnownBytes = 96;
    if (!NKFReadText80(m_pReader, &m_Name, true) || !m_pReader->ReadInts(aiFields, 2)) return false;
    m_bDefaultVisible = aiFields[0] != 0 ? 1 : 0;
    m_iNumSteps = aiFields[1];
    return true;
}

int NKFQuolinVisibilityBlock::ParseOwnDirective(const NKString &word, const NKString &)
{
    if (word == "%DEFAULTVISIBLE")
        m_bDefaultVisible = 1;
    else if (word == "%DEFAULTINVISIBLE")
        m_bDefaultVisible = 0;
    else
        return 0;
    return 1;
}

// A results value as a visibility byte: truncated toward zero, as a byte.
// Values outside the int range (and NaN) cannot be truncated and count as
// hidden.
static uint8_t VisibilityByte(float fValue)
{
    double d = std::trunc((double)fValue);
    if (!(d > -2147483649.0 && d < 2147483648.0)) return 1;
    return (uint8_t)(int32_t)d;
}

// Applies one *RESULTS block to the elements whose byte is still the fill
// byte: by position when either side has no IDs, else by the element's
// user ID among the block's IDs.
static void ApplyVisibilityValues(NKFResultBlock *pResult, Elements *pElements, int iCount,
                                  uint8_t cFill, uint8_t *pcBytes)
{
    const float *pfValues = pResult->GetScalarValues();
    if (!pResult->HasIDs() || !pElements->HasIDs()) {
        int n = iCount < pResult->GetNumItems() ? iCount : pResult->GetNumItems();
        for (int k = 0; k < n; k++) {
            if (pcBytes[k] == cFill) pcBytes[k] = VisibilityByte(pfValues[k]);
        }
        return;
    }
    int k = 0;
    for (int s = 0; s < pElements->GetNumSections(); s++) {
        const int32_t *piIDs = pElements->GetSectionIDs(s);
        for (int i = 0; i < pElements->GetSectionCount(s) && k < iCount; i++, k++) {
            if (pcBytes[k] != cFill || piIDs == nullptr) continue;
            int iItem = pResult->FindItem(piIDs[i]);
            if (iItem >= 0) pcBytes[k] = VisibilityByte(pfValues[iItem]);
        }
    }
}

bool NKFQuolinVisibilityBlock::ComputeElementVisibility(Elements *pElements, int *piCount,
                                                        uint8_t **ppcBytes)
{
    if (pElements == nullptr || piCount == nullptr || ppcBytes == nullptr || !LoadData())
        return false;
    if (pElements->HasIDs() && !pElements->LoadData()) return false;
    uint8_t cFill = m_bDefaultVisible ? 0 : 1;
    int iCount = pElements->GetNumItems();
    uint8_t *pcBytes = nullptr;
    if (iCount > 0) {
        pcBytes = (uint8_t *)NKAlloc((size_t)iCount);
        if (pcBytes == nullptr) return ReportFailure("Error allocating memory");
        memset(pcBytes, cFill, (size_t)iCount);
    }
    for (int s = 0; s < GetNumSteps(); s++) {
        for (int i = 0; i < GetStepIDCount(s); i++) {
            auto *pResult = (NKFResultBlock *)m_pReader->FindBlock(NKF_RESULTS, GetStepIDs(s)[i]);
            if (pResult == nullptr) continue;
            if (!pResult->LoadData()) {
                NKFree(pcBytes);
                return false;
            }
            if (pResult->GetScalarValues() == nullptr ||
                pResult->GetReferencedBlockID(NKF_MAP_PER_ELEMENT) != pElements->GetBlockID())
                continue;
            if (pcBytes != nullptr)
                ApplyVisibilityValues(pResult, pElements, iCount, cFill, pcBytes);
        }
    }
    *piCount = iCount;
    *ppcBytes = pcBytes;
    return true;
}
