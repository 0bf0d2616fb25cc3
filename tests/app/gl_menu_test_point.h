// tests/app/gl_menu_test_point.h -- where the window tests click an item of
// the shown in-view menu: the point of the 3-D view over the item, from the
// matrices and viewport the last frame drew with.
#pragma once

#include <GL/glu.h>

#include <QPoint>

#include "app/nk_gl_menu.h"
#include "render/nk_scene_view.h"

inline QPoint NKTestMenuItemPoint(int iId)
{
    const NKGLMenuItem *pItem = NKGLMenuFindItem(g_pGLMenu->root, iId);
    double adModelView[16];
    NKGLMenuModelView(g_pGLMenu, adModelView);
    double wx = 0, wy = 0, wz = 0;
    gluProject(pItem->level * 0.25 + 0.1, -pItem->slot * 0.058 - 0.029, pItem->level * 0.01,
               adModelView, g_adSavedProjection, g_aiSavedViewport, &wx, &wy, &wz);
    return QPoint(int(wx), int(g_aiSavedViewport[3] - wy));
}
