// readers/nk_lsdyna_scan.cpp -- the control words of an LS-DYNA plot
// database, the sizes of its sections, its user numbering and the scan that
// lists every state of the family (see nk_lsdyna_format.h).
//
// Newer solvers write the end marker, part titles and padding after the base
// file's geometry and start the states at word 0 of the next member; older
// ones run the states on from the geometry. The walk over the members that
// lists the states, and ends them where a member shows damage, is shared
// with the time-history database (nk_lsdyna_walk.h).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/nk_diagnostic.h"
#include "core/nk_file_read.h"
#include "core/nk_message.h"
#include "core/nk_text_utils.h"
#include "readers/nk_lsdyna_format.h"
#include "readers/nk_lsdyna_walk.h"

namespace {

int64_t Pos(int64_t v) { return v > 0 ? v : 0; }

// The title of a float-coded 4-byte file: each word's number holds four
// characters as a seven-digit mantissa and an exponent.
void FloatTitleWord(float x, char *p)
{
    double a = std::fabs((double)x);
    if (!(a > 0.0) || !std::isfinite(a)) {
        std::memset(p, ' ', 4);
        return;
    }
    int e = (int)std::floor(std::log10(a));
    long m = (long)std::floor(a * std::pow(10.0, 6 - e) + 0.5);
    p[0] = (char)(uint8_t)(m / 10000);
    p[1] = (char)(uint8_t)((m % 10000) / 100);
    p[2] = (char)(uint8_t)(m % 100);
    p[3] = (char)(uint8_t)(64 + e);
}

}  // namespace

const char *NKLSDynaOutOfRangeWord(const int *piWords, bool bTimeHistory)
{
    const LSDynaControlWord *pBad = nullptr;
    int iBadPlace = 0;
    // Pass 0 checks the counts, pass 1 the sizes per element.
    for (int iPass = 0; iPass < 2 && pBad == nullptr; iPass++) {
        for (const LSDynaControlWord &c : kLSDynaControlWords) {
            int iPlace = iPass == 0 ? (bTimeHistory ? c.iThCount : c.iPlotCount)
                                    : (bTimeHistory ? c.iThSize : c.iPlotSize);
            int v = piWords[c.iWord];
            bool bFails = iPass == 0 ? v < 0 : v > (1 << 24);
            if (iPlace > 0 && bFails && (pBad == nullptr || iPlace < iBadPlace)) {
                pBad = &c;
                iBadPlace = iPlace;
            }
        }
    }
    return pBad != nullptr ? pBad->pszName : nullptr;
}

bool NKLSDynaReadTitle(const LSDynaFamilyFile &file, int iFormat, int iWordSize, bool bSwap,
                       char *pszTitle)
{
    unsigned char raw[80] = {0};
    FILE *pFile = NKOpenRegularFile(file.szFileName.GetText());
    size_t iWant = (size_t)(10 * iWordSize);
    bool bOk = pFile != nullptr && fread(raw, 1, iWant, pFile) == iWant;
    if (pFile != nullptr) fclose(pFile);
    if (!bOk) return false;
    std::memset(pszTitle, 0, 256);
    if (iFormat == NK_DYNA_FLOAT4) {
        for (int k = 0; k < 10; k++) {
            unsigned char *p = raw + 4 * k;
            if (bSwap) std::reverse(p, p + 4);
            float f;
            std::memcpy(&f, p, 4);
            FloatTitleWord(f, pszTitle + 4 * k);
        }
    } else {
        // An 8-byte file's title is the 80 bytes of its ten words.
        if (NKLSDynaGetTitleByteSwap())
            for (size_t k = 0; k < iWant; k += (size_t)iWordSize)
                std::reverse(raw + k, raw + k + iWordSize);
        std::memcpy(pszTitle, raw, iWant);
    }
    NKReplaceControlChars(pszTitle);
    return true;
}

namespace {

// The header words that this reader cannot follow.
void CheckSupport(LSDynaHeader *h)
{
    if (h->NEL8() < 0)
        h->szUnsupported = "NEL8";
    else if (h->w[NK_DW_IALEMAT] > 0)
        h->szUnsupported = "IALEMAT";
    else if (h->w[NK_DW_NPEFG] > 0)
        h->szUnsupported = "NPEFG";
    else if (h->w[NK_DW_NEL48] > 0)
        h->szUnsupported = "NEL48";
    else if (h->iExtra[0] > 0)
        h->szUnsupported = "NEL20";
    else if (h->iExtra[1] > 0)
        h->szUnsupported = "NT3D";
    else if (h->iExtra[2] > 0)
        h->szUnsupported = "NEL27";
    if (h->w[NK_DW_NMSPH] > 0)
        h->szStatesUnsupported = "NMSPH";
    else if (h->w[NK_DW_IT] % 10 > 1)
        h->szStatesUnsupported = "IT";
    else if (h->w[NK_DW_IDTDT] % 100 > 0)
        h->szStatesUnsupported = "IDTDT";
}

// Reads n words of ints from word iWord of the base file; false when short.
bool ReadWords(int iFile, int64_t iWord, int *pOut, int n)
{
    LSDynaControlData &g = g_LSDynacontrolData;
    LSDynaStream s(&g.files, g.iFormat, g.bSwap);
    return s.Seek(iFile, iWord) && s.ReadInts(pOut, n) == n;
}

// Words 57 on: EXTRA, the material types of NDIM 5 and the SPH flag block.
bool DeriveSizes(int iFile, LSDynaHeader *h, NKString *pBad)
{
    int64_t iExtra = h->w[NK_DW_EXTRA];
    if (iExtra < 0) {
        *pBad = "EXTRA";
        return false;
    }
    int iWant = (int)std::min<int64_t>(iExtra, 3);
    if (iWant > 0 && !ReadWords(iFile, 64, h->iExtra, iWant)) return false;
    int64_t H = 64 + iExtra;
    int iNdim = h->w[NK_DW_NDIM];
    h->NDIM = iNdim == 4 || iNdim == 5 ? 3 : iNdim;
    if (iNdim == 5) {
        int ai[2];
        if (!ReadWords(iFile, H, ai, 2)) return false;
        if (ai[0] < 0 || ai[1] < 0) {
            *pBad = ai[0] < 0 ? "NUMRBE" : "NUMMAT";
            return false;
        }
        h->MATTYP = 1;
        h->NUMRBE = ai[0];
        h->NUMMAT = ai[1];
        h->iMaterialTypesAt = H + 2;
        H += 2 + (int64_t)ai[1];
    }
    if (h->w[NK_DW_NMSPH] > 0) {
        int iLength = 0;
        if (!ReadWords(iFile, H, &iLength, 1)) return false;
        if (iLength < 1) {
            *pBad = "NMSPH";
            return false;
        }
        H += iLength;
    }
    h->iHeaderWords = H;
    return true;
}

void DeriveCounts(LSDynaHeader *h)
{
    int iMaxInt = h->w[NK_DW_MAXINT];
    if (iMaxInt < -10000) {
        h->MDLOPT = 2;
        h->MAXINT = (int)(-(int64_t)iMaxInt - 10000);
    } else if (iMaxInt < 0) {
        h->MDLOPT = 1;
        h->MAXINT = -iMaxInt;
    } else {
        h->MAXINT = iMaxInt;
    }
    int64_t iNv2d = h->w[NK_DW_NV2D];
    int64_t v = iNv2d - (int64_t)std::max(h->MAXINT, 3) * ((int64_t)h->w[NK_DW_NEIPS] + 7) - 12;
    h->ISTRN = (int)std::max<int64_t>(std::min<int64_t>(v / 12, 1 << 30), -(1 << 30));
    h->IT = h->w[NK_DW_IT] % 10;
    h->bMassScaling = h->w[NK_DW_IT] >= 10 ? 1 : 0;
}

}  // namespace

void NKLSDynaClearScan(void)
{
    LSDynaControlData &g = g_LSDynacontrolData;
    g.states.clear();
    g.files.clear();
    g.headerCache.clear();
    g.headerOfFile.clear();
    g.iNumGeometries = 0;
    g.bGeometryOnly = 0;
}

// A header that cannot be read fails the open: the user sees the message
// with the line naming the file (and why, where that shows) after it.
namespace {
bool FailFile(const LSDynaFamilyFile &file, const char *pszMessage, const char *pszFunction)
{
    NKPrintError(pszMessage);
    NKPrintFileProblem(file.szFileName.GetText());
    return NKDiagnostic(pszMessage, pszFunction);
}
}  // namespace

bool NKLSDynaReadHeader(int iFile, LSDynaHeader *pHeader)
{
    LSDynaControlData &g = g_LSDynacontrolData;
    if (iFile >= 0 && iFile < (int)g.headerOfFile.size() && g.headerOfFile[(size_t)iFile] >= 0) {
        *pHeader = g.headerCache[(size_t)g.headerOfFile[(size_t)iFile]];
        return true;
    }
    if (iFile < 0 || iFile >= (int)g.files.size()) return false;
    const LSDynaFamilyFile &file = g.files[(size_t)iFile];
    int iWordSize;
    bool bSwap;
    int iFormat = NKLSDynaDetectFormat(file.szFileName.GetText(), &iWordSize, &bSwap);
    if (iFormat == NK_DYNA_NOT_DATABASE)
        return FailFile(file, "Format error in LSDYNA file.", "NKLSDynaReadHeader");
    g.iFormat = iFormat;
    g.iWordSize = iWordSize;
    g.bSwap = bSwap;
    LSDynaHeader h;
    NKString bad;
    if (!NKLSDynaReadTitle(file, iFormat, iWordSize, bSwap, h.title) ||
        !ReadWords(iFile, 0, h.w, NK_DW_COUNT) || !DeriveSizes(iFile, &h, &bad)) {
        if (bad.IsEmpty())
            return FailFile(file, "Error reading LSDYNA file.", "NKLSDynaReadHeader");
    }
    if (bad.IsEmpty()) {
        const char *pszBad = NKLSDynaOutOfRangeWord(h.w, false);
        if (pszBad != nullptr) bad = pszBad;
    }
    if (!bad.IsEmpty()) {
        NKPrintError(NKString::FromFormat("LS-DYNA file %s: header word %s is out of range.",
                                          file.szFileName.GetText(), bad.GetText())
                         .GetText());
        return false;
    }
    DeriveCounts(&h);
    CheckSupport(&h);
    h.iFileIndex = iFile;
    std::memcpy(g.title, h.title, sizeof(g.title));
    g.NEIPH = h.w[NK_DW_NEIPH];
    g.NEIPS = h.w[NK_DW_NEIPS];
    if ((int)g.headerOfFile.size() <= iFile) g.headerOfFile.resize((size_t)iFile + 1, -1);
    g.headerOfFile[(size_t)iFile] = (int)g.headerCache.size();
    g.headerCache.push_back(h);
    *pHeader = h;
    return true;
}

int64_t NKLSDynaGeometryWords(const LSDynaHeader &h)
{
    return Pos(h.NUMNP()) * Pos(h.NDIM) + 9 * Pos(h.NEL8()) + 9 * Pos(h.NELT()) +
           6 * Pos(h.NEL2()) + 5 * Pos(h.NEL4());
}

int64_t NKLSDynaGeometrySize(const LSDynaHeader &h, int64_t iFamilyWords)
{
    int64_t iStart = h.iHeaderWords + NKLSDynaGeometryWords(h) + Pos(h.w[NK_DW_NARBS]) +
                     2 * Pos(h.w[NK_DW_NADAPT]) + 2 * Pos(h.w[NK_DW_NMSPH]);
    return iStart > iFamilyWords ? -1 : iStart;
}

int64_t NKLSDynaStateSize(const LSDynaHeader &h)
{
    int64_t n = Pos(h.NUMNP()), iNodeWords = n * Pos(h.NDIM);
    int64_t S = 1 + Pos(h.w[NK_DW_NGLBV]);
    if (h.IT == 1) S += n;
    if (h.bMassScaling) S += n;
    for (int iw : {NK_DW_IU, NK_DW_IV, NK_DW_IA})
        if (h.w[iw] == 1) S += iNodeWords;
    S += Pos(h.NEL8()) * Pos(h.w[NK_DW_NV3D]) + Pos(h.NELT()) * Pos(h.w[NK_DW_NV3DT]) +
         Pos(h.NEL2()) * Pos(h.w[NK_DW_NV1D]);
    int64_t iShells = Pos(h.NEL4()) - (h.MATTYP == 1 ? Pos(h.NUMRBE) : 0);
    S += Pos(iShells) * Pos(h.w[NK_DW_NV2D]);
    if (h.MDLOPT == 1) S += n;
    if (h.MDLOPT == 2) S += Pos(h.NEL8()) + Pos(h.NELT()) + Pos(h.NEL4()) + Pos(h.NEL2());
    return S;
}

bool NKLSDynaReadArbitraryNumbering(const LSDynaHeader &h, int iBaseFile, LSDynaUserIds *pIds)
{
    LSDynaControlData &g = g_LSDynacontrolData;
    return NKLSDynaReadArbitraryNumberingFrom(g.files, g.iFormat, g.bSwap, h, iBaseFile, pIds);
}

bool NKLSDynaReadArbitraryNumberingFrom(const std::vector<LSDynaFamilyFile> &files, int iFormat,
                                        bool bSwap, const LSDynaHeader &h, int iBaseFile,
                                        LSDynaUserIds *pIds)
{
    *pIds = LSDynaUserIds();
    int64_t iNarbs = h.w[NK_DW_NARBS];
    if (iNarbs <= 0) return true;
    int64_t iStart = h.iHeaderWords + NKLSDynaGeometryWords(h);
    int iSort = 0;
    LSDynaStream s(&files, iFormat, bSwap);
    if (!s.Seek(iBaseFile, iStart) || s.ReadInts(&iSort, 1) != 1) return false;
    int64_t iSkip = iSort < 0 ? 16 : 10;
    int64_t iMats = Pos((int64_t)h.w[NK_DW_NUMMAT8] + h.w[NK_DW_NUMMAT2] + h.w[NK_DW_NUMMAT4] +
                        h.w[NK_DW_NUMMATT]);
    int64_t iNeed = iSkip + Pos(h.NUMNP()) + Pos(h.NEL8()) + Pos(h.NEL2()) + Pos(h.NEL4()) +
                    Pos(h.NELT()) + 3 * iMats;
    // The arrays must lie inside the section NARBS announces.
    if (iNeed > iNarbs) return false;
    if (!s.Seek(iBaseFile, iStart + iSkip)) return false;
    auto Read = [&](std::vector<int> *pV, int64_t n) {
        pV->resize((size_t)Pos(n));
        return s.ReadInts(pV->data(), Pos(n)) == Pos(n);
    };
    std::vector<int> mats2, mats3;
    return Read(&pIds->nodes, h.NUMNP()) && Read(&pIds->solids, h.NEL8()) &&
           Read(&pIds->beams, h.NEL2()) && Read(&pIds->shells, h.NEL4()) &&
           Read(&pIds->thickShells, h.NELT()) && Read(&pIds->materials, iMats) &&
           Read(&mats2, iMats) && Read(&mats3, iMats);
}

// ---- The scan ---------------------------------------------------------------------

namespace {

// The scan of the family: the segment being read; the walk over the
// members lists the states and reads the damage (nk_lsdyna_walk.h).
struct ScanWalk {
    LSDynaControlData *g;
    int iGeometry = -1;
    int iBase = -1;
    LSDynaHeader header;
    int64_t S = 1;
    bool bFirst = true;    // the next state found is the segment's first
    int64_t iDropped = 0;  // states listed but not readable
    NKString szDropReason;
};

bool AddState(ScanWalk *w, int i, int64_t o, float fTime)
{
    if (!w->header.szStatesUnsupported.IsEmpty()) {
        w->iDropped++;
        w->szDropReason = w->header.szStatesUnsupported;
        return false;
    }
    const LSDynaFamilyFile &f = w->g->files[(size_t)i];
    LSDynaStateInfo s;
    s.szFileName = f.szFileName;
    s.fTime = fTime;
    s.iHeaderWords = w->header.iHeaderWords;
    s.iOffset = o;
    s.iSize = w->S;
    s.iSuffixNumber = f.iSuffixNumber;
    s.iFileIndex = i;
    s.iBaseFileIndex = w->iBase;
    s.bFirstState = w->bFirst ? 1 : 0;
    s.iGeometryIndex = w->iGeometry;
    w->bFirst = false;
    w->g->states.push_back(s);
    return true;
}

// Reads base file i's header: the size of its states and where they begin.
bool ReadSegment(ScanWalk *w, int i, int64_t *pS, int64_t *piStatesAt)
{
    if (!NKLSDynaReadHeader(i, &w->header)) return false;
    const LSDynaHeader &h = w->header;
    if (!h.szUnsupported.IsEmpty()) {
        NKPrintError(
            NKString::FromFormat("LS-DYNA database not supported: %s", h.szUnsupported.GetText())
                .GetText());
        return false;
    }
    w->iGeometry++;
    w->iBase = i;
    w->S = NKLSDynaStateSize(h);
    w->bFirst = true;
    if (w->iGeometry == 0) w->g->iHeaderWords = h.iHeaderWords;
    *pS = w->S;
    // The walk checks the geometry against the members that hold it.
    *piStatesAt = NKLSDynaGeometrySize(h, INT64_MAX);
    return true;
}

}  // namespace

bool NKLSDynaScanFiles(const char *pszFileName)
{
    LSDynaControlData &g = g_LSDynacontrolData;
    NKLSDynaClearScan();
    if (NKLSDynaFindFamilyFiles(pszFileName, &g.files, true) == 0 || !g.files[0].bBaseFile) {
        g.files.clear();
        return false;
    }
    g.szBaseFile = g.files[0].szFileName;
    // The first header gives the family's format, which the walk reads in.
    LSDynaHeader first;
    if (!NKLSDynaReadHeader(0, &first)) {
        NKLSDynaClearScan();
        return false;
    }
    ScanWalk w;
    w.g = &g;
    LSDynaStateWalk walk(&g.files, g.iFormat, g.bSwap,
                         [&w](int i, int64_t o, float t) { return AddState(&w, i, o, t); });
    if (!walk.Run(
            [&w](int i, int64_t *pS, int64_t *piAt) { return ReadSegment(&w, i, pS, piAt); })) {
        NKLSDynaClearScan();
        return false;
    }
    if (w.iDropped > 0)
        NKPrintWarning(NKString::FromFormat("LS-DYNA states not read: %s is not supported.",
                                            w.szDropReason.GetText())
                           .GetText());
    g.iNumGeometries = w.iGeometry + 1;
    if (g.states.empty()) {
        // Without a complete geometry there is nothing to show.
        if (!walk.FirstGeometryComplete()) {
            NKLSDynaClearScan();
            return false;
        }
        g.bGeometryOnly = 1;
    }
    return true;
}
