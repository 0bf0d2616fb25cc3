// core/nk_status_dump.h -- the model status dump: the NKModel fields and
// every frame with its shared records, as labelled lines in a text file
// (the `dump` command's "quolin.dbg").
//
// A shared record is printed under the first frame of each run of
// consecutive frames that hold it. Pointers are printed as "0x" and 16
// lower-case hex digits (zeros for null), whatever the C library's "%p"
// would give. The file is written through a temporary file
// (core/nk_output_file.h).
#pragma once

#include <cstdio>

struct NKGeometry;
struct NKModel;
struct NKScalarResult;
struct NKVectorResult;
struct NKViewPoint;

// Writes the dump. False (with an internal trace) when the file cannot be
// created or written; the `dump` command ignores the result.
bool NKDumpFrameInformation(const char *pszFileName, const NKModel *pModel);
// One block each; nothing for a null record or stream.
void NKDumpGeometryStatus(FILE *pFile, const NKGeometry *pGeo);
void NKDumpScalarResultStatus(FILE *pFile, const NKScalarResult *pResult);
void NKDumpVectorResultStatus(FILE *pFile, const NKVectorResult *pResult);
void NKDumpViewPointStatus(FILE *pFile, const NKViewPoint *pViewPoint);
