// app/nk_part_menu.cpp -- the part context menu (see nk_part_menu.h).
#include "app/nk_part_menu.h"

#include <QAction>
#include <QMenu>
#include <QPoint>
#include <QVariant>
#include <QWindow>

#include <algorithm>

#include "app/nk_window_utils.h"
#include "commands/nk_command.h"
#include "core/nk_model.h"
#include "core/nk_part_lists.h"
#include "core/nk_references.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_string.h"
#include "render/nk_camera.h"
#include "render/nk_view_settings.h"

namespace {

NKMenuEntry Item(int iId, int iData, const std::string &text)
{
    NKMenuEntry entry;
    entry.iId = iId;
    entry.iData = iData;
    entry.text = text;
    return entry;
}

NKMenuEntry Submenu(const std::string &title, NKMenuModel items)
{
    NKMenuEntry entry;
    entry.text = title;
    entry.submenu = std::move(items);
    entry.bSubmenu = true;
    return entry;
}

bool RotationPointShown(void)
{
    return g_pViewSettings != nullptr && g_pViewSettings->bShowRotationPoint != 0;
}

// The "Rotation Point" submenu: show or hide, reset, model, the selected
// part when exactly one is, and the picked polygon's nodes.
NKMenuModel RotationPointModel(const NKGeometry *pGeo, int iSelected, int iFirst)
{
    NKMenuModel items;
    items.push_back(Item(NK_PARTMENU_ROTATION_SHOW, 0, RotationPointShown() ? "Hide" : "Show"));
    items.push_back(Item(NK_PARTMENU_ROTATION_RESET, 0, "Reset"));
    items.push_back(Item(NK_PARTMENU_ROTATION_MODEL, 0, "Model"));
    if (iSelected == 1) items.push_back(Item(NK_PARTMENU_ROTATION_PART, iFirst, "Selected Part"));
    const NKPickInfo &pick = pGeo->pickInfo;
    NKMenuModel nodes;
    if (pick.iPart >= 0 && pick.iPart < pGeo->iNumParts &&
        NKBuildNodeMenuModel(&pick, NK_PARTMENU_ROTATION_NODE, NK_PARTMENU_ROTATION_NODE_END, pGeo,
                             &nodes))
        items.push_back(Submenu("Node in Part " + std::to_string(pick.iPart + 1), nodes));
    return items;
}

void FillMenu(QMenu *pMenu, const NKMenuModel &model)
{
    for (const NKMenuEntry &entry : model) {
        if (entry.bSubmenu) {
            QMenu *pSub = pMenu->addMenu(QString::fromStdString(entry.text));
            FillMenu(pSub, entry.submenu);
        } else if (entry.iId == 0) {
            pMenu->addSeparator();
        } else {
            AppendMenuItemWithData(entry.iId, entry.iData, entry.text.c_str(), pMenu);
        }
    }
}

QMenu *MenuFromModel(const NKMenuModel &model)
{
    auto *pMenu = new QMenu;
    FillMenu(pMenu, model);
    return pMenu;
}

QAction *FindItem(QMenu *pMenu, int iId)
{
    if (pMenu == nullptr) return nullptr;
    for (QAction *pAction : pMenu->actions()) {
        if (NKGetMenuItemId(pAction) == iId) return pAction;
        if (QAction *pFound = FindItem(pAction->menu(), iId)) return pFound;
    }
    return nullptr;
}

// The menu waits for the user only where one can answer it.
QAction *DefaultTracker(QMenu *pMenu, const QPoint &globalPos)
{
    if (!NKCanWaitForUser()) return nullptr;
    return pMenu->exec(globalPos);
}

NKMenuTracker sg_pfnTracker = DefaultTracker;

int Run(const char *pszLine) { return ExecuteCommand(pszLine); }

}  // namespace

bool NKBuildPartMenuModel(const NKGeometry *pGeo, NKMenuModel *pModel)
{
    pModel->clear();
    if (pGeo == nullptr) return false;
    const int n = pGeo->pParts != nullptr ? pGeo->iNumParts : 0;
    int iFirst = -1, iLast = -1;
    const int s = NKCountSelectedParts(pGeo, &iFirst, &iLast);
    if (s > 0) {
        pModel->push_back(Item(NK_PARTMENU_HIDE_SELECTED, 0,
                               s == 1 ? "Hide Part " + std::to_string(iFirst + 1)
                                      : "Hide " + std::to_string(s) + " Selected Parts"));
        if (n - s > 0)
            pModel->push_back(Item(NK_PARTMENU_HIDE_UNSELECTED, 0,
                                   n - s == 1
                                       ? std::string("Hide Unselected Part")
                                       : "Hide " + std::to_string(n - s) + " Unselected Parts"));
    }
    pModel->push_back(Item(NK_PARTMENU_SHOW_ALL, 0, "Show All Parts"));
    pModel->push_back(Item(NK_PARTMENU_SWAP, 0, "Swap Part Visibilities"));
    pModel->push_back(Item(NK_PARTMENU_VISIBILITIES, 0, "Change Part Visibilities..."));
    pModel->push_back(NKMenuEntry());  // separator
    pModel->push_back(Submenu("Rotation Point", RotationPointModel(pGeo, s, iFirst)));
    return true;
}

bool NKBuildNodeMenuModel(const NKPickInfo *pPick, int iFirstId, int iEndId, const NKGeometry *pGeo,
                          NKMenuModel *pModel)
{
    pModel->clear();
    if (pPick == nullptr || pGeo == nullptr || pGeo->pParts == nullptr) return false;
    if (pPick->iPart < 0 || pPick->iPart >= pGeo->iNumParts || pPick->iPolygon < 0) return false;
    const NKPart &part = pGeo->pParts[pPick->iPart];
    if (pPick->iPolygon >= part.iNumPolygons || part.pPolygonStart == nullptr ||
        part.pPolygonNumNodes == nullptr || part.pConnects == nullptr)
        return false;
    const int iStart = part.pPolygonStart[pPick->iPolygon];
    const int iCount = std::min({5, part.pPolygonNumNodes[pPick->iPolygon], iEndId - iFirstId});
    // A polygon whose nodes run past the connectivity is damaged: no items.
    if (iStart < 0 || iCount <= 0 || iStart > part.iNumConnects - iCount) return false;
    for (int k = 0; k < iCount; k++) {
        const int iID = NKGetNodeID(pPick->iPart, part.pConnects[iStart + k], pGeo);
        pModel->push_back(Item(iFirstId + k, iID, std::to_string(iID)));
    }
    return true;
}

QMenu *BuildPartContextMenu(const NKGeometry *pGeo)
{
    NKMenuModel model;
    return NKBuildPartMenuModel(pGeo, &model) ? MenuFromModel(model) : nullptr;
}

QMenu *BuildNodeSubmenu(const NKPickInfo *pPick, int iFirstId, int iEndId, const NKGeometry *pGeo)
{
    NKMenuModel model;
    return NKBuildNodeMenuModel(pPick, iFirstId, iEndId, pGeo, &model) ? MenuFromModel(model)
                                                                       : nullptr;
}

void AppendMenuItemWithData(int iId, int iData, const char *pszText, QMenu *pMenu)
{
    if (pMenu == nullptr) return;
    QAction *pAction = pMenu->addAction(QString::fromUtf8(pszText != nullptr ? pszText : ""));
    pAction->setData(QVariantList{iId, iData});
}

int NKGetMenuItemId(const QAction *pAction)
{
    if (pAction == nullptr) return 0;
    const QVariantList words = pAction->data().toList();
    return words.size() == 2 ? words[0].toInt() : 0;
}

int GetMenuItemData(QMenu *pMenu, int iId)
{
    QAction *pAction = FindItem(pMenu, iId);
    if (pAction == nullptr) return 0;
    return pAction->data().toList()[1].toInt();
}

int NKRunPartMenuChoice(int iId, int iData, int iPickPart)
{
    if (iId >= NK_PARTMENU_ROTATION_NODE && iId < NK_PARTMENU_ROTATION_NODE_END)
        return Run(
            NKString::FromFormat("rotationpoint node %d,%d", iPickPart + 1, iData).GetText());
    switch (iId) {
    case NK_PARTMENU_HIDE_SELECTED: {
        const int iResult = ExecuteOnAllParts("unpost", "%d %d", true);
        NKSelectParts(-1, -1, 0);
        return iResult;
    }
    case NK_PARTMENU_HIDE_UNSELECTED:
        return ExecuteOnAllParts("unpost", "%d %d", false);
    case NK_PARTMENU_SWAP:
        return Run("swapparts");
    case NK_PARTMENU_SHOW_ALL:
        return Run("post 0 0");
    case NK_PARTMENU_VISIBILITIES:
        ShowPartAttributesDialog(1);
        return 0;
    case NK_PARTMENU_ROTATION_PART:
        return Run(NKString::FromFormat("rotationpoint part %d", iData + 1).GetText());
    case NK_PARTMENU_ROTATION_MODEL:
        return Run("rotationpoint model");
    case NK_PARTMENU_ROTATION_RESET:
        return Run("rotationpoint reset");
    case NK_PARTMENU_ROTATION_SHOW:
        return Run(RotationPointShown() ? "rotationpoint hide" : "rotationpoint show");
    default:
        return 0;
    }
}

bool ShowPartContextMenu(QWindow *pView, int iX, int iY, NKGeometry *pGeo)
{
    if (pGeo == nullptr) return false;
    const int iPickPart = pGeo->pickInfo.iPart;
    g_InputState.uButtons = 0;
    g_InputState.uKeys = 0;
    QPoint globalPos(iX, iY);
    if (pView != nullptr) {
        const qreal dRatio = pView->devicePixelRatio();
        globalPos = pView->mapToGlobal(QPoint(int(iX / dRatio), int(iY / dRatio)));
    }
    QMenu *pMenu = BuildPartContextMenu(pGeo);
    QAction *pChosen = pMenu != nullptr ? sg_pfnTracker(pMenu, globalPos) : nullptr;
    const int iId = NKGetMenuItemId(pChosen);
    const int iData = iId != 0 ? GetMenuItemData(pMenu, iId) : 0;
    delete pMenu;
    if (iId != 0) NKRunPartMenuChoice(iId, iData, iPickPart);
    return true;
}

NKMenuTracker NKSetPartMenuTracker(NKMenuTracker pfnTracker)
{
    NKMenuTracker pfnOld = sg_pfnTracker;
    sg_pfnTracker = pfnTracker != nullptr ? pfnTracker : DefaultTracker;
    return pfnOld;
}
