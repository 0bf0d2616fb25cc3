// commands/nk_macros.h -- macros: named command files registered under a
// numeric ID.
//
// `macro list` shows the registered macros and `macro run` runs one by its
// ID as the command line `source "<file>"`, so a macro behaves exactly like
// a command file (nk_command_files.h). The list is one global record; the
// two commands are served by NKCommandHandleMacros, which the part display
// handler of the chain (render/nk_part_display_commands.h) hands them to.
#pragma once

#include <vector>

#include "core/nk_string.h"

struct CommandTableEntry;

struct Macro {
    int id = 0;     // 1 or more
    NKString name;  // shown in lists and messages
    NKString file;  // path of the command file

    // False for a blank path; else whether the file can be read.
    bool FileExists() const;
};

class MacroList {
public:
    MacroList() = default;

    // Index of the first macro with the ID (list order); -1 when the ID is
    // negative, the list is empty or no macro has it.
    int FindById(int iId) const;
    // The macro at iIndex; null outside the list.
    Macro *Get(int iIndex);
    // A copy of the macro at iIndex (an empty macro outside the list).
    Macro GetCopy(int iIndex) const;
    // One line "  <id>: <name>  (<file>)" per macro, joined by line ends.
    void ListText(NKString *pText) const;
    int GetNumMacros() const { return (int)m_Macros.size(); }

    // Registers a macro at the end of the list (a second macro with an ID
    // already listed is kept but never found). False for an ID below 1.
    bool Add(int iId, const char *pszName, const char *pszFile);
    void Clear() { m_Macros.clear(); }

private:
    std::vector<Macro> m_Macros;
};

// The macro list of the program.
extern MacroList g_MacroList;

// Runs the macro at iIndex of g_MacroList: "\nRunning macro <name>" and the
// line `source "<file>"`; true whatever the command file's result. False
// when the index lies outside the list or the file is missing (reported).
bool RunMacro(int iIndex);

// The handler of `macro list` and `macro run`; 3 for every other command.
int NKCommandHandleMacros(CommandTableEntry *pEntry, const char *pszArguments);
