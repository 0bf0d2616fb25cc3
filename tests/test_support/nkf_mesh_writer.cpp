// tests/test_support/nkf_mesh_writer.cpp -- word-by-word binary mesh
// blocks for the NKF tests (see nkf_mesh_writer.h), in the order of each
// block's header table.
#include "tests/test_support/nkf_mesh_writer.h"

void AppendNodesBlock(NKFTestWriter &w, int32_t iID, const int32_t *piIDs, const float *pfCoords,
                      int32_t iCount, int32_t iHeaderSize)
{
    int32_t iRowWords = (piIDs != nullptr ? 1 : 0) + 3;
    w.BeginHeader();
    w.Int(1001);                                             // block code: *NODES
    w.Int(iID);                                              // block ID
    w.Int(iHeaderSize);                                      // header size (16 known bytes)
    w.Int(iCount * iRowWords * 4);                           // data size
    w.Int(piIDs != nullptr ? 1 : 0);                         // with-IDs flag
    w.Int(iCount);                                           // node count
    for (int32_t i = 16; i < iHeaderSize; i += 4) w.Int(0);  // surplus header word
    w.EndHeader();
    for (int32_t i = 0; i < iCount; i++) {
        if (piIDs != nullptr) w.Int(piIDs[i]);                     // node ID
        for (int k = 0; k < 3; k++) w.Float(pfCoords[i * 3 + k]);  // x, y, z
    }
    w.BeginHeader();
    w.Int(-999);  // end-of-block marker
    w.EndHeader();
}

// The optional words of the face-set and element headers, as far as the
// header size reaches: from iFrom bytes up to iHeaderSize.
static void OptionalWords(NKFTestWriter &w, int32_t iFrom, int32_t iHeaderSize,
                          const std::vector<int32_t> &words)
{
    size_t k = 0;
    for (int32_t i = iFrom; i < iHeaderSize; i += 4, k++) {
        w.Int(k < words.size() ? words[k] : 0);  // optional field, or surplus word
    }
}

void AppendFaceSetBlock(NKFTestWriter &w, int32_t iID, int32_t iNodeBlockID,
                        const std::vector<NKFTestPolygon> &polygons, bool bWithIDs, int32_t iMode,
                        int32_t iHeaderSize, int32_t iPolygonCount, int32_t iConnectCount,
                        const char *pszName, const float *pfColor)
{
    int32_t iRefs = 0;
    for (const NKFTestPolygon &p : polygons) iRefs += (int32_t)p.refs.size();
    int32_t iWords = iRefs + (bWithIDs ? (int32_t)polygons.size() : 0);
    w.BeginHeader();
    w.Int(1006);                            // block code: *INDEXEDFACESET
    w.Int(iID);                             // block ID
    w.Int(iHeaderSize);                     // header size (116 known bytes)
    w.Int(iWords * 4);                      // data size
    w.Int(iNodeBlockID);                    // node block ID
    w.Text80(pszName);                      // description
    w.Float(pfColor ? pfColor[0] : -1.0f);  // block colour r: none when below 0
    w.Float(pfColor ? pfColor[1] : 0.0f);   // block colour g
    w.Float(pfColor ? pfColor[2] : 0.0f);   // block colour b
    w.Int(bWithIDs ? 1 : 0);                // polygon IDs present
    bool bPolygons = iPolygonCount == NKF_TEST_COUNT_FROM_DATA;
    bool bConnects = iConnectCount == NKF_TEST_COUNT_FROM_DATA;
    w.Int(bPolygons ? (int32_t)polygons.size() : iPolygonCount);  // polygon count
    w.Int(bConnects ? iRefs : iConnectCount);                     // connectivity count
    OptionalWords(w, 116, iHeaderSize, {-1, iMode});              // not used; node reference mode
    w.EndHeader();
    for (const NKFTestPolygon &p : polygons) {
        if (bWithIDs) w.Int(p.iID);  // polygon ID
        for (size_t k = 0; k < p.refs.size(); k++) {
            w.Int(k + 1 == p.refs.size() ? -p.refs[k] : p.refs[k]);  // node reference
        }
    }
    w.BeginHeader();
    w.Int(-999);  // end-of-block marker
    w.EndHeader();
}

// Nodes per element by element code (type + 1); 0 for codes outside 1..19.
static size_t NodesOfCode(int32_t iCode)
{
    static const int aiNodes[19] = {2, 3, 3, 6, 4, 8, 4, 10, 8, 20, 6, 15, 8, 8, 4, 4, 2, 1, 0};
    return iCode >= 1 && iCode <= 19 ? (size_t)aiNodes[iCode - 1] : 0;
}

// The elements a section's data hold: its references and, with IDs, its
// IDs, whatever its count word says.
static size_t WrittenElements(const NKFTestSection &s, bool bWithIDs)
{
    size_t n = NodesOfCode(s.iCode);
    if (n > 0) return s.refs.size() / n;
    return bWithIDs ? s.ids.size() : 0;
}

void AppendElementsBlock(NKFTestWriter &w, int32_t iID, int32_t iNodeBlockID,
                         const std::vector<NKFTestSection> &sections, bool bWithIDs, bool bExtended,
                         int32_t iMode, int32_t iHeaderSize, int32_t iSectionHeaderSize,
                         const char *pszName)
{
    int32_t iSectionHeader = bExtended ? iSectionHeaderSize : 8;
    int32_t iBytes = 0;
    for (const NKFTestSection &s : sections) {
        size_t iElements = WrittenElements(s, bWithIDs);
        iBytes +=
            iSectionHeader + 4 * (int32_t)(iElements * (NodesOfCode(s.iCode) + (bWithIDs ? 1 : 0)));
    }
    w.BeginHeader();
    w.Int(1007);                      // block code: *ELEMENTS
    w.Int(iID);                       // block ID
    w.Int(iHeaderSize);               // header size (112 known bytes)
    w.Int(iBytes);                    // data size
    w.Int(iNodeBlockID);              // node block ID
    w.Text80(pszName);                // description
    w.Float(-1.0f);                   // block colour r: none
    w.Float(0.0f);                    // block colour g
    w.Float(0.0f);                    // block colour b
    w.Int(bWithIDs ? 1 : 0);          // element IDs present
    w.Int((int32_t)sections.size());  // number of sections
    OptionalWords(w, 112, iHeaderSize, {bExtended ? 1 : 0, -1, iMode});  // extended; not used; mode
    w.EndHeader();
    for (const NKFTestSection &s : sections) {
        w.BeginHeader();
        if (bExtended) w.Int(iSectionHeaderSize);  // section header size
        w.Int(s.iCode);                            // element code: type + 1
        w.Int(s.iCount);                           // element count
        if (bExtended) {
            w.Int(-1);                                                      // not used
            w.Int(-1);                                                      // not used
            for (int32_t i = 20; i < iSectionHeaderSize; i += 4) w.Int(0);  // surplus word
        }
        w.EndHeader();
        size_t n = NodesOfCode(s.iCode);
        for (size_t e = 0; e < WrittenElements(s, bWithIDs); e++) {
            if (bWithIDs) w.Int(s.ids[e]);                            // element ID
            for (size_t k = 0; k < n; k++) w.Int(s.refs[e * n + k]);  // node reference
        }
    }
    w.BeginHeader();
    w.Int(-999);  // end-of-block marker
    w.EndHeader();
}
