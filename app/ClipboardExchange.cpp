#include "app/ClipboardExchange.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>

#include <cmath>
#include <memory>

#include "app/PdfPage.h"
#include "expression/ExpressionParser.h"
#include "expression/ExpressionWriter.h"
#include "expression/MathEditRecord.h"
#include "expression/OperatorTable.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "matheditor/FormulaClipboard.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathEditInterface.h"

namespace {

constexpr int kMargin = 4;
constexpr int kDotsPerMeterAt72Dpi = 2835;

// A scratch record holding a copy of the tree, laid out; the current record
// is restored when it goes.
class FormulaPicture {
 public:
  FormulaPicture(const ExpressionRecord* tree, DocumentWindow* window)
      : fSaved(gMathCurrentMEH), fSavedPromptAsIP(gShowPromptAsIP), fWindow(window), fRecord(MENew(window)) {
    ExpressionRecord* copy = fRecord ? Copy(tree) : nullptr;
    if (!copy) return;
    DisposExpr(fRecord->root);
    fRecord->root = fRecord->selected = copy;
    fRecord->caretType = kIPWholeNode;
    fRecord->sizeTable = gMathDefaultSizes;
    fRecord->wrapWidth = kNoWrapWidth;
    gShowPromptAsIP = false;
    fLaidOut = MEHeight(fRecord) > 0;
  }
  ~FormulaPicture() {
    MEDispose(fRecord);
    gShowPromptAsIP = fSavedPromptAsIP;
    if (fSaved) MESetCurrentEqn(fSaved, fSaved->window);
  }
  FormulaPicture(const FormulaPicture&) = delete;
  FormulaPicture& operator=(const FormulaPicture&) = delete;

  bool LaidOut() const { return fLaidOut; }
  QSize Size() {
    MESetCurrentEqn(fRecord, fWindow);
    return {static_cast<int>(std::ceil(LB_Width(fRecord))) + 2 * kMargin,
            static_cast<int>(std::ceil(LB_Height(fRecord))) + 2 * kMargin};
  }
  void Draw(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    fRecord->drawRect[kDrawTop] = kMargin;
    fRecord->drawRect[kDrawLeft] = kMargin;
    MathGraphicsContext context{&painter, {}};
    MEUpdate(fRecord, fWindow, &context);
  }

 private:
  MERecord* fSaved;
  bool fSavedPromptAsIP;
  DocumentWindow* fWindow;
  MERecord* fRecord;
  bool fLaidOut = false;
};

QByteArray Png(FormulaPicture& picture) {
  QImage image(picture.Size(), QImage::Format_RGB32);
  image.setDotsPerMeterX(kDotsPerMeterAt72Dpi);
  image.setDotsPerMeterY(kDotsPerMeterAt72Dpi);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    picture.Draw(painter);
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

QByteArray Pdf(FormulaPicture& picture) {
  return OnePagePdf(picture.Size(), [&picture](QPainter& painter) { picture.Draw(painter); });
}

}  // namespace

QMimeData* FormulaMimeData(const ExpressionRecord* tree, DocumentWindow* window) {
  std::unique_ptr<char[]> text(ExportTextFormatOfExpr(tree, false));
  if (!text) return nullptr;
  auto* data = new QMimeData;
  data->setData(kFormulaMimeType, QByteArray(text.get()));
  data->setText(QString::fromUtf8(text.get()));
  FormulaPicture picture(tree, window);
  if (picture.LaidOut()) {
    data->setData("image/png", Png(picture));
    data->setData("application/pdf", Pdf(picture));
  }
  return data;
}

void ExportMathClipboard(DocumentWindow* window) {
  QMimeData* data = nullptr;
  if (gMathClipboard) {
    data = FormulaMimeData(gMathClipboard, window);
  } else if (gMathClipboardType != 0) {
    data = new QMimeData;
    data->setData(kFormulaMimeType, QByteArray());
  }
  if (data) QGuiApplication::clipboard()->setMimeData(data);
}

bool ImportMathClipboard(const QMimeData* data, QString* refusal) {
  if (!data) return false;
  QByteArray text;
  if (data->hasFormat(kFormulaMimeType)) {
    text = data->data(kFormulaMimeType);
    if (text.isEmpty()) return gMathClipboard != nullptr || gMathClipboardType != 0;
  } else if (data->hasText()) {
    text = data->text().trimmed().toUtf8();
  }
  if (text.isEmpty()) return false;
  ExpressionRecord* tree = CoreParseExpr(text.constData(), static_cast<int32_t>(text.size()));
  if (!tree) {
    if (refusal) *refusal = QString::fromStdString(ExprParseRefusal());
    return false;
  }
  DisposExpr(gMathClipboard);
  gMathClipboard = tree;
  gMathClipboardType = 0;
  return true;
}
