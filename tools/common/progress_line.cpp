#include "progress_line.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <ostream>

namespace tools {
namespace {

constexpr std::string_view kEraseLine = "\r\033[K";

}  // namespace

bool ProgressWanted(int fd, bool quiet) { return !quiet && ::isatty(fd) == 1; }

std::size_t TerminalColumns(int fd) {
  winsize size{};
  if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

std::string FitToColumns(std::string_view text, std::size_t columns) {
  std::string line;
  std::size_t characters = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool continuation = (byte & 0xC0) == 0x80;
    if (!continuation && characters++ == columns) break;
    line += byte < 0x20 || byte == 0x7F ? '?' : c;
  }
  return line;
}

ProgressLine::ProgressLine(std::ostream& out, bool enabled, std::size_t columns, SteadyClock clock)
    : out_(out),
      enabled_(enabled),
      // The last column stays free: writing into it makes some terminals wrap.
      columns_(columns > 1 ? columns - 1 : 1),
      clock_(std::move(clock)),
      start_(clock_()),
      lastDrawn_(start_) {}

ProgressLine::~ProgressLine() { Finish(); }

bool ProgressLine::Due() {
  if (!enabled_) return false;
  const std::lock_guard lock(mutex_);
  return !finished_ && clock_() - lastDrawn_ >= kProgressInterval;
}

void ProgressLine::Show(std::string text) {
  if (!enabled_) return;
  const std::lock_guard lock(mutex_);
  if (text == text_) return;
  text_ = std::move(text);
  changed_ = true;
}

void ProgressLine::Tick() {
  if (!enabled_) return;
  const std::lock_guard lock(mutex_);
  if (finished_ || !changed_) return;
  const auto now = clock_();
  if (now - lastDrawn_ < kProgressInterval) return;
  out_ << '\r' << FitToColumns(text_, columns_) << "\033[K" << std::flush;
  lastDrawn_ = now;
  changed_ = false;
  drawn_ = true;
}

void ProgressLine::Interrupt(const std::function<void()>& write) {
  const std::lock_guard lock(mutex_);
  if (drawn_) {
    EraseLocked();
    changed_ = true;  // drawn again at the next due tick
  }
  write();
}

void ProgressLine::Finish() {
  const std::lock_guard lock(mutex_);
  if (drawn_) EraseLocked();
  finished_ = true;
}

std::chrono::duration<double> ProgressLine::Elapsed() const { return clock_() - start_; }

void ProgressLine::EraseLocked() {
  out_ << kEraseLine << std::flush;
  drawn_ = false;
}

ProgressLine StandardErrorLine(std::ostream& err, bool quiet) {
  return ProgressLine(err, ProgressWanted(STDERR_FILENO, quiet), TerminalColumns(STDERR_FILENO));
}

}  // namespace tools
