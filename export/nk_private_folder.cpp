// export/nk_private_folder.cpp -- private working folders of the movie
// writers.
#include "export/nk_private_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

std::string NKMakePrivateFolder(const std::string &folder, const char *pszPrefix)
{
    std::string templ = folder.empty() ? std::string() : folder;
    if (!templ.empty() && templ.back() != '/') templ += '/';
    templ += pszPrefix;
    templ += "XXXXXX";
    if (mkdtemp(&templ[0]) == nullptr) return std::string();
    return templ;
}

void NKRemovePrivateFolder(const std::string &path)
{
    if (path.empty()) return;
    std::error_code error;
    std::filesystem::remove_all(path, error);
}
