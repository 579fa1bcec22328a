#include "ui/dbpages/database_pages.h"

#include <QAbstractItemModel>
#include <memory>

#include "activity/app_state.h"
#include "files/hint_coverage.h"
#include "ui/dbpages/date_time_page.h"
#include "ui/dbpages/location_page.h"
#include "ui/dbpages/size_page.h"
#include "ui/app/window_memory.h"
#include "ui/frame/main_frame.h"
#include "ui/properties/property_sheets.h"
#include "ui/views/drive_tree.h"

namespace ui {

void InstallDatabasePages(CMainFrame& frame) {
  ShellContext& shell = frame.Context();
  auto context = std::make_shared<DatabasePageContext>(DatabasePageContext{
      shell.state.driveTable, shell.system, shell.prompter, &frame, [&frame] {
        QStringList texts;
        const QAbstractItemModel* model = frame.Tree().model();
        if (!model) return texts;
        for (int row = 0; row < model->rowCount(); ++row) {
          texts << model->index(row, 0).data().toString();
        }
        return texts;
      },
      [&shell](char letter) { return QString::fromStdString(files::JudgeCoverage(shell.state, letter).Summary()); }});
  shell.memory.databasePages = [context](char letter, QWidget* parent) {
    DatabasePages pages;
    pages.pages = {new CDP_DateTime(letter, *context, parent), new CDP_Size(letter, *context, parent),
                   new CDP_Location(letter, *context, parent)};
    return pages;
  };
}

}  // namespace ui
