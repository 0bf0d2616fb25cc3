// nkf/nkf_step_block_factory.h -- the block factory's entry for the
// step-list, transformation, viewpoint, command, plot-series, position and
// transformation-result blocks (types 9-15 and 22-26). The parser's
// factory (nkf_block_factory.cpp) hands these types here, so that the
// classes of this group are named in one place.
#pragma once

class NKFBlock;
class NKFReader;

// The block object of one of the types above (reference count 0); null for
// any other type or when memory runs out.
NKFBlock *NKFCreateStepBlock(NKFReader *pReader, int iType, int iID);
