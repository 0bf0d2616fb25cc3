// tests/test_support/nkf_example_twins.h -- the example models of
// examples/ (nkf_example_models.h) as binary NKF files holding the same
// blocks, IDs, names and values, in either byte order.
//
// Used by the export tests, which open every form of a model, export it
// and compare. Only the directives the example texts use are understood.
#pragma once

#include <string>

#include "tests/test_support/nkf_test_writer.h"

// The binary twin of an example model's ASCII text.
NKFTestWriter NKFExampleBinaryTwin(const std::string &text, bool bBigEndian);
