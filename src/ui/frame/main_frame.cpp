#include "ui/frame/main_frame.h"

#include <cstdio>

#include <QAbstractEventDispatcher>
#include <QCloseEvent>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>

#include "activity/app_state.h"
#include "activity/recorder_control.h"
#include "platform/environment.h"
#include "shell/options.h"
#include "common/prompter.h"
#include "platform/system.h"
#include "shell/startup.h"
#include "ui/actions/frame_panes.h"
#include "ui/actions/selection_commands.h"
#include "ui/base/app_icon.h"
#include "ui/frame/splash_window.h"
#include "ui/analysis/window_memory.h"
#include "ui/base/window_message.h"
#include "ui/commands/accelerators.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/commands/menu_layout.h"
#include "ui/commands/string_table.h"
#include "ui/commands/toolbar_layout.h"
#include "ui/document/drives_document.h"
#include "ui/frame/pane_frame.h"
#include "ui/prompter/status_panes.h"
#include "ui/help/help_window.h"
#include "ui/wiring/space_map_link.h"
#include "ui/map/space_map_view.h"
#include "ui/prompter/status_bar_sink.h"
#include "ui/views/drive_tree.h"
#include "ui/views/files_list.h"
#include "ui/wiring/database_menu_commands.h"
#include "ui/wiring/frame_commands.h"
#include "ui/wiring/pane_commands.h"
#include "ui/wiring/sort_commands.h"

namespace ui {
namespace {

// The Files list's column widths, left to right, as the user left them.
constexpr const char* kFilesListColumnsOption = "FilesListColumns";

constexpr int kTreePaneWidth = 200;

}  // namespace

CMainFrame::CMainFrame(activity::AppState& state, platform::System& system,
                       common::Prompter& prompter, shell::OptionStore& options,
                       CommandTable& commands)
    : options_(options), memory_(std::make_unique<WindowMemory>()) {
  state.AutoScan = shell::IsOn(options_, shell::kAutoScanOption) ? 1 : 0;
  setObjectName(QStringLiteral("CMainFrame"));
  setWindowTitle(QString::fromUtf8(common::kProgramTitle));
  setWindowIcon(AppIcon());

  CreateToolBar();
  CreateStatusBar();
  context_ = std::make_unique<ShellContext>(ShellContext{{state, system, prompter, *sink_, *memory_},
                                                        commands,
                                                        *panes_,
                                                        popups_,
                                                        [this](const char* page) { Help().ShowPage(page); }});
  CreateClient();
  CreateSpaceMap();
  CreateMenus();
  InstallAccelerators(*this, commands);
  RegisterCommands();
  WirePaneCommands(*context_, *document_, *tree_, *list_);

  // Toolbar buttons follow their commands' states whenever the program is idle.
  connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
          &CMainFrame::RefreshToolBar);
  connect(&commands, &CommandTable::executed, this, &CMainFrame::RefreshToolBar);

  PostWindowMessage(this, UM_STARTUP);
}

CMainFrame::~CMainFrame() {
  SaveSpaceMapPlace();
  if (list_ != nullptr) options_.Write(kFilesListColumnsOption, list_->ColumnWidthsText());
  shell::WriteOnOff(options_, shell::kAutoScanOption, context_->state.AutoScan != 0);
  Commands().UnregisterAll(Target::Frame);
  // The action commands' worker reaches the panes: it is joined first. The panes use
  // the context and the document, which go with this object's members: they go next.
  selection_.reset();
  actionPanes_.reset();
  delete takeCentralWidget();
}

void CMainFrame::CreateToolBar() {
  toolBar_ = new QToolBar(QString::fromUtf8(common::kProgramTitle), this);
  toolBar_->setObjectName(QStringLiteral("ToolBar"));
  toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
  toolBar_->setFloatable(true);
  toolBar_->setMovable(true);
  addToolBar(Qt::TopToolBarArea, toolBar_);
}

void CMainFrame::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar"));
  panes_ = new StatusPanes(*bar);
  sink_ = std::make_unique<StatusBarSink>(panes_);
}

void CMainFrame::CreateClient() {
  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setChildrenCollapsible(false);
  document_ = std::make_unique<DrivesDocument>(context_->system, context_->state, context_->status);
  tree_ = new CDriveTree(*context_, *document_, nullptr);
  list_ = new CFilesList(*context_, *document_, nullptr);
  list_->RestoreColumnWidths(options_.Read(kFilesListColumnsOption));
  treeFrame_ = new PaneFrame(tree_, splitter_);
  listFrame_ = new PaneFrame(list_, splitter_);
  connect(list_, &CFilesList::captionToolTipChanged, listFrame_, &PaneFrame::SetCaptionToolTip);
  // The frame appears at the end of the tree's start-up step.
  connect(tree_, &CDriveTree::startupEnded, this, &CMainFrame::RevealAfterSplash);
  splitter_->addWidget(treeFrame_);
  splitter_->addWidget(listFrame_);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  splitter_->setSizes({kTreePaneWidth, 0});
  setCentralWidget(splitter_);
  actionPanes_ = std::make_unique<FramePanes>(*list_, *tree_, *document_);
  selection_ = std::make_unique<SelectionCommands>(*context_, this, *actionPanes_);
}

namespace {

// Where the space map was: "area floating visible x y width height".
constexpr const char* kSpaceMapPlaceOption = "SpaceMapPlace";

}  // namespace

void CMainFrame::CreateSpaceMap() {
  mapDock_ = new QDockWidget(tr("Space map"), this);
  mapDock_->setObjectName(QStringLiteral("SpaceMapPane"));
  map_ = new SpaceMapView(mapDock_);
  mapDock_->setWidget(map_);
  LinkSpaceMap(*map_, *list_, context_->state);
  connect(map_, &SpaceMapView::upRequested, this, [this] { Commands().Execute(cmd::kUpOneLevel); });
  int area = Qt::RightDockWidgetArea, floating = 0, visible = 0, x = 0, y = 0, w = 0, h = 0;
  const std::string place = options_.Read(kSpaceMapPlaceOption);
  const bool known = std::sscanf(place.c_str(), "%d %d %d %d %d %d %d", &area, &floating, &visible, &x, &y, &w,
                                 &h) == 7;
  const Qt::DockWidgetArea dockArea = static_cast<Qt::DockWidgetArea>(area);
  const bool areaKnown = known && dockArea != Qt::NoDockWidgetArea && mapDock_->isAreaAllowed(dockArea);
  addDockWidget(areaKnown ? dockArea : Qt::RightDockWidgetArea, mapDock_);
  if (known && floating != 0 && w > 0 && h > 0) {
    mapDock_->setFloating(true);
    mapDock_->setGeometry(x, y, w, h);
  } else if (known && w > 0) {
    resizeDocks({mapDock_}, {w}, Qt::Horizontal);
    mapWidthKnown_ = true;
  }
  mapDock_->setVisible(known && visible != 0);
}

void CMainFrame::SaveSpaceMapPlace() {
  if (mapDock_ == nullptr) return;
  const QRect geometry = mapDock_->geometry();
  char place[96];
  std::snprintf(place, sizeof place, "%d %d %d %d %d %d %d", static_cast<int>(dockWidgetArea(mapDock_)),
                mapDock_->isFloating() ? 1 : 0, mapDock_->isVisible() ? 1 : 0, geometry.x(), geometry.y(),
                geometry.width(), geometry.height());
  options_.Write(kSpaceMapPlaceOption, place);
}

void CMainFrame::CreateMenus() {
  CommandTable& commands = Commands();
  BuildToolBar(*toolBar_, commands);
  popups_ = BuildMenuBar(*menuBar(), commands, [this](QMenu*) { emit menuBarInitializing(menuBar()); });
  // Menu bar, context and run-time menus alike: the highlighted item's prompt, and the
  // idle prompt once the menu closes.
  connect(&commands, &CommandTable::highlighted, panes_, [this](int id) {
    panes_->EndStandingNote();
    panes_->ShowMessage(strings::StatusPrompt(id));
  });
  connect(&commands, &CommandTable::menuClosed, panes_, &StatusPanes::ShowIdle);
}

common::StatusSink& CMainFrame::Sink() { return *sink_; }

void CMainFrame::RegisterCommands() {
  CommandTable& commands = Commands();
  commands.Register(cmd::kViewToolbar, Target::Frame,
                    [this] { toolBar_->setVisible(toolBar_->isHidden()); },
                    [this](CommandUi& ui) { ui.SetCheck(!toolBar_->isHidden()); });
  commands.Register(cmd::kViewStatusBar, Target::Frame,
                    [this] { statusBar()->setVisible(statusBar()->isHidden()); },
                    [this](CommandUi& ui) { ui.SetCheck(!statusBar()->isHidden()); });
  commands.Register(cmd::kSpaceMap, Target::Frame,
                    [this] {
                      mapDock_->setVisible(mapDock_->isHidden());
                      if (mapDock_->isHidden()) return;
                      if (!mapWidthKnown_ && !mapDock_->isFloating()) {
                        resizeDocks({mapDock_}, {width() / 3}, Qt::Horizontal);
                        mapWidthKnown_ = true;
                      }
                      map_->setFocus();
                    },
                    [this](CommandUi& ui) { ui.SetCheck(!mapDock_->isHidden()); });
  commands.Register(cmd::kAppExit, Target::Frame, [this] { close(); });
  RegisterPerformCommand(*context_, *document_, *list_, *this);
  RegisterDriveOptionCommands(*context_, *tree_);
  RegisterSortCommands(*context_, *tree_, *list_);
  RegisterHelpCommands(*context_, [this]() -> HelpWindow& { return Help(); }, *tree_, *list_);
  databaseMenu_ = std::make_unique<DatabaseMenuCommands>(commands);
}

void CMainFrame::SetDatabaseMenuOwner(QObject* owner, std::function<void(int)> send) {
  databaseMenu_->SetOwner(owner, std::move(send));
}

void CMainFrame::SetCloseHandler(std::function<bool()> handler) { closeHandler_ = std::move(handler); }

HelpWindow& CMainFrame::Help() {
  if (help_.isNull()) {
    help_ = new HelpWindow(this);
    help_->setWindowIcon(windowIcon());
  }
  return *help_;
}

void CMainFrame::RefreshToolBar() {
  const CommandTable& commands = Commands();
  for (QAction* action : toolBar_->actions()) commands.UpdateAction(action);
}

bool CMainFrame::event(QEvent* event) {
  if (IsMessage(event, UM_STARTUP)) {
    StartupStep();
    return true;
  }
  if (event->type() == QEvent::StatusTip) {
    panes_->ShowMessage(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

namespace {

constexpr const char* kRecorderNotAnswering =
    "Activity is not being recorded: no recorder answers. Start it with "
    "\"sudo systemctl enable --now norvex-recorder\", or run \"norvex-recorder run\".";

}  // namespace

void CMainFrame::StartupStep() {
  treePane_ = tree_;
  listPane_ = list_;
  const shell::StartupOutcome outcome = shell::RunFrameStartup(
      context_->state, context_->system, context_->prompter, options_);
  if (outcome == shell::StartupOutcome::Close) {
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    emit startupFailed();
    return;
  }
  PostWindowMessage(tree_, UM_STARTUP);
  PostWindowMessage(list_, UM_STARTUP);
  // Databases that nobody feeds: said once in the message pane, never in a box at every
  // start; queued behind the views' start-up, which ends on the idle prompt. A liveness
  // probe (code 0) changes nothing in a recorder.
  // A refused user is told about the group instead.
  if (!context_->state.driveTable.OldState().empty() &&
      context_->system.SendRecorderControl(0) == platform::RecorderReply::None) {
    QMetaObject::invokeMethod(
        this, [this] { panes_->ShowMessage(QString::fromUtf8(kRecorderNotAnswering)); }, Qt::QueuedConnection);
  }
}

void CMainFrame::SetSplash(SplashWindow* splash) { splash_ = splash; }

void CMainFrame::RevealAfterSplash() {
  const auto reveal = [this] {
    // The frame first: with no window up in between, the program would count as closed.
    showMaximized();
    if (!splash_.isNull()) splash_->close();
    if (context_->state.ActivityRefused) {
      // It stands through the panes' own start-up, until the user turns to a command.
      panes_->ShowStandingNote(QString::fromStdString(activity::MembersOnlyNote(platform::LoginName())));
    }
  };
  const std::chrono::milliseconds remaining =
      splash_.isNull() ? std::chrono::milliseconds(0) : splash_->Remaining();
  if (remaining.count() == 0) {
    reveal();
  } else {
    QTimer::singleShot(remaining, this, reveal);
  }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (closeHandler_ && !closeHandler_()) {
    event->ignore();
    return;
  }
  event->accept();
  emit closed();
}

}  // namespace ui
