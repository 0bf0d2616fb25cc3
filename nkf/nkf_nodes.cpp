// nkf/nkf_nodes.cpp -- the *NODES, *NORMALS and *COLORS blocks: parse (count
// the rows, check the directives), load (read the rows into arrays) and write
// back as ASCII. The three share one row-counting walk over the ASCII lines
// and their row load and write steps. The mesh blocks (nkf_elements.cpp,
// nkf_faceset.cpp) find and load their node block here
// (NKFLoadReferencedNodes) and compact its nodes (NKFCompactFaceSetNodes).
// The *MATERIALS and *DESCRIPTION blocks, which hold no rows, are in
// nkf_material.cpp. Reading primitives and reporters are the reader's and the
// block base's (nkf_reader.h, nkf_block.h); the ID sort is nk_mesh.cpp's.
#include "nkf/nkf_nodes.h"

#include <cstring>

#include "core/nk_memory.h"
#include "core/nk_mesh.h"
#include "core/nk_numeric.h"
#include "nkf/nkf_parsed_rows.h"
#include "nkf/nkf_reader.h"
#include "nkf/nkf_stream.h"

bool NKFCompactFaceSetNodes(NKIndexedFaceSet *pIFS, const int32_t *piBlockConnects,
                            const NKFNodeBlock *pNodes)
{
    int iNumNodes = pNodes->GetNumNodes();
    int iLength = pIFS->iConnectLength;
    if (iNumNodes < 1 || pNodes->GetCoords() == nullptr || iLength < 1) return false;
    int *piUsed = (int *)NKAlloc((size_t)iNumNodes * sizeof(int));
    if (piUsed == nullptr) return false;
    int iNumUsed = 0, iNumLocal = 0;
    bool bOk =
        NKComputeLocalNodeArrays(0, pIFS->iNumPolygons - 1, iNumNodes, piBlockConnects, iLength,
                                 pIFS->piPolygonStart, pIFS->piPolygonNumNodes, pIFS->iNumPolygons,
                                 piUsed, &iNumUsed, pIFS->piConnects, &iNumLocal) &&
        iNumLocal == iLength && iNumUsed > 0;
    if (!bOk) {
        NKFree(piUsed);
        return false;
    }
    int *piShrunk = (int *)NKRealloc(piUsed, (size_t)iNumUsed * sizeof(int));
    return NKFCopyUsedNodes(pIFS, piShrunk != nullptr ? piShrunk : piUsed, iNumUsed, pNodes);
}

bool NKFCopyUsedNodes(NKIndexedFaceSet *pIFS, int *piUsed, int iNumUsed, const NKFNodeBlock *pNodes)
{
    bool bOk = iNumUsed > 0 && pNodes->GetCoords() != nullptr;
    if (bOk) {
        pIFS->pfCoords = (float *)NKAlloc((size_t)iNumUsed * 3 * sizeof(float));
        bOk = pIFS->pfCoords != nullptr;
    }
    if (bOk && pNodes->HasIDs() && pNodes->GetIDs() != nullptr) {
        pIFS->piNodeIDs = (int *)NKAlloc((size_t)iNumUsed * sizeof(int));
        bOk = pIFS->piNodeIDs != nullptr;
    }
    if (!bOk) {
        NKFree(piUsed);
        return false;
    }
    for (int i = 0; i < iNumUsed; i++) {
        memcpy(pIFS->pfCoords + (int64_t)i * 3, pNodes->GetCoords() + (int64_t)piUsed[i] * 3,
               3 * sizeof(float));
        if (pIFS->piNodeIDs != nullptr) pIFS->piNodeIDs[i] = pNodes->GetIDs()[piUsed[i]];
    }
    pIFS->piNodeSourceIndex = piUsed;
    pIFS->iNumNodes = iNumUsed;
    pIFS->bNodesNotCompacted = 0;
    return true;
}

bool NKFTakeUsedNodes(NKIndexedFaceSet *pIFS, int *piUsed, int iNumUsed, NKFNodeBlock *pNodes)
{
    bool bOk;
    if (iNumUsed > 0 && iNumUsed == pNodes->GetNumNodes() && pNodes->GetCoords() != nullptr) {
        int32_t *piIDs = nullptr;
        pNodes->ReleaseArrays(&pIFS->pfCoords, &piIDs);
        pIFS->piNodeIDs = piIDs;
        pIFS->piNodeSourceIndex = piUsed;
        pIFS->iNumNodes = iNumUsed;
        pIFS->bNodesNotCompacted = 0;
        bOk = true;
    } else {
        bOk = NKFCopyUsedNodes(pIFS, piUsed, iNumUsed, pNodes);
    }
    pNodes->FreeData();
    return bOk;
}

NKFNodeBlock *NKFLoadReferencedNodes(NKFBlock *pBlock, int iNodeBlockID)
{
    NKFBlock *pFound = pBlock->GetReader()->FindBlock(NKF_NODES, iNodeBlockID);
    NKFNodeBlock *pNodes = dynamic_cast<NKFNodeBlock *>(pFound);
    if (pNodes == nullptr) {
        pBlock->ReportError(NKString(""),
                            NKString::FromFormat("Cannot find NODE block with ID = %d (used in "
                                                 "element block with ID = %d).",
                                                 iNodeBlockID, pBlock->GetBlockID()));
        return nullptr;
    }
    return pNodes->LoadData() ? pNodes : nullptr;
}

// Sets the ID flag from "%NO_ID" / "%WITH_ID"; false for another word.
static bool ApplyIdDirective(const NKString &word, uint8_t *pbWithIDs)
{
    if (word == "%NO_ID")
        *pbWithIDs = 0;
    else if (word == "%WITH_ID")
        *pbWithIDs = 1;
    else
        return false;
    return true;
}

// Walks the ASCII lines of a row block up to the next '*' line (pushed back)
// or the end of the file, counting one row per line that is not a directive.
// fnDirective handles the '%' lines and answers false for an unknown one,
// which fails the parse with "Unknown Identifier found in block.". When the
// parser resolves references at once, every row must hold 3 values, or 4
// with IDs; pszWhat names the values in that message ("node", "normal").
// fnRow sees every row's text (a directive after the first row goes to
// fnDirective all the same).
template <class F, class G>
static bool CountAsciiRows(NKFBlock *pBlock, const char *pszWhat, const uint8_t *pbWithIDs,
                           int32_t *piCount, F fnDirective, G fnRow)
{
    NKFReader *pReader = pBlock->GetReader();
    bool bCheckWords = !pReader->GetDeferReferences();
    int64_t iCount = 0;
    for (;;) {
        const NKString &line = pReader->NextLine();
        if (line.IsEmpty()) break;
        char c = line.GetAt(0);
        if (c == '*') {
            pReader->PushBackLine();
            break;
        }
        if (c == '%') {
            if (!fnDirective(NKFLineFirstWord(line.GetText()))) {
                pBlock->ReportLineError(NKString(""),
                                        NKString("Unknown Identifier found in block."));
                return false;
            }
            continue;
        }
        if (bCheckWords) {
            int iWanted = *pbWithIDs ? 4 : 3;
            if (NKFCountLineWords(line.GetText()) != iWanted) {
                NKString msg = NKString::FromFormat(
                    "Error in %s values. \nEach line must contain %d values when using %s", pszWhat,
                    iWanted, *pbWithIDs ? "%WITH_ID" : "%NO_ID (default)");
                pBlock->ReportLineError(NKString(""), msg);
                return false;
            }
        }
        if (++iCount > INT32_MAX) {
            pBlock->ReportLineError(NKString(""), NKString("Too many lines in block."));
            return false;
        }
        fnRow(line.GetText());
    }
    *piCount = (int32_t)iCount;
    return true;
}

// Writes rows of three floats, each after its ID when piIDs is given.
static void WriteFloatTriples(NKFReader *pReader, const float *pfValues, const int32_t *piIDs,
                              int iCount)
{
    NKString line;
    for (int i = 0; i < iCount; i++) {
        const float *p = pfValues + (int64_t)i * 3;
        if (piIDs != nullptr)
            line.Format("%d %g %g %g\n", piIDs[i], p[0], p[1], p[2]);
        else
            line.Format("%g %g %g\n", p[0], p[1], p[2]);
        pReader->WriteText(line.GetText());
    }
}

// The rest of a normal or colour load once its arrays are allocated (or
// not, bAllocated): seek to the data, pass the directives, fnRead the rows.
// A failure frees the block's data and reports it; the colour block has
// always reported with the normal block's texts.
template <class F>
static bool ReadAllocatedRows(NKFBlock *pBlock, bool bAllocated, F fnRead)
{
    const char *pszError = nullptr;
    if (!bAllocated)
        pszError = "Error allocating memory for normals";
    else if (!pBlock->SeekPosition() || !pBlock->SkipHeaderDirectives())
        pszError = "Error skipping directives";
    else if (!fnRead())
        pszError = "Error reading normals values";
    if (pszError == nullptr) return true;
    pBlock->FreeData();
    pBlock->ReportError(NKString(""), NKString(pszError));
    return false;
}

// ---------------------------------------------------------------------------
// *NODES

NKFNodeBlock::NKFNodeBlock(NKFReader *pReader, int iBlockID)
    : NKFBlock(pReader, iBlockID), m_bWithIDs(0), m_pfCoords(nullptr), m_piIDs(nullptr),
      m_piSortedOrder(nullptr), m_iNumNodes(0), m_bParsedRows(false)
{
    m_iBlockType = NKF_NODES;
}

NKFNodeBlock::~NKFNodeBlock() { FreeData(); }

bool NKFNodeBlock::ParseBlock()
{
    return ParseByForm([this] { return ParseAscii(); }, [this] { return ParseBinary(); });
}

// Counts the rows and converts each as the load would read it (an ID when
// the block has them, then three coordinates, every word a good number;
// words after them are not read): the load then takes the converted rows
// instead of reading the lines again. A row the load would refuse, or a
// directive after the first row, leaves the load to the file.
bool NKFNodeBlock::ParseAscii()
{
    DropParsedRows();
    m_bParsedRows = true;
    NKFReader *pReader = m_pReader;
    return CountAsciiRows(
        this, "node", &m_bWithIDs, &m_iNumNodes,
        [this](const NKString &word) {
            if (m_ParsedCoords.Size() > 0) DropParsedRows();
            return ApplyIdDirective(word, &m_bWithIDs);
        },
        [this, pReader](const char *p) {
            if (!m_bParsedRows) return;
            if (!NKFConvertRow(p, m_bWithIDs != 0, &m_ParsedIDs, &m_ParsedCoords, 3, pReader))
                DropParsedRows();
        });
}

void NKFNodeBlock::DropParsedRows()
{
    m_ParsedCoords.Clear();
    m_ParsedIDs.Clear();
    m_bParsedRows = false;
}

bool NKFNodeBlock::TakeParsedRows()
{
    bool bWhole = m_bParsedRows && m_ParsedCoords.Size() == 3 * (int64_t)m_iNumNodes &&
                  m_ParsedIDs.Size() == (m_bWithIDs ? (int64_t)m_iNumNodes : 0);
    if (!bWhole) {
        DropParsedRows();
        return false;
    }
    if (m_bWithIDs) m_piIDs = m_ParsedIDs.Take();
    m_pfCoords = m_ParsedCoords.Take();
    m_bParsedRows = false;
    return true;
}

// Binary header record (16 bytes known):
//   0  int32  header size (16 .. 1024)
//   4  int32  data size in bytes
//   8  int32  1 = every node starts with its user ID
//   12 int32  node count
// Data: per node [int32 ID] float32 x, y, z.
bool NKFNodeBlock::ParseBinary()
{
    int32_t iHeaderSize = 0, iDataSize = 0;
    if (!ReadHeaderSizes(16, &iHeaderSize, &iDataSize)) return false;
    int32_t aiFields[2] = {0, 0};
    m_pReader->ReadInts(aiFields, 2);
    if (!SkipHeaderRest(iHeaderSize, 16)) return false;
    m_bWithIDs = aiFields[0] == 1 ? 1 : 0;
    m_iNumNodes = aiFields[1];
    int64_t iBytes = (int64_t)m_iNumNodes * (m_bWithIDs ? 16 : 12);
    if (!CheckDataBytes(iBytes)) {  // a negative count gives negative bytes
        m_iNumNodes = 0;
        return false;
    }
    return CheckEndOfBlock(iDataSize);
}

bool NKFNodeBlock::AllocateArrays()
{
    m_pfCoords = (float *)AllocRowData((size_t)m_iNumNodes * 3, sizeof(float));
    if (m_pfCoords == nullptr) return false;
    if (!m_bWithIDs) return true;
    m_piIDs = (int32_t *)AllocRowData((size_t)m_iNumNodes, sizeof(int32_t));
    return m_piIDs != nullptr;
}

// A coordinate that is not finite (NaN or either infinity) would spoil
// every box and scale the node takes part in, so it fails the load, naming
// the node (by its ID when the rows carry IDs, else by its number in the
// block).
bool NKFNodeBlock::CheckCoordinates()
{
    int64_t iAt = NKFirstNotFinite(m_pfCoords, 3 * (int64_t)m_iNumNodes);
    if (iAt < 0) return true;
    int iNode = (int)(iAt / 3);
    NKString text =
        m_bWithIDs
            ? NKString::FromFormat("Node ID %d has a coordinate that is not finite.",
                                   (int)m_piIDs[iNode])
            : NKString::FromFormat("Node %d has a coordinate that is not finite.", iNode + 1);
    ReportError(NKString(""), text);
    return false;
}

bool NKFNodeBlock::LoadData()
{
    if (m_bDataLoaded) return true;
    if (!CheckParsed()) return false;
    // An empty block has nothing to skip to; it loads as empty even when it
    // is the last line of the file.
    if (m_iNumNodes < 1) {
        m_bDataLoaded = true;
        return true;
    }
    if (TakeParsedRows()) return FinishLoad();
    if (!SeekPosition() || !SkipHeaderDirectives()) return ReportFailure("Error skipping header");
    if (!AllocateArrays()) {
        FreeData();
        ReportError(NKString(""), NKString("Error allocating memory for nodes"));
        return false;
    }
    // A coordinate that is no number fails the load with its line.
    bool bOk = m_bWithIDs && m_pReader->IsBinary()
                   ? ReadIdTriples(m_pfCoords, m_piIDs, m_iNumNodes)
                   : ReadVec3Pairs(m_bWithIDs ? m_piIDs : nullptr, m_pfCoords, nullptr, m_iNumNodes,
                                   NKF_NUMBERS_COORDINATES);
    if (!bOk) {
        FreeData();
        ReportError(NKString(""), NKString("Error reading node values"));
        return false;
    }
    return FinishLoad();
}

// The rows are in: checked, the IDs' sorted order made, the block loaded; a
// bad coordinate drops the rows.
bool NKFNodeBlock::FinishLoad()
{
    if (!CheckCoordinates()) {
        FreeData();
        return false;
    }
    if (!MakeSortedOrder()) {
        FreeData();
        ReportError(NKString(""), NKString("Error allocating memory for nodes"));
        return false;
    }
    m_bDataLoaded = true;
    return true;
}

// IDs that already ascend (as most files write them) need no order array:
// the node indices are their order, and leaving it out spares a model's
// load a node-sized array written and read again. IDs given twice keep the
// array, so that a missing one is always the order's mark of distinct IDs.
bool NKFNodeBlock::MakeSortedOrder()
{
    if (!m_bWithIDs) return true;
    bool bAscending = true;
    for (int i = 0; i + 1 < m_iNumNodes; i++) bAscending &= m_piIDs[i] < m_piIDs[i + 1];
    if (bAscending) return true;
    m_piSortedOrder = (int32_t *)NKAlloc(sizeof(int32_t) * (size_t)m_iNumNodes);
    return m_piSortedOrder != nullptr && NKSortNodeIdOrder(m_piIDs, m_piSortedOrder, m_iNumNodes);
}

bool NKFNodeBlock::WriteBlock()
{
    if (!BeginRowWrite(m_pfCoords != nullptr, m_bWithIDs != 0, "No nodes in block")) return false;
    WriteFloatTriples(m_pReader, m_pfCoords, m_bWithIDs ? m_piIDs : nullptr, m_iNumNodes);
    return true;
}

void NKFNodeBlock::ReleaseArrays(float **ppfCoords, int32_t **ppiIDs)
{
    *ppfCoords = m_pfCoords;
    *ppiIDs = m_bWithIDs ? m_piIDs : nullptr;
    if (*ppiIDs != nullptr) m_piIDs = nullptr;
    m_pfCoords = nullptr;
    FreeData();
}

void NKFNodeBlock::FreeData()
{
    NKFreeAndClear(&m_pfCoords, &m_piIDs, &m_piSortedOrder);
    m_bDataLoaded = false;
    DropParsedRows();
}

// ---------------------------------------------------------------------------
// *NORMALS and *COLORS

template <typename T>
NKFTripleRowBlock<T>::NKFTripleRowBlock(NKFReader *pReader, int iBlockID, int iType)
    : NKFBlock(pReader, iBlockID), m_bWithIDs(0), m_pValues(nullptr), m_piIDs(nullptr), m_iCount(0)
{
    m_iBlockType = iType;
}

template <typename T>
NKFTripleRowBlock<T>::~NKFTripleRowBlock()
{
    FreeData();
}

template <typename T>
bool NKFTripleRowBlock<T>::ApplyOwnDirective(const NKString &)
{
    return false;
}

// The colour block reports its rows with the normal block's texts.
template <typename T>
bool NKFTripleRowBlock<T>::ParseBlock()
{
    if (m_pReader == nullptr || !GetPosition()) return false;
    bool bOk = m_pReader->IsAscii()
                   ? CountAsciiRows(
                         this, "normal", &m_bWithIDs, &m_iCount,
                         [this](const NKString &word) {
                             return ApplyIdDirective(word, &m_bWithIDs) || ApplyOwnDirective(word);
                         },
                         [](const char *) {})
                   : NKFSkipBinaryFraming(this);
    if (bOk) m_bHeaderParsed = true;
    return bOk;
}

template <typename T>
bool NKFTripleRowBlock<T>::LoadData()
{
    if (m_bDataLoaded) return true;
    if (!CheckParsed()) return false;
    if (m_iCount > 0) {
        m_pValues = (T *)NKCalloc((size_t)m_iCount * 3, sizeof(T));
        if (m_bWithIDs) m_piIDs = (int32_t *)NKCalloc((size_t)m_iCount, sizeof(int32_t));
        bool bAllocated = m_pValues != nullptr && (!m_bWithIDs || m_piIDs != nullptr);
        if (!ReadAllocatedRows(this, bAllocated, [this]() { return ReadRows(); })) return false;
    }
    m_bDataLoaded = true;
    return true;
}

template <typename T>
void NKFTripleRowBlock<T>::FreeData()
{
    NKFreeAndClear(&m_pValues, &m_piIDs);
    m_bDataLoaded = false;
}

template class NKFTripleRowBlock<signed char>;
template class NKFTripleRowBlock<float>;

NKFNormalBlock::NKFNormalBlock(NKFReader *pReader, int iBlockID)
    : NKFTripleRowBlock(pReader, iBlockID, NKF_NORMALS)
{}

bool NKFNormalBlock::ReadRows()
{
    return ReadPackedNormals(m_pValues, m_iCount, m_bWithIDs ? m_piIDs : nullptr,
                             NKF_NUMBERS_STRICT);
}

bool NKFNormalBlock::WriteBlock()
{
    if (!BeginRowWrite(m_pValues != nullptr, m_bWithIDs != 0, "No normals in block")) return false;
    NKString line;
    for (int i = 0; i < m_iCount; i++) {
        const signed char *p = m_pValues + (int64_t)i * 3;
        if (m_bWithIDs)
            line.Format("%d %d %d %d\n", m_piIDs[i], p[0], p[1], p[2]);
        else
            line.Format("%d %d %d\n", p[0], p[1], p[2]);
        m_pReader->WriteText(line.GetText());
    }
    return true;
}

NKFColorBlock::NKFColorBlock(NKFReader *pReader, int iBlockID)
    : NKFTripleRowBlock(pReader, iBlockID, NKF_COLORS), m_bByteColors(1)
{}

bool NKFColorBlock::ApplyOwnDirective(const NKString &word)
{
    if (word == "%BYTE_COLORS")
        m_bByteColors = 1;
    else if (word == "%FLOAT_COLORS")
        m_bByteColors = 0;
    else
        return false;
    return true;
}

// Byte colours are scaled by 1/255; every component ends in [0, 1] (a value
// that is not a number becomes 0).
static void NormaliseColors(float *pfColors, int64_t iNumValues, bool bByteColors)
{
    for (int64_t i = 0; i < iNumValues; i++) {
        float v = pfColors[i];
        if (bByteColors) v *= 0.003921569f;
        if (!(v >= 0.0f)) v = 0.0f;
        if (v > 1.0f) v = 1.0f;
        pfColors[i] = v;
    }
}

bool NKFColorBlock::ReadRows()
{
    if (!ReadFloatRows(m_pValues, 3, m_iCount, m_bWithIDs ? m_piIDs : nullptr)) return false;
    NormaliseColors(m_pValues, (int64_t)m_iCount * 3, m_bByteColors != 0);
    return true;
}

// The stored colours are already in 0..1, so the written block says
// "%FLOAT_COLORS": without it a reader would take them as bytes (the
// default) and scale them a second time.
bool NKFColorBlock::WriteBlock()
{
    if (!BeginRowWrite(m_pValues != nullptr, m_bWithIDs != 0, "No normals in block")) return false;
    m_pReader->WriteText("%FLOAT_COLORS\n");
    WriteFloatTriples(m_pReader, m_pValues, m_bWithIDs ? m_piIDs : nullptr, m_iCount);
    return true;
}
