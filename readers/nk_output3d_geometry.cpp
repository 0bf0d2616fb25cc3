// readers/nk_output3d_geometry.cpp -- the geometry of one event of an IES
// Output3D set (see nk_output3d.h for the part layout): geological units
// from .elm, nodes from .k00, elements from .e00, one part per unit in use
// with hexahedra and their outer faces, then the overlay parts.
//
// Faces shared by two elements of a part are found by their global nodes
// (the .k00 indices), as each element corner is a node of its own; a face
// between two units stays in both parts.
#include <algorithm>
#include <array>
#include <cmath>

#include "core/nk_element_types.h"
#include "core/nk_memory.h"
#include "core/nk_mesh.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_part_arrays.h"
#include "core/nk_stopwatch.h"
#include "readers/nk_output3d.h"
#include "readers/nk_output3d_state.h"

namespace {

// What reading an event's records came to. A failed read is reported; an
// event not computed yet is the caller's to report.
enum class EventRead { kRead, kNotComputed, kFailed };

// Reads the directory entry; kNotComputed for a count of 0.
EventRead ReadEventEntry(NKOutput3DFile *pFile, int iEvent, int iWords, int64_t *piStart,
                         int *piCount)
{
    if (!pFile->ReadEvent(iEvent, iWords, piStart, piCount)) {
        NKOutput3DReadError(pFile->Path());
        return EventRead::kFailed;
    }
    return *piCount == 0 ? EventRead::kNotComputed : EventRead::kRead;
}

EventRead ReadNodes(int iEvent, NKOutput3DEventMesh *pMesh)
{
    NKOutput3DFile file;
    int64_t iStart = 0;
    int iCount = 0;
    if (!NKOutput3DOpenBinary("k00", &file, nullptr)) return EventRead::kFailed;
    EventRead entry = ReadEventEntry(&file, iEvent, 4, &iStart, &iCount);
    if (entry != EventRead::kRead) return entry;
    std::vector<float> words((size_t)iCount * 4);
    if (!file.ReadWords(iStart, words.data(), (int64_t)iCount * 4)) {
        NKOutput3DReadError(file.Path());
        return EventRead::kFailed;
    }
    pMesh->coords.resize((size_t)iCount * 3);
    pMesh->nodeIds.resize((size_t)iCount);
    pMesh->sortedIds.resize((size_t)iCount);
    for (int i = 0; i < iCount; i++) {
        float fId = words[(size_t)i * 4];
        // Ids are stored as floats; anything not an int once truncated is damage.
        if (!std::isfinite(fId) || fId >= 2147483648.0f || fId <= -2147483649.0f) {
            NKOutput3DReadError(file.Path());
            return EventRead::kFailed;
        }
        pMesh->nodeIds[(size_t)i] = (int)fId;
        pMesh->sortedIds[(size_t)i] = {(int)fId, i};
        for (int k = 0; k < 3; k++) pMesh->coords[(size_t)i * 3 + k] = words[(size_t)i * 4 + 1 + k];
        // A coordinate that is not finite (NaN or either infinity) would
        // spoil every box and scale of the event.
        if (NKFirstNotFinite(&pMesh->coords[(size_t)i * 3], 3) >= 0) {
            NKPrintError(NKString::FromFormat("Error reading file %s: event %d, the coordinates of "
                                              "node %d are not finite.",
                                              file.Path().c_str(), iEvent + 1, (int)fId)
                             .GetText());
            return EventRead::kFailed;
        }
    }
    std::sort(pMesh->sortedIds.begin(), pMesh->sortedIds.end());
    for (size_t i = 1; i < pMesh->sortedIds.size(); i++) {
        if (pMesh->sortedIds[i].first == pMesh->sortedIds[i - 1].first) {
            NKOutput3DReadError(file.Path());
            return EventRead::kFailed;
        }
    }
    return EventRead::kRead;
}

int FindNode(const NKOutput3DEventMesh &mesh, int iId)
{
    auto it =
        std::lower_bound(mesh.sortedIds.begin(), mesh.sortedIds.end(), std::make_pair(iId, -1));
    return it != mesh.sortedIds.end() && it->first == iId ? it->second : -1;
}

EventRead ReadElements(int iEvent, NKOutput3DEventMesh *pMesh)
{
    NKOutput3DFile file;
    int64_t iStart = 0;
    int iCount = 0;
    if (!NKOutput3DOpenBinary("e00", &file, nullptr)) return EventRead::kFailed;
    EventRead entry = ReadEventEntry(&file, iEvent, 9, &iStart, &iCount);
    if (entry != EventRead::kRead) return entry;
    std::vector<int32_t> words((size_t)iCount * 9);
    bool bOk = file.ReadWords(iStart, words.data(), (int64_t)iCount * 9);
    pMesh->elementIds.resize((size_t)iCount);
    pMesh->elementNodes.resize((size_t)iCount * 8);
    int iMax = g_Output3DSet.header.iNumElements;
    for (int i = 0; i < iCount && bOk; i++) {
        const int32_t *p = &words[(size_t)i * 9];
        bOk = p[0] >= 1 && p[0] <= iMax;
        pMesh->elementIds[(size_t)i] = p[0];
        for (int c = 0; c < 8 && bOk; c++) {
            int n = FindNode(*pMesh, p[1 + c]);
            pMesh->elementNodes[(size_t)i * 8 + c] = n;
            bOk = n >= 0;
        }
    }
    if (!bOk) {
        NKOutput3DReadError(file.Path());
        return EventRead::kFailed;
    }
    return EventRead::kRead;
}

// The units (once per set), then the event's nodes and elements: every
// file the event's geometry is made from. The nodes of an event not
// computed in .k00 are not looked for in .e00.
EventRead ReadMesh(int iEvent, NKOutput3DEventMesh *pMesh)
{
    if (!NKOutput3DReadUnits()) return EventRead::kFailed;
    EventRead read = ReadNodes(iEvent, pMesh);
    return read == EventRead::kRead ? ReadElements(iEvent, pMesh) : read;
}

// The faces of a part's elements whose global nodes no other face of the
// part shares.
std::vector<int> OuterFaces(const std::vector<int> &globals)
{
    size_t iFaces = globals.size() / 8 * 6;
    std::vector<std::array<int, 4>> keys(iFaces);
    std::vector<int> faces(iFaces * 4);
    for (size_t e = 0; e < globals.size() / 8; e++) {
        int local[8], f[24];
        for (int c = 0; c < 8; c++) local[c] = (int)(8 * e) + c;
        NKGetHexaFaces(f, local, false);
        for (int k = 0; k < 6; k++) {
            std::array<int, 4> key;
            for (int j = 0; j < 4; j++) {
                faces[(6 * e + k) * 4 + j] = f[4 * k + j];
                key[(size_t)j] = globals[(size_t)f[4 * k + j]];
            }
            std::sort(key.begin(), key.end());
            keys[6 * e + k] = key;
        }
    }
    std::vector<size_t> order(iFaces);
    for (size_t i = 0; i < iFaces; i++) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    std::vector<uint8_t> shared(iFaces, 0);
    for (size_t i = 1; i < iFaces; i++) {
        if (keys[order[i]] == keys[order[i - 1]]) shared[order[i]] = shared[order[i - 1]] = 1;
    }
    std::vector<int> kept;
    for (size_t i = 0; i < iFaces; i++) {
        if (!shared[i]) kept.push_back((int)i);
    }
    std::vector<int> out;
    out.reserve(kept.size() * 4);
    for (int i : kept) out.insert(out.end(), &faces[(size_t)i * 4], &faces[(size_t)i * 4 + 4]);
    out.insert(out.end(), kept.begin(), kept.end());  // then the face indices
    return out;
}

// Fills one unit part from the event's elements with their record indices.
bool FillPart(NKPart *pPart, const std::vector<int> &records, const NKOutput3DEventMesh &mesh)
{
    size_t n = records.size();
    std::vector<int> map(n * 8), ids(n * 8), elemConnects(n * 8);
    std::vector<float> coords(n * 24);
    std::vector<NKElement> elements(n);
    for (size_t k = 0; k < n; k++) {
        int r = records[k];
        for (int c = 0; c < 8; c++) {
            int g = mesh.elementNodes[(size_t)r * 8 + c];
            map[k * 8 + c] = g;
            ids[k * 8 + c] = mesh.nodeIds[(size_t)g];
            elemConnects[k * 8 + c] = (int)(k * 8) + c;
            for (int j = 0; j < 3; j++)
                coords[(k * 8 + c) * 3 + j] = mesh.coords[(size_t)g * 3 + j];
        }
        elements[k] = NKElement{NK_ELEM_HEXAHEDRON, mesh.elementIds[(size_t)r], r, (int)(k * 8)};
    }
    std::vector<int> faces = OuterFaces(map);
    size_t iPolys = faces.size() / 5;
    std::vector<int> connects(faces.begin(), faces.begin() + (long)iPolys * 4);
    std::vector<int> starts(iPolys), counts(iPolys, 4), polyElems(iPolys);
    for (size_t i = 0; i < iPolys; i++) {
        starts[i] = (int)i * 4;
        polyElems[i] = faces[iPolys * 4 + i] / 6;
    }
    pPart->iNumNodes = (int)(n * 8);
    pPart->pNodeMap = NKAllocCopy(map);
    pPart->pNodeIDs = NKAllocCopy(ids);
    pPart->pNodeCoords = NKAllocCopy(coords);
    bool bPolygons = NKSetPartPolygons(pPart, connects, starts, counts, polyElems);
    pPart->iUniformPolygonSize = 4;
    pPart->iNumElements = (int)n;
    pPart->pElements = NKAllocCopy(elements);
    pPart->iNumElementConnects = (int)elemConnects.size();
    pPart->pElementConnects = NKAllocCopy(elemConnects);
    return n == 0 || (bPolygons && pPart->pNodeMap && pPart->pNodeIDs && pPart->pNodeCoords &&
                      pPart->pElements && pPart->pElementConnects);
}

std::string PartName(int iUnit)
{
    std::string name = NKString::FromFormat("Geo Unit %d", iUnit).GetText();
    for (const auto &entry : g_Output3DSet.unitNames) {
        if (entry.first == iUnit) name = entry.second;
    }
    return name;
}

// NKOutput3DCreateGeometry: the unit parts, then the overlay parts.
NKGeometry *CreateGeometry(const NKOutput3DEventMesh &mesh)
{
    const NKOutput3DSet &set = g_Output3DSet;
    int iUnits = (int)set.usedUnits.size();
    int iParts = iUnits + (int)set.overlays.size();
    NKGeometry *pGeo = NKCreateGeometry(iParts > 0 ? iParts : -1);
    if (pGeo == nullptr) return nullptr;
    std::vector<std::vector<int>> records((size_t)iUnits);
    for (size_t r = 0; r < mesh.elementIds.size(); r++) {
        int iPart = NKOutput3DUnitPart(set.elementUnits[(size_t)mesh.elementIds[r] - 1]);
        if (iPart >= 0) records[(size_t)iPart].push_back((int)r);
    }
    bool bOk = true;
    int iPolygons = 0;
    for (int p = 0; p < iUnits && bOk; p++) {
        NKPart *pPart = &pGeo->pParts[p];
        pPart->szName = PartName(set.usedUnits[(size_t)p]).c_str();
        bOk = FillPart(pPart, records[(size_t)p], mesh);
        pPart->iFirstPolygon = iPolygons;
        iPolygons += pPart->iNumPolygons;
    }
    pGeo->iGlobalNumNodes = (int)mesh.nodeIds.size();
    if (bOk) bOk = NKOutput3DAppendOverlayParts(pGeo, iUnits);
    if (!bOk) {
        NKPrintError("Error reducing geometry.");
        NKReleaseGeometry(pGeo);
        return nullptr;
    }
    pGeo->szFileName = set.base.c_str();
    return pGeo;
}

}  // namespace

int NKOutput3DUnitPart(int iUnit)
{
    const std::vector<int> &u = g_Output3DSet.usedUnits;
    auto it = std::lower_bound(u.begin(), u.end(), iUnit);
    return it != u.end() && *it == iUnit ? (int)(it - u.begin()) : -1;
}

bool NKOutput3DReadUnits(void)
{
    NKOutput3DSet &set = g_Output3DSet;
    if (set.bUnitsRead) return true;
    NKOutput3DFile file;
    if (!NKOutput3DOpenBinary("elm", &file, nullptr)) return false;
    std::vector<int> units;
    bool bOk = file.Fits(NK_O3D_HEADER_BYTES, set.header.iNumElements);
    if (bOk) units.resize((size_t)set.header.iNumElements);
    bOk = bOk && file.ReadWords(NK_O3D_HEADER_BYTES, units.data(), (int64_t)units.size());
    for (size_t i = 0; i < units.size() && bOk; i++) bOk = units[i] >= 0;
    if (!bOk) {
        NKOutput3DReadError(file.Path());
        return false;
    }
    std::vector<int> used = units;
    std::sort(used.begin(), used.end());
    used.erase(std::unique(used.begin(), used.end()), used.end());
    set.elementUnits = std::move(units);
    set.usedUnits = std::move(used);
    set.bUnitsRead = true;
    return true;
}

bool NKOutput3DCheckEvent(int iEvent)
{
    NKOutput3DSet &set = g_Output3DSet;
    // An event outside the set is refused by the read that asks for it.
    if (!set.bOpen || iEvent < 0 || iEvent >= set.header.iNumEvents) return true;
    if (iEvent == set.iLastEvent || iEvent == set.iCheckedEvent) return true;
    if (set.eventSound.size() != (size_t)set.header.iNumEvents)
        set.eventSound.assign((size_t)set.header.iNumEvents, 0);
    if (set.eventSound[(size_t)iEvent] != 0) return true;
    NKOutput3DEventMesh mesh;
    EventRead read = ReadMesh(iEvent, &mesh);
    if (read == EventRead::kFailed) return false;
    // An event not computed has no geometry to refuse: its read keeps the
    // geometry in use and says that it is not computed.
    if (read == EventRead::kNotComputed) return true;
    set.eventSound[(size_t)iEvent] = 1;
    set.iCheckedEvent = iEvent;
    set.checkedMesh = std::move(mesh);
    return true;
}

NKGeometry *NKOutput3DGetGeometry(int iEvent)
{
    NKOutput3DSet &set = g_Output3DSet;
    if (!set.bOpen) return nullptr;
    if (iEvent < 0 || iEvent >= set.header.iNumEvents) {
        NKPrintError(NKString::FromFormat("Illegal step specified %d. Legal: 1 - %d", iEvent + 1,
                                          set.header.iNumEvents)
                         .GetText());
        return nullptr;
    }
    if (iEvent == set.iLastEvent) return nullptr;
    NKTimerStart("Reading geometry");
    // The mesh the check read for this event is used once; any other is read.
    NKOutput3DEventMesh mesh;
    EventRead read = EventRead::kRead;
    if (iEvent == set.iCheckedEvent)
        mesh = std::move(set.checkedMesh);
    else
        read = ReadMesh(iEvent, &mesh);
    set.iCheckedEvent = -1;
    set.checkedMesh = NKOutput3DEventMesh();
    if (read == EventRead::kNotComputed) NKPrintError("This step is not calculated yet.");
    if (read != EventRead::kRead) return nullptr;
    NKPrintInfo(NKString::FromFormat("Number of nodes : %d", (int)mesh.nodeIds.size()).GetText());
    NKPrintInfo(
        NKString::FromFormat("Number of elements: %d", (int)mesh.elementIds.size()).GetText());
    NKGeometry *pGeo = CreateGeometry(mesh);
    if (pGeo == nullptr) return nullptr;
    pGeo->iStepNumber = iEvent;
    set.iLastEvent = iEvent;
    // The load pipeline resets the axis scales after the open.
    if (!set.bScaleSet) NKOutput3DSetZScale(set.header);
    set.bScaleSet = true;
    NKTimerStop("Finished reading geometry ");
    return pGeo;
}
