// platform/nk_platform_start.h -- the start of Qt's windowing platform made
// to end with the program's own line. Qt reports a platform that cannot
// start (its plugin missing or failing to load, its display unreachable,
// whichever platform was asked for and however) with a fatal message and
// then aborts; the message handler Qt calls first ends the program instead.
#pragma once

#include <string>

// From here until NKEndPlatformStart, a fatal message of Qt's ends the
// program with status 1 after pfnFailed has been given the reason, on one
// line: the warnings of Qt's platform on its way there (categories
// "qt.qpa..."), held back with its notes until then and joined by "; ",
// else the fatal message's first line. Every other message goes where it
// went before; the held ones follow once the platform has started.
void NKBeginPlatformStart(void (*pfnFailed)(const std::string &reason));
// Puts the message handler before NKBeginPlatformStart back and passes the
// held messages on to it.
void NKEndPlatformStart(void);
