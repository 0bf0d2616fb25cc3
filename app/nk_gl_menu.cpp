// app/nk_gl_menu.cpp -- the in-view menu's item tree and the `usermenu`
// sub-commands (see nk_gl_menu.h). Items form a tree of next links (one
// slot down) and branch links (one level deeper, same slot); adding or
// deleting an item moves everything behind it along the next chain.
#include "app/nk_gl_menu.h"

#include <strings.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "commands/nk_argument_scan.h"
#include "core/nk_string.h"

NKGLMenu *g_pGLMenu = nullptr;

namespace {

// The id of the most recently added item; reference id -1 stands for it.
int sg_iLastAddedId = 0;

void CopyText(char *pszOut, const char *pszText)
{
    std::snprintf(pszOut, 256, "%s", pszText != nullptr ? pszText : "");
}

void Normalise(float *v)
{
    const float fLength = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (fLength > 0.0f)
        for (int i = 0; i < 3; i++) v[i] /= fLength;
}

// Moves every item of the chain, with their branches, by iDelta slots.
void ShiftSlots(NKGLMenuItem *pItem, int iDelta)
{
    for (; pItem != nullptr; pItem = pItem->next) {
        pItem->slot += iDelta;
        ShiftSlots(pItem->branch, iDelta);
    }
}

bool IsAncestorLevelBranch(const NKGLMenuItem *pItem, const NKGLMenuItem *pKeep)
{
    return pItem->branch != nullptr && pItem->level < pKeep->level;
}

// The sub-command keyword test: the token agrees with the keyword in its
// first iLetters characters.
bool Matches(const NKString &token, const char *pszKeyword, int iLetters)
{
    return strncasecmp(token.GetText(), pszKeyword, iLetters) == 0;
}

bool NextInt(NKArgumentScan *pScan, int *piOut)
{
    const NKString token = pScan->NextToken();
    if (token.IsEmpty()) return false;
    *piOut = std::atoi(token.GetText());
    return true;
}

// The rest of the line up to a "^", trimmed.
NKString RestText(NKArgumentScan *pScan)
{
    NKString rest = pScan->Rest();
    std::string text(rest.GetText());
    const size_t iCaret = text.find('^');
    if (iCaret != std::string::npos) text.resize(iCaret);
    NKString out(text.c_str());
    out.Trim();
    return out;
}

// "add" and "branch": id [reference id [text]].
bool AddCommand(NKArgumentScan *pScan, bool bBranch)
{
    int iId = 0;
    if (!NextInt(pScan, &iId)) return false;
    int iReference = 0;
    NextInt(pScan, &iReference);
    NKString text = RestText(pScan);
    if (text.IsEmpty()) text = NKString::FromFormat("Button %d", iId);
    return NKGLMenuAddItem(iId, text.GetText(), g_pGLMenu, iReference, bBranch, false) != nullptr;
}

bool NewCommand(NKArgumentScan *pScan)
{
    int iId = 0;
    NextInt(pScan, &iId);
    NKString title = RestText(pScan);
    if (title.IsEmpty()) title = NKString::FromFormat("Menu %d", iId);
    // A refused id leaves the present menu in place.
    NKGLMenu *pMenu = NKCreateGLMenu(iId, title.GetText());
    if (pMenu == nullptr) return false;
    NKDestroyGLMenu();
    g_pGLMenu = pMenu;
    return true;
}

bool IdCommand(NKArgumentScan *pScan, bool bPress)
{
    int iId = 0;
    if (!NextInt(pScan, &iId)) return false;
    return bPress ? NKGLMenuPressItem(g_pGLMenu, iId, true) : NKGLMenuDeleteItem(g_pGLMenu, iId);
}

}  // namespace

NKGLMenu *NKCreateGLMenu(int iId, const char *pszTitle)
{
    if (iId < 0) return nullptr;
    NKGLMenu *pMenu = new (std::nothrow) NKGLMenu;
    if (pMenu == nullptr) return nullptr;
    pMenu->id = iId;
    CopyText(pMenu->title, pszTitle);
    const float *x = pMenu->xAxis, *y = pMenu->yAxis;
    pMenu->normal[0] = x[1] * y[2] - x[2] * y[1];
    pMenu->normal[1] = x[2] * y[0] - x[0] * y[2];
    pMenu->normal[2] = x[0] * y[1] - x[1] * y[0];
    Normalise(pMenu->xAxis);
    Normalise(pMenu->yAxis);
    Normalise(pMenu->normal);
    return pMenu;
}

void NKFreeGLMenuItems(NKGLMenuItem *pItem)
{
    while (pItem != nullptr) {
        NKGLMenuItem *pNext = pItem->next;
        NKFreeGLMenuItems(pItem->branch);
        delete pItem;
        pItem = pNext;
    }
}

void NKDeleteGLMenu(NKGLMenu *pMenu)
{
    if (pMenu == nullptr) return;
    NKFreeGLMenuItems(pMenu->root);
    delete pMenu;
}

void NKDestroyGLMenu(void)
{
    NKDeleteGLMenu(g_pGLMenu);
    g_pGLMenu = nullptr;
}

NKGLMenuItem *NKGLMenuFindItem(NKGLMenuItem *pTree, int iId)
{
    for (NKGLMenuItem *p = pTree; p != nullptr; p = p->next) {
        if (p->id == iId) return p;
        if (NKGLMenuItem *pFound = NKGLMenuFindItem(p->branch, iId)) return pFound;
    }
    return nullptr;
}

NKGLMenuItem *NKGLMenuFindParent(NKGLMenuItem *pTree, int iId)
{
    for (NKGLMenuItem *p = pTree; p != nullptr; p = p->next) {
        if ((p->next != nullptr && p->next->id == iId) ||
            (p->branch != nullptr && p->branch->id == iId))
            return p;
        if (NKGLMenuItem *pFound = NKGLMenuFindParent(p->branch, iId)) return pFound;
    }
    return nullptr;
}

NKGLMenuItem *NKGLMenuAddItem(int iId, const char *pszText, NKGLMenu *pMenu, int iReference,
                              bool bBranch, bool bDisabled)
{
    if (iId < 0 || pMenu == nullptr) return nullptr;
    if (pMenu->root == nullptr) sg_iLastAddedId = 0;
    if (iReference == -1) iReference = sg_iLastAddedId;
    NKGLMenuItem *pItem = new (std::nothrow) NKGLMenuItem;
    if (pItem == nullptr) return nullptr;
    pItem->id = iId;
    CopyText(pItem->text, pszText);
    if (pMenu->root == nullptr) {
        pMenu->root = pItem;
    } else {
        NKGLMenuItem *pRef = NKGLMenuFindItem(pMenu->root, iReference);
        if (pRef == nullptr) {
            delete pItem;
            return nullptr;
        }
        if (bBranch) {
            pItem->slot = pRef->slot;
            pItem->level = pRef->level + 1;
            pItem->next = pRef->branch;
            pRef->branch = pItem;
        } else {
            pItem->slot = pRef->slot + 1;
            pItem->level = pRef->level;
            pItem->next = pRef->next;
            pRef->next = pItem;
        }
        ShiftSlots(pItem->next, 1);
    }
    pItem->disabled = bDisabled ? 1 : 0;
    sg_iLastAddedId = iId;
    return pItem;
}

bool NKGLMenuDeleteItem(NKGLMenu *pMenu, int iId)
{
    if (pMenu == nullptr) return false;
    NKGLMenuItem *pParent = NKGLMenuFindParent(pMenu->root, iId);
    if (pParent == nullptr) return false;
    NKGLMenuItem **ppLink =
        pParent->next != nullptr && pParent->next->id == iId ? &pParent->next : &pParent->branch;
    NKGLMenuItem *pItem = *ppLink;
    *ppLink = pItem->next;
    NKFreeGLMenuItems(pItem->branch);
    delete pItem;
    ShiftSlots(*ppLink, -1);
    return true;
}

void NKGLMenuCloseBranches(NKGLMenuItem *pTree, const NKGLMenuItem *pKeep)
{
    for (NKGLMenuItem *p = pTree; p != nullptr; p = p->next) {
        if (p != pKeep && (pKeep == nullptr || !IsAncestorLevelBranch(p, pKeep)))
            p->pressed = p->open = 0;
        NKGLMenuCloseBranches(p->branch, pKeep);
    }
}

bool NKGLMenuPressItem(NKGLMenu *pMenu, int iId, bool bOpen)
{
    if (pMenu == nullptr) return false;
    NKGLMenuItem *pItem = NKGLMenuFindItem(pMenu->root, iId);
    if (pItem == nullptr) return false;
    NKGLMenuCloseBranches(pMenu->root, pItem);
    if (pItem->disabled) return true;
    pItem->pressed = 1;
    if (bOpen) pItem->open = 1;
    return true;
}

bool NKGLMenuSetItemText(NKGLMenu *pMenu, int iId, const char *pszText)
{
    NKGLMenuItem *pItem = pMenu != nullptr ? NKGLMenuFindItem(pMenu->root, iId) : nullptr;
    if (pItem == nullptr) return false;
    CopyText(pItem->text, pszText);
    return true;
}

bool NKGLMenuSetItemEnabled(NKGLMenu *pMenu, int iId, bool bEnabled)
{
    NKGLMenuItem *pItem = pMenu != nullptr ? NKGLMenuFindItem(pMenu->root, iId) : nullptr;
    if (pItem == nullptr) return false;
    pItem->disabled = bEnabled ? 0 : 1;
    return true;
}

bool NKGLMenuSetItemChecked(NKGLMenu *pMenu, int iId, bool bChecked)
{
    NKGLMenuItem *pItem = pMenu != nullptr ? NKGLMenuFindItem(pMenu->root, iId) : nullptr;
    if (pItem == nullptr) return false;
    pItem->checked = bChecked ? 1 : 0;
    return true;
}

bool NKGLMenuCheckOnly(NKGLMenuItem *pTree, int iId)
{
    bool bFound = false;
    for (NKGLMenuItem *p = pTree; p != nullptr; p = p->next) {
        if (p->id == iId) {
            bFound = true;
            p->checked = p->disabled ? p->checked : 1;
        } else {
            p->checked = 0;
        }
        if (NKGLMenuCheckOnly(p->branch, iId)) bFound = true;
    }
    return bFound;
}

bool NKGLMenuIsItemEnabled(NKGLMenu *pMenu, int iId)
{
    const NKGLMenuItem *pItem = pMenu != nullptr ? NKGLMenuFindItem(pMenu->root, iId) : nullptr;
    return pItem != nullptr && !pItem->disabled;
}

bool NKBuildTestMenu(void)
{
    NKDestroyGLMenu();
    g_pGLMenu = NKCreateGLMenu(0, "Test Menu");
    if (g_pGLMenu == nullptr) return false;
    struct TestMenuRow {
        int iId;
        const char *pszText;
        int iReference;
        bool bBranch;
    };
    const TestMenuRow rows[] = {
        {1, "Button (1)", 0, false},           {100, "Branch (100)", 1, false},
        {2, "Button (2)", 100, false},         {200, "Branch (200)", 2, false},
        {300, "Branch (300)", 200, false},     {3, "Button (3)", 300, false},
        {4, "Button (4)", 3, false},           {101, "Sub button (101)", 100, true},
        {102, "Sub button (102)", 101, false}, {103, "Sub button (103)", 102, false},
        {201, "Sub button (201)", 200, true},  {301, "Sub button (301)", 300, true},
        {302, "Sub button (302)", 301, false}};
    for (const TestMenuRow &row : rows)
        if (NKGLMenuAddItem(row.iId, row.pszText, g_pGLMenu, row.iReference, row.bBranch, false) ==
            nullptr)
            return false;
    g_pGLMenu->shown = 1;
    return true;
}

bool NKGLMenuCommand(NKArgumentScan *pScan)
{
    if (pScan == nullptr) return false;
    const NKString word = pScan->NextToken();
    if (word.IsEmpty()) return false;
    if (Matches(word, "test", 3)) return NKBuildTestMenu();
    if (Matches(word, "resetview", 5)) {
        if (g_pGLMenu == nullptr) return false;
        g_pGLMenu->offsetX = g_pGLMenu->offsetY = 0.0f;
        g_pGLMenu->offsetZ = -0.8f;
        return true;
    }
    if (Matches(word, "res", 3)) return NKBuildResultsMenu(&g_pGLMenu);
    if (Matches(word, "new", 3)) return NewCommand(pScan);
    if (Matches(word, "press", 5)) return IdCommand(pScan, true);
    if (Matches(word, "show", 4) || Matches(word, "hide", 4)) {
        if (g_pGLMenu != nullptr) g_pGLMenu->shown = Matches(word, "show", 4) ? 1 : 0;
        return true;
    }
    if (Matches(word, "del", 3)) return IdCommand(pScan, false);
    if (Matches(word, "add", 3)) return AddCommand(pScan, false);
    if (Matches(word, "branch", 5)) return AddCommand(pScan, true);
    if (Matches(word, "kill", 4)) {
        NKDestroyGLMenu();
        return true;
    }
    return false;
}
