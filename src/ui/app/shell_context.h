#pragma once
// What the frame's panes work with: the shared state, the operating system, the way to
// ask the user and to report progress, and the command table to register with.

namespace platform { class System; }
namespace shell {
struct AppState;
class Prompter;
class StatusSink;
}

namespace ui {

class CMainFrame;
class CommandTable;

struct ShellContext {
  shell::AppState& state;
  platform::System& system;
  shell::Prompter& prompter;
  shell::StatusSink& status;
  CommandTable& commands;
  CMainFrame& frame;
};

}  // namespace ui
