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
#include "files/action_run.h"
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

// Shows what the run reports and asks its questions, on the UI thread.
class CPerformDialog::Presenter : public files::ActionRunOwner {
 public:
  explicit Presenter(CPerformDialog& dialog) : dialog_(dialog) {}

  void Post(std::function<void()> work) override {
    // Queued on the dialog: work still queued when it goes is dropped with it.
    QMetaObject::invokeMethod(&dialog_, std::move(work), Qt::QueuedConnection);
  }
  void ShowAction(const std::string& text) override { dialog_.action_->setText(QString::fromStdString(text)); }
  void ShowCurrentFile(const std::string& path) override { dialog_.file_->setText(QString::fromStdString(path)); }
  void ShowFilesToProcess(std::uint32_t count) override { dialog_.ShowFilesToProcess(count); }
  void StepProgress() override {
    QProgressBar& bar = *dialog_.progress_;
    bar.setValue(std::min(bar.value() + 1, bar.maximum()));
  }
  files::OverwriteAnswer AskOverwrite(const std::string& existingPath,
                                      const std::string& replacementPath) override {
    const QString versions =
        QStringLiteral("Old: %1\nNew: %2")
            .arg(QString::fromStdString(files::VersionText(dialog_.system_, existingPath)),
                 QString::fromStdString(files::VersionText(dialog_.system_, replacementPath)));
    return dialog_.overwrite_->Ask(QString::fromStdString(existingPath), versions);
  }
  void RefillList() override { emit dialog_.listRefillRequested(); }
  void RunStopped(std::uint32_t pending) override {
    dialog_.ShowFilesToProcess(pending);
    dialog_.UpdateButtons(false);
  }
  common::Answer Ask(const common::Message& message) override { return dialog_.prompter_.Ask(message); }
  void RunEnded(bool allDone) override { dialog_.RunEnded(allDone); }

 private:
  CPerformDialog& dialog_;
};

CPerformDialog::CPerformDialog(activity::AppState& state, platform::System& system,
                               common::Prompter& prompter, scan::CFolderInfo& driveList, QWidget* parent)
    : QDialog(parent), state_(state), system_(system), prompter_(prompter), driveList_(driveList),
      presenter_(std::make_unique<Presenter>(*this)),
      run_(std::make_unique<files::ActionRun>(system, state.PendingActionCount, *presenter_)) {
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

// The dialog cannot close during a run; should it be destroyed anyway, the run stops
// before its next entry and is waited for (its questions can no longer be shown).
CPerformDialog::~CPerformDialog() = default;

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
  if (run_->Running() || state_.PendingActionCount == 0) return;
  UpdateButtons(true);
  const std::uint32_t pending = state_.PendingActionCount;
  progress_->setRange(0, static_cast<int>(std::min<std::uint32_t>(pending, kProgressSteps)));
  progress_->setValue(0);
  repaint();
  run_->Start(driveList_);
}

void CPerformDialog::RunEnded(bool allDone) {
  run_->Finish();
  UpdateButtons(false);
  emit runFinished(allDone);
  if (allDone) accept();
}

void CPerformDialog::Stop() {
  if (!run_->Running()) return;
  files::ConfirmStop(run_->Flags(), prompter_);
}

void CPerformDialog::reject() {
  if (run_->Running()) return;  // Close is disabled during a run; Escape is too
  QDialog::reject();
}

}  // namespace ui
