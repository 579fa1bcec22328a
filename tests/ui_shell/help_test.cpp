// The help pages: every page listed exists and links only to pages that exist; the
// search finds pages by all their words.

#include <QFile>
#include <QRegularExpression>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include "ui_shell/qt_print.h"

#include "ui/help/help_pages.h"
#include "ui/help/help_window.h"

namespace {

QString Html(const char* file) {
  ui::help::EnsureResources();
  QFile page(QStringLiteral(":/help/") + QString::fromUtf8(file));
  return page.open(QIODevice::ReadOnly) ? QString::fromUtf8(page.readAll()) : QString();
}

TEST(HelpPages, EveryPageExistsAndEveryLinkLeadsToAPage) {
  QStringList files;
  for (const ui::help::Page& page : ui::help::Pages()) files << QString::fromUtf8(page.file);
  const QRegularExpression link(QStringLiteral("href=\"([^\"#]+)"));
  for (const ui::help::Page& page : ui::help::Pages()) {
    const QString html = Html(page.file);
    ASSERT_FALSE(html.isEmpty()) << page.file;
    EXPECT_GT(ui::help::PlainText(page.file).size(), 200) << page.file;
    for (auto match = link.globalMatch(html); match.hasNext();) {
      const QString target = match.next().captured(1);
      EXPECT_TRUE(files.contains(target)) << page.file << " -> " << target.toStdString();
    }
  }
}

TEST(HelpPages, SearchNeedsEveryWord) {
  const auto titles = [](const QString& query) {
    QStringList found;
    for (const ui::help::Page& page : ui::help::Search(query)) found << QString::fromUtf8(page.file);
    return found;
  };
  EXPECT_TRUE(titles(QStringLiteral("cluster")).contains(QStringLiteral("cluster_size.html")));
  EXPECT_TRUE(titles(QStringLiteral("CLUSTER waste")).contains(QStringLiteral("cluster_size.html")));
  EXPECT_TRUE(titles(QStringLiteral("cluster xyzzy")).isEmpty());
  EXPECT_TRUE(titles(QStringLiteral("   ")).isEmpty());
}

TEST(HelpWindow, OpensPagesFromTheResources) {
  ui::HelpWindow window;
  window.ShowContents();
  EXPECT_EQ(window.CurrentPage(), QStringLiteral("index.html"));
  EXPECT_TRUE(window.Browser()->toPlainText().contains(QStringLiteral("File Norvex")));
  window.ShowPage(ui::help::kUsingHelpPage);
  EXPECT_TRUE(window.Browser()->toPlainText().contains(QStringLiteral("Context help")));
}

}  // namespace
