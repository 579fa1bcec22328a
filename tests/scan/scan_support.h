#pragma once
// Helpers for the scan tests: a status sink that records (and can react), a queue that
// plays the UI thread, and access records placed where the lookup finds them.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "activity/access_tables.h"
#include "scan/scan_controller.h"
#include "common/status_sink.h"

namespace scan_testing {

inline constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;

class RecordingStatus : public common::StatusSink {
 public:
  void ShowStatus(const std::string& text) override {
    std::function<void(const std::string&)> hook;
    {
      const std::lock_guard lock(mutex_);
      texts_.push_back(text);
      hook = onStatus_;
    }
    if (hook) hook(text);
  }
  // Called on the thread that shows each text, after it is recorded.
  void OnStatus(std::function<void(const std::string&)> hook) {
    const std::lock_guard lock(mutex_);
    onStatus_ = std::move(hook);
  }
  std::vector<std::string> Texts() const {
    const std::lock_guard lock(mutex_);
    return texts_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> texts_;
  std::function<void(const std::string&)> onStatus_;
};

// Calls posted from any thread, run on the thread that calls RunUntil.
class UiQueue {
 public:
  scan::UiPoster Poster() {
    return [this](std::function<void()> call) {
      {
        const std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
      }
      posted_.notify_all();
    };
  }
  // Runs posted calls until `done` holds; false when it still does not after `timeout`.
  bool RunUntil(const std::function<bool()>& done,
                std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    // `done` may turn true on another thread without anything being posted: look again
    // every few milliseconds.
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::function<void()> call;
      {
        std::unique_lock lock(mutex_);
        if (!posted_.wait_for(lock, std::chrono::milliseconds(5), [this] { return !calls_.empty(); })) continue;
        call = std::move(calls_.front());
        calls_.pop_front();
      }
      call();
    }
    return true;
  }
  std::size_t Pending() const {
    const std::lock_guard lock(mutex_);
    return calls_.size();
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> calls_;
};

// A drive record and table in which each of `records` (whose key fields hold full path
// keys) sits in the first bucket the lookup probes.
inline void InstallAccessRecords(activity::AccessTables& tables, char drive,
                                 const std::vector<std::pair<std::uint64_t, activity::AccessRecord>>& records) {
  activity::DriveRecord record;
  record.drive = static_cast<std::uint8_t>(drive - 'A' + 1);
  std::vector<activity::AccessRecord> table(record.Capacity() + 1);
  for (const auto& [key, access] : records) {
    const auto k1 = static_cast<std::uint32_t>(key);
    const auto probe = activity::ProbeFor(k1, static_cast<std::uint32_t>(key >> 32),
                                          record.bucketMask, record.bucketSize);
    std::size_t slot = probe.buckets[0] * record.bucketSize;
    while (table[slot].key != 0) ++slot;
    table[slot] = access;
    table[slot].key = k1;
    ++record.recordsInUse;
  }
  tables.Install(drive, record, std::move(table));
}

inline activity::AccessRecord Access(std::uint32_t lastAccess, std::uint8_t operation,
                                     std::uint32_t readOnly, std::uint32_t writeOnly,
                                     std::uint32_t readWrite) {
  activity::AccessRecord record;
  record.lastAccess = lastAccess;
  record.lastOperation = operation;
  record.readOnly = readOnly;
  record.writeOnly = writeOnly;
  record.readWrite = readWrite;
  return record;
}

}  // namespace scan_testing
