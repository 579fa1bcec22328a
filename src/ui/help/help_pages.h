#pragma once
// The help's pages: HTML files in the program's resources, listed in contents order.

#include <QString>
#include <vector>

namespace ui::help {

struct Page {
  const char* file;   // "index.html"
  const char* title;  // as the contents list shows it
};

inline constexpr const char* kContentsPage = "index.html";
inline constexpr const char* kUsingHelpPage = "using_help.html";
inline constexpr const char* kFoldersTreePage = "folders_tree.html";
inline constexpr const char* kFilesListPage = "files_list.html";
inline constexpr const char* kMainWindowPage = "main_window.html";
inline constexpr const char* kClusterSizePage = "cluster_size.html";

// Makes the pages reachable under ":/help"; safe to call any number of times.
void EnsureResources();
const std::vector<Page>& Pages();
// The resource URL of a page ("qrc:/help/index.html").
QString PageUrl(const char* file);
// The page's text without its markup; empty when the page is missing.
QString PlainText(const char* file);
// The pages holding every word of `query` (case-insensitive), in contents order.
std::vector<Page> Search(const QString& query);

}  // namespace ui::help
