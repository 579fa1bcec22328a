#include "ui/wiring/database_menu_commands.h"

#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"

namespace ui {

DatabaseMenuCommands::DatabaseMenuCommands(CommandTable& commands) {
  commands.Register(cmd::kDeleteDatabase, Target::Frame, [this] { Forward(cmd::kDeleteDatabase); });
  for (int id = cmd::kMoveDatabaseFirst; id <= cmd::kMoveDatabaseLast; ++id) {
    // An item whose text ends with a blank names a drive that cannot take the database.
    commands.Register(id, Target::Frame, [this, id] { Forward(id); },
                      [](CommandUi& ui) { ui.Enable(!ui.Text().endsWith(QLatin1Char(' '))); });
  }
}

void DatabaseMenuCommands::SetOwner(QObject* owner, std::function<void(int)> send) {
  owner_ = owner;
  send_ = std::move(send);
}

void DatabaseMenuCommands::Forward(int id) const {
  if (!owner_.isNull() && send_) send_(id);
}

}  // namespace ui
