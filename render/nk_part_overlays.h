// render/nk_part_overlays.h -- the lines and marks drawn over a part after
// its polygons: mesh and outline lines, contour lines with their value
// labels, the undeformed shape, the selected polygon, node markers, the
// part's vectors and the frame's separate vector fields, and the polygon
// normals.
//
// Each function saves the GL attributes it changes and the modelview
// matrix it moves, and gives them back: lighting, depth function, line
// width, point size and the matrix stacks are as the caller left them.
#pragma once

#include <cstdint>

class NKOrientedBox;
struct NKFrame;
struct NKPart;
struct NKVectorSettings;

// The colour of mesh lines (meshcolor; black) and of the undeformed shape
// (undefcolor; white).
extern uint8_t g_uMeshColor[3];
extern uint8_t g_uUndeformedColor[3];

// The vectors' filter box in display coordinates, which box filtering
// tests each arrow's tail against; null until the tools make their
// "Filter Box" handle at start-up (no box: nothing is filtered).
extern NKOrientedBox *g_pVectorFilterBox;
// Box filtering on (vectors boxfilter) or off (vectors noboxfilter, the
// start).
extern uint8_t g_bVectorBoxFilter;

// One node to mark: node index within the part, the part, the colour.
struct NKNodeMarker {
    int32_t iNode;
    int32_t iPart;
    uint8_t auColor[3];
    uint8_t uSpare;
};

// Mesh lines (bOutline false: edges flagged 1 or more) or outline lines
// (bOutline true: edges flagged 2 or more) of the part's drawable polygons,
// two-node polygons left out. Unless bColourGiven the colour is the mesh
// colour, or for outline lines the part's diffuse colour (outline in the
// default colour) or its outline-mesh colour.
void NKDrawPartEdges(int iPart, NKPart *pPart, NKFrame *pFrame, bool bOutline, bool bColourGiven);
// The frame's contour line records of the part, each in its own width,
// with "%g" value labels on the first and every hundredth segment of a
// level when value labels are on.
void NKDrawContourLines(int iPart, NKFrame *pFrame);
// Every polygon of the part at its own (undisplaced) coordinates as a
// stippled loop in the undeformed colour.
void NKDrawUndeformedShape(NKPart *pPart, NKFrame *pFrame);
// The polygon in the selection colour with its node labels; an index
// outside the part gives a trace message and draws nothing.
void NKDrawSelectedPolygon(int iPolygon, int iPart, NKFrame *pFrame);
// A 5-pixel point and the text " <---ID" at each marker's node.
void NKDrawNodeMarkers(NKFrame *pFrame, const NKNodeMarker *pMarkers, int iCount);
// One line (and arrow head) per node from the frame's vector result.
void NKDrawPartVectors(int iPart, NKPart *pPart, NKFrame *pFrame,
                       const NKVectorSettings *pSettings);
// The same for each separate vector field the frame holds, field s with
// pSettings[s].
void NKDrawSeparateVectorFields(int iPart, NKPart *pPart, NKFrame *pFrame,
                                const NKVectorSettings *pSettings);
// A short line and a point along each node normal (smooth parts) or from
// each polygon's centroid along its normal (flat parts).
void NKDrawPartNormals(int iPart, NKPart *pPart, NKFrame *pFrame,
                       const NKVectorSettings *pSettings);
