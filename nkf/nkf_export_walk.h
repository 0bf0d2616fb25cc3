// nkf/nkf_export_walk.h -- the one walk over the model's geometries that
// every step of the NKF export numbers its blocks by.
//
// The geometries are taken in first-met frame order (each once, however
// many frames share it); geometry g's exported parts get the part block IDs
// base(g) .. base(g) + parts - 1, face-set parts first. The results,
// transformation and attribute steps look a part's block ID up here, so
// their references always match the geometry step's blocks.
#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

struct NKGeometry;
class NKFExporter;

class NKFGeometryWalk {
public:
    struct Entry {
        NKGeometry *pGeometry;
        int iFrame;                // the frame it was first met in
        int iBaseID;               // block ID of its first exported part
        int iNumParts;             // exported parts
        int iNumFaceSets;          // of those, face-set parts (they come first)
        std::vector<int> partIDs;  // block ID per part of the geometry, -1 skipped
    };

    // Walks the frames of g_pModel with the exporter's part filter.
    explicit NKFGeometryWalk(const NKFExporter *pExporter);

    int Count() const { return (int)m_Entries.size(); }
    const Entry &Get(int g) const { return m_Entries[(size_t)g]; }
    int TotalParts() const { return m_iTotalParts; }
    // Index of the geometry in the walk; -1 when no frame holds it.
    int IndexOf(const NKGeometry *pGeo) const;
    // Block ID of part iPart of the geometry; -1 when it was not exported.
    int PartBlockID(const NKGeometry *pGeo, int iPart) const;
    // 1 + the frames the export takes before frame iFrame.
    int StepNumber(int iFrame) const;

private:
    std::vector<Entry> m_Entries;
    std::unordered_map<const NKGeometry *, int> m_Index;
    std::vector<int> m_StepNumbers;
    int m_iTotalParts = 0;
};
