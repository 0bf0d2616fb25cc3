// platform/nk_platform.h -- facts about the machine the program runs on.
#pragma once

#include <string>

// "Linux (" + the machine name from uname + ")", e.g. "Linux (x86_64)".
std::string NKGetPlatformName(void);

// The product name, version text and build number shown by -version and
// the `version` command, and the composed version line
// "Quolin Dulm version 6.4-00 for Linux (x86_64)".
extern const char *const NK_PRODUCT_NAME;
extern const char *const NK_VERSION_TEXT;
extern int g_iNKBuildNumber;
std::string NKGetVersionLine(void);
