#include "ui/app/settings_option_store.h"

#include <QDir>

namespace ui {
namespace {

QString Key(const std::string& name) {
  return QStringLiteral("Options/") + QString::fromStdString(name);
}

QString OptionsFile(const QString& configDir) {
  QDir().mkpath(configDir);
  return QDir(configDir).filePath(QStringLiteral("options.ini"));
}

}  // namespace

SettingsOptionStore::SettingsOptionStore(const QString& configDir)
    : settings_(OptionsFile(configDir), QSettings::IniFormat) {}

std::string SettingsOptionStore::Read(const std::string& name) {
  const QVariant value = settings_.value(Key(name));
  return value.typeId() == QMetaType::QString ? value.toString().toStdString() : std::string();
}

void SettingsOptionStore::Write(const std::string& name, const std::string& value) {
  settings_.setValue(Key(name), QString::fromStdString(value));
  settings_.sync();
}

}  // namespace ui
