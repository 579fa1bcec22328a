#pragma once
// The window's own texts: menu item texts, status bar prompts with their tooltips, and
// the few fixed texts of the frame. Each text lives here once; everything else asks.

#include <QString>

namespace ui::strings {

// Menu bar pop-up titles.
inline constexpr const char* kFileMenu = "&File";
inline constexpr const char* kFoldersTreeMenu = "Folders &Tree";
inline constexpr const char* kViewMenu = "&View";
inline constexpr const char* kFilesListMenu = "Files &List";
inline constexpr const char* kOptionsMenu = "&Options";
inline constexpr const char* kHelpMenu = "&Help";
inline constexpr const char* kShowInFoldersTreeMenu = "Show in &Folders tree";
inline constexpr const char* kSortFoldersTreeMenu = "S&ort Folders tree by";
inline constexpr const char* kSortFilesListMenu = "So&rt Files list by";
inline constexpr const char* kSelectActionsMenu = "Select &actions...\tCtrl+A";
inline constexpr const char* kTipOfTheDayMenu = "Ti&p of the Day...";
// The Files list's pop-up menu: its own texts for the items it shares with the menu bar.
inline constexpr const char* kListPropertiesItem = "&Properties ...";
inline constexpr const char* kSelectActionsPopup = "Select &actions ...";
inline constexpr const char* kSelectAllItem = "Select &all";
inline constexpr const char* kSortFilesListPopup = "&Sort Files list by";

// Status bar indicator panes: the widest expected texts size them.
inline constexpr const char* kSelectionPaneWidest = "S:1234567890, 1234567 K";
inline constexpr const char* kActionsPaneWidest = "A:1234567890, 1234567 K";
inline constexpr const char* kSelectionPaneInitial = "S:0, 0 K";
inline constexpr const char* kActionsPaneInitial = "A:0";

inline constexpr const char* kFoldersTreeCaption = "Folders Tree";
inline constexpr const char* kFilesListCaption = "Files List";
inline constexpr const char* kChangeClusterSizeMessage = "To change Cluster Size use Calvorn Skellan.";
inline constexpr const char* kSortingFolders = "Sorting folders in the Folders tree ...";
inline constexpr const char* kSortingFiles = "Sorting files in the Files list ...";

// The menu bar's text of a command (with its "\t" shortcut text); empty when the
// command has no item in the menu bar.
QString MenuText(int id);
// The whole prompt of a command: the status text, then "\n" and the tooltip when it
// has one. Empty when the command has no prompt.
QString Prompt(int id);
// The part shown in the status bar's message pane while the item is highlighted.
QString StatusPrompt(int id);
// The part after "\n": the toolbar button's tooltip. Empty when there is none.
QString ToolTip(int id);

}  // namespace ui::strings
