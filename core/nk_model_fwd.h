// core/nk_model_fwd.h -- the names of the model's records (core/nk_model.h),
// for headers that only pass pointers to them.
#pragma once

class NKStringList;
struct NKFrame;
struct NKGeometry;
struct NKScalarResult;
struct NKVectorResult;
struct NKSeparateVectorField;
