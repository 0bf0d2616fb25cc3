// nkf/nkf_faceset.cpp -- the *INDEXEDFACESET block: the ASCII and binary
// parse (header fields and the polygon, connectivity and binding counts), the
// load of the polygons, and NKCreatePartFromFaceSet, which turns the loaded
// block into an NKIndexedFaceSet over its used nodes. Layout of the binary
// header in nkf_faceset.h; node blocks in nkf_nodes.h; the ID maps and the
// node compaction are nk_mesh.cpp's.
#include "nkf/nkf_faceset.h"

#include <climits>
#include <cstring>

#include "core/nk_memory.h"
#include "core/nk_mesh.h"
#include "nkf/nkf_nodes.h"
#include "nkf/nkf_reader.h"
#include "nkf/nkf_stream.h"

namespace {

// The sections that the data lines of an ASCII face set fill.
enum { SECTION_CONNECTIVITIES = 0, SECTION_NORMAL_BINDINGS = 1, SECTION_COLOR_BINDINGS = 2 };

const char *const g_apszSectionWords[3] = {"%CONNECTIVITIES", "%NORMAL_BINDINGS",
                                           "%COLOR_BINDINGS"};

// The section a directive selects, or -1.
int SectionOfWord(const NKString &word)
{
    for (int k = 0; k < 3; k++) {
        if (word == g_apszSectionWords[k]) return k;
    }
    return -1;
}

// NKCalloc for n ints that accepts n = 0 (the array then stays null).
bool AllocInts(int64_t n, int32_t **ppiArray)
{
    *ppiArray = nullptr;
    if (n <= 0) return n == 0;
    *ppiArray = (int32_t *)NKCalloc((size_t)n, sizeof(int32_t));
    return *ppiArray != nullptr;
}

}  // namespace

NKFIndexedFaceSetBlock::NKFIndexedFaceSetBlock(NKFReader *pReader, int iBlockID)
    : NKFBlock(pReader, iBlockID), m_Name(""), m_iDescriptionBlockID(0), m_Description(""),
      m_iNodeBlockID(0), m_iNormalBlockID(0), m_iColorBlockID(0), m_pfBlockColor(nullptr),
      m_bColorsPerBlock(1), m_bNormalsPerNode(1), m_bImplicitNormalBinding(1),
      m_bImplicitColorBinding(1), m_bWithIDs(0), m_bNodeRefsConverted(0), m_cNodeReferenceMode(-1),
      m_iNumPolygons(0), m_iNumConnects(0), m_iNumColorBindings(0), m_iNumNormalBindings(0),
      m_piConnects(nullptr), m_piPolygonStart(nullptr), m_piPolygonNumNodes(nullptr),
      m_piIDs(nullptr), m_piColorBindings(nullptr), m_piNormalBindings(nullptr)
{
    m_iBlockType = NKF_INDEXEDFACESET;
}

NKFIndexedFaceSetBlock::~NKFIndexedFaceSetBlock()
{
    FreeData();
    NKFree(m_pfBlockColor);
}

void NKFIndexedFaceSetBlock::FreeData()
{
    NKFreeAndClear(&m_piConnects, &m_piPolygonStart, &m_piPolygonNumNodes, &m_piIDs,
                   &m_piColorBindings, &m_piNormalBindings);
    m_bDataLoaded = false;
    m_bNodeRefsConverted = 0;
}

bool NKFIndexedFaceSetBlock::ParseBlock()
{
    return ParseByForm([this] { return ParseAscii(); }, [this] { return ParseBinary(); });
}

// ---------------------------------------------------------------------------
// ASCII parse

// A "%NODES", "%NORMALS" or "%MATERIAL" line must name a block with '#'.
static bool HasReference(const NKString &line) { return line.FindChar('#') >= 0; }

// The on/off directives of the header; false for another word.
bool NKFIndexedFaceSetBlock::ApplyFlagDirective(const NKString &word)
{
    struct FlagWord {
        const char *pszWord;
        uint8_t *pbFlag;
        uint8_t bValue;
    };
    const FlagWord aFlags[] = {
        {"%COLORS_PER_BLOCK", &m_bColorsPerBlock, 1},
        {"%COLORS_PER_FACE", &m_bColorsPerBlock, 0},
        {"%NORMALS_PER_NODE", &m_bNormalsPerNode, 1},
        {"%NORMALS_PER_FACE", &m_bNormalsPerNode, 0},
        {"%IMPLICIT_NORMAL_BINDING", &m_bImplicitNormalBinding, 1},
        {"%EXPLICIT_NORMAL_BINDING", &m_bImplicitNormalBinding, 0},
        {"%IMPLICIT_COLOR_BINDING", &m_bImplicitColorBinding, 1},
        {"%EXPLICIT_COLOR_BINDING", &m_bImplicitColorBinding, 0},
        {"%WITH_ID", &m_bWithIDs, 1},
        {"%NO_ID", &m_bWithIDs, 0},
    };
    for (const FlagWord &f : aFlags) {
        if (word == f.pszWord) {
            *f.pbFlag = f.bValue;
            return true;
        }
    }
    return false;
}

// Header directives; *pbKnown tells whether the word was one of them.
bool NKFIndexedFaceSetBlock::ApplyHeaderDirective(const NKString &line, const NKString &word,
                                                  bool *pbKnown)
{
    *pbKnown = true;
    if (ApplyFlagDirective(word)) return true;
    if (word == "%MAP_NODE_IDS") {
        m_cNodeReferenceMode = 1;
    } else if (word == "%MAP_NODE_INDICES") {
        m_cNodeReferenceMode = 0;
    } else if (word == "%NAME") {
        m_Name = ReadQuoted(line);
    } else if (word == "%DESCRIPTION") {
        if (HasReference(line))
            m_iDescriptionBlockID = ReadReference(line);
        else
            m_Description = ReadQuoted(line);
    } else if (word == "%NODES" || word == "%NORMALS" || word == "%MATERIAL") {
        if (!HasReference(line)) {
            const char *pszText =
                word == "%NODES"     ? "No node block ID specified in %NODES. Missing #ID."
                : word == "%NORMALS" ? "No node block ID specified in %NORMALS. Missing #ID."
                                     : "No material block ID specified in %MATERIAL. Missing #ID.";
            ReportLineError(NKString(""), NKString(pszText));
            return false;
        }
        int iID = ReadReference(line);
        if (word == "%NODES")
            m_iNodeBlockID = iID;
        else if (word == "%NORMALS")
            m_iNormalBlockID = iID;
        else
            m_iColorBlockID = iID;
    } else if (word == "%COLORS") {
        if (HasReference(line)) {
            m_iColorBlockID = ReadReference(line);
        } else {
            if (!NKFReadBlockColor(line, &m_pfBlockColor))
                return ReportFailure("Error Allocation memory");
        }
    } else {
        *pbKnown = false;
    }
    return true;
}

// Selects the section of a section directive; each may appear once, and the
// binding sections only with their explicit binding.
static bool SelectSection(NKFBlock *pBlock, int iSection, bool bExplicitNormal, bool bExplicitColor,
                          int aiSeen[3])
{
    if (iSection == SECTION_NORMAL_BINDINGS && !bExplicitNormal) {
        pBlock->ReportLineError(NKString(""),
                                NKString("%NORMAL_BINDINGS are not allowed when using "
                                         "%IMPLICIT_NORMAL_BINDING (default)."));
        return false;
    }
    if (iSection == SECTION_COLOR_BINDINGS && !bExplicitColor) {
        pBlock->ReportLineError(NKString(""), NKString("%COLOR_BINDINGS are not allowed when using "
                                                       "%IMPLICIT_COLOR_BINDING (default)."));
        return false;
    }
    if (aiSeen[iSection]++ > 0) {
        pBlock->ReportLineError(
            NKString(""), NKString::FromFormat("Only one %s directive allowed within one block.",
                                               g_apszSectionWords[iSection]));
        return false;
    }
    return true;
}

// A '%' line: a section directive anywhere, a header directive ahead of the
// first data line; any other word is warned about and passed over.
bool NKFIndexedFaceSetBlock::ParseDirectiveLine(const NKString &line, bool bInHeader, int aiSeen[3],
                                                int *piSection)
{
    NKString word = NKFLineFirstWord(line.GetText());
    int k = SectionOfWord(word);
    bool bKnown = false;
    if (k >= 0) {
        if (!SelectSection(this, k, !m_bImplicitNormalBinding, !m_bImplicitColorBinding, aiSeen))
            return false;
        *piSection = k;
        bKnown = true;
    } else if (bInHeader && !ApplyHeaderDirective(line, word, &bKnown)) {
        return false;
    }
    if (!bKnown) {
        m_pReader->ReportWarning(NKString(""),
                                 NKString("Unknown Identifier found in Indexed Face Set block."));
    }
    return true;
}

// One pass over the lines: the '%' lines ahead of the first data line are
// header directives; section directives may stand anywhere; data lines count
// polygons and node references, or binding values, by their section.
bool NKFIndexedFaceSetBlock::ParseAscii()
{
    m_cNodeReferenceMode = -1;
    int aiSeen[3] = {0, 0, 0};
    int iSection = SECTION_CONNECTIVITIES;
    int64_t aiCounts[3] = {0, 0, 0};  // references, normal bindings, colour bindings
    int64_t iPolygons = 0;
    bool bInHeader = true;
    while (const NKString *pLine = NextBlockLine()) {
        const NKString &line = *pLine;
        if (line.GetAt(0) == '%') {
            if (!ParseDirectiveLine(line, bInHeader, aiSeen, &iSection)) return false;
            continue;
        }
        if (bInHeader) {
            bInHeader = false;
            if (m_iNodeBlockID < 1) {
                ReportLineError(NKString(""), NKString("No valid node block is referenced in the "
                                                       "header of *INDEXEDFACESET."));
                return false;
            }
        }
        int iWords = NKFCountLineWords(line.GetText());
        if (iSection == SECTION_CONNECTIVITIES) {
            iPolygons++;
            iWords -= m_bWithIDs ? 1 : 0;
        }
        aiCounts[iSection] += iWords > 0 ? iWords : 0;
        if (iPolygons > INT32_MAX || aiCounts[iSection] > INT32_MAX) {
            ReportLineError(NKString(""), NKString("Too many values in indexed face set block."));
            return false;
        }
    }
    if (bInHeader) {
        ReportLineError(NKString(""), NKString("No data in indexed face set block."));
        return false;
    }
    m_iNumPolygons = (int32_t)iPolygons;
    m_iNumConnects = (int32_t)aiCounts[SECTION_CONNECTIVITIES];
    m_iNumNormalBindings = (int32_t)aiCounts[SECTION_NORMAL_BINDINGS];
    m_iNumColorBindings = (int32_t)aiCounts[SECTION_COLOR_BINDINGS];
    return CheckBindingCounts();
}

bool NKFIndexedFaceSetBlock::CheckBindingCounts()
{
    const char *pszError = nullptr;
    if (!m_bImplicitColorBinding && m_iColorBlockID <= 0) {
        pszError = "Explicit color binding is specified, but no color block is referenced "
                   "(%COLORS #ID).";
    } else if (!m_bImplicitNormalBinding && m_iNormalBlockID <= 0) {
        pszError = "Explicit normal binding is specified, but no normal block is referenced "
                   "(%NORMALS #ID).";
    } else if (m_iColorBlockID > 0 && !m_bImplicitColorBinding) {
        if (!m_bColorsPerBlock && m_iNumColorBindings != m_iNumPolygons)
            pszError = "Number of color bindings does not match number of polygons";
        else if (m_bColorsPerBlock && m_iNumColorBindings != 1)
            pszError = "Not 1 color binding given when using %COLORS_PER_BLOCK (default).";
    }
    if (pszError == nullptr && m_iNormalBlockID > 0 && !m_bImplicitNormalBinding) {
        if (!m_bNormalsPerNode && m_iNumNormalBindings != m_iNumPolygons)
            pszError = "Number of normal bindings does not match number of polygons.";
        else if (m_bNormalsPerNode && m_iNumNormalBindings != m_iNumConnects)
            pszError = "Number of normal bindings does not match number of connectivities.";
    }
    if (pszError == nullptr) return true;
    ReportError(NKString(""), NKString(pszError));
    return false;
}

// ---------------------------------------------------------------------------
// Binary parse

bool NKFIndexedFaceSetBlock::ParseBinary()
{
    const int iKnown = 116, iWritten = 124;
    int32_t iHeaderSize = 0, iDataSize = 0;
    if (!ReadHeaderSizes(iKnown, &iHeaderSize, &iDataSize)) return false;
    m_iNodeBlockID = m_pReader->ReadInt();
    m_Description = m_pReader->ReadString80();
    float afColor[3] = {-1.0f, 0.0f, 0.0f};
    m_pReader->ReadFloats(afColor, 3);
    int32_t aiCounts[3] = {0, 0, 0};
    m_pReader->ReadInts(aiCounts, 3);
    m_bWithIDs = aiCounts[0] == 1 ? 1 : 0;
    m_iNumPolygons = aiCounts[1];
    m_iNumConnects = aiCounts[2];
    int iRead = iKnown;
    int iLimit = iHeaderSize < iWritten ? iHeaderSize : iWritten;
    if (iRead < iLimit) {
        m_pReader->ReadInt();  // not used
        iRead += 4;
    }
    m_cNodeReferenceMode = -1;
    if (iRead < iLimit) {
        int32_t iMode = m_pReader->ReadInt() & 0xFF;  // a byte: 255 means -1
        m_cNodeReferenceMode = iMode == 1 ? 1 : iMode == 0 ? 0 : -1;
        iRead += 4;
    }
    if (!SkipHeaderRest(iHeaderSize, iRead)) return false;
    if (!NKFStoreBlockColor(this, afColor, &m_pfBlockColor)) return false;
    // Every polygon holds at least one reference, so the connectivity count
    // bounds the polygon count and the data size bounds both.
    int64_t iWords = (int64_t)m_iNumConnects + (m_bWithIDs ? m_iNumPolygons : 0);
    bool bBad = m_iNumPolygons < 0 || m_iNumConnects < 0 || m_iNumPolygons > m_iNumConnects;
    if (!CheckDataBytes(bBad ? -1 : iWords * 4)) {
        m_iNumPolygons = m_iNumConnects = 0;
        return false;
    }
    return CheckEndOfBlock(iDataSize);
}

// ---------------------------------------------------------------------------
// Load

bool NKFIndexedFaceSetBlock::AllocateArrays()
{
    return AllocInts(m_iNumConnects, &m_piConnects) &&
           AllocInts(m_iNumPolygons, &m_piPolygonStart) &&
           AllocInts(m_iNumPolygons, &m_piPolygonNumNodes);
}

bool NKFIndexedFaceSetBlock::LoadData()
{
    if (m_bDataLoaded) return true;
    if (!CheckParsed()) return false;
    if (!SeekPosition()) return false;
    const char *pszError = nullptr;
    if (!AllocateArrays())
        pszError = "Out of memory.";
    else if (!AllocInts(m_iNumColorBindings, &m_piColorBindings))
        pszError = "Error allocating memory for m_pColorBindings";
    else if (!AllocInts(m_iNumNormalBindings, &m_piNormalBindings))
        pszError = "Error allocating memory for m_pNormalBindings";
    else if (m_bWithIDs && !AllocInts(m_iNumPolygons, &m_piIDs))
        pszError = "Error allocating memory for m_pIDs";
    if (pszError != nullptr) {
        FreeData();
        ReportError(NKString(""), NKString(pszError));
        return false;
    }
    if (!FinishLoad(m_pReader->IsAscii() ? LoadAscii() : LoadBinary())) return false;
    m_bNodeRefsConverted = 0;
    return true;
}

bool NKFIndexedFaceSetBlock::LoadAscii()
{
    int32_t iPolygons = 0, iConnects = 0, iColorBindings = 0, iNormalBindings = 0;
    int iSection = SECTION_CONNECTIVITIES;
    while (const NKString *pLine = NextBlockLine()) {
        const NKString &line = *pLine;
        if (line.GetAt(0) == '%') {
            int k = SectionOfWord(NKFLineFirstWord(line.GetText()));
            if (k >= 0) iSection = k;
            continue;
        }
        if (iSection == SECTION_CONNECTIVITIES) {
            if (!LoadAsciiPolygon(line, &iPolygons, &iConnects)) return false;
            continue;
        }
        bool bColor = iSection == SECTION_COLOR_BINDINGS;
        int32_t *piValues = bColor ? m_piColorBindings : m_piNormalBindings;
        int32_t *piDone = bColor ? &iColorBindings : &iNormalBindings;
        int32_t iMax = bColor ? m_iNumColorBindings : m_iNumNormalBindings;
        const char *p = line.GetText(), *pStart, *pEnd;
        while (NKFNextWord(&p, &pStart, &pEnd)) {
            if (*piDone >= iMax) break;  // reported by the count check below
            piValues[(*piDone)++] = NKFWordToInt(pStart);
        }
    }
    const char *pszError = nullptr;
    if (iPolygons != m_iNumPolygons)
        pszError = "Internal error. Wrong number of polygons.";
    else if (iConnects != m_iNumConnects)
        pszError = "Internal error. Wrong number of connectivities.";
    else if (iColorBindings != m_iNumColorBindings)
        pszError = "Internal error. Wrong number of color bindings.";
    else if (iNormalBindings != m_iNumNormalBindings)
        pszError = "Internal error. Wrong number of normal bindings.";
    if (pszError == nullptr) return true;
    ReportError(NKString(""), NKString(pszError));
    return false;
}

// One connectivity line: [ID] then the references, the last one negated.
// *piPolygon and *piConnect count what the walk has stored so far.
bool NKFIndexedFaceSetBlock::LoadAsciiPolygon(const NKString &line, int32_t *piPolygon,
                                              int32_t *piConnect)
{
    const char *p = line.GetText(), *pStart, *pEnd;
    int iWords = NKFCountLineWords(p) - (m_bWithIDs ? 1 : 0);
    if (iWords < 0) iWords = 0;
    if (*piPolygon >= m_iNumPolygons)
        return ReportFailure("Internal error. Wrong number of polygons.");
    if ((int64_t)*piConnect + iWords > m_iNumConnects)
        return ReportFailure("Internal error. Wrong number of connectivities.");
    if (m_bWithIDs) {
        NKFNextWord(&p, &pStart, &pEnd);
        m_piIDs[*piPolygon] = NKFWordToInt(pStart);
    }
    int32_t *piRefs = m_piConnects + *piConnect;
    for (int k = 0; k < iWords && NKFNextWord(&p, &pStart, &pEnd); k++) {
        piRefs[k] = NKFWordToInt(pStart);
    }
    // The last reference must carry the end mark; without it the polygon
    // would run into the next one.
    if (iWords == 0 || piRefs[iWords - 1] >= 0 || piRefs[iWords - 1] == INT32_MIN) {
        ReportLineError(NKString(""),
                        NKString("The last node reference of a polygon must be negative."));
        return false;
    }
    piRefs[iWords - 1] = -piRefs[iWords - 1];
    m_piPolygonStart[*piPolygon] = *piConnect;
    m_piPolygonNumNodes[*piPolygon] = iWords;
    (*piPolygon)++;
    *piConnect += iWords;
    return true;
}

// Reads the data words in one go and splits them into polygons, never past
// the header's polygon and connectivity counts.
bool NKFIndexedFaceSetBlock::LoadBinary()
{
    if (!SkipHeaderDirectives()) return ReportFailure("Error reading polygon data");
    int64_t iWords = (int64_t)m_iNumConnects + (m_bWithIDs ? m_iNumPolygons : 0);
    int32_t *piWords = nullptr;
    if (!AllocInts(iWords, &piWords)) return ReportFailure("Out of memory.");
    bool bOk = iWords == 0 || m_pReader->ReadInts(piWords, iWords);
    int64_t k = 0;
    int32_t c = 0;
    for (int32_t p = 0; bOk && p < m_iNumPolygons; p++) {
        if (m_bWithIDs) m_piIDs[p] = piWords[k++];
        m_piPolygonStart[p] = c;
        for (;;) {
            if (k >= iWords || c >= m_iNumConnects) {
                bOk = false;
                break;
            }
            int32_t v = piWords[k++];
            if (v <= 0) {
                m_piConnects[c++] = v == INT32_MIN ? 0 : -v;  // 0 fails the conversion
                break;
            }
            m_piConnects[c++] = v;
        }
        m_piPolygonNumNodes[p] = c - m_piPolygonStart[p];
    }
    NKFree(piWords);
    if (bOk && c == m_iNumConnects) return true;
    ReportError(NKString(""), NKString("Polygon data does not fit the polygon and connectivity "
                                       "counts of the block header."));
    return false;
}

// ---------------------------------------------------------------------------
// Part building

NKFNodeBlock *NKFIndexedFaceSetBlock::FindNodeBlock()
{
    return dynamic_cast<NKFNodeBlock *>(m_pReader->FindBlock(NKF_NODES, m_iNodeBlockID));
}

// Turns the loaded references into 0-based node indices, once per load: user
// IDs through the node block's sorted IDs, 1-based indices by subtracting 1.
// Every result is checked against the node count. A failure leaves the block
// unloaded, so that a later load starts from the file again.
bool NKFIndexedFaceSetBlock::ConvertNodeReferences(NKFNodeBlock *pNodes)
{
    if (m_bNodeRefsConverted) return true;
    bool bIDs = (m_cNodeReferenceMode == 1 || (m_cNodeReferenceMode == -1 && pNodes->HasIDs())) &&
                pNodes->GetIDs() != nullptr;
    int iNumNodes = pNodes->GetNumNodes();
    bool bOk = true;
    if (bIDs) {
        bOk =
            m_iNumConnects < 1 || NKMapNodeIdsToIndices(pNodes->GetIDs(), pNodes->GetSortedOrder(),
                                                        iNumNodes, m_piConnects, m_iNumConnects);
        if (!bOk) ReportError(NKString(""), NKString("Error processing User defined node IDs."));
    } else {
        for (int32_t i = 0; bOk && i < m_iNumConnects; i++) {
            int32_t v = m_piConnects[i];
            if (v < 1 || v > iNumNodes) {
                ReportError(
                    NKString(""),
                    NKString::FromFormat("Refers to node %d, but node block #%d holds %d nodes.", v,
                                         m_iNodeBlockID, iNumNodes));
                bOk = false;
            }
            m_piConnects[i] = v - 1;
        }
    }
    if (!bOk) {
        FreeData();
        return false;
    }
    m_bNodeRefsConverted = 1;
    return true;
}

bool NKFIndexedFaceSetBlock::NKCreatePartFromFaceSet(NKIndexedFaceSet *pIFS, bool bFreeNodeData)
{
    if (pIFS == nullptr) return false;
    NKInitPolygonMesh(pIFS);
    if (m_iNumPolygons < 1) return true;
    if (!LoadData()) return false;
    NKFNodeBlock *pNodes = NKFLoadReferencedNodes(this, m_iNodeBlockID);
    if (pNodes == nullptr) return false;
    bool bOk = ConvertNodeReferences(pNodes) && FillFaceSet(pIFS, pNodes);
    if (!bOk) NKFreePolygonMesh(pIFS);
    if (bFreeNodeData) pNodes->FreeData();
    return bOk;
}

// Copies the polygons into the record and compacts the nodes to those used,
// in ascending node order.
bool NKFIndexedFaceSetBlock::FillFaceSet(NKIndexedFaceSet *pIFS, NKFNodeBlock *pNodes)
{
    int n = m_iNumPolygons;
    pIFS->piPolygonStart = (int *)NKAlloc((size_t)n * sizeof(int));
    pIFS->piPolygonNumNodes = (int *)NKAlloc((size_t)n * sizeof(int));
    pIFS->piPolygonElement = (int *)NKAlloc((size_t)n * sizeof(int));
    pIFS->piConnects = (int *)NKAlloc((size_t)m_iNumConnects * sizeof(int));
    if (pIFS->piPolygonStart == nullptr || pIFS->piPolygonNumNodes == nullptr ||
        pIFS->piPolygonElement == nullptr || pIFS->piConnects == nullptr)
        return ReportFailure("Out of memory.");
    memcpy(pIFS->piPolygonStart, m_piPolygonStart, (size_t)n * sizeof(int));
    memcpy(pIFS->piPolygonNumNodes, m_piPolygonNumNodes, (size_t)n * sizeof(int));
    // A face set has no elements: each polygon stands for itself.
    for (int i = 0; i < n; i++) pIFS->piPolygonElement[i] = i;
    pIFS->iNumPolygons = n;
    pIFS->iConnectLength = m_iNumConnects;
    if (!NKFCompactFaceSetNodes(pIFS, m_piConnects, pNodes)) return ReportFailure("Out of memory.");
    pIFS->bFromElements = 0;
    return true;
}
