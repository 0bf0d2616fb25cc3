// readers/nk_interface.h -- the data-source dispatcher as far as model code
// asks it about the open data source.
#pragma once

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
