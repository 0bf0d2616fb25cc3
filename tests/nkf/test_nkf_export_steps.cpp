// tests/nkf/test_nkf_export_steps.cpp -- the blocks each export step writes
// for models built in memory: shared and interpolated frames, part block
// IDs over several geometries, visible parts only, node IDs, face sets,
// long names, visibility bytes, transformations of geometries with
// different part counts, viewpoints, separate vector fields, part
// attributes, items and textures, and a block too large for the format.
// The files are read back with a small scanner of the binary framing.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/nk_element_types.h"
#include "core/nk_export_items.h"
#include "core/nk_frames.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "nkf/nkf_export.h"
#include "nkf/nkf_format.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

// One block of a binary file: code, ID, the header words after the two
// sizes, and the data.
struct Block {
    int32_t iCode;
    int32_t iID;
    std::vector<int32_t> header;
    std::string data;

    int32_t Word(size_t i) const
    {
        int32_t w = 0;
        if (4 * i + 4 <= data.size()) std::memcpy(&w, data.data() + 4 * i, 4);
        return w;
    }
    float Float(size_t i) const
    {
        int32_t w = Word(i);
        float f;
        std::memcpy(&f, &w, 4);
        return f;
    }
    std::string Text(size_t iHeaderWord) const
    {
        return std::string(reinterpret_cast<const char *>(&header[iHeaderWord]));
    }
};

// Every block of a little-endian export; an empty list when the framing is
// broken anywhere (every block must end with -999).
std::vector<Block> ReadBlocks(const std::string &bytes)
{
    std::vector<Block> blocks;
    size_t iPos = 16;
    auto word = [&](size_t at) {
        int32_t w = 0;
        if (at + 4 <= bytes.size()) std::memcpy(&w, bytes.data() + at, 4);
        return w;
    };
    while (iPos + 16 <= bytes.size()) {
        Block b{word(iPos), word(iPos + 4), {}, {}};
        int32_t iHeader = word(iPos + 8), iData = word(iPos + 12);
        for (int32_t i = 8; i < iHeader; i += 4) b.header.push_back(word(iPos + 8 + i));
        size_t iDataAt = iPos + 8 + iHeader;
        b.data = bytes.substr(iDataAt, iData);
        iPos = iDataAt + iData;
        if (word(iPos) != NKF_END_OF_BLOCK) return {};
        iPos += 4;
        blocks.push_back(b);
    }
    return blocks;
}

std::vector<Block> OfType(const std::vector<Block> &blocks, int iType)
{
    std::vector<Block> found;
    for (const Block &b : blocks)
        if (b.iCode == NKFBlockCodeFromType(iType)) found.push_back(b);
    return found;
}

// A geometry of n quadrilateral parts, each over its own four nodes: as
// elements (one quadrilateral, ID 7) or as a face set.
NKGeometry *QuadGeometry(int n, bool bElements)
{
    NKGeometry *pGeo = NKTestMakeGeometry(n);
    for (int p = 0; p < n; p++) {
        NKPart *pPart = &pGeo->pParts[p];
        pPart->szName = NKString::FromFormat("Part %d", p);
        pPart->bVisible = 1;
        pPart->iNumPolygons = 1;
        pPart->iNumConnects = 4;
        for (int k = 0; k < 4; k++) pPart->pConnects[k] = k;
        pPart->pPolygonNumNodes = static_cast<int *>(NKCalloc(1, sizeof(int)));
        pPart->pPolygonNumNodes[0] = 4;
        pPart->pPolygonStart = static_cast<int *>(NKCalloc(1, sizeof(int)));
        if (!bElements) continue;
        pPart->iNumElements = 1;
        pPart->pElements = static_cast<NKElement *>(NKCalloc(1, sizeof(NKElement)));
        pPart->pElements[0] = {NK_ELEM_QUAD, 7, 0, 0};
        pPart->iNumElementConnects = 4;
        pPart->pElementConnects = static_cast<int *>(NKCalloc(4, sizeof(int)));
        for (int k = 0; k < 4; k++) pPart->pElementConnects[k] = k;
        pPart->pPolygonElements = static_cast<int *>(NKCalloc(1, sizeof(int)));
    }
    return pGeo;
}

// A scalar result with node values 1..4 on each of n parts.
NKScalarResult *NodeScalar(int n, const char *pszDescription)
{
    NKScalarResult *pResult = NKCreateScalarResult();
    pResult->szDescription = NKString(pszDescription);
    pResult->szFileName = NKString("result.scl");
    pResult->iNumParts = n;
    pResult->pNodeResults =
        static_cast<NKScalarPartEntry *>(NKCalloc(n, sizeof(NKScalarPartEntry)));
    for (int p = 0; p < n; p++) {
        pResult->pNodeResults[p].iCount = 4;
        pResult->pNodeResults[p].pNodeValues = static_cast<float *>(NKAlloc(4 * sizeof(float)));
        for (int k = 0; k < 4; k++) pResult->pNodeResults[p].pNodeValues[k] = k + 1.0f;
    }
    return pResult;
}

// A model in the identity display space (centre 0, scale 1).
class NKFExportSteps : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        g_pModel->fGeoScale = 1.0f;
        NKFInitExportSettings(&g_NKFExportSettings);
        m_Dir = NKTestMakeTempDir("quolin_nkf_export_steps_");
    }
    void TearDown() override
    {
        NKFInitExportSettings(&g_NKFExportSettings);
        NKTestRemoveDir(m_Dir);
        NKModelTest::TearDown();
    }
    // n frames; frame f holds geometry apGeo[f] (a new holder each).
    void Frames(const std::vector<NKGeometry *> &geometries)
    {
        ASSERT_TRUE(NKSetFrameCount((int)geometries.size(), false));
        for (size_t f = 0; f < geometries.size(); f++) {
            NKFrame *pFrame = &g_pModel->pFrames[f];
            pFrame->pGeometry = geometries[f];
            geometries[f]->iNumRef++;
            pFrame->szDescription = NKString::FromFormat("Frame %zu", f);
            pFrame->fTime = (float)f;
        }
    }
    void SetScalar(int iFrame, NKScalarResult *pResult)
    {
        g_pModel->pFrames[iFrame].pScalar = pResult;
        pResult->iNumRef++;
    }
    // Exports with the global settings; the file's blocks, or none when the
    // export failed.
    std::vector<Block> Export(bool *pbOk = nullptr)
    {
        std::string path = m_Dir + "/t.nkf";
        NKFExporter exporter;
        exporter.SetFileName(path.c_str());
        bool bOk = exporter.ExportNKFFile();
        if (pbOk != nullptr) *pbOk = bOk;
        return bOk ? ReadBlocks(NKTestReadFile(path)) : std::vector<Block>();
    }

    MessageCapture m_Capture;
    std::string m_Dir;
};

TEST_F(NKFExportSteps, SharedResultsAndInterpolatedFramesWriteOnce)
{
    NKGeometry *pGeo = QuadGeometry(2, true);
    Frames(std::vector<NKGeometry *>(10, pGeo));
    NKScalarResult *pShared = NodeScalar(2, "");
    for (int f = 0; f < 10; f++) SetScalar(f, pShared);
    std::vector<Block> blocks = Export();
    ASSERT_FALSE(blocks.empty());
    EXPECT_EQ(OfType(blocks, NKF_NODES).size(), 2u);  // the geometry once
    EXPECT_EQ(OfType(blocks, NKF_RESULTS).size(), 2u);
    std::vector<Block> lists = OfType(blocks, NKF_QUOLINSCALAR);
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0].header[20], 1);                // one step row
    EXPECT_EQ(lists[0].Text(0), "result.scl");        // no description: the file name
    EXPECT_EQ(lists[0].data.size(), (23u + 2u) * 4);  // row and two IDs
    std::vector<Block> geometry = OfType(blocks, NKF_QUOLINGEOMETRY);
    ASSERT_EQ(geometry.size(), 1u);
    EXPECT_EQ(geometry[0].header[20], 1);  // one geometry row

    // A second result on frames 3.. after interpolated frames 1 and 2:
    // its row starts at step index 2, one past the one frame taken before it.
    NKScalarResult *pSecond = NodeScalar(2, "Second");
    for (int f = 3; f < 10; f++) {
        NKReleaseScalarResult(g_pModel->pFrames[f].pScalar);
        g_pModel->pFrames[f].pScalar = nullptr;
        SetScalar(f, pSecond);
    }
    g_pModel->pFrames[1].bInterpolated = g_pModel->pFrames[2].bInterpolated = 1;
    lists = OfType(Export(), NKF_QUOLINSCALAR);
    ASSERT_EQ(lists.size(), 1u);
    ASSERT_EQ(lists[0].header[20], 2);
    EXPECT_EQ(lists[0].Word(0), 1);
    EXPECT_EQ(lists[0].Word(23 + 2), 2);  // second row's step number
}

TEST_F(NKFExportSteps, PartBlockIDsRunOverTheGeometries)
{
    NKGeometry *pFirst = QuadGeometry(3, true), *pSecond = QuadGeometry(5, true);
    Frames({pFirst, pSecond});
    SetScalar(0, NodeScalar(3, "s"));
    SetScalar(1, NodeScalar(5, "s"));
    std::vector<Block> results = OfType(Export(), NKF_RESULTS);
    ASSERT_EQ(results.size(), 8u);
    for (int i = 0; i < 8; i++) {
        EXPECT_EQ(results[i].iID, i);
        EXPECT_EQ(results[i].header[1], i) << "referenced part block";
    }
}

TEST_F(NKFExportSteps, VisiblePartsOnlyLeavesHiddenPartsOut)
{
    NKGeometry *pGeo = QuadGeometry(3, true);
    pGeo->pParts[1].bVisible = 0;
    Frames({pGeo});
    g_NKFExportSettings.bVisiblePartsOnly = true;
    std::vector<Block> blocks = Export();
    std::vector<Block> nodes = OfType(blocks, NKF_NODES);
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(nodes[1].iID, 1);
    std::vector<Block> geometry = OfType(blocks, NKF_QUOLINGEOMETRY);
    ASSERT_EQ(geometry.size(), 1u);
    EXPECT_EQ(geometry[0].Word(22), 2);  // element parts of the row
    std::vector<Block> attributes = OfType(blocks, NKF_PARTATTRIBUTES);
    ASSERT_EQ(attributes.size(), 1u);
    EXPECT_EQ(attributes[0].data.size(), 2u * 220);
    bool bModelBox = false;
    for (const Block &b : OfType(blocks, NKF_INTERNALSTRING))
        bModelBox = bModelBox || (b.iID == 20001 && b.data.compare(0, 9, "modelbox;") == 0);
    EXPECT_TRUE(bModelBox);
}

TEST_F(NKFExportSteps, PartAttributesPerGeometryWithVisibleFilter)
{
    NKGeometry *pGeo = QuadGeometry(4, true);
    pGeo->pParts[1].bVisible = 0;
    pGeo->pParts[2].material.alpha = 255;
    Frames({pGeo, pGeo});
    std::vector<Block> attributes = OfType(Export(), NKF_PARTATTRIBUTES);
    ASSERT_EQ(attributes.size(), 1u);  // two frames, one geometry
    EXPECT_EQ(attributes[0].data.size(), 4u * 220);
    g_NKFExportSettings.bVisiblePartsOnly = true;
    attributes = OfType(Export(), NKF_PARTATTRIBUTES);
    ASSERT_EQ(attributes.size(), 1u);
    EXPECT_EQ(attributes[0].data.size(), 660u);
    EXPECT_EQ(attributes[0].header[0], 3);
    EXPECT_EQ(attributes[0].Word(55), 220);               // second record's size word
    EXPECT_FLOAT_EQ(attributes[0].Float(55 + 26), 1.0f);  // its opacity
}

TEST_F(NKFExportSteps, NodeIDsFaceSetsAndLongNames)
{
    NKGeometry *pGeo = QuadGeometry(3, false);
    const int aiIDs[2][4] = {{10, 20, 30, 40}, {1, -1, 2, 3}};
    for (int p = 0; p < 2; p++) {
        pGeo->pParts[p].pNodeIDs = static_cast<int *>(NKAlloc(4 * sizeof(int)));
        std::memcpy(pGeo->pParts[p].pNodeIDs, aiIDs[p], sizeof(aiIDs[p]));
    }
    pGeo->pParts[2].szName = NKString(std::string(100, 'n').c_str());
    Frames({pGeo});
    std::vector<Block> blocks = Export();
    std::vector<Block> nodes = OfType(blocks, NKF_NODES);
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_EQ(nodes[0].header[0], 1);  // with IDs, 16 bytes a node
    EXPECT_EQ(nodes[0].data.size(), 64u);
    EXPECT_EQ(nodes[0].Word(4), 20);
    EXPECT_EQ(nodes[1].header[0], 0);  // an ID of -1: none written
    EXPECT_EQ(nodes[1].data.size(), 48u);
    std::vector<Block> faces = OfType(blocks, NKF_INDEXEDFACESET);
    ASSERT_EQ(faces.size(), 3u);
    const int32_t aiWithIDs[] = {10, 20, 30, -40}, aiIndices[] = {1, 2, 3, -4};
    for (int k = 0; k < 4; k++) {
        EXPECT_EQ(faces[0].Word(k), aiWithIDs[k]);
        EXPECT_EQ(faces[2].Word(k), aiIndices[k]);
    }
    EXPECT_EQ(faces[0].header[28], 1);  // references are node IDs
    EXPECT_EQ(faces[2].header[28], 0);
    EXPECT_EQ(faces[2].Text(1), std::string(79, 'n'));
}

TEST_F(NKFExportSteps, VisibilityBytesWriteTheErodedBitOnly)
{
    struct Case {
        uint8_t aBytes[2];
        bool bBlock;
        float afValues[2];
    } cases[] = {
        {{0x09, 0x08}, true, {1.0f, 0.0f}},
        {{0x08, 0x08}, false, {0, 0}},
        {{0x00, 0x01}, true, {0.0f, 1.0f}},
    };
    for (const Case &c : cases) {
        NKGeometry *pGeo = QuadGeometry(1, false);
        pGeo->pParts[0].iNumPolygons = 2;
        pGeo->pParts[0].pPolygonNumNodes =
            static_cast<int *>(NKRealloc(pGeo->pParts[0].pPolygonNumNodes, 2 * sizeof(int)));
        pGeo->pParts[0].pPolygonStart =
            static_cast<int *>(NKRealloc(pGeo->pParts[0].pPolygonStart, 2 * sizeof(int)));
        pGeo->pParts[0].pPolygonNumNodes[1] = 0;
        pGeo->pParts[0].pPolygonStart[1] = 4;
        NKFreeModelFrames(g_pModel);
        Frames({pGeo});
        NKFrame *pFrame = &g_pModel->pFrames[0];
        pFrame->ppVisibility = static_cast<uint8_t **>(NKCalloc(1, sizeof(uint8_t *)));
        pFrame->ppVisibility[0] = static_cast<uint8_t *>(NKAlloc(2));
        std::memcpy(pFrame->ppVisibility[0], c.aBytes, 2);
        std::vector<Block> blocks = Export();
        std::vector<Block> lists = OfType(blocks, NKF_QUOLINVISIBILITY);
        ASSERT_EQ(lists.size(), c.bBlock ? 1u : 0u) << (int)c.aBytes[0];
        if (!c.bBlock) continue;
        std::vector<Block> results = OfType(blocks, NKF_RESULTS);
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(results[0].header[2], 2);  // per polygon
        for (int k = 0; k < 2; k++) EXPECT_EQ(results[0].Float(k), c.afValues[k]);
    }
}

TEST_F(NKFExportSteps, ElementVisibilityTakesTheFirstPolygonAndZeroWithoutOne)
{
    NKGeometry *pGeo = QuadGeometry(1, true);
    NKPart *pPart = &pGeo->pParts[0];
    pPart->iNumElements = 2;  // the second element has no polygon
    pPart->pElements = static_cast<NKElement *>(NKRealloc(pPart->pElements, 2 * sizeof(NKElement)));
    pPart->pElements[1] = {NK_ELEM_POINT, 8, 0, 0};
    Frames({pGeo});
    NKFrame *pFrame = &g_pModel->pFrames[0];
    pFrame->ppVisibility = static_cast<uint8_t **>(NKCalloc(1, sizeof(uint8_t *)));
    pFrame->ppVisibility[0] = static_cast<uint8_t *>(NKAlloc(1));
    pFrame->ppVisibility[0][0] = 0x05;
    std::vector<Block> results = OfType(Export(), NKF_RESULTS);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].header[2], 1);  // per element
    EXPECT_EQ(results[0].Float(0), 1.0f);
    EXPECT_EQ(results[0].Float(1), 0.0f);
}

TEST_F(NKFExportSteps, TransformationRowsCarryTheirOwnPartCounts)
{
    NKGeometry *pSmall = QuadGeometry(1, true), *pLarge = QuadGeometry(3, false);
    Frames({pLarge, pSmall});
    for (int f = 0; f < 2; f++) ASSERT_TRUE(NKAllocFrameTransformations(&g_pModel->pFrames[f]));
    g_pModel->pFrames[1].pTransformation[12] = 2.0f;  // moves the small part along x
    std::vector<Block> blocks = Export();
    std::vector<Block> lists = OfType(blocks, NKF_QUOLINTRANSFORMATION);
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0].header[20], 2);
    EXPECT_EQ(lists[0].data.size(), (23u * 2 + 3 + 1) * 4);
    EXPECT_EQ(lists[0].Word(22), 3);           // first row: three parts
    EXPECT_EQ(lists[0].Word(23 + 3 + 22), 1);  // second row: one part
    EXPECT_EQ(lists[0].Word(23 + 3 + 23), 3);  // its ID follows on
    std::vector<Block> matrices = OfType(blocks, NKF_TRANSFORMATIONRESULT);
    ASSERT_EQ(matrices.size(), 4u);
    EXPECT_EQ(matrices[0].header[0], 0);  // face-set block of part 0
    EXPECT_EQ(matrices[0].header[1], -1);
    EXPECT_EQ(matrices[3].header[0], -1);  // element block 3: the second geometry
    EXPECT_EQ(matrices[3].header[1], 3);
    EXPECT_EQ(matrices[3].Float(9), 2.0f);
    EXPECT_EQ(matrices[3].Float(0), 1.0f);
}

TEST_F(NKFExportSteps, ViewpointsOnlyWhenEveryFrameHasOne)
{
    NKGeometry *pGeo = QuadGeometry(1, true);
    Frames({pGeo, pGeo});
    NKViewPoint *pView = NKCreateViewPoint();
    pView->eye[2] = 5.0f;
    pView->vup[1] = 1.0f;
    g_pModel->pFrames[0].pViewPoint = pView;
    pView->iNumRef++;
    EXPECT_TRUE(OfType(Export(), NKF_VIEWPOINTS).empty());
    g_pModel->pFrames[1].pViewPoint = pView;
    pView->iNumRef++;
    std::vector<Block> views = OfType(Export(), NKF_VIEWPOINTS);
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].data.size(), 2u * 124);
    EXPECT_EQ(views[0].Text(0), "Quolin Viewpoints");
    EXPECT_EQ(views[0].Float(22 + 2), 5.0f);  // first row's eye z
    EXPECT_EQ(views[0].Float(22 + 7), 1.0f);  // its up y
}

TEST_F(NKFExportSteps, SeparateVectorFieldsPerSlot)
{
    NKGeometry *pGeo = QuadGeometry(2, true);
    Frames({pGeo, pGeo});
    NKSeparateVectorField *pField = NKCreateSeparateVectorField();
    pField->szName = NKString("Flow");
    pField->iNumParts = 2;
    pField->pParts = static_cast<NKSeparateVectorPart *>(NKCalloc(2, sizeof(NKSeparateVectorPart)));
    pField->pParts[1].iCount = 1;
    pField->pParts[1].pItems =
        static_cast<NKSeparateVector *>(NKCalloc(1, sizeof(NKSeparateVector)));
    pField->pParts[1].pItems[0] = {-1, {1, 2, 3}, {0, 0, 4}};
    for (int f = 0; f < 2; f++) {
        g_pModel->pFrames[f].pSeparateVectors[1] = pField;
        pField->iNumRef++;
    }
    std::vector<Block> blocks = Export();
    std::vector<Block> positions = OfType(blocks, NKF_POSITIONRESULTS);
    ASSERT_EQ(positions.size(), 4u);  // per frame and part
    EXPECT_EQ(positions[1].data.size(), 24u);
    EXPECT_EQ(positions[1].Float(2), 3.0f);
    EXPECT_EQ(positions[1].Float(5), 4.0f);
    std::vector<Block> lists = OfType(blocks, NKF_QUOLINPOSITIONVECTOR);
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0].iID, 1);
    EXPECT_EQ(lists[0].Text(0), "Flow");
    EXPECT_EQ(lists[0].data.size(), (23u * 2 + 4) * 4);
}

TEST_F(NKFExportSteps, ItemsCountTheRecordsWrittenAndTexturesFollowTheList)
{
    NKGeometry *pGeo = QuadGeometry(3, true);
    pGeo->pParts[0].bVisible = 0;
    Frames({pGeo});
    EXPECT_TRUE(OfType(Export(), NKF_ITEMS).empty());  // nothing to write
    NKItemNode aTraces[2] = {{1, 0}, {3, 2}}, aPlots[1] = {{2, 1}};
    g_pTraceNodes = aTraces;
    g_iNumTraceNodes = 2;
    g_pNodePlots = aPlots;
    g_iNumNodePlots = 1;
    std::vector<uint8_t> pixels(64 * 32 * 3, 7);
    ImageRecord image;
    image.szName = NKString("wood");
    image.iWidth = 64;
    image.iHeight = 32;
    image.pPixels = pixels.data();
    TextureImageList.SetSize(1);
    TextureImageList.SetAt(0, &image);
    g_NKFExportSettings.bVisiblePartsOnly = true;
    std::vector<Block> blocks = Export();
    g_pTraceNodes = g_pNodePlots = nullptr;
    g_iNumTraceNodes = g_iNumNodePlots = 0;
    TextureImageList.SetSize(0);
    std::vector<Block> items = OfType(blocks, NKF_ITEMS);
    ASSERT_EQ(items.size(), 1u);
    const std::vector<int32_t> counts = {0, 0, 0, 1, 1};
    EXPECT_EQ(items[0].header, counts);
    EXPECT_EQ(items[0].data.size(), 24u);
    // Part 2 is visible part 1; plots count parts from 1 and name their node
    // as np reads it (node index 2 of a part without IDs is node 3).
    const int32_t aiWords[] = {12, 3, 1, 12, 3, 1};
    for (int i = 0; i < 6; i++) EXPECT_EQ(items[0].Word(i), aiWords[i]) << i;
    std::vector<Block> textures = OfType(blocks, NKF_TEXTURES);
    ASSERT_EQ(textures.size(), 1u);
    EXPECT_EQ(textures[0].iID, 1);
    EXPECT_EQ(textures[0].data.size(), 6144u);
    EXPECT_EQ(textures[0].Text(0), "wood");

    TextureImageList.SetSize(1);  // an empty slot stops the step
    bool bOk = true;
    Export(&bOk);
    TextureImageList.SetSize(0);
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(m_Capture.HasLine("Error exporting textures to NKF file", NK_MSG_ERROR));
}

TEST_F(NKFExportSteps, ModeShapeAnimationsTakeTheFirstFrameOnly)
{
    NKGeometry *pGeo = QuadGeometry(1, true);
    Frames({pGeo, pGeo, pGeo});
    for (int f = 0; f < 3; f++) SetScalar(f, NodeScalar(1, "mode"));
    g_pModel->iModePositiveSteps = 2;
    EXPECT_EQ(OfType(Export(), NKF_RESULTS).size(), 1u);
}

TEST_F(NKFExportSteps, BlocksBeyondTheFormatFailTheirStep)
{
    NKGeometry *pGeo = QuadGeometry(1, true);
    pGeo->pParts[0].iNumNodes = 200000000;  // 2.4 GB of coordinates
    Frames({pGeo});
    bool bOk = true;
    Export(&bOk);
    pGeo->pParts[0].iNumNodes = 4;
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(m_Capture.HasLine("Error writing nodes to NKF file", NK_MSG_ERROR));
    EXPECT_TRUE(m_Capture.HasLine("Error exporting geometry to NKF file", NK_MSG_ERROR));
    EXPECT_FALSE(std::filesystem::exists(m_Dir + "/t.nkf"));
}

}  // namespace
