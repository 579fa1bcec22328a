// File Norvex: the desktop program.

#include <QApplication>
#include <QIcon>
#include <QMenuBar>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/host_system.h"
#include "demo/demo_machine.h"
#include "ui/base/app_icon.h"
#include "ui/base/stall_log.h"
#include "ui/app/command_line.h"
#include "ui/app/main_app.h"
#include "ui/commands/command_ids.h"
#include "ui/frame/main_frame.h"
#include "ui/tips/tip_of_the_day.h"

namespace {

bool HasArgument(int argc, char** argv, const char* wanted) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) return false;
    if (std::strcmp(argv[i], wanted) == 0) return true;
  }
  return false;
}

bool Set(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

// Without a display Qt would abort with a long report; one line says what to do.
bool DisplayAvailable(int argc, char** argv) {
  return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM") ||
         HasArgument(argc, argv, "-platform");
}

// Debian sets no icon theme outside a desktop session: the Files list's file-type icons
// come from the theme, so name one that is installed.
void ChooseIconTheme() {
  if (!QIcon::themeName().isEmpty() && QIcon::themeName() != QLatin1String("hicolor")) return;
  QStringList paths = QIcon::themeSearchPaths();
  if (!paths.contains(QStringLiteral("/usr/share/icons"))) paths << QStringLiteral("/usr/share/icons");
  QIcon::setThemeSearchPaths(paths);
  QIcon::setThemeName(QStringLiteral("Adwaita"));
}

bool MakeDirectory(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (!error) return true;
  std::cerr << "norvex: cannot create " << path << ": " << error.message() << "\n";
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (HasArgument(argc, argv, "--help")) {
    std::cout << ui::UsageText(platform::Environment::OptionsHelp());
    return 0;
  }
  if (HasArgument(argc, argv, "--version")) {
    std::cout << "File Norvex " << NORVEX_VERSION << "\n";
    return 0;
  }
  if (!DisplayAvailable(argc, argv)) {
    std::cerr << "norvex: no display found; start it in a virtual one with  xvfb-run -a "
              << argv[0] << "\n";
    return 1;
  }

  QApplication application(argc, argv);  // takes Qt's own options out of argv
  QApplication::setApplicationName(QStringLiteral("File Norvex"));
  QApplication::setApplicationVersion(QStringLiteral(NORVEX_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral("norvex"));
  QApplication::setWindowIcon(ui::AppIcon());
  ChooseIconTheme();
  // NORVEX_STALL_LOG=MS: how long the window stays busy, for measuring on big drives.
  std::unique_ptr<ui::StallLog> stallLog;
  if (Set("NORVEX_STALL_LOG")) {
    stallLog = std::make_unique<ui::StallLog>(std::chrono::milliseconds(std::atoi(std::getenv("NORVEX_STALL_LOG"))));
  }

  std::vector<std::string> args(argv + 1, argv + argc);
  // Lives until after the window: the demo's drives stay mounted while the program runs.
  std::unique_ptr<demo::DemoSession> demoSession;
  if (!demo::ApplyDemoArgument(args, std::cerr, demoSession)) return 1;
  std::string error;
  const std::optional<platform::Environment> environment =
      platform::Environment::FromArguments(args, &error);
  if (!environment) {
    std::cerr << "norvex: " << error << "\n";
    return 2;
  }
  const std::optional<ui::ProgramArguments> program = ui::ParseProgramArguments(args, &error);
  if (!program) {
    std::cerr << "norvex: " << error << "\n";
    return 2;
  }
  if (!MakeDirectory(environment->stateDir) || !MakeDirectory(environment->configDir)) return 1;
  platform::ShareNewFilesWithStateGroup(environment->stateDir);

  ui::CMainApp app(std::make_unique<platform::HostSystem>(*environment),
                   ui::AppOptions{QString::fromStdString(environment->configDir), program->splashTime,
                                  program->handOffDirectory, environment->stateDir,
                                  !environment->machineState});
  const QString configDir = QString::fromStdString(environment->configDir);
  // The tip comes over the frame, once the splash has gone.
  app.SetStartupTip([&app, configDir] { ui::ShowTipOfTheDayAtStartup(app.Frame(), configDir); });
  app.Commands().Register(ui::cmd::kTipOfTheDay, ui::Target::App,
                          [&app, configDir] { ui::ShowTipOfTheDay(app.Frame(), configDir); });
  if (!app.InitInstance()) return 1;
  if (ui::CMainFrame* frame = app.Frame()) {
    QAction* tipAction = app.Commands().Action(ui::cmd::kTipOfTheDay);
    QObject::connect(frame, &ui::CMainFrame::menuBarInitializing, frame,
                     [tipAction](QMenuBar* bar) { ui::EnsureTipOfTheDayItem(*bar, *tipAction); });
  }
  return app.Run();
}
