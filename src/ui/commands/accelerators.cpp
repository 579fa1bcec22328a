#include "ui/commands/accelerators.h"

#include <QAction>
#include <QWidget>

#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/commands/string_table.h"

namespace ui {
namespace {

using namespace ui::cmd;

std::vector<Accelerator> MakeTable() {
  const auto ctrl = Qt::ControlModifier;
  const auto alt = Qt::AltModifier;
  const auto shift = Qt::ShiftModifier;
  return {
      {QKeySequence(ctrl | Qt::Key_A), kSelectActions},
      {QKeySequence(alt | Qt::Key_A), kClusterSizeAnalysis},
      {QKeySequence(alt | Qt::Key_B), kViewToolbar},
      {QKeySequence(ctrl | Qt::Key_C), kListChangeClusterSize},
      {QKeySequence(ctrl | Qt::Key_M), kSpaceMap},
      {QKeySequence(alt | Qt::Key_C), kTreeChangeClusterSize},
      {QKeySequence(ctrl | shift | Qt::Key_N), kShowNewDatabaseState},
      {QKeySequence(ctrl | shift | Qt::Key_O), kShowOldDatabaseState},
      {QKeySequence(ctrl | Qt::Key_S), kSelectAll},
      {QKeySequence(alt | Qt::Key_S), kViewStatusBar},
      {QKeySequence(Qt::Key_Backspace), kUpOneLevel},
      {QKeySequence(Qt::Key_F1), kHelp},
      {QKeySequence(ctrl | Qt::Key_F1), kHelpSearch},
      {QKeySequence(alt | Qt::Key_F1), kHelpContents},
      {QKeySequence(shift | Qt::Key_F1), kContextHelp},
      {QKeySequence(Qt::Key_F5), kRescanActiveView},
      {QKeySequence(ctrl | Qt::Key_F5), kStopScanning},
      {QKeySequence(Qt::Key_F6), kRefreshHints},
      {QKeySequence(Qt::Key_F10), kPerformActions},
      {QKeySequence(ctrl | Qt::Key_Left), kCollapseAll},
      {QKeySequence(ctrl | Qt::Key_Return), kListProperties},
      {QKeySequence(alt | Qt::Key_Return), kTreeProperties},
      {QKeySequence(ctrl | Qt::Key_Right), kExpandAll},
      {QKeySequence(alt | Qt::Key_X), kAppExit},
  };
}

// The Return key and the keypad's Enter key are one key to the accelerators.
QList<QKeySequence> WithKeypadEnter(const QKeySequence& keys) {
  QList<QKeySequence> all{keys};
  const QKeyCombination combination = keys[0];
  if (combination.key() == Qt::Key_Return) {
    all.append(QKeySequence(QKeyCombination(combination.keyboardModifiers(), Qt::Key_Enter)));
  }
  return all;
}

}  // namespace

const std::vector<Accelerator>& AcceleratorTable() {
  static const std::vector<Accelerator> table = MakeTable();
  return table;
}

void InstallAccelerators(QWidget& window, CommandTable& commands) {
  for (const Accelerator& accelerator : AcceleratorTable()) {
    QAction* action = commands.NewAction(accelerator.id, strings::MenuText(accelerator.id), &window);
    action->setShortcuts(WithKeypadEnter(accelerator.keys));
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);
  }
}

}  // namespace ui
