// tests/test_support/nk_test_records.h -- small helpers for looking at the
// records that the code under test fills: a copy of one of their arrays
// that EXPECT_EQ can compare and print whole, and an indexed face set that
// frees what a part builder put into it. Used by the core mesh and part
// array tests and by the NKF block tests.
#pragma once

#include <vector>

#include "core/nk_mesh.h"

// The first n values at p, or none when p is null (an array the record
// does not have).
template <class T>
std::vector<T> NKTestValues(const T *p, int n)
{
    return p != nullptr ? std::vector<T>(p, p + n) : std::vector<T>();
}

// An empty indexed face set for a part builder to fill; whatever it holds
// is freed with it.
struct NKTestFaceSet {
    NKTestFaceSet() { NKInitPolygonMesh(&r); }
    ~NKTestFaceSet() { NKFreePolygonMesh(&r); }
    NKTestFaceSet(const NKTestFaceSet &) = delete;
    NKTestFaceSet &operator=(const NKTestFaceSet &) = delete;
    NKIndexedFaceSet r;
};
