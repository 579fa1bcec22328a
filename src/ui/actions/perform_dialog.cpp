#include "ui/actions/perform_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "files/action_texts.h"
#include "activity/app_state.h"
#include "common/prompter.h"
#include "files/overwrite_versions.h"
#include "ui/actions/overwrite_prompt.h"
#include "ui/base/app_icon.h"
#include "ui/help/control_help.h"

namespace ui {
namespace {

constexpr int kProgressSteps = 0xFFFF;  // the bar counts at most 65535 steps

QLabel* IdleText(const char* name, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(files::texts::kIdleAction), parent);
  label->setObjectName(QLatin1String(name));
  // A path is shown as it is, never read as markup.
  label->setTextFormat(Qt::PlainText);
  label->setMinimumWidth(300);
  return label;
}

QPushButton* Button(const char* name, const char* text, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

// Runs on the worker thread: texts are posted to the dialog, questions wait for their
// answer from the UI thread.
class CPerformDialog::WorkerBridge : public files::ActionProgress, public common::Prompter {
 public:
  explicit WorkerBridge(CPerformDialog& dialog) : dialog_(dialog) {}

  void ShowAction(const std::string& text) override {
    Post([this, text = QString::fromStdString(text)] { dialog_.action_->setText(text); });
  }
  void ShowCurrentFile(const std::string& path) override {
    Post([this, path = QString::fromStdString(path)] { dialog_.file_->setText(path); });
  }
  void ShowFilesToProcess(std::uint32_t count) override {
    Post([this, count] { dialog_.ShowFilesToProcess(count); });
  }
  void StepProgress() override {
    Post([this] {
      QProgressBar& bar = *dialog_.progress_;
      bar.setValue(std::min(bar.value() + 1, bar.maximum()));
    });
  }
  files::OverwriteAnswer AskOverwrite(const std::string& existingPath,
                                      const std::string& replacementPath) override {
    const QString versions =
        QStringLiteral("Old: %1\nNew: %2")
            .arg(QString::fromStdString(files::VersionText(dialog_.system_, existingPath)),
                 QString::fromStdString(files::VersionText(dialog_.system_, replacementPath)));
    files::OverwriteAnswer answer = files::OverwriteAnswer::Skip;
    Wait([&] { answer = dialog_.overwrite_->Ask(QString::fromStdString(existingPath), versions); });
    return answer;
  }
  void RefillList() override { Post([this] { emit dialog_.listRefillRequested(); }); }
  void RunStopped(std::uint32_t pending) override {
    Post([this, pending] {
      dialog_.ShowFilesToProcess(pending);
      dialog_.UpdateButtons(false);
    });
  }
  common::Answer Ask(const common::Message& message) override {
    common::Answer answer = common::Answer::Cancel;
    Wait([&] { answer = dialog_.prompter_.Ask(message); });
    return answer;
  }

 private:
  template <typename F>
  void Post(F&& work) {
    QMetaObject::invokeMethod(&dialog_, std::forward<F>(work), Qt::QueuedConnection);
  }
  template <typename F>
  void Wait(F&& work) {
    QMetaObject::invokeMethod(&dialog_, std::forward<F>(work), Qt::BlockingQueuedConnection);
  }

  CPerformDialog& dialog_;
};

CPerformDialog::CPerformDialog(activity::AppState& state, platform::System& system,
                               common::Prompter& prompter, scan::CFolderInfo& driveList, QWidget* parent)
    : QDialog(parent), state_(state), system_(system), prompter_(prompter), driveList_(driveList),
      bridge_(std::make_unique<WorkerBridge>(*this)) {
  setObjectName(QStringLiteral("PerformDialog"));
  setWindowTitle(QStringLiteral("Perfom all selected actions for all drives ..."));

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("Icon"));
  icon->setPixmap(AppIconPixmap(32));
  icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

  auto* group = new QGroupBox(QStringLiteral("Performing actions"), this);
  auto* grid = new QGridLayout(group);
  action_ = IdleText("Action", group);
  file_ = IdleText("CurrentFile", group);
  left_ = IdleText("FilesToProcess", group);
  grid->addWidget(new QLabel(QStringLiteral("Action:"), group), 0, 0);
  grid->addWidget(action_, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Current file:"), group), 1, 0);
  grid->addWidget(file_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("Files to process:"), group), 2, 0);
  grid->addWidget(left_, 2, 1);
  grid->setColumnStretch(1, 1);

  go_ = Button("Go", "Go", this);
  stop_ = Button("Stop", "Stop", this);
  close_ = Button("Close", "Close", this);
  auto* help = Button("Help", "Help", this);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {go_, stop_, close_, help}) buttons->addWidget(button);
  buttons->addStretch();

  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("Progress"));
  progress_->setTextVisible(false);
  progress_->setRange(0, 1);  // empty until Go sets the run's range
  progress_->setValue(0);

  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addWidget(group, 1);
  top->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(progress_);
  AttachControlHelp(*this);

  overwrite_ = new COverwritePrompt(this);

  connect(go_, &QPushButton::clicked, this, &CPerformDialog::Go);
  connect(stop_, &QPushButton::clicked, this, &CPerformDialog::Stop);
  connect(close_, &QPushButton::clicked, this, &CPerformDialog::reject);
  connect(help, &QPushButton::clicked, this, [this] { if (help_) help_(); });

  ShowFilesToProcess(state_.PendingActionCount);
  UpdateButtons(false);
}

CPerformDialog::~CPerformDialog() {
  // The dialog cannot close during a run; should it be destroyed anyway, the worker
  // stops before its next entry and is waited for (its questions can no longer be shown).
  if (worker_.joinable()) {
    flags_.ProcessingOn = 0;
    worker_.join();
  }
}

void CPerformDialog::ShowFilesToProcess(std::uint32_t count) { left_->setText(QString::number(count)); }

void CPerformDialog::UpdateButtons(bool running) {
  go_->setEnabled(!running && state_.PendingActionCount != 0);
  stop_->setEnabled(running);
  close_->setEnabled(!running);
  // Return starts the run when there is one to start, and stops it while it runs; the
  // focus follows so the keyboard user is never left on a disabled button.
  QPushButton* const next = running ? stop_ : (go_->isEnabled() ? go_ : close_);
  for (QPushButton* button : {go_, stop_, close_}) button->setDefault(button == next);
  next->setFocus();
}

void CPerformDialog::Go() {
  if (worker_.joinable() || state_.PendingActionCount == 0) return;
  flags_.ProcessingOn = 1;
  UpdateButtons(true);
  const std::uint32_t pending = state_.PendingActionCount;
  progress_->setRange(0, static_cast<int>(std::min<std::uint32_t>(pending, kProgressSteps)));
  progress_->setValue(0);
  repaint();
  worker_ = std::thread([this] {
    files::ActionEngine engine(system_, state_.PendingActionCount, flags_, *bridge_, *bridge_);
    const bool allDone = engine.ActionWorker(driveList_);
    QMetaObject::invokeMethod(this, [this, allDone] { RunEnded(allDone); }, Qt::QueuedConnection);
  });
}

void CPerformDialog::RunEnded(bool allDone) {
  if (worker_.joinable()) worker_.join();
  UpdateButtons(false);
  emit runFinished(allDone);
  if (allDone) accept();
}

void CPerformDialog::Stop() {
  if (!worker_.joinable()) return;
  files::ConfirmStop(flags_, prompter_);
}

void CPerformDialog::reject() {
  if (worker_.joinable()) return;  // Close is disabled during a run; Escape is too
  QDialog::reject();
}

}  // namespace ui
