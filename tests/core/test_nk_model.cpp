// tests/core/test_nk_model.cpp -- the model records: initial values,
// reference counting and release, NKMinMax, part attributes and used nodes.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_part_palette.h"
#include "tests/core/nk_model_test_helpers.h"

namespace {

void ExpectColor(const float *pfColor, float r, float g, float b)
{
    EXPECT_FLOAT_EQ(pfColor[0], r);
    EXPECT_FLOAT_EQ(pfColor[1], g);
    EXPECT_FLOAT_EQ(pfColor[2], b);
}

// ---- Initial values ----------------------------------------------------------

TEST(ModelRecordInit, FreshFrameHasUndefinedTimeAndNoStepIndex)
{
    NKFrame frame;
    frame.fTime = 1.0f;
    frame.iStepIndex = 7;
    NKInitFrame(&frame);
    EXPECT_EQ(frame.fTime, NK_UNDEFINED_VALUE);
    EXPECT_EQ(frame.iStepIndex, -1);
    EXPECT_EQ(frame.pGeometry, nullptr);
    EXPECT_EQ(frame.iHighlightPart, -1);
    EXPECT_TRUE(frame.szDescription.IsEmpty());
}

TEST(ModelRecordInit, PartStartsInvisibleWithUnsetMaterial)
{
    NKPart part;
    part.iDrawStyle = NK_DRAW_LINES;
    NKInitPart(&part);
    EXPECT_EQ(part.iTexturePlane, NK_TEXTURE_PLANE_AUTO);
    EXPECT_EQ(part.envmode, 1);
    EXPECT_EQ(part.bTextureTile, 1);
    EXPECT_EQ(part.bVisible, 0);
    EXPECT_EQ(part.iDrawStyle, NK_DRAW_SURFACE);
    EXPECT_FLOAT_EQ(part.fSphereSize, 0.01f);
    EXPECT_FLOAT_EQ(part.fCylinderSize, 0.01f);
    ExpectColor(part.material.ambient, -1, -1, -1);
    ExpectColor(part.material.emission, -1, -1, -1);
    EXPECT_EQ(part.material.alpha, 0);
    EXPECT_EQ(part.iElementsBlockID, 0);
    EXPECT_EQ(part.contours.pLines, nullptr);
}

TEST(ModelRecordInit, PickInfoAndViewPointStartEmpty)
{
    NKPickInfo pick;
    pick.iPart = 3;
    NKInitPickInfo(&pick);
    EXPECT_EQ(pick.iFrame, -1);
    EXPECT_EQ(pick.pGeometry, nullptr);
    EXPECT_EQ(pick.iPart, -1);
    EXPECT_EQ(pick.iNode, -1);
    EXPECT_EQ(pick.fPoint[2], 0.0f);
    EXPECT_EQ(pick.pszInfo, nullptr);
    NKViewPoint vp;
    vp.iNumRef = 4;
    vp.eye[1] = 2;
    NKInitViewPoint(&vp);
    EXPECT_EQ(vp.iNumRef, 0);
    EXPECT_EQ(vp.eye[1], 0.0f);
}

TEST(ModelRecordInit, ModelStartsWithDefaultPartAndRanges)
{
    NKModel *pModel = NKCreateModel();
    ASSERT_NE(pModel, nullptr);
    pModel->iAnimationSkipBy = 4;
    pModel->valueRanges[2].from = 7.0f;
    NKInitModel(pModel);
    EXPECT_EQ(pModel->iAnimationSkipBy, 1);
    EXPECT_EQ(pModel->iNumInterstateFrames, -1);
    EXPECT_EQ(pModel->iModeNegativeSteps, -1);
    EXPECT_FLOAT_EQ(pModel->fGeoScale, 1e12f);
    EXPECT_FLOAT_EQ(pModel->fAxisScale[2], 1.0f);
    EXPECT_FLOAT_EQ(pModel->valueRanges[0].from, 0.0f);
    EXPECT_FLOAT_EQ(pModel->valueRanges[2].from, 1.0f);
    EXPECT_FLOAT_EQ(pModel->valueRanges[3].to, 1.0f);
    EXPECT_FLOAT_EQ(pModel->valueRanges[5].fLengthScale, 1.0f);
    EXPECT_FLOAT_EQ(pModel->valueRanges[5].minMax.min, 1e12f);
    const NKPart &def = pModel->defaultPart;
    ExpectColor(def.material.ambient, 1, 0, 0);
    ExpectColor(def.material.diffuse, 1, 0, 0);
    ExpectColor(def.material.specular, -1, -1, -1);
    EXPECT_EQ(def.material.alpha, 179);
    EXPECT_EQ(def.material.shininess, 10);
    EXPECT_EQ(def.bVisible, 1);
    NKDestroyModel(pModel);
}

TEST(ModelRecordInit, CreateGeometryOfZeroOrNegativePartsHasNoParts)
{
    NKGeometry *pNone = NKCreateGeometry(-1);
    NKGeometry *pZero = NKCreateGeometry(0);
    ASSERT_NE(pNone, nullptr);
    ASSERT_NE(pZero, nullptr);
    EXPECT_EQ(pNone->iNumParts, 0);
    EXPECT_EQ(pZero->iNumParts, 0);
    EXPECT_EQ(pZero->iProcessed, -1);
    NKReleaseGeometry(pNone);
    NKReleaseGeometry(pZero);
}

TEST(ModelRecordInit, CreateGeometryInitialisesEveryPart)
{
    NKGeometry *pGeo = NKCreateGeometry(3);
    ASSERT_NE(pGeo, nullptr);
    EXPECT_EQ(pGeo->iNumParts, 3);
    EXPECT_EQ(pGeo->iNumRef, 0);
    for (int i = 0; i < 3; i++) EXPECT_EQ(pGeo->pParts[i].iTexturePlane, NK_TEXTURE_PLANE_AUTO);
    NKReleaseGeometry(pGeo);
}

TEST(ModelRecordInit, LongTextsAreKeptWhole)
{
    std::string longName(1000, 'x');
    NKGeometry *pGeo = NKCreateGeometry(1);
    pGeo->szFileName = longName.c_str();
    pGeo->pParts[0].szName = longName.c_str();
    NKGeometry *pDst = NKCreateGeometry(1);
    ASSERT_TRUE(NKCopyPartAttributes(pGeo, pDst));
    EXPECT_EQ(pGeo->szFileName.GetLength(), 1000);
    EXPECT_EQ(pDst->pParts[0].szName.GetLength(), 1000);
    NKReleaseGeometry(pGeo);
    NKReleaseGeometry(pDst);
}

// ---- Reference counting ---------------------------------------------------------

TEST(ModelReferenceCount, GeometryHeldByThreeFramesLivesUntilThirdRelease)
{
    NKGeometry *pGeo = NKTestMakeGeometry(2);
    NKFrame frames[3];
    for (NKFrame &frame : frames) NKTestFillFrame(&frame, pGeo, 1);
    ASSERT_EQ(pGeo->iNumRef, 3);
    NKReleaseFrame(&frames[0]);
    EXPECT_EQ(pGeo->iNumRef, 2);
    NKReleaseFrame(&frames[1]);
    EXPECT_EQ(pGeo->iNumRef, 1);
    EXPECT_EQ(pGeo->pParts[1].iNumNodes, 4);  // still alive
    NKReleaseFrame(&frames[2]);
    EXPECT_FREED(pGeo);
}

TEST(ModelReferenceCount, RecordWithCountZeroOrOneIsFreedByOneRelease)
{
    NKScalarResult *pScalar = NKCreateScalarResult();
    pScalar->iNumParts = 2;
    pScalar->pNodeResults =
        static_cast<NKScalarPartEntry *>(NKCalloc(2, sizeof(NKScalarPartEntry)));
    pScalar->pNodeResults[1].iCount = 3;
    pScalar->pNodeResults[1].pNodeValues = static_cast<float *>(NKCalloc(3, sizeof(float)));
    NKReleaseScalarResult(pScalar);  // count 0: no frame took it
    EXPECT_FREED(pScalar);

    NKVectorResult *pVector = NKCreateVectorResult();
    pVector->iNumRef = 1;
    NKReleaseVectorResult(pVector);
    EXPECT_FREED(pVector);

    NKViewPoint *pView = NKCreateViewPoint();
    NKReleaseViewPoint(pView);
    EXPECT_FREED(pView);
}

TEST(ModelReferenceCount, ReleaseOfSharedRecordOnlyDecrements)
{
    NKVectorResult *pVector = NKCreateVectorResult();
    pVector->iNumRef = 3;
    NKReleaseVectorResult(pVector);
    EXPECT_EQ(pVector->iNumRef, 2);
    NKReleaseVectorResult(pVector);
    NKReleaseVectorResult(pVector);
    EXPECT_FREED(pVector);
}

TEST(ModelReferenceCount, SeparateVectorFieldIsFreedBelowOneHolder)
{
    NKSeparateVectorField *pField = NKCreateSeparateVectorField();
    pField->iNumParts = 1;
    pField->pParts = static_cast<NKSeparateVectorPart *>(NKCalloc(1, sizeof(NKSeparateVectorPart)));
    pField->pParts[0].iCount = 2;
    pField->pParts[0].pItems =
        static_cast<NKSeparateVector *>(NKCalloc(2, sizeof(NKSeparateVector)));
    pField->iNumRef = 2;
    NKReleaseSeparateVectorField(pField);
    EXPECT_EQ(pField->iNumRef, 1);
    NKReleaseSeparateVectorField(pField);
    EXPECT_FREED(pField);
}

TEST(ModelReferenceCount, ReleasingAFrameTwiceDoesNoHarm)
{
    NKGeometry *pGeo = NKTestMakeGeometry(1);
    NKGeometry *pKeep = pGeo;
    pKeep->iNumRef++;  // a second holder outside the frame
    NKFrame frame;
    NKTestFillFrame(&frame, pGeo, 2);
    frame.pScalar = NKCreateScalarResult();
    frame.pScalar->iNumRef = 1;
    frame.pExtraVector[1] = NKCreateVectorResult();
    frame.pExtraVector[1]->iNumRef = 1;
    NKReleaseFrame(&frame);
    EXPECT_EQ(frame.pGeometry, nullptr);
    EXPECT_EQ(frame.pContours, nullptr);
    EXPECT_EQ(pKeep->iNumRef, 1);
    NKReleaseFrame(&frame);
    EXPECT_EQ(pKeep->iNumRef, 1);
    NKReleaseGeometry(pKeep);
}

// The part's primitive list is opaque to the model core: freeing the part
// hands it to the release slot once and clears the pointer.
Primitive3DList *sg_pReleasedPrimitives = nullptr;
int sg_iPrimitiveReleases = 0;
void RecordPrimitiveRelease(Primitive3DList *pList)
{
    sg_pReleasedPrimitives = pList;
    sg_iPrimitiveReleases++;
}

TEST(ModelReferenceCount, FreePartIsSafeTwiceAndDestroysOwnedObjects)
{
    NKModelHooks hooks = NKGetModelHooks();
    hooks.pfnReleasePrimitives = RecordPrimitiveRelease;
    NKModelHooks saved = NKSetModelHooks(hooks);
    int iMarker = 0;
    Primitive3DList *pList = reinterpret_cast<Primitive3DList *>(&iMarker);
    sg_iPrimitiveReleases = 0;
    NKPart part;
    part.pNodeType = static_cast<uint8_t *>(NKCalloc(4, 1));
    part.pNodeIDs = static_cast<int *>(NKCalloc(4, sizeof(int)));
    part.pTriangleStrips = new NKTriangleStrips();
    part.pTriangleStrips->iNumStrips = 1;
    part.pTriangleStrips->pStripLengths = static_cast<int *>(NKCalloc(1, sizeof(int)));
    part.pStringList = new NKStringList(2);
    part.pStringList->Set(1, "polygon text");
    part.pPrimitives = pList;
    part.contours.iNumLines = 1;
    part.contours.pLines = static_cast<NKContourLine *>(NKCalloc(1, sizeof(NKContourLine)));
    NKFreePart(&part);
    EXPECT_EQ(part.pNodeType, nullptr);
    EXPECT_EQ(part.pTriangleStrips, nullptr);
    EXPECT_EQ(part.pStringList, nullptr);
    EXPECT_EQ(part.pPrimitives, nullptr);
    NKFreePart(&part);
    EXPECT_EQ(sg_pReleasedPrimitives, pList);
    EXPECT_EQ(sg_iPrimitiveReleases, 1);
    NKSetModelHooks(saved);
}

TEST(ModelReferenceCount, FreeModelFramesEmptiesTheModel)
{
    NKModel *pModel = NKCreateModel();
    NKModel *pSaved = g_pModel;
    g_pModel = pModel;
    NKGeometry *pGeo = NKTestMakeGeometry(1);
    ASSERT_TRUE(NKSetFrameCount(2, false));
    for (int i = 0; i < 2; i++) NKTestFillFrame(&pModel->pFrames[i], pGeo, i);
    pModel->iCurrentFrame = 1;
    pModel->iAnimationSkipBy = 2;
    pModel->fGeoScale = 3.0f;
    NKFreeModelFrames(pModel);
    EXPECT_EQ(pModel->pFrames, nullptr);
    EXPECT_EQ(pModel->iNumFrames, 0);
    EXPECT_EQ(pModel->iCurrentFrame, 0);
    EXPECT_EQ(pModel->iAnimationSkipBy, 1);
    EXPECT_FLOAT_EQ(pModel->fGeoScale, 1e12f);
    EXPECT_FLOAT_EQ(pModel->fBoundingBox[0], 1e12f);
    EXPECT_FLOAT_EQ(pModel->fBoundingBox[5], -1e12f);
    EXPECT_FREED(pGeo);
    g_pModel = pSaved;
    NKDestroyModel(pModel);
}

// ---- NKMinMax ----------------------------------------------------------------

TEST(ModelMinMax, FirstValueAfterResetIsBothMinimumAndMaximum)
{
    NKMinMax mm;
    mm.Update(5.0f, 1, 2, 3);
    mm.Reset();
    mm.Update(4.0f, 0, 7, 2);
    EXPECT_FLOAT_EQ(mm.min, 4.0f);
    EXPECT_FLOAT_EQ(mm.max, 4.0f);
    EXPECT_EQ(mm.iMinNode, 7);
    EXPECT_EQ(mm.iMaxFrame, 2);
}

TEST(ModelMinMax, EqualValueChangesNothing)
{
    NKMinMax mm;
    mm.Update(1.0f, 0, 0, 0);
    mm.Update(1.0f, 5, 5, 5);
    EXPECT_EQ(mm.iMinPart, 0);
    EXPECT_EQ(mm.iMaxNode, 0);
}

TEST(ModelMinMax, NegativeFrameKeepsTheFrameIndices)
{
    NKMinMax mm;
    mm.Update(1.0f, 0, 0, 4);
    mm.Update(2.0f, 0, 1, -1);
    EXPECT_EQ(mm.iMaxFrame, 4);
    EXPECT_EQ(mm.iMaxNode, 1);
}

TEST(ModelMinMax, MergeTakesFrameFromArgumentOrFromOther)
{
    NKMinMax other;
    other.Update(-1.0f, 1, 2, 6);
    other.Update(9.0f, 3, 4, 8);
    NKMinMax keep;
    keep.Merge(other, -1);
    EXPECT_EQ(keep.iMinFrame, 6);
    EXPECT_EQ(keep.iMaxFrame, 8);
    EXPECT_EQ(keep.iMaxPart, 3);
    NKMinMax set;
    set.Merge(other, 2);
    EXPECT_EQ(set.iMinFrame, 2);
    EXPECT_EQ(set.iMaxFrame, 2);
    EXPECT_FLOAT_EQ(set.min, -1.0f);
}

// ---- Part attributes ------------------------------------------------------------

class PartAttributes : public NKModelTest {};

TEST_F(PartAttributes, DefaultsGivePaletteColourAndDefaultPartValues)
{
    NKGeometry *pGeo = NKCreateGeometry(17);
    ASSERT_TRUE(NKSetDefaultPartAttributes(pGeo, 0, -1));
    for (int i : {0, 16}) {
        const NKPart &part = pGeo->pParts[i];
        ExpectColor(part.material.ambient, 76 / 255.0f, 0, 10 / 255.0f);
        ExpectColor(part.material.diffuse, 76 / 255.0f, 0, 10 / 255.0f);
        ExpectColor(part.material.emission, 0.3f, 0.3f, 0.3f);
        ExpectColor(part.material.specular, 0.4f, 0.4f, 0.4f);
        EXPECT_EQ(part.material.alpha, 179);
        EXPECT_EQ(part.material.shininess, 10);
        EXPECT_EQ(part.bOutlineMesh, 1);
        EXPECT_EQ(part.bOutlineMeshDefaultColor, 0);
        EXPECT_EQ(part.bVisible, 1);
    }
    ExpectColor(pGeo->pParts[1].material.ambient, 25 / 255.0f, 63 / 255.0f, 84 / 255.0f);
    NKReleaseGeometry(pGeo);
}

TEST_F(PartAttributes, ColourAlreadySetIsKept)
{
    NKGeometry *pGeo = NKCreateGeometry(1);
    float afBlue[3] = {0, 0, 1};
    std::memcpy(pGeo->pParts[0].material.diffuse, afBlue, sizeof(afBlue));
    pGeo->pParts[0].material.emission[0] = -0.4f;  // counts as set
    ASSERT_TRUE(NKSetDefaultPartAttributes(pGeo, 0, 0));
    ExpectColor(pGeo->pParts[0].material.diffuse, 0, 0, 1);
    EXPECT_FLOAT_EQ(pGeo->pParts[0].material.emission[0], -0.4f);
    ExpectColor(pGeo->pParts[0].material.ambient, 76 / 255.0f, 0, 10 / 255.0f);
    NKReleaseGeometry(pGeo);
}

TEST_F(PartAttributes, DefaultPartFlagsAreHandedOn)
{
    g_pModel->defaultPart.iDrawStyle = NK_DRAW_OUTLINE;
    g_pModel->defaultPart.bSmooth = 1;
    g_pModel->defaultPart.bCulled = 1;
    g_pModel->defaultPart.bPointsAsSpheres = 1;  // not among the ten
    NKGeometry *pGeo = NKCreateGeometry(2);
    ASSERT_TRUE(NKSetDefaultPartAttributes(pGeo, 1, 5));
    EXPECT_EQ(pGeo->pParts[1].iDrawStyle, NK_DRAW_OUTLINE);
    EXPECT_EQ(pGeo->pParts[1].bSmooth, 1);
    EXPECT_EQ(pGeo->pParts[1].bCulled, 1);
    EXPECT_EQ(pGeo->pParts[1].bPointsAsSpheres, 0);
    EXPECT_EQ(pGeo->pParts[0].iDrawStyle, NK_DRAW_SURFACE);  // outside the range
    NKReleaseGeometry(pGeo);
}

TEST_F(PartAttributes, EmptyRangeDoesNothingAndMissingPartsFail)
{
    NKGeometry *pGeo = NKCreateGeometry(2);
    EXPECT_TRUE(NKSetDefaultPartAttributes(pGeo, 1, 0));
    EXPECT_EQ(pGeo->pParts[0].bOutlineMesh, 0);
    NKGeometry *pEmpty = NKCreateGeometry(0);
    EXPECT_FALSE(NKSetDefaultPartAttributes(pEmpty, 0, 0));
    EXPECT_FALSE(NKSetDefaultPartAttributes(nullptr, 0, 0));
    NKReleaseGeometry(pGeo);
    NKReleaseGeometry(pEmpty);
}

TEST_F(PartAttributes, ReplacedPaletteIsUsed)
{
    uint8_t saved[3];
    std::memcpy(saved, NKPartPalette[0], 3);
    NKPartPalette[0][0] = 255;
    NKPartPalette[0][1] = 255;
    NKPartPalette[0][2] = 0;
    NKGeometry *pGeo = NKCreateGeometry(1);
    NKSetDefaultPartAttributes(pGeo, 0, 0);
    std::memcpy(NKPartPalette[0], saved, 3);
    ExpectColor(pGeo->pParts[0].material.ambient, 1, 1, 0);
    NKReleaseGeometry(pGeo);
}

TEST_F(PartAttributes, CopyKeepsSetColoursAndDefaultsExtraParts)
{
    NKGeometry *pSrc = NKCreateGeometry(1);
    NKGeometry *pDst = NKCreateGeometry(3);
    NKPart &src = pSrc->pParts[0];
    src.szName = "Wing";
    src.iDrawStyle = NK_DRAW_POINTS;
    src.bMesh = 1;
    src.bLockAttributes = 1;
    src.fSphereSize = 0.5f;
    src.material.alpha = 20;
    float afRed[3] = {1, 0, 0}, afGreen[3] = {0, 1, 0};
    std::memcpy(src.material.ambient, afRed, sizeof(afRed));
    std::memcpy(src.material.diffuse, afRed, sizeof(afRed));
    std::memcpy(pDst->pParts[0].material.ambient, afGreen, sizeof(afGreen));
    ASSERT_TRUE(NKCopyPartAttributes(pSrc, pDst));
    const NKPart &dst = pDst->pParts[0];
    EXPECT_STREQ(dst.szName.GetText(), "Wing");
    EXPECT_EQ(dst.iDrawStyle, NK_DRAW_POINTS);
    EXPECT_EQ(dst.bMesh, 1);
    EXPECT_EQ(dst.bLockAttributes, 1);
    EXPECT_FLOAT_EQ(dst.fSphereSize, 0.5f);
    EXPECT_EQ(dst.material.alpha, 20);
    ExpectColor(dst.material.ambient, 0, 1, 0);  // was set: kept
    ExpectColor(dst.material.diffuse, 1, 0, 0);  // was unset: copied
    ExpectColor(pDst->pParts[2].material.ambient, 15 / 255.0f, 50 / 255.0f, 27 / 255.0f);
    EXPECT_EQ(pDst->pParts[2].bOutlineMesh, 1);
    EXPECT_FALSE(NKCopyPartAttributes(pSrc, nullptr));
    NKReleaseGeometry(pSrc);
    NKReleaseGeometry(pDst);
}

// ---- Used nodes -------------------------------------------------------------------

TEST(ModelFastNodes, MarksNodesThatPolygonsUse)
{
    NKGeometry *pGeo = NKTestMakeGeometry(2);
    NKPart &part = pGeo->pParts[1];
    part.iNumNodes = 6;     // nodes 4 and 5 are used by no polygon
    part.pConnects[5] = 9;  // a damaged reference is passed over
    NKPart &empty = pGeo->pParts[0];
    empty.iNumNodes = 0;
    ASSERT_TRUE(NKCalculateFastNodes(pGeo));
    ASSERT_NE(part.pNodeType, nullptr);
    const uint8_t expected[6] = {1, 1, 1, 0, 0, 0};
    EXPECT_EQ(std::memcmp(part.pNodeType, expected, 6), 0);
    EXPECT_EQ(empty.pNodeType, nullptr);
    ASSERT_TRUE(NKCalculateFastNodes(pGeo));  // the earlier array is freed
    EXPECT_FALSE(NKCalculateFastNodes(nullptr));
    NKReleaseGeometry(pGeo);
}

// ---- Owned helper objects ----------------------------------------------------------

TEST(ModelOwnedObjects, TriangleStripsAndStringList)
{
    EXPECT_FALSE(NKTriangleStrips::HasStrips(nullptr));
    NKTriangleStrips strips;
    EXPECT_FALSE(NKTriangleStrips::HasStrips(&strips));
    strips.iNumStrips = 2;
    strips.pNodeIndices = static_cast<int *>(NKCalloc(4, sizeof(int)));
    EXPECT_TRUE(NKTriangleStrips::HasStrips(&strips));
    strips.Free();
    EXPECT_EQ(strips.iNumStrips, 0);
    EXPECT_EQ(strips.pNodeIndices, nullptr);

    NKStringList list(2);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.Get(0), nullptr);
    EXPECT_TRUE(list.Set(0, "first"));
    EXPECT_TRUE(list.Set(0, "second"));
    EXPECT_STREQ(list.Get(0), "second");
    EXPECT_FALSE(list.Set(2, "outside"));
    EXPECT_EQ(list.Get(-1), nullptr);
    NKStringList none(0);
    EXPECT_EQ(none.GetCount(), 0);
}

TEST(ModelOwnedObjects, ResizedPartArrayKeepsOwnedArrays)
{
    NKGeometry *pGeo = NKTestMakeGeometry(2);
    pGeo->pParts[1].szName = "second";
    float *pCoords = pGeo->pParts[1].pNodeCoords;
    ASSERT_TRUE(NKResizePartArray(&pGeo->pParts, 2, 4));
    pGeo->iNumParts = 4;
    EXPECT_EQ(pGeo->pParts[1].pNodeCoords, pCoords);
    EXPECT_STREQ(pGeo->pParts[1].szName.GetText(), "second");
    EXPECT_EQ(pGeo->pParts[3].iTexturePlane, NK_TEXTURE_PLANE_AUTO);
    ASSERT_TRUE(NKResizePartArray(&pGeo->pParts, 4, 1));  // frees parts 1..3
    pGeo->iNumParts = 1;
    EXPECT_EQ(pGeo->pParts[0].iNumNodes, 4);
    NKReleaseGeometry(pGeo);
}

}  // namespace
