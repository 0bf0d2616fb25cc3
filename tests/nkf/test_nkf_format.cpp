// tests/nkf/test_nkf_format.cpp -- the block keyword table and the
// conversions between block types, keywords and binary codes.
#include <gtest/gtest.h>

#include <cstring>

#include "nkf/nkf_format.h"

TEST(NKFFormat, EveryKnownTypeRoundTripsThroughKeywordAndCode)
{
    for (int iType = 0; iType < NKF_NUM_KNOWN_BLOCK_TYPES; iType++) {
        EXPECT_EQ(iType, NKFBlockTypeFromKeyword(NKFBlockKeyword(iType)));
        EXPECT_EQ(iType + 1001, NKFBlockCodeFromType(iType));
        EXPECT_EQ(iType, NKFBlockTypeFromCode(NKFBlockCodeFromType(iType)));
    }
    EXPECT_STREQ("*NODES", NKFBlockKeyword(NKF_NODES));
    EXPECT_STREQ("*RESULTS", NKFBlockKeyword(NKF_RESULTS));
    EXPECT_STREQ("*INTERNALSTRING", NKFBlockKeyword(NKF_INTERNALSTRING));
    EXPECT_STREQ("*QUOLINTRANSFORMATION", NKFBlockKeyword(26));
}

TEST(NKFFormat, KeywordsOutsideTheTableAreUnknown)
{
    EXPECT_EQ(NKF_UNKNOWN, NKFBlockTypeFromKeyword("*UNKNOWN"));
    EXPECT_EQ(NKF_UNKNOWN, NKFBlockTypeFromKeyword("*nodes"));  // matched exactly
    EXPECT_EQ(NKF_UNKNOWN, NKFBlockTypeFromKeyword("*NODE"));
    EXPECT_EQ(NKF_UNKNOWN, NKFBlockTypeFromKeyword(nullptr));
    EXPECT_STREQ("*UNKNOWN", NKFBlockKeyword(27));
    EXPECT_STREQ("*UNKNOWN", NKFBlockKeyword(28));
    EXPECT_STREQ("*UNKNOWN", NKFBlockKeyword(-1));
}

TEST(NKFFormat, CodeRangesSplitKnownUnknownAndIllegal)
{
    EXPECT_EQ(0, NKFBlockTypeFromCode(1001));
    EXPECT_EQ(26, NKFBlockTypeFromCode(1027));
    EXPECT_EQ(NKF_UNKNOWN, NKFBlockTypeFromCode(1028));
    EXPECT_EQ(NKF_UNKNOWN, NKFBlockTypeFromCode(1500));
    EXPECT_EQ(NKF_ILLEGAL_BLOCK_TYPE, NKFBlockTypeFromCode(1501));
    EXPECT_EQ(NKF_ILLEGAL_BLOCK_TYPE, NKFBlockTypeFromCode(1000));
    EXPECT_EQ(NKF_ILLEGAL_BLOCK_TYPE, NKFBlockTypeFromCode(0));
    EXPECT_EQ(NKF_ILLEGAL_BLOCK_TYPE, NKFBlockTypeFromCode(-999));
}
