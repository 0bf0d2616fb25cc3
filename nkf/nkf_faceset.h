// nkf/nkf_faceset.h -- the *INDEXEDFACESET block: one model part given
// directly as polygons over the nodes of a *NODES block, with optional
// polygon IDs, a block colour and colour and normal bindings.
//
// The geometry block names face-set blocks per step; the part building
// turns each into an NKIndexedFaceSet (core/nk_mesh.h) with
// NKCreatePartFromFaceSet, which loads the block and its node block, turns
// the node references (1-based indices or user IDs, the last of each polygon
// written negated) into node indices once per load, and compacts the nodes
// to those the polygons use. Bindings exist in the ASCII form only.
//
// Binary header record (116 bytes known, 124 as written):
//   offset  size  meaning
//   0       4     int32 header size (116 .. 1024)
//   4       4     int32 data size in bytes
//   8       4     int32 node block ID
//   12      80    char[80] description, NUL-padded
//   92      12    float32 r, g, b block colour; r < 0: none
//   104     4     int32 1 = every polygon starts with its ID
//   108     4     int32 polygon count
//   112     4     int32 connectivity count (node references)
//   116     4     int32 not used (optional)
//   120     4     int32 node reference mode as a byte: 1 IDs, 0 indices,
//                 255 decided by the node block (optional)
// Data: per polygon [int32 ID] then its references, the last one negated
// (a value of 0 or below ends the polygon).
#pragma once

#include <cstdint>

#include "core/nk_string.h"
#include "nkf/nkf_block.h"

struct NKIndexedFaceSet;
class NKFNodeBlock;

class NKFIndexedFaceSetBlock : public NKFBlock {
public:
    NKFIndexedFaceSetBlock(NKFReader *pReader, int iBlockID);
    ~NKFIndexedFaceSetBlock() override;

    bool ParseBlock() override;
    bool LoadData() override;
    bool WriteBlock() override
    {
        return ReportFailure("NKFIndexedFaceSetBlock::WriteBlock, not implemented yet");
    }
    int GetNumItems() override { return m_iNumPolygons; }
    void FreeData() override;

    // Fills pIFS (initialised first) with the block's polygons over its used
    // nodes in ascending node order. The node block's data is freed after
    // when bFreeNodeData is set. False (pIFS freed) on any failure.
    bool NKCreatePartFromFaceSet(NKIndexedFaceSet *pIFS, bool bFreeNodeData);

    const NKString &GetName() const { return m_Name; }
    const NKString &GetDescription() const { return m_Description; }
    int GetDescriptionBlockID() const { return m_iDescriptionBlockID; }
    int GetNodeBlockID() const { return m_iNodeBlockID; }
    int GetNormalBlockID() const { return m_iNormalBlockID; }
    int GetColorBlockID() const { return m_iColorBlockID; }
    const float *GetBlockColor() const { return m_pfBlockColor; }
    bool HasColorsPerBlock() const { return m_bColorsPerBlock != 0; }
    bool HasNormalsPerNode() const { return m_bNormalsPerNode != 0; }
    bool HasImplicitNormalBinding() const { return m_bImplicitNormalBinding != 0; }
    bool HasImplicitColorBinding() const { return m_bImplicitColorBinding != 0; }
    bool HasIDs() const { return m_bWithIDs != 0; }
    int GetNodeReferenceMode() const { return m_cNodeReferenceMode; }
    int GetConnectivityCount() const { return m_iNumConnects; }
    int GetNumColorBindings() const { return m_iNumColorBindings; }
    int GetNumNormalBindings() const { return m_iNumNormalBindings; }
    // Loaded arrays (null before LoadData).
    const int32_t *GetConnectivity() const { return m_piConnects; }
    const int32_t *GetPolygonStarts() const { return m_piPolygonStart; }
    const int32_t *GetPolygonNodeCounts() const { return m_piPolygonNumNodes; }
    const int32_t *GetPolygonIDs() const { return m_piIDs; }
    const int32_t *GetColorBindings() const { return m_piColorBindings; }
    const int32_t *GetNormalBindings() const { return m_piNormalBindings; }

private:
    bool ParseAscii();
    bool ParseDirectiveLine(const NKString &line, bool bInHeader, int aiSeen[3], int *piSection);
    bool ApplyHeaderDirective(const NKString &line, const NKString &word, bool *pbKnown);
    bool ApplyFlagDirective(const NKString &word);
    bool CheckBindingCounts();
    bool ParseBinary();
    bool AllocateArrays();
    bool LoadAscii();
    bool LoadAsciiPolygon(const NKString &line, int32_t *piPolygon, int32_t *piConnect);
    bool LoadBinary();
    NKFNodeBlock *FindNodeBlock();
    bool ConvertNodeReferences(NKFNodeBlock *pNodes);
    bool FillFaceSet(NKIndexedFaceSet *pIFS, NKFNodeBlock *pNodes);

    NKString m_Name;
    int32_t m_iDescriptionBlockID;
    NKString m_Description;
    int32_t m_iNodeBlockID;
    int32_t m_iNormalBlockID;
    int32_t m_iColorBlockID;
    float *m_pfBlockColor;  // owned r g b, or null
    uint8_t m_bColorsPerBlock;
    uint8_t m_bNormalsPerNode;
    uint8_t m_bImplicitNormalBinding;
    uint8_t m_bImplicitColorBinding;
    uint8_t m_bWithIDs;
    uint8_t m_bNodeRefsConverted;
    int8_t m_cNodeReferenceMode;  // 1 IDs, 0 indices, -1 decided by the node block
    int32_t m_iNumPolygons;
    int32_t m_iNumConnects;
    int32_t m_iNumColorBindings;
    int32_t m_iNumNormalBindings;
    int32_t *m_piConnects;         // owned, loaded
    int32_t *m_piPolygonStart;     // owned, loaded
    int32_t *m_piPolygonNumNodes;  // owned, loaded
    int32_t *m_piIDs;              // owned, loaded with IDs
    int32_t *m_piColorBindings;    // owned, loaded
    int32_t *m_piNormalBindings;   // owned, loaded
};
