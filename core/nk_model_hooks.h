// core/nk_model_hooks.h -- the slots through which the model core (and the
// command files) set off work that higher folders do.
//
// The model core must free a frame's cut surfaces, iso-surfaces and traces,
// grow boxes by 3-D primitives, ask a part's level of detail, recompute traced
// nodes, map scalars to fringe colours, ask the value filter, set the wait
// cursor, run a command line and ask for a redraw. The code that does each of
// these lives above core (tools/, render/, commands/, app/), so core calls it
// through the slots below. Every slot starts empty; an empty slot gives the
// neutral answer written beside it, which is also what the program does while
// the folder that owns the work has not been built or not started. The owner
// fills its slots once at start-up (NKSetModelHooks), as the command handlers
// and the progress interface are installed.
//
// The objects that tools/ defines and a frame or part owns (CutSurface,
// IsoSurfacePart, ParticleTraceResult, Primitive3DList) are opaque here: core
// stores their pointers and hands them back to the release slots.
#pragma once

#include <cstdint>

struct NKGeometry;
struct NKFrame;
struct CutSurface;
class Primitive3DList;

// Cursor codes of SetInteractionCursor: 1 the arrow, 2 the wait cursor.
enum { NK_CURSOR_NORMAL = 1, NK_CURSOR_WAIT = 2 };

// A particle trace's seed as core passes it: a box (bIsBox 1) with corners
// afBox[0..2] and afBox[3..5] in model coordinates and aiCounts points along
// x, y and z, or a single point at the first corner.
struct NKTraceSeed {
    uint8_t bIsBox = 0;
    int32_t aiCounts[3] = {1, 1, 1};
    float afBox[6] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    bool operator==(const NKTraceSeed &o) const;
};

struct NKModelHooks {
    // tools/: frees what a cut surface owns and deletes it. Empty: nothing is
    // freed (only tools/ makes cut surfaces).
    void (*pfnReleaseCutSurface)(CutSurface *pCut) = nullptr;
    // tools/: frees the cut surfaces of plane iPlane in frame iFrame (negative:
    // all) so that they are computed again. Empty: true.
    bool (*pfnFreeCutSurfaces)(int iPlane, int iFrame) = nullptr;
    // tools/: frees the iso-surface records of frame iFrame (negative: all).
    // Empty: true.
    bool (*pfnFreeIsoSurfaces)(int iFrame) = nullptr;
    // tools/: frees one frame's iso-surface records and empties its slot.
    void (*pfnFreeFrameIsoSurfaces)(NKFrame *pFrame) = nullptr;
    // tools/: frees one frame's particle-trace results and empties its slots.
    void (*pfnFreeFrameTraces)(NKFrame *pFrame) = nullptr;
    // tools/: deletes every primitive of a part's list and the list itself.
    void (*pfnReleasePrimitives)(Primitive3DList *pList) = nullptr;
    // tools/: the box (display coordinates) of a list; null pList asks for the
    // list that belongs to no part. Empty: false, no box.
    bool (*pfnGetPrimitivesBox)(const Primitive3DList *pList, float *pfBox) = nullptr;
    // tools/: converts each cutting plane's point to model coordinates
    // (bToModel) or back to display coordinates. Empty: true.
    bool (*pfnConvertCutPlanePoints)(bool bToModel) = nullptr;
    // render/: the part's current level-of-detail code (level x 4). Empty: 0.
    uint8_t (*pfnGetPartLevel)(const NKGeometry *pGeo, int iPart) = nullptr;
    // render/: recomputes the position of every traced node in every frame.
    // Empty: true (no node is traced).
    bool (*pfnComputeNodeTraces)(void) = nullptr;
    // render/: maps values onto the fringe spectrum. Empty: colour 0, 0, 0 and
    // texture coordinate 0 for each value.
    void (*pfnMapScalarsToColors)(float fMin, float fMax, int iCount, const float *pfValues,
                                  uint8_t *pColors, float *pfTexCoords) = nullptr;
    // render/: whether the value filter hides a polygon. Empty: false.
    bool (*pfnIsPolygonFilteredOut)(NKFrame *pFrame, int iPart, int iPolygon) = nullptr;
    // tools/: the seed of particle trace iTrace (-1: the current one) and
    // the trace's index. Empty: false (no particle traces).
    bool (*pfnGetTraceSeed)(int iTrace, int *piIndex, NKTraceSeed *pSeed) = nullptr;
    // tools/: gives particle trace iTrace (-1: the current one) a seed.
    // Empty: nothing (no particle traces).
    void (*pfnSetTraceSeed)(int iTrace, const NKTraceSeed &seed) = nullptr;
    // tools/: picks the nearest visible point of the view and makes it the
    // stereo focus point. Empty: false (nothing picked).
    bool (*pfnFindNearestViewPoint)(void) = nullptr;
    // app/: shows the cursor code. Empty: the code is only remembered.
    void (*pfnShowInteractionCursor)(int iCode) = nullptr;
    // app/: invalidates the 3-D view window so that it is painted again. Empty:
    // nothing beyond the view-invalidated flag, which NKInvalidateView sets.
    void (*pfnInvalidateView)(void) = nullptr;
    // commands/: runs one command line and answers its result code. Empty: the
    // line is not run and 3 (not handled) is answered.
    int (*pfnExecuteCommand)(const char *pszLine) = nullptr;
};

// Installs the slots and returns those installed before; the usual way to
// fill one slot is to read the set, change the slot and install the set.
NKModelHooks NKSetModelHooks(const NKModelHooks &hooks);
const NKModelHooks &NKGetModelHooks(void);

// The calls core makes; each goes to its slot or gives the neutral answer.
void NKReleaseCutSurface(CutSurface *pCut);
bool NKFreeCutSurfaces(int iPlane, int iFrame);
bool NKFreeIsoSurfaces(int iFrame);
void NKFreeFrameIsoSurfaces(NKFrame *pFrame);
void NKFreeFrameTraces(NKFrame *pFrame);
void NKReleasePrimitives(Primitive3DList *pList);
// False for a null pfBox.
bool NKGetPrimitivesBox(const Primitive3DList *pList, float *pfBox);
bool NKConvertCutPlanePoints(bool bToModel);
uint8_t NKGetPartLevel(const NKGeometry *pGeo, int iPart);
bool NKComputeNodeTraces(void);
// Nothing happens for null arrays or iCount < 1.
void NKMapScalarsToColors(float fMin, float fMax, int iCount, const float *pfValues,
                          uint8_t *pColors, float *pfTexCoords);
bool NKIsPolygonFilteredOut(NKFrame *pFrame, int iPart, int iPolygon);
bool NKFindNearestViewPoint(void);
// A particle trace's seed through the slots above: false for no trace of
// that index. The index is not written when piIndex is null.
bool NKGetTraceSeed(int iTrace, int *piIndex, NKTraceSeed *pSeed);
void NKSetTraceSeed(int iTrace, const NKTraceSeed &seed);
// The current trace seeded from a box (model box, six floats) with
// nx x ny x nz points. Nothing happens for a null box.
void NKSetTraceSeedBox(const float *pfBox, int nx, int ny, int nz);
// Sets the interaction cursor (the wait cursor of long operations, or what a
// drag in the view will do) and returns the code set before it.
int SetInteractionCursor(int iCode);
// The code SetInteractionCursor last set (1 at start).
int NKGetRememberedCursor(void);
// Shows the wait cursor while it lives and puts the cursor set before it
// back, on every way out of a long operation.
class NKWaitCursor {
public:
    NKWaitCursor() : m_iPrevious(SetInteractionCursor(NK_CURSOR_WAIT)) {}
    ~NKWaitCursor() { SetInteractionCursor(m_iPrevious); }
    NKWaitCursor(const NKWaitCursor &) = delete;
    NKWaitCursor &operator=(const NKWaitCursor &) = delete;

private:
    int m_iPrevious;
};
// Sets the view-invalidated flag (g_bViewInvalidated) and invalidates the 3-D
// view when one exists, so that it is redrawn.
void NKInvalidateView(void);
// Runs a command line through the interpreter (commands/nk_command.h).
int NKRunCommandLine(const char *pszLine);
