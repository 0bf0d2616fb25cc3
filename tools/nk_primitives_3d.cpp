// tools/nk_primitives_3d.cpp -- the 3-D primitives, their tree lists and the
// body of the primitive commands (see nk_primitives_3d.h). Drawing uses GLU
// quadrics; the command handler that parses the keyword and the part number
// is in nk_annotation_commands.cpp.
#include "tools/nk_primitives_3d.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "commands/nk_command_params.h"
#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_tool_state.h"

namespace {

// The running numbers of the names; they run from program start to exit.
int sg_iPrimCounter = 0;
int sg_iCylCounter = 0;
int sg_iSphereCounter = 0;

constexpr double kRadToDeg = 57.29577951308232;

void Normalize(float *v)
{
    double l = std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]);
    if (l <= 0.0) return;
    for (int i = 0; i < 3; i++) v[i] = float(v[i] / l);
}

// Sets the caller-independent state of one primitive's drawing; the quadrics
// take the draw style. Returns the GLU draw style to use.
GLenum SetupStyle(int iStyle, const uint8_t *pucColor)
{
    if (iStyle == 0) {
        glEnable(GL_LIGHTING);
        glEnable(GL_COLOR_MATERIAL);
    } else {
        glDisable(GL_LIGHTING);
    }
    glColor3ub(pucColor[0], pucColor[1], pucColor[2]);
    switch (iStyle) {
    case 0:
        return GLU_FILL;
    case 1:
    case 4:
        return GLU_LINE;
    case 2:
        return GLU_POINT;
    default:
        return GLU_SILHOUETTE;
    }
}

}  // namespace

// ---- Primitive3D ---------------------------------------------------------------

Primitive3D::Primitive3D() { m_name = NKString::FromFormat("prim%d", sg_iPrimCounter++); }

// Children and siblings are unlinked and deleted one by one, so that a long
// chain never recurses.
Primitive3D::~Primitive3D()
{
    std::vector<Primitive3D *> stack;
    if (m_pFirstChild != nullptr) stack.push_back(m_pFirstChild);
    if (m_pNextSibling != nullptr) stack.push_back(m_pNextSibling);
    m_pFirstChild = m_pNextSibling = nullptr;
    while (!stack.empty()) {
        Primitive3D *p = stack.back();
        stack.pop_back();
        if (p->m_pFirstChild != nullptr) stack.push_back(p->m_pFirstChild);
        if (p->m_pNextSibling != nullptr) stack.push_back(p->m_pNextSibling);
        p->m_pFirstChild = p->m_pNextSibling = nullptr;
        delete p;
    }
}

void Primitive3D::Draw(int, bool)
{
    NKPrintError(
        NKString::FromFormat("This primitive (%s) has no method to draw itself.", m_name.GetText())
            .GetText());
}

bool Primitive3D::BoundingBox(float *pfBox)
{
    NKPrintError(NKString::FromFormat("This primitive (%s) has no method to get its bounding box.",
                                      m_name.GetText())
                     .GetText());
    if (pfBox != nullptr) {
        for (int i = 0; i < 3; i++) {
            pfBox[i] = 0.0f;
            pfBox[i + 3] = 1.0f;
        }
    }
    return false;
}

// ---- CylinderPrimitive ---------------------------------------------------------

CylinderPrimitive::CylinderPrimitive(const float *pfP1, const float *pfP2, float fRadius)
{
    Setup(pfP1, pfP2, fRadius, fRadius);
    m_iStacks = 1;
}

CylinderPrimitive::CylinderPrimitive(const float *pfP1, const float *pfP2, float fRadius1,
                                     float fRadius2)
{
    Setup(pfP1, pfP2, fRadius1, fRadius2);
    m_iStacks = 20;
}

// The rotation turns +z onto the direction; a degenerate direction is +z.
void CylinderPrimitive::Setup(const float *pfP1, const float *pfP2, float fRadius1, float fRadius2)
{
    float d[3];
    for (int i = 0; i < 3; i++) {
        m_afP1[i] = pfP1[i];
        m_afP2[i] = pfP2[i];
        d[i] = pfP2[i] - pfP1[i];
    }
    m_fRadius1 = fRadius1;
    m_fRadius2 = fRadius2;
    m_fLength = float(std::sqrt(double(d[0]) * d[0] + double(d[1]) * d[1] + double(d[2]) * d[2]));
    if (m_fLength < 1e-6f) {
        d[0] = d[1] = 0.0f;
        d[2] = 1.0f;
    } else {
        Normalize(d);
    }
    double c = d[2] < -1.0f ? -1.0 : (d[2] > 1.0f ? 1.0 : double(d[2]));
    m_fAngle = float(std::acos(c) * kRadToDeg);
    float axis[3] = {-d[1], d[0], 0.0f};  // (0,0,1) x d
    if (axis[0] == 0.0f && axis[1] == 0.0f) {
        axis[0] = 1.0f;
        axis[1] = 0.0f;
    }
    Normalize(axis);
    for (int i = 0; i < 3; i++) m_afAxis[i] = axis[i];
    m_name = NKString::FromFormat("cyl%d", sg_iCylCounter++);
}

void CylinderPrimitive::Draw(int iStyle, bool bKeepState)
{
    GLUquadric *pMantle = gluNewQuadric();
    GLUquadric *pCap = gluNewQuadric();
    if (pMantle != nullptr && pCap != nullptr) {
        if (!bKeepState) {
            GLenum style = SetupStyle(iStyle, m_ucColor);
            gluQuadricDrawStyle(pMantle, style);
            gluQuadricDrawStyle(pCap, style);
            if (iStyle == 0) gluQuadricOrientation(pCap, GLU_INSIDE);
        }
        glPushMatrix();
        glTranslatef(m_afP1[0], m_afP1[1], m_afP1[2]);
        glRotatef(m_fAngle, m_afAxis[0], m_afAxis[1], m_afAxis[2]);
        if (m_fRadius1 > 0.0f) gluDisk(pCap, 0.0, m_fRadius1, m_iSlices, 1);
        gluCylinder(pMantle, m_fRadius1, m_fRadius2, m_fLength, m_iSlices, m_iStacks);
        glTranslatef(0.0f, 0.0f, m_fLength);
        if (m_fRadius2 > 0.0f) gluDisk(pMantle, 0.0, m_fRadius2, m_iSlices, 1);
        glPopMatrix();
        if (!bKeepState) glDisable(GL_COLOR_MATERIAL);
    }
    if (pMantle != nullptr) gluDeleteQuadric(pMantle);
    if (pCap != nullptr) gluDeleteQuadric(pCap);
}

// Per axis, the sine of the angle between the axis and the direction with
// its smaller other component dropped scales the two end radii.
bool CylinderPrimitive::BoundingBox(float *pfBox)
{
    if (pfBox == nullptr) return false;
    float d[3] = {m_afP2[0] - m_afP1[0], m_afP2[1] - m_afP1[1], m_afP2[2] - m_afP1[2]};
    for (int a = 0; a < 3; a++) {
        int b = (a + 1) % 3, c = (a + 2) % 3;
        if (a == 1) {  // for y the components are named x, then z
            b = 0;
            c = 2;
        }
        float h[3] = {d[0], d[1], d[2]};
        if (std::fabs(d[b]) >= std::fabs(d[c]))
            h[c] = 0.0f;
        else
            h[b] = 0.0f;
        if (h[0] == 0.0f && h[1] == 0.0f && h[2] == 0.0f) h[2] = 1.0f;
        Normalize(h);
        double cosA = h[a];
        double s = std::sqrt(std::fmax(0.0, 1.0 - cosA * cosA));
        float r1 = float(m_fRadius1 * s), r2 = float(m_fRadius2 * s);
        pfBox[a] = std::fmin(std::fmin(m_afP1[a] - r1, m_afP1[a] + r1),
                             std::fmin(m_afP2[a] - r2, m_afP2[a] + r2));
        pfBox[a + 3] = std::fmax(std::fmax(m_afP1[a] - r1, m_afP1[a] + r1),
                                 std::fmax(m_afP2[a] - r2, m_afP2[a] + r2));
    }
    return true;
}

// ---- SpherePrimitive -----------------------------------------------------------

SpherePrimitive::SpherePrimitive(const float *pfCenter, float fRadius) : m_fRadius(fRadius)
{
    for (int i = 0; i < 3; i++) m_afCenter[i] = pfCenter[i];
    m_name = NKString::FromFormat("sphere%d", sg_iSphereCounter++);
}

void SpherePrimitive::Draw(int iStyle, bool bKeepState)
{
    GLUquadric *pQuad = gluNewQuadric();
    if (pQuad == nullptr) return;
    if (!bKeepState) gluQuadricDrawStyle(pQuad, SetupStyle(iStyle, m_ucColor));
    glPushMatrix();
    glTranslatef(m_afCenter[0], m_afCenter[1], m_afCenter[2]);
    gluSphere(pQuad, m_fRadius, m_iSlices, m_iStacks);
    glPopMatrix();
    if (!bKeepState) glDisable(GL_COLOR_MATERIAL);
    gluDeleteQuadric(pQuad);
}

bool SpherePrimitive::BoundingBox(float *pfBox)
{
    if (pfBox == nullptr) return false;
    for (int i = 0; i < 3; i++) {
        pfBox[i] = m_afCenter[i] - m_fRadius;
        pfBox[i + 3] = m_afCenter[i] + m_fRadius;
    }
    return true;
}
