// commands/nk_command_messages.h -- printers of the messages that concern one
// command: the command's name, a colon, a blank and the message, handed to
// the message output (core/nk_message.h) at the error or warning level.
// Every command handler and the interpreter's availability warnings use them.
#pragma once

struct CommandTableEntry;

// "<name>: <message>" as an error. A null entry prints the message alone.
void NKCommandError(const CommandTableEntry *pEntry, const char *pszMessage);
// "<name>: <message>" as a warning. A null entry prints the message alone.
void NKCommandWarning(const CommandTableEntry *pEntry, const char *pszMessage);
