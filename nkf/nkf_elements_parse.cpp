// nkf/nkf_elements_parse.cpp -- the first pass of the *ELEMENTS block: the
// ASCII header directives and body, the binary header and section headers.
// The pass stores the header fields and the type and element count of every
// section. The ASCII body is walked by one function in both passes (counting
// here, storing in LoadData), so that the two can never disagree about which
// line belongs to which section. Loading and part building are in
// nkf_elements.cpp; the binary layout is in nkf_elements.h.
//
// ASCII syntax, after the "*ELEMENTS <id>" line:
//   header directives  %NO_ID | %WITH_ID, %NAME "text", %DESCRIPTION #id |
//                      "text", %NODES #id, %COLORS #id | r g b,
//                      %COLORS_PER_BLOCK | %COLORS_PER_ELEMENT,
//                      %IMPLICIT_COLOR_BINDING | %EXPLICIT_COLOR_BINDING,
//                      %MATERIAL #id, %MAP_NODE_IDS | %MAP_NODE_INDICES
//   body               an element keyword (%BEAMS ... %POINTS, %UNKNOWN)
//                      opens a section; each data line is one element,
//                      [ID] then its node references; %COLOR_BINDINGS makes
//                      the following data lines colour bindings, up to the
//                      next element keyword.
// Element lines ahead of the first keyword form a hexahedron section. A
// keyword directly followed by another keyword opens nothing.
#include <vector>

#include "core/nk_element_types.h"
#include "core/nk_memory.h"
#include "nkf/nkf_elements.h"
#include "nkf/nkf_nodes.h"
#include "nkf/nkf_reader.h"
#include "nkf/nkf_stream.h"

namespace {

const char *const g_apszHeaderWords[] = {"%NO_ID",
                                         "%WITH_ID",
                                         "%NAME",
                                         "%DESCRIPTION",
                                         "%NODES",
                                         "%COLORS",
                                         "%COLORS_PER_BLOCK",
                                         "%COLORS_PER_ELEMENT",
                                         "%IMPLICIT_COLOR_BINDING",
                                         "%EXPLICIT_COLOR_BINDING",
                                         "%MATERIAL",
                                         "%MAP_NODE_IDS",
                                         "%MAP_NODE_INDICES"};

bool IsHeaderWord(const NKString &word)
{
    for (const char *psz : g_apszHeaderWords) {
        if (word == psz) return true;
    }
    return false;
}

// Type code of an element keyword; -1 for any other word. The kinds without
// a keyword (brick, shells, the second beam) never match.
int ElementTypeOfKeyword(const NKString &word)
{
    if (word.IsEmpty()) return -1;
    for (int t = 0; t < NK_ELEMENT_TYPE_COUNT; t++) {
        const char *pszKeyword = NKElementTypeTable[t].szKeyword;
        if (pszKeyword[0] != 0 && word == pszKeyword) return t;
    }
    return -1;
}

}  // namespace

bool Elements::ParseBlock()
{
    return ParseByForm([this] { return ParseAscii(); }, [this] { return ParseBinary(); });
}

// ---------------------------------------------------------------------------
// ASCII

bool Elements::ApplyHeaderDirective(const NKString &line, const NKString &word, bool *pbKnown)
{
    *pbKnown = IsHeaderWord(word);
    bool bReference = line.FindChar('#') >= 0;
    if (word == "%NO_ID" || word == "%WITH_ID") {
        m_bWithIDs = word == "%WITH_ID" ? 1 : 0;
    } else if (word == "%NAME") {
        m_Name = ReadQuoted(line);
    } else if (word == "%DESCRIPTION") {
        if (bReference)
            m_iDescriptionBlockID = ReadReference(line);
        else
            m_Description = ReadQuoted(line);
    } else if (word == "%NODES" || word == "%MATERIAL") {
        bool bNodes = word == "%NODES";
        if (!bReference) {
            ReportLineError(
                NKString(""),
                NKString(bNodes ? "No node block ID specified in %NODES. Missing #"
                                : "No material block ID specified in %MATERIAL. Missing #"));
            return false;
        }
        if (bNodes) {
            m_iNodeBlockID = ReadReference(line);
            m_bNodeBlockGiven = true;
        } else {
            m_iColorBlockID = ReadReference(line);
        }
    } else if (word == "%COLORS") {
        if (bReference) {
            m_iColorBlockID = ReadReference(line);
        } else if (!NKFReadBlockColor(line, &m_pfBlockColor))
            return ReportFailure("Error Allocation memory");
    } else if (word == "%COLORS_PER_BLOCK" || word == "%COLORS_PER_ELEMENT") {
        m_bColorsPerBlock = word == "%COLORS_PER_BLOCK" ? 1 : 0;
    } else if (word == "%IMPLICIT_COLOR_BINDING" || word == "%EXPLICIT_COLOR_BINDING") {
        m_bImplicitColorBinding = word == "%IMPLICIT_COLOR_BINDING" ? 1 : 0;
    } else if (word == "%MAP_NODE_IDS" || word == "%MAP_NODE_INDICES") {
        m_cNodeReferenceMode = word == "%MAP_NODE_IDS" ? 1 : 0;
    }
    return true;
}

bool Elements::ParseAscii()
{
    m_cNodeReferenceMode = -1;
    for (;;) {
        const NKString &line = m_pReader->NextLine();
        if (line.IsEmpty() || line.GetAt(0) == '*') {
            if (!line.IsEmpty()) m_pReader->PushBackLine();
            ReportLineError(NKString(""), NKString("No data in element block"));
            return false;
        }
        if (line.GetAt(0) == '%') {
            bool bKnown = false;
            if (!ApplyHeaderDirective(line, NKFLineFirstWord(line.GetText()), &bKnown))
                return false;
            if (bKnown) continue;
        }
        m_pReader->PushBackLine();  // the first body line
        break;
    }
    DropParsedRows();
    m_bParsedRows = true;
    if (!WalkAsciiBody(false, nullptr)) return false;
    if (m_bColorsPerBlock && m_iNumColorBindings > 1) {
        ReportError(NKString(""),
                    NKString("Illegal number of color bindings. Must be one value when "
                             "using %COLORS_PER_BLOCK (default)"));
        return false;
    }
    return true;
}

// Passes over the header directives again (LoadData); the first body line
// is pushed back.
void Elements::SkipAsciiHeaderLines()
{
    for (;;) {
        const NKString &line = m_pReader->NextLine();
        if (line.IsEmpty()) return;
        if (line.GetAt(0) == '%' && IsHeaderWord(NKFLineFirstWord(line.GetText()))) continue;
        m_pReader->PushBackLine();
        return;
    }
}

// Counting pass over one data line: an element of the current section, or
// colour binding values.
bool Elements::CountAsciiLine(const NKString &line, int iType, bool bBindings)
{
    // An element line's words are counted only for the strict parse: the
    // deferred one counts lines, and the load checks every word.
    if (!bBindings && m_pReader->GetDeferReferences()) return true;
    int iWords = NKFCountLineWords(line.GetText());
    if (bBindings) {
        if ((int64_t)m_iNumColorBindings + iWords > INT32_MAX) {
            ReportLineError(NKString(""), NKString("Too many color bindings in element block."));
            return false;
        }
        m_iNumColorBindings += iWords;
        return true;
    }
    if (iWords - (m_bWithIDs ? 1 : 0) != NKFElementNodeCount(iType)) {
        ReportLineError(NKString(""), NKString("Wrong number of nodes for elements"));
        return false;
    }
    return true;
}

// Loading pass over one data line: row iRow of section iSection, or binding
// values appended to the loaded ones. Every word read must be an integer and
// an element line must hold all its nodes, else the line error; extra words
// are ignored.
bool Elements::StoreAsciiLine(const NKString &line, int iSection, int32_t iRow, bool bBindings)
{
    const char *p = line.GetText();
    if (bBindings) {
        for (;;) {
            int32_t iValue = 0;
            NKFWordScan eScan = NKFScanIntWord(&p, &iValue);
            if (eScan == NKF_WORD_MISSING) return true;
            if (iRow >= m_iNumColorBindings) return false;
            if (eScan == NKF_WORD_ILLEGAL) {
                ReportBadNumber(false);
                return false;
            }
            m_piColorBindings[iRow++] = iValue;
        }
    }
    if (iSection >= m_iNumSections || iRow >= m_piNumElements[iSection]) return false;
    if (m_bWithIDs && !ScanCheckedInt(&p, &m_ppiIDs[iSection][iRow])) return false;
    int n = NKFElementNodeCount(m_piElementTypes[iSection]);
    int32_t *piRefs = m_ppiElements[iSection] + (int64_t)iRow * n;
    for (int k = 0; k < n; k++) {
        if (!ScanCheckedInt(&p, &piRefs[k])) return false;
    }
    return true;
}

// Rows the loading pass has stored in a section. A trailing keyword may
// point past the last section; that section holds nothing.
int Elements::LoadedRows(const int32_t *piLoaded, int iSection) const
{
    return iSection < m_iNumSections ? piLoaded[iSection] : 0;
}

// An element keyword: while the current section holds no element it only
// changes that section's type; otherwise the next section begins (the
// counting pass adds it, at most NKF_MAX_ELEMENT_SECTIONS in all).
static bool EnterSection(Elements *pBlock, int iType, int iCurrentRows, bool bLoad,
                         std::vector<int32_t> *pTypes, std::vector<int32_t> *pCounts,
                         int *piSection)
{
    if (iCurrentRows == 0) {
        if (!bLoad) (*pTypes)[(size_t)*piSection] = iType;
        return true;
    }
    if (!bLoad) {
        if ((int)pTypes->size() >= NKF_MAX_ELEMENT_SECTIONS) {
            pBlock->ReportLineError(NKString(""),
                                    NKString("To many element types in one node block."));
            return false;
        }
        pTypes->push_back(iType);
        pCounts->push_back(0);
    }
    (*piSection)++;
    return true;
}

// Walks the body lines up to the next '*' line (pushed back) or the end of
// the file. Counting (bLoad false): builds the section table and the binding
// count. Loading: stores each line where the counting pass put it;
// piLoaded[s] counts the rows stored in section s and piLoaded[sections] the
// binding values. A section opens at an element keyword only once the
// current one holds elements, so empty sections never exist.
bool Elements::WalkAsciiBody(bool bLoad, int32_t *piLoaded)
{
    std::vector<int32_t> aiTypes(1, NK_ELEM_HEXAHEDRON), aiCounts(1, 0);
    int iSection = 0;
    bool bBindings = false;
    if (!bLoad) m_iNumColorBindings = 0;
    while (const NKString *pLine = NextBlockLine()) {
        const NKString &line = *pLine;
        if (line.GetAt(0) == '%') {
            NKString word = NKFLineFirstWord(line.GetText());
            int iType = ElementTypeOfKeyword(word);
            if (iType >= 0) {
                bBindings = false;
                int iCurrent = !bLoad ? aiCounts[iSection] : LoadedRows(piLoaded, iSection);
                if (!EnterSection(this, iType, iCurrent, bLoad, &aiTypes, &aiCounts, &iSection))
                    return false;
            } else if (word == "%COLOR_BINDINGS") {
                bBindings = true;
                if (!bLoad) DropParsedRows();
            } else if (!bLoad) {
                m_pReader->ReportInfo(NKString(""),
                                      NKString::FromFormat("Unknown Identifier found in block: %s. "
                                                           "BlockType: %s, ID: %d",
                                                           word.GetText(), GetKeyword().GetText(),
                                                           m_iBlockID));
            }
            continue;
        }
        if (bLoad) {
            int32_t *piDone = bBindings ? &piLoaded[m_iNumSections] : &piLoaded[iSection];
            if (!bBindings && iSection >= m_iNumSections) return false;
            if (!StoreAsciiLine(line, iSection, *piDone, bBindings)) return false;
            *piDone += bBindings ? NKFCountLineWords(line.GetText()) : 1;
            continue;
        }
        if (!CountAsciiLine(line, aiTypes[iSection], bBindings)) return false;
        if (!bBindings && m_bParsedRows)
            ConvertAsciiRow(line.GetText(), iSection, aiTypes[iSection]);
        if (!bBindings && ++aiCounts[iSection] == INT32_MAX) {
            ReportLineError(NKString(""), NKString("Too many elements in element block."));
            return false;
        }
    }
    if (bLoad) return true;
    if (aiCounts.back() == 0) {  // a keyword at the end, or no element at all
        aiTypes.pop_back();
        aiCounts.pop_back();
    }
    return StoreSections(aiTypes.data(), aiCounts.data(), (int)aiTypes.size());
}

// Converts one element row of section iSection as the load would read it
// (the ID when the block has them, then the type's node references, every
// word a good integer; words after them are not read), so that the load
// takes the converted rows instead of reading the lines again. A row the
// load would refuse leaves the load to the file.
void Elements::ConvertAsciiRow(const char *p, int iSection, int iType)
{
    while ((int)m_ParsedRefs.size() <= iSection) {
        m_ParsedRefs.emplace_back();
        m_ParsedIDs.emplace_back();
    }
    int n = NKFElementNodeCount(iType);
    if (!NKFConvertRow(p, m_bWithIDs != 0, &m_ParsedIDs[(size_t)iSection],
                       &m_ParsedRefs[(size_t)iSection], n, m_pReader))
        DropParsedRows();
}

void Elements::DropParsedRows()
{
    m_ParsedRefs.clear();
    m_ParsedIDs.clear();
    m_bParsedRows = false;
}

bool Elements::TakeParsedRows()
{
    bool bWhole =
        m_bParsedRows && m_iNumColorBindings == 0 && (int)m_ParsedRefs.size() == m_iNumSections;
    for (int s = 0; bWhole && s < m_iNumSections; s++) {
        int64_t iCount = m_piNumElements[s];
        bWhole =
            m_ParsedRefs[(size_t)s].Size() == iCount * NKFElementNodeCount(m_piElementTypes[s]) &&
            m_ParsedIDs[(size_t)s].Size() == (m_bWithIDs ? iCount : 0);
    }
    if (bWhole) {
        for (int s = 0; s < m_iNumSections; s++) {
            m_ppiElements[s] = m_ParsedRefs[(size_t)s].Take();
            if (m_bWithIDs) m_ppiIDs[s] = m_ParsedIDs[(size_t)s].Take();
        }
    }
    DropParsedRows();
    return bWhole;
}

// Keeps the section table of the parse. The total element count must fit
// the running element index.
bool Elements::StoreSections(const int32_t *piTypes, const int32_t *piCounts, int iNumSections)
{
    int64_t iTotal = 0;
    for (int s = 0; s < iNumSections; s++) iTotal += piCounts[s];
    if (iTotal > INT32_MAX) return ReportFailure("Too many elements in element block.");
    NKFreeAndClear(&m_piElementTypes, &m_piNumElements);
    m_iNumSections = 0;
    if (iNumSections == 0) return true;
    m_piElementTypes = (int32_t *)NKAlloc((size_t)iNumSections * sizeof(int32_t));
    m_piNumElements = (int32_t *)NKAlloc((size_t)iNumSections * sizeof(int32_t));
    if (m_piElementTypes == nullptr || m_piNumElements == nullptr)
        return ReportFailure("Error Allocation memory");
    for (int s = 0; s < iNumSections; s++) {
        m_piElementTypes[s] = piTypes[s];
        m_piNumElements[s] = piCounts[s];
    }
    m_iNumSections = iNumSections;
    return true;
}

// ---------------------------------------------------------------------------
// Binary

bool Elements::ParseBinary()
{
    int32_t iDataSize = 0, iNumSections = 0;
    return ReadBinaryHeader(&iDataSize, &iNumSections) &&
           ParseBinarySections(iDataSize, iNumSections);
}

// Reads the header record (layout in nkf_elements.h) up to the fields the
// header size covers; the optional fields keep their defaults otherwise.
bool Elements::ReadBinaryHeader(int32_t *piDataSize, int32_t *piNumSections)
{
    const int iKnown = 112, iWritten = 124;
    int32_t iHeaderSize = 0;
    if (!ReadHeaderSizes(iKnown, &iHeaderSize, piDataSize)) return false;
    m_iNodeBlockID = m_pReader->ReadInt();
    m_bNodeBlockGiven = true;
    m_Description = m_pReader->ReadString80();
    float afColor[3] = {-1.0f, 0.0f, 0.0f};
    m_pReader->ReadFloats(afColor, 3);
    m_bWithIDs = m_pReader->ReadInt() == 1 ? 1 : 0;
    int32_t iNumSections = m_pReader->ReadInt();
    m_bExtendedSectionHeaders = 0;
    m_cNodeReferenceMode = -1;
    int iRead = iKnown;
    int iLimit = iHeaderSize < iWritten ? iHeaderSize : iWritten;
    for (int iField = 0; iRead < iLimit; iField++, iRead += 4) {
        int32_t iValue = m_pReader->ReadInt();
        if (iField == 0) m_bExtendedSectionHeaders = iValue != 0 ? 1 : 0;
        if (iField == 2) {
            int iMode = iValue & 0xFF;  // stored as a byte: 255 means -1
            m_cNodeReferenceMode = iMode == 1 ? 1 : iMode == 0 ? 0 : -1;
        }
    }
    if (!SkipHeaderRest(iHeaderSize, iRead)) return false;
    if (!NKFStoreBlockColor(this, afColor, &m_pfBlockColor)) return false;
    // Every section needs at least its short header in the data.
    // The section table is sized by the count before the data is walked, so
    // the data must lie in the file and hold every short section header.
    if (*piDataSize < 0 || (int64_t)*piDataSize + 4 > m_pReader->BytesLeft()) {
        ReportMissingEnd();
        return false;
    }
    *piNumSections = iNumSections;
    return CheckDataBytes(iNumSections < 0 ? -1 : (int64_t)iNumSections * 8);
}

// Reads one section header at the stream position: the type (code - 1), the
// element count, and the bytes the header took.
bool Elements::ReadSectionHeader(int32_t *piType, int32_t *piCount, int64_t *piBytes)
{
    int32_t aiWords[5] = {0, 0, 0, 0, 0};
    int32_t iCode = 0;
    if (m_bExtendedSectionHeaders) {
        m_pReader->ReadInts(aiWords, 5);
        if (aiWords[0] < 20 || aiWords[0] >= NKF_HEADER_SIZE_LIMIT) {
            ReportError(NKString(""),
                        NKString::FromFormat("Illegal section header size found: %d", aiWords[0]));
            return false;
        }
        m_pReader->Skip((int64_t)aiWords[0] - 20);
        iCode = aiWords[1];
        *piCount = aiWords[2];
        *piBytes = aiWords[0];
    } else {
        m_pReader->ReadInts(aiWords, 2);
        iCode = aiWords[0];
        *piCount = aiWords[1];
        *piBytes = 8;
    }
    if (iCode < 1 || iCode > NK_ELEMENT_TYPE_COUNT) {
        ReportError(NKString(""), NKString::FromFormat("Illegal element type found: %d", iCode));
        return false;
    }
    *piType = iCode - 1;
    if (*piCount < 0) return ReportFailure("Item count does not fit the data size of the block.");
    return true;
}

// Walks the section headers, checking each section's rows against the data
// size before skipping them, then the end-of-block marker. Elements that
// occupy no bytes (the unknown kind without IDs) cannot be checked against
// the data; since each gets a record in the part's element list, their
// number is capped instead, so that a few bytes of file cannot announce
// billions of them.
bool Elements::ParseBinarySections(int32_t iDataSize, int32_t iNumSections)
{
    std::vector<int32_t> aiTypes((size_t)iNumSections), aiCounts((size_t)iNumSections);
    int64_t iUsed = 0, iEmpty = 0;
    for (int s = 0; s < iNumSections; s++) {
        int64_t iHeaderBytes = 0;
        if (!ReadSectionHeader(&aiTypes[s], &aiCounts[s], &iHeaderBytes)) return false;
        int iWords = NKFElementNodeCount(aiTypes[s]) + (m_bWithIDs ? 1 : 0);
        int64_t iRowBytes = (int64_t)aiCounts[s] * iWords * 4;
        iUsed += iHeaderBytes + iRowBytes;
        if (iWords == 0) iEmpty += aiCounts[s];
        if (!CheckDataBytes(iEmpty > NKF_MAX_EMPTY_ELEMENTS ? -1 : iUsed)) return false;
        m_pReader->Skip(iRowBytes);
    }
    if (!StoreSections(aiTypes.data(), aiCounts.data(), iNumSections)) return false;
    return CheckEndOfBlock((int32_t)(iDataSize - iUsed));
}
