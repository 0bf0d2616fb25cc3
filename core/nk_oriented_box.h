// core/nk_oriented_box.h -- NKOrientedBox, a box with its own centre, axes and
// half-extents.
//
// The interactive boxes of the system (seed boxes, filter boxes, clipping
// boxes) are NKOrientedBox values: the user drags them by their corners,
// moves them along their own axes and transforms them with the model; tools
// test points and rays against them and fill them with grid points. A box
// remembers which two corners stand for the minimum and maximum of the
// axis-aligned box it was made from, so that such a box survives a round trip
// through it unchanged, and caches its six face planes and its axis-aligned
// hull, recomputed lazily by Update() after any change.
//
// Corners (signs of the axis terms in centre +- axisX hx +- axisY hy +-
// axisZ hz): 0 (-,-,+), 1 (+,-,+), 2 (+,-,-), 3 (-,-,-), 4 (-,+,+),
// 5 (+,+,+), 6 (+,+,-), 7 (-,+,-). Faces (corners; outward normal):
// 0 (0 3 2 1; -Y), 1 (4 5 6 7; +Y), 2 (0 1 5 4; +Z), 3 (2 3 7 6; -Z),
// 4 (3 0 4 7; -X), 5 (1 2 6 5; +X). The axis-aligned box functions of
// nk_ray.h number their faces slightly differently; each keeps its own table.
#pragma once

#include <cstdint>

class NKOrientedBox {
public:
    // Centre 0, axes X, Y, Z, half-extents 0, corners unknown, dirty.
    NKOrientedBox();
    // Copies centre, axes, half-extents, hull and corner indices but not the
    // planes; the copy is dirty and recomputes them when asked.
    NKOrientedBox(const NKOrientedBox &other);
    // Copies every field, planes and dirty flag included.
    NKOrientedBox &operator=(const NKOrientedBox &other);

    void SetCenter(float x, float y, float z);
    void SetHalfExtents(float x, float y, float z);
    // Axes are taken as given (not normalised).
    void SetAxes(const float *pAxisX, const float *pAxisY, const float *pAxisZ);
    // The axis-aligned box from min to max (either may be the larger on an
    // axis): the minimum and maximum corners are marked so that GetBounds
    // gives min and max back. Returns -1.
    int SetFromMinMax(const float *pMin, const float *pMax);
    // SetFromMinMax with box[0..2] and box[3..5].
    int SetFromBox(const float *pBox);

    // With bHullOnly false and both corners known: the positions of the
    // minimum and maximum corners; otherwise the axis-aligned hull.
    void GetBounds(float *pMin, float *pMax, bool bHullOnly);
    void GetBox(float *pBox, bool bHullOnly);
    // The 8 corners and, when asked, the face table and the outward face
    // normals (the axes, negated for faces 0, 3 and 4).
    void GetCorners(float pCorners[8][3], int pFaces[6][4], float pNormals[6][3]) const;

    // Centre as a point, axes as directions; the half-extents take up the
    // lengths of the transformed axes, which are then normalised.
    void Transform(const float *m);
    // centre += axisX du + axisY dv + axisZ dw.
    void MoveAlongAxes(float du, float dv, float dw);
    // Adds d to each half-extent.
    void Inflate(float d);
    // Moves corner iCorner to p, the opposite corner staying put on unlocked
    // axes. Returns the corner's index after the drag: dragged through the
    // opposite face it becomes the mirrored corner. A corner outside 0-7 does
    // nothing and is returned.
    int DragCorner(int iCorner, const float *p, bool bLockX, bool bLockY, bool bLockZ);
    // Marks the corners standing for min and max (see SetFromMinMax).
    void FindMinMaxCorners(const float *pMin, const float *pMax);
    // Makes negative half-extents positive; returns iCorner's index in the
    // mirrored box (-1 stays -1, indices outside 0-7 count as -1).
    int FixNegativeExtents(int iCorner);
    // Recomputes hull and planes when dirty.
    void Update();
    // True when p lies inside the box or on its faces.
    bool Contains(const float *p);
    // The ray's entry into the box: distance (1e12 when it misses), the
    // entered face, the face corner nearest the entry point and the point.
    // Returns whether any face was hit.
    bool RayHit(const float *o, const float *d, float *pfDist, int *piCorner, int *piFace,
                float *pHit) const;
    // nx x ny x nz points spread over the box, x index fastest, from NKAlloc
    // (the caller frees them with NKFree); null when a count is below 1 or
    // memory runs out.
    float *MakeGridPoints(int nx, int ny, int nz) const;

    const float *GetCenter() const { return m_afCenter; }
    const float *GetAxis(int k) const { return m_afAxes[k]; }
    const float *GetHalfExtents() const { return m_afHalfExtents; }
    // Face plane i (point-normal convention, outward unit normal); brought up
    // to date by Update().
    const float *GetPlane(int i) const { return m_afPlanes[i]; }
    int GetMinCorner() const { return m_iMinCorner; }
    int GetMaxCorner() const { return m_iMaxCorner; }
    bool IsDirty() const { return m_bDirty != 0; }

private:
    void CornerPosition(int iCorner, float *pOut) const;

    float m_afCenter[3];
    float m_afAxes[3][3];  // axisX, axisY, axisZ
    float m_afHalfExtents[3];
    float m_afPlanes[6][4];  // derived
    float m_afHullMin[3];    // derived
    float m_afHullMax[3];    // derived
    int32_t m_iMinCorner;
    int32_t m_iMaxCorner;
    uint8_t m_bDirty;
};
