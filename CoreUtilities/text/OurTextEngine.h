#pragma once

#include "CoreUtilities/MRect.h"
#include "CoreUtilities/text/UniChar.h"

#include <cstdint>

class QPainter;
class TextBlock;

// The styled text blocks of the math pane. Nothing else touches the engine.
using OurText = TextBlock*;

// Modifier bits callers give.
inline constexpr int kOurCommandKey = 1;
inline constexpr int kOurShiftKey = 2;
inline constexpr int kOurOptionKey = 4;
inline constexpr int kOurControlKey = 8;

// 0 while OurTextReplaceContents works, 1 after; the math pane's text filter tests it.
extern int gFilterMathPaneText;

OurText OurTextNew();
void OurTextDispose(OurText text);

void OurTextKey(int key, int modifiers, OurText text);
void OurTextClick(MPoint where, int modifiers, int clickCount, OurText text);
void OurTextInsertChar(char byte, OurText text);  // the byte is the character code
void OurTextInsertLineEnding(OurText text);
void OurTextInsertString(const char* bytes, int32_t length, bool isUTF8, OurText text);

void OurTextSetFont(const char* name, uint32_t encoding, bool flag, OurText text);
void OurTextSetSize(int32_t points, OurText text);
void OurTextSetStyleBold(OurText text, bool on);
void OurTextSetStyleItalic(OurText text, bool on);
void OurTextSetStyleUnderline(OurText text, bool on);
void OurTextSetBackgroundColor(OurText text, uint32_t rgb);

void OurTextSelectAll(OurText text);
void OurTextUndo(OurText text);
void OurTextEmptyUndoBuffer(OurText text);

// The whole text, paragraphs ended by carriage returns; a new string
// (OurStringDispose), null when memory runs out.
UniChar* OurTextGetContents(OurText text);
int32_t OurTextGetLength(OurText text);
void OurTextActivate(OurText text);
void OurTextDeactivate(OurText text);
bool OurTextIsActive(OurText text);
void OurTextIdle(OurText text);
int32_t OurTextGetHeight(OurText text);
int32_t OurTextGetBottom(OurText text);
bool IsPointInOurTextBlock(OurText text, MPoint where);

void OurTextSetFeaturesForBeginDoc(OurText text);
void OurTextSetFeaturesForBeginText(OurText text);
void OurTextCenterJustify(OurText text);
void OurTextLeftJustify(OurText text);
void OurTextReplaceContents(const UniChar* units, int32_t count, int32_t points, OurText text);
// Lays the text out at the destination's width; once the drawing's
// deadline has passed (ComputationDeadline.h) it is laid out no further,
// and its height is that of the part laid out.
void OurTextRecalculateMargins(OurText text, const MRect& destination, const MRect& view);
// Into the painter, or into the current port when it is null; nothing once
// the drawing's deadline has passed.
void OurTextDraw(OurText text, QPainter* context);
