// readers/nk_data_source.h -- what the model core asks of the current data
// source.
#pragma once

// Placeholder: no data source reports transformation results yet, so 0.
// The number of transformation results of the current data source (only NKF
// files and reservoir sets report any).
int NKGetInterfaceNumTransformations(void);
