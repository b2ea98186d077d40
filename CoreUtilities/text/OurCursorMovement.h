#pragma once

#include "CoreUtilities/text/UniChar.h"

#include <cstdint>

enum OurCursorMovementVerb : int32_t {
  kOurCursorPrevious = 0,   // logical
  kOurCursorNext = 1,       // logical
  kOurCursorLeftward = 2,   // visual
  kOurCursorRightward = 3,  // visual
};

enum OurTextDirection : int32_t {
  kOurTextLeftToRight = 0,
  kOurTextRightToLeft = 1,
  kOurTextMixed = 2,
};

// Source offsets of the characters shown leftmost and rightmost; 0 for
// empty text.
int32_t OurStringGetLeftmostCharacterPosition(const UniChar* text);
int32_t OurStringGetRightmostCharacterPosition(const UniChar* text);
// Left to right when the leftmost character is the first and the rightmost
// the last, right to left for the reverse, else mixed (empty text too).
OurTextDirection OurStringGetDirection(const UniChar* text);

// The caret one cluster away (combining marks, surrogate pairs and emoji
// sequences are never split); the offset unchanged when no step can be made.
int32_t OurCursorMovement(const UniChar* text, int32_t offset, int32_t verb);
// The same from a selection: it collapses to the end the verb points at,
// then steps.
int32_t OurCursorMovement(const UniChar* text, int32_t offset, int32_t otherEnd, int32_t verb);
