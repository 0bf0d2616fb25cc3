// commands/nk_macros.cpp -- the macro list and the macro commands (see
// nk_macros.h).
#include "commands/nk_macros.h"

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_table.h"
#include "core/nk_file.h"
#include "core/nk_message.h"

MacroList g_MacroList;

bool Macro::FileExists() const
{
    if (file.IsBlank()) return false;
    return NKTestFileAccess(file.GetText(), NK_ACCESS_READ);
}

int MacroList::FindById(int iId) const
{
    if (iId < 0) return -1;
    for (size_t i = 0; i < m_Macros.size(); i++)
        if (m_Macros[i].id == iId) return (int)i;
    return -1;
}

Macro *MacroList::Get(int iIndex)
{
    if (iIndex < 0 || iIndex >= GetNumMacros()) return nullptr;
    return &m_Macros[iIndex];
}

Macro MacroList::GetCopy(int iIndex) const
{
    if (iIndex < 0 || iIndex >= GetNumMacros()) return Macro();
    return m_Macros[iIndex];
}

void MacroList::ListText(NKString *pText) const
{
    *pText = "";
    for (size_t i = 0; i < m_Macros.size(); i++) {
        if (i > 0) *pText += "\n";
        const Macro &macro = m_Macros[i];
        *pText += NKString::FromFormat("  %d: %s  (%s)", macro.id, macro.name.GetText(),
                                       macro.file.GetText());
    }
}

bool MacroList::Add(int iId, const char *pszName, const char *pszFile)
{
    if (iId < 1) return false;
    Macro macro;
    macro.id = iId;
    macro.name = pszName != nullptr ? pszName : "";
    macro.file = pszFile != nullptr ? pszFile : "";
    m_Macros.push_back(macro);
    return true;
}

bool RunMacro(int iIndex)
{
    const Macro *pMacro = g_MacroList.Get(iIndex);
    if (pMacro == nullptr) return false;
    if (!pMacro->FileExists()) {
        NKPrintError(NKString::FromFormat("Unable to execute macro, file not found.\n  name: %s\n"
                                          "  file: %s",
                                          pMacro->name.GetText(), pMacro->file.GetText())
                         .GetText());
        return false;
    }
    // Copies: the command file may change the list while it runs.
    NKString name = pMacro->name;
    NKString line = NKString::FromFormat("source \"%s\"", pMacro->file.GetText());
    NKPrintInfo(NKString::FromFormat("\nRunning macro %s", name.GetText()).GetText());
    ExecuteCommand(line.GetText());
    return true;
}

namespace {

const char *const kNoMacros = "No macros currently registered";

int CommandMacroList()
{
    if (g_MacroList.GetNumMacros() == 0) {
        NKPrintInfo(kNoMacros);
        return 0;
    }
    NKString text = NKString::FromFormat("Registered macros (# %d)\n", g_MacroList.GetNumMacros());
    NKString list;
    g_MacroList.ListText(&list);
    text += list;
    NKPrintInfo(text.GetText());
    return 0;
}

int CommandMacroRun(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    if (g_MacroList.GetNumMacros() == 0) {
        NKPrintInfo(kNoMacros);
        return 1;
    }
    NKString word = pScan->NextToken();
    if (word.IsNull()) {
        NKCommandError(pEntry, "No parameters specified");
        return 1;
    }
    int iId = word.ToInt();
    int iIndex = g_MacroList.FindById(iId);
    if (iIndex < 0) {
        NKCommandError(pEntry, "Illegal ID specification, ID must be >= 1");
        return 1;
    }
    if (RunMacro(iIndex)) return 0;
    NKCommandError(pEntry, NKString::FromFormat("Error executing macro ID: %d", iId).GetText());
    return 1;
}

}  // namespace

int NKCommandHandleMacros(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();  // "PARAMS"
    switch (pEntry->id) {
    case NK_CID_MACRO_LIST:
        return CommandMacroList();
    case NK_CID_MACRO_RUN:
        return CommandMacroRun(pEntry, &scan);
    default:
        return 3;
    }
}
