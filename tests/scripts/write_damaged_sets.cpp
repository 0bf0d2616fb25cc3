// tests/scripts/write_damaged_sets.cpp -- writes the damaged sets of the
// tests' writers for the scripts that run the program on them:
//   write_damaged_sets reservoir DIR Z
//       the reservoir fixture with every event computed, node 116's z in
//       event 2 set to Z ("nan", "inf", "-inf" ...), as DIR/res.*
//       (tests/test_support/output3d_test_writer.h);
//   write_damaged_sets d3plot DIR WORDSIZE STATES SPLIT BYTES
//       the LS-DYNA deletion family in words of WORDSIZE bytes (STATES
//       states of 14 words, their first SPLIT words in d3plot01, the rest in
//       d3plot02) with d3plot01 cut to BYTES bytes, or made that long with
//       bytes 0x7F after its words, as DIR/d3plot*
//       (tests/test_support/lsdyna_test_writer.h).
// Exits with status 0 when written, 1 when a file cannot be written, 2 for
// a wrong command line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/test_support/lsdyna_test_writer.h"
#include "tests/test_support/output3d_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

int Usage(void)
{
    std::fprintf(stderr, "usage: write_damaged_sets reservoir DIR Z\n"
                         "       write_damaged_sets d3plot DIR WORDSIZE STATES SPLIT BYTES\n");
    return 2;
}

bool WriteCutFamily(const std::string &dir, int iWordSize, int iStates, long iSplit, long iBytes)
{
    if (iStates < 1 || iSplit < 0 || iBytes < 0 ||
        !LSDynaWriteDeletionFamily(dir, iWordSize, iStates, iSplit))
        return false;
    const std::string member = dir + "/d3plot01";
    std::string bytes = NKTestReadFile(member);
    bytes.resize((size_t)iBytes, '\x7F');
    return NKTestWriteBytes(member, bytes.data(), bytes.size());
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) return Usage();
    bool bOk = false;
    if (std::strcmp(argv[1], "reservoir") == 0 && argc == 4) {
        bOk = NKOutput3DWriteFiles(
            argv[2], NKOutput3DFixtureWithEvent2Z(std::strtof(argv[3], nullptr)), false);
    } else if (std::strcmp(argv[1], "d3plot") == 0 && argc == 7) {
        const int iWordSize = std::atoi(argv[3]);
        if (iWordSize != 4 && iWordSize != 8) return Usage();
        bOk = WriteCutFamily(argv[2], iWordSize, std::atoi(argv[4]), std::atol(argv[5]),
                             std::atol(argv[6]));
    } else {
        return Usage();
    }
    if (!bOk) std::fprintf(stderr, "cannot write the %s set in %s\n", argv[1], argv[2]);
    return bOk ? 0 : 1;
}
