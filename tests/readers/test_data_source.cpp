// tests/readers/test_data_source.cpp -- the data-source dispatcher over no
// source, kinds without a reader and the made-up source of fake_source.h:
// what is stored and published on open and close, the current-index rules
// and the name caches.
#include <string>

#include <gtest/gtest.h>

#include "core/nk_numeric.h"
#include "readers/nk_data_source.h"
#include "tests/readers/fake_source.h"

namespace {

using DataSource = FakeSourceTest;

std::string Text(void (*pfnGet)(NKString *))
{
    NKString text;
    pfnGet(&text);
    return text.GetText();
}

TEST_F(DataSource, NoSourceAndKindsWithoutReaderAnswerNothing)
{
    NKSetDataSourceReader(NK_INTERFACE_NATIVE, nullptr);
    for (int iKind : {0, 3, 7, 9, 42, 101, 116}) {
        SCOPED_TRACE(iKind);
        if (iKind != 0) {
            EXPECT_EQ(OpenInterface(iKind, "x"), 0);
            EXPECT_EQ(Text(NKGetInterfaceFileName), "x");  // kept for the caller's close
        }
        EXPECT_EQ(NKGetInterfaceType(), iKind);
        EXPECT_EQ(NKGetUnderlyingInterfaceType(), iKind);
        EXPECT_EQ(Text(NKGetInterfaceName), "Unknown Interface");
        EXPECT_EQ(NKGetInterfaceNumSteps() + NKGetInterfaceNumScalars() +
                      NKGetInterfaceNumVectors() + NKGetInterfaceNumTransformations(),
                  0);
        EXPECT_EQ(NKGetInterfaceStepNames(), nullptr);
        EXPECT_EQ(NKGetInterfaceScalarNames(), nullptr);
        EXPECT_EQ(NKGetInterfaceVectorNames(), nullptr);
        EXPECT_EQ(NKGetInterfaceGeometry(0), nullptr);
        EXPECT_EQ(NKGetInterfaceStepTime(0), 3.4028235e38f);
        EXPECT_EQ(NKGetInterfaceScalar(0, 0, nullptr, true), nullptr);
        EXPECT_EQ(NKGetInterfaceVector(0, 0, nullptr, true), nullptr);
        EXPECT_EQ(NKGetInterfaceTransformation(0, 0, nullptr, true), nullptr);
        EXPECT_FALSE(NKIsInterfaceElementScalar(0));
        EXPECT_EQ(NKGetInterfaceElementScalarValue(0, 0), NK_UNDEFINED_VALUE);
        EXPECT_FALSE(NKCloseInterface());
        EXPECT_EQ(Text(NKGetInterfaceFileName), "N/A");
        EXPECT_EQ(NKGetInterfaceType(), 0);
    }
}

TEST_F(DataSource, OpenStoresTheWholeNameAndPublishesKindAndTransformations)
{
    g_Fake.iNumTransformations = 2;
    std::string longName = "/tmp/" + std::string(300, 'n') + ".res";
    EXPECT_EQ(OpenInterface(NK_INTERFACE_NATIVE, longName.c_str()), 1);
    EXPECT_EQ(Text(NKGetInterfaceFileName), longName);
    EXPECT_EQ(Text(NKGetInterfaceName), "Fake");
    EXPECT_EQ(NKGetInterfaceType(), NK_INTERFACE_NATIVE);
    EXPECT_EQ(NKGetInterfaceNumTransformations(), 2);
    EXPECT_EQ(NKGetCurrentScalarIndex(), -1);
    EXPECT_EQ(NKGetCurrentVectorIndex(), -1);
    EXPECT_EQ(NKGetCurrentStep(), 0);
    NKGetInterfaceGeometry(7);  // no geometry, but the step is current
    EXPECT_EQ(NKGetCurrentStep(), 7);
    NKReleaseSeparateVectorField(NKGetInterfaceTransformation(1, 3, nullptr, true));

    EXPECT_TRUE(NKCloseInterface());
    EXPECT_EQ(g_Fake.iCloses, 1);
    EXPECT_EQ(NKGetInterfaceType(), 0);
    EXPECT_EQ(NKGetInterfaceNumTransformations(), 0);
    EXPECT_EQ(NKGetCurrentStep(), -1);
    EXPECT_EQ(NKGetCurrentTransformationIndex(), 1);  // a close keeps it
}

// Reads index iIndex of a kind of result (0 scalar, 1 vector, 2
// transformation) and releases what was read; answers whether it read one.
bool ReadAndRelease(int iWhat, int iIndex, int iStep, bool bSetCurrent)
{
    if (iWhat == 0) {
        NKScalarResult *p = NKGetInterfaceScalar(iIndex, iStep, nullptr, bSetCurrent);
        NKReleaseScalarResult(p);
        return p != nullptr;
    }
    if (iWhat == 1) {
        NKVectorResult *p = NKGetInterfaceVector(iIndex, iStep, nullptr, bSetCurrent);
        NKReleaseVectorResult(p);
        return p != nullptr;
    }
    NKSeparateVectorField *p = NKGetInterfaceTransformation(iIndex, iStep, nullptr, bSetCurrent);
    NKReleaseSeparateVectorField(p);
    return p != nullptr;
}

int CurrentIndex(int iWhat)
{
    return iWhat == 0   ? NKGetCurrentScalarIndex()
           : iWhat == 1 ? NKGetCurrentVectorIndex()
                        : NKGetCurrentTransformationIndex();
}

TEST_F(DataSource, CurrentIndexRules)
{
    // Counts: 6 scalars, 3 vectors, 2 transformations; index 2 of scalars and
    // vectors reads nothing. The row's start index is made current at step 1,
    // then iIndex is read at step 5.
    struct Row {
        int iWhat, iStart, iIndex;
        bool bSetCurrent, bRead;
        int iWantIndex, iWantStep;
    } rows[] = {
        {0, 1, 4, true, true, 4, 5},     {0, 1, -1, true, false, -1, 5},
        {0, 2, 2, true, false, 2, 1},    {0, 5, 2, true, false, -1, 1},
        {0, 1, 9, true, false, -1, 1},   {0, 1, 4, false, true, 1, 1},
        {1, 1, 0, true, true, 0, 5},     {1, 1, -1, true, false, -1, 5},
        {1, 1, 2, true, false, 1, 1},    {1, 1, 7, true, false, 1, 1},
        {1, 1, 0, false, true, 1, 1},    {2, 0, 1, true, true, 1, 5},
        {2, 0, -1, true, false, -1, 5},  {2, 1, 5, true, false, 1, 1},
    };
    g_Fake.iNumTransformations = 2;
    ASSERT_EQ(OpenInterface(NK_INTERFACE_NATIVE, "fake"), 1);
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.iWhat << ": " << row.iStart << " then "
                                        << row.iIndex);
        g_Fake.iFailingIndex = -2;
        ReadAndRelease(row.iWhat, row.iStart, 1, true);
        g_Fake.iFailingIndex = 2;
        bool bRead = ReadAndRelease(row.iWhat, row.iIndex, 5, row.bSetCurrent);
        EXPECT_EQ(bRead, row.bRead);
        EXPECT_EQ(CurrentIndex(row.iWhat), row.iWantIndex);
        EXPECT_EQ(NKGetCurrentStep(), row.iWantStep);
    }
}

TEST_F(DataSource, NameListsAreFetchedOnceUntilTheSourceCloses)
{
    ASSERT_EQ(OpenInterface(NK_INTERFACE_NATIVE, "fake"), 1);
    const NKStringList *pSteps = NKGetInterfaceStepNames();
    ASSERT_NE(pSteps, nullptr);
    EXPECT_EQ(NKGetInterfaceStepNames(), pSteps);
    EXPECT_STREQ(pSteps->Get(2), "step 2");
    EXPECT_STREQ(NKGetInterfaceScalarNames()->Get(5), "scalar 5");
    EXPECT_STREQ(NKGetInterfaceVectorNames()->Get(0), "vector 0");
    NKGetInterfaceScalarNames();
    NKGetInterfaceVectorNames();
    EXPECT_EQ(g_Fake.iNameCalls, 3);

    ASSERT_EQ(OpenInterface(NK_INTERFACE_NATIVE, "fake"), 1);  // closes the first
    EXPECT_EQ(g_Fake.iCloses, 1);
    NKGetInterfaceStepNames();
    EXPECT_EQ(g_Fake.iNameCalls, 4);

    // A source without names is asked each time.
    g_Fake.bNames = false;
    EXPECT_EQ(OpenInterface(NK_INTERFACE_NATIVE, "fake"), 1);
    EXPECT_EQ(NKGetInterfaceStepNames(), nullptr);
    EXPECT_EQ(NKGetInterfaceStepNames(), nullptr);
    EXPECT_EQ(g_Fake.iNameCalls, 6);
}

TEST_F(DataSource, OpeningAnotherKindClosesTheFirstWithItsLists)
{
    ASSERT_EQ(OpenInterface(NK_INTERFACE_NATIVE, "fake"), 1);
    ASSERT_NE(NKGetInterfaceStepNames(), nullptr);
    EXPECT_EQ(OpenInterface(42, "other"), 0);
    EXPECT_EQ(g_Fake.iCloses, 1);
    EXPECT_EQ(NKGetInterfaceStepNames(), nullptr);  // the leak check sees the old list go
}

TEST_F(DataSource, ShutDownClosesTheOpenSource)
{
    ASSERT_EQ(OpenInterface(NK_INTERFACE_NATIVE, "fake"), 1);
    NKReleaseDataSources();
    EXPECT_EQ(g_Fake.iCloses, 1);
    EXPECT_EQ(NKGetResultsInterface(), nullptr);
    EXPECT_EQ(OpenInterface(NK_INTERFACE_NATIVE, "fake"), 0);
}

}  // namespace
