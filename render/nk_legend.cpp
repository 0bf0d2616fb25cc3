// render/nk_legend.cpp -- the colour legend, the title block and the axis
// triad (see nk_legend.h). The title block's layout is measured in
// nk_overlays.cpp; the fringe colours and texture come from
// nk_node_colors.h and nk_fringe_texture.h.
#include "render/nk_legend.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/nk_data_source_kind.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "render/nk_camera.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_node_colors.h"
#include "render/nk_overlays.h"
#include "render/nk_primitives.h"
#include "render/nk_text.h"
#include "render/nk_text_list.h"
#include "render/nk_view_settings.h"

int NKLegendMaxTicks = 10;
NKString NKLegendDescription;

namespace {

constexpr float kBarLeft = -0.96f, kBarRight = -0.89f, kBarBottom = -0.8f, kBarTop = 0.8f;
constexpr int kReservoirSource = 9;
// Relative tolerance of the float tick arithmetic.
constexpr double kTolerance = 1e-5;

// For the life of the object: lighting off, both matrices the -1..1 frame
// and lines 1 pixel wide; afterwards the matrices popped, the settings' line
// width back and lighting on.
class Overlay2D {
public:
    Overlay2D() { glLineWidth(1.0f); }
    ~Overlay2D()
    {
        glLineWidth(g_pGraphicsSettings != nullptr
                        ? static_cast<float>(g_pGraphicsSettings->iLineWidth)
                        : 1.0f);
        glEnable(GL_LIGHTING);
    }
    Overlay2D(const Overlay2D &) = delete;
    Overlay2D &operator=(const Overlay2D &) = delete;

private:
    NKScreenFrame m_Frame;
};

bool DepthBufferOn(void) { return g_pGraphicsSettings == nullptr || g_pGraphicsSettings->bZBuffer; }

// A queued text in the text colour at size 12.
void QueueText(float x, float y, const char *pszText)
{
    const uint8_t *c = NKGetTextColor();
    NKAddText(12, x, y, c[0], c[1], c[2], pszText);
}

// One bar: x from x0 to x1, the five colours or the fringe texture.
void DrawBar(float x0, float x1)
{
    if (NKTextureFringesOn()) {
        NKEnableFringeTexture(true);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glColor3ub(255, 255, 255);
        glBegin(GL_QUADS);
        glTexCoord1f(0.0f);
        glVertex3f(x0, kBarBottom, 0.9f);
        glVertex3f(x1, kBarBottom, 0.9f);
        glTexCoord1f(1.0f);
        glVertex3f(x1, kBarTop, 0.9f);
        glVertex3f(x0, kBarTop, 0.9f);
        glEnd();
        NKEnableFringeTexture(false);
        return;
    }
    glBegin(GL_QUAD_STRIP);
    for (int i = 0; i < 5; i++) {
        const float y = kBarBottom + 0.4f * static_cast<float>(i);
        glColor3ubv(NKFringeColors[i]);
        glVertex3f(x0, y, 0.9f);
        glVertex3f(x1, y, 0.9f);
    }
    glEnd();
}

void DrawOutline(float x0, float x1)
{
    glColor3ubv(NKGetTextColor());
    glBegin(GL_LINE_LOOP);
    glVertex3f(x0, kBarBottom, 0.95f);
    glVertex3f(x1, kBarBottom, 0.95f);
    glVertex3f(x1, kBarTop, 0.95f);
    glVertex3f(x0, kBarTop, 0.95f);
    glEnd();
}

// The five ticks and "%11.3e" labels of the second bar (value range 1).
void DrawSecondBarLabels(void)
{
    const NKValueRange &r = g_pModel->valueRanges[1];
    const float R = r.to - r.from;
    glColor3ubv(NKGetTextColor());
    for (int i = 0; i < 5; i++) {
        const float y = kBarBottom + 0.4f * static_cast<float>(i);
        glBegin(GL_LINES);
        glVertex3f(0.87f, y, 0.99f);
        glVertex3f(0.89f, y, 0.99f);
        glEnd();
        char szText[64];
        std::snprintf(szText, sizeof szText, "%11.3e",
                      static_cast<double>(r.from + 0.25f * static_cast<float>(i) * R));
        QueueText(0.7f, y, szText);
    }
}

// Reservoir sets show the legend only for a scalar result with fringes on.
bool ReservoirLegendWanted(NKFrame *pFrame)
{
    if (NKGetInterfaceType() != kReservoirSource) return true;
    if (pFrame->pScalar == nullptr || pFrame->pGeometry == nullptr) return false;
    for (int i = 0; i < pFrame->pGeometry->iNumParts; i++)
        if (pFrame->pGeometry->pParts[i].bFringes) return true;
    return false;
}

}  // namespace

void NKFormatLegendValue(float fValue, char *pszOut, const char *pszUnit)
{
    const char *u = pszUnit != nullptr ? pszUnit : "";
    const double v = static_cast<double>(fValue);
    const bool bShort = v != 0.0 && (std::fabs(v) >= 100000.0 || v <= 0.0001);
    std::sprintf(pszOut, bShort ? "%.3g %s" : "%g %s", v, u);
}

void NKDrawColorLegend(NKFrame *pFrame)
{
    if (pFrame == nullptr || g_pModel == nullptr || !ReservoirLegendWanted(pFrame)) return;
    const bool bDepth = DepthBufferOn();
    if (bDepth) glDisable(GL_DEPTH_TEST);
    {
        Overlay2D overlay;
        glDisable(GL_BLEND);
        glShadeModel(GL_SMOOTH);
        const bool bSecond = pFrame->pExtraScalar[1] != nullptr;
        DrawBar(kBarLeft, kBarRight);
        if (bSecond) DrawBar(-kBarRight, -kBarLeft);
        DrawOutline(kBarLeft, kBarRight);
        if (bSecond) DrawOutline(-kBarRight, -kBarLeft);
        if (g_pViewSettings != nullptr && g_pViewSettings->bShowLegendLabels) {
            NKDrawLegendTicks(pFrame);
            if (bSecond) DrawSecondBarLabels();
        }
    }
    if (bDepth) glEnable(GL_DEPTH_TEST);
}

namespace {

// The smallest of 1, 2, 5 or 10 times a power of ten that is at least R /
// iMaxTicks (within the relative tolerance); 0 for R <= 0.
double LegendStep(double R, int iMaxTicks)
{
    if (!(R > 0.0) || iMaxTicks < 1) return 0.0;
    const double t = R / iMaxTicks;
    const double base = std::pow(10.0, std::floor(std::log10(t)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * base >= t * (1.0 - kTolerance)) return m * base;
    return 10.0 * base;
}

// The tick line and the value label of v.
struct TickPlacer {
    double from, R, d;
    void Tick(double v) const
    {
        const float y = static_cast<float>((v - from) / R * 1.6 - 0.8);
        glBegin(GL_LINES);
        glVertex3f(-0.89f, y, 0.99f);
        glVertex3f(-0.87f, y, 0.99f);
        glEnd();
        char szText[80];
        NKFormatLegendValue(static_cast<float>(v), szText, "");
        QueueText(-0.85f, static_cast<float>(y - d), szText);
    }
};

// A filled band across the bar at legend height y, half-height h.
void DrawBand(float y, float h)
{
    glBegin(GL_QUADS);
    glVertex3f(kBarLeft, y - h, 0.99f);
    glVertex3f(kBarRight, y - h, 0.99f);
    glVertex3f(kBarRight, y + h, 0.99f);
    glVertex3f(kBarLeft, y + h, 0.99f);
    glEnd();
}

}  // namespace

// From a multiple of the step above the minimum when the range stays on one
// side of zero, else upward and downward from zero.
std::vector<double> NKLegendTickValues(double from, double to, int iMaxTicks)
{
    std::vector<double> values;
    const double R = to - from;
    const double step = LegendStep(R, iMaxTicks);
    if (!(step > 0.0)) return values;
    const int count = static_cast<int>(R / step * (1.0 + kTolerance));
    if ((from > 0.0 && to > 0.0) || (from < 0.0 && to < 0.0)) {
        double v = std::trunc(from / step) * step;
        if (v < from) v += step;
        if (v < from + 0.3 * step) v += step;
        for (int i = 0; i < count; i++, v += step)
            if (v < to - 0.3 * step) values.push_back(v);
        return values;
    }
    double v = 0.0;
    for (int i = 0; i < count; i++, v += step)
        if (std::fabs(v) < to - 0.2 * step) values.push_back(v);
    const int n = static_cast<int>(std::fabs(from) / step * (1.0 + kTolerance));
    v = -n * step;
    if (v < from) v += step;
    if (v < from + 0.2 * step) v += step;
    for (int i = 0; i < n; i++, v += step)
        if (v < -0.2 * step) values.push_back(v);
    return values;
}

void NKDrawLegendTicks(NKFrame *)
{
    if (g_pModel == nullptr) return;
    const double from = g_pModel->fFringeRangeFrom, to = g_pModel->fFringeRangeTo;
    const double R = to - from;
    const int iHeight = NKViewWindowSize.iHeight;
    const double d = iHeight > 0 ? 4.0 / (iHeight * 0.5) : 0.0;
    const float h = iHeight > 0 ? static_cast<float>(2.0 / (iHeight * 0.5)) : 0.01f;
    glColor3ubv(NKGetTextColor());
    const TickPlacer placer{from, R, d};
    for (double v : NKLegendTickValues(from, to, NKLegendMaxTicks)) placer.Tick(v);
    glBegin(GL_LINES);
    for (float y : {kBarBottom, kBarTop}) {
        glVertex3f(-0.89f, y, 0.99f);
        glVertex3f(-0.87f, y, 0.99f);
    }
    glEnd();
    // The markers need a range to place their values in.
    auto Y = [&](double v) { return static_cast<float>((v - from) / R * 1.6 - 0.8); };
    float fIso = 0.0f;
    if (R > 0.0 && NKIsIsoSurfaceOn(&fIso)) DrawBand(Y(fIso), h);
    const NKValueFilterSettings &f = g_ValueFilterSettings;
    if (R > 0.0 && f.bValueFilter) {
        glColor3ub(255, 0, 255);
        if (!(f.fFilterMin < from)) DrawBand(Y(f.fFilterMin), h);
        if (!(f.fFilterMax > to)) DrawBand(Y(f.fFilterMax), h);
    }
    char szText[80];
    NKFormatLegendValue(static_cast<float>(from), szText, "");
    QueueText(-0.85f, static_cast<float>(-0.8 - d), szText);
    NKFormatLegendValue(static_cast<float>(to), szText, "");
    QueueText(-0.85f, static_cast<float>(0.8 - d), szText);
    if (!NKLegendDescription.IsEmpty())
        QueueText(static_cast<float>(d - 0.96), static_cast<float>(0.8 + 2.0 * d),
                  NKLegendDescription.GetText());
}

bool NKFrameHasResultDescriptions(NKFrame *pFrame)
{
    if (pFrame == nullptr) return false;
    return (pFrame->pScalar != nullptr && !pFrame->pScalar->szDescription.IsEmpty()) ||
           (pFrame->pVector != nullptr && !pFrame->pVector->szDescription.IsEmpty());
}

namespace {

// The vector line's range: the vector result's lengths, else those of the
// first separate vector field; false with neither.
bool VectorRange(NKFrame *pFrame, float *pfMin, float *pfMax)
{
    const NKMinMax *m = nullptr;
    if (pFrame->pVector != nullptr)
        m = &pFrame->pVector->lengthMinMax;
    else
        for (NKSeparateVectorField *f : pFrame->pSeparateVectors)
            if (m == nullptr && f != nullptr) m = &f->lengthMinMax;
    if (m == nullptr) return false;
    *pfMin = m->min;
    *pfMax = m->max;
    return true;
}

// The geometry's description near the top left (size 18), or large.
void QueueGeometryDescription(NKFrame *pFrame)
{
    if (pFrame->pGeometry == nullptr || pFrame->pGeometry->szDescription.IsEmpty()) return;
    const uint8_t *c = NKGetTextColor();
    const char *pszText = pFrame->pGeometry->szDescription.GetText();
    if (g_pViewSettings != nullptr && g_pViewSettings->bLargeText) {
        NKAddText(50, -0.95f, 0.8f, c[0], c[1], c[2], pszText);
        return;
    }
    float p[3];
    NKPixelToView(8, NKViewWindowSize.iHeight - 20, 0.0f, p);
    NKAddText(18, p[0], p[1], c[0], c[1], c[2], pszText);
}

// The result lines, one line step apart from y downward.
void QueueResultLines(NKFrame *pFrame, float x, float y, float fStep, const uint8_t *c)
{
    std::vector<NKString> lines;
    const bool bDescriptions = NKFrameHasResultDescriptions(pFrame);
    NKScalarResult *s = pFrame->pScalar;
    if (s != nullptr) {
        if (bDescriptions && !s->szDescription.IsEmpty()) lines.push_back(s->szDescription);
        lines.push_back(NKString::FromFormat("SMN =%10.3e  SMX =%10.3e",
                                             static_cast<double>(NKGetScalarResultMin(s)),
                                             static_cast<double>(NKGetScalarResultMax(s))));
    }
    float fMin = 0.0f, fMax = 0.0f;
    const bool bVector = bDescriptions
                             ? VectorRange(pFrame, &fMin, &fMax)
                             : pFrame->pVector != nullptr && VectorRange(pFrame, &fMin, &fMax);
    if (bDescriptions && pFrame->pVector != nullptr && !pFrame->pVector->szDescription.IsEmpty())
        lines.push_back(pFrame->pVector->szDescription);
    if (bVector)
        lines.push_back(NKString::FromFormat("VMN =%10.3e  VMX =%10.3e", static_cast<double>(fMin),
                                             static_cast<double>(fMax)));
    for (const NKString &t : lines) {
        y -= fStep;
        NKAddText(12, x, y, c[0], c[1], c[2], t.GetText());
    }
}

}  // namespace

void NKDrawTitleBlock(NKFrame *pFrame, bool bSecondColorSet)
{
    if (pFrame == nullptr) return;
    Overlay2D overlay;
    QueueGeometryDescription(pFrame);
    float afRect[4], fX = 0.0f, fY = 0.0f, fStep = 0.0f;
    NKMeasureLegendText(afRect, pFrame, &fX, &fY, &fStep);
    static const uint8_t s_auWhite[3] = {255, 255, 255}, s_auFrame2[3] = {50, 200, 255};
    const uint8_t *pText = bSecondColorSet ? s_auWhite : NKGetTextColor();
    const uint8_t *pFrameColor = bSecondColorSet ? s_auFrame2 : NKGetTextColor();
    QueueResultLines(pFrame, fX, fY, fStep, pText);
    glColor3ubv(pFrameColor);
    glBegin(GL_LINE_LOOP);
    glVertex2f(afRect[0], afRect[1]);
    glVertex2f(afRect[2], afRect[1]);
    glVertex2f(afRect[2], afRect[3]);
    glVertex2f(afRect[0], afRect[3]);
    glEnd();
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (bSecondColorSet)
        glColor4ub(0, 0, 200, 170);
    else
        glColor4ub(0, 0, 255, 70);
    glRectf(afRect[0], afRect[1], afRect[2], afRect[3]);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
}

namespace {

// The three arrows with their labels and the two triangles of the xy
// quarter plane; an axis pointing away from the viewer is darker.
void DrawTriadAxes(const float *m)
{
    static const float s_afBright[3][3] = {
        {1.0f, 0.3f, 0.3f}, {0.3f, 1.0f, 0.3f}, {0.4f, 0.4f, 1.0f}};
    static const float s_afDark[3][3] = {
        {0.6f, 0.1f, 0.1f}, {0.1f, 0.6f, 0.1f}, {0.2f, 0.2f, 0.7f}};
    const bool bReservoir = NKGetInterfaceType() == kReservoirSource;
    const char *apszLabels[3] = {bReservoir ? "E" : "x", bReservoir ? "N" : "y",
                                 bReservoir ? "D" : "z"};
    const float afOrigin[3] = {0.0f, 0.0f, 0.0f};
    const float *apfColor[3];
    for (int i = 0; i < 3; i++) {
        // The depth of the axis tip after the rotation: row 2 of column i.
        apfColor[i] = m[4 * i + 2] < 0.0f ? s_afDark[i] : s_afBright[i];
        float afDir[3] = {0.0f, 0.0f, 0.0f};
        afDir[i] = 1.0f;
        NKDrawLabelledArrow(afOrigin, afDir, 0.6f, true, 1.0f, false, true, true, apszLabels[i],
                            apfColor[i]);
    }
    glBegin(GL_TRIANGLES);
    glColor3fv(apfColor[0]);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(0.3f, 0.0f, 0.0f);
    glVertex3f(0.12f, 0.12f, 0.0f);
    glColor3fv(apfColor[1]);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(0.12f, 0.12f, 0.0f);
    glVertex3f(0.0f, 0.3f, 0.0f);
    glEnd();
}

}  // namespace

void NKDrawAxisTriad(void)
{
    GLint aiViewport[4];
    glGetIntegerv(GL_VIEWPORT, aiViewport);
    const NKViewSettings *v = g_pViewSettings;
    const int x = v != nullptr && v->bShowLegend ? aiViewport[2] / 10 : 0;
    const int y = v != nullptr && v->bShowStep ? 15 : 0;
    glViewport(aiViewport[0] + x, aiViewport[1] + y, 80, 80);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    if (g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bPerspective)
        glFrustum(-0.1 * 0.36397, 0.1 * 0.36397, -0.1 * 0.36397, 0.1 * 0.36397, 0.1, 5.0);
    else
        glOrtho(-0.6, 0.6, -0.6, 0.6, 0.1, 5.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -2.0f);
    float m[16];
    for (int i = 0; i < 16; i++) m[i] = g_ViewMatrix[i];
    m[12] = m[13] = m[14] = 0.0f;
    glMultMatrixf(m);
    glDisable(GL_LIGHTING);
    glLineWidth(2.0f);
    glDepthFunc(GL_ALWAYS);
    DrawTriadAxes(m);
    glDepthFunc(GL_LESS);
    glLineWidth(g_pGraphicsSettings != nullptr ? static_cast<float>(g_pGraphicsSettings->iLineWidth)
                                               : 1.0f);
    glEnable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glViewport(aiViewport[0], aiViewport[1], aiViewport[2], aiViewport[3]);
}
