// commands/nk_command.h -- the command interpreter's entry, as far as the
// model core runs a command line by name.
#pragma once

// Command result codes.
enum {
    NK_CMD_DONE = 0,      // done
    NK_CMD_FAILED = 1,    // failed
    NK_CMD_NO_MODEL = 2,  // refused because no model is loaded
    NK_CMD_NOT_MINE = 3,  // not recognised
    NK_CMD_PAUSE = 4      // pause the running command file
};

// Placeholder: answers NK_CMD_NOT_MINE until the interpreter is built.
// Runs one command line as if typed and returns its result code.
int ExecuteCommand(const char *pszLine);
