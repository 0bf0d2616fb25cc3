// tests/readers/test_reader_elements.cpp -- the reader element table, the
// faces each type becomes and the part element records.
#include <gtest/gtest.h>

#include <vector>

#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "readers/nk_fem_reader.h"
#include "readers/nk_reader_elements.h"
#include "tests/test_support/mock_fem_reader.h"

namespace {

// The polygons of one element with nodes 0..n-1: node lists and visible flags.
std::vector<std::vector<int>> Faces(int iType, bool *pbOk, std::vector<int> *pVisible)
{
    std::vector<int> nodes(20);
    for (int i = 0; i < 20; i++) nodes[(size_t)i] = i;
    NKReaderMesh mesh;
    NKSizeReaderMesh(&mesh, 6, 48);
    *pbOk = NKConvertElementToPolygons(iType, nodes.data(), 3, &mesh);
    std::vector<std::vector<int>> faces;
    const NKIndexedFaceSet &f = mesh.faces;
    for (int p = 0; p < f.iNumPolygons; p++) {
        EXPECT_EQ(f.piPolygonElement[p], 3);
        faces.emplace_back(f.piConnects + f.piPolygonStart[p],
                           f.piConnects + f.piPolygonStart[p] + f.piPolygonNumNodes[p]);
        pVisible->push_back(f.pbWholeElement[p]);
    }
    NKFreeReaderMesh(&mesh);
    return faces;
}

TEST(ReaderElements, ElementsBecomeTheirFaces)
{
    bool bOk = false;
    std::vector<int> visible;
    auto hexa = Faces(8, &bOk, &visible);
    ASSERT_TRUE(bOk);
    ASSERT_EQ(hexa.size(), 6u);
    EXPECT_EQ(hexa[4], (std::vector<int>{4, 5, 6, 7}));
    EXPECT_EQ(hexa[5], (std::vector<int>{0, 3, 2, 1}));
    EXPECT_EQ(visible, std::vector<int>(6, 0));

    visible.clear();
    std::vector<size_t> counts;
    for (const auto &face : Faces(10, &bOk, &visible)) counts.push_back(face.size());
    EXPECT_EQ(counts, (std::vector<size_t>{4, 4, 4, 3, 3}));

    visible.clear();
    EXPECT_EQ(Faces(1, &bOk, &visible), (std::vector<std::vector<int>>{{0, 1}, {1, 2}}));
    EXPECT_EQ(visible, (std::vector<int>{1, 1}));
    visible.clear();
    EXPECT_EQ(Faces(12, &bOk, &visible), (std::vector<std::vector<int>>{{0}}));
    EXPECT_EQ(visible, (std::vector<int>{0}));
    visible.clear();
    EXPECT_TRUE(Faces(13, &bOk, &visible).empty());
    EXPECT_FALSE(bOk);
}

TEST(ReaderElements, TypeTableAndModelTypes)
{
    const int aiModel[][2] = {{0, 0}, {11, 11}, {12, 17}, {13, 18}, {-1, 18}, {14, 18}};
    for (const auto &c : aiModel) EXPECT_EQ(NKReaderToModelElementType(c[0]), c[1]) << c[0];
    EXPECT_EQ(NKReaderElementName(9), "Hexahedron_20");
    EXPECT_EQ(NKReaderElementName(14), "");
    EXPECT_EQ(NKReaderElementFaceNodeCount(11), 36);
    EXPECT_EQ(NKReaderElementNodeCount(-1), -1);
}

TEST(ReaderElements, PartElementsSkipUnknownsAndNumberFromOne)
{
    FEElementBlock block = NKTestElementBlock(0, 2, {4, 7, 7, 9, 9, 4});
    block.types = {0, 13, 0};
    const int aiList[] = {0, 1, 2};
    const int aiPartNodes[] = {9, 4};  // node 7 is not in the part
    NKElement *pElements = nullptr;
    int *piConnects = nullptr, n = 0, nConnects = 0;
    ASSERT_TRUE(NKBuildPartElements(block, block.connectivity.data(), aiList, 3, aiPartNodes, 2,
                                    &pElements, &n, &piConnects, &nConnects));
    ASSERT_EQ(n, 2);
    EXPECT_EQ(pElements[0].iID, 1);
    EXPECT_EQ(pElements[1].iID, 3);
    EXPECT_EQ(pElements[1].iNodeStart, 2);
    EXPECT_EQ(std::vector<int>(piConnects, piConnects + nConnects),
              (std::vector<int>{1, -1, 0, 1}));
    NKFree(pElements);
    NKFree(piConnects);
}

}  // namespace
