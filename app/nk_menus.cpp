// app/nk_menus.cpp -- the menus of the main window (see nk_menus.h).
//
// Each menu is a table of popups and items; the menu bar is rebuilt from
// the start-up or the full table whenever the model-loaded state changes,
// and the actions of the shown menu are kept by id. A triggered item goes
// to the main window's command path (NKMainWindowCommand), hovering one
// shows its help text on the status line, and opening a popup refreshes
// the check marks and the recent-file entries first.
#include "app/nk_menus.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <map>

#include "app/nk_about.h"
#include "app/nk_main_window.h"
#include "app/nk_menu_state.h"
#include "app/nk_statusbar.h"
#include "app/nk_toolbar.h"
#include "app/nk_view_window.h"
#include "app/nk_window_utils.h"
#include "commands/nk_command.h"
#include "commands/nk_command_path.h"
#include "commands/nk_play_steps.h"
#include "commands/nk_recent_files.h"
#include "core/nk_diagnostic.h"
#include "core/nk_file.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_string.h"
#include "readers/nk_data_source.h"
#include "render/nk_navigation.h"
#include "render/nk_view_settings.h"

uint8_t g_bMenuBarShown = 1;

namespace {

// One row of a menu table: a popup title (id 0, bPopup), an item, or a
// separator (id 0, no caption).
struct MenuRow {
    bool bPopup;
    int iId;
    const char *pszCaption;
};

constexpr MenuRow kStartupMenu[] = {
    {true, 0, "&File"},
    {false, NK_MENU_OPEN, "&Open NKF File..."},
    {false, 0, nullptr},
    {false, NK_MENU_EXIT, "E&xit"},
    {true, 0, "&Window"},
    {false, NK_MENU_TOOLBAR, "&Toolbar"},
    {false, NK_MENU_STATUSBAR, "&Statusbar"},
    {true, 0, "&Help"},
    {false, NK_MENU_ABOUT, "&About..."},
};

constexpr MenuRow kFullMenu[] = {
    {true, 0, "&File"},
    {false, NK_MENU_OPEN, "&Open NKF file..."},
    {false, 0, nullptr},
    {false, NK_MENU_EXIT, "E&xit"},
    {true, 0, "&Model"},
    {false, NK_MENU_SURFACE, "Show As &Surface\t Ctrl+U"},
    {false, NK_MENU_LINES, "Show As &Lines\t Ctrl+C"},
    {false, NK_MENU_POINTS, "Show As &Points\t Ctrl+O"},
    {false, NK_MENU_OUTLINE, "Show As &Outline\t Ctrl+T"},
    {false, NK_MENU_HIDDENLINES, "Show As &Hidden Lines"},
    {false, 0, nullptr},
    {false, NK_MENU_MESH, "&Mesh on/off"},
    {true, 0, "&View"},
    {false, NK_MENU_INFO, "&Info box"},
    {false, NK_MENU_TEXT, "&Text info"},
    {false, NK_MENU_LEGEND, "&Legend"},
    {false, 0, nullptr},
    {false, NK_MENU_WALK, "&Walk mode"},
    {false, NK_MENU_MOVEASOUTLINE, "&Move as outline"},
    {false, 0, nullptr},
    {false, NK_MENU_RESETVIEW, "&Reset view"},
    {false, NK_MENU_FULLSCREEN, "&Full screen\tF11"},
    {true, 0, "&Animation"},
    {false, NK_MENU_PLAYBACKWARD, "Play &backward"},
    {false, NK_MENU_STEPBACKWARD, "S&tep backward"},
    {false, NK_MENU_PAUSE, "Pa&use"},
    {false, NK_MENU_STOP, "&Stop"},
    {false, NK_MENU_STEPFORWARD, "Step &forward"},
    {false, NK_MENU_PLAY, "&Play"},
    {true, 0, "&Window"},
    {false, NK_MENU_TOOLBAR, "&Toolbar"},
    {false, NK_MENU_STATUSBAR, "&Statusbar"},
    {false, 0, nullptr},
    {false, NK_MENU_INFOWINDOW, "&Info Window..."},
    {false, NK_MENU_PARTS, "&Part Visibilities..."},
    {true, 0, "&Help"},
    {false, NK_MENU_ABOUT, "&About..."},
};

// Status-line help of every item, menu and tool bar alike.
const std::map<int, const char *> kHelpTexts = {
    {NK_MENU_OPEN, "Open"},
    {NK_MENU_EXIT, "Exit"},
    {NK_MENU_SURFACE, "Display Model As Polygon Surfaces"},
    {NK_MENU_LINES, "Display Model As Polygon Lines (edges)"},
    {NK_MENU_POINTS, "Display Model As Polygon Points (vertices)"},
    {NK_MENU_OUTLINE, "Show Model Outline"},
    {NK_MENU_HIDDENLINES, "Show Model With Hidden Lines Removed"},
    {NK_MENU_MESH, "Turns mesh on/off"},
    {NK_MENU_INFO, "Toggle display of info box"},
    {NK_MENU_TEXT, "Toggle display of text info"},
    {NK_MENU_LEGEND, "Toggle display of legend"},
    {NK_MENU_WALK, "Walk/study"},
    {NK_MENU_MOVEASOUTLINE, "Move as outline/normal"},
    {NK_MENU_RESETVIEW, "Reset view"},
    {NK_MENU_FULLSCREEN, "Full-screen display"},
    {NK_MENU_PLAYBACKWARD, "Play backward"},
    {NK_MENU_STEPBACKWARD, "Step backward"},
    {NK_MENU_PAUSE, "Pause"},
    {NK_MENU_STOP, "Stop"},
    {NK_MENU_STEPFORWARD, "Step forward"},
    {NK_MENU_PLAY, "Play"},
    {NK_MENU_TOOLBAR, "Toggle display of toolbar on/off"},
    {NK_MENU_STATUSBAR, "Toggle display of statusbar on/off"},
    {NK_MENU_INFOWINDOW, "Show information window"},
    {NK_MENU_PARTS, "Change part visibilities"},
    {NK_MENU_ABOUT, "Display program information and copyright"},
};

// The shown menu: its actions by id (recent entries included) and its
// first popup, which holds the recent files.
struct MenuState {
    std::map<int, QAction *> actions;
    QMenu *pFilePopup = nullptr;
    bool bShown = false;
    bool bLastModelLoaded = true;
    bool bForceRefresh = true;
};
MenuState sg_Menu;

QAction *FindAction(int iId)
{
    auto it = sg_Menu.actions.find(iId);
    return it != sg_Menu.actions.end() ? it->second : nullptr;
}

QAction *AddItem(QMenu *pPopup, int iId, const char *pszCaption)
{
    QAction *pAction = pPopup->addAction(QString::fromUtf8(pszCaption));
    pAction->setData(iId);
    QObject::connect(pAction, &QAction::triggered, [iId]() { NKMainWindowCommand(iId); });
    QObject::connect(pAction, &QAction::hovered, [iId]() { NKShowMenuHelp(iId, 0); });
    sg_Menu.actions[iId] = pAction;
    return pAction;
}

// Fills the main window's menu bar from a table.
template <size_t N>
void BuildMenuBar(QMenuBar *pBar, const MenuRow (&rows)[N])
{
    pBar->clear();
    sg_Menu.actions.clear();
    sg_Menu.pFilePopup = nullptr;
    QMenu *pPopup = nullptr;
    for (const MenuRow &row : rows) {
        if (row.bPopup) {
            pPopup = pBar->addMenu(QString::fromUtf8(row.pszCaption));
            if (sg_Menu.pFilePopup == nullptr) sg_Menu.pFilePopup = pPopup;
            QObject::connect(pPopup, &QMenu::aboutToShow, InitMenuPopup);
        } else if (row.pszCaption == nullptr) {
            pPopup->addSeparator();
        } else {
            AddItem(pPopup, row.iId, row.pszCaption);
        }
    }
}

bool ModelLoaded(void) { return NKModelHasGeometry(); }

bool InfoShown(void) { return g_pViewSettings != nullptr && g_pViewSettings->bShowInfo != 0; }

bool TextShown(void)
{
    return g_pViewSettings != nullptr &&
           (g_pViewSettings->bShowStep != 0 || g_pViewSettings->bShowUserText != 0);
}

bool LegendShown(void) { return g_pViewSettings != nullptr && g_pViewSettings->bShowLegend != 0; }

bool MovingAsOutline(void)
{
    return g_pViewSettings != nullptr && g_pViewSettings->iMoveMode == NK_MOVE_OUTLINE;
}

// Whether the loaded steps can be animated at all: more than one frame in
// memory or more than one step in the data source.
bool CanAnimate(void)
{
    return (g_pModel != nullptr && g_pModel->iNumFrames > 1) || NKGetInterfaceNumSteps() > 1;
}

int AnimationType(void) { return g_pModel != nullptr ? g_pModel->animationType : 0; }

void Run(const char *pszLine) { ExecuteCommand(pszLine); }

int RunFormatted(const NKString &line) { return ExecuteUICommand(line); }

// The type-detecting "open" of a chosen or recent file name, so that every
// file the viewer reads opens from the window and the site's "fileopen.qlc"
// runs after it; the view is invalidated. A name that would break the
// command line runs nothing.
void OpenFile(const NKString &name)
{
    NKString line;
    if (!NKPathCommandLine("open", name.GetText(), &line)) return;
    RunFormatted(line);
    NKInvalidateView();
}

int CommandRecentFile(int iId)
{
    const int iIndex = iId - NK_MENU_RECENT_FIRST;
    if (iIndex >= NK_NUM_RECENT_FILES) {
        NKDiagnostic("Illegal MRU file selected", "CommandHandler");
        return 1;
    }
    OpenFile(NKGetRecentFile(iIndex));
    return 0;
}

bool AllPartsMesh(void) { return NKAllPartsMesh(); }
bool Walking(void) { return NKGetNavigationMode() == NK_NAVIGATION_WALK; }

// The display and view items that run a command line: pszLine, or
// pszLineOn while their state is on; bCheck: the check mark shows it.
struct LineItem {
    int iId;
    const char *pszLine;
    const char *pszLineOn;
    bool (*pfnState)(void);
    bool bCheck;
};

const LineItem sg_aLineItems[] = {
    {NK_MENU_SURFACE, "surface 0 0", nullptr, nullptr, false},
    {NK_MENU_LINES, "lines 0 0", nullptr, nullptr, false},
    {NK_MENU_POINTS, "points 0 0", nullptr, nullptr, false},
    {NK_MENU_OUTLINE, "outline", nullptr, nullptr, false},
    {NK_MENU_HIDDENLINES, "hiddenlines", nullptr, nullptr, false},
    {NK_MENU_MESH, "mesh", "nomesh", AllPartsMesh, true},
    {NK_MENU_INFO, "info", "noinfo", InfoShown, true},
    {NK_MENU_LEGEND, "legend", "nolegend", LegendShown, true},
    {NK_MENU_WALK, "walk", "study", Walking, true},
    {NK_MENU_MOVEASOUTLINE, "moveasoutline", "moveasnormal", MovingAsOutline, true},
};

// The display, view and window items, as the tool bar runs them too.
bool RunViewItem(int iId)
{
    for (const LineItem &item : sg_aLineItems) {
        if (item.iId != iId) continue;
        Run(item.pszLineOn != nullptr && item.pfnState() ? item.pszLineOn : item.pszLine);
        return true;
    }
    if (iId == NK_MENU_TEXT) {
        NKToggleTextInfo();
        return true;
    }
    if (iId == NK_MENU_RESETVIEW) {
        NKResetViewCommand();
        return true;
    }
    return false;
}

// The animation items. A held-in-memory model runs pszInMemory; otherwise
// the data source steps with pszFromSource (null: nothing), or, for the
// plays (bAllSteps), first sets up every step as a frame through Play
// (commands/nk_play_steps.h), the backward play then running its animation
// line as well (bRunAfterSetup).
struct AnimationItem {
    int iId;
    const char *pszInMemory;
    const char *pszFromSource;
    bool bAllSteps;
    bool bRunAfterSetup;
};

const AnimationItem sg_aAnimationItems[] = {
    {NK_MENU_PLAYBACKWARD, "anim_run 0 -1", nullptr, true, true},
    {NK_MENU_STEPBACKWARD, "anim_run -1 0", "readstate prev", false, false},
    {NK_MENU_PAUSE, "anim_run -1 -1", nullptr, false, false},
    {NK_MENU_STOP, "noanim", "readstate first", false, false},
    {NK_MENU_STEPFORWARD, "anim_run 1 0", "readstate next", false, false},
    {NK_MENU_PLAY, "anim_run 0 0", nullptr, true, false},
};

void Animate(const AnimationItem &item)
{
    if (NKIsModelHeldInMemory()) {
        Run(item.pszInMemory);
    } else if (item.bAllSteps) {
        if (NKPlayAllSteps() && item.bRunAfterSetup) Run(item.pszInMemory);
    } else if (item.pszFromSource != nullptr) {
        Run(item.pszFromSource);
    }
}

bool RunAnimationItem(int iId)
{
    for (const AnimationItem &item : sg_aAnimationItems) {
        if (item.iId != iId) continue;
        Animate(item);
        return true;
    }
    return false;
}

void CheckDrawStyle(void)
{
    const int aiIds[] = {NK_MENU_SURFACE, NK_MENU_LINES, NK_MENU_POINTS, NK_MENU_OUTLINE,
                         NK_MENU_HIDDENLINES};
    const int iStyle = NKCurrentDrawStyle();
    for (int i = 0; i < 5; i++) NKCheckMenuItem(aiIds[i], i == iStyle);
}

// The recent files go before "E&xit", numbered by their place in the list,
// with a separator after them when there is one.
void InsertRecentFiles(void)
{
    QMenu *pFile = sg_Menu.pFilePopup;
    if (pFile == nullptr) return;
    for (int iId = NK_MENU_RECENT_FIRST; iId <= NK_MENU_RECENT_SEPARATOR; iId++) {
        if (QAction *pOld = FindAction(iId)) {
            pFile->removeAction(pOld);
            delete pOld;
            sg_Menu.actions.erase(iId);
        }
    }
    QAction *pExit = FindAction(NK_MENU_EXIT);
    const NKString cwd = NKString(QDir::currentPath().toUtf8().constData());
    bool bAny = false;
    for (int i = 0; i < NK_NUM_RECENT_FILES; i++) {
        const NKString &name = NKGetRecentFile(i);
        if (name.IsEmpty()) continue;
        NKString shown = NKAbbreviatePath(name, cwd);
        QString caption = QString("&%1 %2").arg(i + 1).arg(QString::fromUtf8(shown.GetText()));
        QAction *pItem = AddItem(pFile, NK_MENU_RECENT_FIRST + i, "");
        pItem->setText(caption);
        pFile->removeAction(pItem);
        pFile->insertAction(pExit, pItem);
        bAny = true;
    }
    if (!bAny) return;
    QAction *pSeparator = new QAction(pFile);
    pSeparator->setSeparator(true);
    pSeparator->setData(NK_MENU_RECENT_SEPARATOR);
    pFile->insertAction(pExit, pSeparator);
    sg_Menu.actions[NK_MENU_RECENT_SEPARATOR] = pSeparator;
}

}  // namespace

int CommandHandler(int iId)
{
    if (!sg_Menu.bShown || FindAction(iId) == nullptr) return 1;
    if (RunViewItem(iId) || RunAnimationItem(iId)) return 0;
    if (iId >= NK_MENU_RECENT_FIRST && iId <= NK_MENU_RECENT_LAST) return CommandRecentFile(iId);
    switch (iId) {
    case NK_MENU_OPEN:
        NKOpenFileCommand();
        break;
    case NK_MENU_EXIT:
        if (AnimationType() != 0) NKStopTimer(2);
        NKDestroyMainWindow();
        break;
    case NK_MENU_FULLSCREEN:
        Run(g_bFullScreenActive != 0 ? "nofullscreen" : "fullscreen");
        break;
    case NK_MENU_TOOLBAR:
        Run(g_bToolbarShown != 0 ? "notoolbar" : "toolbar");
        break;
    case NK_MENU_STATUSBAR:
        Run(g_bStatusbarShown != 0 ? "nostatusbar" : "statusbar");
        break;
    case NK_MENU_INFOWINDOW:
        Run("showinfodialog");
        break;
    case NK_MENU_PARTS:
        ShowPartAttributesDialog(1);
        break;
    case NK_MENU_ABOUT:
        NKRunAboutBox();
        break;
    default:
        break;
    }
    return 0;
}

bool NKRunMenuViewItem(int iId) { return RunViewItem(iId) || RunAnimationItem(iId); }

bool NKOpenFileCommand(void)
{
    NKString name;
    if (!NKOpenNKFFileDialog(&name)) return false;
    OpenFile(name);
    return true;
}

void InitMenuPopup(void)
{
    NKCheckMenuItem(NK_MENU_TOOLBAR, g_bToolbarShown != 0);
    NKCheckMenuItem(NK_MENU_STATUSBAR, g_bStatusbarShown != 0);
    NKUpdateToolbarButtons();
    for (const LineItem &item : sg_aLineItems)
        if (item.bCheck) NKCheckMenuItem(item.iId, item.pfnState());
    NKCheckMenuItem(NK_MENU_TEXT, TextShown());
    CheckDrawStyle();
    const bool bAnimate = CanAnimate();
    for (int iId = NK_MENU_PLAYBACKWARD; iId <= NK_MENU_PLAY; iId++)
        if (QAction *pAction = FindAction(iId)) pAction->setEnabled(bAnimate);
    NKCheckMenuItem(NK_MENU_PLAY, AnimationType() == 1);
    NKCheckMenuItem(NK_MENU_PLAYBACKWARD, AnimationType() == 2);
    InsertRecentFiles();
}

bool UpdateMenuChecks(void)
{
    const bool bLoaded = ModelLoaded();
    if (bLoaded != sg_Menu.bLastModelLoaded || sg_Menu.bForceRefresh) {
        NKEnableToolbarButtons();
        if (g_bMenuBarShown != 0) NKShowMenuBar(true);
        sg_Menu.bForceRefresh = false;
    }
    NKUpdateToolbarButtons();
    sg_Menu.bLastModelLoaded = bLoaded;
    return bLoaded;
}

void NKShowMenuBar(bool bShow)
{
    QMainWindow *pMain = NKGetMainWindow();
    if (pMain == nullptr) return;
    QMenuBar *pBar = pMain->menuBar();
    if (!bShow) {
        pBar->clear();
        sg_Menu.actions.clear();
        sg_Menu.pFilePopup = nullptr;
        sg_Menu.bShown = false;
        pBar->hide();
        NKLayOutViewNow();
        return;
    }
    if (ModelLoaded()) {
        BuildMenuBar(pBar, kFullMenu);
    } else {
        BuildMenuBar(pBar, kStartupMenu);
    }
    sg_Menu.bShown = true;
    pBar->show();
    NKLayOutViewNow();
}

void NKResetMenus(void) { sg_Menu = MenuState(); }

bool NKOpenNKFFileDialog(NKString *pFileName)
{
    QFileDialog dialog(NKGetMainWindow(), "Open NKF File");
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // "All Files" matches every name, with or without a dot.
    dialog.setNameFilters({"NKF Files (*.nkf)", "All Files (*)"});
    dialog.setObjectName("NKOpenNKFFileDialog");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    if (pFileName != nullptr) *pFileName = dialog.selectedFiles().first().toUtf8().constData();
    return true;
}

bool NKIsModelHeldInMemory(void)
{
    if (g_pModel == nullptr || g_pModel->iNumFrames <= 1 || g_pModel->pFrames == nullptr)
        return false;
    const NKFrame &first = g_pModel->pFrames[0];
    const NKFrame &second = g_pModel->pFrames[1];
    if (first.pTransformation == nullptr) return true;
    const bool bSharedScalar = first.pScalar != nullptr && first.pScalar == second.pScalar;
    const bool bSharedVector = first.pVector != nullptr && first.pVector == second.pVector;
    return !(bSharedScalar || bSharedVector);
}

void NKCheckMenuItem(int iItemId, bool bChecked)
{
    QAction *pAction = FindAction(iItemId);
    if (pAction == nullptr) return;
    pAction->setCheckable(true);
    pAction->setChecked(bChecked);
}

const char *NKGetMenuHelpText(int iItemId)
{
    auto it = kHelpTexts.find(iItemId);
    return it != kHelpTexts.end() ? it->second : nullptr;
}

QAction *NKGetMenuAction(int iItemId) { return FindAction(iItemId); }
