// tests/test_support/mock_fem_reader.h -- a reader plug-in that serves a
// model from memory, for the tests of the reader registry, NKFEMInterface
// and the open commands. Each test fills an NKTestMockModel and installs it
// at a registry index; the reader hands out copies of what the model holds.
#pragma once

#include <map>
#include <utility>
#include <vector>

#include "readers/nk_fem_reader.h"

struct NKTestMockModel {
    InterfaceInfo info;
    const char *pszExtension = nullptr;  // CanRead: names ending in it
    int iOpenResult = 1;
    FEModelInfo modelInfo;
    uint8_t abCaps[6] = {1, 1, 0, 0, 0, 0};
    std::vector<FENodeBlock> nodes;
    std::vector<FEElementBlock> elements;
    std::vector<FENamedId> materialNames;
    std::vector<FENamedId> partNames;
    int iNumParts = 0;
    std::vector<FEStep> steps;
    std::vector<FEResultInfo> scalars;
    std::vector<FEResultInfo> vectors;
    // Values and mappings by (result id, step id); step id -1 serves every
    // step that has no entry of its own.
    std::map<std::pair<int, int>, std::vector<FEValueBlock>> values1D, values3D;
    std::map<std::pair<int, int>, std::vector<FEMappingBlock>> maps1D, maps3D;
    std::map<int, std::vector<std::vector<int>>> hiddenElements;  // by step id
    bool bGeometryDiffers = true;
    int iNumCloses = 0;
};

// Installs the model at a registry index (the model must outlive it) and
// fills the interface table again.
void NKTestInstallMock(int iIndex, NKTestMockModel *pModel);
// Empties every factory slot and the interface table.
void NKTestRemoveMocks(void);

// Blocks for the tests: a node block of n nodes on a line (x = i) with the
// given ids (none when empty), and an element block of one type over the
// given connectivity with nodes-per-element consecutive entries.
FENodeBlock NKTestNodeBlock(int n, const std::vector<int> &ids);
FEElementBlock NKTestElementBlock(int iType, int iNodesPerElement,
                                  const std::vector<int> &connects);
// Two hexahedra sharing the face of nodes 4-7: 12 nodes (unit cubes along z)
// with ids 101-112, connectivity in node ids.
void NKTestTwoHexahedra(NKTestMockModel *pModel);
