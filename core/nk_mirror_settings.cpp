// core/nk_mirror_settings.cpp -- the methods of NKMirrorSettings
// (core/nk_render_state.h): plane set-up, the settings report and the
// matrices of the extra mirror passes.
//
// The pass matrices work in display coordinates: the planes' points are
// converted with ModelToDisplay, their normals are used as given. The
// rotations are those of NKMat4RotateWorld (core/nk_math.h), whose sense the
// angles that turn a normal onto the z axis are computed for.
#include <cmath>
#include <cstring>

#include "core/nk_bbox.h"
#include "core/nk_math.h"
#include "core/nk_render_state.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The point of plane a x + b y + c z + d = 0 nearest the origin (model
// coordinates); the origin for a zero normal.
void NearestPlanePoint(const float *pfPlane, float *pfOut)
{
    const double l2 = NKVec3LengthSquared(pfPlane);
    const double s = l2 > 0.0 ? -pfPlane[3] / l2 : 0.0;
    for (int k = 0; k < 3; k++) pfOut[k] = static_cast<float>(pfPlane[k] * s);
}

// The angle between two vectors, 0 or pi near the ends.
double AngleBetween(const float *a, const float *b)
{
    const double la = NKVec3Length(a), lb = NKVec3Length(b);
    if (la <= 0.0 || lb <= 0.0) return 0.0;
    const double c = NKVec3Dot(a, b) / (la * lb);
    if (c >= 1.0 - 1e-6) return 0.0;
    if (c <= -1.0 + 1e-6) return kPi;
    return std::acos(c);
}

// Two angles that turn normal n onto the z axis: Rx(-ax), then Ry(-ay).
void AnglesToZ(const float *n, double *pAx, double *pAy)
{
    if (n[1] == 0.0f && n[2] == 0.0f) {
        *pAx = 0.0;
        *pAy = n[0] > 0.0f ? -kPi / 2 : kPi / 2;
        return;
    }
    double ax = std::acos(std::fmax(-1.0, std::fmin(1.0, n[2] / std::hypot(n[1], n[2]))));
    if (n[1] < 0.0f) ax = -ax;
    const double t = std::sin(ax) * n[1] + std::cos(ax) * n[2];
    const double r = std::hypot(t, static_cast<double>(n[0]));
    double ay = r > 0.0 ? std::acos(std::fmax(-1.0, std::fmin(1.0, t / r))) : 0.0;
    if (n[0] > 0.0f) ay = -ay;
    *pAx = ax;
    *pAy = ay;
}

// m = reflection through the plane (display coordinates) x m.
void Reflect(float *m, const float *pfPlane)
{
    double ax = 0.0, ay = 0.0;
    AnglesToZ(pfPlane, &ax, &ay);
    float q[3];
    NearestPlanePoint(pfPlane, q);
    ModelToDisplay(q);
    if (ax != 0.0) NKMat4RotateWorld(m, 1.0f, 0.0f, 0.0f, static_cast<float>(-ax));
    if (ay != 0.0) NKMat4RotateWorld(m, 0.0f, 1.0f, 0.0f, static_cast<float>(-ay));
    NKTransformPoint(m, q);
    NKMat4TranslateWorld(m, 0.0f, 0.0f, -q[2]);
    NKMat4ScaleWorld(m, 1.0f, 1.0f, -1.0f);
    NKMat4TranslateWorld(m, 0.0f, 0.0f, q[2]);
    if (ay != 0.0) NKMat4RotateWorld(m, 0.0f, 1.0f, 0.0f, static_cast<float>(ay));
    if (ax != 0.0) NKMat4RotateWorld(m, 1.0f, 0.0f, 0.0f, static_cast<float>(ax));
}

const char *OnOff(bool b) { return b ? "ON\n" : "OFF\n"; }

}  // namespace

void NKMirrorSettings::SetPlane(int iPlane, const float *pfPlane)
{
    if (pfPlane == nullptr) return;
    float *pfDst = iPlane == 1 ? fPlane1 : fPlane2;
    float *pfOrient = iPlane == 1 ? fOrient1 : fOrient2;
    std::memcpy(pfDst, pfPlane, 4 * sizeof(float));
    if (pfPlane[1] == 0.0f && pfPlane[2] == 0.0f) {
        NKVec3Set(pfOrient, 0.0f, 1.0f, 0.0f);
        return;
    }
    const double l2 = NKVec3LengthSquared(pfPlane);
    const double s = pfPlane[0] / l2;
    NKVec3Set(pfOrient, static_cast<float>(1.0 - s * pfPlane[0]),
              static_cast<float>(-s * pfPlane[1]), static_cast<float>(-s * pfPlane[2]));
}

float *NKMirrorSettings::GetPlane(float *pfOut, int iPlane) const
{
    if (pfOut != nullptr) std::memcpy(pfOut, iPlane == 1 ? fPlane1 : fPlane2, 4 * sizeof(float));
    return pfOut;
}

void NKMirrorSettings::GetOrientation(float *pfOut, int iPlane) const
{
    if (pfOut != nullptr) std::memcpy(pfOut, iPlane == 1 ? fOrient1 : fOrient2, 3 * sizeof(float));
}

void NKMirrorSettings::SetPreview(int iPlane, bool bOn)
{
    if (iPlane == 0 || iPlane == 1) bPreview1 = bOn ? 1 : 0;
    if (iPlane != 1) bPreview2 = bOn ? 1 : 0;
}

bool NKMirrorSettings::GetPreview(int iPlane) const
{
    return (iPlane == 1 ? bPreview1 : bPreview2) != 0;
}

void NKMirrorSettings::SetRotationAngle(float fDegrees, const float *pfPoint, const float *pfAxis)
{
    if (pfPoint == nullptr || pfAxis == nullptr) return;
    float n[3] = {fPlane1[0], fPlane1[1], fPlane1[2]};
    if (NKVec3Length(pfAxis) > 0.0) {
        float m[16];
        NKMatrixIdentity(m);
        NKMat4RotateWorldVec(m, pfAxis, static_cast<float>(fDegrees * kPi / 180.0));
        NKMat4TransformDirection(m, n);
    }
    const float afPlane[4] = {n[0], n[1], n[2], static_cast<float>(-NKVec3Dot(n, pfPoint))};
    SetPlane(2, afPlane);
}

bool NKMirrorSettings::IsMirroredPass(int iPass) const
{
    return bReflect != 0 && (iPass / 2) % 2 == 0;
}

bool NKMirrorSettings::GetPassMatrix(int iPass, float *pfMatrix) const
{
    if (pfMatrix == nullptr) return false;
    NKMatrixIdentity(pfMatrix);
    const float *a = fPlane1;
    const float b[3] = {-fPlane2[0], -fPlane2[1], -fPlane2[2]};
    const double fAlpha = AngleBetween(a, b);
    float axis[3];
    NKCrossProduct(a, b, axis);
    const int k = iPass / 2;
    const double la = NKVec3Length(a), lb = NKVec3Length(b);
    if (la <= 0.0 || lb <= 0.0) return false;

    // A point on the line where the planes meet.
    float p[3];
    float u[3];
    NKCrossProduct(fPlane1, fPlane2, u);
    const double u2 = NKVec3LengthSquared(u);
    if (std::sqrt(u2) < 1e-6 * la * lb) {
        if (iPass > 0 || bReflect == 0) return false;
        NearestPlanePoint(fPlane1, p);
    } else {
        float n2u[3], un1[3];
        NKCrossProduct(fPlane2, u, n2u);
        NKCrossProduct(u, fPlane1, un1);
        for (int c = 0; c < 3; c++)
            p[c] = static_cast<float>((-fPlane1[3] * n2u[c] - fPlane2[3] * un1[c]) / u2);
    }
    ModelToDisplay(p);

    float m[16];
    NKMatrixIdentity(m);
    NKMat4TranslateWorld(m, -p[0], -p[1], -p[2]);
    double fAngle;
    if (bReflect != 0) {
        const bool bEven = iPass % 2 == 0;
        if (k % 2 == 0) {
            Reflect(m, bEven ? fPlane1 : fPlane2);
            fAngle = bEven ? k * fAlpha : -k * fAlpha;
        } else {
            fAngle = bEven ? (k + 1) * fAlpha : -(k + 1) * fAlpha;
        }
    } else {
        fAngle = (iPass + 1) * fAlpha;
    }
    if (fAngle != 0.0 && NKVec3Length(axis) > 0.0)
        NKMat4RotateWorldVec(m, axis, static_cast<float>(fAngle));
    NKMat4TranslateWorld(m, p[0], p[1], p[2]);
    for (int i = 0; i < 16; i++)
        if (!std::isfinite(m[i])) return false;
    NKMat4Copy(pfMatrix, m);
    return true;
}

void NKPrintMirrorSettings(const NKMirrorSettings &s, NKString *pOut)
{
    if (pOut == nullptr) return;
    NKString text("Mirror settings:\n - Mirror drawing: ");
    text += OnOff(s.bEnabled != 0);
    text += " - Reflection symmetry: ";
    text += OnOff(s.bReflect != 0);
    for (int iPlane = 1; iPlane <= 2; iPlane++) {
        const float *pl = iPlane == 1 ? s.fPlane1 : s.fPlane2;
        const float *o = iPlane == 1 ? s.fOrient1 : s.fOrient2;
        text += NKString::FromFormat(
            " - Plane %d : %gx + %gy + %gz + %g = 0\n - Plane %d preview: ", iPlane, pl[0], pl[1],
            pl[2], pl[3], iPlane);
        text += OnOff(s.GetPreview(iPlane));
        text +=
            NKString::FromFormat(" - Plane %d orientation: <%g %g %g>\n", iPlane, o[0], o[1], o[2]);
    }
    text += NKString::FromFormat(" - Total repetitions: %d. Number of repetition to draw: %d.",
                                 s.iTotalRepeats, s.iRepeats);
    *pOut = text;
}
