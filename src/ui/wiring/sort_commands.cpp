#include "ui/wiring/sort_commands.h"

#include <cstdint>

#include "activity/app_state.h"
#include "ui/base/shell_context.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/views/drive_tree.h"
#include "ui/views/files_list.h"

namespace ui {
namespace {

struct SortCommand {
  int id;
  std::uint8_t key;
};

constexpr SortCommand kFolderSortCommands[] = {
    {cmd::kSortFoldersByName, activity::kFolderSortByName},
    {cmd::kSortFoldersByAccessCounter, activity::kFolderSortByAccessCounter},
};

constexpr SortCommand kFilesSortCommands[] = {
    {cmd::kSortFilesByName, activity::kSortName},
    {cmd::kSortFilesByAction, activity::kSortAction},
    {cmd::kSortFilesByState, activity::kSortState},
    {cmd::kSortFilesByHint, activity::kSortHint},
    {cmd::kSortFilesBySize, activity::kSortSize},
    {cmd::kSortFilesByCompressedSize, activity::kSortCompressedSize},
    {cmd::kSortFilesByActualSize, activity::kSortActualSize},
    {cmd::kSortFilesByUsedPercent, activity::kSortUsedPercent},
    {cmd::kSortFilesByAccessCounter, activity::kSortAccessCounter},
    {cmd::kSortFilesByLastAccess, activity::kSortLastAccess},
    {cmd::kSortFilesByLastOperation, activity::kSortLastOperation},
    {cmd::kSortFilesByReadOnly, activity::kSortReadOnly},
    {cmd::kSortFilesByWriteOnly, activity::kSortWriteOnly},
    {cmd::kSortFilesByReadWrite, activity::kSortReadWrite},
    {cmd::kSortFilesByType, activity::kSortType},
};

}  // namespace

void RegisterSortCommands(ShellContext& context, CDriveTree& tree, CFilesList& list) {
  activity::AppState& state = context.state;
  for (const SortCommand& sort : kFolderSortCommands) {
    context.commands.Register(sort.id, Target::Frame,
                              [&state, &tree, key = sort.key] {
                                state.FolderSortKey = key;
                                tree.SortFolders();
                              },
                              [&state, key = sort.key](CommandUi& ui) { ui.SetCheck(state.FolderSortKey == key); });
  }
  for (const SortCommand& sort : kFilesSortCommands) {
    context.commands.Register(sort.id, Target::Frame,
                              [&state, &list, key = sort.key] {
                                state.FilesSortKey = key;
                                list.Sort();
                              },
                              [&state, key = sort.key](CommandUi& ui) { ui.SetCheck(state.FilesSortKey == key); });
  }
}

}  // namespace ui
