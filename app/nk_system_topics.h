// app/nk_system_topics.h -- the topic files of the general commands.
//
// NKCommandHandleSystem (nk_system_commands.cpp) keeps the bar, window,
// exit, version, request-server and registration commands and offers every
// other id to the topic handlers below in turn. Each has the signature of a
// command handler (commands/nk_command.h): it answers NK_CMD_NOT_MINE (3)
// and does nothing for an id that is not its own.
#pragma once

struct CommandTableEntry;

// sysinfo, openglinfo, showpixelformats, scrsz, mts (nk_system_reports.cpp).
int NKHandleReportCommands(CommandTableEntry *pEntry, const char *pszArguments);
// ls, dir, pwd, ";", cd, launch, dump (nk_shell_commands.cpp).
int NKHandleShellCommands(CommandTableEntry *pEntry, const char *pszArguments);
// pickinfo, nopickinfo, pickmode, selection_feedback, selectcolor,
// polygoninfo, nopolygoninfo, selectparts, unselectparts, hotspot
// (nk_pick_commands.cpp).
int NKHandlePickCommands(CommandTableEntry *pEntry, const char *pszArguments);
// grid2d, grid3d (nk_grid_commands.cpp).
int NKHandleGridCommands(CommandTableEntry *pEntry, const char *pszArguments);
// The drawing switches, the shell surface, erosion, mouse and keyboard
// navigation, tool tips, command debugging, swapdynatitle
// (nk_switch_commands.cpp).
int NKHandleSwitchCommands(CommandTableEntry *pEntry, const char *pszArguments);
// sound, sound add/del/file/on/off/highlight/nohighlight, nosound, audio,
// audio add/playat/stopat/freqat/volumeat/type, noaudio
// (nk_sound_commands.cpp).
int NKHandleSoundCommands(CommandTableEntry *pEntry, const char *pszArguments);
// print, tops, print pagesize/orientation/margins/pageinfo
// (nk_print_commands.cpp).
int NKHandlePrintCommands(CommandTableEntry *pEntry, const char *pszArguments);
