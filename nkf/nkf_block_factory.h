// nkf/nkf_block_factory.h -- the block factory of the NKF parser: one entry
// per block type 0..26, each making the block object of its class. The
// parser calls it from NKFParser::CreateBlock for every block it meets and
// hands over itself as the blocks' reader (nkf_reader.h); only the parser
// includes this header, so no block class depends on the factory.
#pragma once

class NKFBlock;
class NKFReader;

// A new block object of the type (reference count 0), or null for a type
// outside 0..26 or when memory runs out.
NKFBlock *NKFCreateBlockObject(NKFReader *pReader, int iType, int iID);
