// app/nk_command_line.cpp -- the program's command line (see
// nk_command_line.h): the version request, the pre-read of the options the
// windows need before they exist, and the full parse that opens the named
// file once the start-up command file has run.
//
// The line is the program's arguments joined by blanks (NKJoinCommandLine).
// Words are split at blanks; a double-quoted stretch is one word without its
// quotes, so that an argument holding blanks comes back as it was given.
// Options fill the requests of app/nk_pixel_format.h and
// g_bFullScreenRequest; the file goes to the command language as an "open"
// line, which reports a file it cannot open.
#include "app/nk_command_line.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "app/nk_main_window.h"
#include "app/nk_pixel_format.h"
#include "app/nk_splash.h"
#include "app/nk_statusbar.h"
#include "commands/nk_command.h"
#include "commands/nk_command_path.h"
#include "core/nk_file.h"
#include "core/nk_string.h"
#include "platform/nk_message_box.h"
#include "platform/nk_platform.h"

uint8_t g_bFullScreenRequest = 0;

namespace {

int sg_iUsageRequests = 0;

// Splits the text into words at blanks and tabs; a double-quoted stretch may
// hold blanks and loses its quotes.
std::vector<std::string> SplitWords(const std::string &text)
{
    std::vector<std::string> words;
    std::string current;
    bool bInWord = false, bQuoted = false;
    for (char c : text) {
        if (c == '"') {
            bQuoted = !bQuoted;
            bInWord = true;
        } else if ((c == ' ' || c == '\t') && !bQuoted) {
            if (bInWord) words.push_back(current);
            current.clear();
            bInWord = false;
        } else {
            current += c;
            bInWord = true;
        }
    }
    if (bInWord) words.push_back(current);
    return words;
}

// A whole decimal integer with an optional sign ("3", "-1"), nothing else.
bool IsInteger(const std::string &word)
{
    size_t i = word[0] == '-' || word[0] == '+' ? 1 : 0;
    if (i >= word.size()) return false;
    for (; i < word.size(); i++)
        if (word[i] < '0' || word[i] > '9') return false;
    return true;
}

// The word after i when it is an integer; i moves onto it then.
bool TakeInteger(const std::vector<std::string> &words, size_t *pI, int *piValue)
{
    if (*pI + 1 >= words.size() || !IsInteger(words[*pI + 1])) return false;
    *piValue = std::atoi(words[++*pI].c_str());
    return true;
}

// "-depth [bits]": a number given becomes the request, then anything but
// 16 becomes 32.
void TakeDepth(const std::vector<std::string> &words, size_t *pI)
{
    TakeInteger(words, pI, &g_iDepthBitsRequest);
    if (g_iDepthBitsRequest != 16) g_iDepthBitsRequest = 32;
}

std::string Trimmed(const char *pszLine)
{
    std::string line = pszLine != nullptr ? pszLine : "";
    size_t iFirst = line.find_first_not_of(" \t\r\n");
    if (iFirst == std::string::npos) return "";
    return line.substr(iFirst, line.find_last_not_of(" \t\r\n") - iFirst + 1);
}

bool IsExistingFile(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string NKJoinCommandLine(int argc, char **argv)
{
    std::string line;
    for (int i = 1; i < argc; i++) {
        if (argv[i] == nullptr) break;
        std::string arg = argv[i];
        if (!line.empty()) line += ' ';
        line += arg.find(' ') != std::string::npos ? "\"" + arg + "\"" : arg;
    }
    return line;
}

// Only a whole argument counts, so that a file named "x-version.nkf" is
// opened rather than taken for the request.
bool CheckVersionOption(int argc, char **argv)
{
    for (int i = 1; i < argc && argv[i] != nullptr; i++) {
        if (std::string(argv[i]) != "-version") continue;
        std::string text = NKGetVersionLine() + "\n";
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
        return true;
    }
    return false;
}

// "-software" also tells Mesa to draw in software, which only works while
// no GL library has read its environment: before the application is made.
// A "-pixelformat" not followed by a number asks the user (-20), and the
// word after it is read as an option of its own.
void PreParseCommandLine(const char *pszLine)
{
    std::vector<std::string> words = SplitWords(pszLine != nullptr ? pszLine : "");
    for (size_t i = 0; i < words.size(); i++) {
        const std::string &word = words[i];
        if (word == "-fullscreen") {
            g_bFullScreenRequest = 1;
        } else if (word == "-pixelformat") {
            if (!TakeInteger(words, &i, &g_iPixelFormatRequest))
                g_iPixelFormatRequest = NK_PIXELFORMAT_ASK;
        } else if (word == "-software") {
            g_iPixelFormatRequest = NK_PIXELFORMAT_SOFTWARE;
            setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
        } else if (word == "-depth") {
            TakeDepth(words, &i);
        }
    }
}

namespace {

// The file name at the start of the line (empty when the line starts with
// an option) and the options after it. A line that, without its double
// quotes, names an existing file is all name, blanks and all.
void SplitFileAndOptions(const std::string &line, std::string *pName, std::string *pOptions)
{
    pName->clear();
    *pOptions = line;
    if (line.empty() || line[0] == '-') return;
    // Only the quotes around the whole line go: a quote inside it belongs
    // to the name, which is then refused rather than read as another one.
    std::string unquoted = line;
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"')
        unquoted = line.substr(1, line.size() - 2);
    if (unquoted.find('"') == std::string::npos && IsExistingFile(unquoted)) {
        *pName = unquoted;
        pOptions->clear();
        return;
    }
    size_t iEnd;
    size_t iClose = line[0] == '"' ? line.find('"', 1) : std::string::npos;
    if (iClose != std::string::npos &&
        (iClose + 1 == line.size() || line[iClose + 1] == ' ' || line[iClose + 1] == '\t')) {
        *pName = line.substr(1, iClose - 1);
        iEnd = iClose + 1;
    } else if (line[0] == '"') {
        // A quoted name that a quote inside ends early, or never closes:
        // the whole word, quotes and all.
        iEnd = line.find_first_of(" \t", iClose == std::string::npos ? 0 : iClose);
        if (iEnd == std::string::npos) iEnd = line.size();
        *pName = line.substr(0, iEnd);
    } else {
        iEnd = line.find_first_of(" \t");
        if (iEnd == std::string::npos) iEnd = line.size();
        *pName = line.substr(0, iEnd);
    }
    *pOptions = Trimmed(line.substr(iEnd).c_str());
}

// Options that take no part here, and how many words each passes over.
struct NKAcceptedOption {
    const char *pszName;
    size_t iArguments;
};
const NKAcceptedOption kAcceptedOptions[] = {
    {"-single", 0},   {"-stereo", 0},   {"-fullscreen", 0}, {"-nomotif", 0}, {"-nogui", 0},
    {"-nosplash", 0}, {"-software", 0}, {"-title", 1},      {"-p", 2},       {"-pos", 4}};

// Reads the options in order; each word that is none of them asks for the
// usage box and the reading goes on.
void ParseOptions(const std::string &options)
{
    std::vector<std::string> words = SplitWords(options);
    for (size_t i = 0; i < words.size(); i++) {
        const std::string &word = words[i];
        bool bAccepted = false;
        for (const NKAcceptedOption &option : kAcceptedOptions) {
            if (word != option.pszName) continue;
            i = std::min(i + option.iArguments, words.size() - 1);
            bAccepted = true;
            break;
        }
        int iFormat = 0;  // the pre-read has taken the number
        if (bAccepted) continue;
        if (word == "-depth")
            TakeDepth(words, &i);
        else if (word == "-pixelformat")
            TakeInteger(words, &i, &iFormat);
        else
            ShowCommandLineUsage();
    }
}

// The name made absolute, and its folder made the current directory when
// that folder exists.
std::string EnterFileDirectory(const std::string &name)
{
    NKString directory = NKGetAbsolutePath(name.c_str());
    NKString fileName = NKString(name.c_str()).GetFileName();
    std::string path = directory.GetText();
    if (path.empty() || path.back() != '/') path += '/';
    path += fileName.GetText();
    NKChangeDirectory(directory, nullptr);
    return path;
}

}  // namespace

// A named file always goes to "open", whether it exists and has a known
// type or not: the open command says what is wrong with it, on the status
// line too, as for a command from the window.
void ParseCommandLine(const char *pszLine)
{
    std::string name, options;
    SplitFileAndOptions(Trimmed(pszLine), &name, &options);
    ParseOptions(options);
    if (name.empty()) return;
    NKDestroySplashWindow();
    NKStatusErrorScope errors;
    NKString command;
    // A name no command line can carry is refused before its folder is
    // entered.
    if (!NKPathFitsCommandLine(name.c_str())) {
        NKPathCommandLine("open", name.c_str(), &command);
        return;
    }
    const std::string path = EnterFileDirectory(name);
    if (NKPathCommandLine("open", path.c_str(), &command)) ExecuteCommand(command.GetText());
}

void ShowCommandLineUsage(void)
{
    sg_iUsageRequests++;
    if (NKGetMainWindow() == nullptr) return;
    NKMessageBox("\n\n[-fullscreen]\t\t\t: Enable full-screen display\n"
                 "[-pixelformat [format]]\t\t: Allow User Selected Pixel Format\n"
                 "[-software]\t\t\t: Select a Software Pixel Format\n"
                 "[-depth depthbits]\t\t\t: Set Z-buffer Depth (16 / 32 bits allowed)\n\n",
                 "Command Line Options", NK_MB_ICON_INFORMATION);
}

int NKGetCommandLineUsageRequests(void) { return sg_iUsageRequests; }
