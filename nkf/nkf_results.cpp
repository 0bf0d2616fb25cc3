// nkf/nkf_results.cpp -- the *RESULTS block: its ASCII directives, its
// binary header record, loading the values on demand and the sorted ID
// index (layout in nkf_results.h).
#include "nkf/nkf_results.h"

#include <cstring>

#include "core/nk_memory.h"
#include "core/nk_sort.h"
#include "nkf/nkf_reader.h"

// Binary header record bytes a reader of this block knows.
static const int kResultsHeaderBytes = 28;

NKFResultBlock::NKFResultBlock(NKFReader *pReader, int iBlockID)
    : NKFBlock(pReader, iBlockID), m_bWithID(0), m_piIDs(nullptr), m_pfVectorValues(nullptr),
      m_pfScalarValues(nullptr), m_iDimension(1), m_iNumItems(0), m_iReferencedBlockID(-1),
      m_iMapping(NKF_MAP_PER_NODE), m_piSortedIndex(nullptr)
{
    m_iBlockType = NKF_RESULTS;
}

NKFResultBlock::~NKFResultBlock() { FreeData(); }

int64_t NKFResultBlock::RowBytes() const
{
    return ((m_bWithID ? 1 : 0) + (int64_t)(m_iDimension == 1 ? 1 : 3)) * 4;
}

// ---------------------------------------------------------------------------
// First pass

bool NKFResultBlock::ParseBlock()
{
    return ParseByForm([this] { return ParseAscii(); }, [this] { return ParseBinary(); });
}

// Counts the rows (and checks them when references are resolved at once).
// The values stay in the file until a step's result is read: a file holds
// one block per result and step, and converting all of them here would keep
// every step's values in memory from the open on, beside the geometry.
bool NKFResultBlock::ParseAscii()
{
    for (;;) {
        const NKString &line = m_pReader->NextLine();
        if (line.IsEmpty()) return true;
        if (line.GetAt(0) == '*') {
            m_pReader->PushBackLine();
            return true;
        }
        if (line.GetAt(0) == '%') {
            if (!ParseDirective(line)) return false;
            continue;
        }
        if (!m_pReader->GetDeferReferences() && !CheckAsciiRow(line)) return false;
        m_iNumItems++;
    }
}

// Strict checking: a data line holds the dimension's number of values,
// plus one with IDs.
bool NKFResultBlock::CheckAsciiRow(const NKString &line)
{
    int iWords = line.CountWords();
    if (m_bWithID) {
        if (iWords == m_iDimension + 1) return true;
        ReportLineError(NKString(""), NKString("Error in results values. \nEach line must "
                                               "contain #dim + 1 values when using %WITH_ID"));
        return false;
    }
    if (iWords == m_iDimension) return true;
    ReportLineError(NKString(""), NKString("Error in results values. \nEach line must contain "
                                           "#dim values when using %NO_ID (default)"));
    return false;
}

// The directive's own word: the first word of the line, cut at a '#'.
static NKString DirectiveWord(const NKString &line)
{
    NKString word = NKString(line).GetFirstWord();
    int iHash = word.FindChar('#', 0, true);
    if (iHash > 0) word.Truncate(iHash);
    return word;
}

bool NKFResultBlock::ParseDirective(const NKString &line)
{
    NKString word = DirectiveWord(line);
    if (word == "%DIMENSION") {
        int iDimension = NKString(line).GetWord(1).ToInt();
        if (iDimension != 1 && iDimension != 3) {
            ReportLineError(NKString(""),
                            NKString("Wrong number of dimensions. Only 1 and 3 accepted"));
            return false;
        }
        m_iDimension = iDimension;
        return true;
    }
    if (word == "%NO_ID") {
        m_bWithID = 0;
        return true;
    }
    if (word == "%WITH_ID") {
        m_bWithID = 1;
        return true;
    }
    if (word == "%PER_NODE") return ParseMapping(line, "%PER_NODE", NKF_MAP_PER_NODE);
    if (word == "%PER_ELEMENT") return ParseMapping(line, "%PER_ELEMENT", NKF_MAP_PER_ELEMENT);
    if (word == "%PER_FACE") return ParseMapping(line, "%PER_FACE", NKF_MAP_PER_FACE);
    if (word == "%PER_POLYGON_NODE") return ParseMapping(line, "%PER_POLYGON_NODE", -1);
    if (word == "%PER_ELEMENT_NODE") return ParseMapping(line, "%PER_ELEMENT_NODE", -1);
    ReportLineError(NKString(""), NKString("Unknown Identifier found in block."));
    return false;
}

// A mapping directive names its block with '#'; iMapping -1 marks the
// mappings that are recognised but not supported.
bool NKFResultBlock::ParseMapping(const NKString &line, const char *pszDirective, int iMapping)
{
    if (line.FindChar('#', 0, true) < 0) {
        ReportLineError(
            NKString(""),
            NKString::FromFormat("No node block ID specified in %s. Missing #ID.", pszDirective));
        return false;
    }
    if (iMapping < 0) {
        ReportLineError(NKString(""), NKString::FromFormat("Resultsmapping %s is not implemented.",
                                                           pszDirective));
        return false;
    }
    m_iMapping = iMapping;
    m_iReferencedBlockID = ReadReference(line);
    return true;
}

bool NKFResultBlock::ParseBinary()
{
    int32_t iHeaderSize = 0, iDataSize = 0;
    if (!ReadHeaderSizes(kResultsHeaderBytes, &iHeaderSize, &iDataSize)) return false;
    int32_t aiFields[5] = {0, 0, 0, 0, 0};  // dimension, block, mapping, IDs, count
    if (!m_pReader->ReadInts(aiFields, 5)) {
        ReportMissingEnd();
        return false;
    }
    m_iDimension = aiFields[0] == 1 ? 1 : 3;
    m_iReferencedBlockID = aiFields[1];
    m_iMapping = aiFields[2];
    m_bWithID = aiFields[3] == 1 ? 1 : 0;
    m_iNumItems = aiFields[4];
    if (!SkipHeaderRest(iHeaderSize, kResultsHeaderBytes)) return false;
    if (!CheckItemBytes(m_iNumItems, RowBytes())) return false;
    return CheckEndOfBlock(iDataSize);
}

// ---------------------------------------------------------------------------
// Second pass

bool NKFResultBlock::AllocateValues()
{
    size_t n = (size_t)m_iNumItems;
    if (m_iDimension != 1)
        m_pfVectorValues = (float *)AllocRowData(n * 3, sizeof(float));
    else
        m_pfScalarValues = (float *)AllocRowData(n, sizeof(float));
    if (m_bWithID) m_piIDs = (int32_t *)AllocRowData(n, sizeof(int32_t));
    if ((m_pfVectorValues == nullptr && m_pfScalarValues == nullptr) ||
        (m_bWithID && m_piIDs == nullptr)) {
        FreeData();
        ReportError(NKString(""), NKString("Error allocating memory for results"));
        return false;
    }
    return true;
}

bool NKFResultBlock::BuildSortedIndex()
{
    if (!m_bWithID || NKIsSortedInts(m_piIDs, m_iNumItems, nullptr)) return true;
    m_piSortedIndex = (int32_t *)NKAlloc((size_t)m_iNumItems * sizeof(int32_t));
    if (m_piSortedIndex == nullptr) {
        FreeData();
        ReportError(NKString(""), NKString("Out of memory."));
        return false;
    }
    NKSortIntsIndexed(m_piIDs, m_piSortedIndex, m_iNumItems);
    return true;
}

bool NKFResultBlock::LoadData()
{
    if (m_bDataLoaded) return true;
    if (!CheckParsed()) return false;
    if (m_iNumItems == 0) {  // nothing to read, wherever the block stands
        m_bDataLoaded = true;
        return true;
    }
    if (!SeekPosition() || !SkipHeaderDirectives()) return false;
    // The count was checked against the data size when parsing; check again
    // before allocating, since nothing else guards this allocation.
    if (!CheckItemBytes(m_iNumItems, RowBytes())) return false;
    if (!AllocateValues()) return false;
    // A value that is no number loads as undefined (with a warning): the
    // other values of the result stay usable. NaN and infinities are kept.
    bool bRead =
        m_iDimension != 1
            ? ReadFloatRows(m_pfVectorValues, 3, m_iNumItems, m_piIDs, NKF_NUMBERS_RESULTS)
            : ReadFloatRows(m_pfScalarValues, 1, m_iNumItems, m_piIDs, NKF_NUMBERS_RESULTS);
    if (!bRead) {
        FreeData();
        ReportError(NKString(""), NKString("Error reading results"));
        return false;
    }
    if (!BuildSortedIndex()) return false;
    WarnNotNumbers(m_iDimension != 1 ? m_pfVectorValues : m_pfScalarValues,
                   (int64_t)m_iNumItems * (m_iDimension != 1 ? 3 : 1));
    m_bDataLoaded = true;
    return true;
}

void NKFResultBlock::FreeData()
{
    NKFreeAndClear(&m_piIDs, &m_pfVectorValues, &m_pfScalarValues, &m_piSortedIndex);
    m_bDataLoaded = false;
}

int NKFResultBlock::FindItem(int iID) const
{
    if (!m_bDataLoaded || m_piIDs == nullptr || m_iNumItems < 1) return -1;
    if (m_piSortedIndex == nullptr)
        return NKBinarySearchInt(m_piIDs, iID, 0, m_iNumItems - 1, nullptr);
    int iPos = NKBinarySearchIntIndexed(m_piIDs, m_piSortedIndex, iID, 0, m_iNumItems - 1, nullptr);
    return iPos < 0 ? -1 : m_piSortedIndex[iPos];
}

// ---------------------------------------------------------------------------
// References and writing

int NKFResultBlock::GetReferencedBlockID(int iMapping) const
{
    return m_iMapping == iMapping ? m_iReferencedBlockID : -1;
}

bool NKFResultBlock::ResolveReferences()
{
    if (!m_bHeaderParsed) return ReportFailure("Results block not parsed.");
    if (m_iMapping == NKF_MAP_PER_NODE &&
        m_pReader->FindBlock(NKF_NODES, m_iReferencedBlockID) == nullptr) {
        ReportError(NKString(""),
                    NKString::FromFormat("Node block (*NODES) with id = %dnot found in file",
                                         m_iReferencedBlockID));
        return false;
    }
    if (m_iMapping == NKF_MAP_PER_ELEMENT &&
        m_pReader->FindBlock(NKF_ELEMENTS, m_iReferencedBlockID) == nullptr) {
        ReportError(NKString(""),
                    NKString::FromFormat("Element block (*ELEMENTS) with id = %dnot found in file",
                                         m_iReferencedBlockID));
        return false;
    }
    return true;
}

static const char *MappingDirective(int iMapping)
{
    switch (iMapping) {
    case NKF_MAP_PER_NODE:
        return "%PER_NODE";
    case NKF_MAP_PER_ELEMENT:
        return "%PER_ELEMENT";
    case NKF_MAP_PER_FACE:
        return "%PER_FACE";
    default:
        return nullptr;
    }
}

// Besides the block line, "%WITH_ID" and the rows, the dimension and the
// mapping are written too: without them a written block of vectors or of
// element values would read back as per-node scalars.
bool NKFResultBlock::WriteBlock()
{
    if (!CheckParsed()) return false;
    const float *pfValues = m_iDimension == 1 ? m_pfScalarValues : m_pfVectorValues;
    if (pfValues == nullptr) return ReportFailure("No results in block");
    int iPerItem = m_iDimension == 1 ? 1 : 3;
    WriteKeywordLine();
    if (iPerItem == 3) m_pReader->WriteText("%DIMENSION 3\n");
    const char *pszMapping = MappingDirective(m_iMapping);
    if (pszMapping != nullptr && m_iReferencedBlockID >= 0) {
        m_pReader->WriteText(
            NKString::FromFormat("%s #%d\n", pszMapping, m_iReferencedBlockID).GetText());
    }
    if (m_piIDs != nullptr) m_pReader->WriteText("%WITH_ID\n");
    for (int i = 0; i < m_iNumItems; i++) {
        NKString row;
        if (m_piIDs != nullptr) row = NKString::FromFormat("%d ", m_piIDs[i]);
        for (int k = 0; k < iPerItem; k++) {
            row += NKString::FromFormat(k + 1 < iPerItem ? "%g " : "%g\n",
                                        (double)pfValues[(int64_t)i * iPerItem + k]);
        }
        m_pReader->WriteText(row.GetText());
    }
    return true;
}
