// tools/nk_manipulator_ruler.cpp -- the ruler and grid-box handles and the
// program's own handles: the ruler, the 3-D legend's box, the vectors'
// filter box and the switch that offers the tools' handles (see
// nk_manipulator.h).
#include <GL/gl.h>

#include <cmath>

#include "core/nk_bbox.h"
#include "core/nk_math.h"
#include "core/nk_oriented_box.h"
#include "core/nk_ray.h"
#include "render/nk_camera.h"
#include "render/nk_fringe_commands.h"
#include "render/nk_gl_scope.h"
#include "render/nk_part_overlays.h"
#include "render/nk_primitives.h"
#include "render/nk_projection.h"
#include "render/nk_text3d.h"
#include "render/nk_vector_commands.h"
#include "tools/nk_manipulator.h"

RulerManipulator *g_pRuler = nullptr;
BoxManipulator *g_pLegendBox = nullptr;

namespace {

constexpr float kNoHit = 1e12f;

uint8_t sg_bManipulatorsEnabled = 0;
BoxManipulator *sg_pVectorFilterBox = nullptr;

// m = T(p) m T(-p): the transformation about p instead of the origin.
void AboutPoint(const float *pfPoint, float *pfMatrix)
{
    float afTurned[3] = {pfPoint[0], pfPoint[1], pfPoint[2]};
    NKMat4TransformDirection(pfMatrix, afTurned);
    for (int k = 0; k < 3; k++) pfMatrix[12 + k] += pfPoint[k] - afTurned[k];
}

void Midpoint(const float *a, const float *b, float *pfOut)
{
    for (int k = 0; k < 3; k++) pfOut[k] = 0.5f * (a[k] + b[k]);
}

const float kEnd1[3] = {-0.1f, 0.0f, 0.0f};
const float kEnd2[3] = {0.1f, 0.0f, 0.0f};

}  // namespace

// ---- Ruler ------------------------------------------------------------------------------

RulerManipulator::RulerManipulator(const char *pszName)
    : Manipulator(pszName), m_EndPoint1("3D Ruler EndPt1", kEnd1),
      m_EndPoint2("3D Ruler EndPt2", kEnd2)
{
    CenterOnEnds();
    NKVec3Copy(m_afStartPosition, m_afPosition);
}

void RulerManipulator::CenterOnEnds()
{
    Midpoint(m_EndPoint1.GetPosition(), m_EndPoint2.GetPosition(), m_afPosition);
}

void RulerManipulator::GetEndPoints(float *pfP1, float *pfP2) const
{
    if (pfP1 != nullptr) m_EndPoint1.GetPosition(pfP1);
    if (pfP2 != nullptr) m_EndPoint2.GetPosition(pfP2);
}

bool RulerManipulator::SetEndPoints(const float *pfP1, const float *pfP2)
{
    if (pfP1 == nullptr) return false;
    if (pfP2 != nullptr) {
        m_EndPoint1.SetPosition(pfP1);
        m_EndPoint2.SetPosition(pfP2);
    } else {
        float afShift[3], afP[3];
        NKVec3Difference(pfP1, m_afPosition, afShift);
        Manipulator *apEnds[2] = {&m_EndPoint1, &m_EndPoint2};
        for (Manipulator *pEnd : apEnds) {
            NKVec3Sum(pEnd->GetPosition(), afShift, afP);
            pEnd->SetPosition(afP);
        }
    }
    CenterOnEnds();
    NKVec3Copy(m_afStartPosition, m_afPosition);
    return true;
}

float RulerManipulator::GetLength(bool bToModel, bool bScaled) const
{
    float v[3];
    NKVec3Difference(m_EndPoint2.GetPosition(), m_EndPoint1.GetPosition(), v);
    if (bToModel) DisplayToModelVector(v);
    double d = NKVec3Length(v);
    if (bScaled) d *= m_fScale;
    return float(d);
}

// A highlighted end follows the mouse; the other ends move with the ruler.
void RulerManipulator::BeginHandleDrags(const NKInputState *pMouse, const float *pfModelView,
                                        const float *pfProjection, const int *piViewport)
{
    Manipulator *apEnds[2] = {&m_EndPoint1, &m_EndPoint2};
    for (Manipulator *pEnd : apEnds) {
        if (pMouse != nullptr && pEnd->IsHighlighted())
            pEnd->BeginDrag(pMouse, pfModelView, pfProjection, piViewport);
        else
            pEnd->BeginDrag();
    }
}

bool RulerManipulator::HitTest(const float *pfOrigin, const float *pfDirection, float *pfDistance)
{
    m_bHighlighted = 0;
    if (pfOrigin == nullptr || pfDirection == nullptr) return false;
    float t1 = kNoHit, t2 = kNoHit, tLine = kNoHit;
    const bool b1 = m_EndPoint1.HitTest(pfOrigin, pfDirection, &t1);
    const bool b2 = m_EndPoint2.HitTest(pfOrigin, pfDirection, &t2);
    if (b1 && b2) (t2 < t1 ? m_EndPoint1 : m_EndPoint2).SetHighlighted(false);
    float fNearest = std::fmin(b1 ? t1 : kNoHit, b2 ? t2 : kNoHit);
    const bool bLine = NKRayHitsSegment(m_EndPoint1.GetPosition(), m_EndPoint2.GetPosition(), 0.05f,
                                        pfOrigin, pfDirection, 0.005f, nullptr, &tLine);
    if (bLine && tLine < fNearest) {
        // The line nearer than either end: the whole ruler is grabbed.
        m_EndPoint1.SetHighlighted(false);
        m_EndPoint2.SetHighlighted(false);
        fNearest = tLine;
    }
    m_bHighlighted = (b1 || b2 || bLine) ? 1 : 0;
    if (m_bHighlighted && pfDistance != nullptr) *pfDistance = fNearest;
    return m_bHighlighted != 0;
}

bool RulerManipulator::Drag(const NKInputState *pMouse, const float *pfModelView,
                            const float *pfProjection, const int *piViewport, bool bRelative)
{
    if (pMouse == nullptr || m_iViewportWidth < 1 || m_iViewportHeight < 1) return false;
    Manipulator *apEnds[2] = {&m_EndPoint1, &m_EndPoint2};
    if (pMouse->uButtons == 3) {
        float afMatrix[16];
        if (!NKComputeDragRotation(pMouse, m_iLastMouseX, m_iLastMouseY, m_afPosition, pfModelView,
                                   pfProjection, piViewport, afMatrix))
            return false;
        AboutPoint(m_afPosition, afMatrix);
        for (Manipulator *pEnd : apEnds) {
            float afP[3];
            pEnd->GetPosition(afP);
            NKTransformPoint(afMatrix, afP);
            pEnd->SetPosition(afP);
        }
    } else if (!m_EndPoint1.IsHighlighted() && !m_EndPoint2.IsHighlighted()) {
        float afMoved[3], afShift[3];
        if (!DragPoint(pMouse, pfModelView, bRelative, m_afStartPosition, afMoved)) return false;
        NKVec3Difference(afMoved, m_afPosition, afShift);
        for (Manipulator *pEnd : apEnds) {
            float afP[3];
            NKVec3Sum(pEnd->GetPosition(), afShift, afP);
            pEnd->SetPosition(afP);
        }
        NKVec3Copy(m_afPosition, afMoved);
    } else {
        bool bMoved = false;
        for (Manipulator *pEnd : apEnds)
            if (pEnd->IsHighlighted())
                bMoved |= pEnd->Drag(pMouse, pfModelView, pfProjection, piViewport, bRelative);
        if (!bMoved) return false;
        CenterOnEnds();
    }
    m_iLastMouseX = pMouse->iX;
    m_iLastMouseY = pMouse->iY;
    SetChanged();
    return true;
}

void RulerManipulator::Transform(const float *pfMatrix)
{
    if (pfMatrix == nullptr) return;
    Manipulator *apEnds[2] = {&m_EndPoint1, &m_EndPoint2};
    if (!m_EndPoint1.IsHighlighted() && !m_EndPoint2.IsHighlighted()) {
        float afOffsets[2][3];
        for (int i = 0; i < 2; i++) {
            NKVec3Difference(apEnds[i]->GetPosition(), m_afPosition, afOffsets[i]);
            NKMat4TransformDirection(pfMatrix, afOffsets[i]);
        }
        NKTransformPoint(pfMatrix, m_afPosition);
        for (int i = 0; i < 2; i++) {
            float afP[3];
            NKVec3Sum(m_afPosition, afOffsets[i], afP);
            apEnds[i]->SetPosition(afP);
        }
    } else {
        for (Manipulator *pEnd : apEnds)
            if (pEnd->IsHighlighted()) {
                float afP[3];
                pEnd->GetPosition(afP);
                NKTransformPoint(pfMatrix, afP);
                pEnd->SetPosition(afP);
            }
        CenterOnEnds();
    }
    SetChanged();
}

void RulerManipulator::Draw()
{
    m_EndPoint1.Draw();
    m_EndPoint2.Draw();
    const NKAttribScope attribs(HandleAttribBits());
    SetOutlineStyle(m_bHighlighted != 0);
    glBegin(GL_LINES);
    glVertex3fv(m_EndPoint1.GetPosition());
    glVertex3fv(m_EndPoint2.GetPosition());
    glEnd();
    // The length in model units, scaled, with the unit, as solid text at the
    // midpoint, 0.02 high at unit eye distance.
    const NKString label =
        NKString::FromFormat("%g%s", (double)GetLength(true, true), m_szUnit.GetText());
    glPushMatrix();
    glTranslatef(m_afPosition[0], m_afPosition[1], m_afPosition[2]);
    const float fHeight = NKScaleByEyeDistance(0.02f, m_afPosition, nullptr);
    glScalef(fHeight, fHeight, fHeight);
    NKDrawText3DString(label.GetText(), true, -1.0f);
    glPopMatrix();
}

// ---- Grid box -----------------------------------------------------------------------------

GridBoxManipulator::GridBoxManipulator(const char *pszName) : BoxManipulator(pszName)
{
    m_bDrawFaces = 0;
}

void GridBoxManipulator::SetCounts(int nx, int ny, int nz)
{
    const int ai[3] = {nx, ny, nz};
    for (int k = 0; k < 3; k++)
        if (ai[k] > 0) m_aiCounts[k] = ai[k];
}

int GridBoxManipulator::GetCounts(int *pnx, int *pny, int *pnz) const
{
    if (pnx != nullptr) *pnx = m_aiCounts[0];
    if (pny != nullptr) *pny = m_aiCounts[1];
    if (pnz != nullptr) *pnz = m_aiCounts[2];
    return m_aiCounts[0] * m_aiCounts[1] * m_aiCounts[2];
}

bool GridBoxManipulator::HitTest(const float *pfOrigin, const float *pfDirection, float *pfDistance)
{
    if (m_bBoxMode) return BoxManipulator::HitTest(pfOrigin, pfDirection, pfDistance);
    m_iGrabbedCorner = -1;
    return Manipulator::HitTest(pfOrigin, pfDirection, pfDistance);
}

void GridBoxManipulator::Draw()
{
    const NKAttribScope attribs(HandleAttribBits());
    glDisable(GL_LIGHTING);
    glPointSize(3.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    if (m_bBoxMode) {
        NKDrawGridPoints(m_pBox, m_aiCounts[0], m_aiCounts[1], m_aiCounts[2]);
        BoxManipulator::Draw();
    } else {
        glBegin(GL_POINTS);
        glVertex3fv(m_afPosition);
        glEnd();
    }
}

// ---- The program's handles ------------------------------------------------------------------

void NKShowLegendManipulator(bool bOn)
{
    if (g_pLegendBox == nullptr) return;
    if (bOn) {
        const float afBox[6] = {-1.0f, -0.3f, -0.05f, -0.9f, 0.3f, 0.05f};
        g_pLegendBox->SetBox(afBox);
        g_pLegendBox->SetEnabled(true);
        g_pLegendBox->SetGroup(2);
        if (g_pManipulatorList != nullptr) g_pManipulatorList->Add(g_pLegendBox);
    } else {
        g_pLegendBox->SetEnabled(false);
        if (g_pManipulatorList != nullptr) g_pManipulatorList->Remove(g_pLegendBox);
    }
}

BoxManipulator *NKGetVectorFilterBox(void) { return sg_pVectorFilterBox; }

bool NKCreateVectorFilterBox(void)
{
    if (sg_pVectorFilterBox == nullptr) {
        sg_pVectorFilterBox = new BoxManipulator("Filter Box");
        sg_pVectorFilterBox->SetGroup(1);
    }
    g_pVectorFilterBox = sg_pVectorFilterBox->GetOrientedBoxPointer();
    return true;
}

void NKDestroyVectorFilterBox(void)
{
    g_pVectorFilterBox = nullptr;
    delete sg_pVectorFilterBox;
    sg_pVectorFilterBox = nullptr;
}

bool NKAreManipulatorsEnabled(void) { return sg_bManipulatorsEnabled != 0; }
void NKSetManipulatorsEnabled(bool bOn) { sg_bManipulatorsEnabled = bOn ? 1 : 0; }

namespace {

// legend and nolegend: the 3-D legend's handle follows while the handles
// are offered.
void FollowLegendSwitch(bool bOn)
{
    if (NKAreManipulatorsEnabled()) NKShowLegendManipulator(bOn);
}

// vectors boxfilter / noboxfilter: the filter box is fitted to the default
// handle box, enabled and listed / unlisted and disabled.
void FollowVectorBoxFilter(bool bOn)
{
    if (sg_pVectorFilterBox == nullptr && !NKCreateVectorFilterBox()) return;
    if (bOn) {
        float afBox[6];
        NKGetDefaultManipulatorBox(afBox, false);
        sg_pVectorFilterBox->SetBox(afBox);
        sg_pVectorFilterBox->SetEnabled(true);
        if (g_pManipulatorList != nullptr) g_pManipulatorList->Add(sg_pVectorFilterBox);
    } else {
        if (g_pManipulatorList != nullptr) g_pManipulatorList->Remove(sg_pVectorFilterBox);
        sg_pVectorFilterBox->SetEnabled(false);
    }
}

}  // namespace

void NKInstallManipulatorHooks(void)
{
    g_pfnFollowLegendSwitch = FollowLegendSwitch;
    NKSetVectorFilterBoxHook(FollowVectorBoxFilter);
}
