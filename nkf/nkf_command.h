// nkf/nkf_command.h -- the nkf command (open, close, geometry, scalar and
// internal strings of the open NKF file), and the insertion of one step's
// geometry and of a scalar block's results into the model frames.
//
// The command handler of the file commands (commands/nk_command_files.cpp)
// hands the nkf row here. The open file is the NKF import's
// (nkf/nkf_import.h); the frames are filled through the load pipeline
// (core/nk_load_hooks.h).
#pragma once

class NKFQuolinGeometryBlock;
class NKFQuolinScalarBlock;
class NKFResultBlock;
struct NKGeometry;
struct NKScalarResult;

// Runs the nkf command on its argument text: the first word (the command's
// own) is skipped, the second is the sub-command. 0 done, 1 failed.
int NKFCommand(const char *pszArguments);

// Puts the geometry of a 0-based step into the frames. False (reported) on
// failure.
bool NKFInsertGeometry(NKFQuolinGeometryBlock *pBlock, int iStep);
// The geometry of a step, built from the block's parts; null (reported).
NKGeometry *NKFConvertGeometry(NKFQuolinGeometryBlock *pBlock, int iStep);
// Makes frames 0 .. iLast - iFirst, frame i holding the scalar result of
// step iFirst + i; false (reported) on failure.
bool NKFApplyScalarBlockToFrames(NKFQuolinScalarBlock *pBlock, int iFirst, int iLast);
// The scalar result of a step for a geometry; null (reported).
NKScalarResult *NKFCreateScalarResult(NKFQuolinScalarBlock *pBlock, int iStep, NKGeometry *pGeo);
// The values of a loaded *RESULTS block into the matching parts of a scalar
// result; false (reported).
bool NKFApplyResultsBlock(NKGeometry *pGeo, NKFResultBlock *pResults, NKScalarResult *pResult);
