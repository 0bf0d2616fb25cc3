// core/nk_math.cpp -- vector, plane, matrix, quaternion and tensor maths (see
// nk_math.h for the conventions). Leaf routines: they compute in double, store
// float, allocate nothing and treat null pointers as "do nothing".
#include "core/nk_math.h"

#include <cfenv>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

const double kPi = 3.1415927f;  // pi as the float the results are defined with
const float kUndefined = 3.4028235e38f;

inline double Dot3(const double *a, const double *b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

inline void Cross3(const double *a, const double *b, double *pOut)
{
    double x = a[1] * b[2] - a[2] * b[1];
    double y = a[2] * b[0] - a[0] * b[2];
    double z = a[0] * b[1] - a[1] * b[0];
    pOut[0] = x;
    pOut[1] = y;
    pOut[2] = z;
}

inline void ToDouble3(const float *v, double *pOut)
{
    pOut[0] = v[0];
    pOut[1] = v[1];
    pOut[2] = v[2];
}

inline void ToFloat3(const double *v, float *pOut)
{
    pOut[0] = static_cast<float>(v[0]);
    pOut[1] = static_cast<float>(v[1]);
    pOut[2] = static_cast<float>(v[2]);
}

// The ratio test shared by the float and double equality.
bool RelativeEqual(double a, double b)
{
    if (a == b) return true;
    double fRatio = std::fabs(a) < std::fabs(b) ? a / b : b / a;
    return fRatio >= 0.99999 && fRatio <= 1.00001;
}

}  // namespace

// ---- Float equality and scalar helpers -----------------------------------

bool NKFloatsEqual(float a, float b) { return RelativeEqual(a, b); }

bool NKDoublesEqual(double a, double b) { return RelativeEqual(a, b); }

double NKSafeDivide(double a, double b)
{
    if (b == 0.0) return 1.7976931348623157e308;
    return a / b;
}

int NKDivideToInt(float a, float b)
{
    if (NKFloatsEqual(b, 0.0f)) return INT_MAX;
    double fQuotient = static_cast<double>(a) / static_cast<double>(b);
    // Converting an out-of-range double to int is undefined; saturate instead.
    if (std::isnan(fQuotient)) return INT_MAX;
    if (fQuotient >= 2147483647.0) return INT_MAX;
    if (fQuotient <= -2147483648.0) return INT_MIN;
    return static_cast<int>(fQuotient);
}

double NKSquare(float x, bool bKeepSign)
{
    double fX = x;
    if (std::fabs(fX) < 1e-18) return 0.0;
    double fSq = fX * fX;
    return (bKeepSign && fX < 0.0) ? -fSq : fSq;
}

int NKSign(float x) { return x >= 0.0f ? 1 : -1; }

// ---- 3-vectors -------------------------------------------------------------

void NKVec3Zero(float *v)
{
    if (v) v[0] = v[1] = v[2] = 0.0f;
}

void NKVec3Set(float *v, float x, float y, float z)
{
    if (!v) return;
    v[0] = x;
    v[1] = y;
    v[2] = z;
}

void NKVec4Set(float *v, float x, float y, float z, float w)
{
    if (!v) return;
    v[0] = x;
    v[1] = y;
    v[2] = z;
    v[3] = w;
}

void NKVec3Copy(float *pDst, const float *pSrc)
{
    if (pDst && pSrc) std::memmove(pDst, pSrc, 3 * sizeof(float));
}

void NKVec3CopyTo(const float *pSrc, float *pDst)
{
    pDst[0] = pSrc[0];
    pDst[1] = pSrc[1];
    pDst[2] = pSrc[2];
}

void NKVec3AddXYZ(float *v, float x, float y, float z)
{
    if (!v) return;
    v[0] = static_cast<float>(static_cast<double>(v[0]) + x);
    v[1] = static_cast<float>(static_cast<double>(v[1]) + y);
    v[2] = static_cast<float>(static_cast<double>(v[2]) + z);
}

void NKVec3AddTo(float *a, const float *b)
{
    if (a && b) NKVec3AddXYZ(a, b[0], b[1], b[2]);
}

void NKVec3SubtractFrom(float *a, const float *b)
{
    if (a && b) NKVec3AddXYZ(a, -b[0], -b[1], -b[2]);
}

void NKVec3Scale(float *v, float s)
{
    if (!v) return;
    for (int i = 0; i < 3; i++) v[i] = static_cast<float>(static_cast<double>(v[i]) * s);
}

void NKVec3Sum(const float *a, const float *b, float *pOut)
{
    if (!a || !b || !pOut) return;
    for (int i = 0; i < 3; i++) pOut[i] = static_cast<float>(static_cast<double>(a[i]) + b[i]);
}

void NKVec3Difference(const float *a, const float *b, float *pOut)
{
    if (!a || !b || !pOut) return;
    for (int i = 0; i < 3; i++) pOut[i] = static_cast<float>(static_cast<double>(a[i]) - b[i]);
}

double NKVec3LengthSquared(const float *v)
{
    if (!v) return 0.0;
    double d[3];
    ToDouble3(v, d);
    return Dot3(d, d);
}

double NKVec3Length(const float *v) { return std::sqrt(NKVec3LengthSquared(v)); }

double NKVec3Dot(const float *a, const float *b)
{
    if (!a || !b) return 0.0;
    return static_cast<double>(a[0]) * b[0] + static_cast<double>(a[1]) * b[1] +
           static_cast<double>(a[2]) * b[2];
}

double NKVec3DistanceSquared(const float *a, const float *b)
{
    if (!a || !b) return 0.0;
    double fSum = 0.0;
    for (int i = 0; i < 3; i++) {
        double fD = static_cast<double>(a[i]) - b[i];
        fSum += fD * fD;
    }
    return fSum;
}

double NKVec3Distance(const float *a, const float *b)
{
    return std::sqrt(NKVec3DistanceSquared(a, b));
}

void NKCrossProduct(const float *a, const float *b, float *pOut)
{
    if (!a || !b || !pOut) return;
    double da[3], db[3], dc[3];
    ToDouble3(a, da);
    ToDouble3(b, db);
    Cross3(da, db, dc);
    ToFloat3(dc, pOut);
}

void NKVec3Normalize(float *v)
{
    if (!v) return;
    double fLenSq = NKVec3LengthSquared(v);
    if (fLenSq < 1e-12) {
        NKVec3Set(v, 0.0f, 0.0f, 1.0f);
        return;
    }
    double fInv = 1.0 / std::sqrt(fLenSq);
    for (int i = 0; i < 3; i++) v[i] = static_cast<float>(v[i] * fInv);
}

bool NKVec3Equal(const float *a, const float *b)
{
    if (!a || !b) return false;
    return NKFloatsEqual(a[0], b[0]) && NKFloatsEqual(a[1], b[1]) && NKFloatsEqual(a[2], b[2]);
}

bool NKVec3EqualAbs(const float *a, const float *b)
{
    if (!a || !b) return false;
    return NKFloatsEqualAbs(a[0], b[0]) && NKFloatsEqualAbs(a[1], b[1]) &&
           NKFloatsEqualAbs(a[2], b[2]);
}

bool NKVec3IsZero(const float *v)
{
    if (!v) return false;
    return NKFloatsEqual(v[0], 0.0f) && NKFloatsEqual(v[1], 0.0f) && NKFloatsEqual(v[2], 0.0f);
}

int NKVec3MaxAbsComponent(const float *v)
{
    if (!v) return 0;
    int iBest = 0;
    for (int i = 1; i < 3; i++) {
        if (std::fabs(v[i]) > std::fabs(v[iBest])) iBest = i;
    }
    return iBest;
}

double NKVec3Angle(const float *a, const float *b, bool bDegrees)
{
    if (!a || !b) return 0.0;
    double fLenProduct = NKVec3Length(a) * NKVec3Length(b);
    if (NKFloatsEqual(static_cast<float>(fLenProduct), 0.0f)) return 0.0;
    double k = NKVec3Dot(a, b) / fLenProduct;
    double fAngle;
    if (k < -0.999999)
        fAngle = kPi;
    else if (k > 0.999999)
        fAngle = 0.0;
    else
        fAngle = std::acos(k);
    return bDegrees ? fAngle * 180.0 / kPi : fAngle;
}

void NKVec3ProjectOnPlane(const float *n, const float *v, float *pOut)
{
    if (!n || !v || !pOut) return;
    double dn[3], dv[3], u[3];
    ToDouble3(n, dn);
    ToDouble3(v, dv);
    Cross3(dn, dv, u);
    Cross3(u, dn, u);
    double fLen = std::sqrt(Dot3(u, u));
    if (fLen > 0.0) {
        for (int i = 0; i < 3; i++) u[i] /= fLen;
    }
    double fAlong = Dot3(dv, u);
    for (int i = 0; i < 3; i++) pOut[i] = static_cast<float>(u[i] * fAlong);
}

void NKVec3PerpendicularPart(const float *n, const float *v, float *pOut)
{
    NKVec3ProjectOnPlane(n, v, pOut);
}

void NKVec3AnyPerpendicular(const float *v, float *pOut)
{
    if (!v || !pOut) return;
    if (v[1] == 0.0f && v[2] == 0.0f) {
        NKVec3Set(pOut, 0.0f, 1.0f, 0.0f);
        return;
    }
    const float afX[3] = {1.0f, 0.0f, 0.0f};
    NKVec3ProjectOnPlane(v, afX, pOut);
}

// ---- Vec3 --------------------------------------------------------------------

double Vec3::LengthSquared() const { return NKVec3LengthSquared(Data()); }

double Vec3::Length() const { return std::sqrt(LengthSquared()); }

void Vec3::Normalize()
{
    double fLenSq = LengthSquared();
    if (fLenSq == 0.0) {
        x = y = 0.0f;
        z = 1.0f;
        return;
    }
    double fInv = 1.0 / std::sqrt(fLenSq);
    x = static_cast<float>(x * fInv);
    y = static_cast<float>(y * fInv);
    z = static_cast<float>(z * fInv);
}

void Vec3::TransformPoint(const float *m) { NKTransformPoint(m, Data()); }

void Vec3::TransformVector(const float *m) { NKMat4TransformDirection(m, Data()); }

void Vec3::Perpendicular(Vec3 &out) const
{
    if (z != 0.0f)
        out = Vec3(1.0f, 0.0f, static_cast<float>(-static_cast<double>(x) / z));
    else if (y == 0.0f)
        out = Vec3(0.0f, 1.0f, 0.0f);
    else
        out = Vec3(1.0f, static_cast<float>(-static_cast<double>(x) / y), 0.0f);
}

// ---- Planes ---------------------------------------------------------------

double NKPlaneDistance(const float *pPlane, const float *p)
{
    if (!pPlane || !p) return 0.0;
    return NKVec3Dot(pPlane, p) + pPlane[3];
}

int NKPlaneFromPointNormal(const float *p, const float *n, float *pOut)
{
    if (!p || !n || !pOut) return 0;
    float afNormal[3] = {n[0], n[1], n[2]};
    NKVec3Normalize(afNormal);
    double fD = -NKVec3Dot(afNormal, p);
    NKVec3Copy(pOut, afNormal);
    pOut[3] = static_cast<float>(fD);
    return 1;
}

int NKPlaneFromPoints(const float *p0, const float *p1, const float *p2, float *pOut, bool bReverse)
{
    if (!p0 || !p1 || !p2 || !pOut) return 0;
    double a[3], b[3], n[3], dp0[3];
    for (int i = 0; i < 3; i++) {
        a[i] = static_cast<double>(p1[i]) - p0[i];
        b[i] = static_cast<double>(p2[i]) - p0[i];
    }
    if (bReverse)
        Cross3(b, a, n);
    else
        Cross3(a, b, n);
    ToDouble3(p0, dp0);
    double fD = Dot3(n, dp0);
    ToFloat3(n, pOut);
    pOut[3] = static_cast<float>(fD);
    return 1;
}

float *NKPlaneNearestPointToOrigin(const float *pPlane, float *pOut)
{
    if (!pPlane || !pOut) return nullptr;
    double fLenSq = NKVec3LengthSquared(pPlane);
    // A plane without a normal has no nearest point; the origin is the
    // harmless answer (instead of infinities).
    double fScale = fLenSq > 0.0 ? -static_cast<double>(pPlane[3]) / fLenSq : 0.0;
    for (int i = 0; i < 3; i++) pOut[i] = static_cast<float>(pPlane[i] * fScale);
    return pOut;
}

void NKPlaneProjectPoint(const float *pPlane, const float *p, float *pOut)
{
    if (!pPlane || !p || !pOut) return;
    float afP0[3], afRel[3], afInPlane[3];
    NKPlaneNearestPointToOrigin(pPlane, afP0);
    NKVec3Difference(p, afP0, afRel);
    NKVec3ProjectOnPlane(pPlane, afRel, afInPlane);
    NKVec3Sum(afP0, afInPlane, pOut);
}

bool NKPlaneIntersectPlane(const float *a, const float *b, float *pOutPoint, float *pOutDir)
{
    if (!a || !b || !pOutPoint) return false;
    double da[4] = {a[0], a[1], a[2], a[3]}, db[4] = {b[0], b[1], b[2], b[3]}, c[3];
    Cross3(da, db, c);
    double x2 = c[0] * c[0], y2 = c[1] * c[1], z2 = c[2] * c[2];
    double fPoint[3];
    if (z2 > y2 && z2 > x2 && c[2] != 0.0) {
        fPoint[0] = (da[1] * db[3] - db[1] * da[3]) / c[2];
        fPoint[1] = (da[3] * db[0] - da[0] * db[3]) / c[2];
        fPoint[2] = 0.0;
    } else if (y2 > x2 && c[1] != 0.0) {
        fPoint[0] = (da[2] * db[3] - db[2] * da[3]) / -c[1];
        fPoint[1] = 0.0;
        fPoint[2] = (da[3] * db[0] - da[0] * db[3]) / -c[1];
    } else if (NKFloatsEqual(static_cast<float>(c[0]), 0.0f)) {
        return false;  // parallel planes
    } else {
        fPoint[0] = 0.0;
        fPoint[1] = (da[2] * db[3] - db[2] * da[3]) / c[0];
        fPoint[2] = (db[1] * da[3] - da[1] * db[3]) / c[0];
    }
    ToFloat3(fPoint, pOutPoint);
    if (pOutDir) {
        ToFloat3(c, pOutDir);
        NKVec3Normalize(pOutDir);
    }
    return true;
}

// U = unit(up) halfUp and S = unit(n x up) halfSide of a rectangle.
static void NKRectangleAxes(const float *n, const float *up, float fHalfUp, float fHalfSide,
                            float *pU, float *pS)
{
    NKVec3Copy(pU, up);
    NKVec3Normalize(pU);
    NKVec3Scale(pU, fHalfUp);
    NKCrossProduct(n, up, pS);
    NKVec3Normalize(pS);
    NKVec3Scale(pS, fHalfSide);
}

bool NKMakeRectangleCorners(const float *c, const float *n, const float *up, float fHalfUp,
                            float fHalfSide, float pCorners[4][3])
{
    if (!c || !n || !up || !pCorners) return false;
    float U[3], S[3];
    NKRectangleAxes(n, up, fHalfUp, fHalfSide, U, S);
    const float afSignU[4] = {-1.0f, -1.0f, 1.0f, 1.0f};
    const float afSignS[4] = {-1.0f, 1.0f, 1.0f, -1.0f};
    for (int k = 0; k < 4; k++) {
        for (int i = 0; i < 3; i++)
            pCorners[k][i] = static_cast<float>(static_cast<double>(c[i]) + afSignU[k] * U[i] +
                                                afSignS[k] * S[i]);
    }
    return true;
}

bool NKMakeRectanglePlanes(const float *c, const float *n, const float *up, float fHalfUp,
                           float fHalfSide, float pPlanes[4][4])
{
    if (!c || !n || !up || !pPlanes) return false;
    float U[3], S[3];
    NKRectangleAxes(n, up, fHalfUp, fHalfSide, U, S);
    const float *apfAxis[4] = {U, U, S, S};
    const float afSign[4] = {1.0f, -1.0f, 1.0f, -1.0f};
    for (int k = 0; k < 4; k++) {
        float afPoint[3], afNormal[3];
        for (int i = 0; i < 3; i++) {
            afNormal[i] = afSign[k] * apfAxis[k][i];
            afPoint[i] = static_cast<float>(static_cast<double>(c[i]) + afNormal[i]);
        }
        NKPlaneFromPointNormal(afPoint, afNormal, pPlanes[k]);
    }
    return true;
}

// ---- 4x4 matrices -----------------------------------------------------------

void NKMatrixIdentity(float *m)
{
    if (!m) return;
    for (int i = 0; i < 16; i++) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void NKMat4Copy(float *pDst, const float *pSrc)
{
    if (pDst && pSrc) std::memmove(pDst, pSrc, 16 * sizeof(float));
}

void NKMat4ToDouble(const float *m, double *pOut)
{
    if (!m || !pOut) return;
    for (int i = 0; i < 16; i++) pOut[i] = m[i];
}

void NKMat4FromDouble(const double *pIn, float *m)
{
    if (!pIn || !m) return;
    for (int i = 0; i < 16; i++) m[i] = static_cast<float>(pIn[i]);
}

bool NKMat4Equal(const float *a, const float *b, bool bExact)
{
    if (!a || !b) return false;
    for (int i = 0; i < 16; i++) {
        if (bExact ? a[i] != b[i] : !NKFloatsEqual(a[i], b[i])) return false;
    }
    return true;
}

void NKMat4Multiply(const float *a, const float *b, float *pOut)
{
    if (!a || !b || !pOut) return;
    double r[16];
    for (int c = 0; c < 4; c++) {
        for (int row = 0; row < 4; row++) {
            double fSum = 0.0;
            for (int k = 0; k < 4; k++) fSum += static_cast<double>(a[4 * k + row]) * b[4 * c + k];
            r[4 * c + row] = fSum;
        }
    }
    NKMat4FromDouble(r, pOut);
}

void NKMat4Translate(float *m, float x, float y, float z)
{
    if (!m) return;
    for (int row = 0; row < 4; row++)
        m[12 + row] = static_cast<float>(m[12 + row] + static_cast<double>(x) * m[row] +
                                         static_cast<double>(y) * m[4 + row] +
                                         static_cast<double>(z) * m[8 + row]);
}

void NKMat4TranslateWorld(float *m, float x, float y, float z)
{
    if (!m) return;
    const float t[3] = {x, y, z};
    for (int c = 0; c < 4; c++) {
        double w = m[4 * c + 3];
        for (int row = 0; row < 3; row++)
            m[4 * c + row] = static_cast<float>(m[4 * c + row] + t[row] * w);
    }
}

void NKMat4TranslateWorldVec(float *m, const float *t)
{
    if (m && t) NKMat4TranslateWorld(m, t[0], t[1], t[2]);
}

void NKMat4ScaleWorld(float *m, float sx, float sy, float sz)
{
    if (!m) return;
    const float s[3] = {sx, sy, sz};
    for (int c = 0; c < 4; c++) {
        for (int row = 0; row < 3; row++)
            m[4 * c + row] = static_cast<float>(static_cast<double>(m[4 * c + row]) * s[row]);
    }
}

void NKMat4RotateWorld(float *m, float x, float y, float z, float fAngle)
{
    if (!m) return;
    float q[4], r[16];
    NKQuatFromAxisAngleXYZ(x, y, z, fAngle, q);
    NKQuaternionToMatrix(q, r);
    NKMat4Multiply(r, m, m);
}

void NKMat4RotateWorldVec(float *m, const float *pAxis, float fAngle)
{
    if (m && pAxis) NKMat4RotateWorld(m, pAxis[0], pAxis[1], pAxis[2], fAngle);
}

void NKTransformPoint(const float *m, float *p)
{
    if (!m || !p) return;
    double r[3];
    for (int row = 0; row < 3; row++)
        r[row] = static_cast<double>(m[row]) * p[0] + static_cast<double>(m[4 + row]) * p[1] +
                 static_cast<double>(m[8 + row]) * p[2] + m[12 + row];
    ToFloat3(r, p);
}

void NKMat4TransformDirection(const float *m, float *v)
{
    if (!m || !v) return;
    double r[3];
    for (int row = 0; row < 3; row++)
        r[row] = static_cast<double>(m[row]) * v[0] + static_cast<double>(m[4 + row]) * v[1] +
                 static_cast<double>(m[8 + row]) * v[2];
    ToFloat3(r, v);
}

void NKMat4TransformBox(const float *m, float *pBox)
{
    if (!m || !pBox) return;
    float afOut[6];
    for (int k = 0; k < 8; k++) {
        float p[3] = {pBox[(k & 1) ? 3 : 0], pBox[(k & 2) ? 4 : 1], pBox[(k & 4) ? 5 : 2]};
        NKTransformPoint(m, p);
        for (int i = 0; i < 3; i++) {
            if (k == 0 || p[i] < afOut[i]) afOut[i] = p[i];
            if (k == 0 || p[i] > afOut[3 + i]) afOut[3 + i] = p[i];
        }
    }
    std::memcpy(pBox, afOut, sizeof(afOut));
}

double NKDet2x2(double a, double b, double c, double d) { return a * d - b * c; }

double NKDet3x3(double a1, double a2, double a3, double b1, double b2, double b3, double c1,
                double c2, double c3)
{
    return a1 * NKDet2x2(b2, b3, c2, c3) - a2 * NKDet2x2(b1, b3, c1, c3) +
           a3 * NKDet2x2(b1, b2, c1, c2);
}

// The minor of m at (row, column): the 3x3 determinant without that row and
// column, rows taken in order.
static double NKMat4Minor(const float *m, int iRow, int iCol)
{
    double a[9];
    int k = 0;
    for (int r = 0; r < 4; r++) {
        if (r == iRow) continue;
        for (int c = 0; c < 4; c++) {
            if (c != iCol) a[k++] = m[4 * c + r];
        }
    }
    return NKDet3x3(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
}

double NKMat4Determinant(const float *m)
{
    if (!m) return 0.0;
    double fDet = 0.0;
    for (int c = 0; c < 4; c++) {
        double fCofactor = ((c & 1) ? -1.0 : 1.0) * NKMat4Minor(m, 0, c);
        fDet += static_cast<double>(m[4 * c]) * fCofactor;
    }
    return fDet;
}

// The adjugate in double: element (r, c) is the cofactor of (c, r).
static void NKMat4AdjugateDouble(const float *m, double *pOut)
{
    for (int r = 0; r < 4; r++) {
        for (int c = 0; c < 4; c++)
            pOut[4 * c + r] = (((r + c) & 1) ? -1.0 : 1.0) * NKMat4Minor(m, c, r);
    }
}

void NKMat4Adjugate(const float *m, float *pOut)
{
    if (!m || !pOut) return;
    double adj[16];
    NKMat4AdjugateDouble(m, adj);
    NKMat4FromDouble(adj, pOut);
}

bool NKInvertMatrix(const float *m, float *pOut)
{
    if (!m || !pOut) return false;
    double adj[16];
    double fDet = NKMat4Determinant(m);
    NKMat4AdjugateDouble(m, adj);
    if (std::fabs(fDet) < 1e-8) {
        NKMat4FromDouble(adj, pOut);
        return false;
    }
    for (int i = 0; i < 16; i++) adj[i] /= fDet;
    NKMat4FromDouble(adj, pOut);
    return true;
}

// ---- Quaternions ------------------------------------------------------------

float *NKQuatFromAxisAngle(const float *pAxis, float fAngle, float *pOut)
{
    if (!pAxis || !pOut) return nullptr;
    float afAxis[3] = {pAxis[0], pAxis[1], pAxis[2]};
    NKVec3Normalize(afAxis);
    double fHalf = 0.5 * fAngle;
    double fSin = std::sin(fHalf);
    for (int i = 0; i < 3; i++) pOut[i] = static_cast<float>(afAxis[i] * fSin);
    pOut[3] = static_cast<float>(std::cos(fHalf));
    return pOut;
}

float *NKQuatFromAxisAngleXYZ(float x, float y, float z, float fAngle, float *pOut)
{
    const float afAxis[3] = {x, y, z};
    return NKQuatFromAxisAngle(afAxis, fAngle, pOut);
}

void NKQuatToAxisAngle(const float *q, float *pOutAxis, float *pOutAngle)
{
    if (!q || !pOutAxis || !pOutAngle) return;
    // Rounding can push w of a unit quaternion just past 1; acos and sqrt
    // would then give NaN.
    double w = q[3];
    if (w > 1.0) w = 1.0;
    if (w < -1.0) w = -1.0;
    *pOutAngle = static_cast<float>(2.0 * std::acos(w));
    double s = std::sqrt(1.0 - w * w);
    if (std::fabs(s) < 0.0005) s = 1.0;
    for (int i = 0; i < 3; i++) pOutAxis[i] = static_cast<float>(q[i] / s);
}

bool NKQuatNormalize(float *q)
{
    if (!q) return false;
    double fNormSq = 0.0;
    for (int i = 0; i < 4; i++) fNormSq += static_cast<double>(q[i]) * q[i];
    if (NKFloatsEqual(static_cast<float>(fNormSq), 0.0f)) return true;
    double fNorm = std::sqrt(fNormSq);
    for (int i = 0; i < 4; i++) q[i] = static_cast<float>(q[i] / fNorm);
    return false;
}

bool NKQuatMultiply(const float *a, const float *b, float *pOut)
{
    if (!a || !b || !pOut) return false;
    double ax = a[0], ay = a[1], az = a[2], aw = a[3];
    double bx = b[0], by = b[1], bz = b[2], bw = b[3];
    double r[4];
    r[0] = aw * bx + ax * bw + ay * bz - az * by;
    r[1] = aw * by + ay * bw + az * bx - ax * bz;
    r[2] = aw * bz + az * bw + ax * by - ay * bx;
    r[3] = aw * bw - ax * bx - ay * by - az * bz;
    for (int i = 0; i < 4; i++) pOut[i] = static_cast<float>(r[i]);
    return NKQuatNormalize(pOut);
}

void NKQuaternionToMatrix(const float *q, float *m)
{
    if (!q || !m) return;
    double x = q[0], y = q[1], z = q[2], w = q[3];
    double n = x * x + y * y + z * z + w * w;
    double s = n > 0.0 ? 2.0 / n : 0.0;
    double xx = s * x * x, yy = s * y * y, zz = s * z * z;
    double xy = s * x * y, xz = s * x * z, yz = s * y * z;
    double wx = s * w * x, wy = s * w * y, wz = s * w * z;
    double r[16] = {1.0 - (yy + zz),
                    xy - wz,
                    xz + wy,
                    0.0,
                    xy + wz,
                    1.0 - (xx + zz),
                    yz - wx,
                    0.0,
                    xz - wy,
                    yz + wx,
                    1.0 - (xx + yy),
                    0.0,
                    0.0,
                    0.0,
                    0.0,
                    1.0};
    NKMat4FromDouble(r, m);
}

// The branches of NKMat4ToQuat when the trace is not positive: the largest
// diagonal element decides which component is computed from it.
static void NKMat4ToQuatFromDiagonal(const double *m, double *q)
{
    double k;
    if (m[0] >= m[5] && m[0] >= m[10]) {
        k = 2.0 * std::sqrt(1.0 + m[0] - m[5] - m[10]);
        if (NKFloatsEqual(static_cast<float>(k), 0.0f)) return;
        q[0] = k / 4.0;
        q[1] = (m[1] + m[4]) / k;
        q[2] = (m[2] + m[8]) / k;
        q[3] = (m[9] - m[6]) / k;
    } else if (m[5] >= m[10]) {
        k = 2.0 * std::sqrt(1.0 + m[5] - m[0] - m[10]);
        if (NKFloatsEqual(static_cast<float>(k), 0.0f)) return;
        q[1] = k / 4.0;
        q[0] = (m[1] + m[4]) / k;
        q[2] = (m[6] + m[9]) / k;
        q[3] = (m[2] - m[8]) / k;
    } else {
        k = 2.0 * std::sqrt(1.0 + m[10] - m[0] - m[5]);
        if (NKFloatsEqual(static_cast<float>(k), 0.0f)) return;
        q[2] = k / 4.0;
        q[0] = (m[2] + m[8]) / k;
        q[1] = (m[6] + m[9]) / k;
        q[3] = (m[4] - m[1]) / k;
    }
}

// The trace form k = 0.5 / sqrt(t) is exact only while w is not small: near
// a half turn t = 4 w^2 tends to 0 and rounding in the matrix swamps it. The
// trace form is therefore used only when w is the largest component (t at
// least every 1 + 2 m_ii - trace), else the diagonal form; a result from the
// diagonal form while t > 0 is turned to w >= 0, the sign the trace form gives.
void NKMat4ToQuat(const float *m, float *q)
{
    if (!m || !q) return;
    double dm[16];
    NKMat4ToDouble(m, dm);
    double r[4] = {0.0, 0.0, 0.0, 1.0};
    double t = dm[0] + dm[5] + dm[10] + 1.0;
    double fLargestAxis =
        1.0 + 2.0 * std::fmax(dm[0], std::fmax(dm[5], dm[10])) - (dm[0] + dm[5] + dm[10]);
    if (t > 0.0 && t >= fLargestAxis) {
        double k = 0.5 / std::sqrt(t);
        r[3] = 0.25 / k;
        r[0] = (dm[9] - dm[6]) * k;
        r[1] = (dm[2] - dm[8]) * k;
        r[2] = (dm[4] - dm[1]) * k;
    } else {
        NKMat4ToQuatFromDiagonal(dm, r);
        if (t > 0.0 && r[3] < 0.0) {
            for (double &c : r) c = -c;
        }
    }
    for (int i = 0; i < 4; i++) q[i] = static_cast<float>(r[i]);
}

void NKMat4ToQuatTranslation(const float *m, float *q, float *t)
{
    if (!m || !q || !t) return;
    NKVec3Copy(t, m + 12);
    NKMat4ToQuat(m, q);
}

void NKQuatTranslationToMat4(const float *q, const float *t, float *m)
{
    if (!q || !t || !m) return;
    NKQuaternionToMatrix(q, m);
    NKVec3Copy(m + 12, t);
}

// The quaternion that turns direction a onto direction b (in the transposed
// matrix convention, hence the negated angle). Identity when they already
// agree. For opposite directions a x b vanishes; the half turn is then made
// about pFallback, or about any axis perpendicular to a when that is null.
static void NKQuatBetween(const float *a, const float *b, const float *pFallback, float *q)
{
    NKVec4Set(q, 0.0f, 0.0f, 0.0f, 1.0f);
    double fAngle = NKVec3Angle(a, b, false);
    if (fAngle == 0.0) return;
    float afAxis[3];
    NKCrossProduct(a, b, afAxis);
    if (NKVec3LengthSquared(afAxis) < 1e-12) {
        if (pFallback)
            NKVec3Copy(afAxis, pFallback);
        else
            NKVec3AnyPerpendicular(a, afAxis);
    }
    NKQuatFromAxisAngle(afAxis, static_cast<float>(-fAngle), q);
}

bool NKMat4FromFrameToFrame(const float *pFrom, const float *pTo, const float *p0, const float *p1,
                            float *m)
{
    if (!m) return false;
    NKMatrixIdentity(m);
    if (!pFrom || !pTo) return true;
    float q1[4], q2[4], afUp[3];
    NKQuatBetween(pFrom, pTo, nullptr, q1);
    NKQuaternionToMatrix(q1, m);
    NKVec3Copy(afUp, pFrom + 3);
    NKMat4TransformDirection(m, afUp);
    // An up vector turned exactly against the target up is turned about the
    // target direction, which keeps the direction just aligned.
    NKQuatBetween(afUp, pTo + 3, pTo, q2);
    if (q2[3] != 1.0f) {
        NKQuatMultiply(q1, q2, q1);
        NKQuaternionToMatrix(q1, m);
    }
    if (p0 && p1) {
        float afT[3];
        NKVec3Difference(p1, p0, afT);
        NKMat4TranslateWorldVec(m, afT);
    }
    return true;
}

// ---- Tensors and small solvers ---------------------------------------------

bool NKTensorIsZero(const float *t)
{
    if (!t) return false;
    for (int i = 0; i < 6; i++) {
        if (!NKDoublesEqual(t[i], 0.0)) return false;
    }
    return true;
}

bool NKTensorIsUndefined(float *t)
{
    if (!t) return false;
    for (int i = 0; i < 6; i++) {
        if (t[i] > 2.99e38f) {
            for (int k = 0; k < 6; k++) t[k] = kUndefined;
            return true;
        }
    }
    return false;
}

// The three principal values of the deviatoric tensor (sxx, syy, szz on the
// diagonal of t, shear terms as given), largest first, from its invariants.
static void NKDeviatoricPrincipals(const float *t, double fJ2, double *p)
{
    double sxx = t[0], syy = t[1], szz = t[2], xy = t[3], yz = t[4], zx = t[5];
    if (NKDoublesEqual(fJ2, 0.0)) {
        p[0] = p[1] = p[2] = 0.0;
        return;
    }
    double fJ3 =
        xy * xy * szz + yz * yz * sxx + zx * zx * syy - sxx * syy * szz - 2.0 * xy * yz * zx;
    double k = std::sqrt(27.0 / fJ2) * fJ3 * (-0.5) / fJ2;
    if (k > 1.0) k = 1.0;
    if (k < -1.0) k = -1.0;
    double fPhi = std::acos(k) / 3.0;
    double r = 2.0 * std::sqrt(fJ2 / 3.0);
    p[0] = r * std::cos(fPhi);
    p[1] = r * std::cos(fPhi + 4.0 * kPi / 3.0);
    p[2] = r * std::cos(fPhi + 2.0 * kPi / 3.0);
}

float NKTensorDerivedValue(int iSelector, float *t)
{
    if (!t || iSelector < NK_TENSOR_VON_MISES || iSelector > NK_TENSOR_MAX_SHEAR) return 0.0f;
    if (NKTensorIsZero(t)) return 0.0f;
    if (NKTensorIsUndefined(t)) return kUndefined;
    double fMean = (static_cast<double>(t[0]) + t[1] + t[2]) / 3.0;
    if (iSelector == NK_TENSOR_PRESSURE) return static_cast<float>(-fMean);
    for (int i = 0; i < 3; i++) t[i] = static_cast<float>(t[i] - fMean);
    double sxx = t[0], syy = t[1], szz = t[2], xy = t[3], yz = t[4], zx = t[5];
    double fJ2 = xy * xy + yz * yz + zx * zx - (sxx * syy + syy * szz + szz * sxx);
    if (iSelector == NK_TENSOR_VON_MISES)
        return static_cast<float>(std::sqrt(3.0 * std::fabs(fJ2)));
    double p[3];
    NKDeviatoricPrincipals(t, fJ2, p);
    switch (iSelector) {
    case NK_TENSOR_PRINCIPAL_MAX:
        return static_cast<float>(p[0] + fMean);
    case NK_TENSOR_PRINCIPAL_MID:
        return static_cast<float>(p[1] + fMean);
    case NK_TENSOR_PRINCIPAL_MIN:
        return static_cast<float>(p[2] + fMean);
    default:
        return static_cast<float>((p[0] - p[2]) / 2.0);
    }
}

bool NKSolveQuadratic(float a, float b, float c, float *r1, float *r2)
{
    if (!r1 || !r2) return false;
    double da = a, db = b, dc = c;
    double fDisc = db * db - 4.0 * da * dc;
    if (fDisc < 0.0 || da == 0.0) {
        *r1 = *r2 = 0.0f;
        return false;
    }
    // The stable form: one root from q, the other from c / q, so that a small
    // root is not lost to cancellation.
    double q = -0.5 * (db + (db < 0.0 ? -std::sqrt(fDisc) : std::sqrt(fDisc)));
    double x1 = q / da;
    double x2 = q != 0.0 ? dc / q : x1;
    *r1 = static_cast<float>(x1 > x2 ? x1 : x2);
    *r2 = static_cast<float>(x1 > x2 ? x2 : x1);
    return true;
}

// A unit eigenvector (z = 0) of [[a, b], [c, d]] for the eigenvalue l, from
// the first row (a - l) x + b y = 0 when bFirstRow, else from the second row
// c x + (d - l) y = 0. When that row says nothing about the direction (its
// coefficient of the free component is 0 and l solves it) the other row
// decides, so that diagonal matrices get their axes the right way round.
static void NKEigenDirection2D(double a, double b, double c, double d, double l, bool bFirstRow,
                               float *pDir)
{
    if (bFirstRow && b != 0.0) {
        double t = (l - a) / b;
        double fLen = std::sqrt(1.0 + t * t);
        NKVec3Set(pDir, static_cast<float>(1.0 / fLen), static_cast<float>(t / fLen), 0.0f);
    } else if (!bFirstRow && c != 0.0) {
        double t = (l - d) / c;
        double fLen = std::sqrt(t * t + 1.0);
        NKVec3Set(pDir, static_cast<float>(t / fLen), static_cast<float>(1.0 / fLen), 0.0f);
    } else if (bFirstRow && !NKDoublesEqual(a, l)) {
        NKVec3Set(pDir, 0.0f, 1.0f, 0.0f);  // (a - l) x = 0: x = 0
    } else if (!bFirstRow && !NKDoublesEqual(d, l)) {
        NKVec3Set(pDir, 1.0f, 0.0f, 0.0f);  // (d - l) y = 0: y = 0
    } else if (bFirstRow) {
        NKEigenDirection2D(a, b, c, d, l, false, pDir);
    } else if (b != 0.0 || !NKDoublesEqual(a, l)) {
        NKEigenDirection2D(a, b, c, d, l, true, pDir);
    } else {
        NKVec3Set(pDir, 1.0f, 0.0f, 0.0f);  // l is a double eigenvalue
    }
}

void NKPrincipalValues2D(float a, float b, float c, float d, float *l1, float *l2, float *pDir1,
                         float *pDir2)
{
    if (!l1 || !l2) return;
    double fDet = static_cast<double>(a) * d - static_cast<double>(b) * c;
    NKSolveQuadratic(1.0f, -(a + d), static_cast<float>(fDet), l1, l2);
    if (!pDir1 || !pDir2) return;
    NKEigenDirection2D(a, b, c, d, *l1, true, pDir1);
    NKEigenDirection2D(a, b, c, d, *l2, false, pDir2);
}

// ---- Floating-point control ------------------------------------------------

void NKEnableFloatExceptions(bool bEnable)
{
    // x86 has no portable denormal trap in <fenv.h>; the four standard traps
    // are the ones that catch real faults. Inexact stays masked throughout.
    const int iTraps = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW | FE_UNDERFLOW;
    if (bEnable) {
        feclearexcept(FE_ALL_EXCEPT);
        feenableexcept(iTraps);
    } else {
        fedisableexcept(FE_ALL_EXCEPT);
    }
}
