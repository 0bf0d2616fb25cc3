// readers/nk_native_result_files.cpp -- the scalar and vector file reads and
// the step-name table of the older native file set (see
// nk_native_result_files.h).
#include "readers/nk_native_result_files.h"

#include <memory>

#include "core/nk_model.h"

namespace {

// Owned for the whole run, so the names go at exit as well.
std::unique_ptr<NKStringList> sg_pStepNames;

}  // namespace

NKScalarResult *NKReadScalarFile(const char *, int, NKGeometry *) { return nullptr; }

NKVectorResult *NKReadVectorFile(const char *, int, NKGeometry *) { return nullptr; }

const NKStringList *NKGetNativeStepNames(void) { return sg_pStepNames.get(); }

void NKSetNativeStepNames(NKStringList *pNames) { sg_pStepNames.reset(pNames); }
