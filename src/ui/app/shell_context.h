#pragma once
// What the window's commands work with. `CommandServices` is the part a command needs to
// run (the shared state, the operating system, the way to ask the user and to report
// progress, what the window remembers between commands), so that it can run without a
// frame; `ShellContext` adds what the frame's panes register with and belong to.

namespace platform { class System; }
namespace activity { struct AppState; }
namespace common { class Prompter; class StatusSink; }

namespace ui {

class CMainFrame;
class CommandTable;
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
  CMainFrame& frame;
};

}  // namespace ui
