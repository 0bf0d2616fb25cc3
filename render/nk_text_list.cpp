// render/nk_text_list.cpp -- the overlay text queue and anchored 3-D text
// (see nk_text_list.h).
#include "render/nk_text_list.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>
#include <new>

#include "core/nk_message.h"
#include "core/nk_render_state.h"
#include "core/nk_string.h"
#include "platform/nk_gl_context.h"
#include "render/nk_primitives.h"
#include "render/nk_text.h"
#include "render/nk_view_settings.h"

NKTextItem *g_pTextListHead = nullptr;
NKTextItem *g_pTextListTail = nullptr;
NKUserText g_UserText;

namespace {

bool sg_bStrokeFailureSaid = false;

// Whether the stroke font can be drawn. When freeglut could not start,
// the text is left out and the first attempt says why, once.
bool StrokeFontReady(void)
{
    if (NKInitStrokeFont()) return true;
    const char *pszWhy = NKStrokeFontFailure();
    if (pszWhy != nullptr && !sg_bStrokeFailureSaid) {
        sg_bStrokeFailureSaid = true;
        NKPrintWarning(NKString::FromFormat("Stroke text cannot be drawn: %s", pszWhy).GetText());
    }
    return false;
}

void CallTextLists(const char *pszText)
{
    const size_t n = std::strlen(pszText);
    if (n > 0) glCallLists(static_cast<GLsizei>(n), GL_UNSIGNED_BYTE, pszText);
}

// One text in the Roman stroke font at (x, y) of the -1..1 square; bytes
// 128-255 have no stroke glyph and are skipped.
void DrawStrokeText(const NKTextItem *pItem)
{
    if (!StrokeFontReady()) return;
    glPushMatrix();
    glTranslatef(pItem->fX, pItem->fY, 0.0f);
    glScalef(pItem->iSize * 2e-5f, pItem->iSize * 3.2e-5f, 1.0f);
    for (const char *p = pItem->Text.GetText(); *p != '\0'; p++) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 128) glutStrokeCharacter(GLUT_STROKE_ROMAN, c);
    }
    glPopMatrix();
}

void DrawItems(void)
{
    const NKTextItem *pFirst = g_pTextListHead->pNext;
    uint8_t uLast[3] = {0, 0, 0};
    if (pFirst != nullptr) {
        uLast[0] = pFirst->uRed, uLast[1] = pFirst->uGreen, uLast[2] = pFirst->uBlue;
        glColor3ub(uLast[0], uLast[1], uLast[2]);
    }
    int iLastSize = -1;
    for (const NKTextItem *p = pFirst; p != nullptr; p = p->pNext) {
        if (p->uRed != uLast[0] || p->uGreen != uLast[1] || p->uBlue != uLast[2]) {
            uLast[0] = p->uRed, uLast[1] = p->uGreen, uLast[2] = p->uBlue;
            glColor3ub(uLast[0], uLast[1], uLast[2]);
        }
        if (NKStrokeFontSwitch) {
            DrawStrokeText(p);
            continue;
        }
        glRasterPos3f(p->fX, p->fY, 1.0f);
        if (p->iSize != iLastSize) {
            glListBase(NKFontListBaseForSize(p->iSize));
            iLastSize = p->iSize;
        }
        CallTextLists(p->Text.GetText());
    }
}

// Projects (x, y, z) with the current matrices and queues the text at size
// 12 in the -1..1 square.
void QueueProjected(float x, float y, float z, const uint8_t *pColor, const char *pszText)
{
    GLdouble adModel[16], adProj[16], wx = 0.0, wy = 0.0, wz = 0.0;
    GLint aiViewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, adModel);
    glGetDoublev(GL_PROJECTION_MATRIX, adProj);
    glGetIntegerv(GL_VIEWPORT, aiViewport);
    if (aiViewport[2] <= 0 || aiViewport[3] <= 0) return;
    if (gluProject(x, y, z, adModel, adProj, aiViewport, &wx, &wy, &wz) != GL_TRUE) return;
    const float fX = static_cast<float>(2.0 * wx / aiViewport[2] - 1.0);
    const float fY = static_cast<float>(2.0 * wy / aiViewport[3] - 1.0);
    NKAddText(12, fX, fY, pColor[0], pColor[1], pColor[2], pszText);
}

}  // namespace

bool NKCreateTextList(void)
{
    // A list left from before would be lost; the frame starts afresh.
    NKFreeTextList();
    g_pTextListHead = new (std::nothrow) NKTextItem();
    g_pTextListTail = g_pTextListHead;
    return g_pTextListHead != nullptr;
}

bool NKFreeTextList(void)
{
    NKTextItem *p = g_pTextListHead;
    while (p != nullptr) {
        NKTextItem *pNext = p->pNext;
        delete p;
        p = pNext;
    }
    g_pTextListHead = g_pTextListTail = nullptr;
    return true;
}

bool NKAddText(int iSize, float x, float y, uint8_t r, uint8_t g, uint8_t b, const char *pszText)
{
    if (g_pTextListHead == nullptr && !NKCreateTextList()) return false;
    NKTextItem *pItem = new (std::nothrow) NKTextItem();
    if (pItem == nullptr) return false;
    const char *pszCopy = pszText != nullptr ? pszText : "";
    pItem->Text.Assign(pszCopy);
    if (pItem->Text.IsNull()) {
        delete pItem;
        return false;
    }
    pItem->iSize = iSize;
    pItem->fX = x;
    pItem->fY = y;
    pItem->uRed = r, pItem->uGreen = g, pItem->uBlue = b;
    g_pTextListTail->pNext = pItem;
    g_pTextListTail = pItem;
    return true;
}

void NKDrawTextList(void)
{
    if (g_pTextListHead == nullptr) return;
    if (g_pTextListHead->pNext != nullptr) {
        {
            NKScreenFrame frame;
            DrawItems();
            glListBase(g_uSmallFontListBase);
        }
        glEnable(GL_LIGHTING);
    }
    NKFreeTextList();
}

bool NKQueueUserText(void)
{
    const bool bLarge = g_pViewSettings != nullptr && g_pViewSettings->bLargeText;
    const uint8_t *c = NKGetTextColor();
    return NKAddText(bLarge ? 50 : 18, g_UserText.fX, g_UserText.fY, c[0], c[1], c[2],
                     g_UserText.Text.GetText());
}

void NKDrawText3D(int iSize, float x, float y, float z, uint8_t r, uint8_t g, uint8_t b,
                  const char *pszText)
{
    if (pszText == nullptr) return;
    const uint8_t auColor[3] = {r, g, b};
    glColor3ub(r, g, b);
    if (NKStrokeFontSwitch) {
        QueueProjected(x, y, z, auColor, pszText);
        return;
    }
    glRasterPos3f(x, y, z);
    glListBase(NKFontListBaseForSize(iSize));
    CallTextLists(pszText);
    glListBase(g_uSmallFontListBase);
}

void NKDrawText3DPlain(float x, float y, float z, const char *pszText)
{
    if (pszText == nullptr) return;
    if (NKStrokeFontSwitch) {
        QueueProjected(x, y, z, NKGetTextColor(), pszText);
        return;
    }
    glRasterPos3f(x, y, z);
    CallTextLists(pszText);
}

void NKBeginText3D(int iSize, uint8_t r, uint8_t g, uint8_t b)
{
    glDisable(GL_LIGHTING);
    glColor3ub(r, g, b);
    glListBase(NKFontListBaseForSize(iSize));
}

void NKEndText3D(void)
{
    glListBase(g_uSmallFontListBase);
    glEnable(GL_LIGHTING);
}

void NKDrawStrokeText(const char *pszText, float fLimitWidth)
{
    if (pszText == nullptr || pszText[0] == '\0' || !StrokeFontReady()) return;
    // One unit is the font's whole line, from the lowest descender to the
    // top of the capitals and accents (152.38 of the Roman font's units).
    const float fUnitsPerLine = glutStrokeHeight(GLUT_STROKE_ROMAN);
    glPushMatrix();
    glScalef(1.0f / fUnitsPerLine, 1.0f / fUnitsPerLine, 1.0f / fUnitsPerLine);
    const float fLimit = fLimitWidth * fUnitsPerLine;
    float fAdvance = 0.0f;
    for (const char *p = pszText; *p != '\0'; p++) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 128) continue;
        // The same advance as the character's own move, not its integer part.
        fAdvance += glutStrokeWidthf(GLUT_STROKE_ROMAN, c);
        if (fAdvance > fLimit) break;
        glutStrokeCharacter(GLUT_STROKE_ROMAN, c);
    }
    glPopMatrix();
}
