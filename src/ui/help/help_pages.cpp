#include "ui/help/help_pages.h"

#include <QFile>
#include <algorithm>
#include <QHash>
#include <QRegularExpression>
#include <QTextDocument>

// The pages live in a static library: its resources must be registered by hand.
static void RegisterResources() { Q_INIT_RESOURCE(norvex); }

namespace ui::help {

void EnsureResources() {
  static const bool registered = (RegisterResources(), true);
  (void)registered;
}

const std::vector<Page>& Pages() {
  static const std::vector<Page> pages = {
      {kContentsPage, "Contents"},
      {"starting.html", "Starting File Norvex"},
      {kMainWindowPage, "The main window"},
      {kFoldersTreePage, "The Folders tree"},
      {kFilesListPage, "The Files list"},
      {"actions.html", "Hints and actions"},
      {"cluster_size.html", "Cluster size"},
      {"databases.html", "Activity databases"},
      {"options.html", "Options and command line"},
      {"keyboard.html", "Commands and keys"},
      {kUsingHelpPage, "Using help"},
  };
  return pages;
}

QString PageUrl(const char* file) {
  EnsureResources();
  return QStringLiteral("qrc:/help/") + QString::fromUtf8(file); }

namespace {

QString ReadPlainText(const QString& name) {
  QFile page(QStringLiteral(":/help/") + name);
  if (!page.open(QIODevice::ReadOnly)) return {};
  QTextDocument document;
  document.setHtml(QString::fromUtf8(page.readAll()));
  return document.toPlainText();
}

}  // namespace

QString PlainText(const char* file) {
  EnsureResources();
  // The pages cannot change while the program runs: every search reads them all, so
  // they are read once, together.
  static const QHash<QString, QString> texts = [] {
    QHash<QString, QString> read;
    for (const Page& page : Pages()) {
      const QString name = QString::fromUtf8(page.file);
      read.insert(name, ReadPlainText(name));
    }
    return read;
  }();
  const QString name = QString::fromUtf8(file);
  if (const auto found = texts.constFind(name); found != texts.constEnd()) return *found;
  return ReadPlainText(name);
}

std::vector<Page> Search(const QString& query) {
  const QStringList words =
      query.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
  std::vector<Page> found;
  if (words.isEmpty()) return found;
  for (const Page& page : Pages()) {
    const QString text = PlainText(page.file);
    const bool all = std::all_of(words.begin(), words.end(), [&text](const QString& word) {
      return text.contains(word, Qt::CaseInsensitive);
    });
    if (all) found.push_back(page);
  }
  return found;
}

}  // namespace ui::help
