// app/nk_statusbar.h -- the status bar of the main window.
//
// Its normal mode has five parts: the status line (0), the frame rate (1),
// the maximum rate (2), the frame time (3) and the "FVP" indicator (4). The
// progress operations (core/nk_progress.h) switch it into a progress mode
// of two parts, the status line and a part holding a Cancel button and/or a
// progress bar, through the NKProgressUI (platform/nk_progress_ui.h) that the
// bar installs while it exists. The status line and the indicator can be
// owner-drawn: the status line then shows two pick texts, the indicator its
// state's colour. Part edges follow the main window's width as the
// functions below compute them; NKComputeStatusbarEdges and
// NKComputeStatusbarChildren are the same rules without a window.
#pragma once

#include <cstdint>
#include <string>

class QPainter;
class QWidget;
struct NKFamilyWarning;

constexpr int NK_STATUSBAR_ID = 900;
constexpr int NK_CANCEL_BUTTON_ID = 34010;
constexpr int NK_STATUSBAR_MENU_ITEM = 40163;  // the "statusbar" menu item
constexpr int NK_STATUSBAR_MAX_PARTS = 5;

// Indicator states.
enum {
    NK_INDICATOR_NONE = 0,
    NK_INDICATOR_ACTIVE = 1,
    NK_INDICATOR_OFF = 2,
    NK_INDICATOR_HIGH = 3
};
// Menu flags of NKShowMenuHelp.
enum : unsigned int { NK_MF_POPUP = 0x00000010u, NK_MF_SYSMENU = 0x00002000u };

// Whether the main window shows a status bar (1 at start).
extern uint8_t g_bStatusbarShown;

// The right edges of the parts for a main window whose client area is
// iClientWidth wide, in the mode given by the NK_STATUSBAR_* flags
// (platform/nk_progress_ui.h; 0 for none); returns the number of parts.
int NKComputeStatusbarEdges(int iClientWidth, bool bMaximized, unsigned int uMode,
                            int piEdges[NK_STATUSBAR_MAX_PARTS]);
// Where the Cancel button and the progress bar go in the part rectangle
// piRect (left, top, right, bottom): each x is -1 when the child is not
// asked for or has no room.
void NKComputeStatusbarChildren(const int piRect[4], bool bCancel, bool bProgress, int *piCancelX,
                                int *piCancelY, int *piProgressX, int *piProgressY);

// Makes the bar of the main window in its normal mode and installs its
// progress interface; true at once when it exists. False without a main
// window (traced).
bool NKCreateStatusbar(void);
// Removes the bar and puts the headless progress interface back; false
// without a main window (traced) or a bar.
bool NKDestroyStatusbar(void);
// NK_STATUSBAR_NORMAL, or the CANCEL and PROGRESS flags; children are made
// or removed to match. False without a bar.
bool NKSetStatusbarMode(unsigned int uFlags);
// Every part's text becomes " " and the indicator is reset. True.
bool NKClearStatusbarParts(void);
// Sets the part edges for the main window's width and places the children.
// False without a main window (traced) or a bar.
bool NKResizeStatusbar(void);
bool NKPlaceStatusbarChildren(bool bCancel, bool bProgress);
// Sets a part's text and repaints at once; outside the normal mode only
// part 0. False then, and without a bar.
bool NKSetStatusbarText(const char *pszText, int iPart);
// The two pick texts of the owner-drawn status line (null: empty). True.
bool NKSetStatusbarPickText(const char *pszText1, const char *pszText2);
// State 3 when bHighlight, else 1 when iActive > 0, else 2. True.
bool NKSetStatusbarIndicator(int iActive, bool bHighlight, bool bReset);
// Parts 1 to 3 from the measured rate, the drawing time of a frame and the
// frame interval (0: part 2 empty), then the indicator. True.
bool NKShowFrameRate(float fFramesPerSecond, uint32_t uFrameMs, uint32_t uIntervalMs, int iActive,
                     bool bHighlight);
// The item's help text on the status line (empty when it has none); false
// without a main window (traced) or a bar, and for system-menu items.
bool NKShowMenuHelp(int iItemId, unsigned int uMenuFlags);

// An owner-drawn part to paint: the control id, the item data (part in the
// low word, indicator state in the high word), the painter and the part's
// rectangle.
struct NKStatusbarDrawItem {
    int iControlId = 0;
    uint32_t uItemData = 0;
    QPainter *pPainter = nullptr;
    int iLeft = 0, iTop = 0, iRight = 0, iBottom = 0;
};
// Paints part 0 (pick texts) or part 4 (indicator); false for another
// control or part.
bool NKDrawStatusbarItem(const NKStatusbarDrawItem *pItem);
// A command that reaches the bar from one of its children: the Cancel
// button's click requests the cancel of the running operation and beeps.
void NKStatusbarSubclassProc(int iControlId);

// Brackets a command line run from the window (a menu item, a tool-bar
// button, an in-view menu's item, a dialog's button, File > Open, a
// recent or dropped file): while the outermost scope lives, the first
// error line and the first warning line printed are kept (and still
// printed as before); when it ends, the first error goes to the status
// line, else the first warning, so that what went wrong or needs a look
// shows in the window and not only on the terminal. A failure's lead line
// (a line marked NK_MSG_LEAD, core/nk_message.h) printed while the scope
// lives goes there instead of its first error. Inner scopes do nothing.
// A line shows as NKStatusLineText gives it, with the family warning it
// was printed from, if any (core/nk_family_warning.h).
class NKStatusErrorScope {
public:
    NKStatusErrorScope();
    ~NKStatusErrorScope();
    NKStatusErrorScope(const NKStatusErrorScope &) = delete;
    NKStatusErrorScope &operator=(const NKStatusErrorScope &) = delete;

private:
    static void Sink(const char *pszLine, int iLevel, void *pUser);
    bool m_bOuter = false;
    void (*m_pfnPrevious)(const char *, int, void *) = nullptr;
    void *m_pPreviousUser = nullptr;
    // The lines kept, as the status line shows them.
    std::string m_FirstError;
    std::string m_FirstWarning;
    std::string m_LeadError;  // the first line marked NK_MSG_LEAD
};

// A line as the status line shows it: a damaged family's warning
// (pWarning, the warning the line was printed from) with where the
// family's states end first ("States end with state 10 at time 0.5:
// LS-DYNA family file F holds only zeros from state 11 on."), so that a
// line cut to the part's width still says how many states remain, and
// hovering shows the rest; any other line (pWarning null) as it is, whatever
// its words. The terminal keeps the line's own words.
std::string NKStatusLineText(const std::string &line, const NKFamilyWarning *pWarning);

// What the bar shows, for the window code and tests.
QWidget *NKGetStatusbarWindow(void);
QWidget *NKGetStatusbarCancelButton(void);
QWidget *NKGetStatusbarProgressBar(void);
// The part count and right edges; 0 without a bar.
int NKGetStatusbarEdges(int piEdges[NK_STATUSBAR_MAX_PARTS]);
// The rectangle (left, top, right, bottom) of a part; false without it.
bool NKGetStatusbarPartRect(int iPart, int piRect[4]);
std::string NKGetStatusbarText(int iPart);
// The text as the part shows it: cut with an ellipsis when it does not fit
// (the whole text then shows in a tool tip over the part).
std::string NKGetStatusbarShownText(int iPart);
// The pick display's first (0) or second (1) text.
std::string NKGetStatusbarPickText(int iLine);
int NKGetStatusbarIndicator(void);
