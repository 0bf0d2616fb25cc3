// readers/nk_fem_interface.cpp -- NKFEMInterface (see nk_fem_interface.h):
// opening and closing the reader, the step list, result descriptions and
// names, the per-step block caches and fetching results with their
// mappings. Geometry building is in nk_fem_geometry.cpp, applying results
// and visibility in nk_fem_results.cpp.
#include "readers/nk_fem_interface.h"

#include <cstdarg>
#include <new>

#include "core/nk_diagnostic.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_progress.h"

bool NKFEMDbgInfo(const char *pszFunction, const char *pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    NKString text;
    text.FormatV(pszFormat, args);
    va_end(args);
    return NKDiagnostic(text.GetText(), pszFunction);
}

NKFEMInterface::NKFEMInterface(int iInterfaceId)
{
    Reset();
    m_pReader.reset(NKCreateFEMReader(NKFEMInterfaceIndexOf(iInterfaceId)));
    if (m_pReader != nullptr) m_iInterfaceId = iInterfaceId;
}

NKFEMInterface::~NKFEMInterface() { Close(); }

void NKFEMInterface::Reset()
{
    m_pInfo.reset();
    m_pModelInfo.reset();
    m_pbCapabilities.reset();
    DropBlocks();
    m_iCurrentStepId = -1;
    m_iGeometryStepId = -1;
    m_iPartSplitMode = NK_SPLIT_AUTOMATIC;
    m_iSplitKind = NK_SPLIT_NONE;
    m_Steps.clear();
    m_bHaveSteps = false;
    m_ScalarInfos.clear();
    m_bHaveScalarInfos = false;
    m_VectorInfos.clear();
    m_bHaveVectorInfos = false;
    m_bVerbose = 1;
}

void NKFEMInterface::DropBlocks()
{
    m_NodeBlocks.clear();
    m_bHaveNodes = false;
    m_ElementBlocks.clear();
    m_bHaveElements = false;
    m_SortedElements.clear();
    m_Runs.clear();
    m_MaterialNames.clear();
    m_PartNames.clear();
}

bool NKFEMInterface::IsValid() const
{
    return m_pReader != nullptr && m_pModelInfo != nullptr && m_pbCapabilities != nullptr;
}

void NKFEMInterface::GetName(NKString *pName) const
{
    if (IsValid() && m_pInfo != nullptr)
        *pName = m_pInfo->szName.GetText();
    else
        *pName = "Unknown Interface";
}

uint8_t NKFEMInterface::SetVerbose(uint8_t bVerbose)
{
    uint8_t bPrevious = m_bVerbose;
    m_bVerbose = bVerbose;
    return bPrevious;
}

// ---- Open and close ----------------------------------------------------------

// Starts the progress operation a cancelable or progress-showing reader
// asks for; true when one was started.
bool NKFEMInterface::BeginReaderProgress()
{
    bool bStarted = false;
    if (m_pInfo->bCancelable || m_pInfo->bShowsProgress) {
        NKBeginProgress(100, nullptr, m_pInfo->bShowsProgress != 0, m_pInfo->bCancelable != 0);
        bStarted = true;
    }
    if (m_pInfo->bCancelable) m_pReader->pfnCancel = NKCheckCancel;
    NKSetStatusText("Initializing interface.");
    return bStarted;
}

void NKFEMInterface::EndReaderProgress(bool bStarted)
{
    m_pReader->pfnCancel = nullptr;
    if (bStarted) NKEndProgress(nullptr, true, true);
}

bool NKFEMInterface::Open(const char *pszFileName)
{
    if (m_pReader == nullptr) return false;
    NKString fileName(pszFileName != nullptr ? pszFileName : "");
    m_FileName = fileName;
    m_pReader->pfnProgress = NKSetProgress;
    m_pInfo.reset(new (std::nothrow) InterfaceInfo());
    int iResult = m_pInfo != nullptr ? m_pReader->GetInfo(m_pInfo.get()) : -6;
    if (iResult > 0) {
        bool bStarted = BeginReaderProgress();
        iResult = m_pReader->Open(fileName);
        if (iResult > 0) {
            m_pModelInfo.reset(new (std::nothrow) FEModelInfo());
            m_pbCapabilities.reset(new (std::nothrow) uint8_t[6]{1, 1, 0, 0, 0, 0});
            if (m_pModelInfo == nullptr || m_pbCapabilities == nullptr) iResult = -6;
            if (iResult > 0) iResult = m_pReader->GetModelInfo(m_pModelInfo.get());
            if (iResult > 0) iResult = m_pReader->GetCapabilities(m_pbCapabilities.get());
        }
        EndReaderProgress(bStarted);
    }
    if (iResult > 0) return true;
    Close();
    return false;
}

bool NKFEMInterface::Close()
{
    bool bResult = false;
    if (m_pReader != nullptr) {
        m_pReader->pfnProgress = nullptr;
        bResult = m_pReader->Close() > 0;
    }
    Reset();
    return bResult;
}

// ---- Steps and result names -----------------------------------------------------

bool NKFEMInterface::FetchSteps()
{
    if (!m_bHaveSteps && IsValid()) {
        m_bHaveSteps = true;
        if (m_pReader->GetSteps(&m_Steps) < 1) m_Steps.clear();
    }
    return !m_Steps.empty();
}

int NKFEMInterface::GetNumSteps() { return FetchSteps() ? (int)m_Steps.size() : 0; }

NKStringList *NKFEMInterface::GetStepNames()
{
    if (!FetchSteps()) return nullptr;
    NKStringList *pList = new NKStringList((int)m_Steps.size());
    for (size_t i = 0; i < m_Steps.size(); i++)
        pList->Set((int)i, m_Steps[i].szName.Left(256).GetText());
    return pList;
}

int NKFEMInterface::GetStepId(int iStep)
{
    if (!FetchSteps() || iStep < 0 || iStep >= (int)m_Steps.size()) return -1;
    return m_Steps[(size_t)iStep].iStepId;
}

float NKFEMInterface::GetStepTime(int iStep)
{
    if (!FetchSteps() || iStep < 0 || iStep >= (int)m_Steps.size()) return -1.0f;
    const FEStep &step = m_Steps[(size_t)iStep];
    return step.iTimeValid == 1 ? step.fTime : -1.0f;
}

bool NKFEMInterface::FetchResultInfos(bool bVector)
{
    std::vector<FEResultInfo> &infos = bVector ? m_VectorInfos : m_ScalarInfos;
    bool &bHave = bVector ? m_bHaveVectorInfos : m_bHaveScalarInfos;
    if (!bHave && IsValid()) {
        bHave = true;
        int iResult = bVector ? m_pReader->GetVectorResultInfos(&infos)
                              : m_pReader->GetScalarResultInfos(&infos);
        if (iResult < 1) infos.clear();
    }
    return !infos.empty();
}

int NKFEMInterface::GetNumScalars()
{
    return FetchResultInfos(false) ? (int)m_ScalarInfos.size() : 0;
}
int NKFEMInterface::GetNumVectors()
{
    return FetchResultInfos(true) ? (int)m_VectorInfos.size() : 0;
}

NKString NKFEMInterface::ResultName(const FEResultInfo &info) const
{
    static const char *const apszMappings[] = {nullptr, " [node]", " [element]", " [element node]"};
    NKString name(info.szName.GetText());
    if (m_iInterfaceId != 103 && info.iMapping >= 1 && info.iMapping <= 3)
        name += apszMappings[info.iMapping];
    if (info.iLayer == NK_RESULT_LAYER_SHELL_TOP)
        name += " [shell top]";
    else if (info.iLayer == NK_RESULT_LAYER_SHELL_BOTTOM)
        name += " [shell bottom]";
    else if (info.iLayer >= NK_RESULT_LAYER_BEAM_FIRST && info.iLayer <= NK_RESULT_LAYER_BEAM_LAST)
        name += NKString::FromFormat(" [beam %d]", info.iLayer - NK_RESULT_LAYER_BEAM_FIRST + 1);
    return name.Left(256);
}

NKStringList *NKFEMInterface::ResultNames(const std::vector<FEResultInfo> &infos)
{
    if (infos.empty()) return nullptr;
    NKStringList *pList = new NKStringList((int)infos.size());
    for (size_t i = 0; i < infos.size(); i++) pList->Set((int)i, ResultName(infos[i]).GetText());
    return pList;
}

NKStringList *NKFEMInterface::GetScalarNames()
{
    return FetchResultInfos(false) ? ResultNames(m_ScalarInfos) : nullptr;
}

NKStringList *NKFEMInterface::GetVectorNames()
{
    return FetchResultInfos(true) ? ResultNames(m_VectorInfos) : nullptr;
}

// ---- Steps and block caches ---------------------------------------------------------

bool NKFEMInterface::SetStep(int iStepId)
{
    if (!IsValid()) return false;
    if (iStepId == m_iCurrentStepId) return true;
    if (m_iCurrentStepId == -1)
        DropBlocks();
    else if (!Cap(NK_CAP_SAME_GEOMETRY) &&
             m_pReader->GeometryDiffers(m_iCurrentStepId, iStepId) > 0)
        DropBlocks();
    m_iCurrentStepId = iStepId;
    return true;
}

namespace {

// The messages of a failed fetch of one kind of block.
struct FetchTexts {
    const char *pszFunction;  // the debugging line's function
    const char *pszFailed;    // the debugging line when the reader gives none
    const char *pszUnable;    // the error then
    const char *pszNoIdsDbg;  // the debugging line when a block lacks IDs
    const char *pszNoIds;     // the error then
};

// Checks the blocks the reader gave (iGot of them); every block must hold
// IDs when bById. False, with the messages and the blocks cleared, on either
// failure.
template <typename Block>
bool CheckFetched(int iGot, std::vector<Block> *pBlocks, bool bById, const FetchTexts &t)
{
    if (iGot < 1) {
        pBlocks->clear();
        NKFEMDbgInfo(t.pszFunction, "%s", t.pszFailed);
        NKPrintInterfaceError(0, t.pszUnable);
        return false;
    }
    if (bById)
        for (const Block &block : *pBlocks)
            if (block.ids.empty()) {
                NKFEMDbgInfo(t.pszFunction, "%s", t.pszNoIdsDbg);
                NKPrintInterfaceError(0, t.pszNoIds);
                pBlocks->clear();
                return false;
            }
    return true;
}

}  // namespace

bool NKFEMInterface::FetchNodes()
{
    if (m_bHaveNodes) return true;
    static const FetchTexts kTexts = {
        "NKFEMInterface::GetNodes", "Failed to get nodes from reader", "Unable to get nodes.",
        "bRefNodesByID is true, but no node IDs found in node block", "No node IDs were found."};
    if (!CheckFetched(m_pReader->GetNodes(m_iCurrentStepId, &m_NodeBlocks), &m_NodeBlocks,
                      Cap(NK_CAP_NODES_BY_ID), kTexts))
        return false;
    m_bHaveNodes = true;
    return true;
}

bool NKFEMInterface::FetchElements()
{
    if (m_bHaveElements) return true;
    static const FetchTexts kTexts = {
        "NKFEMInterface::GetElements", "Failed to get elements from reader",
        "Unable to get elements.",
        "bRefElementsByID is true, but no element IDs found in element block",
        "No element IDs were found."};
    if (!CheckFetched(m_pReader->GetElements(m_iCurrentStepId, &m_ElementBlocks), &m_ElementBlocks,
                      Cap(NK_CAP_ELEMENTS_BY_ID), kTexts))
        return false;
    m_bHaveElements = true;
    if (m_pReader->GetMaterialNames(-1, &m_MaterialNames) < 1) m_MaterialNames.clear();
    if (m_pReader->GetPartNames(-1, &m_PartNames) < 1) m_PartNames.clear();
    return true;
}

const FENodeBlock *NKFEMInterface::GetNodes(int iBlock)
{
    if (!IsValid() || !FetchNodes()) return nullptr;
    if (iBlock < 0 || iBlock >= (int)m_NodeBlocks.size()) {
        NKFEMDbgInfo("NKFEMInterface::GetNodes", "Node block index out of range");
        NKPrintInterfaceError(0, "Invalid node block index.");
        return nullptr;
    }
    return &m_NodeBlocks[(size_t)iBlock];
}

int NKFEMInterface::GetNumElementBlocks()
{
    if (!IsValid() || !FetchElements()) return 0;
    return (int)m_ElementBlocks.size();
}

const FEElementBlock *NKFEMInterface::GetElements(int iBlock)
{
    if (!IsValid() || !FetchElements()) return nullptr;
    if (iBlock < 0 || iBlock >= (int)m_ElementBlocks.size()) {
        NKFEMDbgInfo("NKFEMInterface::GetElements", "Element block index out of range");
        NKPrintInterfaceError(0, "Invalid element block index.");
        return nullptr;
    }
    return &m_ElementBlocks[(size_t)iBlock];
}

// ---- Results with their mappings -------------------------------------------------------

const FEResultInfo *NKFEMInterface::Get1DResultAndMapping(int iResult, int iStep,
                                                          std::vector<FEValueBlock> *pValues,
                                                          std::vector<FEMappingBlock> *pMaps)
{
    return GetResultAndMapping(false, iResult, iStep, pValues, pMaps);
}

const FEResultInfo *NKFEMInterface::Get3DResultAndMapping(int iResult, int iStep,
                                                          std::vector<FEValueBlock> *pValues,
                                                          std::vector<FEMappingBlock> *pMaps)
{
    return GetResultAndMapping(true, iResult, iStep, pValues, pMaps);
}

const FEResultInfo *NKFEMInterface::GetResultAndMapping(bool b3D, int iResult, int iStep,
                                                        std::vector<FEValueBlock> *pValues,
                                                        std::vector<FEMappingBlock> *pMaps)
{
    pValues->clear();
    pMaps->clear();
    int iStepId = GetStepId(iStep);
    std::vector<FEResultInfo> &infos = b3D ? m_VectorInfos : m_ScalarInfos;
    if (iStepId == -1 || !FetchResultInfos(b3D) || iResult < 0 || iResult >= (int)infos.size())
        return nullptr;
    const FEResultInfo &info = infos[(size_t)iResult];
    const char *pszDim = b3D ? "3D" : "1D";
    NKFEMDbgInfo("NKFEMInterface::GetResultAndMapping",
                 "Getting %s result from reader (resID: %d, stepID: %d)...", pszDim, info.iResultId,
                 iStepId);
    int iRead = b3D ? m_pReader->Get3DResult(info.iResultId, iStepId, pValues)
                    : m_pReader->Get1DResult(info.iResultId, iStepId, pValues);
    if (iRead < 1) {
        NKPrintInterfaceError(
            0, NKString::FromFormat("Unable to get %s result from reader", pszDim).GetText());
        if (!pValues->empty())
            NKFEMDbgInfo("NKFEMInterface::GetResultAndMapping",
                         "Reading %s results failed, but data was still returned", pszDim);
        pValues->clear();
        return nullptr;
    }
    if (pValues->empty()) {
        NKPrintInterfaceError(
            0, NKString::FromFormat("Reading %s result succeded, but return data is inconsitent",
                                    pszDim)
                   .GetText());
        return nullptr;
    }
    int iMapped = b3D ? m_pReader->Get3DResultMapping(info.iResultId, iStepId, pMaps)
                      : m_pReader->Get1DResultMapping(info.iResultId, iStepId, pMaps);
    if (iMapped < 1) {
        if (!pMaps->empty())
            NKFEMDbgInfo("NKFEMInterface::GetResultAndMapping",
                         "Reading result mapping failed, but data was still returned");
        pMaps->clear();
    }
    return &info;
}
