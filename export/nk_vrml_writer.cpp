// export/nk_vrml_writer.cpp -- NKWriteVRMLFile: one frame of the scene as a
// VRML 1.0 ASCII file for outside viewers (the system never reads it back).
//
// Layout: a header, a Switch of two cameras (the stored view and a default
// view), one Separator per shown part (material, optional per-node fringe
// colours, optional part matrix, coordinates, and a face, line or point set
// by draw style), then the frame's cut surfaces and iso-surfaces, all inside
// one outer Separator. Coordinates are display coordinates, as the 3-D view
// draws them. The tab indentation and number formats are the format's
// contract with the viewers that read these files; keep them byte for byte.
#include <cmath>

#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_model.h"
#include "core/nk_output_file.h"
#include "export/nk_scene_export.h"
#include "readers/nk_data_source.h"
#include "render/nk_camera.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_iso_surface.h"
#include "tools/nk_surface_records.h"

namespace {

// The data-source kind of reservoir result sets, whose tools show whatever
// the parts' visible flags say.
constexpr int kReservoirInterfaceKind = 9;

// One camera of the Switch: position, orientation (axis and angle in radians)
// and focal distance, values "%8.5f" separated by one blank.
void WriteCamera(NKOutputFile *pFile, const char *pszName, const float *pfPos, const float *pfAxis,
                 float fAngle, float fFocal)
{
    pFile->Printf("\t\tDEF %s PerspectiveCamera {\n", pszName);
    pFile->Printf("\t\t\tposition\t\t%8.5f %8.5f %8.5f\n", pfPos[0], pfPos[1], pfPos[2]);
    pFile->Printf("\t\t\torientation\t\t%8.5f %8.5f %8.5f %8.5f\n", pfAxis[0], pfAxis[1], pfAxis[2],
                  fAngle);
    pFile->Printf("\t\t\tfocalDistance\t%8.5f\n", fFocal);
    pFile->Printf("\t\t}\n");
}

// The stored view: the eye point, the camera's rotation (the view matrix's
// rotation taken back to the world, so that it turns (0, 0, -1) into the view
// direction) and the distance from the eye to the rotation point. A zero
// rotation writes the axis 0 1 0, since 0 0 0 cannot be normalised.
void WriteCameras(NKOutputFile *pFile)
{
    float fEye[3] = {0.0f, 0.0f, 2.0f};
    NKGetEyePoint(fEye);
    float q[4];
    NKMat4ToQuat(g_ViewMatrix, q);
    NKQuatNormalize(q);
    float fAxis[3];
    float fAngle = 0.0f;
    NKQuatToAxisAngle(q, fAxis, &fAngle);
    float fAxisLength = std::sqrt(fAxis[0] * fAxis[0] + fAxis[1] * fAxis[1] + fAxis[2] * fAxis[2]);
    if (fAngle == 0.0f || fAxisLength < 1e-6f) {
        fAxis[0] = 0.0f, fAxis[1] = 1.0f, fAxis[2] = 0.0f;
        fAngle = 0.0f;
    } else {
        for (float &f : fAxis) f /= fAxisLength;
    }
    float fRotationPoint[3] = {0.0f, 0.0f, 0.0f};
    NKGetRotationPoint(fRotationPoint);
    float d[3] = {fRotationPoint[0] - fEye[0], fRotationPoint[1] - fEye[1],
                  fRotationPoint[2] - fEye[2]};
    float fFocal = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);

    static const float kDefaultPos[3] = {0.0f, 0.0f, 2.0f};
    static const float kDefaultAxis[3] = {0.0f, 1.0f, 0.0f};
    pFile->Printf("\tDEF Cameras Switch {\n");
    pFile->Printf("\t\twhichChild 0\n");
    WriteCamera(pFile, "StoredView", fEye, fAxis, fAngle, fFocal);
    WriteCamera(pFile, "DefaultView", kDefaultPos, kDefaultAxis, 0.0f, 2.0f);
    pFile->Printf("\t}\n");
}

// The OVERALL material of a part: surfaces show their own colours; lines and
// points glow in their diffuse colour so that they keep it unlit.
void WriteOverallMaterial(NKOutputFile *pFile, const NKPart *pPart)
{
    const NKMaterial &m = pPart->material;
    static const float kBlack[3] = {0.0f, 0.0f, 0.0f};
    bool bSurface = pPart->iDrawStyle == NK_DRAW_SURFACE;
    const float *pfAmbient = bSurface ? m.ambient : kBlack;
    const float *pfDiffuse = bSurface ? m.diffuse : kBlack;
    const float *pfEmissive = bSurface ? m.emission : m.diffuse;
    float fTransparency = pPart->bTransparent ? 1.0f - m.alpha / 255.0f : 0.0f;
    pFile->Printf("\t\tMaterialBinding {\n\t\t\tvalue OVERALL\n\t\t}\n");
    pFile->Printf("\t\tMaterial {\n");
    pFile->Printf("\t\t   ambientColor\t\t%5.3f %5.3f %5.3f\n", pfAmbient[0], pfAmbient[1],
                  pfAmbient[2]);
    pFile->Printf("\t\t   diffuseColor\t\t%5.3f %5.3f %5.3f\n", pfDiffuse[0], pfDiffuse[1],
                  pfDiffuse[2]);
    pFile->Printf("\t\t   specularColor\t%5.3f %5.3f %5.3f\n", m.specular[0], m.specular[1],
                  m.specular[2]);
    pFile->Printf("\t\t   emissiveColor\t%5.3f %5.3f %5.3f\n", pfEmissive[0], pfEmissive[1],
                  pfEmissive[2]);
    pFile->Printf("\t\t   shininess\t\t%5.3f\n", m.shininess / 128.0f);
    pFile->Printf("\t\t   transparency\t\t%5.3f\n", fTransparency);
    pFile->Printf("\t\t}\n");
}

// One colour list ("ambientColor" or "diffuseColor") of n nodes.
void WriteColorList(NKOutputFile *pFile, const char *pszField, const uint8_t *pColors, int n)
{
    pFile->Printf("\t\t\t%s [\n", pszField);
    for (int i = 0; i < n; i++)
        pFile->Printf("%s\t\t\t\t%.3f %.3f %.3f", i > 0 ? ",\n" : "", pColors[3 * i] / 255.0f,
                      pColors[3 * i + 1] / 255.0f, pColors[3 * i + 2] / 255.0f);
    pFile->Printf(" ]\n");
}

// Per-node colours (three bytes a node) bound PER_VERTEX_INDEXED.
void WriteVertexColors(NKOutputFile *pFile, const uint8_t *pColors, int n)
{
    pFile->Printf("\t\tMaterialBinding {\n\t\t\tvalue PER_VERTEX_INDEXED\n\t\t}\n");
    pFile->Printf("\t\tMaterial {\n");
    WriteColorList(pFile, "ambientColor", pColors, n);
    WriteColorList(pFile, "diffuseColor", pColors, n);
    pFile->Printf("\t\t}\n");
}

void WriteCoordinates(NKOutputFile *pFile, const float *pfCoords, int n)
{
    pFile->Printf("\t\tCoordinate3 {\n\t\t\tpoint [\n");
    for (int i = 0; i < n; i++)
        pFile->Printf("%s\t\t\t\t%g  %g  %g", i > 0 ? ",\n" : "", pfCoords[3 * i],
                      pfCoords[3 * i + 1], pfCoords[3 * i + 2]);
    pFile->Printf(" ]\n\t\t}\n");
}

// The polygons' corner lists (starts and counts per polygon).
struct PolygonList {
    int iNumPolygons;
    const int *piStart;
    const int *piNumNodes;
    const int *piConnects;
};

// A face or line set of the polygons; with bTriangulate a polygon of four or
// more corners becomes a fan from its first corner.
void WriteIndexedSet(NKOutputFile *pFile, const PolygonList &list, bool bTriangulate, bool bFaces)
{
    pFile->Printf("\t\t%s {\n\t\t\tcoordIndex [\n", bFaces ? "IndexedFaceSet" : "IndexedLineSet");
    for (int p = 0; p < list.iNumPolygons; p++) {
        const int *c = list.piConnects + list.piStart[p];
        int n = list.piNumNodes[p];
        if (p > 0) pFile->Printf(",\n");
        if (bTriangulate && n >= 4) {
            for (int k = 2; k < n; k++)
                pFile->Printf("%s\t\t\t\t%d, %d, %d, -1", k > 2 ? ",\n" : "", c[0], c[k - 1], c[k]);
        } else {
            pFile->Printf("\t\t\t\t");
            for (int k = 0; k < n; k++) pFile->Printf("%d, ", c[k]);
            pFile->Printf("-1");
        }
    }
    pFile->Printf("]\n\t\t}\n");
}

// The part's edges whose line flag (one byte per corner, for the edge that
// starts there) reaches iThreshold, as an IndexedLineSet.
void WriteEdges(NKOutputFile *pFile, const NKPart *pPart, int iThreshold)
{
    pFile->Printf("\t\tIndexedLineSet {\n\t\t\tcoordIndex [\n");
    bool bFirst = true;
    bool bEdges = pPart->pEdgeKinds != nullptr && pPart->pConnects != nullptr &&
                  pPart->pPolygonStart != nullptr && pPart->pPolygonNumNodes != nullptr;
    for (int p = 0; bEdges && p < pPart->iNumPolygons; p++) {
        int iStart = pPart->pPolygonStart[p];
        int n = pPart->pPolygonNumNodes[p];
        for (int k = 0; k < n; k++) {
            if (iStart + k >= pPart->iNumEdgeSlots || pPart->pEdgeKinds[iStart + k] < iThreshold)
                continue;
            int a = pPart->pConnects[iStart + k];
            int b = pPart->pConnects[iStart + (k + 1) % n];
            pFile->Printf("%s%d, %d, -1", bFirst ? "\t\t\t\t" : ",\n\t\t\t\t", a, b);
            bFirst = false;
        }
    }
    pFile->Printf(" ]\n\t\t}\n");
}

// The node colours of part iPart when it shows fringes and the frame's entry
// covers every node; null otherwise.
const uint8_t *PartNodeColors(int iPart, const NKPart *pPart, const NKFrame *pFrame)
{
    const uint8_t *pColors = NKGetPartNodeColors(iPart, pPart, pFrame);
    const NKScalarPartEntry *pEntry = NKGetPartScalarEntry(iPart, pFrame);
    if (pColors == nullptr || pEntry == nullptr || pEntry->iCount < pPart->iNumNodes)
        return nullptr;
    return pColors;
}

void WritePartBlock(NKOutputFile *pFile, int iPart, NKPart *pPart, NKFrame *pFrame,
                    const float *pfCoords)
{
    pFile->Printf("\n\tSeparator {\n");
    WriteOverallMaterial(pFile, pPart);
    if (pPart->bFringes) {
        const uint8_t *pColors = PartNodeColors(iPart, pPart, pFrame);
        if (pColors != nullptr) WriteVertexColors(pFile, pColors, pPart->iNumNodes);
    }
    if (pFrame->pTransformation != nullptr) {
        const float *m = pFrame->pTransformation + 16 * iPart;
        pFile->Printf("\t\tMatrixTransform {\n\t\t\tmatrix\n");
        for (int r = 0; r < 4; r++)
            pFile->Printf("\t\t\t\t%12g  %12g  %12g  %12g\n", m[4 * r], m[4 * r + 1], m[4 * r + 2],
                          m[4 * r + 3]);
        pFile->Printf("\t\t}\n");
    }
    WriteCoordinates(pFile, pfCoords, pPart->iNumNodes);
    bool bPolygons = pPart->pConnects != nullptr && pPart->pPolygonStart != nullptr &&
                     pPart->pPolygonNumNodes != nullptr;
    int iStyle = pPart->iDrawStyle;
    if (iStyle == NK_DRAW_SURFACE) {
        PolygonList list = {bPolygons ? pPart->iNumPolygons : 0, pPart->pPolygonStart,
                            pPart->pPolygonNumNodes, pPart->pConnects};
        WriteIndexedSet(pFile, list, true, true);
    } else if (iStyle == NK_DRAW_LINES || iStyle == NK_DRAW_HIDDEN_LINES ||
               iStyle == NK_DRAW_OUTLINE) {
        WriteEdges(pFile, pPart, iStyle == NK_DRAW_OUTLINE ? 2 : 1);
    } else {
        pFile->Printf("\t\tPointSet {\n\t\t\tstartIndex \t0\n\t\t\tnumPoints \t%d\n\t\t}\n",
                      pPart->iNumNodes);
    }
    pFile->Printf("\t}\n");
}

// A mesh of a cut or iso-surface as coordinates and a triangulated face set.
void WriteMesh(NKOutputFile *pFile, const NKIndexedFaceSet &mesh)
{
    WriteCoordinates(pFile, mesh.pfCoords, mesh.pfCoords != nullptr ? mesh.iNumNodes : 0);
    bool bPolygons = mesh.piConnects != nullptr && mesh.piPolygonStart != nullptr &&
                     mesh.piPolygonNumNodes != nullptr;
    PolygonList list = {bPolygons ? mesh.iNumPolygons : 0, mesh.piPolygonStart,
                        mesh.piPolygonNumNodes, mesh.piConnects};
    WriteIndexedSet(pFile, list, true, true);
}

void WriteCutSurfaces(NKOutputFile *pFile, const NKFrame *pFrame, bool bReservoir)
{
    const CutPlaneSet *pSet = g_pCutPlaneSet;
    if (pSet == nullptr || pSet->GetNumPlanes() <= 0) return;
    const NKGeometry *pGeo = pFrame->pGeometry;
    for (int k = 0; k < pSet->GetNumPlanes() && k < NK_MAX_CUT_SURFACES; k++) {
        const CutPlane *pPlane = pSet->GetPlane(k);
        const CutSurface *pCut = pFrame->pCutSurfaces[k];
        if (pPlane == nullptr || !pPlane->bShowSurface || pCut == nullptr) continue;
        for (int j = 0; j < pCut->iNumParts; j++) {
            const CutSurfacePart &cut = pCut->pParts[j];
            if (!cut.bHasSurface) continue;
            if (!bReservoir && pPlane->bHideWithPart && j < pGeo->iNumParts &&
                !pGeo->pParts[j].bVisible)
                continue;
            pFile->Printf("\n\tSeparator {\n");
            if (cut.pColors != nullptr) WriteVertexColors(pFile, cut.pColors, cut.mesh.iNumNodes);
            WriteMesh(pFile, cut.mesh);
            pFile->Printf("\t}\n");
        }
    }
}

void WriteIsoSurfaces(NKOutputFile *pFile, const NKFrame *pFrame, bool bReservoir)
{
    if (g_pIsoSurfaceState == nullptr || !g_pIsoSurfaceState->bEnabled ||
        pFrame->pIsoSurfaces == nullptr)
        return;
    const NKGeometry *pGeo = pFrame->pGeometry;
    for (int j = 0; j < pFrame->iNumIsoSurfaces; j++) {
        const IsoSurfacePart &iso = pFrame->pIsoSurfaces[j];
        if (!iso.bHasSurface) continue;
        if (!bReservoir && !(j < pGeo->iNumParts && pGeo->pParts[j].bVisible)) continue;
        const uint8_t *c = iso.uColor;
        pFile->Printf("\n\tSeparator {\n\t\tMaterial {\n");
        pFile->Printf("\t\t  ambientColor\t%8.3f %8.3f %8.3f\n", c[0] / 255.0f, c[1] / 255.0f,
                      c[2] / 255.0f);
        pFile->Printf("\t\t  diffuseColor\t%8.3f %8.3f %8.3f\n", c[0] / 255.0f, c[1] / 255.0f,
                      c[2] / 255.0f);
        pFile->Printf("\t\t}\n");
        WriteMesh(pFile, iso.mesh);
        pFile->Printf("\t}\n");
    }
}

}  // namespace

bool NKWriteVRMLFile(const char *pszFileName, int iFrame)
{
    NKFrame *pFrame = NKGetFrame(iFrame);
    if (pFrame == nullptr || pFrame->pGeometry == nullptr || pszFileName == nullptr ||
        *pszFileName == 0)
        return false;
    NKOutputFile file;
    if (!file.Open(pszFileName)) return false;
    file.Printf("#VRML V1.0 ascii\n\n");
    file.Printf("#Created with %s, ver. %s-%02d\n", NK_EXPORT_PROGRAM_TITLE, NK_EXPORT_VERSION_TEXT,
                NK_EXPORT_BUILD_NUMBER);
    file.Printf("\nSeparator {\n");
    WriteCameras(&file);
    NKGeometry *pGeo = pFrame->pGeometry;
    for (int iPart = 0; iPart < pGeo->iNumParts; iPart++) {
        NKPart *pPart = &pGeo->pParts[iPart];
        if (!pPart->bVisible) continue;
        const float *pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
        if (pfCoords == nullptr) continue;
        WritePartBlock(&file, iPart, pPart, pFrame, pfCoords);
    }
    bool bReservoir = NKGetUnderlyingInterfaceType() == kReservoirInterfaceKind;
    WriteCutSurfaces(&file, pFrame, bReservoir);
    WriteIsoSurfaces(&file, pFrame, bReservoir);
    file.Printf("}\n");
    return file.Commit();
}
