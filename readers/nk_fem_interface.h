// readers/nk_fem_interface.h -- NKFEMInterface, the adapter between one
// reader plug-in (FEReader, nk_fem_reader.h) and the model records.
//
// The dispatcher (nk_data_source.h, through nk_fem_source.h) makes one
// adapter per open of a plug-in kind and forwards every query to it. The
// adapter opens the file through the reader, caches the step list and the
// result descriptions once, fetches node and element blocks per step, splits
// element blocks into parts, converts elements into polygons
// (nk_reader_elements.h) and turns the reader's values into scalar and
// vector results through its mappings. Callers address steps by a 0-based
// index; the reader by the step id of its step list.
//
// Everything the reader hands out is checked before use: block indices,
// connectivity against the node block, element starts and node counts
// against the connectivity, element types, value and mapping counts against
// their arrays. A bad item fails its operation with that operation's
// message. Failures are reported through NKPrintInterfaceError; internal
// debug texts go to NKDiagnostic.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "readers/nk_fem_reader.h"

struct NKGeometry;
struct NKScalarResult;
struct NKVectorResult;
struct NKFrame;
class NKStringList;

// The key a geometry splits its element blocks by.
enum {
    NK_SPLIT_PART = 0,
    NK_SPLIT_MATERIAL = 1,
    NK_SPLIT_TYPE = 2,
    NK_SPLIT_NONE = 3,
    NK_SPLIT_AUTOMATIC = 4
};

// Capability flags of a reader.
enum {
    NK_CAP_SAME_GEOMETRY = 0,
    NK_CAP_NODES_BY_ID = 2,
    NK_CAP_ELEMENTS_BY_ID = 3,
    NK_CAP_MATERIAL_IDS = 4,
    NK_CAP_PART_IDS = 5
};

class NKFEMInterface {
public:
    // Asks the registry for a reader of the id; without one the adapter stays
    // invalid and every open fails.
    explicit NKFEMInterface(int iInterfaceId);
    ~NKFEMInterface();
    NKFEMInterface(const NKFEMInterface &) = delete;
    NKFEMInterface &operator=(const NKFEMInterface &) = delete;

    // Opens the file through the reader: info, open, model info and
    // capabilities. False on the first failure (the adapter closes itself).
    bool Open(const char *pszFileName);
    // Closes the reader (true when it answers > 0) and releases every cache;
    // the reader itself is kept.
    bool Close();
    bool IsValid() const;
    // The reader's name when valid, else "Unknown Interface".
    void GetName(NKString *pName) const;
    int GetInterfaceId() const { return m_iInterfaceId; }

    int GetNumSteps();
    NKStringList *GetStepNames();  // new list owned by the caller; null without steps
    int GetStepId(int iStep);      // -1 outside the list
    float GetStepTime(int iStep);  // -1.0 unless the step's time is valid
    int GetNumScalars();
    NKStringList *GetScalarNames();
    int GetNumVectors();
    NKStringList *GetVectorNames();

    bool SetStep(int iStepId);
    // A new geometry for the step; null on failure and when the geometry of
    // the step is the one built last.
    NKGeometry *GetGeometry(int iStep);
    NKScalarResult *GetScalar(int iResult, int iStep, NKGeometry *pGeo);
    NKVectorResult *GetVector(int iResult, int iStep, NKGeometry *pGeo);
    // Sets the frame's per-part polygon visibility from the reader's hidden
    // elements of the step.
    void UpdateVisibility(int iStep, NKFrame *pFrame);

    // Block caches of the current step; null with "Invalid ... block index."
    // outside the list.
    const FENodeBlock *GetNodes(int iBlock);
    const FEElementBlock *GetElements(int iBlock);
    int GetNumElementBlocks();

    // The result info of a 1-D (3-D) result with its value and mapping
    // blocks for a step; null when the reader delivers nothing usable.
    const FEResultInfo *Get1DResultAndMapping(int iResult, int iStep,
                                              std::vector<FEValueBlock> *pValues,
                                              std::vector<FEMappingBlock> *pMaps);
    const FEResultInfo *Get3DResultAndMapping(int iResult, int iStep,
                                              std::vector<FEValueBlock> *pValues,
                                              std::vector<FEMappingBlock> *pMaps);
    // Places per-node values on the parts' nodes; exactly one of pScalar and
    // pVector is given (1-D values for a scalar, 3-D for a vector).
    bool ApplyNodeResults(NKGeometry *pGeo, const std::vector<FEValueBlock> &values,
                          const std::vector<FEMappingBlock> &maps, NKScalarResult *pScalar,
                          NKVectorResult *pVector);
    // Places per-element values on the parts' elements and averages them
    // onto the nodes.
    bool ApplyElementResults(NKGeometry *pGeo, const std::vector<FEValueBlock> &values,
                             const std::vector<FEMappingBlock> &maps, NKScalarResult *pScalar);
    // One warning naming the file, the result and the step when values of
    // the blocks are NaN or minus infinity (undefined values downstream).
    void WarnNotNumbers(const std::vector<FEValueBlock> &values, const FEResultInfo &info,
                        int iStep) const;

    uint8_t SetVerbose(uint8_t bVerbose);
    uint8_t GetVerbose() const { return m_bVerbose; }
    const uint8_t *GetCapabilities() const { return m_pbCapabilities.get(); }

private:
    struct Run {
        int iKey;
        int iFirst;
        int iLast;
        int iSplitKind;  // the key this block was split by
    };
    struct PartJob;

    void Reset();
    void DropBlocks();
    bool Cap(int i) const { return m_pbCapabilities != nullptr && m_pbCapabilities[i] != 0; }
    bool BeginReaderProgress();
    void EndReaderProgress(bool bStarted);
    bool FetchSteps();
    bool FetchResultInfos(bool bVector);
    bool FetchNodes();
    bool FetchElements();
    NKStringList *ResultNames(const std::vector<FEResultInfo> &infos);
    NKString ResultName(const FEResultInfo &info) const;
    const FEResultInfo *GetResultAndMapping(bool b3D, int iResult, int iStep,
                                            std::vector<FEValueBlock> *pValues,
                                            std::vector<FEMappingBlock> *pMaps);
    // Geometry building (nk_fem_geometry.cpp).
    bool GeometryUnchanged(int iStepId);
    bool BuildRuns(int *piNumRuns);
    NKString PartName(int iBlock, const Run &run, int iRunNumber) const;
    NKGeometry *BuildGeometry(int iNumParts, int iNumRuns);
    bool BuildBlockParts(NKGeometry *pGeo, int iBlock, int *piPart, int *piPolygons);
    bool BuildPart(PartJob &job);
    void NameExtraParts(NKGeometry *pGeo, int iFirst);

    std::unique_ptr<FEReader> m_pReader;
    std::unique_ptr<InterfaceInfo> m_pInfo;
    std::unique_ptr<FEModelInfo> m_pModelInfo;
    std::unique_ptr<uint8_t[]> m_pbCapabilities;
    std::vector<FENodeBlock> m_NodeBlocks;
    bool m_bHaveNodes = false;
    std::vector<FEElementBlock> m_ElementBlocks;
    bool m_bHaveElements = false;
    int m_iCurrentStepId = -1;
    int m_iGeometryStepId = -1;
    std::vector<std::vector<int>> m_SortedElements;  // per element block
    std::vector<std::vector<Run>> m_Runs;            // per element block
    int m_iPartSplitMode = NK_SPLIT_AUTOMATIC;
    int m_iSplitKind = NK_SPLIT_NONE;
    std::vector<FENamedId> m_MaterialNames;
    std::vector<FENamedId> m_PartNames;
    std::vector<FEStep> m_Steps;
    bool m_bHaveSteps = false;
    std::vector<FEResultInfo> m_ScalarInfos;
    bool m_bHaveScalarInfos = false;
    std::vector<FEResultInfo> m_VectorInfos;
    bool m_bHaveVectorInfos = false;
    uint8_t m_bVerbose = 1;
    int m_iInterfaceId = -1;
    NKString m_FileName;  // as given to Open, for the warnings of results
};

// Composes a debug text printf-style, whole, and hands it with the reporting
// function's name to NKDiagnostic. Answers false.
bool NKFEMDbgInfo(const char *pszFunction, const char *pszFormat, ...)
    __attribute__((format(printf, 2, 3)));
