// nkf/nkf_state_blocks.cpp -- the *PARTATTRIBUTES, *SETTINGS and *ITEMS
// blocks (layouts in nkf_state_blocks.h and nkf_state_records.h). The
// import's display-state steps (nkf_display_state.cpp) load and apply them.
#include "nkf/nkf_state_blocks.h"

#include <algorithm>

#include "core/nk_memory.h"
#include "nkf/nkf_reader.h"

namespace {

const int kPartHeaderBytes = 12;
const int kSettingsHeaderBytes = 24;
const int kItemsHeaderBytes = 28;
const int kPartRecordBytes = NKF_PART_ATTRIBUTES_WORDS * 4;
const int kMainRecordBytes = NKF_MAIN_SETTINGS_WORDS * 4;
const int kVectorRecordBytes = NKF_VECTOR_SETTINGS_WORDS * 4;
const int kExtraRecordBytes = NKF_EXTRA_SETTINGS_WORDS * 4;

const char *const kItemSizeMessages[NKF_ITEM_KINDS] = {
    "Wrong size of Cutplane struct.", "Wrong size of Iso Surface struct.",
    "Wrong size of Particle Traces struct.", "Wrong size of Trace struct.",
    "Wrong size of Node Plot struct."};
const int kItemWords[NKF_ITEM_KINDS] = {NKF_CUTPLANE_ITEM_WORDS, NKF_ISOSURFACE_ITEM_WORDS,
                                        NKF_PARTICLE_ITEM_WORDS, NKF_NODE_ITEM_WORDS,
                                        NKF_NODE_ITEM_WORDS};

// Header counts as an item count: damaged headers may sum past INT_MAX.
int ClampCount(int64_t n) { return n > INT32_MAX ? INT32_MAX : (int)n; }

bool IsTextWord(const int *piTextWords, int w)
{
    for (int k = 0; piTextWords[k] >= 0; k++)
        if (w >= piTextWords[k] && w < piTextWords[k] + 20) return true;
    return false;
}

// Reads words iFirst..iLast - 1: numbers in the file's byte order, text
// fields as their raw bytes. False on a short read.
bool ReadWords(NKFReader *pReader, int32_t *piWords, int iFirst, int iLast, const int *piTextWords)
{
    for (int w = iFirst; w < iLast; w++) {
        if (IsTextWord(piTextWords, w)) {
            if (!pReader->ReadBytes(&piWords[w], 80)) return false;
            w += 19;
        } else if (!pReader->ReadInts(&piWords[w], 1)) {
            return false;
        }
    }
    return true;
}

// Reads a record's size word; false when fewer than four bytes are left.
bool ReadSizeWord(NKFReader *pReader, int64_t *piLeft, int32_t *piSize)
{
    if (*piLeft < 4 || !pReader->ReadInts(piSize, 1)) return false;
    *piLeft -= 4;
    return true;
}

// Common start of LoadData for the three kinds: ASCII is refused with the
// kind's message, else the stream goes back to the data.
bool BeginLoad(NKFBlock *pBlock, const char *pszAscii)
{
    NKFReader *pReader = pBlock->GetReader();
    if (pReader->IsAscii()) {
        pBlock->ReportError(NKString(""), NKString(pszAscii));
        return false;
    }
    if (!pBlock->IsHeaderParsed() || !pBlock->SeekPosition() || !pBlock->SkipHeaderDirectives()) {
        pBlock->ReportError(NKString(""), NKString("Error skipping header"));
        return false;
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------

NKFPartAttributesBlock::NKFPartAttributesBlock(NKFReader *pReader, int iBlockID)
    : NKFBlock(pReader, iBlockID), m_iNumParts(0), m_pRecords(nullptr)
{
    m_iBlockType = NKF_PARTATTRIBUTES;
}

NKFPartAttributesBlock::~NKFPartAttributesBlock() { FreeData(); }

static const char kPartAscii[] = "ASCII version of Part Attributes Block is not implemented yet.";
static const char kSettingsAscii[] =
    "ASCII version of Quolin Settings Block is not implemented yet.";
static const char kItemsAscii[] = "ASCII version of Items Block is not implemented yet.";

bool NKFPartAttributesBlock::ParseBlock()
{
    if (!GetPosition()) return false;
    if (m_pReader->IsAscii()) {
        ReportError(NKString(""), NKString(kPartAscii));
        return false;
    }
    int32_t iDataSize = 0, iCount = 0;
    if (!ReadHeaderWords(kPartHeaderBytes, &iCount, 1, &iDataSize)) return false;
    if (!CheckEndOfBlock(iDataSize)) return false;
    m_iNumParts = iCount;
    m_bHeaderParsed = true;
    return true;
}

bool NKFPartAttributesBlock::LoadData()
{
    if (m_bDataLoaded) return true;
    if (!BeginLoad(this, kPartAscii)) return false;
    const NKString wrong("Wrong size of Part Attributes struct");
    if (m_iNumParts < 0 || (int64_t)m_iNumParts * kPartRecordBytes > m_iDataSize) {
        ReportError(NKString(""), wrong);
        return false;
    }
    m_pRecords = (NKFPartAttributes *)NKAlloc(sizeof(NKFPartAttributes) * (size_t)m_iNumParts + 1);
    if (m_pRecords == nullptr) return ReportFailure("Out of memory.");
    for (int i = 0; i < m_iNumParts; i++) {
        NKFPartAttributes *pRec = &m_pRecords[i];
        NKFInitPartAttributes(pRec);
        int32_t iSize = 0;
        if (!m_pReader->ReadInts(&iSize, 1) || iSize != kPartRecordBytes) {
            ReportError(NKString(""), wrong);
            return FinishLoad(false);
        }
        if (!ReadWords(m_pReader, pRec->aiWords, 1, NKF_PART_ATTRIBUTES_WORDS, g_aiPartTextWords)) {
            ReportError(NKString(""), wrong);
            return FinishLoad(false);
        }
    }
    return FinishLoad(true);
}

void NKFPartAttributesBlock::FreeData()
{
    NKFree(m_pRecords);
    m_pRecords = nullptr;
    m_bDataLoaded = false;
}

const NKFPartAttributes *NKFPartAttributesBlock::GetPartAttributes(int iPart) const
{
    if (!m_bDataLoaded || m_pRecords == nullptr || iPart < 0 || iPart >= m_iNumParts)
        return nullptr;
    return &m_pRecords[iPart];
}

// ---------------------------------------------------------------------------

NKFSettingsBlock::NKFSettingsBlock(NKFReader *pReader, int iBlockID)
    : NKFBlock(pReader, iBlockID), m_bHasMain(0), m_iNumScalar(0), m_iNumVector(0), m_iExtraFlag(0),
      m_pScalar(nullptr), m_pVector(nullptr)
{
    m_iBlockType = NKF_SETTINGS;
    NKFInitMainSettings(&m_Main);
    NKFInitExtraSettings(&m_Extra);
}

NKFSettingsBlock::~NKFSettingsBlock() { FreeData(); }

bool NKFSettingsBlock::ParseBlock()
{
    if (!GetPosition()) return false;
    if (m_pReader->IsAscii()) {
        ReportError(NKString(""), NKString(kSettingsAscii));
        return false;
    }
    int32_t iDataSize = 0;
    int32_t aiCounts[4] = {0, 0, 0, 0};
    if (!ReadHeaderWords(kSettingsHeaderBytes, aiCounts, 4, &iDataSize)) return false;
    if (!CheckEndOfBlock(iDataSize)) return false;
    m_bHasMain = aiCounts[0] != 0 ? 1 : 0;
    m_iNumScalar = aiCounts[1];
    m_iNumVector = aiCounts[2];
    m_iExtraFlag = aiCounts[3];
    m_bHeaderParsed = true;
    return true;
}

// The first 948 bytes always; each later word while the bytes read are
// below the smaller of the size and 1228; a larger record's rest skipped.
bool NKFSettingsBlock::LoadMain(int64_t *piLeft)
{
    const NKString wrong("Wrong size of Quolin Settings struct.");
    NKFInitMainSettings(&m_Main);
    int32_t iSize = 0;
    if (!ReadSizeWord(m_pReader, piLeft, &iSize) || iSize < NKF_MAIN_SETTINGS_MIN_BYTES) {
        ReportError(NKString(""), wrong);
        return false;
    }
    int iLimit = std::min(iSize, kMainRecordBytes);
    int nWords = NKF_MAIN_SETTINGS_MIN_BYTES / 4;
    while (nWords < NKF_MAIN_SETTINGS_WORDS && nWords * 4 < iLimit) nWords++;
    int64_t iConsumed = std::max<int64_t>(iSize, (int64_t)nWords * 4) - 4;
    if (iConsumed > *piLeft) {
        ReportError(NKString(""), wrong);
        return false;
    }
    m_Main.SetI(0, iSize);
    if (!ReadWords(m_pReader, m_Main.aiWords, 1, nWords, g_aiMainTextWords) ||
        !m_pReader->Skip((int64_t)iSize - nWords * 4 > 0 ? (int64_t)iSize - nWords * 4 : 0)) {
        ReportError(NKString(""), wrong);
        return false;
    }
    *piLeft -= iConsumed;
    return true;
}

// A record under 428 bytes is passed over with its defaults kept.
bool NKFSettingsBlock::LoadExtra(int64_t *piLeft)
{
    const NKString wrong("Wrong size of Extra Settings struct.");
    NKFInitExtraSettings(&m_Extra);
    int32_t iSize = 0;
    if (!ReadSizeWord(m_pReader, piLeft, &iSize) || iSize - 4 > *piLeft) {
        ReportError(NKString(""), wrong);
        return false;
    }
    int64_t iRest = iSize > 4 ? iSize - 4 : 0;
    bool bOk = true;
    if (iSize >= kExtraRecordBytes) {
        bOk = ReadWords(m_pReader, m_Extra.aiWords, 1, NKF_EXTRA_SETTINGS_WORDS,
                        g_aiExtraTextWords) &&
              m_pReader->Skip(iSize - kExtraRecordBytes);
        if (bOk) m_Extra.SetI(0, iSize);
    } else {
        bOk = m_pReader->Skip(iRest);
    }
    if (!bOk) {
        NKFInitExtraSettings(&m_Extra);
        ReportError(NKString(""), wrong);
        return false;
    }
    *piLeft -= iRest;
    return true;
}

bool NKFSettingsBlock::CheckRecordCounts(int64_t iLeft)
{
    int64_t iMain = m_bHasMain ? NKF_MAIN_SETTINGS_MIN_BYTES : 0;
    if (m_bHasMain && iMain > iLeft) return ReportFailure("Wrong size of Quolin Settings struct.");
    if (m_iNumScalar < 0 || iMain + (int64_t)m_iNumScalar * NKF_SCALAR_SETTINGS_MIN_BYTES > iLeft)
        return ReportFailure("Wrong size of Scalar Settings struct.");
    if (m_iNumVector < 0 || iMain + (int64_t)m_iNumScalar * NKF_SCALAR_SETTINGS_MIN_BYTES +
                                    (int64_t)m_iNumVector * kVectorRecordBytes >
                                iLeft)
        return ReportFailure("Wrong size of Vector Settings struct.");
    return true;
}

bool NKFSettingsBlock::LoadScalars(int64_t *piLeft)
{
    const NKString wrongScalar("Wrong size of Scalar Settings struct.");
    for (int i = 0; i < m_iNumScalar; i++) {
        NKFScalarSettings *pRec = &m_pScalar[i];
        NKFInitScalarSettings(pRec);
        int32_t iSize = 0;
        if (!ReadSizeWord(m_pReader, piLeft, &iSize) || iSize < NKF_SCALAR_SETTINGS_MIN_BYTES ||
            iSize - 4 > *piLeft) {
            ReportError(NKString(""), wrongScalar);
            return false;
        }
        // A record of 24 to 27 bytes holds words up to its size; the rest
        // keep their defaults.
        int nWords = std::min(iSize / 4, NKF_SCALAR_SETTINGS_WORDS);
        pRec->SetI(0, iSize);
        if (!ReadWords(m_pReader, pRec->aiWords, 1, nWords, g_aiNoTextWords) ||
            !m_pReader->Skip(iSize - nWords * 4)) {
            ReportError(NKString(""), wrongScalar);
            return false;
        }
        *piLeft -= iSize - 4;
    }
    return true;
}

bool NKFSettingsBlock::LoadVectors(int64_t *piLeft)
{
    for (int i = 0; i < m_iNumVector; i++) {
        NKFVectorSettings *pRec = &m_pVector[i];
        NKFInitVectorSettings(pRec);
        int32_t iSize = 0;
        if (!ReadSizeWord(m_pReader, piLeft, &iSize) || iSize < kVectorRecordBytes ||
            iSize - 4 > *piLeft ||
            !ReadWords(m_pReader, pRec->aiWords, 1, NKF_VECTOR_SETTINGS_WORDS, g_aiNoTextWords) ||
            !m_pReader->Skip(iSize - kVectorRecordBytes))
            return ReportFailure("Wrong size of Vector Settings struct.");
        pRec->SetI(0, iSize);
        *piLeft -= iSize - 4;
    }
    return true;
}

bool NKFSettingsBlock::LoadData()
{
    if (m_bDataLoaded) return true;
    if (!BeginLoad(this, kSettingsAscii)) return false;
    int64_t iLeft = m_iDataSize;
    if (!CheckRecordCounts(iLeft)) return false;
    m_pScalar = (NKFScalarSettings *)NKAlloc(sizeof(NKFScalarSettings) * (size_t)m_iNumScalar + 1);
    m_pVector = (NKFVectorSettings *)NKAlloc(sizeof(NKFVectorSettings) * (size_t)m_iNumVector + 1);
    if (m_pScalar == nullptr || m_pVector == nullptr) {
        ReportError(NKString(""), NKString("Out of memory."));
        return FinishLoad(false);
    }
    bool bOk = (!m_bHasMain || LoadMain(&iLeft)) && LoadScalars(&iLeft) && LoadVectors(&iLeft) &&
               (m_iExtraFlag <= 0 || LoadExtra(&iLeft));
    return FinishLoad(bOk);
}

int NKFSettingsBlock::GetNumItems()
{
    return ClampCount((int64_t)std::max(m_iNumScalar, 0) + std::max(m_iNumVector, 0) +
                      (m_bHasMain ? 1 : 0));
}

void NKFSettingsBlock::FreeData()
{
    NKFreeAndClear(&m_pScalar, &m_pVector);
    m_bDataLoaded = false;
}

const NKFMainSettings *NKFSettingsBlock::GetMainSettings() const
{
    return (m_bDataLoaded && m_bHasMain) ? &m_Main : nullptr;
}

const NKFScalarSettings *NKFSettingsBlock::GetScalarSettings(int i) const
{
    if (!m_bDataLoaded || m_pScalar == nullptr || i < 0 || i >= m_iNumScalar) return nullptr;
    return &m_pScalar[i];
}

const NKFVectorSettings *NKFSettingsBlock::GetVectorSettings(int i) const
{
    if (!m_bDataLoaded || m_pVector == nullptr || i < 0 || i >= m_iNumVector) return nullptr;
    return &m_pVector[i];
}

const NKFExtraSettings *NKFSettingsBlock::GetExtraSettings() const
{
    return (m_bDataLoaded && m_iExtraFlag > 0) ? &m_Extra : nullptr;
}

// ---------------------------------------------------------------------------

NKFItemsBlock::NKFItemsBlock(NKFReader *pReader, int iBlockID) : NKFBlock(pReader, iBlockID)
{
    m_iBlockType = NKF_ITEMS;
    for (int k = 0; k < NKF_ITEM_KINDS; k++) {
        m_aiCount[k] = 0;
        m_apWords[k] = nullptr;
    }
}

NKFItemsBlock::~NKFItemsBlock() { FreeData(); }

bool NKFItemsBlock::ParseBlock()
{
    if (!GetPosition()) return false;
    if (m_pReader->IsAscii()) {
        ReportError(NKString(""), NKString(kItemsAscii));
        return false;
    }
    int32_t iDataSize = 0;
    int32_t aiCounts[NKF_ITEM_KINDS] = {0, 0, 0, 0, 0};
    if (!ReadHeaderWords(kItemsHeaderBytes, aiCounts, NKF_ITEM_KINDS, &iDataSize)) return false;
    if (!CheckEndOfBlock(iDataSize)) return false;
    for (int k = 0; k < NKF_ITEM_KINDS; k++) m_aiCount[k] = aiCounts[k];
    m_bHeaderParsed = true;
    return true;
}

bool NKFItemsBlock::LoadData()
{
    if (m_bDataLoaded) return true;
    if (!BeginLoad(this, kItemsAscii)) return false;
    int64_t iNeeded = 0;
    for (int k = 0; k < NKF_ITEM_KINDS; k++) {
        iNeeded += (int64_t)m_aiCount[k] * kItemWords[k] * 4;
        if (m_aiCount[k] < 0 || iNeeded > m_iDataSize) {
            ReportError(NKString(""), NKString(kItemSizeMessages[k]));
            return false;
        }
    }
    for (int k = 0; k < NKF_ITEM_KINDS; k++) {
        m_apWords[k] = (int32_t *)NKAlloc((size_t)m_aiCount[k] * kItemWords[k] * 4 + 4);
        if (m_apWords[k] == nullptr) {
            ReportError(NKString(""), NKString("Out of memory."));
            return FinishLoad(false);
        }
    }
    for (int k = 0; k < NKF_ITEM_KINDS; k++) {
        for (int i = 0; i < m_aiCount[k]; i++) {
            int32_t *piWords = m_apWords[k] + (size_t)i * kItemWords[k];
            if (!m_pReader->ReadInts(piWords, kItemWords[k]) || piWords[0] != kItemWords[k] * 4) {
                ReportError(NKString(""), NKString(kItemSizeMessages[k]));
                return FinishLoad(false);
            }
        }
    }
    return FinishLoad(true);
}

int NKFItemsBlock::GetNumItems()
{
    int64_t n = 0;
    for (int k : {NKF_ITEM_CUTPLANE, NKF_ITEM_ISOSURFACE, NKF_ITEM_TRACE, NKF_ITEM_NODEPLOT})
        n += std::max(m_aiCount[k], 0);
    return ClampCount(n);
}

void NKFItemsBlock::FreeData()
{
    for (int k = 0; k < NKF_ITEM_KINDS; k++) {
        NKFree(m_apWords[k]);
        m_apWords[k] = nullptr;
    }
    m_bDataLoaded = false;
}

const int32_t *NKFItemsBlock::GetRecord(int iKind, int i) const
{
    if (!m_bDataLoaded || m_apWords[iKind] == nullptr || i < 0 || i >= m_aiCount[iKind])
        return nullptr;
    return m_apWords[iKind] + (size_t)i * kItemWords[iKind];
}

// The records are plain word rows of the item's layout.
const NKFCutPlaneItem *NKFItemsBlock::GetCutPlane(int i) const
{
    return reinterpret_cast<const NKFCutPlaneItem *>(GetRecord(NKF_ITEM_CUTPLANE, i));
}
const NKFIsoSurfaceItem *NKFItemsBlock::GetIsoSurface(int i) const
{
    return reinterpret_cast<const NKFIsoSurfaceItem *>(GetRecord(NKF_ITEM_ISOSURFACE, i));
}
const NKFParticleTraceItem *NKFItemsBlock::GetParticleTraces(int i) const
{
    return reinterpret_cast<const NKFParticleTraceItem *>(GetRecord(NKF_ITEM_PARTICLES, i));
}
const NKFNodeItem *NKFItemsBlock::GetTrace(int i) const
{
    return reinterpret_cast<const NKFNodeItem *>(GetRecord(NKF_ITEM_TRACE, i));
}
const NKFNodeItem *NKFItemsBlock::GetNodePlot(int i) const
{
    return reinterpret_cast<const NKFNodeItem *>(GetRecord(NKF_ITEM_NODEPLOT, i));
}
