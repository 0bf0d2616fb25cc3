// tests/test_support/nkf_test_parse.h -- writes an NKF file that a test
// built and parses it, and drives every block of a parsed file, for the
// NKF tests.
//
// The files come from nkf_test_writer.h, nkf_mesh_writer.h and
// nkf_step_test_support.h and go to the per-process folder of
// NKFTestPath(). The parse functions answer what NKFParser::Parse()
// answered and hand the parser back through ppParser for the tests that
// look at its blocks. A file that cannot be written is not reported here:
// its parse fails with the parser's own message.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "nkf/nkf_parser.h"
#include "tests/test_support/nkf_test_writer.h"

// Writes the lines, each ending in LF, to a file of that name and parses
// it; the parser goes to *ppParser unless ppParser is null. With bDefer
// (the parser's default) references are resolved once the whole file is
// read and rows are not counted word by word; without it every block is
// checked strictly as it is parsed.
bool NKFParseLines(const char *pszName, const std::vector<std::string> &lines,
                   std::unique_ptr<NKFParser> *ppParser = nullptr, bool bDefer = true);
// The same for an ASCII file of the header line "*NKF-1.00" and the lines.
bool NKFParseBody(const char *pszName, const std::vector<std::string> &lines,
                  std::unique_ptr<NKFParser> *ppParser = nullptr, bool bDefer = true);
// The same for the writer's bytes.
bool NKFParseBytes(const char *pszName, const NKFTestWriter &w,
                   std::unique_ptr<NKFParser> *ppParser = nullptr, bool bDefer = true);

// Parses the file and drives every reading and mesh operation over each
// block that was parsed, whether the parse as a whole succeeded or not:
// load, count, resolve, build the part of an element or face-set block,
// list the elements, build the parts of a geometry block's first steps
// with their element lists, free and load again. The robustness tests run
// it over truncated and damaged files, where none of it may crash or read
// past the data. True when the parse and every block's first load and
// reference resolution succeeded.
bool NKFExerciseEveryBlock(const std::string &path, bool bDefer = true);

// The block of that type and ID, or null when the file has none or it is
// not a T.
template <class T>
T *NKFFindBlock(const std::unique_ptr<NKFParser> &pParser, int iType, int iID)
{
    return dynamic_cast<T *>(pParser->FindBlock(iType, iID));
}
