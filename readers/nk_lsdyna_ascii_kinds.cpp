// readers/nk_lsdyna_ascii_kinds.cpp -- the parsers of the seven LS-DYNA
// ASCII output file kinds (see nk_lsdyna_ascii_kinds.h): each has a scan
// step that finds the entities and quantities and a read step that fills
// the requested entities' values of one quantity, state by state.
//
// Every read counts the states again as it goes; a count that differs from
// the scan's (the file changed), a state beyond it or a file that ends before
// the counted states are complete fails the read. Nothing is indexed by a
// number from the file before it is checked.
#include "readers/nk_lsdyna_ascii_kinds.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/nk_file_read.h"

namespace {

// ---- Keyword tables ---------------------------------------------------------------------

const NKAsciiKeyword kAbstat[] = {{"volume", "Volume"},
                                  {"pressure", "Pressure"},
                                  {"internal energy", "Internal energy"},
                                  {"dm/dt in", "Input mass flow rate"},
                                  {"density", "Density"},
                                  {"dm/dt out", "Output mass flow rate"},
                                  {"total mass", "Total mass"},
                                  {"gas temp.", "Gas temperature"},
                                  {"surface area", "Surface area"}};
const NKAsciiKeyword kMatsum[] = {{"inten=", "Internal Energy"},
                                  {"kinen=", "Kinetic Energy"},
                                  {"x-mom=", "X-momentum"},
                                  {"y-mom=", "Y-momentum"},
                                  {"z-mom=", "Z-momentum"},
                                  {"x-rbv=", "X-rigid body velocity"},
                                  {"y-rbv=", "Y-rigid body velocity"},
                                  {"z-rbv=", "Z-rigid body velocity"},
                                  {"hgeng=", "Hourglass Energy"}};
const NKAsciiKeyword kRcforc[] = {{"x", "X force"},
                                  {"y", "Y force"},
                                  {"z", "Z force"},
                                  {"mass", "Mass"},
                                  {"0@1@2", "Resultant force"}};
const NKAsciiKeyword kTrhist[] = {
    {"x", "X Coordinate"}, {"y", "Y Coordinate"}, {"z", "Z Coordinate"}, {"vx", "X Velocity"},
    {"vy", "Y Velocity"},  {"vz", "Z Velocity"},  {"sx", "X Stress"},    {"sy", "Y Stress"},
    {"sz", "Z Stress"},    {"sxy", "XY Stress"},  {"syz", "YZ Stress"},  {"szx", "ZX Stress"},
    {"efp", "EFP"},        {"rho", "Density"},    {"rvol", "Mass"},      {"active", "Active"},
    {"6@7@8", "Pressure"}};
const NKAsciiKeyword kNodout[] = {{"x-disp", "X Displacement"},
                                  {"y-disp", "Y Displacement"},
                                  {"z-disp", "Z Displacement"},
                                  {"x-vel", "X Velocity"},
                                  {"y-vel", "Y Velocity"},
                                  {"z-vel", "Z Velocity"},
                                  {"x-accl", "X Acceleration"},
                                  {"y-accl", "Y Acceleration"},
                                  {"z-accl", "Z Acceleration"},
                                  {"x-rot", "X Rotation"},
                                  {"y-rot", "Y Rotation"},
                                  {"z-rot", "Z Rotation"},
                                  {"x-rot vel", "X Rotation Velocity"},
                                  {"y-rot vel", "Y Rotation Velocity"},
                                  {"z-rot vel", "Z Rotation Velocity"},
                                  {"x-rot acc", "X Rotation Acceleration"},
                                  {"y-rot acc", "Y Rotation Acceleration"},
                                  {"z-rot acc", "Z Rotation Acceleration"}};
const NKAsciiKeyword kGlstat[] = {{"kinetic", "Kinetic energy"},
                                  {"internal", "Internal energy"},
                                  {"stonewall", "Stonewall energy for "},
                                  {"hour", "Houglass energy"},
                                  {"spring", "Spring and damper energy"},
                                  {"system", "System damping energy"},
                                  {"sliding", "Sliding interface energy"},
                                  {"external", "External work"},
                                  {"total energy /", "Total energy/Initial energy"},
                                  {"total energy", "Total energy"},
                                  {"global x vel", "Global X-velocity"},
                                  {"global y vel", "Global Y-velocity"},
                                  {"global z vel", "Global Z-velocity"},
                                  {"time per", "Time per zone cycle (ns)"}};
const NKAsciiKeyword kDeforc[] = {
    {"x-fo", "X-Force"}, {"y-fo", "Y-Force"}, {"z-fo", "Z-Force"}, {"resu", "Resultant Force"}};

const int kGlstatStonewall = 2;
const int NK_ASCII_TRHIST_KIND = 3;  // its components are its variables
const int kGlstatTimePer = 13;
const int kNodoutTranslations = 9;

// ---- Words and numbers ------------------------------------------------------------------

using sv = std::string_view;

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == ','; }

// The word that begins at or after *piPos; moves *piPos past it.
sv NextWord(sv line, size_t *piPos)
{
    size_t i = *piPos;
    while (i < line.size() && IsSeparator(line[i])) i++;
    size_t iStart = i;
    while (i < line.size() && !IsSeparator(line[i])) i++;
    *piPos = i;
    return line.substr(iStart, i - iStart);
}

// Word n (0-based); empty when the line has fewer.
sv Word(sv line, int n)
{
    size_t iPos = 0;
    sv word = NextWord(line, &iPos);
    for (int i = 0; i < n && !word.empty(); i++) word = NextWord(line, &iPos);
    return word;
}

std::vector<sv> Words(sv line)
{
    std::vector<sv> words;
    size_t iPos = 0;
    for (sv w = NextWord(line, &iPos); !w.empty(); w = NextWord(line, &iPos)) words.push_back(w);
    return words;
}

// Where a text's number starts: past leading blanks and one '+'.
const char *NumberStart(sv text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) i++;
    if (i < text.size() && text[i] == '+') i++;
    return text.data() + i;
}

// The leading number of a text (blanks and a '+' skipped); 0 when none.
double ToDouble(sv text)
{
    double d = 0.0;
    std::from_chars(NumberStart(text), text.data() + text.size(), d);
    return std::isfinite(d) ? d : 0.0;
}

float ToFloat(sv text)
{
    double d = ToDouble(text);
    return d > 3.4028235e38 ? 3.4028235e38f : d < -3.4028235e38 ? -3.4028235e38f : (float)d;
}

int ToInt(sv text)
{
    int v = 0;
    std::from_chars(NumberStart(text), text.data() + text.size(), v);
    return v;
}

bool Contains(sv line, sv key) { return line.find(key) != sv::npos; }

bool StartsWith(sv text, sv key) { return text.substr(0, key.size()) == key; }

// A word made of digits, signs, points and exponent letters only.
bool IsNumberWord(sv word)
{
    if (word.empty()) return false;
    for (char c : word)
        if (!(std::isdigit((unsigned char)c) || c == '-' || c == '+' || c == '.' || c == 'e' ||
              c == 'E'))
            return false;
    return true;
}

// Characters iFirst..iLast of a line without blanks: the fixed-width number
// columns of GLSTAT and DEFORC.
std::string Columns(sv line, size_t iFirst, size_t iLast)
{
    std::string s;
    for (size_t i = iFirst; i <= iLast && i < line.size(); i++)
        if (line[i] != ' ' && line[i] != '\t') s += line[i];
    return s;
}

std::vector<sv> AllLines(const NKAsciiText &file)
{
    std::vector<sv> lines;
    NKAsciiLines it(file.text);
    sv line;
    while (it.Next(&line)) lines.push_back(line);
    return lines;
}

void AddComponent(NKAsciiScan *pScan, int iRow, const NKString &label, int iOccurrence = 0)
{
    pScan->componentRows.push_back(iRow);
    pScan->componentNames.push_back(label);
    pScan->componentOccurrence.push_back(iOccurrence);
}

bool HasRow(const NKAsciiScan &scan, int iRow)
{
    return std::find(scan.componentRows.begin(), scan.componentRows.end(), iRow) !=
           scan.componentRows.end();
}

// Indices of the requested entities that equal iEntity.
template <typename F>
void ForRequested(const std::vector<int> &entities, int iEntity, F f)
{
    for (size_t i = 0; i < entities.size(); i++)
        if (entities[i] == iEntity) f(i);
}

}  // namespace

// ---- Text --------------------------------------------------------------------------------

bool NKAsciiText::Load(const char *pszName)
{
    text.clear();
    if (NKReadWholeFile(pszName, &text)) return true;
    std::string lower = pszName;
    for (char &c : lower) c = (char)std::tolower((unsigned char)c);
    return lower != pszName && NKReadWholeFile(lower.c_str(), &text);
}

bool NKAsciiLines::Next(std::string_view *pLine)
{
    if (m_p >= m_pEnd) return false;
    const char *pEol = (const char *)std::memchr(m_p, '\n', (size_t)(m_pEnd - m_p));
    const char *pStop = pEol != nullptr ? pEol : m_pEnd;
    size_t n = (size_t)(pStop - m_p);
    if (n > 0 && m_p[n - 1] == '\r') n--;
    *pLine = std::string_view(m_p, n);
    m_p = pEol != nullptr ? pEol + 1 : m_pEnd;
    return true;
}

const NKAsciiKeyword *NKAsciiKeywords(int iKind, int *piRows)
{
    static const struct {
        const NKAsciiKeyword *p;
        int n;
    } kTables[] = {{kAbstat, 9},  {kMatsum, 9},  {kRcforc, 5}, {kTrhist, 17},
                   {kNodout, 18}, {kGlstat, 14}, {kDeforc, 4}};
    if (iKind < 0 || iKind > 6) {
        *piRows = 0;
        return nullptr;
    }
    *piRows = kTables[iKind].n;
    return kTables[iKind].p;
}

// ---- ABSTAT: airbags ----------------------------------------------------------------------

namespace {

bool ScanAbstat(const NKAsciiText &file, NKAsciiScan *pScan)
{
    NKAsciiLines it(file.text);
    sv line;
    while (it.Next(&line)) {
        if (Word(line, 0) != "time") continue;
        if (pScan->iNumStates++ == 0) {
            for (int r = 0; r < 9; r++)
                if (Contains(line, kAbstat[r].pszKey)) AddComponent(pScan, r, kAbstat[r].pszLabel);
        }
    }
    // The airbags are the lines of the first block.
    NKAsciiLines block(file.text);
    int iTimes = 0;
    while (block.Next(&line) && iTimes < 2) {
        sv first = Word(line, 0);
        if (first == "time")
            iTimes++;
        else if (iTimes == 1 && !first.empty())
            pScan->entities.push_back(ToInt(Word(line, 1)));
    }
    return pScan->iNumStates > 0;
}

bool ReadAbstat(const NKAsciiText &file, const NKAsciiScan &scan, const std::vector<int> &entities,
                int iComponent, NKAsciiValues *pOut)
{
    NKAsciiLines it(file.text);
    sv line;
    int s = -1;
    while (it.Next(&line)) {
        if (Word(line, 0) == "time") {
            if (++s >= scan.iNumStates) return false;
            continue;
        }
        if (s < 0 || Word(line, 1).empty()) continue;
        ForRequested(entities, ToInt(Word(line, 1)), [&](size_t i) {
            pOut->times[(size_t)s] = ToFloat(Word(line, 0));
            pOut->values[i][(size_t)s] = ToFloat(Word(line, iComponent + 2));
        });
    }
    pOut->iStatesFound = s + 1;
    return true;
}

// ---- MATSUM: materials --------------------------------------------------------------------

// The trimmed text before a line's first '=' (the whole line without one)
// and the text after it.
sv LeftOfEquals(sv line, sv *pRight)
{
    size_t iEq = line.find('=');
    *pRight = iEq == sv::npos ? sv() : line.substr(iEq + 1);
    sv left = iEq == sv::npos ? line : line.substr(0, iEq);
    while (!left.empty() && (left.front() == ' ' || left.front() == '\t')) left.remove_prefix(1);
    while (!left.empty() && (left.back() == ' ' || left.back() == '\t')) left.remove_suffix(1);
    return left;
}

// Components met in words of the first material, in order.
void AddMatsumKeys(sv text, NKAsciiScan *pScan)
{
    for (sv w : Words(text))
        for (int r = 0; r < 9; r++)
            if (w == kMatsum[r].pszKey && !HasRow(*pScan, r))
                AddComponent(pScan, r, kMatsum[r].pszLabel);
}

bool ScanMatsum(const NKAsciiText &file, NKAsciiScan *pScan)
{
    NKAsciiLines it(file.text);
    sv line, right;
    int iTimes = 0;
    while (it.Next(&line)) {
        sv left = LeftOfEquals(line, &right);
        if (left == "time") pScan->iNumStates++;
        if (Contains(line, "time")) iTimes++;
        if (iTimes != 1) continue;
        if (left == "mat.#") {
            pScan->entities.push_back(ToInt(Word(right, 0)));
            // The solver prints inten= and kinen= on the material's own line.
            size_t iPos = 0;
            NextWord(right, &iPos);
            if (pScan->entities.size() == 1) AddMatsumKeys(right.substr(iPos), pScan);
        } else if (pScan->entities.size() == 1) {
            AddMatsumKeys(line, pScan);
        }
    }
    return !pScan->entities.empty();
}

// The value after the key among the words of text, if the key is there.
void TakeKeyValue(sv text, sv key, float *pfValue)
{
    std::vector<sv> words = Words(text);
    for (size_t i = 0; i + 1 < words.size(); i++)
        if (words[i] == key) *pfValue = ToFloat(words[i + 1]);
}

bool ReadMatsum(const NKAsciiText &file, const NKAsciiScan &scan, const std::vector<int> &entities,
                int iComponent, NKAsciiValues *pOut)
{
    sv key = kMatsum[scan.componentRows[(size_t)iComponent]].pszKey;
    NKAsciiLines it(file.text);
    sv line, right;
    int s = -1, iMaterial = -1;
    auto Take = [&](sv text) {
        ForRequested(entities, iMaterial,
                     [&](size_t i) { TakeKeyValue(text, key, &pOut->values[i][(size_t)s]); });
    };
    while (it.Next(&line)) {
        sv left = LeftOfEquals(line, &right);
        if (left == "time") {
            if (++s >= scan.iNumStates) return false;
            pOut->times[(size_t)s] = ToFloat(Word(right, 0));
            iMaterial = -1;
        } else if (s >= 0 && left == "mat.#") {
            iMaterial = ToInt(Word(right, 0));
            size_t iPos = 0;
            NextWord(right, &iPos);
            Take(right.substr(iPos));
        } else if (s >= 0 && iMaterial != -1) {
            Take(line);
        }
    }
    pOut->iStatesFound = s + 1;
    return true;
}

// ---- RCFORC: contact interfaces -------------------------------------------------------------

// A line of an interface's master side: "master", or "SURFB" of newer solvers.
bool IsMasterLine(sv line)
{
    std::string first(Word(line, 0));
    for (char &c : first) c = (char)std::tolower((unsigned char)c);
    return first == "master" || first == "surfb";
}

// The value that follows the word key after the interface number (a value
// glued to its key is taken too); false when the key is absent.
bool FieldValue(const std::vector<sv> &words, sv key, float *pfValue)
{
    for (size_t i = 2; i < words.size(); i++) {
        if (words[i] == key) {
            *pfValue = i + 1 < words.size() ? ToFloat(words[i + 1]) : 0.0f;
            return true;
        }
        if (StartsWith(words[i], key) && words[i].size() > key.size() &&
            std::strchr("+-.0123456789", words[i][key.size()]) != nullptr) {
            *pfValue = ToFloat(words[i].substr(key.size()));
            return true;
        }
    }
    return false;
}

bool ScanRcforc(const NKAsciiText &file, NKAsciiScan *pScan)
{
    NKAsciiLines it(file.text);
    sv line;
    int iMasters = 0;
    bool bRun = true;
    while (it.Next(&line)) {
        if (!IsMasterLine(line)) continue;
        iMasters++;
        int iNumber = ToInt(Word(line, 1));
        if (bRun && std::find(pScan->entities.begin(), pScan->entities.end(), iNumber) !=
                        pScan->entities.end())
            bRun = false;
        if (!bRun) continue;
        if (pScan->entities.empty()) {
            std::vector<sv> words = Words(line);
            float f;
            for (int r = 0; r < 4; r++)
                if (FieldValue(words, kRcforc[r].pszKey, &f))
                    AddComponent(pScan, r, kRcforc[r].pszLabel);
            if (HasRow(*pScan, 0) && HasRow(*pScan, 1) && HasRow(*pScan, 2))
                AddComponent(pScan, 4, kRcforc[4].pszLabel);
        }
        pScan->entities.push_back(iNumber);
    }
    if (pScan->entities.empty()) return false;
    pScan->iNumStates = iMasters / (int)pScan->entities.size();
    return true;
}

// Component row r of one master line: the forces with the opposite sign.
float RcforcValue(const std::vector<sv> &words, int iRow)
{
    float x = 0.0f, y = 0.0f, z = 0.0f, m = 0.0f;
    FieldValue(words, "x", &x);
    FieldValue(words, "y", &y);
    FieldValue(words, "z", &z);
    FieldValue(words, "mass", &m);
    switch (iRow) {
    case 0:
        return -x;
    case 1:
        return -y;
    case 2:
        return -z;
    case 3:
        return m;
    default:
        return std::sqrt(x * x + y * y + z * z);
    }
}

bool ReadRcforc(const NKAsciiText &file, const NKAsciiScan &scan, const std::vector<int> &entities,
                int iComponent, NKAsciiValues *pOut)
{
    int iRow = scan.componentRows[(size_t)iComponent];
    NKAsciiLines it(file.text);
    sv line;
    int s = -1, iMasters = 0;
    std::vector<int> seen;  // interfaces of the current state
    while (it.Next(&line)) {
        if (!IsMasterLine(line)) continue;
        iMasters++;
        int iNumber = ToInt(Word(line, 1));
        // Solvers list interfaces unsorted: a number seen again starts a state.
        if (s < 0 || std::find(seen.begin(), seen.end(), iNumber) != seen.end()) {
            if (++s >= scan.iNumStates) return false;
            seen.clear();
        }
        seen.push_back(iNumber);
        std::vector<sv> words = Words(line);
        float fTime = 0.0f;
        if (FieldValue(words, "time", &fTime)) pOut->times[(size_t)s] = fTime;
        ForRequested(entities, iNumber,
                     [&](size_t i) { pOut->values[i][(size_t)s] = RcforcValue(words, iRow); });
    }
    pOut->iStatesFound = scan.entities.empty() ? 0 : iMasters / (int)scan.entities.size();
    return s + 1 == scan.iNumStates;
}

// ---- TRHIST: tracer particles ---------------------------------------------------------------

// The words of lines [iFirst, iFirst + n) joined.
std::vector<sv> JoinedWords(const std::vector<sv> &lines, size_t iFirst, int n)
{
    std::vector<sv> words;
    for (size_t i = iFirst; i < iFirst + (size_t)n && i < lines.size(); i++) {
        std::vector<sv> w = Words(lines[i]);
        words.insert(words.end(), w.begin(), w.end());
    }
    return words;
}

// Lines per particle (variables over six, rounded up) and states.
void CountTrhistStates(size_t iLines, NKAsciiScan *pScan)
{
    size_t iRest = iLines > (size_t)pScan->iHeaderLines ? iLines - (size_t)pScan->iHeaderLines : 0;
    size_t iPerState = pScan->entities.size() * (size_t)pScan->iLinesPerItem + 1;
    pScan->iNumStates = (int)std::min<size_t>(iRest / iPerState, 1 << 30);
}

bool ScanTrhist(const NKAsciiText &file, NKAsciiScan *pScan)
{
    std::vector<sv> lines = AllLines(file);
    if (lines.size() < 2) return false;
    int iParticles = ToInt(Word(lines[1], 0)), iVariables = ToInt(Word(lines[1], 1));
    if (iParticles < 1 || iVariables < 1 || (size_t)iVariables > lines.size() * 6) return false;
    pScan->iLinesPerItem = (iVariables + 5) / 6;
    pScan->iHeaderLines = pScan->iLinesPerItem + 2;
    // Every particle needs its lines: a count beyond the file cannot be real.
    if ((size_t)iParticles * (size_t)pScan->iLinesPerItem > lines.size()) return false;
    std::vector<sv> names = JoinedWords(lines, 2, pScan->iLinesPerItem);
    if ((int)names.size() < iVariables) return false;
    int aiStress[3] = {-1, -1, -1};
    for (int i = 0; i < iVariables; i++) {
        int iRow = -1;
        for (int r = 0; r < 16 && iRow < 0; r++)
            if (names[(size_t)i] == kTrhist[r].pszKey) iRow = r;
        AddComponent(pScan, iRow, iRow >= 0 ? kTrhist[iRow].pszLabel : "");
        pScan->columns.push_back(i);
        if (iRow >= 6 && iRow <= 8 && aiStress[iRow - 6] < 0) aiStress[iRow - 6] = i;
    }
    if (aiStress[0] >= 0 && aiStress[1] >= 0 && aiStress[2] >= 0) {
        AddComponent(pScan, 16, kTrhist[16].pszLabel);
        pScan->columns.push_back(-1);
        pScan->columns.insert(pScan->columns.end(), aiStress, aiStress + 3);
    }
    for (int p = 1; p <= iParticles; p++) pScan->entities.push_back(p);
    CountTrhistStates(lines.size(), pScan);
    return true;
}

bool ReadTrhist(const NKAsciiText &file, const NKAsciiScan &scan, const std::vector<int> &entities,
                int iComponent, NKAsciiValues *pOut)
{
    std::vector<sv> lines = AllLines(file);
    NKAsciiScan recount = scan;
    CountTrhistStates(lines.size(), &recount);
    pOut->iStatesFound = recount.iNumStates;
    if (recount.iNumStates != scan.iNumStates) return false;
    int iVariables = (int)scan.columns.size() - (HasRow(scan, 16) ? 4 : 0);
    const int *piStress = HasRow(scan, 16) ? &scan.columns[(size_t)iVariables + 1] : nullptr;
    size_t L = (size_t)scan.iLinesPerItem, n = scan.entities.size();
    for (int s = 0; s < scan.iNumStates; s++) {
        size_t iAt = (size_t)scan.iHeaderLines + (size_t)s * (n * L + 1);
        pOut->times[(size_t)s] = ToFloat(Word(lines[iAt], 0));
        for (size_t i = 0; i < entities.size(); i++) {
            // A particle outside 1..n is an entity not found.
            if (entities[i] < 1 || (size_t)entities[i] > n) continue;
            std::vector<sv> w = JoinedWords(lines, iAt + 1 + (size_t)(entities[i] - 1) * L, (int)L);
            auto At = [&](int k) {
                return k >= 0 && (size_t)k < w.size() ? ToFloat(w[(size_t)k]) : 0.0f;
            };
            float v = iComponent < iVariables
                          ? At(iComponent)
                          : -(At(piStress[0]) + At(piStress[1]) + At(piStress[2])) * 0.33333334f;
            pOut->values[i][(size_t)s] = v;
        }
    }
    return true;
}

// ---- NODOUT: nodes --------------------------------------------------------------------------

// The time of an "at time" line (the text from 8 characters after "at time"
// to the character before the line's first ')'); false for another line.
bool AtTime(sv line, float *pfTime)
{
    size_t p = line.find("at time");
    if (p == sv::npos || p == 0) return false;
    size_t iClose = line.find(')');
    size_t iFirst = std::min(p + 8, line.size());
    *pfTime = iClose != sv::npos && iClose > iFirst ? ToFloat(line.substr(iFirst, iClose - iFirst))
                                                    : 0.0f;
    return true;
}

bool ScanNodout(const NKAsciiText &file, NKAsciiScan *pScan)
{
    std::vector<sv> lines = AllLines(file);
    float fFirst = 0.0f, fTime = 0.0f, fLast = -1.0f;
    int iTranslations = 0;
    bool bRotations = false, bStarted = false;
    for (size_t i = 0; i < lines.size(); i++) {
        if (!AtTime(lines[i], &fTime)) continue;
        if (fTime > fLast) pScan->iNumStates++;
        fLast = fTime;
        if (!bStarted) fFirst = fTime;
        if (fTime > fFirst || i + 2 >= lines.size()) continue;
        sv header = lines[i + 2];
        if (!bStarted) {
            int iWords = (int)Words(header).size() - 2;
            // Columns beyond the nine translations (the coordinates) have no row.
            iTranslations = std::max(0, std::min(iWords, kNodoutTranslations));
            bStarted = true;
        }
        if (Contains(header, "x-rot") && fTime == fFirst) bRotations = true;
        if (!Contains(header, "x-disp")) continue;
        for (size_t j = i + 3; j < lines.size() && IsNumberWord(Word(lines[j], 0)); j++)
            pScan->entities.push_back(ToInt(Word(lines[j], 0)));
    }
    for (int k = 0; k < iTranslations; k++) AddComponent(pScan, k, kNodout[k].pszLabel);
    for (int k = 0; bRotations && k < iTranslations; k++)
        AddComponent(pScan, 9 + k, kNodout[9 + k].pszLabel);
    return !pScan->entities.empty();
}

bool ReadNodout(const NKAsciiText &file, const NKAsciiScan &scan, const std::vector<int> &entities,
                int iComponent, NKAsciiValues *pOut)
{
    int iRow = scan.componentRows[(size_t)iComponent];
    sv keyword = iRow < 9 ? "x-disp" : "x-rot";
    int iWord = iRow < 9 ? iRow + 1 : iRow - 8;
    NKAsciiLines it(file.text);
    sv line;
    int s = -1;
    float fTime = 0.0f, fLast = -1.0f;
    bool bInBlock = false;
    while (it.Next(&line)) {
        if (AtTime(line, &fTime)) {
            if (fTime > fLast && ++s >= scan.iNumStates) return false;
            if (s >= 0) pOut->times[(size_t)s] = std::max(fTime, fLast);
            fLast = std::max(fTime, fLast);
            bInBlock = false;
        } else if (!bInBlock) {
            bInBlock = s >= 0 && Contains(line, keyword);
        } else if (IsNumberWord(Word(line, 0))) {
            ForRequested(entities, ToInt(Word(line, 0)), [&](size_t i) {
                pOut->values[i][(size_t)s] = ToFloat(Word(line, iWord));
            });
        } else {
            bInBlock = false;
        }
    }
    pOut->iStatesFound = s + 1;
    return true;
}

// ---- GLSTAT: global statistics ----------------------------------------------------------------

// The row a line belongs to: the first whose key begins its text (blanks
// skipped), so that "eroded kinetic energy" or "total energy / initial
// energy" never pass for "kinetic" or "total energy"; -1 for none.
int GlstatRow(sv line)
{
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) i++;
    sv text = line.substr(i);
    if (text.empty()) return -1;
    for (int r = 0; r < 14; r++)
        if (StartsWith(text, kGlstat[r].pszKey)) return r;
    return -1;
}

NKString StonewallLabel(sv line)
{
    NKString label = kGlstat[kGlstatStonewall].pszLabel;
    size_t p = line.find("wall#");
    if (p == sv::npos) return label + "all walls";
    size_t iHash = line.find('#', p);
    return label + "wall #" + NKString(std::string(Word(line.substr(iHash + 1), 0)).c_str());
}

bool IsDtLine(sv line) { return Word(line, 0) == "dt"; }

bool ScanGlstat(const NKAsciiText &file, NKAsciiScan *pScan)
{
    NKAsciiLines it(file.text);
    sv line;
    int iDtLines = 0, iStonewalls = 0;
    while (it.Next(&line)) {
        if (Contains(line, "dt of cycle")) pScan->iNumStates++;
        if (IsDtLine(line)) {
            if (iDtLines++ == 0) {
                std::vector<sv> words = Words(line);
                pScan->entities.push_back(ToInt(words.back()));
            }
            continue;
        }
        int iRow = iDtLines == 1 ? GlstatRow(line) : -1;
        if (iRow == kGlstatStonewall)
            AddComponent(pScan, iRow, StonewallLabel(line), iStonewalls++);
        else if (iRow >= 0 && !HasRow(*pScan, iRow))
            AddComponent(pScan, iRow, kGlstat[iRow].pszLabel);
    }
    return !pScan->entities.empty();
}

bool ReadGlstat(const NKAsciiText &file, const NKAsciiScan &scan, const std::vector<int> &,
                int iComponent, NKAsciiValues *pOut)
{
    int iRow = scan.componentRows[(size_t)iComponent];
    int iOccurrence = scan.componentOccurrence[(size_t)iComponent];
    NKAsciiLines it(file.text);
    sv line;
    int s = -1, iSeen = 0, iDtLines = 0;
    bool bDone = false;
    while (it.Next(&line)) {
        if (Contains(line, "dt of cycle")) iDtLines++;
        if (bDone) continue;
        if (Contains(Word(line, 0), "time.")) {
            if (++s >= scan.iNumStates) return false;
            pOut->times[(size_t)s] = ToFloat(Word(line, 1));
            iSeen = 0;
        } else if (s >= 0 && GlstatRow(line) == iRow &&
                   (iRow != kGlstatStonewall || iSeen++ == iOccurrence)) {
            std::string text = Columns(line, 34, 45);
            float v = iRow == kGlstatTimePer ? (float)ToInt(text) : ToFloat(text);
            for (std::vector<float> &values : pOut->values) values[(size_t)s] = v;
            // In the last state the first such line ends the read.
            bDone = s == scan.iNumStates - 1;
        }
    }
    pOut->iStatesFound = iDtLines;
    return s + 1 == scan.iNumStates;
}

// ---- DEFORC: springs and dampers ----------------------------------------------------------------

bool ScanDeforc(const NKAsciiText &file, NKAsciiScan *pScan)
{
    std::vector<sv> lines = AllLines(file);
    size_t iFirstTime = lines.size(), i = 0;
    int iTimes = 0, iSprings = 0;
    for (; i < lines.size() && iTimes < 2; i++) {
        if (Contains(lines[i], "time") && iTimes++ == 0)
            iFirstTime = i;
        else if (iTimes == 1 && Contains(lines[i], "spring/damper"))
            iSprings++;
    }
    for (const sv &l : lines) pScan->iNumStates += Contains(l, "time") ? 1 : 0;
    // From the first "time" line on: the springs, then the next spring block.
    for (i = iFirstTime; i < lines.size() && (int)pScan->entities.size() < iSprings; i++)
        if (Contains(lines[i], "spring/damper"))
            pScan->entities.push_back(ToInt(Word(lines[i], 2)));
    while (i < lines.size() && !Contains(lines[i], "spring/damper")) i++;
    if (pScan->entities.empty() || i >= lines.size()) {
        *pScan = NKAsciiScan();
        return false;
    }
    for (i++; i < lines.size() && !Contains(lines[i], "spring/damper"); i++)
        for (int r = 0; r < 4; r++)
            if (Contains(lines[i], kDeforc[r].pszKey)) {
                if (!HasRow(*pScan, r)) AddComponent(pScan, r, kDeforc[r].pszLabel);
                break;
            }
    return true;
}

bool ReadDeforc(const NKAsciiText &file, const NKAsciiScan &scan, const std::vector<int> &entities,
                int iComponent, NKAsciiValues *pOut)
{
    std::vector<sv> lines = AllLines(file);
    sv key = kDeforc[scan.componentRows[(size_t)iComponent]].pszKey;
    // The component's line offset within a spring block.
    size_t iFirstSpring = 0, iOffset = 0;
    while (iFirstSpring < lines.size() && !Contains(lines[iFirstSpring], "spring/")) iFirstSpring++;
    for (size_t d = 1; d <= scan.componentRows.size() && iOffset == 0; d++)
        if (iFirstSpring + d < lines.size() && Contains(lines[iFirstSpring + d], key)) iOffset = d;
    if (iOffset == 0) return false;
    int s = -1;
    for (size_t i = 0; i < lines.size(); i++) {
        if (Contains(lines[i], "time")) {
            if (++s >= scan.iNumStates) return false;
            pOut->times[(size_t)s] = ToFloat(Word(lines[i], 1));
        } else if (s >= 0 && Contains(lines[i], "spring/") && i + iOffset < lines.size()) {
            ForRequested(entities, ToInt(Word(lines[i], 2)), [&](size_t k) {
                pOut->values[k][(size_t)s] = ToFloat(Columns(lines[i + iOffset], 32, 43));
            });
        }
    }
    pOut->iStatesFound = s + 1;
    return true;
}

// ---- Dispatch ---------------------------------------------------------------------------------

typedef bool (*ScanFn)(const NKAsciiText &, NKAsciiScan *);
typedef bool (*ReadFn)(const NKAsciiText &, const NKAsciiScan &, const std::vector<int> &, int,
                       NKAsciiValues *);
const ScanFn kScans[7] = {ScanAbstat, ScanMatsum, ScanRcforc, ScanTrhist,
                          ScanNodout, ScanGlstat, ScanDeforc};
const ReadFn kReads[7] = {ReadAbstat, ReadMatsum, ReadRcforc, ReadTrhist,
                          ReadNodout, ReadGlstat, ReadDeforc};

}  // namespace

bool NKAsciiScanKind(int iKind, const NKAsciiText &file, NKAsciiScan *pScan)
{
    *pScan = NKAsciiScan();
    if (iKind < 0 || iKind > 6 || !kScans[iKind](file, pScan)) {
        *pScan = NKAsciiScan();
        return false;
    }
    return true;
}

bool NKAsciiReadKind(int iKind, const NKAsciiText &file, const NKAsciiScan &scan,
                     const std::vector<int> &entities, int iComponent, NKAsciiValues *pOut)
{
    int iRows = 0;
    NKAsciiKeywords(iKind, &iRows);
    if (iKind < 0 || iKind > 6 || entities.size() > scan.entities.size() || iComponent < 0 ||
        iComponent >= (int)scan.componentRows.size() ||
        (iKind != NK_ASCII_TRHIST_KIND && iComponent >= iRows))
        return false;
    size_t n = (size_t)scan.iNumStates;
    pOut->times.assign(n, 0.0f);
    pOut->values.assign(entities.size(), std::vector<float>(n, 0.0f));
    pOut->iStatesFound = 0;
    // The file must still hold the states the scan counted.
    return kReads[iKind](file, scan, entities, iComponent, pOut) &&
           pOut->iStatesFound == scan.iNumStates;
}
