// core/nk_output_file.cpp -- write to a temporary file, rename on success.
#include "core/nk_output_file.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "core/nk_message.h"

namespace {

// Symbolic links followed at most this deep (the system's own limit).
const int kMaxLinkDepth = 40;
// A temporary file of the target untouched this long is left from a writer
// that was killed; one being written is touched far more often.
const time_t kStaleSeconds = 60;

std::string FolderOf(const std::string &path)
{
    const size_t iSlash = path.rfind('/');
    if (iSlash == std::string::npos) return ".";
    return iSlash == 0 ? "/" : path.substr(0, iSlash);
}

// The file a write to pszTarget lands in: symbolic links are followed (a
// relative link from the link's folder), also to a file that does not exist
// yet. Empty when the links loop or cannot be read.
std::string ResolveLinks(const char *pszTarget)
{
    std::string path = pszTarget;
    for (int iDepth = 0; iDepth < kMaxLinkDepth; iDepth++) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string link(st.st_size > 0 ? (size_t)st.st_size + 1 : 4096, '\0');
        const ssize_t n = readlink(path.c_str(), &link[0], link.size());
        if (n <= 0 || (size_t)n >= link.size()) return "";
        link.resize((size_t)n);
        path = link[0] == '/' ? link : FolderOf(path) + "/" + link;
    }
    return "";
}

// Removes the temporary files "NAME.tmpXXXXXX" of this target that a killed
// writer left behind, once they are older than a minute.
void RemoveStaleTemporaries(const std::string &target)
{
    const std::string folder = FolderOf(target);
    const size_t iSlash = target.rfind('/');
    const std::string prefix =
        (iSlash == std::string::npos ? target : target.substr(iSlash + 1)) + ".tmp";
    DIR *pDir = opendir(folder.c_str());
    if (pDir == nullptr) return;
    const time_t now = time(nullptr);
    while (const dirent *pEntry = readdir(pDir)) {
        const std::string name = pEntry->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string path = folder + "/" + name;
        struct stat st;
        if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            now - st.st_mtime > kStaleSeconds)
            unlink(path.c_str());
    }
    closedir(pDir);
}

}  // namespace

bool NKOutputFile::Open(const char *pszTarget)
{
    Abandon();
    if (pszTarget == nullptr || pszTarget[0] == '\0') return false;
    m_szTarget = ResolveLinks(pszTarget);
    if (m_szTarget.empty()) {
        NKPrintError(
            (std::string(pszTarget) + ": the symbolic links do not lead to a file.").c_str());
        return false;
    }
    // Renaming over a device, a FIFO or a folder would replace what is not a
    // file of ours: such a target is refused.
    struct stat st;
    if (stat(m_szTarget.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        NKPrintError(
            (std::string(pszTarget) + " is not a regular file; it is not replaced.").c_str());
        return false;
    }
    RemoveStaleTemporaries(m_szTarget);
    m_szTemp = m_szTarget + ".tmpXXXXXX";
    int iFd = mkstemp(&m_szTemp[0]);
    if (iFd < 0) {
        m_szTemp.clear();
        return false;
    }
    // mkstemp makes the file private; give it the mode a plain fopen would.
    mode_t uMask = umask(0);
    umask(uMask);
    fchmod(iFd, 0666 & ~uMask);
    m_pFile = fdopen(iFd, "wb");
    if (m_pFile == nullptr) {
        close(iFd);
        unlink(m_szTemp.c_str());
        m_szTemp.clear();
        return false;
    }
    // Large exports go out in big pieces rather than stdio's default 4 KB.
    setvbuf(m_pFile, nullptr, _IOFBF, 1 << 20);
    m_bOk = true;
    return true;
}

void NKOutputFile::WriteBytes(const unsigned char *pBytes, size_t n)
{
    if (!m_bOk || m_pFile == nullptr) {
        m_bOk = false;
        return;
    }
    if (n > 0 && fwrite(pBytes, 1, n, m_pFile) != n) m_bOk = false;
}

void NKOutputFile::WriteInt32(int32_t iValue)
{
    uint32_t u = (uint32_t)iValue;
    unsigned char b[4] = {(unsigned char)u, (unsigned char)(u >> 8), (unsigned char)(u >> 16),
                          (unsigned char)(u >> 24)};
    WriteBytes(b, 4);
}

void NKOutputFile::WriteInt16(int16_t iValue)
{
    uint16_t u = (uint16_t)iValue;
    unsigned char b[2] = {(unsigned char)u, (unsigned char)(u >> 8)};
    WriteBytes(b, 2);
}

void NKOutputFile::WriteInt16BE(int16_t iValue)
{
    uint16_t u = (uint16_t)iValue;
    unsigned char b[2] = {(unsigned char)(u >> 8), (unsigned char)u};
    WriteBytes(b, 2);
}

void NKOutputFile::WriteInt32BE(int32_t iValue)
{
    uint32_t u = (uint32_t)iValue;
    unsigned char b[4] = {(unsigned char)(u >> 24), (unsigned char)(u >> 16),
                          (unsigned char)(u >> 8), (unsigned char)u};
    WriteBytes(b, 4);
}

void NKOutputFile::WriteFloat32(float fValue)
{
    int32_t i;
    std::memcpy(&i, &fValue, 4);
    WriteInt32(i);
}

void NKOutputFile::WriteRaw(const void *pData, size_t n)
{
    WriteBytes(static_cast<const unsigned char *>(pData), n);
}

// Words go through a stack buffer in little-endian order; a little-endian
// host writes them as they are.
void NKOutputFile::WriteWords(const void *pWords, size_t n)
{
    const unsigned char *pSrc = static_cast<const unsigned char *>(pWords);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    WriteBytes(pSrc, 4 * n);
    return;
#endif
    unsigned char buffer[16384];
    const size_t kWordsPerBlock = sizeof(buffer) / 4;
    while (n > 0 && m_bOk) {
        size_t nWords = n < kWordsPerBlock ? n : kWordsPerBlock;
        for (size_t i = 0; i < nWords; i++) {
            uint32_t u;
            std::memcpy(&u, pSrc + 4 * i, 4);
            buffer[4 * i] = (unsigned char)u;
            buffer[4 * i + 1] = (unsigned char)(u >> 8);
            buffer[4 * i + 2] = (unsigned char)(u >> 16);
            buffer[4 * i + 3] = (unsigned char)(u >> 24);
        }
        WriteBytes(buffer, 4 * nWords);
        pSrc += 4 * nWords;
        n -= nWords;
    }
}

void NKOutputFile::WriteInt32Array(const int32_t *piValues, size_t n) { WriteWords(piValues, n); }

void NKOutputFile::WriteFloat32Array(const float *pfValues, size_t n) { WriteWords(pfValues, n); }

void NKOutputFile::Printf(const char *pszFormat, ...)
{
    if (!m_bOk || m_pFile == nullptr) {
        m_bOk = false;
        return;
    }
    va_list args;
    va_start(args, pszFormat);
    if (vfprintf(m_pFile, pszFormat, args) < 0) m_bOk = false;
    va_end(args);
}

bool NKOutputFile::Commit(void)
{
    if (m_pFile == nullptr) return false;
    bool bOk = m_bOk && fflush(m_pFile) == 0 && !ferror(m_pFile);
    bOk = (fclose(m_pFile) == 0) && bOk;
    m_pFile = nullptr;
    if (bOk) bOk = rename(m_szTemp.c_str(), m_szTarget.c_str()) == 0;
    if (!bOk) unlink(m_szTemp.c_str());
    m_szTemp.clear();
    m_bOk = false;
    return bOk;
}

void NKOutputFile::Abandon(void)
{
    if (m_pFile != nullptr) {
        fclose(m_pFile);
        m_pFile = nullptr;
    }
    if (!m_szTemp.empty()) unlink(m_szTemp.c_str());
    m_szTemp.clear();
    m_bOk = false;
}
