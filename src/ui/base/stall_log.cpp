#include "ui/base/stall_log.h"

#include <QAbstractEventDispatcher>
#include <cstdio>

namespace ui {
namespace {

double Milliseconds(qint64 ns) { return static_cast<double>(ns) / 1e6; }

}  // namespace

StallLog::StallLog(std::chrono::milliseconds threshold, QObject* parent)
    : QObject(parent), thresholdNs_(std::chrono::nanoseconds(threshold).count()) {
  clock_.start();
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  if (dispatcher == nullptr) return;
  connect(dispatcher, &QAbstractEventDispatcher::awake, this, &StallLog::Awake, Qt::DirectConnection);
  connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &StallLog::AboutToBlock,
          Qt::DirectConnection);
}

StallLog::~StallLog() {
  std::fprintf(stderr, "norvex: longest busy stretch %.1f ms at %.3f s; %d at or over %.0f ms\n",
               Milliseconds(longestNs_), Milliseconds(longestAt_) / 1000, overThreshold_,
               Milliseconds(thresholdNs_));
}

void StallLog::Awake() {
  if (awakeAt_ < 0) awakeAt_ = clock_.nsecsElapsed();
}

void StallLog::AboutToBlock() {
  if (awakeAt_ < 0) return;
  const qint64 now = clock_.nsecsElapsed();
  const qint64 busy = now - awakeAt_;
  awakeAt_ = -1;
  if (busy > longestNs_) {
    longestNs_ = busy;
    longestAt_ = now;
  }
  if (busy < thresholdNs_) return;
  ++overThreshold_;
  std::fprintf(stderr, "norvex: busy %.1f ms, until %.3f s\n", Milliseconds(busy), Milliseconds(now) / 1000);
}

}  // namespace ui
