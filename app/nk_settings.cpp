// app/nk_settings.cpp -- the settings file: the main window's placement and
// the four recent files, read once before the main window exists and
// written once after the event loop (app/nk_application.cpp calls both).
//
// The file is QSettings' INI form of organisation "Brovik", application
// "Quolin Dulm". It is opened by its path rather than by those two names
// because QSettings works the user's configuration folder out once per
// process; naming the file here follows XDG_CONFIG_HOME on every call, which
// the tests rely on. QSettings writes through a temporary file that it
// renames over the old one. Failures go to the internal trace
// (core/nk_diagnostic.h); the program then runs on with its defaults. The
// registration of the document types is in nk_file_types.cpp.
#include "app/nk_settings.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QVariant>

#include "commands/nk_recent_files.h"
#include "core/nk_diagnostic.h"
#include "core/nk_program_directory.h"

namespace {

const char *const kProgramGroup = "6.2";
const char *const kRecentGroup = "Recent File List";
const char *const kReadFunction = "NKReadInformationFromRegistry";
const char *const kWriteFunction = "NKWriteInformationToRegistry";

// The five numbers in the order they are read and written, with the trace
// of a missing one (none for "Maximized"). QSettings reports a failed write
// only for the whole file, so the write has one trace of its own.
struct NKPlacementValue {
    const char *pszKey;
    const char *pszReadError;
};
const NKPlacementValue kPlacementValues[5] = {
    {"Window X-Pos", "Error getting value for iWindowXPos"},
    {"Window Y-Pos", "Error getting value for iWindowYPos"},
    {"Window Width", "Error getting value for dwWinWidth"},
    {"Window Height", "Error getting value for dwWinHeight"},
    {"Maximized", nullptr}};

// ~/.config/Brovik/Quolin Dulm.conf, or the same below $XDG_CONFIG_HOME.
QString SettingsFilePath(void)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/Brovik/Quolin Dulm.conf";
}

QString RecentKey(int i) { return QString("File%1").arg(i + 1); }

// Reads one stored number; false when the key is absent or not a number.
bool ReadNumber(const QSettings &settings, const char *pszKey, int *piValue)
{
    QVariant value = settings.value(pszKey);
    bool bOk = false;
    if (value.isValid()) *piValue = value.toInt(&bOk);
    return bOk;
}

// Puts the stored recent files in place. A missing subgroup ends the read
// with false; a missing entry is traced and the next one read.
bool ReadRecentFiles(QSettings &settings)
{
    if (!settings.childGroups().contains(kRecentGroup))
        return NKDiagnostic("Error opening MRU key", kReadFunction);
    settings.beginGroup(kRecentGroup);
    for (int i = 0; i < NK_NUM_RECENT_FILES; i++) {
        QVariant value = settings.value(RecentKey(i));
        if (!value.isValid())
            NKDiagnostic("Error getting MRU entry", kReadFunction);
        else
            NKSetRecentFile(i, QFile::encodeName(value.toString()).constData());
    }
    settings.endGroup();
    return true;
}

}  // namespace

// A first run (no group "6.2") registers the document types and answers
// true with the outputs as they were. Otherwise the four numbers of the
// rectangle and "Maximized" are read in that order; the first missing one
// answers false with no output stored (traced, except "Maximized"). The
// maximised state is stored before the recent files are read, the rectangle
// only once they were.
bool NKReadInformationFromRegistry(int *piX, int *piY, int *piWidth, int *piHeight,
                                   uint8_t *pbMaximized)
{
    QSettings settings(SettingsFilePath(), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return NKDiagnostic("Error opening program key", kReadFunction);
    if (!settings.childGroups().contains(kProgramGroup)) {
        RegisterFileTypes(NKGetProgramDirectory().GetText(), false, false);
        return true;
    }
    settings.beginGroup(kProgramGroup);
    int aiValues[5] = {0, 0, 0, 0, 0};
    for (int i = 0; i < 5; i++) {
        if (ReadNumber(settings, kPlacementValues[i].pszKey, &aiValues[i])) continue;
        if (kPlacementValues[i].pszReadError == nullptr) return false;
        return NKDiagnostic(kPlacementValues[i].pszReadError, kReadFunction);
    }
    if (pbMaximized != nullptr) *pbMaximized = aiValues[4] != 0 ? 1 : 0;
    if (!ReadRecentFiles(settings)) return false;
    if (piX != nullptr) *piX = aiValues[0];
    if (piY != nullptr) *piY = aiValues[1];
    if (piWidth != nullptr) *piWidth = aiValues[2];
    if (piHeight != nullptr) *piHeight = aiValues[3];
    return true;
}

// The five numbers and all four recent files (empty ones as empty texts)
// go into group "6.2"; the file is written at once. A folder or file that
// cannot be made or written answers false with "Error creating program key".
bool NKWriteInformationToRegistry(const NKWindowPlacement &placement)
{
    QSettings settings(SettingsFilePath(), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError || !settings.isWritable())
        return NKDiagnostic("Error creating program key", kWriteFunction);
    const int aiValues[5] = {placement.iX, placement.iY, placement.iWidth, placement.iHeight,
                             placement.bMaximized != 0 ? 1 : 0};
    settings.beginGroup(kProgramGroup);
    for (int i = 0; i < 5; i++) settings.setValue(kPlacementValues[i].pszKey, aiValues[i]);
    settings.beginGroup(kRecentGroup);
    for (int i = 0; i < NK_NUM_RECENT_FILES; i++)
        settings.setValue(RecentKey(i), QFile::decodeName(NKGetRecentFile(i).GetText()));
    settings.endGroup();
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError)
        return NKDiagnostic("Error creating program key", kWriteFunction);
    return true;
}

// The tool bar's flat look and tool tips are always there, as with the
// newest common-controls library.
int NKGetCommCtrlVersion(void) { return 3; }
