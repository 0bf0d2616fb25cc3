// readers/nk_lsdyna_files.cpp -- detection of an LS-DYNA plot database, its
// family files and their order, and the word stream across them (see
// nk_lsdyna_format.h). The control words and the state scan are in
// nk_lsdyna_scan.cpp.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "core/nk_diagnostic.h"
#include "core/nk_family_warning.h"
#include "core/nk_file.h"
#include "core/nk_file_read.h"
#include "core/nk_math.h"
#include "core/nk_message.h"
#include "readers/nk_lsdyna_format.h"

LSDynaControlData g_LSDynacontrolData;

namespace {

bool sg_bTitleByteSwap = false;

// The warning that names member pszMember, what was found there and where
// the family's states end, printed at iLevel.
// With pszOther the line names two members, the first pszMember.
void WarnFamily(const char *pszMember, const char *pszFound, const char *pszStatesEnd,
                int iLevel = NK_MSG_WARNING, const char *pszJoint = ", ",
                const char *pszOther = nullptr)
{
    NKFamilyWarning warning;
    warning.member = pszOther == nullptr
                         ? std::string("LS-DYNA family file ") + pszMember
                         : std::string("LS-DYNA family files ") + pszMember + " and " + pszOther;
    warning.found = pszFound;
    warning.statesEnd = pszStatesEnd;
    warning.pszJoint = pszJoint;
    NKPrintFamilyWarning(warning, iLevel);
}

void Reverse(unsigned char *p, int n) { std::reverse(p, p + n); }

// The float of a data word of iWordSize bytes at p (reversed in place first
// when bSwap is set; a double becomes a float).
float FloatWord(unsigned char *p, int iWordSize, bool bSwap)
{
    if (bSwap) Reverse(p, iWordSize);
    if (iWordSize == 4) {
        float f;
        std::memcpy(&f, p, 4);
        return f;
    }
    double d;
    std::memcpy(&d, p, 8);
    return (float)d;
}

// iIntCode when the word at p read as an Int lies in 2..5, else iRealCode
// when it does read as a Real; NK_DYNA_NOT_DATABASE when neither.
template <typename Int, typename Real>
int TestWordAs(const unsigned char *p, int iIntCode, int iRealCode)
{
    static_assert(sizeof(Int) == sizeof(Real), "one word read two ways");
    Int i;
    Real r;
    std::memcpy(&i, p, sizeof(Int));
    std::memcpy(&r, p, sizeof(Real));
    if (i >= 2 && i <= 5) return iIntCode;
    if (!std::isnan(r) && r >= Real(2) && r <= Real(5)) return iRealCode;
    return NK_DYNA_NOT_DATABASE;
}

// Codes 0/1 (or 2/3) of one word as stored; 4 when it is neither.
int TestWord(const unsigned char *p, int iSize)
{
    if (iSize == 4) return TestWordAs<int32_t, float>(p, NK_DYNA_INT4, NK_DYNA_FLOAT4);
    return TestWordAs<int64_t, double>(p, NK_DYNA_INT8, NK_DYNA_FLOAT8);
}

// Tests word 15 at its place for one word size, as stored and reversed.
int TestAt(FILE *pFile, int iSize, bool *pbSwap)
{
    unsigned char b[8];
    if (fseek(pFile, 15L * iSize, SEEK_SET) != 0 ||
        fread(b, 1, (size_t)iSize, pFile) != (size_t)iSize)
        return NK_DYNA_NOT_DATABASE;
    int iCode = TestWord(b, iSize);
    if (iCode != NK_DYNA_NOT_DATABASE) return iCode;
    Reverse(b, iSize);
    iCode = TestWord(b, iSize);
    if (iCode != NK_DYNA_NOT_DATABASE) *pbSwap = true;
    return iCode;
}

std::string Lower(const char *psz)
{
    std::string s = psz != nullptr ? psz : "";
    for (char &c : s) c = (char)std::tolower((unsigned char)c);
    return s;
}

bool AllDigits(const std::string &s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Reads iBytes at byte iAt of descriptor fd with pread, on over short reads
// and interruptions; the bytes read (fewer at the file's end or on an error).
int64_t ReadFully(int fd, int64_t iAt, unsigned char *p, int64_t iBytes)
{
    int64_t iDone = 0;
    while (iDone < iBytes) {
        const ssize_t n = ::pread(fd, p + iDone, (size_t)(iBytes - iDone), (off_t)(iAt + iDone));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        iDone += n;
    }
    return iDone;
}

int64_t FileSize(const char *pszPath)
{
    struct stat st;
    return stat(pszPath, &st) == 0 && S_ISREG(st.st_mode) ? (int64_t)st.st_size : -1;
}

}  // namespace

// ---- Detection -----------------------------------------------------------------

int NKLSDynaDetectFormat(const char *pszFileName, int *piWordSize, bool *pbSwap)
{
    *piWordSize = 4;
    *pbSwap = false;
    FILE *pFile = pszFileName != nullptr ? NKOpenRegularFile(pszFileName) : nullptr;
    if (pFile == nullptr) return NK_DYNA_NOT_DATABASE;
    int iCode = TestAt(pFile, 4, pbSwap);
    if (iCode == NK_DYNA_NOT_DATABASE) {
        *pbSwap = false;
        iCode = TestAt(pFile, 8, pbSwap);
        if (iCode != NK_DYNA_NOT_DATABASE) *piWordSize = 8;
    }
    fclose(pFile);
    if (iCode == NK_DYNA_NOT_DATABASE) *pbSwap = false;
    return iCode;
}

bool NKLSDynaIsDatabaseFile(const char *pszFileName)
{
    std::string name = Lower(pszFileName);
    if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".dsy") == 0) return false;
    int iWordSize;
    bool bSwap;
    return NKLSDynaDetectFormat(pszFileName, &iWordSize, &bSwap) != NK_DYNA_NOT_DATABASE;
}

void NKLSDynaSetTitleByteSwap(bool bOn) { sg_bTitleByteSwap = bOn; }
bool NKLSDynaGetTitleByteSwap(void) { return sg_bTitleByteSwap; }

// ---- The family ------------------------------------------------------------------

bool NKLSDynaIsFamilyMember(LSDynaFamilyFile *pCandidate, const char *pszCandidateName,
                            const char *pszBaseName, bool bAllowLetterSuffix)
{
    std::string cand = Lower(pszCandidateName), base = Lower(pszBaseName);
    pCandidate->iSuffixNumber = 0;
    pCandidate->iLetter1 = pCandidate->iLetter2 = 0;
    pCandidate->bBaseFile = 0;
    if (cand == base) {
        pCandidate->bBaseFile = 1;
        return true;
    }
    if (cand.size() <= base.size() || cand.compare(0, base.size(), base) != 0) return false;
    std::string suffix = cand.substr(base.size());
    if (suffix.size() < 2 || suffix.size() > 5) return false;
    std::string digits = suffix;
    bool bLetters = std::isalpha((unsigned char)suffix[0]) &&
                    std::isalpha((unsigned char)suffix[1]) && suffix[0] >= 'a' &&
                    suffix[0] <= 'z' && suffix[1] >= 'a' && suffix[1] <= 'z';
    if (!bAllowLetterSuffix && (bLetters || suffix.size() > 3)) return false;
    if (bLetters) {
        digits = suffix.substr(2);
        if (digits.size() == 1 || digits.size() == 4) return false;
        pCandidate->iLetter1 = suffix[0];
        pCandidate->iLetter2 = suffix[1];
    } else if (digits.size() > 3) {
        return false;
    }
    if (!AllDigits(digits)) return false;
    if (digits.size() == 2 && digits == "00") return false;
    if (digits.size() == 3 && digits[0] == '0') return false;
    pCandidate->iSuffixNumber = digits.empty() ? 0 : std::stoi(digits);
    pCandidate->bBaseFile = digits.empty() ? 1 : 0;
    return true;
}

bool NKLSDynaFileGt(const LSDynaFamilyFile &a, const LSDynaFamilyFile &b)
{
    bool bANone = a.iLetter1 == 0 && a.iSuffixNumber == 0;
    bool bBNone = b.iLetter1 == 0 && b.iSuffixNumber == 0;
    if (bANone != bBNone) return bBNone;
    if (a.iLetter1 != b.iLetter1) return a.iLetter1 > b.iLetter1;
    if (a.iLetter2 != b.iLetter2) return a.iLetter2 > b.iLetter2;
    return a.iSuffixNumber > b.iSuffixNumber;
}

bool NKLSDynaFollowsDirectly(const LSDynaFamilyFile &prev, const LSDynaFamilyFile &next)
{
    return !next.bBaseFile && next.iLetter1 == prev.iLetter1 && next.iLetter2 == prev.iLetter2 &&
           next.iSuffixNumber == prev.iSuffixNumber + 1;
}

int NKLSDynaFindFamilyFiles(const char *pszFileName, std::vector<LSDynaFamilyFile> *pFiles,
                            bool bAllowLetterSuffix)
{
    pFiles->clear();
    NKString path(pszFileName);
    path.RemoveChar('"');
    path.Trim();
    if (path.IsEmpty()) return 0;
    NKString dir = path.GetDirectory(), base = path.GetFileName();
    // Both separators name directories; '/' joins the listed names.
    NKString dirPrefix = dir.IsEmpty() ? NKString("") : dir + "/";
    NKFileFinder finder;
    for (NKString name = finder.FindFirst((dirPrefix + base + "*").GetText()); !name.IsEmpty();
         name = finder.FindNext()) {
        LSDynaFamilyFile file;
        if (!NKLSDynaIsFamilyMember(&file, name.GetText(), base.GetText(), bAllowLetterSuffix))
            continue;
        file.szFileName = dirPrefix + name;
        file.SetSize(FileSize(file.szFileName.GetText()));
        if (file.iFileSize < 0) continue;
        pFiles->push_back(file);
    }
    finder.Close();
    std::stable_sort(
        pFiles->begin(), pFiles->end(),
        [](const LSDynaFamilyFile &a, const LSDynaFamilyFile &b) { return NKLSDynaFileGt(b, a); });
    // Names that differ only in case (d3plot01, D3PLOT01) have equal keys;
    // both stay, in listing order.
    for (size_t i = 1; i < pFiles->size(); i++)
        if (!NKLSDynaFileGt((*pFiles)[i], (*pFiles)[i - 1]))
            NKDiagnostic("Files are equal", "NKLSDynaFindFamilyFiles");
    // An empty member holds no word of the states, yet reading on past it
    // would give the states after it the numbers of the states it lost: the
    // family ends there, as at a missing member. (The first file is the one
    // named, refused by the open when it is empty.)
    for (size_t i = 1; i < pFiles->size(); i++) {
        if ((*pFiles)[i].iFileSize != 0) continue;
        WarnFamily((*pFiles)[i].szFileName.GetText(), "is empty", "states end there");
        pFiles->resize(i);
        break;
    }
    return (int)pFiles->size();
}

int64_t NKLSDynaFileWords(const std::vector<LSDynaFamilyFile> &files, int i, int iWordSize)
{
    if (i < 0 || i >= (int)files.size()) return 0;
    return files[(size_t)i].Words(iWordSize);
}

void NKLSDynaWarnMissingMember(const char *pszMember)
{
    if (FileSize(pszMember) == 0) return;
    WarnFamily(pszMember, "is missing", "states end there");
}

namespace {

// Where a damaged family's states end: with state iStates at fLastTime, or
// none is whole.
NKString StatesEnd(int iStates, float fLastTime)
{
    if (iStates == 0) return NKString("no state is whole");
    return NKString::FromFormat("states end with state %d at time %g", iStates, (double)fLastTime);
}

}  // namespace

void NKLSDynaWarnFound(const char *pszMember, const char *pszFound, int iStates, float fLastTime,
                       bool bError, const char *pszOther)
{
    WarnFamily(pszMember, pszFound, StatesEnd(iStates, fLastTime).GetText(),
               bError ? NK_MSG_ERROR : NK_MSG_WARNING, ", ", pszOther);
}

void NKLSDynaWarnEndInsideState(const char *pszMember, int iWholeStates, float fLastTime)
{
    NKLSDynaWarnFound(pszMember,
                      NKString::FromFormat("ends inside state %d", iWholeStates + 1).GetText(),
                      iWholeStates, fLastTime, false);
}

void NKLSDynaWarnPartWord(const char *pszMember, int iStates, float fLastTime)
{
    WarnFamily(pszMember, "ends inside a word, the bytes after its last whole word are left out",
               StatesEnd(iStates, fLastTime).GetText(), NK_MSG_WARNING, ": ");
}

// ---- The word stream -------------------------------------------------------------

LSDynaStream::LSDynaStream(const std::vector<LSDynaFamilyFile> *pFiles, int iFormat, bool bSwap)
    : m_pFiles(pFiles), m_iFormat(iFormat), m_bSwap(bSwap),
      m_iWordSize(iFormat == NK_DYNA_INT8 || iFormat == NK_DYNA_FLOAT8 ? 8 : 4)
{}

LSDynaStream::~LSDynaStream()
{
    if (m_pFile != nullptr) fclose(m_pFile);
}

bool LSDynaStream::Seek(int iFile, int64_t iWord)
{
    if (iFile < 0 || iWord < 0) return false;
    // Positions count whole words, as the scan and the reads do: the bytes
    // of a member's trailing part word are no word of the family. Counted in
    // bytes, a position past such a member would fall between two words of
    // the next one.
    m_iFile = iFile;
    while (m_iFile < (int)m_pFiles->size()) {
        const int64_t iWords = (*m_pFiles)[(size_t)m_iFile].Words(m_iWordSize);
        if (iWord < iWords) break;
        iWord -= iWords;
        m_iFile++;
    }
    m_iByte = iWord * m_iWordSize;
    return m_iFile < (int)m_pFiles->size();
}

void LSDynaStream::UseDescriptor(int iFile, int fd)
{
    if (fd < 0 || iFile < 0 || iFile >= (int)m_pFiles->size()) return;
    m_Lent.emplace_back(iFile, fd);
}

int LSDynaStream::LentDescriptor(int iFile) const
{
    for (const std::pair<int, int> &lent : m_Lent)
        if (lent.first == iFile) return lent.second;
    return -1;
}

bool LSDynaStream::OpenCurrent()
{
    if (m_iOpenFile == m_iFile && m_pFile != nullptr) return true;
    if (m_pFile != nullptr) fclose(m_pFile);
    m_pFile = NKOpenRegularFile((*m_pFiles)[(size_t)m_iFile].szFileName.GetText());
    m_iOpenFile = m_pFile != nullptr ? m_iFile : -1;
    return m_pFile != nullptr;
}

int64_t LSDynaStream::ReadRaw(unsigned char *pOut, int64_t n)
{
    int64_t iDone = 0;
    while (iDone < n && m_iFile < (int)m_pFiles->size()) {
        // Whole words only: the bytes of a trailing part word are never read.
        int64_t iWordsHere =
            (*m_pFiles)[(size_t)m_iFile].Words(m_iWordSize) - m_iByte / m_iWordSize;
        if (iWordsHere <= 0 || m_iByte % m_iWordSize != 0) {
            m_iFile++;
            m_iByte = 0;
            continue;
        }
        int64_t iTake = std::min(iWordsHere, n - iDone);
        const int fd = LentDescriptor(m_iFile);
        size_t iGot;
        if (fd >= 0) {
            iGot =
                (size_t)(ReadFully(fd, m_iByte, pOut + iDone * m_iWordSize, iTake * m_iWordSize) /
                         m_iWordSize);
        } else {
            if (!OpenCurrent() || fseeko(m_pFile, (off_t)m_iByte, SEEK_SET) != 0) return iDone;
            iGot = fread(pOut + iDone * m_iWordSize, (size_t)m_iWordSize, (size_t)iTake, m_pFile);
        }
        iDone += (int64_t)iGot;
        m_iByte += (int64_t)iGot * m_iWordSize;
        if ((int64_t)iGot < iTake) return iDone;
    }
    return iDone;
}

int64_t LSDynaStream::Skip(int64_t n)
{
    int64_t iDone = 0;
    while (iDone < n && m_iFile < (int)m_pFiles->size()) {
        int64_t iWordsHere =
            (*m_pFiles)[(size_t)m_iFile].Words(m_iWordSize) - m_iByte / m_iWordSize;
        int64_t iTake = std::min(std::max<int64_t>(iWordsHere, 0), n - iDone);
        iDone += iTake;
        m_iByte += iTake * m_iWordSize;
        if (iDone < n) {
            m_iFile++;
            m_iByte = 0;
        }
    }
    return iDone;
}

bool LSDynaStream::ReadFloatAlone(int iFile, int64_t iWord, float *pfOut)
{
    if (iFile < 0 || iFile >= (int)m_pFiles->size() || iWord < 0 ||
        iWord >= (*m_pFiles)[(size_t)iFile].Words(m_iWordSize))
        return false;
    m_iFile = iFile;
    // A member lent to the stream is read through its owner's descriptor.
    int fd = LentDescriptor(iFile);
    if (fd < 0) {
        if (!OpenCurrent()) return false;
        fd = ::fileno(m_pFile);
    }
    unsigned char word[8];
    if (ReadFully(fd, iWord * m_iWordSize, word, m_iWordSize) != m_iWordSize) return false;
    *pfOut = FloatWord(word, m_iWordSize, m_bSwap);
    return true;
}

int64_t LSDynaStream::ReadFloats(float *pfOut, int64_t n)
{
    if (n <= 0) return 0;
    // Data words of a 4-byte file are floats in either coding: read in place.
    if (m_iWordSize == 4 && !m_bSwap) return ReadRaw((unsigned char *)pfOut, n);
    m_Buffer.resize((size_t)(n * m_iWordSize));
    int64_t iGot = ReadRaw(m_Buffer.data(), n);
    for (int64_t i = 0; i < iGot; i++)
        pfOut[i] = FloatWord(m_Buffer.data() + i * m_iWordSize, m_iWordSize, m_bSwap);
    return iGot;
}

int64_t LSDynaStream::ReadInts(int *piOut, int64_t n)
{
    if (n <= 0) return 0;
    m_Buffer.resize((size_t)(n * m_iWordSize));
    int64_t iGot = ReadRaw(m_Buffer.data(), n);
    for (int64_t i = 0; i < iGot; i++) {
        unsigned char *p = m_Buffer.data() + i * m_iWordSize;
        if (m_bSwap) Reverse(p, m_iWordSize);
        if (m_iFormat == NK_DYNA_INT4) {
            std::memcpy(&piOut[i], p, 4);
        } else if (m_iFormat == NK_DYNA_INT8) {
            int64_t v;
            std::memcpy(&v, p, 8);
            piOut[i] = (int)(uint32_t)(uint64_t)v;
        } else {
            double d;
            if (m_iWordSize == 4) {
                float f;
                std::memcpy(&f, p, 4);
                d = f;
            } else {
                std::memcpy(&d, p, 8);
            }
            // Truncation toward zero; values outside int (and NaN) become 0.
            piOut[i] = (std::isfinite(d) && d > -2147483648.0 && d < 2147483648.0) ? (int)d : 0;
        }
    }
    return iGot;
}

// ---- Time words ---------------------------------------------------------------------

LSDynaTimeReader::LSDynaTimeReader(const std::vector<LSDynaFamilyFile> *pFiles, int iFormat,
                                   bool bSwap)
    : m_pFiles(pFiles), m_bSwap(bSwap),
      m_iWordSize(iFormat == NK_DYNA_INT8 || iFormat == NK_DYNA_FLOAT8 ? 8 : 4)
{}

LSDynaTimeReader::~LSDynaTimeReader()
{
    if (m_fd >= 0) ::close(m_fd);
}

bool LSDynaTimeReader::Open(int iFile)
{
    if (m_iOpenFile == iFile) return true;
    if (m_fd >= 0) ::close(m_fd);
    m_fd = NKOpenRegularDescriptor((*m_pFiles)[(size_t)iFile].szFileName.GetText());
    m_iOpenFile = m_fd >= 0 ? iFile : -1;
    m_iBlockAt = -1;
    return m_fd >= 0;
}

bool LSDynaTimeReader::ReadAt(int64_t iByte, unsigned char *p, int64_t iBytes) const
{
    return ReadFully(m_fd, iByte, p, iBytes) == iBytes;
}

LSDynaTimeWord LSDynaTimeReader::Read(int iFile, int64_t iWord, float *pfTime)
{
    *pfTime = 0.0f;
    if (iFile < 0 || iFile >= (int)m_pFiles->size() || iWord < 0 ||
        iWord >= (*m_pFiles)[(size_t)iFile].Words(m_iWordSize))
        return LSDynaTimeWord::Missing;
    if (!Open(iFile)) return LSDynaTimeWord::Missing;
    const int64_t iByte = iWord * m_iWordSize;
    if (m_iBlockAt < 0 || iByte < m_iBlockAt || iByte + m_iWordSize > m_iBlockAt + m_iBlockBytes) {
        // Blocks start on a multiple of their size, so a word never straddles two.
        m_iBlockAt = iByte - iByte % kBlockBytes;
        ssize_t n;
        do {
            n = ::pread(m_fd, m_Block, kBlockBytes, (off_t)m_iBlockAt);
        } while (n < 0 && errno == EINTR);
        m_iBlockBytes = n > 0 ? n : 0;
        if (iByte + m_iWordSize > m_iBlockAt + m_iBlockBytes) {
            m_iBlockAt = -1;
            return LSDynaTimeWord::Missing;
        }
    }
    unsigned char word[8];
    std::memcpy(word, m_Block + (iByte - m_iBlockAt), (size_t)m_iWordSize);
    *pfTime = FloatWord(word, m_iWordSize, m_bSwap);
    return NKFloatsEqual(*pfTime, NK_DYNA_END_MARKER) ? LSDynaTimeWord::EndMarker
                                                      : LSDynaTimeWord::Time;
}

namespace {

bool AnyNotZero(const unsigned char *p, int64_t n)
{
    return std::any_of(p, p + n, [](unsigned char b) { return b != 0; });
}

}  // namespace

bool LSDynaTimeReader::NotZeroAfter(int iFile, int64_t iWord)
{
    const LSDynaFamilyFile &f = (*m_pFiles)[(size_t)iFile];
    const int64_t iWords = f.Words(m_iWordSize);
    // More words than the padding of the word's block.
    if (iWords > (iWord / NK_DYNA_BLOCK_WORDS + 1) * NK_DYNA_BLOCK_WORDS) return true;
    const int64_t iEnd = iWords * m_iWordSize, iAfter = (iWord + 1) * m_iWordSize;
    if (iAfter >= iEnd || !Open(iFile)) return false;
    // The rest of the block the word was read from.
    if (m_iBlockAt >= 0 && iAfter >= m_iBlockAt && iAfter < m_iBlockAt + m_iBlockBytes) {
        if (AnyNotZero(m_Block + (iAfter - m_iBlockAt), m_iBlockAt + m_iBlockBytes - iAfter))
            return true;
        if (iEnd <= m_iBlockAt + m_iBlockBytes) return false;
    }
    // A file of whole blocks holds padding there; another none.
    if (f.WholeBlocks(m_iWordSize)) return false;
    unsigned char last[8];
    return ReadAt(iEnd - m_iWordSize, last, m_iWordSize) && AnyNotZero(last, m_iWordSize);
}

bool LSDynaTimeReader::EndsWithMarker(int iFile)
{
    const int64_t iWords = (*m_pFiles)[(size_t)iFile].Words(m_iWordSize);
    const int64_t iFirst = std::max<int64_t>(0, iWords - NK_DYNA_BLOCK_WORDS);
    for (int64_t w = iWords - 1; w >= iFirst; w--) {
        float f = 0.0f;
        const LSDynaTimeWord eWord = Read(iFile, w, &f);
        if (eWord != LSDynaTimeWord::Time || f != 0.0f) return eWord == LSDynaTimeWord::EndMarker;
    }
    return false;
}

int64_t LSDynaTimeReader::ZerosFrom(int iFile)
{
    const int64_t iWords = (*m_pFiles)[(size_t)iFile].Words(m_iWordSize);
    if (!Open(iFile)) return iWords;
    if (!m_Piece) m_Piece.reset(new unsigned char[kPieceBytes]);
    // A first piece of one block: a whole member's end marker lies in its
    // last block, the padding after it is shorter.
    int64_t iPiece = NK_DYNA_BLOCK_WORDS;
    for (int64_t iEnd = iWords; iEnd > 0;) {
        const int64_t iFirst = std::max<int64_t>(0, iEnd - iPiece);
        if (!ReadAt(iFirst * m_iWordSize, m_Piece.get(), (iEnd - iFirst) * m_iWordSize))
            return iWords;
        for (int64_t w = iEnd - 1; w >= iFirst; w--)
            if (AnyNotZero(m_Piece.get() + (w - iFirst) * m_iWordSize, m_iWordSize)) return w + 1;
        iEnd = iFirst;
        iPiece = kPieceBytes / m_iWordSize;
    }
    return 0;
}
