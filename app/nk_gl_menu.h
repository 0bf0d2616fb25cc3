// app/nk_gl_menu.h -- the in-view menu: a cascading menu of flat buttons
// drawn with OpenGL inside the 3-D scene, in front of the model, for
// full-screen and stereo display where no window menu exists. At most one
// exists (g_pGLMenu). The `usermenu` command builds it item by item or as
// the Results Menu or the test menu; the 3-D view operates it while F2 is
// held (app/nk_view_input.cpp) and the scene's overlay step draws it through
// the shell hooks' menu slot. Each action of the Results Menu is a command
// line. Tree and commands: nk_gl_menu.cpp; drawing and picking:
// nk_gl_menu_draw.cpp; the Results Menu: nk_gl_menu_results.cpp.
#pragma once

#include <cstdint>
#include <string>

class NKArgumentScan;

struct NKGLMenuItem {
    int32_t id = -1;
    char text[256] = {0};
    int32_t slot = 0;   // vertical position, 0 for the root, counted downwards
    int32_t level = 0;  // branch depth, 0 for the root's list
    uint8_t pressed = 0;
    uint8_t open = 0;  // its branch is shown
    uint8_t checked = 0;
    uint8_t disabled = 0;
    float faceColor[3] = {0.8f, 0.8f, 0.9f};
    float textColor[3] = {0.0f, 0.0f, 0.0f};
    float disabledTextColor[3] = {0.2f, 0.2f, 0.4f};
    NKGLMenuItem *next = nullptr;    // next item of the same list, one slot below
    NKGLMenuItem *branch = nullptr;  // first item of the list it opens
};

struct NKGLMenu {
    int32_t id = -1;
    char title[256] = {0};
    float offsetX = 0.0f, offsetY = 0.0f, offsetZ = -0.8f;
    // The offsets' limits while the view drags the menu.
    float xMax = 0.5f, xMin = -0.5f, yMax = 0.5f, yMin = -0.5f, zMin = -1.0f, zMax = 0.0f;
    float depthStep = 0.01f;  // per branch level
    float pressedFaceColor[3] = {0.0f, 0.0f, 1.0f};
    float itemWidth = 0.5f, itemHeight = 0.058f;
    float insetX = 0.01f, insetY = 0.004f;
    float textScaleX = 0.04f, textScaleY = 0.04f, textScaleZ = 0.0f;
    float textOffsetX = 0.05f, textOffsetY = 0.012f;
    float frontOffset = 0.003f;  // face, arrow and text in front of the button
    uint8_t shown = 0;
    uint8_t movingInPlane = 0;  // set and read by the 3-D view
    uint8_t movingInDepth = 0;
    float origin[3] = {0.0f, 0.0f, 0.0f};
    float xAxis[3] = {1.0f, 0.0f, 0.0f};
    float yAxis[3] = {0.0f, 1.0f, 0.0f};
    float normal[3] = {0.0f, 0.0f, 1.0f};
    float placement[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    NKGLMenuItem *root = nullptr;
    // Set on the Results Menu, whose items 1 to 3 show the current scalar,
    // vector and step; the drawing refreshes its texts, checks and enabled
    // states only there, so that an item 3 of another menu keeps its own text.
    uint8_t bResultsMenu = 0;
    // The Results Menu's model: the data source and result lists it lists
    // (NKResultsMenuFollowModel compares it with the model now).
    std::string builtFor;
};

// The one in-view menu; null when there is none (at start-up).
extern NKGLMenu *g_pGLMenu;

// A new, empty, hidden menu with the default geometry; null for a negative
// id or when memory fails.
NKGLMenu *NKCreateGLMenu(int iId, const char *pszTitle);
// Frees the item tree and the menu (null: nothing).
void NKDeleteGLMenu(NKGLMenu *pMenu);
// Frees an item tree along both links.
void NKFreeGLMenuItems(NKGLMenuItem *pItem);
// Deletes g_pGLMenu; shut-down calls it.
void NKDestroyGLMenu(void);

// Adds an item after the reference item (-1: the last added), or as the
// first item of its branch; null for a negative id, a missing menu or an
// unknown reference.
NKGLMenuItem *NKGLMenuAddItem(int iId, const char *pszText, NKGLMenu *pMenu, int iReference,
                              bool bBranch, bool bDisabled);
// Removes the item and its branch; the root cannot be removed.
bool NKGLMenuDeleteItem(NKGLMenu *pMenu, int iId);
NKGLMenuItem *NKGLMenuFindItem(NKGLMenuItem *pTree, int iId);
// The item whose next or branch link holds the item with the id.
NKGLMenuItem *NKGLMenuFindParent(NKGLMenuItem *pTree, int iId);
bool NKGLMenuPressItem(NKGLMenu *pMenu, int iId, bool bOpen);
// Clears pressed and open of every item but pKeep and the open ancestors
// of pKeep (every item when pKeep is null).
void NKGLMenuCloseBranches(NKGLMenuItem *pTree, const NKGLMenuItem *pKeep);
bool NKGLMenuSetItemText(NKGLMenu *pMenu, int iId, const char *pszText);
bool NKGLMenuSetItemEnabled(NKGLMenu *pMenu, int iId, bool bEnabled);
bool NKGLMenuSetItemChecked(NKGLMenu *pMenu, int iId, bool bChecked);
// Checks the item (unless disabled) and unchecks every other item.
bool NKGLMenuCheckOnly(NKGLMenuItem *pTree, int iId);
bool NKGLMenuIsItemEnabled(NKGLMenu *pMenu, int iId);

// Draws the menu in the current model-view matrix; false when there is no
// menu or no item.
bool NKDrawGLMenu(NKGLMenu *pMenu);
// The model-view matrix the menu is drawn and picked under: the
// projection's start matrix, moved by the offsets, then the placement.
void NKGLMenuModelView(const NKGLMenu *pMenu, double adOut[16]);
// Draws g_pGLMenu when it is shown, under NKGLMenuModelView (the scene's
// overlay step calls it through the shell hooks).
void NKDrawShownGLMenu(void);
// The id of the item under the mouse (x, y counted downwards), pressing
// it; -1 when none. Hovering (bOpen false) considers only the deepest
// visible level; a click that misses closes every branch.
int NKGLMenuPickAt(NKGLMenu *pMenu, const double *pdModelView, const double *pdProjection,
                   const int *piViewport, int x, int y, bool bOpen);

// Runs the command line of an item; true when one was run. A scalar result
// read while no part shows fringes switches the fringes on ("fringes").
// Launch Animation plays as Play does (commands/nk_play_steps.h), passing
// refused steps.
bool NKGLMenuExecuteItem(NKGLMenu *pMenu, int iId);
// The command line of an item (empty when it runs nothing).
void NKGLMenuItemCommand(const NKGLMenu *pMenu, int iId, char *pszOut, int iSize);
void NKGLMenuUpdateResultsMenu(NKGLMenu *pMenu);
// The step text of the frame (-1: the current one) into item 3.
void NKGLMenuUpdateStepText(NKGLMenu *pMenu, int iFrame);
// Replaces *ppSlot by the Results Menu; false when it cannot be made.
bool NKBuildResultsMenu(NKGLMenu **ppSlot);
// After a load that changed the model (another source, other results, no
// model), a shown Results Menu in g_pGLMenu is built again for the new
// model where it was, and a hidden one is deleted, so that no item reads a
// result the model does not hold. The drawing and the view's clicks call it.
void NKResultsMenuFollowModel(void);
// Replaces g_pGLMenu by the test menu.
bool NKBuildTestMenu(void);

// One `usermenu` sub-command from the scan; true on success.
bool NKGLMenuCommand(NKArgumentScan *pScan);
