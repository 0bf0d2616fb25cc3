// tools/nk_manipulator.h -- the interactive 3-D handles (manipulators): the
// point handle and its list, and the kinds built on it (box, plane, slider,
// ruler, grid box) with the global handles the program makes at start-up.
//
// A handle lives in display coordinates, in one of two groups: 1, the scene
// (drawn and dragged under the view's modelview), or 2, the fixed overlay
// space (the identity moved by (0, 0, -2), where the 3-D legend box lives).
// Tools own their handles (the cutting plane, the iso-surface slider, the
// particle trace, the filter box, the level-of-detail selector) and read a
// handle back when its changed flag is set. The one ManipulatorList,
// g_pManipulatorList, holds the handles that take part in picking, dragging
// and drawing; it owns none of them, and a handle that is destroyed leaves
// it, so the list never holds a freed handle. The view window (app/) runs
// the mouse protocol through the list while F3 is held; the pick
// (nk_picking.cpp) makes the nearest handle current; the scene's overlays
// draw the list. Everything here needs a current GL context only to draw.
#pragma once

#include <cstdint>

#include "core/nk_string.h"

class NKOrientedBox;
struct NKInputState;

// ---- The point handle ---------------------------------------------------------

// The base of every handle, usable on its own as a point handle (a sphere
// of the handle size, scaled by its distance from the eye). Matrices are
// 4x4 in column order (float[16]), viewports x, y, width, height.
class Manipulator {
public:
    // Name null: "UNKNOWN"; position null: the origin.
    explicit Manipulator(const char *pszName = nullptr, const float *pfPosition = nullptr);
    // Leaves g_pManipulatorList when listed there.
    virtual ~Manipulator();
    Manipulator(const Manipulator &) = delete;
    Manipulator &operator=(const Manipulator &) = delete;

    virtual const NKString &GetName() const { return m_szName; }
    virtual bool IsChanged() const { return m_bChanged != 0; }
    virtual void ClearChanged() { m_bChanged = 0; }
    // Start position = position, dragging on, then the handles the
    // manipulator carries start theirs (BeginHandleDrags); true.
    bool BeginDrag();
    // Records the viewport size and the mouse as start and last position,
    // then as BeginDrag() with the mouse passed on to the handles; false
    // without a mouse state or viewport.
    bool BeginDrag(const NKInputState *pMouse, const float *pfModelView, const float *pfProjection,
                   const int *piViewport);
    // Position = m position (as a point); changed.
    virtual void Transform(const float *pfMatrix);
    // Button 1 moves in the screen plane, 2 in depth, following the cursor
    // at the handle's depth at the start of the drag. False (nothing moved)
    // without a mouse state, before BeginDrag recorded a viewport, for any
    // other button or a singular modelview.
    virtual bool Drag(const NKInputState *pMouse, const float *pfModelView,
                      const float *pfProjection, const int *piViewport, bool bRelative);
    virtual void EndDrag() { m_bDragging = 0; }
    // Position and start position; false for null.
    virtual bool SetPosition(const float *pfPoint);
    // The position, copied into pfOut when given.
    virtual const float *GetPosition(float *pfOut = nullptr) const;
    // The ray (origin, direction) against the handle; the distance along it
    // in units of the direction's length. Sets the highlight to the answer.
    virtual bool HitTest(const float *pfOrigin, const float *pfDirection, float *pfDistance);
    // The mouse position unprojected into a ray, then HitTest; false when
    // the unprojection fails.
    virtual bool Pick(const NKInputState *pMouse, const float *pfModelView,
                      const float *pfProjection, const int *piViewport, float *pfDistance);
    // A click on the handle that is already current; nothing here.
    virtual bool Click(const float *, const float *) { return false; }
    // The red sphere (white when highlighted), lit.
    virtual void Draw();
    virtual void SetChanged() { m_bChanged = 1; }

    bool IsEnabled() const { return m_bEnabled != 0; }
    void SetEnabled(bool bEnabled) { m_bEnabled = bEnabled ? 1 : 0; }
    bool IsHighlighted() const { return m_bHighlighted != 0; }
    void SetHighlighted(bool bOn) { m_bHighlighted = bOn ? 1 : 0; }
    bool IsDragging() const { return m_bDragging != 0; }
    // 1 the scene, 2 the fixed overlay space.
    void SetGroup(int iGroup) { m_iGroup = iGroup; }
    int GetGroup() const { return m_iGroup; }
    void SetHandleSize(float fSize) { m_fHandleSize = fSize; }
    // The sphere's radius: the handle size, times the distance from the eye
    // while the size is relative to it.
    float GetHandleRadius() const;

protected:
    // The handles a manipulator carries start their drags with it; pMouse is
    // null for a drag begun without the mouse. None by default.
    virtual void BeginHandleDrags(const NKInputState *, const float *, const float *, const int *)
    {}
    // Where a point that was at pfStart when the drag began goes for this
    // mouse state (buttons 1 and 2, see Drag). False for a singular
    // modelview or another button.
    bool DragPoint(const NKInputState *pMouse, const float *pfModelView, bool bRelative,
                   const float *pfStart, float *pfOut) const;
    // Lighting on, the red or (highlighted) white material.
    static void ApplyHandleMaterial(bool bHighlighted);
    // The point handle's sphere at pfPoint.
    void DrawSphereAt(const float *pfPoint, bool bHighlighted) const;
    // Every attribute group the handles' drawing changes, for the attribute
    // scope a Draw holds.
    static unsigned HandleAttribBits();
    // Lighting off, white, solid lines of width 2 when highlighted, else
    // dashed lines of width 1.
    static void SetOutlineStyle(bool bHighlighted);

    int32_t m_iViewportWidth = -1;
    int32_t m_iViewportHeight = -1;
    int32_t m_iStartMouseX = 0;
    int32_t m_iStartMouseY = 0;
    int32_t m_iLastMouseX = 0;
    int32_t m_iLastMouseY = 0;
    float m_afStartPosition[3] = {0.0f, 0.0f, 0.0f};
    float m_afPosition[3] = {0.0f, 0.0f, 0.0f};
    float m_fHandleSize = 0.01f;
    float m_fSizeRelativeToEye = 1.0f;
    uint8_t m_bChanged = 1;
    uint8_t m_bEnabled = 0;
    uint8_t m_bHighlighted = 0;
    uint8_t m_bDragging = 0;
    int32_t m_iGroup = 1;
    NKString m_szName;
};

// ---- The list -------------------------------------------------------------------

// Up to 99 handles, not owned; the current (picked) one and its distance.
// A group of -1 means any group.
class ManipulatorList {
public:
    static constexpr int kMaxEntries = 99;

    // False when full or already listed.
    bool Add(Manipulator *pManipulator);
    // False when absent; removing the current entry resets the pick.
    bool Remove(Manipulator *pManipulator);
    int IndexOf(const Manipulator *pManipulator) const;
    // Index -1: the current entry. Null outside the entries.
    Manipulator *Get(int iIndex) const;
    int GetCount() const { return m_iCount; }
    float GetNearestDistance() const { return m_fNearest; }
    // No entry highlighted or current; nearest distance 1e12.
    void ResetPick();
    // The handle becomes current (and the only one highlighted) at the
    // distance; false when it is not listed.
    bool SetCurrent(Manipulator *pManipulator, float fDistance);
    // Every enabled entry of the group against the ray; the nearest hit
    // becomes current. True when any was hit; the nearest distance so far
    // goes to pfNearest.
    bool Pick(const float *pfOrigin, const float *pfDirection, float *pfNearest, int iGroup);
    // Forwarded to the current entry when it is enabled and of the group.
    bool BeginDrag(const NKInputState *pMouse, const float *pfModelView, const float *pfProjection,
                   const int *piViewport, int iGroup);
    bool Drag(const NKInputState *pMouse, const float *pfModelView, const float *pfProjection,
              const int *piViewport, int iGroup, bool bRelative);
    // Every entry.
    void EndDrag();
    // Forwarded to the current entry of the group, enabled or not.
    bool Click(const float *pfOrigin, const float *pfDirection, int iGroup);
    // Draws every enabled entry of the group; true.
    bool DrawAll(int iGroup);

private:
    Manipulator *Current(int iGroup, bool bEnabledOnly) const;

    Manipulator *m_apEntries[kMaxEntries + 1] = {};
    int32_t m_iCount = 0;
    int32_t m_iCurrent = -1;
    float m_fNearest = 1e12f;
};

// Made at start-up (app/), freed at exit.
extern ManipulatorList *g_pManipulatorList;

// ---- Placement and rotation helpers ------------------------------------------------

// The display origin, in model coordinates when bToModel.
void NKGetDefaultManipulatorCenter(float *pfOut, bool bToModel);
// (0.2, 0.2, 0.2) display units, in model units when bToModel.
void NKGetDefaultManipulatorHalfSize(float *pfOut, bool bToModel);
// Centre minus and plus the half size (min x, y, z, max x, y, z).
void NKGetDefaultManipulatorBox(float *pfBox, bool bToModel);
// u's part perpendicular to the unit normal n, normalised; when u lies along
// n, that of (1, 0, 0), else that of (0, 0, 1). The plane handle's in-plane
// axis, and so a local cutting plane's rectangle, is measured along it.
void NKInPlaneAxis(const float *n, const float *pfAxis, float *pfOut);
// Replaces the rotation of m by the turn about z that takes the x axis onto
// the rotated x axis's projection into the x-y plane (the identity when that
// projection vanishes); the translation stays with bKeepTranslation, else
// it becomes zero.
void NKConstrainRotationToZ(float *pfMatrix, bool bKeepTranslation);
// The rotation (4x4) of one drag step from the last mouse position to this
// one, about the trackball centred on pfCenter's projection on the screen,
// in display coordinates. False when the point cannot be projected.
bool NKComputeDragRotation(const NKInputState *pMouse, int iLastX, int iLastY,
                           const float *pfCenter, const float *pfModelView,
                           const float *pfProjection, const int *piViewport, float *pfMatrix);

// ---- The kinds ---------------------------------------------------------------------

// A box that moves, turns (button 3, when rotation is enabled) and, when
// corner dragging is enabled, resizes by the corner a hit grabs. Its centre
// is its position.
class BoxManipulator : public Manipulator {
public:
    // Rotation and corner dragging on.
    explicit BoxManipulator(const char *pszName);
    BoxManipulator(const char *pszName, bool bRotation, bool bCornerDragging);
    ~BoxManipulator() override;

    void Transform(const float *pfMatrix) override;
    bool Drag(const NKInputState *pMouse, const float *pfModelView, const float *pfProjection,
              const int *piViewport, bool bRelative) override;
    bool SetPosition(const float *pfPoint) override;
    bool HitTest(const float *pfOrigin, const float *pfDirection, float *pfDistance) override;
    void Draw() override;

    // Axis-aligned around min x, y, z, max x, y, z; position at its centre.
    // False for null.
    bool SetBox(const float *pfBox);
    // The box (copied into pOut when given).
    const NKOrientedBox *GetOrientedBox(NKOrientedBox *pOut = nullptr) const;
    // The box itself, for readers that follow it (the vectors' filter).
    NKOrientedBox *GetOrientedBoxPointer() { return m_pBox; }
    void GetBounds(float *pfBox, bool bHullOnly) const;
    // The grabbed corner's index (-1 none), its position into pfOut.
    int GetGrabbedCorner(float *pfOut = nullptr) const;
    void SetRotationEnabled(bool bEnabled) { m_bRotationEnabled = bEnabled ? 1 : 0; }
    bool IsRotationEnabled() const { return m_bRotationEnabled != 0; }
    void SetCornerDraggingEnabled(bool bOn) { m_bCornerDragging = bOn ? 1 : 0; }
    void SetHeadingOnly(bool bOn) { m_bHeadingOnly = bOn ? 1 : 0; }
    void SetPositionLocks(bool bX, bool bY, bool bZ);
    void SetCornerLocks(bool bX, bool bY, bool bZ);

protected:
    void BeginHandleDrags(const NKInputState *pMouse, const float *pfModelView,
                          const float *pfProjection, const int *piViewport) override;
    // Button 3: turns the box about its centre.
    bool Rotate(const NKInputState *pMouse, const float *pfModelView, const float *pfProjection,
                const int *piViewport);
    // Lighting off; the grabbed corner's red marker; dashed lines unless
    // highlighted. Undone by EndOutline.
    void BeginOutline() const;
    static void EndOutline();
    // The "Box Corner" child (made on the first corner drag), placed on the
    // grabbed corner; null while no corner drag can start.
    BoxManipulator *CornerHandleAtGrab();

    NKOrientedBox *m_pBox;
    uint8_t m_bRotationEnabled;
    uint8_t m_bCornerDragging;
    uint8_t m_bHeadingOnly = 0;
    uint8_t m_bDrawFaces = 1;
    int32_t m_iGrabbedCorner = -1;
    float m_afLastHit[3] = {0.0f, 0.0f, 0.0f};
    uint8_t m_abPositionLocks[3] = {0, 0, 0};
    uint8_t m_abCornerLocks[3] = {0, 0, 0};
    uint8_t m_bCornerDragActive = 0;
    BoxManipulator *m_pCornerHandle = nullptr;
};

// A plane: the y-z face of a box of zero thickness, its x axis the normal.
class PlaneManipulator : public BoxManipulator {
public:
    explicit PlaneManipulator(const char *pszName, bool bCornerDragging = true);

    void Draw() override;
    // The box's x axis (the normal) and y axis (the in-plane axis).
    virtual const float *GetNormal(float *pfOut = nullptr) const;
    virtual const float *GetInPlaneAxis(float *pfOut = nullptr) const;
    // Turns the box so that its x axis becomes n normalised.
    void SetNormal(const float *pfNormal);
    // The y axis becomes NKInPlaneAxis of u.
    void SetInPlaneAxis(const float *pfAxis);
    // Half width (along the in-plane axis) and half height.
    void SetSize(float fHalfWidth, float fHalfHeight);
    void GetSize(float *pfHalfWidth, float *pfHalfHeight) const;
};

// A bar whose y axis carries a value in [minimum, maximum]; clicks on the
// bar set it, clicks on its end arrows step it.
class SliderManipulator : public BoxManipulator {
public:
    explicit SliderManipulator(const char *pszName);

    bool IsChanged() const override { return m_bValueChanged != 0; }
    void ClearChanged() override;
    bool HitTest(const float *pfOrigin, const float *pfDirection, float *pfDistance) override;
    bool Click(const float *pfOrigin, const float *pfDirection) override;
    void Draw() override;
    virtual void SetValueChanged() { m_bValueChanged = 1; }

    // Clamps into [minimum, maximum]; the change flag stays as it is.
    void SetValue(float v);
    // Both ends, the step to 1 % of the range; clamps the value.
    void SetRange(float fMinimum, float fMaximum);
    float GetValue() const { return m_fValue; }
    float GetStep() const { return m_fStep; }
    float GetMinimum() const { return m_fMinimum; }
    float GetMaximum() const { return m_fMaximum; }

private:
    // The hit test and, with bClick, the click (see the source).
    bool HitOrClick(const float *pfOrigin, const float *pfDirection, float *pfDistance,
                    bool bClick);
    // The bar moved along its y axis by fAlong half-lengths, its
    // half-extents scaled by fx, fy, fz.
    void MakeBarCopy(NKOrientedBox *pOut, float fAlong, float fx, float fy, float fz) const;

    float m_fMinimum = 0.0f;
    float m_fMaximum = 100.0f;
    float m_fStep = 1.0f;
    float m_fValue = 50.0f;
    uint8_t m_bValueChanged = 1;
};

// Two end points and the line between them, labelled with its length.
class RulerManipulator : public Manipulator {
public:
    explicit RulerManipulator(const char *pszName = "3D Ruler");

    void Transform(const float *pfMatrix) override;
    bool Drag(const NKInputState *pMouse, const float *pfModelView, const float *pfProjection,
              const int *piViewport, bool bRelative) override;
    bool HitTest(const float *pfOrigin, const float *pfDirection, float *pfDistance) override;
    void Draw() override;
    // Both ends; with p2 null the ruler moves so that its midpoint is at p1.
    // False for a null p1.
    virtual bool SetEndPoints(const float *pfP1, const float *pfP2);

    void GetEndPoints(float *pfP1, float *pfP2) const;
    void SetUnit(const char *pszUnit) { m_szUnit = pszUnit != nullptr ? pszUnit : ""; }
    NKString GetUnit() const { return m_szUnit; }
    void SetScale(float fScale) { m_fScale = fScale; }
    float GetScale() const { return m_fScale; }
    // |end 2 - end 1|, in model units when bToModel, times the scale when
    // bScaled.
    float GetLength(bool bToModel, bool bScaled) const;
    // The shown flag the ruler commands keep (set at start-up).
    void SetShown(bool bOn) { m_bShown = bOn ? 1 : 0; }
    bool IsShown() const { return m_bShown != 0; }

private:
    void BeginHandleDrags(const NKInputState *pMouse, const float *pfModelView,
                          const float *pfProjection, const int *piViewport) override;
    // Position = the midpoint of the ends.
    void CenterOnEnds();

    Manipulator m_EndPoint1;
    Manipulator m_EndPoint2;
    NKString m_szUnit;
    float m_fScale = 1.0f;
    uint8_t m_bShown = 0;
};

// A box carrying an nx x ny x nz grid of points; out of box mode it is a
// point handle at its position.
class GridBoxManipulator : public BoxManipulator {
public:
    explicit GridBoxManipulator(const char *pszName);

    bool HitTest(const float *pfOrigin, const float *pfDirection, float *pfDistance) override;
    void Draw() override;
    // Only the counts given as positive numbers change.
    void SetCounts(int nx, int ny, int nz);
    // nx ny nz; each count into its pointer when given.
    int GetCounts(int *pnx = nullptr, int *pny = nullptr, int *pnz = nullptr) const;
    void SetBoxMode(bool bOn) { m_bBoxMode = bOn ? 1 : 0; }
    bool IsBoxMode() const { return m_bBoxMode != 0; }

private:
    int32_t m_aiCounts[3] = {1, 1, 1};
    uint8_t m_bBoxMode = 1;
};

// ---- The program's handles ----------------------------------------------------------

// The ruler ("3D Ruler", listed by the ruler commands) and the 3-D legend's
// box ("3D Legend", group 2 when shown), made at start-up and freed at exit.
extern RulerManipulator *g_pRuler;
extern BoxManipulator *g_pLegendBox;

// On: the legend box at (-1, -0.3, -0.05)-(-0.9, 0.3, 0.05), enabled, in
// group 2 and listed; off: disabled and unlisted.
void NKShowLegendManipulator(bool bOn);

// The vectors' "Filter Box" (group 1, disabled); made at start-up with
// g_pVectorFilterBox (render/) pointing at its box, freed at exit.
BoxManipulator *NKGetVectorFilterBox(void);
bool NKCreateVectorFilterBox(void);
void NKDestroyVectorFilterBox(void);

// Whether the owners offer their handles; false at start, no command sets
// it (tests do, through NKSetManipulatorsEnabled).
bool NKAreManipulatorsEnabled(void);
void NKSetManipulatorsEnabled(bool bOn);

// Fills the legend commands' slot (render/nk_fringe_commands.h) and the
// vector box filter's (render/nk_vector_commands.h); part of
// NKInstallToolHooks.
void NKInstallManipulatorHooks(void);
