// readers/nk_nkf_source.h -- the NKF file as data source kind 5: the
// dispatcher's reader record over the NKF import (nkf/nkf_import.h).
//
// NKInstallDataSources (nk_data_source.h) installs it at start-up; nothing
// else needs it. The import does the work; the record only adapts its calls
// to the dispatcher's slots.
#pragma once

struct NKDataSourceReader;

// The reader record of NKF files; alive for the whole run.
const NKDataSourceReader *NKGetNKFDataSourceReader(void);
