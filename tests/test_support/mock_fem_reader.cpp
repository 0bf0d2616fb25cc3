// tests/test_support/mock_fem_reader.cpp -- the in-memory reader plug-in of
// mock_fem_reader.h and its block builders.
#include "tests/test_support/mock_fem_reader.h"

#include <algorithm>
#include <cstring>

namespace {

NKTestMockModel *sg_apModels[NK_NUM_FEM_INTERFACES] = {};

template <typename T>
int Hand(const std::vector<T> &from, std::vector<T> *pTo)
{
    *pTo = from;
    return 1;
}

template <typename T>
int HandByStep(const std::map<std::pair<int, int>, std::vector<T>> &table, int iResult, int iStep,
               std::vector<T> *pTo)
{
    auto it = table.find({iResult, iStep});
    if (it == table.end()) it = table.find({iResult, -1});
    if (it == table.end()) return 0;
    *pTo = it->second;
    return 1;
}

class MockReader : public FEReader {
public:
    explicit MockReader(NKTestMockModel *pModel) : m(*pModel) {}

    int CanRead(const NKString &fileName) override
    {
        const char *psz = fileName.GetText();
        size_t n = std::strlen(psz), k = m.pszExtension ? std::strlen(m.pszExtension) : 0;
        return m.pszExtension != nullptr && n >= k && std::strcmp(psz + n - k, m.pszExtension) == 0;
    }
    int GetInfo(InterfaceInfo *pInfo) override
    {
        *pInfo = m.info;
        return 1;
    }
    int Open(const NKString &) override { return m.iOpenResult; }
    int Close() override { return ++m.iNumCloses > 0 ? 1 : 0; }
    int GetModelInfo(FEModelInfo *pInfo) override
    {
        *pInfo = m.modelInfo;
        return 1;
    }
    int GetCapabilities(uint8_t pbFlags[6]) override
    {
        std::copy(m.abCaps, m.abCaps + 6, pbFlags);
        return 1;
    }
    int GetNodes(int, std::vector<FENodeBlock> *p) override { return Hand(m.nodes, p); }
    int GetElements(int, std::vector<FEElementBlock> *p) override { return Hand(m.elements, p); }
    int GetMaterialNames(int, std::vector<FENamedId> *p) override
    {
        return Hand(m.materialNames, p);
    }
    int GetPartNames(int, std::vector<FENamedId> *p) override { return Hand(m.partNames, p); }
    int GetNumParts(int *piCount) override
    {
        *piCount = m.iNumParts;
        return 1;
    }
    int Get1DResult(int r, int s, std::vector<FEValueBlock> *p) override
    {
        return HandByStep(m.values1D, r, s, p);
    }
    int Get3DResult(int r, int s, std::vector<FEValueBlock> *p) override
    {
        return HandByStep(m.values3D, r, s, p);
    }
    int Get1DResultMapping(int r, int s, std::vector<FEMappingBlock> *p) override
    {
        return HandByStep(m.maps1D, r, s, p);
    }
    int Get3DResultMapping(int r, int s, std::vector<FEMappingBlock> *p) override
    {
        return HandByStep(m.maps3D, r, s, p);
    }
    int GetSteps(std::vector<FEStep> *p) override { return Hand(m.steps, p); }
    int GetStepPartStates(int iStep, std::vector<std::vector<int>> *p) override
    {
        auto it = m.hiddenElements.find(iStep);
        if (it == m.hiddenElements.end()) return 0;
        *p = it->second;
        return 1;
    }
    int GetScalarResultInfos(std::vector<FEResultInfo> *p) override { return Hand(m.scalars, p); }
    int GetVectorResultInfos(std::vector<FEResultInfo> *p) override { return Hand(m.vectors, p); }
    int GeometryDiffers(int, int) override { return m.bGeometryDiffers ? 1 : 0; }

private:
    NKTestMockModel &m;
};

template <int I>
FEReader *MakeMock(void)
{
    return sg_apModels[I] != nullptr ? new MockReader(sg_apModels[I]) : nullptr;
}

template <int... I>
void Fill(NKFEMReaderFactory *pTable, std::integer_sequence<int, I...>)
{
    ((pTable[I] = MakeMock<I>), ...);
}

NKFEMReaderFactory Factory(int iIndex)
{
    static NKFEMReaderFactory s_apfn[NK_NUM_FEM_INTERFACES];
    Fill(s_apfn, std::make_integer_sequence<int, NK_NUM_FEM_INTERFACES>());
    return s_apfn[iIndex];
}

}  // namespace

void NKTestInstallMock(int iIndex, NKTestMockModel *pModel)
{
    sg_apModels[iIndex] = pModel;
    NKSetFEMReaderFactory(iIndex, Factory(iIndex));
    NKInitFEMInterfaceTable();
}

void NKTestRemoveMocks(void)
{
    for (int i = 0; i < NK_NUM_FEM_INTERFACES; i++) {
        sg_apModels[i] = nullptr;
        NKSetFEMReaderFactory(i, nullptr);
    }
    NKInitFEMInterfaceTable();
}

FENodeBlock NKTestNodeBlock(int n, const std::vector<int> &ids)
{
    FENodeBlock block;
    block.iNumNodes = n;
    block.ids = ids;
    for (int i = 0; i < n; i++) block.coords.insert(block.coords.end(), {(float)i, 0.0f, 0.0f});
    return block;
}

FEElementBlock NKTestElementBlock(int iType, int iNodesPerElement, const std::vector<int> &connects)
{
    FEElementBlock block;
    block.iType = iType;
    block.connectivity = connects;
    block.iConnectLength = (int)connects.size();
    block.iNumElements = (int)connects.size() / iNodesPerElement;
    for (int e = 0; e < block.iNumElements; e++) block.starts.push_back(e * iNodesPerElement);
    return block;
}

void NKTestTwoHexahedra(NKTestMockModel *pModel)
{
    FENodeBlock nodes;
    nodes.iNumNodes = 12;
    for (int layer = 0; layer < 3; layer++)
        for (int k = 0; k < 4; k++) {
            nodes.coords.insert(nodes.coords.end(),
                                {(float)(k == 1 || k == 2), (float)(k >= 2), (float)layer});
            nodes.ids.push_back(101 + layer * 4 + k);
        }
    pModel->nodes = {nodes};
    pModel->elements = {NKTestElementBlock(
        8, 8, {101, 102, 103, 104, 105, 106, 107, 108, 105, 106, 107, 108, 109, 110, 111, 112})};
    pModel->abCaps[2] = 1;
    pModel->steps = {{1, "Step 1", 0.5f, 1}};
}
