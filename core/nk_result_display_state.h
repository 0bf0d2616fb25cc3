// core/nk_result_display_state.h -- the display settings that putting results
// into frames updates: the filter and clamp ranges of each vector field and
// the value filter of the scalar fringes.
//
// The drawing code owns these settings in its NKVectorSettings and
// NKViewSettings records, which do not exist yet. Until they do, the fields
// the result loaders write live here as plain data with their start-up
// values; those records take them over (and this file goes) once they are
// built. The loaders (commands/nk_apply_results.cpp) write them; nothing here
// computes.
#pragma once

#include <cstdint>

// Vector fields with display settings: 0 the frame's vector result, 1 to 3
// the separate vector fields of slots 0 to 2.
enum { NK_NUM_VECTOR_DISPLAY_FIELDS = 4 };

// The filter and clamp part of one field's NKVectorSettings. A loader sets a
// range from the new results only while its switch is off, so a range the
// user chose stays.
struct NKVectorRangeSettings {
    float fClampMin = 0.0f;
    float fClampMax = 0.0f;
    uint8_t bClamp = 0;  // clamping on
    float fFilterMin = 0.0f;
    float fFilterMax = 0.0f;
    uint8_t bFilter = 0;  // filtering on
};

// The value filter of NKViewSettings: polygons whose values lie outside
// [fFilterMin, fFilterMax] are drawn differently while it is on.
struct NKValueFilterSettings {
    uint8_t bValueFilter = 0;
    float fFilterMin = -1e12f;
    float fFilterMax = 1e12f;
};

// Taken over by NKVectorSettings (one record per field) and NKViewSettings.
extern NKVectorRangeSettings g_VectorRangeSettings[NK_NUM_VECTOR_DISPLAY_FIELDS];
extern NKValueFilterSettings g_ValueFilterSettings;
