// commands/nk_command_runner.cpp -- the runner record.

#include "commands/nk_command_runner.h"

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_command_log.h"

NKCommandRunner g_CommandRunner;
