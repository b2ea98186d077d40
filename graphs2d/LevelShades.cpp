#include "graphs2d/LevelShades.h"

#include "platform/CheckedConvert.h"

void LevelShades(uint32_t colour, int32_t count, uint32_t* shades) {
  for (int32_t k = 0; k < count; ++k) {
    const double t = 0.26 + 0.74 * k / (count - 1);
    uint32_t shade = 0;
    for (int shift = 16; shift >= 0; shift -= 8) {
      shade |= static_cast<uint32_t>(DoubleToInt32(((colour >> shift) & 0xFF) * t)) << shift;
    }
    shades[k] = shade;
  }
}
