// readers/nk_lsdyna_ascii_kinds.h -- the scan and read steps of the seven
// LS-DYNA ASCII output file kinds, over a file's text held in memory, and
// the keyword tables they match. Shared by nk_lsdyna_ascii.cpp (the source)
// and nk_lsdyna_ascii_kinds.cpp (the parsers); nothing else includes it.
//
// Lines are any length; a trailing CR is dropped. Words are separated by
// blanks, tabs or commas.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/nk_string.h"

// One row of a keyword table: the key matched in the file, the label shown.
struct NKAsciiKeyword {
    const char *pszKey;
    const char *pszLabel;
};

// The table of kind k and its row count.
const NKAsciiKeyword *NKAsciiKeywords(int iKind, int *piRows);

// What a scan found in one file kind.
struct NKAsciiScan {
    std::vector<int> entities;             // entity numbers, the series
    std::vector<NKString> componentNames;  // labels, component order
    std::vector<int> componentRows;        // keyword-table row of each component
    std::vector<int> componentOccurrence;  // which matching line of a state (GLSTAT)
    std::vector<int> columns;              // TRHIST: word of each component; NODOUT unused
    int iNumStates = 0;
    int iLinesPerItem = 1;  // TRHIST: lines per particle
    int iHeaderLines = 0;   // TRHIST: lines before the first state
};

// The values a read step returns: one time per state, and per requested
// entity one value per state (0 where the file has none).
struct NKAsciiValues {
    std::vector<float> times;
    std::vector<std::vector<float>> values;
    int iStatesFound = 0;  // states the read counted, to compare with the scan
};

// A file's text and its lines.
struct NKAsciiText {
    std::string text;
    // Reads the whole file (pszName, else its lower-case form); false when
    // neither can be read.
    bool Load(const char *pszName);
};

// Iterates the lines of a text.
class NKAsciiLines {
public:
    explicit NKAsciiLines(const std::string &text)
        : m_p(text.data()), m_pEnd(text.data() + text.size())
    {}
    bool Next(std::string_view *pLine);

private:
    const char *m_p;
    const char *m_pEnd;
};

// Scans kind k; false when the file holds nothing of that kind (the scan is
// then cleared).
bool NKAsciiScanKind(int iKind, const NKAsciiText &file, NKAsciiScan *pScan);
// Reads component iComponent of the requested entities; false on a failure
// of the file's layout. pOut's arrays are sized by the scan's state count.
bool NKAsciiReadKind(int iKind, const NKAsciiText &file, const NKAsciiScan &scan,
                     const std::vector<int> &entities, int iComponent, NKAsciiValues *pOut);
