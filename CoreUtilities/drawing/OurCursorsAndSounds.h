#pragma once

void SetArrowCursor();
void SetGraphDraggingCursor();  // closed hand
void SetMathFistCursor();
void SetFistCursor();
void SetHorizontalArrowCursor();
void SetPoofCursor();  // the arrow: the platform has no poof cursor

// The click sound is silent on this platform; the calls keep their places
// in the drag code.
void PrepareClickSound();
void PlayClickSound();
void ReleaseClickSound();
void ReleaseSoundsBeforeQuitting();
