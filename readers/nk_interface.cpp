// readers/nk_interface.cpp -- the data-source dispatcher's queries.
#include "readers/nk_interface.h"

// Placeholder: no data source can be opened yet.
int NKGetInterfaceType(void)
{
    return NK_INTERFACE_NONE;
}
