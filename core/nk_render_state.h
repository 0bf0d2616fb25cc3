// core/nk_render_state.h -- display state of the drawing code that the load
// road resets or raises: clipping distances, culling switches, step text,
// the contour, vector and mirror settings, the selection list and the
// display-list update record.
//
// The drawing code (render/) owns these records; the load sequence of the
// command language (commands/nk_load_sequence.h) puts them back to their
// defaults before a new model and flags lists after it. Until render/ is
// built they are plain data here, each field with its start value; the
// drawing code takes them over as it comes and keeps the names. Nothing here
// calls OpenGL.
#pragma once

#include <cstdint>

#include "core/nk_string.h"

struct NKGeometry;
struct NKPickInfo;

// The near and far clipping distances of the view: set by clipfront and
// clipback (render/nk_viewpoint_commands.h) and by the automatic fit of the
// frame's view volume, read by the projection and the NKF settings.
constexpr float NK_DEFAULT_NEAR_CLIP = 0.01f;
constexpr float NK_DEFAULT_FAR_CLIP = 8.0f;
extern float g_fNearClip;
extern float g_fFarClip;

// The state of the hidden-polygon removal and of the identity colours that
// the visibility culling (render/nk_culling.h) encodes polygon and part
// numbers in. It lives here so that the load road and the input code can
// switch the removal off without reaching render/. The read-back buffer is
// owned (NKAlloc) and kept between read-backs while analysis is on.
struct HiddenPartCuller {
    uint8_t bEnabled = 0;          // hidden polygons are skipped when drawing
    uint8_t bAnalysisOn = 0;       // frames are analysed as they are drawn
    int32_t iFramesToAnalyse = 0;  // frames of an "hpc" pass; 0 one still frame
    int32_t iAnalysisCount = 0;    // read-backs since the last reset
    int32_t iLargestIdentity = 0;  // 2^(r + g + b bits) - 1
    uint8_t uBits[3] = {8, 8, 8};  // red, green, blue bits, each at most 8
    int32_t iMask[3] = {255, 255, 255};
    uint8_t uLevelToColor[3][256] = {};
    uint8_t uColorToLevel[3][256] = {};
    int32_t iBufferBits[3] = {8, 8, 8};  // as the frame buffer reports them
    int32_t iPolygonsPerIdentity = 1;
    uint8_t bDirectColors = 1;     // all channels 8 bits: identities are the bytes
    uint8_t bDebug = 0;            // "hpc debug": tables written to "hpc.txt"
    uint8_t *pFrameBuf = nullptr;  // owned read-back buffer, RGBA
    int32_t iBufWidth = 0;
    int32_t iBufHeight = 0;
};
extern HiddenPartCuller g_HiddenPartCuller;
// The culler's two switches under the names the drawing and input code use:
// removal on, and the analysis over an animation running.
extern uint8_t &g_bHiddenCullingOn;
extern uint8_t &g_bHiddenCullingAnalysis;

// The step text prefix shown before each frame's description (steptext,
// nosteptext; render/nk_animation_commands.h). Empty at start.
extern NKString g_szStepText;

// The contour settings: how many levels, their range and colours.
struct NKContourSettings {
    int iNumLevels = 0;            // contour levels (the contours command sets 2-200)
    float fMin = 0.0f;             // value of the first level
    float fMax = 0.0f;             // value of the last level
    uint8_t bAutoRange = 1;        // the range follows the model's fringe range
    uint8_t bValueLabels = 0;      // lines are labelled with their values
    uint8_t bFringeColors = 0;     // lines take the level colours
    float *pLineWidths = nullptr;  // owned (NKAlloc), one per level
    float *pLevels = nullptr;      // owned (NKAlloc), one per level
    uint8_t *pColors = nullptr;    // owned (NKAlloc), three per level
};
// The one record; render/nk_contour_lines.h computes its levels.
extern NKContourSettings g_ContourSettings;
// Frees the three arrays and gives every field its start value. Null does
// nothing.
void NKResetContourSettings(NKContourSettings *pSettings);

// Reset modes of NKResetVectorSettings.
enum { NK_VECTOR_RESET_STARTUP = 0, NK_VECTOR_RESET_NEW_MODEL = 1, NK_VECTOR_RESET_NONE = 2 };

// How the arrows of one vector field are drawn, clamped and filtered.
// The value filter of the view settings: polygons whose values lie outside
// [fFilterMin, fFilterMax] are drawn differently while it is on.
struct NKValueFilterSettings {
    uint8_t bValueFilter = 0;
    float fFilterMin = -1e12f;
    float fFilterMax = 1e12f;
};
// The value filter of the fringes (fringes filter / nofringes filter, the
// display mode words): set by the fringe commands, the result loads and the
// NKF settings, read by the part and element drawing.
extern NKValueFilterSettings g_ValueFilterSettings;

struct NKVectorSettings {
    uint8_t bArrows = 1;                  // arrow heads drawn
    float fArrowSize = 1.0f;              // arrow head size, 0-10
    int32_t iLineWidth = 0;               // pixels; 0 the global line width
    uint8_t uColor[3] = {255, 255, 255};  // arrow colour
    uint8_t bScalarColor = 0;       // vectors in their nodes' fringe colours (vectcolor scalar)
    uint8_t bSurfaceNodesOnly = 1;  // vectors only at surface nodes
    uint8_t bAutoScale = 0;         // automatic displacement scaling
    float fAutoScaleFactor = 1.0f;  // its factor
    float fClampMin = 0.0f;         // clamp range
    float fClampMax = 0.0f;
    uint8_t bClamp = 0;       // clamping on
    float fFilterMin = 0.0f;  // filter range
    float fFilterMax = 0.0f;
    uint8_t bFilter = 0;  // filtering on
    uint8_t bShown = 0;   // the field is shown
};
// The vector display settings of the frame's vector result and of the three
// separate vector fields: set by the vector commands
// (render/nk_vector_commands.h) and the NKF settings, read by the vector
// drawing. The shell's start-up reset makes their filter boxes.
extern NKVectorSettings g_VectorSettings;
extern NKVectorSettings g_SeparateVectorSettings[3];
// The one-component vector file mode (xvec, yvec, zvec): a vector file with
// one value per node is read as vectors with that value in the component
// whose byte is 1 and 0 in the others. All three 0 (the start): off.
extern uint8_t g_uOneComponentVector[3];
// Modes 0 and 1 give the drawing, clamp and filter fields their start
// values; mode 0 also the automatic scaling. Mode 2 changes nothing. False
// for a null record.
bool NKResetVectorSettings(NKVectorSettings *pSettings, int iMode);

// Drawing the model again mirrored through one plane or rotated about the
// line where two planes meet. Planes are a x + b y + c z + d = 0 in model
// coordinates.
struct NKMirrorSettings {
    uint8_t bReflect = 1;  // 1 reflection, 0 rotation
    uint8_t bEnabled = 0;  // mirror drawing on
    int32_t iRepeats = 0;
    int32_t iTotalRepeats = 0;
    uint8_t bPreview1 = 0;
    uint8_t bPreview2 = 0;
    float fPlane1[4] = {1.0f, 0.0f, 0.0f, 0.0f};
    float fPlane2[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    float fOrient1[3] = {0.0f, 1.0f, 0.0f};  // a direction in plane 1
    float fOrient2[3] = {1.0f, 0.0f, 0.0f};  // a direction in plane 2

    void Reset() { *this = NKMirrorSettings(); }
    void SetDrawingEnabled(bool bOn) { bEnabled = bOn ? 1 : 0; }
    void SetReflection(bool bOn) { bReflect = bOn ? 1 : 0; }
    // Plane 1, or plane 2 for any other number. SetPlane also gives the
    // plane an in-plane direction: (0, 1, 0) when b and c are 0, else the
    // part of (1, 0, 0) perpendicular to the normal (not normalised).
    void SetPlane(int iPlane, const float *pfPlane);
    float *GetPlane(float *pfOut, int iPlane) const;
    void GetOrientation(float *pfOut, int iPlane) const;
    // Plane 0 sets both flags.
    void SetPreview(int iPlane, bool bOn);
    bool GetPreview(int iPlane) const;
    // Plane 2 becomes plane 1's normal turned by fDegrees about pfAxis,
    // through pfPoint.
    void SetRotationAngle(float fDegrees, const float *pfPoint, const float *pfAxis);
    // Extra pass i is drawn mirrored (clockwise front faces).
    bool IsMirroredPass(int iPass) const;
    // The display-coordinate matrix of extra pass i; false (and the
    // identity) when the planes are parallel and the pass cannot be formed.
    bool GetPassMatrix(int iPass, float *pfMatrix) const;
};
extern NKMirrorSettings g_MirrorSettings;
// The settings report of `mirror info`.
void NKPrintMirrorSettings(const NKMirrorSettings &settings, NKString *pOut);

// The picks collected for plots and node information.
// The list of picks that node, distance, element and cutting-plane picking
// collect. Modes: 1 parts, 2 elements, 3 polygons, 4 nodes, 5 plain (no
// duplicate test), 6 distance (at most two entries), 7 cutting planes. Each
// entry holds a reference to its geometry (iNumRef), dropped when the entry
// goes.
struct NKSelectionList {
    uint8_t bEnabled = 0;               // picks are added
    uint8_t bKeepPrevious = 1;          // when clear, each add empties the list first
    uint8_t bToggle = 1;                // picking a listed entry removes it
    uint8_t bShowNodeInfo = 0;          // node and distance picks show the node label
    int32_t iMode = 5;                  // picking mode, 5 plain
    NKPickInfo **ppPicks = nullptr;     // owned, each an owned copy (NKAlloc)
    NKPickInfo **ppFiltered = nullptr;  // owned work array of GetEntries
    int32_t (*pScratch)[3] = nullptr;   // owned, one per entry
    int32_t iCapacity = 0;
    int32_t iCount = 0;
    NKGeometry *pGeometryFilter = nullptr;  // not owned

    // Frees every entry and the three arrays; capacity and count 0.
    void Clear();
    // Adds a copy of the pick by the rules of the mode: a miss in node or
    // distance mode empties the list; an invalid pick is refused; an entry
    // already listed is removed (bToggle) or refused; without bKeepPrevious
    // the list is emptied first; a third distance pick starts a new pair.
    // True when added or removed by toggling; false otherwise and when
    // memory runs out (the list as it was).
    bool Add(const NKPickInfo &pick);
    // Frees entry i and closes the gap; false for i outside [0, count).
    bool Remove(int32_t i);
    // With bOnlyFilterGeometry and a filter set: the entries whose geometry
    // is the filter geometry (in ppFiltered); else all of them. The count
    // goes to *piCount when given. Null while there is nothing to return.
    NKPickInfo *const *GetEntries(bool bOnlyFilterGeometry = false, int *piCount = nullptr) const;
    void SetGeometryFilter(NKGeometry *pGeo) { pGeometryFilter = pGeo; }
    // The setters return the previous value.
    bool SetEnabled(bool bOn);
    bool SetKeepPrevious(bool bKeep);
    bool SetShowNodeInfo(bool bShow);
    // A different mode empties the list.
    int32_t SetMode(int32_t iNewMode);
};
// The program's selection list; freed at program end.
extern NKSelectionList g_SelectionList;
// How picked entities are shown (0 to 3, 1 at start-up): set by
// selection_feedback and the pick commands, read by the scene drawing.
extern int32_t NKSelectionFeedbackMode;
// Opaque surface parts are drawn through vertex arrays (vertexarray /
// novertexarray); 0 at start-up.
extern uint8_t NKVertexArraySwitch;
// Text is drawn with the scalable stroke font rather than bitmap fonts
// (strokefonts / nostrokefonts); 0 at start-up.
extern uint8_t NKStrokeFontSwitch;

// The display lists that must be rebuilt before the next drawing. A range
// of -1, -1 means all.
struct NKListUpdateInfo {
    uint8_t bLights = 0;
    uint8_t bLightingModels = 0;
    uint8_t bMaterials = 0;
    uint8_t bPartTextures = 0;
    uint8_t bTextureImages = 0;
    uint8_t bLightSwitches = 0;
    int32_t iMaterialFirst = -1;
    int32_t iMaterialLast = -1;
    int32_t iTextureFirst = -1;
    int32_t iTextureLast = -1;
    int32_t iImageFirst = -1;
    int32_t iImageLast = -1;
};
// Points at the record of the drawing code once the renderer has started
// (scene/nk_renderer.h, made with every list flagged); before that, and
// after the renderer shuts down, at a record kept here so that flags set by
// the lower folders are never lost.
extern NKListUpdateInfo *g_pListUpdateInfo;
// Adds parts first..last (-1, -1: all) to the materials to rebuild: a range
// only grows, and one set to all stays all. Null goes to the internal trace.
void NKFlagMaterialsForUpdate(NKListUpdateInfo *pInfo, int iFirst, int iLast);
