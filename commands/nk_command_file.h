// commands/nk_command_file.h -- state of the command-file runner that the
// interpreter reads. The runner itself (source, repeatfile, pausefile,
// resumefile) sets bRunningCommandFile while a file runs.
#pragma once

// Set while a command file runs. The interpreter brackets each line of the
// outermost file with a message collection and echoes its lines, and no
// command run from a file is written to the command log.
extern bool bRunningCommandFile;
