// tests/test_support/test_files.cpp -- temporary folders and whole-file
// reads and writes for the tests (see test_files.h).
#include "tests/test_support/test_files.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

std::string NKTestTempRoot(void)
{
    const char *pszDir = getenv("TMPDIR");
    return pszDir != nullptr && *pszDir != '\0' ? pszDir : "/tmp";
}

std::string NKTestMakeTempDir(const char *pszPrefix)
{
    std::string path = NKTestTempRoot() + "/" + pszPrefix + "XXXXXX";
    if (mkdtemp(path.data()) == nullptr) return "";  // fills in the Xs
    return path;
}

std::string NKTestUnservedDisplay(void)
{
    int n = 900;
    while (access(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), F_OK) == 0) n++;
    return ":" + std::to_string(n);
}

bool NKTestRemoveDir(const std::string &dir)
{
    std::error_code error;
    std::filesystem::remove_all(dir, error);
    return !error;
}

// The bytes go over the file's old ones, and a regular file is then cut to
// their length: never cut to nothing first, which makes ext4 flush the
// file to the disk when it is closed (its guard for a file truncated and
// written again), a hundred times slower than the write when a test
// writes the same file thousands of times.
bool NKTestWriteBytes(const std::string &path, const void *pData, size_t iCount)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    const char *p = static_cast<const char *>(pData);
    bool bOk = true;
    for (size_t iLeft = iCount; bOk && iLeft > 0;) {
        const ssize_t iWritten = write(fd, p, iLeft);
        if (iWritten < 0 && errno == EINTR) continue;
        bOk = iWritten > 0;
        if (bOk) {
            p += iWritten;
            iLeft -= static_cast<size_t>(iWritten);
        }
    }
    struct stat st;
    if (bOk && fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        bOk = ftruncate(fd, static_cast<off_t>(iCount)) == 0;
    return close(fd) == 0 && bOk;
}

bool NKTestWriteBytes(const std::string &path, const std::vector<uint8_t> &data)
{
    return NKTestWriteBytes(path, data.data(), data.size());
}

bool NKTestWriteText(const std::string &path, const std::string &text)
{
    return NKTestWriteBytes(path, text.data(), text.size());
}

// The root of the source tree as the build names it: a full path, so that
// it holds in whatever folder a test works (a compiler cache may hand the
// compiler relative file names, which would make __FILE__ relative too).
std::string NKTestSourceRoot(void) { return QUOLIN_SOURCE_DIR; }

std::string NKTestProgramBeside(const char *pszSelf)
{
    const std::string self = pszSelf;
    if (self.find('/') == std::string::npos) return "./quolin";
    return self.substr(0, self.find_last_of('/') + 1) + "quolin";
}

std::string NKTestExamplePath(const char *pszName)
{
    return (std::filesystem::path(NKTestSourceRoot()) / "examples" / pszName).string();
}

std::string NKTestSharedDataDir(void)
{
    return (std::filesystem::path(NKTestSourceRoot()) / ".." / "shared" / "testdata").string();
}

bool NKTestSharedDataPresent(void)
{
    std::error_code error;
    return std::filesystem::is_directory(NKTestSharedDataDir(), error);
}

std::string NKTestReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string NKTestReadBack(FILE *pFile)
{
    std::string text;
    rewind(pFile);
    int c;
    while ((c = fgetc(pFile)) != EOF) text += (char)c;
    fclose(pFile);
    return text;
}
