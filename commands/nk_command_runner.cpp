// commands/nk_command_runner.cpp -- the runner record and the names that
// refer to its fields.

#include "commands/nk_command_runner.h"

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_command_log.h"

NKCommandRunner g_CommandRunner;

int &iCommandLevel = g_CommandRunner.iCommandLevel;
bool &bDebugCommands = g_CommandRunner.bDebugCommands;

bool &bRunningCommandFile = g_CommandRunner.bRunningCommandFile;
bool &bCommandFilePaused = g_CommandRunner.bCommandFilePaused;
NKString &szCurrentCommandFile = g_CommandRunner.szCurrentCommandFile;
NKString &szCurrentCommandFilePath = g_CommandRunner.szCurrentCommandFilePath;
NKString &szTestCommandFile = g_CommandRunner.szTestCommandFile;
NKString &szTestLogFile = g_CommandRunner.szTestLogFile;

bool &bLogCommands = g_CommandRunner.bLogCommands;
NKString &szLogFileName = g_CommandRunner.szLogFileName;
FILE *&pLogFile = g_CommandRunner.pLogFile;
bool &bLogNotYetOpened = g_CommandRunner.bLogNotYetOpened;
NKPollFile &g_PollFile = g_CommandRunner.PollFile;
