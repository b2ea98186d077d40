#pragma once

#include <cstdint>
#include <experimental/simd>

// Doubles worked on several at a time, as many as the processor's vector
// registers hold. Each lane rounds exactly as the same operation on one
// double does, so results match a plain loop's bit for bit.
namespace lanes = std::experimental;
using DoubleLanes = lanes::native_simd<double>;
inline constexpr int32_t kDoubleLanes = int32_t(DoubleLanes::size());

// The room for n doubles rounded up to whole lanes, so that a loop over
// them in steps of kDoubleLanes stays inside.
constexpr int32_t LanePadded(int32_t n) { return (n + kDoubleLanes - 1) / kDoubleLanes * kDoubleLanes; }
