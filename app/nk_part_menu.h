// app/nk_part_menu.h -- the popup menu about the parts that a right click
// with Ctrl or Shift opens in the 3-D view: hiding the selected or the
// unselected parts, showing all, swapping visibilities, the part
// visibilities dialog, and the camera's rotation point (model, selected
// part, or a node of the picked polygon).
//
// What the menu holds is decided by plain functions over the geometry and
// its pick record (NKBuildPartMenuModel, NKBuildNodeMenuModel), which tests
// read; the QMenu is made from that model, each item a QAction whose data
// is its id and data word. A choice becomes command lines through
// NKRunPartMenuChoice. The view's input (nk_view_input.cpp) opens it.
#pragma once

#include <string>
#include <vector>

class QMenu;
class QPoint;
class QAction;
class QWindow;
struct NKGeometry;
struct NKPickInfo;

// Item ids of the menu.
enum {
    NK_PARTMENU_HIDE_SELECTED = 33010,
    NK_PARTMENU_HIDE_UNSELECTED = 33011,
    NK_PARTMENU_SWAP = 33013,
    NK_PARTMENU_SHOW_ALL = 33014,
    NK_PARTMENU_VISIBILITIES = 33015,
    NK_PARTMENU_ROTATION_PART = 33200,
    NK_PARTMENU_ROTATION_MODEL = 33201,
    NK_PARTMENU_ROTATION_RESET = 33202,
    NK_PARTMENU_ROTATION_SHOW = 33203,
    NK_PARTMENU_ROTATION_NODE = 33204,     // up to five node items
    NK_PARTMENU_ROTATION_NODE_END = 33209  // one past the last
};

// One entry of a menu: an item (id, data word, text), a separator (id 0,
// no text, no submenu) or a submenu under a title (id 0).
struct NKMenuEntry {
    int iId = 0;
    int iData = 0;
    std::string text;
    std::vector<NKMenuEntry> submenu;
    bool bSubmenu = false;
};
typedef std::vector<NKMenuEntry> NKMenuModel;

// The part menu of the geometry; false (empty model) without a geometry.
bool NKBuildPartMenuModel(const NKGeometry *pGeo, NKMenuModel *pModel);
// The node items of the picked polygon: its first min(5, nodes) nodes in
// polygon order, ids from iFirstId (below iEndId), text and data the node's
// user ID. False (empty) without a pick of a part and polygon inside the
// geometry or when the polygon has no nodes.
bool NKBuildNodeMenuModel(const NKPickInfo *pPick, int iFirstId, int iEndId, const NKGeometry *pGeo,
                          NKMenuModel *pModel);

// The widgets over the models; the caller deletes the menu. Null where the
// model builders answer false.
QMenu *BuildPartContextMenu(const NKGeometry *pGeo);
QMenu *BuildNodeSubmenu(const NKPickInfo *pPick, int iFirstId, int iEndId, const NKGeometry *pGeo);
// Appends an item whose QAction carries the id and the data word.
void AppendMenuItemWithData(int iId, int iData, const char *pszText, QMenu *pMenu);
// The data word of the item with that id in the menu or its submenus; 0
// when there is none.
int GetMenuItemData(QMenu *pMenu, int iId);
// The id of an action made by AppendMenuItemWithData; 0 for any other.
int NKGetMenuItemId(const QAction *pAction);

// Runs what item iId (with its data word) stands for; iPickPart is the
// part of the geometry's pick record (-1 none), for the node items. 0 when
// every command ran, else the failing command's result; an unknown id
// runs nothing and answers 0.
int NKRunPartMenuChoice(int iId, int iData, int iPickPart);

// Opens the menu at (iX, iY), device pixels of the view, tracks it and
// runs the choice. False without a geometry. The buttons and keys of the
// input state are cleared first: the menu takes the mouse and keyboard.
bool ShowPartContextMenu(QWindow *pView, int iX, int iY, NKGeometry *pGeo);

// How a menu is tracked: the chosen action or null. The default waits for
// the user where one can answer (a display, CI not set) and chooses
// nothing otherwise. Tests install their own; null puts the default back.
// Returns the tracker installed before.
typedef QAction *(*NKMenuTracker)(QMenu *pMenu, const QPoint &globalPos);
NKMenuTracker NKSetPartMenuTracker(NKMenuTracker pfnTracker);
