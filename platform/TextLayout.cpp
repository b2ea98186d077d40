#include "platform/TextLayout.h"

#include "platform/FontFaces.h"

#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QTextOption>

#include <algorithm>
#include <cmath>
#include <limits>

TextLayout::TextLayout(std::u16string_view text, uint32_t faceId, double size, double wrapWidth) {
  const FontFace* face = GetFontFace(faceId);
  if (text.empty() || face == nullptr || !(size > 0) || !std::isfinite(size)) return;
  if (text.size() > static_cast<size_t>(std::numeric_limits<int>::max())) return;
  fLength = static_cast<int>(text.size());
  fScale = size / face->referenceSize;
  fLayout.setText(QString(reinterpret_cast<const QChar*>(text.data()), fLength));
  fLayout.setFont(face->font);
  QTextOption option;
  option.setTextDirection(Qt::LeftToRight);
  option.setUseDesignMetrics(true);
  option.setWrapMode(wrapWidth > 0 ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
  fLayout.setTextOption(option);
  fLayout.setCacheEnabled(true);
  fLayout.beginLayout();
  for (QTextLine line = fLayout.createLine(); line.isValid(); line = fLayout.createLine()) {
    if (wrapWidth > 0) line.setLineWidth(wrapWidth / fScale);
  }
  fLayout.endLayout();
  fValid = fLayout.lineCount() > 0;
}

double TextLayout::Width() const {
  if (!fValid) return 0;
  return fLayout.lineAt(0).horizontalAdvance() * fScale;
}

double TextLayout::InkAscent() const {
  if (!fValid) return 0;
  const InkRows ink = FirstLineInk();
  return (ink.baseline - ink.top) * fScale;
}

double TextLayout::InkDescent() const {
  if (!fValid) return 0;
  const InkRows ink = FirstLineInk();
  return (ink.bottom - ink.baseline) * fScale;
}

TextLayout::InkRows TextLayout::FirstLineInk() const {
  const QTextLine line = fLayout.lineAt(0);
  const double baseline = line.y() + line.ascent();
  InkRows ink{baseline, baseline, baseline};
  for (const QGlyphRun& run : line.glyphRuns()) {
    const QRawFont font = run.rawFont();
    const QList<quint32> glyphs = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
      const QRectF box = font.boundingRect(glyphs[i]);
      if (box.isEmpty()) continue;
      ink.top = std::min(ink.top, positions[i].y() + box.top());
      ink.bottom = std::max(ink.bottom, positions[i].y() + box.bottom());
    }
  }
  return ink;
}

int TextLayout::NearestCaret(double x) const {
  if (!fValid || !std::isfinite(x)) return 0;
  // Qt keeps positions in 26.6 fixed point: far-off x would overflow it.
  const QTextLine line = fLayout.lineAt(0);
  const double inside = std::clamp(x / fScale, -1.0, line.horizontalAdvance() + 1.0);
  return line.xToCursor(inside, QTextLine::CursorBetweenCharacters);
}

double TextLayout::CaretX(int offset) const {
  if (!fValid) return 0;
  return fLayout.lineAt(0).cursorToX(std::clamp(offset, 0, fLength)) * fScale;
}

int TextLayout::MoveCaret(int offset, CaretStep step) const {
  if (!fValid || offset < 0 || offset > fLength) return offset;
  switch (step) {
    case CaretStep::kPrevious: return fLayout.previousCursorPosition(offset, QTextLayout::SkipCharacters);
    case CaretStep::kNext: return fLayout.nextCursorPosition(offset, QTextLayout::SkipCharacters);
    case CaretStep::kLeftward: return fLayout.leftCursorPosition(offset);
    case CaretStep::kRightward: return fLayout.rightCursorPosition(offset);
  }
  return offset;
}

// Half a reference pixel inside either edge lies on the outermost glyph.
int TextLayout::LeftmostCharacter() const {
  if (!fValid) return 0;
  const QTextLine line = fLayout.lineAt(0);
  return std::min(line.xToCursor(0.5, QTextLine::CursorOnCharacter), fLength - 1);
}

int TextLayout::RightmostCharacter() const {
  if (!fValid) return 0;
  const QTextLine line = fLayout.lineAt(0);
  const int offset = line.xToCursor(line.horizontalAdvance() - 0.5, QTextLine::CursorOnCharacter);
  return std::min(offset, fLength - 1);
}

void TextLayout::DrawLine(QPainter& painter, int lineIndex, const QPointF& baselineLeft) const {
  for (const QGlyphRun& run : ScaledGlyphRuns(lineIndex)) painter.drawGlyphRun(baselineLeft, run);
}

QList<QGlyphRun> TextLayout::ScaledGlyphRuns(int lineIndex) const {
  QList<QGlyphRun> runs;
  if (!fValid || lineIndex < 0 || lineIndex >= fLayout.lineCount()) return runs;
  const QTextLine line = fLayout.lineAt(lineIndex);
  const QPointF lineBaseline(line.x(), line.y() + line.ascent());
  for (QGlyphRun run : line.glyphRuns()) {
    QRawFont font = run.rawFont();
    font.setPixelSize(font.pixelSize() * fScale);
    QList<QPointF> positions = run.positions();
    for (QPointF& position : positions) position = (position - lineBaseline) * fScale;
    run.setRawFont(font);
    run.setPositions(positions);
    runs.append(run);
  }
  return runs;
}
