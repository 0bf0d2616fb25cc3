// plot/nk_length_plot.cpp -- the length plot: a scalar result sampled
// along the surface path through the selection list, against the length
// travelled in model units, and the `lp` command (see nk_length_plot.h).
// Node results give a point per path node, element results a point per
// crossed polygon.
#include "plot/nk_length_plot.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "core/nk_bbox.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_message.h"
#include "core/nk_numeric.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot.h"
#include "plot/nk_plot_commands.h"
#include "readers/nk_data_source.h"
#include "tools/nk_surface_path.h"

namespace {

// The scalar being sampled: the frame's result or the data source's
// scalar, per node or per element.
struct Sampled {
    NKFrame *pFrame = nullptr;
    NKPart *pPart = nullptr;
    int iPart = -1;
    int iScalar = -1;                   // data source scalar, -1 the frame's
    NKScalarResult *pResult = nullptr;  // node or element values, or null
    bool bOwned = false;                // pResult read here, released after
    bool bElements = false;             // one value per element
};

// Length accumulated in model units between display positions.
double ModelDistance(const float *a, const float *b)
{
    float d[3];
    NKVec3Difference(b, a, d);
    DisplayToModelVector(d);
    return NKVec3Length(d);
}

// The values of the part in the result, null when it has none.
const NKScalarPartEntry *PartValues(const Sampled &s)
{
    if (s.pResult == nullptr || s.iPart >= s.pResult->iNumParts) return nullptr;
    const NKScalarPartEntry *pEntries =
        s.bElements ? s.pResult->pElementResults : s.pResult->pNodeResults;
    if (pEntries == nullptr || pEntries[s.iPart].pNodeValues == nullptr) return nullptr;
    return &pEntries[s.iPart];
}

// The value of element iElement of the part; undefined outside the result.
float ElementValue(const Sampled &s, int iPolygon)
{
    const NKPart *p = s.pPart;
    int iElement = p->pPolygonElements != nullptr ? p->pPolygonElements[iPolygon] : iPolygon;
    if (s.pResult == nullptr) {
        if (iElement < 0 || iElement >= p->iNumElements || p->pElements == nullptr)
            return NK_UNDEFINED_VALUE;
        return NKGetInterfaceElementScalarValue(s.iScalar, p->pElements[iElement].iGlobalIndex);
    }
    const NKScalarPartEntry *pEntry = PartValues(s);
    if (iElement < 0 || iElement >= pEntry->iCount) return NK_UNDEFINED_VALUE;
    return pEntry->pNodeValues[iElement];
}

// One point per path node.
bool SampleNodes(const Sampled &s, const NKSurfacePath &path, NKPathList<NKPlotPoint> *pXY,
                 NKPathList<NKPathPoint> *pPositions)
{
    const NKScalarPartEntry *pEntry = PartValues(s);
    const float *pfCoords = GetPartNodeCoords(s.iPart, s.pPart, s.pFrame);
    if (pEntry == nullptr || pfCoords == nullptr) return false;
    const float *pMatrix =
        s.pFrame->pTransformation != nullptr ? s.pFrame->pTransformation + 16 * s.iPart : nullptr;
    double fLength = 0.0;
    NKPathPoint prev{};
    for (int k = 0; k < path.nodes.iCount; k++) {
        int iNode = path.nodes.pData[k];
        if (iNode < 0 || iNode >= s.pPart->iNumNodes) return false;
        NKPathPoint p;
        NKVec3Copy(p.v, pfCoords + 3 * iNode);
        if (pMatrix != nullptr) NKTransformPoint(pMatrix, p.v);
        if (k > 0) fLength += ModelDistance(prev.v, p.v);
        prev = p;
        float y = iNode < pEntry->iCount ? pEntry->pNodeValues[iNode] : NK_UNDEFINED_VALUE;
        if (!pXY->Append({(float)fLength, y}) || !pPositions->Append(p)) return false;
    }
    return pXY->iCount > 0;
}

// One point per crossed polygon, at the first point, the midpoints between
// and the last point.
bool SampleElements(const Sampled &s, const NKSurfacePath &path, NKPathList<NKPlotPoint> *pXY,
                    NKPathList<NKPathPoint> *pPositions)
{
    int P = path.polygons.iCount, N = path.points.iCount;
    if (P < 1 || (N != P && N != P + 1)) return false;
    if (s.pResult != nullptr && PartValues(s) == nullptr) return false;
    const NKPathPoint *pts = path.points.pData;
    double fLength = 0.0;
    for (int k = 0; k < P; k++) {
        NKPathPoint p = k == 0 ? pts[0] : pts[N - 1];
        if (k > 0 && k < P - 1)
            for (int i = 0; i < 3; i++) p.v[i] = 0.5f * (pts[k].v[i] + pts[k + 1].v[i]);
        if (k > 0) fLength += ModelDistance(pPositions->pData[k - 1].v, p.v);
        float y = ElementValue(s, path.polygons.pData[k].iPolygon);
        if (!pXY->Append({(float)fLength, y}) || !pPositions->Append(p)) return false;
    }
    return true;
}

// The scalar of the frame (iScalar -1) or of the data source, and its name;
// false when there is none.
bool FindScalar(Sampled *s, int iScalar, NKString *pName)
{
    s->iScalar = iScalar;
    if (iScalar < 0) {
        NKScalarResult *pResult = s->pFrame->pScalar;
        if (pResult == nullptr) return false;
        s->pResult = pResult;
        s->bElements = pResult->pElementResults != nullptr &&
                       (pResult->pNodeResults == nullptr || PartValues(*s) == nullptr);
        *pName = pResult->szDescription;
        return true;
    }
    const NKStringList *pNames = NKGetInterfaceScalarNames();
    if (pNames == nullptr || iScalar >= pNames->GetCount()) return false;
    *pName = pNames->Get(iScalar) != nullptr ? pNames->Get(iScalar) : "";
    if (NKIsInterfaceElementScalar(iScalar)) {
        s->bElements = true;
        return true;
    }
    s->pResult = NKGetInterfaceScalar(iScalar, s->pFrame->iStepIndex, s->pFrame->pGeometry, false);
    s->bOwned = true;
    return s->pResult != nullptr;
}

// The words of `lp`: the scalar (-1 current, else 0-based) and add; false
// for an invalid form.
bool ParseForm(const std::vector<std::string> &words, int *piScalar, bool *pbAdd)
{
    if (words.size() > 2 || (words.size() == 2 && words[1] != "add")) return false;
    *pbAdd = words.size() == 2;
    if (words[0] == "current") {
        *piScalar = -1;
        return true;
    }
    char *pEnd = nullptr;
    long n = std::strtol(words[0].c_str(), &pEnd, 10);
    if (*pEnd != 0 || n < 1 || n > 2147483647L) return false;
    *piScalar = (int)n - 1;
    return true;
}

// The curve of the samples in the current plot, and its path in the
// selection path list.
bool AddLengthCurve(const NKPathList<NKPlotPoint> &xy, const NKPathList<NKPathPoint> &positions,
                    const NKString &name)
{
    PlotRecord *pPlot = g_pCurrentPlot;
    int iKey = g_iLengthCurveCount;
    NKString label = NKString::FromFormat("%d", iKey);
    PlotCurve *pCurve = NKPlotCreateCurve(pPlot, iKey, iKey, label.GetText(), xy.iCount);
    if (pCurve == nullptr) return false;
    for (int i = 0; i < xy.iCount; i++) pCurve->pPoints[i] = xy.pData[i];
    pCurve->iKind = 7;
    NKPlotStyleNewCurve(pPlot, pCurve);
    pPlot->szYTitle = std::string(name.GetText()).substr(0, 200).c_str();
    NKPlotComputeDataRange(pPlot);
    NKPlotUpdateAxes(pPlot);
    NKAddSelectionPath(pCurve->ucLineColor, positions);
    g_iLengthCurveCount++;
    return true;
}

}  // namespace

bool NKStartLengthPlot(void)
{
    if (NKCreateGridPlot("Scalar vs. length.", 7, "Length", "Unknown") == nullptr) return false;
    g_bPlotShown = 1;
    NKClearSelectionPaths();
    g_iLengthCurveCount = 0;
    return true;
}

bool NKSampleScalarAlongPath(const NKSurfacePath &path, int iScalar, NKPathList<NKPlotPoint> *pXY,
                             NKPathList<NKPathPoint> *pPositions, NKString *pName)
{
    Sampled s;
    s.pFrame = NKGetCurrentFrame();
    s.iPart = path.polygons.iCount > 0 ? path.polygons.pData[0].iPart : -1;
    s.pPart = NKGetFramePart(s.pFrame, s.iPart);
    if (s.pPart == nullptr || !FindScalar(&s, iScalar, pName)) {
        if (s.bOwned) NKReleaseScalarResult(s.pResult);
        return false;
    }
    bool bOk = s.bElements ? SampleElements(s, path, pXY, pPositions)
                           : SampleNodes(s, path, pXY, pPositions);
    if (s.bOwned) NKReleaseScalarResult(s.pResult);
    return bOk;
}

int NKCommandLengthPlot(const char *pszText)
{
    std::vector<std::string> words = NKSplitPlotWords(pszText, false);
    if (words.empty()) {
        NKPrintInfo("Please enter subcommand and/or parameters");
        return 1;
    }
    int iScalar = -1;
    bool bAdd = false;
    if (!ParseForm(words, &iScalar, &bAdd)) return -2;
    NKSurfacePath path;
    NKPathList<NKPlotPoint> xy;
    NKPathList<NKPathPoint> positions;
    NKString name;
    int iResult = 0;
    if (!NKTraceSelectionPath(&g_SelectionList, &path)) {
        NKPrintError("Unable to trace between selections.");
    } else if (!NKSampleScalarAlongPath(path, iScalar, &xy, &positions, &name)) {
        NKPrintError("Unable to get curve data for selected items.");
    } else {
        const PlotRecord *p = g_pCurrentPlot;
        bool bNew = !bAdd || p == nullptr || p->iPlotKind != 7 || p->szYTitle != name;
        if ((!bNew || NKStartLengthPlot()) && AddLengthCurve(xy, positions, name)) iResult = 1;
    }
    path.Free();
    xy.Free();
    positions.Free();
    return iResult;
}
