// tests/test_support/nkf_test_parse.cpp -- writing and parsing the NKF
// tests' files, and driving every block of one (see nkf_test_parse.h).
#include "tests/test_support/nkf_test_parse.h"

#include "core/nk_memory.h"
#include "core/nk_mesh.h"
#include "nkf/nkf_elements.h"
#include "nkf/nkf_faceset.h"
#include "nkf/nkf_geometry_block.h"

// Parses the file at path; the parser goes to *ppParser when that is given.
static bool ParseFile(const std::string &path, std::unique_ptr<NKFParser> *ppParser, bool bDefer)
{
    std::unique_ptr<NKFParser> pParser(new NKFParser(NKString(path.c_str())));
    pParser->SetDeferReferences(bDefer);
    bool bOk = pParser->Parse();
    if (ppParser != nullptr) *ppParser = std::move(pParser);
    return bOk;
}

bool NKFParseLines(const char *pszName, const std::vector<std::string> &lines,
                   std::unique_ptr<NKFParser> *ppParser, bool bDefer)
{
    return ParseFile(NKFWriteTestFile(pszName, lines), ppParser, bDefer);
}

bool NKFParseBody(const char *pszName, const std::vector<std::string> &lines,
                  std::unique_ptr<NKFParser> *ppParser, bool bDefer)
{
    std::vector<std::string> all = {"*NKF-1.00"};
    all.insert(all.end(), lines.begin(), lines.end());
    return NKFParseLines(pszName, all, ppParser, bDefer);
}

bool NKFParseBytes(const char *pszName, const NKFTestWriter &w,
                   std::unique_ptr<NKFParser> *ppParser, bool bDefer)
{
    return ParseFile(NKFWriteTestFile(pszName, w), ppParser, bDefer);
}

// Builds the parts of the first model steps of a geometry block, with the
// element list and the queries of every part, and frees them.
static void ExerciseGeometry(NKFQuolinGeometryBlock *pGeometry)
{
    for (int iStep = 0; iStep < 6; iStep++) {
        int n = 0;
        NKIndexedFaceSet *pParts = pGeometry->NKReadGeometryParts(&n, iStep);
        for (int p = 0; p < n; p++) {
            NKFElementList list;
            pGeometry->CreatePartElements(&list, iStep, p, pParts[p].piNodeSourceIndex,
                                          pParts[p].iNumNodes);
            NKFFreeElementList(&list);
            pGeometry->GetPartName(p, iStep - 1);
            pGeometry->GetPartNodeBlockId(iStep, p);
            NKFreePolygonMesh(&pParts[p]);
        }
        NKFree(pParts);
        pGeometry->FreePartData(iStep, 0);
    }
}

bool NKFExerciseEveryBlock(const std::string &path, bool bDefer)
{
    NKFParser parser(NKString(path.c_str()));
    parser.SetDeferReferences(bDefer);
    bool bOk = parser.Parse();
    for (int n = 0; parser.GetBlockByIndex(n) != nullptr; n++) {
        NKFBlock *pBlock = parser.GetBlockByIndex(n);
        bOk = pBlock->LoadData() && bOk;
        pBlock->GetNumItems();
        bOk = pBlock->ResolveReferences() && bOk;
        NKIndexedFaceSet fs;
        NKInitPolygonMesh(&fs);
        if (Elements *pElements = dynamic_cast<Elements *>(pBlock)) {
            pElements->NKCreatePartFromElements(&fs, n % 2 == 0);
            NKFElementList list;
            pElements->NKCreateElementList(&list, fs.piNodeSourceIndex, fs.iNumNodes);
            NKFFreeElementList(&list);
            pElements->GetElementId(1);
        } else if (auto *pFaceSet = dynamic_cast<NKFIndexedFaceSetBlock *>(pBlock)) {
            pFaceSet->NKCreatePartFromFaceSet(&fs, n % 2 == 0);
        } else if (auto *pGeometry = dynamic_cast<NKFQuolinGeometryBlock *>(pBlock)) {
            ExerciseGeometry(pGeometry);
        }
        NKFreePolygonMesh(&fs);
        pBlock->FreeData();
        pBlock->LoadData();
    }
    return bOk;
}
