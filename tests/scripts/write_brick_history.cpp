// tests/scripts/write_brick_history.cpp -- writes the one-brick LS-DYNA
// time-history database of the tests (tests/test_support/lsdyna_th_brick.h)
// with states at times 0, 0.5, 1 ... (three, or the number given after the
// file name) to the file named on its command line, for the scripts that
// run the program on one. With PAD after the number of states, each state
// holds PAD more globals (zero) after its 12, and the database and its end
// marker are written as one stream over members of one 512-word block
// (FILE, FILE01, FILE02 ...), the last padded, as a writer that splits
// states larger than a member fills them.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/nk_string.h"
#include "tests/test_support/lsdyna_th_brick.h"
#include "tests/test_support/test_files.h"

namespace {

bool SaveSplit(const std::string &path, const std::vector<double> &times, int iPad)
{
    LSDynaTestHeader h = LSDynaBrickHistoryHeader();
    h.w[18] += iPad;  // NGLBV
    LSDynaTestWriter all;
    LSDynaWriteBrickHistory(&all, {}, h);
    const size_t iGlobalsEnd = 13 * (size_t)all.iWordSize;  // the time and 12 globals
    for (double t : times) {
        LSDynaTestWriter state;
        LSDynaWriteBrickHistoryState(&state, t);
        all.bytes.insert(all.bytes.end(), state.bytes.begin(),
                         state.bytes.begin() + (long)iGlobalsEnd);
        all.bytes.insert(all.bytes.end(), (size_t)iPad * (size_t)all.iWordSize, 0);
        all.bytes.insert(all.bytes.end(), state.bytes.begin() + (long)iGlobalsEnd,
                         state.bytes.end());
    }
    all.Float(-999999.0);
    const size_t iMember = 512 * (size_t)all.iWordSize;
    all.bytes.resize((all.bytes.size() + iMember - 1) / iMember * iMember, 0);
    for (size_t at = 0; at < all.bytes.size(); at += iMember) {
        const std::string name =
            at == 0 ? path : path + NKString::FromFormat("%02d", (int)(at / iMember)).GetText();
        if (!NKTestWriteBytes(name, all.bytes.data() + at, iMember)) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    const int iStates = argc >= 3 ? std::atoi(argv[2]) : 3;
    const int iPad = argc == 4 ? std::atoi(argv[3]) : 0;
    if (argc < 2 || argc > 4 || iStates < 1 || iPad < 0) {
        std::fprintf(stderr, "usage: write_brick_history FILE [STATES [PAD]]\n");
        return 2;
    }
    std::vector<double> times;
    for (int k = 0; k < iStates; k++) times.push_back(0.5 * k);
    LSDynaTestWriter writer;
    if (argc < 4) LSDynaWriteBrickHistory(&writer, times);
    if (argc == 4 ? !SaveSplit(argv[1], times, iPad) : !writer.Save(argv[1])) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
