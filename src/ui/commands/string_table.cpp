#include "ui/commands/string_table.h"

#include <algorithm>

#include "ui/commands/command_ids.h"

namespace ui::strings {
namespace {

struct Entry {
  int id;
  const char* text;
};

using namespace ui::cmd;

constexpr Entry kMenuTexts[] = {
    {kPerformActions, "&Perform actions\tF10"},
    {kAppExit, "E&xit\tAlt+X"},
    {kRescan, "&Rescan selected drive or directory\tF5"},
    {kStopScanning, "&Stop scanning\tCtrl+F5"},
    {kCollapseAll, "&Collapse all children\tCtrl+Left"},
    {kExpandAll, "&Expand all children\tCtrl+Right"},
    {kUpOneLevel, "&Up one level\tBackspace"},
    {kTreeProperties, "&Properties ...\tAlt+Enter"},
    {kChangeClusterSize, "C&hange cluster size ...\tAlt+C"},
    {kClusterSizeAnalysis, "Cluster size analysis\tAlt+A"},
    {kViewToolbar, "&Toolbar\tAlt+B"},
    {kViewStatusBar, "&Status Bar\tAlt+S"},
    {kSpaceMap, "Space &map\tCtrl+M"},
    {kShowNewDatabaseState, "&New databases state\tCtrl+Shift+N"},
    {kShowOldDatabaseState, "&Old databases state\tCtrl+Shift+O"},
    {kSortFoldersByName, "&Name"},
    {kSortFoldersByAccessCounter, "&Access counter"},
    {kSortFilesByName, "&Name"},
    {kSortFilesByType, "&Type"},
    {kSortFilesByAction, "Act&ion"},
    {kSortFilesByState, "&State"},
    {kSortFilesByHint, "&Hint"},
    {kSortFilesBySize, "Si&ze"},
    {kSortFilesByCompressedSize, "C&ompressed size"},
    {kSortFilesByActualSize, "A&ctual size"},
    {kSortFilesByUsedPercent, "&Used percentage"},
    {kSortFilesByAccessCounter, "&Access counter"},
    {kSortFilesByLastAccess, "&Last access date"},
    {kSortFilesByLastOperation, "Last &operation"},
    {kSortFilesByReadOnly, "&Read-only access counter"},
    {kSortFilesByWriteOnly, "&Write-only access counter"},
    {kSortFilesByReadWrite, "R&ead-and-write access counter"},
    {kSelectAll, "&Select all\tCtrl+S"},
    {kListProperties, "&Properties ...\tCtrl+Enter"},
    {kCompress, "&Compress"},
    {kDecompress, "&Decompress"},
    {kBackup, "&Backup"},
    {kRestore, "&Restore"},
    {kCancelAction, "Cancel &action"},
    {kSetHint, "Set &hint"},
    {kAutoScan, "Auto &scan at start up all local disks"},
    {kHelpContents, "&Contents\tAlt+F1"},
    {kHelpSearch, "&Search\tCtrl+F1"},
    {kContextHelp, "C&ontext help\tShift+F1"},
    {kHelpUsing, "&Using help"},
    {kAppAbout, "&About File Norvex ..."},
    {kTipOfTheDay, kTipOfTheDayMenu},
};

constexpr Entry kPrompts[] = {
    {kPerformActions, "Perform all selected actions on all drives\nPerform all selected actions (F10)"},
    {kStopScanning, "Stop reading directories information\nStop scanning (Ctrl+F5)"},
    {kCollapseAll, "Collapse all children items of the selected in the tree item"},
    {kDeleteDatabase, "Delete File Norvex active database for this drive"},
    {kExpandAll, "Expand all children items of the selected in the tree item"},
    {kTreeProperties, "Show properties of a drive or a directory\nProperties of Folders Tree (Alt+Enter)"},
    {kShowNewDatabaseState,
     "In the directories tree show icons specifying new state of File Norvex active databases\n"
     "Show new databases state (Ctrl+Shift+N)"},
    {kShowOldDatabaseState,
     "In the directories tree show icons specifying old state of File Norvex active databases\n"
     "Show old databases state (Ctrl+Shift+O)"},
    {kSortFilesByAccessCounter, "Sort files in the Files list by the number of accessions to a file"},
    {kSortFilesByName, "Sort files in the Files list by the name of a file"},
    {kSortFilesByType, "Sort files in the Files list by the type of a file"},
    {kSortFilesBySize, "Sort files in the Files list by the size of a file"},
    {kSortFilesByActualSize, "Sort files in the Files list by the actual size of a file"},
    {kSortFilesByLastAccess, "Sort files in the Files list by the date of the last access to a file"},
    {kSortFilesByLastOperation,
     "Sort files in the Files list by the type of the last operation performed on a file"},
    {kSortFilesByReadOnly, "Sort files in the Files list by the number of read-only accessions to a file"},
    {kSortFilesByWriteOnly, "Sort files in the Files list by the number of write-only accessions to a file"},
    {kSortFilesByReadWrite,
     "Sort files in the Files list by the number of read-and-write accessions to a file"},
    {kSortFoldersByAccessCounter, "Sort folders in the Folders tree by the number of accessions to a folder"},
    {kSortFoldersByName, "Sort folders in the Folders tree by the name of a folder"},
    {kSortFilesByUsedPercent, "Sort files in the Files list by the percentage of actual file data"},
    {kSortFilesByAction, "Sort files in the Files list by the action that will be performed on a file"},
    {kSortFilesByHint, "Sort files in the Files list by the hint to a file"},
    {kSortFilesByState, "Sort files in the Files list by the state of a file"},
    {kSortFilesByCompressedSize, "Sort files in the Files list by the compressed size of a file"},
    {kListProperties,
     "Show properties of a selected in the Files list directory(es) or file(s)\n"
     "Properties of Files List (Ctrl+Enter)"},
    {kSelectAll, "Select all items in the Files list\nSelect all (Ctrl+S)"},
    {kListChangeClusterSize,
     "Recalculate actual size of selected files using another cluster size\n"
     "Change cluster size in Files List (Ctrl+C)"},
    {kTreeChangeClusterSize,
     "Recalculate actual size of all files on a drive or in folder using another cluster size\n"
     "Change cluster size  (Alt+C)"},
    {kUpOneLevel, "Select previous level of the folders tree\nUp one level (Backspace)"},
    {kSelectActions, "Select actions\nSelect actions (Ctrl-A)"},
    {kCompress, "Compress selected group of files"},
    {kSetHint, "Perform action that Norvex recomends in the colum 'H'"},
    {kCancelAction, "Cancel actions for selected group of files"},
    {kDecompress, "Decompress all selected compressed files"},
    {kBackup, "Back up all selected files and directories"},
    {kRestore, "Restore all selected bckuped files"},
    {kClusterSizeAnalysis,
     "Effeciency analysis of using disk space\nEffeciency analysis of using disk space (Alt+A)"},
    {kChangeClusterSize, "Change Cluster Size\nChange Cluster Size (Alt+C)"},
    {kAutoScan, "Auto scan at start up all local disks"},
    {kRescan,
     "Rescan alll directories from the selected in the tree drive or directory\n"
     "Rescan selected drive or directory (F5)"},
    {kAppExit, "Quit the application\nQuit the application (Alt-X)"},
    {kTipOfTheDay, "Displays a Tip of the Day."},
    // The window framework's own commands.
    {kAppAbout, "Show the program's name, version and copyright\nAbout File Norvex"},
    {kHelpContents, "List the topics of the help\nHelp contents (Alt+F1)"},
    {kHelpSearch, "Search the help for a word\nSearch help (Ctrl+F1)"},
    {kHelpUsing, "Show how to use the help window\nUsing help"},
    {kContextHelp, "Show help for the button, menu item or pane clicked next\nContext help (Shift+F1)"},
    {kHelp, "Show help for the current window\nHelp (F1)"},
    {kViewToolbar, "Show or hide the toolbar\nToggle toolbar (Alt+B)"},
    {kViewStatusBar, "Show or hide the status bar\nToggle status bar (Alt+S)"},
    {kSpaceMap, "Show or hide the space map of the folder the Files list shows\nSpace map (Ctrl+M)"},
};

template <std::size_t N>
const char* Find(const Entry (&table)[N], int id) {
  const auto* found = std::find_if(std::begin(table), std::end(table),
                                   [id](const Entry& e) { return e.id == id; });
  return found != std::end(table) ? found->text : nullptr;
}

QString MoveDatabasePrompt(int id) {
  const char letter = static_cast<char>('A' + (id - kMoveDatabaseFirst));
  return QStringLiteral("Move File Norvex active database for this drive to the drive '%1:'")
      .arg(QLatin1Char(letter));
}

}  // namespace

QString MenuText(int id) { return QString::fromUtf8(Find(kMenuTexts, id)); }

QString Prompt(int id) {
  if (IsMoveDatabase(id)) return MoveDatabasePrompt(id);
  return QString::fromUtf8(Find(kPrompts, id));
}

QString StatusPrompt(int id) { return Prompt(id).section(QLatin1Char('\n'), 0, 0); }

QString ToolTip(int id) {
  const QString prompt = Prompt(id);
  const qsizetype newline = prompt.indexOf(QLatin1Char('\n'));
  return newline < 0 ? QString() : prompt.mid(newline + 1);
}

}  // namespace ui::strings
