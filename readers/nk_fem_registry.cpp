// readers/nk_fem_registry.cpp -- the interface registry of the reader
// plug-ins (see nk_fem_reader.h): the 16 ids in registry order, the factory
// slot and the InterfaceInfo record of each, and the name look-ups the
// open commands use. Module state, used from the user-interface thread.
#include <cstring>
#include <memory>
#include <utility>

#include "core/nk_model.h"
#include "readers/nk_fem_reader.h"

namespace {

const int sg_aiIds[NK_NUM_FEM_INTERFACES] = {101, 102, 103, 105, 106, 116, 107, 108,
                                             104, 110, 111, 109, 112, 113, 114, 115};

NKFEMReaderFactory sg_apfnFactories[NK_NUM_FEM_INTERFACES] = {};
InterfaceInfo sg_aInfos[NK_NUM_FEM_INTERFACES];
bool sg_abAvailable[NK_NUM_FEM_INTERFACES] = {};

bool InTable(int iIndex) { return iIndex >= 0 && iIndex < NK_NUM_FEM_INTERFACES; }

// Fills one record from a fresh reader of the index; false without one.
bool FillRecord(int iIndex)
{
    std::unique_ptr<FEReader> pReader(NKCreateFEMReader(iIndex));
    if (pReader == nullptr) return false;
    InterfaceInfo info;
    pReader->GetInfo(&info);
    if (info.szName.IsEmpty()) info.szName = "Unknown Interface Name";
    if (info.szShortName.IsEmpty()) {
        info.szShortName = info.szName.Left(3);
        info.szShortName.MakeLower();
    }
    sg_aInfos[iIndex] = info;
    return true;
}

}  // namespace

NKFEMReaderFactory NKSetFEMReaderFactory(int iIndex, NKFEMReaderFactory pfnFactory)
{
    if (!InTable(iIndex)) return nullptr;
    return std::exchange(sg_apfnFactories[iIndex], pfnFactory);
}

int NKFEMInterfaceIdAt(int iIndex) { return InTable(iIndex) ? sg_aiIds[iIndex] : 0; }

int NKFEMInterfaceIndexOf(int iId)
{
    for (int i = 0; i < NK_NUM_FEM_INTERFACES; i++)
        if (sg_aiIds[i] == iId) return i;
    return -1;
}

bool NKInitFEMInterfaceTable(void)
{
    for (int i = 0; i < NK_NUM_FEM_INTERFACES; i++) {
        sg_aInfos[i] = InterfaceInfo();
        sg_abAvailable[i] = FillRecord(i);
    }
    return true;
}

bool NKIsFEMInterfaceId(int iId) { return NKFEMInterfaceIndexOf(iId) >= 0; }

FEReader *NKCreateFEMReader(int iIndex)
{
    if (!InTable(iIndex) || sg_apfnFactories[iIndex] == nullptr) return nullptr;
    return sg_apfnFactories[iIndex]();
}

int NKFindFEMInterfaceForFile(const char *pszFileName)
{
    NKString name(pszFileName != nullptr ? pszFileName : "");
    for (int i = 0; i < NK_NUM_FEM_INTERFACES; i++) {
        std::unique_ptr<FEReader> pReader(NKCreateFEMReader(i));
        if (pReader != nullptr && pReader->CanRead(name) > 0) return sg_aiIds[i];
    }
    return NK_FEM_NO_INTERFACE;
}

int NKGetNumFEMInterfaces(void)
{
    int n = 0;
    for (bool bAvailable : sg_abAvailable) n += bAvailable ? 1 : 0;
    return n;
}

NKStringList *NKGetFEMInterfaceNames(bool bDetailed)
{
    int n = NKGetNumFEMInterfaces();
    if (n == 0) return nullptr;
    NKStringList *pList = new NKStringList(n);
    int k = 0;
    for (int i = 0; i < NK_NUM_FEM_INTERFACES; i++) {
        if (!sg_abAvailable[i]) continue;
        NKString text = sg_aInfos[i].szShortName;
        if (bDetailed) text += NKString(", ") + sg_aInfos[i].szName;
        // Entries are 257-character texts: 256 characters and the end.
        pList->Set(k++, text.Left(256).GetText());
    }
    return pList;
}

void NKGetFEMInterfaceName(NKString *pName, int iId)
{
    int i = NKFEMInterfaceIndexOf(iId);
    *pName = i >= 0 ? sg_aInfos[i].szShortName.GetText() : "";
}

const InterfaceInfo *NKGetFEMInterfaceInfo(int iId)
{
    int i = NKFEMInterfaceIndexOf(iId);
    return i >= 0 ? &sg_aInfos[i] : nullptr;
}

int NKGetFEMInterfaceIdByName(const char *pszName)
{
    NKString wanted(pszName != nullptr ? pszName : "");
    wanted.Trim();
    int iFound = NK_FEM_NO_INTERFACE;
    size_t uLength = (size_t)wanted.GetLength();
    for (int i = 0; i < NK_NUM_FEM_INTERFACES; i++)
        if (std::strncmp(sg_aInfos[i].szShortName.GetText(), wanted.GetText(), uLength) == 0)
            iFound = sg_aiIds[i];
    return iFound;
}
