// core/nk_file.cpp -- file, path and byte-order services (see nk_file.h).
// Paths reach the system through ToSystemPath, which turns every '\' into
// '/'; listings read the directory with opendir(3) and match names with
// fnmatch(3). Errors are answers; the byte-order check is the one function
// that also composes a message (at the error level) when it cannot decide.
#include "core/nk_file.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#include <immintrin.h>
#endif
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/nk_message.h"

namespace {

// How many bytes decide whether a file is binary.
const size_t kBinaryProbeSize = 1024;
// The display limit of abbreviated paths.
const size_t kAbbreviateLimit = 40;
const char kAbbreviateMarker[] = "/.../";

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Index of the last '/' or '\' of the text, or -1.
long LastSeparator(const char *psz)
{
    long iLast = -1;
    for (long i = 0; psz[i] != '\0'; i++)
        if (IsSeparator(psz[i])) iLast = i;
    return iLast;
}

std::string ToSystemPath(const char *pszPath)
{
    std::string path(pszPath != nullptr ? pszPath : "");
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

bool FitsRange(int32_t iWord, int iLow, int iHigh) { return iWord >= iLow && iWord <= iHigh; }

// The directory part of a path up to and with its last separator, and the
// name after it.
void SplitAtLastSeparator(const std::string &path, std::string *pDir, std::string *pName)
{
    size_t i = path.find_last_of("/\\");
    if (i == std::string::npos) {
        pDir->clear();
        *pName = path;
    } else {
        *pDir = path.substr(0, i + 1);
        *pName = path.substr(i + 1);
    }
}

// A Windows mask "*.*" means every file, also those without a dot.
std::string NamePattern(const std::string &name) { return name == "*.*" ? "*" : name; }

// The entry names of the pattern's directory that match its name part,
// sorted; "." and ".." left out. False with the errno value in *pErr when the
// directory cannot be read.
bool ListMatching(const char *pszPattern, std::string *pDir, std::vector<std::string> *pNames,
                  int *pErr)
{
    std::string name;
    SplitAtLastSeparator(ToSystemPath(pszPattern), pDir, &name);
    std::string pattern = NamePattern(name);
    DIR *pDirStream = opendir(pDir->empty() ? "." : pDir->c_str());
    if (pDirStream == nullptr) {
        *pErr = errno;
        return false;
    }
    while (struct dirent *pEntry = readdir(pDirStream)) {
        const char *pszName = pEntry->d_name;
        if (std::strcmp(pszName, ".") == 0 || std::strcmp(pszName, "..") == 0) continue;
        // No escapes: '\' is a separator in our patterns, never a quote.
        if (fnmatch(pattern.c_str(), pszName, FNM_NOESCAPE) == 0) pNames->push_back(pszName);
    }
    closedir(pDirStream);
    std::sort(pNames->begin(), pNames->end());
    *pErr = pNames->empty() ? ENOENT : 0;
    return true;
}

// The current directory, or false.
bool CurrentDirectory(std::string *pOut)
{
    char *psz = getcwd(nullptr, 0);
    if (psz == nullptr) return false;
    pOut->assign(psz);
    std::free(psz);
    return true;
}

// Makes a path absolute against the current directory and resolves "." and
// ".." by its text alone. False when the current directory is unreadable.
bool MakeAbsolute(const std::string &path, std::string *pOut)
{
    std::string full = path;
    if (full.empty() || full[0] != '/') {
        std::string cwd;
        if (!CurrentDirectory(&cwd)) return false;
        full = full.empty() ? cwd : cwd + "/" + full;
    }
    *pOut = std::filesystem::path(full).lexically_normal().string();
    return true;
}

}  // namespace

// ---- Binary files and byte order ----------------------------------------

bool IsBinaryFile(FILE *pFile)
{
    if (pFile == nullptr) return false;
    unsigned char buffer[kBinaryProbeSize];
    rewind(pFile);
    size_t n = fread(buffer, 1, sizeof(buffer), pFile);
    rewind(pFile);
    // Bytes of 0x80 and above are letters of some text encoding (UTF-8,
    // Latin-1): only the control bytes no text uses make a file binary.
    for (size_t i = 0; i < n; i++)
        if (buffer[i] < 0x07) return true;
    return false;
}

bool NeedsByteSwap(FILE *pFile, int iLow, int iHigh)
{
    if (pFile == nullptr) return false;
    int32_t iWord = 0;
    rewind(pFile);
    size_t n = fread(&iWord, sizeof(iWord), 1, pFile);
    rewind(pFile);
    int32_t iSwapped = iWord;
    SwapBytes(&iSwapped, sizeof(iSwapped), 1);
    if (n != 1 || (!FitsRange(iWord, iLow, iHigh) && !FitsRange(iSwapped, iLow, iHigh))) {
        NKPrintError("Error in file. Can't decide if little-endian.");
        return false;
    }
    return FitsRange(iSwapped, iLow, iHigh);
}

// Reverses the bytes of iCount words of type Word (4 or 8 bytes) at p.
template <typename Word>
static void ReverseWords(unsigned char *p, int64_t iCount)
{
    for (int64_t i = 0; i < iCount; i++, p += sizeof(Word)) {
        Word u;
        std::memcpy(&u, p, sizeof(Word));
        if constexpr (sizeof(Word) == 4)
            u = __builtin_bswap32(u);
        else
            u = __builtin_bswap64(u);
        std::memcpy(p, &u, sizeof(Word));
    }
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define NK_HAVE_AVX2_SWAP 1
// Eight words at a time with one byte shuffle, where the processor has AVX2
// (asked once at run time, since the build assumes only SSE2); returns how
// many words it swapped.
__attribute__((target("avx2"))) static int64_t ReverseWords32Avx2(unsigned char *p, int64_t iCount)
{
    const __m256i order = _mm256_setr_epi8(3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12, 3,
                                           2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12);
    int64_t i = 0;
    for (; i + 8 <= iCount; i += 8, p += 32) {
        __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(p), _mm256_shuffle_epi8(v, order));
    }
    return i;
}
#endif

// Four-byte words, four at a time where the machine has SSE2 (every x86-64):
// a file's arrays in the other byte order swap twice as fast as word by word,
// and eight at a time with AVX2 twice as fast again.
static void ReverseWords32(unsigned char *p, int64_t iCount)
{
    int64_t i = 0;
#ifdef NK_HAVE_AVX2_SWAP
    static const bool bAvx2 = __builtin_cpu_supports("avx2");
    if (bAvx2) {
        i = ReverseWords32Avx2(p, iCount);
        p += 4 * i;
    }
#endif
#ifdef __SSE2__
    const __m128i mask = _mm_set1_epi32(0x00ff00ff);
    for (; i + 4 <= iCount; i += 4, p += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        // The bytes of each half-word change places, then the half-words.
        v = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(v, 8), mask),
                         _mm_andnot_si128(mask, _mm_slli_epi16(v, 8)));
        v = _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xb1), 0xb1);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p), v);
    }
#endif
    ReverseWords<uint32_t>(p, iCount - i);
}

void SwapBytes(void *pData, int iSize, int64_t iCount)
{
    if (pData == nullptr || iSize <= 1 || iSize > 32 || iCount < 1) return;
    unsigned char *p = static_cast<unsigned char *>(pData);
    // Whole arrays of words are swapped when a file's order differs, so the
    // common sizes go through the compiler's byte-swap instructions.
    if (iSize == 2) {
        for (int64_t i = 0; i < iCount; i++, p += 2) std::swap(p[0], p[1]);
    } else if (iSize == 4) {
        ReverseWords32(p, iCount);
    } else if (iSize == 8) {
        ReverseWords<uint64_t>(p, iCount);
    } else {
        for (int64_t i = 0; i < iCount; i++, p += iSize) std::reverse(p, p + iSize);
    }
}

// ---- Paths ---------------------------------------------------------------

void NKSplitPath(const char *pszPath, char *pszDir, char *pszName, int iSize)
{
    if (pszPath == nullptr || pszPath[0] == '\0') return;
    if (iSize >= 1) {
        if (pszDir != nullptr) pszDir[0] = '\0';
        if (pszName != nullptr) pszName[0] = '\0';
    }
    long iSep = LastSeparator(pszPath);
    size_t iDirLen = static_cast<size_t>(iSep + 1);
    const char *pszAfter = pszPath + iDirLen;
    size_t iNameLen = std::strlen(pszAfter);
    if (pszDir != nullptr && iDirLen > 0 && iDirLen < static_cast<size_t>(std::max(iSize, 0))) {
        std::memcpy(pszDir, pszPath, iDirLen);
        pszDir[iDirLen] = '\0';
    }
    if (pszName != nullptr && iNameLen > 0 && iNameLen < static_cast<size_t>(std::max(iSize, 0)))
        std::memcpy(pszName, pszAfter, iNameLen + 1);
}

int NKGetFileDirectory(const char *pszPath, char *pszDir, char *pszName)
{
    if (pszPath == nullptr || pszDir == nullptr) return 0;
    size_t iDirLen = static_cast<size_t>(LastSeparator(pszPath) + 1);
    const char *pszAfter = pszPath + iDirLen;
    // memmove: a caller may pass the path's own buffer as pszDir.
    size_t iNameLen = std::strlen(pszAfter);
    if (pszName != nullptr) std::memmove(pszName, pszAfter, iNameLen + 1);
    std::memmove(pszDir, pszPath, iDirLen);
    pszDir[iDirLen] = '\0';
    return static_cast<int>(iNameLen + 1);
}

bool NKGetFullPath(const char *pszPath, NKString *pOut)
{
    if (pszPath == nullptr || pszPath[0] == '\0' || pOut == nullptr) return false;
    std::string full;
    if (!MakeAbsolute(ToSystemPath(pszPath), &full)) {
        *pOut = "";
        return false;
    }
    *pOut = full.c_str();
    return true;
}

namespace {

// Where the scan of NKTokenize goes on: after the last token's terminator,
// at the line's end, or null when no scan runs.
char *sg_pszTokenNext = nullptr;

}  // namespace

char *NKTokenize(char *pszLine, const char *pszDelimiters)
{
    if (pszLine != nullptr) sg_pszTokenNext = pszLine;
    if (sg_pszTokenNext == nullptr || pszDelimiters == nullptr) return nullptr;
    char *pszStart = sg_pszTokenNext + std::strspn(sg_pszTokenNext, pszDelimiters);
    if (*pszStart == '\0') {
        sg_pszTokenNext = pszStart;
        return nullptr;
    }
    char *pszEnd = pszStart + std::strcspn(pszStart, pszDelimiters);
    if (*pszEnd != '\0') {
        *pszEnd = '\0';
        sg_pszTokenNext = pszEnd + 1;
    } else {
        sg_pszTokenNext = pszEnd;
    }
    return pszStart;
}

char *NKGetTokenRest(void)
{
    static char szEmpty[1] = "";
    return sg_pszTokenNext != nullptr ? sg_pszTokenNext : szEmpty;
}

char *NKGetNextArgument(const char *pszPreviousToken)
{
    if (pszPreviousToken == nullptr || sg_pszTokenNext == nullptr) return nullptr;
    const char *pszRest = sg_pszTokenNext;
    if (std::strchr(pszRest, '"') == nullptr) return NKTokenize(nullptr, " ");
    bool bStartsWithBlank = pszRest[0] == ' ';
    char *pszArg = NKTokenize(nullptr, "\"");
    // The blanks between the previous token and the opening quote.
    if (bStartsWithBlank && pszArg != nullptr && std::strspn(pszArg, " ") == std::strlen(pszArg))
        pszArg = NKTokenize(nullptr, "\"");
    return pszArg;
}

NKString NKQuoteString(NKString text)
{
    text.RemoveChar('"');
    text.Trim();
    return NKString("\"") + text + "\"";
}

NKString NKGetFileExtension(const char *pszPath)
{
    if (pszPath == nullptr) return NKString("");
    const char *pszName = pszPath + LastSeparator(pszPath) + 1;
    const char *pszDot = std::strrchr(pszName, '.');
    return NKString(pszDot != nullptr ? pszDot : "");
}

bool NKReplaceFileExtension(NKString &path, const NKString &extension)
{
    // Only a dot of the file name counts: "run.v2/model" has no extension.
    int iNameStart = static_cast<int>(LastSeparator(path.GetText()) + 1);
    int iDot = path.FindChar('.', -1, false);
    if (iDot < iNameStart) return false;
    path = path.Left(iDot + 1) + extension;
    return true;
}

namespace {

// The non-empty components of a directory text ("a/b/" gives a, b).
std::vector<std::string> SplitComponents(const std::string &dir)
{
    std::vector<std::string> parts;
    size_t i = 0;
    while (i < dir.size()) {
        size_t j = dir.find('/', i);
        if (j == std::string::npos) j = dir.size();
        if (j > i) parts.push_back(dir.substr(i, j - i));
        i = j + 1;
    }
    return parts;
}

// A long path abbreviated: head, marker, the last directories that
// fit, and the name. The head keeps the path's leading separators (one for
// an absolute path, two for a "//server/share" path).
std::string AbbreviateLongPath(const std::string &path, const std::string &dir,
                               const std::string &name)
{
    size_t iLead = path.compare(0, 2, "//") == 0 ? 2 : (path.compare(0, 1, "/") == 0 ? 1 : 0);
    std::vector<std::string> parts = SplitComponents(dir.substr(std::min(iLead, dir.size())));
    // Nothing lies between the head and the name: there is nothing to leave
    // out, and the marker would only make the path longer.
    if (parts.size() <= 2) return name;
    std::string head = path.substr(0, iLead) + parts[0] + "/" + parts[1];
    std::string marked = head + kAbbreviateMarker;
    if (marked.size() + name.size() >= kAbbreviateLimit) return marked + name;
    std::string collected;
    for (size_t k = parts.size(); k > 2; k--) {
        const std::string &part = parts[k - 1];
        // The separator after the component counts, so the result stays
        // below the limit.
        if (marked.size() + collected.size() + part.size() + 1 + name.size() >= kAbbreviateLimit)
            break;
        collected = part + "/" + collected;
    }
    return marked + collected + name;
}

}  // namespace

NKString NKAbbreviatePath(const NKString &path, const NKString &currentDirectory)
{
    std::string full = ToSystemPath(path.GetText());
    std::string current = ToSystemPath(currentDirectory.GetText());
    std::string dir, name;
    SplitAtLastSeparator(full, &dir, &name);
    std::string compared = dir;
    if ((current.empty() || current.back() != '/') && !compared.empty()) compared.pop_back();
    if (compared == current) return NKString(name.c_str());
    if (full.size() < kAbbreviateLimit) return NKString(full.c_str());
    if (name.size() >= kAbbreviateLimit) return NKString(name.c_str());
    return NKString(AbbreviateLongPath(full, dir, name).c_str());
}

// ---- Files and directories -----------------------------------------------

int64_t NKGetFileSize(const char *pszPath)
{
    struct stat info;
    if (pszPath == nullptr || stat(ToSystemPath(pszPath).c_str(), &info) != 0) return 0;
    return static_cast<int64_t>(info.st_size);
}

bool NKTestFileAccess(const char *pszPath, int iMode)
{
    if (pszPath == nullptr) return false;
    int iFlags;
    switch (iMode) {
    case NK_ACCESS_READ:
        iFlags = R_OK;
        break;
    case NK_ACCESS_WRITE:
        iFlags = W_OK;
        break;
    case NK_ACCESS_READ_WRITE:
        iFlags = R_OK | W_OK;
        break;
    case NK_ACCESS_EXISTS:
        iFlags = F_OK;
        break;
    default:
        return false;
    }
    return access(ToSystemPath(pszPath).c_str(), iFlags) == 0;
}

bool NKCheckFileAccess(const char *pszPath, bool bRead, bool bWrite)
{
    if (pszPath == nullptr) return false;
    std::string path = ToSystemPath(pszPath);
    int iAsked = (bRead ? R_OK : 0) | (bWrite ? W_OK : 0);
    if (access(path.c_str(), F_OK) == 0) return iAsked == 0 || access(path.c_str(), iAsked) == 0;
    if (!bWrite) return false;
    // A new file: its directory must let us enter it and create files.
    size_t iSep = path.find_last_of('/');
    std::string dir = iSep == std::string::npos ? "." : (iSep == 0 ? "/" : path.substr(0, iSep));
    return access(dir.c_str(), iAsked | X_OK) == 0;
}

int NKDeleteFiles(const char *pszPattern)
{
    if (pszPattern == nullptr || pszPattern[0] == '\0') return 0;
    std::string dir;
    std::vector<std::string> names;
    int iErr = 0;
    if (!ListMatching(pszPattern, &dir, &names, &iErr)) return 0;
    int iDeleted = 0;
    for (const std::string &name : names) {
        std::string path = dir + name;
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) continue;
        if (unlink(path.c_str()) == 0) iDeleted++;
    }
    return iDeleted;
}

bool NKGetCurrentDirectory(NKString *pOut)
{
    std::string cwd;
    if (pOut == nullptr || !CurrentDirectory(&cwd)) return false;
    *pOut = cwd.c_str();
    return true;
}

bool NKChangeDirectory(NKString path, NKString *pCurrent)
{
    bool bOk = chdir(ToSystemPath(path.GetText()).c_str()) == 0;
    if (pCurrent != nullptr) NKGetCurrentDirectory(pCurrent);
    return bOk;
}

bool NKChangeToFileDirectory(const char *pszFilePath)
{
    if (pszFilePath == nullptr) return false;
    long iSep = LastSeparator(pszFilePath);
    if (iSep < 0) return false;
    std::string dir = ToSystemPath(pszFilePath).substr(0, static_cast<size_t>(iSep) + 1);
    return chdir(dir.c_str()) == 0;
}

NKString NKGetAbsolutePath(const char *pszPath)
{
    if (pszPath == nullptr) return NKString("");
    NKString dir = NKString(pszPath).GetDirectory();
    dir.RemoveChar('"');
    dir.Trim();
    std::string part = ToSystemPath(dir.GetText());
    std::string full;
    if (!MakeAbsolute(part, &full)) return NKString(part.c_str());
    if (full.size() > 1 && full.back() == '/') full.pop_back();
    return NKString(full.c_str());
}

// ---- Directory listing ---------------------------------------------------

struct NKFileFinder::Listing {
    std::vector<std::string> names;
    size_t iNext = 0;
};

NKString NKFileFinder::FindFirst(const char *pszPattern)
{
    Close();
    std::string dir;
    std::vector<std::string> names;
    int iErr = EINVAL;
    if (pszPattern != nullptr && pszPattern[0] != '\0')
        ListMatching(pszPattern, &dir, &names, &iErr);
    if (names.empty()) {
        // The listing's own report; it goes to the standard output, not to
        // the message output, as callers that list by guess expect.
        std::printf("\nError: %d\n", iErr);
        std::fflush(stdout);
        return NKString("");
    }
    m_hFind = new Listing;
    m_hFind->names = std::move(names);
    m_hFind->iNext = 1;
    return NKString(m_hFind->names[0].c_str());
}

NKString NKFileFinder::FindNext()
{
    if (m_hFind == nullptr || m_hFind->iNext >= m_hFind->names.size()) return NKString("");
    return NKString(m_hFind->names[m_hFind->iNext++].c_str());
}

bool NKFileFinder::Close()
{
    delete m_hFind;
    m_hFind = nullptr;
    return true;
}
