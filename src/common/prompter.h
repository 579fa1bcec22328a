#pragma once
// How the core asks the user something or tells them something: the window implements
// it with message boxes, tests script the answers. Every box has the caption "File Norvex".

#include <string>

namespace common {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, AbortRetryIgnore, RetryCancel };
enum class Icon { None, Stop, Question, Warning, Information };
enum class Answer { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

struct Message {
  std::string text;
  Buttons buttons = Buttons::Ok;
  Icon icon = Icon::Stop;
  // The button that Enter presses; Answer::Ok means the first button.
  Answer defaultButton = Answer::Ok;
};

inline constexpr const char* kProgramTitle = "File Norvex";

class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual Answer Ask(const Message& message) = 0;
};

}  // namespace common
