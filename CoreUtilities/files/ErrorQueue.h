#pragma once

// Errors found on any thread are queued by message id and shown later, one
// at a time, by the interface thread. The lowest pending id wins; ids 36 to
// 67 are accepted once until re-armed with EnableError.

inline constexpr int kOutOfMemoryError = 36;

void QueueError(int messageId);
void EnableError(int messageId);
bool IsDeferredErrorWaiting();

// Interface thread: removes the pending id and returns it (0 when none), so
// that whoever shows it is the only one to do so.
int TakeDeferredError();

// Tests and start-up: forget every pending id and reported bit.
void ResetDeferredErrors();
