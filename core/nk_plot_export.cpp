// core/nk_plot_export.cpp -- the column export of plot curves (see
// NKExportPlotCurves in nk_plot_records.h): one text row per point, x of the
// first listed curve then each curve's y, optionally only over the plot's
// shown x range with interpolated end rows. Written in one go through
// NKOutputFile, so a failed export leaves no partial file.
#include <cstring>
#include <string>

#include "core/nk_math.h"
#include "core/nk_output_file.h"
#include "core/nk_plot_records.h"

namespace {

struct ExportJob {
    const PlotRecord *pPlot;
    const int *piCurves;
    int n;
    char cSep;
    NKOutputFile file;

    const PlotCurve *Curve(int k) const { return pPlot->ppCurves[piCurves[k]]; }
    float X(int i) const { return Curve(0)->pPoints[i].x; }
};

void WriteRow(ExportJob &job, int i)
{
    job.file.Printf("%12.05g", job.X(i));
    for (int k = 0; k < job.n; k++)
        job.file.Printf("%c%12.05g", job.cSep, job.Curve(k)->pPoints[i].y);
    job.file.Printf("\n");
}

// A row at x between points a and b, each curve's y interpolated with the
// first curve's x positions.
void WriteInterpolatedRow(ExportJob &job, float x, int a, int b)
{
    float dx = job.X(b) - job.X(a);
    float t = dx != 0.0f ? (x - job.X(a)) / dx : 0.0f;
    job.file.Printf("%12.05g", x);
    for (int k = 0; k < job.n; k++) {
        const NKPlotPoint *p = job.Curve(k)->pPoints;
        job.file.Printf("%c%12.05g", job.cSep, p[a].y + (p[b].y - p[a].y) * t);
    }
    job.file.Printf("\n");
}

void WriteHeader(ExportJob &job, const char *pszHeader)
{
    if (pszHeader == nullptr) return;
    const char *p = pszHeader;
    while (*p != '\0') {
        const char *pEnd = std::strchr(p, '\n');
        size_t len = pEnd != nullptr ? (size_t)(pEnd - p) : std::strlen(p);
        if (len > 0) job.file.Printf("%.*s\n", (int)len, p);
        p += len + (pEnd != nullptr ? 1 : 0);
    }
}

// The rows over [x min, x max] of the plot; false when no point reaches x min.
bool WriteRangeRows(ExportJob &job)
{
    int iCount = job.Curve(0)->iNumPoints;
    float fMin = job.pPlot->fXMin, fMax = job.pPlot->fXMax;
    int i = 0;
    while (i < iCount && job.X(i) < fMin) i++;
    if (i >= iCount) return false;
    if (i > 0 && !NKFloatsEqual(job.X(i), fMin)) WriteInterpolatedRow(job, fMin, i - 1, i);
    int iFirst = i;
    for (; i < iCount && job.X(i) < fMax; i++) WriteRow(job, i);
    if (i > iFirst && i < iCount) WriteInterpolatedRow(job, fMax, i - 1, i);
    return true;
}

bool CurvesFit(const PlotRecord *pPlot, const int *piCurves, int n)
{
    if (pPlot == nullptr || piCurves == nullptr || n < 1) return false;
    for (int k = 0; k < n; k++) {
        if (piCurves[k] < 0 || piCurves[k] >= pPlot->iNumCurves) return false;
        if (pPlot->ppCurves[piCurves[k]]->iNumPoints != pPlot->ppCurves[piCurves[0]]->iNumPoints)
            return false;
    }
    return true;
}

}  // namespace

bool NKExportPlotCurves(const PlotRecord *pPlot, const int *piCurves, int n, const char *pszFile,
                        const char *pszHeader, bool bTabs, bool bXRangeOnly)
{
    if (!CurvesFit(pPlot, piCurves, n)) return false;
    ExportJob job{pPlot, piCurves, n, bTabs ? '\t' : ' ', {}};
    if (!job.file.Open(pszFile)) return false;
    WriteHeader(job, pszHeader);
    if (bXRangeOnly) {
        if (!WriteRangeRows(job)) {
            job.file.Abandon();
            return false;
        }
    } else {
        for (int i = 0; i < job.Curve(0)->iNumPoints; i++) WriteRow(job, i);
    }
    return job.file.Commit();
}
