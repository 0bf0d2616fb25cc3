// nkf/nkf_nodes.h -- the small value blocks of an NKF file: *NODES,
// *NORMALS, *COLORS, *MATERIALS and *DESCRIPTION.
//
// The parser's block factory makes one of these per block of the file. The
// node block holds the coordinates that the *ELEMENTS and *INDEXEDFACESET
// blocks (nkf_elements.h, nkf_faceset.h) refer to, by 1-based index or by
// user ID; it exists in both file forms. Normals, colours, materials and
// descriptions exist in the ASCII form only (a binary file that carries one
// gets it skipped by its framing, with nothing to load). The blocks only hold
// values; the NKF import decides how they reach the drawn parts. Each of the
// five also writes itself back in the ASCII form through
// NKFReader::WriteText. No Qt, no GL.
#pragma once

#include <cstdint>

#include "core/nk_string.h"
#include "nkf/nkf_block.h"
#include "nkf/nkf_parsed_rows.h"

struct NKIndexedFaceSet;
class NKFNodeBlock;

// The last step of the part builders: pIFS holds the polygon starts, node
// counts and connectivity length, and an allocated connectivity array;
// piBlockConnects holds the polygons' references as node-block indices (all
// valid for pNodes, whose data is loaded), and may be the record's
// connectivity itself, renumbered in place. Fills the record's connectivity
// with part-local indices over the used nodes in ascending node order, with
// their coordinates, user IDs (when the node block has them) and node-block
// indices, sets the node count and clears the not-compacted flag. False when
// memory runs out.
bool NKFCompactFaceSetNodes(NKIndexedFaceSet *pIFS, const int32_t *piBlockConnects,
                            const NKFNodeBlock *pNodes);
// The node step of NKFCompactFaceSetNodes alone, for a builder that found
// the used nodes itself: piUsed (iNumUsed node-block indices in ascending
// order, owned by the record from here on, freed on a failure) becomes the
// record's node source indices, with the coordinates and user IDs copied
// from pNodes (data loaded). False when memory runs out.
bool NKFCopyUsedNodes(NKIndexedFaceSet *pIFS, int *piUsed, int iNumUsed,
                      const NKFNodeBlock *pNodes);
// NKFCopyUsedNodes for a builder that is done with the node block: its data
// is freed after. When the part uses every node of the block (piUsed is
// then 0, 1, 2, ...), the record takes the block's coordinate and ID arrays
// over instead of copying them.
bool NKFTakeUsedNodes(NKIndexedFaceSet *pIFS, int *piUsed, int iNumUsed, NKFNodeBlock *pNodes);
// The node block iNodeBlockID that the mesh block pBlock refers to, with its
// data loaded. Null when it is missing (reported as pBlock's error "Cannot
// find NODE block with ID = ...") or when its load fails (reported there).
NKFNodeBlock *NKFLoadReferencedNodes(NKFBlock *pBlock, int iNodeBlockID);

// *NODES (type 0): coordinates, optional user IDs and the order that sorts
// the IDs ascending (for the binary search of ID references).
class NKFNodeBlock : public NKFBlock {
public:
    NKFNodeBlock(NKFReader *pReader, int iBlockID);
    ~NKFNodeBlock() override;

    bool ParseBlock() override;
    bool LoadData() override;
    bool WriteBlock() override;
    int GetNumItems() override { return m_iNumNodes; }
    void FreeData() override;

    bool HasIDs() const { return m_bWithIDs != 0; }
    int GetNumNodes() const { return m_iNumNodes; }
    // Loaded arrays (null before LoadData): 3 floats per node; one ID per
    // node; node indices ordered so that their IDs ascend, null when the
    // IDs ascend as they stand (the order is then the node indices).
    const float *GetCoords() const { return m_pfCoords; }
    const int32_t *GetIDs() const { return m_piIDs; }
    const int32_t *GetSortedOrder() const { return m_piSortedOrder; }
    // Hands the loaded coordinates and IDs (null without IDs) over to the
    // caller (NKFree them) and frees the rest of the data.
    void ReleaseArrays(float **ppfCoords, int32_t **ppiIDs);

private:
    bool ParseAscii();
    bool ParseBinary();
    bool AllocateArrays();
    // The rows the ASCII parse converted become the loaded arrays; false
    // (and they are dropped) unless every row was converted.
    bool TakeParsedRows();
    void DropParsedRows();
    // False, with the block error naming the node, when a coordinate is
    // not finite.
    bool CheckCoordinates();
    bool FinishLoad();
    // The IDs' sorted order, left null when they ascend already; false when
    // memory runs out.
    bool MakeSortedOrder();

    uint8_t m_bWithIDs;
    float *m_pfCoords;         // owned, x y z per node
    int32_t *m_piIDs;          // owned or null
    int32_t *m_piSortedOrder;  // owned or null
    int32_t m_iNumNodes;
    // Rows converted by the ASCII parse, while m_bParsedRows holds.
    bool m_bParsedRows;
    NKFParsedRows<float> m_ParsedCoords;
    NKFParsedRows<int32_t> m_ParsedIDs;
};

// What *NORMALS and *COLORS share: three values of type T per row, with
// optional user IDs ("%WITH_ID" / "%NO_ID"). The ASCII parse counts the rows;
// a binary file carries neither block, which is skipped by its framing.
template <typename T>
class NKFTripleRowBlock : public NKFBlock {
public:
    ~NKFTripleRowBlock() override;

    bool ParseBlock() override;
    // Allocates the rows, seeks back and reads them (ReadRows); a failure
    // frees the data and reports it with the normal block's texts.
    bool LoadData() override;
    int GetNumItems() override { return m_iCount; }
    void FreeData() override;

    bool HasIDs() const { return m_bWithIDs != 0; }
    const int32_t *GetIDs() const { return m_piIDs; }

protected:
    NKFTripleRowBlock(NKFReader *pReader, int iBlockID, int iType);
    // A directive of the block's own; false for an unknown word.
    virtual bool ApplyOwnDirective(const NKString &word);
    // Reads the m_iCount rows into the allocated arrays.
    virtual bool ReadRows() = 0;

    uint8_t m_bWithIDs;
    T *m_pValues;      // owned, 3 per row
    int32_t *m_piIDs;  // owned or null
    int32_t m_iCount;
};

// *NORMALS (type 1): unit normals packed as three signed bytes (x 127).
class NKFNormalBlock : public NKFTripleRowBlock<signed char> {
public:
    NKFNormalBlock(NKFReader *pReader, int iBlockID);

    bool WriteBlock() override;

    const signed char *GetNormals() const { return m_pValues; }

protected:
    bool ReadRows() override;
};

// *COLORS (type 2): r g b per colour, stored in 0..1 whatever the file used.
class NKFColorBlock : public NKFTripleRowBlock<float> {
public:
    NKFColorBlock(NKFReader *pReader, int iBlockID);

    bool WriteBlock() override;

    bool HasByteColors() const { return m_bByteColors != 0; }
    const float *GetColors() const { return m_pValues; }

protected:
    // "%BYTE_COLORS" (0-255 in the file, the default) or "%FLOAT_COLORS".
    bool ApplyOwnDirective(const NKString &word) override;
    bool ReadRows() override;

private:
    uint8_t m_bByteColors;  // 1 %BYTE_COLORS, 0 %FLOAT_COLORS
};

// *MATERIALS (type 3): one material, read entirely by the parse.
class NKFMaterialBlock : public NKFBlock {
public:
    NKFMaterialBlock(NKFReader *pReader, int iBlockID);
    ~NKFMaterialBlock() override;

    bool ParseBlock() override;
    bool LoadData() override;
    bool WriteBlock() override;
    int GetNumItems() override { return 1; }
    void FreeData() override;

    const float *GetAmbient() const { return m_afAmbient; }
    const float *GetDiffuse() const { return m_afDiffuse; }
    const float *GetSpecular() const { return m_afSpecular; }
    const float *GetEmissive() const { return m_afEmissive; }
    float GetShininess() const { return m_fShininess; }
    float GetAlpha() const { return m_fAlpha; }

private:
    bool ParseAscii();
    bool ParseDirective(const NKString &line, const NKString &word);

    float m_afAmbient[3];
    float m_afDiffuse[3];
    float m_afSpecular[3];
    float m_afEmissive[3];
    float m_fShininess;
    float m_fAlpha;
};

// *DESCRIPTION (type 4): free text between "%BEGIN" and "%END".
class NKFDescriptionBlock : public NKFBlock {
public:
    NKFDescriptionBlock(NKFReader *pReader, int iBlockID);
    ~NKFDescriptionBlock() override;

    bool ParseBlock() override;
    bool LoadData() override;
    bool WriteBlock() override;
    int GetNumItems() override { return m_iNumLines; }
    void FreeData() override;

    // The lines of the block as read, each ended by a line feed.
    const NKString &GetText() const { return m_Text; }

private:
    bool ParseAscii();

    NKString m_Text;
    int32_t m_iNumLines;
};
