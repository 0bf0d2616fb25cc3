// render/nk_primitives.h -- the small immediate-mode drawing routines the
// renderer shares: arrow heads and labelled arrows, rulers, plane symbols,
// boxes, pyramids, sphere glyphs, cylinders, quad lists and grid points
// (nk_primitives.cpp), and the path polylines, mirror-plane previews and
// boundary-condition glyphs (nk_scene_glyphs.cpp).
//
// Everything works in display coordinates with the current GL state; a
// routine that switches lighting, line width or point size sets them back
// to the values of NKGraphicsSettings. Texts go to the label overlay
// (nk_label_overlay.h) or the anchored text of nk_text_list.h. The vector
// helpers of this family are core/nk_math.h's NKVec3Sum, NKVec3Difference
// and NKVec3Zero.
#pragma once

#include <cstdint>

class NKOrientedBox;
struct NKFrame;
struct NKMirrorSettings;
struct NKVectorSettings;

// Cap kinds of NKDrawCylinderBetweenPoints.
enum { NK_CAP_NONE = 0, NK_CAP_DISK = 1, NK_CAP_SPHERE = 2 };

// Two crossed triangles at the tip, 0.2 x length x scale long; nothing for
// a tip within 1e-5 of the tail.
void NKDrawArrowHead(const float *pfTail, const float *pfTip, float fHeadScale);
// A line from pfPoint along pfDirection x fLength in pfColor (float[3]),
// with a head (half the head scale), a ruler (3 divisions from 0) and a
// label at the tip: anchored text when bDirectText, else a label item
// without frame and marker (owner 1000001).
void NKDrawLabelledArrow(const float *pfPoint, const float *pfDirection, float fLength, bool bHead,
                         float fHeadScale, bool bRuler, bool bLabel, bool bDirectText,
                         const char *pszLabel, const float *pfColor);
// Value labels of model length along the segment (owner 1000003, marker
// size 3, no frame), every nice step from fStartValue. False when the
// segment's display or model length is not above 0.
bool NKDrawRuler(const float *pfStart, const float *pfEnd, int iDivisions, float fStartValue);
// A width x height rectangle about pfCenter in the plane of pfNormal,
// pfDirection (or any perpendicular when null) along its width; filled
// and blended in pfColor (float[4], or the current colour when null) or an
// unlit outline; with a normal arrow when bArrow.
void NKDrawPlaneSymbol(const float *pfCenter, const float *pfNormal, const float *pfDirection,
                       float fWidth, float fHeight, bool bArrow, float fHeadScale,
                       const float *pfColor, bool bFilled);
// A lit square-based pyramid: apex along the axis, base spanned by the side
// and axis x side.
void NKDrawPyramid(const float *pfPoint, const float *pfAxis, const float *pfSide, float fLength,
                   float fWidth);
// The axis-aligned box (min x, y, z, max x, y, z): wire edges at the line
// width, or six filled quads with outward normals.
void NKDrawBox(const float *pfBox, bool bFilled, float fLineWidth);
// The same for an oriented box; with axes, labelled arrows "x", "y", "z".
void NKDrawOrientedBox(NKOrientedBox *pBox, bool bFilled, float fLineWidth, bool bAxes);
// iCount quads (4 node indices each) of pfCoords; a normal (float[3]) every
// iPerNormal vertices, a colour (RGB bytes) and 1-D texture coordinate
// every iPerColor vertices; null arrays are not sent.
void NKDrawQuadList(const float *pfCoords, const int *piQuads, int iCount, const float *pfNormals,
                    int iPerNormal, const uint8_t *pColors, const float *pfTexCoords,
                    int iPerColor);
// A sphere of fRadius at the origin: below resolution 6 three crossed
// squares, else a GLU sphere of that many slices and stacks.
void NKDrawSphereGlyph(float fRadius, int iResolution, bool bSmooth);
// An open cylinder along +z; colours (float[3]) at z 0 and at the top, or
// null for the current one.
void NKDrawCylinderWall(float fRadius, float fHeight, int iSlices, bool bSmooth,
                        const float *pfColorBottom, const float *pfColorTop);
// A cylinder from p0 to p1 (slices -1 = 10, times the factor) with caps.
void NKDrawCylinderBetweenPoints(const float *pfP0, const float *pfP1, float fRadius, bool bSmooth,
                                 int iSlices, float fSliceFactor, const float *pfColor0,
                                 const float *pfColor1, int iCap0, int iCap1);
// The automatic sphere resolution for s = radius / eye distance / tan of
// half the field of view, scaled by the factor; 0 means a GL point.
int NKSphereResolutionForSize(float s, float fFactor);
// A sphere glyph (or a GL point at resolution 0) per point; iResolution -1
// picks it per point; colours are RGB bytes per point or null.
void NKDrawSpherePoints(const float *pfPoints, int iCount, float fRadius, bool bSmooth,
                        int iResolution, float fFactor, const uint8_t *pColors);
// Spheres of constant screen size (radius = eye distance x factor x scale);
// false when the eye point is unavailable.
bool NKDrawScreenSizedSpheres(const float *pfPoints, int iCount, float fFactor, bool bSmooth,
                              const float *pfScales, const uint8_t *pColors);
// nx x ny x nz lattice points of the box as GL points.
void NKDrawGridPoints(const NKOrientedBox *pBox, int nx, int ny, int nz);

// One path polyline of the surface paths.
struct NKPathPolyline {
    uint8_t uRed, uGreen, uBlue;
    float (*pfPoints)[3];
    int32_t iNumPoints;
};
// The surface paths' selection path list as the scene draws it; the surface
// paths (tools/nk_surface_path.cpp) refill it whenever the list changes.
extern NKPathPolyline *g_pPathPolylines;
extern int g_iNumPathPolylines;

// The load case whose boundary conditions are drawn (bc / boundary; 1) and
// the text switch (bctext / nobctext; off), set by the boundary commands of
// nk_render_mode_commands.h.
extern int g_iBoundaryLoadCase;
extern uint8_t g_bBoundaryText;

// The path polylines: lines in their colours, then their points, the first
// one white.
void NKDrawPaths(void);
// The previews of the two mirror planes whose preview flag is set.
void NKDrawMirrorPlanes(NKFrame *pFrame, const NKMirrorSettings *pMirror,
                        const NKVectorSettings *pVectors);
// Points, arrows and texts of the boundary conditions of the current load
// case (or of load case 0) whose kind is shown.
void NKDrawBoundaryConditions(void);

// Where screen overlays draw, for the life of the object: lighting off, the
// projection and model-view matrices pushed and both set to the view's
// -1..1 frame (depth from fNear to fFar), model-view current. The end of
// the scope pops both again and leaves the model-view matrix current;
// lighting stays as the drawing left it (the callers turn it back on).
class NKScreenFrame {
public:
    explicit NKScreenFrame(double fNear = -1.0, double fFar = 1.0);
    ~NKScreenFrame();
    NKScreenFrame(const NKScreenFrame &) = delete;
    NKScreenFrame &operator=(const NKScreenFrame &) = delete;
};
