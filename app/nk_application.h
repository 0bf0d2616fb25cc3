// app/nk_application.h -- the program's entry behind main().
#pragma once

// Answers "-version" (the version line on standard output, status 0) before
// anything else is made; otherwise makes the Qt application and the main
// window and runs the event loop. Returns the process exit status.
int NKRunApplication(int argc, char **argv);
