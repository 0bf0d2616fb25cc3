// The selection list: the add rules of each picking mode, removal, growth,
// the geometry filter and the geometry references its entries hold.
#include <gtest/gtest.h>

#include <vector>

#include "core/nk_model.h"
#include "core/nk_render_state.h"

namespace {

// A pick of part 0 of frame 0 with element, polygon and node all n (-1: a
// miss when iFrame is -1 too).
NKPickInfo Pick(int n, NKGeometry *pGeo = nullptr, int iFrame = 0)
{
    NKPickInfo pick;
    pick.iFrame = iFrame;
    pick.pGeometry = pGeo;
    pick.iPart = iFrame == -1 ? -1 : 0;
    pick.iElement = n;
    pick.iPolygon = n;
    pick.iNode = n;
    return pick;
}

std::vector<int> Nodes(const NKSelectionList &list)
{
    std::vector<int> nodes;
    int n = 0;
    NKPickInfo *const *pp = list.GetEntries(false, &n);
    for (int i = 0; i < n; i++) nodes.push_back(pp[i]->iNode);
    return nodes;
}

// One pick and what the list holds after it (-1: a miss).
struct Step {
    int iNode;
    bool bResult;
    std::vector<int> after;
};

struct ModeCase {
    const char *pszName;
    int iMode;
    bool bKeepPrevious;
    std::vector<Step> steps;
};

TEST(SelectionList, AddFollowsTheModeRules)
{
    const ModeCase cases[] = {
        {"nodes, keep-previous off",
         4,
         false,
         {{7, true, {7}}, {7, true, {}}, {7, true, {7}}, {8, true, {8}}, {-1, false, {}}}},
        {"distance",
         6,
         true,
         {{1, true, {1}}, {5, true, {1, 5}}, {3, true, {3}}, {3, true, {3, 3}}, {-1, false, {}}}},
        {"polygons, keep-previous on",
         3,
         true,
         {{25, true, {25}},
          {23, true, {25, 23}},
          {38, true, {25, 23, 38}},
          {23, true, {25, 38}},
          {-1, false, {25, 38}}}},
        {"plain", 5, true, {{4, true, {4}}, {4, true, {4, 4}}, {-1, false, {4, 4}}}},
    };
    for (const ModeCase &c : cases) {
        SCOPED_TRACE(c.pszName);
        NKSelectionList list;
        list.SetMode(c.iMode);
        list.SetKeepPrevious(c.bKeepPrevious);
        for (const Step &step : c.steps) {
            NKPickInfo pick = step.iNode == -1 ? Pick(-1, nullptr, -1) : Pick(step.iNode);
            EXPECT_EQ(list.Add(pick), step.bResult) << "node " << step.iNode;
            EXPECT_EQ(Nodes(list), step.after) << "node " << step.iNode;
        }
        list.Clear();
    }
}

TEST(SelectionList, InvalidPicksAndRefusedDuplicates)
{
    NKSelectionList list;
    list.SetMode(2);
    NKPickInfo pick = Pick(3);
    pick.iElement = -1;
    EXPECT_FALSE(list.Add(pick));  // mode 2 needs an element
    list.SetMode(7);
    EXPECT_FALSE(list.Add(Pick(3)));  // a cutting-plane record has no part
    NKPickInfo cut = Pick(3);
    cut.iPart = -1;
    EXPECT_TRUE(list.Add(cut));
    list.SetMode(0);
    EXPECT_FALSE(list.Add(Pick(3)));
    list.SetMode(1);
    list.bToggle = 0;
    EXPECT_TRUE(list.Add(Pick(3)));
    EXPECT_FALSE(list.Add(Pick(4)));  // same part, toggling off: refused
    EXPECT_EQ(list.iCount, 1);
    list.Clear();
}

TEST(SelectionList, GrowthRemovalSettersAndFilter)
{
    NKSelectionList list;
    for (int i = 0; i < 21; i++) ASSERT_TRUE(list.Add(Pick(i)));
    EXPECT_EQ(list.iCapacity, 40);
    EXPECT_EQ(list.iCount, 21);
    EXPECT_FALSE(list.Remove(-1));
    EXPECT_FALSE(list.Remove(21));
    EXPECT_TRUE(list.Remove(0));
    EXPECT_EQ(list.GetEntries()[0]->iNode, 1);
    EXPECT_EQ(list.iCount, 20);

    EXPECT_EQ(list.SetMode(5), 5);  // the same mode keeps the entries
    EXPECT_EQ(list.iCount, 20);
    EXPECT_EQ(list.SetMode(4), 5);  // a new one empties the list
    EXPECT_EQ(list.iCount, 0);
    EXPECT_EQ(list.ppPicks, nullptr);

    EXPECT_FALSE(list.SetEnabled(true));
    EXPECT_TRUE(list.SetEnabled(false));
    EXPECT_TRUE(list.SetKeepPrevious(false));
    EXPECT_FALSE(list.SetShowNodeInfo(true));
    EXPECT_TRUE(list.SetShowNodeInfo(false));

    NKGeometry a, b;
    a.iNumRef = b.iNumRef = 1;
    list.SetMode(5);
    list.SetKeepPrevious(true);
    ASSERT_TRUE(list.Add(Pick(1, &a)));
    ASSERT_TRUE(list.Add(Pick(2, &b)));
    ASSERT_TRUE(list.Add(Pick(3, &a)));
    int n = 0;
    list.GetEntries(true, &n);  // no filter: all entries
    EXPECT_EQ(n, 3);
    list.SetGeometryFilter(&a);
    NKPickInfo *const *pp = list.GetEntries(true, &n);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(pp[0]->iNode, 1);
    EXPECT_EQ(pp[1]->iNode, 3);
    EXPECT_EQ(list.GetEntries(false, &n), list.ppPicks);
    EXPECT_EQ(n, 3);
    // Each entry holds one reference; the count is back when they go.
    EXPECT_EQ(a.iNumRef, 3);
    EXPECT_EQ(b.iNumRef, 2);
    list.Remove(1);
    EXPECT_EQ(b.iNumRef, 1);
    list.Clear();
    EXPECT_EQ(a.iNumRef, 1);
}

TEST(SelectionList, AnEntryKeepsItsGeometryAliveUntilItGoes)
{
    NKGeometry *pGeo = NKCreateGeometry(1);
    ASSERT_NE(pGeo, nullptr);
    pGeo->iNumRef = 1;  // the model's reference
    NKSelectionList list;
    ASSERT_TRUE(list.Add(Pick(0, pGeo)));
    NKReleaseGeometry(pGeo);  // the model lets go first
    EXPECT_EQ(list.GetEntries()[0]->pGeometry->iNumRef, 1);
    list.Clear();  // frees it (the sanitizers see a leak otherwise)
}

}  // namespace
