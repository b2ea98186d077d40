#include "platform/TextBlock.h"

#include "platform/FontFaces.h"
#include "platform/GuiApplication.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kDotsPerMeterAt72Dpi = 2835;

// What the painter can reach of its device, in its own coordinates.
QRectF ShownArea(const QPainter& painter) {
  const QPaintDevice* device = painter.device();
  QRectF shown = painter.combinedTransform().inverted().mapRect(QRectF(0, 0, device->width(), device->height()));
  if (painter.hasClipping()) shown &= painter.clipBoundingRect();
  return shown;
}

}  // namespace

TextBlock::TextBlock() : fDevice((EnsureGuiApplication(), QSize(1, 1)), QImage::Format_RGB32) {
  fDevice.setDotsPerMeterX(kDotsPerMeterAt72Dpi);
  fDevice.setDotsPerMeterY(kDotsPerMeterAt72Dpi);
  document.documentLayout()->setPaintDevice(&fDevice);
  document.setDocumentMargin(0);
  QFont font(FontFamilyName(FindFontFamily("Times")));
  font.setPointSizeF(12);
  document.setDefaultFont(font);
  cursor = QTextCursor(&document);
  SetFeature(kTextUndo, true);
  SetFeature(kTextIntelligentCutPaste, true);
}

bool TextBlock::Feature(int feature) const { return (fFeatures >> feature) & 1u; }

void TextBlock::SetFeature(int feature, bool on) {
  if (feature < 0 || feature > 31) return;
  fFeatures = on ? fFeatures | (1u << feature) : fFeatures & ~(1u << feature);
  if (feature == kTextNoRecalculation && on) HoldLayout();
}

// The engine lays out no line while its page has no size; otherwise every
// change lays out the paragraphs it touched at once.
void TextBlock::HoldLayout() {
  if (fLayoutHeld) return;
  fLayoutHeld = true;
  fPageSize = document.pageSize();
  document.setPageSize(QSizeF(0, 0));
}

void TextBlock::EnsureLaidOut() const {
  if (!fLayoutHeld || Feature(kTextNoRecalculation)) return;
  fLayoutHeld = false;
  const_cast<QTextDocument&>(document).setPageSize(fPageSize);
}

void TextBlock::SetTextWidth(double width) {
  fStoppedHeight = -1;
  if (!fLayoutHeld) {
    document.setTextWidth(width);
    return;
  }
  fPageSize = QSizeF(width, -1);
}

void TextBlock::Edit(const std::function<void(QTextCursor&)>& change) {
  fStoppedHeight = -1;
  const int undoSteps = document.availableUndoSteps();
  cursor.beginEditBlock();
  change(cursor);
  cursor.endEditBlock();
  if (!Feature(kTextUndo) && document.availableUndoSteps() != undoSteps) document.clearUndoRedoStacks();
}

void TextBlock::MergeFormat(const QTextCharFormat& format) {
  Edit([&](QTextCursor& at) {
    at.mergeCharFormat(format);
    if (!at.hasSelection()) at.setCharFormat(at.charFormat());  // typing picks it up
  });
}

void TextBlock::Key(int key, int modifiers) {
  EnsureLaidOut();  // moving by lines needs the lines
  const auto anchor = (modifiers & kPlatformShiftKey) ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
  const bool word = modifiers & kPlatformOptionKey;
  const bool line = modifiers & kPlatformCommandKey;
  switch (key) {
    case 28:
      cursor.movePosition(line ? QTextCursor::StartOfLine : word ? QTextCursor::WordLeft : QTextCursor::Left, anchor);
      return;
    case 29:
      cursor.movePosition(line ? QTextCursor::EndOfLine : word ? QTextCursor::NextWord : QTextCursor::Right, anchor);
      return;
    case 30: cursor.movePosition(line ? QTextCursor::Start : QTextCursor::Up, anchor); return;
    case 31: cursor.movePosition(line ? QTextCursor::End : QTextCursor::Down, anchor); return;
    case 8:
      Edit([&](QTextCursor& at) {
        if (!at.hasSelection())
          at.movePosition(word ? QTextCursor::PreviousWord : QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
        at.removeSelectedText();
      });
      return;
    case 127:
      Edit([&](QTextCursor& at) {
        if (!at.hasSelection()) at.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        at.removeSelectedText();
      });
      return;
    case 13: Edit([](QTextCursor& at) { at.insertBlock(); }); return;
    default:
      if (key < 32 || key > 0xFFFF || line) return;  // command keys belong to the menus
      Edit([&](QTextCursor& at) { at.insertText(QString(QChar(static_cast<char16_t>(key)))); });
  }
}

void TextBlock::Click(QPointF where, int modifiers, int clickCount) {
  EnsureLaidOut();
  clickOrigin = where;
  const QPointF local = where - QPointF(fDestination.topLeft());
  const int position = document.documentLayout()->hitTest(local, Qt::FuzzyHit);
  if (position < 0) return;
  const auto anchor = (modifiers & kPlatformShiftKey) ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
  cursor.setPosition(position, anchor);
  if (clickCount == 2) cursor.select(QTextCursor::WordUnderCursor);
  if (clickCount >= 3) cursor.select(QTextCursor::BlockUnderCursor);
}

void TextBlock::Undo() { document.undo(&cursor); }

QString TextBlock::Contents() const {
  QString text = document.toRawText();
  text.replace(QChar::ParagraphSeparator, QChar(13));
  return text;
}

std::vector<TextStyleRun> TextBlock::StyleRuns() const {
  std::vector<TextStyleRun> runs;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
      const QTextFragment piece = fragment.fragment();
      const QTextCharFormat format = piece.charFormat();
      const QFont font = format.font();
      TextStyleRun run{piece.position(), piece.length(), font.family(),   font.pointSizeF(),
                       font.bold(),      font.italic(),  font.underline()};
      TextStyleRun* last = runs.empty() ? nullptr : &runs.back();
      const bool sameStyle = last != nullptr && last->family == run.family && last->size == run.size &&
                             last->bold == run.bold && last->italic == run.italic && last->underline == run.underline;
      // A paragraph break between two runs of one style belongs to both.
      if (sameStyle && last->start + last->length + 1 >= run.start)
        last->length = run.start + run.length - last->start;
      else
        runs.push_back(run);
    }
  }
  return runs;
}

double TextBlock::LayOutThrough(int position) {
  fStoppedHeight = -1;
  EnsureLaidOut();
  const QTextBlock paragraph = document.findBlock(std::clamp(position, 0, std::max(0, CharacterCount() - 1)));
  // The engine lays out on from where it stands only as far as asked here.
  return document.documentLayout()->blockBoundingRect(paragraph).bottom();
}

bool TextBlock::RehearseParagraphLayout(int position, int piece, const std::function<bool()>& goOn) const {
  const QTextBlock paragraph = document.findBlock(std::clamp(position, 0, std::max(0, CharacterCount() - 1)));
  const QString text = paragraph.text();
  const QList<QTextLayout::FormatRange> formats = paragraph.textFormats();
  QTextOption option = document.defaultTextOption();
  option.setAlignment(paragraph.blockFormat().alignment());
  const double width = fLayoutHeld ? fPageSize.width() : document.textWidth();
  for (int start = 0; start < text.size(); start += piece) {
    const int length = std::min<int>(piece, text.size() - start);
    QList<QTextLayout::FormatRange> pieceFormats;
    for (QTextLayout::FormatRange range : formats) {
      const int from = std::max(range.start, start), to = std::min(range.start + range.length, start + length);
      if (from >= to) continue;
      range.start = from - start;
      range.length = to - from;
      pieceFormats.append(range);
    }
    QTextLayout rehearsal(text.mid(start, length), document.defaultFont(), &fDevice);
    rehearsal.setFormats(pieceFormats);
    rehearsal.setTextOption(option);
    rehearsal.beginLayout();
    for (QTextLine line = rehearsal.createLine(); line.isValid(); line = rehearsal.createLine()) {
      if (width > 0) line.setLineWidth(width);
      if (!goOn()) return false;
    }
    rehearsal.endLayout();
  }
  return true;
}

void TextBlock::StopLayoutAt(double height) { fStoppedHeight = std::max(0.0, height); }

double TextBlock::Height() const {
  if (fStoppedHeight >= 0) return fStoppedHeight;
  EnsureLaidOut();
  return document.size().height();
}

QRect TextBlock::Destination() const {
  QRect rect = fDestination;
  rect.setHeight(static_cast<int>(std::ceil(Height())));
  return rect;
}

void TextBlock::SetDestination(const QRect& destination) {
  if (destination.width() != fDestination.width()) SetTextWidth(destination.width());
  fDestination = destination;
}

void TextBlock::Draw(QPainter& painter) const {
  painter.save();
  painter.translate(fDestination.topLeft());
  QAbstractTextDocumentLayout::PaintContext context;
  // Without a clip the engine lays out and draws every paragraph, shown or
  // not; a text stopped short has nothing below its height to draw, and
  // one stopped before its first paragraph is left unlaid.
  context.clip = ShownArea(painter);
  if (fStoppedHeight >= 0) context.clip &= QRectF(context.clip.left(), 0, context.clip.width(), fStoppedHeight);
  if (context.clip.isEmpty()) {
    painter.restore();
    return;
  }
  // The engine draws every line the clip touches, the one below it too.
  if (fStoppedHeight >= 0) painter.setClipRect(context.clip, Qt::IntersectClip);
  EnsureLaidOut();
  context.palette.setColor(QPalette::Text, Qt::black);
  if (active) {
    context.cursorPosition = cursor.hasSelection() ? -1 : cursor.position();
    if (cursor.hasSelection()) {
      QAbstractTextDocumentLayout::Selection selection;
      selection.cursor = cursor;
      selection.format.setBackground(QColor(0xB5, 0xD5, 0xFF));
      context.selections.append(selection);
    }
  }
  document.documentLayout()->draw(&painter, context);
  painter.restore();
}
