// tools/nk_line_draw.cpp -- GL drawing of the line objects of a LineSetList
// (see nk_line_sets.h): plain lines in one GL_LINES batch plus one strip per
// polyline, or lit cylinders with a tessellation level per point. The
// cylinder and marker routines are those of render/nk_primitives.h.
#include <GL/gl.h>

#include <vector>

#include "core/nk_graphics_settings.h"
#include "render/nk_camera.h"
#include "render/nk_primitives.h"
#include "tools/nk_line_sets.h"

namespace {

const float kRed[3] = {1.0f, 0.0f, 0.0f};

// Indices 0, k, 2k ... below the last point, then the last point.
template <typename Fn>
void ForSkippedPoints(int n, int k, Fn fn)
{
    if (n < 1) return;
    if (k < 1) k = 1;
    for (int i = 0; i < n - 1; i += k) fn(i);
    fn(n - 1);
}

void SetupLineState(int iWidth, bool bSmooth)
{
    glDisable(GL_LIGHTING);
    glLineWidth(float(iWidth));
    if (bSmooth) {
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
}

}  // namespace

void LineSetList::Draw(const NKGraphicsSettings *pSettings)
{
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT |
                 GL_LIGHTING_BIT | GL_DEPTH_BUFFER_BIT);
    if (m_bCylinders)
        DrawCylinders(pSettings);
    else
        DrawPlain(pSettings);
    glPopAttrib();
}

void LineSetList::DrawPlain(const NKGraphicsSettings *pSettings)
{
    SetupLineState(m_iLineWidth, pSettings != nullptr && pSettings->bLineSmooth);
    glBegin(GL_LINES);
    for (int o = 0; o < m_iCount; o++) {
        const LineSet *p = m_ppObjects[o];
        if (p->GetNumPoints() != 2) continue;
        glColor3ubv(p->m_ucColor);
        glVertex3fv(p->GetPoint(0));
        glVertex3fv(p->GetPoint(1));
    }
    glEnd();
    for (int o = 0; o < m_iCount; o++) {
        const LineSet *p = m_ppObjects[o];
        if (p->GetNumPoints() <= 2) continue;
        glColor3ubv(p->m_ucColor);
        glBegin(GL_LINE_STRIP);
        ForSkippedPoints(p->GetNumPoints(), m_iSkipRate,
                         [&](int i) { glVertex3fv(p->GetPoint(i)); });
        glEnd();
    }
    DrawHighlight(false);
}

// Pieces whose start point has level 1 are left to plain strips at the end.
void LineSetList::DrawCylinders(const NKGraphicsSettings *pSettings)
{
    bool bSmooth = pSettings != nullptr && pSettings->bLineSmooth;
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    glShadeModel(bSmooth ? GL_SMOOTH : GL_FLAT);
    float fRadius = m_fCylinderSize / 2.0f;
    for (int o = 0; o < m_iCount; o++) {
        const LineSet *p = m_ppObjects[o];
        float c[3] = {p->m_ucColor[0] / 255.0f, p->m_ucColor[1] / 255.0f, p->m_ucColor[2] / 255.0f};
        for (int i = 0; i + 1 < p->GetNumPoints(); i++) {
            int iLevel = m_bAutoDetail ? p->m_pucDetail[i] : 10;
            if (m_bAutoDetail && iLevel < 2) continue;
            NKDrawCylinderBetweenPoints(p->GetPoint(i), p->GetPoint(i + 1), fRadius, bSmooth,
                                        iLevel, 1.0f, c, c,
                                        m_bSpheres ? NK_CAP_SPHERE : NK_CAP_NONE, NK_CAP_NONE);
        }
    }
    DrawHighlight(true);
    if (!m_bAutoDetail) return;
    SetupLineState(m_iLineWidth, bSmooth);
    for (int o = 0; o < m_iCount; o++) {
        const LineSet *p = m_ppObjects[o];
        glColor3ubv(p->m_ucColor);
        bool bOpen = false;
        for (int i = 0; i + 1 < p->GetNumPoints(); i++) {
            bool bThin = p->m_pucDetail[i] < 2;
            if (bThin && !bOpen) {
                glBegin(GL_LINE_STRIP);
                glVertex3fv(p->GetPoint(i));
                bOpen = true;
            }
            if (bThin) glVertex3fv(p->GetPoint(i + 1));
            if (!bThin && bOpen) {
                glEnd();
                bOpen = false;
            }
        }
        if (bOpen) glEnd();
    }
}

// The picked piece in red and a marker at the picked point, over the model.
void LineSetList::DrawHighlight(bool bCylinders)
{
    if (!m_bShowPicked || m_iPickObject < 0 || m_iPickObject >= m_iCount) return;
    const LineSet *p = m_ppObjects[m_iPickObject];
    if (m_iPickPiece + 1 >= p->GetNumPoints()) return;
    glDisable(GL_DEPTH_TEST);
    const float *a = p->GetPoint(m_iPickPiece);
    const float *b = p->GetPoint(m_iPickPiece + 1);
    if (bCylinders) {
        float r = 1.5f * m_fCylinderSize / 2.0f;
        NKDrawCylinderBetweenPoints(a, b, r, true, 10, 1.0f, kRed, kRed, NK_CAP_NONE, NK_CAP_NONE);
        const float *q = p->GetPoint(m_iPickPoint);
        glPushMatrix();
        glTranslatef(q[0], q[1], q[2]);
        NKDrawSphereGlyph(1.5f * r, 10, true);
        glPopMatrix();
    } else {
        glLineWidth(2.0f * m_iLineWidth);
        glColor3fv(kRed);
        glBegin(GL_LINES);
        glVertex3fv(a);
        glVertex3fv(b);
        glEnd();
    }
    const uint8_t red[3] = {255, 0, 0};
    NKDrawScreenSizedSpheres(p->GetPoint(m_iPickPoint), 1, 0.005f, true, nullptr, red);
    glEnable(GL_DEPTH_TEST);
}

void NKDrawLineSets(void)
{
    if (g_pLineSetList == nullptr || !g_pLineSetList->m_bShown) return;
    float afEye[3];
    if (NKGetEyePoint(afEye)) g_pLineSetList->UpdateCylinderDetail(afEye);
    g_pLineSetList->Draw(g_pGraphicsSettings);
}
