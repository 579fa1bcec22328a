#pragma once
// The status bar's three panes: the message pane (prompts, progress texts, the idle
// prompt) and the two indicators, selection ("S:") and pending actions ("A:"), each as
// wide as its widest expected text.

#include <QObject>

class QLabel;
class QStatusBar;

namespace ui {

class StatusPanes : public QObject {
  Q_OBJECT

 public:
  explicit StatusPanes(QStatusBar& bar);
  ~StatusPanes() override;

  QString Message() const;
  QString Selection() const;
  QString Actions() const;

  QLabel* SelectionPane() const { return selection_; }
  QLabel* ActionsPane() const { return actions_; }

 public slots:
  // An empty text shows the idle prompt (or the standing note).
  void ShowMessage(const QString& text);
  void ShowIdle();
  // Shown at once and in place of the idle prompt until ended (the frame ends it when the
  // user first highlights a menu item); other texts still show over it meanwhile.
  void ShowStandingNote(const QString& note);
  void EndStandingNote();
  void SetSelection(const QString& text);
  void SetActions(const QString& text);
  // The wait cursor while long work runs.
  void SetBusy(bool busy);

 private:
  QLabel* message_;
  QLabel* selection_;
  QLabel* actions_;
  QString standingNote_;
  bool busy_ = false;
};

}  // namespace ui
