#pragma once

#include <cstddef>

// True when the calling thread has more than n + 32,768 bytes of stack
// between the current frame and the lowest usable address of its stack.
bool OurStackSpace(size_t n);

// Bytes between the caller's frame and the lowest usable stack address.
size_t StackBytesRemaining();
