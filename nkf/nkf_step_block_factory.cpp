// nkf/nkf_step_block_factory.cpp -- which class reads each block type of
// the step-list group (see nkf_step_block_factory.h).
#include "nkf/nkf_step_block_factory.h"

#include <new>

#include "nkf/nkf_commands_plots.h"
#include "nkf/nkf_format.h"
#include "nkf/nkf_position_results.h"
#include "nkf/nkf_step_lists.h"
#include "nkf/nkf_transformation_results.h"
#include "nkf/nkf_transformations.h"

NKFBlock *NKFCreateStepBlock(NKFReader *pReader, int iType, int iID)
{
    switch (iType) {
    case NKF_QUOLINSCALAR:
        return new (std::nothrow) NKFQuolinScalarBlock(pReader, iID);
    case NKF_QUOLINVECTOR:
        return new (std::nothrow) NKFQuolinVectorBlock(pReader, iID);
    case NKF_QUOLINVISIBILITY:
        return new (std::nothrow) NKFQuolinVisibilityBlock(pReader, iID);
    case NKF_TRANSFORMATIONS:
        return new (std::nothrow) NKFTransformationBlock(pReader, iID);
    case NKF_VIEWPOINTS:
        return new (std::nothrow) NKFViewpointBlock(pReader, iID);
    case NKF_QUOLINCOMMANDS:
        return new (std::nothrow) NKFQuolinCommandBlock(pReader, iID);
    case NKF_2DPLOTSERIES:
        return new (std::nothrow) NKF2DPlotSeriesBlock(pReader, iID);
    case NKF_POSITIONRESULTS:
        return new (std::nothrow) NKFPositionResultBlock(pReader, iID);
    case NKF_QUOLINPOSITIONSCALAR:
        return new (std::nothrow) NKFQuolinPositionScalarBlock(pReader, iID);
    case NKF_QUOLINPOSITIONVECTOR:
        return new (std::nothrow) NKFQuolinPositionVectorBlock(pReader, iID);
    case NKF_TRANSFORMATIONRESULT:
        return new (std::nothrow) NKFTransformationResultBlock(pReader, iID);
    case NKF_QUOLINTRANSFORMATION:
        return new (std::nothrow) NKFQuolinTransformationBlock(pReader, iID);
    default:
        return nullptr;
    }
}
