#pragma once

// The processors this process may run on, asked of the system once and kept.
int OurNumberOfProcessors();
// Overrides the count; 0 (or less) makes the next call ask the system again.
void DebugSetNumProcessors(int count);
