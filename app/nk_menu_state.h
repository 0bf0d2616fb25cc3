// app/nk_menu_state.h -- the command ids of the menu items and tool-bar
// buttons, and the display states that both show as check marks.
#pragma once

// Menu items.
enum {
    NK_MENU_SURFACE = 40005,
    NK_MENU_LINES = 40004,
    NK_MENU_POINTS = 40006,
    NK_MENU_ABOUT = 40022,
    NK_MENU_STATUSBAR = 40163,
    NK_MENU_TOOLBAR = 40164,
    NK_MENU_INFOWINDOW = 40237,
    NK_MENU_OUTLINE = 40239,
    NK_MENU_HIDDENLINES = 40240,
    NK_MENU_FULLSCREEN = 40313,
    NK_MENU_OPEN = 40329,
    NK_MENU_EXIT = 40330,
    NK_MENU_STEPBACKWARD = 40333,
    NK_MENU_PLAYBACKWARD = 40334,
    NK_MENU_PAUSE = 40335,
    NK_MENU_STOP = 40336,
    NK_MENU_PLAY = 40337,
    NK_MENU_STEPFORWARD = 40338,
    NK_MENU_INFO = 40339,
    NK_MENU_LEGEND = 40340,
    NK_MENU_TEXT = 40341,
    NK_MENU_RESETVIEW = 40342,
    NK_MENU_MOVEASOUTLINE = 40344,
    NK_MENU_WALK = 40345,
    NK_MENU_MESH = 40361,
    NK_MENU_PARTS = 80,
    // Recent files 1-4 and the separator after them; ids up to 34107 are
    // taken as recent files and refused past the fourth.
    NK_MENU_RECENT_FIRST = 34100,
    NK_MENU_RECENT_SEPARATOR = 34104,
    NK_MENU_RECENT_LAST = 34107
};

// The draw style all parts share: 0 surface, 1 lines, 2 points, 3 outline,
// 4 hidden lines (the first that holds), -1 none.
int NKCurrentDrawStyle(void);
// The "Text info" toggle: hides the step and user texts when either is
// shown, else shows the step text and, when the user has set one, the user
// text.
void NKToggleTextInfo(void);
// "Reset view": "autofocus" without a stored home view, else a "lookat" of
// it.
void NKResetViewCommand(void);
