#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

class DocumentRecord;

// How long one call of the pass may add equations, as an OurTime span: the
// window's idle takes slices so that input is answered between them;
// headless callers take the whole pass at once. A slice always adds one
// equation at least; one equation's build is never cut short.
inline constexpr uint32_t kWholePass = std::numeric_limits<uint32_t>::max();

// Asks for a new graphing pass of the current expansion at the next idle;
// a pass under way starts over.
void DoGraph(DocumentRecord* document);

// The pass itself: every expanded equation to the pane with its block's
// attributes; an equation that made no graph keeps the reason. Continues
// where the last call stopped until the slice is spent; once the pass is
// complete the expansion counts as graphed.
void DoGraphAtIdle(DocumentRecord* document, uint32_t slice = kWholePass);

// Passes add no expanded equation at or past this index while it is set, and
// stay unfinished until it is raised: a test holds a pass half done to act
// on it there, whatever the machine's speed. Returns the former hold.
inline constexpr size_t kNoPassHold = std::numeric_limits<size_t>::max();
size_t HoldGraphPassesAt(size_t next);
