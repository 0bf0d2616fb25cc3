// render/nk_fringe_commands.cpp -- NKCommandHandleFringes (see
// nk_fringe_commands.h). The colours themselves are mapped in
// nk_node_colors.cpp; the legend is drawn in nk_legend.cpp.
#include "render/nk_fringe_commands.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "commands/nk_part_range.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_load_hooks.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "readers/nk_native_result_files.h"
#include "render/nk_command_actions.h"
#include "render/nk_command_part_range.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_legend.h"
#include "render/nk_node_colors.h"
#include "render/nk_view_commands.h"
#include "render/nk_view_settings.h"

uint8_t g_uContourLineColor[3] = {255, 255, 255};
void (*g_pfnFollowLegendSwitch)(bool bOn) = nullptr;
int32_t g_iContourLineWidth = 1;

namespace {

// Word i as an integer or float; false (value kept) when missing or not a
// number.
bool WordInt(const std::vector<std::string> &w, size_t i, int *piOut)
{
    if (i >= w.size()) return false;
    char *pEnd = nullptr;
    long v = std::strtol(w[i].c_str(), &pEnd, 10);
    if (pEnd == w[i].c_str()) return false;
    *piOut = static_cast<int>(v);
    return true;
}
bool WordFloat(const std::vector<std::string> &w, size_t i, float *pfOut)
{
    return i < w.size() && NKWordToFloat(w[i].c_str(), pfOut);
}

// True when each of the words iFirst to iLast that is there is a finite
// number; the range commands refuse the others before they change anything.
bool NumbersOrMissing(const std::vector<std::string> &w, size_t iFirst, size_t iLast)
{
    float f = 0.0f;
    for (size_t i = iFirst; i <= iLast && i < w.size(); i++)
        if (!NKWordToFloat(w[i].c_str(), &f)) return false;
    return true;
}

const char kIllegalParameter[] = "Illegal parameter specified";

// Up to three colour bytes from the words; missing ones keep their value.
void ReadBytes(const std::vector<std::string> &w, uint8_t *puOut, int iCount)
{
    for (int i = 0; i < iCount; i++) {
        int v = 0;
        if (WordInt(w, static_cast<size_t>(i), &v)) puOut[i] = static_cast<uint8_t>(v);
    }
}

// The fringe range of field 0 applied again, so that the results take new
// colours: every frame while an animation type is set.
void Recolour(void)
{
    if (g_pModel == nullptr || NKGetCurrentScalarResult() == nullptr) return;
    NKSetFringeRange(g_pModel->fFringeRangeFrom, g_pModel->fFringeRangeTo,
                     g_pModel->animationType != 0, 0);
}

// fringecolors and legendcolors: up to 15 numbers; all zero restores the
// default colours, a lone 1 the reversed ones with their spectra.
int FringeColors(CommandTableEntry *, const char *pszArguments)
{
    const std::vector<std::string> w = NKSplitCommandWords(pszArguments);
    uint8_t *p = &NKFringeColors[0][0];
    std::memset(p, 0, 15);
    for (int i = 0; i < 15; i++) {
        int v = 0;
        if (WordInt(w, static_cast<size_t>(i), &v)) p[i] = static_cast<uint8_t>(v);
    }
    int iNonZeroAfterFirst = 0;
    for (int i = 1; i < 15; i++) iNonZeroAfterFirst += p[i] != 0;
    if (iNonZeroAfterFirst == 0 && (p[0] == 0 || p[0] == 1)) {
        const bool bReverse = p[0] == 1;
        NKResetFringeColors();
        if (bReverse)
            for (int i = 0; i < 2; i++)
                for (int k = 0; k < 3; k++)
                    std::swap(NKFringeColors[i][k], NKFringeColors[4 - i][k]);
        if (g_pFringeTextureColors != nullptr) {
            if (bReverse)
                NKReverseFringeTextureColors(g_pFringeTextureColors->auColors);
            else
                NKResetFringeTextureColors(g_pFringeTextureColors->auColors);
        }
    }
    Recolour();
    if (g_pFringeTextureColors != nullptr) NKLoadFringeTexture(g_pFringeTextureColors);
    NKFringeTextureDirty = 1;
    return NKCommandDone("Changing fringe colors and legend colors");
}

// Makes the contour level arrays when missing; false (all three released)
// when one cannot be made.
bool EnsureContourArrays(NKContourSettings *c)
{
    const size_t n = static_cast<size_t>(c->iNumLevels);
    if (c->pLineWidths == nullptr) c->pLineWidths = static_cast<float *>(NKAlloc(n * 4));
    if (c->pLevels == nullptr) c->pLevels = static_cast<float *>(NKAlloc(n * 4));
    if (c->pColors == nullptr) c->pColors = static_cast<uint8_t *>(NKAlloc(n * 3));
    if (c->pLineWidths != nullptr && c->pLevels != nullptr && c->pColors != nullptr) return true;
    NKFree(c->pLineWidths);
    NKFree(c->pLevels);
    NKFree(c->pColors);
    c->pLineWidths = c->pLevels = nullptr;
    c->pColors = nullptr;
    return false;
}

// fringerange [min] [max] [field].
int FringeRange(CommandTableEntry *pEntry, const char *pszArguments)
{
    const std::vector<std::string> w = NKSplitCommandWords(pszArguments);
    NKModel *m = g_pModel;
    float fMin = m != nullptr ? m->fFringeRangeFrom : 0.0f;
    float fMax = m != nullptr ? m->fFringeRangeTo : 0.0f;
    int iField = 1;
    if (!NumbersOrMissing(w, 0, 1)) return NKCommandFail(pEntry, kIllegalParameter);
    WordFloat(w, 0, &fMin);
    WordFloat(w, 1, &fMax);
    WordInt(w, 2, &iField);
    if (iField != 1 && iField != 2)
        return NKCommandFail(pEntry, "Specified scalar field out of range");
    NKWaitCursor wait;
    NKSetFringeRange(fMin, fMax, true, iField - 1);
    const bool bScalar = NKGetCurrentScalarResult() != nullptr;
    NKContourSettings *c = &g_ContourSettings;
    if (iField == 1 && bScalar && g_bContoursShown && c->bAutoRange && c->iNumLevels > 0 &&
        EnsureContourArrays(c))
        NKUpdateContours();
    NKFreeIsoSurfaces(-1);
    NKFreeCutSurfaces(-1, -1);
    if (bScalar && iField == 1 && m != nullptr)
        return NKCommandDone(NKString::FromFormat("Using fringe range from %e to %e",
                                                  static_cast<double>(m->fFringeRangeFrom),
                                                  static_cast<double>(m->fFringeRangeTo)));
    return NKCommandDone(NKString::FromFormat("Setting fringe range for %d field from %e to %e",
                                              iField, static_cast<double>(fMin),
                                              static_cast<double>(fMax)));
}

// contours [levels]: 2 to 200 levels over a scalar result.
int Contours(CommandTableEntry *pEntry, const char *pszArguments)
{
    const std::vector<std::string> w = NKSplitCommandWords(pszArguments);
    NKContourSettings *c = &g_ContourSettings;
    int n = c->iNumLevels > 0 ? c->iNumLevels : 17;
    WordInt(w, 0, &n);
    if (NKGetCurrentScalarResult() == nullptr)
        return NKCommandFail(pEntry, "Cannot turn contours on, no scalar data loaded");
    if (n < 2 || n > 200)
        return NKCommandFail(
            pEntry,
            NKString::FromFormat("Illegal number of contour levels %ld  (legal numbers 2 -> 200)",
                                 static_cast<long>(n))
                .GetText());
    NKPrintInfo("Turn on drawing of contours");
    NKFree(c->pLineWidths);
    NKFree(c->pLevels);
    NKFree(c->pColors);
    c->pLineWidths = c->pLevels = nullptr;
    c->pColors = nullptr;
    c->iNumLevels = n;
    if (!EnsureContourArrays(c)) {
        c->iNumLevels = 0;
        return NKCommandFail(pEntry, "Out of memory");
    }
    g_bContoursShown = 1;
    NKUpdateContours();
    return NKCommandDone("Recalculating contours");
}

// fringes / nofringes [from part] [to part] over the current geometry.
// fringes and nofringes.
int PartFringes(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bOn = pEntry->id == NK_CID_FRINGES;
    NKArgumentScan scan(pszArguments);
    scan.NextToken();  // "PARAMS"
    int iFrom = 0, iTo = 0;
    if (!NKCommandReadPartRange(pEntry, &scan, &iFrom, &iTo, false)) return NK_CMD_FAILED;
    NKFrame *pFrame = NKGetCurrentFrame();
    NKGeometry *pGeo = pFrame != nullptr ? pFrame->pGeometry : nullptr;
    for (int i = iFrom - 1; pGeo != nullptr && i < iTo && i < pGeo->iNumParts; i++)
        if (i >= 0) pGeo->pParts[i].bFringes = bOn ? 1 : 0;
    return NKCommandDone(NKString::FromFormat(bOn ? "Turning fringes on for part %d to part %d"
                                                  : "Turning fringes off for part %d to part %d",
                                              iFrom, iTo));
}

// stringscalar text / nostringscalar: the description of every frame's
// scalar result, each shared result once.
void SetScalarDescriptions(const NKString &text)
{
    if (g_pModel == nullptr) return;
    std::vector<NKScalarResult *> done;
    for (int i = 0; i < g_pModel->iNumFrames; i++) {
        NKScalarResult *r = g_pModel->pFrames[i].pScalar;
        if (r == nullptr) continue;
        bool bSeen = false;
        for (NKScalarResult *d : done) bSeen = bSeen || d == r;
        if (bSeen) continue;
        r->szDescription = text;
        done.push_back(r);
    }
}

// legendabovecolor, legendbelowcolor, legendundefinedcolor.
int OutOfRangeColor(CommandTableEntry *pEntry, const char *pszArguments)
{
    const std::vector<std::string> w = NKSplitCommandWords(pszArguments);
    uint8_t *p = nullptr;
    const char *pszFormat = nullptr;
    if (pEntry->id == NK_CID_LEGENDUNDEFINEDCOLOR) {
        CommandParams params(pszArguments);
        params.SetCommand(pEntry);
        unsigned char rgb[3] = {NKUndefinedValueColor[0], NKUndefinedValueColor[1],
                                NKUndefinedValueColor[2]};
        if (!params.NKGetFirstParameterColor(rgb, true)) return NK_CMD_FAILED;
        std::memcpy(NKUndefinedValueColor, rgb, 3);
        p = NKUndefinedValueColor;
        pszFormat = "Color for undefined scalar values set to: (%d, %d, %d).";
    } else if (pEntry->id == NK_CID_LEGENDABOVECOLOR) {
        p = NKFringeAboveColor;
        const uint8_t auDefault[3] = {255, 0, 0};
        std::memcpy(p, auDefault, 3);
        ReadBytes(w, p, 3);
        pszFormat = "Values lager than max fringe range set to color (%d, %d, %d).";
    } else {
        p = NKFringeBelowColor;
        const uint8_t auDefault[3] = {0, 0, 255};
        std::memcpy(p, auDefault, 3);
        ReadBytes(w, p, 3);
        pszFormat = "Values lower than min. fringe range set to color (%d, %d, %d).";
    }
    if (NKGetCurrentScalarResult() != nullptr) ExecuteCommand("fringerange");
    return NKCommandDone(NKString::FromFormat(pszFormat, p[0], p[1], p[2]));
}

// The fringes sub-commands: filter, nofilter, lines, outline, hide.
int FringesSub(CommandTableEntry *pEntry, const char *pszArguments)
{
    const std::vector<std::string> w = NKSplitCommandWords(pszArguments);
    const std::string sub = w.empty() ? std::string() : w[0];
    NKViewSettings *v = g_pViewSettings;
    NKValueFilterSettings *f = &g_ValueFilterSettings;
    if (sub == "filter") {
        if (!NumbersOrMissing(w, 1, 2)) return NKCommandFail(pEntry, kIllegalParameter);
        WordFloat(w, 1, &f->fFilterMin);
        WordFloat(w, 2, &f->fFilterMax);
        f->bValueFilter = 1;
        v->fFilterMin = f->fFilterMin;
        v->fFilterMax = f->fFilterMax;
        v->bValueFilter = 1;
        return NKCommandDone(NKString::FromFormat("Setting visible range from %g to %g.",
                                                  static_cast<double>(f->fFilterMin),
                                                  static_cast<double>(f->fFilterMax)));
    }
    if (sub == "nofilter") {
        f->bValueFilter = v->bValueFilter = 0;
        return NKCommandDone("Scalar filtering disabled.");
    }
    const int iStyle = sub == "lines" ? 1 : sub == "outline" ? 3 : sub == "hide" ? 5 : 0;
    if (iStyle == 0)
        return NKCommandFail(
            pEntry, NKString::FromFormat("Invalid sub command: %s", sub.c_str()).GetText());
    v->iFilterDrawStyle = iStyle;
    return NKCommandDone(
        NKString::FromFormat("Setting %s as drawstyle for out of range polygons.", sub.c_str()));
}

// tfcolors: the 16 texture colours in order; a missing number keeps its
// byte. Uploaded at once.
int TextureColors(CommandTableEntry *, const char *pszArguments)
{
    const std::vector<std::string> w = NKSplitCommandWords(pszArguments);
    if (g_pFringeTextureColors != nullptr) {
        ReadBytes(w, g_pFringeTextureColors->auColors, 48);
        NKLoadFringeTexture(g_pFringeTextureColors);
    }
    return NKCommandDone("Set colors for textured fringes");
}

// contcolor fringes | r g b.
int ContourColor(CommandTableEntry *, const char *pszArguments)
{
    const std::vector<std::string> w = NKSplitCommandWords(pszArguments);
    if (!w.empty() && w[0] == "fringes") {
        g_ContourSettings.bFringeColors = 1;
        NKUpdateContours();
        return NKCommandDone("Using fringe colors for contour lines.");
    }
    g_ContourSettings.bFringeColors = 0;
    ReadBytes(w, g_uContourLineColor, 3);
    if (g_bContoursShown) NKUpdateContours();
    return NKCommandDone(NKString::FromFormat("Set contour color to red=%d green=%d blue=%d",
                                              g_uContourLineColor[0], g_uContourLineColor[1],
                                              g_uContourLineColor[2]));
}

// The switches that set one byte and print one of two texts.
struct FringeSwitchRow {
    int iId;
    uint8_t *(*pfnByte)(void);
    uint8_t uValue;
    const char *pszMessage;
};

uint8_t *SmoothFringes() { return &g_pGraphicsSettings->bSmoothFringes; }
uint8_t *FringeShade() { return &g_pGraphicsSettings->bFringeShade; }
uint8_t *TextureFringes() { return &g_pGraphicsSettings->bTextureFringes; }
uint8_t *LegendLabels() { return &g_pViewSettings->bShowLegendLabels; }
uint8_t *Legend() { return &g_pViewSettings->bShowLegend; }
uint8_t *AutoRange() { return &g_bAutoFringeRange; }
uint8_t *AllPoints() { return &g_pViewSettings->bShowAllPointsScalar; }
uint8_t *FringeDisplacements() { return &g_bFringeDisplacements; }
uint8_t *NodeAverage() { return &g_pViewSettings->bNodeAverage; }
uint8_t *ContoursShown() { return &g_bContoursShown; }
uint8_t *ContourLabels() { return &g_ContourSettings.bValueLabels; }

const FringeSwitchRow sg_aSwitches[] = {
    {NK_CID_SMOOTH_FRINGES, SmoothFringes, 1, "Smooth fringes turned on (default)"},
    {NK_CID_FLAT_FRINGES, SmoothFringes, 0, "Flat fringes turned on"},
    {NK_CID_LEGENDLABELS, LegendLabels, 1, "Draw legend labels"},
    {NK_CID_NOLEGENDLABELS, LegendLabels, 0, "No legend labels"},
    {NK_CID_LEGEND, Legend, 1, "Draw fringe legend"},
    {NK_CID_NOLEGEND, Legend, 0, "No fringe legend"},
    {NK_CID_AUTOFRINGERANGE, AutoRange, 1, "Turning on automatic update of fringe range"},
    {NK_CID_NOAUTOFRINGERANGE, AutoRange, 0, "Turning off automatic update of fringe range"},
    {NK_CID_NOCONTOURS, ContoursShown, 0, "Turn off drawing of contours"},
    {NK_CID_ALLPOINTS_SCALAR, AllPoints, 1,
     "Enable drawing of all points with color according to scalar values"},
    {NK_CID_NOALLPOINTS_SCALAR, AllPoints, 0,
     "Disable drawing of all points with color according to scalar values"},
    {NK_CID_FRINGEDISPLACEMENTS, FringeDisplacements, 1,
     "Enable drawing of absolute displacements as fringes"},
    {NK_CID_NOFRINGEDISPLACEMENTS, FringeDisplacements, 0,
     "Disable drawing of absolute displacements as fringes"},
    {NK_CID_FRINGESHADE, FringeShade, 1, "Enable shading of fringes"},
    {NK_CID_NOFRINGESHADE, FringeShade, 0, "Disable shading of fringes"},
    {NK_CID_TEXTUREFRINGES, TextureFringes, 1, "Turn on textured fringes"},
    {NK_CID_NOTEXTUREFRINGES, TextureFringes, 0, "Turn off textured fringes"},
    {NK_CID_NODEAVERAGE, NodeAverage, 1, "Node averaging of element values enabled."},
    {NK_CID_NONODEAVERAGE, NodeAverage, 0, "Node averaging of element values disabled."},
    {NK_CID_CONTOURS_ANNOTATION, ContourLabels, 1, "Enable display of contour line annotations."},
    {NK_CID_CONTOURS_NOANNOTATION, ContourLabels, 0,
     "Disable display of contour line annotations."},
};

// The row of a switch command; null for the others.
const FringeSwitchRow *FindSwitch(int iId)
{
    for (const FringeSwitchRow &r : sg_aSwitches)
        if (r.iId == iId) return &r;
    return nullptr;
}

// contourrange [<min> [<max>]]: a fixed range; a missing number keeps its end.
int ContourRange(CommandTableEntry *pEntry, const char *pszArguments)
{
    const std::vector<std::string> w = NKSplitCommandWords(pszArguments);
    NKContourSettings *c = &g_ContourSettings;
    if (!NumbersOrMissing(w, 0, 1)) return NKCommandFail(pEntry, kIllegalParameter);
    WordFloat(w, 0, &c->fMin);
    WordFloat(w, 1, &c->fMax);
    c->bAutoRange = 0;
    NKUpdateContours();
    return NKCommandDone(NKString::FromFormat("Using contour range from %e to %e",
                                              static_cast<double>(c->fMin),
                                              static_cast<double>(c->fMax)));
}

int ContourLineWidth(CommandTableEntry *, const char *pszArguments)
{
    WordInt(NKSplitCommandWords(pszArguments), 0, &g_iContourLineWidth);
    if (g_iContourLineWidth < 1) g_iContourLineWidth = 1;
    return NKCommandDone(NKString::FromFormat(
        "Set linewidth for contours to %d pixels (Default: 1)", g_iContourLineWidth));
}

int StringScalar(CommandTableEntry *, const char *pszArguments)
{
    const NKString text(NKCommandRestOfLine(pszArguments).c_str());
    SetScalarDescriptions(text);
    return NKCommandDone(NKString::FromFormat("Scalar description: %s", text.GetText()));
}

int NoStringScalar(CommandTableEntry *, const char *)
{
    SetScalarDescriptions(NKString(""));
    NKInvalidateView();
    return NK_CMD_DONE;
}

int LegendTicks(CommandTableEntry *, const char *pszArguments)
{
    WordInt(NKSplitCommandWords(pszArguments), 0, &NKLegendMaxTicks);
    if (NKLegendMaxTicks < 2) NKLegendMaxTicks = 2;
    return NKCommandDone(
        NKString::FromFormat("Maximum number of legend tics set to %d.", NKLegendMaxTicks));
}

int LegendDescription(CommandTableEntry *, const char *pszArguments)
{
    NKLegendDescription = NKString(NKCommandRestOfLine(pszArguments).c_str());
    return NKCommandDone(
        NKString::FromFormat("Legend description set to : %s.", NKLegendDescription.GetText()));
}

// The commands that take numbers or texts.
const NKCommandAction kValueActions[] = {
    {NK_CID_CONTCOLOR, ContourColor},
    {NK_CID_FRINGECOLORS, FringeColors},
    {NK_CID_FRINGERANGE, FringeRange},
    {NK_CID_CONTOURRANGE, ContourRange},
    {NK_CID_CONTOURS, Contours},
    {NK_CID_CLINEWIDTH, ContourLineWidth},
    {NK_CID_TFCOLORS, TextureColors},
    {NK_CID_FRINGES, PartFringes},
    {NK_CID_NOFRINGES, PartFringes},
    {NK_CID_STRINGSCALAR, StringScalar},
    {NK_CID_NOSTRINGSCALAR, NoStringScalar},
    {NK_CID_LEGENDABOVECOLOR, OutOfRangeColor},
    {NK_CID_LEGENDBELOWCOLOR, OutOfRangeColor},
    {NK_CID_LEGENDUNDEFINEDCOLOR, OutOfRangeColor},
    {NK_CID_LEGENDTICKS, LegendTicks},
    {NK_CID_LEGENDDESCRIPTION, LegendDescription},
    {NK_CID_FRINGES_FILTER, FringesSub},
};

}  // namespace

int NKCommandHandleFringes(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry == nullptr) return NK_CMD_NOT_MINE;
    const FringeSwitchRow *pRow = FindSwitch(pEntry->id);
    if (pRow == nullptr) return NKRunCommandAction(kValueActions, pEntry, pszArguments);
    if (g_pGraphicsSettings == nullptr || g_pViewSettings == nullptr) return NK_CMD_FAILED;
    *pRow->pfnByte() = pRow->uValue;
    if ((pEntry->id == NK_CID_LEGEND || pEntry->id == NK_CID_NOLEGEND) &&
        g_pfnFollowLegendSwitch != nullptr)
        g_pfnFollowLegendSwitch(pRow->uValue != 0);
    return NKCommandDone(pRow->pszMessage);
}

void NKRegisterFringeCommands(void)
{
    NKSetCommandHandler(NK_HANDLER_FRINGES, NKCommandHandleFringes);
}
