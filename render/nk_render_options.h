// render/nk_render_options.h -- the graphics settings in OpenGL: applying
// NKGraphicsSettings to the GL state, line smoothing, the polygon offset,
// the line-stipple lists, rebuilding a new context's resources, and the
// detection of the renderer with its workarounds.
//
// The record itself and its resets live in core/nk_graphics_settings.h.
// Everything works on the current OpenGL context.
#pragma once

struct NKBackgroundSettings;
struct NKGraphicsSettings;

// The OpenGL version as major x 10 + minor (10 until detected).
extern int g_iGLVersion;
// The depth step of mesh lines without polygon offset: 0.0005, or 0 where
// the renderer has the polygon offset.
extern float g_fDepthEpsilon;

// The version of a GL_VERSION text: major x 10 + minor when that lies in
// 10..99, else 10 (also for null).
int NKParseRendererVersion(const char *pszVersion);
// The quirk of a GL_RENDERER text (8 for null or no known name).
int NKRendererQuirkFromName(const char *pszRenderer);

// The same of the current context's strings.
int NKGetRendererVersion(void);
int NKGetRendererQuirk(void);
// True with OpenGL above 1.0 or the GL_EXT_polygon_offset extension.
bool NKHasPolygonOffset(void);
// Run once after the view's context exists: stores and returns the quirk
// (g_iRendererQuirk), sets the workarounds, the default polygon-offset use,
// the depth epsilon (and the mesh depth factor with it) and g_iGLVersion,
// and gives the graphics settings the default polygon-offset use.
int NKDetectRenderer(void);
// Applies the graphics settings to the OpenGL state; the fog colour is the
// first background colour.
void NKApplyRenderOptions(NKGraphicsSettings *pSettings, const NKBackgroundSettings *pBackground);
void NKSetLineSmooth(bool bOn);
bool NKEnablePolygonOffset(bool bOn);
// The three line-stipple display lists (0 off, 1 pattern 0xF0F0, 2 0x8888).
void NKCreateStippleLists(void);
void NKReinitRenderResources(void);
bool NKIsHPOcclusionSupported(void);
