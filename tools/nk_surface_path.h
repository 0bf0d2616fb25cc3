// tools/nk_surface_path.h -- surface paths: polylines across the polygons of
// one part from one pick of the selection list to the next. The `lp`
// command samples a scalar result along such a path into a "Scalar vs.
// length." plot (plot/nk_length_plot.h). Each curve's path is kept in the
// selection path list, which the scene draws through g_pPathPolylines
// (render/).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_plot_records.h"
#include "core/nk_render_state.h"

// A growable array of plain entries: grows by iGrowStep, or by an eighth of
// the count clamped to 4..1024 when the step is 0; new entries are zeroed.
template <typename T>
struct NKPathList {
    T *pData = nullptr;
    int32_t iCount = 0;
    int32_t iCapacity = 0;
    int32_t iGrowStep = 0;

    // Appends a copy; false (the list as it was) when memory runs out.
    bool Append(const T &item)
    {
        if (iCount >= iCapacity) {
            int32_t iStep = iGrowStep;
            if (iStep <= 0) iStep = iCount / 8 < 4 ? 4 : (iCount / 8 > 1024 ? 1024 : iCount / 8);
            T *pNew = (T *)NKRealloc(pData, (size_t)(iCapacity + iStep) * sizeof(T));
            if (pNew == nullptr) return false;
            std::memset((void *)(pNew + iCapacity), 0, (size_t)iStep * sizeof(T));
            pData = pNew;
            iCapacity += iStep;
        }
        std::memcpy((void *)(pData + iCount), &item, sizeof(T));
        iCount++;
        return true;
    }
    // Frees the entries; the step stays.
    void Free()
    {
        NKFree(pData);
        pData = nullptr;
        iCount = iCapacity = 0;
    }
};

// A crossed polygon: part and polygon index.
struct NKPathPolygon {
    int32_t iPart;
    int32_t iPolygon;
};
// A point of a path, display coordinates.
struct NKPathPoint {
    float v[3];
};
// The three lists of one path.
struct NKSurfacePath {
    NKPathList<NKPathPolygon> polygons;
    NKPathList<int32_t> nodes;  // node indices of the part
    NKPathList<NKPathPoint> points;
    void Free()
    {
        polygons.Free();
        nodes.Free();
        points.Free();
    }
};

// One drawn path of the selection path list.
struct NKSelectionPath {
    uint8_t ucColor[3];  // 255, 255, 255 when made
    NKPathList<NKPathPoint> points;
};
extern NKPathList<NKSelectionPath> g_SelectionPaths;

// Empties the selection path list (and what the scene draws of it).
void NKClearSelectionPaths(void);
// Appends a copy of the points with the colour for the scene; false when
// memory runs out (the list as it was).
bool NKAddSelectionPath(const uint8_t ucColor[3], const NKPathList<NKPathPoint> &points);
// Shut-down: empties the list and frees its array.
void NKFreeSelectionPaths(void);

// The text of a walk's error code (-1 to -5; "Unknown error." otherwise).
const char *NKSurfacePathErrorText(int iCode);
// Walks from pick a to pick b across a's part, appending to pPath; 0 on
// success, else an error code (the lists keep the partial path).
int NKWalkSurfacePath(const NKPickInfo *a, const NKPickInfo *b, NKSurfacePath *pPath);
// The path through every entry of the list, reporting failures; false when
// no path can be used.
bool NKTraceSelectionPath(const NKSelectionList *pList, NKSurfacePath *pPath);
