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
// Registers the twelve document types, in table order; true.
bool RegisterFileTypes(const char *pszProgramDir, bool bForce, bool bSoftware);
// 3: the tool bar always has the flat look.
int NKGetCommCtrlVersion(void);
