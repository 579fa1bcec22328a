#pragma once
// One line of progress on a terminal: the tools' counterpart of the window's status
// pane. The line is drawn in place (carriage return, text, erase to the end of the line)
// at most once every 100 ms, never wider than the terminal, and erased when the work
// ends or other output needs the terminal. Off, it writes nothing at all.

#include <chrono>
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <mutex>
#include <string>
#include <string_view>

namespace tools {

using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;

inline constexpr std::chrono::milliseconds kProgressInterval{100};

// Progress is for a person watching: only when `fd` is a terminal and not `quiet`.
bool ProgressWanted(int fd, bool quiet);
// The terminal's width in columns, or 80 when `fd` is no terminal or does not say.
std::size_t TerminalColumns(int fd);

// `text` as one terminal line: control characters (a name may hold any) become '?', so
// nothing in it moves the cursor or speaks to the terminal, and it is cut to at most
// `columns` characters, UTF-8 sequences kept whole.
std::string FitToColumns(std::string_view text, std::size_t columns);

class ProgressLine {
 public:
  // Draws on `out` only when `enabled`; lines are kept below `columns` so they never wrap.
  ProgressLine(std::ostream& out, bool enabled, std::size_t columns,
               SteadyClock clock = std::chrono::steady_clock::now);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  bool Enabled() const { return enabled_; }
  // True when a Tick now would draw a changed text: lets a caller skip making one.
  bool Due();
  // The text to show from now on; it is drawn by the next Tick that is due.
  void Show(std::string text);
  // Draws the latest text when it changed and the last drawing (or the start) is at
  // least kProgressInterval ago. Safe to call from a second thread.
  void Tick();
  // Erases the line, runs `write` (which may use the terminal freely), and leaves the
  // line to be drawn again by the next Tick.
  void Interrupt(const std::function<void()>& write);
  // Erases the line for good; later Show and Tick calls draw nothing.
  void Finish();
  // Time since the line was made, by its clock.
  std::chrono::duration<double> Elapsed() const;

 private:
  void EraseLocked();

  std::ostream& out_;
  const bool enabled_;
  const std::size_t columns_;
  const SteadyClock clock_;
  const std::chrono::steady_clock::time_point start_;
  std::mutex mutex_;
  std::chrono::steady_clock::time_point lastDrawn_;
  std::string text_;
  bool changed_ = false;
  bool drawn_ = false;
  bool finished_ = false;
};

// The line a command shows on standard error (`err`): on when that is a terminal and
// not `quiet`, as wide as the terminal.
ProgressLine StandardErrorLine(std::ostream& err, bool quiet);

}  // namespace tools
