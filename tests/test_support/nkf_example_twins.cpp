// tests/test_support/nkf_example_twins.cpp -- the binary twins of the
// example models (see nkf_example_twins.h): the ASCII text is read block by
// block and each block is written again through the binary block writers.
#include "tests/test_support/nkf_example_twins.h"

#include <cstdlib>
#include <sstream>
#include <vector>

#include "tests/test_support/nkf_geometry_writer.h"
#include "tests/test_support/nkf_mesh_writer.h"
#include "tests/test_support/nkf_step_test_support.h"

namespace {

// One ASCII block: keyword, ID, its '%' lines and its number lines.
struct TextBlock {
    std::string keyword;
    int iID = 0;
    std::vector<std::string> directives;
    std::vector<std::vector<double>> rows;
    // Step lists: one entry per "%STEP" with its name, time and IDs.
    std::vector<TestIDStep> steps;

    bool Has(const std::string &directive) const
    {
        for (const std::string &d : directives)
            if (d.compare(0, directive.size(), directive) == 0) return true;
        return false;
    }
    // The quoted text of a directive ("" when absent).
    std::string Quoted(const std::string &directive) const
    {
        for (const std::string &d : directives)
            if (d.compare(0, directive.size(), directive) == 0) {
                size_t a = d.find('"'), b = d.rfind('"');
                if (a != std::string::npos && b > a) return d.substr(a + 1, b - a - 1);
            }
        return "";
    }
};

std::vector<double> Numbers(const std::string &line)
{
    std::vector<double> values;
    std::istringstream in(line);
    double d;
    while (in >> d) values.push_back(d);
    return values;
}

// A "%STEP..." line of a step list.
void ReadStepDirective(TextBlock *pBlock, const std::string &line)
{
    if (line.compare(0, 10, "%STEPNAME ") == 0) {
        size_t a = line.find('"'), b = line.rfind('"');
        pBlock->steps.back().name = line.substr(a + 1, b - a - 1);
    } else if (line.compare(0, 10, "%STEPTIME ") == 0) {
        pBlock->steps.back().fTime = std::strtof(line.c_str() + 10, nullptr);
    } else if (line.compare(0, 6, "%STEP ") == 0) {
        pBlock->steps.push_back({std::atoi(line.c_str() + 6), "", 0.0f, {}});
    }
}

std::vector<TextBlock> ReadBlocks(const std::string &text)
{
    std::vector<TextBlock> blocks;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line.compare(0, 5, "*NKF-") == 0) continue;
        if (line[0] == '*') {
            TextBlock b;
            size_t iBlank = line.find(' ');
            b.keyword = line.substr(0, iBlank);
            b.iID = std::atoi(line.c_str() + iBlank + 1);
            blocks.push_back(b);
        } else if (line.compare(0, 5, "%STEP") == 0) {
            ReadStepDirective(&blocks.back(), line);
        } else if (line[0] == '%') {
            blocks.back().directives.push_back(line);
        } else if (!blocks.back().steps.empty()) {
            for (double d : Numbers(line)) blocks.back().steps.back().ids.push_back((int32_t)d);
        } else {
            blocks.back().rows.push_back(Numbers(line));
        }
    }
    return blocks;
}

int ReferencedID(const TextBlock &b, const char *pszDirective)
{
    for (const std::string &d : b.directives)
        if (d.compare(0, std::string(pszDirective).size(), pszDirective) == 0)
            return std::atoi(d.c_str() + d.find('#') + 1);
    return 0;
}

void WriteNodes(NKFTestWriter &w, const TextBlock &b)
{
    std::vector<int32_t> ids;
    std::vector<float> coords;
    for (const auto &r : b.rows) {
        ids.push_back((int32_t)r[0]);
        coords.insert(coords.end(), {(float)r[1], (float)r[2], (float)r[3]});
    }
    AppendNodesBlock(w, b.iID, ids.data(), coords.data(), (int32_t)ids.size());
}

void WriteElements(NKFTestWriter &w, const TextBlock &b)
{
    int iCode = b.Has("%HEXAHEDRONS") ? 9 : 5;  // hexahedra or quadrilaterals
    NKFTestSection s{iCode, {}, {}, (int32_t)b.rows.size()};
    for (const auto &r : b.rows) {
        s.ids.push_back((int32_t)r[0]);
        for (size_t k = 1; k < r.size(); k++) s.refs.push_back((int32_t)r[k]);
    }
    AppendElementsBlock(w, b.iID, ReferencedID(b, "%NODES"), {s}, true, false, 1, 124, 20,
                        b.Quoted("%NAME").c_str());
}

void WriteFaceSet(NKFTestWriter &w, const TextBlock &b)
{
    std::vector<NKFTestPolygon> polygons;
    for (const auto &r : b.rows) {
        NKFTestPolygon p{(int32_t)r[0], {}};
        for (size_t k = 1; k < r.size(); k++) p.refs.push_back(std::abs((int32_t)r[k]));
        polygons.push_back(p);
    }
    std::vector<double> color;
    for (const std::string &d : b.directives)
        if (d.compare(0, 8, "%COLORS ") == 0) color = Numbers(d.substr(8));
    float afColor[3] = {-1.0f, 0.0f, 0.0f};
    for (size_t c = 0; c < 3 && c < color.size(); c++) afColor[c] = (float)color[c];
    AppendFaceSetBlock(w, b.iID, ReferencedID(b, "%NODES"), polygons, true, 1, 124,
                       NKF_TEST_COUNT_FROM_DATA, NKF_TEST_COUNT_FROM_DATA,
                       b.Quoted("%NAME").c_str(), afColor);
}

// The example geometry lists one step: "%ELEMENTS" then its IDs, and
// optionally "%INDEXEDFACESET" then its IDs, each on one line.
void WriteGeometry(NKFTestWriter &w, const TextBlock &b)
{
    TestGeometryStep step{1, "", 0.0f, {}, {}};
    step.elements.push_back((int32_t)b.rows[0][0]);
    if (b.rows.size() > 1) step.faceSets.push_back((int32_t)b.rows[1][0]);
    AppendGeometryBlock(w, b.iID, b.Quoted("%NAME").c_str(), {step});
}

void WriteResults(NKFTestWriter &w, const TextBlock &b)
{
    int iDimension = b.Has("%DIMENSION 3") ? 3 : 1;
    bool bIDs = b.Has("%WITH_ID");
    bool bElements = b.Has("%PER_ELEMENT");
    int iRef = ReferencedID(b, bElements ? "%PER_ELEMENT" : "%PER_NODE");
    std::vector<int32_t> ids;
    std::vector<float> values;
    for (const auto &r : b.rows) {
        size_t k = 0;
        if (bIDs) ids.push_back((int32_t)r[k++]);
        for (; k < r.size(); k++) values.push_back((float)r[k]);
    }
    AppendResultsBlock(w, b.iID, iDimension, iRef, bElements ? 1 : 0, bIDs ? ids.data() : nullptr,
                       values.data(), (int32_t)b.rows.size(), iDimension);
}

}  // namespace

NKFTestWriter NKFExampleBinaryTwin(const std::string &text, bool bBigEndian)
{
    NKFTestWriter w(bBigEndian);
    AppendFileHeader(w);
    for (const TextBlock &b : ReadBlocks(text)) {
        if (b.keyword == "*NODES") WriteNodes(w, b);
        if (b.keyword == "*ELEMENTS") WriteElements(w, b);
        if (b.keyword == "*INDEXEDFACESET") WriteFaceSet(w, b);
        if (b.keyword == "*QUOLINGEOMETRY") WriteGeometry(w, b);
        if (b.keyword == "*RESULTS") WriteResults(w, b);
        if (b.keyword == "*QUOLINSCALAR")
            AppendResultListBlock(w, 1010, b.iID, b.Quoted("%NAME").c_str(), b.steps, false);
        if (b.keyword == "*QUOLINVECTOR")
            AppendResultListBlock(w, 1011, b.iID, b.Quoted("%NAME").c_str(), b.steps, false);
    }
    return w;
}
