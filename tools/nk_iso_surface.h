// tools/nk_iso_surface.h -- the iso-surface tool: its global state (enabled,
// level, hide-with-part and the "Iso Surface Slider"), the test whether a
// frame still lacks its iso-surface, the computation for one frame, and the
// loading of a volume file that lies beside the geometry file.
//
// The surfaces themselves come from the polygoniser
// (nk_surface_polygoniser.h) and are kept in the frame (NKFrame::pIsoSurfaces,
// freed through nk_surface_storage.h). The start-up code makes the state;
// the scene pass tests and recomputes per drawn frame; nk_surface_draw.h
// draws it.
#pragma once

#include <cstdint>

#include "tools/nk_manipulator.h"

struct NKFrame;

struct IsoSurfaceState {
    uint8_t bEnabled = 0;
    float fLevel = 0.0f;
    uint8_t bHideWithPart = 1;  // the iso-surface of a hidden part is not drawn
    SliderManipulator slider{"Iso Surface Slider"};

    // The slider starts changed, as every handle does; the flag is cleared
    // here so that the first drawing does not take its untouched value 50.
    IsoSurfaceState() { slider.ClearChanged(); }
};

// The one state, made at start-up; null before.
extern IsoSurfaceState *g_pIsoSurfaceState;

// First the slider: when it reports a change, its value becomes the level
// (freeing the iso-surfaces of frame iFrame, negative: of all frames) when it
// differs, and the change is cleared. Then true when some existing frame of
// the range (iFrame, or every frame when negative) has no iso-surface
// records. False for a null state.
bool NKIsoSurfacesNeedUpdate(IsoSurfaceState *pState, int iFrame);

// Gives the frame one new IsoSurfacePart per part of its geometry at the
// state's level (old records are freed first, with the trace "Frame already
// contains an iso surface") and computes each part that has elements. The
// slider takes the level (clamped) and its change is cleared. False, with no
// records left, without geometry, parts or scalar result, when memory runs
// out, or when no part succeeded.
bool NKVolumeComputeIsoSurfaces(NKFrame *pFrame, IsoSurfaceState *pState);

// Looks beside the frame's geometry file (its name with the extension of the
// file name removed) for a volume file with the extension ".vol", ".qlg",
// ".VOL" or ".QLG", in that order, and runs "readvolume <file>" through the
// command language for each that exists until one answers 0. True when one
// loaded.
bool NKLoadVolumeBesideGeometry(NKFrame *pFrame);
