// core/nk_file_read.cpp -- regular files opened and read whole, and the line
// that names a file after an error (see nk_file_read.h).
#include "core/nk_file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/nk_file_report.h"
#include "core/nk_message.h"

namespace {

// The reason given for a file that holds no byte.
constexpr char kEmpty[] = "it is empty";

std::string SystemPath(const char *pszPath)
{
    std::string path(pszPath != nullptr ? pszPath : "");
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string ErrnoReason(int iErr)
{
    switch (iErr) {
    case ENOENT:
        return "no such file";
    case EACCES:
    case EPERM:
        return "no read permission";
    case ENOTDIR:
        return "a part of its path is not a folder";
    case ENAMETOOLONG:
        return "the name is too long for the system";
    default:
        return "it cannot be opened";
    }
}

}  // namespace

int NKOpenRegularDescriptor(const char *pszPath, std::string *pWhy)
{
    std::string path = SystemPath(pszPath);
    std::string why;
    int fd = -1;
    if (path.empty()) {
        why = "no file name";
    } else {
        // Opened without blocking, then looked at through the open handle: a
        // FIFO opened the ordinary way waits for a writer, and a name checked
        // before its open may name another entry by the time it is opened.
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        struct stat info;
        if (fd < 0)
            why = ErrnoReason(errno);
        else if (::fstat(fd, &info) != 0)
            why = ErrnoReason(errno);
        else if (S_ISDIR(info.st_mode))
            why = "it is a folder";
        else if (!S_ISREG(info.st_mode))
            why = "it is not a regular file";
        if (!why.empty() && fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
    if (pWhy != nullptr) *pWhy = why;
    return fd;
}

FILE *NKOpenRegularFile(const char *pszPath, std::string *pWhy)
{
    int fd = NKOpenRegularDescriptor(pszPath, pWhy);
    if (fd < 0) return nullptr;
    FILE *pFile = nullptr;
    if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ||
        (pFile = ::fdopen(fd, "rb")) == nullptr) {
        if (pWhy != nullptr) *pWhy = ErrnoReason(errno);
        ::close(fd);
    }
    return pFile;
}

bool NKReadWholeFile(const char *pszPath, std::string *pBytes, std::string *pWhy)
{
    pBytes->clear();
    FILE *pFile = NKOpenRegularFile(pszPath, pWhy);
    if (pFile == nullptr) return false;
    // The read stops at the size the file had when it was opened: a file
    // that grows while it is read (or a device behind a name that changed)
    // cannot take more memory than the file held.
    struct stat info;
    const size_t iSize =
        ::fstat(::fileno(pFile), &info) == 0 && info.st_size > 0 ? (size_t)info.st_size : 0;
    pBytes->resize(iSize);
    size_t n = iSize > 0 ? std::fread(&(*pBytes)[0], 1, iSize, pFile) : 0;
    pBytes->resize(n);
    bool bOk = std::ferror(pFile) == 0;
    std::fclose(pFile);
    if (!bOk) {
        pBytes->clear();
        if (pWhy != nullptr) *pWhy = "a read failed";
    }
    return bOk;
}

bool NKReadFileHead(const char *pszPath, size_t iMax, std::string *pBytes, std::string *pWhy)
{
    pBytes->clear();
    FILE *pFile = NKOpenRegularFile(pszPath, pWhy);
    if (pFile == nullptr) return false;
    pBytes->assign(iMax, '\0');
    size_t n = iMax > 0 ? std::fread(&(*pBytes)[0], 1, iMax, pFile) : 0;
    pBytes->resize(n);
    std::fclose(pFile);
    return true;
}

std::string NKFileProblem(const char *pszPath)
{
    std::string why;
    FILE *pFile = NKOpenRegularFile(pszPath, &why);
    if (pFile != nullptr) std::fclose(pFile);
    return why;
}

std::string NKInputFileProblem(const char *pszPath)
{
    std::string why;
    FILE *pFile = NKOpenRegularFile(pszPath, &why);
    if (pFile == nullptr) return why;
    if (std::fgetc(pFile) == EOF) why = kEmpty;
    std::fclose(pFile);
    return why;
}

std::string NKWriteProblem(const char *pszPath)
{
    std::string path = SystemPath(pszPath);
    struct stat info;
    if (path.empty()) return "no file name";
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return "it is a folder";
        if (::access(path.c_str(), W_OK) != 0) return "no write permission";
        return "";
    }
    size_t iSep = path.find_last_of('/');
    std::string dir = iSep == std::string::npos ? "." : (iSep == 0 ? "/" : path.substr(0, iSep));
    if (::stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return "its folder does not exist";
    if (::access(dir.c_str(), W_OK | X_OK) != 0) return "no write permission in its folder";
    return "";
}

std::string NKFileProblemLine(const char *pszPath, const std::string &why)
{
    std::string line = "File \"" + std::string(pszPath != nullptr ? pszPath : "") + "\"";
    return why.empty() ? line + "." : line + ": " + why + ".";
}

// An empty file is what went wrong whatever read it (a type detection, a
// format check): its line leads the failure.
void NKPrintFileProblem(const char *pszPath, const char *pszWhy)
{
    std::string why = pszWhy != nullptr ? std::string(pszWhy) : NKFileProblem(pszPath);
    const std::string line = NKFileProblemLine(pszPath, why);
    if (why == kEmpty) {
        NKPrintLeadError(line.c_str());
    } else {
        NKPrintError(line.c_str());
    }
    NKNoteFileNamed();
}
