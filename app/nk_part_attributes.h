// app/nk_part_attributes.h -- the "Part Visibilities" dialog: a modeless
// list of the current geometry's parts whose selection is the parts'
// selected flag (shared with picking and `selectparts`), a three-state
// "Visible" box over the selected parts, "Apply", "Close", "Select All
// Parts" and "Auto apply".
//
// Visibility changes go through the command language ("nodisplay", "post"
// / "unpost" per selected part, "display"), so they are logged and act as
// typed commands. The decisions are the plain functions below; the dialog
// only calls them. NKRefreshPartAttributesDialog (app/nk_window_utils.h)
// brings the list in step with the parts from outside.
#pragma once

#include <string>
#include <vector>

struct NKGeometry;
struct NKShellHooks;
class QDialog;

// States of the Visible box (Qt::CheckState's values).
enum { NK_VISIBLE_UNCHECKED = 0, NK_VISIBLE_PARTLY = 1, NK_VISIBLE_CHECKED = 2 };

// The list entries: each part's name, or "Part: %d" (1-based) without one.
std::vector<std::string> NKPartListEntries(const NKGeometry *pGeo);
// The box over the selected parts: partly checked when their visible flags
// differ, unchecked when all are hidden, checked when all are visible or
// none is selected.
int NKVisibleBoxState(const NKGeometry *pGeo);
// Unselects every part, then selects the parts whose list rows are
// selected (one flag per row).
void NKSelectionFromPartList(const std::vector<bool> &rowsSelected);
// "nodisplay", then for each selected part i (1-based) "post i i" when
// iBoxState is checked, "unpost i i" when unchecked, nothing when partly;
// then "display". Answers the last failing result, 0 when all ran.
int NKApplyPartVisibility(int iBoxState);
// Sets the dialog's Visible box (and its visible-state byte) from the
// selected parts; nothing while the dialog is closed.
void NKUpdateVisibleBox(void);

// true: makes the dialog (the main window its owner) or brings the open one
// to the front; false: destroys an open dialog.
void NKShowPartAttributesDialog(bool bShow);
bool NKIsPartAttributesOpen(void);
// The dialog while open (null otherwise): for tests, whose widgets have the
// object names "parts", "visible", "apply", "close", "selectAll" and
// "autoApply".
QDialog *NKGetPartAttributesDialog(void);

// Fills the part attributes dialog's slots of core/nk_shell_hooks.h.
void NKFillPartAttributesHooks(NKShellHooks *pHooks);
