// tests/commands/test_result_animation.cpp -- single reads and series of
// older native scalar and vector files. Their readers are not built yet and
// fail every read, so these tests see what comes out around the reads:
// frames, names, times, refusals and the traces that name each file.
#include "commands/nk_result_animation.h"

#include <string>

#include "core/nk_progress.h"
#include "platform/nk_progress_ui.h"
#include "tests/commands/result_model_fixture.h"

namespace {

typedef bool (*Animate)(const char *, int, int, int);

class ResultAnimation : public ResultModelTest {
protected:
    static std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (int i = 0; i < g_pModel->iNumFrames; i++)
            names.push_back(g_pModel->pFrames[i].szDescription.GetText() + std::string(" at ") +
                            std::to_string(int(g_pModel->pFrames[i].fTime)));
        return names;
    }
};

TEST_F(ResultAnimation, FramesAreNamedByStepOrByTheStepNames)
{
    NKGeometry *pGeo = MakeCubeModel(1);
    ASSERT_TRUE(NKCommandAnimScalar("res*.scl", 2, 6, 2));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Step: 2 at 2", "Step: 4 at 4", "Step: 6 at 6"}));
    EXPECT_EQ(pGeo->iNumRef, 3);
    EXPECT_EQ(g_pModel->iNumScalarSteps, 0);  // no read succeeded
    EXPECT_FALSE(NKGetProgressState().bRunning);

    NKStringList *pNames = new NKStringList(5);
    for (int i = 0; i < 5; i++) pNames->Set(i, std::string(1, char('a' + i)).c_str());
    NKSetNativeStepNames(pNames);
    ASSERT_TRUE(NKCommandAnimVector("one.vec", 1, 7, 3));  // the seventh step is past the names
    EXPECT_EQ(Names(), (std::vector<std::string>{"a at 1", "d at 4", "Step: 7 at 7"}));
}

TEST_F(ResultAnimation, EachStepIsReadFromItsFile)
{
    struct {
        Animate pfn;
        const char *pszName;
        int iFirst, iLast, iIncrement;
        const char *pszLastTrace;
    } cases[] = {
        {NKCommandAnimScalar, "res*.x.scl", 1, 3, 1, "Error reading scalar file res003.scl."},
        {NKCommandAnimVector, "d\\r*", 1, 12, 11, "Error reading vector file d\\r012.vec."},
        {NKCommandAnimVector, "all.x.vec", 1, 4, 2, "Error reading vector file all.x.vec."},
    };
    for (const auto &c : cases) {
        MakeCubeModel(1);
        NKResetDiagnostics();
        ASSERT_TRUE(c.pfn(c.pszName, c.iFirst, c.iLast, c.iIncrement));
        EXPECT_STREQ(NKGetLastDiagnostic(), c.pszLastTrace);
        EXPECT_STREQ(NKGetLastDiagnosticFunction(),
                     c.pfn == NKCommandAnimScalar ? "NKCommandAnimScalar" : "NKCommandAnimVector");
        EXPECT_EQ(NKGetDiagnosticCount(), g_pModel->iNumFrames);
    }
}

TEST_F(ResultAnimation, RefusedSeriesLeavesTheModel)
{
    struct {
        int iFirst, iLast, iIncrement, iFrames;
    } cases[] = {{0, 3, 1, 2}, {3, 3, 1, 2}, {4, 3, 1, 2}, {1, 3, 0, 2}, {1, 3, 1, 0}};
    for (const auto &c : cases) {
        MakeCubeModel(c.iFrames);
        for (Animate pfn : {NKCommandAnimScalar, NKCommandAnimVector})
            EXPECT_FALSE(pfn("res*.scl", c.iFirst, c.iLast, c.iIncrement));
        EXPECT_EQ(g_pModel->iNumFrames, c.iFrames);
    }
    EXPECT_TRUE(m_Messages.Lines().empty());
}

TEST_F(ResultAnimation, CancelCutsTheModelToOneFrame)
{
    struct CancelAtTwo : NKHeadlessProgressUI {
        void SetProgressPosition(int iPosition) override
        {
            if (iPosition == 2) RequestCancel();
        }
    } ui;
    NKSetProgressUI(&ui);
    MakeCubeModel(1);
    EXPECT_FALSE(NKCommandAnimVector("res*.scl", 1, 5, 1));
    EXPECT_EQ(g_pModel->iNumFrames, 1);
    EXPECT_EQ(ui.GetStatusText(), "Animation of vectors cancelled.");
    NKSetProgressUI(nullptr);
    NKResetProgressState();
}

TEST_F(ResultAnimation, FailedSingleReadKeepsTheModel)
{
    for (bool bScalar : {true, false}) {
        MakeCubeModel(3);
        ASSERT_TRUE(NKApplyScalarToFrames(MakeScalar({1}), 0, 2));
        m_Messages.Clear();
        EXPECT_FALSE((bScalar ? NKCommandReadScalar : NKCommandReadVector)("none.scl", 0));
        EXPECT_TRUE(m_Messages.HasLine(bScalar ? "Error reading scalar file none.scl."
                                               : "Error reading vector file none.scl.",
                                       NK_MSG_ERROR));
        EXPECT_EQ(g_pModel->iNumFrames, 3);
        EXPECT_NE(g_pModel->pFrames[2].pScalar, nullptr);
    }
}

}  // namespace
