// tests/core/test_nk_math.cpp -- float equality, vectors, planes, matrices,
// quaternions, tensors, solvers and the floating-point control of
// core/nk_math.h.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "core/nk_math.h"

namespace {

const float kPi = 3.14159265f;

void ExpectVec3Near(const float *v, float x, float y, float z, float tol = 1e-5f)
{
    EXPECT_NEAR(v[0], x, tol);
    EXPECT_NEAR(v[1], y, tol);
    EXPECT_NEAR(v[2], z, tol);
}

// A matrix of the given diagonal with the rest 0.
void DiagonalMatrix(float *m, float a, float b, float c, float d)
{
    for (int i = 0; i < 16; i++) m[i] = 0.0f;
    m[0] = a;
    m[5] = b;
    m[10] = c;
    m[15] = d;
}

}  // namespace

// ---- Float equality -----------------------------------------------------------

TEST(FloatEquality, NothingNonZeroEqualsZero)
{
    EXPECT_FALSE(NKFloatsEqual(1e-30f, 0.0f));
    EXPECT_FALSE(NKFloatsEqual(0.0f, 1e-30f));
    EXPECT_TRUE(NKFloatsEqual(0.0f, 0.0f));
}

TEST(FloatEquality, RelativeToleranceAndSign)
{
    EXPECT_TRUE(NKFloatsEqual(1.000005f, 1.0f));
    EXPECT_TRUE(NKFloatsEqual(1.0f, 1.000005f));
    EXPECT_FALSE(NKFloatsEqual(1.0001f, 1.0f));
    EXPECT_FALSE(NKFloatsEqual(-1.0f, 1.0f));
    EXPECT_TRUE(NKFloatsEqual(-2.000001f, -2.0f));
    EXPECT_FALSE(NKFloatsEqual(NAN, NAN));
}

TEST(FloatEquality, AbsoluteAndDouble)
{
    EXPECT_TRUE(NKFloatsEqualAbs(0.0f, 0.000009f));
    EXPECT_FALSE(NKFloatsEqualAbs(0.0f, 0.00002f));
    EXPECT_TRUE(NKDoublesEqual(1.0, 1.000001));
    EXPECT_FALSE(NKDoublesEqual(1e-300, 0.0));
}

// ---- Scalar helpers -----------------------------------------------------------

TEST(ScalarHelpers, SafeDivideAndDivideToInt)
{
    EXPECT_EQ(NKSafeDivide(1.0, 0.0), 1.7976931348623157e308);
    EXPECT_DOUBLE_EQ(NKSafeDivide(3.0, 2.0), 1.5);
    EXPECT_EQ(NKDivideToInt(7.0f, 2.0f), 3);
    EXPECT_EQ(NKDivideToInt(-7.0f, 2.0f), -3);
    EXPECT_EQ(NKDivideToInt(1.0f, 0.0f), 2147483647);
    // Quotients beyond int saturate instead of being undefined.
    EXPECT_EQ(NKDivideToInt(1e30f, 1.0f), 2147483647);
    EXPECT_EQ(NKDivideToInt(-1e30f, 1.0f), -2147483647 - 1);
}

TEST(ScalarHelpers, SquareAndSign)
{
    EXPECT_EQ(NKSquare(1e-19f, false), 0.0);
    EXPECT_DOUBLE_EQ(NKSquare(-3.0f, false), 9.0);
    EXPECT_DOUBLE_EQ(NKSquare(-3.0f, true), -9.0);
    EXPECT_EQ(NKSign(0.0f), 1);
    EXPECT_EQ(NKSign(-0.5f), -1);
}

// ---- 3-vectors -------------------------------------------------------------

TEST(Vec3Functions, NormalizeSnapsTinyVectorsToZAxis)
{
    float v[3] = {1e-7f, 0.0f, 0.0f};
    NKVec3Normalize(v);
    ExpectVec3Near(v, 0.0f, 0.0f, 1.0f, 0.0f);
    float w[3] = {3.0f, 0.0f, 4.0f};
    NKVec3Normalize(w);
    ExpectVec3Near(w, 0.6f, 0.0f, 0.8f);
}

TEST(Vec3Functions, ArithmeticAndNullArguments)
{
    float a[3] = {1, 2, 3}, b[3] = {4, 5, 6}, c[3];
    NKVec3Difference(b, a, c);
    ExpectVec3Near(c, 3, 3, 3);
    NKCrossProduct(a, b, c);
    ExpectVec3Near(c, -3, 6, -3);
    EXPECT_DOUBLE_EQ(NKVec3Dot(a, b), 32.0);
    EXPECT_DOUBLE_EQ(NKVec3Distance(a, b), std::sqrt(27.0));
    NKCrossProduct(a, b, a);  // output aliasing an input
    ExpectVec3Near(a, -3, 6, -3);
    EXPECT_EQ(NKVec3Length(nullptr), 0.0);
    EXPECT_FALSE(NKVec3Equal(a, nullptr));
    NKVec3Normalize(nullptr);
}

TEST(Vec3Functions, EqualityAndZero)
{
    float a[3] = {1, 2, 3}, b[3] = {1.000001f, 2, 3}, z[3] = {0, 0, 0}, t[3] = {0, 1e-30f, 0};
    EXPECT_TRUE(NKVec3Equal(a, b));
    EXPECT_TRUE(NKVec3IsZero(z));
    EXPECT_FALSE(NKVec3IsZero(t));
}

TEST(Vec3Functions, MaxAbsComponentTiesGoLow)
{
    float a[3] = {1, -3, 3};
    EXPECT_EQ(NKVec3MaxAbsComponent(a), 1);
    float b[3] = {2, 2, 2};
    EXPECT_EQ(NKVec3MaxAbsComponent(b), 0);
}

TEST(Vec3Functions, AngleSnapsAndZeroLength)
{
    float x[3] = {1, 0, 0}, y[3] = {0, 2, 0}, mx[3] = {-1, 0, 0}, z[3] = {0, 0, 0};
    EXPECT_NEAR(NKVec3Angle(x, y, false), kPi / 2, 1e-6);
    EXPECT_NEAR(NKVec3Angle(x, y, true), 90.0, 1e-5);
    EXPECT_EQ(NKVec3Angle(x, mx, false), static_cast<double>(3.1415927f));
    EXPECT_EQ(NKVec3Angle(x, x, false), 0.0);
    EXPECT_EQ(NKVec3Angle(x, z, false), 0.0);
}

TEST(Vec3Functions, PerpendicularParts)
{
    float n[3] = {0, 0, 2}, v[3] = {1, 2, 5}, out[3];
    NKVec3ProjectOnPlane(n, v, out);
    ExpectVec3Near(out, 1, 2, 0);
    float x[3] = {3, 0, 0};
    NKVec3AnyPerpendicular(x, out);
    ExpectVec3Near(out, 0, 1, 0);
    float d[3] = {1, 1, 0};
    NKVec3AnyPerpendicular(d, out);
    EXPECT_NEAR(NKVec3Dot(out, d), 0.0, 1e-6);
    ExpectVec3Near(out, 0.5f, -0.5f, 0);
}

TEST(Vec3Class, NormalizeKeepsTinyVectors)
{
    Vec3 v(1e-7f, 0.0f, 0.0f);
    v.Normalize();
    ExpectVec3Near(v.Data(), 1.0f, 0.0f, 0.0f, 0.0f);
    Vec3 z;
    z.Normalize();
    ExpectVec3Near(z.Data(), 0.0f, 0.0f, 1.0f, 0.0f);
}

TEST(Vec3Class, TransformAndPerpendicular)
{
    float m[16];
    NKMatrixIdentity(m);
    NKMat4Translate(m, 1, 2, 3);
    Vec3 p(1, 1, 1), v(1, 1, 1);
    p.TransformPoint(m);
    v.TransformVector(m);
    ExpectVec3Near(p.Data(), 2, 3, 4);
    ExpectVec3Near(v.Data(), 1, 1, 1);
    Vec3 out;
    Vec3(2, 3, 4).Perpendicular(out);
    ExpectVec3Near(out.Data(), 1, 0, -0.5f);
    Vec3(2, 0, 0).Perpendicular(out);
    ExpectVec3Near(out.Data(), 0, 1, 0);
    Vec3(2, 4, 0).Perpendicular(out);
    ExpectVec3Near(out.Data(), 1, -0.5f, 0);
}

// ---- Planes ---------------------------------------------------------------

TEST(Planes, PointNormalPlaneHasZeroDistanceAtItsPoint)
{
    float p[3] = {1, 2, 3}, n[3] = {0, 0, 5}, plane[4];
    EXPECT_EQ(NKPlaneFromPointNormal(p, n, plane), 1);
    EXPECT_NEAR(NKPlaneDistance(plane, p), 0.0, 1e-6);
    float q[3] = {7, 7, 5};
    EXPECT_NEAR(NKPlaneDistance(plane, q), 2.0, 1e-6);
}

TEST(Planes, ThreePointPlaneUsesPlusD)
{
    float p0[3] = {0, 0, 2}, p1[3] = {1, 0, 2}, p2[3] = {0, 1, 2}, plane[4];
    NKPlaneFromPoints(p0, p1, p2, plane, false);
    ExpectVec3Near(plane, 0, 0, 1);
    EXPECT_FLOAT_EQ(plane[3], 2.0f);  // n.p0 - d == 0
    EXPECT_NEAR(NKPlaneDistance(plane, p0), 2.0 * NKVec3Dot(plane, p0), 1e-6);
    NKPlaneFromPoints(p0, p1, p2, plane, true);
    ExpectVec3Near(plane, 0, 0, -1);
}

TEST(Planes, NearestPointProjectionAndIntersection)
{
    float a[4] = {0, 0, 1, -2};  // z = 2
    float b[4] = {1, 0, 0, -1};  // x = 1
    float out[3], dir[3];
    NKPlaneNearestPointToOrigin(a, out);
    ExpectVec3Near(out, 0, 0, 2);
    float p[3] = {5, 6, 7};
    NKPlaneProjectPoint(a, p, out);
    ExpectVec3Near(out, 5, 6, 2);
    ASSERT_TRUE(NKPlaneIntersectPlane(a, b, out, dir));
    EXPECT_NEAR(NKPlaneDistance(a, out), 0.0, 1e-6);
    EXPECT_NEAR(NKPlaneDistance(b, out), 0.0, 1e-6);
    ExpectVec3Near(dir, 0, 1, 0);
    float c[4] = {0, 0, 2, 5};
    EXPECT_FALSE(NKPlaneIntersectPlane(a, c, out, nullptr));
}

TEST(Planes, RectangleCornersAndSidePlanes)
{
    float c[3] = {0, 0, 0}, n[3] = {0, 0, 1}, up[3] = {0, 2, 0}, corners[4][3], planes[4][4];
    ASSERT_TRUE(NKMakeRectangleCorners(c, n, up, 1.0f, 2.0f, corners));
    // S = unit(n x up) 2 = (-2, 0, 0).
    ExpectVec3Near(corners[0], 2, -1, 0);
    ExpectVec3Near(corners[1], -2, -1, 0);
    ExpectVec3Near(corners[2], -2, 1, 0);
    ExpectVec3Near(corners[3], 2, 1, 0);
    ASSERT_TRUE(NKMakeRectanglePlanes(c, n, up, 1.0f, 2.0f, planes));
    ExpectVec3Near(planes[0], 0, 1, 0);
    EXPECT_NEAR(planes[0][3], -1.0f, 1e-6);
    for (int k = 0; k < 4; k++)
        EXPECT_LT(NKPlaneDistance(planes[k], c), 0.0);  // centre inside every side
}

// ---- Matrices -----------------------------------------------------------------

TEST(Matrices, RotateWorldUsesTransposedConvention)
{
    float m[16], p[3] = {1, 0, 0};
    NKMatrixIdentity(m);
    NKMat4RotateWorld(m, 0, 0, 1, kPi / 2);
    NKTransformPoint(m, p);
    ExpectVec3Near(p, 0, -1, 0);
}

TEST(Matrices, MultiplyAppliesRightFactorFirstAndAllowsAliasing)
{
    float t[16], s[16], out[16], p[3] = {1, 1, 1};
    NKMatrixIdentity(t);
    NKMat4Translate(t, 1, 0, 0);
    NKMatrixIdentity(s);
    NKMat4ScaleWorld(s, 2, 2, 2);
    NKMat4Multiply(t, s, out);  // scale, then translate
    NKTransformPoint(out, p);
    ExpectVec3Near(p, 3, 2, 2);
    NKMat4Multiply(t, s, t);
    EXPECT_TRUE(NKMat4Equal(t, out, true));
}

TEST(Matrices, TranslateLocalVersusWorld)
{
    float m[16], p[3] = {0, 0, 0};
    NKMatrixIdentity(m);
    NKMat4ScaleWorld(m, 2, 2, 2);
    NKMat4Translate(m, 1, 0, 0);  // m = S T: translation gets scaled
    NKTransformPoint(m, p);
    ExpectVec3Near(p, 2, 0, 0);
    float w[16], q[3] = {0, 0, 0};
    NKMatrixIdentity(w);
    NKMat4ScaleWorld(w, 2, 2, 2);
    NKMat4TranslateWorld(w, 1, 0, 0);  // w = T S
    NKTransformPoint(w, q);
    ExpectVec3Near(q, 1, 0, 0);
}

TEST(Matrices, TransformDirectionAndBox)
{
    float m[16], v[3] = {1, 0, 0};
    NKMatrixIdentity(m);
    NKMat4RotateWorld(m, 0, 0, 1, kPi / 2);
    NKMat4TranslateWorld(m, 10, 0, 0);
    NKMat4TransformDirection(m, v);
    ExpectVec3Near(v, 0, -1, 0);
    float box[6] = {0, 0, 0, 1, 2, 3};
    NKMat4TransformBox(m, box);
    const float expected[6] = {10, -1, 0, 12, 0, 3};
    for (int i = 0; i < 6; i++) EXPECT_NEAR(box[i], expected[i], 1e-5);
}

TEST(Matrices, DeterminantAndInverse)
{
    float m[16], inv[16], prod[16], id[16];
    NKMatrixIdentity(m);
    NKMat4RotateWorld(m, 1, 2, 3, 0.7f);
    NKMat4ScaleWorld(m, 2, 3, 4);
    NKMat4TranslateWorld(m, 5, -6, 7);
    EXPECT_NEAR(NKMat4Determinant(m), 24.0, 1e-4);
    ASSERT_TRUE(NKInvertMatrix(m, inv));
    NKMat4Multiply(m, inv, prod);
    NKMatrixIdentity(id);
    for (int i = 0; i < 16; i++) EXPECT_NEAR(prod[i], id[i], 1e-5);
}

TEST(Matrices, NearSingularInverseFailsAndLeavesAdjugate)
{
    float m[16], out[16], adj[16];
    DiagonalMatrix(m, 1e-3f, 1e-3f, 1e-3f, 1.0f);  // determinant 1e-9
    EXPECT_NEAR(NKMat4Determinant(m), 1e-9, 1e-14);
    EXPECT_FALSE(NKInvertMatrix(m, out));
    NKMat4Adjugate(m, adj);
    EXPECT_TRUE(NKMat4Equal(out, adj, true));
    EXPECT_NEAR(out[0], 1e-6f, 1e-12);
    EXPECT_NEAR(out[15], 1e-9f, 1e-15);
}

TEST(Matrices, DeterminantHelpers)
{
    EXPECT_EQ(NKDet2x2(1, 2, 3, 4), -2.0);
    EXPECT_EQ(NKDet3x3(2, 0, 0, 0, 3, 0, 0, 0, 4), 24.0);
}

// ---- Quaternions ------------------------------------------------------------

namespace {

void ExpectSameRotation(const float *q, const float *r)
{
    float fDot = q[0] * r[0] + q[1] * r[1] + q[2] * r[2] + q[3] * r[3];
    float s = fDot < 0 ? -1.0f : 1.0f;  // q and -q are one rotation
    for (int i = 0; i < 4; i++) EXPECT_NEAR(q[i], s * r[i], 1e-5) << "component " << i;
}

}  // namespace

TEST(Quaternions, MatrixRoundTripIncludingHalfTurns)
{
    const float aAxes[][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 2, 3}, {-1, 0.5f, 0.2f}};
    const float aAngles[] = {0.0f, 0.3f, kPi / 2, 2.5f, kPi, -1.2f};
    for (const auto &axis : aAxes) {
        for (float fAngle : aAngles) {
            float q[4], m[16], back[4];
            NKQuatFromAxisAngle(axis, fAngle, q);
            NKQuaternionToMatrix(q, m);
            NKMat4ToQuat(m, back);
            SCOPED_TRACE(fAngle);
            ExpectSameRotation(back, q);
        }
    }
}

TEST(Quaternions, ExactHalfTurnsAboutAxes)
{
    const float aq[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
    for (const auto &q : aq) {
        float m[16], back[4];
        NKQuaternionToMatrix(q, m);
        NKMat4ToQuat(m, back);
        ExpectSameRotation(back, q);
    }
}

TEST(Quaternions, ToAxisAngle)
{
    const float id[4] = {0, 0, 0, 1};
    float axis[3], fAngle;
    NKQuatToAxisAngle(id, axis, &fAngle);
    EXPECT_EQ(fAngle, 0.0f);
    ExpectVec3Near(axis, 0, 0, 0, 0);
    float q[4];
    NKQuatFromAxisAngleXYZ(0, 0, 3, kPi / 2, q);
    NKQuatToAxisAngle(q, axis, &fAngle);
    EXPECT_NEAR(fAngle, kPi / 2, 1e-6);
    ExpectVec3Near(axis, 0, 0, 1);
}

TEST(Quaternions, NormalizeDividesByNorm)
{
    float q[4] = {0, 0, 0, 2};
    EXPECT_FALSE(NKQuatNormalize(q));
    EXPECT_FLOAT_EQ(q[3], 1.0f);
    float r[4] = {1, 1, 1, 1};
    EXPECT_FALSE(NKQuatNormalize(r));
    for (float c : r) EXPECT_FLOAT_EQ(c, 0.5f);
    float z[4] = {0, 0, 0, 0};
    EXPECT_TRUE(NKQuatNormalize(z));
    for (float c : z) EXPECT_EQ(c, 0.0f);
}

TEST(Quaternions, MultiplyComposesRotations)
{
    float a[4], b[4], ab[4], ma[16], mb[16], mab[16], prod[16];
    NKQuatFromAxisAngleXYZ(1, 0, 0, 0.4f, a);
    NKQuatFromAxisAngleXYZ(0, 1, 1, 1.1f, b);
    EXPECT_FALSE(NKQuatMultiply(a, b, ab));
    NKQuaternionToMatrix(a, ma);
    NKQuaternionToMatrix(b, mb);
    NKQuaternionToMatrix(ab, mab);
    // Transposed convention: q1 q2 applies q1 first.
    NKMat4Multiply(mb, ma, prod);
    for (int i = 0; i < 16; i++) EXPECT_NEAR(mab[i], prod[i], 1e-5);
}

TEST(Quaternions, TranslationPairs)
{
    float q[4], t[3] = {1, 2, 3}, m[16], q2[4], t2[3];
    NKQuatFromAxisAngleXYZ(0, 1, 0, 0.5f, q);
    NKQuatTranslationToMat4(q, t, m);
    EXPECT_EQ(m[12], 1.0f);
    EXPECT_EQ(m[14], 3.0f);
    NKMat4ToQuatTranslation(m, q2, t2);
    ExpectSameRotation(q2, q);
    ExpectVec3Near(t2, 1, 2, 3);
}

TEST(Quaternions, FrameToFrameTurnsDirectionAndUp)
{
    const float from[6] = {1, 0, 0, 0, 0, 1};
    const float to[6] = {0, 1, 0, 1, 0, 0};
    const float p0[3] = {1, 1, 1}, p1[3] = {2, 3, 4};
    float m[16], d[3] = {1, 0, 0}, up[3] = {0, 0, 1};
    ASSERT_TRUE(NKMat4FromFrameToFrame(from, to, nullptr, nullptr, m));
    NKMat4TransformDirection(m, d);
    NKMat4TransformDirection(m, up);
    ExpectVec3Near(d, 0, 1, 0);
    ExpectVec3Near(up, 1, 0, 0);
    ASSERT_TRUE(NKMat4FromFrameToFrame(from, to, p0, p1, m));
    ExpectVec3Near(m + 12, 1, 2, 3);
    ASSERT_TRUE(NKMat4FromFrameToFrame(nullptr, to, p0, p1, m));
    float id[16];
    NKMatrixIdentity(id);
    EXPECT_TRUE(NKMat4Equal(m, id, true));
}

TEST(Quaternions, FrameToFrameHandlesOppositeDirections)
{
    const float from[6] = {0, 0, 1, 0, 1, 0};
    const float to[6] = {0, 0, -1, 0, 1, 0};
    float m[16], d[3] = {0, 0, 1}, up[3] = {0, 1, 0};
    ASSERT_TRUE(NKMat4FromFrameToFrame(from, to, nullptr, nullptr, m));
    NKMat4TransformDirection(m, d);
    NKMat4TransformDirection(m, up);
    ExpectVec3Near(d, 0, 0, -1);
    ExpectVec3Near(up, 0, 1, 0);
}

// ---- Tensors and solvers ------------------------------------------------------

TEST(Tensors, UniaxialStress)
{
    const float s = -120.0f;
    float t[6] = {s, 0, 0, 0, 0, 0};
    float c[6];
    std::copy(t, t + 6, c);
    EXPECT_NEAR(NKTensorDerivedValue(NK_TENSOR_VON_MISES, c), std::fabs(s), 1e-3);
    std::copy(t, t + 6, c);
    EXPECT_NEAR(NKTensorDerivedValue(NK_TENSOR_MAX_SHEAR, c), std::fabs(s) / 2, 1e-3);
    std::copy(t, t + 6, c);
    EXPECT_NEAR(NKTensorDerivedValue(NK_TENSOR_PRESSURE, c), -s / 3, 1e-4);
    EXPECT_EQ(c[0], s);  // the pressure leaves the tensor alone
    std::copy(t, t + 6, c);
    EXPECT_NEAR(NKTensorDerivedValue(NK_TENSOR_PRINCIPAL_MIN, c), s, 1e-3);
    std::copy(t, t + 6, c);
    EXPECT_NEAR(NKTensorDerivedValue(NK_TENSOR_PRINCIPAL_MAX, c), 0.0, 1e-3);
    std::copy(t, t + 6, c);
    EXPECT_EQ(NKTensorDerivedValue(8, c), 0.0f);
}

TEST(Tensors, PrincipalValuesOfShear)
{
    float t[6] = {0, 0, 0, 50, 0, 0};  // pure shear in xy: principal 50, 0, -50
    float c[6];
    std::copy(t, t + 6, c);
    EXPECT_NEAR(NKTensorDerivedValue(NK_TENSOR_PRINCIPAL_MAX, c), 50.0, 1e-3);
    std::copy(t, t + 6, c);
    EXPECT_NEAR(NKTensorDerivedValue(NK_TENSOR_PRINCIPAL_MID, c), 0.0, 1e-3);
    std::copy(t, t + 6, c);
    EXPECT_NEAR(NKTensorDerivedValue(NK_TENSOR_PRINCIPAL_MIN, c), -50.0, 1e-3);
    std::copy(t, t + 6, c);
    EXPECT_NEAR(NKTensorDerivedValue(NK_TENSOR_VON_MISES, c), 50.0 * std::sqrt(3.0), 1e-3);
}

TEST(Tensors, ZeroAndUndefinedTensors)
{
    float z[6] = {0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(NKTensorIsZero(z));
    EXPECT_EQ(NKTensorDerivedValue(NK_TENSOR_VON_MISES, z), 0.0f);
    float u[6] = {1, 2, 3, 4, 5, 3.4028235e38f};
    EXPECT_TRUE(NKTensorIsUndefined(u));
    for (float c : u) EXPECT_EQ(c, 3.4028235e38f);
    float e[6] = {1, 2, 3, 4, 5, 2.99e38f};
    EXPECT_FALSE(NKTensorIsUndefined(e));
    EXPECT_EQ(e[0], 1.0f);
    float v[6] = {3.4028235e38f, 0, 0, 0, 0, 0};
    EXPECT_EQ(NKTensorDerivedValue(NK_TENSOR_MAX_SHEAR, v), 3.4028235e38f);
}

TEST(Solvers, Quadratic)
{
    float r1, r2;
    EXPECT_FALSE(NKSolveQuadratic(1, 0, 1, &r1, &r2));
    EXPECT_EQ(r1, 0.0f);
    EXPECT_EQ(r2, 0.0f);
    EXPECT_TRUE(NKSolveQuadratic(1, -3, 2, &r1, &r2));
    EXPECT_FLOAT_EQ(r1, 2.0f);
    EXPECT_FLOAT_EQ(r2, 1.0f);
    EXPECT_TRUE(NKSolveQuadratic(-1, 3, -2, &r1, &r2));  // larger root first for a < 0 too
    EXPECT_FLOAT_EQ(r1, 2.0f);
    EXPECT_FLOAT_EQ(r2, 1.0f);
}

TEST(Solvers, PrincipalValues2D)
{
    float l1, l2, d1[3], d2[3];
    NKPrincipalValues2D(2, 1, 1, 2, &l1, &l2, d1, d2);
    EXPECT_FLOAT_EQ(l1, 3.0f);
    EXPECT_FLOAT_EQ(l2, 1.0f);
    ExpectVec3Near(d1, 1 / std::sqrt(2.0f), 1 / std::sqrt(2.0f), 0);
    ExpectVec3Near(d2, -1 / std::sqrt(2.0f), 1 / std::sqrt(2.0f), 0);
    NKPrincipalValues2D(1, 0, 0, 5, &l1, &l2, d1, d2);
    EXPECT_FLOAT_EQ(l1, 5.0f);
    ExpectVec3Near(d1, 0, 1, 0);
    ExpectVec3Near(d2, 1, 0, 0);
}

TEST(Solvers, PrincipalDirectionsOfDiagonalMatrixFollowTheirValues)
{
    // With the larger value first on the diagonal its direction is x, not
    // the fixed (0, 1) that would point along the smaller value.
    float l1, l2, d1[3], d2[3];
    NKPrincipalValues2D(5, 0, 0, 1, &l1, &l2, d1, d2);
    EXPECT_FLOAT_EQ(l1, 5.0f);
    EXPECT_FLOAT_EQ(l2, 1.0f);
    ExpectVec3Near(d1, 1, 0, 0);
    ExpectVec3Near(d2, 0, 1, 0);
    NKPrincipalValues2D(3, 0, 0, 3, &l1, &l2, d1, d2);  // double value: any direction
    EXPECT_NEAR(NKVec3Length(d1), 1.0, 1e-6);
    EXPECT_NEAR(NKVec3Length(d2), 1.0, 1e-6);
}

// ---- Floating-point control ------------------------------------------------

TEST(FloatExceptions, EnableUnmasksTheFourTrapsAndDisableMasksAll)
{
    NKEnableFloatExceptions(false);
    EXPECT_EQ(fegetexcept(), 0);
    NKEnableFloatExceptions(true);
    int iTraps = fegetexcept();
    NKEnableFloatExceptions(false);  // before any other arithmetic can trap
    EXPECT_EQ(iTraps, FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW | FE_UNDERFLOW);
    EXPECT_EQ(fegetexcept(), 0);
}
