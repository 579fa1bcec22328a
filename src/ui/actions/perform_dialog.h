#pragma once
// The dialog "Perfom all selected actions for all drives ...": Go starts a run of the
// action engine, Stop asks before the engine goes on to its next entry, and the texts and
// progress bar follow the run. The run's questions and the overwrite prompt are shown
// here, on the UI thread, while the run's worker waits for the answer.

#include <QDialog>
#include <functional>
#include <memory>

#include "files/action_engine.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace platform { class System; }
namespace scan { class CFolderInfo; }
namespace activity { struct AppState; }
namespace common { class Prompter; }

namespace files { class ActionRun; }

namespace ui {

class COverwritePrompt;

// The help page of the dialog's Help button.
inline constexpr const char* kActionsHelpPage = "actions.html";

class CPerformDialog : public QDialog {
  Q_OBJECT

 public:
  CPerformDialog(activity::AppState& state, platform::System& system, common::Prompter& prompter,
                 scan::CFolderInfo& driveList, QWidget* parent = nullptr);
  ~CPerformDialog() override;

  // Shows the help for this dialog (the Help button).
  void SetHelp(std::function<void()> help) { help_ = std::move(help); }

 public slots:
  void Go();
  void Stop();
  void reject() override;

 signals:
  // The run has recalculated the drives: the Files list is to be refilled.
  void listRefillRequested();
  // The worker has ended; `allDone` when no action is left.
  void runFinished(bool allDone);

 private:
  class Presenter;

  void ShowFilesToProcess(std::uint32_t count);
  void RunEnded(bool allDone);
  void UpdateButtons(bool running);

  activity::AppState& state_;
  platform::System& system_;
  common::Prompter& prompter_;
  scan::CFolderInfo& driveList_;
  const std::unique_ptr<Presenter> presenter_;
  // Goes before the widgets it reports to, which go with the dialog's base: its worker
  // stops and is waited for first.
  std::unique_ptr<files::ActionRun> run_;
  std::function<void()> help_;

  QPushButton* go_ = nullptr;
  QPushButton* stop_ = nullptr;
  QPushButton* close_ = nullptr;
  QLabel* action_ = nullptr;
  QLabel* file_ = nullptr;
  QLabel* left_ = nullptr;
  QProgressBar* progress_ = nullptr;
  COverwritePrompt* overwrite_ = nullptr;
};

}  // namespace ui
