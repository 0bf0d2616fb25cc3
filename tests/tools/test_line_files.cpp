// tests/tools/test_line_files.cpp -- the line-file readers, the line set
// list (detail levels, picking), the 3-D primitive boxes and trees and the
// user label list, without a model (display = model coordinates) unless a
// test makes one.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/nk_model.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"
#include "tools/nk_line_sets.h"
#include "tools/nk_primitives_3d.h"
#include "tools/nk_user_labels.h"

namespace {

// The little-endian words of a binary line file; bSwap writes the twin.
struct BinaryLineFile {
    std::vector<uint8_t> bytes;
    bool bSwap = false;
    void Word(uint32_t u)
    {
        for (int k = 0; k < 4; k++) bytes.push_back(uint8_t(u >> (bSwap ? 24 - 8 * k : 8 * k)));
    }
    void Int(int32_t i) { Word(uint32_t(i)); }
    void Float(float f)
    {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        Word(u);
    }
};

// Magic, 1 group, 2 segments in red, 12 floats.
BinaryLineFile TwoRedSegments(bool bSwap)
{
    BinaryLineFile f;
    f.bSwap = bSwap;
    f.Int(-160871);  // magic
    f.Int(1);        // groups
    f.Int(2);        // segments of the group
    f.Int(255);      // r
    f.Int(0);        // g
    f.Int(0);        // b
    for (int i = 0; i < 12; i++) f.Float(float(i));
    return f;
}

class LineFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = NKTestMakeTempDir("quolin_line_files_");
        m_Path = (m_Dir / "lines.dat").string();
    }
    void TearDown() override { NKTestRemoveDir(m_Dir.string()); }
    int Read(const std::vector<uint8_t> &bytes, int *piNodes = nullptr)
    {
        NKTestWriteBytes(m_Path, bytes);
        int iNodes = -7;
        int n = NKReadLineFile(&m_List, m_Path.c_str(), &iNodes);
        if (piNodes != nullptr) *piNodes = iNodes;
        return n;
    }
    int ReadText(const std::string &text, int *piNodes = nullptr)
    {
        return Read(std::vector<uint8_t>(text.begin(), text.end()), piNodes);
    }
    std::filesystem::path m_Dir;
    std::string m_Path;
    LineSetList m_List;
    MessageCapture m_Capture;
};

TEST_F(LineFiles, BinaryFileAndItsByteSwappedTwinGiveTheSameSegments)
{
    for (bool bSwap : {false, true}) {
        m_List.Clear();
        int iNodes = 0;
        ASSERT_EQ(Read(TwoRedSegments(bSwap).bytes, &iNodes), 2) << bSwap;
        EXPECT_EQ(iNodes, 4);
        ASSERT_EQ(m_List.m_iCount, 2);
        EXPECT_EQ(m_List.m_ppObjects[1]->m_ucColor[0], 255);
        EXPECT_EQ(m_List.m_ppObjects[1]->m_ucColor[1], 0);
        EXPECT_FLOAT_EQ(m_List.m_ppObjects[1]->GetPoint(1)[2], 11.0f);
    }
    EXPECT_TRUE(m_Capture.Contains("Reading lines from binary file"));
}

// Every cut of 4 bytes or more keeps the magic and must add nothing; the
// shorter cuts fall to the text readers, which find no two points.
TEST_F(LineFiles, CutBinaryFilesAddNothing)
{
    std::vector<uint8_t> full = TwoRedSegments(false).bytes;
    for (size_t n = 0; n < full.size(); n++) {
        std::vector<uint8_t> cut(full.begin(), full.begin() + long(n));
        EXPECT_EQ(Read(cut), -1) << n;
        EXPECT_EQ(m_List.m_iCount, 0) << n;
    }
}

// A count of 0 leaves the segments after it unread: the file gives nothing
// though it holds them, and is refused as the other damaged counts are.
TEST_F(LineFiles, DamagedCountsNeverReadPastTheFile)
{
    struct Case {
        size_t iWord;  // word index of the count
        int32_t iValue;
        int iResult;
    };
    const Case cases[] = {{1, 0, -1}, {1, -1, -1}, {1, 0x7FFFFFFF, -1},
                          {2, 0, -1}, {2, -1, -1}, {2, 0x7FFFFFFF, -1}};
    for (const Case &c : cases) {
        m_List.Clear();
        BinaryLineFile f = TwoRedSegments(false);
        std::memcpy(&f.bytes[4 * c.iWord], &c.iValue, 4);
        EXPECT_EQ(Read(f.bytes), c.iResult) << c.iWord << " " << c.iValue;
        EXPECT_EQ(m_List.m_iCount, 0);
    }
}

// A file empty of its kind gives 0 objects; the same file with 64 NUL
// bytes put inside it gives nothing it can read, and is refused.
TEST_F(LineFiles, NothingReadFromAFileThatHoldsMoreIsAnError)
{
    BinaryLineFile empty;
    empty.Int(-160871);
    empty.Int(0);
    const std::string nuls(64, '\0');
    const std::string stiffener = "Name Number x y z x y z\nS1\t3 0 0 0 1000 0 0\n";
    const std::string frame = "FRAME X Y Z\nF1 1000 0 0\n2000 0 0\n";
    std::vector<uint8_t> binary = TwoRedSegments(false).bytes;
    binary.insert(binary.begin() + 4, 64, 0);  // after the magic word
    struct Case {
        std::string bytes;
        int iResult;
        const char *pszWhat;
    } cases[] = {
        {std::string(empty.bytes.begin(), empty.bytes.end()), 0, "binary, no group"},
        {"Xmin Ymin Zmin Xmax Ymax Zmax\n\n  \n", 0, "stiffener heading"},
        {"FRAME X Y Z\n", 0, "frame heading"},
        {std::string(binary.begin(), binary.end()), -1, "binary with NULs after its magic"},
        {stiffener.substr(0, 27) + nuls + stiffener.substr(27), -1, "stiffener with NULs"},
        {frame.substr(0, 12) + nuls + frame.substr(12), -1, "frame with NULs at a curve"},
        {frame.substr(0, 12) + "F1 1000 0 0\n", -1, "frame curve of one point"},
    };
    for (const Case &c : cases) {
        m_List.Clear();
        EXPECT_EQ(ReadText(c.bytes), c.iResult) << c.pszWhat;
        EXPECT_EQ(m_List.m_iCount, 0) << c.pszWhat;
    }
}

// Rows of four numbers (a distance, then x y z) are the points; a row of
// three numbers or none is skipped.
TEST_F(LineFiles, HydroFileMakesOnePolylineAndSetsTheTubeSize)
{
    int iNodes = 0;
    ASSERT_EQ(ReadText("*nklinefile-1.00:hydro\r\n*DIAMETER 0.25\n# comment\n%x\n"
                       "1 0 0 0\n2 1 0 0\nnot a point\n2.5 7 7\n3 1 1 0\n",
                       &iNodes),
              1);
    EXPECT_EQ(iNodes, 3);
    ASSERT_EQ(m_List.m_iCount, 1);
    EXPECT_EQ(m_List.m_ppObjects[0]->GetNumPoints(), 3);
    EXPECT_NEAR(m_List.m_fCylinderSize, 0.25f, 1e-6f);  // no model: fGeoScale 1
    EXPECT_TRUE(m_Capture.Contains("Reading lines from HYDRO ASCII file"));
}

TEST_F(LineFiles, FrameFileKeepsCurvesOfTwoPointsInMetres)
{
    int iNodes = 0;
    ASSERT_EQ(ReadText("FRAME\tX  Y Z\nF1 1000 0 0\n2000 0 0\nF2 0 0 0\n", &iNodes), 1);
    EXPECT_EQ(iNodes, 2);
    ASSERT_EQ(m_List.m_iCount, 1);
    NKString name;
    EXPECT_TRUE(m_List.m_ppObjects[0]->GetName(&name));
    EXPECT_STREQ(name.GetText(), "F1");
    EXPECT_FLOAT_EQ(m_List.m_ppObjects[0]->GetPoint(0)[0], -1.0f);
    EXPECT_FLOAT_EQ(m_List.m_ppObjects[0]->GetPoint(1)[0], -2.0f);
}

TEST_F(LineFiles, StiffenerLinesWithoutATabAreSkipped)
{
    int iNodes = 0;
    ASSERT_EQ(
        ReadText("Name Number x y z x y z\nS1\t3 0 0 0 1000 0 0\nS2 4 0 0 0 1 1 1\n", &iNodes), 1);
    EXPECT_EQ(iNodes, 2);
    NKString name;
    m_List.m_ppObjects[0]->GetName(&name);
    EXPECT_STREQ(name.GetText(), "S1 3");
    m_List.Clear();
    EXPECT_EQ(ReadText("Xmin Ymin Zmin Xmax Ymax Zmax\n"), 0);
}

TEST_F(LineFiles, RawFileNeedsTwoPoints)
{
    EXPECT_EQ(ReadText("0 0 0\n"), -1);
    EXPECT_EQ(m_List.m_iCount, 0);
    int iNodes = 0;
    EXPECT_EQ(ReadText("0 0 0\n1 0 0\n1 1 0\n", &iNodes), 1);
    EXPECT_EQ(iNodes, 3);
    EXPECT_TRUE(m_Capture.Contains("Reading lines from RAW ASCII file"));
    EXPECT_EQ(NKReadLineFile(&m_List, (m_Dir / "none").string().c_str(), &iNodes), -1);
}

TEST_F(LineFiles, CutTextFilesNeverCrash)
{
    const char *const texts[] = {
        "*NKLINEFILE-1.00:HYDRO\n*DIAMETER 0.25\n%x\n1 0 0 0\n2 1 0 0\n",
        "FRAME X Y Z\nF1 1000 0 0\n2000 0 0\nF2 0 0 0\n",
        "Name Number x y z x y z\nS1\t3 0 0 0 1000 0 0\n",
        "0 0 0\n1 0 0\n1 1 0\n",
    };
    for (const char *t : texts) {
        std::string s(t);
        for (size_t n = 0; n <= s.size(); n++) {
            m_List.Clear();
            int r = ReadText(s.substr(0, n));
            EXPECT_GE(r, -1);
            EXPECT_LE(r, 1);
        }
    }
}

TEST_F(LineFiles, DetailLevelsFollowTheApparentSize)
{
    const float p0[3] = {0, 0, 0}, p1[3] = {0, 0, 0};
    m_List.AddSegment(p0, p1, 1, 2, 3);
    PolyLine *pLine = new PolyLine();
    const float a[3] = {1, 0, 0}, b[3] = {0.5f, 0, 0}, c[3] = {0.2f, 0, 0};
    pLine->AddPoint(a);
    pLine->AddPoint(b);
    pLine->AddPoint(c);
    ASSERT_TRUE(m_List.Add(pLine));
    m_List.m_bCylinders = 1;
    const float eye[3] = {0, 0, 0};
    m_List.UpdateCylinderDetail(eye);
    EXPECT_EQ(pLine->m_pucDetail[0], 1);
    EXPECT_EQ(pLine->m_pucDetail[1], 6);
    EXPECT_EQ(pLine->m_pucDetail[2], 10);
    EXPECT_EQ(m_List.m_ppObjects[0]->m_pucDetail[0], 10);  // at the eye
}

TEST_F(LineFiles, PickReportsSegmentPieceAndNearestNode)
{
    const float p0[3] = {0, 0, 0}, p1[3] = {1, 0, 0};
    m_List.AddSegment(p0, p1, 255, 255, 255);
    const float o[3] = {0.8f, 0, 5}, d[3] = {0, 0, -1}, miss[3] = {3, 0, 5};
    float t = 0.0f;
    ASSERT_TRUE(m_List.Pick(o, d, &t));
    EXPECT_NEAR(t, 5.0f, 1e-5f);
    EXPECT_TRUE(m_Capture.Contains("Segment: 0   Line: 0   Node: 1  (name: \"\")\n"
                                   "Node coords: (0, 0, 0)  (1, 0, 0)"));
    EXPECT_FALSE(m_List.Pick(miss, d, &t));
    EXPECT_FLOAT_EQ(t, 1e12f);
    EXPECT_EQ(m_List.m_iPickObject, -1);
}

TEST(Primitives, CylinderBoxUsesTheSineOfEachAxis)
{
    const float a[3] = {0, 0, 0}, b[3] = {1, 1, 0};
    CylinderPrimitive cyl(a, b, 0.1f);
    float box[6];
    ASSERT_TRUE(cyl.BoundingBox(box));
    const float want[6] = {-0.0707107f, -0.0707107f, -0.1f, 1.0707107f, 1.0707107f, 0.1f};
    for (int i = 0; i < 6; i++) EXPECT_NEAR(box[i], want[i], 1e-6f) << i;
    CylinderPrimitive flat(a, a, 0.5f);  // no direction: flat in z
    ASSERT_TRUE(flat.BoundingBox(box));
    EXPECT_FLOAT_EQ(box[0], -0.5f);
    EXPECT_FLOAT_EQ(box[2], 0.0f);
    EXPECT_FLOAT_EQ(box[5], 0.0f);
}

TEST(Primitives, LongTreesAreAddedWalkedAndClearedWithoutRecursion)
{
    Primitive3DList list;
    const float c[3] = {0, 0, 0};
    for (int i = 0; i < 100000; i++)
        ASSERT_TRUE(list.Add(new SpherePrimitive(c, float(i)), "", ""));
    EXPECT_EQ(list.Count(), 100000);
    list.UpdateBoundingBox();
    float box[6];
    ASSERT_TRUE(list.GetBoundingBox(box));
    EXPECT_FLOAT_EQ(box[3], 99999.0f);
    list.Clear();
    EXPECT_FALSE(list.GetBoundingBox(box));
}

TEST(Primitives, NamedParentsAndSiblingsPlaceTheNewPrimitive)
{
    Primitive3DList list;
    const float c[3] = {0, 0, 0};
    Primitive3D *pRoot = new SpherePrimitive(c, 1);
    Primitive3D *pA = new SpherePrimitive(c, 1), *pB = new SpherePrimitive(c, 1);
    Primitive3D *pC = new SpherePrimitive(c, 1);
    list.Add(pRoot, "", "");
    list.Add(pA, pRoot->m_name.GetText(), "");                    // first child
    list.Add(pB, pRoot->m_name.GetText(), pA->m_name.GetText());  // after A
    list.Add(pC, pRoot->m_name.GetText(), "nobody");              // in front of the children
    EXPECT_EQ(pRoot->m_pFirstChild, pC);
    EXPECT_EQ(pC->m_pNextSibling, pA);
    EXPECT_EQ(pA->m_pNextSibling, pB);
    EXPECT_EQ(list.Count(), 4);
}

TEST(UserLabels, ListStaysSortedAndDeleteKeepsTheActiveLabel)
{
    UserPrimitiveList list;
    EXPECT_EQ(list.Add(3, true), 0);
    EXPECT_EQ(list.Add(1, true), 0);
    EXPECT_EQ(list.Add(-1, true), 1);
    EXPECT_EQ(list.Add(2, true), -1);
    EXPECT_EQ(list.GetCurrentID(), 2);
    EXPECT_TRUE(list.Delete(2));  // the last record, not the active one
    EXPECT_EQ(list.GetCurrentID(), 2);
    EXPECT_TRUE(list.Delete(-1));  // the active last one: the new last is active
    EXPECT_EQ(list.GetCurrentID(), 1);
    EXPECT_TRUE(list.Delete(-1));
    EXPECT_EQ(list.GetCurrentIndex(), -1);
    EXPECT_FALSE(list.Delete(-1));
    for (int i = 0; i < 50; i++) EXPECT_GE(list.Add(-1, false), 0);
    EXPECT_EQ(list.Get(49)->m_iID, 50);
}

class UserLabelGeometry : public NKModelTest {};

TEST_F(UserLabelGeometry, AnAnchorHoldsAReferenceToItsGeometry)
{
    NKGeometry *pGeo = MakeFrames(1, 1);
    int iBefore = pGeo->iNumRef;
    {
        UserPrimitiveList list;
        list.Add(-1, false);
        ASSERT_TRUE(list.Get(-1)->AttachNode(pGeo, 0, 0));
        EXPECT_EQ(pGeo->iNumRef, iBefore + 1);
        list.Add(-1, false);  // the list grows and copies: still one holder
        EXPECT_EQ(pGeo->iNumRef, iBefore + 1);
        list.Get(0)->SetPosition2D(0.5f, 0.5f);
        EXPECT_EQ(pGeo->iNumRef, iBefore);
        EXPECT_FALSE(list.Get(0)->AttachElement(pGeo, 3, 0));
    }
    EXPECT_EQ(pGeo->iNumRef, iBefore);
}

}  // namespace
