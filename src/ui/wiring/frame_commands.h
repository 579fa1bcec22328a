#pragma once
// The window's commands that act on the records, the panes and the help pages rather
// than on the window's own bars: perform the selected actions, the cluster size notice,
// auto-scan, and help for where the user is.

#include <functional>

class QWidget;

namespace ui {

class CDriveTree;
class CFilesList;
class DrivesDocument;
class HelpWindow;
struct ShellContext;

// "Perform actions" runs the selected actions over the document's records in a dialog
// modal to `window`; the Files list shows the run's results once the drives are
// recalculated.
void RegisterPerformCommand(ShellContext& context, DrivesDocument& document, CFilesList& list,
                            QWidget& window);

// The cluster size notice (once a tree item was selected) and the auto-scan switch.
void RegisterDriveOptionCommands(ShellContext& context, const CDriveTree& tree);

// Contents, search, using help, context help, and F1: the page of the pane with the focus.
void RegisterHelpCommands(ShellContext& context, std::function<HelpWindow&()> helpWindow,
                          const QWidget& tree, const QWidget& list);

}  // namespace ui
