// nkf/nkf_block_factory.cpp -- which class each NKF block type is read by.
// Each block type has its own entry, so that adding a block class means
// changing only its own line here; the types of the step-list group fall
// through to their own factory (nkf_step_block_factory.cpp).
#include "nkf/nkf_block_factory.h"

#include <new>

#include "nkf/nkf_elements.h"
#include "nkf/nkf_faceset.h"
#include "nkf/nkf_format.h"
#include "nkf/nkf_geometry_block.h"
#include "nkf/nkf_nodes.h"
#include "nkf/nkf_results.h"
#include "nkf/nkf_state_blocks.h"
#include "nkf/nkf_step_block_factory.h"
#include "nkf/nkf_texture.h"

NKFBlock *NKFCreateBlockObject(NKFReader *pReader, int iType, int iID)
{
    switch (iType) {
    case NKF_NODES:
        return new (std::nothrow) NKFNodeBlock(pReader, iID);
    case NKF_NORMALS:
        return new (std::nothrow) NKFNormalBlock(pReader, iID);
    case NKF_COLORS:
        return new (std::nothrow) NKFColorBlock(pReader, iID);
    case NKF_MATERIALS:
        return new (std::nothrow) NKFMaterialBlock(pReader, iID);
    case NKF_DESCRIPTION:
        return new (std::nothrow) NKFDescriptionBlock(pReader, iID);
    case NKF_INDEXEDFACESET:
        return new (std::nothrow) NKFIndexedFaceSetBlock(pReader, iID);
    case NKF_ELEMENTS:
        return new (std::nothrow) Elements(pReader, iID);
    case NKF_QUOLINGEOMETRY:
        return new (std::nothrow) NKFQuolinGeometryBlock(pReader, iID);
    case NKF_RESULTS:
        return new (std::nothrow) NKFResultBlock(pReader, iID);
    case NKF_PARTATTRIBUTES:
        return new (std::nothrow) NKFPartAttributesBlock(pReader, iID);
    case NKF_SETTINGS:
        return new (std::nothrow) NKFSettingsBlock(pReader, iID);
    case NKF_ITEMS:
        return new (std::nothrow) NKFItemsBlock(pReader, iID);
    case NKF_TEXTURES:
        return new (std::nothrow) NKFTextureBlock(pReader, iID);
    case NKF_USER:
        return new (std::nothrow) NKFUserBlock(pReader, iID);
    case NKF_INTERNALSTRING:
        return new (std::nothrow) NKFInternalStringBlock(pReader, iID);
    default:
        // The step-list group (types 9-15 and 22-26), null for others.
        return NKFCreateStepBlock(pReader, iType, iID);
    }
}
