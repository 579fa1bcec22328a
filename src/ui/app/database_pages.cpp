#include "ui/app/database_pages.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QVBoxLayout>
#include <memory>

#include "activity/app_state.h"
#include "activity/recorder_control.h"
#include "files/hint_coverage.h"
#include "platform/environment.h"
#include "ui/dbpages/date_time_page.h"
#include "ui/dbpages/location_page.h"
#include "ui/dbpages/size_page.h"
#include "ui/analysis/window_memory.h"
#include "ui/frame/main_frame.h"
#include "ui/properties/property_sheets.h"
#include "ui/views/drive_tree.h"

namespace ui {
namespace {

// For a user the recorder refused: why there is nothing to configure, and how to join.
QWidget* MembersOnlyPage(QWidget* parent) {
  auto* page = new QWidget(parent);
  page->setObjectName("MembersOnly");
  auto* layout = new QVBoxLayout(page);
  auto* note = new QLabel(QString::fromStdString(activity::MembersOnlyNote(platform::LoginName())), page);
  note->setWordWrap(true);
  layout->addWidget(note);
  layout->addStretch();
  return page;
}

}  // namespace

void InstallDatabasePages(CMainFrame& frame) {
  ShellContext& shell = frame.Context();
  auto context = std::make_shared<DatabasePageContext>(DatabasePageContext{
      shell.state.driveTable, shell.system, shell.prompter,
      DatabaseMenuRouting{&frame, &shell.commands,
                          [&frame](QObject* owner, std::function<void(int)> send) {
                            frame.SetDatabaseMenuOwner(owner, std::move(send));
                          }},
      [&frame] {
        QStringList texts;
        const QAbstractItemModel* model = frame.Tree().model();
        if (!model) return texts;
        for (int row = 0; row < model->rowCount(); ++row) {
          texts << model->index(row, 0).data().toString();
        }
        return texts;
      },
      [&shell](char letter) { return QString::fromStdString(files::JudgeCoverage(shell.state, letter).Summary()); }});
  const activity::AppState& state = shell.state;
  shell.memory.databasePages = [context, &state](char letter, QWidget* parent) {
    DatabasePages pages;
    if (state.ActivityRefused) {
      // Nothing the pages edit would ever be saved.
      pages.pages[0] = MembersOnlyPage(parent);
      return pages;
    }
    pages.pages = {new CDP_DateTime(letter, *context, parent), new CDP_Size(letter, *context, parent),
                   new CDP_Location(letter, *context, parent)};
    return pages;
  };
}

}  // namespace ui
