// core/nk_oriented_box.cpp -- NKOrientedBox (see nk_oriented_box.h). The
// ray and polygon tests come from nk_ray.cpp, the vector and matrix maths
// from nk_math.cpp.
#include "core/nk_oriented_box.h"

#include <cstring>

#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_ray.h"

namespace {

// Sign of each axis term per corner.
const int kCornerSign[8][3] = {{-1, -1, 1}, {1, -1, 1}, {1, -1, -1}, {-1, -1, -1},
                               {-1, 1, 1},  {1, 1, 1},  {1, 1, -1},  {-1, 1, -1}};
const int kFaces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                          {2, 3, 7, 6}, {3, 0, 4, 7}, {1, 2, 6, 5}};
// Per face: the axis of its normal and that normal's sign.
const int kFaceAxis[6] = {1, 1, 2, 2, 0, 0};
const int kFaceSign[6] = {-1, 1, 1, -1, -1, 1};
// Per face: the corner its plane is taken through.
const int kFacePlaneCorner[6] = {0, 4, 0, 2, 3, 1};
// Per axis: the corner on the other side of that axis.
const int kMirror[3][8] = {
    {1, 0, 3, 2, 5, 4, 7, 6}, {4, 5, 6, 7, 0, 1, 2, 3}, {3, 2, 1, 0, 7, 6, 5, 4}};

// The corner with the given signs (-1 or +1) on the three axes.
int CornerWithSigns(int sx, int sy, int sz)
{
    for (int c = 0; c < 8; c++) {
        if (kCornerSign[c][0] == sx && kCornerSign[c][1] == sy && kCornerSign[c][2] == sz) return c;
    }
    return -1;
}

}  // namespace

NKOrientedBox::NKOrientedBox()
{
    std::memset(m_afAxes, 0, sizeof(m_afAxes));
    for (int k = 0; k < 3; k++) {
        m_afCenter[k] = 0.0f;
        m_afHalfExtents[k] = 0.0f;
        m_afAxes[k][k] = 1.0f;
        m_afHullMin[k] = m_afHullMax[k] = 0.0f;
    }
    std::memset(m_afPlanes, 0, sizeof(m_afPlanes));
    m_iMinCorner = m_iMaxCorner = -1;
    m_bDirty = 1;
}

NKOrientedBox::NKOrientedBox(const NKOrientedBox &other)
{
    std::memcpy(m_afCenter, other.m_afCenter, sizeof(m_afCenter));
    std::memcpy(m_afAxes, other.m_afAxes, sizeof(m_afAxes));
    std::memcpy(m_afHalfExtents, other.m_afHalfExtents, sizeof(m_afHalfExtents));
    std::memcpy(m_afHullMin, other.m_afHullMin, sizeof(m_afHullMin));
    std::memcpy(m_afHullMax, other.m_afHullMax, sizeof(m_afHullMax));
    // The planes are not carried over; the dirty flag has Update() make them.
    std::memset(m_afPlanes, 0, sizeof(m_afPlanes));
    m_iMinCorner = other.m_iMinCorner;
    m_iMaxCorner = other.m_iMaxCorner;
    m_bDirty = 1;
}

NKOrientedBox &NKOrientedBox::operator=(const NKOrientedBox &other)
{
    if (this != &other) {
        std::memcpy(m_afCenter, other.m_afCenter, sizeof(m_afCenter));
        std::memcpy(m_afAxes, other.m_afAxes, sizeof(m_afAxes));
        std::memcpy(m_afHalfExtents, other.m_afHalfExtents, sizeof(m_afHalfExtents));
        std::memcpy(m_afPlanes, other.m_afPlanes, sizeof(m_afPlanes));
        std::memcpy(m_afHullMin, other.m_afHullMin, sizeof(m_afHullMin));
        std::memcpy(m_afHullMax, other.m_afHullMax, sizeof(m_afHullMax));
        m_iMinCorner = other.m_iMinCorner;
        m_iMaxCorner = other.m_iMaxCorner;
        m_bDirty = other.m_bDirty;
    }
    return *this;
}

void NKOrientedBox::SetCenter(float x, float y, float z)
{
    NKVec3Set(m_afCenter, x, y, z);
    m_bDirty = 1;
}

void NKOrientedBox::SetHalfExtents(float x, float y, float z)
{
    NKVec3Set(m_afHalfExtents, x, y, z);
    m_bDirty = 1;
}

void NKOrientedBox::SetAxes(const float *pAxisX, const float *pAxisY, const float *pAxisZ)
{
    NKVec3Copy(m_afAxes[0], pAxisX);
    NKVec3Copy(m_afAxes[1], pAxisY);
    NKVec3Copy(m_afAxes[2], pAxisZ);
    m_bDirty = 1;
}

int NKOrientedBox::SetFromMinMax(const float *pMin, const float *pMax)
{
    if (!pMin || !pMax) return -1;
    for (int k = 0; k < 3; k++) {
        m_afCenter[k] = static_cast<float>((static_cast<double>(pMin[k]) + pMax[k]) / 2.0);
        m_afHalfExtents[k] = static_cast<float>((static_cast<double>(pMax[k]) - pMin[k]) / 2.0);
        NKVec3Zero(m_afAxes[k]);
        m_afAxes[k][k] = 1.0f;
    }
    FindMinMaxCorners(pMin, pMax);
    m_bDirty = 1;
    return FixNegativeExtents(-1);
}

int NKOrientedBox::SetFromBox(const float *pBox)
{
    if (!pBox) return -1;
    return SetFromMinMax(pBox, pBox + 3);
}

void NKOrientedBox::CornerPosition(int iCorner, float *pOut) const
{
    for (int i = 0; i < 3; i++) {
        double fSum = m_afCenter[i];
        for (int k = 0; k < 3; k++)
            fSum +=
                kCornerSign[iCorner][k] * static_cast<double>(m_afAxes[k][i]) * m_afHalfExtents[k];
        pOut[i] = static_cast<float>(fSum);
    }
}

void NKOrientedBox::GetBounds(float *pMin, float *pMax, bool bHullOnly)
{
    if (!pMin || !pMax) return;
    if (!bHullOnly && m_iMinCorner >= 0 && m_iMinCorner < 8 && m_iMaxCorner >= 0 &&
        m_iMaxCorner < 8) {
        CornerPosition(m_iMinCorner, pMin);
        CornerPosition(m_iMaxCorner, pMax);
        return;
    }
    Update();
    NKVec3Copy(pMin, m_afHullMin);
    NKVec3Copy(pMax, m_afHullMax);
}

void NKOrientedBox::GetBox(float *pBox, bool bHullOnly)
{
    if (pBox) GetBounds(pBox, pBox + 3, bHullOnly);
}

void NKOrientedBox::GetCorners(float pCorners[8][3], int pFaces[6][4], float pNormals[6][3]) const
{
    if (!pCorners) return;
    for (int c = 0; c < 8; c++) CornerPosition(c, pCorners[c]);
    for (int f = 0; f < 6; f++) {
        if (pFaces) std::memcpy(pFaces[f], kFaces[f], sizeof(kFaces[f]));
        if (pNormals)
            NKVec3ScaledCopy(pNormals[f], m_afAxes[kFaceAxis[f]], static_cast<float>(kFaceSign[f]));
    }
}

void NKOrientedBox::Transform(const float *m)
{
    if (!m) return;
    NKTransformPoint(m, m_afCenter);
    for (int k = 0; k < 3; k++) {
        NKMat4TransformDirection(m, m_afAxes[k]);
        m_afHalfExtents[k] = static_cast<float>(m_afHalfExtents[k] * NKVec3Length(m_afAxes[k]));
        NKVec3Normalize(m_afAxes[k]);
    }
    m_bDirty = 1;
}

void NKOrientedBox::MoveAlongAxes(float du, float dv, float dw)
{
    const float afStep[3] = {du, dv, dw};
    for (int i = 0; i < 3; i++) {
        double fSum = m_afCenter[i];
        for (int k = 0; k < 3; k++) fSum += static_cast<double>(m_afAxes[k][i]) * afStep[k];
        m_afCenter[i] = static_cast<float>(fSum);
    }
    m_bDirty = 1;
}

void NKOrientedBox::Inflate(float d)
{
    for (int k = 0; k < 3; k++) m_afHalfExtents[k] += d;
    // The cached hull and planes no longer fit the grown box.
    m_bDirty = 1;
}

int NKOrientedBox::DragCorner(int iCorner, const float *p, bool bLockX, bool bLockY, bool bLockZ)
{
    if (iCorner < 0 || iCorner > 7 || !p) return iCorner;
    float afCorner[3], afG[3], afOldCenter[3], afRel[3];
    CornerPosition(iCorner, afCorner);
    NKVec3Difference(p, afCorner, afG);
    NKVec3Copy(afOldCenter, m_afCenter);
    const bool abLock[3] = {bLockX, bLockY, bLockZ};
    float h[3];
    for (int k = 0; k < 3; k++)
        h[k] = abLock[k] ? 0.0f : static_cast<float>(NKVec3Dot(m_afAxes[k], afG) / 2.0);
    MoveAlongAxes(h[0], h[1], h[2]);
    NKVec3Difference(afCorner, afOldCenter, afRel);
    for (int k = 0; k < 3; k++) {
        if (NKVec3Dot(m_afAxes[k], afRel) < 0.0) h[k] = -h[k];
        m_afHalfExtents[k] += h[k];
    }
    m_bDirty = 1;
    return FixNegativeExtents(iCorner);
}

void NKOrientedBox::FindMinMaxCorners(const float *pMin, const float *pMax)
{
    if (!pMin || !pMax) return;
    int aiSign[3];
    for (int k = 0; k < 3; k++) aiSign[k] = pMin[k] < pMax[k] ? -1 : 1;
    m_iMinCorner = CornerWithSigns(aiSign[0], aiSign[1], aiSign[2]);
    m_iMaxCorner = CornerWithSigns(-aiSign[0], -aiSign[1], -aiSign[2]);
}

int NKOrientedBox::FixNegativeExtents(int iCorner)
{
    if (iCorner < 0 || iCorner > 7) iCorner = -1;
    for (int k = 0; k < 3; k++) {
        if (m_afHalfExtents[k] < 0.0f) {
            m_afHalfExtents[k] = -m_afHalfExtents[k];
            if (iCorner >= 0) iCorner = kMirror[k][iCorner];
        }
    }
    m_bDirty = 1;
    return iCorner;
}

void NKOrientedBox::Update()
{
    if (!m_bDirty) return;
    float afCorners[8][3];
    GetCorners(afCorners, nullptr, nullptr);
    for (int c = 0; c < 8; c++) {
        for (int i = 0; i < 3; i++) {
            if (c == 0 || afCorners[c][i] < m_afHullMin[i]) m_afHullMin[i] = afCorners[c][i];
            if (c == 0 || afCorners[c][i] > m_afHullMax[i]) m_afHullMax[i] = afCorners[c][i];
        }
    }
    for (int f = 0; f < 6; f++) {
        float afNormal[3];
        NKVec3ScaledCopy(afNormal, m_afAxes[kFaceAxis[f]], static_cast<float>(kFaceSign[f]));
        NKPlaneFromPointNormal(afCorners[kFacePlaneCorner[f]], afNormal, m_afPlanes[f]);
    }
    m_bDirty = 0;
}

bool NKOrientedBox::Contains(const float *p)
{
    if (!p) return false;
    Update();
    const float afHull[6] = {m_afHullMin[0], m_afHullMin[1], m_afHullMin[2],
                             m_afHullMax[0], m_afHullMax[1], m_afHullMax[2]};
    if (!NKPointInBox(afHull, p)) return false;
    for (int f = 0; f < 6; f++) {
        if (NKPlaneDistance(m_afPlanes[f], p) > 0.0) return false;
    }
    return true;
}

bool NKOrientedBox::RayHit(const float *o, const float *d, float *pfDist, int *piCorner,
                           int *piFace, float *pHit) const
{
    float fBest = 1e12f;
    bool bHit = false;
    if (o && d) {
        float afCorners[8][3], afNormals[6][3];
        int aiFaces[6][4];
        GetCorners(afCorners, aiFaces, afNormals);
        const float *pfCoords = &afCorners[0][0];
        for (int f = 0; f < 6; f++) {
            float afPoint[3], t;
            if (!NKIntersectRayPlane(afNormals[f], afCorners[aiFaces[f][0]], o, d, afPoint, &t) ||
                t < 0.0f)
                continue;
            if (!NKPointInIndexedPolygon(afNormals[f], pfCoords, aiFaces[f], 4, afPoint)) continue;
            bHit = true;
            if (t < fBest) {
                fBest = t;
                if (piCorner) *piCorner = NKFindNearestPoint(aiFaces[f], 4, pfCoords, afPoint);
                if (piFace) *piFace = f;
                if (pHit) NKVec3Copy(pHit, afPoint);
            }
        }
    }
    if (pfDist) *pfDist = fBest;
    return bHit;
}

float *NKOrientedBox::MakeGridPoints(int nx, int ny, int nz) const
{
    if (nx < 1 || ny < 1 || nz < 1) return nullptr;
    const int aiCount[3] = {nx, ny, nz};
    size_t iCount = 0;
    if (__builtin_mul_overflow(static_cast<size_t>(nx), static_cast<size_t>(ny), &iCount) ||
        __builtin_mul_overflow(iCount, static_cast<size_t>(nz), &iCount))
        return nullptr;
    float *pfPoints = static_cast<float *>(NKCalloc(iCount, 3 * sizeof(float)));
    if (!pfPoints) return nullptr;
    double afStart[3], afStep[3][3];
    for (int i = 0; i < 3; i++) afStart[i] = m_afCenter[i];
    for (int k = 0; k < 3; k++) {
        for (int i = 0; i < 3; i++) {
            double fEdge = static_cast<double>(m_afAxes[k][i]) * 2.0 * m_afHalfExtents[k];
            afStep[k][i] = aiCount[k] > 1 ? fEdge / (aiCount[k] - 1) : 0.0;
            if (aiCount[k] > 1) afStart[i] -= fEdge / 2.0;
        }
    }
    float *pfOut = pfPoints;
    for (int kz = 0; kz < nz; kz++) {
        for (int jy = 0; jy < ny; jy++) {
            for (int ix = 0; ix < nx; ix++) {
                for (int i = 0; i < 3; i++)
                    *pfOut++ = static_cast<float>(afStart[i] + ix * afStep[0][i] +
                                                  jy * afStep[1][i] + kz * afStep[2][i]);
            }
        }
    }
    return pfPoints;
}
