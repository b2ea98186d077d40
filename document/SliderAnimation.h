#pragma once

#include <cstdint>

class DocumentRecord;

// The window slider's animation: the knob walks its steps, back and forth
// or (one direction) round from one end to the other.

// Nonzero while it runs.
int32_t GetGraphingAnimationState(DocumentRecord* document);
void StopGraphingAnimation(DocumentRecord* document);
// Runs it looping: forward, starting again at 0 after the last step.
void LoopGraphingAnimation(DocumentRecord* document);
// Moves the knob one step in the current direction, turning or wrapping at
// the ends, and publishes the slider's new value.
void StepGraphingAnimation(DocumentRecord* document);
// A step is due: running, and the throttle's ticks since the last step have
// passed. Resets the throttle's clock when it answers true.
bool GraphingAnimationStepDue(DocumentRecord* document, uint32_t now);
