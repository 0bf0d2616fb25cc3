// tools/nk_line_files.cpp -- the five line-file readers and NKReadLineFile
// (see nk_line_sets.h). Each file is read whole into memory in one go and
// parsed from there; lines have no length limit and lose a trailing CR.
//
// Binary line file (32-bit words, byte order given by the first word):
//   offset  size     meaning
//   0       4        int32 magic -160871 (FFFD8B99); swapped: other order
//   4       4        int32 group count G (below 1: no segments)
//   then G groups:   int32 n; int32 r, g, b (low byte each);
//                    n x 6 float32 x1 y1 z1 x2 y2 z2 (model coordinates)
// A file that starts with the magic in either order is read only as a
// binary file: a short read or a bad count removes what the read added.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "core/nk_bbox.h"
#include "core/nk_file_read.h"
#include "core/nk_message.h"
#include "readers/nk_native_file_utils.h"
#include "tools/nk_line_sets.h"

namespace {

constexpr int32_t kMagic = -160871;
constexpr int kBrokenBinary = -2;  // binary magic found, contents bad

bool LoadFile(const char *pszFile, std::string *pData)
{
    return pszFile != nullptr && NKReadWholeFile(pszFile, pData);
}

// Reads up to n numbers (as scanf's "%f" would, blanks between) from *pp;
// returns how many were read and moves *pp behind them.
int ReadFloats(const char **pp, int n, float *pf)
{
    int k = 0;
    for (; k < n; k++) {
        char *pEnd = nullptr;
        float v = std::strtof(*pp, &pEnd);
        if (pEnd == *pp) break;
        pf[k] = v;
        *pp = pEnd;
    }
    return k;
}

std::string Collapse(const std::string &s, bool bUpper)
{
    std::string out;
    for (char c : s) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += bUpper ? char(std::toupper(static_cast<unsigned char>(c))) : c;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string Trim(const std::string &s)
{
    size_t a = s.find_first_not_of(" \t\r\n\f\v");
    if (a == std::string::npos) return std::string();
    size_t b = s.find_last_not_of(" \t\r\n\f\v");
    return s.substr(a, b - a + 1);
}

bool AddPolyLine(LineSetList *pList, PolyLine *pLine)
{
    if (pLine->GetNumPoints() >= 2 && pList->Add(pLine)) return true;
    delete pLine;
    return false;
}

// ---- Binary -------------------------------------------------------------------------

struct WordReader {
    const unsigned char *p;
    size_t left;
    bool bSwap;
    bool Next(uint32_t *pu)
    {
        if (left < 4) return false;
        uint32_t u =
            uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        if (bSwap) u = (u >> 24) | ((u >> 8) & 0xFF00u) | ((u << 8) & 0xFF0000u) | (u << 24);
        *pu = u;
        p += 4;
        left -= 4;
        return true;
    }
    bool Int(int32_t *pi)
    {
        uint32_t u;
        if (!Next(&u)) return false;
        std::memcpy(pi, &u, 4);
        return true;
    }
    bool Float(float *pf)
    {
        uint32_t u;
        if (!Next(&u)) return false;
        std::memcpy(pf, &u, 4);
        return true;
    }
};

// Reads one group; false on a short read or a bad count.
bool ReadBinaryGroup(WordReader *pR, LineSetList *pList, int *piSegments)
{
    int32_t n = 0, rgb[3] = {0, 0, 0};
    if (!pR->Int(&n) || !pR->Int(&rgb[0]) || !pR->Int(&rgb[1]) || !pR->Int(&rgb[2])) return false;
    if (n < 0 || uint64_t(n) > pR->left / 24) return false;
    for (int32_t s = 0; s < n; s++) {
        float p[6];
        for (float &v : p) pR->Float(&v);
        ModelToDisplay(p);
        ModelToDisplay(p + 3);
        if (!pList->AddSegment(p, p + 3, uint8_t(rgb[0]), uint8_t(rgb[1]), uint8_t(rgb[2])))
            return false;
        (*piSegments)++;
    }
    return true;
}

// -1: not a binary file; kBrokenBinary: the magic, but bad contents.
int ReadBinary(LineSetList *pList, const std::string &data, int *piNodes)
{
    WordReader r{reinterpret_cast<const unsigned char *>(data.data()), data.size(), false};
    int32_t w = 0;
    if (!r.Int(&w)) return -1;
    if (w != kMagic) {
        r = WordReader{reinterpret_cast<const unsigned char *>(data.data()), data.size(), true};
        r.Int(&w);
        if (w != kMagic) return -1;
    }
    NKPrintInfo("Reading lines from binary file");
    int iFirst = pList->m_iCount, iSegments = 0;
    int32_t iGroups = 0;
    bool bOk = r.Int(&iGroups);
    if (bOk && iGroups > 0 && uint64_t(iGroups) > r.left / 16) bOk = false;
    for (int32_t g = 0; bOk && g < iGroups; g++) bOk = ReadBinaryGroup(&r, pList, &iSegments);
    if (!bOk) {
        pList->TruncateTo(iFirst);
        return kBrokenBinary;
    }
    if (piNodes != nullptr) *piNodes = 2 * iSegments;
    return iSegments;
}

// ---- HYDRO ----------------------------------------------------------------------------

bool IsHydroFirstLine(const std::string &line)
{
    std::string s = Trim(line);
    for (char &c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    size_t colon = s.find(':');
    return colon != std::string::npos && s.compare(0, colon, "*NKLINEFILE-1.00") == 0 &&
           s.compare(colon + 1, std::string::npos, "HYDRO") == 0;
}

// The diameter of a header line "*... diameter <d>", or keeps *pfDiameter.
void ReadHydroHeader(const std::string &line, float *pfDiameter)
{
    std::string s = line;
    for (char &c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    char *pEnd = nullptr;
    size_t a = s.find_first_of(" \t");
    std::string word = s.substr(0, a);
    if (word.find("diameter") == std::string::npos || a == std::string::npos) return;
    const char *p = s.c_str() + a;
    float d = std::strtof(p, &pEnd);
    if (pEnd != p) *pfDiameter = d;
}

int ReadHydro(LineSetList *pList, const std::vector<std::string> &lines, int *piNodes)
{
    if (lines.empty() || !IsHydroFirstLine(lines[0])) return -1;
    NKPrintInfo("Reading lines from HYDRO ASCII file");
    float fDiameter = 0.0f;
    size_t i = 1;
    for (; i < lines.size() && (lines[i][0] == '*' || lines[i][0] == '#'); i++)
        if (lines[i][0] == '*') ReadHydroHeader(lines[i], &fDiameter);
    while (i < lines.size() && !lines[i].empty() && lines[i][0] == '%') i++;
    PolyLine *pLine = new (std::nothrow) PolyLine();
    if (pLine == nullptr) return -1;
    for (; i < lines.size(); i++) {
        const char *p = lines[i].c_str();
        float v[4];
        if (ReadFloats(&p, 4, v) < 4) continue;
        ModelToDisplay(v + 1);
        pLine->AddPoint(v + 1);
    }
    int n = pLine->GetNumPoints();
    if (!AddPolyLine(pList, pLine)) return -1;
    if (fDiameter > 0.0f) pList->m_fCylinderSize = NKLineSizeToDisplay(fDiameter);
    if (piNodes != nullptr) *piNodes = n;
    return 1;
}

}  // namespace

namespace {

// ---- Marine design program: frames and stiffeners ---------------------------------

// Millimetres with the x axis mirrored, to display coordinates.
void ShipPoint(float *p)
{
    for (int k = 0; k < 3; k++) p[k] *= 0.001f;
    p[0] = -p[0];
    ModelToDisplay(p);
}

// Adds the curve when it has 2 points or more; counts what was added.
void FinishFrameCurve(LineSetList *pList, PolyLine **ppLine, int *piCurves, int *piNodes)
{
    if (*ppLine == nullptr) return;
    int n = (*ppLine)->GetNumPoints();
    if (AddPolyLine(pList, *ppLine)) {
        (*piCurves)++;
        *piNodes += n;
    }
    *ppLine = nullptr;
}

int ReadFrame(LineSetList *pList, const std::vector<std::string> &lines, int *piNodes)
{
    if (lines.empty() || Collapse(Trim(lines[0]), true) != "FRAME X Y Z") return -1;
    NKPrintInfo("Reading lines from ship Frame file");
    PolyLine *pLine = nullptr;
    int iCurves = 0, iNodes = 0;
    for (size_t i = 1; i < lines.size(); i++) {
        const char *p = lines[i].c_str();
        float v[3];
        if (std::isalpha(static_cast<unsigned char>(p[0]))) {
            const char *q = p;
            while (*q != '\0' && !std::isspace(static_cast<unsigned char>(*q))) q++;
            std::string name(p, size_t(q - p));
            if (ReadFloats(&q, 3, v) < 3) continue;
            FinishFrameCurve(pList, &pLine, &iCurves, &iNodes);
            pLine = new (std::nothrow) PolyLine();
            if (pLine == nullptr) continue;
            pLine->SetName(name.c_str());
            ShipPoint(v);
            pLine->AddPoint(v);
        } else if (ReadFloats(&p, 3, v) == 3 && pLine != nullptr) {
            ShipPoint(v);
            pLine->AddPoint(v);
        }
    }
    FinishFrameCurve(pList, &pLine, &iCurves, &iNodes);
    if (piNodes != nullptr) *piNodes = iNodes;
    return iCurves;
}

// One stiffener line: "<name>\t<number> x1 y1 z1 x2 y2 z2".
bool ReadStiffener(LineSetList *pList, const std::string &line)
{
    size_t tab = line.find('\t');
    if (tab == std::string::npos) return false;
    const char *p = line.c_str() + tab + 1;
    char *pEnd = nullptr;
    long iNumber = std::strtol(p, &pEnd, 10);
    if (pEnd == p) return false;
    p = pEnd;
    float v[6];
    if (ReadFloats(&p, 6, v) < 6) return false;
    PolyLine *pLine = new (std::nothrow) PolyLine();
    if (pLine == nullptr) return false;
    ShipPoint(v);
    ShipPoint(v + 3);
    pLine->AddPoint(v);
    pLine->AddPoint(v + 3);
    pLine->SetName((line.substr(0, tab) + " " + std::to_string(iNumber)).c_str());
    return AddPolyLine(pList, pLine);
}

int ReadStiffeners(LineSetList *pList, const std::vector<std::string> &lines, int *piNodes)
{
    if (lines.empty()) return -1;
    std::string head = Collapse(Trim(lines[0]), false);
    if (head != "Xmin Ymin Zmin Xmax Ymax Zmax" && head != "Name Number x y z x y z") return -1;
    NKPrintInfo("Reading lines from ship Stiffeners file");
    int iCount = 0;
    for (size_t i = 1; i < lines.size(); i++)
        if (ReadStiffener(pList, lines[i])) iCount++;
    if (piNodes != nullptr) *piNodes = 2 * iCount;
    return iCount;
}

int ReadRaw(LineSetList *pList, const std::vector<std::string> &lines, int *piNodes)
{
    NKPrintInfo("Reading lines from RAW ASCII file");
    PolyLine *pLine = new (std::nothrow) PolyLine();
    if (pLine == nullptr) return -1;
    for (const std::string &line : lines) {
        const char *p = line.c_str();
        float v[3];
        if (ReadFloats(&p, 3, v) < 3) continue;
        ModelToDisplay(v);
        pLine->AddPoint(v);
    }
    int n = pLine->GetNumPoints();
    if (!AddPolyLine(pList, pLine)) return -1;
    if (piNodes != nullptr) *piNodes = n;
    return 1;
}

// Loads the file and runs one reader over its lines.
template <typename Fn>
int ReadTextFile(LineSetList *pList, const char *pszFile, Fn fn)
{
    std::string data;
    if (pList == nullptr || !LoadFile(pszFile, &data)) return -1;
    return fn(NKSplitTextLines(data));
}

}  // namespace

int NKReadBinaryLineFile(LineSetList *pList, const char *pszFile, int *piNodes)
{
    std::string data;
    if (pList == nullptr || !LoadFile(pszFile, &data)) return -1;
    int iResult = ReadBinary(pList, data, piNodes);
    return iResult == kBrokenBinary ? -1 : iResult;
}

int NKReadHydroLineFile(LineSetList *pList, const char *pszFile, int *piNodes)
{
    return ReadTextFile(pList, pszFile, [&](const std::vector<std::string> &l) {
        return ReadHydro(pList, l, piNodes);
    });
}

int NKReadFrameLineFile(LineSetList *pList, const char *pszFile, int *piNodes)
{
    return ReadTextFile(pList, pszFile, [&](const std::vector<std::string> &l) {
        return ReadFrame(pList, l, piNodes);
    });
}

int NKReadStiffenerLineFile(LineSetList *pList, const char *pszFile, int *piNodes)
{
    return ReadTextFile(pList, pszFile, [&](const std::vector<std::string> &l) {
        return ReadStiffeners(pList, l, piNodes);
    });
}

int NKReadRawLineFile(LineSetList *pList, const char *pszFile, int *piNodes)
{
    return ReadTextFile(pList, pszFile, [&](const std::vector<std::string> &l) {
        return ReadRaw(pList, l, piNodes);
    });
}

namespace {

// True when nothing follows the first line but blank lines: a frame or
// stiffener file with its heading alone.
bool OnlyHeading(const std::vector<std::string> &lines)
{
    for (size_t i = 1; i < lines.size(); i++)
        if (!Trim(lines[i]).empty()) return false;
    return true;
}

}  // namespace

// The file is read once; the readers are tried in order on its contents. A
// file of which nothing could be read is refused unless it is empty of its
// kind (a binary file of its magic word and a group count below 1, a
// heading without lines): 0 objects from a file that holds more means its
// contents are damaged, and the user is told so rather than shown nothing.
int NKReadLineFile(LineSetList *pList, const char *pszFile, int *piNodes)
{
    std::string data;
    if (pList == nullptr || !LoadFile(pszFile, &data)) return -1;
    int iResult = ReadBinary(pList, data, piNodes);
    if (iResult == kBrokenBinary) return -1;
    if (iResult != -1) return iResult == 0 && data.size() > 8 ? -1 : iResult;
    std::vector<std::string> lines = NKSplitTextLines(data);
    iResult = ReadHydro(pList, lines, piNodes);
    if (iResult == -1) iResult = ReadFrame(pList, lines, piNodes);
    if (iResult == -1) iResult = ReadStiffeners(pList, lines, piNodes);
    if (iResult == -1) iResult = ReadRaw(pList, lines, piNodes);
    return iResult == 0 && !OnlyHeading(lines) ? -1 : iResult;
}
