// app/nk_render_options.h -- the graphics settings in OpenGL: applying
// NKGraphicsSettings to the GL state, line smoothing, the polygon offset,
// the line-stipple lists, rebuilding a new context's resources, and the
// detection of the renderer with its workarounds.
//
// The record itself and its resets live in core/nk_graphics_settings.h; the
// functions lower folders call (NKApplyRenderOptions, NKSetLineSmooth,
// NKEnablePolygonOffset, NKCreateStippleLists, NKReinitRenderResources,
// NKIsHPOcclusionSupported) are declared in core/nk_shell_hooks.h and run the
// code here once NKFillRenderOptionHooks has filled their slots. Everything
// works on the current OpenGL context.
#pragma once

struct NKShellHooks;

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
// Under a Japanese system language rotated plot texts are switched off.
// True.
bool NKApplyLanguageDefaults(void);

void NKFillRenderOptionHooks(NKShellHooks *pHooks);
