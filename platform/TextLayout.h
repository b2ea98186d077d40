#pragma once

#include <QGlyphRun>
#include <QList>
#include <QTextLayout>

#include <cstdint>
#include <string_view>

class QColor;
class QPainter;
class QPointF;

enum class CaretStep { kPrevious, kNext, kLeftward, kRightward };

// One text laid out in one face and size, left to right as a paragraph,
// with the pinned fallbacks for characters the face lacks. The layout is
// made at the face's reference size and scaled, so measures are exact
// design measures in points (pixels on our 72-dpi devices) and drawing
// puts every glyph where measuring said it would be.
class TextLayout {
 public:
  // wrapWidth above 0 breaks the text into lines of at most that width.
  TextLayout(std::u16string_view text, uint32_t faceId, double size, double wrapWidth = 0);

  // False for empty text, an unknown face or a size that is not above 0.
  bool IsValid() const { return fValid; }

  double Width() const;       // advance of the whole first line, trailing spaces included
  double InkAscent() const;   // height of the inked image above the baseline
  double InkDescent() const;  // depth of the inked image below the baseline
  int NearestCaret(double x) const;
  double CaretX(int offset) const;
  // The caret one cluster away; the offset itself when no step is possible.
  int MoveCaret(int offset, CaretStep step) const;
  // Source offsets of the characters drawn first and last from the left.
  int LeftmostCharacter() const;
  int RightmostCharacter() const;

  int LineCount() const { return fValid ? fLayout.lineCount() : 0; }
  int LineStart(int line) const { return fLayout.lineAt(line).textStart(); }
  void DrawLine(QPainter& painter, int line, const QPointF& baselineLeft) const;
  // The line's glyphs at the layout's size, positioned from its baseline
  // start: drawing them at a point is drawing the line there.
  QList<QGlyphRun> ScaledGlyphRuns(int line) const;

 private:
  // The first line's baseline and the extremes of its glyphs' ink, in
  // reference pixels downward.
  struct InkRows {
    double baseline, top, bottom;
  };
  InkRows FirstLineInk() const;

  QTextLayout fLayout;
  double fScale = 0;  // points per reference pixel
  int fLength = 0;
  bool fValid = false;
};
