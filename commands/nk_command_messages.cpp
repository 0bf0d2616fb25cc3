// commands/nk_command_messages.cpp -- see nk_command_messages.h.
#include "commands/nk_command_messages.h"

#include <string>

#include "commands/nk_command.h"
#include "commands/nk_command_table.h"
#include "core/nk_message.h"
#include "core/nk_model_hooks.h"

namespace {

void PrintCommandMessage(const CommandTableEntry *pEntry, const char *pszMessage, int iLevel)
{
    std::string text;
    if (pEntry != nullptr) {
        text = pEntry->name;
        text += ": ";
    }
    if (pszMessage != nullptr) text += pszMessage;
    NKPrintMessage(text.c_str(), iLevel);
}

}  // namespace

void NKCommandError(const CommandTableEntry *pEntry, const char *pszMessage)
{
    PrintCommandMessage(pEntry, pszMessage, NK_MSG_ERROR);
}

void NKCommandWarning(const CommandTableEntry *pEntry, const char *pszMessage)
{
    PrintCommandMessage(pEntry, pszMessage, NK_MSG_WARNING);
}

int NKCommandDone(const char *pszMessage)
{
    NKPrintInfo(pszMessage);
    NKInvalidateView();
    return NK_CMD_DONE;
}

int NKCommandFail(const CommandTableEntry *pEntry, const char *pszMessage)
{
    NKCommandError(pEntry, pszMessage);
    return NK_CMD_FAILED;
}
