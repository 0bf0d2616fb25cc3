// core/nk_program_directory.cpp -- the program's directory (see
// nk_program_directory.h).
#include "core/nk_program_directory.h"

#include <unistd.h>

#include <string>

namespace {

bool sg_bKnown = false;
NKString sg_Directory("");

// The directory of the running program, from the kernel's link to it.
NKString RunningProgramDirectory(void)
{
    std::string path(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", &path[0], path.size());
    if (n <= 0 || static_cast<size_t>(n) >= path.size()) return NKString("");
    path.resize(static_cast<size_t>(n));
    size_t iSlash = path.rfind('/');
    if (iSlash == std::string::npos) return NKString("");
    return NKString(path.substr(0, iSlash + 1).c_str());
}

}  // namespace

const NKString &NKGetProgramDirectory(void)
{
    if (!sg_bKnown) NKSetProgramDirectory(nullptr);
    return sg_Directory;
}

void NKSetProgramDirectory(const char *pszDirectory)
{
    sg_bKnown = true;
    if (pszDirectory == nullptr || *pszDirectory == '\0') {
        sg_Directory = RunningProgramDirectory();
        return;
    }
    sg_Directory = pszDirectory;
    char cLast = sg_Directory[sg_Directory.GetLength() - 1];
    if (cLast != '/' && cLast != '\\') sg_Directory += '/';
}
