#pragma once
// The one command table of the program. Each command identifier maps to a handler and
// an update handler (enabled / checked) per window; the routing decides which window's
// handlers a command reaches (routing.h). Menus, the toolbar, accelerators and context
// menus are all built from it, so a command behaves the same wherever it is chosen.
//
// A window registers what it performs:
//     commands.Register(cmd::kSelectAll, Target::List, [this] { SelectAll(); },
//                       [this](CommandUi& ui) { ui.Enable(model()->rowCount() > 0); });
// A command that no registered handler reaches is disabled.

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <utility>

#include "ui/commands/command_ui.h"
#include "ui/commands/routing.h"

class QAction;
class QMenu;
class QWidget;

namespace ui {

using Handler = std::function<void()>;
using UpdateHandler = std::function<void(CommandUi&)>;

class CommandTable : public QObject {
  Q_OBJECT

 public:
  explicit CommandTable(QObject* parent = nullptr);

  // Adds or replaces `target`'s handlers for `id`. An empty handler registers the
  // state alone (a later unit supplies what the command does). Without an update
  // handler the command is always enabled. False, and nothing stored, when the routing
  // never brings `id` to `target`.
  bool Register(int id, Target target, Handler handler, UpdateHandler update = {});
  void Unregister(int id, Target target);
  // Every handler of `target`: a window that goes takes its handlers with it.
  void UnregisterAll(Target target);

  // The view that last had the focus: the one that receives ActiveView commands.
  void SetActiveView(Target view);
  Target ActiveView() const { return activeView_; }

  // The state the command has now, as the update handler of the window it reaches says.
  // `text` is the text of the item being updated.
  CommandUi Query(int id, const QString& text = {}) const;
  // Runs the command the way a menu item, button or accelerator does: the update
  // handler is asked first and a disabled command does nothing. True when a handler ran.
  bool Execute(int id, const QString& text = {});

  // The menu bar's and toolbar's item of `id`, created on first use with the menu text,
  // the status prompt and the tooltip of the string table.
  QAction* Action(int id);
  // A further item for `id` with its own text, owned by `parent` (context menus and
  // menus built at run time).
  QAction* NewAction(int id, const QString& text, QObject* parent);
  // Copies `source` item by item (text, identifier, check and enable state, pop-ups
  // copied the same way); the copy refreshes itself like every watched menu.
  QMenu* CopyMenu(const QMenu& source, QWidget* parent);
  // Refreshes the states of `menu`'s items each time it is about to open.
  void WatchMenu(QMenu* menu);
  void UpdateMenu(QMenu* menu) const;
  void UpdateAction(QAction* action) const;

  // The identifier an item stands for; -1 for items that are no command.
  static int IdOf(const QAction* action);

 signals:
  // Before an enabled command's handler runs: work still changing the records can end
  // first, so that the command sees them whole.
  void aboutToExecute(int id);
  // After a handler has run: lets the frame refresh toolbar states at once.
  void executed(int id);
  // An item of `id` is highlighted in a menu (its prompt belongs in the message pane).
  void highlighted(int id);
  // A watched menu closed: the message pane goes back to the idle prompt.
  void menuClosed();

 private:
  struct Entry {
    Handler handler;
    UpdateHandler update;
  };
  const Entry* Resolve(int id) const;
  const Entry* Find(int id, Target target) const;
  void Connect(QAction* action);

  std::map<std::pair<int, Target>, Entry> entries_;
  std::map<int, QPointer<QAction>> actions_;
  Target activeView_ = Target::Tree;
};

}  // namespace ui
