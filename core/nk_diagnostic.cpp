// core/nk_diagnostic.cpp -- the internal trace sink (see nk_diagnostic.h).
// Reports are kept in memory only: the user never sees them. Setting the
// environment variable QUOLIN_TRACE makes each report go to standard error,
// which helps when a command file fails for an internal reason.
#include "core/nk_diagnostic.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
std::string sg_LastMessage;
std::string sg_LastFunction;
int sg_iCount = 0;
}  // namespace

bool NKDiagnostic(const char *pszMessage, const char *pszFunction)
{
    sg_LastMessage = pszMessage ? pszMessage : "";
    sg_LastFunction = pszFunction ? pszFunction : "";
    sg_iCount++;
    if (std::getenv("QUOLIN_TRACE") != nullptr)
        std::fprintf(stderr, "Trace: %s: %s\n", sg_LastFunction.c_str(), sg_LastMessage.c_str());
    return false;
}

const char *NKGetLastDiagnostic(void) { return sg_LastMessage.c_str(); }
const char *NKGetLastDiagnosticFunction(void) { return sg_LastFunction.c_str(); }
int NKGetDiagnosticCount(void) { return sg_iCount; }

void NKResetDiagnostics(void)
{
    sg_LastMessage.clear();
    sg_LastFunction.clear();
    sg_iCount = 0;
}
