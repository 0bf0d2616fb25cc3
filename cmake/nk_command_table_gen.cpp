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
//
// With --reference TSV PAGE [FOLDER...] it writes the user's command
// reference (docs/commands.md) from the same rows instead; with
// --check-reference TSV PAGE [FOLDER...] it writes nothing and fails, naming
// the first differing line, when the page is not what the rows give. The
// FOLDERs are the program's source folders: a row whose NK_CID_ constant no
// handler there names (comments left out), or that a handler names in a line
// "no action in this program: <row>" because it passes that row's word on,
// is marked "no action in this program" with its description kept.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

// ---- The command reference page ---------------------------------------------------------

// What the program's sources say about the rows: the NK_CID_ constants their
// code names, and the rows a handler declares it passes on.
struct HandlerScan {
    std::set<std::string> constants;
    std::set<std::string> passedOn;
};

// The text without its comments; string and character literals kept whole.
std::string WithoutComments(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        const char c = text[i];
        if (c == '"' || c == '\'') {
            const size_t start = i;
            for (i++; i < text.size() && text[i] != c && text[i] != '\n'; i++)
                if (text[i] == '\\') i++;
            out.append(text, start, i - start + 1);
        } else if (text.compare(i, 2, "//") == 0) {
            while (i < text.size() && text[i] != '\n') i++;
            out += '\n';
        } else if (text.compare(i, 2, "/*") == 0) {
            const size_t end = text.find("*/", i + 2);
            i = end == std::string::npos ? text.size() : end + 1;
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

void ScanSource(const std::string &text, HandlerScan *pScan)
{
    const std::string code = WithoutComments(text);
    for (size_t i = code.find("NK_CID_"); i != std::string::npos; i = code.find("NK_CID_", i)) {
        size_t end = i + 7;
        while (end < code.size() &&
               (std::isupper(static_cast<unsigned char>(code[end])) ||
                std::isdigit(static_cast<unsigned char>(code[end])) || code[end] == '_'))
            end++;
        pScan->constants.insert(code.substr(i, end - i));
        i = end;
    }
    static const std::string kMark = "no action in this program: ";
    for (size_t i = text.find(kMark); i != std::string::npos; i = text.find(kMark, i)) {
        i += kMark.size();
        const size_t end = text.find('\n', i);
        std::string name = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\r')) name.pop_back();
        pScan->passedOn.insert(name);
    }
}

bool ScanFolders(const std::vector<std::string> &folders, HandlerScan *pScan)
{
    namespace fs = std::filesystem;
    for (const std::string &folder : folders) {
        std::error_code error;
        fs::recursive_directory_iterator it(folder, error), end;
        if (error) {
            std::fprintf(stderr, "%s: cannot read the folder\n", folder.c_str());
            return false;
        }
        for (; it != end; it.increment(error)) {
            const std::string ext = it->path().extension().string();
            if (!it->is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
            std::ifstream in(it->path(), std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            ScanSource(text.str(), pScan);
        }
    }
    return true;
}

// Markdown table cell text: a '|' would end the cell.
std::string CellText(const std::string &text)
{
    std::string out;
    for (char c : text) {
        if (c == '|') out += '\\';
        out += c;
    }
    return out;
}

std::string CodeCell(const std::string &text)
{
    return text.empty() ? std::string() : "`" + CellText(text) + "`";
}

// What the interpreter does with a row's availability bits other than
// "Windows only", which counts as available.
std::string AvailabilityNote(unsigned long uFlags)
{
    static const struct {
        unsigned long uBit;
        const char *pszNote;
    } kNotes[] = {{0x02, "not available in this version"},
                  {0x04, "CAVE version only"},
                  {0x08, "must be typed in full"},
                  {0x20, "obsolete"},
                  {0x40, "VR version only"}};
    std::string note;
    for (const auto &n : kNotes)
        if (uFlags & n.uBit) note += (note.empty() ? "" : "; ") + std::string(n.pszNote);
    return note;
}

// The table's four groups, in its order: one-word commands that need a
// model, one-word commands without one, then the longer names likewise.
int GroupOf(const Row &row)
{
    const bool bOneWord = row.name.find(' ') == std::string::npos;
    return (bOneWord ? 0 : 2) + (row.uNeedGeom ? 0 : 1);
}

// Without a scan (no folders given) every row counts as handled.
bool HasAction(const Row &row, const std::map<long, std::string> &constants,
               const HandlerScan *pScan)
{
    if (pScan == nullptr) return true;
    return pScan->constants.count(constants.at(row.iId)) != 0 &&
           pScan->passedOn.count(row.name) == 0;
}

std::string MakeReferencePage(const std::vector<Row> &rows,
                              const std::map<long, std::string> &constants,
                              const HandlerScan *pScan)
{
    static const char *const kHeadings[4] = {
        "One-word commands that need a model", "One-word commands that run without a model",
        "Commands of two or three words that need a model",
        "Commands of two or three words that run without a model"};
    std::ostringstream md;
    md << "# Command reference\n\n"
          "<!-- Generated from commands/nk_commands.tsv by cmake/nk_command_table_gen.cpp;\n"
          "     do not edit. `cmake --build <build> -t command_reference` writes it anew. -->\n\n"
          "Every action of the viewer is a line of its command language: typed into a\n"
          "command file (run with `source <file>` or named on the command line), sent by\n"
          "another program through the request server, or run by a menu item or\n"
          "button. A line is a command name followed by its arguments; `<...>` is a\n"
          "value to give, `[...]` may be left out and `a | b` means one of them.\n"
          "Commands that need a model are refused until a model is loaded.\n";
    for (int g = 0; g < 4; g++) {
        md << "\n## " << kHeadings[g] << "\n\n"
           << "| Command | Arguments | Description | Availability |\n|---|---|---|---|\n";
        for (const Row &row : rows) {
            // Disabled rows are taken out of the live table.
            if (GroupOf(row) != g || (row.uFlags & 0x10)) continue;
            std::string note = AvailabilityNote(row.uFlags);
            if (!HasAction(row, constants, pScan))
                note += (note.empty() ? "" : "; ") + std::string("no action in this program");
            md << "| " << CodeCell(row.name) << " | " << CodeCell(row.synopsis) << " | "
               << CellText(row.description) << " | " << note << " |\n";
        }
    }
    return md.str();
}

// 0 when the page holds exactly the text; else names the first line that
// differs.
int CheckPage(const std::string &path, const std::string &text)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream old;
    if (in) old << in.rdbuf();
    if (in && old.str() == text) return 0;
    std::istringstream want(text), have(old.str());
    std::string a, b;
    int iLine = 0;
    for (;;) {
        iLine++;
        const bool bWant = static_cast<bool>(std::getline(want, a));
        const bool bHave = static_cast<bool>(std::getline(have, b));
        if (!bWant || !bHave || a != b) {
            std::fprintf(stderr,
                         "%s:%d: the page differs from %s\n  table: %s\n  page:  %s\n"
                         "Write it anew: cmake --build <build> -t command_reference\n",
                         path.c_str(), iLine, sg_InputName.c_str(), bWant ? a.c_str() : "(end)",
                         bHave ? b.c_str() : "(end)");
            return 1;
        }
    }
}

}  // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc >= 4 ? argv[1] : "";
    const bool bReference = mode == "--reference" || mode == "--check-reference";
    if (argc != 3 && !bReference) {
        std::fprintf(stderr,
                     "usage: %s commands.tsv output-directory\n"
                     "       %s --reference|--check-reference commands.tsv page.md "
                     "[source-folder...]\n",
                     argv[0], argv[0]);
        return 2;
    }
    sg_InputName = argv[bReference ? 2 : 1];
    std::vector<Row> rows;
    if (!ReadRows(sg_InputName, &rows)) return 1;
    if (rows.empty()) Fail(0, "no command rows");
    std::map<long, std::string> constants = AssignConstants(rows);
    if (sg_bFailed) return 1;
    if (bReference) {
        HandlerScan scan;
        const std::vector<std::string> folders(argv + 4, argv + argc);
        if (!folders.empty() && !ScanFolders(folders, &scan)) return 1;
        const std::string page =
            MakeReferencePage(rows, constants, folders.empty() ? nullptr : &scan);
        if (mode == "--check-reference") return CheckPage(argv[3], page);
        return WriteFile(argv[3], page) ? 0 : 1;
    }
    std::string dir = argv[2];
    bool bOk = WriteFile(dir + "/nk_command_ids.h", MakeIdsHeader(rows, constants)) &&
               WriteFile(dir + "/nk_command_rows.cpp", MakeRowsSource(rows, constants));
    return bOk ? 0 : 1;
}
