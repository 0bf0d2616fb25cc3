// tests/test_support/nkf_example_models.cpp -- builds the ASCII text of the
// example beam and plate models (see nkf_example_models.h).
//
// Both models carry a *NODES block with IDs, an *ELEMENTS block that refers
// to the nodes by ID, a *QUOLINGEOMETRY part list and, per load step, one
// *RESULTS block each for a nodal scalar, an element scalar and the nodal
// displacement vectors; *QUOLINSCALAR and *QUOLINVECTOR blocks list those
// per step (the displacement once as deformation, once as vector values).
// The plate adds a small load patch: a second *NODES block and an
// *INDEXEDFACESET just above the plate.
#include "tests/test_support/nkf_example_models.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const float kPi = 3.14159265f;

// Block IDs of the per-step *RESULTS blocks: step s (1-based) uses
// base + s for each result.
const int kNodeScalarBase = 0;
const int kElementScalarBase = 10;
const int kDisplacementBase = 20;

// Appends a number as "%g" would print it, without the locale; negative
// zero prints as 0.
void AppendFloat(std::string &text, float fValue)
{
    if (fValue == 0.0f) fValue = 0.0f;
    char acBuffer[32];
    std::to_chars_result r =
        std::to_chars(acBuffer, acBuffer + sizeof(acBuffer), fValue, std::chars_format::general, 6);
    text.append(acBuffer, r.ptr);
}

void AppendInt(std::string &text, int iValue)
{
    char acBuffer[16];
    std::to_chars_result r = std::to_chars(acBuffer, acBuffer + sizeof(acBuffer), iValue);
    text.append(acBuffer, r.ptr);
}

// One line of blank-separated integers.
void AppendIntLine(std::string &text, const std::vector<int> &values)
{
    for (size_t i = 0; i < values.size(); i++) {
        if (i > 0) text += ' ';
        AppendInt(text, values[i]);
    }
    text += '\n';
}

// One line: an optional ID, then the numbers.
void AppendRow(std::string &text, const int *piID, const std::vector<float> &values)
{
    bool bFirst = true;
    if (piID != nullptr) {
        AppendInt(text, *piID);
        bFirst = false;
    }
    for (float f : values) {
        if (!bFirst) text += ' ';
        AppendFloat(text, f);
        bFirst = false;
    }
    text += '\n';
}

void AppendBlockLine(std::string &text, const char *pszKeyword, int iID)
{
    text += pszKeyword;
    text += ' ';
    AppendInt(text, iID);
    text += '\n';
}

// A *NODES block with IDs.
void AppendNodes(std::string &text, int iBlockID, const std::vector<int> &ids,
                 const std::vector<float> &coords)
{
    AppendBlockLine(text, "*NODES", iBlockID);
    text += "%WITH_ID\n";
    for (size_t i = 0; i < ids.size(); i++)
        AppendRow(text, &ids[i], {coords[3 * i], coords[3 * i + 1], coords[3 * i + 2]});
}

// The model's per-step results, one value (or three) per node or element.
struct StepResults {
    std::vector<float> nodeScalars;     // one per node
    std::vector<float> elementScalars;  // one per element
    std::vector<float> displacements;   // three per node
};

// The *RESULTS blocks of one step: nodal scalars without IDs, element
// scalars with the element IDs, nodal displacement vectors without IDs.
void AppendStepResults(std::string &text, int iStep, const StepResults &r,
                       const std::vector<int> &elementIDs)
{
    AppendBlockLine(text, "*RESULTS", kNodeScalarBase + iStep);
    text += "%DIMENSION 1\n%PER_NODE #1\n";
    for (float f : r.nodeScalars) AppendRow(text, nullptr, {f});

    AppendBlockLine(text, "*RESULTS", kElementScalarBase + iStep);
    text += "%DIMENSION 1\n%WITH_ID\n%PER_ELEMENT #1\n";
    for (size_t i = 0; i < elementIDs.size(); i++)
        AppendRow(text, &elementIDs[i], {r.elementScalars[i]});

    AppendBlockLine(text, "*RESULTS", kDisplacementBase + iStep);
    text += "%DIMENSION 3\n%PER_NODE #1\n";
    for (size_t i = 0; i + 2 < r.displacements.size(); i += 3)
        AppendRow(text, nullptr,
                  {r.displacements[i], r.displacements[i + 1], r.displacements[i + 2]});
}

// The step list of a *QUOLINSCALAR or *QUOLINVECTOR block: one *RESULTS
// block per step, base + step.
void AppendStepList(std::string &text, const char *pszKeyword, int iBlockID, const char *pszName,
                    const char *pszDirective, int iResultBase)
{
    AppendBlockLine(text, pszKeyword, iBlockID);
    text += "%NAME \"";
    text += pszName;
    text += "\"\n";
    if (pszDirective != nullptr) {
        text += pszDirective;
        text += '\n';
    }
    for (int s = 1; s <= NKF_EXAMPLE_STEPS; s++) {
        text += "%STEP ";
        AppendInt(text, s);
        text += "\n%STEPNAME \"Load ";
        AppendInt(text, s);
        text += "\"\n%STEPTIME ";
        AppendFloat(text, static_cast<float>(s) / NKF_EXAMPLE_STEPS);
        text += '\n';
        AppendIntLine(text, {iResultBase + s});
    }
}

// The result lists shared by both models.
void AppendResultLists(std::string &text, const char *pszNodeScalar, const char *pszElementScalar)
{
    AppendStepList(text, "*QUOLINSCALAR", 1, pszNodeScalar, nullptr, kNodeScalarBase);
    AppendStepList(text, "*QUOLINSCALAR", 2, pszElementScalar, nullptr, kElementScalarBase);
    AppendStepList(text, "*QUOLINVECTOR", 1, "Displacement", "%DEFORMATION", kDisplacementBase);
    AppendStepList(text, "*QUOLINVECTOR", 2, "Displacement vectors", "%VECTOR_VALUES",
                   kDisplacementBase);
}

float Length3(float x, float y, float z) { return std::sqrt(x * x + y * y + z * z); }

// ---- Beam ----------------------------------------------------------------

const float kBeamLength = 10.0f;
const float kBeamCell = 0.5f;  // cell size across the beam

// A beam of cx x cy x cz hexahedra over the beam's length, cells of
// kBeamCell across it.
struct BeamSize {
    int cx, cy, cz;
    int Node(int i, int j, int k) const { return i + (cx + 1) * (j + (cy + 1) * k); }
};

int BeamNodeID(int iIndex) { return 1001 + iIndex; }

// Cantilever clamped at x = 0, bent downwards in z; the tip deflects by
// the load factor.
StepResults BeamResults(const BeamSize &size, int iStep, const std::vector<float> &coords)
{
    const float f = static_cast<float>(iStep) / NKF_EXAMPLE_STEPS;
    const float L = kBeamLength, zMid = 0.5f * size.cz * kBeamCell;
    StepResults r;
    for (size_t n = 0; n < coords.size() / 3; n++) {
        float x = coords[3 * n], z = coords[3 * n + 2];
        float w = -f * x * x * (3.0f * L - x) / (2.0f * L * L * L);
        float slope = -f * (6.0f * L * x - 3.0f * x * x) / (2.0f * L * L * L);
        float u = -(z - zMid) * slope;
        r.displacements.insert(r.displacements.end(), {u, 0.0f, w});
        r.nodeScalars.push_back(Length3(u, 0.0f, w));
    }
    for (int k = 0; k < size.cz; k++)
        for (int j = 0; j < size.cy; j++)
            for (int i = 0; i < size.cx; i++) {
                float xc = (i + 0.5f) * (L / size.cx);
                float zc = (k + 0.5f) * kBeamCell - zMid;
                r.elementScalars.push_back(f * 240.0f * (L - xc) * zc / L);
            }
    return r;
}

}  // namespace

std::string NKFBeamText(int iCellsX, int iCellsY, int iCellsZ)
{
    const BeamSize size{iCellsX, iCellsY, iCellsZ};
    std::string text = "*NKF-1.00\n# Example model: a cantilever beam of hexahedra, bent over ";
    AppendInt(text, NKF_EXAMPLE_STEPS);
    text += " load steps.\n";

    std::vector<int> nodeIDs;
    std::vector<float> coords;
    const float dx = kBeamLength / size.cx;
    for (int k = 0; k <= size.cz; k++)
        for (int j = 0; j <= size.cy; j++)
            for (int i = 0; i <= size.cx; i++) {
                nodeIDs.push_back(BeamNodeID(size.Node(i, j, k)));
                coords.insert(coords.end(), {i * dx, j * kBeamCell, k * kBeamCell});
            }
    AppendNodes(text, 1, nodeIDs, coords);

    AppendBlockLine(text, "*ELEMENTS", 1);
    text += "%NAME \"Beam\"\n%NODES #1\n%WITH_ID\n%MAP_NODE_IDS\n%HEXAHEDRONS\n";
    std::vector<int> elementIDs;
    for (int k = 0; k < size.cz; k++)
        for (int j = 0; j < size.cy; j++)
            for (int i = 0; i < size.cx; i++) {
                int id = 1 + static_cast<int>(elementIDs.size());
                elementIDs.push_back(id);
                std::vector<int> line = {id};
                for (int dk = 0; dk < 2; dk++) {
                    line.push_back(BeamNodeID(size.Node(i, j, k + dk)));
                    line.push_back(BeamNodeID(size.Node(i + 1, j, k + dk)));
                    line.push_back(BeamNodeID(size.Node(i + 1, j + 1, k + dk)));
                    line.push_back(BeamNodeID(size.Node(i, j + 1, k + dk)));
                }
                AppendIntLine(text, line);
            }

    text += "*QUOLINGEOMETRY 1\n%NAME \"Beam\"\n%ELEMENTS\n1\n";
    for (int s = 1; s <= NKF_EXAMPLE_STEPS; s++)
        AppendStepResults(text, s, BeamResults(size, s, coords), elementIDs);
    AppendResultLists(text, "Displacement magnitude", "Bending stress");
    return text;
}

std::string NKFBeamExampleText()
{
    return NKFBeamText(NKF_BEAM_CELLS_X, NKF_BEAM_CELLS_Y, NKF_BEAM_CELLS_Z);
}

// ---- Plate ---------------------------------------------------------------

namespace {

const int kPlateNodesX = NKF_PLATE_CELLS_X + 1;
const int kPlateNodesY = NKF_PLATE_CELLS_Y + 1;
const float kPlateCell = 0.5f;

int PlateNodeID(int i, int j) { return 501 + i + kPlateNodesX * j; }

// Simply supported plate under a central load: half a sine wave each way.
StepResults PlateResults(int iStep, const std::vector<float> &coords)
{
    const float f = static_cast<float>(iStep) / NKF_EXAMPLE_STEPS;
    const float a = NKF_PLATE_CELLS_X * kPlateCell, b = NKF_PLATE_CELLS_Y * kPlateCell;
    StepResults r;
    for (size_t n = 0; n < coords.size() / 3; n++) {
        float x = coords[3 * n], y = coords[3 * n + 1];
        float w = -0.3f * f * std::sin(kPi * x / a) * std::sin(kPi * y / b);
        r.displacements.insert(r.displacements.end(), {0.0f, 0.0f, w});
        r.nodeScalars.push_back(w);
    }
    for (int j = 0; j < NKF_PLATE_CELLS_Y; j++)
        for (int i = 0; i < NKF_PLATE_CELLS_X; i++) {
            float xc = (i + 0.5f) * kPlateCell, yc = (j + 0.5f) * kPlateCell;
            r.elementScalars.push_back(50.0f * f * std::sin(kPi * xc / a) * std::sin(kPi * yc / b));
        }
    return r;
}

// The load patch: a 3 x 3 node grid just above the plate's middle cells,
// drawn as four polygons.
void AppendLoadPatch(std::string &text)
{
    std::vector<int> ids;
    std::vector<float> coords;
    const int i0 = NKF_PLATE_CELLS_X / 2 - 1, j0 = NKF_PLATE_CELLS_Y / 2 - 1;
    for (int j = 0; j < 3; j++)
        for (int i = 0; i < 3; i++) {
            ids.push_back(2001 + i + 3 * j);
            coords.insert(coords.end(), {(i0 + i) * kPlateCell, (j0 + j) * kPlateCell, 0.02f});
        }
    AppendNodes(text, 2, ids, coords);
    AppendBlockLine(text, "*INDEXEDFACESET", 1);
    text += "%NAME \"Load patch\"\n%NODES #2\n%WITH_ID\n%MAP_NODE_IDS\n%COLORS 1 0.2 0.2\n";
    int id = 1;
    for (int j = 0; j < 2; j++)
        for (int i = 0; i < 2; i++) {
            int n = 2001 + i + 3 * j;
            // The last reference of a polygon is written negated.
            AppendIntLine(text, {id++, n, n + 1, n + 4, -(n + 3)});
        }
}

}  // namespace

std::string NKFPlateExampleText()
{
    std::string text = "*NKF-1.00\n# Example model: a simply supported plate of quadrilaterals "
                       "with a load patch, over ";
    AppendInt(text, NKF_EXAMPLE_STEPS);
    text += " load steps.\n";

    std::vector<int> nodeIDs;
    std::vector<float> coords;
    for (int j = 0; j < kPlateNodesY; j++)
        for (int i = 0; i < kPlateNodesX; i++) {
            nodeIDs.push_back(PlateNodeID(i, j));
            coords.insert(coords.end(), {i * kPlateCell, j * kPlateCell, 0.0f});
        }
    AppendNodes(text, 1, nodeIDs, coords);

    AppendBlockLine(text, "*ELEMENTS", 1);
    text += "%NAME \"Plate\"\n%NODES #1\n%WITH_ID\n%MAP_NODE_IDS\n%QUADS\n";
    std::vector<int> elementIDs;
    for (int j = 0; j < NKF_PLATE_CELLS_Y; j++)
        for (int i = 0; i < NKF_PLATE_CELLS_X; i++) {
            int id = 1 + static_cast<int>(elementIDs.size());
            elementIDs.push_back(id);
            AppendIntLine(text, {id, PlateNodeID(i, j), PlateNodeID(i + 1, j),
                                 PlateNodeID(i + 1, j + 1), PlateNodeID(i, j + 1)});
        }
    AppendLoadPatch(text);

    text += "*QUOLINGEOMETRY 1\n%NAME \"Plate\"\n%ELEMENTS\n1\n%INDEXEDFACESET\n1\n";
    for (int s = 1; s <= NKF_EXAMPLE_STEPS; s++)
        AppendStepResults(text, s, PlateResults(s, coords), elementIDs);
    AppendResultLists(text, "Deflection", "Bending moment");
    return text;
}

bool NKFWriteExampleModels(const std::string &folder)
{
    const std::pair<const char *, std::string> files[] = {{"beam.nkf", NKFBeamExampleText()},
                                                          {"plate.nkf", NKFPlateExampleText()}};
    for (const auto &file : files) {
        std::string path = folder + "/" + file.first;
        FILE *pFile = fopen(path.c_str(), "wb");
        if (pFile == nullptr) return false;
        bool bOk = fwrite(file.second.data(), 1, file.second.size(), pFile) == file.second.size();
        if (fclose(pFile) != 0) bOk = false;
        if (!bOk) return false;
    }
    return true;
}

std::vector<std::string> NKFTestQuadLines(const char *pszDescription)
{
    std::vector<std::string> lines = {"*NKF-1.00", "*NODES 1", "0 0 0",       "1 0 0",
                                      "1 1 0",     "0 1 0",    "*ELEMENTS 3", "%NODES #1"};
    if (pszDescription != nullptr)
        lines.push_back(std::string("%DESCRIPTION \"") + pszDescription + "\"");
    const char *const apszRest[] = {"%QUADS",
                                    "1 2 3 4",
                                    "*QUOLINGEOMETRY 1",
                                    "%NAME \"Quad\"",
                                    "%ELEMENTS",
                                    "3",
                                    "*RESULTS 1",
                                    "%DIMENSION 1",
                                    "%PER_NODE #1",
                                    "10",
                                    "20",
                                    "30",
                                    "40",
                                    "*QUOLINSCALAR 1",
                                    "%NAME \"Temp\"",
                                    "%STEP 1",
                                    "1"};
    for (const char *pszLine : apszRest) lines.push_back(pszLine);
    return lines;
}
