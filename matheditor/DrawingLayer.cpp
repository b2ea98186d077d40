#include "matheditor/DrawingLayer.h"

#include "platform/CheckedConvert.h"
#include "CoreUtilities/drawing/OurDrawing.h"
#include "CoreUtilities/text/OurFontDesc.h"
#include "CoreUtilities/text/OurString.h"
#include "CoreUtilities/text/OurTextMeasure.h"
#include "CoreUtilities/text/UnicodeCharacter.h"
#include "CoreUtilities/drawing/RoundRectDrawing.h"
#include "expression/MathEditRecord.h"
#include "matheditor/MathTypesetState.h"
#include "matheditor/TextRunCache.h"
#include "platform/FontFaces.h"
#include "platform/OurPort.h"
#include "platform/TextWidthCache.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

namespace {

float gFixedMetric = 0;  // the measuring seam; 0 when fonts measure

// The shared painter of a text pass on the port, made at its first text.
struct PassPainter {
  bool active = false;
  OurPort* port = nullptr;
  std::unique_ptr<QPainter> painter;
};
PassPainter gPass;

void EndPassPainter() {
  gPass.painter.reset();
  gPass.port = nullptr;
}

// A painter on the current port in its local coordinates, clipped to it;
// null when there is no port.
QPainter* PassPainterFor(OurPort* port) {
  if (gPass.port != port) EndPassPainter();
  if (!gPass.painter && port && !port->image.isNull()) {
    gPass.painter = std::make_unique<QPainter>(&port->image);
    gPass.painter->translate(-port->bounds.left(), -port->bounds.top());
    gPass.painter->setClipRegion(port->clip);
    gPass.port = port;
  }
  return gPass.painter.get();
}

constexpr float kHighlightRadius = 5.0f;

float WholeSize() { return static_cast<float>(std::max(1, DoubleToInt32(gMathFontSize))); }

OurFontDesc CurrentFont() { return OurFontDesc(gMathFontName, WholeSize(), gMathBold, gMathItalic); }

// Layouts measure single characters (signs, one-letter names) about once a
// node: their widths per font size and face are kept in a small two-way
// table, the latest used first in each pair.
struct CharWidthEntry {
  uint32_t c = 0;
  uint32_t style = 0xFFFFFFFFu;  // bold + 2 italic; other values: unused
  float fontSize = 0;
  float width = 0;
};
constexpr int kCharWidthBits = 9;

// The faces of the current font name as CurrentFont() finds them, looked
// up again only when the name changes; the widths kept go with them. Like
// the font state itself, interface thread only.
struct FontNameState {
  const char* name = nullptr;
  uint32_t changes = 0;
  std::array<uint32_t, 4> faces{};  // by style
  std::array<CharWidthEntry, size_t{1} << kCharWidthBits> charWidths;
};
FontNameState gFontName;

uint32_t CurrentStyle() { return (gMathBold ? 1 : 0) + (gMathItalic ? 2 : 0); }

FontNameState& NewFontName() {
  FontNameState& state = gFontName;
  state.name = gMathFontName;
  state.changes = gMathFontNameChanges;
  uint32_t family = FindFontFamily(state.name);
  if (family == kNoFontFace) family = FindFontFamily("Times");
  for (uint32_t style = 0; style < 4; ++style) state.faces[style] = FontFaceId(family, style & 1, style & 2);
  state.charWidths.fill({});
  return state;
}

inline FontNameState& CurrentFontName() {
  FontNameState& state = gFontName;
  if (state.name && state.name == gMathFontName && state.changes == gMathFontNameChanges) return state;
  return NewFontName();
}

uint32_t CurrentFaceId() { return CurrentFontName().faces[CurrentStyle()]; }

float CurrentFontAscent() {
  const FontFace* face = GetFontFace(CurrentFaceId());
  return face ? static_cast<float>(face->ascent * WholeSize() / face->referenceSize) : 0.0f;
}

float MeasuredWidth(std::u16string_view text) {
  return static_cast<float>(CachedTextWidth(text, CurrentFaceId(), WholeSize()));
}

std::u16string_view View(const UniChar* s) { return {s, s ? static_cast<size_t>(OurStringLength(s)) : 0}; }

[[gnu::noinline]] float NewCharWidth(uint32_t c, CharWidthEntry* pair) {
  UniChar units[3] = {};
  const float width = EncodeUTF16(c, units) ? MeasuredWidth(View(units)) : 0.0f;
  pair[1] = pair[0];
  pair[0] = {c, CurrentStyle(), gMathFontSize, width};
  return width;
}

// The width depends on the font size through WholeSize() alone, and on
// the face through the name and the style.
float MeasuredCharWidth(uint32_t c) {
  FontNameState& state = CurrentFontName();
  const uint32_t style = CurrentStyle();
  const float fontSize = gMathFontSize;
  uint32_t sizeBits;
  std::memcpy(&sizeBits, &fontSize, sizeof sizeBits);
  const uint64_t h = (uint64_t{c} << 32 | (sizeBits ^ style)) * 0x9e3779b97f4a7c15ull;
  CharWidthEntry* pair = &state.charWidths[(h >> (64 - kCharWidthBits)) & ~size_t{1}];
  const auto matches = [&](const CharWidthEntry& e) { return e.c == c && e.style == style && e.fontSize == fontSize; };
  if (matches(pair[0])) return pair[0].width;
  if (matches(pair[1])) {
    std::swap(pair[0], pair[1]);
    return pair[0].width;
  }
  return NewCharWidth(c, pair);
}

// Characters, not code units: a surrogate pair is one character.
int32_t CharacterCount(std::u16string_view s) {
  return static_cast<int32_t>(std::count_if(s.begin(), s.end(), [](char16_t u) { return u < 0xDC00 || u > 0xDFFF; }));
}

float FixedWidth(int32_t characters) { return gFixedMetric * WholeSize() * static_cast<float>(characters); }

int32_t PortPenWidth() { return gMathLineWidth >= 1.0f ? DoubleToInt32(gMathLineWidth) : 1; }

QPointF Absolute(float x, float y) { return {x + gMathGlobalOffset_x, y + gMathGlobalOffset_y}; }

QPen ContextPen() {
  QPen pen(Qt::black, gMathLineWidth);
  pen.setJoinStyle(Qt::MiterJoin);
  return pen;
}

void StrokeInContext(MathGraphicsContext& context, const QPainterPath& path) {
  QPainter& painter = *context.painter;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.strokePath(path, ContextPen());
  painter.restore();
  context.position = path.currentPosition();
}

uint32_t HighlightColour() { return QGuiApplication::palette().color(QPalette::Highlight).rgb() & 0xFFFFFFu; }

void FillRoundRect(float left, float top, float right, float bottom, float radius, const uint32_t* rgb,
                   MathGraphicsContext* context) {
  if (!context) EndPassPainter();
  if (context && context->painter)
    DrawAntiAliasedRoundRectInContext(*context->painter, left, top, right, bottom, radius, rgb);
  else if (!context)
    DrawAntiAliasedRoundRect(left, top, right, bottom, radius, rgb);
}

// Draws at the pen and moves the pen past the text, as the port's text
// drawing does.
void DrawText(std::u16string_view text, MathGraphicsContext* context) {
  if (text.empty()) return;
  const float width = gFixedMetric > 0 ? FixedWidth(CharacterCount(text)) : MeasuredWidth(text);
  if (gFixedMetric > 0) {
    DIM_Move(width, 0, context);
    return;
  }
  const uint32_t faceId = CurrentFaceId();
  const float size = WholeSize();
  if (context) {
    if (context->painter) {
      context->painter->save();
      context->painter->setPen(Qt::black);
      DrawCachedText(*context->painter, text, faceId, size, context->position);
      context->painter->restore();
    }
    context->position.rx() += width;
    return;
  }
  OurPort* port = CurrentPort();
  if (!port) return;
  const auto draw = [&](QPainter& painter, const OurPort& p) {
    painter.setPen(QColor::fromRgb(static_cast<QRgb>(p.foreColor & 0xFFFFFF)));
    DrawCachedText(painter, text, faceId, size, QPointF(p.pen.location));
  };
  if (QPainter* shared = gPass.active ? PassPainterFor(port) : nullptr)
    draw(*shared, *port);
  else
    PaintOnCurrentPort(draw);
  port->pen.location.rx() += static_cast<int>(std::lround(width));
}

}  // namespace

PortTextPass::PortTextPass() { gPass.active = true; }

PortTextPass::~PortTextPass() {
  EndPassPainter();
  gPass.active = false;
}

void SetFixedMetricMeasuring(float k) { gFixedMetric = k > 0 ? k : 0; }

void DIM_MoveTo(float x, float y, MathGraphicsContext* context) {
  if (context) {
    context->position = Absolute(x, y);
    return;
  }
  OurMoveTo(DoubleToInt32(x) + gMathGlobalOffset_x, DoubleToInt32(y) + gMathGlobalOffset_y);
}

void DIM_Move(float dx, float dy, MathGraphicsContext* context) {
  if (context) {
    context->position += QPointF(dx, dy);
    return;
  }
  OurMove(DoubleToInt32(dx), DoubleToInt32(dy));
}

void DIM_LineTo(float x, float y, MathGraphicsContext* context) {
  if (context) {
    QPainterPath path(context->position);
    path.lineTo(Absolute(x, y));
    StrokeInContext(*context, path);
    return;
  }
  EndPassPainter();
  OurPenSize(PortPenWidth());
  OurLineTo(DoubleToInt32(x) + gMathGlobalOffset_x, DoubleToInt32(y) + gMathGlobalOffset_y);
}

void DIM_Line(float dx, float dy, MathGraphicsContext* context) {
  if (context) {
    QPainterPath path(context->position);
    path.lineTo(context->position + QPointF(dx, dy));
    StrokeInContext(*context, path);
    return;
  }
  const OurPort* port = CurrentPort();
  if (!port) return;
  EndPassPainter();
  OurPenSize(PortPenWidth());
  OurLineTo(port->pen.location.x() + DoubleToInt32(dx), port->pen.location.y() + DoubleToInt32(dy));
}

void DIM_DrawPolyLine(int32_t count, const FPoint* steps, MathGraphicsContext* context) {
  if (count <= 0 || !steps) return;
  if (context) {
    QPainterPath path(context->position);
    for (int32_t i = 0; i < count; ++i) path.lineTo(path.currentPosition() + QPointF(steps[i].h, steps[i].v));
    StrokeInContext(*context, path);
    return;
  }
  for (int32_t i = 0; i < count; ++i) DIM_Line(steps[i].h, steps[i].v, nullptr);
}

void DIM_InvertRect(const FRect& box, bool plain, MathGraphicsContext* context) {
  const uint32_t highlight = HighlightColour();
  FillRoundRect(box.left + gMathGlobalOffset_x, box.top + gMathGlobalOffset_y, box.right + gMathGlobalOffset_x,
                box.bottom + gMathGlobalOffset_y, kHighlightRadius, plain ? nullptr : &highlight, context);
}

void DIM_InvertRect(const MRect& box, MathGraphicsContext* context) {
  const uint32_t highlight = HighlightColour();
  FillRoundRect(box.left, box.top, box.right, box.bottom, 0, &highlight, context);
}

float DIM_CharWidth(uint32_t c) {
  if (gFixedMetric > 0) return FixedWidth(1);
  return MeasuredCharWidth(c);
}

float DIM_StringWidth(const UniChar* s) {
  if (gFixedMetric > 0) return FixedWidth(CharacterCount(View(s)));
  return MeasuredWidth(View(s));
}

int32_t DIM_PositionToStringOffset(const UniChar* s, float x) {
  if (gFixedMetric > 0) {
    const int32_t length = static_cast<int32_t>(View(s).size());
    return std::clamp(DoubleToInt32(std::floor(x / FixedWidth(1) + 0.5f)), 0, length);
  }
  return OurPositionToOffset(s, x, CurrentFont());
}

float DIM_StringOffsetToPosition(const UniChar* s, int32_t offset) {
  if (gFixedMetric > 0) return FixedWidth(std::clamp(offset, 0, static_cast<int32_t>(View(s).size())));
  return OurOffsetToPosition(s, offset, CurrentFont());
}

void DIM_DrawChar(uint32_t c, MathGraphicsContext* context) {
  UniChar units[3] = {};
  if (EncodeUTF16(c, units)) DrawText(View(units), context);
}

void DIM_DrawString(const UniChar* s, MathGraphicsContext* context) { DrawText(View(s), context); }

namespace {

void NormalFaceOf(OurPort& port) {
  port.text.style = 0;
  port.foreColor = 0x000000;
}

}  // namespace

void DIM_TextSize(float size) {
  if (OurPort* port = CurrentPort()) port->text.fontSize = DoubleToInt32(size);
}

void DIM_NormalFace() {
  if (OurPort* port = CurrentPort()) NormalFaceOf(*port);
}

void DIM_TextSizeAndNormalFace(float size) {
  if (OurPort* port = CurrentPort()) {
    port->text.fontSize = DoubleToInt32(size);
    NormalFaceOf(*port);
  }
}

float DIM_CharAscent(uint32_t c) {
  const bool lowerWithoutAscender =
      c >= 'a' && c <= 'z' &&
      std::u16string_view(u"bdfhijklt").find(static_cast<char16_t>(c)) == std::u16string_view::npos;
  if (lowerWithoutAscender) {
    const float fontAscent = gFixedMetric > 0 ? WholeSize() : CurrentFontAscent();
    return fontAscent / 2 + 1.0f + 2.0f;
  }
  if (c == 0x2211) return 0.9f * gMathFontSize;
  return gMathFontSize;
}

float DIM_CharDescent(uint32_t c) {
  const float s = gMathFontSize;
  switch (c) {
    case 0x239B: return 0.111f * s;
    case 0x239C: return 0.085f * s;
    case 0x239D: return 0.293f * s;
    case 0x23A7:
    case 0x23A8:
    case 0x23A9:
    case 0x23AA: return 0.075f * s;
    case 0x2211: return 0.1f * s;
    case 'g':
    case 'p':
    case 'q':
    case 'y':
    case 'j':
    case 'Q':
    case 0x03C6: return 0.25f * s;
    default: return 1.0f;
  }
}
