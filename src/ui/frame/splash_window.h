#pragma once
// The splash window: a borderless pop-up showing one centred picture, up from the very
// start of the program until the frame appears, and for a minimum time.

#include <QWidget>
#include <chrono>
#include <functional>

namespace ui {

// The splash picture: the program's name over a disk motif, drawn at start-up.
QPixmap SplashPicture();

class SplashWindow : public QWidget {
  Q_OBJECT

 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // The clock starts now; the window shows itself at once. `clock` tells the time (tests
  // hold it still).
  explicit SplashWindow(std::chrono::milliseconds minimumTime,
                        Clock clock = [] { return std::chrono::steady_clock::now(); });

  // How long the splash must still stay up (zero once its minimum time has passed).
  std::chrono::milliseconds Remaining() const;

 signals:
  // The splash has left the screen.
  void gone();

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  Clock clock_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::milliseconds minimumTime_;
};

}  // namespace ui
