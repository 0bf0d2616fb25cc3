// app/nk_settings.h -- the settings the program keeps between runs (the
// main window's normal rectangle, its maximised state and the four recent
// files) and the file types it registers with the desktop.
//
// Settings live in QSettings INI form, organisation "Brovik", application
// "Quolin Dulm", group "6.2" with the subgroup "Recent File List"
// (~/.config/Brovik/Quolin Dulm.conf). A first run is one where group "6.2"
// is absent: the document types are registered then. File types are a
// shared-mime-info package and a desktop entry under $XDG_DATA_HOME.
#pragma once

#include <cstdint>

// The main window's normal rectangle and maximised state.
struct NKWindowPlacement {
    int iX = 0, iY = 0;
    int iWidth = 810, iHeight = 600;
    uint8_t bMaximized = 0;
};

// Reads the placement and the four recent files (into the recent-file list,
// commands/nk_recent_files.h). A first run registers the file types and
// answers true with the outputs untouched. A missing value answers false
// with nothing stored (traced); see the .cpp for the order.
bool NKReadInformationFromRegistry(int *piX, int *piY, int *piWidth, int *piHeight,
                                   uint8_t *pbMaximized);
// Writes the placement and the four recent files (empty ones too); false,
// traced, when the settings cannot be written.
bool NKWriteInformationToRegistry(const NKWindowPlacement &placement);
// Registers the twelve document types, in table order, to open with
// "<pszProgramDir>quolin" (plus " -software" when bSoftware), then updates
// the desktop's MIME database; true. bForce takes the types from another
// program that opens them now.
bool RegisterFileTypes(const char *pszProgramDir, bool bForce, bool bSoftware);
// Registers one extension (".geo") as a glob of the MIME type made from
// pszTypeName ("NKQuolin.Geofile" gives "application/x-nkquolin-geofile"),
// described by pszDescription when one is given, opened by pszProgramFile
// with pszArguments ("%f", the desktop's field for the file name) when one
// is given. The package and the desktop entry hold every type registered so
// far in this run; the type then opens with this program unless another one
// already opens it and bForce is off. False (traced) when the package or
// the desktop entry cannot be written or the association cannot be set.
// The caller runs NKUpdateMimeDatabase after its last type.
bool NKRegisterFileType(const char *pszExtension, const char *pszTypeName, bool bForce,
                        const char *pszDescription, const char *pszProgramFile,
                        const char *pszArguments);
// Runs update-mime-database over $XDG_DATA_HOME/mime; nothing when the
// desktop's tool is not installed.
void NKUpdateMimeDatabase(void);
// 3: the tool bar always has the flat look.
int NKGetCommCtrlVersion(void);
