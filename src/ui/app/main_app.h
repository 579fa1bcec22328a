#pragma once
// CMainApp: the application object. It shows the splash, creates the main frame hidden,
// runs the tip of the day when it is due, and owns everything the run shares.

#include <QObject>
#include <QString>
#include <chrono>
#include <string>
#include <functional>
#include <memory>

#include "activity/app_state.h"
#include "ui/commands/command_table.h"
#include "ui/prompter/message_box_prompter.h"

namespace platform { class System; }
namespace shell { class StateFolderOptions; }

namespace ui {

class CMainFrame;
class SettingsOptionStore;
class SplashWindow;

inline constexpr int kFailedStartExitCode = 1;

struct AppOptions {
  QString configDir;                                // holds the options file
  std::chrono::milliseconds splashTime{6000};       // the splash's minimum time
  std::string handOffDirectory = ".";               // where "ShadowTbl.NVX" goes at exit
  std::string stateDir;                             // holds the first-run mark beside the drive table
  bool perUserState = true;                         // the user's own state folder, not the machine's
};

class CMainApp : public QObject {
  Q_OBJECT

 public:
  CMainApp(std::unique_ptr<platform::System> system, AppOptions options);
  ~CMainApp() override;

  // The instance initialisation: splash and hidden frame. The frame's start-up step runs
  // from the event loop, and the tip of the day once the splash has gone.
  bool InitInstance();
  // The message loop; returns the exit code (kFailedStartExitCode after a fatal
  // start-up error).
  int Run();

  // The tip of the day to run at start-up (when its own setting says so). Command 114
  // reaches the application object through the command table: Register(kTipOfTheDay,
  // Target::App, ...).
  void SetStartupTip(std::function<void()> tip) { startupTip_ = std::move(tip); }

  activity::AppState& State() { return state_; }
  platform::System& System() { return *system_; }
  CommandTable& Commands() { return commands_; }
  CMainFrame* Frame() const { return frame_.get(); }
  SplashWindow* Splash() const { return splash_.get(); }
  bool FrameClosed() const { return frameClosed_; }

 private:
  void ShowAbout();
  // After a fatal start-up error has been told: nothing else of the program may stay on
  // screen, and once the frame's close has run (whatever it decided) the process ends.
  void EndAfterFailedStart();
  void Exit();

  AppOptions options_;
  std::unique_ptr<platform::System> system_;
  activity::AppState state_;
  MessageBoxPrompter prompter_;
  std::unique_ptr<SettingsOptionStore> userOptions_;
  std::unique_ptr<shell::StateFolderOptions> optionStore_;
  CommandTable commands_;
  std::unique_ptr<SplashWindow> splash_;
  std::unique_ptr<CMainFrame> frame_;
  std::function<void()> startupTip_;
  bool frameClosed_ = false;
  bool running_ = false;  // inside Run()'s message loop
  int exitCode_ = 0;
};

}  // namespace ui
