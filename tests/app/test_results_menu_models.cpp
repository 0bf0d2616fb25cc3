// tests/app/test_results_menu_models.cpp -- the Results Menu over models
// served by reader plug-ins made here: it follows a model whose scalar
// names are the same as the one before but whose vector names differ, and
// its stepping items are enabled only for a model with more than one step.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/nk_gl_menu.h"
#include "tests/nkf/nkf_open_fixture.h"
#include "tests/test_support/mock_fem_reader.h"

namespace {

// Two hexahedra with the scalar "Temp", the given vector names and steps.
void FillModel(NKTestMockModel *pModel, const char *pszExtension,
               const std::vector<const char *> &vectors, int iSteps)
{
    pModel->info.szName = NKString("Menu model ") + (pszExtension + 1);
    pModel->info.szShortName = pszExtension + 1;
    pModel->pszExtension = pszExtension;
    NKTestTwoHexahedra(pModel);
    pModel->scalars = {{4, "Temp", 0, NK_RESULT_MAP_NODE}};
    pModel->vectors.clear();
    for (size_t i = 0; i < vectors.size(); i++)
        pModel->vectors.push_back({10 + (int)i, vectors[i], 0, NK_RESULT_MAP_NODE});
    pModel->steps.clear();
    for (int s = 1; s <= iSteps; s++)
        pModel->steps.push_back({s, NKString::FromFormat("Step %d", s), (float)s, 1});
}

// The open commands over the data sources (tests/nkf/nkf_open_fixture.h),
// in a home of the test's own so that no start-up file of the user's runs
// after an open.
class ResultsMenuModels : public NKFOpenTest {
protected:
    void SetUp() override
    {
        NKFOpenTest::SetUp();
        if (const char *pszHome = std::getenv("HOME")) m_OldHome = pszHome;
        setenv("HOME", m_Dir.c_str(), 1);
    }
    void TearDown() override
    {
        NKDestroyGLMenu();
        NKCloseInterface();
        NKTestRemoveMocks();
        if (m_OldHome.empty()) {
            unsetenv("HOME");
        } else {
            setenv("HOME", m_OldHome.c_str(), 1);
        }
        NKFOpenTest::TearDown();
    }
    void Open(const char *pszName)
    {
        const std::string path = m_Dir + "/" + pszName;
        ASSERT_TRUE(NKTestWriteText(path, ""));
        ASSERT_EQ(Run("open \"" + path + "\""), 0) << m_Capture.Text();
    }
    // The texts of the list that item iId opens.
    static std::vector<std::string> BranchTexts(int iId)
    {
        std::vector<std::string> texts;
        NKGLMenuItem *pItem = NKGLMenuFindItem(g_pGLMenu->root, iId);
        for (NKGLMenuItem *p = pItem != nullptr ? pItem->branch : nullptr; p != nullptr;
             p = p->next)
            texts.push_back(p->text);
        return texts;
    }
    static bool Enabled(int iId)
    {
        NKGLMenuItem *pItem = NKGLMenuFindItem(g_pGLMenu->root, iId);
        return pItem != nullptr && !pItem->disabled;
    }

    std::string m_OldHome;
    // The reader serves its model until the interface closes in TearDown.
    NKTestMockModel m_Models[2];
};

// The same file written again with the same scalars but other vectors (a
// run that wrote other fields): the menu built for the first model runs
// nothing, and built again it lists the second model's vectors.
TEST_F(ResultsMenuModels, TheMenuFollowsAModelWhoseVectorNamesAloneDiffer)
{
    NKTestMockModel &model = m_Models[0];
    FillModel(&model, ".model", {"Velocity"}, 2);
    NKTestInstallMock(0, &model);
    Open("run.model");
    ASSERT_TRUE(NKBuildResultsMenu(&g_pGLMenu));
    EXPECT_EQ(BranchTexts(2000), (std::vector<std::string>{"Velocity [node]", "None"}));

    FillModel(&model, ".model", {"Force", "Moment"}, 2);
    Open("run.model");
    EXPECT_FALSE(NKGLMenuExecuteItem(g_pGLMenu, 2001));  // the first model's "Velocity"
    EXPECT_FALSE(NKGLMenuExecuteItem(g_pGLMenu, 1001));  // its "Temp" too
    NKResultsMenuFollowModel();
    ASSERT_NE(g_pGLMenu, nullptr);
    EXPECT_EQ(BranchTexts(1000), (std::vector<std::string>{"Temp [node]", "None"}));
    EXPECT_EQ(BranchTexts(2000),
              (std::vector<std::string>{"Force [node]", "Moment [node]", "None"}));
    EXPECT_TRUE(NKGLMenuExecuteItem(g_pGLMenu, 2002));
}

// Read Next State, Read Previous State and Launch Animation step through the
// model: with one step there is nowhere to go, and they are disabled and
// run nothing; with two they are enabled.
TEST_F(ResultsMenuModels, SteppingItemsNeedASecondStep)
{
    NKTestMockModel &one = m_Models[0], &two = m_Models[1];
    FillModel(&one, ".onestep", {"Velocity"}, 1);
    FillModel(&two, ".twosteps", {"Velocity"}, 2);
    NKTestInstallMock(0, &one);
    NKTestInstallMock(1, &two);
    const struct {
        const char *pszFile;
        bool bEnabled;
    } cases[] = {{"m.onestep", false}, {"m.twosteps", true}, {"n.onestep", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszFile);
        Open(c.pszFile);
        ASSERT_TRUE(NKBuildResultsMenu(&g_pGLMenu));
        for (int iId : {700, 701, 702}) EXPECT_EQ(Enabled(iId), c.bEnabled) << iId;
        if (!c.bEnabled) {
            for (int iId : {700, 701, 702}) EXPECT_FALSE(NKGLMenuExecuteItem(g_pGLMenu, iId));
        }
    }
}

}  // namespace
