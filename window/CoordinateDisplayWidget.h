#pragma once

#include <QScrollArea>

#include <cstdint>
#include <optional>
#include <vector>

#include "graphpane/GraphViewRecord.h"

class DocumentRecord;
class QGridLayout;
class QLabel;
class QLineEdit;

// The ranges the graphs use and the parameters they read, each shown with
// its name and values in the document's digits. Return in a field sends
// the edit to the document, which graphs again; text that is not a number
// is refused with a tag and left to mend. The field being edited keeps its
// text while the display is redrawn; once the user leaves it for another
// place in the window, it shows the value in effect. Past a few rows the display scrolls,
// so that many parameters leave the graph its room.
class CoordinateDisplayWidget : public QScrollArea {
  Q_OBJECT

 public:
  explicit CoordinateDisplayWidget(DocumentRecord* document, QWidget* parent = nullptr);

  // Shows what the document's display holds now.
  void Redraw();

  // The ends of a range field (0 low, 1 high), and a parameter's field;
  // null when not made yet.
  QLineEdit* RangeField(int32_t field, int32_t end) const;
  QLineEdit* ParameterField(int32_t letter) const;

 Q_SIGNALS:
  void Edited();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Row {
    QLabel* name = nullptr;
    QLineEdit* low = nullptr;
    QLabel* to = nullptr;
    QLineEdit* high = nullptr;
  };
  struct ParameterRow {
    int32_t letter = -1;
    QLabel* name = nullptr;
    QLineEdit* value = nullptr;
  };

  QLineEdit* NewField();
  void FitHeight();
  // ShowValue leaves a field being edited as the user left it.
  void ShowValue(QLineEdit* field, double value);
  void SetNumber(QLineEdit* field, double value);
  QString NumberText(double value) const;
  // What an end of a range holds when Return is pressed: the value in
  // effect while the field shows it as it was shown, not its rounding.
  std::optional<double> EndEntered(const QLineEdit* field, double inEffect) const;
  // The field the focus left shows its value in effect again.
  void ShowInEffect(const QObject* field);
  ParameterRow& ParameterRowAt(size_t i);
  void Refuse(QLineEdit* field, const QString& message);
  void RangeEntered(int32_t field);
  void ParameterEntered(const ParameterRow& row);

  DocumentRecord* fDocument;
  QWidget* fContent;
  QGridLayout* fGrid;
  Row fRanges[kCoordDisplayParamCount];
  std::vector<ParameterRow> fParameters;
};
