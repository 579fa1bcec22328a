#pragma once
// CFilesList: the right pane, one row per entry of the document's current folder, a
// view of the drives' document. Rows paint from a snapshot taken at fill; each row keeps
// its entry's index.

#include <QTableView>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/base/shell_context.h"

namespace scan { class CFolderInfo; }

namespace ui {

class DrivesDocument;
class FilesModel;
class HintRefresher;

class CFilesList : public QTableView {
  Q_OBJECT

 public:
  // `document` outlives the list.
  CFilesList(ShellContext& context, DrivesDocument& document, QWidget* parent);
  ~CFilesList() override;

  // False while the list is being filled or all items are being selected: selection
  // changes then leave the status panes alone.
  bool Ready() const { return ready_; }

  // Lists `folder`'s entries (null empties the list) and sorts them.
  void Fill(scan::CFolderInfo* folder);
  // Fills again from the shown folder, e.g. after its records changed.
  void Refill() { Fill(shown_); }
  // Sorts by FilesSortKey, reversed while the user's last header click asked for it on
  // the same key.
  void Sort();
  bool SortReversed() const { return sortReversed_; }
  // The columns' widths as "w0 w1 ..." for the options file, and back. Widths that do
  // not read leave the list to fit its columns to the first rows it shows.
  std::string ColumnWidthsText() const;
  void RestoreColumnWidths(const std::string& text);
  void UpdateStatusPanes();
  void SelectAll();
  // F6: recomputes every scanned drive's hints, a slice at a time between the window's
  // events, and then rewrites column "H" in place. Any command finishes them first.
  void RefreshHints();
  bool RefreshingHints() const;
  // Rewrites columns "A", "S" and "H" of every row from the records; the order stays.
  void RefreshCodeCells();
  // Opens the focused entry: a folder's tree item, scanning its parent first if needed.
  void OpenFocused();

  scan::CFolderInfo* ShownFolder() const { return shown_; }
  // Entry indexes of the selected rows, in list order.
  std::vector<std::uint32_t> SelectedEntries() const;
  // The record whose hints F6 refreshes: the document's drive list. Without one, the
  // drive list above the shown folder.
  void SetDriveList(scan::CFolderInfo* driveList) { driveList_ = driveList; }
  FilesModel& Model() const { return *model_; }

 signals:
  // The user opened the subfolder `name` of the shown folder. When the shown folder's
  // subfolders were never read (`readFirst`), the folder is scanned shallowly with `name`
  // as the scan's travel target, which selects the subfolder at its end; otherwise the
  // subfolder becomes the document's current folder.
  void openSubfolderRequested(const QString& name, bool readFirst);
  // The shown folder's host path beside its drive path, for the caption's tooltip.
  void captionToolTipChanged(const QString& text);

 protected:
  bool event(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
  // The focused row's drive path and host path go to the status bar.
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  // Home and End go to the first and last row: the list is selected by rows.
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

 private:
  // UM_STARTUP: the pane's start-up step.
  void StartupStep();
  void RegisterCommands();
  QMenu* MainMenuPopup(const char* title, int item) const;
  void FocusRowKeepingSelection(int row);
  // The pane's caption and the status texts for the folder listed.
  void Caption(const scan::CFolderInfo& folder);
  void FolderReplaced(scan::CFolderInfo* record);
  void HeaderClicked(int column);
  void ShowSortIndicator();

  ShellContext& context_;
  DrivesDocument& document_;
  FilesModel* model_;
  HintRefresher* hintRefresher_;
  scan::CFolderInfo* shown_ = nullptr;
  scan::CFolderInfo* driveList_ = nullptr;
  bool ready_ = false;
  std::uint8_t sortedKey_ = 0xFF;
  bool sortReversed_ = false;
  // Until the user's widths are known the columns fit the first rows shown.
  bool widthsKnown_ = false;
};

}  // namespace ui
