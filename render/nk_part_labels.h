// render/nk_part_labels.h -- each part's name placed on the part where it
// faces the viewer, as an item of the label overlay.
//
// The part drawing (NKDrawPartExtras) calls NKDrawPartLabels for every drawn
// part while the part names are shown (bShowPartNames); the items go to
// g_pLabelOverlay, which the scene empties at the start of each frame.
#pragma once

struct NKFrame;
struct NKPart;

// Queues the label of part iPart of the frame: the part's name, or "Part
// %d" (index + 1) when the name is blank, anchored at the centroid of the
// part's polygon nearest to the one of four points around the part's box
// that lies nearest the view axis. Nothing for the data source's overlay
// parts (the wells of a reservoir source), without an overlay, or for a
// part without polygons.
void NKDrawPartLabels(NKFrame *pFrame, int iPart);

// For each of the iCount points (three floats each) the centroid of the
// part's polygon nearest to it (the average of the polygon's node
// positions, displaced ones when the part shows displacements), three
// floats each into pfOut. A null pPart is part iPart of the frame. False
// (pfOut unchanged) for null arguments, a part without coordinates or
// without a valid polygon.
bool NKFindNearestPolygonCentres(const float *pfPoints, int iCount, NKFrame *pFrame, int iPart,
                                 NKPart *pPart, float *pfOut);
