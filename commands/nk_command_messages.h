// commands/nk_command_messages.h -- printers of the messages that concern one
// command: the command's name, a colon, a blank and the message, handed to
// the message output (core/nk_message.h) at the error or warning level.
// Every command handler and the interpreter's availability warnings use them.
#pragma once

#include "core/nk_string.h"

struct CommandTableEntry;

// "<name>: <message>" as an error. A null entry prints the message alone.
void NKCommandError(const CommandTableEntry *pEntry, const char *pszMessage);
// "<name>: <message>" as a warning. A null entry prints the message alone.
void NKCommandWarning(const CommandTableEntry *pEntry, const char *pszMessage);

// The ends of a handler that shows a change: the message as information, the
// view invalidated, NK_CMD_DONE. And of one that refuses: the message as the
// command's error, NK_CMD_FAILED.
int NKCommandDone(const char *pszMessage);
inline int NKCommandDone(const NKString &message) { return NKCommandDone(message.GetText()); }
int NKCommandFail(const CommandTableEntry *pEntry, const char *pszMessage);
inline int NKCommandFail(const CommandTableEntry *pEntry, const NKString &message)
{
    return NKCommandFail(pEntry, message.GetText());
}
