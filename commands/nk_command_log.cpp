// commands/nk_command_log.cpp -- the command log's state (see nk_command_log.h).
#include "commands/nk_command_log.h"

bool bLogCommands = false;
FILE *pLogFile = nullptr;

// Placeholder: no poll file exists yet, so none is ever active.
bool NKIsPollFileActive(void) { return false; }
