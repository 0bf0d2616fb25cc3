// tools/nk_cut_plane.h -- the cutting planes: the global set of up to ten
// planes with its current plane and plane handle, every setter and getter the
// cutting-plane commands call, the alignment to an axis, the computation of a
// frame's missing cut surfaces, the vector grid on a plane and the export of
// a plane's boundary.
//
// Plane points are held in display coordinates; the setters and getters speak
// model coordinates. Indices are 0-based, -1 meaning the current plane. A
// setter that changes where a plane cuts frees that plane's cut surfaces in
// every frame (NKFreeCutSurfaces), so each frame computes them again when it
// is next drawn; the per-frame records are those of nk_cut_surface.h and
// nk_surface_storage.h. The commands live in nk_cut_plane_commands.cpp;
// drawing and the OpenGL clip planes are in nk_surface_draw.cpp.
#pragma once

#include <cstdint>

#include "tools/nk_manipulator.h"

struct NKFrame;
struct CutSurfacePart;
struct VectorGrid;

constexpr int NK_MAX_CUT_PLANES = 10;

struct CutPlane {
    uint8_t bShowSurface = 1;
    uint8_t bHideWithPart = 0;
    uint8_t bCutVectors = 0;  // vectors are sampled when the surface is computed
    uint8_t bVectorPoints = 0;
    uint8_t bShowVectors = 0;
    uint8_t bLocal = 0;
    uint8_t bClip = 0;
    int iGridI = 30;
    int iGridJ = 30;
    float fGridAxis[3] = {0.0f, 0.0f, 1.0f};
    float fPoint[3] = {0.0f, 0.0f, 0.0f};  // display coordinates
    float fNormal[3] = {0.0f, 0.0f, 1.0f};
    float fAxis[3] = {0.0f, 1.0f, 0.0f};  // in-plane axis of the handle
    // The handle's half width (along fAxis) and half height (along
    // fNormal x fAxis): a local plane's rectangle reaches that far either
    // side of fPoint.
    float fWidth = 0.2f;
    float fHeight = 0.2f;
};

// A local plane's rectangle, the same as its handle's: centred on fPoint,
// fWidth either side along the in-plane axis (made perpendicular to the
// normal as the handle makes it, NKInPlaneAxis) and fHeight either side
// along normal x that axis. A local plane clips its surface, draws its
// vector samples and is picked only within it.
struct NKLocalRectangle {
    float afCenter[3];
    float aafDirection[2][3];  // unit: along the width, along the height
    float afHalf[2];           // the half width and half height
};
NKLocalRectangle NKGetLocalRectangle(const CutPlane &plane);
// Whether point p of the plane lies within that rectangle (its edges too).
bool NKWithinLocalPlane(const CutPlane &plane, const float *p);

// The flags a plane carries, for the shared flag setter and getter.
enum NKCutPlaneFlag {
    NK_CUTPLANE_SHOW_SURFACE,
    NK_CUTPLANE_HIDE_WITH_PART,
    NK_CUTPLANE_CUT_VECTORS,
    NK_CUTPLANE_VECTOR_POINTS,
    NK_CUTPLANE_SHOW_VECTORS,
    NK_CUTPLANE_LOCAL,
    NK_CUTPLANE_CLIP
};

class CutPlaneSet {
public:
    // Starts disabled with one default plane.
    CutPlaneSet();
    ~CutPlaneSet();
    CutPlaneSet(const CutPlaneSet &) = delete;
    CutPlaneSet &operator=(const CutPlaneSet &) = delete;

    // While the handles are offered, the plane's handle follows.
    void Enable(bool bEnable);
    bool IsEnabled() const { return m_bEnabled != 0; }
    int GetNumPlanes() const { return m_iNumPlanes; }
    int GetCurrent() const { return m_iCurrent; }
    const CutPlane *GetPlane(int iIndex) const;

    // A new plane, made current: a copy of the current plane with bCopy, else
    // a default plane through the centre of the model's box (the display
    // origin when the box is empty). False when ten planes exist.
    bool AddPlane(bool bCopy);
    // bAll: every plane goes and one default plane is added. Otherwise false
    // for an invalid index or the last plane; the planes behind move down and
    // a current plane behind the deleted one moves with them.
    bool DeletePlane(int iIndex, bool bAll);
    // Clamps into the planes and moves the handle there; false when clamped.
    bool SetCurrent(int iIndex);

    // Point in model coordinates. False for an invalid index.
    bool SetPlanePoint(const float *pfPoint, int iIndex);
    // Normalised; shorter than 1e-6 becomes (0, 0, 1).
    bool SetPlaneNormal(const float *pfNormal, int iIndex);
    bool SetPlaneAxis(const float *pfAxis, int iIndex);
    // Model coordinates; zeros for an invalid index.
    void GetPlanePoint(int iIndex, float *pfOut) const;
    void GetPlaneNormal(int iIndex, float *pfOut) const;

    // Sets a flag on plane iIndex, or on every plane with bAll. Changing the
    // cut-vectors flag frees the plane's surfaces. False for an invalid index.
    bool SetFlag(NKCutPlaneFlag flag, bool bOn, int iIndex, bool bAll);
    // The flag; false for an invalid index.
    bool GetFlag(NKCutPlaneFlag flag, int iIndex) const;
    // False when i or j is negative or the index invalid; a plane whose
    // counts change loses its surfaces.
    bool SetVectorGrid(int i, int j, int iIndex, bool bAll);
    // 0 for an invalid index.
    int GetGridI(int iIndex) const;
    int GetGridJ(int iIndex) const;

    void SetShade(uint8_t bShade) { m_bShade = bShade; }
    uint8_t GetShade() const { return m_bShade; }
    void SetHighlight(bool bOn) { m_bHighlight = bOn ? 1 : 0; }
    bool GetHighlight() const { return m_bHighlight != 0; }
    // True when the value changed.
    bool SetClipEachOther(bool bOn);
    bool GetClipEachOther() const { return m_bClipEachOther != 0; }

    // Turns the current plane's normal onto axis 0, 1 or 2, keeping its sign;
    // with bRealign the handle's in-plane axis follows.
    bool AlignToAxis(int iAxis, bool bRealign);
    // Every plane point to model coordinates (bToModel) or back.
    bool ConvertPoints(bool bToModel);

    // When the handle reports a change, the current plane takes its position,
    // normal, axis and sizes, loses its surfaces and the change is cleared.
    // True when it did.
    bool FollowHandle();

    // Nothing unless the set is enabled. The planes with the clip flag take
    // the OpenGL clip planes 0, 1, ... in index order, at most six; the
    // clip plane of plane iIndex (-1: of every plane) is enabled at the
    // plane's point and normal under the current model-view, keeping the
    // half the normal points into, or disabled when bEnable is false.
    void ApplyClipPlanes(bool bEnable, int iIndex) const;
    PlaneManipulator &Handle() { return m_Handle; }

private:
    int Resolve(int iIndex) const;
    void MoveHandleToPlane();
    void FreePlanes();

    uint8_t m_bEnabled = 0;
    int m_iNumPlanes = 0;
    int m_iCurrent = 0;
    CutPlane *m_pPlanes[NK_MAX_CUT_PLANES] = {};
    uint8_t m_bShade = 255;  // 255: the global fringe shading decides
    uint8_t m_bHighlight = 1;
    uint8_t m_bClipEachOther = 0;
    PlaneManipulator m_Handle{"Cutting Plane"};
};

// The one set, made by NKCreateSurfaceTools; null before.
extern CutPlaneSet *g_pCutPlaneSet;

// Creates the plane set and the iso-surface state (with its slider) at
// start-up; their handles start unchanged. False when memory runs out.
bool NKCreateSurfaceTools(void);
// Frees both at shut-down.
void NKDestroySurfaceTools(void);

// Builds the frame's missing cut surfaces for every plane of the set.
// False without geometry, parts or scalar result, when the set is disabled
// (the frame's cut surfaces are then freed) or when no part succeeded.
bool NKComputeCutSurfaces(NKFrame *pFrame, CutPlaneSet *pSet);
// First lets the current plane follow a changed handle; then true when some
// frame of the range (negative: all) has an empty slot for some plane of the
// range (negative: all).
bool NKCutSurfacesNeedUpdate(CutPlaneSet *pSet, int iPlane, int iFrame);

// Samples values and vectors of the part records on an i x j grid spanning
// the plane's crossing with the frame's geometry box (model box pfModelBox).
// False (the grid's arrays freed) for no parts, counts below 2, a crossing
// with fewer than two box edges or without extent, or no memory.
bool NKBuildVectorGrid(VectorGrid *pGrid, const CutPlane &plane, const CutSurfacePart *pParts,
                       int iNumParts, const float *pfModelBox, int iCountI, int iCountJ);

// Writes the boundary nodes of plane iPlaneNumber (1-based) of the current
// frame, as text or (bNkf) as a small NKF file, through a temporary file.
// Missing cut surfaces and boundary edges are computed first. False for an
// invalid plane, no surface or a failed write.
bool NKExportCutPlaneBoundary(int iPlaneNumber, bool bNkf, const char *pszFileName);
