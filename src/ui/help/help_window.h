#pragma once
// The help window: the program's HTML help pages with a contents list and a search.

#include <QWidget>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

namespace ui {

class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  void ShowContents();
  void ShowSearch();
  void ShowPage(const char* file);

  QString CurrentPage() const;
  QTextBrowser* Browser() const { return browser_; }

 private:
  void RunSearch();
  void Present();

  QTabWidget* tabs_;
  QListWidget* contents_;
  QLineEdit* query_;
  QListWidget* results_;
  QTextBrowser* browser_;
};

}  // namespace ui
