// core/nk_model.h -- the records that hold a loaded model in memory.
//
// One global NKModel (g_pModel) owns an array of NKFrame records, one per
// step. A frame refers to shared, reference-counted NKGeometry,
// NKScalarResult, NKVectorResult, NKViewPoint and NKSeparateVectorField
// records and owns its own per-part arrays; an NKGeometry owns an array of
// NKPart records. The records are plain structures handled by the free
// functions below. The frame array and the frame accessors are in
// nk_frames.h; boxes, results and topology build on these records elsewhere.
//
// Every field starts at its initial value: a default-constructed record is an
// initialised record, and NKInit* brings a record back to that state (without
// freeing what it held). Texts are NKString values, so a text of any length is
// kept whole; file writers cut to the width their format fixes. An unset text
// is a null NKString, which GetText() shows as "" and IsEmpty() calls empty.
//
// Memory: records and arrays come from NKAlloc/NKCalloc and go back with
// NKFree. Because the records hold NKString members, records and part arrays
// are made with the NKCreate* / NKAllocPartArray helpers here (which construct
// them) and never by a bare NKAlloc; zero-filled memory is not enough either.
// A part array is resized with NKResizePartArray, never with NKRealloc.
//
// Reference counts: a shared record starts at 0 and whoever stores it in a
// frame slot adds 1. Releasing a geometry, result or viewpoint takes one away
// and frees the record when the count is then 0 or less, so a record that no
// frame took (count 0) goes with one release. A separate vector field is freed
// when its count falls below 1. Releases never clear the holder's pointer.
#pragma once

#include <cstdint>
#include <type_traits>

#include "core/nk_numeric.h"
#include "core/nk_string.h"

class NKStringList;
class NKTriangleStrips;
// Objects of higher folders that parts and frames hold. They are opaque here:
// the records store, compare and clear their pointers, and the owned ones are
// released through the slots of core/nk_model_hooks.h.
struct ImageRecord;               // a part's texture image (TextureImageList), not owned
class Primitive3DList;            // a part's 3-D primitives (tools/)
struct CutSurface;                // a frame's cut surface per cutting plane (tools/)
struct IsoSurfacePart;            // a frame's iso-surface records (tools/)
struct ParticleTraceResult;       // a frame's particle-trace results (tools/)
struct NKElementNeighbourRecord;  // core/nk_topology.h

// Fixed sizes of the frame's tool slots and the model's range table.
enum {
    NK_MAX_CUT_SURFACES = 10,
    NK_MAX_FRAME_TRACES = 5,
    NK_NUM_SEPARATE_VECTOR_SLOTS = 3,
    NK_NUM_EXTRA_RESULTS = 2,
    NK_NUM_VALUE_RANGES = 7,
    NK_PART_PALETTE_SIZE = 16
};

// Draw styles of a part.
enum {
    NK_DRAW_SURFACE = 0,
    NK_DRAW_LINES = 1,
    NK_DRAW_POINTS = 2,
    NK_DRAW_OUTLINE = 3,
    NK_DRAW_HIDDEN_LINES = 4
};

// Texture planes of a part.
enum {
    NK_TEXTURE_PLANE_XY = 0,
    NK_TEXTURE_PLANE_XZ = 1,
    NK_TEXTURE_PLANE_YZ = 2,
    NK_TEXTURE_PLANE_AUTO = 3,
    NK_TEXTURE_PLANE_NEAREST = 4
};

// The limits of an empty box and of an empty NKMinMax.
constexpr float NK_EMPTY_MIN = 1e12f;
constexpr float NK_EMPTY_MAX = -1e12f;
// NKModel::fGeoScale before a model has set it.
constexpr float NK_GEO_SCALE_UNSET = 1e12f;
// Index of the current frame in the frame accessors.
constexpr int NK_CURRENT_FRAME = -1;

// The minimum and maximum of a value, each with where it was found.
struct NKMinMax {
    float min = NK_EMPTY_MIN;
    int iMinPart = -1;
    int iMinNode = -1;
    float max = NK_EMPTY_MAX;
    int iMaxPart = -1;
    int iMaxNode = -1;
    int iMinFrame = -1;
    int iMaxFrame = -1;

    // Empties the record: min +1e12, max -1e12, every index -1.
    void Reset();
    // Takes the other's minimum when it is strictly smaller (with its part
    // and node; the frame is iFrame when iFrame >= 0, else the other's), and
    // its maximum when strictly larger, likewise.
    void Merge(const NKMinMax &other, int iFrame);
    // Takes fValue as the new minimum when strictly smaller, as the new
    // maximum when strictly larger; the frame only when iFrame >= 0.
    void Update(float fValue, int iPart, int iNode, int iFrame);
};

// One of the model's seven value range records. Records 0 to 3 are value
// ranges: minMax, `from`/`to` and a result index. Records 2 and 3 hold the
// display scale factor of result kinds 0 and 1 in `from`. Records 4 to 6
// belong to separate vector field slots 0 to 2: minMax of the vector lengths
// over all frames, the largest length and two length factors.
struct NKValueRange {
    NKMinMax minMax;
    float from = 0.0f;
    float to = 0.0f;
    int iResultIndex = -1;
    float fMaxLength = 0.0f;
    float fLengthScale = 1.0f;
    float fSecondFactor = 1.0f;
};

struct NKGeometry;

// The result of a pick (ten words in the picking and request-server layout).
// The geometry pointer and the information text are borrowed: a holder that
// keeps the record past the pick adds its own reference to the geometry.
struct NKPickInfo {
    int iFrame = -1;                       // frame of the pick; -1: nothing hit
    NKGeometry *pGeometry = nullptr;       // that frame's geometry
    int iPart = -1;                        // 0-based part, -1 when none
    int iPolygon = -1;                     // polygon within the part, -1 when none
    int iElement = -1;                     // element within the part, -1 when none
    int iNode = -1;                        // nearest node of the polygon, -1 when none
    float fPoint[3] = {0.0f, 0.0f, 0.0f};  // hit point, display coordinates
    const char *pszInfo = nullptr;         // the polygon's information text, or null
};

// A shared viewpoint in display coordinates.
struct NKViewPoint {
    float eye[3] = {0.0f, 0.0f, 0.0f};
    float vrp[3] = {0.0f, 0.0f, 0.0f};  // view reference point
    float vup[3] = {0.0f, 0.0f, 0.0f};  // up vector
    int iNumRef = 0;
};

// Material of a part. A colour whose first component is below -0.5 is unset.
struct NKMaterial {
    float ambient[3] = {-1.0f, -1.0f, -1.0f};
    float diffuse[3] = {-1.0f, -1.0f, -1.0f};
    float specular[3] = {-1.0f, -1.0f, -1.0f};
    float emission[3] = {-1.0f, -1.0f, -1.0f};
    uint8_t alpha = 0;  // 255 opaque
    uint8_t shininess = 0;
};

// A part's hot spot: a text shown for it and a file it opens.
struct NKHotSpot {
    uint8_t bHasHotSpot = 0;
    NKString szText;
    NKString szFile;
    uint8_t bBracketedFile = 0;
};

// One contour line segment: nine 32-bit words, copied as a whole.
struct NKContourLine {
    float fStart[3];
    float fEnd[3];
    uint8_t uColor[4];
    int iLevel;
    float fLineWidth;
};
static_assert(sizeof(NKContourLine) == 36, "a contour line is nine words");

// The contour lines of one part.
struct NKContourList {
    int iNumLines = 0;
    NKContourLine *pLines = nullptr;  // owned
};

// One element of a part.
struct NKElement {
    int iType;         // element type code
    int iID;           // user element ID
    int iGlobalIndex;  // index in the data source's global element numbering
    int iNodeStart;    // start of its nodes in the element connectivity
};

// A pair {part, polygon} of a geometry's polygon map.
struct NKPolygonRef {
    int iPart;
    int iPolygon;
};

// The cached part lists of a geometry (opaque, hidden-line, transparent).
struct NKPartListCache {
    int *pOpaqueParts = nullptr;  // owned
    int iNumOpaqueParts = 0;
    int *pHiddenLineParts = nullptr;  // owned
    int iNumHiddenLineParts = 0;
    int *pTransparentParts = nullptr;  // owned
    int iNumTransparentParts = 0;
    uint8_t bValid = 0;
};

// One part of a geometry. Coordinates are display coordinates; node indices
// are 0-based within the part.
struct NKPart {
    NKString szName;                  // tool-tip and description text
    ImageRecord *pTexture = nullptr;  // not owned; null = none
    int iTexturePlane = NK_TEXTURE_PLANE_AUTO;
    uint8_t envmode = 1;       // 1 decal, 0 modulate
    uint8_t bTextureTile = 1;  // 1 tile, 0 clamp
    uint8_t bTextureFlag = 0;
    NKMaterial material;
    uint8_t *pEdgeKinds = nullptr;  // owned, one byte per edge slot
    uint8_t *pNodeType = nullptr;   // owned, one byte per node; 1 = used
    int iNumEdgeSlots = 0;
    float fBoundingBox[6] = {0, 0, 0, 0, 0, 0};
    float fCentroid[3] = {0, 0, 0};
    int iUniformPolygonSize = 0;  // shared polygon node count, -1 mixed
    uint8_t uTextureMode[2] = {0, 0};
    uint8_t bVisible = 0;
    int iDrawStyle = NK_DRAW_SURFACE;
    // The twelve display flags; the first ten are the part's attributes that
    // the model's default part hands on.
    uint8_t bFringes = 0;
    uint8_t bDisplacements = 0;
    uint8_t bSmooth = 0;
    uint8_t bMesh = 0;
    uint8_t bVectors = 0;
    uint8_t bTransparent = 0;
    uint8_t bShowNormals = 0;
    uint8_t bHighlighted = 0;
    uint8_t bSelected = 0;
    uint8_t bCulled = 0;
    uint8_t uLodLevel = 0;  // level-of-detail code (level x 4) set by command
    uint8_t bPointsAsSpheres = 0;
    uint8_t bLinesAsCylinders = 0;
    float fSphereSize = 0.01f;
    uint8_t uSizeFlag = 0;
    float fCylinderSize = 0.01f;
    uint8_t bOutlineMesh = 0;
    uint8_t bOutlineMeshDefaultColor = 0;
    uint8_t uOutlineMeshColor[3] = {0, 0, 0};
    uint8_t bOutlineFlag = 0;
    uint8_t bLockAttributes = 0;
    int iNumNodes = 0;
    int iNumPolygons = 0;
    int iNumConnects = 0;               // polygon-node references
    float *pNodeCoords = nullptr;       // owned, three per node
    int *pConnects = nullptr;           // owned, polygon connectivity
    int8_t *pNodeNormals = nullptr;     // owned, packed, three per node
    int8_t *pPolygonNormals = nullptr;  // owned, packed, three per polygon
    int *pPolygonNumNodes = nullptr;    // owned, nodes per polygon
    int *pPolygonStart = nullptr;       // owned, start of each polygon
    int iFirstPolygon = 0;              // first global polygon index of the part
    int *pNodeMap = nullptr;            // owned, global node index per node
    int *pNodeIDs = nullptr;            // owned; null: the ID of node i is i + 1
    int iNumElements = 0;
    NKElement *pElements = nullptr;  // owned
    int iNumElementConnects = 0;
    int *pElementConnects = nullptr;  // owned
    int *pPolygonElements = nullptr;  // owned, element index per polygon
    int iElementsBlockID = 0;         // NKF source blocks; -1 when not used
    int iFaceSetBlockID = 0;
    int iNodesBlockID = 0;
    NKContourList contours;
    NKHotSpot hotSpot;
    NKTriangleStrips *pTriangleStrips = nullptr;  // owned
    Primitive3DList *pPrimitives = nullptr;       // owned
    NKStringList *pStringList = nullptr;          // owned
};

// The geometry of one or more steps, shared by frames.
struct NKGeometry {
    int iStepNumber = 0;
    NKString szDescription;
    NKString szFileName;
    int iNumRef = 0;
    int iNumParts = 0;
    float fBoundingBox[6] = {0, 0, 0, 0, 0, 0};
    float fGeoScale = 0.0f;
    float fCenter[3] = {0, 0, 0};
    int iProcessed = -1;  // pass mark: -1 = not yet handled
    // Set when a part's displacements flag changed, so that what was built
    // from the displaced or undisplaced shape is built again.
    uint8_t bDisplacementsChanged = 0;
    NKPickInfo pickInfo;
    int iTotalNumNodes = 0;
    int iTotalNumPolygons = 0;
    int iTotalNumConnects = 0;
    NKPartListCache partLists;
    NKPart *pParts = nullptr;             // owned, iNumParts parts
    int iGlobalNumNodes = 0;              // range of the parts' node maps
    NKPolygonRef *pPolygonMap = nullptr;  // owned, iTotalNumPolygons pairs
    // The particle traces' element records (core/nk_topology.h), built on
    // first use and freed with the geometry; the face normals are refreshed
    // when bElementNormalsOutOfDate says the node coordinates moved. The
    // seed grid over the records' boxes is one NKAlloc block that only the
    // traces read.
    NKElementNeighbourRecord *pElementRecords = nullptr;  // owned
    int iNumElementRecords = 0;
    uint8_t bElementNormalsOutOfDate = 0;
    void *pElementGrid = nullptr;  // owned
};

// Scalar values of one part.
struct NKScalarPartEntry {
    int iCount = 0;
    float *pNodeValues = nullptr;  // owned
    float *pTexCoords = nullptr;   // owned, 1-D texture coordinates
    uint8_t *pColors = nullptr;    // owned, three per value
};

// What every result of one step holds: its step, its file, its parts and
// how many frames share it.
struct NKStepResultHeader {
    int iStepNumber = 0;
    int iNumStepsInFile = 0;
    int iNumRef = 0;
    NKString szDescription;
    NKString szFileName;
    int iNumParts = 0;
    uint8_t bProcessed = 0;  // pass mark
};

// Scalar values of one step, shared by frames.
struct NKScalarResult : NKStepResultHeader {
    NKScalarPartEntry *pNodeResults = nullptr;  // owned, iNumParts entries
    NKMinMax nodeMinMax;
    NKScalarPartEntry *pElementResults = nullptr;  // owned, values per element
    NKMinMax elementMinMax;
};

// Vector values (or displaced coordinates) of one part.
struct NKVectorPartEntry {
    int iNumNodes = 0;
    int iNumPolygons = 0;
    float *pNodeValues = nullptr;       // owned, three per node
    float *pPolygonValues = nullptr;    // owned, three per polygon, or null
    int8_t *pNodeNormals = nullptr;     // owned, packed deformed normals
    int8_t *pPolygonNormals = nullptr;  // owned, packed deformed normals
};

// Vector values of one step, shared by frames.
struct NKVectorResult : NKStepResultHeader {
    NKMinMax lengthMinMax;
    NKVectorPartEntry *pResults = nullptr;  // owned, iNumParts entries
    float fMaxDisplayLength = 0.0f;         // largest vector length in display units
};

// One vector of a separate vector field.
struct NKSeparateVector {
    int iIndex;          // -1 when the source gives none
    float fPosition[3];  // display coordinates
    float fVector[3];
};
static_assert(sizeof(NKSeparateVector) == 28, "a separate vector is seven words");

// The vectors of one part of a separate vector field.
struct NKSeparateVectorPart {
    int iCount;
    NKSeparateVector *pItems;  // owned
};

// Vectors not tied to the part nodes; shared by the frames' vector slots and
// counted once per slot that holds it.
struct NKSeparateVectorField {
    int iNumParts = 0;
    float fFactors[3] = {1.0f, 1.0f, 1.0f};
    int iNumRef = 0;
    NKMinMax lengthMinMax;
    float fMaxLength = 0.0f;
    NKString szName;
    NKSeparateVectorPart *pParts = nullptr;  // owned, iNumParts entries
};

// One step of the model.
struct NKFrame {
    NKString szDescription;
    float fTime = NK_UNDEFINED_VALUE;  // undefined when none
    int iStepIndex = -1;               // step index in the data source
    uint8_t bInterpolated = 0;
    NKViewPoint *pViewPoint = nullptr;  // shared
    NKGeometry *pGeometry = nullptr;    // shared
    NKScalarResult *pScalar = nullptr;  // shared
    NKVectorResult *pVector = nullptr;  // shared
    float *pTransformation = nullptr;   // owned, 16 per part
    uint8_t bAnalysed = 0;
    NKContourList *pContours = nullptr;  // owned, one per part
    uint8_t **ppVisibility = nullptr;    // owned, one byte array per part
    NKSeparateVectorField *pSeparateVectors[NK_NUM_SEPARATE_VECTOR_SLOTS] = {};  // shared
    NKScalarResult *pExtraScalar[NK_NUM_EXTRA_RESULTS] = {};                     // shared
    NKVectorResult *pExtraVector[NK_NUM_EXTRA_RESULTS] = {};                     // shared
    float fDisplacedBox[6] = {0, 0, 0, 0, 0, 0};
    float *pPartBoundingBoxes = nullptr;  // owned, six per part
    int iNumCutSurfaces = 0;
    CutSurface *pCutSurfaces[NK_MAX_CUT_SURFACES] = {};  // owned
    int iNumIsoSurfaces = 0;
    IsoSurfacePart *pIsoSurfaces = nullptr;  // owned
    int iNumParticleTraces = 0;
    ParticleTraceResult *pParticleTraces[NK_MAX_FRAME_TRACES] = {};  // owned
    uint8_t bHighlightElement = 0;
    int iHighlightPart = -1;
    int iHighlightElement = -1;
};

// The loaded model. Construction initialises it as NKInitModel does (default
// part and value range records included).
struct NKModel {
    NKModel();

    int iNumFrames = 0;
    int iCurrentFrame = 0;
    int iPreviousFrame = 0;
    NKPart defaultPart;  // template of the part attributes
    int iAnimationFromFrame = 0;
    int iAnimationToFrame = 0;
    int iAnimationSkipBy = 1;
    int animationType = 0;  // 0 stopped, 1 forward, 2 backward
    uint8_t bAnimationCycle = 0;
    int iNumInterstateFrames = -1;
    int iModeNegativeSteps = -1;
    int iModePositiveSteps = -1;
    uint8_t bModeShapeAnimation = 0;
    uint8_t bModeShapeScalar = 0;
    float fBoundingBox[6] = {0, 0, 0, 0, 0, 0};
    NKMinMax scalarMinMax;   // node values over all frames
    NKMinMax elementMinMax;  // element values over all frames
    NKMinMax vectorMinMax;   // vector lengths over all frames
    float fMaxVectorValue = 0.0f;
    float fFringeRangeFrom = 0.0f;
    float fFringeRangeTo = 0.0f;
    float fGeoScale = NK_GEO_SCALE_UNSET;
    float fCenterX = 0.0f;
    float fCenterY = 0.0f;
    float fCenterZ = 0.0f;
    float fAxisScale[3] = {1.0f, 1.0f, 1.0f};
    int iSecondaryScalar = -1;  // data-source scalar shown as the second one; -1 none
    int iSecondaryVector = -1;  // data-source vector shown as the second one; -1 none
    int iNumGeoSteps = 0;
    int iNumScalarSteps = 0;
    int iNumVectorSteps = 0;
    NKValueRange valueRanges[NK_NUM_VALUE_RANGES];
    NKFrame *pFrames = nullptr;  // owned, iNumFrames frames
};

// These records hold no texts: their arrays may come straight from NKAlloc or
// NKCalloc (then set with their NKInit* function) and go back with NKFree.
static_assert(std::is_trivially_copyable<NKMinMax>::value, "plain record");
static_assert(std::is_trivially_copyable<NKViewPoint>::value, "plain record");
static_assert(std::is_trivially_copyable<NKContourList>::value, "plain record");
static_assert(std::is_trivially_copyable<NKScalarPartEntry>::value, "plain record");
static_assert(std::is_trivially_copyable<NKVectorPartEntry>::value, "plain record");
static_assert(std::is_trivially_copyable<NKSeparateVectorPart>::value, "plain record");

// Optional triangle strips of a part; made with new, owned by the part.
class NKTriangleStrips {
public:
    NKTriangleStrips() = default;
    ~NKTriangleStrips() { Free(); }
    NKTriangleStrips(const NKTriangleStrips &) = delete;
    NKTriangleStrips &operator=(const NKTriangleStrips &) = delete;

    void Clear();  // zeroes every field without freeing
    void Free();   // frees the three arrays, then clears
    // True when pStrips exists and has at least one strip.
    static bool HasStrips(const NKTriangleStrips *pStrips);

    int iWord = 0;
    int iNumStrips = 0;
    int *pStripLengths = nullptr;    // owned (NKAlloc)
    int *pNodeIndices = nullptr;     // owned (NKAlloc)
    int *pPolygonIndices = nullptr;  // owned (NKAlloc)
};

// A per-part list of texts; made with new, owned by the part.
class NKStringList {
public:
    // n null entries; the count is 0 when the array cannot be allocated.
    explicit NKStringList(int n);
    ~NKStringList();
    NKStringList(const NKStringList &) = delete;
    NKStringList &operator=(const NKStringList &) = delete;

    // Frees entry i and stores a fresh copy of pszText (null stores null).
    // Returns false, changing nothing, for an index outside the list.
    bool Set(int i, const char *pszText);
    const char *Get(int i) const;  // null outside the list
    int GetCount() const { return m_iCount; }

private:
    char **m_ppTexts = nullptr;
    int m_iCount = 0;
};

// The one model of the program, made at start-up.
extern NKModel *g_pModel;

// Making and destroying the records that hold texts (see the file comment).
NKModel *NKCreateModel(void);          // initialised; null when out of memory
void NKDestroyModel(NKModel *pModel);  // frees its frames, then the model
NKScalarResult *NKCreateScalarResult(void);
NKVectorResult *NKCreateVectorResult(void);
NKViewPoint *NKCreateViewPoint(void);
NKSeparateVectorField *NKCreateSeparateVectorField(void);
// n initialised parts; null for n < 1 or when out of memory.
NKPart *NKAllocPartArray(int n);
// Frees each part's arrays (NKFreePart) and the array itself.
void NKFreePartArray(NKPart *pParts, int n);
// n initialised frames; null for n < 1 or when out of memory.
NKFrame *NKAllocFrameArray(int n);
// Releases each frame (NKReleaseFrame) and frees the array itself.
void NKFreeFrameArray(NKFrame *pFrames, int n);
// Resizes *ppParts from iOld to iNew parts: the first min(iOld, iNew) parts
// move over with everything they own, new parts are initialised, dropped
// parts are freed. False (nothing changed) when out of memory.
bool NKResizePartArray(NKPart **ppParts, int iOld, int iNew);

// Initialisers, frees and releases. Null records are ignored unless noted.
void NKZeroBox(float *pfBox);
void NKInitMaterial(NKMaterial *pMaterial);
void NKInitHotSpot(NKHotSpot *pHotSpot);
void NKInitPart(NKPart *pPart);
void NKFreePart(NKPart *pPart);
void NKInitPickInfo(NKPickInfo *pPick);
void NKInitPartListCache(NKPartListCache *pCache);  // no null test
void NKFreePartListCache(NKPartListCache *pCache);  // no null test
void NKInitGeometry(NKGeometry *pGeo);
void NKReleaseGeometry(NKGeometry *pGeo);
// A geometry of n initialised parts (n < 0: without parts); null when an
// allocation fails, with nothing left allocated.
NKGeometry *NKCreateGeometry(int n);
void NKInitScalarPartEntry(NKScalarPartEntry *pEntry);
void NKFreeScalarPartEntry(NKScalarPartEntry *pEntry);
void NKInitScalarResult(NKScalarResult *pResult);
void NKReleaseScalarResult(NKScalarResult *pResult);
void NKInitVectorPartEntry(NKVectorPartEntry *pEntry);  // no null test
void NKFreeVectorPartEntry(NKVectorPartEntry *pEntry);
void NKInitVectorResult(NKVectorResult *pResult);
void NKReleaseVectorResult(NKVectorResult *pResult);
void NKInitViewPoint(NKViewPoint *pViewPoint);
void NKReleaseViewPoint(NKViewPoint *pViewPoint);
void NKInitContourList(NKContourList *pList);
void NKFreeContourList(NKContourList *pList);
void NKInitDefaultPart(NKModel *pModel);               // no null test
void NKInitValueRange(NKValueRange *pRange);           // records 0-1, no null test
void NKInitValueRangeUnit(NKValueRange *pRange);       // records 2-3, no null test
void NKInitSeparateVectorRange(NKValueRange *pRange);  // records 4-6, no null test
void NKInitSeparateVectorField(NKSeparateVectorField *pField);
void NKReleaseSeparateVectorField(NKSeparateVectorField *pField);
void NKInitFrame(NKFrame *pFrame);
void NKReleaseFrame(NKFrame *pFrame);
void NKInitModel(NKModel *pModel);
void NKFreeModelFrames(NKModel *pModel);

// Copies the display attributes of the first min(src, dst) parts; extra
// destination parts get the default attributes. False when either geometry
// or its part array is missing.
bool NKCopyPartAttributes(const NKGeometry *pSrc, NKGeometry *pDst);
// Gives parts iFirst..iLast their palette colour (where unset) and the
// default part's attributes. False when the geometry or its parts are missing.
bool NKSetDefaultPartAttributes(NKGeometry *pGeo, int iFirst, int iLast);
// Marks each part's nodes that a polygon uses (pNodeType). An earlier array
// is freed first. False on a failed allocation; parts done before keep theirs.
bool NKCalculateFastNodes(NKGeometry *pGeo);
