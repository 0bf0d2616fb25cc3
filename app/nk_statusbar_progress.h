// app/nk_statusbar_progress.h -- the status bar as the progress
// operations' user interface (platform/nk_progress_ui.h).
//
// While the bar exists its NKProgressUI is installed: the mode, the status
// line and the progress bar go to the bar, and the event pump of
// NKCheckCancel delivers paint events and the Cancel button's click while
// it drops every other input; a request to close the main window becomes a
// quit request (exit code 0) and the window stays open.
#pragma once

// Installs the bar's interface (true) or puts the headless one back.
void NKInstallStatusbarProgressUI(bool bInstall);
