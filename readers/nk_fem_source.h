// readers/nk_fem_source.h -- the dispatcher's column for reader plug-ins
// (kinds 101-116): one NKFEMInterface per open, made by NKOpenFEMSource and
// closed and deleted by the reader record's close.
#pragma once

#include "readers/nk_data_source.h"

class NKFEMInterface;

// Makes a new adapter for the plug-in id (deleting one left from before) and
// opens the file through it: 1 opened, 0 failed, -6 when the adapter cannot
// be made. The adapter stays after a failed open until the close.
int NKOpenFEMSource(int iInterfaceId, const char *pszFileName);
// The dispatcher's reader record for every plug-in kind.
const NKDataSourceReader *NKGetFEMDataSourceReader(void);
// The adapter of the open plug-in source, or null.
NKFEMInterface *NKGetFEMSourceAdapter(void);
