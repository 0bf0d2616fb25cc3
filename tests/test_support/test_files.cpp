// tests/test_support/test_files.cpp -- temporary folders and whole-file
// reads and writes for the tests (see test_files.h).
#include "tests/test_support/test_files.h"

#include <stdlib.h>

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

bool NKTestRemoveDir(const std::string &dir)
{
    std::error_code error;
    std::filesystem::remove_all(dir, error);
    return !error;
}

bool NKTestWriteBytes(const std::string &path, const void *pData, size_t iCount)
{
    FILE *pFile = fopen(path.c_str(), "wb");
    if (pFile == nullptr) return false;
    bool bOk = iCount == 0 || fwrite(pData, 1, iCount, pFile) == iCount;
    return fclose(pFile) == 0 && bOk;
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
