#include "ui/commands/routing.h"

#include "ui/commands/command_ids.h"

namespace ui {

using namespace ui::cmd;

Route RouteOf(int id) {
  if (IsMoveDatabase(id)) return Route::Frame;
  switch (id) {
    case kPerformActions:
    case kSortFoldersByName:
    case kSortFoldersByAccessCounter:
    case kSortFilesByName:
    case kSortFilesByAction:
    case kSortFilesByState:
    case kSortFilesByHint:
    case kSortFilesBySize:
    case kSortFilesByCompressedSize:
    case kSortFilesByActualSize:
    case kSortFilesByUsedPercent:
    case kSortFilesByAccessCounter:
    case kSortFilesByLastAccess:
    case kSortFilesByLastOperation:
    case kSortFilesByReadOnly:
    case kSortFilesByWriteOnly:
    case kSortFilesByReadWrite:
    case kSortFilesByType:
    case kHintOptions:
    case kChangeClusterSize:
    case kAutoScan:
    case kDeleteDatabase:
    case kViewToolbar:
    case kViewStatusBar:
    case kSpaceMap:
    case kAppExit:
    case kHelpContents:
    case kHelpSearch:
    case kHelpUsing:
    case kContextHelp:
    case kHelp:
      return Route::Frame;
    case kRescan:
    case kStopScanning:
    case kCollapseAll:
    case kExpandAll:
    case kTreeProperties:
    case kTreeChangeClusterSize:
    case kUpOneLevel:
    case kClusterSizeAnalysis:
    case kShowNewDatabaseState:
    case kShowOldDatabaseState:
      return Route::Tree;
    case kSelectAll:
    case kListProperties:
    case kListChangeClusterSize:
    case kSelectActions:
    case kRefreshHints:
      return Route::List;
    case kRescanActiveView:
    case kCompress:
    case kDecompress:
    case kBackup:
    case kRestore:
    case kCancelAction:
    case kSetHint:
      return Route::ActiveView;
    case kAppAbout:
    case kTipOfTheDay:
      return Route::App;
    default:
      return Route::Unlisted;
  }
}

bool Reaches(Route route, Target target) {
  switch (route) {
    case Route::App: return target == Target::App;
    case Route::Frame: return target == Target::Frame;
    case Route::Tree: return target == Target::Tree;
    case Route::List: return target == Target::List;
    case Route::ActiveView: return target == Target::Tree || target == Target::List;
    case Route::Unlisted: return true;
  }
  return false;
}

}  // namespace ui
