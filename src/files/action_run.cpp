#include "files/action_run.h"

#include <optional>

namespace files {

// Runs on the worker: reports are posted to the owner, questions wait for its answer.
class ActionRun::Relay : public ActionProgress, public common::Prompter {
 public:
  explicit Relay(ActionRunOwner& owner) : owner_(owner) {}

  void ShowAction(const std::string& text) override {
    owner_.Post([this, text] { owner_.ShowAction(text); });
  }
  void ShowCurrentFile(const std::string& path) override {
    owner_.Post([this, path] { owner_.ShowCurrentFile(path); });
  }
  void ShowFilesToProcess(std::uint32_t count) override {
    owner_.Post([this, count] { owner_.ShowFilesToProcess(count); });
  }
  void StepProgress() override {
    owner_.Post([this] { owner_.StepProgress(); });
  }
  void RefillList() override {
    owner_.Post([this] { owner_.RefillList(); });
  }
  void RunStopped(std::uint32_t pending) override {
    owner_.Post([this, pending] { owner_.RunStopped(pending); });
  }
  void RunEnded(bool allDone) {
    owner_.Post([this, allDone] { owner_.RunEnded(allDone); });
  }
  OverwriteAnswer AskOverwrite(const std::string& existingPath, const std::string& replacementPath) override {
    return AskOwner<OverwriteAnswer>(
        [this, existingPath, replacementPath] { return owner_.AskOverwrite(existingPath, replacementPath); })
        .value_or(OverwriteAnswer::Skip);
  }
  common::Answer Ask(const common::Message& message) override {
    return AskOwner<common::Answer>([this, message] { return owner_.Ask(message); })
        .value_or(common::Answer::Cancel);
  }

  // Wakes a question that waits, and every later one, unanswered.
  void Abandon() {
    abandoned_ = true;
    answers_.fetch_add(1);
    answers_.notify_all();
  }

 private:
  // The answer lives on in the posted work when the worker stopped waiting for it.
  template <typename T, typename Question>
  std::optional<T> AskOwner(Question question) {
    auto answer = std::make_shared<std::optional<T>>();
    const std::uint32_t before = answers_.load();
    if (abandoned_) return std::nullopt;
    owner_.Post([this, answer, question = std::move(question)] {
      *answer = question();
      answers_.fetch_add(1);
      answers_.notify_all();
    });
    while (answers_.load() == before) answers_.wait(before);
    if (abandoned_) return std::nullopt;
    return *answer;
  }

  ActionRunOwner& owner_;
  // Counts answers given and the abandonment; the worker waits for it to move.
  std::atomic<std::uint32_t> answers_{0};
  std::atomic<bool> abandoned_{false};
};

ActionRun::ActionRun(platform::System& system, std::atomic<std::uint32_t>& pending, ActionRunOwner& owner)
    : pending_(pending), system_(system), relay_(std::make_unique<Relay>(owner)) {}

ActionRun::~ActionRun() {
  if (!worker_.joinable()) return;
  flags_.ProcessingOn = 0;
  relay_->Abandon();
  worker_.join();
}

bool ActionRun::Start(scan::CFolderInfo& driveList) {
  if (worker_.joinable()) return false;
  flags_.ProcessingOn = 1;
  worker_ = std::jthread([this, &driveList] {
    ActionEngine engine(system_, pending_, flags_, *relay_, *relay_);
    relay_->RunEnded(engine.ActionWorker(driveList));
  });
  return true;
}

void ActionRun::Finish() {
  if (worker_.joinable()) worker_.join();
}

}  // namespace files
