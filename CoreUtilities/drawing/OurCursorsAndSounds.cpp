#include "CoreUtilities/drawing/OurCursorsAndSounds.h"

#include "platform/OurCursors.h"

void SetArrowCursor() { ShowCursorShape(OurCursorShape::kArrow); }
void SetGraphDraggingCursor() { ShowCursorShape(OurCursorShape::kClosedHand); }
void SetMathFistCursor() { ShowCursorShape(OurCursorShape::kMathFist); }
void SetFistCursor() { ShowCursorShape(OurCursorShape::kFist); }
void SetHorizontalArrowCursor() { ShowCursorShape(OurCursorShape::kHorizontalArrow); }
void SetPoofCursor() { ShowCursorShape(OurCursorShape::kPoof); }

void PrepareClickSound() {}
void PlayClickSound() {}
void ReleaseClickSound() {}
void ReleaseSoundsBeforeQuitting() {}
