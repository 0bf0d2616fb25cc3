// readers/nk_data_source.cpp -- the current data source (see nk_data_source.h).
#include "readers/nk_data_source.h"

// Placeholder: no data source is open yet.
int NKGetInterfaceNumTransformations(void)
{
    return 0;
}

// Placeholder: no data source can be opened yet.
int NKGetInterfaceType(void)
{
    return NK_INTERFACE_NONE;
}
