#pragma once
// What the frame's panes work with: the shared state, the operating system, the way to
// ask the user and to report progress, and the command table to register with.

namespace platform { class System; }
namespace activity { struct AppState; }
namespace common { class Prompter; class StatusSink; }

namespace ui {

class CMainFrame;
class CommandTable;

struct ShellContext {
  activity::AppState& state;
  platform::System& system;
  common::Prompter& prompter;
  common::StatusSink& status;
  CommandTable& commands;
  CMainFrame& frame;
};

}  // namespace ui
