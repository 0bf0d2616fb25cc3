// plot/nk_plt_command.cpp -- the `plt` command (PlotCommand): the settings of
// the current plot, its placement over the 3-D view, showing, hiding and
// killing it, and its bitmap, printer and PostScript output (through the
// NKPlotOutput that export installs). Sub-command words are compared over the length
// of their table row, rows tried in order; rows marked as needing a plot
// fail without one. Every change of curves, flags, transforms, ranges or
// crossings recomputes the axes.
#include <cstdlib>
#include <cstring>

#include "commands/nk_argument_scan.h"
#include "commands/nk_command_params.h"
#include "commands/nk_open_commands.h"
#include "core/nk_message.h"
#include "core/nk_plot_records.h"
#include "core/nk_view_state.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot.h"
#include "plot/nk_plot_commands.h"
#include "plot/nk_plot_window.h"

namespace {

const char *const kProgramTitle = "Quolin";

NKPlotOutput sg_Output;

void Info(const NKString &text) { NKPrintInfo(text.GetText()); }

// The word read as a number; false for no word, another text, or a value
// that is not finite or beyond the float range.
bool ReadFloat(const NKString &word, float *pfValue)
{
    if (word.IsEmpty()) return false;
    char *pEnd = nullptr;
    std::strtod(word.GetText(), &pEnd);
    if (pEnd == word.GetText() || *pEnd != 0) return false;
    return NKWordToFloat(word.GetText(), pfValue);
}

bool Separate(NKArgumentScan *, PlotRecord *)
{
    g_bPlotInOwnWindow = 1;
    Info("Enable plot in separate window.");
    if (g_pCurrentPlot != nullptr && NKOpenPlotWindow()) NKRepaintPlotWindow();
    return true;
}

bool NoSeparate(NKArgumentScan *, PlotRecord *)
{
    g_bPlotInOwnWindow = 0;
    NKClosePlotWindow(true);
    Info("Disable plot in separate window.");
    return true;
}

bool Kill(NKArgumentScan *, PlotRecord *)
{
    NKDeleteCurrentPlot();
    g_bPlotShown = 0;
    Info("Disabled plot.");
    return true;
}

bool Skip(NKArgumentScan *pScan, PlotRecord *)
{
    NKString word = pScan->NextToken();
    float f = 0.0f;
    if (ReadFloat(word, &f) && (int)f >= 1) NKSetPlotSkip((int)f);
    Info(NKString::FromFormat("Plot skip is now %d.", NKGetPlotSkip()));
    return true;
}

bool ShowMinMax(NKArgumentScan *pScan, PlotRecord *)
{
    bool bOff = std::strncmp(pScan->NextToken().GetText(), "of", 2) == 0;
    NKSetPlotShowMinMax(bOff ? 0 : 1);
    Info(bOff ? "Display of min/max values on axes turned off."
              : "Display of min/max values on axes turned on.");
    return true;
}

// The rest of the line up to a '^', blanks trimmed, cut to 200 characters,
// into the title when there is one; then the title is reported.
bool TitleText(NKArgumentScan *pScan, NKString *pTitle, const char *pszReport)
{
    NKString rest = pScan->Rest();
    const char *pszCaret = std::strchr(rest.GetText(), '^');
    if (pszCaret != nullptr) rest.Truncate((int)(pszCaret - rest.GetText()));
    rest.Trim();
    if (rest.GetLength() > 200) rest.Truncate(200);
    if (!rest.IsEmpty()) *pTitle = rest;
    Info(NKString::FromFormat("%s\"%s\"", pszReport, pTitle->GetText()));
    return true;
}

bool Title(NKArgumentScan *s, PlotRecord *p) { return TitleText(s, &p->szTitle, "Plot title is "); }
bool XTitle(NKArgumentScan *s, PlotRecord *p)
{
    return TitleText(s, &p->szXTitle, "Plot x-axis title is ");
}
bool YTitle(NKArgumentScan *s, PlotRecord *p)
{
    return TitleText(s, &p->szYTitle, "Plot y-axis title is ");
}

// xtransform / ytransform over one axis transform; cAxis 'X' or 'Y'.
bool Transform(NKArgumentScan *pScan, PlotRecord *pPlot, NKAxisTransform *pT, char cAxis)
{
    NKString word = pScan->NextToken();
    float fScale = 0.0f, fOffset = 0.0f;
    if (word.IsEmpty()) {
        Info(NKString::FromFormat("%c-axis transformation is %G*%c + %G.", cAxis, pT->fScale, cAxis,
                                  pT->fOffset));
        return true;
    }
    if (std::strncmp(word.GetText(), "reset", 5) == 0) {
        *pT = NKAxisTransform();
        Info(NKString::FromFormat("%c-axis transform reset to identity.", cAxis));
    } else {
        // A factor that is no finite number counts as 0 and is refused.
        if (!NKWordToFloat(word.GetText(), &fScale)) fScale = 0.0f;
        ReadFloat(pScan->NextToken(), &fOffset);
        if (fScale < 0.0f) {
            NKPrintError("Can't rescale with negative factor.");
            return true;
        }
        if (fScale == 0.0f) {
            NKPrintError("Can't rescale with factor 0.");
            return true;
        }
        pT->fScale = fScale;
        pT->fOffset = fOffset;
        Info(NKString::FromFormat("%c-axis transformation set to %G*%c + %G.", cAxis, fScale, cAxis,
                                  fOffset));
    }
    NKPlotUpdateAxes(pPlot);
    return true;
}

bool XTransform(NKArgumentScan *s, PlotRecord *p) { return Transform(s, p, &p->XTransform, 'X'); }
bool YTransform(NKArgumentScan *s, PlotRecord *p) { return Transform(s, p, &p->YTransform, 'Y'); }

// scalex / scaley: min, max and unit automatic, then each given word that
// does not begin with 'a' fixes its value (in shown units).
bool Scale(NKArgumentScan *pScan, PlotRecord *pPlot, bool bX)
{
    const int aiFlags[2][3] = {{NK_AXIS_X_MIN_AUTO, NK_AXIS_X_MAX_AUTO, NK_AXIS_X_UNIT_AUTO},
                               {NK_AXIS_Y_MIN_AUTO, NK_AXIS_Y_MAX_AUTO, NK_AXIS_Y_UNIT_AUTO}};
    const int *piFlags = aiFlags[bX ? 0 : 1];
    const NKAxisTransform &T = bX ? pPlot->XTransform : pPlot->YTransform;
    float *apfValues[3] = {bX ? &pPlot->fXMin : &pPlot->fYMin, bX ? &pPlot->fXMax : &pPlot->fYMax,
                           bX ? &pPlot->fXUnit : &pPlot->fYUnit};
    for (int i = 0; i < 3; i++) pPlot->ucAxisFlags[piFlags[i]] = 1;
    for (int i = 0; i < 3; i++) {
        NKString word = pScan->NextToken();
        if (word.IsEmpty()) break;
        if (word.GetAt(0) == 'a') continue;
        float fShown = i < 2 ? T.Apply(*apfValues[i]) : T.ApplyScale(*apfValues[i]);
        ReadFloat(word, &fShown);
        *apfValues[i] = i < 2 ? T.Invert(fShown) : T.InvertScale(fShown);
        pPlot->ucAxisFlags[piFlags[i]] = 0;
    }
    NKPlotUpdateAxes(pPlot);
    Info(NKString::FromFormat("Set %c-axis scaling for plot. min: %G, max: %G, unit: %G",
                              bX ? 'x' : 'y', T.Apply(*apfValues[0]), T.Apply(*apfValues[1]),
                              T.ApplyScale(*apfValues[2])));
    return true;
}

bool ScaleX(NKArgumentScan *s, PlotRecord *p) { return Scale(s, p, true); }
bool ScaleY(NKArgumentScan *s, PlotRecord *p) { return Scale(s, p, false); }

// xcross: the x axis drawn at a y value; ycross: the y axis at an x value.
bool Cross(NKArgumentScan *pScan, PlotRecord *pPlot, bool bX)
{
    const NKAxisTransform &T = bX ? pPlot->YTransform : pPlot->XTransform;
    float &fCrossing = bX ? pPlot->fXAxisCrossing : pPlot->fYAxisCrossing;
    int iFlag = bX ? NK_AXIS_X_CROSS_AUTO : NK_AXIS_Y_CROSS_AUTO;
    float fShown = 0.0f;
    if (ReadFloat(pScan->NextToken(), &fShown)) {
        fCrossing = T.Invert(fShown);
        pPlot->ucAxisFlags[iFlag] = 0;
    } else {
        pPlot->ucAxisFlags[iFlag] = 1;
    }
    NKPlotUpdateAxes(pPlot);
    Info(NKString::FromFormat("Set %c-axis crossing value to %G", bX ? 'x' : 'y',
                              T.Apply(fCrossing)));
    return true;
}

bool XCross(NKArgumentScan *s, PlotRecord *p) { return Cross(s, p, true); }
bool YCross(NKArgumentScan *s, PlotRecord *p) { return Cross(s, p, false); }

bool AxisFlags(NKArgumentScan *pScan, PlotRecord *pPlot, bool bX)
{
    static const struct {
        const char *pszWord;
        int iLength, iXFlag, iYFlag;
    } kFlags[] = {{"crossmin", 8, NK_AXIS_X_CROSS_AT_MIN, NK_AXIS_Y_CROSS_AT_MIN},
                  {"zerobasedticks", 14, NK_AXIS_X_ZERO_BASED, NK_AXIS_Y_ZERO_BASED},
                  {"forceminmax", 11, NK_AXIS_X_FORCE_MINMAX, NK_AXIS_Y_FORCE_MINMAX},
                  {"includezero", 11, NK_AXIS_X_ZERO, NK_AXIS_Y_ZERO}};
    NKString word = pScan->NextToken();
    if (word.IsEmpty()) return false;
    uint8_t bOn = std::strncmp(pScan->NextToken().GetText(), "off", 3) == 0 ? 0 : 1;
    for (const auto &f : kFlags)
        if (std::strncmp(word.GetText(), f.pszWord, (size_t)f.iLength) == 0)
            pPlot->ucAxisFlags[bX ? f.iXFlag : f.iYFlag] = bOn;
    NKPlotUpdateAxes(pPlot);
    Info(bX ? "Set x-axis flags." : "Set y-axis flags.");
    return true;
}

bool XFlags(NKArgumentScan *s, PlotRecord *p) { return AxisFlags(s, p, true); }
bool YFlags(NKArgumentScan *s, PlotRecord *p) { return AxisFlags(s, p, false); }

bool Grid(NKArgumentScan *pScan, PlotRecord *pPlot, uint8_t bOn)
{
    NKString word = pScan->NextToken();
    if (word.IsEmpty()) pPlot->bXGrid = pPlot->bYGrid = bOn;
    for (; !word.IsEmpty(); word = pScan->NextToken()) {
        if (word.GetAt(0) == 'x') pPlot->bXGrid = bOn;
        if (word.GetAt(0) == 'y') pPlot->bYGrid = bOn;
    }
    if (pPlot->bXGrid && pPlot->bYGrid)
        Info("Display grid lines for for x-axis and y-axis");
    else if (pPlot->bXGrid)
        Info("Display grid lines for for x-axis");
    else if (pPlot->bYGrid)
        Info("Display grid lines for for y-axis");
    else
        Info("No grid lines displayed");
    return true;
}

bool GridOn(NKArgumentScan *s, PlotRecord *p) { return Grid(s, p, 1); }
bool GridOff(NKArgumentScan *s, PlotRecord *p) { return Grid(s, p, 0); }

bool MarkerLine(PlotRecord *pPlot, uint8_t bOn)
{
    pPlot->bXMarkerLine = pPlot->bMarkerLineShown = pPlot->bFollowSteps = bOn;
    Info(bOn ? "Enable moving marker line for x-axis." : "Disable moving marker line for x-axis.");
    return true;
}

bool MarkerLineOn(NKArgumentScan *, PlotRecord *p) { return MarkerLine(p, 1); }
bool MarkerLineOff(NKArgumentScan *, PlotRecord *p) { return MarkerLine(p, 0); }

bool Legend(PlotRecord *pPlot, uint8_t bOn)
{
    pPlot->bLegendShown = bOn;
    NKPlotComputeLayout(pPlot);
    Info(bOn ? "Enable display of plot legend." : "Disable display of plot legend.");
    return true;
}

bool LegendOn(NKArgumentScan *, PlotRecord *p) { return Legend(p, 1); }
bool LegendOff(NKArgumentScan *, PlotRecord *p) { return Legend(p, 0); }

bool BackgroundLegend(PlotRecord *pPlot, uint8_t bOn)
{
    pPlot->bBackgroundLegend = bOn;
    Info(bOn ? "Enable display background color legend."
             : "Disable display background color legend.");
    return true;
}

bool BgLegendOn(NKArgumentScan *, PlotRecord *p) { return BackgroundLegend(p, 1); }
bool BgLegendOff(NKArgumentScan *, PlotRecord *p) { return BackgroundLegend(p, 0); }

// One word of `plt pos`: an edge or centre letter, a fraction of the view
// in [0, 1], or -1 (keep).
int PlaceWord(const NKString &word, const char *pszLetters, const int *piCodes, int iViewSize)
{
    for (int i = 0; pszLetters[i] != 0; i++)
        if (word.GetAt(0) == pszLetters[i]) return piCodes[i];
    float f = 0.0f;
    if (ReadFloat(word, &f) && f >= 0.0f && f <= 1.0f) return (int)(f * (float)iViewSize);
    return -1;
}

bool Position(NKArgumentScan *pScan, PlotRecord *pPlot)
{
    if (g_bPlotInOwnWindow) return false;
    const int aiX[3] = {-3, -4, -5}, aiY[3] = {-6, -4, -7};
    int iViewW = NKViewWindowSize.iWidth, iViewH = NKViewWindowSize.iHeight;
    int x = PlaceWord(pScan->NextToken(), "lcr", aiX, iViewW);
    int y = PlaceWord(pScan->NextToken(), "bct", aiY, iViewH);
    NKPlacePlot(pPlot, x, y, -1, -1, iViewW, iViewH);
    Info("Set plot position.");
    return true;
}

bool Size(NKArgumentScan *pScan, PlotRecord *pPlot)
{
    if (g_bPlotInOwnWindow) {
        NKPrintError("plt size command only works when the plot window is inside the 3D window.");
        return true;
    }
    int iViewW = NKViewWindowSize.iWidth, iViewH = NKViewWindowSize.iHeight;
    float fx = 0.0f, fy = 0.0f;
    bool bX = ReadFloat(pScan->NextToken(), &fx) && fx >= 0.1f && fx <= 1.0f;
    bool bY = ReadFloat(pScan->NextToken(), &fy) && fy >= 0.1f && fy <= 1.0f;
    NKPlacePlot(pPlot, -1, -1, bX ? (int)(fx * (float)iViewW) : -1,
                bY ? (int)(fy * (float)iViewH) : -1, iViewW, iViewH);
    Info("Set plot size.");
    return true;
}

bool BgColor(NKArgumentScan *pScan, PlotRecord *pPlot)
{
    int aiRGB[3] = {0, 0, 200};
    NKString word = pScan->NextToken();
    if (!word.IsEmpty()) {
        aiRGB[0] = std::atoi(word.GetText());
        aiRGB[1] = std::atoi(pScan->NextToken().GetText());
        aiRGB[2] = std::atoi(pScan->NextToken().GetText());
    }
    for (int k = 0; k < 3; k++) pPlot->ucBackground[k] = (uint8_t)aiRGB[k];
    Info(NKString::FromFormat("Set plot background color to %d %d %d", aiRGB[0], aiRGB[1],
                              aiRGB[2]));
    return true;
}

bool Transparency(NKArgumentScan *pScan, PlotRecord *pPlot)
{
    float t = 0.7f;
    if (!ReadFloat(pScan->NextToken(), &t) || t < 0.0f || t > 1.0f) t = 0.7f;
    pPlot->ucBackground[3] = (uint8_t)(t * 255.0f);
    Info(NKString::FromFormat("Set plot background transparency to %G", t));
    return true;
}

bool NoTransparency(NKArgumentScan *, PlotRecord *pPlot)
{
    pPlot->ucBackground[3] = 255;
    Info("Disable plot background transparency.");
    return true;
}

bool Stipple(PlotRecord *pPlot, uint8_t bOn)
{
    pPlot->bStipple = bOn;
    Info(bOn ? "Use line stippling to distinguish curves" : "Draw curves as solid lines");
    return true;
}

bool StippleOn(NKArgumentScan *, PlotRecord *p) { return Stipple(p, 1); }
bool StippleOff(NKArgumentScan *, PlotRecord *p) { return Stipple(p, 0); }

bool Show(NKArgumentScan *, PlotRecord *)
{
    g_bPlotShown = 1;
    Info("Show plot.");
    return true;
}

bool Hide(NKArgumentScan *, PlotRecord *)
{
    g_bPlotShown = 0;
    Info("Hide plot.");
    return true;
}

bool ToBitmap(NKArgumentScan *pScan, PlotRecord *pPlot)
{
    NKString name = pScan->NextArgument();
    if (name.IsEmpty()) name = NKString::FromFormat("%s.bmp", kProgramTitle);
    int x = 0, y = 0, w = 0, h = 0;
    NKGetPlotViewport(pPlot, &x, &y, &w, &h);
    int iWidth = w, iHeight = h;
    NKArgumentScan sizes(pScan->Rest().GetText());
    if (NKParseSizeArguments(&sizes, w, h, &iWidth, &iHeight, true, w, h) == 3) return false;
    if (sg_Output.pfnWriteBitmap == nullptr ||
        sg_Output.pfnWriteBitmap(iWidth, iHeight, name.GetText()) != 1)
        return false;
    Info(NKString::FromFormat("Saved plot to BMP-file: %s  (Image size: %d*%d pixels)",
                              name.GetText(), iWidth, iHeight));
    return true;
}

bool Print(NKArgumentScan *, PlotRecord *pPlot)
{
    // The printing code takes the page set-up from the default printer the
    // first time it is asked.
    int x = 0, y = 0, w = 0, h = 0;
    NKGetPlotViewport(pPlot, &x, &y, &w, &h);
    if (sg_Output.pfnPrint == nullptr || sg_Output.pfnPrint(w, h) != 1) {
        NKPrintError("Failure printing to Windows printer");
        return false;
    }
    Info("Plot printed to Windows printer");
    return true;
}

bool ToPostScript(NKArgumentScan *pScan, PlotRecord *pPlot)
{
    NKString name = pScan->NextArgument();
    if (name.IsEmpty()) name = NKString::FromFormat("%s.ps", kProgramTitle);
    int x = 0, y = 0, w = 0, h = 0;
    NKGetPlotViewport(pPlot, &x, &y, &w, &h);
    if (sg_Output.pfnWritePostScript == nullptr ||
        !sg_Output.pfnWritePostScript(w, h, name.GetText())) {
        NKPrintError(
            NKString::FromFormat("Error saving to PostScript file %s", name.GetText()).GetText());
        return false;
    }
    Info(NKString::FromFormat("Plot written to PostScript file %s", name.GetText()));
    return true;
}

bool PositionRow(NKArgumentScan *s, PlotRecord *p) { return Position(s, p); }
bool SizeRow(NKArgumentScan *s, PlotRecord *p) { return Size(s, p); }

struct PltRow {
    const char *pszWord;
    int iLength;
    bool bNeedsPlot;
    bool (*pfnRun)(NKArgumentScan *pScan, PlotRecord *pPlot);
};

const PltRow kRows[] = {{"separate", 8, false, Separate},
                        {"noseparate", 10, false, NoSeparate},
                        {"kill", 4, false, Kill},
                        {"skip", 4, false, Skip},
                        {"showminmax", 8, false, ShowMinMax},
                        {"title", 6, true, Title},
                        {"xtitle", 6, true, XTitle},
                        {"ytitle", 6, true, YTitle},
                        {"xtransform", 8, true, XTransform},
                        {"ytransform", 8, true, YTransform},
                        {"scalex", 6, true, ScaleX},
                        {"scaley", 6, true, ScaleY},
                        {"xcross", 6, true, XCross},
                        {"ycross", 6, true, YCross},
                        {"xflags", 6, true, XFlags},
                        {"yflags", 6, true, YFlags},
                        {"grid", 4, true, GridOn},
                        {"nogrid", 6, true, GridOff},
                        {"markerlinex", 10, true, MarkerLineOn},
                        {"nomarkerlinex", 12, true, MarkerLineOff},
                        {"legend", 6, true, LegendOn},
                        {"nolegend", 8, true, LegendOff},
                        {"bglegend", 8, true, BgLegendOn},
                        {"nobglegend", 10, true, BgLegendOff},
                        {"pos", 3, true, PositionRow},
                        {"size", 4, true, SizeRow},
                        {"bgcolor", 7, true, BgColor},
                        {"transp", 6, true, Transparency},
                        {"notransp", 8, true, NoTransparency},
                        {"stipple", 7, true, StippleOn},
                        {"nostipple", 9, true, StippleOff},
                        {"show", 4, true, Show},
                        {"hide", 4, true, Hide},
                        {"tobmp", 4, true, ToBitmap},
                        {"print", 4, true, Print},
                        {"tops", 4, true, ToPostScript}};

}  // namespace

NKPlotOutput NKSetPlotOutput(const NKPlotOutput &output)
{
    NKPlotOutput previous = sg_Output;
    sg_Output = output;
    return previous;
}

bool PlotCommand(const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    NKString word = scan.NextToken();
    if (word.IsEmpty()) return false;
    std::string w(word.GetText());
    for (const PltRow &row : kRows) {
        if (!NKPlotKeywordMatches(w, row.pszWord, row.iLength)) continue;
        if (row.bNeedsPlot && g_pCurrentPlot == nullptr) return false;
        return row.pfnRun(&scan, g_pCurrentPlot);
    }
    return false;
}
