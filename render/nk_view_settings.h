// render/nk_view_settings.h -- NKViewSettings, the one record of view and
// display switches: what the scene shows besides the parts, how the model
// is drawn while the camera moves, culling, hot spots and the value filter.
//
// Made at start-up (g_pViewSettings), changed by the display commands, read
// by the scene and part drawing, reset for every new model (mode 1, or mode
// 2 with keepsettings) and freed at shut-down. Three switches are also read
// below the drawing code and stay core data (core/nk_view_state.h,
// core/nk_render_state.h): the contour switch (g_bContoursShown) and the
// value filter (g_ValueFilterSettings). The resets here keep those in step;
// the drawing reads the core copies, which the result code also writes.
#pragma once

#include <cstdint>

// Reset modes of NKResetViewSettings.
enum { NK_VIEW_RESET_STARTUP = 0, NK_VIEW_RESET_NEW_MODEL = 1, NK_VIEW_RESET_KEEP = 2 };

// Drawing modes while the camera moves (iMoveMode).
enum {
    NK_MOVE_NORMAL = 0,
    NK_MOVE_BOX = 1,
    NK_MOVE_POINTS = 2,
    NK_MOVE_LINES = 3,
    NK_MOVE_OUTLINE = 4,
    NK_MOVE_LOD = 5
};

struct NKViewSettings {
    uint8_t bUpdateScene;  // display / nodisplay
    uint8_t bShowModel;    // model / nomodel
    uint8_t bShowInfo;     // start-up only
    int32_t iAxisFlags;    // bit 0 at the origin, bit 1 fixed triad
    uint8_t bShowPerformance;
    uint8_t bShowNodeNumbers;
    uint8_t bShowUserPoints;
    uint8_t bShowUserLabels;
    uint8_t bShowUserText;
    uint8_t bShowBox;
    uint8_t bBoxOverAllSteps;
    uint8_t bShowUndeformed;
    uint8_t bShowContours;  // kept in step with g_bContoursShown
    uint8_t bShowAllPointsScalar;
    uint8_t bShowStep;
    uint8_t bShowBoundary;
    uint8_t bShowMousePosition;
    uint8_t bTraceNodes;
    uint8_t bLargeText;
    uint8_t bMouseDrag;
    uint8_t bTransparentFast;
    uint8_t bShowRotationPoint;
    uint8_t bFrustumCull;        // start-up only
    uint8_t bFrustumCullInfo;    // start-up only
    int32_t iFrustumCullMethod;  // start-up only; 0 fast, 1 best
    uint8_t bOcclusionCull;
    uint8_t bHotSpotsEnabled;
    uint8_t bHotSpotHighlight;
    uint8_t bHotSpotShowAll;
    int32_t iHoveredPart;
    uint8_t bNodeAverage;
    uint8_t bShowPartNames;
    int32_t iMoveMode;     // start-up only
    uint8_t bValueFilter;  // kept in step with g_ValueFilterSettings
    int32_t iFilterDrawStyle;
    float fFilterMin;
    float fFilterMax;
    uint8_t bShowLegend;
    uint8_t bShowLegendLabels;
};

// The program's record; null until NKInstallRenderer makes it.
extern NKViewSettings *g_pViewSettings;

// With null, allocates a zero-filled record (null when out of memory);
// then resets the record in mode 0 and returns it. A record made here goes
// back with NKFree.
NKViewSettings *NKCreateViewSettings(NKViewSettings *pSettings);
// Mode 2 changes nothing. Modes 0 and 1 give every field its default but
// the start-up-only ones, which mode 0 sets too. False for a null record.
bool NKResetViewSettings(NKViewSettings *pSettings, int iMode);
