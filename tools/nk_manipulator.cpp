// tools/nk_manipulator.cpp -- the point handle, the manipulator list, the
// default placement of new handles and the rotation helpers (see
// nk_manipulator.h). The kinds and the program's own handles are in
// nk_manipulator_kinds.cpp.
#include "tools/nk_manipulator.h"

#include <GL/gl.h>

#include <cmath>

#include "core/nk_bbox.h"
#include "core/nk_math.h"
#include "core/nk_ray.h"
#include "core/nk_view_state.h"
#include "render/nk_camera.h"
#include "render/nk_lights.h"
#include "render/nk_primitives.h"
#include "render/nk_projection.h"
#include "tools/nk_picking.h"

ManipulatorList *g_pManipulatorList = nullptr;

namespace {

constexpr float kNoHit = 1e12f;

void ToDouble16(const float *pfIn, double *pdOut)
{
    for (int i = 0; i < 16; i++) pdOut[i] = pfIn[i];
}

}  // namespace

// ---- The point handle ---------------------------------------------------------

Manipulator::Manipulator(const char *pszName, const float *pfPosition)
    : m_szName(pszName != nullptr ? pszName : "UNKNOWN")
{
    if (pfPosition != nullptr) {
        NKVec3Copy(m_afPosition, pfPosition);
        NKVec3Copy(m_afStartPosition, pfPosition);
    }
}

Manipulator::~Manipulator()
{
    if (g_pManipulatorList != nullptr) g_pManipulatorList->Remove(this);
}

bool Manipulator::BeginDrag()
{
    NKVec3Copy(m_afStartPosition, m_afPosition);
    m_bDragging = 1;
    BeginHandleDrags(nullptr, nullptr, nullptr, nullptr);
    return true;
}

bool Manipulator::BeginDrag(const NKInputState *pMouse, const float *pfModelView,
                            const float *pfProjection, const int *piViewport)
{
    if (pMouse == nullptr || piViewport == nullptr) return false;
    m_iViewportWidth = piViewport[2];
    m_iViewportHeight = piViewport[3];
    m_iStartMouseX = m_iLastMouseX = pMouse->iX;
    m_iStartMouseY = m_iLastMouseY = pMouse->iY;
    NKVec3Copy(m_afStartPosition, m_afPosition);
    m_bDragging = 1;
    BeginHandleDrags(pMouse, pfModelView, pfProjection, piViewport);
    return true;
}

void Manipulator::Transform(const float *pfMatrix)
{
    if (pfMatrix == nullptr) return;
    NKTransformPoint(pfMatrix, m_afPosition);
    SetChanged();
}

// The eye's axes are directions (the inverse's rotation part) and the depth
// is taken at the start position, so a drag depends only on the cursor's
// offset from where it started, however many moves arrive.
bool Manipulator::DragPoint(const NKInputState *pMouse, const float *pfModelView, bool bRelative,
                            const float *pfStart, float *pfOut) const
{
    if (pMouse == nullptr || pfModelView == nullptr || m_iViewportWidth < 1 ||
        m_iViewportHeight < 1)
        return false;
    if (pMouse->uButtons != 1 && pMouse->uButtons != 2) return false;
    float afInverse[16];
    if (!NKInvertMatrix(pfModelView, afInverse)) return false;
    float aafAxes[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (float *pfAxis : aafAxes) {
        NKMat4TransformDirection(afInverse, pfAxis);
        NKVec3Normalize(pfAxis);
    }
    float afEye[3] = {0.0f, 0.0f, 0.0f}, afToEye[3];
    NKTransformPoint(afInverse, afEye);
    NKVec3Difference(afEye, pfStart, afToEye);
    const double d = NKVec3Dot(afToEye, aafAxes[2]);
    const double w = m_iViewportWidth, h = m_iViewportHeight;
    const double dRefX = bRelative ? m_iStartMouseX : w / 2.0;
    const double dRefY = bRelative ? m_iStartMouseY : h / 2.0;
    const double dx = pMouse->iX - dRefX, dy = pMouse->iY - dRefY;
    const double fov = g_fFieldOfViewFactor;
    double adMove[3] = {0.0, 0.0, 0.0};
    if (pMouse->uButtons == 1) {
        adMove[0] = dx / w * 2.0 * (w / h) * fov * d;
        adMove[1] = -(dy / h * 2.0 * fov * d);
    } else {
        adMove[2] = -(dy / h * 2.0 * fov * d);
    }
    for (int k = 0; k < 3; k++)
        pfOut[k] = float(pfStart[k] + adMove[0] * aafAxes[0][k] + adMove[1] * aafAxes[1][k] +
                         adMove[2] * aafAxes[2][k]);
    return true;
}

bool Manipulator::Drag(const NKInputState *pMouse, const float *pfModelView, const float *,
                       const int *, bool bRelative)
{
    float afMoved[3];
    if (!DragPoint(pMouse, pfModelView, bRelative, m_afStartPosition, afMoved)) return false;
    NKVec3Copy(m_afPosition, afMoved);
    m_iLastMouseX = pMouse->iX;
    m_iLastMouseY = pMouse->iY;
    SetChanged();
    return true;
}

bool Manipulator::SetPosition(const float *pfPoint)
{
    if (pfPoint == nullptr) return false;
    NKVec3Copy(m_afPosition, pfPoint);
    NKVec3Copy(m_afStartPosition, pfPoint);
    return true;
}

const float *Manipulator::GetPosition(float *pfOut) const
{
    if (pfOut != nullptr) NKVec3Copy(pfOut, m_afPosition);
    return m_afPosition;
}

float Manipulator::GetHandleRadius() const
{
    if (m_fSizeRelativeToEye == 0.0f) return m_fHandleSize;
    return NKScaleByEyeDistance(m_fHandleSize * m_fSizeRelativeToEye, m_afPosition, nullptr);
}

bool Manipulator::HitTest(const float *pfOrigin, const float *pfDirection, float *pfDistance)
{
    float t = kNoHit;
    const bool bHit = pfOrigin != nullptr && pfDirection != nullptr &&
                      NKRayHitsSphere(m_afPosition, GetHandleRadius(), pfOrigin, pfDirection,
                                      NKPickGrowthFactor, nullptr, &t);
    m_bHighlighted = bHit ? 1 : 0;
    if (bHit && pfDistance != nullptr) *pfDistance = t;
    return bHit;
}

bool Manipulator::Pick(const NKInputState *pMouse, const float *pfModelView,
                       const float *pfProjection, const int *piViewport, float *pfDistance)
{
    if (pMouse == nullptr || pfModelView == nullptr || pfProjection == nullptr ||
        piViewport == nullptr)
        return false;
    double adModelView[16], adProjection[16];
    ToDouble16(pfModelView, adModelView);
    ToDouble16(pfProjection, adProjection);
    float afOrigin[3], afDirection[3];
    if (!NKMouseRay(pMouse->iX, pMouse->iY, piViewport[1] + piViewport[3], adModelView,
                    adProjection, piViewport, afOrigin, afDirection))
        return false;
    return HitTest(afOrigin, afDirection, pfDistance);
}

void Manipulator::ApplyHandleMaterial(bool bHighlighted)
{
    const float c = bHighlighted ? 1.0f : 0.0f;
    const NKGLMaterial material = {
        {1.0f, c, c, 1.0f}, {1.0f, c, c, 1.0f}, {0, 0, 0, 1.0f}, {0, 0, 0, 1.0f}, 0};
    glEnable(GL_LIGHTING);
    NKApplyMaterial(&material);
}

void Manipulator::DrawSphereAt(const float *pfPoint, bool bHighlighted) const
{
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
    ApplyHandleMaterial(bHighlighted);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(pfPoint[0], pfPoint[1], pfPoint[2]);
    float fRadius = m_fHandleSize;
    if (m_fSizeRelativeToEye != 0.0f)
        fRadius = NKScaleByEyeDistance(m_fHandleSize * m_fSizeRelativeToEye, pfPoint, nullptr);
    NKDrawSphereGlyph(fRadius, 10, true);
    glPopMatrix();
    glPopAttrib();
}

void Manipulator::Draw() { DrawSphereAt(m_afPosition, m_bHighlighted != 0); }

unsigned Manipulator::HandleAttribBits()
{
    return GL_ENABLE_BIT | GL_LINE_BIT | GL_POINT_BIT | GL_LIGHTING_BIT | GL_CURRENT_BIT |
           GL_TRANSFORM_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_POLYGON_BIT;
}

void Manipulator::SetOutlineStyle(bool bHighlighted)
{
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);
    if (bHighlighted) {
        glDisable(GL_LINE_STIPPLE);
        glLineWidth(2.0f);
    } else {
        glEnable(GL_LINE_STIPPLE);
        glLineStipple(1, 0xAAAA);
        glLineWidth(1.0f);
    }
}

// ---- The list -------------------------------------------------------------------

bool ManipulatorList::Add(Manipulator *pManipulator)
{
    if (pManipulator == nullptr || m_iCount >= kMaxEntries || IndexOf(pManipulator) >= 0)
        return false;
    m_apEntries[m_iCount++] = pManipulator;
    return true;
}

bool ManipulatorList::Remove(Manipulator *pManipulator)
{
    const int i = IndexOf(pManipulator);
    if (i < 0) return false;
    for (int k = i; k < m_iCount - 1; k++) m_apEntries[k] = m_apEntries[k + 1];
    m_apEntries[--m_iCount] = nullptr;
    if (i == m_iCurrent) {
        ResetPick();
    } else if (i < m_iCurrent) {
        m_iCurrent--;  // the current entry moved down with the gap
    }
    return true;
}

int ManipulatorList::IndexOf(const Manipulator *pManipulator) const
{
    for (int i = 0; i < m_iCount; i++)
        if (m_apEntries[i] == pManipulator) return i;
    return -1;
}

Manipulator *ManipulatorList::Get(int iIndex) const
{
    if (iIndex == -1) iIndex = m_iCurrent;
    return iIndex >= 0 && iIndex < m_iCount ? m_apEntries[iIndex] : nullptr;
}

void ManipulatorList::ResetPick()
{
    for (int i = 0; i < m_iCount; i++) m_apEntries[i]->SetHighlighted(false);
    m_iCurrent = -1;
    m_fNearest = kNoHit;
}

bool ManipulatorList::SetCurrent(Manipulator *pManipulator, float fDistance)
{
    const int i = IndexOf(pManipulator);
    if (i < 0) return false;
    ResetPick();
    m_iCurrent = i;
    m_fNearest = fDistance;
    pManipulator->SetHighlighted(true);
    return true;
}

bool ManipulatorList::Pick(const float *pfOrigin, const float *pfDirection, float *pfNearest,
                           int iGroup)
{
    bool bAny = false;
    for (int i = 0; i < m_iCount; i++) {
        Manipulator *p = m_apEntries[i];
        if (!p->IsEnabled() || (iGroup != -1 && p->GetGroup() != iGroup)) continue;
        float t = kNoHit;
        if (!p->HitTest(pfOrigin, pfDirection, &t)) continue;
        bAny = true;
        if (t < m_fNearest) {
            Manipulator *pOld = Get(-1);
            if (pOld != nullptr) pOld->SetHighlighted(false);
            m_iCurrent = i;
            m_fNearest = t;
        } else {
            p->SetHighlighted(false);
        }
    }
    if (pfNearest != nullptr) *pfNearest = m_fNearest;
    return bAny;
}

Manipulator *ManipulatorList::Current(int iGroup, bool bEnabledOnly) const
{
    Manipulator *p = Get(-1);
    if (p == nullptr || (bEnabledOnly && !p->IsEnabled())) return nullptr;
    return iGroup == -1 || p->GetGroup() == iGroup ? p : nullptr;
}

bool ManipulatorList::BeginDrag(const NKInputState *pMouse, const float *pfModelView,
                                const float *pfProjection, const int *piViewport, int iGroup)
{
    Manipulator *p = Current(iGroup, true);
    return p != nullptr && p->BeginDrag(pMouse, pfModelView, pfProjection, piViewport);
}

bool ManipulatorList::Drag(const NKInputState *pMouse, const float *pfModelView,
                           const float *pfProjection, const int *piViewport, int iGroup,
                           bool bRelative)
{
    Manipulator *p = Current(iGroup, true);
    return p != nullptr && p->Drag(pMouse, pfModelView, pfProjection, piViewport, bRelative);
}

void ManipulatorList::EndDrag()
{
    for (int i = 0; i < m_iCount; i++) m_apEntries[i]->EndDrag();
}

bool ManipulatorList::Click(const float *pfOrigin, const float *pfDirection, int iGroup)
{
    Manipulator *p = Current(iGroup, false);
    return p != nullptr && p->Click(pfOrigin, pfDirection);
}

bool ManipulatorList::DrawAll(int iGroup)
{
    for (int i = 0; i < m_iCount; i++) {
        Manipulator *p = m_apEntries[i];
        if (p->IsEnabled() && (iGroup == -1 || p->GetGroup() == iGroup)) p->Draw();
    }
    return true;
}

// ---- Placement and rotation helpers ------------------------------------------------

void NKGetDefaultManipulatorCenter(float *pfOut, bool bToModel)
{
    if (pfOut == nullptr) return;
    NKVec3Zero(pfOut);
    if (bToModel) DisplayToModel(pfOut);
}

void NKGetDefaultManipulatorHalfSize(float *pfOut, bool bToModel)
{
    if (pfOut == nullptr) return;
    NKVec3Set(pfOut, 0.2f, 0.2f, 0.2f);
    if (bToModel) DisplayToModelVector(pfOut);
}

void NKGetDefaultManipulatorBox(float *pfBox, bool bToModel)
{
    if (pfBox == nullptr) return;
    float afCenter[3], afHalf[3];
    NKGetDefaultManipulatorCenter(afCenter, bToModel);
    NKGetDefaultManipulatorHalfSize(afHalf, bToModel);
    for (int k = 0; k < 3; k++) {
        pfBox[k] = afCenter[k] - afHalf[k];
        pfBox[3 + k] = afCenter[k] + afHalf[k];
    }
}

void NKConstrainRotationToZ(float *pfMatrix, bool bKeepTranslation)
{
    if (pfMatrix == nullptr) return;
    const double x = pfMatrix[0], y = pfMatrix[1];
    const double dLength = std::sqrt(x * x + y * y);
    // An x axis turned onto the z axis leaves no heading: no turn at all.
    double c = 1.0, s = 0.0;
    if (dLength >= 1e-6) {
        c = x / dLength;
        s = y / dLength;
    }
    float afTranslation[3] = {pfMatrix[12], pfMatrix[13], pfMatrix[14]};
    if (!bKeepTranslation) NKVec3Zero(afTranslation);
    const float afRotation[16] = {float(c), float(s), 0, 0, float(-s), float(c), 0, 0,
                                  0,        0,        1, 0, 0,         0,        0, 1};
    NKMat4Copy(pfMatrix, afRotation);
    for (int k = 0; k < 3; k++) pfMatrix[12 + k] = afTranslation[k];
}

bool NKComputeDragRotation(const NKInputState *pMouse, int iLastX, int iLastY,
                           const float *pfCenter, const float *pfModelView,
                           const float *pfProjection, const int *piViewport, float *pfMatrix)
{
    if (pMouse == nullptr || pfCenter == nullptr || pfModelView == nullptr ||
        pfProjection == nullptr || piViewport == nullptr || pfMatrix == nullptr ||
        piViewport[2] < 1 || piViewport[3] < 1)
        return false;
    double adModelView[16], adProjection[16];
    ToDouble16(pfModelView, adModelView);
    ToDouble16(pfProjection, adProjection);
    int iCx = 0, iCy = 0;
    if (!NKProjectToWindow(pfCenter, adModelView, adProjection, piViewport, &iCx, &iCy, nullptr))
        return false;
    // Mouse rows count downwards, window rows upwards.
    const int iTop = piViewport[1] + piViewport[3] - 1;
    auto Normalised = [&](int x, int y, float *pfX, float *pfY) {
        *pfX = std::fmax(-1.0f, std::fmin(1.0f, float(x - iCx) * 2.0f / float(piViewport[2])));
        *pfY = std::fmax(-1.0f,
                         std::fmin(1.0f, float((iTop - y) - iCy) * 2.0f / float(piViewport[3])));
    };
    float x1, y1, x2, y2;
    Normalised(iLastX, iLastY, &x1, &y1);
    Normalised(pMouse->iX, pMouse->iY, &x2, &y2);
    float afQuat[4];
    NKTrackball(afQuat, x1, y1, x2, y2, pfModelView, pMouse, pfCenter);
    NKQuaternionToMatrix(afQuat, pfMatrix);
    return true;
}
