// commands/nk_shell_axes_command.h -- the shellaxes command: switches the
// drawing of the local axes and principal strain lines of picked LS-DYNA
// shells (readers/nk_shell_axes.h) and puts the selection list into element
// picking while either is on. The plot command handler calls it for the
// NK_CID_SHELLAXES rows.
#pragma once

struct CommandTableEntry;

// pszArguments: "PARAMS" and the words after the command ("coordsys on",
// "strains off", or nothing to report the switches). Returns 0, or 1 with
// the command error "Could not find sub command".
int NKShellAxesCommand(CommandTableEntry *pEntry, const char *pszArguments);
