#pragma once
// Small per-type icons for the Files list: the theme icon of each entry's MIME type (by
// name only: the list never opens files to paint), its generic icon, else the style's
// file or folder icon. One lookup per file-name suffix.

#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QString>

namespace ui {

class FileIcons {
 public:
  FileIcons();
  QIcon For(const QString& name, bool folder);

 private:
  QIcon FromTheme(const QString& name);

  QMimeDatabase mimes_;
  QHash<QString, QIcon> bySuffix_;
  QIcon folder_;
  QIcon file_;
};

// Sets the Adwaita theme and its search path when the platform named no theme.
void EnsureIconTheme();

}  // namespace ui
