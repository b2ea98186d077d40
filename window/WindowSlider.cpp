#include "window/WindowSlider.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

WindowSlider::WindowSlider(QWidget* parent)
    : QWidget(parent),
      fLetter(new QLabel(this)),
      fPlay(new QToolButton(this)),
      fSlider(new QSlider(Qt::Horizontal, this)),
      fPlayIcon(style()->standardIcon(QStyle::SP_MediaPlay)),
      fPauseIcon(style()->standardIcon(QStyle::SP_MediaPause)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 2, 6, 2);
  fPlay->setCheckable(true);
  fPlay->setAutoRaise(true);
  ShowPlaying(false);
  layout->addWidget(fPlay);
  layout->addWidget(fLetter);
  layout->addWidget(fSlider, 1);
  connect(fSlider, &QSlider::valueChanged, this, &WindowSlider::MovedByUser);
  connect(fPlay, &QToolButton::toggled, this, [this](bool playing) {
    ShowPlaying(playing);
    Q_EMIT PlayToggled(playing);
  });
}

void WindowSlider::SetValue(int32_t value) {
  const QSignalBlocker quiet(fSlider);
  if (value > fSlider->maximum()) fSlider->setMaximum(value);
  fSlider->setValue(value);
}

int32_t WindowSlider::Value() const { return fSlider->value(); }

void WindowSlider::SetMaximum(int32_t maximum) {
  const QSignalBlocker quiet(fSlider);
  fSlider->setMaximum(maximum);
}

void WindowSlider::SetLetter(char letter) { fLetter->setText(QString(QChar(letter))); }

// Called at every idle: only a change touches the button. A new icon each
// time would decode its picture again and leave one more pixmap in the
// application's cache.
void WindowSlider::ShowPlaying(bool playing) {
  if (fShown == int(playing)) return;
  fShown = int(playing);
  const QSignalBlocker quiet(fPlay);
  fPlay->setChecked(playing);
  fPlay->setIcon(playing ? fPauseIcon : fPlayIcon);
  fPlay->setToolTip(playing ? tr("Pause") : tr("Play"));
}
