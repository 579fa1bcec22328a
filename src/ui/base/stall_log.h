#pragma once
// Tells on standard error how long the window's thread went without turning to its event
// loop: every stretch at least `threshold` long or longer than any before, and the
// longest at the end. A stretch is what the user feels as a frozen window, whatever
// caused it.
//
// For measuring the program on big drives (NORVEX_STALL_LOG=MILLISECONDS). A timer ticks
// every few milliseconds on the window's thread; a tick that comes late by a stretch
// shows the thread was busy that long. It costs a wake-up per tick, so it is off unless
// asked for.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>

namespace ui {

class StallLog : public QObject {
 public:
  explicit StallLog(std::chrono::milliseconds threshold, QObject* parent = nullptr);
  ~StallLog() override;

 private:
  void Tick();

  const qint64 thresholdNs_;
  QTimer ticker_;
  QElapsedTimer clock_;
  qint64 lastTick_ = -1;
  qint64 longestNs_ = 0;
  qint64 longestAt_ = 0;
  int overThreshold_ = 0;
};

}  // namespace ui
