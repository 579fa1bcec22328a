#pragma once
// How the application runs the Tip of the Day: at start-up, for command 114, and the
// "&Help" menu's tip item.

#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace common { class Prompter; }

namespace ui {

// "tips.txt" beside the executable, else in the share directory ("../share/norvex"
// beside the executable, then the XDG data directories); the first of them when none
// exists, so that the dialog tells the file is missing.
QString FindTipsFile();

// Start-up: the dialog is always constructed (so the position advances and is saved)
// and run only when it is to be shown at start-up. True when it was shown.
// An empty `tipsPath` means FindTipsFile(); a null `prompter` shows message boxes.
bool ShowTipOfTheDayAtStartup(QWidget* parent, const QString& configDir,
                              const QString& tipsPath = {}, common::Prompter* prompter = nullptr);

// Command 114 "Ti&p of the Day...": runs the dialog.
void ShowTipOfTheDay(QWidget* parent, const QString& configDir, const QString& tipsPath = {},
                     common::Prompter* prompter = nullptr);

// Unless `helpMenu` already starts with the tip item (by its text), inserts the tip
// action and an empty separator item at its top.
void PutTipItemFirst(QMenu& helpMenu, QAction& tipAction);

// Every time a pop-up of the frame's menu bar opens: the last top-level pop-up titled
// exactly "&Help" gets the tip item first; a bar without one gets (once) a "&Help"
// pop-up holding only the tip item.
void EnsureTipOfTheDayItem(QMenuBar& menuBar, QAction& tipAction);

}  // namespace ui
