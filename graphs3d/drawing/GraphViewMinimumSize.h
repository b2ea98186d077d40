#pragma once

#include "CoreUtilities/MRect.h"

// A draw context needs at least one pixel each way.
inline void AtLeastOnePixel(MRect* r) {
  if (r->bottom <= r->top) r->bottom = static_cast<int16_t>(r->top + 1);
  if (r->right <= r->left) r->right = static_cast<int16_t>(r->left + 1);
}
