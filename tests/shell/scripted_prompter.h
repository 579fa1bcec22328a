#pragma once
// Test doubles of the shell's interfaces: a Prompter that records what it was asked and
// answers from a script, and an OptionStore in memory.

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "shell/options.h"
#include "common/prompter.h"

namespace testing_support {

class ScriptedPrompter : public common::Prompter {
 public:
  common::Answer Ask(const common::Message& message) override {
    asked.push_back(message);
    if (onAsk) onAsk(message);
    if (answers.empty()) return common::Answer::Ok;
    const common::Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const common::Message& message : asked) texts.push_back(message.text);
    return texts;
  }

  std::vector<common::Message> asked;
  std::deque<common::Answer> answers;
  // Looks at the program while the question is up.
  std::function<void(const common::Message&)> onAsk;
};

class MemoryOptionStore : public shell::OptionStore {
 public:
  std::string Read(const std::string& name) override {
    const auto found = values.find(name);
    return found != values.end() ? found->second : std::string();
  }
  void Write(const std::string& name, const std::string& value) override { values[name] = value; }

  std::map<std::string, std::string> values;
};

}  // namespace testing_support
