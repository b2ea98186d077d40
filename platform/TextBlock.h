#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdint>
#include <functional>
#include <vector>

class QPainter;

// Modifier bits as the platform's events carry them.
inline constexpr int kPlatformCommandKey = 0x100;
inline constexpr int kPlatformShiftKey = 0x200;
inline constexpr int kPlatformOptionKey = 0x800;
inline constexpr int kPlatformControlKey = 0x1000;

enum TextBlockFeature : int {
  kTextAutoScroll = 0,
  kTextUndo = 6,
  kTextIntelligentCutPaste = 7,
  kTextNoRecalculation = 9,
  kTextNoRedraw = 12,
};

// One stretch of text in one style, as the document writer walks them.
struct TextStyleRun {
  int start = 0;
  int length = 0;
  QString family;
  double size = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

// A styled text block of the math pane: text, styles, selection, undo and
// its place on the page, laid out at 72 dpi so that a point is a pixel.
class TextBlock {
 public:
  TextBlock();

  bool Feature(int feature) const;
  // While kTextNoRecalculation is on, changes are not laid out: a bulk
  // change is laid out once, when the text is next measured, drawn or
  // clicked with the feature off.
  void SetFeature(int feature, bool on);

  // Every change goes through here, so that a change made while undo is
  // off clears the undo history (its steps would no longer fit the text)
  // while switching undo off and on by itself keeps it.
  void Edit(const std::function<void(QTextCursor&)>& change);
  void MergeFormat(const QTextCharFormat& format);
  void Key(int key, int modifiers);
  void Click(QPointF where, int modifiers, int clickCount);
  void Undo();

  QString Contents() const;  // paragraphs end with carriage returns
  std::vector<TextStyleRun> StyleRuns() const;
  int CharacterCount() const { return document.characterCount(); }
  // Lays the text out at least through the paragraph holding the character
  // at position, so that a long text can be laid out a stretch at a time;
  // returns the height laid out down to that paragraph's end.
  double LayOutThrough(int position);
  // Lays the paragraph holding position out apart from the text, a piece
  // of that many characters at a time, line by line, asking goOn after each
  // line; false once it says no. The engine lays a paragraph out in one
  // call that nothing stops, so a long one is timed here first where it
  // can stop, in pieces so that no one step takes long.
  bool RehearseParagraphLayout(int position, int piece, const std::function<bool()>& goOn) const;
  // From now on the text counts as this high and is laid out and drawn no
  // further down, until its width or contents change or it is laid out on.
  void StopLayoutAt(double height);
  double Height() const;
  QRect Destination() const;  // bottom follows the text's height
  void SetDestination(const QRect& destination);
  QRect View() const { return fView; }
  void SetView(const QRect& view) { fView = view; }
  // Only the part the painter can show is drawn.
  void Draw(QPainter& painter) const;

  QTextDocument document;
  QTextCursor cursor;
  bool active = false;
  QColor background = Qt::white;
  QPointF clickOrigin;                   // where the last click was
  std::function<void()> scrollCallback;  // told when the text scrolls itself

 private:
  void SetTextWidth(double width);
  void HoldLayout();
  // The layout is a cache of the text: measuring lays out what is held.
  void EnsureLaidOut() const;

  QImage fDevice;  // 72 dpi, for the layout's measures
  mutable bool fLayoutHeld = false;
  mutable QSizeF fPageSize;    // the page to lay out in once the layout is let go
  double fStoppedHeight = -1;  // negative: the layout goes on to the end
  QRect fDestination;
  QRect fView;
  uint32_t fFeatures = 0;
};
