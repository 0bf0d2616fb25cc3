// core/nk_data_source_kind.h -- the kind of the current data source and the
// number of transformation results it reports, kept as data in the model core.
//
// The model core reads both: the edge code treats reservoir sets apart, and
// the frame results make transformation slots only when the source reports
// transformation results. The data-source dispatcher (readers/) sets them when
// it opens or closes a source; until then they stay at none and 0.
#pragma once

// Kinds of data source.
enum {
    NK_INTERFACE_NONE = 0,
    NK_INTERFACE_NATIVE = 3,
    NK_INTERFACE_NKF = 5,
    NK_INTERFACE_LSDYNA = 7,
    NK_INTERFACE_RESERVOIR = 9
};

// The kind of the current data source (NK_INTERFACE_NONE while none is open).
int NKGetInterfaceType(void);
void NKSetInterfaceType(int iType);

// The number of transformation results of the current data source (only NKF
// files and reservoir sets report any); 0 while none is open.
int NKGetInterfaceNumTransformations(void);
void NKSetInterfaceNumTransformations(int iCount);
