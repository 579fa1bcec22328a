#pragma once
// One splitter pane: a caption bar over a view. The caption shows the view's window
// title and appears once the view has one ("Folders Tree", "Files List ...").

#include <QWidget>

class QLabel;

namespace ui {

class PaneFrame : public QWidget {
  Q_OBJECT

 public:
  PaneFrame(QWidget* view, QWidget* parent);

  QWidget* View() const { return view_; }
  QString Caption() const;
  bool CaptionShown() const;
  // What the caption says when pointed at: more than fits in it (a folder's host path).
  void SetCaptionToolTip(const QString& text);
  QString CaptionToolTip() const;

 private:
  void ShowCaption(const QString& text);

  QWidget* view_;
  QLabel* caption_;
};

}  // namespace ui
