// readers/nk_lsdyna_th_open.cpp -- opening an LS-DYNA time-history
// database: the header with its range lists, the walk over the family that
// lists the states, the user numbering, the category and component flags,
// the item lists and the node list (see nk_lsdyna_th.h for the layout).
//
// Every range end and every connectivity node number is checked against its
// entity count before anything is indexed by it; a bad one fails with its
// list's message. The states are listed, and the family's damage read, by
// the walk the plot database's scan uses (nk_lsdyna_walk.h).
#include <algorithm>
#include <cstring>
#include <utility>

#include "core/nk_diagnostic.h"
#include "core/nk_file_read.h"
#include "core/nk_message.h"
#include "readers/nk_lsdyna_th_data.h"
#include "readers/nk_lsdyna_walk.h"

LSDynaThControl g_LSDynaTh;

const char *const g_apszThCategoryNames[NK_TH_NUM_CATEGORIES] = {
    "Brick Elements", "Shell Elements", "Thick Shell Elements", "Beam Elements", "Nodes",
    "Materials",      "Globals",        "Interface Forces"};

const char *const g_apszThComponentNames[NK_TH_NUM_COMPONENTS] = {
    "Von Mises Effective Stress",
    "Plastic Strain",
    "Pressure/Average Stress",
    "Maximum Principal Stress",
    "Second Principal Stress",
    "Minimum Principal Stress",
    "Maximum Shear Stress",
    "X Axis Stress",
    "Y Axis Stress",
    "Z Axis Stress",
    "XY Shear Stress",
    "YZ Shear Stress",
    "ZX Shear Stress",
    "Shell Thickness",
    "Temperature",
    "Norm Displacement",
    "X Displacement",
    "Y Displacement",
    "Z Displacement",
    "Norm Velocity",
    "X Velocity",
    "Y Velocity",
    "Z Velocity",
    "Norm Acceleration",
    "X Acceleration",
    "Y Acceleration",
    "Z Acceleration",
    "X Coordinate",
    "Y Coordinate",
    "Z Coordinate",
    "Kinetic Energy",
    "Internal Energy",
    "Total Energy",
    "Kinetic + Internal Energy",
    "Kinetic, Internal and Total Energy",
    "Norm Force",
    "X Force",
    "Y Force",
    "Z Force",
    "Axial Force Resultant",
    "S-Shear Force Resultant",
    "T-Shear Force Resultant",
    "S-Moment Resultant",
    "T-Moment Resultant",
    "Torsion Moment Resultant",
    "X Axis Strain",
    "Y Axis Strain",
    "Z Axis Strain",
    "XY Shear Strain",
    "YZ Shear Strain",
    "ZX Shear Strain"};

namespace {

const char *const kReadHeader = "NKLSDPReadHeader";
const char *const kScanFiles = "NKLSDPScanFiles";

// The count word, the entity count word and the message of each range list.
const int kRangeCountWord[5] = {25, 60, 61, 62, 63};
const int kEntityWord[5] = {NK_DW_NUMNP, NK_DW_NEL8, NK_DW_NEL2, NK_DW_NEL4, NK_DW_NELT};
const char *const kRangeMessage[5] = {"Error reading NDSB.", "Error reading NSTHB.",
                                      "Error reading NSTBB.", "Error reading NSTSB.",
                                      "Error reading NSTTB."};

// Reports a failure of the open to the user and to the diagnostics trace.
bool Fail(const char *pszMessage, const char *pszFunction)
{
    NKPrintError(pszMessage);
    return NKDiagnostic(pszMessage, pszFunction);
}

// Fail for a file that cannot be read as a database: the line naming its
// first file (and why, where that shows) follows the message.
bool FailFile(const LSDynaThControl &c, const char *pszMessage, const char *pszFunction)
{
    NKPrintError(pszMessage);
    NKPrintFileProblem(c.files[0].szFileName.GetText());
    return NKDiagnostic(pszMessage, pszFunction);
}

int64_t FamilyWords(const LSDynaThControl &c)
{
    int64_t n = 0;
    for (size_t i = 0; i < c.files.size(); i++)
        n += NKLSDynaFileWords(c.files, (int)i, c.iWordSize);
    return n;
}

// Checks the control words that size anything; false with a message.
bool CheckControlWords(const LSDynaThControl &c)
{
    const char *pszBad = NKLSDynaOutOfRangeWord(c.header.w, true);
    if (pszBad == nullptr && c.W(NK_DW_NDIM) < 1) pszBad = "NDIM";
    // Every material gets an ID and a series: more materials than the family
    // has words come from a damaged header (and their sum must fit an int).
    int64_t iMaterials =
        (int64_t)c.W(NK_DW_NUMMAT8) + c.W(NK_DW_NUMMAT2) + c.W(NK_DW_NUMMAT4) + c.W(NK_DW_NUMMATT);
    if (pszBad == nullptr && iMaterials > std::min<int64_t>(FamilyWords(c), 1 << 30))
        pszBad = "NUMMAT8";
    if (pszBad == nullptr) return true;
    NKString msg = NKString::FromFormat("LS-DYNA file %s: header word %s is out of range.",
                                        c.files[0].szFileName.GetText(), pszBad);
    return Fail(msg.GetText(), kReadHeader);
}

// Reads list k from the stream's position: its ranges, each inside 1..the
// entity count, and no more entities in all than there are.
bool ReadRangeList(LSDynaThControl &c, LSDynaStream *s, int k, int64_t *piWordsLeft)
{
    int64_t n = c.W(kRangeCountWord[k]);
    if (n < 0 || 2 * n > *piWordsLeft) return Fail(kRangeMessage[k], kReadHeader);
    std::vector<int> words((size_t)(2 * n));
    if (s->ReadInts(words.data(), 2 * n) != 2 * n) return Fail(kRangeMessage[k], kReadHeader);
    *piWordsLeft -= 2 * n;
    int64_t iEntities = c.W(kEntityWord[k]), iTotal = 0;
    for (int64_t r = 0; r < n; r++) {
        LSDynaThRange range = {words[(size_t)(2 * r)], words[(size_t)(2 * r + 1)]};
        if (range.iFirst < 1 || range.iLast < range.iFirst || range.iLast > iEntities)
            return Fail(kRangeMessage[k], kReadHeader);
        iTotal += (int64_t)range.iLast - range.iFirst + 1;
        if (iTotal > iEntities) return Fail(kRangeMessage[k], kReadHeader);
        c.ranges[k].push_back(range);
    }
    c.aiTotals[k] = (int)iTotal;
    return true;
}

void DeriveCounts(LSDynaThControl &c)
{
    LSDynaHeader &h = c.header;
    h.NDIM = std::min(c.W(NK_DW_NDIM), 3);
    int iMaxInt = c.W(NK_DW_MAXINT);
    if (iMaxInt < -10000) {
        h.MDLOPT = 2;
        h.MAXINT = (int)(-(int64_t)iMaxInt - 10000);
    } else if (iMaxInt < 0) {
        h.MDLOPT = 1;
        h.MAXINT = -iMaxInt;
    } else {
        h.MAXINT = iMaxInt >= 10000 ? iMaxInt - 10000 : iMaxInt;
    }
    int64_t v =
        (int64_t)c.W(NK_DW_NV2D) - ((int64_t)c.W(NK_DW_NEIPS) + 7) * std::max(h.MAXINT, 3) - 12;
    h.ISTRN = (int)(v / 12);
    h.NUMMAT = c.W(NK_DW_NUMMAT8) + c.W(NK_DW_NUMMAT2) + c.W(NK_DW_NUMMAT4) + c.W(NK_DW_NUMMATT);
    h.IT = c.W(NK_DW_IT);
    int64_t iForce = (int64_t)c.W(NK_DW_NGLBV) - 6LL * h.NUMMAT - 6;
    c.iInterfaceWords = (int)std::max<int64_t>(iForce, -1);
    h.iHeaderWords = c.iGeometryStart;
    std::memcpy(c.title, h.title, sizeof(c.title));
}

// The header: format, title, control words and the five range lists.
bool ReadHeader(LSDynaThControl &c)
{
    c.iFormat = NKLSDynaDetectFormat(c.files[0].szFileName.GetText(), &c.iWordSize, &c.bSwap);
    if (c.iFormat == NK_DYNA_NOT_DATABASE)
        return FailFile(c, "Format error in LSDYNA file.", kReadHeader);
    LSDynaHeader &h = c.header;
    h = LSDynaHeader();
    h.iFileIndex = 0;
    LSDynaStream s(&c.files, c.iFormat, c.bSwap);
    int aiWords[NK_DW_COUNT];
    if (!NKLSDynaReadTitle(c.files[0], c.iFormat, c.iWordSize, c.bSwap, h.title) || !s.Seek(0, 0) ||
        s.ReadInts(aiWords, NK_DW_COUNT) != NK_DW_COUNT)
        return FailFile(c, "Error reading LSDYNA file.", kReadHeader);
    for (int i = 10; i < NK_DW_COUNT; i++) h.w[i] = aiWords[i];
    if (!CheckControlWords(c)) return false;
    int64_t iStart = 64 + std::max(c.W(NK_DW_EXTRA), 0);
    int64_t iLeft = FamilyWords(c) - iStart;
    if (!s.Seek(0, iStart)) iLeft = 0;
    for (int k = 0; k < 5; k++) {
        if (!ReadRangeList(c, &s, k, &iLeft)) return false;
        iStart += 2LL * c.W(kRangeCountWord[k]);
    }
    c.iGeometryStart = iStart;
    DeriveCounts(c);
    return true;
}

// Word offsets of the blocks of a state and the state size.
void ComputeStateLayout(LSDynaThControl &c)
{
    const LSDynaHeader &h = c.header;
    bool bBlocks = c.W(59) >= 1;
    int64_t p = 1 + (int64_t)c.W(NK_DW_NGLBV);
    if (c.W(25) >= 1) {
        c.iNodeStride = (c.W(NK_DW_IU) == 1 ? h.NDIM : 0) + (h.IT == 1 ? 1 : 0) +
                        (c.W(NK_DW_IV) == 1 ? h.NDIM : 0) + (c.W(NK_DW_IA) == 1 ? h.NDIM : 0);
        c.iNodeBlock = p + 1;
        p += 1 + (int64_t)c.aiTotals[NK_TH_NDSB] * c.iNodeStride;
    }
    int64_t nSolids = c.aiTotals[NK_TH_NSTHB], nThick = c.aiTotals[NK_TH_NSTTB];
    int64_t nShells = c.aiTotals[NK_TH_NSTSB], nBeams = c.aiTotals[NK_TH_NSTBB];
    if (bBlocks && nSolids > 0) c.iSolidNodes = p + 1, p += 1 + 56 * nSolids;
    c.iSolidResults = p;
    p += nSolids * c.W(NK_DW_NV3D);
    if (bBlocks && nThick > 0) c.iThickNodes = p + 1, p += 1 + 56 * nThick;
    if (bBlocks && nShells > 0) c.iShellNodes = p + 1, p += 1 + 28 * nShells;
    c.iThickResults = p;
    p += nThick * c.W(NK_DW_NV3DT);
    if (nBeams > 0) p += 1;
    c.iBeamResults = p;
    p += nBeams * c.W(NK_DW_NV1D);
    c.iShellResults = p;
    p += nShells * c.W(NK_DW_NV2D);
    c.iStateSize = p;
}

}  // namespace

// ---- The walk over the family -------------------------------------------------------

namespace {

// Lists the states of the family; false with a message when it cannot.
bool ScanFiles(LSDynaThControl &c)
{
    const LSDynaHeader &h = c.header;
    c.iGeometrySize = (int64_t)h.NUMNP() * h.NDIM + 9LL * h.NEL8() + 9LL * h.NELT() +
                      5LL * h.NEL4() + 6LL * h.NEL2() + c.W(NK_DW_NARBS);
    ComputeStateLayout(c);
    std::vector<LSDynaThState> states;
    LSDynaStateWalk walk(&c.files, c.iFormat, c.bSwap, [&states](int i, int64_t o, float t) {
        states.push_back({i, o, t});
        return true;
    });
    const bool bRun = walk.Run([&c](int, int64_t *pS, int64_t *piStatesAt) {
        *pS = c.iStateSize;
        *piStatesAt = c.iGeometryStart + c.iGeometrySize;
        return true;
    });
    // The first geometry not whole: its error names the base file.
    if (!bRun) return NKDiagnostic("The geometry is not whole.", kScanFiles);
    c.iNumStates = (int)states.size();
    if (states.size() >= 2)
        c.states = std::move(states);
    else
        c.bGeometryOnly = walk.FirstGeometryComplete() ? 1 : 0;
    if (c.iNumStates == 0 && !c.bGeometryOnly)
        return FailFile(c, "Error reading LSDYNA file.", kScanFiles);
    return true;
}

}  // namespace

// ---- User IDs, data flags and item lists --------------------------------------------

namespace {

// Fills an ID array with 1..n where the file gave none of the right length.
void IdentityIds(std::vector<int> *pIds, int n)
{
    if ((int)pIds->size() == n) return;
    pIds->resize((size_t)std::max(n, 0));
    for (int i = 0; i < n; i++) (*pIds)[(size_t)i] = i + 1;
}

bool ReadUserIds(LSDynaThControl &c)
{
    const LSDynaHeader &h = c.header;
    c.ids = LSDynaUserIds();
    if (!c.bGeometryOnly && c.W(NK_DW_NARBS) > 0 &&
        !NKLSDynaReadArbitraryNumberingFrom(c.files, c.iFormat, c.bSwap, h, 0, &c.ids))
        return FailFile(c, "Error reading LSDYNA file.", kScanFiles);
    IdentityIds(&c.ids.nodes, h.NUMNP());
    IdentityIds(&c.ids.solids, h.NEL8());
    IdentityIds(&c.ids.beams, h.NEL2());
    IdentityIds(&c.ids.shells, h.NEL4());
    IdentityIds(&c.ids.thickShells, h.NELT());
    // The materials take the first of the three material arrays.
    IdentityIds(&c.ids.materials, h.NUMMAT);
    return true;
}

void SetRange(uint8_t *pbFlags, int iFirst, int iLast)
{
    for (int k = iFirst; k <= iLast; k++) pbFlags[k] = 1;
}

void SetElementComponents(const LSDynaThControl &c, uint8_t *pb)
{
    if (c.W(NK_DW_IOSHL1) == 1000) pb[0] = 1, SetRange(pb, 2, 12);
    if (c.W(NK_DW_IOSHL2) == 1000) pb[1] = 1;
}

void SetCategoryFlags(LSDynaThControl &c)
{
    uint8_t *pbCat = c.abCategory;
    if (c.W(59) > 0) {
        pbCat[NK_TH_BRICKS] = c.W(60) > 0;
        pbCat[NK_TH_SHELLS] = c.W(62) > 0;
        pbCat[NK_TH_THICK_SHELLS] = c.W(63) > 0;
        pbCat[NK_TH_BEAMS] = c.W(61) > 0;
    }
    bool bElementNodes = pbCat[NK_TH_BRICKS] || pbCat[NK_TH_SHELLS] || pbCat[NK_TH_THICK_SHELLS];
    pbCat[NK_TH_NODES] = c.W(25) > 0 || bElementNodes;
    if (c.W(NK_DW_NGLBV) > 0) {
        pbCat[NK_TH_MATERIALS] = c.header.NUMMAT > 0;
        pbCat[NK_TH_GLOBALS] = 1;
    }
}

void SetComponentFlags(LSDynaThControl &c)
{
    SetElementComponents(c, c.abComponent[NK_TH_BRICKS]);
    SetElementComponents(c, c.abComponent[NK_TH_THICK_SHELLS]);
    uint8_t *pb = c.abComponent[NK_TH_SHELLS];
    SetElementComponents(c, pb);
    if (c.W(NK_DW_IOSHL2) == 1000 && c.header.ISTRN >= 1) SetRange(pb, 45, 50);
    if (c.W(NK_DW_IOSHL4) == 1000) pb[13] = pb[31] = 1;
    pb = c.abComponent[NK_TH_BEAMS];
    for (int k = 0; k < 6; k++)
        if (c.W(NK_DW_NV1D) >= k + 1) pb[39 + k] = 1;
    pb = c.abComponent[NK_TH_NODES];
    if (c.header.IT == 1) pb[14] = 1;
    if (c.W(NK_DW_IU) == 1) SetRange(pb, 15, 18), SetRange(pb, 27, 29);
    if (c.W(NK_DW_IV) == 1) SetRange(pb, 19, 22);
    if (c.W(NK_DW_IA) == 1) SetRange(pb, 23, 26);
    const uint8_t *pbCat = c.abCategory;
    if (pbCat[NK_TH_BRICKS] || pbCat[NK_TH_SHELLS] || pbCat[NK_TH_THICK_SHELLS])
        SetRange(pb, 15, 22), SetRange(pb, 27, 29);
    if (c.header.NUMMAT > 0) {
        SetRange(c.abComponent[NK_TH_MATERIALS], 19, 22);
        SetRange(c.abComponent[NK_TH_MATERIALS], 30, 31);
        SetRange(c.abComponent[NK_TH_GLOBALS], 19, 22);
        SetRange(c.abComponent[NK_TH_GLOBALS], 30, 32);
    }
    pb = c.abComponent[NK_TH_INTERFACE_FORCES];
    if (c.iInterfaceWords >= 1) pb[36] = 1;
    if (c.iInterfaceWords >= 2) pb[37] = 1;
    if (c.iInterfaceWords >= 3) pb[38] = pb[35] = 1;
    // A category without data offers no components.
    for (int k = 0; k < NK_TH_NUM_CATEGORIES; k++)
        if (!pbCat[k]) std::memset(c.abComponent[k], 0, NK_TH_NUM_COMPONENTS);
}

void ListRanges(const LSDynaThControl &c, int iList, const std::vector<int> &ids,
                std::vector<LSDynaThItem> *pItems)
{
    for (const LSDynaThRange &r : c.ranges[iList])
        for (int e = r.iFirst; e <= r.iLast; e++) pItems->push_back({ids[(size_t)(e - 1)], e});
}

}  // namespace

// ---- The node list ---------------------------------------------------------------------

namespace {

// The element-node sources: list, nodes per element, words per record, the
// record offset in the geometry, and the state block that must exist.
struct ElementNodeSource {
    int iList;
    int iSource;
    int iNodes;
    int iWords;
    int64_t iAt;
    int64_t iBlock;
};

// Adds the nodes of every selected element of one class, checking each node
// number; false with the list's message.
bool AddElementNodes(LSDynaThControl &c, LSDynaStream *s, const ElementNodeSource &src)
{
    if (src.iBlock < 0) return true;
    int aiNodes[9];
    int iIndex = 0;
    for (const LSDynaThRange &r : c.ranges[src.iList])
        for (int e = r.iFirst; e <= r.iLast; e++, iIndex++) {
            if (!s->Seek(0, src.iAt + (int64_t)src.iWords * (e - 1)) ||
                s->ReadInts(aiNodes, src.iNodes) != src.iNodes)
                return Fail(kRangeMessage[src.iList], kScanFiles);
            for (int j = 0; j < src.iNodes; j++) {
                if (aiNodes[j] < 1 || aiNodes[j] > c.header.NUMNP())
                    return Fail(kRangeMessage[src.iList], kScanFiles);
                c.nodes.push_back({aiNodes[j], {0.0f, 0.0f, 0.0f}, src.iSource, iIndex, j});
            }
        }
    return true;
}

// Sorts the nodes by number, keeps the first of equal numbers, and reads
// their initial coordinates.
bool FinishNodes(LSDynaThControl &c, LSDynaStream *s)
{
    std::stable_sort(
        c.nodes.begin(), c.nodes.end(),
        [](const LSDynaThNode &a, const LSDynaThNode &b) { return a.iNode < b.iNode; });
    c.nodes.erase(std::unique(c.nodes.begin(), c.nodes.end(),
                              [](const LSDynaThNode &a, const LSDynaThNode &b) {
                                  return a.iNode == b.iNode;
                              }),
                  c.nodes.end());
    int iDim = c.header.NDIM;
    for (LSDynaThNode &n : c.nodes) {
        if (!s->Seek(0, c.iGeometryStart + (int64_t)iDim * (n.iNode - 1)) ||
            s->ReadFloats(n.afInitial, iDim) != iDim)
            return FailFile(c, "Error reading LSDYNA file.", kScanFiles);
    }
    return true;
}

bool BuildNodeList(LSDynaThControl &c)
{
    const LSDynaHeader &h = c.header;
    int iIndex = 0;
    for (const LSDynaThRange &r : c.ranges[NK_TH_NDSB])
        for (int n = r.iFirst; n <= r.iLast; n++, iIndex++)
            c.nodes.push_back({n, {0.0f, 0.0f, 0.0f}, 4, 0, iIndex});
    int64_t iSolidsAt = c.iGeometryStart + (int64_t)h.NUMNP() * h.NDIM;
    int64_t iThickAt = iSolidsAt + 9LL * h.NEL8();
    int64_t iShellsAt = iThickAt + 9LL * h.NELT() + 6LL * h.NEL2();
    const ElementNodeSource sources[3] = {{NK_TH_NSTHB, 0, 8, 9, iSolidsAt, c.iSolidNodes},
                                          {NK_TH_NSTSB, 1, 4, 5, iShellsAt, c.iShellNodes},
                                          {NK_TH_NSTTB, 2, 8, 9, iThickAt, c.iThickNodes}};
    LSDynaStream s(&c.files, c.iFormat, c.bSwap);
    for (const ElementNodeSource &src : sources)
        if (!AddElementNodes(c, &s, src)) return false;
    return FinishNodes(c, &s);
}

bool BuildItemLists(LSDynaThControl &c)
{
    ListRanges(c, NK_TH_NSTHB, c.ids.solids, &c.items[NK_TH_BRICKS]);
    ListRanges(c, NK_TH_NSTSB, c.ids.shells, &c.items[NK_TH_SHELLS]);
    ListRanges(c, NK_TH_NSTTB, c.ids.thickShells, &c.items[NK_TH_THICK_SHELLS]);
    ListRanges(c, NK_TH_NSTBB, c.ids.beams, &c.items[NK_TH_BEAMS]);
    for (int m = 1; m <= c.header.NUMMAT; m++)
        c.items[NK_TH_MATERIALS].push_back({c.ids.materials[(size_t)(m - 1)], m});
    for (int k = 1; k <= c.iInterfaceWords / 3; k++)
        c.items[NK_TH_INTERFACE_FORCES].push_back({k, k});
    if (c.abCategory[NK_TH_NODES] && !BuildNodeList(c)) return false;
    for (const LSDynaThNode &n : c.nodes)
        c.items[NK_TH_NODES].push_back({c.ids.nodes[(size_t)(n.iNode - 1)], n.iNode});
    return true;
}

}  // namespace

// ---- Open and close ------------------------------------------------------------------

bool LSDynaTimeHistorySource::Open(const char *pszFileName)
{
    Close();
    LSDynaThControl &c = g_LSDynaTh;
    // A name that is no readable file has no family to list: the listing
    // would find nothing and print its own code besides.
    bool bOk = pszFileName != nullptr && NKFileProblem(pszFileName).empty() &&
               NKLSDynaFindFamilyFiles(pszFileName, &c.files, false) > 0;
    if (!bOk) {
        NKPrintError("Error reading LSDYNA file.");
        NKPrintFileProblem(pszFileName != nullptr ? pszFileName : "");
        NKDiagnostic("Error reading LSDYNA file.", kReadHeader);
    }
    bOk = bOk && ReadHeader(c) && ScanFiles(c) && ReadUserIds(c);
    if (bOk && !c.bGeometryOnly) {
        SetCategoryFlags(c);
        SetComponentFlags(c);
        bOk = BuildItemLists(c);
    }
    if (!bOk) {
        Close();
        return false;
    }
    c.bOpen = 1;
    return true;
}

bool LSDynaTimeHistorySource::Close(void)
{
    g_LSDynaTh = LSDynaThControl();
    return true;
}

bool LSDynaTimeHistorySource::IsOpen(void) { return g_LSDynaTh.bOpen != 0; }

bool LSDynaTimeHistorySource::IsGeometryOnly(void) { return g_LSDynaTh.bGeometryOnly != 0; }

int LSDynaTimeHistorySource::GetStateCount(void) { return g_LSDynaTh.iNumStates; }
