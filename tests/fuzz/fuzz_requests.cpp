// tests/fuzz/fuzz_requests.cpp -- the request server's line protocol
// through its parser and dispatcher, without a socket: every input line is
// a request of one connection (at most 64), answered against the example
// beam; the connection then closes.
#include "commands/nk_dde_server.h"
#include "tests/fuzz/fuzz_support.h"

NK_FUZZ_TARGET(requests)
{
    NKFuzzInDir inDir;
    if (!NKFuzzProgramWithExample()) return 0;
    std::string all(reinterpret_cast<const char *>(pData), nSize);
    size_t iFrom = 0;
    for (int n = 0; n < 64 && iFrom < all.size(); n++) {
        size_t iEnd = all.find('\n', iFrom);
        if (iEnd == std::string::npos) iEnd = all.size();
        std::string line = all.substr(iFrom, iEnd - iFrom);
        NKDDEAnswerRequest(1, line, false);
        iFrom = iEnd + 1;
    }
    NKDDEConnectionClosed(1);
    return 0;
}
