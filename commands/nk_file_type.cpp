// commands/nk_file_type.cpp -- deciding the type of a primary file (see
// nk_file_type.h).
#include "commands/nk_file_type.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "commands/nk_command_table.h"
#include "core/nk_file.h"
#include "core/nk_file_read.h"
#include "nkf/nkf_format.h"
#include "readers/nk_fem_reader.h"
#include "readers/nk_lsdyna_format.h"

namespace {

// NKF binary files start with these three words (the header record of the
// format), in either byte order.
const int32_t kNKFMagic[3] = {NKF_MAGIC_WORD1, NKF_MAGIC_WORD2, NKF_MAGIC_WORD3};

int32_t Swapped(int32_t iValue)
{
    SwapBytes(&iValue, 4, 1);
    return iValue;
}

// Reads iCount int32 words from the start of the file; false when the file
// is shorter.
bool ReadWords(FILE *pFile, int32_t *piWords, int iCount)
{
    rewind(pFile);
    return fread(piWords, 4, (size_t)iCount, pFile) == (size_t)iCount;
}

// The file needs swapping when its first word fits 1..65535 only reversed.
// Unlike the readers' test this one never reports: a file that fits neither
// way is simply read as it is.
bool FirstWordSwapped(FILE *pFile)
{
    int32_t iWord = 0;
    if (!ReadWords(pFile, &iWord, 1)) return false;
    int32_t iSwapped = Swapped(iWord);
    bool bAsRead = iWord >= 1 && iWord <= 65535;
    bool bReversed = iSwapped >= 1 && iSwapped <= 65535;
    return bReversed && !bAsRead;
}

// The three magic words decide; a file holding only its header is still one.
bool IsNKFBinary(FILE *pFile)
{
    int32_t ai[3];
    if (!ReadWords(pFile, ai, 3)) return false;
    if (ai[0] == kNKFMagic[0] && ai[1] == kNKFMagic[1] && ai[2] == kNKFMagic[2]) return true;
    return Swapped(ai[0]) == kNKFMagic[0] && Swapped(ai[1]) == kNKFMagic[1] &&
           Swapped(ai[2]) == kNKFMagic[2];
}

bool IsReservoirBinary(FILE *pFile)
{
    int32_t ai[25];
    if (!ReadWords(pFile, ai, 25)) return false;
    if (ai[14] != 38) SwapBytes(ai, 4, 25);
    return ai[14] == 38 && ai[1] == 1 && ai[2] == 2;
}

int DetectBinary(FILE *pFile, const NKString &fileName)
{
    bool bSwap = FirstWordSwapped(pFile);
    if (IsNKFBinary(pFile)) return NK_FILETYPE_NKF;
    if (IsReservoirBinary(pFile)) return NK_FILETYPE_RESERVOIR;
    if (NKIsBinaryGeometryFile(fileName.GetText(), bSwap)) return NK_FILETYPE_NATIVE_GEOMETRY;
    if (NKLSDynaIsDatabaseFile(fileName.GetText())) {
        std::string name = fileName.GetFileName().GetText();
        for (char &c : name) c = (char)std::tolower((unsigned char)c);
        return name.find("d3th") != std::string::npos ? NK_FILETYPE_LSDYNA_HISTORY
                                                      : NK_FILETYPE_LSDYNA_PLOT;
    }
    return NK_FILETYPE_UNKNOWN;
}

// Reads one line of any length without its line end; false at the end.
bool ReadTextLine(FILE *pFile, std::string *pLine)
{
    pLine->clear();
    int c;
    while ((c = fgetc(pFile)) != EOF && c != '\n') pLine->push_back((char)c);
    while (!pLine->empty() && (pLine->back() == '\r')) pLine->pop_back();
    return c != EOF || !pLine->empty();
}

bool IsBlankOrComment(const std::string &line)
{
    size_t i = line.find_first_not_of(" \t");
    return i == std::string::npos || line[0] == '#' || line[0] == '!';
}

// The first non-comment line starts with a command of the command table.
bool IsCommandFile(FILE *pFile)
{
    rewind(pFile);
    std::string line;
    while (ReadTextLine(pFile, &line)) {
        if (IsBlankOrComment(line)) continue;
        NKString text(line.c_str());
        NKString word = text.GetFirstWord();
        NKCommandTable table(false);
        return !word.IsEmpty() &&
               table.Find(word.GetText(), nullptr, nullptr, false, false, false, false) >= 0;
    }
    return false;
}

// Up to two integers of a line; false when it holds a third word or a word
// that is not an integer.
bool TwoIntegers(const std::string &line, int *pa, int *pb)
{
    NKString text(line.c_str());
    NKString w1 = text.GetFirstWord(), w2 = text.GetNextWord(), w3 = text.GetNextWord();
    if (!w3.IsEmpty()) return false;
    *pa = w1.IsEmpty() ? 0 : w1.ToInt();
    *pb = w2.IsEmpty() ? 0 : w2.ToInt();
    return true;
}

bool HasLetter(const std::string &line)
{
    for (char c : line)
        if (std::isalpha((unsigned char)c)) return true;
    return false;
}

// An older native results file: two counts on each of the first two lines,
// then c lines, then a line of names.
bool IsNativeResults(FILE *pFile)
{
    rewind(pFile);
    std::string line1, line2, line;
    int a = 0, b = 0, c = 0, d = 0;
    if (!ReadTextLine(pFile, &line1) || !ReadTextLine(pFile, &line2)) return false;
    if (!TwoIntegers(line1, &a, &b) || !TwoIntegers(line2, &c, &d)) return false;
    if (!((a > 0 || ((b > 0 || c > 0) && a >= 0)) && b >= 0 && c >= 0)) return false;
    for (int i = 0; i < c; i++)
        if (!ReadTextLine(pFile, &line)) return false;
    return ReadTextLine(pFile, &line) && HasLetter(line);
}

bool IsNativeAsciiGeometry(const char *pszFileName)
{
    int c[6];
    if (NKReadIntegersFromFile(pszFileName, c, 6) != 6) return false;
    return c[0] > 0 && c[1] > 0 && c[2] > 0 && c[3] > 0 && 2 * (int64_t)c[2] <= c[3] &&
           c[4] <= c[5];
}

int DetectText(FILE *pFile, const NKString &fileName)
{
    rewind(pFile);
    std::string line;
    if (ReadTextLine(pFile, &line) && line.find(NKF_ASCII_HEADER_PREFIX) != std::string::npos)
        return NK_FILETYPE_NKF;
    if (IsCommandFile(pFile)) return NK_FILETYPE_COMMANDS;
    if (IsNativeResults(pFile)) return NK_FILETYPE_NATIVE_RESULTS;
    if (IsNativeAsciiGeometry(fileName.GetText())) return NK_FILETYPE_NATIVE_GEOMETRY;
    return NK_FILETYPE_UNKNOWN;
}

// A word that reads as a real number: digits with a decimal point.
bool IsRealWord(const NKString &word) { return word.IsNumber() && word.FindChar('.') >= 0; }

}  // namespace

int DetectFileType(const NKString &fileName)
{
    int iPlugin = NKFindFEMInterfaceForFile(fileName.GetText());
    if (iPlugin != NK_FEM_NO_INTERFACE) return iPlugin;
    FILE *pFile = NKOpenRegularFile(fileName.GetText());
    if (pFile == nullptr) return NK_FILETYPE_UNKNOWN;
    int iType = IsBinaryFile(pFile) ? DetectBinary(pFile, fileName) : DetectText(pFile, fileName);
    fclose(pFile);
    return iType;
}

bool NKIsBinaryGeometryFile(const char *pszFileName, bool bSwap)
{
    FILE *pFile = pszFileName != nullptr ? NKOpenRegularFile(pszFileName) : nullptr;
    if (pFile == nullptr) return false;
    int32_t w[5];
    bool bRead = ReadWords(pFile, w, 5);
    fclose(pFile);
    if (!bRead) return false;
    if (bSwap) SwapBytes(w, 4, 5);
    for (int32_t v : w)
        if (v < 1) return false;
    int64_t iSize = NKGetFileSize(pszFileName);
    int64_t iFirst = 4 * ((int64_t)w[4] + 3 * (int64_t)w[2] + 2 * (int64_t)w[1]) + 20;
    int64_t iSecond = 4 * ((int64_t)w[3] + 3 * (int64_t)w[1] + 2 * (int64_t)w[0] + 4);
    return iSize == iFirst || iSize == iSecond;
}

int NKReadIntegersFromFile(const char *pszFileName, int *piValues, int iCount)
{
    for (int i = 0; i < iCount; i++) piValues[i] = -1;
    FILE *pFile = pszFileName != nullptr ? NKOpenRegularFile(pszFileName) : nullptr;
    if (pFile == nullptr) return -1;
    std::string line;
    int iWords = 0;
    while (iWords < iCount && ReadTextLine(pFile, &line)) {
        NKString text(line.c_str());
        bool bStop = false;
        for (NKString word = text.GetFirstWord(); !word.IsEmpty(); word = text.GetNextWord()) {
            if (IsRealWord(word)) {
                bStop = true;
                break;
            }
        }
        if (bStop) break;
        iWords += NKString(line.c_str()).CountWords();
        bool bLetter = false;
        for (char c : line)
            if (std::isalpha((unsigned char)c) && c != 'e' && c != 'E') bLetter = true;
        if (bLetter) break;
    }
    int iWanted = iWords < iCount ? iWords : iCount;
    rewind(pFile);
    int iRead = 0;
    while (iRead < iWanted && fscanf(pFile, "%d", &piValues[iRead]) == 1) iRead++;
    fclose(pFile);
    return iRead;
}
