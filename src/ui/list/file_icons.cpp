#include "ui/list/file_icons.h"

#include <QApplication>
#include <QFileInfo>
#include <QStyle>

namespace ui {

void EnsureIconTheme() {
  if (!QIcon::themeName().isEmpty() && QIcon::hasThemeIcon(QStringLiteral("folder"))) return;
  QStringList paths = QIcon::themeSearchPaths();
  for (const QString& path : {QStringLiteral("/usr/share/icons"), QStringLiteral("/usr/local/share/icons")}) {
    if (!paths.contains(path)) paths << path;
  }
  QIcon::setThemeSearchPaths(paths);
  QIcon::setThemeName(QStringLiteral("Adwaita"));
}

FileIcons::FileIcons() {
  EnsureIconTheme();
  const QStyle* style = QApplication::style();
  folder_ = QIcon::fromTheme(QStringLiteral("folder"), style->standardIcon(QStyle::SP_DirIcon));
  file_ = QIcon::fromTheme(QStringLiteral("text-x-generic"), style->standardIcon(QStyle::SP_FileIcon));
}

QIcon FileIcons::FromTheme(const QString& name) {
  const QMimeType type = mimes_.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
  if (QIcon::hasThemeIcon(type.iconName())) return QIcon::fromTheme(type.iconName());
  if (QIcon::hasThemeIcon(type.genericIconName())) return QIcon::fromTheme(type.genericIconName());
  return file_;
}

QIcon FileIcons::For(const QString& name, bool folder) {
  if (folder) return folder_;
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  const QString suffix = dot > 0 ? name.mid(dot + 1).toLower() : QString();
  if (suffix.isEmpty()) return file_;
  auto found = bySuffix_.constFind(suffix);
  if (found == bySuffix_.constEnd()) found = bySuffix_.insert(suffix, FromTheme(name));
  return *found;
}

}  // namespace ui
