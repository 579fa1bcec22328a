#pragma once
// Tells on standard error how long the window's thread went without waiting for input:
// every stretch of work at least `threshold` long, and the longest at the end. A stretch
// is what the user feels as a frozen window, whatever event caused it.
//
// For measuring the program on big drives (NORVEX_STALL_LOG=MILLISECONDS); it costs two
// clock readings per turn of the event loop.

#include <QElapsedTimer>
#include <QObject>
#include <chrono>

namespace ui {

class StallLog : public QObject {
 public:
  explicit StallLog(std::chrono::milliseconds threshold, QObject* parent = nullptr);
  ~StallLog() override;

 private:
  void Awake();
  void AboutToBlock();

  const qint64 thresholdNs_;
  QElapsedTimer clock_;
  qint64 awakeAt_ = -1;
  qint64 longestNs_ = 0;
  qint64 longestAt_ = 0;
  int overThreshold_ = 0;
};

}  // namespace ui
