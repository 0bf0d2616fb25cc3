// app/nk_system_reports.h -- the text of the system report (`sysinfo`) from
// the facts gathered about the machine, kept apart from the gathering so
// that its layout can be checked with facts of one's own.
#pragma once

#include <cstdint>

#include "core/nk_string.h"

struct NKSystemFacts {
    NKString szMachine;         // uname machine, e.g. "x86_64"
    NKString szProcessorModel;  // "model name" of /proc/cpuinfo
    int iNumProcessors = 0;
    uint64_t uTotalMemory = 0;      // bytes
    uint64_t uAvailableMemory = 0;  // bytes
    NKString szKernelRelease;       // uname release, e.g. "6.1.0-13-amd64"
    NKString szDescription;         // PRETTY_NAME of /etc/os-release
    NKString szLanguage;            // LANG, e.g. "de_DE.UTF-8"
};

// Reads uname, /proc/cpuinfo, sysinfo(2), /etc/os-release and LANG; a
// source that cannot be read leaves its fields empty or 0.
NKSystemFacts NKGatherSystemFacts(void);
// The report, lines separated by LF, the last one without it.
NKString NKComposeSystemReport(const NKSystemFacts &facts);
// The language name of a locale name ("English" for "en_GB.UTF-8"),
// "Unknown" for another language, "C" and an empty name.
const char *NKLanguageName(const char *pszLocale);
