#pragma once
// The items of the active database pop-up (delete, move to a drive) go to the window that
// last opened that pop-up: a database page names itself here when it opens the menu.

#include <QObject>
#include <QPointer>
#include <functional>

namespace ui {

class CommandTable;

class DatabaseMenuCommands {
 public:
  // Registers commands 32780 and 32783-32808 with `commands`.
  explicit DatabaseMenuCommands(CommandTable& commands);

  void SetOwner(QObject* owner, std::function<void(int id)> send);

 private:
  void Forward(int id) const;

  QPointer<QObject> owner_;
  std::function<void(int)> send_;
};

}  // namespace ui
