// cmake/nk_command_table_gen.cpp -- build-time generator of the command table.
//
// Reads commands/nk_commands.tsv (one command a line, eight tab-separated
// columns: id, name, minabbr, needgeom, keepsub, flags, synopsis, description;
// lines starting with '#' and empty lines are skipped) and writes two files
// into the output directory:
//   nk_command_ids.h    one NK_CID_ constant per command id, named after the
//                       first row (in file order) that carries the id
//   nk_command_rows.cpp the static CommandTableEntry rows in file order
// cmake/generated.cmake builds this host tool and runs it whenever the data
// file or the tool changes. Every column is checked here, so that a bad row
// stops the build with the file and line instead of producing a broken table.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Widths of the fixed text fields of CommandTableEntry (terminator included).
const size_t kNameSize = 31;
const size_t kSynopsisSize = 201;
const size_t kDescriptionSize = 200;
// Every availability bit a row may carry (see nk_command_table.h).
const unsigned long kAllFlags = 0x7F;

struct Row {
    int iLine;
    long iId;
    std::string name;
    unsigned long uMinAbbr, uNeedGeom, uKeepSub, uFlags;
    std::string synopsis, description;
};

std::string sg_InputName;
bool sg_bFailed = false;

void Fail(int iLine, const std::string &what)
{
    std::fprintf(stderr, "%s:%d: %s\n", sg_InputName.c_str(), iLine, what.c_str());
    sg_bFailed = true;
}

std::vector<std::string> SplitTabs(const std::string &line)
{
    std::vector<std::string> cells;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        cells.push_back(
            line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return cells;
        start = tab + 1;
    }
}

// Reads a whole-cell unsigned number (decimal, or hexadecimal with 0x).
bool ParseNumber(const std::string &cell, unsigned long *puValue)
{
    if (cell.empty() || !std::isdigit(static_cast<unsigned char>(cell[0]))) return false;
    errno = 0;
    char *pEnd = nullptr;
    *puValue = std::strtoul(cell.c_str(), &pEnd, 0);
    return errno == 0 && *pEnd == '\0';
}

// Lower-case words of letters, digits and underscores joined by one blank,
// or the single character ";".
bool IsValidName(const std::string &name)
{
    if (name == ";") return true;
    if (name.empty() || name.front() == ' ' || name.back() == ' ') return false;
    for (size_t i = 0; i < name.size(); i++) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (c == ' ') {
            if (name[i + 1] == ' ') return false;
        } else if (!std::islower(c) && !std::isdigit(c) && c != '_') {
            return false;
        }
    }
    return true;
}

bool IsPrintableText(const std::string &text)
{
    for (unsigned char c : text)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

std::string ConstantName(const std::string &name)
{
    if (name == ";") return "NK_CID_SEMICOLON";
    std::string constant = "NK_CID_";
    for (unsigned char c : name) constant += c == ' ' ? '_' : static_cast<char>(std::toupper(c));
    return constant;
}

void CheckRow(const Row &row, size_t iNumCells)
{
    if (iNumCells != 8) {
        Fail(row.iLine, "expected 8 tab-separated columns, found " + std::to_string(iNumCells));
        return;
    }
    if (row.iId < 1 || row.iId > 99999) Fail(row.iLine, "id must lie in 1..99999");
    if (!IsValidName(row.name)) Fail(row.iLine, "bad command name '" + row.name + "'");
    if (row.name.size() >= kNameSize) Fail(row.iLine, "name longer than 30 characters");
    if (row.uMinAbbr > row.name.size()) Fail(row.iLine, "minabbr longer than the name");
    if (row.uNeedGeom > 1 || row.uKeepSub > 1) Fail(row.iLine, "needgeom and keepsub are 0 or 1");
    if (row.uFlags & ~kAllFlags) Fail(row.iLine, "unknown flag bits");
    if (row.synopsis.size() >= kSynopsisSize) Fail(row.iLine, "synopsis longer than 200");
    if (row.description.size() >= kDescriptionSize) Fail(row.iLine, "description longer than 199");
    if (!IsPrintableText(row.synopsis) || !IsPrintableText(row.description))
        Fail(row.iLine, "synopsis and description must be printable ASCII");
}

bool ReadRows(const std::string &path, std::vector<Row> *pRows)
{
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "%s: cannot open\n", path.c_str());
        return false;
    }
    std::string line;
    int iLine = 0;
    while (std::getline(in, line)) {
        iLine++;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> cells = SplitTabs(line);
        Row row{iLine, 0, "", 0, 0, 0, 0, "", ""};
        if (cells.size() == 8) {
            unsigned long uId = 0;
            if (!ParseNumber(cells[0], &uId) || !ParseNumber(cells[2], &row.uMinAbbr) ||
                !ParseNumber(cells[3], &row.uNeedGeom) || !ParseNumber(cells[4], &row.uKeepSub) ||
                !ParseNumber(cells[5], &row.uFlags)) {
                Fail(iLine, "id, minabbr, needgeom, keepsub and flags must be numbers");
                continue;
            }
            row.iId = static_cast<long>(uId);
            row.name = cells[1];
            row.synopsis = cells[6];
            row.description = cells[7];
        }
        CheckRow(row, cells.size());
        pRows->push_back(row);
    }
    return true;
}

// One constant per id, named after its first row; names and constants unique.
std::map<long, std::string> AssignConstants(const std::vector<Row> &rows)
{
    std::map<long, std::string> constants;
    std::set<std::string> names, taken;
    for (const Row &row : rows) {
        if (!names.insert(row.name).second) Fail(row.iLine, "duplicate name '" + row.name + "'");
        if (constants.count(row.iId)) continue;
        std::string constant = ConstantName(row.name);
        if (!taken.insert(constant).second) Fail(row.iLine, "duplicate constant " + constant);
        constants[row.iId] = constant;
    }
    return constants;
}

std::string Quote(const std::string &text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
        // Keep "??x" from being read as a trigraph by older compilers.
        if (c == '?' && out.size() >= 2 && out[out.size() - 2] == '?')
            out.insert(out.size() - 1, "\\");
    }
    return out + "\"";
}

// Leaves a file that already holds the text alone, so that editing a
// description does not rebuild every file that includes the ids.
bool WriteFile(const std::string &path, const std::string &text)
{
    std::ifstream existing(path, std::ios::binary);
    if (existing) {
        std::ostringstream old;
        old << existing.rdbuf();
        if (old.str() == text) return true;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) std::fprintf(stderr, "%s: cannot write\n", path.c_str());
    return static_cast<bool>(out);
}

std::string MakeIdsHeader(const std::vector<Row> &rows,
                          const std::map<long, std::string> &constants)
{
    std::map<long, std::vector<std::string>> members;
    for (const Row &row : rows) members[row.iId].push_back(row.name);
    std::ostringstream h;
    h << "// nk_command_ids.h -- generated from commands/nk_commands.tsv; do not edit.\n"
         "// One constant per command id. Synonyms and the members of a sub-command\n"
         "// family share one id; the comment after each constant lists its names.\n"
         "#pragma once\n\nenum NKCommandId : int {\n";
    for (const auto &entry : constants) {
        h << "    " << entry.second << " = " << entry.first << ",  //";
        for (const std::string &name : members[entry.first]) h << " \"" << name << "\"";
        h << "\n";
    }
    h << "};\n\n// Rows in the generated table.\nenum { NK_COMMAND_ROW_COUNT = " << rows.size()
      << " };\n";
    return h.str();
}

std::string MakeRowsSource(const std::vector<Row> &rows,
                           const std::map<long, std::string> &constants)
{
    std::ostringstream c;
    c << "// nk_command_rows.cpp -- generated from commands/nk_commands.tsv; do not edit.\n"
         "// The static rows of the command table, in the data file's order; the\n"
         "// table sorts them by name at first use (nk_command_table.cpp).\n"
         "#include \"commands/nk_command_table.h\"\n"
         "#include \"commands/nk_command_ids.h\"\n\n"
         "CommandTableEntry g_NKCommandRows[NK_COMMAND_ROW_COUNT] = {\n";
    for (const Row &row : rows) {
        char flags[16];
        std::snprintf(flags, sizeof flags, "0x%02lX", row.uFlags);
        c << "    {" << constants.at(row.iId) << ", " << Quote(row.name) << ", " << row.uMinAbbr
          << ", " << row.uNeedGeom << ", " << row.uKeepSub << ", " << flags << ",\n     "
          << Quote(row.synopsis) << ",\n     " << Quote(row.description) << "},\n";
    }
    c << "};\n\nconst int g_iNKCommandRowCount = NK_COMMAND_ROW_COUNT;\n";
    return c.str();
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s commands.tsv output-directory\n", argv[0]);
        return 2;
    }
    sg_InputName = argv[1];
    std::vector<Row> rows;
    if (!ReadRows(sg_InputName, &rows)) return 1;
    if (rows.empty()) Fail(0, "no command rows");
    std::map<long, std::string> constants = AssignConstants(rows);
    if (sg_bFailed) return 1;
    std::string dir = argv[2];
    bool bOk = WriteFile(dir + "/nk_command_ids.h", MakeIdsHeader(rows, constants)) &&
               WriteFile(dir + "/nk_command_rows.cpp", MakeRowsSource(rows, constants));
    return bOk ? 0 : 1;
}
