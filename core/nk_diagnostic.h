// core/nk_diagnostic.h -- the internal trace sink for consistency failures.
//
// Model and file code report broken internal expectations (null arguments,
// failed allocations, inconsistent counts) here with their own function name
// and a short message. The sink shows nothing to the user and answers false so
// that the caller can return its result directly:
//     if (pGeo == NULL) return NKDiagnostic("Null geometry", "NKFoo");
// The last report is kept so that tests can see that a failure was traced.
#pragma once

bool NKDiagnostic(const char *pszMessage, const char *pszFunction);

// The message and function name of the most recent report, and how many reports
// were made since start-up (or since NKResetDiagnostics).
const char *NKGetLastDiagnostic(void);
const char *NKGetLastDiagnosticFunction(void);
int NKGetDiagnosticCount(void);
void NKResetDiagnostics(void);
