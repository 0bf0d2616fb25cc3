// tools/nk_line_sets.h -- lines that are not part of the model: coloured
// segments from the draw_line command and polylines read from line files.
//
// One global LineSetList (g_pLineSetList, made at start-up by
// NKCreateLineSetList, freed at exit) holds the objects; all points are in
// display coordinates, converted by whoever adds them. The scene pass calls
// UpdateCylinderDetail and Draw while the list is shown; the pick ray calls
// Pick. The five file readers are in nk_line_files.cpp, the commands in
// nk_annotation_commands.cpp.
#pragma once

#include <cstdint>

#include "core/nk_string.h"

struct NKGraphicsSettings;

// A single segment; the base of the line objects.
class LineSet {
public:
    LineSet();
    virtual ~LineSet();
    LineSet(const LineSet &) = delete;
    LineSet &operator=(const LineSet &) = delete;

    virtual int GetNumPoints() const { return 2; }
    // Null removes the name.
    virtual void SetName(const char *pszName);
    // True and the name when named; false and "" when not.
    virtual bool GetName(NKString *pName) const;
    virtual int Reserved1() { return 0; }
    virtual int Reserved2() { return 0; }

    // False when iIndex is not below the point count.
    bool SetPoint(int iIndex, const float *pfPoint);
    const float *GetPoint(int iIndex) const { return m_pfPoints + 3 * iIndex; }

    // A segment keeps its two points and levels in the record itself, so
    // that a million segments cost a million allocations, not three million.
    float *m_pfPoints = nullptr;     // 3 floats a point; owned by a PolyLine
    uint8_t *m_pucDetail = nullptr;  // one tessellation level a point; as above
    float m_afInline[6] = {0, 0, 0, 0, 0, 0};
    uint8_t m_aucInlineDetail[2] = {0, 0};
    NKString *m_pName = nullptr;  // owned, null when unnamed
    uint8_t m_ucColor[3] = {255, 255, 255};
};

// A growing list of points.
class PolyLine : public LineSet {
public:
    PolyLine();
    int GetNumPoints() const override { return m_iNumPoints; }
    // The arrays grow geometrically (by half, at least 1000 entries); a
    // failed allocation drops the point and answers false.
    bool AddPoint(const float *pfPoint);

    int32_t m_iNumPoints = 0;
    int32_t m_iCapacity = 0;
};

class LineSetList {
public:
    LineSetList() = default;
    ~LineSetList() { Clear(); }
    LineSetList(const LineSetList &) = delete;
    LineSetList &operator=(const LineSetList &) = delete;

    // Takes ownership; false (and the object is not taken) when the array
    // cannot grow.
    bool Add(LineSet *pObject);
    bool AddSegment(const float *pfP1, const float *pfP2, uint8_t r, uint8_t g, uint8_t b);
    // Deletes every object, resets the last pick; the settings stay.
    void Clear();
    // Removes the objects from index iFirst on (used by readers that fail).
    void TruncateTo(int iFirst);
    // Sets the display settings back to their start values.
    void ResetSettings();
    void UpdateCylinderDetail(const float *pfEye);
    void Draw(const NKGraphicsSettings *pSettings);
    bool Pick(const float *pfOrigin, const float *pfDirection, float *pfDistance);

    uint8_t m_bShown = 0;
    LineSet **m_ppObjects = nullptr;  // owned, m_iCount objects
    int32_t m_iCount = 0;
    int32_t m_iCapacity = 0;
    int32_t m_iLineWidth = 1;
    uint8_t m_bAutoDetail = 1;
    uint8_t m_bCylinders = 0;
    uint8_t m_bSpheres = 0;
    float m_fCylinderSize = 0.001f;
    int32_t m_iSkipRate = 1;
    uint8_t m_bPickable = 0;
    uint8_t m_bShowPicked = 0;
    float m_fPickDistance = 1e12f;
    int32_t m_iPickObject = -1;
    int32_t m_iPickPiece = -1;
    int32_t m_iPickPoint = -1;

private:
    void ResetPick();
    void DrawPlain(const NKGraphicsSettings *pSettings);
    void DrawCylinders(const NKGraphicsSettings *pSettings);
    void DrawHighlight(bool bCylinders);
};

extern LineSetList *g_pLineSetList;

// Start-up and exit.
void NKCreateLineSetList(void);
void NKFreeLineSetList(void);
// The reset before a new model: with bKeepSettings nothing changes; else the
// list is cleared and its settings go back to their start values.
void NKResetLineSetList(bool bKeepSettings);

// The length of a vector of length fSize along (1, 1, 1) after the
// model-to-display vector transform: a tube diameter in display units.
float NKLineSizeToDisplay(float fSize);

// Reads a line file into pList with the five readers in turn (binary, HYDRO,
// frame, stiffener, raw); the number of objects added (segments for the
// binary form) or -1, and the number of points through piNodes. 0 only for
// a file empty of its kind (a binary file of magic and a group count below
// 1, a frame or stiffener heading alone); a file that holds more but gives
// nothing is -1.
int NKReadLineFile(LineSetList *pList, const char *pszFile, int *piNodes);
int NKReadBinaryLineFile(LineSetList *pList, const char *pszFile, int *piNodes);
int NKReadHydroLineFile(LineSetList *pList, const char *pszFile, int *piNodes);
int NKReadFrameLineFile(LineSetList *pList, const char *pszFile, int *piNodes);
int NKReadStiffenerLineFile(LineSetList *pList, const char *pszFile, int *piNodes);
int NKReadRawLineFile(LineSetList *pList, const char *pszFile, int *piNodes);
// Draws the global list when shown, after updating the detail levels from
// the scene's eye point (the scene's overlay pass).
void NKDrawLineSets(void);
