// render/nk_part_display_commands.cpp -- NKCommandHandlePartDisplay (see
// nk_part_display_commands.h).
#include "render/nk_part_display_commands.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <strings.h>

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_macros.h"
#include "commands/nk_part_range.h"
#include "core/nk_bbox.h"
#include "core/nk_diagnostic.h"
#include "core/nk_edges.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_load_hooks.h"
#include "core/nk_mesh.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_normals.h"
#include "core/nk_part_arrays.h"
#include "core/nk_progress.h"
#include "core/nk_render_state.h"
#include "readers/nk_output3d.h"
#include "render/nk_command_actions.h"
#include "render/nk_command_part_range.h"
#include "render/nk_culling.h"
#include "render/nk_element_drawing.h"
#include "render/nk_lod.h"
#include "render/nk_material_commands.h"
#include "render/nk_part_overlays.h"
#include "render/nk_scene_view.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kDefaultMeshFactor = 0.0005f;
const char kIllegalParameter[] = "Illegal parameter specified";
const char kParameterMissing[] = "Parameter missing or illegal parameter specification";

// A command's argument scan past its "PARAMS" word, and the part range read
// from it.
struct Args {
    explicit Args(const char *pszArguments) : scan(pszArguments) { scan.NextToken(); }
    // False (the parser's message printed as the command's error) for an
    // illegal range.
    bool ReadRange(CommandTableEntry *pEntry, bool bCheckLocks)
    {
        return NKCommandReadPartRange(pEntry, &scan, &iFrom, &iTo, bCheckLocks, &iRange);
    }
    NKArgumentScan scan;
    int iFrom = 0, iTo = 0;
    int iRange = NK_PART_RANGE_NONE;
};

// The next word read as a number: false when there is none or it does not
// begin with one.
bool NextNumber(NKArgumentScan *pScan, double *pdValue)
{
    NKString word = pScan->NextToken();
    if (word.IsNull()) return false;
    char *pszEnd = nullptr;
    *pdValue = std::strtod(word.GetText(), &pszEnd);
    return pszEnd != word.GetText();
}

// True when the current geometry has a part array.
bool HavePartArray()
{
    const NKGeometry *pGeo = NKGetCurrentGeometry();
    return pGeo != nullptr && pGeo->pParts != nullptr;
}

// The part range, then (unless pszNoParts is null) the part array: false
// after the range's error, or after the diagnostic pszNoParts from
// pszConstant when the current geometry has no part array.
bool ReadPartSpan(CommandTableEntry *pEntry, Args *pArgs, bool bCheckLocks, const char *pszNoParts,
                  const char *pszConstant)
{
    if (!pArgs->ReadRange(pEntry, bCheckLocks)) return false;
    if (pszNoParts == nullptr || HavePartArray()) return true;
    NKDiagnostic(pszNoParts, pszConstant);
    return false;
}

// ---- Range commands --------------------------------------------------------

// post, unpost: visibility of the span, and the reservoir overlay parts in it.
// post shows the span, unpost hides it.
int Visibility(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bShow = pEntry->id == NK_CID_POST;
    Args a(pszArguments);
    if (!a.ReadRange(pEntry, false)) return NK_CMD_FAILED;
    NKChangeGeometryParts(a.iFrom, a.iTo, [bShow](NKPart &part) { part.bVisible = bShow ? 1 : 0; });
    if (NKGetNumReservoirOverlays() > 0) NKShowReservoirOverlayParts(bShow, a.iFrom - 1, a.iTo - 1);
    const char *pszFormat = bShow ? "Display part %d to part %d." : "Hide part %d to part %d.";
    return NKCommandDone(NKString::FromFormat(pszFormat, a.iFrom, a.iTo));
}

int SwapParts(CommandTableEntry *, const char *)
{
    NKForEachGeometry([](NKGeometry *pGeo) {
        for (int i = 0; i < pGeo->iNumParts && pGeo->pParts != nullptr; i++)
            pGeo->pParts[i].bVisible = pGeo->pParts[i].bVisible ? 0 : 1;
    });
    return NKCommandDone("Part visibilities swapped.");
}

// smooth, nosmooth, mesh, nomesh: one flag over the span.
struct SpanFlagRow {
    int iId;
    uint8_t NKPart::*pFlag;
    uint8_t uValue;
    const char *pszFormat;
};

const SpanFlagRow kSpanFlagRows[] = {
    {NK_CID_SMOOTH, &NKPart::bSmooth, 1, "Gouraud shading turned on for part %d to part %d."},
    {NK_CID_NOSMOOTH, &NKPart::bSmooth, 0, "Flat shading turned on for part %d to part %d."},
    {NK_CID_MESH, &NKPart::bMesh, 1,
     "Turn on drawing of polygon mesh lines for part %d to part %d"},
    {NK_CID_NOMESH, &NKPart::bMesh, 0,
     "Turn off drawing of polygon mesh lines for part %d to part %d"},
};

int SpanFlag(CommandTableEntry *pEntry, const char *pszArguments, const SpanFlagRow &row)
{
    Args a(pszArguments);
    if (!a.ReadRange(pEntry, false)) return NK_CMD_FAILED;
    NKChangeGeometryParts(a.iFrom, a.iTo, [&row](NKPart &part) { part.*row.pFlag = row.uValue; });
    return NKCommandDone(NKString::FromFormat(row.pszFormat, a.iFrom, a.iTo));
}

struct DrawStyleRow {
    int iId;
    int iStyle;   // the style set
    bool bReset;  // true: parts in iStyle go back to surface
    const char *pszFormat;
    const char *pszNoParts;  // diagnostic when the geometry has no part array; null: none
    const char *pszConstant;
};

const DrawStyleRow kDrawStyleRows[] = {
    {NK_CID_SURFACE, NK_DRAW_SURFACE, false, "Turning surface on for part %d to part %d", nullptr,
     nullptr},
    {NK_CID_LINES, NK_DRAW_LINES, false, "Turning lines on for part %d to part %d", nullptr,
     nullptr},
    {NK_CID_NOLINES, NK_DRAW_LINES, true, "Turning lines off for part %d to part %d", nullptr,
     nullptr},
    {NK_CID_DOTS, NK_DRAW_POINTS, false, "Turning points on for part %d to part %d", nullptr,
     nullptr},
    {NK_CID_NODOTS, NK_DRAW_POINTS, true, "Turning points off for part %d to part %d", nullptr,
     nullptr},
    {NK_CID_OUTLINE, NK_DRAW_OUTLINE, false, "Enabled drawing of outlines for parts %d to %d",
     "Error enabling outline, no parts found.", "NK_CID_OUTLINE"},
    {NK_CID_NOOUTLINE, NK_DRAW_OUTLINE, true, "Disabled drawing of outlines for parts %d to %d",
     "Error disabling outline, no parts found.", "NK_CID_NOOUTLINE"},
    {NK_CID_HIDDENLINES, NK_DRAW_HIDDEN_LINES, false,
     "Enabled hidden line removal for parts %d to %d", "Error enabling outline, no parts found.",
     "NK_CID_HIDDENLINES"},
    {NK_CID_NOHIDDENLINES, NK_DRAW_HIDDEN_LINES, true,
     "Disabled hidden line removal for parts %d to %d", "Error disabling outline, no parts found.",
     "NK_CID_NOHIDDENLINES"},
};

// The draw-style commands: the lock-checked range; with "sel" only the
// selected parts of the span change.
int DrawStyle(CommandTableEntry *pEntry, const char *pszArguments, const DrawStyleRow &row)
{
    Args a(pszArguments);
    if (!ReadPartSpan(pEntry, &a, true, row.pszNoParts, row.pszConstant)) return NK_CMD_FAILED;
    const bool bSelectedOnly = a.iRange == NK_PART_RANGE_SELECTED;
    NKChangeGeometryParts(a.iFrom, a.iTo, [&row, bSelectedOnly](NKPart &part) {
        if (bSelectedOnly && !part.bSelected) return;
        if (!row.bReset)
            part.iDrawStyle = row.iStyle;
        else if (part.iDrawStyle == row.iStyle)
            part.iDrawStyle = NK_DRAW_SURFACE;
    });
    NKInvalidateAllPartLists();
    return NKCommandDone(NKString::FromFormat(row.pszFormat, a.iFrom, a.iTo));
}

// outlinemesh [range] [r g b]: each component given is stored; the last
// one given decides the default-colour flag (negative: default colour).
// Without components the part takes the default colour.
int OutlineMesh(CommandTableEntry *pEntry, const char *pszArguments)
{
    Args a(pszArguments);
    if (!ReadPartSpan(pEntry, &a, false, "Error enabling outline, no parts found.",
                      "NK_CID_OUTLINEMESH"))
        return NK_CMD_FAILED;
    int aiColor[3] = {0, 0, 0};
    int iGiven = 0;
    for (int k = 0; k < 3; k++) {
        NKString word = a.scan.NextToken();
        if (word.IsNull()) break;
        aiColor[k] = std::atoi(word.GetText());
        iGiven = k + 1;
    }
    const bool bDefault = iGiven == 0 || aiColor[iGiven - 1] < 0;
    NKChangeGeometryParts(a.iFrom, a.iTo, [&aiColor, iGiven, bDefault](NKPart &part) {
        part.bOutlineMesh = 1;
        for (int k = 0; k < iGiven; k++) part.uOutlineMeshColor[k] = (uint8_t)(aiColor[k] & 0xFF);
        part.bOutlineMeshDefaultColor = bDefault ? 1 : 0;
    });
    return NKCommandDone(
        NKString::FromFormat("Enabled drawing of outline mesh for parts %d to %d", a.iFrom, a.iTo));
}

int NoOutlineMesh(CommandTableEntry *pEntry, const char *pszArguments)
{
    Args a(pszArguments);
    if (!ReadPartSpan(pEntry, &a, false, "Error disabling outline, no parts found.",
                      "NK_CID_NOOUTLINEMESH"))
        return NK_CMD_FAILED;
    NKChangeGeometryParts(a.iFrom, a.iTo, [](NKPart &part) { part.bOutlineMesh = 0; });
    return NKCommandDone(NKString::FromFormat("Disabled drawing of outline mesh for parts %d to %d",
                                              a.iFrom, a.iTo));
}

int OutwardNormals(CommandTableEntry *pEntry, const char *pszArguments)
{
    Args a(pszArguments);
    if (!ReadPartSpan(pEntry, &a, false, "Error orienting normals, no parts found.",
                      "NK_CID_OUTWARDNORMALS"))
        return NK_CMD_FAILED;
    NKChangeGeometryParts(a.iFrom, a.iTo, [](NKPart &part) { NKOrientPartNormalsOutward(&part); });
    NKInvalidateView();
    return NK_CMD_DONE;
}

int RemoveDuplicateNodes(CommandTableEntry *pEntry, const char *pszArguments)
{
    Args a(pszArguments);
    if (!a.ReadRange(pEntry, false)) return NK_CMD_FAILED;
    NKWaitCursor wait;
    NKChangeGeometryParts(a.iFrom, a.iTo, [](NKPart &part) {
        if (part.pConnects == nullptr || part.pNodeCoords == nullptr) return;
        NKMergeCoincidentNodes(part.pConnects, part.iNumConnects,
                               reinterpret_cast<float(*)[3]>(part.pNodeCoords), part.iNumNodes);
    });
    NKComputeNormalsAllFrames();
    NKFindEdgesAllFrames();
    return NKCommandDone(
        NKString::FromFormat("Duplicate nodes removed for for parts %d to %d", a.iFrom, a.iTo));
}

int CreateNodeIds(CommandTableEntry *pEntry, const char *)
{
    NKWaitCursor wait;
    bool bOk = true;
    NKForEachGeometry([&bOk](NKGeometry *pGeo) {
        if (!NKCreateNodeIDs(pGeo)) bOk = false;
    });
    if (!bOk) return NKCommandFail(pEntry, "Error creating global node IDs");
    return NKCommandDone("Global node IDs created");
}

// ---- Global settings -------------------------------------------------------

int MeshColor(CommandTableEntry *, const char *pszArguments)
{
    Args a(pszArguments);
    for (int k = 0; k < 3; k++) {
        NKString word = a.scan.NextToken();
        if (word.IsNull()) break;
        g_uMeshColor[k] = (uint8_t)(std::atoi(word.GetText()) & 0xFF);
    }
    return NKCommandDone(NKString::FromFormat("Set mesh color to red=%d green=%d blue=%d",
                                              g_uMeshColor[0], g_uMeshColor[1], g_uMeshColor[2]));
}

int VectColor(CommandTableEntry *, const char *pszArguments)
{
    Args a(pszArguments);
    NKString word = a.scan.NextToken();
    if (!word.IsNull() && strcasecmp(word.GetText(), "scalar") == 0) {
        g_VectorSettings.bScalarColor = 1;
        return NKCommandDone("Enable coloring of vectors by scalar values.");
    }
    if (!word.IsNull() && strcasecmp(word.GetText(), "noscalar") == 0) {
        g_VectorSettings.bScalarColor = 0;
        return NKCommandDone("Disable coloring of vectors by scalar values.");
    }
    for (int k = 0; k < 3 && !word.IsNull(); k++) {
        g_VectorSettings.uColor[k] = (uint8_t)(std::atoi(word.GetText()) & 0xFF);
        word = a.scan.NextToken();
    }
    const uint8_t *c = g_VectorSettings.uColor;
    return NKCommandDone(NKString::FromFormat("Set vector arrow color to red=%d green=%d blue=%d",
                                              c[0], c[1], c[2]));
}

// meshfactor [factor]: a refused value leaves the previous factor in force.
int MeshFactor(CommandTableEntry *pEntry, const char *pszArguments)
{
    Args a(pszArguments);
    NKString word = a.scan.NextToken();
    float fFactor = kDefaultMeshFactor;
    if (!word.IsNull()) {
        const double d = std::atof(word.GetText());
        if (!(d >= -1.0 && d <= 1.0))
            return NKCommandFail(
                pEntry, NKString::FromFormat("Illegal meshfactor %f  (legal range -1.0 -> 1.0)", d)
                            .GetText());
        fFactor = (float)d;
    }
    g_fMeshDepthFactor = fFactor;
    return NKCommandDone(
        NKString::FromFormat("Meshfactor set to %g (default 0.0005)", (double)fFactor));
}

int HighOrderMode(CommandTableEntry *pEntry, const char *pszArguments)
{
    Args a(pszArguments);
    if (pEntry->id == NK_CID_HIGHORDERMODE || !a.scan.NextToken().IsNull()) {
        // The refusal names the command by its head word.
        std::string head(pEntry->name);
        head = head.substr(0, head.find(' '));
        NKPrintError(NKString::FromFormat("%s: %s", head.c_str(), kIllegalParameter).GetText());
        return NK_CMD_FAILED;
    }
    switch (pEntry->id) {
    case NK_CID_HIGHORDERMODE_RAW:
        g_iHighOrderMode = NK_HIGH_ORDER_RAW;
        return NKCommandDone("Draw high order elements using all nodes.");
    case NK_CID_HIGHORDERMODE_SKIP:
        g_iHighOrderMode = NK_HIGH_ORDER_SKIP;
        return NKCommandDone("Draw high order elements by skipping midside points.");
    default:
        g_iHighOrderMode = NK_HIGH_ORDER_TRIANGLES;
        return NKCommandDone("Draw high order elements by tesselating into triangles.");
    }
}

bool HaveModel()
{
    return g_pModel != nullptr && g_pModel->pFrames != nullptr && g_pModel->iNumFrames > 0;
}

// outline creaseangle <degrees>: clamped to 0..180, kept in radians; the
// outline edges of a loaded model are found again.
int CreaseAngle(CommandTableEntry *pEntry, const char *pszArguments)
{
    Args a(pszArguments);
    double dAngle = 0.0;
    if (!NextNumber(&a.scan, &dAngle) || std::isnan(dAngle))
        return NKCommandFail(pEntry, kParameterMissing);
    if (dAngle < 0.0) dAngle = 0.0;
    if (dAngle > 180.0) dAngle = 180.0;
    if (g_pGraphicsSettings != nullptr)
        g_pGraphicsSettings->fOutlineCreaseAngle = (float)(dAngle * kPi / 180.0);
    if (HaveModel()) {
        NKFindEdgesAllFrames();
        return NKCommandDone(
            NKString::FromFormat("Outline edges computed with crease angle %.2f", dAngle));
    }
    return NKCommandDone(NKString::FromFormat("Outline edges crease angle set to %.2f", dAngle));
}

// scalemodel [x [y [z]]]: the axis scales of the display transform become
// the factors given. A factor that is not finite or nearly 0 is refused,
// since every conversion back to model coordinates divides by it.
int ScaleModel(CommandTableEntry *pEntry, const char *pszArguments)
{
    Args a(pszArguments);
    float afScales[3] = {1.0f, 1.0f, 1.0f};
    for (float &s : afScales) {
        NKString word = a.scan.NextToken();
        if (word.IsNull()) break;
        s = (float)std::atof(word.GetText());
    }
    for (float s : afScales)
        if (!std::isfinite(s) || std::fabs(s) < 1e-6f)
            return NKCommandFail(pEntry, "Error scaling model coordinates");
    if (!HaveModel() || !NKChangeDisplayTransform(afScales, nullptr, nullptr, nullptr))
        return NKCommandFail(pEntry, "Error scaling model coordinates");
    NKPrintInfo(NKString::FromFormat("Scaling model with factors: <%g, %g, %g>",
                                     (double)afScales[0], (double)afScales[1], (double)afScales[2])
                    .GetText());
    const float fAngle = g_pGraphicsSettings != nullptr ? g_pGraphicsSettings->fOutlineCreaseAngle
                                                        : NKGraphicsSettings().fOutlineCreaseAngle;
    ExecuteCommand(
        NKString::FromFormat("outline creaseangle %g", (double)(fAngle * 180.0f / kPi)).GetText());
    NKInvalidateView();
    return NK_CMD_DONE;
}

// ---- Fixed-viewpoint animation speed-up --------------------------------------

// hpc: every frame of the animation (or the current one) drawn once with
// the identity analysis on, under a progress bar.
int ComputeHiddenPolygons(CommandTableEntry *pEntry, const char *pszArguments)
{
    HiddenPartCuller &c = g_HiddenPartCuller;
    Args a(pszArguments);
    NKString word = a.scan.NextToken();
    if (!word.IsNull() && strcasecmp(word.GetText(), "debug") == 0) {
        c.bDebug = 1;
        NKPrintInfo("Debugging HPC");
    }
    const int iBits = c.uBits[0] + c.uBits[1] + c.uBits[2];
    const long long llIds = (1LL << iBits) - 1;
    if (llIds <= 256)
        return NKCommandFail(pEntry,
                             "There is not enough colors to calculate fixed viewpoint speedup "
                             "(needs more than 256 colors)");
    NKPrintInfo(NKString::FromFormat(
                    "Computing fixed viewpoint animation speedup\n  max distinct IDs: %d  (r:%d "
                    "g:%d b:%d)",
                    (int)llIds, c.uBits[0], c.uBits[1], c.uBits[2])
                    .GetText());
    c.bEnabled = c.bAnalysisOn = 1;
    c.iAnalysisCount = 0;
    NKFreeHidePolysBuffer(&c);
    const int iFrames = g_pModel != nullptr ? g_pModel->iNumFrames : 0;
    for (int f = 0; f < iFrames; f++) g_pModel->pFrames[f].bAnalysed = 0;
    if (iFrames > 1) {
        c.iFramesToAnalyse = iFrames;
        NKBeginProgressBar(iFrames, nullptr);
        for (int f = 0; f < iFrames && c.bAnalysisOn; f++) NKDrawScene(f, 1, 1);
    } else {
        c.iFramesToAnalyse = 0;
        NKDrawScene(-1, 1, 1);
    }
    NKInvalidateView();
    return NK_CMD_DONE;
}

int HiddenPolygons(CommandTableEntry *pEntry, const char *pszArguments)
{
    HiddenPartCuller &c = g_HiddenPartCuller;
    switch (pEntry->id) {
    case NK_CID_HP:
        c.bEnabled = 1;
        return NKCommandDone("Enable fixed viewpoint animation speed-up");
    case NK_CID_NOHP:
        if (c.bDebug) return NKCommandDone("Command has no effect in debug mode");
        if (c.bAnalysisOn) NKEndProgressBar(nullptr);
        NKFreeGeometryPolygonMaps();
        NKFreeHidePolysBuffer(&c);
        NKResetHidePolys(&c);
        NKResetHiddenPolygons(g_pModel);
        return NKCommandDone("Disable fixed viewpoint animation speed-up");
    default:
        return ComputeHiddenPolygons(pEntry, pszArguments);
    }
}

// ---- Level of detail ----------------------------------------------------------

int LodInformation(const LodManager &m)
{
    NKString text("LOD information");
    text = NKString::FromFormat("%s\n  %s LOD mode", text.GetText(),
                                m.m_bAutomatic ? "automatic" : "manual");
    text = NKString::FromFormat("%s\n  min level: %d (highest resolution)", text.GetText(),
                                m.GetMinLevel());
    text = NKString::FromFormat("%s\n  max level: %d (lowest resolution)", text.GetText(),
                                m.GetMaxLevel());
    text =
        NKString::FromFormat("%s\n  vertex resolution: %f", text.GetText(), (double)m.m_fModelSize);
    text = NKString::FromFormat("%s\n  target FPS: %g (%s)", text.GetText(),
                                (double)m.m_fTargetFrameRate,
                                m.m_bTargetFrameRate ? "enabled" : "disabled");
    text =
        NKString::FromFormat("%s\n  pixel threshold: %d", text.GetText(), (int)m.m_fPixelThreshold);
    return NKCommandDone(text);
}

// lod level LEVEL [range]: the parts' own level, clamped to the levels there are.
int LodLevel(CommandTableEntry *pEntry, Args *a, LodManager *m)
{
    double d = 0.0;
    if (!NextNumber(&a->scan, &d)) return NKCommandFail(pEntry, "No parameters specified");
    int iLevel = std::fabs(d) < 1e6 ? (int)d : -1;
    if (iLevel < m->GetMinLevel())
        return NKCommandFail(
            pEntry,
            NKString::FromFormat("Illegal range for LOD level, min level is %d", m->GetMinLevel())
                .GetText());
    if (iLevel > m->GetMaxLevel()) {
        iLevel = m->GetMaxLevel();
        NKPrintInfo(NKString::FromFormat("Setting to max available level %d (lowest res)", iLevel)
                        .GetText());
    }
    if (!a->ReadRange(pEntry, false)) return NK_CMD_FAILED;
    const bool bSelected = a->iRange == NK_PART_RANGE_SELECTED;
    if (!m->SetPartLevels(NKGetCurrentGeometry(), iLevel, a->iFrom - 1, a->iTo - 1, bSelected))
        return NKCommandFail(pEntry, "Error setting fixed LOD level");
    return NKCommandDone(NKString::FromFormat("LOD level set to %d", iLevel));
}

int LodPickSet(CommandTableEntry *pEntry, Args *a, LodManager *m)
{
    const bool bOn = pEntry->id == NK_CID_LOD_PICKSET;
    double d = 0.0;
    if (bOn && NextNumber(&a->scan, &d)) {
        if (!(d >= m->GetMinLevel() && d <= m->GetMaxLevel()))
            return NKCommandFail(
                pEntry, NKString::FromFormat("Illegal range for LOD level, legal range is %d to %d",
                                             m->GetMinLevel(), m->GetMaxLevel())
                            .GetText());
        m->m_uPickLevel = uint8_t(d);
    }
    m->SetPickSet(bOn);
    return NKCommandDone(NKString::FromFormat("Setting of LOD level on pick %s (level %d)",
                                              bOn ? "enabled" : "disabled", m->m_uPickLevel));
}

int LodFrameRate(CommandTableEntry *pEntry, Args *a, LodManager *m)
{
    const bool bOn = pEntry->id == NK_CID_LOD_FPS;
    double d = 0.0;
    if (bOn && NextNumber(&a->scan, &d)) {
        if (!(d >= 1.0))
            return NKCommandFail(pEntry, "Illegal value for target FPS, min. legal value is 1.0");
        m->m_fTargetFrameRate = float(d);
    }
    m->SetTargetFrameRate(bOn);
    return NKCommandDone(NKString::FromFormat("Target FPS for LOD %s (target FPS %g)",
                                              bOn ? "enabled" : "disabled",
                                              (double)m->m_fTargetFrameRate));
}

int Lod(CommandTableEntry *pEntry, const char *pszArguments)
{
    LodManager *m = g_pLodManager;
    const bool bOn = m != nullptr && m->m_bEnabled;
    Args a(pszArguments);
    switch (pEntry->id) {
    case NK_CID_LOD:
        if (!bOn) return NKCommandDone("LOD system is disabled, no information available");
        return LodInformation(*m);
    case NK_CID_LOD_DUMP:
        if (!bOn) return NKCommandDone("LOD system is disabled, no information available");
        if (!m->Dump("lodinfo.txt"))
            return NKCommandFail(pEntry, "Error dumping LOD information to file");
        return NKCommandDone("LOD information info output in file: lodinfo.txt");
    case NK_CID_LOD_LEVEL:
        if (!bOn) return NKCommandFail(pEntry, "LOD system is disabled, unable to set level");
        return LodLevel(pEntry, &a, m);
    case NK_CID_LOD_PICKSET:
    case NK_CID_LOD_NOPICKSET:
        if (!bOn) return NKCommandFail(pEntry, "LOD system is disabled, unable to execute command");
        return LodPickSet(pEntry, &a, m);
    case NK_CID_LOD_FPS:
    case NK_CID_LOD_NOFPS:
        if (!bOn) return NKCommandFail(pEntry, "LOD system is disabled, unable to execute command");
        return LodFrameRate(pEntry, &a, m);
    case NK_CID_LOD_AUTOMATIC:
    case NK_CID_LOD_MANUAL: {
        const bool bAutomatic = pEntry->id == NK_CID_LOD_AUTOMATIC;
        if (m != nullptr) m->SetAutomatic(bAutomatic);
        return NKCommandDone(
            NKString::FromFormat("LOD update mode set to %s", bAutomatic ? "automatic" : "manual"));
    }
    default: {  // NK_CID_LOD_PIXELTHRESHOLD
        double d = 0.0;
        if (!NextNumber(&a.scan, &d) || !(std::fabs(d) < 2e9))
            return NKCommandFail(pEntry, kParameterMissing);
        if (m != nullptr) m->SetPixelThreshold(float((int)d));
        return NKCommandDone(NKString::FromFormat("Pixel threshold set to %d", (int)d));
    }
    }
}

// macro without list or run.
int MacroWithoutSubCommand(CommandTableEntry *pEntry, const char *)
{
    return NKCommandFail(pEntry, kIllegalParameter);
}

// The commands besides the draw styles and span flags (the rows above).
const NKCommandAction kPartDisplayActions[] = {
    {NK_CID_POST, Visibility},
    {NK_CID_UNPOST, Visibility},
    {NK_CID_SWAPPARTS, SwapParts},
    {NK_CID_OUTLINEMESH, OutlineMesh},
    {NK_CID_NOOUTLINEMESH, NoOutlineMesh},
    {NK_CID_OUTWARDNORMALS, OutwardNormals},
    {NK_CID_REMOVEDUPLICATENODES, RemoveDuplicateNodes},
    {NK_CID_CREATEBYUNODEIDS, CreateNodeIds},
    {NK_CID_MESHCOLOR, MeshColor},
    {NK_CID_VECTCOLOR, VectColor},
    {NK_CID_MESHFACTOR, MeshFactor},
    {NK_CID_HIGHORDERMODE, HighOrderMode},
    {NK_CID_HIGHORDERMODE_RAW, HighOrderMode},
    {NK_CID_HIGHORDERMODE_SKIP, HighOrderMode},
    {NK_CID_HIGHORDERMODE_TRIANGLES, HighOrderMode},
    {NK_CID_OUTLINE_CREASEANGLE, CreaseAngle},
    {NK_CID_SCALEMODEL, ScaleModel},
    {NK_CID_HP, HiddenPolygons},
    {NK_CID_NOHP, HiddenPolygons},
    {NK_CID_HPC, HiddenPolygons},
    {NK_CID_LOD, Lod},
    {NK_CID_LOD_DUMP, Lod},
    {NK_CID_LOD_LEVEL, Lod},
    {NK_CID_LOD_AUTOMATIC, Lod},
    {NK_CID_LOD_MANUAL, Lod},
    {NK_CID_LOD_PICKSET, Lod},
    {NK_CID_LOD_NOPICKSET, Lod},
    {NK_CID_LOD_PIXELTHRESHOLD, Lod},
    {NK_CID_LOD_FPS, Lod},
    {NK_CID_LOD_NOFPS, Lod},
    {NK_CID_MACRO, MacroWithoutSubCommand},
    {NK_CID_MACRO_LIST, NKCommandHandleMacros},
    {NK_CID_MACRO_RUN, NKCommandHandleMacros},
};

}  // namespace

int NKCommandHandlePartDisplay(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry == nullptr) return NK_CMD_NOT_MINE;
    for (const DrawStyleRow &row : kDrawStyleRows)
        if (row.iId == pEntry->id) return DrawStyle(pEntry, pszArguments, row);
    for (const SpanFlagRow &row : kSpanFlagRows)
        if (row.iId == pEntry->id) return SpanFlag(pEntry, pszArguments, row);
    return NKRunCommandAction(kPartDisplayActions, pEntry, pszArguments);
}

void NKRegisterPartDisplayCommands(void)
{
    NKSetCommandHandler(NK_HANDLER_PART_DISPLAY, NKCommandHandlePartDisplay);
}
