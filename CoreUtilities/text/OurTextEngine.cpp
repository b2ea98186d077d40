#include "CoreUtilities/text/OurTextEngine.h"

#include "CoreUtilities/text/OurString.h"
#include "CoreUtilities/text/ReplacingDecoder.h"
#include "CoreUtilities/threads/ComputationDeadline.h"
#include "platform/FontFaces.h"
#include "platform/GivenFontName.h"
#include "platform/OurPort.h"
#include "platform/TextBlock.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextBlockFormat>

#include <algorithm>

int gFilterMathPaneText = 1;

namespace {

int PlatformModifiers(int modifiers) {
  return ((modifiers & kOurCommandKey) ? kPlatformCommandKey : 0) |
         ((modifiers & kOurShiftKey) ? kPlatformShiftKey : 0) | ((modifiers & kOurOptionKey) ? kPlatformOptionKey : 0) |
         ((modifiers & kOurControlKey) ? kPlatformControlKey : 0);
}

void Insert(OurText text, const QString& inserted) {
  QString blocks = inserted;
  blocks.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar(13), QChar(10));
  text->Edit([&](QTextCursor& at) { at.insertText(blocks); });
}

void SetCharFormat(OurText text, const std::function<void(QTextCharFormat&)>& set) {
  QTextCharFormat format;
  set(format);
  text->MergeFormat(format);
}

// Bulk changes run with redraw, recalculation, smart spacing and undo off.
void WithBulkFeatures(OurText text, const std::function<void()>& change) {
  OurTextSetFeaturesForBeginText(text);
  change();
  OurTextSetFeaturesForBeginDoc(text);
}

void Justify(OurText text, Qt::Alignment alignment, bool bold) {
  WithBulkFeatures(text, [&] {
    text->cursor.select(QTextCursor::Document);
    text->Edit([&](QTextCursor& at) {
      QTextBlockFormat paragraph;
      paragraph.setAlignment(alignment);
      at.mergeBlockFormat(paragraph);
    });
    OurTextSetStyleBold(text, bold);
    text->cursor.setPosition(0);
  });
}

QRect EngineQRect(const MRect& rect) {
  return QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1));
}

// Characters laid out between two looks at the drawing's deadline.
constexpr int kTextLayoutStretch = 1 << 16;

// Paragraphs longer than a stretch that begin in [from, to) are rehearsed
// before the engine may reach them: its layout runs on past what it is
// asked for, by less than a stretch. False when one of them, laid out
// again, would end past the deadline; the engine has touched none of them.
bool RehearseLongParagraphs(OurText text, int from, int to) {
  const int64_t begun = DeadlineClockReading();
  const auto inTime = [begun] { return !DrawingDeadlineNearerThanSince(begun); };
  for (QTextBlock paragraph = text->document.findBlock(from); paragraph.isValid() && paragraph.position() < to;
       paragraph = paragraph.next()) {
    if (paragraph.position() < from || paragraph.length() <= kTextLayoutStretch) continue;
    if (!text->RehearseParagraphLayout(paragraph.position(), kTextLayoutStretch, inTime)) return false;
  }
  return true;
}

// A long text is laid out a stretch at a time; past the deadline it stands
// as far as it got, so the export keeps its time.
void LayOutWithinDrawingDeadline(OurText text) {
  const int end = text->CharacterCount();
  const bool rehearsing = HasDrawingDeadline();
  double height = 0;
  for (int from = 0; from < end; from += kTextLayoutStretch) {
    const int ahead = from == 0 ? 0 : from + kTextLayoutStretch;
    if (DrawingDeadlinePassed() ||
        (rehearsing && !RehearseLongParagraphs(text, ahead, from + 2 * kTextLayoutStretch))) {
      text->StopLayoutAt(height);
      return;
    }
    height = text->LayOutThrough(std::min(from + kTextLayoutStretch, end) - 1);
  }
}

}  // namespace

OurText OurTextNew() { return new TextBlock; }
void OurTextDispose(OurText text) { delete text; }

void OurTextKey(int key, int modifiers, OurText text) { text->Key(key, PlatformModifiers(modifiers)); }

void OurTextClick(MPoint where, int modifiers, int clickCount, OurText text) {
  OurTextActivate(text);
  text->Click(QPointF(where.h, where.v), PlatformModifiers(modifiers), clickCount);
}

void OurTextInsertChar(char byte, OurText text) { Insert(text, QString(QChar(static_cast<unsigned char>(byte)))); }

void OurTextInsertLineEnding(OurText text) { Insert(text, QStringLiteral("\r")); }

void OurTextInsertString(const char* bytes, int32_t length, bool isUTF8, OurText text) {
  if (bytes == nullptr || length <= 0) return;
  Insert(text, isUTF8 ? QString::fromStdU16String(DecodeUTF8Replacing(bytes, static_cast<size_t>(length)))
                      : QString::fromLatin1(bytes, length));
}

void OurTextSetFont(const char* name, uint32_t, bool, OurText text) {
  uint32_t family = name != nullptr ? FindFontFamily(name) : kNoFontFace;
  if (family == kNoFontFace) family = FindFontFamily("Times");
  const QString given = name != nullptr ? QString::fromUtf8(name) : FontFamilyName(family);
  SetCharFormat(text, [&](QTextCharFormat& format) {
    format.setFontFamilies({FontFamilyName(family)});
    format.setProperty(kGivenFontNameProperty, given);
  });
}

void OurTextSetSize(int32_t points, OurText text) {
  if (points <= 0) return;
  SetCharFormat(text, [&](QTextCharFormat& format) { format.setFontPointSize(points); });
}

void OurTextSetStyleBold(OurText text, bool on) {
  SetCharFormat(text, [&](QTextCharFormat& format) { format.setFontWeight(on ? QFont::Bold : QFont::Normal); });
}
void OurTextSetStyleItalic(OurText text, bool on) {
  SetCharFormat(text, [&](QTextCharFormat& format) { format.setFontItalic(on); });
}
void OurTextSetStyleUnderline(OurText text, bool on) {
  SetCharFormat(text, [&](QTextCharFormat& format) { format.setFontUnderline(on); });
}

void OurTextSetBackgroundColor(OurText text, uint32_t rgb) { text->background = QColor::fromRgb(rgb & 0xFFFFFF); }

void OurTextSelectAll(OurText text) {
  OurTextActivate(text);
  text->cursor.select(QTextCursor::Document);
}

void OurTextUndo(OurText text) {
  OurTextActivate(text);
  text->Undo();
}

void OurTextEmptyUndoBuffer(OurText) {}

UniChar* OurTextGetContents(OurText text) {
  const QString contents = text->Contents();
  return OurStringCreate(reinterpret_cast<const UniChar*>(contents.utf16()), static_cast<size_t>(contents.size()));
}

int32_t OurTextGetLength(OurText text) { return static_cast<int32_t>(text->Contents().size()); }
void OurTextActivate(OurText text) { text->active = true; }
void OurTextDeactivate(OurText text) { text->active = false; }
bool OurTextIsActive(OurText text) { return text->active; }
void OurTextIdle(OurText) {}  // the caret is drawn steadily; blinking is the window's

int32_t OurTextGetHeight(OurText text) { return text->Destination().height(); }
int32_t OurTextGetBottom(OurText text) { return text->Destination().bottom() + 1; }

bool IsPointInOurTextBlock(OurText text, MPoint where) {
  QRect area = text->Destination();
  if (area.top() > 0) area.setTop(0);
  return area.contains(where.h, where.v);
}

void OurTextSetFeaturesForBeginDoc(OurText text) {
  text->SetFeature(kTextNoRedraw, false);
  text->SetFeature(kTextNoRecalculation, false);
  text->SetFeature(kTextIntelligentCutPaste, true);
  text->SetFeature(kTextUndo, true);
}

void OurTextSetFeaturesForBeginText(OurText text) {
  text->SetFeature(kTextNoRedraw, true);
  text->SetFeature(kTextNoRecalculation, true);
  text->SetFeature(kTextIntelligentCutPaste, false);
  text->SetFeature(kTextUndo, false);
}

void OurTextCenterJustify(OurText text) { Justify(text, Qt::AlignHCenter, true); }
void OurTextLeftJustify(OurText text) { Justify(text, Qt::AlignLeft, false); }

void OurTextReplaceContents(const UniChar* units, int32_t count, int32_t points, OurText text) {
  gFilterMathPaneText = 0;
  WithBulkFeatures(text, [&] {
    text->cursor.select(QTextCursor::Document);
    Insert(text, units != nullptr && count > 0 ? QString(reinterpret_cast<const QChar*>(units), count) : QString());
    text->cursor.select(QTextCursor::Document);
    OurTextSetSize(points, text);
    text->cursor.setPosition(0);
  });
  gFilterMathPaneText = 1;
}

void OurTextRecalculateMargins(OurText text, const MRect& destination, const MRect& view) {
  auto scroll = std::move(text->scrollCallback);
  text->scrollCallback = nullptr;
  QRect place = EngineQRect(destination);
  text->SetDestination(place);
  LayOutWithinDrawingDeadline(text);
  QRect shown = EngineQRect(view);
  shown.setHeight(text->Destination().height());
  text->SetView(shown);
  text->scrollCallback = std::move(scroll);
}

void OurTextDraw(OurText text, QPainter* context) {
  if (DrawingDeadlinePassed()) return;
  if (context != nullptr) {
    text->Draw(*context);
    return;
  }
  PaintOnCurrentPort([&](QPainter& painter, const OurPort&) { text->Draw(painter); });
}
