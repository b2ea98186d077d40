#pragma once

#include <chrono>

// Longer than any test of these layers takes on a loaded machine: a wait
// that reaches it is a hang, and says so.
inline constexpr std::chrono::minutes kHangLimit{15};
