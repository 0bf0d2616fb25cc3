// tools/nk_legend_box.cpp -- the 3-D legend box (see nk_legend_box.h).
#include "tools/nk_legend_box.h"

#include <GL/gl.h>

#include <cmath>

#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_oriented_box.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_legend.h"
#include "render/nk_node_colors.h"
#include "render/nk_text_list.h"
#include "tools/nk_manipulator.h"

namespace {

// Corners of the box's vertical edges: bottom corner i (0 to 3, around the
// bottom face) rises to corner i + 4 (see nk_oriented_box.h).
struct LegendBox {
    float c[8][3];
    // The point at height fraction t on the vertical edge of bottom corner i.
    void At(int i, float t, float *pfOut) const
    {
        for (int k = 0; k < 3; k++) pfOut[k] = c[i][k] + t * (c[i + 4][k] - c[i][k]);
    }
    void Vertex(int i, float t) const
    {
        float p[3];
        At(i, t, p);
        glVertex3fv(p);
    }
};

// The four side faces between heights t0 and t1.
void SideBand(const LegendBox &box, float t0, float t1, const uint8_t *c0, const uint8_t *c1,
              bool bTexture)
{
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; i++) {
        const int j = (i + 1) % 4;
        if (bTexture)
            glTexCoord1f(t0);
        else
            glColor3ubv(c0);
        box.Vertex(i, t0);
        box.Vertex(j, t0);
        if (bTexture)
            glTexCoord1f(t1);
        else
            glColor3ubv(c1);
        box.Vertex(j, t1);
        box.Vertex(i, t1);
    }
    glEnd();
}

// The bottom (t 0) or top (t 1) face.
void EndFace(const LegendBox &box, float t, const uint8_t *c, bool bTexture)
{
    if (bTexture)
        glTexCoord1f(t);
    else
        glColor3ubv(c);
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; i++) box.Vertex(t < 0.5f ? 3 - i : i, t);
    glEnd();
}

void DrawFaces(const LegendBox &box, bool bTexture)
{
    if (bTexture) {
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        NKEnableFringeTexture(true);
        glColor3ub(255, 255, 255);
    }
    for (int s = 0; s < 4; s++)
        SideBand(box, 0.25f * s, 0.25f * (s + 1), NKFringeColors[s], NKFringeColors[s + 1],
                 bTexture);
    EndFace(box, 0.0f, NKFringeColors[0], bTexture);
    EndFace(box, 1.0f, NKFringeColors[4], bTexture);
    if (bTexture) NKEnableFringeTexture(false);
}

// A tick out of the right face's front edge (bottom corner 1) at height t,
// a quarter of the box's width long, with its label beyond it.
void Tick(const LegendBox &box, float t, float v)
{
    float a[3], b[3], c[3];
    box.At(1, t, a);
    box.At(0, t, b);
    for (int k = 0; k < 3; k++) {
        const float d = a[k] - b[k];
        c[k] = a[k] + 0.25f * d;
        b[k] = a[k] + 0.35f * d;
    }
    glBegin(GL_LINES);
    glVertex3fv(a);
    glVertex3fv(c);
    glEnd();
    char szText[80];
    NKFormatLegendValue(v, szText, "");
    NKDrawText3D(12, b[0], b[1], b[2], 255, 255, 255, szText);
}

void DrawTicks(const LegendBox &box)
{
    if (g_pModel == nullptr) return;
    const double from = g_pModel->fFringeRangeFrom, to = g_pModel->fFringeRangeTo;
    const double R = to - from;
    if (!(R > 0.0)) return;
    glColor3ub(255, 255, 255);
    const std::vector<double> values = NKLegendTickValues(from, to, NKLegendMaxTicks);
    for (double v : values) Tick(box, static_cast<float>((v - from) / R), static_cast<float>(v));
    // The ends always, unless the step rule labelled that value already.
    for (double v : {from, to}) {
        bool bDone = false;
        for (double w : values) bDone = bDone || std::fabs(w - v) <= 1e-6 * R;
        if (!bDone) Tick(box, static_cast<float>((v - from) / R), static_cast<float>(v));
    }
}

void DrawOutline(const LegendBox &box)
{
    glColor3ub(255, 255, 255);
    glBegin(GL_LINES);
    for (int i = 0; i < 4; i++) {
        const int j = (i + 1) % 4;
        for (int e : {0, 4}) {
            glVertex3fv(box.c[i + e]);
            glVertex3fv(box.c[j + e]);
        }
        glVertex3fv(box.c[i]);
        glVertex3fv(box.c[i + 4]);
    }
    glEnd();
}

}  // namespace

void NKDraw3DLegend(BoxManipulator *pBox)
{
    if (pBox == nullptr || !pBox->IsEnabled()) return;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -2.0f);
    // A listed handle has just been drawn with the list's group 2.
    if (g_pManipulatorList == nullptr || g_pManipulatorList->IndexOf(pBox) < 0) pBox->Draw();
    LegendBox box;
    pBox->GetOrientedBox()->GetCorners(box.c, nullptr, nullptr);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT | GL_TEXTURE_BIT |
                 GL_COLOR_BUFFER_BIT | GL_LINE_BIT);
    glDisable(GL_LIGHTING);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_BLEND);
    DrawFaces(box, NKTextureFringesOn());
    DrawTicks(box);
    DrawOutline(box);
    glPopAttrib();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}
