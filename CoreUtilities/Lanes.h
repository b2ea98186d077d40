#pragma once

#include <cstdint>
#include <experimental/simd>

// Floats and integers worked on several at a time, as many as the
// processor's vector registers hold.
namespace lanes = std::experimental;
using FloatLanes = lanes::native_simd<float>;
using IntLanes = lanes::fixed_size_simd<int32_t, FloatLanes::size()>;
inline constexpr int32_t kFloatLanes = int32_t(FloatLanes::size());

// The room for n values rounded up to whole lanes, so that a loop over
// them in steps of kFloatLanes stays inside.
constexpr int32_t LanePadded(int32_t n) { return (n + kFloatLanes - 1) / kFloatLanes * kFloatLanes; }
