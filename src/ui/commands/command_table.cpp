#include "ui/commands/command_table.h"

#include <QAction>
#include <QMenu>

#include "ui/commands/string_table.h"

namespace ui {
namespace {

constexpr const char* kIdProperty = "norvexCommandId";

void Describe(QAction* action, int id) {
  const QString status = strings::StatusPrompt(id);
  action->setStatusTip(status);
  action->setWhatsThis(status);
  const QString tip = strings::ToolTip(id);
  if (!tip.isEmpty()) action->setToolTip(tip);
}

// Shows a check mark only while checked: an unchecked item looks like any other item.
void ApplyCheck(QAction* action, bool checked) {
  if (checked) {
    action->setCheckable(true);
    action->setChecked(true);
  } else {
    action->setChecked(false);
    action->setCheckable(false);
  }
}

}  // namespace

CommandTable::CommandTable(QObject* parent) : QObject(parent) {}

bool CommandTable::Register(int id, Target target, Handler handler, UpdateHandler update) {
  if (!Reaches(RouteOf(id), target)) return false;
  entries_[{id, target}] = Entry{std::move(handler), std::move(update)};
  return true;
}

void CommandTable::Unregister(int id, Target target) { entries_.erase({id, target}); }

void CommandTable::UnregisterAll(Target target) {
  std::erase_if(entries_, [target](const auto& entry) { return entry.first.second == target; });
}

void CommandTable::SetActiveView(Target view) {
  if (view == Target::Tree || view == Target::List) activeView_ = view;
}

const CommandTable::Entry* CommandTable::Find(int id, Target target) const {
  const auto found = entries_.find({id, target});
  return found != entries_.end() ? &found->second : nullptr;
}

const CommandTable::Entry* CommandTable::Resolve(int id) const {
  switch (RouteOf(id)) {
    case Route::App: return Find(id, Target::App);
    case Route::Frame: return Find(id, Target::Frame);
    case Route::Tree: return Find(id, Target::Tree);
    case Route::List: return Find(id, Target::List);
    case Route::ActiveView: return Find(id, activeView_);
    case Route::Unlisted:
      for (const Target target : {activeView_, Target::Frame, Target::App}) {
        if (const Entry* entry = Find(id, target)) return entry;
      }
      return nullptr;
  }
  return nullptr;
}

CommandUi CommandTable::Query(int id, const QString& text) const {
  CommandUi ui(text);
  const Entry* entry = Resolve(id);
  if (entry == nullptr) {
    ui.Enable(false);
  } else if (entry->update) {
    entry->update(ui);
  }
  return ui;
}

bool CommandTable::Execute(int id, const QString& text) {
  const Entry* entry = Resolve(id);
  if (entry == nullptr || !entry->handler) return false;
  if (entry->update) {
    CommandUi ui(text);
    entry->update(ui);
    if (!ui.Enabled()) return false;
  }
  // A handler may register or unregister commands while it runs.
  const Handler handler = entry->handler;
  emit aboutToExecute(id);
  handler();
  emit executed(id);
  return true;
}

int CommandTable::IdOf(const QAction* action) {
  if (action == nullptr) return -1;
  const QVariant id = action->property(kIdProperty);
  return id.isValid() ? id.toInt() : -1;
}

void CommandTable::Connect(QAction* action) {
  connect(action, &QAction::triggered, this, [this, action] {
    Execute(IdOf(action), action->text());
  });
  connect(action, &QAction::hovered, this, [this, action] { emit highlighted(IdOf(action)); });
}

QAction* CommandTable::Action(int id) {
  QPointer<QAction>& slot = actions_[id];
  if (slot.isNull()) {
    slot = new QAction(strings::MenuText(id), this);
    slot->setProperty(kIdProperty, id);
    Describe(slot, id);
    Connect(slot);
  }
  return slot;
}

QAction* CommandTable::NewAction(int id, const QString& text, QObject* parent) {
  auto* action = new QAction(text, parent);
  action->setProperty(kIdProperty, id);
  Describe(action, id);
  Connect(action);
  return action;
}

QMenu* CommandTable::CopyMenu(const QMenu& source, QWidget* parent) {
  auto* copy = new QMenu(source.title(), parent);
  for (QAction* item : source.actions()) {
    if (item->isSeparator()) {
      copy->addSeparator();
    } else if (QMenu* sub = item->menu()) {
      copy->addMenu(CopyMenu(*sub, copy));
    } else if (const int id = IdOf(item); id >= 0) {
      QAction* action = NewAction(id, item->text(), copy);
      action->setEnabled(item->isEnabled());
      ApplyCheck(action, item->isChecked());
      copy->addAction(action);
    }
  }
  WatchMenu(copy);
  return copy;
}

void CommandTable::WatchMenu(QMenu* menu) {
  connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenu(menu); });
  connect(menu, &QMenu::aboutToHide, this, &CommandTable::menuClosed);
}

void CommandTable::UpdateMenu(QMenu* menu) const {
  for (QAction* action : menu->actions()) UpdateAction(action);
}

void CommandTable::UpdateAction(QAction* action) const {
  const int id = IdOf(action);
  if (id < 0) return;
  const CommandUi ui = Query(id, action->text());
  action->setEnabled(ui.Enabled());
  ApplyCheck(action, ui.Checked());
}

}  // namespace ui
