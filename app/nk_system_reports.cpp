// app/nk_system_reports.cpp -- the general commands that report on the
// machine (see nk_system_topics.h): the system report, the OpenGL
// renderer's strings and what the detection made of them, the pixel-format
// report file, the display's resolution and the largest texture size.
// OpenGL is asked through the 3-D view's context; without a view the
// strings are empty and the sizes 0.
#include "app/nk_system_reports.h"

#include <GL/gl.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "app/nk_pixel_format.h"
#include "app/nk_render_context.h"
#include "app/nk_system_topics.h"
#include "app/nk_view_window.h"
#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_table.h"
#include "core/nk_message.h"
#include "render/nk_render_options.h"

namespace {

// The value after the first "key" line's separator (':' or '='), without
// blanks and double quotes around it; empty when the file has no such line.
std::string ReadKeyValue(const char *pszPath, const char *pszKey, char cSeparator)
{
    std::ifstream in(pszPath);
    std::string line;
    const size_t iKeyLength = std::strlen(pszKey);
    while (std::getline(in, line)) {
        if (line.compare(0, iKeyLength, pszKey) != 0) continue;
        size_t iSep = line.find(cSeparator, iKeyLength);
        if (iSep == std::string::npos) continue;
        std::string value = line.substr(iSep + 1);
        const size_t iFirst = value.find_first_not_of(" \t\"");
        const size_t iLast = value.find_last_not_of(" \t\"\r");
        return iFirst == std::string::npos ? std::string()
                                           : value.substr(iFirst, iLast - iFirst + 1);
    }
    return std::string();
}

// A string of the current context; empty without one.
const char *GLText(bool bContext, GLenum eName)
{
    const GLubyte *pText = bContext ? glGetString(eName) : nullptr;
    return pText != nullptr ? reinterpret_cast<const char *>(pText) : "";
}

// The detection's names of the renderer quirks.
const char *RendererName(int iQuirk)
{
    static const char *const kNames[8] = {"3Dlabs Permedia renderer",
                                          "Intergraph GLZ ICD renderer",
                                          "Digital PowerStorm renderer",
                                          "Microsoft Software renderer",
                                          "SGI Cobalt renderer",
                                          "Evans & Sutherland REALimage renderer",
                                          "Siemens Celsius Mobile Renderer",
                                          "ELSA GLoria II-64 Renderer"};
    return iQuirk >= 0 && iQuirk < 8 ? kNames[iQuirk] : "Unknown renderer";
}

int CommandSysInfo(void)
{
    NKPrintInfo(NKComposeSystemReport(NKGatherSystemFacts()).GetText());
    return 0;
}

// "openglinfo": the renderer's strings, each extension on its own line,
// then what the renderer detection found.
int CommandOpenGLInfo(void)
{
    const bool bContext = NKMakeViewCurrent();
    NKPrintInfo("Information from OpenGL renderer:");
    NKPrintInfo((NKString("- Vendor: ") + GLText(bContext, GL_VENDOR)).GetText());
    NKPrintInfo((NKString("- Renderer: ") + GLText(bContext, GL_RENDERER)).GetText());
    NKPrintInfo((NKString("- Version: ") + GLText(bContext, GL_VERSION)).GetText());
    NKPrintInfo("- Extentions: ");
    NKString extensions(GLText(bContext, GL_EXTENSIONS));
    extensions.Trim();
    int iStart = 0;
    while (iStart < extensions.GetLength()) {
        int iEnd = extensions.FindChar(' ', iStart);
        if (iEnd < 0) iEnd = extensions.GetLength();
        if (iEnd == iStart) break;  // an empty name ends the list
        NKPrintInfo((NKString(" * ") + extensions.Mid(iStart, iEnd - 1)).GetText());
        iStart = iEnd + 1;
    }
    NKPrintInfo(" ");
    NKPrintInfo("Detected information:");
    // Without a context the detection's answers are those for no strings.
    const int iVersion = bContext ? NKGetRendererVersion() : NKParseRendererVersion(nullptr);
    const int iQuirk = bContext ? NKGetRendererQuirk() : NKRendererQuirkFromName(nullptr);
    NKPrintInfo(NKString::FromFormat("- Version: %3.1f", iVersion * 0.1).GetText());
    NKPrintInfo(bContext && NKHasPolygonOffset() ? "- Polygon offset: Available"
                                                 : "- Polygon offset: Not available");
    NKPrintInfo((NKString("- Renderer type: ") + RendererName(iQuirk)).GetText());
    return 0;
}

// "showpixelformats file": the report "pixel.txt". Without the word it does
// nothing; without a display it fails silently.
int CommandShowPixelFormats(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    if (!(pScan->NextToken() == "file")) return 0;
    if (qGuiApp == nullptr || QGuiApplication::primaryScreen() == nullptr) return 1;
    NKDeviceContext *pDC = NKGetWindowDC(NKGetViewWindow());
    const bool bWritten = NKWritePixelFormatReport(pDC);
    NKReleaseDC(pDC);
    if (!bWritten) {
        NKCommandError(pEntry, "Error writing pixel.txt");
        return 1;
    }
    NKPrintInfo("Pixel format info output in file: pixel.txt");
    return 0;
}

// "scrsz": the primary screen in device pixels; fails silently without one.
int CommandScreenSize(void)
{
    QScreen *pScreen = qGuiApp != nullptr ? QGuiApplication::primaryScreen() : nullptr;
    if (pScreen == nullptr) return 1;
    const QSize size = pScreen->size() * pScreen->devicePixelRatio();
    NKPrintInfo(
        NKString::FromFormat("Horizontal resolution: %d pixelsVertical resolution: %d pixels",
                             size.width(), size.height())
            .GetText());
    return 0;
}

int CommandMaxTextureSize(void)
{
    GLint iSize = 0;
    if (NKMakeViewCurrent()) glGetIntegerv(GL_MAX_TEXTURE_SIZE, &iSize);
    NKPrintInfo(NKString::FromFormat("Maximum Texture Size: %d pixels", iSize).GetText());
    return 0;
}

}  // namespace

const char *NKLanguageName(const char *pszLocale)
{
    static const char *const kLanguages[][2] = {
        {"ja", "Japanese"},  {"en", "English"}, {"nb", "Norwegian"}, {"nn", "Norwegian"},
        {"no", "Norwegian"}, {"de", "German"},  {"fr", "French"},    {"sv", "Swedish"},
        {"da", "Danish"},    {"es", "Spanish"}};
    if (pszLocale == nullptr) return "Unknown";
    // The language is the locale name's first two letters, followed by the
    // end, a territory or an encoding.
    if (std::strlen(pszLocale) < 2) return "Unknown";
    const char c = pszLocale[2];
    if (c != '\0' && c != '_' && c != '.' && c != '@') return "Unknown";
    for (const auto &entry : kLanguages)
        if (std::strncmp(pszLocale, entry[0], 2) == 0) return entry[1];
    return "Unknown";
}

NKSystemFacts NKGatherSystemFacts(void)
{
    NKSystemFacts facts;
    struct utsname name;
    if (uname(&name) == 0) {
        facts.szMachine = name.machine;
        facts.szKernelRelease = name.release;
    }
    facts.szProcessorModel = ReadKeyValue("/proc/cpuinfo", "model name", ':').c_str();
    const long iOnline = sysconf(_SC_NPROCESSORS_ONLN);
    facts.iNumProcessors = iOnline > 0 ? static_cast<int>(iOnline) : 0;
    struct sysinfo info;
    if (sysinfo(&info) == 0) {
        facts.uTotalMemory = static_cast<uint64_t>(info.totalram) * info.mem_unit;
        facts.uAvailableMemory = static_cast<uint64_t>(info.freeram) * info.mem_unit;
    }
    facts.szDescription = ReadKeyValue("/etc/os-release", "PRETTY_NAME", '=').c_str();
    const char *pszLang = std::getenv("LANG");
    facts.szLanguage = pszLang != nullptr ? pszLang : "";
    return facts;
}

// Memory is shown in kilobytes (truncated) and megabytes (rounded up).
NKString NKComposeSystemReport(const NKSystemFacts &facts)
{
    const bool bIntel = facts.szMachine == "x86_64" || facts.szMachine == "i686";
    int iMajor = 0, iMinor = 0, iBuild = 0;
    std::sscanf(facts.szKernelRelease.GetText(), "%d.%d.%d", &iMajor, &iMinor, &iBuild);
    auto MemoryLine = [](const char *pszWhat, uint64_t uBytes) {
        return NKString::FromFormat("    %s physical memory: %lluKB (%lluMB)\n", pszWhat,
                                    static_cast<unsigned long long>(uBytes / 1024),
                                    static_cast<unsigned long long>((uBytes + 1048575) / 1048576));
    };
    NKString text("System information:\n  Hardware:\n");
    text += NKString::FromFormat("    Processor architecture: %s\n", bIntel ? "Intel" : "Unknown");
    text += NKString::FromFormat("    Processor type: %s\n", facts.szProcessorModel.GetText());
    text += NKString::FromFormat("    Number of processors: %d\n", facts.iNumProcessors);
    text += MemoryLine("Total", facts.uTotalMemory);
    text += MemoryLine("Available", facts.uAvailableMemory);
    text += "\n  Operating system:\n    Platform: Linux\n";
    text += NKString::FromFormat("    Version: %d.%d (build %d)\n", iMajor, iMinor, iBuild);
    text += NKString::FromFormat("    Version description: %s\n", facts.szDescription.GetText());
    text += "    System directory: /usr/lib\n";
    text += NKString::FromFormat("    Language: %s.", NKLanguageName(facts.szLanguage.GetText()));
    return text;
}

int NKHandleReportCommands(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();  // "PARAMS"
    switch (pEntry->id) {
    case NK_CID_SYSINFO:
        return CommandSysInfo();
    case NK_CID_OPENGLINFO:
        return CommandOpenGLInfo();
    case NK_CID_SHOWPIXELFORMATS:
        return CommandShowPixelFormats(pEntry, &scan);
    case NK_CID_SCRSZ:
        return CommandScreenSize();
    case NK_CID_MTS:
        return CommandMaxTextureSize();
    default:
        return NK_CMD_NOT_MINE;
    }
}
