// export/nk_attribute_file.cpp -- NKWriteAttributeFile: the display state as
// a file of command lines that `source` replays. Each part of the current
// frame's geometry gets its attribute lines first (ranges "n n", parts from
// 1), then the global display, lighting, colour, legend, view and camera
// settings, so that a replay applies part attributes before global ones.
//
// Each line reads one field of the records that core/ and render/ own; the
// line order is the file's contract. Numbers are written with "%f" and "%d"
// in the C locale.
#include <ctime>

#include "core/nk_export_items.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_image_record.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_output_file.h"
#include "core/nk_render_state.h"
#include "core/nk_string.h"
#include "core/nk_view_state.h"
#include "export/nk_scene_export.h"
#include "readers/nk_native_result_files.h"
#include "render/nk_background.h"
#include "render/nk_camera.h"
#include "render/nk_fringe_commands.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_lights.h"
#include "render/nk_node_colors.h"
#include "render/nk_overlays.h"
#include "render/nk_part_overlays.h"
#include "render/nk_text.h"
#include "render/nk_text_list.h"
#include "render/nk_view_settings.h"
#include "scene/nk_scene.h"
#include "tools/nk_line_sets.h"

namespace {

// The width of the user drawing lines: the line objects' width that
// `dlinewidth` sets (1 before the list is made).
int NKGetUserLineWidth(void)
{
    return g_pLineSetList != nullptr ? g_pLineSetList->m_iLineWidth : 1;
}

const uint8_t *NKGetMeshColor(void) { return g_uMeshColor; }

const char *NKGetPartTextureName(const NKPart *pPart)
{
    return pPart != nullptr ? NKGetTextureName(pPart->pTexture) : nullptr;
}

// "on" or "off" line of a flag, with the part range.
void WritePartFlag(NKOutputFile *f, bool bOn, const char *pszOn, const char *pszOff, int n)
{
    f->Printf("%s %d %d\n", bOn ? pszOn : pszOff, n, n);
}

void WritePartLines(NKOutputFile *f, const NKPart *p, int n)
{
    static const char *const kStyles[] = {"surface", "lines", "points", "outline", "hiddenlines"};
    static const char *const kPlanes[] = {"xy", "xz", "yz", "auto", "nearest"};
    if (p->iDrawStyle >= 0 && p->iDrawStyle <= 4)
        f->Printf("%s %d %d\n", kStyles[p->iDrawStyle], n, n);
    WritePartFlag(f, p->bDisplacements, "displacements", "nodisplacements", n);
    WritePartFlag(f, p->bFringes, "fringes", "nofringes", n);
    WritePartFlag(f, p->bSmooth, "smooth", "unsmooth", n);
    const NKMaterial &m = p->material;
    f->Printf("ambient %d %d %f %f %f\n", n, n, m.ambient[0], m.ambient[1], m.ambient[2]);
    f->Printf("diffuse %d %d %f %f %f\n", n, n, m.diffuse[0], m.diffuse[1], m.diffuse[2]);
    f->Printf("specular %d %d %f %f %f\n", n, n, m.specular[0], m.specular[1], m.specular[2]);
    f->Printf("emission %d %d %f %f %f\n", n, n, m.emission[0], m.emission[1], m.emission[2]);
    f->Printf("alpha %d %d %f \n", n, n, m.alpha / 255.0f);
    f->Printf("shininess %d %d %d\n", n, n, m.shininess);
    WritePartFlag(f, p->bTransparent, "transparent", "notransparent", n);
    WritePartFlag(f, p->bMesh, "mesh", "nomesh", n);
    if (!p->bOutlineMesh)
        f->Printf("nooutlinemesh %d %d\n", n, n);
    else if (p->bOutlineMeshDefaultColor)
        f->Printf("outlinemesh %d %d\n", n, n);
    else
        f->Printf("outlinemesh %d %d %d %d %d\n", n, n, p->uOutlineMeshColor[0],
                  p->uOutlineMeshColor[1], p->uOutlineMeshColor[2]);
    WritePartFlag(f, p->bVectors, "vectors", "novectors", n);
    WritePartFlag(f, p->bVisible, "post", "unpost", n);
    WritePartFlag(f, p->bShowNormals, "normals", "nonormals", n);
    WritePartFlag(f, p->bTextureTile, "texturetile", "textureclamp", n);
    f->Printf("envmode %d %d %s\n", n, n, p->envmode ? "decal" : "modulate");
    if (p->iTexturePlane >= 0 && p->iTexturePlane <= 4)
        f->Printf("textureplane %s %d %d\n", kPlanes[p->iTexturePlane], n, n);
    const char *pszTexture = NKGetPartTextureName(p);
    if (pszTexture != nullptr) f->Printf("readtexture %s %d %d\n", pszTexture, n, n);
}

// A global flag line: the first word when on, the second when off.
void WriteFlag(NKOutputFile *f, bool bOn, const char *pszOn, const char *pszOff)
{
    f->Printf("%s\n", bOn ? pszOn : pszOff);
}

const uint8_t *Rgb(const uint8_t *c, uint8_t *pOut)
{
    for (int k = 0; k < 3; k++) pOut[k] = c[k];
    return pOut;
}

// Lines 4 to 12: step text, fringes, input, lighting, contours, modes, delays.
void WriteDisplayLines(NKOutputFile *f)
{
    const NKViewSettings &v = *g_pViewSettings;
    const NKGraphicsSettings &g = *g_pGraphicsSettings;
    WriteFlag(f, v.bShowStep, "step", "nostep");
    WriteFlag(f, g.bSmoothFringes, "smooth_fringes", "flat_fringes");
    f->Printf("sensitivity %f\n", g_InputState.fSensitivity);
    WriteFlag(f, g.bCull, "nocull", "cull");  // bCull holds two-sided lighting
    int iOn[NK_NUM_LIGHTS] = {};
    for (int i = 0; i < NK_NUM_LIGHTS && g_pLights != nullptr; i++) iOn[i] = g_pLights[i].bOn;
    f->Printf("light %d %d %d %d %d %d\n", iOn[0], iOn[1], iOn[2], iOn[3], iOn[4], iOn[5]);
    WriteFlag(f, g.bBackface, "backface", "nobackface");
    WriteFlag(f, g.bLineSmooth, "linesmooth", "nolinesmooth");
    WriteFlag(f, v.bShowPerformance, "performance", "noperformance");
    if (v.bShowContours)
        f->Printf("contours %d\n", g_ContourSettings.iNumLevels);
    else
        f->Printf("nocontours\n");
    WriteFlag(f, g_bFringeDisplacements, "fringedis", "nofringedis");
    WriteFlag(f, g.bFringeShade, "fringeshade", "nofringeshade");
    WriteFlag(f, g.bTextureFringes, "tf", "notf");
    f->Printf("start_delay %f\n", g_AnimationSettings.iStartDelay * 0.001f);
    f->Printf("stop_delay %f\n", g_AnimationSettings.iStopDelay * 0.001f);
}

// Line 15: the background by its mode.
void WriteBackground(NKOutputFile *f)
{
    const NKBackgroundSettings &b = *g_pBackgroundSettings;
    auto c = [&b](int i, int k) { return (int)b.ucColors[i][k]; };
    switch (b.iMode) {
    case 1:
        f->Printf("vbackgr %d %d %d %d %d %d\n", c(0, 0), c(0, 1), c(0, 2), c(1, 0), c(1, 1),
                  c(1, 2));
        break;
    case 2:
        f->Printf("vvbackgr %d %d %d %d %d %d %d %d %d\n", c(0, 0), c(0, 1), c(0, 2), c(1, 0),
                  c(1, 1), c(1, 2), c(2, 0), c(2, 1), c(2, 2));
        break;
    case 4:
        f->Printf("sbackgr %d %d %d %d %d %d\n", c(0, 0), c(0, 1), c(0, 2), c(1, 0), c(1, 1),
                  c(1, 2));
        break;
    case 3:
        f->Printf("qbackgr %d %d %d %d %d %d %d %d %d %d %d %d\n", c(0, 0), c(0, 1), c(0, 2),
                  c(1, 0), c(1, 1), c(1, 2), c(2, 0), c(2, 1), c(2, 2), c(3, 0), c(3, 1), c(3, 2));
        break;
    case 5:
        f->Printf("imagebackground %s\n", g_BackgroundImage.pImage != nullptr
                                              ? g_BackgroundImage.pImage->szName.GetText()
                                              : "");
        break;
    default:
        f->Printf("backgr %d %d %d\n", c(0, 0), c(0, 1), c(0, 2));
        break;
    }
}

// Lines 13 to 20: texts, background, widths, colours, vectors, legend tables.
void WriteColorLines(NKOutputFile *f)
{
    uint8_t c[3];
    Rgb(NKGetTextColor(), c);
    f->Printf("textcolor %d %d %d\n", c[0], c[1], c[2]);
    if (g_pViewSettings->bShowUserText)
        f->Printf("text %f %f %s\n", g_UserText.fX, g_UserText.fY, g_UserText.Text.GetText());
    else
        f->Printf("notext\n");
    WriteBackground(f);
    f->Printf("linewidth %d\n", g_pGraphicsSettings->iLineWidth);
    f->Printf("dlinewidth %d\n", NKGetUserLineWidth());
    f->Printf("clinewidth %d\n", g_iContourLineWidth);
    Rgb(NKGetMeshColor(), c);
    f->Printf("meshcolor %d %d %d\n", c[0], c[1], c[2]);
    const uint8_t *v = g_VectorSettings.uColor;
    f->Printf("vectcolor %d %d %d\n", v[0], v[1], v[2]);
    f->Printf("contcolor %d %d %d\n", g_uContourLineColor[0], g_uContourLineColor[1],
              g_uContourLineColor[2]);
    const uint8_t *s = NKPartHighlightSettings.uSelectionColor;
    f->Printf("selectcolor %d %d %d\n", s[0], s[1], s[2]);
    f->Printf("meshfactor %f\n", g_fMeshDepthFactor);
    f->Printf("arrowsize %f\n", g_VectorSettings.fArrowSize);
    WriteFlag(f, g_VectorSettings.bArrows, "arrows", "noarrows");
    f->Printf("pointsize %d\n", g_pGraphicsSettings->iPointSize);
    f->Printf("legendcolors");
    for (int i = 0; i < 5; i++)
        for (int k = 0; k < 3; k++) f->Printf(" %d", NKFringeColors[i][k]);
    f->Printf("\n");
    f->Printf("tfcolors");
    for (int i = 0; i < 48; i++)
        f->Printf(" %d",
                  g_pFringeTextureColors != nullptr ? g_pFringeTextureColors->auColors[i] : 0);
    f->Printf("\n");
}

// Lines 21 to 26: legend, axes, view switches, the view, model and box,
// transparency mode.
void WriteViewLines(NKOutputFile *f)
{
    const NKViewSettings &v = *g_pViewSettings;
    const NKGraphicsSettings &g = *g_pGraphicsSettings;
    WriteFlag(f, v.bShowLegendLabels, "legendlabels", "nolegendlabels");
    WriteFlag(f, v.bShowLegend, "legend", "nolegend");
    if ((v.iAxisFlags & 3) == 0) f->Printf("noaxis\n");
    if (v.iAxisFlags & 1) f->Printf("axis origo\n");
    if (v.iAxisFlags & 2) f->Printf("axis fixed\n");
    WriteFlag(f, g.bZBuffer, "zbuffer", "nozbuffer");
    WriteFlag(f, g.bPerspective, "perspective", "noperspective");
    WriteFlag(f, v.bShowBox, "box", "nobox");
    WriteFlag(f, v.bShowUndeformed, "undeform", "noundeform");
    WriteFlag(f, v.bShowInfo, "info", "noinfo");
    NKString setview;
    NKMakeSetviewCommand(&setview, g_ViewMatrix);
    f->Printf("%s\n", setview.GetText());
    if (v.bShowModel && !v.bShowBox) f->Printf("model\n");
    if (!v.bShowModel && v.bShowBox) f->Printf("nomodel\n");
    f->Printf("transparent %s\n", v.bTransparentFast ? "fast" : "nice");
}

}  // namespace

bool NKWriteAttributeFile(const char *pszFileName)
{
    const char *pszName = pszFileName != nullptr ? pszFileName : "";
    if (g_pViewSettings == nullptr || g_pGraphicsSettings == nullptr ||
        g_pBackgroundSettings == nullptr) {
        NKPrintError(NKString::FromFormat("Error writing file: %s", pszName).GetText());
        return false;
    }
    NKOutputFile file;
    if (!file.Open(pszName)) {
        NKPrintError(NKString::FromFormat("Unable to open outputfile %s", pszName).GetText());
        return false;
    }
    time_t now = time(nullptr);
    struct tm utc;
    gmtime_r(&now, &utc);
    file.Printf("# NK-ATTRIB.  %s %s  Generated : %04d-%02d-%02d\n", NK_EXPORT_PROGRAM_TITLE,
                NK_EXPORT_VERSION_TEXT, utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday);
    file.Printf("display\n");
    NKGeometry *pGeo = NKGetFrameGeometry(NKGetCurrentFrame());
    for (int i = 0; pGeo != nullptr && i < pGeo->iNumParts; i++)
        WritePartLines(&file, &pGeo->pParts[i], i + 1);
    WriteDisplayLines(&file);
    WriteColorLines(&file);
    WriteViewLines(&file);
    if (!file.Commit()) {
        NKPrintError(NKString::FromFormat("Error writing file: %s", pszName).GetText());
        return false;
    }
    return true;
}
