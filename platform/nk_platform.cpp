// platform/nk_platform.cpp -- platform name and version line (see nk_platform.h).
#include "platform/nk_platform.h"

#include <sys/utsname.h>

#include <cstdio>

const char *const NK_PRODUCT_NAME = "Quolin Dulm";
const char *const NK_VERSION_TEXT = "6.4";
int g_iNKBuildNumber = 0;  // nothing sets it: releases show build 00

std::string NKGetPlatformName(void)
{
    struct utsname info;
    if (uname(&info) != 0) return "Linux (unknown)";
    return std::string("Linux (") + info.machine + ")";
}

std::string NKGetVersionLine(void)
{
    std::string platform = NKGetPlatformName();
    int n = std::snprintf(nullptr, 0, "%s version %s-%02d for %s", NK_PRODUCT_NAME, NK_VERSION_TEXT,
                          g_iNKBuildNumber, platform.c_str());
    std::string line(n > 0 ? n : 0, '\0');
    std::snprintf(line.data(), line.size() + 1, "%s version %s-%02d for %s", NK_PRODUCT_NAME,
                  NK_VERSION_TEXT, g_iNKBuildNumber, platform.c_str());
    return line;
}
