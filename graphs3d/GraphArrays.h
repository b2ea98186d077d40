#pragma once

#include <cstddef>
#include <memory>
#include <new>

#include "CoreUtilities/files/ErrorQueue.h"

// A graph's array of count entries; null with message 36 queued when
// memory runs out.
template <typename T>
std::unique_ptr<T[]> AllocateGraphArray(size_t count) {
  std::unique_ptr<T[]> array(new (std::nothrow) T[count]);
  if (!array) QueueError(kOutOfMemoryError);
  return array;
}
