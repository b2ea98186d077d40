#pragma once

#include "CoreUtilities/MRect.h"

#include <cstdint>

// Mouse polling for the drag loops, read from the installed mouse source
// (platform/MouseSource.h); with none installed the button reads as up.

bool OurButton();
void OurFlushMouseEvents();
// True while the button is held, returning after a move or after `ticks`
// (negative: no limit) with the position in *where; false once released.
bool OurWaitMouseUp(MPoint* where, long ticks);
// False when the next mouse event is the release; true for any other.
bool OurWaitMouseEvent(MPoint* where);

// Half the system's caret blink period, in ticks: how long the caret stays
// shown or hidden. A system that does not blink gives the largest count.
int32_t OurGetCaretTime();

// Ticks to seconds, in floating point: 20 ticks must not become 0 s.
double TicksToWaitSeconds(long ticks);

int OurGetScrollBarWidth();
int OurGetScrollBarHeight();
