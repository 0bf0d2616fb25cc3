// core/nk_load_hooks.h -- the load pipeline as the readers call it: the steps
// before and after a model is read, putting a geometry and results into
// frames, and the computations on new results that the drawing code owns.
//
// The NKF import (nkf/) and the data-source dispatcher (readers/) read
// geometries and results and hand them to these functions. Putting a
// geometry and results into frames is core's own work
// (core/nk_geometry_data.cpp, core/nk_apply_results.h). The other steps
// belong to the command language (the reset before a load, the refresh
// after it), to the drawing code (nodal averaging, node values of a result,
// contours, the scene) and to the shell (menus). Each is a slot of NKLoadHooks; an empty
// slot does the least the callers rely on, written beside it, so that a model
// can be loaded with the lower tiers alone. The owners fill their slots at
// start-up with NKSetLoadHooks.
#pragma once

struct NKGeometry;
struct NKScalarResult;
struct NKVectorResult;
struct NKSeparateVectorField;
struct NKFrame;

struct NKLoadHooks {
    // commands/: clears animation, plots, tools and the model state before a
    // new model is read; false stops the load. Empty: the frames are emptied.
    bool (*pfnResetStateBeforeLoad)(const char *pszFileName) = nullptr;
    // commands/: refreshes what follows a new model (autofocus, recent files,
    // dialogs); pszFileName (null for none) is the file loaded. Empty:
    // nothing, true.
    bool (*pfnRefreshAfterLoad)(const char *pszFileName) = nullptr;
    // render/: recomputes contour levels and lines after new results. Empty:
    // true.
    bool (*pfnUpdateContours)(void) = nullptr;
    // render/: gives each node of the part (all parts for -1) the mean of its
    // elements' values. Empty: true, the node values are left as they are.
    bool (*pfnComputeNodalAverage)(NKGeometry *pGeo, NKScalarResult *pResult, int iPart) = nullptr;
    // render/: computes the node values and colours of a scalar result for a
    // geometry. Empty: true.
    bool (*pfnComputeScalarNodeValues)(NKGeometry *pGeo, NKScalarResult *pResult) = nullptr;
    // render/: the range of a vector result's lengths (model units) and its
    // largest length in display units, from its values taken as vectors.
    // Empty: true, the range and largest length stay as the reader left them.
    bool (*pfnComputeVectorLengthRange)(NKVectorResult *pResult) = nullptr;
    // render/: draws frame iFrame (-1 the current one). Empty: true, nothing
    // is drawn.
    bool (*pfnDrawScene)(int iFrame, int iFlag1, int iFlag2) = nullptr;
    // render/: sets level of detail up for the frames when it is on. Empty:
    // nothing (level of detail is off).
    void (*pfnSetupLevelOfDetail)(void) = nullptr;
    // plot/: whether a 2-D plot exists. Empty: false.
    bool (*pfnPlotExists)(void) = nullptr;
    // plot/: opens a plot file as plot source iSource (3 NKF plot files, 4
    // THS files). Empty: false, no plot file opens.
    bool (*pfnPlotInterfaceInit)(int iSource, const char *pszFileName) = nullptr;
    // plot/: after a state is read, rebuilds the current plot when the
    // forming limit diagram is its source and redraws the plot window.
    // Empty: nothing.
    void (*pfnFLDUpdatePlot)(void) = nullptr;
    // app/: refreshes menu checks and tool-bar buttons for the model. Empty:
    // nothing to refresh; the answer (whether the current frame has a
    // geometry) is the same.
    void (*pfnRefreshMenusForModel)(void) = nullptr;
};

// Installs the slots and returns those installed before.
NKLoadHooks NKSetLoadHooks(const NKLoadHooks &hooks);
const NKLoadHooks &NKGetLoadHooks(void);

// The calls the readers make; each goes to its slot or does what is written
// in NKLoadHooks. Frame indices are 0-based; a range with iFirst < 0 or
// iLast < iFirst is refused (false).
// Ownership: the pipeline takes over what it is handed. A geometry or result
// (reference count 0) that a call refuses is released there when no frame
// holds it, so the caller never releases it after the call.
bool ResetStateBeforeLoad(const char *pszFileName);
bool RefreshAfterLoad(const char *pszFileName);
// Puts pGeo (all of it in model coordinates, reference count as the reader
// delivers it) into frames iFirst..iLast, converts it to display
// coordinates (rescaling and recentring every frame when it grows the model
// box) and derives its normals, edges, node types and boxes. With iStep >= 0
// and pfnVisibility given (the data-source dispatcher's
// NKUpdateInterfaceVisibility), that step's element visibility goes into the
// first frame and the others copy it. With iFlag (merge) the frames keep
// their results and boxes. On failure the frames already done hold the
// geometry with arrays that fit it (core/nk_geometry_data.cpp).
bool ComputeGeometryData(NKGeometry *pGeo, int iFirst, int iLast, int iStep, int iFlag,
                         void (*pfnVisibility)(int iStep, NKFrame *pFrame) = nullptr);
// The apply operations of core/nk_apply_results.cpp.
bool NKApplyScalarToFrames(NKScalarResult *pResult, int iFirst, int iLast);
bool NKApplyVectorToFrames(NKVectorResult *pResult, int iFirst, int iLast);
bool NKApplySeparateVectorField(NKSeparateVectorField *pField, int iFirst, int iLast, int iIndex);
bool NKUpdateContours(void);
bool NKComputeNodalAverage(NKGeometry *pGeo, NKScalarResult *pResult, int iPart);
// Both first make every result value that is no finite number undefined
// (NKUndefineNonFiniteValues), then call their slot.
bool NKComputeScalarNodeValues(NKGeometry *pGeo, NKScalarResult *pResult);
bool NKComputeVectorLengthRange(NKVectorResult *pResult);
bool NKDrawScene(int iFrame, int iFlag1, int iFlag2);
// True when the current frame has a geometry.
bool NKRefreshMenusForModel(void);
void NKSetupLevelOfDetail(void);
bool NKPlotExists(void);
bool NKPlotInterfaceInit(int iSource, const char *pszFileName);
void NKFLDUpdatePlot(void);
