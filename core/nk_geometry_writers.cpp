// core/nk_geometry_writers.cpp -- binary, BYU-style and grid geometry files.
// See nk_geometry_writers.h.
#include "core/nk_geometry_writers.h"

#include "core/nk_bbox.h"
#include "core/nk_diagnostic.h"
#include "core/nk_file_report.h"
#include "core/nk_math.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_output_file.h"
#include "core/nk_string.h"

namespace {

// Totals of a run of parts.
struct PartTotals {
    long long iNodes = 0;
    long long iPolygons = 0;
    long long iConnects = 0;
};

// A part whose polygons can be written: layout present and inside the
// connectivity.
bool PartWritable(const NKPart &part)
{
    if (part.iNumPolygons == 0) return true;
    if (part.pPolygonNumNodes == nullptr || part.pConnects == nullptr || part.iNumPolygons < 0)
        return false;
    long long iTotal = 0;
    for (int p = 0; p < part.iNumPolygons; p++) iTotal += part.pPolygonNumNodes[p];
    return iTotal <= part.iNumConnects && (part.iNumNodes == 0 || part.pNodeCoords != nullptr);
}

bool TotalsOf(const NKGeometry *pGeo, int iFirst, int iLast, PartTotals *pTotals)
{
    for (int i = iFirst; i <= iLast; i++) {
        const NKPart &part = pGeo->pParts[i];
        if (!PartWritable(part)) return false;
        pTotals->iNodes += part.iNumNodes;
        pTotals->iPolygons += part.iNumPolygons;
        for (int p = 0; p < part.iNumPolygons; p++) pTotals->iConnects += part.pPolygonNumNodes[p];
    }
    return pTotals->iNodes <= 0x7fffffff && pTotals->iConnects <= 0x7fffffff;
}

// Polygon corner c of polygon p (start s when the part keeps no starts).
int CornerNode(const NKPart &part, int p, int s, int c)
{
    int iStart = part.pPolygonStart ? part.pPolygonStart[p] : s;
    return part.pConnects[iStart + c];
}

// Calls emit(node number) for every corner of the part's polygons, the node
// numbers raised by iOffset (1-based) and the last of each polygon negated,
// then end() after each polygon.
template <typename Emit, typename End>
void ForEachCorner(const NKPart &part, int iOffset, Emit emit, End end)
{
    int s = 0;
    for (int p = 0; p < part.iNumPolygons; p++) {
        int k = part.pPolygonNumNodes[p];
        for (int c = 0; c < k; c++) {
            int iNumber = CornerNode(part, p, s, c) + iOffset;
            emit(c == k - 1 ? -iNumber : iNumber);
        }
        end();
        s += k;
    }
}

void ReportWriteError(const char *pszFileName)
{
    NKPrintError(NKString::FromFormat("Error writing geometry file %s.", pszFileName).GetText());
    NKNoteFileNamed();
}

// Header and part table of a binary file.
void WriteBinaryHeader(NKOutputFile &file, const NKGeometry *pGeo, const PartTotals &totals)
{
    file.WriteInt32(1);
    file.WriteInt32(pGeo->iNumParts);
    file.WriteInt32((int)totals.iNodes);
    file.WriteInt32((int)totals.iPolygons);
    file.WriteInt32((int)totals.iConnects);
    int iPolygon = 0;
    for (int i = 0; i < pGeo->iNumParts; i++) {
        file.WriteInt32(iPolygon + 1);
        iPolygon += pGeo->pParts[i].iNumPolygons;
        file.WriteInt32(iPolygon);
    }
}

// The model coordinates of node n of part iPart for the text form.
void BYUNodeCoords(const NKFrame *pFrame, int iPart, int n, float p[3])
{
    const NKPart &part = pFrame->pGeometry->pParts[iPart];
    NKVec3Copy(p, part.pNodeCoords + 3 * n);
    if (pFrame->pTransformation != nullptr)
        NKTransformPoint(pFrame->pTransformation + 16 * iPart, p);
    DisplayToModel(p);
    if (g_pModel != nullptr)
        for (int i = 0; i < 3; i++) p[i] *= g_pModel->fAxisScale[i];
}

void WriteBYUBody(NKOutputFile &file, const NKFrame *pFrame, int iFirst, int iLast)
{
    const NKGeometry *pGeo = pFrame->pGeometry;
    int iPolygon = 0;
    for (int i = iFirst; i <= iLast; i++) {
        file.Printf("%8d %8d\n", iPolygon + 1, iPolygon + pGeo->pParts[i].iNumPolygons);
        iPolygon += pGeo->pParts[i].iNumPolygons;
    }
    for (int i = iFirst; i <= iLast; i++)
        for (int n = 0; n < pGeo->pParts[i].iNumNodes; n++) {
            float p[3];
            BYUNodeCoords(pFrame, i, n, p);
            file.Printf("%e %e %e\n", p[0], p[1], p[2]);
        }
    int iOffset = 1;
    for (int i = iFirst; i <= iLast; i++) {
        ForEachCorner(
            pGeo->pParts[i], iOffset, [&file](int v) { file.Printf("%8d ", v); },
            [&file]() { file.Printf("\n"); });
        iOffset += pGeo->pParts[i].iNumNodes;
    }
    file.Printf("\n");
}

}  // namespace

bool NKWriteGeometryFile(NKGeometry *pGeo, const char *pszFileName)
{
    if (pGeo == nullptr || pGeo->pParts == nullptr)
        return NKDiagnostic("No geometry to write", "NKWriteGeometryFile");
    PartTotals totals;
    if (!TotalsOf(pGeo, 0, pGeo->iNumParts - 1, &totals))
        return NKDiagnostic("Polygon layout missing or inconsistent", "NKWriteGeometryFile");
    NKOutputFile file;
    if (!file.Open(pszFileName)) return false;
    WriteBinaryHeader(file, pGeo, totals);
    for (int i = 0; i < pGeo->iNumParts; i++) {
        const NKPart &part = pGeo->pParts[i];
        for (int n = 0; n < part.iNumNodes; n++) {
            float p[3];
            NKVec3Copy(p, part.pNodeCoords + 3 * n);
            DisplayToModel(p);
            for (float f : p) file.WriteFloat32(f);
        }
    }
    int iOffset = 1;
    for (int i = 0; i < pGeo->iNumParts; i++) {
        ForEachCorner(
            pGeo->pParts[i], iOffset, [&file](int v) { file.WriteInt32(v); }, []() {});
        iOffset += pGeo->pParts[i].iNumNodes;
    }
    if (file.Commit()) return true;
    ReportWriteError(pszFileName);
    return false;
}

bool NKWritePartsToBYUFile(NKFrame *pFrame, const char *pszFileName, int iFirst, int iLast)
{
    const char *pszFn = "NKWritePartsToBYUFile";
    if (pFrame == nullptr || pFrame->pGeometry == nullptr || pFrame->pGeometry->pParts == nullptr)
        return NKDiagnostic("Could not find any geometry to write.", pszFn);
    const NKGeometry *pGeo = pFrame->pGeometry;
    if (iFirst <= iLast && (iFirst < 0 || iLast >= pGeo->iNumParts))
        return NKDiagnostic("Part range outside the geometry", pszFn);
    PartTotals totals;
    if (iFirst <= iLast && !TotalsOf(pGeo, iFirst, iLast, &totals))
        return NKDiagnostic("Polygon layout missing or inconsistent", pszFn);
    NKOutputFile file;
    if (!file.Open(pszFileName)) {
        NKPrintError(NKString::FromFormat("Error opening geometry file %s for writing.",
                                          pszFileName ? pszFileName : "")
                         .GetText());
        return false;
    }
    int iParts = iFirst <= iLast ? iLast - iFirst + 1 : 0;
    NKPrintInfo(NKString::FromFormat("Generating new geometry file: %s containing part %d to part "
                                     "%d\n  parts = %d   nodes = %d   polygons = %d",
                                     pszFileName, iFirst + 1, iLast + 1, iParts, (int)totals.iNodes,
                                     (int)totals.iPolygons)
                    .GetText());
    file.Printf("%8d %8d %8d %8d\n", iParts, (int)totals.iNodes, (int)totals.iPolygons,
                (int)totals.iConnects);
    WriteBYUBody(file, pFrame, iFirst, iLast);
    if (file.Commit()) return true;
    ReportWriteError(pszFileName);
    return false;
}

bool NKWriteGridGeometryFile(int nx, int ny, float dx, float dy, const char *pszFileName)
{
    if (nx < 0 || ny < 0 || (long long)(nx + 1) * (ny + 1) > 0x7fffffffLL / 4)
        return NKDiagnostic("Bad grid size", "NKWriteGridGeometryFile");
    NKOutputFile file;
    if (!file.Open(pszFileName)) {
        // The console framing (blank lines around the sentence) is left to the
        // sink; the sentence itself goes out as an error like every other.
        NKPrintError(NKString::FromFormat(" * Error opening geometry file: %s",
                                          pszFileName ? pszFileName : "")
                         .GetText());
        return false;
    }
    int iPolygons = nx * ny;
    for (int w : {1, 1, (nx + 1) * (ny + 1), iPolygons, 4 * iPolygons, 1, iPolygons})
        file.WriteInt32(w);
    for (int j = 0; j <= ny; j++)
        for (int i = 0; i <= nx; i++) {
            file.WriteFloat32((float)i * dx);
            file.WriteFloat32((float)j * dy);
            file.WriteFloat32(0.0f);
        }
    for (int r = 1; r <= ny; r++)
        for (int c = 1; c <= nx; c++) {
            int a = (r - 1) * (nx + 1) + c;
            for (int w : {a, a + 1, a + nx + 2, -(a + nx + 1)}) file.WriteInt32(w);
        }
    if (file.Commit()) return true;
    ReportWriteError(pszFileName);
    return false;
}
