// tests/fuzz/fuzz_reservoir.cpp -- reservoir result sets as data source 9:
// the input holds the files of a set of base name "set", cut apart at
// NK_FUZZ_SEPARATOR: .elm, .k00, .e00, .std3, .ovl3, .uni3, then up to six
// more, each a line with its extension (letters and digits, four at most)
// before its bytes (the result files the catalogue names, the flows).
#include <cctype>

#include "core/nk_data_source_kind.h"
#include "tests/fuzz/fuzz_support.h"

NK_FUZZ_TARGET(reservoir)
{
    static const char *const apszFixed[] = {"elm", "k00", "e00", "std3", "ovl3", "uni3"};
    NKFuzzClearDir();
    std::vector<std::string> parts = NKFuzzSplit(pData, nSize, 12);
    for (size_t i = 0; i < parts.size(); i++) {
        std::string ext, bytes = parts[i];
        if (i < 6) {
            ext = apszFixed[i];
        } else {
            size_t iEnd = bytes.find('\n');
            if (iEnd == std::string::npos || iEnd == 0 || iEnd > 4) continue;
            ext = bytes.substr(0, iEnd);
            bytes = bytes.substr(iEnd + 1);
            bool bPlain = true;
            for (char c : ext) bPlain = bPlain && std::isalnum(static_cast<unsigned char>(c));
            if (!bPlain) continue;
        }
        if (i == 5 && bytes.empty()) continue;  // the unit names are optional
        NKFuzzWrite(("set." + ext).c_str(), bytes);
    }
    NKFuzzReadDataSource(NK_INTERFACE_RESERVOIR, NKFuzzDir() + "/set.elm");
    return 0;
}
