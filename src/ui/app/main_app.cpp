#include "ui/app/main_app.h"

#include <utility>

#include <QApplication>

#include "platform/system.h"
#include "shell/state_folder_options.h"
#include "ui/app/about_box.h"
#include "ui/app/settings_option_store.h"
#include "ui/frame/splash_window.h"
#include "ui/commands/command_ids.h"
#include "ui/app/database_pages.h"
#include "ui/frame/close_sequence.h"
#include "ui/frame/main_frame.h"

namespace ui {

CMainApp::CMainApp(std::unique_ptr<platform::System> system, AppOptions options)
    : options_(std::move(options)),
      system_(std::move(system)),
      userOptions_(std::make_unique<SettingsOptionStore>(options_.configDir)),
      optionStore_(std::make_unique<shell::StateFolderOptions>(*userOptions_, options_.stateDir,
                                                               options_.perUserState)) {
  commands_.Register(cmd::kAppAbout, Target::App, [this] { ShowAbout(); });
}

CMainApp::~CMainApp() {
  // The frame goes first: its destructor still writes the options.
  frame_.reset();
  splash_.reset();
}

bool CMainApp::InitInstance() {
  splash_ = std::make_unique<SplashWindow>(options_.splashTime);
  splash_->setAttribute(Qt::WA_QuitOnClose, false);

  frame_ = std::make_unique<CMainFrame>(state_, *system_, prompter_, *optionStore_, commands_);
  frame_->SetSplash(splash_.get());
  prompter_.SetParent(frame_.get());
  InstallCloseSequence(*frame_, options_.handOffDirectory);
  InstallDatabasePages(*frame_);
  connect(frame_.get(), &CMainFrame::closed, this, [this] {
    frameClosed_ = true;
    QMetaObject::invokeMethod(this, &CMainApp::Exit, Qt::QueuedConnection);
  });
  connect(frame_.get(), &CMainFrame::startupFailed, this, &CMainApp::EndAfterFailedStart);

  // The tip waits for the splash to go, so that it is never hidden behind it; after a
  // failed start there is nothing to give tips about.
  connect(splash_.get(), &SplashWindow::gone, this, [this] {
    if (exitCode_ == kFailedStartExitCode || frameClosed_ || !startupTip_) return;
    QMetaObject::invokeMethod(this, [this] {
      if (auto tip = std::exchange(startupTip_, {}); tip && !frameClosed_) tip();
    }, Qt::QueuedConnection);
  });
  return true;
}

int CMainApp::Run() {
  // A start-up failure may have closed the frame before the loop started.
  if (frameClosed_) return exitCode_;
  running_ = true;
  const int code = QApplication::exec();
  running_ = false;
  return code;
}

void CMainApp::Exit() {
  // Before the loop runs there is nothing to end: Run() sees the closed frame. (Asked
  // outside it, exit() would make every later modal loop return at once.)
  if (running_) QCoreApplication::exit(exitCode_);
}

void CMainApp::EndAfterFailedStart() {
  exitCode_ = kFailedStartExitCode;
  // The splash and the tip of the day (whose modal loop ran the start-up step) go now;
  // the frame never showed.
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window != frame_.get() && window->isVisible()) window->close();
  }
  // Queued after the frame's close: the shutdown still holds and releases the recorder
  // and saves what was loaded, but a close it refuses must not leave a hidden program.
  QMetaObject::invokeMethod(this, [this] {
    frameClosed_ = true;
    Exit();
  }, Qt::QueuedConnection);
}

void CMainApp::ShowAbout() {
  AboutBox about(frame_.get());
  about.exec();
}

}  // namespace ui
