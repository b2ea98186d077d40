#include "tools/FormulaImages.h"

#include "expression/ExpressionParser.h"
#include "expression/TreeDisposal.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathEditInterface.h"
#include "matheditor/MathEditorStartup.h"
#include "matheditor/MathSizeTable.h"
#include "tools/SafeWriting.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>
#include <string_view>

namespace {

constexpr int kDotsPerMeterAt72Dpi = 2835;

float gProbeSizes[6];

QSize PictureSize(MERecord* record, int margin) {
  gMathCurrentMEH = record;
  return {static_cast<int>(std::ceil(LB_Width(record))) + 2 * margin,
          static_cast<int>(std::ceil(LB_Height(record))) + 2 * margin};
}

void Draw(MERecord* record, int margin, QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  record->drawRect[kDrawTop] = static_cast<int16_t>(margin);
  record->drawRect[kDrawLeft] = static_cast<int16_t>(margin);
  MathGraphicsContext context{&painter, {}};
  MEUpdate(record, record->window, &context);
}

}  // namespace

MERecord* TypesetFormulaText(const char* text, float baseSize, float wrapWidth) {
  InstallMathEditor();
  ExpressionRecord* tree = ParseExprFromString(text);
  if (!tree) return nullptr;
  MERecord* record = MENew(nullptr);
  if (!record) {
    DisposExpr(tree);
    return nullptr;
  }
  DisposExpr(record->root);
  record->root = tree;
  record->selected = tree;
  FillMathSizeTable(gProbeSizes, baseSize);
  record->sizeTable = gProbeSizes;
  record->wrapWidth = wrapWidth;
  gShowPromptAsIP = false;
  MEHeight(record);
  return record;
}

QImage FormulaImage(MERecord* record, int margin) {
  QImage image(PictureSize(record, margin), QImage::Format_RGB32);
  image.setDotsPerMeterX(kDotsPerMeterAt72Dpi);
  image.setDotsPerMeterY(kDotsPerMeterAt72Dpi);
  image.fill(Qt::white);
  QPainter painter(&image);
  Draw(record, margin, painter);
  return image;
}

bool WriteFormulaPdf(MERecord* record, int margin, const QString& path) {
  const QSize size = PictureSize(record, margin);
  QBuffer pdf;
  pdf.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&pdf);
    writer.setResolution(72);
    writer.setPageLayout(QPageLayout(QPageSize(QSizeF(size), QPageSize::Point), QPageLayout::Portrait, QMarginsF()));
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    Draw(record, margin, painter);
    if (!painter.end()) return false;
  }
  const QByteArray& bytes = pdf.data();
  return SaveBytesSafely(path.toStdString(), std::string_view(bytes.constData(), size_t(bytes.size())));
}
