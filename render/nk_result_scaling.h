// render/nk_result_scaling.h -- scaling of the results a frame shows:
// displacements (the displaced positions of a vector result), scalar
// values, and the rigid-body matrices of the parts.
//
// Part arguments are 0-based part indices, first to last inclusive. The
// displacement scale of fields 0 and 1 lives in the model's value ranges 2
// and 3: `from` is the scale asked for, `to` the scale the data carries.
#pragma once

struct NKFrame;

// Brings the displacements of field iField (0: the frames' vector results,
// 1: their further vector result) from the scale they carry to the one
// asked for, ratio = from / to (a requested 0 counts as 1e-12; a current 0
// gives ratio 1). Each shared vector result is scaled once; field 0 also
// updates its length range and its deformed normals.
void NKApplyDisplacementScale(int iFirst, int iLast, int iField);
// displaced = node + (displaced - node) x fFactor for every defined node of
// the parts in range, in the frame's vector result (field 0) or further
// vector result iField. With bUpdateRange the result's length range is
// reset and rebuilt from the scaled displacements.
void NKScaleDisplacements(NKFrame *pFrame, int iFirst, int iLast, float fFactor, int iField,
                          bool bUpdateRange);
// Multiplies every defined node and element value of the parts in range by
// fFactor, rebuilding the result's two ranges; with bRecolour each entry is
// coloured again over fMin..fMax.
void NKScaleScalarValues(NKFrame *pFrame, int iFirst, int iLast, float fFactor, bool bRecolour,
                         float fMin, float fMax);
// Scales every frame's part matrices in range from the current
// transformation scale to fFactor (NKScaleTransformationMatrix with
// fFactor / current), then makes fFactor the current scale. False unless
// 0 <= first <= last.
bool NKScaleTransformations(int iFirst, int iLast, float fFactor);
// The rotation angle a about its axis becomes atan(tan(a) x fRatio) (the
// turn by at most a quarter), and the translation is multiplied by fRatio.
void NKScaleTransformationMatrix(float *m, float fRatio);
// The current transformation scale (1.0 at start).
float NKGetTransformationScale(void);
void NKSetTransformationScale(float fScale);
