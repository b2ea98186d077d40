#include "document/EquationAnnotations.h"

#include <QFontMetrics>
#include <QPainter>

#include "CoreUtilities/text/MessageTable.h"
#include "document/DocumentIdle.h"
#include "document/DocumentRecord.h"
#include "document/MathPaneResults.h"
#include "expression/MathEditRecord.h"
#include "platform/FontFaces.h"

namespace {

constexpr int32_t kResultGap = 6;
constexpr uint32_t kMessageColor = 0x993333;

QFont AnnotationFont(const DocumentRecord* document) {
  const uint32_t family = FindFontFamily(document->fContents.fontName);
  const FontFace* face = GetFontFace(FontFaceId(family == kNoFontFace ? 0 : family, false, false));
  if (!face) face = GetFontFace(FallbackFontFace());
  QFont font = face ? face->font : QFont();
  font.setPixelSize(FontSizeInUse(document->fContents));
  return font;
}

}  // namespace

int32_t EquationAnnotationHeight(const DocumentRecord* document, int32_t block) {
  if (EquationMessage(document, block) == 0) return 0;
  return QFontMetrics(AnnotationFont(document)).height();
}

void DrawEquationAnnotations(const DocumentRecord* document, int32_t block, const MERecord& record, QPainter& painter) {
  const std::u16string result = MathPaneResultForBlock(document, block);
  const int32_t message = EquationMessage(document, block);
  if (result.empty() && message == 0) return;
  const QFont font = AnnotationFont(document);
  const QFontMetrics metrics(font);
  const int top = record.drawRect[kDrawTop], left = record.drawRect[kDrawLeft];
  const int bottom = record.drawRect[kDrawBottom], right = record.drawRect[kDrawRight];
  painter.save();
  painter.setFont(font);
  if (!result.empty()) {
    painter.setPen(Qt::black);
    const int baseline = (top + bottom + metrics.ascent() - metrics.descent()) / 2;
    painter.drawText(QPoint(right + kResultGap, baseline), QStringLiteral("= ") + QString::fromStdU16String(result));
  }
  if (message != 0) {
    painter.setPen(QColor::fromRgb(kMessageColor));
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(OurGetLocalizedString(message)));
    painter.drawText(QPoint(left, bottom + metrics.ascent()), text);
  }
  painter.restore();
}
