// nkf/nkf_elements.h -- the *ELEMENTS block: finite elements of one or more
// types over the nodes of one *NODES block, and their conversion into a
// model part.
//
// The elements come in sections, each a run of elements of one type (the
// rows of NKElementTypeTable, core/nk_element_types.h). The geometry block
// names element blocks per step; the part building turns each into an
// NKIndexedFaceSet (core/nk_mesh.h) with NKCreatePartFromElements, whose
// polygons are the faces of the elements by the face table of
// nkf_elements.cpp, and into the part's element list with
// NKCreateElementList. Node references (user IDs or 1-based indices) become
// node indices once per load. The ASCII syntax and the parse are in
// nkf_elements_parse.cpp; loading and part building in nkf_elements.cpp.
//
// Binary header record (112 bytes known, 124 as written):
//   offset  size  meaning
//   0       4     int32 header size (112 .. 1024)
//   4       4     int32 data size in bytes
//   8       4     int32 node block ID
//   12      80    char[80] description, NUL-padded
//   92      12    float32 r, g, b block colour; r < 0: none
//   104     4     int32 1 = every element starts with its user ID
//   108     4     int32 number of element sections
//   112     4     int32 nonzero = extended section headers (optional)
//   116     4     int32 not used, written as -1 (optional)
//   120     4     int32 node reference mode as a byte: 1 IDs, 0 indices,
//                 255 decided by the node block (optional)
// Data, per section: a short section header {int32 element code (type + 1);
// int32 element count} or, with extended section headers, {int32 size
// (20 .. 1024); int32 code; int32 count; int32, int32 not used; size - 20
// bytes skipped}; then per element [int32 ID] and the type's node count of
// int32 node references.
#pragma once

#include <cstdint>
#include <vector>

#include "core/nk_model.h"
#include "core/nk_string.h"
#include "nkf/nkf_block.h"
#include "nkf/nkf_parsed_rows.h"

struct NKIndexedFaceSet;
class NKFNodeBlock;

// A part's element list: the element records (core/nk_model.h; the global
// index word is left 0 here) and their connectivity of part-local node
// indices (-1 for a node the part does not hold). Arrays are owned and come
// from NKAlloc, so they can be handed to an NKPart as they are.
struct NKFElementList {
    int32_t iNumElements;
    NKElement *pElements;
    int32_t iNumConnects;
    int32_t *piConnects;
};

// Frees both arrays and clears the list; null is ignored.
void NKFFreeElementList(NKFElementList *pList);

// Most sections an ASCII block may open.
const int NKF_MAX_ELEMENT_SECTIONS = 10000;
// Most elements a binary block may hold that occupy no bytes of the file
// (the unknown kind without IDs), whose count no data size can check.
const int NKF_MAX_EMPTY_ELEMENTS = 16 * 1024 * 1024;

class Elements : public NKFBlock {
public:
    Elements(NKFReader *pReader, int iBlockID);
    ~Elements() override;

    // Checks that the node, description and colour blocks named exist and
    // that the colour settings are complete.
    bool ResolveReferences() override;
    bool ParseBlock() override;
    bool LoadData() override;
    bool WriteBlock() override
    {
        return ReportFailure("Elements::WriteBlock, not implemented yet");
    }
    // Total element count over all sections.
    int GetNumItems() override;
    // Frees the loaded connectivity, IDs and colour bindings; the section
    // types and counts and the header fields stay.
    void FreeData() override;

    // Fills pIFS with the faces of all elements in section and element
    // order over the used nodes. A block without sections gives true and
    // leaves pIFS untouched. The node block's data is freed after when
    // bFreeNodeData is set. False (pIFS freed) on any failure.
    bool NKCreatePartFromElements(NKIndexedFaceSet *pIFS, bool bFreeNodeData);
    // Builds the part's element list; piNodeSourceIndex (ascending, iCount
    // entries) gives the node-block index of each part node.
    bool NKCreateElementList(NKFElementList *pList, const int32_t *piNodeSourceIndex, int iCount);
    // User ID of the element at a running index over all sections; -1
    // without IDs, for an index out of range, or when loading fails.
    int GetElementId(int iIndex);

    const NKString &GetName() const { return m_Name; }
    const NKString &GetDescription() const { return m_Description; }
    int GetDescriptionBlockID() const { return m_iDescriptionBlockID; }
    int GetNodeBlockID() const { return m_iNodeBlockID; }
    int GetColorBlockID() const { return m_iColorBlockID; }
    const float *GetBlockColor() const { return m_pfBlockColor; }
    bool HasColorsPerBlock() const { return m_bColorsPerBlock != 0; }
    bool HasImplicitColorBinding() const { return m_bImplicitColorBinding != 0; }
    bool HasIDs() const { return m_bWithIDs != 0; }
    bool AreNodeIDsMapped() const { return m_bNodeIDsMapped != 0; }
    bool HasExtendedSectionHeaders() const { return m_bExtendedSectionHeaders != 0; }
    int GetNodeReferenceMode() const { return m_cNodeReferenceMode; }
    int GetNumSections() const { return m_iNumSections; }
    int GetSectionType(int iSection) const;
    int GetSectionCount(int iSection) const;
    // Loaded arrays of a section (null before LoadData or out of range).
    const int32_t *GetSectionConnectivity(int iSection) const;
    const int32_t *GetSectionIDs(int iSection) const;
    int GetNumColorBindings() const { return m_iNumColorBindings; }
    const int32_t *GetColorBindings() const { return m_piColorBindings; }

private:
    // Parse (nkf_elements_parse.cpp).
    bool ParseAscii();
    bool ApplyHeaderDirective(const NKString &line, const NKString &word, bool *pbKnown);
    void SkipAsciiHeaderLines();
    bool WalkAsciiBody(bool bLoad, int32_t *piLoaded);
    int LoadedRows(const int32_t *piLoaded, int iSection) const;
    bool CountAsciiLine(const NKString &line, int iType, bool bBindings);
    bool StoreAsciiLine(const NKString &line, int iSection, int32_t iRow, bool bBindings);
    // The ASCII parse's conversion of one element row, and the load's
    // taking of the converted rows into the allocated section table (false,
    // and they are dropped, unless all are there and no colour bindings).
    void ConvertAsciiRow(const char *pszLine, int iSection, int iType);
    bool TakeParsedRows();
    void DropParsedRows();
    bool ParseBinary();
    bool ReadBinaryHeader(int32_t *piDataSize, int32_t *piNumSections);
    bool ReadSectionHeader(int32_t *piType, int32_t *piCount, int64_t *piBytes);
    bool ParseBinarySections(int32_t iDataSize, int32_t iNumSections);
    bool StoreSections(const int32_t *piTypes, const int32_t *piCounts, int iNumSections);
    // Load and part building (nkf_elements.cpp).
    bool AllocateSectionTables();
    bool AllocateSection(int iSection);
    bool LoadBinarySections(const NKFNodeBlock *pConvertFor);
    NKFNodeBlock *FindNodeBlock();
    bool ReferencesAreIDs(const NKFNodeBlock *pNodes) const;
    bool ConvertIndexReferences(const NKFNodeBlock *pNodes);
    bool ReportBadIndexReference(int iSection, const NKFNodeBlock *pNodes);
    bool MapNodeIDs(NKFNodeBlock *pNodes);
    bool PrepareNodeIndices();
    bool NumberFaceNodes(int iNumNodes, int32_t **ppiLocal, int **ppiUsed, int *piNumUsed);
    bool AppendElementFaces(NKIndexedFaceSet *pIFS, const int32_t *piLocal);
    bool FillFaceSet(NKIndexedFaceSet *pIFS, NKFNodeBlock *pNodes, int32_t iPolygons,
                     int32_t iConnects, bool bFreeNodeData);

    NKString m_Name;
    NKString m_Description;
    int32_t m_iDescriptionBlockID;
    int32_t m_iNodeBlockID;
    // Set by "%NODES" or a binary header: a binary node block may be 0.
    bool m_bNodeBlockGiven = false;
    int32_t m_iColorBlockID;
    float *m_pfBlockColor;  // owned r g b, or null
    uint8_t m_bColorsPerBlock;
    uint8_t m_bImplicitColorBinding;
    uint8_t m_bWithIDs;
    uint8_t m_bNodeIDsMapped;
    int32_t **m_ppiElements;    // owned, per section count x node count references
    int32_t *m_piElementTypes;  // owned, type code per section
    int32_t m_iNumSections;
    int32_t *m_piNumElements;  // owned, elements per section
    int32_t **m_ppiIDs;        // owned, per section element IDs, or null
    int32_t m_iNumColorBindings;
    int32_t *m_piColorBindings;  // owned, loaded
    uint8_t m_bExtendedSectionHeaders;
    int8_t m_cNodeReferenceMode;  // 1 IDs, 0 indices, -1 decided by the node block
    // Rows converted by the ASCII parse, per section, while m_bParsedRows
    // holds.
    bool m_bParsedRows;
    std::vector<NKFParsedRows<int32_t>> m_ParsedRefs;
    std::vector<NKFParsedRows<int32_t>> m_ParsedIDs;
};
