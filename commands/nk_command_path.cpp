// commands/nk_command_path.cpp -- a file name put into a command line (see
// nk_command_path.h).
#include "commands/nk_command_path.h"

#include <cstring>

#include "core/nk_message.h"

bool NKPathFitsCommandLine(const char *pszPath)
{
    return pszPath != nullptr && std::strpbrk(pszPath, "\"\n\r") == nullptr;
}

bool NKPathCommandLine(const char *pszCommand, const char *pszPath, NKString *pLine)
{
    *pLine = "";
    if (!NKPathFitsCommandLine(pszPath)) {
        NKPrintError(NKString::FromFormat("File name contains a double quote or a line break: %s",
                                          pszPath != nullptr ? pszPath : "")
                         .GetText());
        return false;
    }
    *pLine = NKString(pszCommand) + " \"" + pszPath + "\"";
    return true;
}
