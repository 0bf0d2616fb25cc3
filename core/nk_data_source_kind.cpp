// core/nk_data_source_kind.cpp -- the current data source's kind and
// transformation count (see nk_data_source_kind.h).
#include "core/nk_data_source_kind.h"

namespace {
int sg_iInterfaceType = NK_INTERFACE_NONE;
int sg_iNumTransformations = 0;
}  // namespace

int NKGetInterfaceType(void) { return sg_iInterfaceType; }
void NKSetInterfaceType(int iType) { sg_iInterfaceType = iType; }

int NKGetInterfaceNumTransformations(void) { return sg_iNumTransformations; }
void NKSetInterfaceNumTransformations(int iCount)
{
    sg_iNumTransformations = iCount < 0 ? 0 : iCount;
}
