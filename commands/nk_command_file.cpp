// commands/nk_command_file.cpp -- the command-file runner's state (see
// nk_command_file.h).
#include "commands/nk_command_file.h"

// Placeholder: only the flag exists until the runner is built; nothing sets it.
bool bRunningCommandFile = false;
