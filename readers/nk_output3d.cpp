// readers/nk_output3d.cpp -- opening and closing an IES Output3D set, its
// text catalogues (events, results, unit names) and the reader record of
// data source kind 9 (see nk_output3d.h). Geometry, results and overlays are
// in nk_output3d_geometry.cpp, nk_output3d_results.cpp and
// nk_output3d_overlays.cpp.
//
// An open builds the whole new state in a local record and takes it over
// only when it succeeded, so a refused set leaves the one before in place.
#include "readers/nk_output3d.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "core/nk_file.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_string.h"
#include "readers/nk_data_source.h"
#include "readers/nk_output3d_state.h"

NKOutput3DSet g_Output3DSet;

namespace {

void PrintWithName(const char *pszText, const std::string &name)
{
    NKPrintError((std::string(pszText) + name).c_str());
}

// B from the file name: the text before the last '.' when that point lies
// among the last five characters and after the last directory separator.
std::string BaseName(const std::string &file)
{
    size_t iDot = file.find_last_of('.');
    size_t iSep = file.find_last_of("/\\");
    if (iDot == std::string::npos || (iSep != std::string::npos && iDot < iSep) ||
        file.size() - iDot > 5)
        return file;
    return file.substr(0, iDot);
}

std::string Limit(const std::string &s) { return s.size() > 256 ? s.substr(0, 256) : s; }

// The required binary files exist.
bool RequiredFilesExist(const std::string &base)
{
    static const struct {
        const char *pszExt, *pszText;
    } kFiles[] = {
        {".elm", "Could not find geological unit assignment file: "},
        {".e00", "Could not find element description (element-node matrix) file: "},
        {".k00", "Could not find node description (coordinates) file: "},
    };
    for (const auto &f : kFiles) {
        if (!NKTestFileAccess((base + f.pszExt).c_str(), NK_ACCESS_READ)) {
            PrintWithName(f.pszText, base + f.pszExt);
            return false;
        }
    }
    return true;
}

// Byte order, header and event directory of B.e00; the type word of B.elm
// and B.k00 in the same order.
bool ReadElementFileHeader(NKOutput3DSet *pSet)
{
    NKOutput3DFile file;
    std::string path = pSet->base + ".e00";
    int iSwap = file.Open(path) ? file.DetectSwap() : -1;
    if (iSwap < 0) {
        NKPrintError(("The file " + path + " is not a IES Ouput3D file.").c_str());
        return false;
    }
    pSet->bSwap = iSwap == 1;
    file.SetSwap(pSet->bSwap);
    if (!file.ReadHeader(&pSet->header)) {
        PrintWithName("Error reading header from element description (element-node matrix) file: ",
                      path);
        return false;
    }
    const NKOutput3DHeader &h = pSet->header;
    if (h.iNumEvents < 0 || h.iNumElements < 0 ||
        !file.Fits(NK_O3D_HEADER_BYTES, 2LL * h.iNumEvents)) {
        NKOutput3DReadError(path);
        return false;
    }
    pSet->eventElements.assign((size_t)h.iNumEvents, 0);
    for (int e = 0; e < h.iNumEvents; e++) {
        int64_t iStart = 0;
        if (!file.ReadEvent(e, 9, &iStart, &pSet->eventElements[(size_t)e])) {
            NKOutput3DReadError(path);
            return false;
        }
    }
    return true;
}

// The ".std3" event names; "Event %d" for an event it does not name.
void ReadStepNames(NKOutput3DSet *pSet)
{
    std::vector<std::vector<std::string>> lines;
    NKReadOutput3DTextFile(pSet->base + ".std3", false, &lines);
    std::vector<std::string> names;
    for (const auto &fields : lines) {
        if (fields.size() < 4) continue;
        char szAge[64];
        snprintf(szAge, sizeof(szAge), " (%g Mabp)", std::atof(fields[3].c_str()));
        names.push_back(Limit(fields[2] + szAge));
    }
    for (int e = 0; e < pSet->header.iNumEvents; e++) {
        if ((size_t)e < names.size())
            pSet->steps.push_back(names[(size_t)e]);
        else
            pSet->steps.push_back(NKString::FromFormat("Event %d", e + 1).GetText());
    }
}

// The extension whose trailing number is iAdd (0 to 9) higher, leading
// zeros kept; "" when it ends in no digit. The digits are added to as text,
// so a number of any length carries over ("99" gives "100") instead of
// overflowing a machine integer.
std::string NextExtension(const std::string &ext, int iAdd)
{
    size_t iDigits = ext.find_last_not_of("0123456789") + 1;
    if (iDigits >= ext.size()) return "";
    std::string number = ext.substr(iDigits);
    int iCarry = iAdd;
    for (size_t i = number.size(); i-- > 0 && iCarry > 0;) {
        int iDigit = number[i] - '0' + iCarry;
        number[i] = (char)('0' + iDigit % 10);
        iCarry = iDigit / 10;
    }
    if (iCarry > 0) number.insert(number.begin(), (char)('0' + iCarry));
    return ext.substr(0, iDigits) + number;
}

// A vector for a result named "<Phase>Flow: x".
void AddFlowVector(NKOutput3DSet *pSet, const std::string &name, const std::string &ext,
                   const std::string &unit)
{
    std::string y = NextExtension(ext, 1), z = NextExtension(ext, 2);
    if (y.empty() || z.empty()) return;
    NKOutput3DVector v;
    v.name = Limit(name.substr(0, name.size() - 3) + " (" + unit + ")");
    v.ext[0] = ext;
    v.ext[1] = y;
    v.ext[2] = z;
    pSet->vectors.push_back(v);
}

void ReadCatalogue(NKOutput3DSet *pSet)
{
    std::vector<std::vector<std::string>> lines;
    if (!NKReadOutput3DTextFile(pSet->base + ".ovl3", true, &lines)) {
        NKPrintError("Error reading results information from .ovl3 file");
        return;
    }
    for (const auto &f : lines) {
        if (f.size() < 7) continue;
        std::string unit = f[6] == "x" ? f[5] : f[6];
        pSet->scalars.push_back({Limit(f[3] + " (" + unit + ")"), f[4]});
        if (f[3] == "WaterFlow: x" || f[3] == "OilFlow: x" || f[3] == "GasFlow: x")
            AddFlowVector(pSet, f[3], f[4], unit);
    }
    if (pSet->scalars.empty()) NKPrintError("No results found in .ovl3 file");
    static const char *kFlows[3] = {"y01", "y02", "y03"};
    for (int k = 0; k < 3; k++)
        pSet->bFlow[k] = NKTestFileAccess((pSet->base + "." + kFlows[k]).c_str(), NK_ACCESS_READ);
}

void ReadUnitNames(NKOutput3DSet *pSet)
{
    std::vector<std::vector<std::string>> lines;
    if (!NKReadOutput3DTextFile(pSet->base + ".uni3", false, &lines)) {
        NKPrintWarning(
            "Warning: Could not find .uni3 file. Default part descriptions will be used.");
        return;
    }
    for (const auto &f : lines) {
        if (f.size() < 4 || f[0].find("Data") == std::string::npos) continue;
        char *pEnd = nullptr;
        long iUnit = std::strtol(f[1].c_str(), &pEnd, 10);
        if (pEnd == f[1].c_str() || iUnit < 0 || iUnit > 0x7FFFFFFF) continue;
        pSet->unitNames.emplace_back((int)iUnit, Limit(f[3]));
    }
}

NKStringList *MakeList(const std::vector<std::string> &texts)
{
    NKStringList *pList = new NKStringList((int)texts.size());
    if (pList->GetCount() != (int)texts.size()) {
        delete pList;
        return nullptr;
    }
    for (size_t i = 0; i < texts.size(); i++) pList->Set((int)i, texts[i].c_str());
    return pList;
}

int OpenOutput3D(const char *pszFileName) { return NKOutput3DOpen(pszFileName) ? 1 : 0; }

float StepTime(int) { return NK_UNDEFINED_VALUE; }

constexpr NKDataSourceReader MakeReader(void)
{
    NKDataSourceReader reader;
    reader.pszName = "IES Output3D";
    reader.pfnOpen = OpenOutput3D;
    reader.pfnClose = NKOutput3DClose;
    reader.pfnGetNumSteps = NKOutput3DGetNumSteps;
    reader.pfnGetStepNames = NKOutput3DGetStepDescriptions;
    reader.pfnGetNumScalars = NKOutput3DGetNumScalars;
    reader.pfnGetScalarNames = NKOutput3DGetScalarNames;
    reader.pfnGetNumVectors = NKOutput3DGetNumVectors;
    reader.pfnGetVectorNames = NKOutput3DGetVectorNames;
    reader.pfnGetNumTransformations = NKOutput3DGetNumTransformations;
    reader.pfnGetGeometry = NKOutput3DGetGeometry;
    reader.pfnGetStepTime = StepTime;
    reader.pfnCheckStep = NKOutput3DCheckEvent;
    reader.pfnGetScalar = NKOutput3DGetScalar;
    reader.pfnGetVector = NKOutput3DGetVector;
    reader.pfnGetTransformation = NKOutput3DGetTransformation;
    return reader;
}

constexpr NKDataSourceReader sg_Reader = MakeReader();

}  // namespace

std::string NKOutput3DPath(const std::string &ext) { return g_Output3DSet.base + "." + ext; }

void NKOutput3DReadError(const std::string &path)
{
    NKPrintError(("Error reading file " + path).c_str());
}

bool NKOutput3DOpenBinary(const std::string &ext, NKOutput3DFile *pFile, const char *pszOpenError)
{
    std::string path = NKOutput3DPath(ext);
    if (!pFile->Open(path)) {
        if (pszOpenError != nullptr)
            PrintWithName(pszOpenError, path);
        else
            NKOutput3DReadError(path);
        return false;
    }
    if (!pFile->IsFemType(g_Output3DSet.bSwap)) {
        NKPrintError(("The file " + path + " is not a IES Ouput3D file.").c_str());
        return false;
    }
    pFile->SetSwap(g_Output3DSet.bSwap);
    return true;
}

void NKOutput3DSetZScale(const NKOutput3DHeader &h)
{
    if (g_pModel == nullptr) return;
    double m = std::max((double)h.fBox[1] - h.fBox[0], (double)h.fBox[3] - h.fBox[2]);
    double z = (double)h.fBox[5] - h.fBox[4];
    // A flat or inverted z extent would divide by zero or flip the model.
    double f = (m > 0.0 && z > 0.0) ? 0.5 * m / z : 0.5;
    g_pModel->fAxisScale[0] = 1.0f;
    g_pModel->fAxisScale[1] = 1.0f;
    g_pModel->fAxisScale[2] = std::isfinite(f) && f < 1e30 ? (float)f : 0.5f;
}

bool NKOutput3DOpen(const char *pszFileName)
{
    NKOutput3DSet set;
    set.base = BaseName(pszFileName != nullptr ? pszFileName : "");
    if (!RequiredFilesExist(set.base) || !ReadElementFileHeader(&set)) return false;
    // The type words of the other two required files, in the set's order.
    std::swap(set, g_Output3DSet);
    NKOutput3DFile elm, k00;
    bool bTyped =
        NKOutput3DOpenBinary("elm", &elm, nullptr) && NKOutput3DOpenBinary("k00", &k00, nullptr);
    std::swap(set, g_Output3DSet);
    if (!bTyped) return false;
    ReadStepNames(&set);
    ReadCatalogue(&set);
    ReadUnitNames(&set);
    NKOutput3DReadOverlays(&set);
    NKOutput3DClose();
    set.bOpen = true;
    g_Output3DSet = std::move(set);
    NKOutput3DSetZScale(g_Output3DSet.header);
    return true;
}

bool NKOutput3DClose(void)
{
    NKOutput3DFreeOverlays(&g_Output3DSet);
    g_Output3DSet = NKOutput3DSet();
    return true;
}

int NKOutput3DGetNumSteps(void)
{
    return g_Output3DSet.bOpen ? g_Output3DSet.header.iNumEvents : 0;
}

NKStringList *NKOutput3DGetStepDescriptions(void)
{
    if (!g_Output3DSet.bOpen) return nullptr;
    NKStringList *pList = MakeList(g_Output3DSet.steps);
    if (pList == nullptr) NKPrintError("Error allocating memory for step descriptions.");
    return pList;
}

int NKOutput3DGetNumScalars(void) { return (int)g_Output3DSet.scalars.size(); }

NKStringList *NKOutput3DGetScalarNames(void)
{
    std::vector<std::string> names;
    for (const NKOutput3DScalar &s : g_Output3DSet.scalars) names.push_back(s.name);
    return MakeList(names);
}

int NKOutput3DGetNumVectors(void) { return (int)g_Output3DSet.vectors.size(); }

NKStringList *NKOutput3DGetVectorNames(void)
{
    std::vector<std::string> names;
    for (const NKOutput3DVector &v : g_Output3DSet.vectors) names.push_back(v.name);
    return MakeList(names);
}

int NKOutput3DGetNumTransformations(void) { return g_Output3DSet.bOpen ? 3 : 0; }

void NKGetReservoirValueRange(float *pfFrom, float *pfTo)
{
    if (pfFrom != nullptr) *pfFrom = g_Output3DSet.fRange[0];
    if (pfTo != nullptr) *pfTo = g_Output3DSet.fRange[1];
}

const NKDataSourceReader *NKGetOutput3DDataSourceReader(void) { return &sg_Reader; }
