// core/nk_math.h -- vector, plane, matrix, quaternion and tensor maths.
//
// Free functions on plain float arrays, used per node and per polygon by every
// subsystem: 3-vectors (float[3]), planes (float[4]), 4x4 matrices (float[16]),
// quaternions (float[4]) and symmetric stress tensors (float[6]), plus the
// small value type Vec3. Everything is computed in double and stored back as
// float; nothing allocates. A null pointer argument makes a function do
// nothing and return 0, false or null.
//
// Conventions every caller relies on:
// - Matrices are in OpenGL's column order: element 4c + r is row r of
//   column c; the translation is in elements 12, 13, 14; points are column
//   vectors, p' = M p.
// - Quaternions are x, y, z, w (w last).
// - Two plane conventions that must not be mixed up:
//     point-normal planes  a x + b y + c z + d = 0  (NKPlaneFromPointNormal,
//       NKPlaneDistance, NKPlaneIntersectPlane, ...);
//     three-point planes   a x + b y + c z = d      (NKPlaneFromPoints; the
//       view-frustum planes classified in nk_ray.h).
// - NKQuaternionToMatrix builds the transpose of OpenGL's rotation matrix for
//   the same axis and angle; the camera depends on this.
// - Stress tensors are xx, yy, zz, xy, yz, zx.
// The rotations of single vectors (NKVec3RotateX ...) and NKVec3ScaledCopy
// live with the ray geometry in nk_ray.h.
#pragma once

// ---- Float equality and scalar helpers -----------------------------------

// True when a == b, or when the smaller magnitude divided by the larger one
// (signs kept) lies in [0.99999, 1.00001]: a non-zero value never equals 0 and
// values of opposite sign are never equal. The equality of coordinates/values.
bool NKFloatsEqual(float a, float b);
// True when abs(a - b) < 1e-5. Inline: the point sort's comparator calls it
// for every coordinate of every comparison.
inline bool NKFloatsEqualAbs(float a, float b)
{
    double d = static_cast<double>(a) - static_cast<double>(b);
    return (d < 0 ? -d : d) < 1e-5;
}
// The relative test of NKFloatsEqual in double.
bool NKDoublesEqual(double a, double b);

// a / b; the largest double when b is exactly 0.
double NKSafeDivide(double a, double b);
// a / b truncated toward zero; 2147483647 when b equals 0 (and when the
// quotient does not fit an int: the sign then picks INT_MAX or INT_MIN).
int NKDivideToInt(float a, float b);
// 0 when abs(x) < 1e-18; else x*x, negative for negative x when bKeepSign.
double NKSquare(float x, bool bKeepSign);
// +1 for x >= 0, else -1.
int NKSign(float x);

// ---- 3-vectors -------------------------------------------------------------

void NKVec3Zero(float *v);
void NKVec3Set(float *v, float x, float y, float z);
void NKVec4Set(float *v, float x, float y, float z, float w);
// Destination first.
void NKVec3Copy(float *pDst, const float *pSrc);
// Source first, no null checks (hot loops).
void NKVec3CopyTo(const float *pSrc, float *pDst);
void NKVec3AddXYZ(float *v, float x, float y, float z);
void NKVec3AddTo(float *a, const float *b);         // a += b
void NKVec3SubtractFrom(float *a, const float *b);  // a -= b
void NKVec3Scale(float *v, float s);
void NKVec3Sum(const float *a, const float *b, float *pOut);         // a + b
void NKVec3Difference(const float *a, const float *b, float *pOut);  // a - b
double NKVec3Length(const float *v);
double NKVec3LengthSquared(const float *v);
double NKVec3Dot(const float *a, const float *b);
double NKVec3Distance(const float *a, const float *b);
double NKVec3DistanceSquared(const float *a, const float *b);
// out = a x b; out may be a or b.
void NKCrossProduct(const float *a, const float *b, float *pOut);
// Scales v to unit length; a vector with squared length below 1e-12 becomes
// (0, 0, 1).
void NKVec3Normalize(float *v);
// Every component pair NKFloatsEqual / NKFloatsEqualAbs; false for null.
bool NKVec3Equal(const float *a, const float *b);
bool NKVec3EqualAbs(const float *a, const float *b);
// Every component exactly 0.
bool NKVec3IsZero(const float *v);
// 0, 1 or 2: the component of largest magnitude; ties go to the lower index.
int NKVec3MaxAbsComponent(const float *v);
// The angle between a and b in radians (degrees when bDegrees); 0 when either
// has zero length. Cosines beyond +-0.999999 snap to 0 and pi.
double NKVec3Angle(const float *a, const float *b, bool bDegrees);
// (0, 1, 0) when v's y and z are 0; else the part of (1, 0, 0) perpendicular
// to v. Not normalised.
void NKVec3AnyPerpendicular(const float *v, float *pOut);
// The component of v perpendicular to n: u = unit((n x v) x n), out = u (v.u).
void NKVec3ProjectOnPlane(const float *n, const float *v, float *pOut);
void NKVec3PerpendicularPart(const float *n, const float *v, float *pOut);

// A 3-vector value with member functions; the same three floats as float[3].
class Vec3 {
public:
    float x = 0.0f, y = 0.0f, z = 0.0f;

    Vec3() = default;
    Vec3(float fX, float fY, float fZ) : x(fX), y(fY), z(fZ) {}
    explicit Vec3(const float *v) : x(v[0]), y(v[1]), z(v[2]) {}

    float *Data() { return &x; }
    const float *Data() const { return &x; }

    double Length() const;
    double LengthSquared() const;
    // In place; only an exactly zero vector becomes (0, 0, 1).
    void Normalize();
    // p = M (p, 1), translation added.
    void TransformPoint(const float *m);
    // Upper 3x3 of M only.
    void TransformVector(const float *m);
    // (1, 0, -x/z) when z != 0; else (0, 1, 0) when y == 0; else (1, -x/y, 0).
    void Perpendicular(Vec3 &out) const;
};

// ---- Planes ---------------------------------------------------------------

// a x + b y + c z + d (the signed distance for a unit normal).
double NKPlaneDistance(const float *pPlane, const float *p);
// Point-normal plane: normal = unit(n), d = -normal.p. Returns 1 (0 for null).
int NKPlaneFromPointNormal(const float *p, const float *n, float *pOut);
// Three-point plane a x + b y + c z = d: normal = (p1 - p0) x (p2 - p0), or
// the reverse order when bReverse, not normalised; d = +normal.p0. Returns 1.
int NKPlaneFromPoints(const float *p0, const float *p1, const float *p2, float *pOut,
                      bool bReverse);
// The point-normal plane's point nearest the origin: n (-d / |n|^2). Returns
// pOut (null for null arguments).
float *NKPlaneNearestPointToOrigin(const float *pPlane, float *pOut);
// p projected onto the point-normal plane.
void NKPlaneProjectPoint(const float *pPlane, const float *p, float *pOut);
// A point on the line where two point-normal planes meet and, when pOutDir is
// given, the line's unit direction. False for parallel planes.
bool NKPlaneIntersectPlane(const float *a, const float *b, float *pOutPoint, float *pOutDir);
// The corners of the rectangle centred at c with normal n, up direction up and
// half sizes: c - U - S, c - U + S, c + U + S, c + U - S, where
// U = unit(up) halfUp and S = unit(n x up) halfSide.
bool NKMakeRectangleCorners(const float *c, const float *n, const float *up, float fHalfUp,
                            float fHalfSide, float pCorners[4][3]);
// The rectangle's four side planes (point-normal, outward unit normals):
// through c + U (normal U), c - U (-U), c + S (S), c - S (-S).
bool NKMakeRectanglePlanes(const float *c, const float *n, const float *up, float fHalfUp,
                           float fHalfSide, float pPlanes[4][4]);

// ---- 4x4 matrices -----------------------------------------------------------

void NKMatrixIdentity(float *m);
void NKMat4Copy(float *pDst, const float *pSrc);
void NKMat4ToDouble(const float *m, double *pOut);
void NKMat4FromDouble(const double *pIn, float *m);
// Every element == when bExact, else NKFloatsEqual.
bool NKMat4Equal(const float *a, const float *b, bool bExact);
// out = a b (b applied first to a point); out may be a or b.
void NKMat4Multiply(const float *a, const float *b, float *pOut);
// m = m T, as glTranslate.
void NKMat4Translate(float *m, float x, float y, float z);
// m = T m (translation applied after m).
void NKMat4TranslateWorld(float *m, float x, float y, float z);
void NKMat4TranslateWorldVec(float *m, const float *t);
// m = S m.
void NKMat4ScaleWorld(float *m, float sx, float sy, float sz);
// m = R m with R = NKQuaternionToMatrix(NKQuatFromAxisAngleXYZ(...)); angle
// in radians. R turns points by -angle in OpenGL's sense (see the top).
void NKMat4RotateWorld(float *m, float x, float y, float z, float fAngle);
void NKMat4RotateWorldVec(float *m, const float *pAxis, float fAngle);
// p = M (p, 1) in place.
void NKTransformPoint(const float *m, float *p);
// v = upper 3x3 of M times v, in place.
void NKMat4TransformDirection(const float *m, float *v);
// Replaces the axis-aligned box (min x, y, z, max x, y, z) by the bounds of
// its 8 transformed corners.
void NKMat4TransformBox(const float *m, float *pBox);
double NKMat4Determinant(const float *m);
// The adjugate (transposed cofactors) of m.
void NKMat4Adjugate(const float *m, float *pOut);
// out = m^-1. False when abs(determinant) < 1e-8; out then holds the adjugate.
bool NKInvertMatrix(const float *m, float *pOut);
// The determinant of a 3x3 matrix given row by row.
double NKDet3x3(double a1, double a2, double a3, double b1, double b2, double b3, double c1,
                double c2, double c3);
double NKDet2x2(double a, double b, double c, double d);  // a d - b c

// ---- Quaternions ------------------------------------------------------------

// (unit(axis) sin(angle/2), cos(angle/2)); returns pOut.
float *NKQuatFromAxisAngle(const float *pAxis, float fAngle, float *pOut);
float *NKQuatFromAxisAngleXYZ(float x, float y, float z, float fAngle, float *pOut);
// angle = 2 acos(w) in radians; axis = (x, y, z) / sqrt(1 - w^2), that divisor
// taken as 1 when below 0.0005 (so the identity gives axis (0, 0, 0)).
void NKQuatToAxisAngle(const float *q, float *pOutAxis, float *pOutAngle);
// Scales q to unit norm. Returns true (and changes nothing) when the norm is
// 0, else false.
bool NKQuatNormalize(float *q);
// out = a b (Hamilton product), then normalised; returns NKQuatNormalize's
// answer. out may be a or b.
bool NKQuatMultiply(const float *a, const float *b, float *pOut);
// The rotation matrix of q, transposed with respect to OpenGL's.
void NKQuaternionToMatrix(const float *q, float *m);
// The inverse of NKQuaternionToMatrix for rotation matrices.
void NKMat4ToQuat(const float *m, float *q);
void NKMat4ToQuatTranslation(const float *m, float *q, float *t);
void NKQuatTranslationToMat4(const float *q, const float *t, float *m);
// pFrom and pTo are each a direction followed by an up vector. m turns pFrom's
// direction onto pTo's and then pFrom's (turned) up onto pTo's up, then
// translates by p1 - p0 when both points are given. Identity when pFrom or
// pTo is null. Returns true (false only for a null m).
bool NKMat4FromFrameToFrame(const float *pFrom, const float *pTo, const float *p0, const float *p1,
                            float *m);

// ---- Tensors and small solvers ---------------------------------------------

enum {
    NK_TENSOR_VON_MISES = 9,
    NK_TENSOR_PRESSURE = 10,
    NK_TENSOR_PRINCIPAL_MAX = 11,
    NK_TENSOR_PRINCIPAL_MID = 12,
    NK_TENSOR_PRINCIPAL_MIN = 13,
    NK_TENSOR_MAX_SHEAR = 14
};

// A derived value of the stress tensor t (selectors above; others give 0).
// The tensor is changed: its diagonal is made deviatoric for every selector
// but the pressure, and an undefined tensor is set wholly undefined. Pass a
// copy when t must stay.
float NKTensorDerivedValue(int iSelector, float *t);
bool NKTensorIsZero(const float *t);
// When any component is above 2.99e38, sets all six to the undefined value
// and returns true.
bool NKTensorIsUndefined(float *t);
// The real roots of a x^2 + b x + c, r1 >= r2; both 0 (and false) when the
// discriminant is negative. Callers pass a non-zero a.
bool NKSolveQuadratic(float a, float b, float c, float *r1, float *r2);
// Eigenvalues l1 >= l2 of [[a, b], [c, d]] (both 0 when complex) and, when
// both direction outputs are given, their directions (z components 0).
void NKPrincipalValues2D(float a, float b, float c, float d, float *l1, float *l2, float *pDir1,
                         float *pDir2);

// ---- Floating-point control ------------------------------------------------

// true: unmasks the invalid, divide-by-zero, overflow and underflow traps;
// false: masks every floating-point exception. The program runs masked.
void NKEnableFloatExceptions(bool bEnable);
