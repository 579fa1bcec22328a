#pragma once
// What the window's commands work with. `CommandServices` is the part a command needs to
// run (the shared state, the operating system, the way to ask the user and to report
// progress, what the window remembers between commands), so that it can run without a
// window; `ShellContext` adds the few parts of the window that the panes use: the
// command table they register with, the status bar's panes, the menu bar's pop-ups they
// copy into their context menus, and the help pages.

#include <functional>
#include <vector>

class QMenu;

namespace platform { class System; }
namespace activity { struct AppState; }
namespace common { class Prompter; class StatusSink; }

namespace ui {

class CommandTable;
class StatusPanes;
struct WindowMemory;

struct CommandServices {
  activity::AppState& state;
  platform::System& system;
  common::Prompter& prompter;
  common::StatusSink& status;
  WindowMemory& memory;
};

struct ShellContext : CommandServices {
  CommandTable& commands;
  StatusPanes& panes;
  // Left to right; filled once the menu bar is built, before any pane opens a menu.
  const std::vector<QMenu*>& menuPopups;
  std::function<void(const char* page)> showHelp;
};

}  // namespace ui
