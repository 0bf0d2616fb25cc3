// readers/nk_nkf_source.cpp -- the NKF import as the dispatcher's reader of
// kind 5 (see nk_nkf_source.h).
#include "readers/nk_nkf_source.h"

#include "nkf/nkf_import.h"
#include "readers/nk_data_source.h"

namespace {

int OpenNKF(const char *pszFileName) { return NKFIInitInterface(pszFileName) ? 1 : 0; }

// The dispatcher asks for a step's geometry only when it wants a new one; the
// import answers null when the step shares the geometry built last.
NKGeometry *GetNKFGeometry(int iStep) { return NKFGetGeometry(iStep, false); }

constexpr NKDataSourceReader MakeNKFReader(void)
{
    NKDataSourceReader reader;
    reader.pszName = "NKF File";
    reader.pfnOpen = OpenNKF;
    reader.pfnClose = NKFCloseInterface;
    reader.pfnGetUnderlyingType = NKFGetInterfaceType;
    reader.pfnGetNumSteps = NKFGetNumSteps;
    reader.pfnGetStepNames = NKFGetStepNames;
    reader.pfnGetNumScalars = NKFGetNumScalars;
    reader.pfnGetScalarNames = NKFGetScalarNames;
    reader.pfnGetNumVectors = NKFGetNumVectors;
    reader.pfnGetVectorNames = NKFGetVectorNames;
    // An NKF file's transformation results are its separate vector fields.
    reader.pfnGetNumTransformations = NKFGetNumSeparateVectors;
    reader.pfnGetGeometry = GetNKFGeometry;
    reader.pfnGetStepTime = NKFGetStepTime;
    reader.pfnGetScalar = NKFGetScalar;
    reader.pfnGetVector = NKFGetVector;
    reader.pfnGetTransformation = NKFGetSeparateVectors;
    reader.pfnUpdateVisibility = NKFUpdateVisibility;
    return reader;
}

constexpr NKDataSourceReader sg_NKFReader = MakeNKFReader();

}  // namespace

const NKDataSourceReader *NKGetNKFDataSourceReader(void) { return &sg_NKFReader; }
