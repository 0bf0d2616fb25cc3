// core/nk_sound_sources.h -- the sound source table: up to 100 model nodes
// that an outside sound program renders as sounds. Each source has an id, a
// description, a sound file name and a node anchor; every drawn frame the
// scene stores the listener's view and time here and moves the sources to
// their nodes (scene/nk_scene_extras.cpp), and the request server
// (commands/) publishes the table. The table itself plays nothing; the
// local playback is tools/nk_sound_playback.h.
//
// One global table (g_pSoundSourceTable), made at start-up and freed at
// shut-down; its first field is the sound-enabled byte that the load road
// reads (NKSoundsActive: "nosound" runs before a new model while it is set).
#pragma once

#include <cstdint>

#include "core/nk_string.h"

struct NKFrame;

constexpr int NK_MAX_SOUND_SOURCES = 100;

struct SoundSource {
    int iId = -1;  // -1: a free entry
    NKString szFileName;
    NKString szDescription;
    int iPart = -1;  // -1, -1: not anchored
    int iNode = -1;
    float afPosition[3] = {0.0f, 0.0f, 0.0f};  // model coordinates
    float fValue = 0.0f;                       // the scalar at the node
};

// What the scene marks: the node and part of every source, in white.
struct SoundNodeHighlight {
    int iNode;
    int iPart;
    uint8_t auColor[3];
};
struct SoundHighlightRecord {
    int iCount = 0;
    SoundNodeHighlight aEntries[NK_MAX_SOUND_SOURCES];
};

class SoundSourceTable {
public:
    uint8_t bSoundEnabled = 0;  // first field: sounds are on
    int iCount = 0;
    SoundSource aSources[NK_MAX_SOUND_SOURCES];
    int iNextId = 1;
    float afModelBox[6] = {0, 0, 0, 0, 0, 0};
    float fTime = 0.0f;
    // Eye, reference point and up vector (model coordinates), then two
    // values of the frame that are stored and published as they come.
    float afListenerView[11] = {1, 2, 3, 1, 2, 3, 1, 2, 3, 0, 0};
    uint8_t bHighlightNodes = 1;
    SoundHighlightRecord highlight;

    // The index of the new source; -1 when the id is in use or the table is
    // full (the table then stays as it was). The next id becomes id + 1.
    int Add(int iId, const char *pszDescription, const char *pszFileName);
    // False for an unknown id; later entries move down one place.
    bool Remove(int iId);
    void Clear();
    // The entry's fields; -1, "", zeros and 0.0 outside 0..iCount-1.
    int GetId(int iIndex) const;
    NKString GetFileName(int iIndex) const;
    NKString GetDescription(int iIndex) const;
    void GetPosition(int iIndex, float *pfOut) const;
    float GetValue(int iIndex) const;
    int FindId(int iId) const;
    // The next id after raising it above every id in use.
    int NextFreeId();
    // False for an index outside the table.
    bool SetNode(int iIndex, int iPart, int iNode);
    // {part, node} of the entry, or null outside the table.
    const int *GetNode(int iIndex);
    // The union of every frame's undeformed geometry box, recomputed.
    const float *GetModelBox();
    void SetTime(float fTime);
    void SetListenerView(const float *pfEleven);
    // Anchored sources whose node exists in the frame take its current
    // coordinates (model coordinates) and, with a scalar result, its value;
    // the others keep theirs.
    void UpdatePositions(NKFrame *pFrame);
    // The highlight record refilled from the table; null when highlighting
    // is off.
    const SoundHighlightRecord *ExportPositions();

private:
    bool ValidIndex(int iIndex) const { return iIndex >= 0 && iIndex < iCount; }
    int m_aiNode[2] = {-1, -1};
};

extern SoundSourceTable *g_pSoundSourceTable;

// The global table, made when there is none yet.
SoundSourceTable *NKCreateSoundSourceTable(void);
void NKFreeSoundSourceTable(void);
// The table's sound-enabled byte; false without a table.
bool NKSoundsActive(void);
