#include "ui/wiring/sort_commands.h"

#include <cstdint>
#include <span>

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

// Each command of a group sets the group's key and has its view sort again.
template <typename Resort>
void RegisterGroup(CommandTable& commands, std::span<const SortCommand> group, std::uint8_t& key,
                   Resort resort) {
  for (const SortCommand& sort : group) {
    commands.Register(sort.id, Target::Frame,
                      [&key, resort, chosen = sort.key] {
                        key = chosen;
                        resort();
                      },
                      [&key, chosen = sort.key](CommandUi& ui) { ui.SetCheck(key == chosen); });
  }
}

}  // namespace

void RegisterSortCommands(ShellContext& context, CDriveTree& tree, CFilesList& list) {
  RegisterGroup(context.commands, kFolderSortCommands, context.state.FolderSortKey,
                [&tree] { tree.SortFolders(); });
  RegisterGroup(context.commands, kFilesSortCommands, context.state.FilesSortKey, [&list] { list.Sort(); });
}

}  // namespace ui
