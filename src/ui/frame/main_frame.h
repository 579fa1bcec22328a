#pragma once
// CMainFrame: the main window. It assembles the status bar, the toolbar, the menus, the
// splitter with the folders tree and the Files list and the space map's dock, runs the
// start-up step of the databases, and hands the commands that are not about its own bars
// to the wiring.

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "ui/base/shell_context.h"

class QDockWidget;
class QMenu;
class QSplitter;
class QToolBar;

namespace shell { class OptionStore; }

namespace ui {

class CDriveTree;
class DatabaseMenuCommands;
class DrivesDocument;
class FramePanes;
class SelectionCommands;
class SpaceMapView;
class CFilesList;
class HelpWindow;
class PaneFrame;
class SplashWindow;
class StatusBarSink;
class StatusPanes;
struct WindowMemory;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // Reads the AutoScan option. The frame stays hidden until the tree's start-up step.
  CMainFrame(activity::AppState& state, platform::System& system, common::Prompter& prompter,
             shell::OptionStore& options, CommandTable& commands);
  // Writes the AutoScan option: a change survives only a run that ends normally.
  ~CMainFrame() override;

  ShellContext& Context() { return *context_; }
  CommandTable& Commands() { return context_->commands; }
  StatusPanes& Status() const { return *panes_; }
  common::StatusSink& Sink();
  QToolBar* ToolBar() const { return toolBar_; }
  // The menu bar's pop-ups, left to right.
  const std::vector<QMenu*>& MenuPopups() const { return popups_; }
  // Every record of the run and the scans that replace them.
  DrivesDocument& Document() const { return *document_; }
  CDriveTree& Tree() const { return *tree_; }
  CFilesList& List() const { return *list_; }
  PaneFrame& TreePaneFrame() const { return *treeFrame_; }
  PaneFrame& ListPaneFrame() const { return *listFrame_; }
  SpaceMapView& SpaceMap() const { return *map_; }
  QDockWidget& SpaceMapDock() const { return *mapDock_; }
  QSplitter& Splitter() const { return *splitter_; }
  // The panes as the start-up step stored them: null until it has run.
  CDriveTree* TreePane() const { return treePane_; }
  CFilesList* FilesListPane() const { return listPane_; }

  // The splash whose minimum time the frame waits for before it appears.
  void SetSplash(SplashWindow* splash);
  // Closes the splash and shows the frame maximised once the splash has had its time.
  void RevealAfterSplash();

  // Commands 32780 and 32783-32808 go to the window that last opened the database
  // pop-up menu; it names itself here when it opens the menu.
  void SetDatabaseMenuOwner(QObject* owner, std::function<void(int id)> send);
  // What closing the frame does before it goes; returning false keeps the frame open.
  void SetCloseHandler(std::function<bool()> handler);

  HelpWindow& Help();

 signals:
  // Each time a pop-up of the menu bar is about to open, before its items are
  // refreshed: the tip of the day makes sure the "&Help" pop-up starts with its item.
  void menuBarInitializing(QMenuBar* bar);
  // The frame has accepted its close: the program ends.
  void closed();
  // The start-up step failed and was told; the frame's close is already queued.
  void startupFailed();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateToolBar();
  void CreateStatusBar();
  void CreateMenus();
  void CreateClient();
  // The space map pane beside the list, where the last run left it.
  void CreateSpaceMap();
  void SaveSpaceMapPlace();
  // The window's own commands, then those the wiring joins to the panes.
  void RegisterCommands();
  void StartupStep();
  void RefreshToolBar();

  shell::OptionStore& options_;
  std::unique_ptr<ShellContext> context_;
  const std::unique_ptr<WindowMemory> memory_;
  std::unique_ptr<StatusBarSink> sink_;
  StatusPanes* panes_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  std::vector<QMenu*> popups_;
  QSplitter* splitter_ = nullptr;
  std::unique_ptr<DrivesDocument> document_;
  PaneFrame* treeFrame_ = nullptr;
  PaneFrame* listFrame_ = nullptr;
  CDriveTree* tree_ = nullptr;
  CFilesList* list_ = nullptr;
  std::unique_ptr<FramePanes> actionPanes_;
  std::unique_ptr<SelectionCommands> selection_;
  QDockWidget* mapDock_ = nullptr;
  // The user's width of the docked map is known; until then it opens at a third of the
  // window, wide enough for its legend.
  bool mapWidthKnown_ = false;
  SpaceMapView* map_ = nullptr;
  CDriveTree* treePane_ = nullptr;
  CFilesList* listPane_ = nullptr;
  QPointer<SplashWindow> splash_;
  QPointer<HelpWindow> help_;
  std::unique_ptr<DatabaseMenuCommands> databaseMenu_;
  std::function<bool()> closeHandler_;
};

}  // namespace ui
