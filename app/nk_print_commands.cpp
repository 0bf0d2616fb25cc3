// app/nk_print_commands.cpp -- the print commands of the general command
// handler (see nk_system_topics.h): printing the scene and writing it as
// PostScript, and the page set-up they share (export/nk_page_setup.h),
// which every one of them first fills from the default printer.
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/nk_system_topics.h"
#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_table.h"
#include "core/nk_message.h"
#include "core/nk_view_state.h"
#include "export/nk_page_setup.h"
#include "export/nk_plot_output.h"

namespace {

NKPageSetup *ValidSetup(void)
{
    if (!g_PageSetup.iValid) NKPageSetupFromDefaultPrinter(&g_PageSetup, nullptr);
    return &g_PageSetup;
}

// The argument text as words ending at a blank, a tab or a comma.
std::vector<std::string> Words(const NKString &text)
{
    std::vector<std::string> words;
    std::string word;
    for (const char *p = text.GetText();; ++p) {
        if (*p == '\0' || *p == ' ' || *p == '\t' || *p == ',') {
            if (!word.empty()) words.push_back(word);
            word.clear();
            if (*p == '\0') break;
        } else {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
        }
    }
    return words;
}

bool IsNumber(const std::string &word)
{
    return !word.empty() && (std::isdigit(static_cast<unsigned char>(word[0])) ||
                             ((word[0] == '-' || word[0] == '+') && word.size() > 1 &&
                              std::isdigit(static_cast<unsigned char>(word[1]))));
}

// "print pagesize width [height]" or a paper name.
int CommandPageSize(CommandTableEntry *pEntry, NKPageSetup *p, const NKString &rest)
{
    const std::vector<std::string> words = Words(rest);
    if (words.empty()) {
        NKCommandError(pEntry, "Missing size specification");
        return 1;
    }
    int w = -1, h = -1;
    if (IsNumber(words[0])) {
        w = std::atoi(words[0].c_str());
        if (words.size() > 1) h = std::atoi(words[1].c_str());
    } else {
        const bool bLandscape = NKIsPageLandscape(p);
        if (words[0].find("a4") != std::string::npos) NKGetPaperSize(0, bLandscape, &w, &h);
        if (words[0].find("letter") != std::string::npos) NKGetPaperSize(1, bLandscape, &w, &h);
    }
    NKSetPageSize(p, w, h, NKViewWindowSize.iWidth, NKViewWindowSize.iHeight);
    NKPrintInfo(NKString::FromFormat("Page size set to %d x %d mm", p->iPageWidth, p->iPageHeight)
                    .GetText());
    return 0;
}

// "print orientation portrait|landscape", told apart by two letters.
int CommandOrientation(CommandTableEntry *pEntry, NKPageSetup *p, NKArgumentScan *pScan)
{
    const NKString word = pScan->NextToken();
    if (word.IsEmpty()) {
        NKCommandError(pEntry, "No parameters specified");
        return 1;
    }
    const std::string two(word.GetText(), word.GetLength() < 2 ? word.GetLength() : 2);
    std::string lower;
    for (char c : two) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower != "po" && lower != "la") {
        NKCommandError(pEntry, "Illegal parameter specified");
        return 1;
    }
    NKSetPageOrientation(p, lower == "la", NKViewWindowSize.iWidth, NKViewWindowSize.iHeight);
    NKPrintInfo(NKString::FromFormat("Page orientation set to %s mode",
                                     NKIsPageLandscape(p) ? "landscape" : "portrait")
                    .GetText());
    return 0;
}

NKString MarginsText(const NKPageSetup *p)
{
    return NKString::FromFormat("left, right: %d, %d   top, bottom: %d, %d", p->iLeftMargin,
                                p->iRightMargin, p->iTopMargin, p->iBottomMargin);
}

// "print margins left [right [top [bottom]]]"; omitted ones kept.
int CommandMargins(CommandTableEntry *pEntry, NKPageSetup *p, NKArgumentScan *pScan)
{
    int aiMargins[4] = {p->iLeftMargin, p->iRightMargin, p->iTopMargin, p->iBottomMargin};
    int n = 0;
    for (; n < 4; n++) {
        const NKString token = pScan->NextToken();
        if (token.IsEmpty()) break;
        aiMargins[n] = std::atoi(token.GetText());
    }
    if (n == 0) {
        NKCommandError(pEntry, "No parameters specified");
        return 1;
    }
    NKSetPageMargins(p, aiMargins[0], aiMargins[1], aiMargins[2], aiMargins[3]);
    NKPrintInfo((NKString("Margins set to: ") + MarginsText(p)).GetText());
    return 0;
}

int CommandPageInfo(const NKPageSetup *p)
{
    NKPrintInfo((NKString::FromFormat("Page size: %dx%d mm (%s)\n", p->iPageWidth, p->iPageHeight,
                                      NKIsPageLandscape(p) ? "landscape" : "portrait") +
                 "Margins: " + MarginsText(p))
                    .GetText());
    return 0;
}

int CommandPrint(CommandTableEntry *pEntry, NKPageSetup *p)
{
    if (NKPrintScene(p, NKViewWindowSize.iWidth, NKViewWindowSize.iHeight, 1) != 1) {
        NKCommandError(pEntry, "Failure printing to Windows printer");
        return 1;
    }
    NKPrintInfo("Scene printed to Windows printer");
    return 0;
}

int CommandToPostScript(CommandTableEntry *pEntry, NKPageSetup *p, NKArgumentScan *pScan)
{
    NKString name = pScan->NextArgument();
    if (name.IsEmpty()) name = "Quolin.ps";
    if (!NKGeneratePostScript(p, NKViewWindowSize.iWidth, NKViewWindowSize.iHeight, 1,
                              name.GetText())) {
        NKCommandError(
            pEntry,
            NKString::FromFormat("Error saving to PostScript file %s", name.GetText()).GetText());
        return 1;
    }
    NKPrintInfo(
        NKString::FromFormat("Scene written to PostScript file %s", name.GetText()).GetText());
    return 0;
}

}  // namespace

int NKHandlePrintCommands(CommandTableEntry *pEntry, const char *pszArguments)
{
    switch (pEntry->id) {
    case NK_CID_PRINT:
    case NK_CID_TOPS:
    case NK_CID_PRINT_PAGESIZE:
    case NK_CID_PRINT_ORIENTATION:
    case NK_CID_PRINT_MARGINS:
    case NK_CID_PRINT_PAGEINFO:
        break;
    default:
        return NK_CMD_NOT_MINE;
    }
    NKPageSetup *p = ValidSetup();
    NKArgumentScan scan(pszArguments);
    scan.NextToken();  // "PARAMS"
    switch (pEntry->id) {
    case NK_CID_PRINT:
        return CommandPrint(pEntry, p);
    case NK_CID_TOPS:
        return CommandToPostScript(pEntry, p, &scan);
    case NK_CID_PRINT_PAGESIZE:
        return CommandPageSize(pEntry, p, scan.Rest());
    case NK_CID_PRINT_ORIENTATION:
        return CommandOrientation(pEntry, p, &scan);
    case NK_CID_PRINT_MARGINS:
        return CommandMargins(pEntry, p, &scan);
    default:
        return CommandPageInfo(p);
    }
}
