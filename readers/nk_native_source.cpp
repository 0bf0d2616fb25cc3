// readers/nk_native_source.cpp -- the results file of the older native file
// set and the reader of data source kind 3 over it (see nk_native_source.h).
//
// The result set is module state: what the results file named, kept until
// the next results file or the source closes. Texts have no length limit.
#include "readers/nk_native_source.h"

#include <string>
#include <vector>

#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "readers/nk_data_source.h"
#include "readers/nk_native_file_utils.h"
#include "readers/nk_native_geometry.h"
#include "readers/nk_native_result_files.h"

namespace {

// One result file of the set; iFixedStep (1-based) when the line gave one.
struct ResultEntry {
    std::string path;
    int iFixedStep = 0;
    std::string name;
};

struct ResultSet {
    std::vector<std::string> stepNames;
    std::string geometryPath;
    std::string geometryName;
    std::vector<ResultEntry> scalars;
    std::vector<ResultEntry> vectors;
    std::vector<std::string> partNames;
};

ResultSet sg_Set;
bool sg_bGeometryDelivered = false;
// The geometry the step check read and the next geometry read hands out
// (reference count 0, this file's until then).
NKGeometry *sg_pCheckedGeometry = nullptr;

void DropCheckedGeometry(void)
{
    NKReleaseGeometry(sg_pCheckedGeometry);
    sg_pCheckedGeometry = nullptr;
}

// The set's geometry file with its description and part names; null
// (reported) when it is refused.
NKGeometry *ReadSetGeometry(void)
{
    NKGeometry *pGeo = NKReadGeometryFile(sg_Set.geometryPath.c_str());
    if (pGeo == nullptr) return nullptr;
    pGeo->szDescription = sg_Set.geometryName.c_str();
    for (int p = 0; p < pGeo->iNumParts && p < static_cast<int>(sg_Set.partNames.size()); p++)
        pGeo->pParts[p].szName = sg_Set.partNames[static_cast<size_t>(p)].c_str();
    return pGeo;
}

std::string Trim(const std::string &s)
{
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

// Two whole numbers at the start of the line.
bool TwoNumbers(const std::string &line, int *a, int *b)
{
    char cEnd = 0;
    return std::sscanf(line.c_str(), "%d %d%c", a, b, &cEnd) >= 2;
}

// The file name and description of a geometry, scalar or vector line; with
// bStep a quoted name may end in " n". False when a quote is not closed.
bool ParseEntry(const std::string &line, const std::string &dir, bool bStep, ResultEntry *pEntry)
{
    std::string s = Trim(line), file, rest;
    if (!s.empty() && s[0] == '"') {
        size_t iClose = s.find('"', 1);
        if (iClose == std::string::npos) return false;
        file = s.substr(1, iClose - 1);
        rest = s.substr(iClose + 1);
        size_t iBlank = file.find_last_of(' ');
        if (bStep && iBlank != std::string::npos && iBlank + 1 < file.size() &&
            file.find_first_not_of("0123456789", iBlank + 1) == std::string::npos) {
            pEntry->iFixedStep = std::atoi(file.c_str() + iBlank + 1);
            file = Trim(file.substr(0, iBlank));
        }
    } else {
        size_t iBlank = s.find_first_of(" \t");
        file = s.substr(0, iBlank);
        rest = iBlank == std::string::npos ? "" : s.substr(iBlank);
    }
    size_t iSep = file.find_last_of("/\\");
    std::string name = iSep == std::string::npos ? file : file.substr(iSep + 1);
    pEntry->path = dir.empty() ? name : dir + "/" + name;
    pEntry->name = Trim(rest);
    if (pEntry->name.empty()) pEntry->name = name;
    return true;
}

NKStringList *MakeList(const std::vector<std::string> &texts)
{
    NKStringList *pList = new NKStringList(static_cast<int>(texts.size()));
    for (size_t i = 0; i < texts.size(); i++) pList->Set(static_cast<int>(i), texts[i].c_str());
    return pList;
}

template <typename T>
std::vector<std::string> Names(const std::vector<T> &entries)
{
    std::vector<std::string> names;
    for (const T &e : entries) names.push_back(e.name);
    return names;
}

// The result entries of S or V lines from line *piLine on.
bool ParseEntries(const std::vector<std::string> &lines, size_t *piLine, int iCount,
                  const std::string &dir, const char *pszError, std::vector<ResultEntry> *pOut)
{
    for (int i = 0; i < iCount; i++, (*piLine)++) {
        if (*piLine >= lines.size()) return false;
        ResultEntry entry;
        if (!ParseEntry(lines[*piLine], dir, true, &entry)) {
            NKPrintError(pszError);
            return false;
        }
        pOut->push_back(entry);
    }
    return true;
}

// The number of part names the geometry file's header asks for.
bool GeometryPartCount(const std::string &path, int *piParts)
{
    NKGeometryFileHeader header;
    std::string head;
    if (!NKReadFileHead(path.c_str(), 16, &head)) {
        NKPrintError(
            NKString::FromFormat("Error opening geometry file %s", path.c_str()).GetText());
        return false;
    }
    if (!NKReadGeometryFileHeader(path.c_str(), &header)) {
        NKPrintError(NKString::FromFormat("Error reading data from geometry file %s", path.c_str())
                         .GetText());
        return false;
    }
    *piParts = header.iNumParts;
    return true;
}

bool ParseBody(const std::vector<std::string> &lines, const std::string &dir, const char *pszFile)
{
    int iScalars = 0, iVectors = 0, iSteps = 0, iUnused = 0;
    if (lines.size() < 2 || !TwoNumbers(lines[0], &iScalars, &iVectors) ||
        !TwoNumbers(lines[1], &iSteps, &iUnused) || iScalars < 0 || iVectors < 0 || iSteps < 0)
        return false;
    size_t iLine = 2;
    for (int i = 0; i < iSteps; i++, iLine++) {
        if (iLine >= lines.size()) {
            NKPrintError(
                NKString::FromFormat("Error reading data from file %s", pszFile).GetText());
            return false;
        }
        sg_Set.stepNames.push_back(lines[iLine]);
    }
    if (iSteps == 0) sg_Set.stepNames.push_back("");
    ResultEntry geometry;
    if (iLine >= lines.size()) return false;
    if (!ParseEntry(lines[iLine++], dir, false, &geometry)) {
        NKPrintError("Error parsing out filename from results file.");
        return false;
    }
    sg_Set.geometryPath = geometry.path;
    sg_Set.geometryName = geometry.name;
    if (!ParseEntries(lines, &iLine, iScalars, dir,
                      "Error parsing out scalar filename from results file.", &sg_Set.scalars) ||
        !ParseEntries(lines, &iLine, iVectors, dir, "Error parsing out filename from results file.",
                      &sg_Set.vectors))
        return false;
    int iParts = 0;
    if (!GeometryPartCount(sg_Set.geometryPath, &iParts)) return false;
    // Only the names the file holds are kept: a damaged geometry header can
    // claim billions of parts; the parts past the file's lines keep the
    // empty name the geometry reader gives them.
    for (int p = 0; p < iParts && iLine < lines.size(); p++, iLine++)
        sg_Set.partNames.push_back(lines[iLine]);
    return true;
}

const ResultEntry *Entry(const std::vector<ResultEntry> &entries, int iIndex)
{
    return iIndex >= 0 && iIndex < static_cast<int>(entries.size())
               ? &entries[static_cast<size_t>(iIndex)]
               : nullptr;
}

NKGeometry *TargetGeometry(NKGeometry *pGeo)
{
    if (pGeo != nullptr || g_pModel == nullptr || g_pModel->iNumFrames < 1) return pGeo;
    return NKGetFrameGeometry(NKGetFrame(g_pModel->iNumFrames - 1));
}

int StepOf(const ResultEntry &entry, int iStep)
{
    return entry.iFixedStep > 0 ? entry.iFixedStep - 1 : iStep;
}

// Result iIndex of the list at a step, read by pfnRead and named by its
// entry; null for an index outside the list or a failed read.
template <typename Result>
Result *ReadResult(const std::vector<ResultEntry> &entries, int iIndex, int iStep, NKGeometry *pGeo,
                   Result *(*pfnRead)(const char *, int, NKGeometry *))
{
    const ResultEntry *pEntry = Entry(entries, iIndex);
    if (pEntry == nullptr) return nullptr;
    Result *r = pfnRead(pEntry->path.c_str(), StepOf(*pEntry, iStep), TargetGeometry(pGeo));
    if (r != nullptr) r->szDescription = pEntry->name.c_str();
    return r;
}

}  // namespace

bool NKReadResultsFile(const char *pszFileName)
{
    std::string text;
    if (pszFileName == nullptr || !NKReadWholeFile(pszFileName, &text) || text.empty())
        return false;
    std::string path(pszFileName);
    size_t iSep = path.find_last_of("/\\");
    std::string dir = iSep == std::string::npos ? "" : path.substr(0, iSep);
    sg_Set = ResultSet();
    bool bOk = ParseBody(NKSplitTextLines(text), dir, pszFileName);
    bool bNamed =
        sg_Set.stepNames.size() > 1 || (!sg_Set.stepNames.empty() && !sg_Set.stepNames[0].empty());
    NKSetNativeStepNames(bNamed ? MakeList(sg_Set.stepNames) : nullptr);
    return bOk;
}

int NKNativeOpen(const char *pszFileName)
{
    sg_bGeometryDelivered = false;
    DropCheckedGeometry();
    return NKReadResultsFile(pszFileName) ? 1 : 0;
}

bool NKNativeClose(void)
{
    sg_bGeometryDelivered = false;
    DropCheckedGeometry();
    sg_Set = ResultSet();
    return true;
}

int NKNativeGetNumSteps(void) { return static_cast<int>(sg_Set.stepNames.size()); }
int NKNativeGetNumScalars(void) { return static_cast<int>(sg_Set.scalars.size()); }
int NKNativeGetNumVectors(void) { return static_cast<int>(sg_Set.vectors.size()); }
NKStringList *NKNativeGetStepNames(void) { return MakeList(sg_Set.stepNames); }
NKStringList *NKNativeGetScalarNames(void) { return MakeList(Names(sg_Set.scalars)); }
NKStringList *NKNativeGetVectorNames(void) { return MakeList(Names(sg_Set.vectors)); }

bool NKNativeCheckStep(int)
{
    if (sg_bGeometryDelivered || sg_pCheckedGeometry != nullptr || sg_Set.geometryPath.empty())
        return true;
    sg_pCheckedGeometry = ReadSetGeometry();
    return sg_pCheckedGeometry != nullptr;
}

NKGeometry *NKNativeGetGeometry(int)
{
    if (sg_bGeometryDelivered || sg_Set.geometryPath.empty()) return nullptr;
    NKGeometry *pGeo = sg_pCheckedGeometry != nullptr ? sg_pCheckedGeometry : ReadSetGeometry();
    sg_pCheckedGeometry = nullptr;
    if (pGeo == nullptr) return nullptr;
    sg_bGeometryDelivered = true;
    return pGeo;
}

NKScalarResult *NKNativeGetScalar(int iIndex, int iStep, NKGeometry *pGeo)
{
    return ReadResult(sg_Set.scalars, iIndex, iStep, pGeo, NKReadScalarFile);
}

NKVectorResult *NKNativeGetVector(int iIndex, int iStep, NKGeometry *pGeo)
{
    return ReadResult(sg_Set.vectors, iIndex, iStep, pGeo, NKReadVectorFile);
}

namespace {

constexpr NKDataSourceReader MakeNativeReader(void)
{
    NKDataSourceReader reader;
    reader.pszName = "Quolin Dulm";
    reader.pfnOpen = NKNativeOpen;
    reader.pfnClose = NKNativeClose;
    reader.pfnGetNumSteps = NKNativeGetNumSteps;
    reader.pfnGetStepNames = NKNativeGetStepNames;
    reader.pfnGetNumScalars = NKNativeGetNumScalars;
    reader.pfnGetScalarNames = NKNativeGetScalarNames;
    reader.pfnGetNumVectors = NKNativeGetNumVectors;
    reader.pfnGetVectorNames = NKNativeGetVectorNames;
    reader.pfnGetGeometry = NKNativeGetGeometry;
    reader.pfnCheckStep = NKNativeCheckStep;
    reader.pfnGetScalar = NKNativeGetScalar;
    reader.pfnGetVector = NKNativeGetVector;
    return reader;
}

constexpr NKDataSourceReader sg_NativeReader = MakeNativeReader();

}  // namespace

const NKDataSourceReader *NKGetNativeDataSourceReader(void) { return &sg_NativeReader; }
