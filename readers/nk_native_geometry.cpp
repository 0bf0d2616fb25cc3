// readers/nk_native_geometry.cpp -- reading the older native geometry file
// into an NKGeometry (formats and contracts in nk_native_geometry.h).
//
// The file is read whole into memory. Both forms are first turned into the
// same raw content (part ranges, coordinates, connectivity), checked as a
// whole, and then split into parts. The element topology reader is in
// nk_native_topology.cpp.
#include "readers/nk_native_geometry.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/nk_file.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_text_utils.h"
#include "readers/nk_native_file_utils.h"

namespace {

// The raw content of a geometry file, 0-based.
struct RawGeometry {
    NKGeometryFileHeader header;
    std::vector<int> ranges;    // first and last polygon per part
    std::vector<float> coords;  // three per node
    std::vector<int> connects;  // 1-based, the last of each polygon negated
};

void Fail(const char *pszFormat, const char *pszFileName)
{
    NKPrintError(NKString::FromFormat(pszFormat, pszFileName).GetText());
}

// The header rules shared by both forms: w holds the first four words and,
// in the magic form, *piNext is asked for the connects word.
template <typename NextInt>
bool DecodeHeader(const int w[4], NextInt next, NKGeometryFileHeader *pHeader)
{
    pHeader->bMagic = w[0] == 1 && w[1] < w[2];
    if (pHeader->bMagic) {
        int iConnects = 0;
        if (!next(&iConnects)) return false;
        if (iConnects == 1) {
            pHeader->bMagic = false;
            pHeader->bFirstStartRead = true;
            pHeader->iNumParts = 1;
            pHeader->iNumNodes = w[1];
            pHeader->iNumPolygons = w[2];
            pHeader->iNumConnects = w[3];
        } else {
            pHeader->iNumParts = w[1];
            pHeader->iNumNodes = w[2];
            pHeader->iNumPolygons = w[3];
            pHeader->iNumConnects = iConnects;
        }
    } else {
        pHeader->iNumParts = w[0];
        pHeader->iNumNodes = w[1];
        pHeader->iNumPolygons = w[2];
        pHeader->iNumConnects = w[3];
    }
    return true;
}

bool HeaderCountsValid(const NKGeometryFileHeader &h)
{
    return h.iNumParts >= 1 && h.iNumNodes >= 0 && h.iNumPolygons >= 0 && h.iNumConnects >= 0 &&
           static_cast<int64_t>(h.iNumPolygons) <= 2 * static_cast<int64_t>(h.iNumConnects);
}

// ---- Binary form -------------------------------------------------------------

bool ReadBinaryHeader(NKWordReader *pWords, NKGeometryFileHeader *pHeader)
{
    int w[4];
    for (int &word : w)
        if (!pWords->Next(&word)) return false;
    return DecodeHeader(
        w, [pWords](int *p) { return pWords->Next(p); }, pHeader);
}

// The part ranges, word by word, so that a short file names the range word
// it lacks (1-based part).
bool ReadBinaryRanges(NKWordReader *pWords, const char *pszFileName, RawGeometry *pRaw)
{
    const NKGeometryFileHeader &h = pRaw->header;
    // The ranges grow as they are read: a damaged part count that claims
    // billions of parts fails at the end of the file, not in an allocation.
    pRaw->ranges.clear();
    for (int p = 0; p < h.iNumParts; p++) {
        pRaw->ranges.resize(pRaw->ranges.size() + 2);
        int *pRange = &pRaw->ranges[pRaw->ranges.size() - 2];
        const bool bFromGiven = p == 0 && h.bFirstStartRead;
        if (bFromGiven) pRange[0] = 1;
        const char *pszShort = nullptr;
        if (!bFromGiven && !pWords->Next(&pRange[0]))
            pszShort = "Error reading FromPolygon for part %d from file %s";
        else if (!pWords->Next(&pRange[1]))
            pszShort = "Error reading ToPolygon for part %d from file %s";
        if (pszShort != nullptr) {
            NKPrintError(NKString::FromFormat(pszShort, p + 1, pszFileName).GetText());
            return false;
        }
    }
    return true;
}

// Nodes and connects; every count is checked against the words left before
// its array is made. A short node block names the first node it lacks and
// the coordinates of it that are there.
bool ReadBinaryNodesAndConnects(NKWordReader *pWords, const char *pszFileName, RawGeometry *pRaw)
{
    const NKGeometryFileHeader &h = pRaw->header;
    const int64_t iCoords = 3 * static_cast<int64_t>(h.iNumNodes);
    if (pWords->WordsLeft() < iCoords) {
        const int64_t iLeft = pWords->WordsLeft();
        NKPrintError(NKString::FromFormat("Error reading node %d from file %s. Num read %d",
                                          static_cast<int>(iLeft / 3) + 1, pszFileName,
                                          static_cast<int>(iLeft % 3))
                         .GetText());
        return false;
    }
    pRaw->coords.resize(static_cast<size_t>(iCoords));
    pWords->Floats(pRaw->coords.data(), pRaw->coords.size());
    // A coordinate that is not finite (NaN or either infinity) would spoil
    // every box and scale the node takes part in. (The text form refuses
    // such a word as it reads it.)
    const int64_t iBad = NKFirstNotFinite(pRaw->coords.data(), iCoords);
    if (iBad >= 0) {
        NKPrintError(NKString::FromFormat("Error reading node %d from file %s: a coordinate is "
                                          "not finite.",
                                          static_cast<int>(iBad / 3) + 1, pszFileName)
                         .GetText());
        return false;
    }
    if (pWords->WordsLeft() < h.iNumConnects) {
        NKPrintError(NKString::FromFormat("Error reading connects from file %s. (Num read: %d, "
                                          "#connects = %d",
                                          pszFileName, static_cast<int>(pWords->WordsLeft()),
                                          h.iNumConnects)
                         .GetText());
        return false;
    }
    pRaw->connects.resize(static_cast<size_t>(h.iNumConnects));
    pWords->Ints(pRaw->connects.data(), pRaw->connects.size());
    return true;
}

bool ReadBinaryGeometry(const std::string &bytes, const char *pszFileName, RawGeometry *pRaw)
{
    NKWordReader words(bytes, pRaw->header.bSwap);
    if (!ReadBinaryHeader(&words, &pRaw->header)) {
        if (words.Count() < 4)
            NKPrintError(NKString::FromFormat("Error reading header from binary file %s. Num "
                                              "items read %d",
                                              pszFileName, words.Count())
                             .GetText());
        else
            Fail("Error reading NumConnects from file with magic number %s", pszFileName);
        return false;
    }
    if (!HeaderCountsValid(pRaw->header)) {
        Fail("Wrong geometry file format in %s", pszFileName);
        return false;
    }
    return ReadBinaryRanges(&words, pszFileName, pRaw) &&
           ReadBinaryNodesAndConnects(&words, pszFileName, pRaw);
}

// ---- ASCII form --------------------------------------------------------------

bool NextTextInt(const char **ppCursor, int *piValue)
{
    int32_t i = 0;
    if (NKScanIntWord(ppCursor, &i) != NK_WORD_NUMBER) return false;
    *piValue = i;
    return true;
}

bool ReadTextHeader(const char **ppCursor, int *piRead, NKGeometryFileHeader *pHeader)
{
    int w[4];
    for (*piRead = 0; *piRead < 4; (*piRead)++)
        if (!NextTextInt(ppCursor, &w[*piRead])) return false;
    return DecodeHeader(
        w, [ppCursor](int *p) { return NextTextInt(ppCursor, p); }, pHeader);
}

bool ReadTextRanges(const char **ppCursor, const char *pszFileName, RawGeometry *pRaw)
{
    const NKGeometryFileHeader &h = pRaw->header;
    pRaw->ranges.clear();  // grows as read, as in the binary form
    for (int p = 0; p < h.iNumParts; p++) {
        pRaw->ranges.resize(pRaw->ranges.size() + 2);
        int *pRange = &pRaw->ranges[pRaw->ranges.size() - 2];
        bool bOk = (p == 0 && h.bFirstStartRead)
                       ? (pRange[0] = 1, NextTextInt(ppCursor, &pRange[1]))
                       : NextTextInt(ppCursor, &pRange[0]) && NextTextInt(ppCursor, &pRange[1]);
        if (bOk && p == 0 && pRange[0] != 1) {
            // A first range that does not start at 1 must be "x 1 end".
            bOk = pRange[1] == 1 && NextTextInt(ppCursor, &pRange[1]);
            if (!bOk) {
                Fail("Wrong file format in %s", pszFileName);
                return false;
            }
            pRange[0] = 1;
        }
        if (!bOk) {
            NKPrintError(NKString::FromFormat("Error reading part specification for part %d from "
                                              "file %s",
                                              p + 1, pszFileName)
                             .GetText());
            return false;
        }
    }
    return true;
}

bool ReadTextGeometry(const std::string &text, const char *pszFileName, RawGeometry *pRaw)
{
    const char *pCursor = text.c_str();
    int iRead = 0;
    if (!ReadTextHeader(&pCursor, &iRead, &pRaw->header)) {
        if (iRead < 4)
            NKPrintError(NKString::FromFormat("Error reading header from ASCII file %s. Tried to "
                                              "read 4 numbers, read %d numbers",
                                              pszFileName, iRead)
                             .GetText());
        else
            Fail("Error reading number of connects from file with magic number 1: %s", pszFileName);
        return false;
    }
    const NKGeometryFileHeader &h = pRaw->header;
    if (!HeaderCountsValid(h) ||
        !NKNumbersFit(text, pCursor,
                      2 * static_cast<int64_t>(h.iNumParts) +
                          3 * static_cast<int64_t>(h.iNumNodes) + h.iNumConnects)) {
        Fail("Wrong geometry file format in %s", pszFileName);
        return false;
    }
    if (!ReadTextRanges(&pCursor, pszFileName, pRaw)) return false;
    pRaw->coords.resize(3 * static_cast<size_t>(h.iNumNodes));
    for (int n = 0; n < h.iNumNodes; n++) {
        for (int k = 0; k < 3; k++) {
            if (NKScanFloatWord(&pCursor, &pRaw->coords[3 * static_cast<size_t>(n) + k]) !=
                NK_WORD_NUMBER) {
                NKPrintError(NKString::FromFormat("Error reading node %d from file %s. Num read %d",
                                                  n + 1, pszFileName, k)
                                 .GetText());
                return false;
            }
        }
    }
    pRaw->connects.resize(static_cast<size_t>(h.iNumConnects));
    for (int c = 0; c < h.iNumConnects; c++) {
        if (!NextTextInt(&pCursor, &pRaw->connects[static_cast<size_t>(c)])) {
            NKPrintError(NKString::FromFormat("Error reading connect %d from file %s. Num read %d",
                                              c + 1, pszFileName, 0)
                             .GetText());
            return false;
        }
    }
    return true;
}

// ---- Checks and parts ----------------------------------------------------------

// Polygon starts (and one past the end) from the connectivity, which becomes
// 0-based. False, reported, for a bad node or a connectivity that does not
// close exactly the header's polygons.
bool SplitPolygons(RawGeometry *pRaw, const char *pszFileName, std::vector<int> *pStarts)
{
    const int iNodes = pRaw->header.iNumNodes;
    pStarts->clear();
    pStarts->reserve(static_cast<size_t>(pRaw->header.iNumPolygons) + 1);
    pStarts->push_back(0);
    const int iCount = static_cast<int>(pRaw->connects.size());
    for (int c = 0; c < iCount; c++) {
        int v = pRaw->connects[static_cast<size_t>(c)];
        // The smallest int has no positive twin: it is refused as 0 is.
        int a = v == INT32_MIN ? 0 : v < 0 ? -v : v;
        if (a < 1 || a > iNodes) {
            NKPrintError(NKString::FromFormat("Illegal node specified in connectivity array: %d. "
                                              "Legal values: 1 - %d",
                                              v, iNodes)
                             .GetText());
            return false;
        }
        pRaw->connects[static_cast<size_t>(c)] = a - 1;
        if (v < 0) pStarts->push_back(c + 1);
    }
    if (static_cast<int>(pStarts->size()) - 1 != pRaw->header.iNumPolygons ||
        pStarts->back() != iCount) {
        Fail("Wrong geometry file format in %s", pszFileName);
        return false;
    }
    return true;
}

bool RangesValid(const RawGeometry &raw)
{
    for (size_t p = 0; p < raw.ranges.size(); p += 2) {
        int a = raw.ranges[p], b = raw.ranges[p + 1];
        if (a < 1 || b < a || b > raw.header.iNumPolygons) return false;
    }
    return true;
}

template <typename T>
T *CopyToNK(const std::vector<T> &values)
{
    if (values.empty()) return nullptr;
    T *p = static_cast<T *>(NKAlloc(values.size() * sizeof(T)));
    if (p != nullptr) std::memcpy(p, values.data(), values.size() * sizeof(T));
    return p;
}

// Part p from polygons a..b (0-based), its nodes in order of first use; the
// used file nodes get their mark. piLocal holds -1 for every file node on
// entry and on return.
bool BuildPart(const RawGeometry &raw, const std::vector<int> &starts, int a, int b,
               std::vector<int> *piLocal, std::vector<uint8_t> *pUsed, NKPart *pPart)
{
    std::vector<int> nodes, connects, counts, polyStarts;
    int iFrom = starts[static_cast<size_t>(a)], iTo = starts[static_cast<size_t>(b) + 1];
    connects.reserve(static_cast<size_t>(iTo - iFrom));
    for (int c = iFrom; c < iTo; c++) {
        int g = raw.connects[static_cast<size_t>(c)];
        int &local = (*piLocal)[static_cast<size_t>(g)];
        if (local < 0) {
            local = static_cast<int>(nodes.size());
            nodes.push_back(g);
            (*pUsed)[static_cast<size_t>(g)] = 1;
        }
        connects.push_back(local);
    }
    for (int k = a; k <= b; k++) {
        polyStarts.push_back(starts[static_cast<size_t>(k)] - iFrom);
        counts.push_back(starts[static_cast<size_t>(k) + 1] - starts[static_cast<size_t>(k)]);
    }
    for (int g : nodes) (*piLocal)[static_cast<size_t>(g)] = -1;
    std::vector<float> coords(3 * nodes.size());
    for (size_t j = 0; j < nodes.size(); j++)
        std::memcpy(&coords[3 * j], &raw.coords[3 * static_cast<size_t>(nodes[j])],
                    3 * sizeof(float));
    pPart->iNumNodes = static_cast<int>(nodes.size());
    pPart->iNumPolygons = b - a + 1;
    pPart->iNumConnects = static_cast<int>(connects.size());
    pPart->pNodeMap = CopyToNK(nodes);
    pPart->pNodeCoords = CopyToNK(coords);
    pPart->pConnects = CopyToNK(connects);
    pPart->pPolygonStart = CopyToNK(polyStarts);
    pPart->pPolygonNumNodes = CopyToNK(counts);
    return (nodes.empty() || (pPart->pNodeMap && pPart->pNodeCoords)) &&
           (connects.empty() || pPart->pConnects) && pPart->pPolygonStart &&
           pPart->pPolygonNumNodes;
}

// The file nodes that no part uses go to the end of the last part.
bool AppendUnusedNodes(const RawGeometry &raw, const std::vector<uint8_t> &used, NKPart *pLast)
{
    std::vector<int> extra;
    for (size_t g = 0; g < used.size(); g++)
        if (!used[g]) extra.push_back(static_cast<int>(g));
    if (extra.empty()) return true;
    std::vector<int> map(pLast->pNodeMap, pLast->pNodeMap + pLast->iNumNodes);
    std::vector<float> coords(pLast->pNodeCoords, pLast->pNodeCoords + 3 * pLast->iNumNodes);
    for (int g : extra) {
        map.push_back(g);
        coords.insert(coords.end(), &raw.coords[3 * static_cast<size_t>(g)],
                      &raw.coords[3 * static_cast<size_t>(g)] + 3);
    }
    NKFree(pLast->pNodeMap);
    NKFree(pLast->pNodeCoords);
    pLast->pNodeMap = CopyToNK(map);
    pLast->pNodeCoords = CopyToNK(coords);
    pLast->iNumNodes = static_cast<int>(map.size());
    return pLast->pNodeMap != nullptr && pLast->pNodeCoords != nullptr;
}

NKGeometry *BuildGeometry(RawGeometry *pRaw, const char *pszFileName)
{
    std::vector<int> starts;
    if (!SplitPolygons(pRaw, pszFileName, &starts)) return nullptr;
    if (!RangesValid(*pRaw)) {
        Fail("Wrong geometry file format in %s", pszFileName);
        return nullptr;
    }
    const int iParts = pRaw->header.iNumParts;
    NKGeometry *pGeo = NKCreateGeometry(iParts);
    if (pGeo == nullptr) {
        NKPrintError("Error allocating memory for geometry.");
        return nullptr;
    }
    std::vector<int> local(static_cast<size_t>(pRaw->header.iNumNodes), -1);
    std::vector<uint8_t> used(static_cast<size_t>(pRaw->header.iNumNodes), 0);
    bool bOk = true;
    int iPolygonsBefore = 0;
    for (int p = 0; p < iParts && bOk; p++) {
        NKPart *pPart = &pGeo->pParts[p];
        bOk = BuildPart(*pRaw, starts, pRaw->ranges[2 * static_cast<size_t>(p)] - 1,
                        pRaw->ranges[2 * static_cast<size_t>(p) + 1] - 1, &local, &used, pPart);
        pPart->iFirstPolygon = iPolygonsBefore;
        iPolygonsBefore += pPart->iNumPolygons;
    }
    bOk = bOk && AppendUnusedNodes(*pRaw, used, &pGeo->pParts[iParts - 1]);
    if (!bOk) {
        NKPrintError(NKString::FromFormat("Error allocating memory for nodes (#nodes = %d).",
                                          pRaw->header.iNumNodes)
                         .GetText());
        NKReleaseGeometry(pGeo);
        return nullptr;
    }
    for (int p = 0; p < iParts; p++) {
        pGeo->iTotalNumNodes += pGeo->pParts[p].iNumNodes;
        pGeo->iTotalNumPolygons += pGeo->pParts[p].iNumPolygons;
        pGeo->iTotalNumConnects += pGeo->pParts[p].iNumConnects;
    }
    pGeo->iGlobalNumNodes = pRaw->header.iNumNodes;
    pGeo->szFileName = pszFileName;
    return pGeo;
}

}  // namespace

bool NKReadGeometryFileHeader(const char *pszFileName, NKGeometryFileHeader *pHeader)
{
    std::string bytes;
    if (pszFileName == nullptr || pHeader == nullptr || !NKReadFileHead(pszFileName, 4096, &bytes))
        return false;
    *pHeader = NKGeometryFileHeader();
    pHeader->bBinary = NKIsBinaryText(bytes);
    if (pHeader->bBinary) {
        if (!NKDecideByteOrder(bytes, &pHeader->bSwap)) return false;
        NKWordReader words(bytes, pHeader->bSwap);
        if (!ReadBinaryHeader(&words, pHeader)) return false;
    } else {
        const char *pCursor = bytes.c_str();
        int iRead = 0;
        if (!ReadTextHeader(&pCursor, &iRead, pHeader)) return false;
    }
    return HeaderCountsValid(*pHeader);
}

NKGeometry *NKReadGeometryFile(const char *pszFileName)
{
    if (pszFileName == nullptr) return nullptr;
    std::string bytes;
    if (!NKReadWholeFile(pszFileName, &bytes)) {
        Fail("Unable to open geometry file %s", pszFileName);
        return nullptr;
    }
    RawGeometry raw;
    raw.header.bBinary = NKIsBinaryText(bytes);
    bool bOk = false;
    if (raw.header.bBinary) {
        bOk = NKDecideByteOrder(bytes, &raw.header.bSwap);
        if (!bOk)
            Fail("Wrong geometry file format in %s", pszFileName);
        else
            bOk = ReadBinaryGeometry(bytes, pszFileName, &raw);
    } else {
        bOk = ReadTextGeometry(bytes, pszFileName, &raw);
    }
    return bOk ? BuildGeometry(&raw, pszFileName) : nullptr;
}
