// core/nk_model_query.cpp -- neutral answers to the model questions of
// nk_model_query.h until the model records and frame array are built; the
// test hook lets command tests pretend that a model with parts is loaded.
#include "core/nk_model_query.h"

#include <cstddef>

namespace {
bool sg_bHasGeometry = false;
std::vector<bool> sg_Selected;
}  // namespace

// Placeholder: the test answer, false by default.
bool NKModelHasGeometry(void) { return sg_bHasGeometry; }

// Placeholder: the test answer, 0 by default.
int NKGetNumParts(void) { return sg_bHasGeometry ? static_cast<int>(sg_Selected.size()) : 0; }

// Placeholder: the test answer, false by default and for invalid indexes.
bool NKIsPartSelected(int iPart)
{
    return iPart >= 0 && iPart < NKGetNumParts() && sg_Selected[static_cast<size_t>(iPart)];
}

void NKSetModelQueryAnswers(bool bHasGeometry, const std::vector<bool> &selected)
{
    sg_bHasGeometry = bHasGeometry;
    sg_Selected = selected;
}

void NKResetModelQueryAnswers(void) { NKSetModelQueryAnswers(false, {}); }
