// tools/nk_surface_polygoniser.cpp -- cut and iso polygons of a part's
// elements (see nk_surface_polygoniser.h). The classification, the polygon
// generation with its chunked growth, the edge interpolation and the two
// per-part drivers.
#include "tools/nk_surface_polygoniser.h"

#include <cmath>
#include <cstring>

#include "core/nk_diagnostic.h"
#include "core/nk_element_types.h"
#include "core/nk_frame_results.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_normals.h"
#include "core/nk_numeric.h"
#include "core/nk_ray.h"
#include "tools/nk_edge_case_table.h"

CutSurfacePart::CutSurfacePart() { NKInitPolygonMesh(&mesh); }

CutSurfacePart::~CutSurfacePart()
{
    NKFreePolygonMesh(&mesh);
    NKFree(pfValues);
    NKFree(pfVectors);
    NKFree(pColors);
    NKFree(pfTexCoords);
}

IsoSurfacePart::IsoSurfacePart() { NKInitPolygonMesh(&mesh); }

IsoSurfacePart::~IsoSurfacePart()
{
    NKFreePolygonMesh(&mesh);
    NKFree(pfColorValues);
    NKFree(pColors);
    NKFree(pfTexCoords);
    NKFree(pPolygonNormals);
}

namespace {

const int kMaxCorners = 8;
const int kMaxEdges = 12;

double Dot3(const float *a, const float *b)
{
    return (double)a[0] * b[0] + (double)a[1] * b[1] + (double)a[2] * b[2];
}

// True when the element's corner nodes lie within the part's element
// connectivity and node list, so that reading them is safe.
bool ElementCornersValid(const NKPart *p, const NKElement &e, int iCorners)
{
    if (e.iNodeStart < 0 || (long long)e.iNodeStart + iCorners > p->iNumElementConnects)
        return false;
    const int *piNodes = p->pElementConnects + e.iNodeStart;
    for (int c = 0; c < iCorners; c++)
        if (piNodes[c] < 0 || piNodes[c] >= p->iNumNodes) return false;
    return true;
}

// The value between a and b at t; undefined when either end is.
float InterpolateValue(float a, float b, float t)
{
    if (!NKIsDefinedValue(a) || !NKIsDefinedValue(b)) return NK_UNDEFINED_VALUE;
    return (1.0f - t) * a + t * b;
}

template <typename T>
bool Resize(T **pp, size_t n)
{
    T *p = static_cast<T *>(NKRealloc(*pp, n * sizeof(T)));
    if (p == nullptr && n > 0) return false;
    *pp = p;
    return true;
}

}  // namespace

CutElement *NKClassifyElementNodes(const NKPart *pPart, const float *pfCoords,
                                   const float *pfValues, const CutSurfacePart *pPlane,
                                   const IsoSurfacePart *pIso, int iMode, int *piCount)
{
    if (piCount != nullptr) *piCount = 0;
    if (piCount == nullptr || pPart == nullptr || pPart->iNumElements < 1 ||
        pPart->pElements == nullptr || pPart->pElementConnects == nullptr)
        return nullptr;
    if (iMode == NK_SURFACE_PLANE && (pPlane == nullptr || pfCoords == nullptr)) return nullptr;
    if (iMode == NK_SURFACE_ISO && (pIso == nullptr || pfValues == nullptr)) return nullptr;
    if (iMode != NK_SURFACE_PLANE && iMode != NK_SURFACE_ISO) return nullptr;
    const bool bPlane = iMode == NK_SURFACE_PLANE;
    const double fRef = bPlane ? Dot3(pPlane->fPlaneNormal, pPlane->fPlanePoint) : pIso->fLevel;
    const int iStep = pPart->iNumElements / 4 + 4;
    int iCap = iStep, n = 0;
    CutElement *pCuts = static_cast<CutElement *>(NKAlloc(sizeof(CutElement) * (size_t)iCap));
    if (pCuts == nullptr) return nullptr;
    for (int e = 0; e < pPart->iNumElements; e++) {
        const NKElement &elem = pPart->pElements[e];
        int iCorners = NKElementCornerCount(elem.iType);
        if (iCorners < 1 || iCorners > kMaxCorners || !ElementCornersValid(pPart, elem, iCorners))
            continue;
        const int *piNodes = pPart->pElementConnects + elem.iNodeStart;
        CutElement cut;
        cut.iElement = e;
        int iSum = 0;
        bool bUndefined = false;
        for (int c = 0; c < iCorners; c++) {
            int iNode = piNodes[c];
            double v = bPlane ? Dot3(pfCoords + 3 * (size_t)iNode, pPlane->fPlaneNormal)
                              : (double)pfValues[iNode];
            bUndefined = bUndefined || (!bPlane && !NKIsDefinedValue(pfValues[iNode]));
            cut.aiSide[c] = v <= fRef ? -1 : 1;
            iSum += cut.aiSide[c];
        }
        // An undefined value would place the iso-surface next to the defined
        // corners: such an element has none.
        if (bUndefined || std::abs(iSum) == iCorners) continue;
        for (int c = iCorners; c < kMaxCorners; c++) cut.aiSide[c] = 0;
        if (n == iCap) {
            iCap += iStep;
            if (!Resize(&pCuts, (size_t)iCap)) {
                NKFree(pCuts);
                return nullptr;
            }
        }
        pCuts[n++] = cut;
    }
    *piCount = n;
    return pCuts;
}

void NKInterpolatePlaneEdge(const float *pfPlanePoint, const float *pfNormal, const float *pfA,
                            const float *pfB, float fValueA, float fValueB, const float *pfVectorA,
                            const float *pfVectorB, float *pfPoint, float *pfValue, float *pfVector)
{
    float d[3] = {pfB[0] - pfA[0], pfB[1] - pfA[1], pfB[2] - pfA[2]};
    double fDen = Dot3(pfNormal, d);
    if (fDen == 0.0) fDen = 1e-12;
    float t = (float)((Dot3(pfNormal, pfPlanePoint) - Dot3(pfNormal, pfA)) / fDen);
    for (int k = 0; k < 3; k++) pfPoint[k] = pfA[k] + t * d[k];
    if (pfValue != nullptr) *pfValue = InterpolateValue(fValueA, fValueB, t);
    if (pfVector != nullptr && pfVectorA != nullptr && pfVectorB != nullptr)
        for (int k = 0; k < 3; k++) pfVector[k] = (1.0f - t) * pfVectorA[k] + t * pfVectorB[k];
}

void NKInterpolateIsoEdge(float fLevel, const float *pfA, const float *pfB, float fValueA,
                          float fValueB, float fColorA, float fColorB, const float *pfVectorA,
                          const float *pfVectorB, float *pfPoint, float *pfColor, float *pfVector)
{
    double fDen = (double)fValueB - (double)fValueA;
    if (fDen == 0.0) fDen = 1e-12;
    float t = (float)(((double)fLevel - fValueA) / fDen);
    for (int k = 0; k < 3; k++) pfPoint[k] = pfA[k] + t * (pfB[k] - pfA[k]);
    if (pfColor != nullptr) *pfColor = InterpolateValue(fColorA, fColorB, t);
    if (pfVector != nullptr && pfVectorA != nullptr && pfVectorB != nullptr)
        for (int k = 0; k < 3; k++) pfVector[k] = (1.0f - t) * pfVectorA[k] + t * pfVectorB[k];
}

namespace {

// The inputs and growing arrays of one NKGenerateSurface run. The per-node
// arrays are those of the mode's record: values (or colour values) and
// vectors, each null when the run stores none.
struct SurfaceBuilder {
    const NKPart *pPart;
    const float *pfCoords, *pfValues, *pfSecond, *pfVectors;
    const CutSurfacePart *pPlane;  // mode 0
    float fLevel;                  // mode 1
    NKIndexedFaceSet *pMesh;
    float **ppfNodeValues;   // null: no per-node values kept
    float **ppfNodeVectors;  // null: no per-node vectors kept
    float *pfMin, *pfMax;
    int iNodeCap, iPolyCap, iConnCap, iChunk;
    int aiEdgeA[NK_ELEMENT_TYPE_COUNT][kMaxEdges], aiEdgeB[NK_ELEMENT_TYPE_COUNT][kMaxEdges];
    int aiNumEdges[NK_ELEMENT_TYPE_COUNT];
};

void LoadEdgeTables(SurfaceBuilder &b)
{
    for (int t = 0; t < NK_ELEMENT_TYPE_COUNT; t++) {
        int n = NKElementEdgeCount(t);
        b.aiNumEdges[t] = n < kMaxEdges ? n : kMaxEdges;
        for (int e = 0; e < b.aiNumEdges[t]; e++)
            NKElementEdgeNodes(t, e, &b.aiEdgeA[t][e], &b.aiEdgeB[t][e]);
    }
}

// Makes room for one more polygon of up to twelve nodes, growing each array
// by a chunk sized from the number of cut elements.
bool ReserveForPolygon(SurfaceBuilder &b)
{
    NKIndexedFaceSet *m = b.pMesh;
    if (m->iNumNodes + kMaxEdges > b.iNodeCap) {
        int iCap = b.iNodeCap + 4 * b.iChunk + kMaxEdges;
        if (!Resize(&m->pfCoords, 3 * (size_t)iCap)) return false;
        if (b.ppfNodeValues != nullptr && !Resize(b.ppfNodeValues, (size_t)iCap)) return false;
        if (b.ppfNodeVectors != nullptr && !Resize(b.ppfNodeVectors, 3 * (size_t)iCap))
            return false;
        b.iNodeCap = iCap;
    }
    if (m->iNumPolygons + 1 > b.iPolyCap) {
        int iCap = b.iPolyCap + b.iChunk;
        if (!Resize(&m->piPolygonStart, (size_t)iCap) ||
            !Resize(&m->piPolygonNumNodes, (size_t)iCap))
            return false;
        b.iPolyCap = iCap;
    }
    if (m->iConnectLength + kMaxEdges > b.iConnCap) {
        int iCap = b.iConnCap + 4 * b.iChunk + kMaxEdges;
        if (!Resize(&m->piConnects, (size_t)iCap)) return false;
        b.iConnCap = iCap;
    }
    return true;
}

// Appends the crossing point on the edge from node A to node B as a new node.
void AppendCrossing(SurfaceBuilder &b, int iA, int iB)
{
    NKIndexedFaceSet *m = b.pMesh;
    int iNode = m->iNumNodes;
    float *pfPoint = m->pfCoords + 3 * (size_t)iNode;
    float *pfValue = b.ppfNodeValues != nullptr ? *b.ppfNodeValues + iNode : nullptr;
    float *pfVector = b.ppfNodeVectors != nullptr ? *b.ppfNodeVectors + 3 * (size_t)iNode : nullptr;
    const float *pfA = b.pfCoords + 3 * (size_t)iA, *pfB = b.pfCoords + 3 * (size_t)iB;
    const float *pfVecA = b.pfVectors != nullptr ? b.pfVectors + 3 * (size_t)iA : nullptr;
    const float *pfVecB = b.pfVectors != nullptr ? b.pfVectors + 3 * (size_t)iB : nullptr;
    if (b.pPlane != nullptr)
        NKInterpolatePlaneEdge(b.pPlane->fPlanePoint, b.pPlane->fPlaneNormal, pfA, pfB,
                               b.pfValues[iA], b.pfValues[iB], pfVecA, pfVecB, pfPoint, pfValue,
                               pfVector);
    else
        NKInterpolateIsoEdge(b.fLevel, pfA, pfB, b.pfValues[iA], b.pfValues[iB], b.pfSecond[iA],
                             b.pfSecond[iB], pfVecA, pfVecB, pfPoint, pfValue, pfVector);
    for (int k = 0; k < 3; k++) {
        if (pfPoint[k] < b.pfMin[k]) b.pfMin[k] = pfPoint[k];
        if (pfPoint[k] > b.pfMax[k]) b.pfMax[k] = pfPoint[k];
    }
    m->piConnects[m->iConnectLength++] = iNode;
    m->iNumNodes++;
}

// The polygon of one cut element. False only when memory runs out; an
// element of fewer than two cut edges (or a bad index) adds nothing.
bool AddElementPolygon(SurfaceBuilder &b, const CutElement &cut)
{
    if (cut.iElement < 0 || cut.iElement >= b.pPart->iNumElements) return true;
    const NKElement &elem = b.pPart->pElements[cut.iElement];
    if (elem.iType < 0 || elem.iType >= NK_ELEMENT_TYPE_COUNT) return true;
    int iCorners = NKElementCornerCount(elem.iType);
    if (iCorners < 1 || !ElementCornersValid(b.pPart, elem, iCorners)) return true;
    int iMask = 0, iNumCut = 0;
    for (int e = 0; e < b.aiNumEdges[elem.iType]; e++) {
        if (cut.aiSide[b.aiEdgeA[elem.iType][e]] != cut.aiSide[b.aiEdgeB[elem.iType][e]]) {
            iMask += 1 << e;
            iNumCut++;
        }
    }
    if (iNumCut < 2) return true;
    if (!ReserveForPolygon(b)) return false;
    const int *piRow = NKGetEdgeCaseRow(iMask);
    const int *piNodes = b.pPart->pElementConnects + elem.iNodeStart;
    NKIndexedFaceSet *m = b.pMesh;
    int iStart = m->iConnectLength, n = 0;
    for (; n < iNumCut; n++) {
        if (piRow[n] < 0) {
            NKDiagnostic("Minor inconsistency", "NKGenerateSurface");
            break;
        }
        AppendCrossing(b, piNodes[b.aiEdgeA[elem.iType][piRow[n]]],
                       piNodes[b.aiEdgeB[elem.iType][piRow[n]]]);
    }
    // The polygon's count is what was appended, so that the mesh stays whole.
    m->piPolygonStart[m->iNumPolygons] = iStart;
    m->piPolygonNumNodes[m->iNumPolygons] = n;
    m->iNumPolygons++;
    return true;
}

// Reallocates every array to its final size; a failed shrink keeps the larger
// block, which is still valid.
void TrimArrays(SurfaceBuilder &b)
{
    NKIndexedFaceSet *m = b.pMesh;
    size_t iNodes = (size_t)m->iNumNodes, iPolys = (size_t)m->iNumPolygons;
    Resize(&m->pfCoords, 3 * iNodes);
    if (b.ppfNodeValues != nullptr) Resize(b.ppfNodeValues, iNodes);
    if (b.ppfNodeVectors != nullptr) Resize(b.ppfNodeVectors, 3 * iNodes);
    Resize(&m->piPolygonStart, iPolys);
    Resize(&m->piPolygonNumNodes, iPolys);
    Resize(&m->piConnects, (size_t)m->iConnectLength);
}

}  // namespace

bool NKGenerateSurface(const NKPart *pPart, const float *pfCoords, const float *pfValues,
                       const float *pfSecond, const float *pfVectors, CutSurfacePart *pCut,
                       IsoSurfacePart *pIso, int iMode, const CutElement *pCuts, int iNumCuts)
{
    if (pPart == nullptr || pfCoords == nullptr || pfValues == nullptr) return false;
    if (iMode == NK_SURFACE_PLANE
            ? pCut == nullptr
            : (iMode != NK_SURFACE_ISO || pIso == nullptr || pfSecond == nullptr))
        return false;
    if (pCuts == nullptr || iNumCuts < 1) return true;
    SurfaceBuilder b{};
    b.pPart = pPart;
    b.pfCoords = pfCoords;
    b.pfValues = pfValues;
    b.pfSecond = pfSecond;
    if (iMode == NK_SURFACE_PLANE) {
        b.pPlane = pCut;
        b.pMesh = &pCut->mesh;
        b.ppfNodeValues = &pCut->pfValues;
        b.pfVectors = pfVectors;
        b.ppfNodeVectors = pfVectors != nullptr ? &pCut->pfVectors : nullptr;
        b.pfMin = pCut->fMin;
        b.pfMax = pCut->fMax;
    } else {
        b.fLevel = pIso->fLevel;
        b.pMesh = &pIso->mesh;
        b.ppfNodeValues = pfSecond != pfValues ? &pIso->pfColorValues : nullptr;
        b.pfMin = pIso->fMin;
        b.pfMax = pIso->fMax;
    }
    b.iNodeCap = b.pMesh->iNumNodes;
    b.iPolyCap = b.pMesh->iNumPolygons;
    b.iConnCap = b.pMesh->iConnectLength;
    b.iChunk = iNumCuts;
    LoadEdgeTables(b);
    bool bOk = true;
    for (int i = 0; i < iNumCuts && bOk; i++) bOk = AddElementPolygon(b, pCuts[i]);
    TrimArrays(b);
    return bOk;
}

namespace {

// The node values of entry iPart of a scalar result, when the entry holds a
// value for each of the part's nodes; null otherwise.
const float *PartNodeValues(const NKScalarResult *pResult, int iPart, const NKPart *p)
{
    if (pResult == nullptr || pResult->pNodeResults == nullptr || iPart < 0 ||
        iPart >= pResult->iNumParts)
        return nullptr;
    const NKScalarPartEntry &entry = pResult->pNodeResults[iPart];
    if (entry.pNodeValues == nullptr || entry.iCount < p->iNumNodes) return nullptr;
    return entry.pNodeValues;
}

NKPart *FramePart(NKFrame *pFrame, int iPart)
{
    if (pFrame == nullptr || pFrame->pGeometry == nullptr || pFrame->pScalar == nullptr)
        return nullptr;
    NKGeometry *pGeo = pFrame->pGeometry;
    if (pGeo->pParts == nullptr || iPart < 0 || iPart >= pGeo->iNumParts) return nullptr;
    return &pGeo->pParts[iPart];
}

// Fringe colours and texture coordinates of n values over [fFrom, fTo].
bool MapColors(int n, const float *pfValues, float fFrom, float fTo, uint8_t **ppColors,
               float **ppfTexCoords)
{
    NKFree(*ppColors);
    NKFree(*ppfTexCoords);
    *ppColors = static_cast<uint8_t *>(NKAlloc(3 * (size_t)n));
    *ppfTexCoords = static_cast<float *>(NKAlloc(sizeof(float) * (size_t)n));
    if (*ppColors == nullptr || *ppfTexCoords == nullptr) return false;
    NKMapScalarsToColors(fFrom, fTo, n, pfValues, *ppColors, *ppfTexCoords);
    return true;
}

// Cut-surface nodes lying within 1e-7 of a coordinate plane snap onto it.
void ZeroTinyCoordinates(NKIndexedFaceSet *pMesh)
{
    size_t n = 3 * (size_t)pMesh->iNumNodes;
    for (size_t k = 0; k < n; k++)
        if (std::fabs(pMesh->pfCoords[k]) < 1e-7f) pMesh->pfCoords[k] = 0.0f;
}

// One packed normal per polygon of the iso mesh.
bool MakePolygonNormals(IsoSurfacePart *pRec)
{
    const NKIndexedFaceSet &m = pRec->mesh;
    float *pfNormals = static_cast<float *>(NKAlloc(3 * sizeof(float) * (size_t)m.iNumPolygons));
    NKFree(pRec->pPolygonNormals);
    pRec->pPolygonNormals = static_cast<int8_t *>(NKAlloc(3 * (size_t)m.iNumPolygons));
    bool bOk = pfNormals != nullptr && pRec->pPolygonNormals != nullptr;
    for (int p = 0; bOk && p < m.iNumPolygons; p++)
        NKComputePolygonNormal(m.piConnects + m.piPolygonStart[p], m.piPolygonNumNodes[p],
                               m.pfCoords, pfNormals + 3 * (size_t)p);
    if (bOk) NKPackNormals(pRec->pPolygonNormals, pfNormals, m.iNumPolygons);
    NKFree(pfNormals);
    return bOk;
}

}  // namespace

bool NKComputePartCutSurface(NKFrame *pFrame, int iPart, CutSurfacePart *pRecord)
{
    NKPart *p = FramePart(pFrame, iPart);
    if (p == nullptr || pRecord == nullptr) return false;
    const float *pfCoords = GetPartNodeCoords(iPart, p, pFrame);
    const float *pfValues = PartNodeValues(pFrame->pScalar, iPart, p);
    if (pfCoords == nullptr || pfValues == nullptr) return false;
    int iSlot = pFrame->pExtraVector[1] != nullptr ? 1 : 0;
    float *pfVectors = NKComputePartDisplacements(iPart, p, pFrame, iSlot);
    int iNumCuts = 0;
    CutElement *pCuts = NKClassifyElementNodes(p, pfCoords, pfValues, pRecord, nullptr,
                                               NK_SURFACE_PLANE, &iNumCuts);
    bool bOk = NKGenerateSurface(p, pfCoords, pfValues, pfValues, pfVectors, pRecord, nullptr,
                                 NK_SURFACE_PLANE, pCuts, iNumCuts);
    NKIndexedFaceSet *m = &pRecord->mesh;
    if (bOk && m->iNumNodes > 0 && m->iNumPolygons > 0) {
        float fFrom = g_pModel != nullptr ? g_pModel->fFringeRangeFrom : 0.0f;
        float fTo = g_pModel != nullptr ? g_pModel->fFringeRangeTo : 0.0f;
        bOk = MapColors(m->iNumNodes, pRecord->pfValues, fFrom, fTo, &pRecord->pColors,
                        &pRecord->pfTexCoords);
        NKOrientPolygons(m, pRecord->fPlaneNormal);
        ZeroTinyCoordinates(m);
    }
    NKFree(pCuts);
    NKFree(pfVectors);
    return bOk;
}

// The vectors the iso-surface would interpolate are not computed: an
// iso-surface keeps none.
bool NKComputePartIsoSurface(NKFrame *pFrame, int iPart)
{
    NKPart *p = FramePart(pFrame, iPart);
    if (p == nullptr || pFrame->pIsoSurfaces == nullptr || iPart >= pFrame->iNumIsoSurfaces)
        return false;
    IsoSurfacePart *pRec = &pFrame->pIsoSurfaces[iPart];
    const float *pfCoords = GetPartNodeCoords(iPart, p, pFrame);
    const float *pfValues = PartNodeValues(pFrame->pScalar, iPart, p);
    if (pfCoords == nullptr || pfValues == nullptr) return false;
    const float *pfSecond = PartNodeValues(pFrame->pExtraScalar[1], iPart, p);
    if (pfSecond == nullptr) pfSecond = pfValues;
    int iNumCuts = 0;
    CutElement *pCuts =
        NKClassifyElementNodes(p, pfCoords, pfValues, nullptr, pRec, NK_SURFACE_ISO, &iNumCuts);
    bool bOk = NKGenerateSurface(p, pfCoords, pfValues, pfSecond, nullptr, nullptr, pRec,
                                 NK_SURFACE_ISO, pCuts, iNumCuts);
    NKFree(pCuts);
    if (!bOk || pRec->mesh.iNumPolygons < 1) return bOk;
    const NKModel *pModel = g_pModel;
    if (pfSecond == pfValues) {
        float fTexCoord = 0.0f;
        NKMapScalarsToColors(pModel != nullptr ? pModel->fFringeRangeFrom : 0.0f,
                             pModel != nullptr ? pModel->fFringeRangeTo : 0.0f, 1, &pRec->fLevel,
                             pRec->uColor, &fTexCoord);
    } else if (!MapColors(pRec->mesh.iNumNodes, pRec->pfColorValues,
                          pModel != nullptr ? pModel->valueRanges[1].from : 0.0f,
                          pModel != nullptr ? pModel->valueRanges[1].to : 0.0f, &pRec->pColors,
                          &pRec->pfTexCoords)) {
        return false;
    }
    return MakePolygonNormals(pRec);
}
