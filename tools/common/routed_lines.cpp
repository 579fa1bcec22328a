#include "routed_lines.h"

namespace tools {

RoutedLines::RoutedLines(std::ostream& source, std::ostream& target, ProgressLine& line)
    : source_(source), sourceBuffer_(source.rdbuf(this)), target_(target), line_(line) {}

RoutedLines::~RoutedLines() {
  Pass();
  source_.rdbuf(sourceBuffer_);
}

RoutedLines::int_type RoutedLines::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  pending_ += traits_type::to_char_type(c);
  if (pending_.back() == '\n') Pass();
  return c;
}

// A flush passes nothing: std::cerr flushes std::cout before every write, the progress
// line's own included, and lines are passed whole as they end anyway.
int RoutedLines::sync() { return 0; }

void RoutedLines::Pass() {
  if (pending_.empty()) return;
  const std::string text = std::move(pending_);
  pending_.clear();
  line_.Interrupt([this, &text] { target_ << text << std::flush; });
}

}  // namespace tools
