// tests/readers/test_data_source.cpp -- the data-source dispatcher with no
// source, with kinds that have no reader, and with an NKF file: what is
// stored and published on open and close, the step table as the dispatcher
// serves it, the current-index rules and the name caches.
#include <string>

#include <gtest/gtest.h>

#include "core/nk_numeric.h"
#include "readers/nk_data_source.h"
#include "tests/readers/nkf_steps_fixture.h"

namespace {

using DataSource = StepsFileTest;

std::string Text(void (*pfnGet)(NKString *))
{
    NKString text;
    pfnGet(&text);
    return text.GetText();
}

TEST_F(DataSource, NoSourceAndKindsWithoutReaderAnswerNothing)
{
    for (int iKind : {0, 8, 42, 100, 117}) {
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
        EXPECT_EQ(NKGetInterfaceGeometry(0), nullptr);
        EXPECT_EQ(NKGetInterfaceStepTime(0), 3.4028235e38f);
        EXPECT_EQ(NKGetInterfaceScalar(0, 0, nullptr, true), nullptr);
        EXPECT_FALSE(NKIsInterfaceElementScalar(0));
        EXPECT_EQ(NKGetInterfaceElementScalarValue(0, 0), NK_UNDEFINED_VALUE);
        EXPECT_FALSE(NKCloseInterface());
        EXPECT_EQ(Text(NKGetInterfaceFileName), "N/A");
    }
}

TEST_F(DataSource, NKFStepsTakeTheNamesAndTimesOfTheLongestStepList)
{
    OpenSteps();
    EXPECT_EQ(NKGetInterfaceType(), NK_INTERFACE_NKF);
    EXPECT_EQ(NKGetUnderlyingInterfaceType(), 0);  // the file names no origin
    EXPECT_EQ(Text(NKGetInterfaceName), "NKF File");
    EXPECT_EQ(NKGetInterfaceNumTransformations(), 2);
    ASSERT_EQ(NKGetInterfaceNumSteps(), 5);
    const NKStringList *pNames = NKGetInterfaceStepNames();
    ASSERT_NE(pNames, nullptr);
    const char *apszNames[] = {"a", "b", "c", "Step : 4", "Step : 5"};
    const float afTimes[] = {0.5f, 1.0f, 1.5f, -1.0f, -1.0f};
    for (int i = 0; i < 5; i++) {
        EXPECT_STREQ(pNames->Get(i), apszNames[i]) << i;
        EXPECT_EQ(NKGetInterfaceStepTime(i), afTimes[i]) << i;
    }
    EXPECT_EQ(NKGetInterfaceStepTime(5), 0.0f);
    EXPECT_STREQ(NKGetInterfaceVectorNames()->Get(0), "Move");

    EXPECT_TRUE(NKCloseInterface());
    EXPECT_TRUE(m_Capture.HasLine("Closing NKF file."));
    EXPECT_EQ(NKGetInterfaceNumTransformations(), 0);
    EXPECT_EQ(Text(NKGetInterfaceFileName), "N/A");
}

TEST_F(DataSource, AnNKFFileWithoutGeometryDoesNotOpen)
{
    EXPECT_EQ(OpenInterface(NK_INTERFACE_NKF, WriteStepsFile(false).c_str()), 0);
    EXPECT_TRUE(m_Capture.HasLine("No geometry block found in NKF file. Aborting.", NK_MSG_ERROR));
}

// Reads result iIndex of a kind (0 scalar, 1 vector, 2 transformation) and
// releases it; answers the kind's current index afterwards.
int ReadAndRelease(int iWhat, int iIndex, int iStep, NKGeometry *pGeo, bool bSetCurrent)
{
    if (iWhat == 0) NKReleaseScalarResult(NKGetInterfaceScalar(iIndex, iStep, pGeo, bSetCurrent));
    if (iWhat == 1) NKReleaseVectorResult(NKGetInterfaceVector(iIndex, iStep, pGeo, bSetCurrent));
    if (iWhat == 2)
        NKReleaseSeparateVectorField(
            NKGetInterfaceTransformation(iIndex, iStep, pGeo, bSetCurrent));
    return iWhat == 0   ? NKGetCurrentScalarIndex()
           : iWhat == 1 ? NKGetCurrentVectorIndex()
                        : NKGetCurrentTransformationIndex();
}

TEST_F(DataSource, CurrentIndexRules)
{
    // One scalar and one vector (nothing outside step indices 0-4), two
    // transformations. The row's start index is made current at step index 1, then
    // iIndex is read at iStep.
    struct Row {
        int iWhat, iStart, iIndex, iStep;
        bool bSetCurrent;
        int iWantIndex, iWantStep;
    } rows[] = {
        // Scalars: a read, -1, a failed read of the current index and of
        // another one, a read that does not set.
        {0, 0, 0, 2, true, 0, 2},
        {0, 0, -1, 2, true, -1, 2},
        {0, 0, 0, 7, true, 0, 1},
        {0, 0, 3, 2, true, -1, 1},
        {0, 0, -1, 2, false, 0, 1},
        // Vectors and transformations: a failed read changes nothing.
        {1, 0, 0, 2, true, 0, 2},
        {1, 0, -1, 2, true, -1, 2},
        {1, 0, 0, 7, true, 0, 1},
        {1, 0, 3, 2, true, 0, 1},
        {2, 0, 1, 2, true, 1, 2},
        {2, 0, -1, 2, true, -1, 2},
        {2, 1, 5, 2, true, 1, 1},
    };
    OpenSteps();
    NKGeometry *pGeo = NKGetInterfaceGeometry(0);
    ASSERT_NE(pGeo, nullptr);
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << "kind " << row.iWhat << ": " << row.iStart << ", then "
                                        << row.iIndex << " at " << row.iStep);
        ASSERT_EQ(ReadAndRelease(row.iWhat, row.iStart, 1, pGeo, true), row.iStart);
        EXPECT_EQ(ReadAndRelease(row.iWhat, row.iIndex, row.iStep, pGeo, row.bSetCurrent),
                  row.iWantIndex);
        EXPECT_EQ(NKGetCurrentStep(), row.iWantStep);
    }
    EXPECT_EQ(NKGetInterfaceGeometry(3), nullptr);  // the same geometry entry as the first step
    EXPECT_EQ(NKGetCurrentStep(), 3);
    NKReleaseGeometry(pGeo);
    NKCloseInterface();
    EXPECT_EQ(NKGetCurrentTransformationIndex(), 1);  // a close keeps it
    EXPECT_EQ(NKGetCurrentStep(), -1);
}

TEST_F(DataSource, NameListsLastUntilTheSourceClosesAndAnotherOpenCloses)
{
    OpenSteps();
    const NKStringList *pNames = NKGetInterfaceStepNames();
    ASSERT_NE(pNames, nullptr);
    EXPECT_EQ(NKGetInterfaceStepNames(), pNames);
    EXPECT_EQ(NKGetInterfaceScalarNames(), NKGetInterfaceScalarNames());
    EXPECT_EQ(OpenInterface(42, "other"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Closing NKF file."));
    EXPECT_EQ(NKGetInterfaceStepNames(), nullptr);  // the leak check sees the lists go
}

TEST_F(DataSource, ShutDownClosesTheOpenSource)
{
    OpenSteps();
    NKReleaseDataSources();
    EXPECT_TRUE(m_Capture.HasLine("Closing NKF file."));
    EXPECT_EQ(NKGetResultsInterface(), nullptr);
    EXPECT_EQ(OpenInterface(NK_INTERFACE_NKF, WriteStepsFile(true).c_str()), 0);
}

}  // namespace
