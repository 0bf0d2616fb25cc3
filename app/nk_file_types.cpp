// app/nk_file_types.cpp -- the document types the program registers with the
// desktop, so that opening a model, result or command file from a file
// manager starts it: on the first run (NKReadInformationFromRegistry) and by
// the forceregisterfiles command.
//
// Under $XDG_DATA_HOME (default ~/.local/share) two files hold what the
// program offers: the shared-mime-info package mime/packages/quolin-dulm.xml
// (one MIME type per document type, its extensions as globs) and the desktop
// entry applications/quolin-dulm.desktop (the command line and the MIME
// types it opens). Both are written whole through a temporary file. The
// association itself is the desktop's: xdg-mime sets it and
// update-mime-database rebuilds the MIME cache; a desktop without these tools
// is left alone without a word. Failures go to the internal trace.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/nk_settings.h"
#include "core/nk_diagnostic.h"
#include "platform/nk_spawn.h"

namespace {

const char *const kFunction = "NKRegisterFileType";
const char *const kDesktopFile = "quolin-dulm.desktop";
const char *const kTypeNamePrefix = "NKQuolin";
const char *const kDescriptionPrefix = "Quolin";

// One row of the document-type table; a null description keeps the one the
// type got from an earlier row.
struct NKDocumentType {
    const char *pszExtension;
    const char *pszTypeSuffix;
    const char *pszDescriptionSuffix;
};
const NKDocumentType kDocumentTypes[12] = {{".geo", ".Geofile", " Geometry File"},
                                           {".qlc", ".Cmdfile", " Command File"},
                                           {".qlr", ".Resfile", " Results File"},
                                           {".res", ".Resfile", nullptr},
                                           {".nkf", ".NKFfile", " NKF File"},
                                           {".scl", ".Sclfile", " Scalar File"},
                                           {".vec", ".Vecfile", " Vector File"},
                                           {".dis", ".Vecfile", nullptr},
                                           {".tra", ".Trafile", " Transformation File"},
                                           {".vif", ".Viffile", " View File"},
                                           {".vpt", ".Vptfile", " Viewpoints File"},
                                           {".atr", ".Atrfile", " Attributes File"}};

// What the package and the desktop entry say, built up type by type.
struct NKRegisteredType {
    std::string mimeType;
    std::string description;
    std::vector<std::string> globs;
};
struct NKRegistration {
    std::vector<NKRegisteredType> types;
    std::string exec;  // the desktop entry's Exec value; empty: no entry
};
NKRegistration sg_Registration;

QString DataHome(void)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

// "NKQuolin.Geofile" -> "application/x-nkquolin-geofile".
std::string MimeTypeOf(const char *pszTypeName)
{
    std::string mimeType = "application/x-";
    for (const char *p = pszTypeName; *p != '\0'; p++) {
        char c = *p;
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        mimeType += c == '.' || c == ' ' || c == '/' ? '-' : c;
    }
    return mimeType;
}

std::string XmlEscape(const std::string &text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// A program path as one quoted argument of a desktop entry's Exec key: a
// backslash before each of " ` $ \ and "%%" for '%' inside the quotes, then
// every backslash doubled, as the key is also a string value.
std::string DesktopQuote(const std::string &path)
{
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        if (c == '%') quoted += '%';
        quoted += c;
    }
    quoted += '"';
    std::string value;
    for (char c : quoted) value += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return value;
}

// Writes the text to dataHome/relativePath through a temporary file in the
// same folder, making the folders first.
bool WriteWhole(const QString &relativePath, const std::string &text)
{
    QString path = DataHome() + "/" + relativePath;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(text.data(), qint64(text.size()));
    return file.commit();
}

bool WriteMimePackage(void)
{
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    for (const NKRegisteredType &type : sg_Registration.types) {
        xml += "  <mime-type type=\"" + XmlEscape(type.mimeType) + "\">\n";
        if (!type.description.empty())
            xml += "    <comment>" + XmlEscape(type.description) + "</comment>\n";
        for (const std::string &glob : type.globs)
            xml += "    <glob pattern=\"" + XmlEscape(glob) + "\"/>\n";
        xml += "  </mime-type>\n";
    }
    xml += "</mime-info>\n";
    return WriteWhole("mime/packages/quolin-dulm.xml", xml);
}

// Whether the desktop shows an entry of this name already: one without
// "NoDisplay=true" in the user's data folder or a system one, as
// cmake/install_desktop.cmake installs it.
bool EntryShownAlready(void)
{
    const QStringList paths = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                        QString("applications/") + kDesktopFile);
    for (const QString &path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) continue;
        bool bHidden = false;
        while (!file.atEnd() && !bHidden) bHidden = file.readLine().trimmed() == "NoDisplay=true";
        if (!bHidden) return true;
    }
    return false;
}

// A run from a build keeps its entry out of the applications menu: it is
// there only to open files. An entry the desktop shows (an installation's)
// stays shown, so the registration never hides it. The icon is the one an
// installation puts into the desktop's icon theme (cmake/install_desktop.cmake
// writes the same entry for it).
bool WriteDesktopEntry(void)
{
    std::string entry = "[Desktop Entry]\nType=Application\nName=Quolin Dulm\n"
                        "Exec=" +
                        sg_Registration.exec + "\nIcon=quolin-dulm\nTerminal=false\n" +
                        (EntryShownAlready() ? "" : "NoDisplay=true\n") + "MimeType=";
    for (const NKRegisteredType &type : sg_Registration.types) entry += type.mimeType + ";";
    entry += "\n";
    return WriteWhole(QString("applications/") + kDesktopFile, entry);
}

// Adds the extension to its type (made on first use) in the registration.
void AddToRegistration(const char *pszExtension, const char *pszTypeName,
                       const char *pszDescription)
{
    std::string mimeType = MimeTypeOf(pszTypeName);
    NKRegisteredType *pType = nullptr;
    for (NKRegisteredType &type : sg_Registration.types)
        if (type.mimeType == mimeType) pType = &type;
    if (pType == nullptr) {
        sg_Registration.types.push_back(NKRegisteredType{mimeType, "", {}});
        pType = &sg_Registration.types.back();
    }
    if (pszDescription != nullptr) pType->description = pszDescription;
    std::string glob = std::string("*") + pszExtension;
    for (const std::string &known : pType->globs)
        if (known == glob) return;
    pType->globs.push_back(glob);
}

}  // namespace

namespace {

// Whether the program is an executable file in one of the folders of PATH.
bool IsOnPath(const char *pszProgram)
{
    const char *pszPath = std::getenv("PATH");
    std::string folders = pszPath != nullptr ? pszPath : "";
    size_t iStart = 0;
    while (iStart <= folders.size()) {
        size_t iEnd = folders.find(':', iStart);
        if (iEnd == std::string::npos) iEnd = folders.size();
        std::string folder = folders.substr(iStart, iEnd - iStart);
        std::string candidate = (folder.empty() ? "." : folder) + "/" + pszProgram;
        if (access(candidate.c_str(), X_OK) == 0) return true;
        iStart = iEnd + 1;
    }
    return false;
}

std::string ShellQuote(const std::string &word)
{
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs the words as one command (the first is the program) and waits for it;
// its standard output and error go to *pOutput when given. The exit status,
// -1 when it could not be started.
int RunTool(const std::vector<std::string> &words, std::string *pOutput)
{
    std::string command;
    for (const std::string &word : words)
        command += (command.empty() ? "" : " ") + ShellQuote(word);
    NKSpawnedProcess process;
    if (NKSpawnShellCaptured(command.c_str(), nullptr, &process) != 0) return -1;
    char buffer[512];
    bool bEnded = false;
    while (!bEnded) {
        // What waits now, then the end: a child the tool left behind may hold
        // the pipe open much longer than the tool runs.
        bEnded = NKSpawnHasEnded(&process);
        long n;
        while ((n = NKSpawnReadOutput(&process, buffer, sizeof(buffer))) > 0)
            if (pOutput != nullptr) pOutput->append(buffer, size_t(n));
        if (!bEnded) NKSpawnWaitOutput(&process, 100);
    }
    return NKSpawnClose(&process);
}

// Whether some program already opens the type (xdg-mime answers its entry).
bool HasDefaultApplication(const std::string &mimeType)
{
    std::string answer;
    if (RunTool({"xdg-mime", "query", "default", mimeType}, &answer) != 0) return false;
    return answer.find_first_not_of(" \t\r\n") != std::string::npos;
}

}  // namespace

// Both files are written first so that the association never names an entry
// that is not there. Without xdg-mime the files are all the desktop gets.
bool NKRegisterFileType(const char *pszExtension, const char *pszTypeName, bool bForce,
                        const char *pszDescription, const char *pszProgramFile,
                        const char *pszArguments)
{
    if (pszExtension == nullptr || *pszExtension == '\0' || pszTypeName == nullptr ||
        *pszTypeName == '\0')
        return NKDiagnostic("Error creating extension key", kFunction);
    AddToRegistration(pszExtension, pszTypeName, pszDescription);
    if (pszProgramFile != nullptr)
        sg_Registration.exec =
            DesktopQuote(pszProgramFile) + " " + (pszArguments != nullptr ? pszArguments : "");
    if (!WriteMimePackage()) return NKDiagnostic("Error creating extension key", kFunction);
    if (sg_Registration.exec.empty()) return true;
    if (!WriteDesktopEntry())
        return NKDiagnostic("Error creating or opening sub keys of documend type ID key",
                            kFunction);
    if (!IsOnPath("xdg-mime")) return true;
    std::string mimeType = MimeTypeOf(pszTypeName);
    // A type some program opens already stays with it: the user's choice.
    if (!bForce && HasDefaultApplication(mimeType)) return true;
    if (RunTool({"xdg-mime", "default", kDesktopFile, mimeType}, nullptr) != 0)
        return NKDiagnostic("Error setting value for documend type ID", kFunction);
    return true;
}

void NKUpdateMimeDatabase(void)
{
    if (!IsOnPath("update-mime-database")) return;
    std::string folder = QFile::encodeName(DataHome() + "/mime").toStdString();
    if (RunTool({"update-mime-database", folder}, nullptr) != 0)
        NKDiagnostic("Error updating the MIME database", "NKUpdateMimeDatabase");
}

// The registration starts afresh, so the files hold exactly the table.
bool RegisterFileTypes(const char *pszProgramDir, bool bForce, bool bSoftware)
{
    sg_Registration = NKRegistration();
    std::string program = std::string(pszProgramDir != nullptr ? pszProgramDir : "") + "quolin";
    const char *pszArguments = bSoftware ? "%f -software" : "%f";
    for (const NKDocumentType &row : kDocumentTypes) {
        std::string typeName = std::string(kTypeNamePrefix) + row.pszTypeSuffix;
        std::string description = row.pszDescriptionSuffix != nullptr
                                      ? kDescriptionPrefix + std::string(row.pszDescriptionSuffix)
                                      : "";
        NKRegisterFileType(row.pszExtension, typeName.c_str(), bForce,
                           row.pszDescriptionSuffix != nullptr ? description.c_str() : nullptr,
                           program.c_str(), pszArguments);
    }
    NKUpdateMimeDatabase();
    return true;
}
