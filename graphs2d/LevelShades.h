#pragma once

#include <cstdint>

// count shades of a 0x00RRGGBB colour from dark (each component times 0.26)
// to the full colour, truncated; count of at least 2.
void LevelShades(uint32_t colour, int32_t count, uint32_t* shades);
