// core/nk_graphics_settings.h -- NKGraphicsSettings, the one record of
// rendering options, and its creation and reset.
//
// The record is made at start-up (g_pGraphicsSettings) and reset by the model
// reset. The model core reads two of its fields: the smoothing angle of node
// normals (core/nk_normals.cpp) and the texture-fringe switch (the per-part
// texture coordinates of core/nk_frame_results.cpp). Applying the record to
// the OpenGL state, the renderer detection and the timers belong to the
// application shell; nothing here calls OpenGL or Qt.
#pragma once

#include <cstdint>

// OpenGL's GL_LINEAR, the default fog mode, without including the GL headers.
constexpr int NK_FOG_MODE_LINEAR = 0x2601;

// Reset modes of NKInitRenderOptions.
enum {
    NK_RENDER_RESET_STARTUP = 0,  // every field, start-up-only fields included
    NK_RENDER_RESET_MODEL = 1,    // every field but the start-up-only ones
    NK_RENDER_RESET_CHANGED = 2   // only marks the record changed
};

// Rendering options. Fields marked "start-up" are set only by a mode-0
// reset; the others by modes 0 and 1.
struct NKGraphicsSettings {
    uint8_t bZBuffer = 1;         // depth test (zbuffer / nozbuffer)
    uint8_t bDither = 1;          // GL_DITHER
    uint8_t bFringeShade = 1;     // fringe shading on
    uint8_t bTextureFringes = 0;  // fringes drawn with a 1-D texture (tf)
    uint8_t bSmoothFringes = 1;   // smooth (1) or flat (0) fringes
    uint8_t bReserved1 = 0;
    uint8_t bFog = 0;            // GL_FOG
    uint8_t bLineSmooth = 0;     // smoothed lines
    uint8_t bPointSmooth = 0;    // GL_POINT_SMOOTH
    uint8_t bBackface = 0;       // back faces culled
    uint8_t bCull = 1;           // two-sided lighting (nocull 1, cull 0)
    uint8_t bPerspective = 1;    // perspective (1) or orthographic (0)
    uint8_t bSingleBuffer = 0;   // start-up; single-buffered drawing
    uint8_t bPolygonOffset = 0;  // mesh lines use the polygon offset
    uint8_t bAutoClip = 0;       // near and far fitted to the frame's box
    int32_t iReserved = 0;
    int32_t iLineWidth = 1;         // pixels
    int32_t iPointSize = 1;         // pixels
    float fSphereQuality = 1.0f;    // quality of parts drawn as spheres
    float fCylinderQuality = 1.0f;  // quality of lines drawn as cylinders
    float fFogStart = 0.0f;
    float fFogEnd = 0.0f;
    int32_t iFogMode = NK_FOG_MODE_LINEAR;   // GL_LINEAR, GL_EXP or GL_EXP2
    uint8_t bDisplayFlag = 0;                // normals sent as bytes (fix bytenormals)
    float fOutlineCreaseAngle = 0.5235988f;  // 30 degrees, outline edges
    float fSmoothNormalAngle = 1.0471976f;   // 60 degrees, node normals
    uint8_t bStereo = 0;                     // start-up; stereo display on
    uint8_t bQuadBufferStereo = 0;           // start-up; a stereo pixel format asked for
    int32_t iStartupSetting1 = 18;           // start-up; held for the display code
    int32_t iStartupSetting2 = -1;           // start-up; held for the display code
    float fStartupFactors[4] = {1.0f, 1.0f, 1.0f, 1.0f};  // start-up
    float fVector[3] = {0.0f, 0.0f, 0.0f};
    int32_t iCounter = 0;                  // counted by the overlay and pick code
    uint8_t bDisplaySwitches[2] = {0, 0};  // start-up; display commands
    uint8_t bChanged = 1;                  // apply to GL before the next draw
};

// The program's record; null until start-up makes it.
extern NKGraphicsSettings *g_pGraphicsSettings;
// Invalidation flags of the 3-D view: NKInvalidateView (core/nk_model_hooks.h)
// sets the first, a forced repaint also the second; the paint clears them.
extern uint8_t g_bViewInvalidated;
extern uint8_t g_bSynchronousPaint;
// Whether mesh lines use the polygon offset by default; the renderer
// detection sets it, and resets copy it into bPolygonOffset.
extern uint8_t g_bDefaultPolygonOffset;

// What the renderer detection of the shell found: the renderer quirk (0-8,
// 8 before detection; 3 is a software renderer), read by the window code and
// the cursor choice, and the workarounds it switched, which the fix command
// of the drawing code also sets and the drawing code reads.
extern int g_iRendererQuirk;
struct NKRendererWorkarounds {
    uint8_t bQuadsAsPolygons = 0;
    uint8_t bLineClipFix = 0;
    uint8_t bTrianglesOnly = 0;             // polygons drawn as triangles only
    uint8_t bBackgroundTextureMapping = 1;  // the background image as a texture
    uint8_t bRotatedPlotText = 1;           // rotated axis titles in 2-D plots
};
extern NKRendererWorkarounds g_RendererWorkarounds;
// The first of the three line-stipple display lists of the current context
// (NKCreateStippleLists): base + 0 stipple off, + 1 pattern 0xF0F0, + 2
// pattern 0x8888. 0 while none exist.
extern unsigned int g_uStippleListBase;

// Resets pSettings with mode 0 and returns it; with null, a new record
// (null when out of memory). A record made here is freed with
// NKDestroyRenderOptions.
NKGraphicsSettings *NKCreateRenderOptions(NKGraphicsSettings *pSettings);
void NKDestroyRenderOptions(NKGraphicsSettings *pSettings);
// Mode 2 only marks the record changed. Modes 0 and 1 give every field not
// marked start-up its default (the polygon offset the default polygon-offset
// use); mode 0 also the start-up fields. Every mode marks the record changed.
// False for a null record.
bool NKInitRenderOptions(NKGraphicsSettings *pSettings, int iMode);
// Marks the record to be applied before the next draw.
void NKSetRenderOptionsChanged(NKGraphicsSettings *pSettings);

// The smoothing angle of node normals in radians: the record's, or its
// default (60 degrees) while no record exists.
float NKGetSmoothNormalAngle(void);
// The texture-fringe switch; off while no record exists.
bool NKTextureFringesOn(void);
