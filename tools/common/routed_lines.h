#pragma once
// Lets a tool go on printing its lines with `std::cout <<` while a progress line is on
// the terminal: every line is passed on whole as it ends, with the progress line erased
// first (it comes back at the next tick); an unfinished line goes when the routing ends. Also sends the lines to another stream, as the
// background program does when its standard output carries JSON.

#include <ostream>
#include <streambuf>
#include <string>

#include "progress_line.h"

namespace tools {

class RoutedLines final : public std::streambuf {
 public:
  // Takes over `source` (std::cout) until destroyed; its lines go to `target`, which
  // must not write through `source`.
  RoutedLines(std::ostream& source, std::ostream& target, ProgressLine& line);
  ~RoutedLines() override;
  RoutedLines(const RoutedLines&) = delete;
  RoutedLines& operator=(const RoutedLines&) = delete;

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  void Pass();

  std::ostream& source_;
  std::streambuf* const sourceBuffer_;
  std::ostream& target_;
  ProgressLine& line_;
  std::string pending_;
};

}  // namespace tools
