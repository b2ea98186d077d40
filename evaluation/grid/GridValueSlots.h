#pragma once

// Value slots of the grid interpreters: N + 1 cells of the run's value
// type. The first 32-bit word of cell 0 flags the slot: 0 when cell 1
// holds one value standing for every point, 1 when cells 1..N hold the
// values of points 0..N-1.

#include <algorithm>
#include <cstdint>
#include <cstring>

template <typename T>
inline bool IsPerPoint(const T* slot) {
  int32_t flag;
  std::memcpy(&flag, slot, sizeof flag);
  return flag != 0;
}

template <typename T>
inline void SetPerPoint(T* slot, bool perPoint) {
  const int32_t flag = perPoint ? 1 : 0;
  std::memcpy(static_cast<void*>(slot), &flag, sizeof flag);
}

template <typename T>
inline const T& ValueAt(const T* slot, int32_t point) {
  return IsPerPoint(slot) ? slot[1 + point] : slot[1];
}

template <typename T>
inline void SetSingle(T* slot, const T& value) {
  SetPerPoint(slot, false);
  slot[1] = value;
}

template <typename T>
inline void CopySlot(T* to, const T* from, int32_t n) {
  if (to == from) return;
  const bool perPoint = IsPerPoint(from);
  SetPerPoint(to, perPoint);
  std::copy(from + 1, from + 1 + (perPoint ? n : 1), to + 1);
}

// A single slot's value written out to every point.
template <typename T>
inline void Spread(T* slot, int32_t n) {
  if (IsPerPoint(slot)) return;
  std::fill(slot + 2, slot + 1 + n, slot[1]);
  SetPerPoint(slot, true);
}

// The operation's result replaces its deepest operand. Each combination
// of single and per-point operands has its own loop, so a single operand
// is never spread out before use.
template <typename T, typename F>
inline void ApplyUnary(T* slot, int32_t n, F f) {
  T* v = slot + 1;
  if (!IsPerPoint(slot)) {
    v[0] = f(v[0]);
    return;
  }
  for (int32_t p = 0; p < n; ++p) v[p] = f(v[p]);
}

template <typename T, typename F>
inline void ApplyBinary(T* second, const T* top, int32_t n, F f) {
  const bool perPointSecond = IsPerPoint(second);
  const bool perPointTop = IsPerPoint(top);
  T* s = second + 1;
  const T* t = top + 1;
  if (!perPointSecond && !perPointTop) {
    s[0] = f(s[0], t[0]);
  } else if (perPointSecond && perPointTop) {
    for (int32_t p = 0; p < n; ++p) s[p] = f(s[p], t[p]);
  } else if (perPointSecond) {
    const T b = t[0];
    for (int32_t p = 0; p < n; ++p) s[p] = f(s[p], b);
  } else {
    const T a = s[0];
    for (int32_t p = 0; p < n; ++p) s[p] = f(a, t[p]);
    SetPerPoint(second, true);
  }
}

template <typename T, typename F>
inline void ApplyTernary(T* third, const T* second, const T* top, int32_t n, F f) {
  if (!IsPerPoint(third) && !IsPerPoint(second) && !IsPerPoint(top)) {
    third[1] = f(third[1], second[1], top[1]);
    return;
  }
  Spread(third, n);
  for (int32_t p = 0; p < n; ++p) third[1 + p] = f(third[1 + p], ValueAt(second, p), ValueAt(top, p));
}
