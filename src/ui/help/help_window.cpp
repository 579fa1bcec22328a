#include "ui/help/help_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "common/prompter.h"
#include "ui/help/help_pages.h"

namespace ui {
namespace {

constexpr int kFileRole = Qt::UserRole;

void AddPageItem(QListWidget& list, const help::Page& page) {
  auto* item = new QListWidgetItem(QString::fromUtf8(page.title), &list);
  item->setData(kFileRole, QString::fromUtf8(page.file));
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QString::fromUtf8(common::kProgramTitle) + QStringLiteral(" Help"));
  resize(900, 640);

  tabs_ = new QTabWidget;
  contents_ = new QListWidget;
  for (const help::Page& page : help::Pages()) AddPageItem(*contents_, page);
  tabs_->addTab(contents_, QStringLiteral("&Contents"));

  auto* searchTab = new QWidget;
  auto* searchLayout = new QVBoxLayout(searchTab);
  query_ = new QLineEdit;
  query_->setPlaceholderText(QStringLiteral("Words to find"));
  query_->setClearButtonEnabled(true);
  results_ = new QListWidget;
  searchLayout->addWidget(query_);
  searchLayout->addWidget(results_, 1);
  tabs_->addTab(searchTab, QStringLiteral("&Search"));

  browser_ = new QTextBrowser;
  browser_->setOpenLinks(true);
  browser_->setSearchPaths({QStringLiteral(":/help")});

  auto* splitter = new QSplitter;
  splitter->addWidget(tabs_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({220, 680});
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(splitter);

  const auto open = [this](QListWidgetItem* item) {
    if (item != nullptr) browser_->setSource(QUrl(help::PageUrl(item->data(kFileRole).toString().toUtf8())));
  };
  connect(contents_, &QListWidget::itemActivated, this, open);
  connect(contents_, &QListWidget::itemClicked, this, open);
  connect(results_, &QListWidget::itemActivated, this, open);
  connect(results_, &QListWidget::itemClicked, this, open);
  connect(query_, &QLineEdit::textChanged, this, &HelpWindow::RunSearch);
  connect(query_, &QLineEdit::returnPressed, this, [this, open] {
    if (results_->count() > 0) open(results_->item(0));
  });
}

void HelpWindow::ShowContents() {
  tabs_->setCurrentIndex(0);
  ShowPage(help::kContentsPage);
}

void HelpWindow::ShowSearch() {
  tabs_->setCurrentIndex(1);
  if (browser_->source().isEmpty()) ShowPage(help::kContentsPage);
  Present();
  query_->setFocus();
  query_->selectAll();
}

void HelpWindow::ShowPage(const char* file) {
  browser_->setSource(QUrl(help::PageUrl(file)));
  Present();
}

QString HelpWindow::CurrentPage() const { return browser_->source().fileName(); }

void HelpWindow::RunSearch() {
  results_->clear();
  for (const help::Page& page : help::Search(query_->text())) AddPageItem(*results_, page);
}

void HelpWindow::Present() {
  // A modal dialog blocks every window but those shown modally after it: help asked for
  // from a dialog takes the input itself until it is closed, and is an ordinary window
  // again when asked for from the main window.
  const QWidget* modal = QApplication::activeModalWidget();
  const Qt::WindowModality wanted = modal != nullptr && modal != this ? Qt::ApplicationModal : Qt::NonModal;
  if (windowModality() != wanted) {
    hide();
    setWindowModality(wanted);
  }
  show();
  raise();
  activateWindow();
}

}  // namespace ui
