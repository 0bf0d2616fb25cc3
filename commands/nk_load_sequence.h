// commands/nk_load_sequence.h -- the start-up command files and the fixed
// sequence run around every load of a new primary model.
//
// The sequence is: ResetStateBeforeLoad (the previous model's state goes),
// the reader, ComputeGeometryData (core: the geometry into the frames with its
// display coordinates, normals, edges and boxes), NKRefreshMenusForModel,
// then RefreshAfterLoad (camera, dialogs, recent files, the projection and a
// paint of the view). Readers and the NKF
// import call these through core/nk_load_hooks.h; NKInstallLoadSequence
// fills those slots with the versions here (NKInstallCommandHooks does it
// for every program and test that installs the interpreter). ResetScene is
// the lighter reset of the command that closes everything.
//
// Two command files let a site configure the program: "quolin.qlc" runs once
// at start-up, "fileopen.qlc" after each primary file opened by the
// type-detecting open. Each is looked for in the program's directory
// (core/nk_program_directory.h), then in ~/.config/Brovik/.
#pragma once

#include <cstdint>

// Keep the display settings (clipping, value ranges, vector and mirror
// settings, the camera) when a new primary file is loaded; set by
// keepsettings, cleared by nokeepsettings. 0 at start.
extern uint8_t bKeepSettings;

// Fills the load slots of core/nk_load_hooks.h (ResetStateBeforeLoad,
// RefreshAfterLoad) with the full sequence.
void NKInstallLoadSequence(void);

// Runs "quolin.qlc" with `source` when one is found (information "Running
// global startup command file..."). False only when that command fails; no
// file is no failure. Called once by start-up before the command line is
// parsed.
bool RunStartupCommandFile(void);
// The same for "fileopen.qlc" (information "Running \"file open\" command
// file..."), after an open by type detection succeeded. While the file runs,
// a further call (an open inside it) runs nothing and answers true.
bool RunFileOpenCommandFile(void);

// The reset of the command that closes all files: animation, fog, camera,
// textures, tools, 3-D texts, plots and clipping back to their defaults, the
// frames and the model emptied, the data source closed, the view repainted.
void ResetScene(void);

// The full sequence's steps, as the slots call them (see nk_load_hooks.h for
// the arguments). pszFileName of the reset only names the file to come.
bool NKResetStateBeforeLoad(const char *pszFileName);
bool NKRefreshAfterLoad(const char *pszFileName);
