#include "ui/wiring/space_map_link.h"

#include <QItemSelectionModel>
#include <QTimer>

#include "analysis/space_map_snapshot.h"
#include "files/hint_coverage.h"
#include "files/hints.h"
#include "scan/folder_info.h"
#include "activity/app_state.h"
#include "ui/list/files_model.h"
#include "ui/map/space_map_view.h"
#include "ui/views/files_list.h"

namespace ui {

void LinkSpaceMap(SpaceMapView& map, CFilesList& list, const activity::AppState& state) {
  // Several list changes in one turn of the event loop (fill, then sort) make one map.
  auto* follow = new QTimer(&map);
  follow->setSingleShot(true);
  follow->setInterval(0);
  QObject::connect(follow, &QTimer::timeout, &map, [&map, &list, &state] {
    const scan::CFolderInfo* folder = list.ShownFolder();
    if (folder == nullptr) {
      map.Clear();
      return;
    }
    // The snapshot is taken here, on the UI thread that owns the records.
    analysis::MapSnapshot snapshot =
        analysis::SnapshotFolder(*folder, analysis::DriveHasDatabase(state.driveTable, folder->path()));
    snapshot.notRecorded = files::WithheldSummary(state, folder->path());
    map.Show(std::move(snapshot), files::LocalStamp(state.StartupStamp));
  });
  const auto later = [follow, &map] {
    if (map.isVisible()) follow->start();
  };
  QAbstractItemModel* model = &list.Model();
  QObject::connect(model, &QAbstractItemModel::modelReset, &map, later);
  QObject::connect(model, &QAbstractItemModel::dataChanged, &map, later);
  QObject::connect(&map, &SpaceMapView::visibilityShown, &map, later);

  QObject::connect(&map, &SpaceMapView::entryChosen, &list, [&list](std::uint32_t entry, bool open) {
    const int row = list.Model().RowOfEntry(entry);
    if (row < 0) return;
    const QModelIndex index = list.Model().index(row, 0);
    list.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list.scrollTo(index);
    if (open) list.OpenFocused();
  });
}

}  // namespace ui
