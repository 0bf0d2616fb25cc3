// app/nk_info_sheet.h -- the information sheet "Quolin Info": a modeless
// tool window over the main window holding six tabbed pages (Model,
// Results, NKF File, Part, Polygon, Element) whose contents come from the
// page records of app/nk_info_pages.h.
//
// A page is filled when it becomes current and whenever the sheet is
// refreshed (after loads, after picks, on `showinfodialog`). The sheet
// remembers where the user last moved or sized it, for the next opening.
// Closing it forgets it and leaves the rest of the program untouched.
#pragma once

struct NKShellHooks;
class QDialog;
class QWidget;
struct NKInfoPage;

// The sheet, made with the main window (or null) as parent; an existing
// sheet is returned as it is.
QDialog *CreateInfoPropertySheet(QWidget *pMainWindow);
// Brings an existing sheet to the front, else makes and shows it.
void ShowInfoPropertySheet(void);
// Destroys the sheet and forgets it; false when there is none.
bool CloseInfoPropertySheet(void);
// The refresh behind core's RefreshInfoPropertySheet: with bActivate the
// sheet is shown (made when needed) and iPage selects the page (1 Model,
// 2 Results, 3 NKF file, 4 Part, 5 Element when the pick's part has
// elements else Polygon, 6 Polygon, 7 Element; others select nothing);
// without it a closed sheet stays closed. The current page is filled and
// redrawn at once.
void NKRefreshInfoSheet(int iPage, bool bActivate);

// The sheet (null while closed), its current page (NK_INFO_PAGE_*, -1
// while closed) and a page's record as last filled: for tests.
QDialog *NKGetInfoPropertySheet(void);
int NKGetInfoSheetPage(void);
const NKInfoPage *NKGetInfoSheetPageRecord(int iPage);

// Fills the information dialogs' slots of core/nk_shell_hooks.h (closing
// both dialogs, refreshing the sheet, and the part attributes dialog's).
void NKFillInfoDialogHooks(NKShellHooks *pHooks);
