// tools/nk_surface_path.cpp -- the walk of a surface path across the
// polygons of one part, the path through the whole selection list, the
// selection path list and its hand-over to the scene (see nk_surface_path.h).
// The length plot that samples results along a path is nk_length_plot.cpp.
#include "tools/nk_surface_path.h"

#include <vector>

#include "core/nk_edges.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_message.h"
#include "core/nk_numeric.h"
#include "core/nk_ray.h"
#include "render/nk_primitives.h"

NKPathList<NKSelectionPath> g_SelectionPaths;
int32_t g_iLengthCurveCount = 0;

namespace {

// The polylines the scene draws, one per selection path.
std::vector<NKPathPolyline> sg_Polylines;

// The part a walk runs across, with its coordinates as shown.
struct WalkPart {
    NKFrame *pFrame;
    NKPart *pPart;
    int iPart;
    const float *pfCoords;
};

// The unit normal of a polygon: the packed normal when the part has them,
// else computed from the corners.
void PolygonNormal(const WalkPart &w, int iPolygon, float n[3])
{
    int8_t *pPacked = NKGetPartPolygonNormals(w.iPart, w.pPart, w.pFrame);
    if (pPacked != nullptr) {
        NKUnpackNormal(n, (const signed char *)pPacked + 3 * iPolygon);
        NKVec3Normalize(n);
        return;
    }
    const NKPart *p = w.pPart;
    NKComputePolygonNormal(p->pConnects + p->pPolygonStart[iPolygon], p->pPolygonNumNodes[iPolygon],
                           w.pfCoords, n);
}

// The normalised projection of v into the plane of unit normal n.
void ProjectIntoPlane(const float n[3], const float v[3], float t[3])
{
    NKVec3ProjectOnPlane(n, v, t);
    NKVec3Normalize(t);
}

// Appends a node unless it is the last one.
bool AppendNode(NKSurfacePath *pPath, int iNode)
{
    if (iNode < 0) return true;
    const NKPathList<int32_t> &nodes = pPath->nodes;
    if (nodes.iCount > 0 && nodes.pData[nodes.iCount - 1] == iNode) return true;
    return pPath->nodes.Append(iNode);
}

bool AppendPoint(NKPathList<NKPathPoint> *pList, const float *p)
{
    NKPathPoint point = {{p[0], p[1], p[2]}};
    return pList->Append(point);
}

// The first walking direction: t in a's polygon toward b, and the
// cutting direction c.
void FirstDirection(const WalkPart &w, const NKPickInfo *a, const NKPickInfo *b, float t[3],
                    float c[3])
{
    float e[3], n[3], nc[3];
    NKVec3Difference(b->fPoint, a->fPoint, e);
    NKVec3Normalize(e);
    PolygonNormal(w, a->iPolygon, n);
    NKCrossProduct(e, n, c);
    NKVec3Normalize(c);
    NKCrossProduct(n, c, nc);
    ProjectIntoPlane(n, nc, t);
    if (NKVec3Dot(t, e) < 0.0) NKVec3Scale(t, -1.0f);
}

// The walking direction in the polygon the walk has just entered.
void NextDirection(const WalkPart &w, int iPolygon, const float *pExit, const NKPickInfo *b,
                   const float c[3], float t[3])
{
    float d[3], n[3], tNew[3];
    NKVec3Difference(b->fPoint, pExit, d);
    PolygonNormal(w, iPolygon, n);
    if (NKVec3Dot(n, d) > 1e-12) {
        ProjectIntoPlane(n, d, tNew);
        if (NKVec3Dot(tNew, d) < 0.0) NKVec3Scale(tNew, -1.0f);
    } else {
        NKCrossProduct(c, n, tNew);
        NKVec3Normalize(tNew);
        if (NKVec3Dot(tNew, t) < 0.0) NKVec3Scale(tNew, -1.0f);
    }
    NKVec3Copy(t, tNew);
}

// One step out of iPolygon along t from pCur: the next polygon (or an error
// code below 0), the exit point and the nearer edge node.
int Step(const WalkPart &w, int iPolygon, const float *pCur, const float t[3], float *pExit,
         int *piNode)
{
    const NKPart *p = w.pPart;
    const int *piCorners = p->pConnects + p->pPolygonStart[iPolygon];
    float n[3];
    PolygonNormal(w, iPolygon, n);
    int iEdge = -1, iNext = -1;
    if (!NKFindNearestPolygonEdge(pCur, t, n, piCorners, p->pPolygonNumNodes[iPolygon], w.pfCoords,
                                  pExit, &iEdge, &iNext))
        return -5;
    int iAdjacent = NKFindAdjacentPolygon(p, iPolygon, iEdge, iNext);
    if (iAdjacent < 0) return -3;
    int iA = piCorners[iEdge], iB = piCorners[iNext];
    double dA = NKVec3DistanceSquared(pExit, w.pfCoords + 3 * iA);
    double dB = NKVec3DistanceSquared(pExit, w.pfCoords + 3 * iB);
    *piNode = dA < dB ? iA : iB;
    return iAdjacent;
}

// The walk from a's polygon to b's, polygon by polygon; 0 or an error code.
int WalkPolygons(const WalkPart &w, const NKPickInfo *a, const NKPickInfo *b, NKSurfacePath *pPath)
{
    std::vector<uint8_t> visited((size_t)w.pPart->iNumPolygons, 0);
    visited[(size_t)a->iPolygon] = 1;
    float t[3], c[3], cur[3];
    FirstDirection(w, a, b, t, c);
    NKVec3Copy(cur, a->fPoint);
    int iPolygon = a->iPolygon;
    while (iPolygon != b->iPolygon) {
        float exit[3];
        int iNode = -1;
        int iNext = Step(w, iPolygon, cur, t, exit, &iNode);
        if (iNext < 0) return iNext;
        if (visited[(size_t)iNext]) return -4;
        visited[(size_t)iNext] = 1;
        if (!pPath->polygons.Append({w.iPart, iNext}) || !AppendPoint(&pPath->points, exit) ||
            !AppendNode(pPath, iNode))
            return -1;
        iPolygon = iNext;
        NKVec3Copy(cur, exit);
        if (iPolygon != b->iPolygon) NextDirection(w, iPolygon, exit, b, c, t);
    }
    return 0;
}

// The part of a pick, checked; false when anything needed is missing.
bool FindWalkPart(const NKPickInfo *a, const NKPickInfo *b, WalkPart *pOut)
{
    NKFrame *pFrame = NKGetFrame(a->iFrame);
    if (pFrame == nullptr) pFrame = NKGetCurrentFrame();
    NKPart *pPart = NKGetFramePart(pFrame, a->iPart);
    if (pPart == nullptr || pPart->pConnects == nullptr || pPart->pPolygonStart == nullptr ||
        pPart->pPolygonNumNodes == nullptr)
        return false;
    for (const NKPickInfo *pick : {a, b})
        if (pick->iPolygon < 0 || pick->iPolygon >= pPart->iNumPolygons ||
            pick->iNode >= pPart->iNumNodes)
            return false;
    const float *pfCoords = GetPartNodeCoords(a->iPart, pPart, pFrame);
    if (pfCoords == nullptr) return false;
    *pOut = {pFrame, pPart, a->iPart, pfCoords};
    return true;
}

void Publish(void)
{
    sg_Polylines.clear();
    for (int i = 0; i < g_SelectionPaths.iCount; i++) {
        const NKSelectionPath &path = g_SelectionPaths.pData[i];
        sg_Polylines.push_back({path.ucColor[0], path.ucColor[1], path.ucColor[2],
                                path.points.pData != nullptr ? &path.points.pData[0].v : nullptr,
                                path.points.iCount});
    }
    g_pPathPolylines = sg_Polylines.empty() ? nullptr : sg_Polylines.data();
    g_iNumPathPolylines = (int)sg_Polylines.size();
}

// Reports a walk failure; true when the partial path may be used. Codes -1
// and -2 of the first pair are errors, every other failure a warning.
bool ReportWalkError(int iCode, bool bAll, bool bFurtherPair)
{
    NKString text = NKString::FromFormat(bAll ? "Unable to connect all selections. The following "
                                                "error was reported:\n%s"
                                              : "Unable to connect selections. The following "
                                                "error was reported:\n%s",
                                         NKSurfacePathErrorText(iCode));
    if (!bFurtherPair && (iCode == -1 || iCode == -2)) {
        NKPrintError(text.GetText());
        return false;
    }
    NKPrintWarning(text.GetText());
    return true;
}

// Appends a further pair's path to the path so far.
bool AppendPair(NKSurfacePath *pPath, const NKSurfacePath &pair)
{
    bool bOk = true;
    for (int i = 1; i < pair.polygons.iCount; i++)
        bOk = bOk && pPath->polygons.Append(pair.polygons.pData[i]);
    for (int i = 0; i < pair.nodes.iCount; i++)
        if (i > 0 || pPath->nodes.iCount == 0 ||
            pPath->nodes.pData[pPath->nodes.iCount - 1] != pair.nodes.pData[0])
            bOk = bOk && pPath->nodes.Append(pair.nodes.pData[i]);
    for (int i = 1; i < pair.points.iCount; i++)
        bOk = bOk && pPath->points.Append(pair.points.pData[i]);
    return bOk;
}

}  // namespace

void NKClearSelectionPaths(void)
{
    for (int i = 0; i < g_SelectionPaths.iCount; i++) g_SelectionPaths.pData[i].points.Free();
    g_SelectionPaths.iCount = 0;
    Publish();
}

bool NKAddSelectionPath(const uint8_t ucColor[3], const NKPathList<NKPathPoint> &points)
{
    NKSelectionPath path{{ucColor[0], ucColor[1], ucColor[2]}, {}};
    bool bOk = true;
    for (int i = 0; i < points.iCount && bOk; i++) bOk = path.points.Append(points.pData[i]);
    if (!bOk || !g_SelectionPaths.Append(path)) {
        path.points.Free();
        return false;
    }
    Publish();
    return true;
}

void NKFreeSelectionPaths(void)
{
    NKClearSelectionPaths();
    g_SelectionPaths.Free();
}

const char *NKSurfacePathErrorText(int iCode)
{
    switch (iCode) {
    case -1:
        return "Internal error (NULL data passed).";
    case -2:
        return "Selections not in same part.";
    case -3:
        return "Unable to find neighbour. (May have reached part boundary).";
    case -4:
        return "Loopback error. (Geometry too complex between selections).";
    case -5:
        return "Intersection error. (Geometry too complex between selections).";
    default:
        return "Unknown error.";
    }
}

int NKWalkSurfacePath(const NKPickInfo *a, const NKPickInfo *b, NKSurfacePath *pPath)
{
    if (a == nullptr || b == nullptr || pPath == nullptr) return -1;
    if (a->iPart != b->iPart) return -2;
    WalkPart w{};
    if (!FindWalkPart(a, b, &w)) return -1;
    if (!pPath->polygons.Append({a->iPart, a->iPolygon}) ||
        !AppendPoint(&pPath->points, a->fPoint) || !AppendNode(pPath, a->iNode))
        return -1;
    if (a->iPolygon != b->iPolygon) {
        int iResult = WalkPolygons(w, a, b, pPath);
        if (iResult < 0) return iResult;
    }
    if (!AppendNode(pPath, b->iNode) || !AppendPoint(&pPath->points, b->fPoint)) return -1;
    return 0;
}

bool NKTraceSelectionPath(const NKSelectionList *pList, NKSurfacePath *pPath)
{
    if (pList == nullptr || pPath == nullptr || pList->iCount < 2 || pList->GetEntries() == nullptr)
        return false;
    NKPickInfo *const *ppPicks = pList->GetEntries();
    int n = pList->iCount;
    for (int i = 1; i < n; i++)
        if (ppPicks[i]->iPart != ppPicks[0]->iPart) return ReportWalkError(-2, false, false);
    int iCode = NKWalkSurfacePath(ppPicks[0], ppPicks[1], pPath);
    if (iCode < 0) return ReportWalkError(iCode, n > 2, false);
    for (int i = 1; i + 1 < n; i++) {
        NKSurfacePath pair;
        iCode = NKWalkSurfacePath(ppPicks[i], ppPicks[i + 1], &pair);
        bool bOk = iCode >= 0 && AppendPair(pPath, pair);
        pair.Free();
        if (iCode < 0) return ReportWalkError(iCode, true, true);
        if (!bOk) return false;
    }
    return true;
}
