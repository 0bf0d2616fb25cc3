// render/nk_lod.h -- level of detail: the per-part tables of the polygon
// levels that a geometry carries, and the manager that picks the level each
// part is drawn at.
//
// A part's levels lie in its own polygon list: every polygon's state byte in
// the frame holds its level code (level x 4) in bits 2 to 7, and the
// polygons of one level lie together, level 0 (full resolution) first.
// LodManager::Setup counts them per part after every open (the load road's
// pfnSetupLevelOfDetail slot); the manager is on exactly when the geometry
// has more than one level. The drawers ask for a part's level through core's
// pfnGetPartLevel slot (NKGetPartLevel) and walk only that level's polygon
// range (NKGetPartPolygonRange). The scene drawing calls Update once per
// scene. The "LOD Selector" box handle is made and freed by app/ (tools/
// defines it); the manager only keeps its pointer.
#pragma once

#include <cstdint>

struct NKFrame;
struct NKGeometry;
class BoxManipulator;

// The distance given to parts that are not drawn (hidden or culled).
constexpr float NK_LOD_FAR_DISTANCE = 1e12f;

// One level of one part: its own index, its polygon count and the index of
// its first polygon in the part.
struct LodLevelRecord {
    int32_t iLevel = -1;
    int32_t iNumPolygons = 0;
    int32_t iFirstPolygon = 0;
};

// The levels of one part; records are indexed by level.
struct LodLevelTable {
    int32_t iNumRecords = 0;
    LodLevelRecord *pRecords = nullptr;  // owned (NKAlloc)
    int32_t iMinLevel = -1;              // lowest level with polygons, -1 none
    int32_t iMaxLevel = -1;              // highest level with polygons, -1 none
};

// The tables of a geometry, one per part.
struct LodTableSet {
    int32_t iNumTables = 0;
    LodLevelTable *pTables = nullptr;  // owned (NKAlloc)
    int32_t iMinLevel = -1;
    int32_t iMaxLevel = -1;

    // Frees every table.
    void Clear();
    // Counts the levels of every part of the frame's geometry from the
    // frame's state bytes (parts without them get an empty table). False
    // without a geometry or when memory runs out (the set is then empty).
    bool Build(const NKFrame *pFrame);
};

// Fixed modes of LodManager::SetFixedMode.
enum { NK_LOD_FIXED_FINEST = 1, NK_LOD_FIXED_COARSEST = 2 };

class LodManager {
public:
    LodManager() = default;
    ~LodManager();
    LodManager(const LodManager &) = delete;
    LodManager &operator=(const LodManager &) = delete;

    // After an open: sizes the per-part arrays, builds the tables from the
    // frame's state bytes, level count = highest level + 1, the model size,
    // then both threshold sets. The manager is on when the count is above 1.
    // False when the frame has no geometry or memory runs out (then off).
    bool Setup(NKFrame *pFrame);
    // Frees the arrays and tables; the manager is off.
    void Release();

    // The level code (level x 4) to draw part iPart at (0 while off).
    uint8_t GetPartLevel(const NKGeometry *pGeo, int iPart) const;
    // First polygon of the level (code) in the part; *piLast = first + count
    // - 1. 0 and 0 when the level does not exist or there are no parts.
    int GetLevelRange(int iPart, uint8_t uLevelCode, int *piLast) const;
    int GetMinLevel() const { return m_Tables.iMinLevel > 0 ? m_Tables.iMinLevel : 0; }
    int GetMaxLevel() const { return m_Tables.iMaxLevel > 0 ? m_Tables.iMaxLevel : 0; }
    // The highest level of one part (0 without levels).
    int GetPartMaxLevel(int iPart) const;

    void SetAutomatic(bool bOn);
    void SetPickSet(bool bOn);
    void SetPixelThreshold(float fThreshold);
    void SetTargetFrameRate(bool bOn);
    void SetFixedMode(int iMode);
    void SetMoving(bool bMoving);
    // Level byte = min(level, the part's highest) x 4 for parts first..last
    // (0-based; -1 = 0 / the last part), only selected ones when asked.
    // False without parts.
    bool SetPartLevels(NKGeometry *pGeo, int iLevel, int iFirst, int iLast, bool bSelectedOnly);
    // Per scene: ranks by distance when automatic, then the frame-rate
    // steering of the rank thresholds.
    void Update(NKFrame *pFrame, float fFramesPerSecond);
    // Writes the polygon counts of every part's levels; false when the file
    // cannot be written.
    bool Dump(const char *pszFileName) const;
    void ComputeDistanceThresholds();
    void ResetRankThresholds();

    uint8_t m_bEnabled = 0;
    uint8_t m_bAutomatic = 0;
    int32_t m_iNumParts = 0;
    float *m_pfDistances = nullptr;  // owned, per part
    int32_t *m_piOrder = nullptr;    // owned, parts nearest first
    int32_t *m_piRanks = nullptr;    // owned, per part
    LodTableSet m_Tables;
    int32_t m_iNumLevels = 0;
    float m_fModelSize = 0.0f;
    float m_fPixelThreshold = 0.0f;
    float *m_pfDistanceThresholds = nullptr;  // owned, per level (squared)
    uint8_t m_bTargetFrameRate = 0;
    float m_fTargetFrameRate = 5.0f;
    int32_t m_iMinRankThreshold = 0;
    int32_t m_iFirstRankThreshold = 10;
    float m_afRankThresholds[256] = {};
    uint8_t m_bMoving = 0;
    uint8_t m_bFixed = 0;
    uint8_t m_bFixedInEffect = 0;
    int32_t m_iFixedMode = NK_LOD_FIXED_COARSEST;
    uint8_t m_bSetOnPick = 0;
    uint8_t m_uPickLevel = 0;
    BoxManipulator *m_pSelector = nullptr;  // "LOD Selector", made and freed by app/

private:
    int RankLevel(int iPart) const;
    int DistanceLevel(int iPart) const;
    void ComputeDistances(NKFrame *pFrame);
    void SteerRankThresholds(float fFramesPerSecond);
};

// The one manager, made at start-up (NKCreateLodManager) and freed at
// shut-down; null before.
extern LodManager *g_pLodManager;
LodManager *NKCreateLodManager(void);
void NKDestroyLodManager(void);
// Fills (or empties) core's pfnGetPartLevel and pfnSetupLevelOfDetail slots.
void NKInstallLodHooks(bool bInstall);

// The polygons of part iPart that its current level covers: the level's
// range while the manager is on, else all of them. False for a part outside
// the frame's geometry.
bool NKGetPartPolygonRange(const NKFrame *pFrame, int iPart, int *piFirst, int *piLast);

// The number in internal string 1001 of the open NKF file times the model's
// geometry scale; 0 when absent or not positive.
float NKGetLodModelSize(void);
