#pragma once

#include <chrono>

// How long a wait may last before it counts as a hang. Only a hang may fail
// on time: a loaded two-core machine under a sanitizer is slow, never wrong.
inline constexpr std::chrono::seconds kHangLimit = std::chrono::minutes(15);
