// app/nk_toolbar.cpp -- the tool bar (see nk_toolbar.h).
//
// A QToolBar of the main window with one checkable action per button; the
// button id is the action's data. A click runs the main window's command
// path; the check states only ever come from the display state (a click
// never toggles a button by itself), so a button shows what the model
// shows after its command ran. Each button has an image of its own, drawn
// as SVG in app/icons/ and built into the program as Qt resources. They
// are always the program's own, not the desktop icon theme's: a theme has
// images for only some of the buttons (none for the draw styles or Play
// backward), and a bar of mixed looks reads worse than one set.
#include "app/nk_toolbar.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QMainWindow>
#include <QPixmap>
#include <QToolBar>

#include <map>

#include "app/nk_about.h"
#include "app/nk_main_window.h"
#include "app/nk_menu_state.h"
#include "app/nk_menus.h"
#include "app/nk_still_layout.h"
#include "app/nk_view_window.h"
#include "commands/nk_command.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "readers/nk_data_source.h"
#include "render/nk_navigation.h"
#include "render/nk_view_settings.h"

uint8_t g_bToolbarShown = 1;

namespace {

enum {
    kOpen = 40256,
    kAbout = 40327,
    kSurface = 40354,
    kLines = 40355,
    kPoints = 40356,
    kOutline = 40357,
    kHiddenLines = 40358,
    kMesh = 40360,
    kWalk = 40275,
    kMoveAsOutline = 40276,
    kResetView = 40316,
    kInfo = 40318,
    kText = 40328,
    kLegend = 40319,
    kPlayBackward = 40320,
    kStepBackward = 40321,
    kPause = 40322,
    kStop = 40323,
    kStepForward = 40324,
    kPlay = 40325
};

// One button: its id (0 for a separator), whether it belongs to the
// draw-style group, its tooltip, the menu item it runs like (0: none) and
// its image, ":/toolbar/<name>.svg".
struct ButtonRow {
    int iId;
    bool bGroup;
    const char *pszTip;
    int iMenuId;
    const char *pszImage;
};

constexpr ButtonRow kButtons[] = {
    {kOpen, false, "Open", 0, "open"},
    {kAbout, false, "About", 0, "about"},
    {0, false, nullptr, 0, nullptr},
    {kSurface, true, "Show Model As Surface", NK_MENU_SURFACE, "surface"},
    {kLines, true, "Show Model As Lines", NK_MENU_LINES, "lines"},
    {kPoints, true, "Show Model As Points", NK_MENU_POINTS, "points"},
    {kOutline, true, "Show Model As Outlined", NK_MENU_OUTLINE, "outline"},
    {kHiddenLines, true, "Show Model As Hidden Lines", NK_MENU_HIDDENLINES, "hiddenlines"},
    {0, false, nullptr, 0, nullptr},
    {kMesh, false, "Turn mesh on/off", NK_MENU_MESH, "mesh"},
    {0, false, nullptr, 0, nullptr},
    {kWalk, false, "Walk/study", 0, "walk"},
    {kMoveAsOutline, false, "Move as outline/normal", NK_MENU_MOVEASOUTLINE, "moveasoutline"},
    {kResetView, false, "Reset view", NK_MENU_RESETVIEW, "resetview"},
    {0, false, nullptr, 0, nullptr},
    {kInfo, false, "Info box", NK_MENU_INFO, "info"},
    {kText, false, "Text", NK_MENU_TEXT, "text"},
    {kLegend, false, "Legend", NK_MENU_LEGEND, "legend"},
    {0, false, nullptr, 0, nullptr},
    {kPlayBackward, false, "Play backward", NK_MENU_PLAYBACKWARD, "playbackward"},
    {kStepBackward, false, "Step backward", NK_MENU_STEPBACKWARD, "stepbackward"},
    {kPause, false, "Pause", NK_MENU_PAUSE, "pause"},
    {kStop, false, "Stop", NK_MENU_STOP, "stop"},
    {kStepForward, false, "Step forward", NK_MENU_STEPFORWARD, "stepforward"},
    {kPlay, false, "Play", NK_MENU_PLAY, "play"},
};

const QSize kImageSize(17, 16);

struct Toolbar {
    QToolBar *pBar = nullptr;
    std::map<int, QAction *> actions;
};
Toolbar sg_Toolbar;

const ButtonRow *FindRow(int iId)
{
    for (const ButtonRow &row : kButtons)
        if (row.iId == iId && iId != 0) return &row;
    return nullptr;
}

QAction *FindAction(int iId)
{
    auto it = sg_Toolbar.actions.find(iId);
    return it != sg_Toolbar.actions.end() ? it->second : nullptr;
}

// The 17 x 16 image of a button. Null when it cannot be read (Qt's SVG
// plugins missing): the button then shows its tooltip's text.
QIcon MakeImage(const ButtonRow &row)
{
    QIcon image(QStringLiteral(":/toolbar/%1.svg").arg(QLatin1String(row.pszImage)));
    if (image.pixmap(kImageSize).isNull()) {
        NKDiagnostic("Tool-bar image not readable", "NKCreateToolbar");
        return QIcon();
    }
    return image;
}

// A click undoes Qt's own toggle first: the state tests set the checks.
// The draw-style group keeps the toggle, as its buttons are not refreshed
// after their commands.
void OnTriggered(QAction *pAction, int iId, bool bChecked)
{
    if (pAction->actionGroup() == nullptr) pAction->setChecked(!bChecked);
    NKMainWindowCommand(iId);
}

void AddButtons(QToolBar *pBar)
{
    auto *pGroup = new QActionGroup(pBar);
    pGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const ButtonRow &row : kButtons) {
        if (row.iId == 0) {
            pBar->addSeparator();
            continue;
        }
        QAction *pAction = pBar->addAction(MakeImage(row), QString::fromUtf8(row.pszTip));
        pAction->setData(row.iId);
        pAction->setToolTip(QString::fromUtf8(row.pszTip));
        pAction->setCheckable(true);
        if (row.bGroup) pAction->setActionGroup(pGroup);
        const int iId = row.iId;
        QObject::connect(pAction, &QAction::triggered,
                         [pAction, iId](bool bChecked) { OnTriggered(pAction, iId, bChecked); });
        sg_Toolbar.actions[row.iId] = pAction;
    }
}

bool CanAnimate(void)
{
    return (g_pModel != nullptr && g_pModel->iNumFrames >= 2) || NKGetInterfaceNumSteps() >= 2;
}

int AnimationType(void) { return g_pModel != nullptr ? g_pModel->animationType : 0; }

}  // namespace

bool NKCreateToolbar(void)
{
    QMainWindow *pMain = NKGetMainWindow();
    if (pMain == nullptr) {
        NKDiagnostic("Main window or toolbar bitmap not available", "NKCreateToolbar");
        return false;
    }
    if (sg_Toolbar.pBar != nullptr) return true;
    auto *pBar = new QToolBar("Toolbar", pMain);
    pBar->setObjectName("NKToolbar");
    pBar->setMovable(false);
    pBar->setFloatable(false);
    pBar->setIconSize(kImageSize);
    NKLayOutWithoutAnimation(pBar);
    AddButtons(pBar);
    pMain->addToolBar(Qt::TopToolBarArea, pBar);
    // Shown now, not when the event loop gets to the show the layout asks
    // for, so that the view's size is the one the bar leaves it.
    pBar->show();
    NKLayOutViewNow();
    sg_Toolbar.pBar = pBar;
    g_bToolbarShown = 1;
    NKCheckMenuItem(NK_MENU_TOOLBAR, true);
    NKEnableToolbarButtons();
    return true;
}

bool NKDestroyToolbar(void)
{
    if (sg_Toolbar.pBar == nullptr) return false;
    QMainWindow *pMain = NKGetMainWindow();
    if (pMain != nullptr) pMain->removeToolBar(sg_Toolbar.pBar);
    delete sg_Toolbar.pBar;
    NKLayOutViewNow();
    sg_Toolbar = Toolbar();
    g_bToolbarShown = 0;
    NKCheckMenuItem(NK_MENU_TOOLBAR, false);
    return true;
}

bool NKEnableToolbarButtons(void)
{
    if (sg_Toolbar.pBar == nullptr) return false;
    const bool bModel = NKModelHasGeometry();
    for (auto &entry : sg_Toolbar.actions) {
        entry.second->setEnabled(bModel);
        if (!bModel) entry.second->setChecked(false);
    }
    NKEnableToolbarButton(kOpen, true);
    NKEnableToolbarButton(kAbout, true);
    return true;
}

bool NKUpdateToolbarButtons(void)
{
    if (sg_Toolbar.pBar == nullptr) return false;
    const bool bAnimate = CanAnimate();
    for (int iId = kPlayBackward; iId <= kPlay; iId++) NKEnableToolbarButton(iId, bAnimate);
    const NKViewSettings *v = g_pViewSettings;
    NKCheckToolbarButton(kWalk, NKGetNavigationMode() == NK_NAVIGATION_WALK);
    NKCheckToolbarButton(kMoveAsOutline, v != nullptr && v->iMoveMode == NK_MOVE_OUTLINE);
    NKCheckToolbarButton(kMesh, NKAllPartsMesh());
    const int iStyle = NKCurrentDrawStyle();
    for (int i = 0; i < 5; i++) NKCheckToolbarButton(kSurface + i, i == iStyle);
    NKCheckToolbarButton(kInfo, v != nullptr && v->bShowInfo != 0);
    NKCheckToolbarButton(kText, v != nullptr && (v->bShowStep != 0 || v->bShowUserText != 0));
    NKCheckToolbarButton(kLegend, v != nullptr && v->bShowLegend != 0);
    NKCheckToolbarButton(kPlay, AnimationType() == 1);
    NKCheckToolbarButton(kPlayBackward, AnimationType() == 2);
    return true;
}

bool NKEnableToolbarButton(int iId, bool bEnable)
{
    QAction *pAction = iId >= 1 ? FindAction(iId) : nullptr;
    if (pAction == nullptr) return false;
    pAction->setEnabled(bEnable);
    return true;
}

// A disabled button keeps its state.
bool NKCheckToolbarButton(int iId, bool bCheck)
{
    QAction *pAction = iId >= 1 ? FindAction(iId) : nullptr;
    if (pAction == nullptr) return false;
    if (pAction->isEnabled()) pAction->setChecked(bCheck);
    return true;
}

bool MenuCommandHandler(int iId, int *piResult)
{
    *piResult = sg_Toolbar.pBar != nullptr ? 0 : 1;
    const ButtonRow *pRow = FindRow(iId);
    if (pRow == nullptr) {
        *piResult = 1;
        return false;
    }
    if (iId == kOpen) {
        NKOpenFileCommand();
    } else if (iId == kAbout) {
        NKRunAboutBox();
    } else if (iId == kWalk) {
        ExecuteCommand(NKGetNavigationMode() == NK_NAVIGATION_STUDY ? "walk" : "study");
    } else {
        NKRunMenuViewItem(pRow->iMenuId);
    }
    // The draw styles and the mesh are offered to the menus as well, which
    // do not hold these ids; the mesh refreshes the buttons first.
    if (iId == kMesh) NKUpdateToolbarButtons();
    if (pRow->bGroup || iId == kMesh) {
        *piResult = 1;
        return false;
    }
    return true;
}

const char *NKGetToolbarTipText(int iId)
{
    const ButtonRow *pRow = FindRow(iId);
    return pRow != nullptr ? pRow->pszTip : nullptr;
}

QToolBar *NKGetToolbarWindow(void) { return sg_Toolbar.pBar; }

QAction *NKGetToolbarAction(int iId) { return FindAction(iId); }
