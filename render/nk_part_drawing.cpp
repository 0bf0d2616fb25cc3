// render/nk_part_drawing.cpp -- one part inside the scene passes, the
// points style, the highlight passes and the locked-parts batch (see
// nk_part_drawing.h).
#include "render/nk_part_drawing.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "core/nk_bbox.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_part_arrays.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_view_state.h"
#include "platform/nk_clock.h"
#include "render/nk_camera.h"
#include "render/nk_culling.h"
#include "render/nk_element_drawing.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_lights.h"
#include "render/nk_node_numbers.h"
#include "render/nk_part_labels.h"
#include "render/nk_part_overlays.h"
#include "render/nk_primitives.h"
#include "render/nk_render_options.h"
#include "render/nk_texture_images.h"
#include "render/nk_view_settings.h"

namespace {

// Our own table: pattern p sets the bits on every (p % 7 + 2)-th diagonal,
// rising for even p and falling for odd p, denser for p >= 16 (two bits
// wide). Pattern 12, the default, is every eighth rising diagonal.
struct StippleTable {
    uint8_t aPatterns[NK_NUM_STIPPLE_PATTERNS][128];
    StippleTable()
    {
        for (int p = 0; p < NK_NUM_STIPPLE_PATTERNS; p++) {
            const int iStep = p % 7 + 2, iWidth = p >= 16 ? 2 : 1;
            for (int y = 0; y < 32; y++)
                for (int x = 0; x < 32; x++) {
                    int d = (p % 2 == 0 ? x + y : x - y + 64) % iStep;
                    uint8_t &b = aPatterns[p][y * 4 + x / 8];
                    if (x % 8 == 0) b = 0;
                    if (d < iWidth) b |= static_cast<uint8_t>(0x80 >> (x % 8));
                }
        }
    }
};
const StippleTable sg_Stipples;

bool CameraMoving(void) { return NKIsNavigationActive(); }
int MoveMode(void) { return g_pViewSettings != nullptr ? g_pViewSettings->iMoveMode : 0; }
bool ModelShown(void) { return g_pViewSettings == nullptr || g_pViewSettings->bShowModel; }
bool PolygonOffsetSetting(void)
{
    return g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bPolygonOffset;
}

// Lines will be drawn over the part's polygons: mesh, outline mesh, or
// contours over a scalar result.
bool WantsPolygonOffset(const NKPart &part, const NKFrame *pFrame)
{
    return part.bMesh || part.bOutlineMesh || (g_bContoursShown && pFrame->pScalar != nullptr);
}

bool NodeValuesFor(const NKFrame *pFrame, int iPart, const NKScalarPartEntry **ppEntry)
{
    const NKScalarResult *pRes = pFrame->pScalar;
    if (pRes == nullptr || pRes->pNodeResults == nullptr || iPart >= pRes->iNumParts) return false;
    const NKScalarPartEntry *pEntry = &pRes->pNodeResults[iPart];
    if (pEntry->pNodeValues == nullptr || pEntry->iCount <= 0) return false;
    *ppEntry = pEntry;
    return true;
}

bool OutsideFilter(float fValue)
{
    const NKValueFilterSettings &f = g_ValueFilterSettings;
    return f.bValueFilter && (fValue < f.fFilterMin || fValue > f.fFilterMax);
}

// The effective style, or -1 when the part goes to the points drawer.
int EffectiveStyle(const NKPart &part)
{
    int iStyle = part.iDrawStyle;
    if (CameraMoving()) {
        if (MoveMode() == NK_MOVE_POINTS) return -1;
        if (MoveMode() == NK_MOVE_LINES) iStyle = NK_DRAW_LINES;
        if (MoveMode() == NK_MOVE_OUTLINE) iStyle = NK_DRAW_OUTLINE;
    }
    if (iStyle == NK_DRAW_HIDDEN_LINES) iStyle = NK_DRAW_LINES;
    return iStyle == NK_DRAW_POINTS ? -1 : iStyle;
}

void HighlightPrePass(int iPart, NKFrame *pFrame)
{
    const NKPartHighlight &h = NKPartHighlightSettings;
    if (h.bDrawOutline && !h.bStippleFill) {
        NKEnablePolygonOffset(true);
        return;
    }
    if (!h.bStippleFill) return;
    glColor3ubv(h.uFillColor);
    glDisable(GL_LIGHTING);
    NKEnablePolygonOffset(true);
    NKDrawPartPolygonsFlat(iPart, pFrame);
    glEnable(GL_LIGHTING);
    NKEnablePolygonOffset(false);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_LEQUAL);
    glPolygonStipple(NKGetStipplePattern(h.iStipplePattern));
    glEnable(GL_POLYGON_STIPPLE);
}

// The part's box in the box colour, its outline lines in the outline
// colour; the state of the pre-pass undone.
void HighlightPostPass(int iPart, NKFrame *pFrame)
{
    const NKPartHighlight &h = NKPartHighlightSettings;
    const float *pfBox = h.bDrawBox ? NKGetPartBoundingBox(pFrame, iPart, 1) : nullptr;
    if (pfBox != nullptr) {
        float afBox[6];
        for (int k = 0; k < 6; k++) afBox[k] = pfBox[k];
        ModelToDisplayBox(afBox);
        glColor3ubv(h.uBoxColor);
        const int iWidth = g_pGraphicsSettings != nullptr ? g_pGraphicsSettings->iLineWidth : 1;
        NKDrawBox(afBox, false, static_cast<float>(iWidth));
    }
    if (h.bDrawOutline) {
        glColor3ubv(h.uOutlineColor);
        NKDrawPartEdges(iPart, NKGetFramePart(pFrame, iPart), pFrame, true, true);
    }
    if (h.bDrawOutline && !h.bStippleFill) NKEnablePolygonOffset(false);
    if (!h.bStippleFill) return;
    glDepthFunc(GL_LESS);
    glDisable(GL_POLYGON_STIPPLE);
    glDepthMask(GL_TRUE);
}

// A shown part: texture, polygon offset, highlight, elements.
void DrawShownPart(int iPart, NKPart *pPart, NKFrame *pFrame, NKDisplayListSet *pLists)
{
    bool bTexture = false;
    if ((pPart->uTextureMode[0] || pPart->uTextureMode[1]) &&
        !(CameraMoving() && MoveMode() == NK_MOVE_OUTLINE))
        bTexture = NKCallPartLists(pPart, iPart, pLists, -1);
    const bool bOffset = PolygonOffsetSetting() && WantsPolygonOffset(*pPart, pFrame);
    if (bOffset) NKEnablePolygonOffset(true);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT | GL_LIGHTING_BIT);
    if (pPart->bHighlighted) HighlightPrePass(iPart, pFrame);
    NKDrawPartElements(pFrame, iPart, pLists);
    if (bTexture) NKDisableTexturing();
    if (bOffset) NKEnablePolygonOffset(false);
    if (pPart->bHighlighted) HighlightPostPass(iPart, pFrame);
    glPopAttrib();
}

}  // namespace

const uint8_t *NKGetStipplePattern(int iIndex)
{
    iIndex %= NK_NUM_STIPPLE_PATTERNS;
    if (iIndex < 0) iIndex += NK_NUM_STIPPLE_PATTERNS;
    return sg_Stipples.aPatterns[iIndex];
}

void NKResetPartHighlightSettings(NKPartHighlight *pSettings)
{
    if (pSettings != nullptr) *pSettings = NKPartHighlight();
}

bool NKDrawPart(int iPart, NKFrame *pFrame, NKDisplayListSet *pLists, int bUninterruptible,
                bool bSkipLocked)
{
    if (!bUninterruptible && NKIsInputPending()) return true;
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr || !pPart->bVisible) return false;
    if (bSkipLocked && pPart->bLockAttributes) return false;
    const bool bMatrix = pFrame->pTransformation != nullptr;
    if (bMatrix) {
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glMultMatrixf(pFrame->pTransformation + 16 * iPart);
    }
    // A culled or occluded part pops only what was pushed above.
    const bool bSkip =
        pPart->bCulled || (NKIsOcclusionCullingActive() && NKIsPartOccludedHP(iPart, pFrame));
    if (!bSkip) {
        if (ModelShown()) DrawShownPart(iPart, pPart, pFrame, pLists);
        NKDrawPartExtras(iPart, pPart, pFrame);
    }
    if (bMatrix) glPopMatrix();
    return false;
}

void NKDrawPartElements(NKFrame *pFrame, int iPart, NKDisplayListSet *pLists)
{
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr) return;
    glShadeModel(pPart->bSmooth ? GL_SMOOTH : GL_FLAT);
    const int iStyle = EffectiveStyle(*pPart);
    if (iStyle < 0) {
        NKDrawPartSimple(iPart, pFrame, pLists);
        return;
    }
    const NKScalarPartEntry *pEntry = nullptr;
    if (pPart->bFringes && NodeValuesFor(pFrame, iPart, &pEntry))
        NKDrawPartColored(iPart, pFrame, iStyle, pLists);
    else
        NKDrawPartTextured(iPart, pFrame, iStyle, pLists);
    // The part's 3-D primitives are drawn by the scene's overlay pass
    // (NKDrawPartPrimitives, tools/nk_primitives_3d.h) for every part.
}

// The traced nodes' curves are drawn once a frame by the scene's overlays
// (NKDrawTraceCurves), not part by part; the vectors-per-ten byte of the
// view settings has no drawing, so nothing is drawn for it here.
void NKDrawPartExtras(int iPart, NKPart *pPart, NKFrame *pFrame)
{
    if (pPart == nullptr || pFrame == nullptr) return;
    if (CameraMoving() && MoveMode() != NK_MOVE_NORMAL) return;
    if (ModelShown()) {
        const bool bSurface = pPart->iDrawStyle == NK_DRAW_SURFACE;
        if (pPart->bMesh && bSurface) NKDrawPartEdges(iPart, pPart, pFrame, false, false);
        if (pPart->bOutlineMesh && bSurface) NKDrawPartEdges(iPart, pPart, pFrame, true, false);
        if (g_bContoursShown && pFrame->pScalar != nullptr) {
            const bool bSmooth = g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bLineSmooth;
            if (bSmooth) glEnable(GL_LINE_SMOOTH);
            NKDrawContourLines(iPart, pFrame);
            if (bSmooth) glDisable(GL_LINE_SMOOTH);
        }
        if (g_pViewSettings != nullptr && g_pViewSettings->bShowUndeformed &&
            pFrame->pVector != nullptr)
            NKDrawUndeformedShape(pPart, pFrame);
        if (pPart->bShowNormals) NKDrawPartNormals(iPart, pPart, pFrame, &g_VectorSettings);
        if (g_pViewSettings != nullptr && g_pViewSettings->bShowPartNames)
            NKDrawPartLabels(pFrame, iPart);
    }
    if (pPart->bVectors && pFrame->pVector != nullptr)
        NKDrawPartVectors(iPart, pPart, pFrame, &g_VectorSettings);
    for (const NKSeparateVectorField *pField : pFrame->pSeparateVectors)
        if (pField != nullptr) {
            NKDrawSeparateVectorFields(iPart, pPart, pFrame, g_SeparateVectorSettings);
            break;
        }
    if (g_pViewSettings != nullptr && g_pViewSettings->bShowNodeNumbers)
        NKDrawNodeNumbers(pFrame, pPart, iPart, &g_NodeNumberRange);
}

namespace {

// Normals go to OpenGL as the stored bytes when the graphics settings ask
// for byte normals (fix bytenormals), else as floats of bytes x 1/127.
void SendNormal(const int8_t *pNormal)
{
    if (g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bDisplayFlag)
        glNormal3bv(reinterpret_cast<const GLbyte *>(pNormal));
    else
        glNormal3f(pNormal[0] / 127.0f, pNormal[1] / 127.0f, pNormal[2] / 127.0f);
}

// The part's hot spot is highlighted: hover highlighting is on and the part
// is the hovered one, or every hot spot is shown.
bool HotSpotShown(int iPart, const NKPart &part)
{
    const NKViewSettings *v = g_pViewSettings;
    return v != nullptr && v->bHotSpotHighlight && part.hotSpot.bHasHotSpot &&
           (v->iHoveredPart == iPart || v->bHotSpotShowAll);
}

// White for a part not drawn as a surface, else a grey ambient material.
void SetHotSpotLook(const NKPart &part)
{
    if (part.iDrawStyle != NK_DRAW_SURFACE) {
        glColor3ub(255, 255, 255);
        return;
    }
    const float afAmbient[4] = {0.3f, 0.3f, 0.3f, 0.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, afAmbient);
}

// The look of the points style: unlit points in the scaled ambient colour, or
// lit spheres with the part's material (unlit when node colours are shown
// without fringe shading), node colours tracking the diffuse colour.
void BindPointsLook(int iPart, const NKPart &part, bool bNodeColors, NKDisplayListSet *pLists)
{
    if (!part.bPointsAsSpheres) {
        float afColor[3];
        NKScaleByMaxComponent(afColor, part.material.ambient);
        glDisable(GL_LIGHTING);
        glColor3fv(afColor);
        return;
    }
    const bool bFringeShade = g_pGraphicsSettings == nullptr || g_pGraphicsSettings->bFringeShade;
    if (bNodeColors && !bFringeShade) {
        glDisable(GL_LIGHTING);
    } else {
        glEnable(GL_LIGHTING);
        NKCallMaterialList(pLists, iPart);
    }
    if (bNodeColors) {
        glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
    }
}

// What one points draw sends per node.
struct PointArrays {
    const float *pfCoords = nullptr;
    const float *pfValues = nullptr;  // filter values; null: no filter
    int iNumValues = 0;
    const uint8_t *pColors = nullptr;
    const int8_t *pNormals = nullptr;
    const float *pfTexCoords = nullptr;
};

// Every used node inside the value filter, as a point or, with
// sphere points, as a sphere of half the part's sphere size (its
// tessellation grows with the sphere quality, 10 at quality 1).
void EmitPoints(const NKPart &part, const PointArrays &a)
{
    GLUquadric *pQuadric = part.bPointsAsSpheres ? gluNewQuadric() : nullptr;
    if (part.bPointsAsSpheres && pQuadric == nullptr) return;
    const float fQuality = g_pGraphicsSettings != nullptr ? g_pGraphicsSettings->fSphereQuality : 1;
    const int iSlices = fQuality * 10.0f < 6.0f ? 6 : static_cast<int>(fQuality * 10.0f);
    if (pQuadric == nullptr) glBegin(GL_POINTS);
    for (int i = 0; i < part.iNumNodes; i++) {
        if (part.pNodeType[i] < 1) continue;
        if (a.pfValues != nullptr && i < a.iNumValues && OutsideFilter(a.pfValues[i])) continue;
        if (a.pColors != nullptr) {
            if (a.pNormals != nullptr) SendNormal(a.pNormals + 3 * i);
            glColor3ubv(a.pColors + 3 * i);
            if (a.pfTexCoords != nullptr) glTexCoord1f(a.pfTexCoords[i]);
        }
        const float *p = a.pfCoords + 3 * i;
        if (pQuadric == nullptr) {
            glVertex3fv(p);
            continue;
        }
        glPushMatrix();
        glTranslatef(p[0], p[1], p[2]);
        gluSphere(pQuadric, part.fSphereSize * 0.5, iSlices, iSlices);
        glPopMatrix();
    }
    if (pQuadric == nullptr)
        glEnd();
    else
        gluDeleteQuadric(pQuadric);
}

}  // namespace

void NKDrawPartSimple(int iPart, NKFrame *pFrame, NKDisplayListSet *pLists)
{
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr || pPart->pNodeType == nullptr) return;
    PointArrays a;
    a.pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
    if (a.pfCoords == nullptr) return;
    const NKScalarPartEntry *pEntry = nullptr;
    if (NodeValuesFor(pFrame, iPart, &pEntry)) {
        a.pfValues = pEntry->pNodeValues;
        a.iNumValues = pEntry->iCount;
        // Colours, normals and texture coordinates cover every node only
        // when the entry does.
        if (pEntry->iCount >= pPart->iNumNodes) {
            a.pColors = NKGetPartNodeColors(iPart, pPart, pFrame);
            a.pNormals = NKGetPartNodeNormals(iPart, pPart, pFrame);
            a.pfTexCoords = NKGetPartNodeTexCoords(iPart, pPart, pFrame);
        }
    }
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT | GL_TRANSFORM_BIT);
    glMatrixMode(GL_MODELVIEW);
    BindPointsLook(iPart, *pPart, a.pColors != nullptr, pLists);
    if (HotSpotShown(iPart, *pPart)) SetHotSpotLook(*pPart);
    EmitPoints(*pPart, a);
    glPopAttrib();
}

bool NKCallPartLists(NKPart *pPart, int iPart, NKDisplayListSet *pLists, int)
{
    if (pPart == nullptr || pLists == nullptr || pPart->pTexture == nullptr) return false;
    if (iPart < 0 || iPart >= pLists->iTextureCount || pLists->uTextureBase == 0) return false;
    const GLuint uImage = NKGetImageTextureList(pPart->pTexture);
    if (uImage == 0) return false;
    glCallList(uImage);
    glCallList(pLists->uTextureBase + iPart);
    NKFringeTextureDirty = 1;
    return true;
}

void NKDisableTexturing(void)
{
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_2D);
}

// The first part's binding: lit with its material list for surfaces, unlit
// in its ambient colour for lines. False when the batch is not used.
static bool BindLockedBatch(const NKPart &first, int iFirst, NKFrame *pFrame,
                            NKDisplayListSet *pLists, int *piStyle)
{
    int iStyle = first.iDrawStyle;
    if (CameraMoving() && MoveMode() == NK_MOVE_POINTS) return false;
    if (CameraMoving() && MoveMode() == NK_MOVE_LINES) iStyle = NK_DRAW_LINES;
    if (CameraMoving() && MoveMode() == NK_MOVE_OUTLINE) iStyle = NK_DRAW_OUTLINE;
    if (iStyle == NK_DRAW_HIDDEN_LINES) iStyle = NK_DRAW_LINES;
    const NKScalarPartEntry *pEntry = nullptr;
    if (iStyle == NK_DRAW_POINTS || (first.bFringes && NodeValuesFor(pFrame, iFirst, &pEntry)))
        return false;
    glShadeModel(first.bSmooth ? GL_SMOOTH : GL_FLAT);
    if (iStyle == NK_DRAW_SURFACE) {
        glEnable(GL_LIGHTING);
        NKCallMaterialList(pLists, iFirst);
    } else {
        float afColor[3];
        NKScaleByMaxComponent(afColor, first.material.ambient);
        glDisable(GL_LIGHTING);
        glColor3fv(afColor);
    }
    *piStyle = iStyle;
    return true;
}

// One part of the locked batch in the batch's binding: its polygons of
// visibility 0 with per-vertex normals, or for line styles its polygon
// edges as one GL_LINES block.
static void DrawLockedPart(int iPart, NKPart *pPart, NKFrame *pFrame, bool bLines)
{
    const float *pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
    if (pfCoords == nullptr) return;
    const int8_t *pNormals = bLines ? nullptr : NKGetPartNodeNormals(iPart, pPart, pFrame);
    const uint8_t *pVisibility = NKGetPartVisibility(pFrame, iPart);
    if (bLines) glBegin(GL_LINES);
    for (int k = 0; k < pPart->iNumPolygons; k++) {
        const int *piNodes = nullptr;
        int iCount = 0;
        if (pVisibility != nullptr && pVisibility[k] != 0) continue;
        if (!NKGetPartPolygon(*pPart, k, &piNodes, &iCount) || iCount < 1) continue;
        bool bValid = true;
        for (int j = 0; j < iCount; j++)
            bValid = bValid && piNodes[j] >= 0 && piNodes[j] < pPart->iNumNodes;
        if (!bValid) continue;
        if (!bLines) glBegin(iCount == 3 ? GL_TRIANGLES : GL_POLYGON);
        for (int j = 0; j < iCount; j++) {
            const int a = piNodes[j];
            if (bLines) {
                glVertex3fv(pfCoords + 3 * a);
                glVertex3fv(pfCoords + 3 * piNodes[(j + 1) % iCount]);
                continue;
            }
            if (pNormals != nullptr) SendNormal(pNormals + 3 * a);
            glVertex3fv(pfCoords + 3 * a);
        }
        if (!bLines) glEnd();
    }
    if (bLines) glEnd();
}

bool NKDrawLockedParts(const int *piParts, int iCount, NKFrame *pFrame, NKDisplayListSet *pLists)
{
    NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr) return false;
    if (piParts == nullptr) iCount = pGeo->iNumParts;
    if (iCount <= 0) return false;
    const int iFirst = piParts != nullptr ? piParts[0] : 0;
    if (iFirst < 0 || iFirst >= pGeo->iNumParts || !pGeo->pParts[iFirst].bLockAttributes)
        return false;
    const NKPart &first = pGeo->pParts[iFirst];
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT | GL_POLYGON_BIT |
                 GL_DEPTH_BUFFER_BIT | GL_POLYGON_STIPPLE_BIT);
    int iStyle = 0;
    bool bUsed = BindLockedBatch(first, iFirst, pFrame, pLists, &iStyle);
    const bool bOffset = bUsed && PolygonOffsetSetting() && WantsPolygonOffset(first, pFrame);
    if (bOffset) NKEnablePolygonOffset(true);
    for (int i = 0; bUsed && i < iCount; i++) {
        const int iPart = piParts != nullptr ? piParts[i] : i;
        if (iPart < 0 || iPart >= pGeo->iNumParts) continue;
        NKPart &part = pGeo->pParts[iPart];
        if (!part.bVisible || !part.bLockAttributes || part.bCulled) continue;
        if (part.bHighlighted) HighlightPrePass(iPart, pFrame);
        DrawLockedPart(iPart, &part, pFrame, iStyle != NK_DRAW_SURFACE);
        if (part.bHighlighted) HighlightPostPass(iPart, pFrame);
    }
    if (bOffset) NKEnablePolygonOffset(false);
    glPopAttrib();
    return bUsed;
}
