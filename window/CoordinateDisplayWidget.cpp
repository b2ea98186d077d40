#include "window/CoordinateDisplayWidget.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolTip>

#include <algorithm>

#include "document/CoordinateDisplay.h"
#include "document/DocumentParameters.h"
#include "document/DocumentRecord.h"

namespace {

constexpr const char16_t* kFieldNames[kCoordDisplayParamCount] = {
    u"x", u"y", u"z", u"w", u"x\u2032", u"y\u2032", u"z\u2032", u"r", u"\u03b8", u"\u03c6", u"t", u"u", u"v"};
constexpr int kFieldWidth = 110;
constexpr int kParameterRowsStart = kCoordDisplayParamCount;
constexpr int kMostRowsInView = 5;

}  // namespace

CoordinateDisplayWidget::CoordinateDisplayWidget(DocumentRecord* document, QWidget* parent)
    : QScrollArea(parent), fDocument(document), fContent(new QWidget), fGrid(new QGridLayout(fContent)) {
  setWidget(fContent);
  setWidgetResizable(true);
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  fGrid->setContentsMargins(6, 2, 6, 2);
  fGrid->setVerticalSpacing(2);
  fGrid->setColumnStretch(4, 1);
  for (int32_t p = 0; p < kCoordDisplayParamCount; ++p) {
    Row& row = fRanges[p];
    row.name = new QLabel(QString::fromUtf16(kFieldNames[p]), fContent);
    row.low = NewField();
    row.to = new QLabel(tr("to"), fContent);
    row.high = NewField();
    fGrid->addWidget(row.name, p, 0, Qt::AlignRight);
    fGrid->addWidget(row.low, p, 1);
    fGrid->addWidget(row.to, p, 2);
    fGrid->addWidget(row.high, p, 3);
    for (QLineEdit* end : {row.low, row.high})
      connect(end, &QLineEdit::returnPressed, this, [this, p] { RangeEntered(p); });
  }
  Redraw();
}

QLineEdit* CoordinateDisplayWidget::NewField() {
  auto* field = new QLineEdit(fContent);
  field->setFixedWidth(kFieldWidth);
  field->installEventFilter(this);
  return field;
}

QLineEdit* CoordinateDisplayWidget::RangeField(int32_t field, int32_t end) const {
  if (field < 0 || field >= kCoordDisplayParamCount) return nullptr;
  return end == 0 ? fRanges[field].low : fRanges[field].high;
}

QLineEdit* CoordinateDisplayWidget::ParameterField(int32_t letter) const {
  for (const ParameterRow& row : fParameters)
    if (row.letter == letter && row.value->isVisibleTo(this)) return row.value;
  return nullptr;
}

// Rows are made as the list grows and hidden, not deleted, when it
// shrinks, so that a field being edited is never destroyed under the user.
CoordinateDisplayWidget::ParameterRow& CoordinateDisplayWidget::ParameterRowAt(size_t i) {
  while (fParameters.size() <= i) {
    ParameterRow row;
    row.name = new QLabel(fContent);
    row.value = NewField();
    const int line = kParameterRowsStart + int(fParameters.size());
    fGrid->addWidget(row.name, line, 0, Qt::AlignRight);
    fGrid->addWidget(row.value, line, 1);
    const size_t index = fParameters.size();
    connect(row.value, &QLineEdit::returnPressed, this, [this, index] { ParameterEntered(fParameters[index]); });
    fParameters.push_back(row);
  }
  return fParameters[i];
}

void CoordinateDisplayWidget::ShowValue(QLineEdit* field, double value) {
  if (!field->hasFocus()) SetNumber(field, value);
}

void CoordinateDisplayWidget::SetNumber(QLineEdit* field, double value) {
  field->setText(NumberText(value));
  field->setCursorPosition(0);
}

QString CoordinateDisplayWidget::NumberText(double value) const {
  return QString::number(value, 'g', SignificantDigitsInUse(fDocument->fContents));
}

void CoordinateDisplayWidget::Redraw() {
  const CoordinateDisplayValues& display = fDocument->fCoordinates;
  bool any = false;
  for (int32_t p = 0; p < kCoordDisplayParamCount; ++p) {
    const Row& row = fRanges[p];
    const bool shown = display.shown[p];
    any = any || shown;
    for (QWidget* part : {static_cast<QWidget*>(row.name), static_cast<QWidget*>(row.low),
                          static_cast<QWidget*>(row.to), static_cast<QWidget*>(row.high)})
      part->setVisible(shown);
    if (!shown) continue;
    ShowValue(row.low, display.low[p]);
    ShowValue(row.high, display.high[p]);
  }
  size_t count = 0;
  for (const DocumentParameter& parameter : fDocument->fContents.parameters) {
    if (!IsParameterShown(parameter.name, fDocument)) continue;
    ParameterRow& row = ParameterRowAt(count++);
    if (row.letter != parameter.name) {
      row.letter = parameter.name;
      row.name->setText(QString(QChar(char16_t(parameter.name))) + " =");
      row.value->clear();
    }
    row.name->show();
    row.value->show();
    ShowValue(row.value, parameter.value);
  }
  for (size_t i = count; i < fParameters.size(); ++i) {
    fParameters[i].name->hide();
    fParameters[i].value->hide();
  }
  setVisible(any || count > 0);
  FitHeight();
}

void CoordinateDisplayWidget::FitHeight() {
  fGrid->activate();
  const QMargins margins = fGrid->contentsMargins();
  const int row = fRanges[0].low->sizeHint().height() + fGrid->verticalSpacing();
  const int most = kMostRowsInView * row + margins.top() + margins.bottom();
  setFixedHeight(std::min(fContent->sizeHint().height(), most));
}

// The text stays for the user to mend.
void CoordinateDisplayWidget::Refuse(QLineEdit* field, const QString& message) {
  QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), message, field);
}

void CoordinateDisplayWidget::RangeEntered(int32_t field) {
  const Row& row = fRanges[field];
  const CoordinateDisplayValues& display = fDocument->fCoordinates;
  const auto low = EndEntered(row.low, display.low[field]);
  const auto high = EndEntered(row.high, display.high[field]);
  if (!low || !high || !EditCoordinateRange(field, *low, *high, fDocument)) {
    Refuse(row.low,
           tr("The ends of %1 must be two different numbers the view can draw between.").arg(row.name->text()));
    return;
  }
  // The fields show the numbers their formulas gave, even while edited;
  // the rest of the display waits for the pass.
  SetNumber(row.low, *low);
  SetNumber(row.high, *high);
  Q_EMIT Edited();
}

std::optional<double> CoordinateDisplayWidget::EndEntered(const QLineEdit* field, double inEffect) const {
  if (field->text() == NumberText(inEffect)) return inEffect;
  return CoordinateFieldValue(field->text().toStdString(), fDocument);
}

void CoordinateDisplayWidget::ParameterEntered(const ParameterRow& row) {
  const auto value = CoordinateFieldValue(row.value->text().toStdString(), fDocument);
  if (!value || !EditShownParameter(row.letter, *value, fDocument)) {
    Refuse(row.value, tr("The value of %1 must be a number.").arg(QChar(char16_t(row.letter))));
    return;
  }
  SetNumber(row.value, *value);
  Q_EMIT Edited();
}

// A refused text left behind would read as the value in effect. The
// field's own menu, or another window, takes the focus only for a while;
// the two ends of a range are edited together.
void CoordinateDisplayWidget::ShowInEffect(const QObject* field) {
  const CoordinateDisplayValues& display = fDocument->fCoordinates;
  const QWidget* next = QApplication::focusWidget();
  for (int32_t p = 0; p < kCoordDisplayParamCount; ++p) {
    const Row& row = fRanges[p];
    if ((field != row.low && field != row.high) || next == row.low || next == row.high) continue;
    SetNumber(row.low, display.low[p]);
    SetNumber(row.high, display.high[p]);
  }
  for (const ParameterRow& row : fParameters) {
    if (field != row.value) continue;
    for (const DocumentParameter& parameter : fDocument->fContents.parameters)
      if (parameter.name == row.letter) SetNumber(row.value, parameter.value);
  }
}

bool CoordinateDisplayWidget::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut) return false;
  const bool in = event->type() == QEvent::FocusIn;
  CoordinateDisplayValues& display = fDocument->fCoordinates;
  for (int32_t p = 0; p < kCoordDisplayParamCount; ++p)
    if (watched == fRanges[p].low || watched == fRanges[p].high) display.focusedField = in ? p : -1;
  for (const ParameterRow& row : fParameters)
    if (watched == row.value) display.focusedParameter = in ? row.letter : -1;
  const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
  if (!in && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) ShowInEffect(watched);
  return false;
}
