// nkf/nkf_block_factory.h -- the block factory of the NKF parser: one entry
// per block type 0..26, each making the block object of its class. The
// parser calls it from NKFParser::CreateBlock for every block it meets.
#pragma once

class NKFBlock;
class NKFParser;

// A new block object of the type (reference count 0), or null for a type
// outside 0..26 or when memory runs out.
NKFBlock *NKFCreateBlockObject(NKFParser *pParser, int iType, int iID);
