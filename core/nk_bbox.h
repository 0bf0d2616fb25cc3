// core/nk_bbox.h -- bounding boxes and the conversion between model and
// display coordinates.
//
// Node coordinates, vector-result node values and separate vector field
// positions are held in display coordinates:
//     display = (model - centre) x axis scale x fGeoScale, per component,
// with fGeoScale, the centre and the three axis scales taken from g_pModel.
// Boxes (of parts, geometries, frames and the model) are held in model
// coordinates. A box is six floats: min x, y, z, max x, y, z; the empty box
// has minima +1e12 and maxima -1e12 and grows with strict comparisons.
//
// Readers call NKComputeGeometryExtents on a fresh geometry (still in model
// units) to get its own scale and centre, then convert it; the box functions
// run after every load and after displacements, transformations or the
// display transform change. The getters never compute. Box modes: 1 the
// displaced box when there is one, else the undeformed box; 3 the displaced
// box only (null without one); any other mode the undeformed box.
#pragma once

struct NKFrame;
struct NKGeometry;
struct NKPart;

// Modes of the box getters.
enum { NK_BOX_UNDEFORMED = 0, NK_BOX_DISPLACED_OR_UNDEFORMED = 1, NK_BOX_DISPLACED_ONLY = 3 };

// Modes of NKPolylineCentroidAndLength.
enum { NK_POLYLINE_AS_IS = 0, NK_POLYLINE_TO_MODEL = 1, NK_POLYLINE_TO_DISPLAY = 2 };

// ---- Boxes and conversions ----------------------------------------------------

// The empty box; a null box goes to the internal trace.
void NKSetMaxValues(float *pfBox);
// Whether the box holds no point: its minimum above its maximum (or not
// comparable with it) in any one axis, as the empty box is in all three; a
// box without extent in an axis holds the points of that plane. Null is
// empty.
bool NKIsEmptyBox(const float *pfBox);
// The largest of the three extents (max - min); 0 for null (internal trace).
float NKGetMaxExtent(const float *pfBox);

// In place, with the model's transform; nothing without a model or for null.
// An axis whose scale x fGeoScale is 0 is left alone by the display-to-model
// conversions instead of being divided by 0.
void ModelToDisplay(float *p);
void ModelToDisplayVector(float *v);   // the centre is not subtracted
void ModelToDisplayBox(float *pfBox);  // both corners
void DisplayToModel(float *p);
void DisplayToModelVector(float *v);
void DisplayToModelBox(float *pfBox);
// ModelToDisplay of the origin, into pOut; returns pOut.
float *GetModelOriginInDisplay(float *pOut);

// The centroid of n points (3 floats each) and, when pfLongest is given, the
// length of the longest segment between consecutive points, each segment
// first converted by iMode (1 DisplayToModelVector, 2 ModelToDisplayVector,
// else as is); the centroid is then converted by iMode (1 DisplayToModel, 2
// ModelToDisplay). False for null points or centroid, or n < 1.
bool NKPolylineCentroidAndLength(const float *pfPoints, int n, float *pfCentroid, float *pfLongest,
                                 int iMode);

// On a geometry still in model units: part boxes, centroids, uniform polygon
// sizes and edge slot counts, the totals, the geometry box, its own fGeoScale
// (2 / the largest extent; 2 when that extent is 0 or the box is empty) and
// its centre (the box's midpoint). Parts without polygons are skipped. False
// for null.
bool NKComputeGeometryExtents(NKGeometry *pGeo);

// The box of part iPart's counted polygons in model coordinates. With
// bDisplaced and a frame the frame's displaced coordinates are used when it
// has them; with frame visibility bytes only polygons whose byte equals the
// part's level-of-detail code count. With bStoreUndeformed the box becomes
// the part's box. Refused (false): both flags, no output without
// bStoreUndeformed, a part without coordinates.
bool NKComputePartBoundingBox(NKPart *pPart, int iPart, NKFrame *pFrame, float *pfOut,
                              bool bStoreUndeformed, bool bDisplaced);
// The union of the part boxes (each carried through the frame's part matrix
// when displaced and the frame has matrices) and the global primitives' box.
// pfPerPart, when given, receives the untransformed part boxes, six floats
// per part. With bStoreUndeformed the box becomes the geometry's box.
bool NKComputeGeoBoundingBox(NKGeometry *pGeo, NKFrame *pFrame, float *pfOut, float *pfPerPart,
                             bool bStoreUndeformed, bool bDisplaced);
// For frame iFrame, or all frames for -1: with bUndeformed the geometry
// boxes (each shared geometry once), with bDisplaced each frame's displaced
// box and part boxes (the part box array is made when the frame has none).
// False when a frame of the range has no geometry or a box array cannot be
// made.
bool NKComputeFrameBoundingBoxes(int iFrame, bool bUndeformed, bool bDisplaced);

// ---- Box getters -----------------------------------------------------------------

// The box of part iPart by mode (see the file comment). Null for a null frame,
// a frame without geometry or a part outside the geometry.
const float *NKGetPartBoundingBox(const NKFrame *pFrame, int iPart, int iMode);
// The frame's geometry box by mode. The displaced box exists when every part
// shows displacements and the frame has a vector result, or when the frame
// has part matrices. Null for a null frame.
const float *NKGetGeoBoundingBox(const NKFrame *pFrame, int iMode);
const float *NKGetFrameGeoBoundingBox(int iFrame, int iMode);
// The part box of that mode; with part matrices in the frame, the axis-aligned
// hull of the box carried through the part's matrix. False without a box.
bool NKGetTransformedPartBoundingBox(const NKFrame *pFrame, int iPart, float *pfOut, int iMode);
// The union of every frame's geometry box of that mode. False for null.
bool NKGetModelBoundingBox(float *pfOut, int iMode);
// The z range of the frame's mode-1 geometry box (in display coordinates)
// carried through m. False for a null frame or when there is no box.
bool NKGetBoxDepthRange(const NKFrame *pFrame, const float *m, float *pfZMin, float *pfZMax);
// (The largest absolute extent of the box in display coordinates) x fFactor
// / fReference; 1.0 when fFactor is not above 0 or fReference equals 0.
float NKComputeBoxScaleFactor(const float *pfBox, float fReference, float fFactor);

// ---- Changing the display transform --------------------------------------------

// Takes every coordinate held in display form back to model form with the
// old transform, stores the given axis scales, fGeoScale and centre (null
// keeps the old value), and converts everything forward again, recomputing
// normals, node traces and plane points and freeing cut surfaces and
// iso-surfaces. pSkip is a geometry still in model coordinates: it is only
// converted forward. Each shared record and each separate vector field is
// converted once, whatever number of frames hold it.
bool NKChangeDisplayTransform(const float *pfScales, const float *pfGeoScale, const float *pfCentre,
                              NKGeometry *pSkip);
