// export/nk_stl_writer.cpp -- NKWriteSTLFile: the polygons of one frame's
// geometry as an ASCII STL file, one solid "Part%04d" per part (an empty
// solid for a part without polygons), every polygon fan-triangulated from its
// first corner, vertices taken back from display to model coordinates.
//
// Facet normals are the polygon's packed normal bytes as stored, unpacked
// with NKUnpackNormal so that -128 gives exactly -1.
#include <string>

#include "core/nk_bbox.h"
#include "core/nk_frame_results.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_output_file.h"
#include "core/nk_progress.h"
#include "core/nk_string.h"
#include "export/nk_scene_export.h"

namespace {

// One vertex line of node iNode of the coordinate array.
void WriteVertex(NKOutputFile *pFile, const float *pfCoords, int iNode)
{
    float p[3] = {pfCoords[3 * iNode], pfCoords[3 * iNode + 1], pfCoords[3 * iNode + 2]};
    DisplayToModel(p);
    pFile->Printf("   vertex %f %f %f\n", p[0], p[1], p[2]);
}

// The facets of part iPart; corner indices outside the part's nodes are
// passed over (the polygon gives no facet) rather than read past the array.
void WritePartFacets(NKOutputFile *pFile, int iPart, NKPart *pPart, NKFrame *pFrame)
{
    const float *pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
    const int8_t *pNormals = NKGetPartPolygonNormals(iPart, pPart, pFrame);
    if (pfCoords == nullptr || pPart->pConnects == nullptr || pPart->pPolygonStart == nullptr ||
        pPart->pPolygonNumNodes == nullptr)
        return;
    for (int iPoly = 0; iPoly < pPart->iNumPolygons; iPoly++) {
        const int *piCorners = pPart->pConnects + pPart->pPolygonStart[iPoly];
        int n = pPart->pPolygonNumNodes[iPoly];
        bool bInside = n >= 3;
        for (int k = 0; k < n && bInside; k++)
            bInside = piCorners[k] >= 0 && piCorners[k] < pPart->iNumNodes;
        if (!bInside) continue;
        float fNormal[3] = {0.0f, 0.0f, 0.0f};
        if (pNormals != nullptr) NKUnpackNormal(fNormal, (const signed char *)pNormals + 3 * iPoly);
        for (int k = 2; k < n; k++) {
            pFile->Printf(" facet normal %f %f %f\n", fNormal[0], fNormal[1], fNormal[2]);
            pFile->Printf("  outer loop\n");
            WriteVertex(pFile, pfCoords, piCorners[0]);
            WriteVertex(pFile, pfCoords, piCorners[k - 1]);
            WriteVertex(pFile, pfCoords, piCorners[k]);
            pFile->Printf("  endloop\n");
            pFile->Printf(" endfacet\n");
        }
    }
}

}  // namespace

bool NKWriteSTLFile(NKFrame *pFrame, const char *pszFileName)
{
    if (pFrame == nullptr || pFrame->pGeometry == nullptr) return false;
    std::string name = (pszFileName == nullptr || *pszFileName == 0) ? "quolin.stl" : pszFileName;
    NKPrintInfo(NKString::FromFormat("Saving frame to STL file: %s", name.c_str()).GetText());
    NKSetStatusText("Saving model to STL file...");
    NKOutputFile file;
    if (!file.Open(name.c_str())) {
        NKPrintError(NKString::FromFormat("Error creating file: %s", name.c_str()).GetText());
        NKSetStatusText("Error.");
        return false;
    }
    NKGeometry *pGeo = pFrame->pGeometry;
    for (int iPart = 0; iPart < pGeo->iNumParts; iPart++) {
        NKString partName = NKString::FromFormat("Part%04d", iPart + 1);
        file.Printf("solid %s\n", partName.GetText());
        WritePartFacets(&file, iPart, &pGeo->pParts[iPart], pFrame);
        file.Printf("endsolid %s\n", partName.GetText());
    }
    if (!file.Commit()) {
        NKPrintError(NKString::FromFormat("Error writing file: %s", name.c_str()).GetText());
        NKSetStatusText("Error.");
        return false;
    }
    NKPrintInfo("Export ok.");
    NKSetStatusText("Done.");
    return true;
}
