#include "ui/base/stall_log.h"

#include <cstdio>

namespace ui {
namespace {

constexpr std::chrono::milliseconds kTick{5};

double Milliseconds(qint64 ns) { return static_cast<double>(ns) / 1e6; }

}  // namespace

StallLog::StallLog(std::chrono::milliseconds threshold, QObject* parent)
    : QObject(parent), thresholdNs_(std::chrono::nanoseconds(threshold).count()) {
  clock_.start();
  ticker_.setTimerType(Qt::PreciseTimer);
  ticker_.setInterval(kTick);
  connect(&ticker_, &QTimer::timeout, this, &StallLog::Tick);
  ticker_.start();
}

StallLog::~StallLog() {
  std::fprintf(stderr, "norvex: longest busy stretch %.0f ms at %.3f s; %d at or over %.0f ms\n",
               Milliseconds(longestNs_), Milliseconds(longestAt_) / 1000, overThreshold_,
               Milliseconds(thresholdNs_));
}

void StallLog::Tick() {
  const qint64 now = clock_.nsecsElapsed();
  if (lastTick_ < 0) {  // the first tick: what came before it is start-up, not a stall
    lastTick_ = now;
    return;
  }
  // Busy for as long as the tick came late.
  const qint64 busy = now - lastTick_ - std::chrono::nanoseconds(kTick).count();
  lastTick_ = now;
  const bool longest = busy > longestNs_;
  if (longest) {
    longestNs_ = busy;
    longestAt_ = now;
  }
  if (busy >= thresholdNs_) ++overThreshold_;
  // The longest yet is told too: a program stopped by a signal never reaches the summary.
  if (busy < thresholdNs_ && !longest) return;
  std::fprintf(stderr, "norvex: busy %.0f ms, until %.3f s%s\n", Milliseconds(busy), Milliseconds(now) / 1000,
               longest ? " (the longest yet)" : "");
}

}  // namespace ui
