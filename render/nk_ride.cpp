// render/nk_ride.cpp -- the ride set-up, its evaluation per frame,
// its text and the ride file (see nk_ride.h). The `ride` commands are in
// nk_ride_commands.cpp.
#include "render/nk_ride.h"

#include <GL/gl.h>

#include "core/nk_bbox.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_output_file.h"
#include "core/nk_ray.h"
#include "core/nk_references.h"
#include "core/nk_string.h"
#include "render/nk_text.h"

NKRideSpec g_RideSpec;

namespace {

// The frame's node coordinates of the part, with the part's matrix when the
// frame has part matrices.
struct PartCoords {
    const NKPart *pPart = nullptr;
    const float *pfCoords = nullptr;
    const float *pfMatrix = nullptr;
};

bool GetPartCoords(NKFrame *pFrame, int iPart, PartCoords *pOut)
{
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr) return false;
    pOut->pPart = pPart;
    pOut->pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
    pOut->pfMatrix =
        pFrame->pTransformation != nullptr ? pFrame->pTransformation + 16 * iPart : nullptr;
    return pOut->pfCoords != nullptr;
}

void ApplyPartMatrix(const PartCoords &part, float *p)
{
    if (part.pfMatrix != nullptr) NKTransformPoint(part.pfMatrix, p);
}

// The polygon's node indices and count; false for a polygon outside the part.
bool PolygonNodes(const NKPart *pPart, int iPolygon, const int **ppIndices, int *pn)
{
    if (iPolygon < 0 || iPolygon >= pPart->iNumPolygons || pPart->pPolygonStart == nullptr ||
        pPart->pPolygonNumNodes == nullptr || pPart->pConnects == nullptr)
        return false;
    *ppIndices = pPart->pConnects + pPart->pPolygonStart[iPolygon];
    *pn = pPart->pPolygonNumNodes[iPolygon];
    return true;
}

bool PolygonCentroid(NKFrame *pFrame, const NKRideItem &item, float *pOut)
{
    PartCoords part;
    const int *piIndices = nullptr;
    int n = 0;
    if (!GetPartCoords(pFrame, item.iPart, &part) ||
        !PolygonNodes(part.pPart, item.iItem, &piIndices, &n) ||
        !NKComputeCentroid(piIndices, n, part.pfCoords, pOut, nullptr))
        return false;
    ApplyPartMatrix(part, pOut);
    return true;
}

bool PolygonNormal(NKFrame *pFrame, const NKRideItem &item, float *pOut)
{
    PartCoords part;
    const int *piIndices = nullptr;
    int n = 0;
    if (!GetPartCoords(pFrame, item.iPart, &part) ||
        !PolygonNodes(part.pPart, item.iItem, &piIndices, &n))
        return false;
    NKComputePolygonNormal(piIndices, n, part.pfCoords, pOut);
    return true;
}

// The node's coordinates, with the part matrix when bTransform.
bool NodePoint(NKFrame *pFrame, const NKRideItem &item, bool bTransform, float *pOut)
{
    PartCoords part;
    if (!GetPartCoords(pFrame, item.iPart, &part) || item.iItem < 0 ||
        item.iItem >= part.pPart->iNumNodes)
        return false;
    NKVec3Copy(pOut, part.pfCoords + 3 * item.iItem);
    if (bTransform) ApplyPartMatrix(part, pOut);
    return true;
}

bool NodeCentroid(NKFrame *pFrame, const NKRideItem *pItems, int n, float *pOut)
{
    if (n < 1 || n > 3) return false;
    float afSum[3] = {0, 0, 0}, p[3];
    for (int i = 0; i < n; i++) {
        if (!NodePoint(pFrame, pItems[i], true, p)) return false;
        NKVec3AddTo(afSum, p);
    }
    NKVec3Scale(afSum, 1.0f / static_cast<float>(n));
    NKVec3Copy(pOut, afSum);
    return true;
}

bool PartCentre(NKFrame *pFrame, int iPart, float *pOut)
{
    PartCoords part;
    const float *pfBox = NKGetPartBoundingBox(pFrame, iPart, NK_BOX_DISPLACED_OR_UNDEFORMED);
    if (pfBox == nullptr || !GetPartCoords(pFrame, iPart, &part)) return false;
    for (int k = 0; k < 3; k++) pOut[k] = 0.5f * (pfBox[k] + pfBox[k + 3]);
    ModelToDisplay(pOut);
    ApplyPartMatrix(part, pOut);
    return true;
}

// The eye or the reference point of a kind; bEye selects the eye's fields.
bool EvaluatePoint(NKFrame *pFrame, const NKRideSpec *s, bool bEye, const float *pfEye, float *pOut)
{
    const int iKind = bEye ? s->iEyeSource : s->iVrpSource;
    float a[3], b[3];
    switch (iKind) {
    case NK_RIDE_POLYGON:
        return PolygonCentroid(pFrame, bEye ? s->aEyePolygon : s->aVrpPolygon, pOut);
    case NK_RIDE_NODES:
        return bEye ? NodeCentroid(pFrame, s->aEyeNodes, s->iNumEyeNodes, pOut)
                    : NodeCentroid(pFrame, s->aVrpNodes, s->iNumVrpNodes, pOut);
    case NK_RIDE_LINE:
        if (bEye || !NodePoint(pFrame, s->aVrpNodes[0], false, a) ||
            !NodePoint(pFrame, s->aVrpNodes[1], false, b))
            return false;
        for (int k = 0; k < 3; k++) pOut[k] = pfEye[k] + b[k] - a[k];
        return true;
    case NK_RIDE_PART:
        return PartCentre(pFrame, bEye ? s->iEyePart : s->iVrpPart, pOut);
    case NK_RIDE_FIXED:
        NKVec3Copy(pOut, bEye ? s->fEyePoint : s->fVrpPoint);
        ModelToDisplay(pOut);
        return true;
    default:
        NKVec3Zero(pOut);
        return true;
    }
}

bool EvaluateUp(NKFrame *pFrame, const NKRideSpec *s, float *pOut)
{
    NKVec3Zero(pOut);
    if (s->iVupSource == NK_RIDE_POLYGON && !PolygonNormal(pFrame, s->aVupPolygon, pOut))
        return false;
    if (s->iVupSource == NK_RIDE_FIXED) {
        NKVec3Copy(pOut, s->fVup);
        NKVec3Normalize(pOut);
    }
    if (s->bFlip) NKVec3Scale(pOut, -1.0f);
    return true;
}

// eye += s x right + up x up + f x forward, the offset in display units.
void ApplyEyeOffset(const NKRideSpec *s, float *pfEye, const float *pfVrp, const float *pfUp)
{
    float f[3], side[3], afOffset[3];
    NKVec3Difference(pfVrp, pfEye, f);
    NKVec3Normalize(f);
    NKCrossProduct(f, pfUp, side);
    NKVec3Normalize(side);
    NKVec3Copy(afOffset, s->fEyeOffset);
    ModelToDisplayVector(afOffset);
    for (int k = 0; k < 3; k++)
        pfEye[k] += side[k] * afOffset[0] + pfUp[k] * afOffset[2] + f[k] * afOffset[1];
}

}  // namespace

bool NKResetRideSpec(NKRideSpec *pSpec)
{
    if (pSpec == nullptr) return false;
    *pSpec = NKRideSpec();
    return true;
}

bool NKIsRideSpecValid(const NKRideSpec *pSpec)
{
    return pSpec->iEyeSource != NK_RIDE_NONE && pSpec->iVrpSource != NK_RIDE_NONE &&
           pSpec->iVupSource != NK_RIDE_NONE;
}

bool NKComputeRideViewPoint(int iFrame, NKRideSpec *pSpec)
{
    NKFrame *pFrame = NKGetFrame(iFrame);
    if (pSpec == nullptr || pFrame == nullptr || NKGetFrameGeometry(pFrame) == nullptr)
        return false;
    float afEye[3], afVrp[3], afUp[3];
    if (!EvaluatePoint(pFrame, pSpec, true, nullptr, afEye) ||
        !EvaluatePoint(pFrame, pSpec, false, afEye, afVrp) || !EvaluateUp(pFrame, pSpec, afUp))
        return false;
    ApplyEyeOffset(pSpec, afEye, afVrp, afUp);
    NKVec3Copy(pSpec->ViewPoint.eye, afEye);
    NKVec3Copy(pSpec->ViewPoint.vrp, afVrp);
    NKVec3Copy(pSpec->ViewPoint.vup, afUp);
    return NKIsRideSpecValid(pSpec);
}

// ---- Text and file --------------------------------------------------------

namespace {

// "part,ID " of a node (1-based part, the node's ID in the current geometry).
NKString NodeText(const NKRideItem &item)
{
    const NKFrame *pFrame = NKGetFrame(-1);
    const int iID = NKGetNodeID(item.iPart, item.iItem, NKGetFrameGeometry(pFrame));
    return NKString::FromFormat("%d,%d", item.iPart + 1, iID);
}

NKString NodeListText(const NKRideItem *pItems, int n)
{
    NKString text;
    for (int i = 0; i < n; i++) text += NodeText(pItems[i]) + " ";
    return text;
}

NKString PolygonText(const NKRideItem &item)
{
    return NKString::FromFormat("%d,%d", item.iPart + 1, item.iItem + 1);
}

// The eye or reference-point line of the ride set-up text.
NKString PointText(const NKRideSpec *s, bool bEye)
{
    const char *pszName = bEye ? "eye: " : "vrp: ";
    const int iKind = bEye ? s->iEyeSource : s->iVrpSource;
    const NKRideItem *pNodes = bEye ? s->aEyeNodes : s->aVrpNodes;
    const int n = bEye ? s->iNumEyeNodes : s->iNumVrpNodes;
    NKString text(pszName);
    switch (iKind) {
    case NK_RIDE_POLYGON:
        return text + "centroid of polygon " + PolygonText(bEye ? s->aEyePolygon : s->aVrpPolygon);
    case NK_RIDE_NODES:
        if (n == 1) return text + "node " + NodeText(pNodes[0]);
        return text + "centroid of nodes " + NodeListText(pNodes, n);
    case NK_RIDE_LINE:
        return text + "direction given by line through nodes " + NodeText(pNodes[0]) + " and " +
               NodeText(pNodes[1]);
    case NK_RIDE_PART:
        return text + "centroid of part " + ((bEye ? s->iEyePart : s->iVrpPart) + 1);
    case NK_RIDE_FIXED:
        return text + "fixed at " + NKString(bEye ? s->fEyePoint : s->fVrpPoint);
    default:
        return text + "not specified";
    }
}

NKString UpText(const NKRideSpec *s)
{
    NKString text("vup: ");
    if (s->iVupSource == NK_RIDE_POLYGON)
        text += NKString("normal vector of polygon ") + PolygonText(s->aVupPolygon);
    else if (s->iVupSource == NK_RIDE_FIXED)
        text += NKString("given by vector ") + NKString(s->fVup);
    else
        return text + "not specified";
    return s->bFlip ? text + " (flipped)" : text;
}

NKString FixedText(const float *p) { return NKString::FromFormat("%G %G %G", p[0], p[1], p[2]); }

// The ride file's eye, reference-point and up-vector lines.
NKString FileSourceLines(const NKRideSpec *s)
{
    NKString text;
    switch (s->iEyeSource) {
    case NK_RIDE_POLYGON:
        text += NKString("ride eyepolygon ") + PolygonText(s->aEyePolygon);
        break;
    case NK_RIDE_NODES:
        text += NKString("ride eyenodes ") + NodeListText(s->aEyeNodes, s->iNumEyeNodes);
        break;
    case NK_RIDE_PART:
        text += NKString::FromFormat("\nride eyepart %d", s->iEyePart + 1);
        break;
    case NK_RIDE_FIXED:
        text += NKString("ride eye ") + FixedText(s->fEyePoint);
        break;
    default:
        break;
    }
    switch (s->iVrpSource) {
    case NK_RIDE_POLYGON:
        text += NKString("\nride vrppolygon ") + PolygonText(s->aVrpPolygon);
        break;
    case NK_RIDE_NODES:
        text += NKString("\nride vrpnodes ") + NodeListText(s->aVrpNodes, s->iNumVrpNodes);
        break;
    case NK_RIDE_LINE:
        text += NKString("\nride vrpline ") + NodeText(s->aVrpNodes[0]) + " " +
                NodeText(s->aVrpNodes[1]);
        break;
    case NK_RIDE_PART:
        text += NKString::FromFormat("\nride vrppart %d", s->iVrpPart + 1);
        break;
    case NK_RIDE_FIXED:
        text += NKString("\nride vrp ") + FixedText(s->fVrpPoint);
        break;
    default:
        break;
    }
    if (s->iVupSource == NK_RIDE_POLYGON)
        text += NKString("\nride vuppoly ") + PolygonText(s->aVupPolygon);
    else if (s->iVupSource == NK_RIDE_FIXED)
        text += NKString("\nride vup ") + FixedText(s->fVup);
    return text;
}

}  // namespace

NKString *NKPrintRideSpec(NKString *pText, const NKRideSpec *pSpec)
{
    *pText = NKString("  ") + PointText(pSpec, true) + "\n  " + PointText(pSpec, false) + "\n  " +
             UpText(pSpec) + "\n  eye offset vector: " + NKString(pSpec->fEyeOffset);
    return pText;
}

bool NKWriteRideFile(const NKRideSpec *pSpec, const char *pszFileName)
{
    NKOutputFile file;
    if (pSpec == nullptr || !file.Open(pszFileName)) return false;
    file.Printf("# Quolin Dulm generated model riding specification\n");
    file.Printf("# -------------------------------------------\n");
    file.Printf("%s", FileSourceLines(pSpec).GetText());
    file.Printf("\nride %s", pSpec->bFlip ? "flip" : "noflip");
    file.Printf("\nride eyeoffset %s\n", FixedText(pSpec->fEyeOffset).GetText());
    return file.Commit();
}

void NKDrawRidePreview(void)
{
    if (!g_RideSpec.bInUse || !g_RideSpec.bPreview) return;
    const NKViewPoint &v = g_RideSpec.ViewPoint;
    float afUp[3];
    for (int k = 0; k < 3; k++) afUp[k] = v.eye[k] + 0.3f * v.vup[k];
    const uint8_t *pColor = NKGetTextColor();
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_POINT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    glColor3ub(pColor[0], pColor[1], pColor[2]);
    glLineWidth(3.0f);
    glBegin(GL_LINES);
    glVertex3fv(v.eye);
    glVertex3fv(v.vrp);
    glVertex3fv(v.eye);
    glVertex3fv(afUp);
    glEnd();
    glPointSize(4.0f);
    glBegin(GL_POINTS);
    glVertex3fv(v.eye);
    glVertex3fv(v.vrp);
    glEnd();
    glPopAttrib();
}
