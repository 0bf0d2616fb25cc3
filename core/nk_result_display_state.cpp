// core/nk_result_display_state.cpp -- the start-up values of the vector
// ranges and the value filter (see nk_result_display_state.h).
#include "core/nk_result_display_state.h"

NKVectorRangeSettings g_VectorRangeSettings[NK_NUM_VECTOR_DISPLAY_FIELDS];
NKValueFilterSettings g_ValueFilterSettings;
