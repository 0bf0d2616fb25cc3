// nkf/nkf_geometry_block.cpp -- the *QUOLINGEOMETRY block: its life, the
// queries by model step and part, the reference check, and
// NKReadGeometryParts, which builds the parts of one model step as
// NKIndexedFaceSet records through the face-set blocks (nkf_faceset.h) and
// the element blocks (nkf_elements.h), with progress on the status bar.
// The NKF import (nkf_import.cpp) calls it per step and turns the records
// into an NKGeometry. Reading the block is in nkf_geometry_block_parse.cpp;
// the layout is in nkf_geometry_block.h.
#include "nkf/nkf_geometry_block.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <unordered_set>
#include <vector>

#include "core/nk_memory.h"
#include "core/nk_mesh.h"
#include "core/nk_progress.h"
#include "core/nk_text_utils.h"
#include "nkf/nkf_elements.h"
#include "nkf/nkf_faceset.h"
#include "nkf/nkf_reader.h"

namespace {

// What differs between the two kinds of parts: face sets (kind 0, listed
// first) and element blocks (kind 1).
struct PartKind {
    int iType;
    const char *pszNotFound;  // format of the missing-block report (ID, this block's ID)
    const char *pszFailed;    // report of a part that could not be built
    unsigned char bFromElements;
};

const PartKind g_aKinds[2] = {
    {NKF_INDEXEDFACESET,
     "INDEXEDFACESET Block ID: %d referenced in QUOLINGEOMETRY block ID: %d not found.",
     "Error creating indexed face set from IndexedFaceSet block.", 0},
    {NKF_ELEMENTS, "ELEMENTS Block ID: %d referenced in QUOLINGEOMETRY block ID: %d not found.",
     "Error creating indexed face set from element block.", 1}};

Elements *FindElements(const NKFReader *pReader, int iID)
{
    return dynamic_cast<Elements *>(pReader->FindBlock(NKF_ELEMENTS, iID));
}

NKFIndexedFaceSetBlock *FindFaceSet(const NKFReader *pReader, int iID)
{
    return dynamic_cast<NKFIndexedFaceSetBlock *>(pReader->FindBlock(NKF_INDEXEDFACESET, iID));
}

// The node block ID of a face-set or element block; 0 for any other block.
int NodeBlockOf(const NKFBlock *pBlock)
{
    if (auto *pElements = dynamic_cast<const Elements *>(pBlock))
        return pElements->GetNodeBlockID();
    if (auto *pFaceSet = dynamic_cast<const NKFIndexedFaceSetBlock *>(pBlock))
        return pFaceSet->GetNodeBlockID();
    return 0;
}

// Builds one part from its face-set or element block into an initialised
// record; the node block's data is freed after when bFreeNodes is set.
bool CreatePart(NKFBlock *pBlock, NKIndexedFaceSet *pIFS, bool bFreeNodes)
{
    if (auto *pElements = dynamic_cast<Elements *>(pBlock))
        return pElements->NKCreatePartFromElements(pIFS, bFreeNodes);
    if (auto *pFaceSet = dynamic_cast<NKFIndexedFaceSetBlock *>(pBlock))
        return pFaceSet->NKCreatePartFromFaceSet(pIFS, bFreeNodes);
    return false;
}

// The block's name, or its description when the name is empty.
const NKString *NameOrDescription(const NKString &name, const NKString &description)
{
    return name.IsEmpty() ? &description : &name;
}

}  // namespace

// ---------------------------------------------------------------------------
// Life

NKFQuolinGeometryBlock::NKFQuolinGeometryBlock(NKFReader *pReader, int iBlockID)
    : NKFBlock(pReader, iBlockID), m_Name(""), m_Description(""), m_iDescriptionBlockID(0),
      m_iNumSteps(0), m_bExtraWordA(0), m_bExtraWordB(0), m_ppiFaceSetIDs(nullptr),
      m_piNumFaceSets(nullptr), m_ppiElementIDs(nullptr), m_piNumElements(nullptr),
      m_piPartAttributes(nullptr), m_pStepNames(nullptr), m_pfStepTimes(nullptr),
      m_piStepNumbers(nullptr)
{
    m_iBlockType = NKF_QUOLINGEOMETRY;
}

NKFQuolinGeometryBlock::~NKFQuolinGeometryBlock()
{
    FreeData();
    NKFree(m_piNumFaceSets);
    NKFree(m_piNumElements);
    NKFree(m_piPartAttributes);
}

void NKFQuolinGeometryBlock::FreeData()
{
    NKFreeBlockArray((void **)m_ppiFaceSetIDs, m_iNumSteps);
    NKFreeBlockArray((void **)m_ppiElementIDs, m_iNumSteps);
    m_ppiFaceSetIDs = nullptr;
    m_ppiElementIDs = nullptr;
    delete[] m_pStepNames;
    m_pStepNames = nullptr;
    NKFreeAndClear(&m_pfStepTimes, &m_piStepNumbers);
    m_bDataLoaded = false;
}

int NKFQuolinGeometryBlock::GetNumItems()
{
    if (!m_bHeaderParsed) return 0;
    int64_t iParts = 0;
    for (int i = 0; i < m_iNumSteps; i++) iParts += PartCount(i);
    return (int)iParts;  // at most NKF_MAX_IDS_PER_BLOCK
}

// ---------------------------------------------------------------------------
// Entries and queries

int NKFQuolinGeometryBlock::EntryOf(int iStep) const
{
    if (!m_bDataLoaded) return -1;
    return NKFFindStepIndex(iStep, m_piStepNumbers, m_iNumSteps);
}

int NKFQuolinGeometryBlock::FaceSetCount(int iEntry) const
{
    bool bIn = m_piNumFaceSets != nullptr && iEntry >= 0 && iEntry < m_iNumSteps;
    return bIn ? m_piNumFaceSets[iEntry] : 0;
}

int NKFQuolinGeometryBlock::ElementCount(int iEntry) const
{
    bool bIn = m_piNumElements != nullptr && iEntry >= 0 && iEntry < m_iNumSteps;
    return bIn ? m_piNumElements[iEntry] : 0;
}

int NKFQuolinGeometryBlock::PartCount(int iEntry) const
{
    return FaceSetCount(iEntry) + ElementCount(iEntry);
}

int NKFQuolinGeometryBlock::EntryFaceSetId(int iEntry, int iPart) const
{
    if (!m_bDataLoaded || iPart < 0 || iPart >= FaceSetCount(iEntry)) return -1;
    return m_ppiFaceSetIDs[iEntry][iPart];
}

int NKFQuolinGeometryBlock::EntryElementId(int iEntry, int iPart) const
{
    int k = iPart - FaceSetCount(iEntry);
    if (!m_bDataLoaded || iPart < 0 || k < 0 || k >= ElementCount(iEntry)) return -1;
    return m_ppiElementIDs[iEntry][k];
}

int NKFQuolinGeometryBlock::GetPartFaceSetBlockId(int iStep, int iPart) const
{
    return EntryFaceSetId(EntryOf(iStep), iPart);
}

int NKFQuolinGeometryBlock::GetPartElementBlockId(int iStep, int iPart) const
{
    return EntryElementId(EntryOf(iStep), iPart);
}

int NKFQuolinGeometryBlock::GetPartNodeBlockId(int iStep, int iPart) const
{
    int iEntry = EntryOf(iStep);
    if (Elements *pElements = FindElements(m_pReader, EntryElementId(iEntry, iPart)))
        return pElements->GetNodeBlockID();
    if (NKFIndexedFaceSetBlock *pFaceSet = FindFaceSet(m_pReader, EntryFaceSetId(iEntry, iPart)))
        return pFaceSet->GetNodeBlockID();
    return 0;
}

const NKString *NKFQuolinGeometryBlock::GetPartName(int iPart, int iStep) const
{
    int iEntry = -1;
    if (iStep == -1)
        GetMaxPartCount(&iEntry);
    else
        iEntry = EntryOf(iStep);
    if (Elements *pElements = FindElements(m_pReader, EntryElementId(iEntry, iPart)))
        return NameOrDescription(pElements->GetName(), pElements->GetDescription());
    if (NKFIndexedFaceSetBlock *pFaceSet = FindFaceSet(m_pReader, EntryFaceSetId(iEntry, iPart)))
        return NameOrDescription(pFaceSet->GetName(), pFaceSet->GetDescription());
    return nullptr;
}

void NKFQuolinGeometryBlock::FreePartData(int iStep, int iPart)
{
    int iEntry = EntryOf(iStep);
    if (Elements *pElements = FindElements(m_pReader, EntryElementId(iEntry, iPart)))
        pElements->FreeData();
    else if (NKFIndexedFaceSetBlock *pFaceSet =
                 FindFaceSet(m_pReader, EntryFaceSetId(iEntry, iPart)))
        pFaceSet->FreeData();
}

void NKFQuolinGeometryBlock::ReleaseBinaryPartElements(int iStep, int iPart)
{
    if (m_pReader == nullptr || !m_pReader->IsBinary()) return;
    if (Elements *pElements = FindElements(m_pReader, EntryElementId(EntryOf(iStep), iPart)))
        pElements->FreeData();
}

bool NKFQuolinGeometryBlock::CreatePartElements(NKFElementList *pList, int iStep, int iPart,
                                                const int32_t *piNodeSourceIndex, int iCount)
{
    if (pList == nullptr) return false;
    memset(pList, 0, sizeof *pList);
    int iEntry = EntryOf(iStep);
    if (iEntry < 0 || iPart < 0 || iPart >= PartCount(iEntry)) return false;
    if (iPart < FaceSetCount(iEntry)) return true;
    Elements *pElements = FindElements(m_pReader, EntryElementId(iEntry, iPart));
    if (pElements == nullptr) return false;
    bool bOk = pElements->NKCreateElementList(pList, piNodeSourceIndex, iCount);
    pElements->FreeData();
    return bOk;
}

bool NKFQuolinGeometryBlock::StepsDiffer(int iStepA, int iStepB) const
{
    return EntryOf(iStepA) != EntryOf(iStepB);
}

int NKFQuolinGeometryBlock::GetPartAttributesBlockId(int iStep) const
{
    int iEntry = EntryOf(iStep);
    return iEntry >= 0 && m_piPartAttributes != nullptr ? m_piPartAttributes[iEntry] : -1;
}

bool NKFQuolinGeometryBlock::HasStep(int iNumber)
{
    if (!LoadData()) return false;
    for (int i = 0; i < m_iNumSteps; i++) {
        if (m_piStepNumbers[i] == iNumber) return true;
    }
    return false;
}

int NKFQuolinGeometryBlock::GetMaxPartCount(int *piEntry) const
{
    int iMax = 0, iEntry = m_piNumFaceSets != nullptr && m_iNumSteps > 0 ? 0 : -1;
    for (int i = 0; i < m_iNumSteps; i++) {
        if (PartCount(i) > iMax) {
            iMax = PartCount(i);
            iEntry = i;
        }
    }
    if (piEntry != nullptr) *piEntry = iEntry;
    return iMax;
}

int NKFQuolinGeometryBlock::GetNumParts(int iStep) const { return PartCount(EntryOf(iStep)); }

NKString NKFQuolinGeometryBlock::GetStepName(int i) const
{
    return m_bDataLoaded && i >= 0 && i < m_iNumSteps ? m_pStepNames[i] : NKString("");
}

float NKFQuolinGeometryBlock::GetStepTime(int i) const
{
    return m_bDataLoaded && i >= 0 && i < m_iNumSteps ? m_pfStepTimes[i] : 0.0f;
}

int NKFQuolinGeometryBlock::GetStepNumber(int i) const
{
    return m_bDataLoaded && i >= 0 && i < m_iNumSteps ? m_piStepNumbers[i] : -1;
}

// ---------------------------------------------------------------------------
// References

bool NKFQuolinGeometryBlock::ResolveReferences()
{
    if (!CheckParsed("Geometry block not parsed.")) return false;
    if (m_iDescriptionBlockID > 0 &&
        m_pReader->FindBlock(NKF_DESCRIPTION, m_iDescriptionBlockID) == nullptr) {
        ReportError(NKString(""), NKString::FromFormat("Description block (*DESCRIPTION) with ID = "
                                                       "%d not found in file.",
                                                       m_iDescriptionBlockID));
        return false;
    }
    if (!m_bDataLoaded) return true;
    const char *const apszMissing[2] = {"Indexed face set (*INDEXEDFACESET) with ID = ",
                                        "Element block (*ELEMENTS) with ID = "};
    for (int i = 0; i < m_iNumSteps; i++) {
        for (int iPart = 0; iPart < PartCount(i); iPart++) {
            int iKind = iPart < FaceSetCount(i) ? 0 : 1;
            int iID = iKind == 0 ? EntryFaceSetId(i, iPart) : EntryElementId(i, iPart);
            if (m_pReader->FindBlock(g_aKinds[iKind].iType, iID) != nullptr) continue;
            NKString message =
                NKString::FromFormat("%s%d not found in file.", apszMissing[iKind], iID);
            message += NKString::FromFormat(" Referenced in step %d", m_piStepNumbers[i]);
            ReportError(NKString(""), message);
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Part building

// The face-set or element block a part names; a missing one is reported.
NKFBlock *NKFQuolinGeometryBlock::FindPartBlock(int iKind, int iID)
{
    NKFBlock *pBlock = m_pReader->FindBlock(g_aKinds[iKind].iType, iID);
    if (pBlock == nullptr) {
        ReportError(NKString(""),
                    NKString::FromFormat(g_aKinds[iKind].pszNotFound, iID, m_iBlockID));
    }
    return pBlock;
}

// Every block the entry's parts name must exist. Checked before the records
// are allocated, so that a list inflated by a range such as 1-9000000 fails
// at once instead of after allocating millions of records.
bool NKFQuolinGeometryBlock::CheckPartBlocks(int iEntry)
{
    for (int iPart = 0; iPart < PartCount(iEntry); iPart++) {
        int iKind = iPart < FaceSetCount(iEntry) ? 0 : 1;
        int iID = iKind == 0 ? EntryFaceSetId(iEntry, iPart) : EntryElementId(iEntry, iPart);
        if (FindPartBlock(iKind, iID) == nullptr) return false;
    }
    return true;
}

// True when all found blocks of one kind of the entry's parts use the same
// node block (the first found block's against the others'). Such a node
// block of face sets then stays loaded through the step instead of being
// read per part.
bool NKFQuolinGeometryBlock::SharesNodeBlock(int iKind, int iEntry) const
{
    int iFirst = FaceSetCount(iEntry) * iKind;
    int iEnd = iKind == 0 ? FaceSetCount(iEntry) : PartCount(iEntry);
    bool bFound = false;
    int iNodeBlock = 0;
    for (int iPart = iFirst; iPart < iEnd; iPart++) {
        int iID = iKind == 0 ? EntryFaceSetId(iEntry, iPart) : EntryElementId(iEntry, iPart);
        const NKFBlock *pBlock = m_pReader->FindBlock(g_aKinds[iKind].iType, iID);
        if (pBlock == nullptr) continue;
        if (bFound && NodeBlockOf(pBlock) != iNodeBlock) return false;
        iNodeBlock = NodeBlockOf(pBlock);
        bFound = true;
    }
    return true;
}

// Per element part of the entry, whether it is the last element part that
// uses its node block: its node data is then freed as soon as the part has
// copied its nodes, so that it never sits beside the step's polygon arrays.
std::vector<unsigned char> NKFQuolinGeometryBlock::LastNodeBlockUsers(int iEntry) const
{
    int iFaceSets = FaceSetCount(iEntry), iTotal = PartCount(iEntry);
    std::vector<unsigned char> abLast((size_t)std::max(iTotal, 0), 0);
    std::unordered_set<int> later;
    for (int iPart = iTotal - 1; iPart >= iFaceSets; iPart--) {
        const NKFBlock *pBlock = m_pReader->FindBlock(NKF_ELEMENTS, EntryElementId(iEntry, iPart));
        if (pBlock != nullptr) abLast[(size_t)iPart] = later.insert(NodeBlockOf(pBlock)).second;
    }
    return abLast;
}

// Builds the entry's parts into pRecords[0 ..], face sets first, moving the
// progress bar per part and the status text per 10 percent.
bool NKFQuolinGeometryBlock::BuildStepParts(int iEntry, NKIndexedFaceSet *pRecords)
{
    int iFaceSets = FaceSetCount(iEntry), iTotal = PartCount(iEntry);
    const bool bFreeFaceSetNodes = !SharesNodeBlock(0, iEntry);
    const std::vector<unsigned char> abLastUser = LastNodeBlockUsers(iEntry);
    NKProgressPercent percent(0, iTotal, 10);
    for (int iPart = 0; iPart < iTotal; iPart++) {
        NKSetProgress(iPart, nullptr);
        if (percent.Update((float)iPart)) NKSetStatusText(percent.Format("Reading Parts"));
        int iKind = iPart < iFaceSets ? 0 : 1;
        int iID = iKind == 0 ? EntryFaceSetId(iEntry, iPart) : EntryElementId(iEntry, iPart);
        NKFBlock *pBlock = FindPartBlock(iKind, iID);
        if (pBlock == nullptr) return false;
        bool bFreeNodes = iKind == 0 ? bFreeFaceSetNodes : abLastUser[(size_t)iPart] != 0;
        if (!CreatePart(pBlock, &pRecords[iPart], bFreeNodes)) {
            ReportError(NKString(""), NKString(g_aKinds[iKind].pszFailed));
            return false;
        }
        pRecords[iPart].bFromElements = g_aKinds[iKind].bFromElements;
    }
    return true;
}

// The records are as many as the largest part count of any entry, so that
// every step yields the same number; those past the step's parts stay
// empty. A geometry without parts gives one spare record and *piCount 0.
NKIndexedFaceSet *NKFQuolinGeometryBlock::NKReadGeometryParts(int *piCount, int iStep)
{
    if (piCount == nullptr) return nullptr;
    *piCount = 0;
    if (!LoadData()) return nullptr;
    int iEntry = EntryOf(iStep);
    if (iEntry < 0) return nullptr;
    int iMax = GetMaxPartCount(nullptr), iRecords = iMax > 0 ? iMax : 1;
    NKBeginProgressBar(PartCount(iEntry), "Reading Parts...");
    NKIndexedFaceSet *pRecords = nullptr;
    if (CheckPartBlocks(iEntry)) {
        pRecords = (NKIndexedFaceSet *)NKCalloc((size_t)iRecords, sizeof *pRecords);
        if (pRecords == nullptr) ReportError(NKString(""), NKString("Out of memory."));
    }
    for (int i = 0; pRecords != nullptr && i < iRecords; i++) NKInitPolygonMesh(&pRecords[i]);
    if (pRecords != nullptr && !BuildStepParts(iEntry, pRecords)) {
        for (int i = 0; i < iRecords; i++) NKFreePolygonMesh(&pRecords[i]);
        NKFree(pRecords);
        pRecords = nullptr;
    }
    NKEndProgressBar(pRecords != nullptr ? "Done." : "Error occurred.");
    if (pRecords != nullptr) *piCount = iMax;
    return pRecords;
}
