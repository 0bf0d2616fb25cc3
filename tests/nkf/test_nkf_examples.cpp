// tests/nkf/test_nkf_examples.cpp -- the example models in examples/: the
// committed files equal what the generator writes, and both parse strictly
// (word counts and block references checked), load every block, and hold
// the meshes, parts and result steps they were built with.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/nk_element_types.h"
#include "core/nk_mesh.h"
#include "nkf/nkf_elements.h"
#include "nkf/nkf_faceset.h"
#include "nkf/nkf_format.h"
#include "nkf/nkf_nodes.h"
#include "nkf/nkf_parser.h"
#include "nkf/nkf_results.h"
#include "nkf/nkf_step_lists.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nk_test_records.h"
#include "tests/test_support/nkf_example_models.h"
#include "tests/test_support/test_files.h"

namespace {

// examples/ of the source tree, found from this file's own path.
// A parser over one example file, parsed with every reference resolved.
struct ParsedExample {
    std::unique_ptr<NKFParser> parser;
    bool bParsed = false;
};

ParsedExample ParseStrictly(const char *pszName)
{
    ParsedExample e;
    e.parser = std::make_unique<NKFParser>(NKString(NKTestExamplePath(pszName).c_str()));
    e.parser->SetDeferReferences(false);
    e.bParsed = e.parser->Parse();
    return e;
}

const int kSteps = NKF_EXAMPLE_STEPS;

// Every block loads; the step lists each list one *RESULTS block per step
// and that block exists.
void ExpectEverythingLoads(NKFParser &parser)
{
    for (int n = 0; parser.GetBlockByIndex(n) != nullptr; n++) {
        NKFBlock *pBlock = parser.GetBlockByIndex(n);
        EXPECT_TRUE(pBlock->LoadData())
            << pBlock->GetKeyword().GetText() << " " << pBlock->GetBlockID();
    }
    for (int type : {NKF_QUOLINSCALAR, NKF_QUOLINVECTOR}) {
        ASSERT_EQ(2, parser.GetNumBlocks(type));
        for (int b = 0; b < 2; b++) {
            auto *pList = static_cast<NKFStepListBlock *>(parser.GetBlock(type, b));
            ASSERT_EQ(kSteps, pList->GetNumSteps());
            for (int s = 0; s < kSteps; s++) {
                EXPECT_EQ(s + 1, pList->GetStepNumber(s));
                EXPECT_EQ(1, pList->GetNumResults(s));
                EXPECT_NE(nullptr, parser.FindBlock(NKF_RESULTS, pList->GetResultID(s, 0)));
            }
        }
    }
}

NKFResultBlock *Results(NKFParser &parser, int iID)
{
    return static_cast<NKFResultBlock *>(parser.FindBlock(NKF_RESULTS, iID));
}

}  // namespace

TEST(NKFExamples, CommittedFilesEqualTheGeneratorOutput)
{
    EXPECT_EQ(NKFBeamExampleText(), NKTestReadFile(NKTestExamplePath("beam.nkf")));
    EXPECT_EQ(NKFPlateExampleText(), NKTestReadFile(NKTestExamplePath("plate.nkf")));
}

TEST(NKFExamples, GeneratorWritesBothFiles)
{
    std::filesystem::path dir = NKTestMakeTempDir("quolin_nkf_examples_");
    ASSERT_FALSE(dir.empty());
    ASSERT_TRUE(NKFWriteExampleModels(dir.string()));
    EXPECT_EQ(NKFBeamExampleText(), NKTestReadFile((dir / "beam.nkf").string()));
    EXPECT_EQ(NKFPlateExampleText(), NKTestReadFile((dir / "plate.nkf").string()));
    EXPECT_TRUE(NKTestRemoveDir(dir.string()));
    EXPECT_FALSE(NKFWriteExampleModels((dir / "missing" / "folder").string()));
}

TEST(NKFExamples, BeamParsesLoadsAndHoldsItsMesh)
{
    MessageCapture capture;
    ParsedExample e = ParseStrictly("beam.nkf");
    ASSERT_TRUE(e.bParsed) << capture.Text();
    NKFParser &p = *e.parser;
    EXPECT_FALSE(p.IsBinary());
    ExpectEverythingLoads(p);
    EXPECT_EQ("", capture.Text());

    const int nodes = (NKF_BEAM_CELLS_X + 1) * (NKF_BEAM_CELLS_Y + 1) * (NKF_BEAM_CELLS_Z + 1);
    const int hexahedra = NKF_BEAM_CELLS_X * NKF_BEAM_CELLS_Y * NKF_BEAM_CELLS_Z;
    ASSERT_EQ(1, p.GetNumBlocks(NKF_NODES));
    EXPECT_EQ(nodes, p.GetBlock(NKF_NODES, 0)->GetNumItems());
    ASSERT_EQ(1, p.GetNumBlocks(NKF_ELEMENTS));
    auto *pElements = static_cast<Elements *>(p.GetBlock(NKF_ELEMENTS, 0));
    EXPECT_EQ(hexahedra, pElements->GetNumItems());
    ASSERT_EQ(1, pElements->GetNumSections());
    EXPECT_EQ(NK_ELEM_HEXAHEDRON, pElements->GetSectionType(0));
    EXPECT_EQ(hexahedra, pElements->GetElementId(hexahedra - 1));
    EXPECT_EQ(1, p.GetNumBlocks(NKF_QUOLINGEOMETRY));
    EXPECT_EQ(3 * kSteps, p.GetNumBlocks(NKF_RESULTS));

    NKTestFaceSet beam;
    ASSERT_TRUE(pElements->NKCreatePartFromElements(&beam.r, false)) << capture.Text();
    EXPECT_EQ(nodes, beam.r.iNumNodes);
    EXPECT_EQ(6 * hexahedra, beam.r.iNumPolygons);
}

TEST(NKFExamples, BeamResultsBendTheTipByTheLoadFactor)
{
    ParsedExample e = ParseStrictly("beam.nkf");
    ASSERT_TRUE(e.bParsed);
    const int nodes = (NKF_BEAM_CELLS_X + 1) * (NKF_BEAM_CELLS_Y + 1) * (NKF_BEAM_CELLS_Z + 1);
    for (int s = 1; s <= kSteps; s++) {
        NKFResultBlock *pDisp = Results(*e.parser, 20 + s);
        ASSERT_NE(nullptr, pDisp);
        ASSERT_TRUE(pDisp->LoadData());
        EXPECT_EQ(3, pDisp->GetDimension());
        EXPECT_EQ(0, pDisp->GetMapping());
        ASSERT_EQ(nodes, pDisp->GetNumItems());
        // Node 10 is the tip of the lower edge at y = 0, z = 0.
        EXPECT_NEAR(-static_cast<float>(s) / kSteps,
                    pDisp->GetVectorValues()[3 * NKF_BEAM_CELLS_X + 2], 1e-5);
        EXPECT_FLOAT_EQ(0.0f, pDisp->GetVectorValues()[2]);  // clamped end

        NKFResultBlock *pStress = Results(*e.parser, 10 + s);
        ASSERT_NE(nullptr, pStress);
        ASSERT_TRUE(pStress->LoadData());
        EXPECT_EQ(1, pStress->GetMapping());
        EXPECT_TRUE(pStress->HasIDs());
        EXPECT_EQ(NKF_BEAM_CELLS_X * NKF_BEAM_CELLS_Y * NKF_BEAM_CELLS_Z, pStress->GetNumItems());
    }
    auto *pDeformation =
        static_cast<NKFQuolinVectorBlock *>(e.parser->FindBlock(NKF_QUOLINVECTOR, 1));
    ASSERT_NE(nullptr, pDeformation);
    EXPECT_TRUE(pDeformation->IsDeformation());
    EXPECT_STREQ("Displacement", pDeformation->GetName().GetText());
}

TEST(NKFExamples, PlateParsesLoadsAndHoldsItsMeshAndLoadPatch)
{
    MessageCapture capture;
    ParsedExample e = ParseStrictly("plate.nkf");
    ASSERT_TRUE(e.bParsed) << capture.Text();
    NKFParser &p = *e.parser;
    ExpectEverythingLoads(p);
    EXPECT_EQ("", capture.Text());

    const int nodes = (NKF_PLATE_CELLS_X + 1) * (NKF_PLATE_CELLS_Y + 1);
    const int quads = NKF_PLATE_CELLS_X * NKF_PLATE_CELLS_Y;
    ASSERT_EQ(2, p.GetNumBlocks(NKF_NODES));
    EXPECT_EQ(nodes, p.FindBlock(NKF_NODES, 1)->GetNumItems());
    EXPECT_EQ(9, p.FindBlock(NKF_NODES, 2)->GetNumItems());
    auto *pElements = static_cast<Elements *>(p.FindBlock(NKF_ELEMENTS, 1));
    ASSERT_NE(nullptr, pElements);
    EXPECT_EQ(quads, pElements->GetNumItems());
    EXPECT_EQ(NK_ELEM_QUAD, pElements->GetSectionType(0));
    auto *pPatch = static_cast<NKFIndexedFaceSetBlock *>(p.FindBlock(NKF_INDEXEDFACESET, 1));
    ASSERT_NE(nullptr, pPatch);
    EXPECT_EQ(NKF_PLATE_PATCH_POLYGONS, pPatch->GetNumItems());
    EXPECT_EQ(4 * NKF_PLATE_PATCH_POLYGONS, pPatch->GetConnectivityCount());
    EXPECT_EQ(3 * kSteps, p.GetNumBlocks(NKF_RESULTS));

    NKTestFaceSet plate, patch;
    ASSERT_TRUE(pElements->NKCreatePartFromElements(&plate.r, false)) << capture.Text();
    EXPECT_EQ(nodes, plate.r.iNumNodes);
    EXPECT_EQ(quads, plate.r.iNumPolygons);
    ASSERT_TRUE(pPatch->NKCreatePartFromFaceSet(&patch.r, false)) << capture.Text();
    EXPECT_EQ(9, patch.r.iNumNodes);
    EXPECT_EQ(NKF_PLATE_PATCH_POLYGONS, patch.r.iNumPolygons);
}
