// render/nk_render_mode_commands.cpp -- the five rendering-mode handlers (see
// nk_render_mode_commands.h).
#include "render/nk_render_mode_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "commands/nk_part_range.h"
#include "core/nk_bbox.h"
#include "core/nk_export_items.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_image_record.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_normals.h"
#include "core/nk_part_arrays.h"
#include "core/nk_part_lists.h"
#include "core/nk_references.h"
#include "core/nk_render_state.h"
#include "readers/nk_boundary_conditions.h"
#include "readers/nk_native_result_files.h"
#include "render/nk_background.h"
#include "render/nk_command_actions.h"
#include "render/nk_command_part_range.h"
#include "render/nk_material_commands.h"
#include "render/nk_overlays.h"
#include "render/nk_primitives.h"
#include "render/nk_render_options.h"
#include "render/nk_scene_view.h"
#include "render/nk_text.h"
#include "render/nk_texture_images.h"
#include "render/nk_view_settings.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

const char kParameterMissing[] = "Parameter missing or illegal parameter specification";

// The words after "PARAMS".
std::vector<NKString> Words(const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();
    std::vector<NKString> w;
    for (NKString t = scan.NextToken(); !t.IsEmpty(); t = scan.NextToken()) w.push_back(t);
    return w;
}
const char *Word(const std::vector<NKString> &w, size_t i)
{
    return i < w.size() ? w[i].GetText() : "";
}

NKGraphicsSettings &Graphics() { return *g_pGraphicsSettings; }

// ---- fix ------------------------------------------------------------------------------

struct FixRow {
    const char *pszWord;
    uint8_t *(*pfnByte)(void);
    uint8_t uValue;
    const char *pszMessage;  // null: silent
};

uint8_t *QuadsByte() { return &g_RendererWorkarounds.bQuadsAsPolygons; }
uint8_t *LineClipByte() { return &g_RendererWorkarounds.bLineClipFix; }
uint8_t *TrianglesByte() { return &g_RendererWorkarounds.bTrianglesOnly; }
uint8_t *TextureBackgroundByte() { return &g_RendererWorkarounds.bBackgroundTextureMapping; }
uint8_t *ByteNormalsByte() { return &g_pGraphicsSettings->bDisplayFlag; }

const FixRow kFixRows[] = {
    {"quad", QuadsByte, 1, "Turning on drawing of quads as polygons."},
    {"noquad", QuadsByte, 0, "Turning off drawing of quads as polygons."},
    {"lineclip", LineClipByte, 1, "Drawing lines one at a time to avoid line clipping bug."},
    {"nolineclip", LineClipByte, 0, "Line cliping fix turned off."},
    {"bytenormals", ByteNormalsByte, 1, "Specifying OpenGL normals as byte values."},
    {"floatnormals", ByteNormalsByte, 0, "Specifying OpenGL normals as floating point values."},
    {"texturebackground", TextureBackgroundByte, 1,
     "Using texture mapping to draw background image."},
    {"notexturebackground", TextureBackgroundByte, 0,
     "Not using texture mapping to draw background image."},
    {"triangles", TrianglesByte, 1, "Drawing polygon as only triangles."},
    {"notriangles", TrianglesByte, 0, "Not drawing polygon as only triangles."},
};

void FixInfo(void)
{
    const NKRendererWorkarounds &w = g_RendererWorkarounds;
    NKPrintInfo("Current settings:");
    NKPrintInfo(NKString::FromFormat("Quads as Polygons: %d", w.bQuadsAsPolygons).GetText());
    NKPrintInfo(NKString::FromFormat("Line clip fix: %d", w.bLineClipFix).GetText());
    NKPrintInfo(NKString::FromFormat("Byte normals: %d", Graphics().bDisplayFlag).GetText());
    NKPrintInfo(NKString::FromFormat("Use rotated fonts: %d", g_bRotateText).GetText());
    NKPrintInfo(NKString::FromFormat("Texture mapping for background polygon: %d",
                                     w.bBackgroundTextureMapping)
                    .GetText());
    NKPrintInfo(
        NKString::FromFormat("Draw all polygons as triangles: %d", w.bTrianglesOnly).GetText());
    NKPrintInfo(NKString::FromFormat("Polygon offset: %d", Graphics().bPolygonOffset).GetText());
    NKPrintInfo(
        NKString::FromFormat("Meshfactor: %g", static_cast<double>(g_fMeshDepthFactor)).GetText());
}

// fix <word>: an unknown or missing word changes nothing.
int Fix(CommandTableEntry *, const char *pszArguments)
{
    const std::vector<NKString> w = Words(pszArguments);
    const char *pszWord = Word(w, 0);
    if (std::strcmp(pszWord, "info") == 0) {
        FixInfo();
        return NK_CMD_DONE;
    }
    if (std::strcmp(pszWord, "rotatetext") == 0 || std::strcmp(pszWord, "norotatetext") == 0) {
        const uint8_t uOn = pszWord[0] == 'r' ? 1 : 0;
        g_bRotateText = uOn;
        g_RendererWorkarounds.bRotatedPlotText = uOn;
        NKInvalidateView();
        return NK_CMD_DONE;
    }
    for (const FixRow &r : kFixRows) {
        if (std::strcmp(pszWord, r.pszWord) != 0) continue;
        *r.pfnByte() = r.uValue;
        return NKCommandDone(r.pszMessage);
    }
    return NK_CMD_DONE;
}

// ---- culling, normals, part names, grouping --------------------------------------------

int FrustumCull(CommandTableEntry *, const char *pszArguments)
{
    NKViewSettings &v = *g_pViewSettings;
    for (const NKString &word : Words(pszArguments)) {
        const char *s = word.GetText();
        if (std::strcmp(s, "fast") == 0) v.iFrustumCullMethod = 0;
        if (std::strcmp(s, "best") == 0) v.iFrustumCullMethod = 1;
        if (std::strcmp(s, "info") == 0) v.bFrustumCullInfo = 1;
        if (std::strcmp(s, "noinfo") == 0) v.bFrustumCullInfo = 0;
    }
    v.bFrustumCull = 1;
    NKString msg = NKString::FromFormat("Enable view frustum culling (%s).",
                                        v.iFrustumCullMethod == 1 ? "best" : "fast");
    if (v.bFrustumCullInfo) msg = NKString::FromFormat("%s, show info", msg.GetText());
    return NKCommandDone(msg);
}

// normals and nonormals.
int Normals(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bOn = pEntry->id == NK_CID_NORMALS;
    NKArgumentScan scan(pszArguments);
    scan.NextToken();
    int iFrom = 0, iTo = 0;
    if (!NKCommandReadPartRange(pEntry, &scan, &iFrom, &iTo, false)) return NK_CMD_FAILED;
    const uint8_t uOn = bOn ? 1 : 0;
    NKChangeGeometryParts(iFrom, iTo, [uOn](NKPart &part) { part.bShowNormals = uOn; });
    return NKCommandDone(
        NKString::FromFormat(bOn ? "Turn on drawing of normals for part %d to part %d"
                                 : "Turn off drawing of normals for part %d to part %d",
                             iFrom, iTo));
}

int NormalsEdgeThreshold(CommandTableEntry *, const char *pszArguments)
{
    float fAngle = static_cast<float>(std::atof(Word(Words(pszArguments), 0)));
    if (!(fAngle >= 0.0f)) fAngle = 0.0f;
    if (fAngle > 180.0f) fAngle = 180.0f;
    Graphics().fSmoothNormalAngle = static_cast<float>(fAngle * kPi / 180.0);
    if (g_pModel != nullptr && g_pModel->iNumFrames > 0) {
        NKWaitCursor wait;
        NKComputeNormalsAllFrames();
        return NKCommandDone(NKString::FromFormat(
            "Smooth normals computed with threshold angle %.2f", static_cast<double>(fAngle)));
    }
    return NKCommandDone(NKString::FromFormat("Smooth normal threshold angle set to %.2f",
                                              static_cast<double>(fAngle)));
}

int NormalsSmoothParts(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();
    int iFrom = 0, iTo = 0;
    if (!NKCommandReadPartRange(pEntry, &scan, &iFrom, &iTo, false)) return NK_CMD_FAILED;
    if (g_pModel != nullptr && g_pModel->pFrames != nullptr) {
        NKWaitCursor wait;
        NKResetGeometryMarks();
        for (int f = 0; f < g_pModel->iNumFrames; f++) {
            NKGeometry *pGeo = g_pModel->pFrames[f].pGeometry;
            if (pGeo == nullptr || pGeo->iProcessed != -1) continue;
            pGeo->iProcessed = 1;
            NKSmoothNormalsAcrossParts(pGeo, iFrom - 1, iTo - 1);
        }
    }
    return NKCommandDone(
        NKString::FromFormat("Normals smoothed across parts %d to %d", iFrom, iTo));
}

// True when the frame holds a result, a separate vector field or part
// matrices: their per-part arrays follow the old part layout.
bool FrameHasPerPartData(const NKFrame &f)
{
    if (f.pScalar != nullptr || f.pVector != nullptr || f.pTransformation != nullptr ||
        f.pContours != nullptr)
        return true;
    for (const NKSeparateVectorField *p : f.pSeparateVectors)
        if (p != nullptr) return true;
    for (int i = 0; i < NK_NUM_EXTRA_RESULTS; i++)
        if (f.pExtraScalar[i] != nullptr || f.pExtraVector[i] != nullptr) return true;
    return false;
}

// Frame 0's polygon state bytes (iOldParts arrays) replaced by zeroed ones for
// the geometry's parts now; false when memory runs out (the frame then has
// none).
bool RemakeStateArrays(NKFrame *pFrame, int iOldParts)
{
    if (pFrame->ppVisibility != nullptr) {
        for (int i = 0; i < iOldParts; i++) NKFree(pFrame->ppVisibility[i]);
        NKFree(pFrame->ppVisibility);
        pFrame->ppVisibility = nullptr;
    }
    const NKGeometry *pGeo = pFrame->pGeometry;
    if (pGeo->iNumParts < 1) return true;
    pFrame->ppVisibility =
        static_cast<uint8_t **>(NKCalloc(static_cast<size_t>(pGeo->iNumParts), sizeof(uint8_t *)));
    if (pFrame->ppVisibility == nullptr) return false;
    for (int i = 0; i < pGeo->iNumParts; i++) {
        const int n = pGeo->pParts[i].iNumPolygons;
        if (n < 1) continue;
        pFrame->ppVisibility[i] = static_cast<uint8_t *>(NKCalloc(static_cast<size_t>(n), 1));
        if (pFrame->ppVisibility[i] == nullptr) return false;
    }
    return true;
}

// The part numbers of a groupparts line (1-based, sorted, each once); false,
// reported, for a number outside the parts.
bool GroupList(CommandTableEntry *pEntry, const std::vector<NKString> &w, const NKGeometry *pGeo,
               std::vector<int> *pOut)
{
    const int n = pGeo->iNumParts;
    for (const NKString &word : w) {
        const char *s = word.GetText();
        if (std::strncmp(s, "sel", 3) == 0) {
            for (int i = 0; i < n; i++)
                if (pGeo->pParts[i].bSelected) pOut->push_back(i + 1);
            continue;
        }
        const char *pDash = std::strchr(s + 1, '-');
        int a = std::atoi(s), b = pDash != nullptr ? std::atoi(pDash + 1) : a;
        if (a > b) std::swap(a, b);
        if (a < 1 || b > n) {
            NKCommandFail(pEntry,
                          NKString::FromFormat("Illegal part number %d  (legal range 1 -> %d)",
                                               a < 1 ? a : b, n));
            return false;
        }
        for (int i = a; i <= b; i++) pOut->push_back(i);
    }
    std::sort(pOut->begin(), pOut->end());
    pOut->erase(std::unique(pOut->begin(), pOut->end()), pOut->end());
    return true;
}

// groupparts: only a model of one frame without results, separate fields or
// part matrices, whose per-part arrays can all be remade for the new parts.
int GroupParts(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (g_pModel == nullptr || g_pModel->iNumFrames != 1 || g_pModel->pFrames == nullptr ||
        g_pModel->pFrames[0].pGeometry == nullptr || FrameHasPerPartData(g_pModel->pFrames[0]))
        return NKCommandFail(pEntry,
                             "Parts can only be grouped in a model of one frame without results");
    NKFrame *pFrame = &g_pModel->pFrames[0];
    NKGeometry *pGeo = pFrame->pGeometry;
    std::vector<int> parts;
    if (!GroupList(pEntry, Words(pszArguments), pGeo, &parts)) return NK_CMD_FAILED;
    for (int &i : parts) i -= 1;
    const int iOldParts = pGeo->iNumParts;
    if (!NKGroupParts(pGeo, parts.data(), static_cast<int>(parts.size())))
        return NKCommandFail(pEntry, "Parts could not be grouped");
    const bool bArrays = RemakeStateArrays(pFrame, iOldParts);
    NKFree(pFrame->pPartBoundingBoxes);
    pFrame->pPartBoundingBoxes = nullptr;
    NKComputeFrameBoundingBoxes(0, true, true);
    NKInvalidatePartLists(pFrame);
    NKClearPartsCulled(-1);
    NKFlagMaterialsForUpdate(g_pListUpdateInfo, -1, -1);
    NKInvalidateView();
    return bArrays ? NK_CMD_DONE : NKCommandFail(pEntry, "Out of memory.");
}

// ---- line style ---------------------------------------------------------------------

// A size or quality word: false, reported, when missing or not above 0.
bool PositiveValue(CommandTableEntry *pEntry, const NKString &word, const char *pszNotPositive,
                   float *pfOut)
{
    if (word.IsEmpty() || !NKWordToFloat(word.GetText(), pfOut)) {
        NKCommandFail(pEntry, kParameterMissing);
        return false;
    }
    if (!(*pfOut > 0.0f)) {
        NKCommandFail(pEntry, pszNotPositive);
        return false;
    }
    return true;
}

// spherepoints / cylinderlines [from to] and their negations.
int PartShapeFlag(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bSpheres = pEntry->id == NK_CID_SPHEREPOINTS || pEntry->id == NK_CID_NOSPHEREPOINTS;
    const bool bOn = pEntry->id == NK_CID_SPHEREPOINTS || pEntry->id == NK_CID_CYLINDERLINES;
    NKArgumentScan scan(pszArguments);
    scan.NextToken();
    int iFrom = 0, iTo = 0;
    if (!NKCommandReadPartRange(pEntry, &scan, &iFrom, &iTo, false)) return NK_CMD_FAILED;
    const uint8_t uOn = bOn ? 1 : 0;
    NKChangeGeometryParts(iFrom, iTo, [bSpheres, uOn](NKPart &part) {
        (bSpheres ? part.bPointsAsSpheres : part.bLinesAsCylinders) = uOn;
    });
    NKInvalidateAllPartLists();
    return NKCommandDone(
        NKString::FromFormat(bSpheres ? "%sdrawing of points as spheres for part %d to part %d"
                                      : "%sdrawing of lines as cylinders for part %d to part %d",
                             bOn ? "Enable " : "Disable ", iFrom, iTo));
}

// spherepoints size / cylinderlines size <size> [from to]: the size in model
// units as the display length of (size / sqrt 3) (1, 1, 1).
int PartShapeSize(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bSpheres = pEntry->id == NK_CID_SPHEREPOINTS_SIZE;
    NKArgumentScan scan(pszArguments);
    scan.NextToken();
    float fSize = 0.0f;
    if (!PositiveValue(pEntry, scan.NextToken(),
                       "Illegal size specification, size must be larger than 0", &fSize))
        return NK_CMD_FAILED;
    int iFrom = 0, iTo = 0;
    if (!NKCommandReadPartRange(pEntry, &scan, &iFrom, &iTo, false)) return NK_CMD_FAILED;
    const float c = static_cast<float>(fSize / std::sqrt(3.0));
    float v[3] = {c, c, c};
    ModelToDisplayVector(v);
    const float fDisplay = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    NKChangeGeometryParts(iFrom, iTo, [bSpheres, fDisplay](NKPart &part) {
        (bSpheres ? part.fSphereSize : part.fCylinderSize) = fDisplay;
    });
    NKInvalidateAllPartLists();
    return NKCommandDone(
        NKString::FromFormat(bSpheres ? "Sphere size for part %d to part %d set to %g"
                                      : "Cylinder size for part %d to part %d set to %g",
                             iFrom, iTo, static_cast<double>(fSize)));
}

// spherepoints quality / cylinderlines quality.
int PartShapeQuality(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bSpheres = pEntry->id == NK_CID_SPHEREPOINTS_QUALITY;
    float fFactor = 0.0f;
    NKArgumentScan scan(pszArguments);
    scan.NextToken();
    if (!PositiveValue(pEntry, scan.NextToken(),
                       "Illegal scale factor specification, factor must be larger than 0",
                       &fFactor))
        return NK_CMD_FAILED;
    (bSpheres ? Graphics().fSphereQuality : Graphics().fCylinderQuality) = fFactor;
    return NKCommandDone(
        NKString::FromFormat(bSpheres ? "Quality factor for sphere resolution set to %g"
                                      : "Quality factor for cylinder resolution set to %g",
                             static_cast<double>(fFactor)));
}

// linewidth and pointsize: an integer of at least 1 (missing 1), applied.
// linewidth and pointsize.
int PixelSize(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bLine = pEntry->id == NK_CID_LINEWIDTH;
    int v = std::atoi(Word(Words(pszArguments), 0));
    if (v < 1) v = 1;
    (bLine ? Graphics().iLineWidth : Graphics().iPointSize) = v;
    Graphics().bChanged = 1;
    return NKCommandDone(NKString::FromFormat(bLine ? "Set linewidth to %d pixels (Default: 1)"
                                                    : "Set point size to %d pixels (Default: 1)",
                                              v));
}

// ---- background ---------------------------------------------------------------------

// Reads up to iColours colours into the background record from the words (a
// missing component keeps its value); with no word at all, the defaults.
void ReadColours(const std::vector<NKString> &w, int iColours, const uint8_t (*pDefaults)[3])
{
    uint8_t(*c)[3] = g_pBackgroundSettings->ucColors;
    if (w.empty() && pDefaults != nullptr) {
        std::memcpy(c, pDefaults, static_cast<size_t>(iColours) * 3);
        return;
    }
    for (int i = 0; i < 3 * iColours && static_cast<size_t>(i) < w.size(); i++)
        c[i / 3][i % 3] = static_cast<uint8_t>(std::atoi(w[i].GetText()) & 0xFF);
}

struct BackgroundRow {
    int iId;
    int iMode;
    int iColours;
    uint8_t auDefaults[4][3];
    const char *apszLabels[4];
};

const BackgroundRow kBackgroundRows[] = {
    {NK_CID_VBACKGROUND, 1, 2, {{0, 0, 0}, {50, 70, 150}}, {"  - Lower color", "  - Upper color"}},
    {NK_CID_VVBACKGROUND,
     2,
     3,
     {{0, 0, 0}, {50, 70, 150}, {0, 0, 0}},
     {"  - Lower  color", "  - Center color", "  - Upper  color"}},
    {NK_CID_SBACKGROUND,
     4,
     2,
     {{0, 0, 0}, {50, 70, 150}},
     {"  - Outer  color", "  - Center color"}},
    {NK_CID_QBACKGROUND,
     3,
     4,
     {{100, 0, 50}, {50, 50, 100}, {0, 100, 50}, {100, 50, 0}},
     {"  - Bottom left corner color", "  - Bottom right corner color", "  - Top right corner color",
      "  - Top left corner color"}},
};

int MultiColourBackground(const BackgroundRow &row, const char *pszArguments)
{
    ReadColours(Words(pszArguments), row.iColours, row.auDefaults);
    g_pBackgroundSettings->iMode = row.iMode;
    NKPrintInfo("Changing background colors to:");
    for (int i = 0; i < row.iColours; i++) {
        const uint8_t *c = g_pBackgroundSettings->ucColors[i];
        NKPrintInfo(NKString::FromFormat("%s: red=%3d green=%3d blue=%3d", row.apszLabels[i], c[0],
                                         c[1], c[2])
                        .GetText());
    }
    NKInvalidateView();
    return NK_CMD_DONE;
}

int ImageBackground(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();
    const NKString name = scan.NextArgument();
    if (name.IsEmpty())
        return NKCommandFail(pEntry, "Cannot open file for reading. No filename specified");
    ImageRecord *pImage = nullptr;
    const int i = NKFindTextureImage(&TextureImageList, name.GetText());
    if (i >= 0)
        pImage = static_cast<ImageRecord *>(TextureImageList.GetAt(i));
    else if (std::strcmp(name.GetText(), "clipboard") == 0)
        pImage = NKReadClipboardTexture(&TextureImageList, name.GetText());
    else
        pImage = NKReadTextureImage(&TextureImageList, name.GetText(), nullptr);
    if (pImage == nullptr)
        return NKCommandFail(pEntry, NKString::FromFormat("Cannot read image %s", name.GetText()));
    g_BackgroundImage.pImage = pImage;
    g_pBackgroundSettings->iMode = 5;
    NKFlagTextureImagesForUpdate(g_pListUpdateInfo, -1, -1);
    return NKCommandDone(NKString::FromFormat("Background image %s loaded.", name.GetText()));
}

// ---- switch tables ------------------------------------------------------------------

// A command that sets one byte to a value and says so.
struct GraphicsSwitchRow {
    int iId;
    uint8_t *(*pfnByte)(void);
    uint8_t uValue;
    bool bApplied;  // the graphics settings must reach the OpenGL state again
    const char *pszMessage;
};

uint8_t *CullByte() { return &g_pGraphicsSettings->bCull; }
uint8_t *BackfaceByte() { return &g_pGraphicsSettings->bBackface; }
uint8_t *OcclusionByte() { return &g_pViewSettings->bOcclusionCull; }
uint8_t *PartNamesByte() { return &g_pViewSettings->bShowPartNames; }
uint8_t *LineSmoothByte() { return &g_pGraphicsSettings->bLineSmooth; }
uint8_t *PointSmoothByte() { return &g_pGraphicsSettings->bPointSmooth; }
uint8_t *MagnitudeByte() { return &g_bComplexMagnitude; }
uint8_t *BcTextByte() { return &g_bBoundaryText; }
uint8_t *BcDisplacementByte() { return &g_bShowBoundaryConditions[0]; }
uint8_t *BcForceByte() { return &g_bShowBoundaryConditions[1]; }
uint8_t *BcShownByte() { return &g_pViewSettings->bShowBoundary; }

const GraphicsSwitchRow kSwitchRows[] = {
    {NK_CID_CULL, CullByte, 0, false, "One-sided lighting turned on"},
    {NK_CID_NOCULL, CullByte, 1, false, "Two-sided lighting turned on"},
    {NK_CID_BACKFACE, BackfaceByte, 1, true, "Enable backfacing polygon elimination"},
    {NK_CID_NOBACKFACE, BackfaceByte, 0, true, "Disable backfacing polygon elimination"},
    {NK_CID_NOOCCLUSIONCULL, OcclusionByte, 0, false, "Disable occlusion culling."},
    {NK_CID_PARTNAMES, PartNamesByte, 1, false, "Display of part names enabled."},
    {NK_CID_NOPARTNAMES, PartNamesByte, 0, false, "Display of part names disabled."},
    {NK_CID_LINESMOOTH, LineSmoothByte, 1, false, "Enable line antialising"},
    {NK_CID_NOLINESMOOTH, LineSmoothByte, 0, false, "Turn off line antialising (default)"},
    {NK_CID_POINTSMOOTH, PointSmoothByte, 1, true, "Enable point antialising"},
    {NK_CID_NOPOINTSMOOTH, PointSmoothByte, 0, true, "Disable point antialising (default)"},
    {NK_CID_COMPLEX_AMPLITUDE, MagnitudeByte, 1, false, "Enable magnitude for complex results"},
    {NK_CID_NOCOMPLEX_AMPLITUDE, MagnitudeByte, 0, false,
     "Disable magnitude for complex results (use phase_angle)"},
    {NK_CID_BCTEXT, BcTextByte, 1, false, "Turn on drawing of boundary conditions text"},
    {NK_CID_NOBCTEXT, BcTextByte, 0, false, "Turn off drawing of boundary conditions text"},
    {NK_CID_BCDIS, BcDisplacementByte, 1, false, "Turn on drawing of node displacements"},
    {NK_CID_NOBCDIS, BcDisplacementByte, 0, false, "Turn off drawing of node displacements"},
    {NK_CID_BCFORCE, BcForceByte, 1, false, "Turn on drawing of node forces"},
    {NK_CID_NOBCFORCE, BcForceByte, 0, false, "Turn off drawing of node forces"},
    {NK_CID_NOBC, BcShownByte, 0, false, "Turn off drawing of boundary conditions"},
};

// The switch row of the id when it belongs to the handler's own id list.
int RunSwitch(CommandTableEntry *pEntry, const int *piIds, size_t iCount)
{
    if (std::find(piIds, piIds + iCount, pEntry->id) == piIds + iCount) return NK_CMD_NOT_MINE;
    for (const GraphicsSwitchRow &r : kSwitchRows) {
        if (r.iId != pEntry->id) continue;
        *r.pfnByte() = r.uValue;
        if (r.bApplied) Graphics().bChanged = 1;
        return NKCommandDone(r.pszMessage);
    }
    return NK_CMD_NOT_MINE;
}

bool Ready(void) { return g_pGraphicsSettings != nullptr && g_pViewSettings != nullptr; }

// A handler of commands run by its own rows (aRun) and of plain switches of
// kSwitchRows (aiPlain): not mine for other ids, failed before the settings
// exist, else the row's function or the switch.
template <size_t N, size_t M>
int RunOwnCommand(const NKCommandAction (&aRun)[N], const int (&aiPlain)[M],
                  CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry == nullptr) return NK_CMD_NOT_MINE;
    const NKCommandAction *pRow = NKFindCommandAction(aRun, pEntry->id);
    const bool bPlain =
        std::find(std::begin(aiPlain), std::end(aiPlain), pEntry->id) != std::end(aiPlain);
    if (pRow == nullptr && !bPlain) return NK_CMD_NOT_MINE;
    if (!Ready()) return NK_CMD_FAILED;
    if (pRow != nullptr) return pRow->pfnRun(pEntry, pszArguments);
    return RunSwitch(pEntry, aiPlain, M);
}

int NoFrustumCull(CommandTableEntry *, const char *)
{
    g_pViewSettings->bFrustumCull = 0;
    NKClearPartsCulled(-1);
    return NKCommandDone("Disable view frustum culling.");
}

int OcclusionCull(CommandTableEntry *pEntry, const char *)
{
    if (!NKIsHPOcclusionSupported())
        return NKCommandFail(
            pEntry, "Cannot enable occlusion culling. Occlusion culling extension not found.");
    g_pViewSettings->bOcclusionCull = 1;
    return NKCommandDone("Enable occlusion culling.");
}

const NKCommandAction kRenderFixActions[] = {
    {NK_CID_FIX, Fix},
    {NK_CID_FRUSTUMCULL, FrustumCull},
    {NK_CID_NOFRUSTUMCULL, NoFrustumCull},
    {NK_CID_OCCLUSIONCULL, OcclusionCull},
    {NK_CID_NORMALS, Normals},
    {NK_CID_NONORMALS, Normals},
    {NK_CID_NORMALS_EDGETHRESHOLD, NormalsEdgeThreshold},
    {NK_CID_NORMALS_SMOOTHPARTS, NormalsSmoothParts},
    {NK_CID_GROUPPARTS, GroupParts},
};

const NKCommandAction kLineStyleActions[] = {
    {NK_CID_LINEWIDTH, PixelSize},
    {NK_CID_POINTSIZE, PixelSize},
    {NK_CID_SPHEREPOINTS, PartShapeFlag},
    {NK_CID_NOSPHEREPOINTS, PartShapeFlag},
    {NK_CID_CYLINDERLINES, PartShapeFlag},
    {NK_CID_NOCYLINDERLINES, PartShapeFlag},
    {NK_CID_SPHEREPOINTS_SIZE, PartShapeSize},
    {NK_CID_CYLINDERLINES_SIZE, PartShapeSize},
    {NK_CID_SPHEREPOINTS_QUALITY, PartShapeQuality},
    {NK_CID_CYLINDERLINES_QUALITY, PartShapeQuality},
};

}  // namespace

int NKCommandHandleRenderFix(CommandTableEntry *pEntry, const char *pszArguments)
{
    static const int kIds[] = {NK_CID_CULL,           NK_CID_NOCULL,    NK_CID_BACKFACE,
                               NK_CID_NOBACKFACE,     NK_CID_PARTNAMES, NK_CID_NOPARTNAMES,
                               NK_CID_NOOCCLUSIONCULL};
    return RunOwnCommand(kRenderFixActions, kIds, pEntry, pszArguments);
}

int NKCommandHandleLineStyle(CommandTableEntry *pEntry, const char *pszArguments)
{
    static const int kIds[] = {NK_CID_LINESMOOTH, NK_CID_NOLINESMOOTH, NK_CID_POINTSMOOTH,
                               NK_CID_NOPOINTSMOOTH};
    return RunOwnCommand(kLineStyleActions, kIds, pEntry, pszArguments);
}

int NKCommandHandleComplex(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry == nullptr) return NK_CMD_NOT_MINE;
    if (pEntry->id == NK_CID_PHASE_ANGLE) {
        float fDegrees = static_cast<float>(std::atof(Word(Words(pszArguments), 0)));
        if (!(fDegrees >= 0.0f)) fDegrees = 0.0f;
        if (fDegrees > 359.0f) fDegrees = 359.0f;
        g_fPhaseAngle = static_cast<float>(fDegrees * kPi / 180.0);
        return NKCommandDone(NKString::FromFormat("Phase angle for complex results: %g",
                                                  static_cast<double>(fDegrees)));
    }
    static const int kIds[] = {NK_CID_COMPLEX_AMPLITUDE, NK_CID_NOCOMPLEX_AMPLITUDE};
    return RunSwitch(pEntry, kIds, std::size(kIds));
}

int NKCommandHandleBoundary(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry == nullptr) return NK_CMD_NOT_MINE;
    switch (pEntry->id) {
    case NK_CID_BCSCALE: {
        float f = g_fBoundaryConditionScale;
        NKWordToFloat(Word(Words(pszArguments), 0), &f);
        g_fBoundaryConditionScale = f;
        return NKCommandDone(NKString::FromFormat(
            "Setting boundary conditions scaling factor to: %g", static_cast<double>(f)));
    }
    case NK_CID_BCLOAD:
    case NK_CID_NOBCLOAD: {
        const uint8_t uOn = pEntry->id == NK_CID_BCLOAD ? 1 : 0;
        g_bShowBoundaryConditions[2] = g_bShowBoundaryConditions[3] = uOn;
        return NKCommandDone(uOn ? "Turn on drawing of distributed loads"
                                 : "Turn off drawing of distributed loads");
    }
    case NK_CID_BC: {
        if (g_pViewSettings == nullptr) return NK_CMD_FAILED;
        const std::vector<NKString> w = Words(pszArguments);
        g_iBoundaryLoadCase = w.empty() ? 1 : std::atoi(w[0].GetText());
        g_pViewSettings->bShowBoundary = 1;
        return NKCommandDone("Turn on drawing of boundary conditions");
    }
    default:
        break;
    }
    static const int kIds[] = {NK_CID_BCTEXT,  NK_CID_NOBCTEXT,  NK_CID_BCDIS, NK_CID_NOBCDIS,
                               NK_CID_BCFORCE, NK_CID_NOBCFORCE, NK_CID_NOBC};
    if (pEntry->id == NK_CID_NOBC && g_pViewSettings == nullptr) return NK_CMD_FAILED;
    return RunSwitch(pEntry, kIds, std::size(kIds));
}

int NKCommandHandleBackground(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry == nullptr) return NK_CMD_NOT_MINE;
    const bool bMine =
        pEntry->id == NK_CID_BACKGROUND || pEntry->id == NK_CID_IMAGEBACKGROUND ||
        std::any_of(std::begin(kBackgroundRows), std::end(kBackgroundRows),
                    [pEntry](const BackgroundRow &r) { return r.iId == pEntry->id; });
    if (!bMine) return NK_CMD_NOT_MINE;
    if (g_pBackgroundSettings == nullptr) return NK_CMD_FAILED;
    if (pEntry->id == NK_CID_IMAGEBACKGROUND) return ImageBackground(pEntry, pszArguments);
    if (pEntry->id == NK_CID_BACKGROUND) {
        ReadColours(Words(pszArguments), 1, nullptr);
        g_pBackgroundSettings->iMode = 0;
        const uint8_t *c = g_pBackgroundSettings->ucColors[0];
        NKAdjustColorsToBackground(c, g_uTextColor, g_VectorSettings.uColor);
        if (g_pGraphicsSettings != nullptr) g_pGraphicsSettings->bChanged = 1;
        return NKCommandDone(NKString::FromFormat(
            "Changing background color to red=%d green=%d blue=%d", c[0], c[1], c[2]));
    }
    for (const BackgroundRow &r : kBackgroundRows)
        if (r.iId == pEntry->id) return MultiColourBackground(r, pszArguments);
    return NK_CMD_NOT_MINE;
}

void NKRegisterRenderModeCommands(void)
{
    NKSetCommandHandler(NK_HANDLER_RENDER_FIX, NKCommandHandleRenderFix);
    NKSetCommandHandler(NK_HANDLER_LINE_STYLE, NKCommandHandleLineStyle);
    NKSetCommandHandler(NK_HANDLER_COMPLEX, NKCommandHandleComplex);
    NKSetCommandHandler(NK_HANDLER_BOUNDARY, NKCommandHandleBoundary);
    NKSetCommandHandler(NK_HANDLER_BACKGROUND, NKCommandHandleBackground);
}
