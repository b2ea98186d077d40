#include "window/ViewControls.h"

#include <QHBoxLayout>
#include <QToolButton>

#include "document/DocumentRecord.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/GraphEnums.h"

namespace {

QString AxesTip(bool shown, ShownViews which) {
  if (which == kCurrentView) return shown ? QObject::tr("Hide the axes") : QObject::tr("Show the axes");
  return shown ? QObject::tr("Hide the axes of the second view") : QObject::tr("Show the axes of the second view");
}

QString PaperTip(bool shown, ShownViews which) {
  if (which == kCurrentView) return shown ? QObject::tr("Hide the graph paper") : QObject::tr("Show the graph paper");
  return shown ? QObject::tr("Hide the graph paper of the second view")
               : QObject::tr("Show the graph paper of the second view");
}

}  // namespace

bool IsViewSettingShown(const AGraphPane& pane, int32_t attribute) {
  if (attribute == kAttributeShowGraphPaper && pane.IsView4D()) return pane.View4D()->Record().graphPaperShown != 0;
  return attribute == kAttributeShowAxes ? pane.IsShowingAxes(kCurrentView) : pane.IsShowingGraphPaper(kCurrentView);
}

void ToggleViewSetting(AGraphPane& pane, int32_t attribute, ShownViews pair) {
  if (pair == kSecondView || !pane.IsView4D()) {
    pane.SetViewParameter(ViewAttribute(attribute), pair);
    return;
  }
  const ViewAttribute own = attribute == kAttributeShowAxes ? kAttribute4DAxes : kAttribute4DGrid;
  pane.SetViewParameter4D(own, !IsViewSettingShown(pane, attribute));
}

ViewControls::ViewControls(DocumentRecord* document, QWidget* parent) : QWidget(parent), fDocument(document) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 0, 4, 0);
  layout->setSpacing(2);
  for (ShownViews which : {kCurrentView, kSecondView}) {
    fAxes[which] = NewButton(tr("Axes"), kAttributeShowAxes, which);
    fPaper[which] = NewButton(tr("Graph Paper"), kAttributeShowGraphPaper, which);
    layout->addWidget(fAxes[which]);
    layout->addWidget(fPaper[which]);
    if (which == kCurrentView) layout->addStretch(1);
  }
  Redraw();
}

QToolButton* ViewControls::NewButton(const QString& text, int32_t attribute, ShownViews which) {
  auto* button = new QToolButton(this);
  button->setText(text);
  button->setCheckable(true);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  // The pane toggles the view and tags the buttons anew; the check follows
  // the view, not the click.
  connect(button, &QToolButton::clicked, this, [this, attribute, which] {
    if (AGraphPane* pane = fDocument->fGraphPane.get()) ToggleViewSetting(*pane, attribute, which);
    Redraw();
  });
  return button;
}

void ViewControls::Redraw() {
  const AGraphPane* pane = fDocument->fGraphPane.get();
  const bool second = pane && pane->SecondView();
  const bool paper[2] = {pane && pane->CurrentView() == pane->View2D(0),
                         second && pane->SecondView() == pane->View2D(1)};
  const bool axesShown[2] = {pane && pane->IsShowingAxes(kCurrentView), pane && pane->IsShowingAxes(kSecondView)};
  const bool paperShown[2] = {pane && pane->IsShowingGraphPaper(kCurrentView),
                              pane && pane->IsShowingGraphPaper(kSecondView)};
  for (ShownViews which : {kCurrentView, kSecondView}) {
    fAxes[which]->setVisible(pane && (which == kCurrentView || second));
    fPaper[which]->setVisible(paper[which]);
    fAxes[which]->setChecked(axesShown[which]);
    fPaper[which]->setChecked(paperShown[which]);
  }
  SetToolTips(kAttributeShowAxes, axesShown[0], axesShown[1], paperShown[0], paperShown[1]);
  SetToolTips(kAttributeShowGraphPaper, axesShown[0], axesShown[1], paperShown[0], paperShown[1]);
}

void ViewControls::SetToolTips(int32_t attribute, bool axes, bool secondAxes, bool paper, bool secondPaper) {
  if (attribute == kAttributeShowAxes) {
    fAxes[kCurrentView]->setToolTip(AxesTip(axes, kCurrentView));
    fAxes[kSecondView]->setToolTip(AxesTip(secondAxes, kSecondView));
  } else if (attribute == kAttributeShowGraphPaper) {
    fPaper[kCurrentView]->setToolTip(PaperTip(paper, kCurrentView));
    fPaper[kSecondView]->setToolTip(PaperTip(secondPaper, kSecondView));
  }
}
