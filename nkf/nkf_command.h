// nkf/nkf_command.h -- the nkf command (open, close, geometry, scalar and
// internal strings of the open NKF file), and the insertion of one step's
// geometry and of a scalar block's results into the model frames.
//
// The command handler of the file commands (commands/nk_command_files.cpp)
// hands the nkf row here. The open file is the NKF import's
// (nkf/nkf_import.h); the frames are filled through the load pipeline
// (core/nk_load_hooks.h).
#pragma once

#include "core/nk_string.h"

class NKFQuolinGeometryBlock;
class NKFQuolinScalarBlock;
class NKFResultBlock;
struct NKGeometry;
struct NKScalarResult;
struct NKIndexedFaceSet;

// Runs the nkf command on its argument text: the first word (the command's
// own) is skipped, the second is the sub-command. 0 done, 1 failed.
int NKFCommand(const char *pszArguments);

// Puts the geometry of a 0-based step into the frames. False (reported) on
// failure.
bool NKFInsertGeometry(NKFQuolinGeometryBlock *pBlock, int iStep);
// The geometry of a step, built from the block's parts; null (reported).
NKGeometry *NKFConvertGeometry(NKFQuolinGeometryBlock *pBlock, int iStep);
// Puts the scalar result of each 0-based step iFirst..iLast into the frame
// of the same index, for frames that have a geometry; the frames grow to
// iLast + 1 when there are fewer and are never cut. False (reported) on
// failure.
bool NKFApplyScalarBlockToFrames(NKFQuolinScalarBlock *pBlock, int iFirst, int iLast);
// The scalar result of a step for a geometry; null (reported).
NKScalarResult *NKFCreateScalarResult(NKFQuolinScalarBlock *pBlock, int iStep, NKGeometry *pGeo);
// The values of a loaded *RESULTS block into the matching parts of a scalar
// result; false (reported).
bool NKFApplyResultsBlock(NKGeometry *pGeo, NKFResultBlock *pResults, NKScalarResult *pResult);

// The "scalar" sub-command on the words after it: [<ID> [<from> [<to>]]].
int NKFCommandScalar(NKString arguments);
// Marks the polygons of element parts hidden by the file's first
// *QUOLINVISIBILITY block (an element value of 1 or more) in each record's
// visibility bytes, so that internal-face removal keeps them. True without
// such a block; false when memory runs out.
bool NKFApplyGlobalVisibility(NKFQuolinGeometryBlock *pBlock, int iStep, NKIndexedFaceSet *pSets,
                              int iCount);
