#include "ui/commands/toolbar_layout.h"

#include <QAction>
#include <QToolBar>

#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/commands/toolbar_icons.h"

namespace ui {

const std::vector<int>& ToolbarLayout() {
  using namespace ui::cmd;
  static const std::vector<int> layout = {
      kPerformActions, 0, kTreeProperties, kChangeClusterSize, kClusterSizeAnalysis, 0,
      kRescan, kStopScanning, 0, kUpOneLevel, kSelectAll, 0, kListProperties, kSelectActions, 0,
      kContextHelp, kAppExit,
  };
  return layout;
}

void BuildToolBar(QToolBar& bar, CommandTable& commands) {
  bar.setIconSize(QSize(kToolbarImageSize, kToolbarImageSize));
  for (const int id : ToolbarLayout()) {
    if (id == 0) {
      bar.addSeparator();
      continue;
    }
    QAction* action = commands.Action(id);
    action->setIcon(ToolbarIcon(id));
    action->setIconVisibleInMenu(false);
    bar.addAction(action);
  }
}

}  // namespace ui
