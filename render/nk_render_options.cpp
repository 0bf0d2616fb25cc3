// render/nk_render_options.cpp -- the graphics settings in OpenGL and the
// renderer detection (see nk_render_options.h).
#include "render/nk_render_options.h"

#include <GL/gl.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/nk_graphics_settings.h"
#include "core/nk_render_state.h"
#include "render/nk_background.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_gl_resources.h"
#include "render/nk_scene_view.h"
#include "render/nk_text.h"

int g_iGLVersion = 10;
float g_fDepthEpsilon = 0.0005f;

namespace {

constexpr float kDepthEpsilonWithoutOffset = 0.0005f;

// The renderer names with a quirk, in the order they are looked for: a
// name holding two of them takes the first.
const struct {
    const char *pszName;
    int iQuirk;
} kRendererQuirks[] = {
    {"GLZICD", 1},      {"PERMEDIA", 0},  {"PowerStorm", 2}, {"Cobalt", 4},
    {"GDI Generic", 3}, {"REALimage", 5}, {"GM1Rev5", 6},    {"ELSA GLoria II-64", 7},
};
constexpr int kNoKnownRenderer = 8;

const char *GLText(GLenum eName) { return reinterpret_cast<const char *>(glGetString(eName)); }

bool ExtensionsHold(const char *pszName)
{
    const char *pszExtensions = GLText(GL_EXTENSIONS);
    return pszExtensions != nullptr && std::strstr(pszExtensions, pszName) != nullptr;
}

// The leading integer of a text, as atoi reads it but without overflow.
long LeadingInteger(const char *psz)
{
    long lValue = std::strtol(psz, nullptr, 10);
    return lValue < INT_MIN ? INT_MIN : (lValue > INT_MAX ? INT_MAX : lValue);
}

void EnableIf(GLenum eCap, bool bOn)
{
    if (bOn)
        glEnable(eCap);
    else
        glDisable(eCap);
}

}  // namespace

// Sets the GL state from the record for everything that follows; the scene
// drawing calls it whenever the record is marked changed, so the state is
// left set on purpose.
void NKApplyRenderOptions(NKGraphicsSettings *pSettings, const NKBackgroundSettings *pBackground)
{
    if (pSettings == nullptr) return;
    EnableIf(GL_DEPTH_TEST, pSettings->bZBuffer != 0);
    EnableIf(GL_DITHER, pSettings->bDither != 0);
    EnableIf(GL_POINT_SMOOTH, pSettings->bPointSmooth != 0);
    glLineWidth(GLfloat(pSettings->iLineWidth));
    glPointSize(GLfloat(pSettings->iPointSize));
    if (pSettings->bBackface != 0) glCullFace(GL_BACK);
    EnableIf(GL_CULL_FACE, pSettings->bBackface != 0);
    EnableIf(GL_FOG, pSettings->bFog != 0);
    if (pSettings->bFog != 0) {
        const uint8_t *pColor = pBackground != nullptr ? pBackground->ucColors[0] : nullptr;
        GLfloat afColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        for (int i = 0; pColor != nullptr && i < 3; i++) afColor[i] = pColor[i] * (1.0f / 255.0f);
        glFogi(GL_FOG_MODE, pSettings->iFogMode);
        glHint(GL_FOG_HINT, GL_NICEST);
        glFogfv(GL_FOG_COLOR, afColor);
        glFogf(GL_FOG_START, pSettings->fFogStart);
        glFogf(GL_FOG_END, pSettings->fFogEnd);
    }
    // The changed byte stays 1: the record is applied before every frame.
    pSettings->bChanged = 1;
}

void NKSetLineSmooth(bool bOn)
{
    if (bOn) {
        glDisable(GL_LINE_STIPPLE);
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_LINE_SMOOTH);
        glBlendFunc(GL_ONE, GL_ZERO);
        glDisable(GL_BLEND);
    }
}

// OpenGL 1.0 has no polygon offset; there the call changes nothing.
bool NKEnablePolygonOffset(bool bOn)
{
    if (g_iGLVersion <= 10) return true;
    if (bOn) {
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(1.0f, 1.0f);
    } else {
        glDisable(GL_POLYGON_OFFSET_FILL);
    }
    return true;
}

void NKCreateStippleLists(void)
{
    if (g_uStippleListBase != 0) glDeleteLists(g_uStippleListBase, 3);
    g_uStippleListBase = glGenLists(3);
    if (g_uStippleListBase == 0) return;
    glNewList(g_uStippleListBase, GL_COMPILE);
    glDisable(GL_LINE_STIPPLE);
    glEndList();
    const GLushort aPatterns[2] = {0xF0F0, 0x8888};
    for (GLuint i = 0; i < 2; i++) {
        glNewList(g_uStippleListBase + 1 + i, GL_COMPILE);
        glLineStipple(1, aPatterns[i]);
        glEnable(GL_LINE_STIPPLE);
        glEndList();
    }
    glCallList(g_uStippleListBase);
}

// After a new context: everything the drawing code keeps in a context is
// made again (the flagged lists include the textures), and the settings
// are applied before the next frame.
void NKReinitRenderResources(void)
{
    NKFlagAllListsForUpdate(g_pListUpdateInfo);
    NKLoadFringeTexture(g_pFringeTextureColors);
    NKFringeTextureDirty = 0;
    NKCreateStippleLists();
    NKBuildBitmapFontLists();
    NKSetRenderOptionsChanged(g_pGraphicsSettings);
}

// Mesa offers the ARB occlusion query where the HP extension is missing.
bool NKIsHPOcclusionSupported(void)
{
    return ExtensionsHold("GL_HP_occlusion") || ExtensionsHold("GL_ARB_occlusion_query");
}

namespace {

// The workarounds of one renderer quirk; false where the polygon offset
// must not be used.
bool ApplyQuirk(int iQuirk)
{
    switch (iQuirk) {
    case 0:
        g_RendererWorkarounds.bQuadsAsPolygons = 1;
        return false;
    case 2:
        g_RendererWorkarounds.bLineClipFix = 1;
        return false;
    case 3:
        g_RendererWorkarounds.bBackgroundTextureMapping = 0;
        return true;
    case 5:
        g_RendererWorkarounds.bTrianglesOnly = 1;
        return true;
    case 6:
        return false;
    default:
        return true;
    }
}

}  // namespace

int NKParseRendererVersion(const char *pszVersion)
{
    if (pszVersion == nullptr) return 10;
    const char *pszDot = std::strchr(pszVersion, '.');
    long lMajor = LeadingInteger(pszVersion);
    long lMinor = pszDot != nullptr ? LeadingInteger(pszDot + 1) : 0;
    long lVersion = lMajor * 10 + lMinor;
    return (lVersion >= 10 && lVersion <= 99) ? int(lVersion) : 10;
}

int NKRendererQuirkFromName(const char *pszRenderer)
{
    if (pszRenderer == nullptr) return kNoKnownRenderer;
    for (const auto &entry : kRendererQuirks)
        if (std::strstr(pszRenderer, entry.pszName) != nullptr) return entry.iQuirk;
    return kNoKnownRenderer;
}

int NKGetRendererVersion(void) { return NKParseRendererVersion(GLText(GL_VERSION)); }

int NKGetRendererQuirk(void) { return NKRendererQuirkFromName(GLText(GL_RENDERER)); }

bool NKHasPolygonOffset(void)
{
    return NKGetRendererVersion() > 10 || ExtensionsHold("GL_EXT_polygon_offset");
}

int NKDetectRenderer(void)
{
    int iQuirk = NKGetRendererQuirk();
    g_fDepthEpsilon = kDepthEpsilonWithoutOffset;
    if (NKHasPolygonOffset()) {
        g_bDefaultPolygonOffset = 1;
        g_fDepthEpsilon = 0.0f;
    }
    if (!ApplyQuirk(iQuirk)) {
        g_bDefaultPolygonOffset = 0;
        g_fDepthEpsilon = kDepthEpsilonWithoutOffset;
    }
    g_iGLVersion = NKGetRendererVersion();
    g_fMeshDepthFactor = g_fDepthEpsilon;
    if (g_pGraphicsSettings != nullptr)
        g_pGraphicsSettings->bPolygonOffset = g_bDefaultPolygonOffset;
    g_iRendererQuirk = iQuirk;
    return iQuirk;
}
