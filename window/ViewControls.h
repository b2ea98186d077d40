#pragma once

#include <QWidget>

#include <cstdint>

#include "graphpane/GraphEnums.h"

class AGraphPane;
class DocumentRecord;
class QToolButton;

// Toggles the axes (attribute 17) or the graph paper (18) of the views the
// pair names (current, second or both). The pane leaves the 4-D view out of
// these: shown, it toggles its own axes and grid instead.
void ToggleViewSetting(AGraphPane& pane, int32_t attribute, ShownViews pair);
// Whether the current view shows the axes or graph paper (the 4-D view:
// its grid).
bool IsViewSettingShown(const AGraphPane& pane, int32_t attribute);

// The axes and graph-paper buttons of the graph pane: one pair for the
// current view and one for the second view when it is shown; each toggles
// its own view only. Graph paper belongs to the 2-D views.
class ViewControls : public QWidget {
  Q_OBJECT

 public:
  explicit ViewControls(DocumentRecord* document, QWidget* parent = nullptr);

  // Shows the buttons of the shown views, checked and tagged as the views
  // are.
  void Redraw();
  // The help tags of the axes buttons (attribute 17) or of the graph-paper
  // buttons (18); any other attribute changes nothing.
  void SetToolTips(int32_t attribute, bool axes, bool secondAxes, bool paper, bool secondPaper);

  // Of the current or the second view.
  QToolButton* AxesButton(ShownViews which) const { return fAxes[which]; }
  QToolButton* PaperButton(ShownViews which) const { return fPaper[which]; }

 private:
  QToolButton* NewButton(const QString& text, int32_t attribute, ShownViews which);

  DocumentRecord* fDocument;
  QToolButton* fAxes[2];
  QToolButton* fPaper[2];
};
