// readers/nk_data_source.h -- what the model core asks of the current data
// source.
#pragma once

// Placeholder: no data source reports transformation results yet, so 0.
// The number of transformation results of the current data source (only NKF
// files and reservoir sets report any).
int NKGetInterfaceNumTransformations(void);

// Kinds of data source.
enum {
    NK_INTERFACE_NONE = 0,
    NK_INTERFACE_NATIVE = 3,
    NK_INTERFACE_NKF = 5,
    NK_INTERFACE_LSDYNA = 7,
    NK_INTERFACE_RESERVOIR = 9
};

// Placeholder: the kind of the current data source; none is open yet (0).
int NKGetInterfaceType(void);
