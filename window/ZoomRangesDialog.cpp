#include "window/ZoomRangesDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>

#include <array>

namespace {

ZoomRangesQuestion sQuestion;

struct RangeRow {
  const char* label;
  double (ZoomRanges::*range)[2];
};

QLineEdit* NumberField(double value, QWidget* parent) {
  auto* field = new QLineEdit(QString::number(value, 'g', 15), parent);
  // Numbers as documents write them, whatever the desktop's locale.
  auto* validator = new QDoubleValidator(field);
  validator->setLocale(QLocale::c());
  field->setValidator(validator);
  return field;
}

}  // namespace

void SetZoomRangesQuestion(ZoomRangesQuestion question) { sQuestion = std::move(question); }

std::optional<ZoomRanges> AskZoomRanges(QWidget* window, const ZoomRanges& current) {
  if (sQuestion) return sQuestion(window, current);
  const std::array<RangeRow, 5> rows{{{"x", &ZoomRanges::x},
                                      {"y", &ZoomRanges::y},
                                      {"t", &ZoomRanges::t},
                                      {"r", &ZoomRanges::r},
                                      {"\u03b8", &ZoomRanges::theta}}};
  QDialog dialog(window);
  dialog.setWindowTitle(QObject::tr("Zoom to Ranges"));
  auto* form = new QFormLayout(&dialog);
  std::array<std::array<QLineEdit*, 2>, 5> fields;
  for (size_t i = 0; i < rows.size(); ++i) {
    auto* line = new QHBoxLayout;
    for (int end = 0; end < 2; ++end) {
      fields[i][end] = NumberField((current.*rows[i].range)[end], &dialog);
      line->addWidget(fields[i][end]);
    }
    form->addRow(QObject::tr("%1 from").arg(QString::fromUtf8(rows[i].label)), line);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  ZoomRanges answer = current;
  for (size_t i = 0; i < rows.size(); ++i) {
    for (int end = 0; end < 2; ++end) {
      bool ok = false;
      const double value = fields[i][end]->text().toDouble(&ok);
      if (ok) (answer.*rows[i].range)[end] = value;
    }
  }
  return answer;
}
