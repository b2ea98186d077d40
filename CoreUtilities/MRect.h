#pragma once

#include <cstdint>

// Screen geometry of the system: left and top inside, right and bottom outside.
struct MRect {
  int16_t top = 0;
  int16_t left = 0;
  int16_t bottom = 0;
  int16_t right = 0;
};

struct MPoint {
  int16_t v = 0;
  int16_t h = 0;
};
