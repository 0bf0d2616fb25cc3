// core/nk_bbox.cpp -- the coordinate conversions and box getters of
// nk_bbox.h, over the transform parameters of g_pModel.
#include "core/nk_bbox.h"

#include "core/nk_frames.h"
#include "core/nk_model.h"

namespace {

// The display scale of axis i; 1 without a model.
double AxisScale(int i)
{
    if (g_pModel == nullptr) return 1.0;
    return (double)g_pModel->fAxisScale[i] * (double)g_pModel->fGeoScale;
}

double AxisCentre(int i)
{
    if (g_pModel == nullptr) return 0.0;
    const float afCentre[3] = {g_pModel->fCenterX, g_pModel->fCenterY, g_pModel->fCenterZ};
    return afCentre[i];
}

}  // namespace

void ModelToDisplay(float p[3])
{
    if (p == nullptr) return;
    for (int i = 0; i < 3; i++) p[i] = (float)(((double)p[i] - AxisCentre(i)) * AxisScale(i));
}

void DisplayToModel(float p[3])
{
    if (p == nullptr) return;
    for (int i = 0; i < 3; i++) p[i] = (float)((double)p[i] / AxisScale(i) + AxisCentre(i));
}

void DisplayToModelVector(float v[3])
{
    if (v == nullptr) return;
    for (int i = 0; i < 3; i++) v[i] = (float)((double)v[i] / AxisScale(i));
}

const float *NKGetPartBoundingBox(NKFrame *pFrame, int iPart, int iMode)
{
    (void)iMode;
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr) return nullptr;
    return pPart->fBoundingBox;
}

bool NKComputeFrameBoundingBoxes(int iFrame, bool bUndeformed, bool bDisplaced)
{
    (void)iFrame;
    (void)bUndeformed;
    (void)bDisplaced;
    return true;
}
