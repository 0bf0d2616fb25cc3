// commands/nk_command.cpp -- the command interpreter (see nk_command.h).
#include "commands/nk_command.h"

// Placeholder: no command is known yet.
int ExecuteCommand(const char *)
{
    return NK_CMD_NOT_MINE;
}
