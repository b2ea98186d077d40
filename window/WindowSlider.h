#pragma once

#include <QIcon>
#include <QWidget>

#include <cstdint>

class QLabel;
class QSlider;
class QToolButton;

// The window slider of the animated variable: its letter, play and pause,
// and the slider itself, whose positions run from 0 to the document's
// steps.
class WindowSlider : public QWidget {
  Q_OBJECT

 public:
  explicit WindowSlider(QWidget* parent = nullptr);

  // Sets the position, raising the maximum first when the value lies above
  // it; no signal.
  void SetValue(int32_t value);
  int32_t Value() const;
  void SetMaximum(int32_t maximum);
  void SetLetter(char letter);
  void ShowPlaying(bool playing);

 Q_SIGNALS:
  void MovedByUser(int value);
  void PlayToggled(bool playing);

 private:
  QLabel* fLetter;
  QToolButton* fPlay;
  QSlider* fSlider;
  QIcon fPlayIcon;
  QIcon fPauseIcon;
  int fShown = -1;  // the state the button shows; none yet
};
