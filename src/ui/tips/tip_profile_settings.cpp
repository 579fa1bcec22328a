#include "ui/tips/tip_profile_settings.h"

namespace ui {

namespace {

QString TipKey(std::string_view key) {
  return QString::fromLatin1(analysis::kTipSection) + u'/' +
         QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
}

}  // namespace

QString ProfilePath(const QString& configDir) { return configDir + QStringLiteral("/norvex.ini"); }

SettingsTipProfile::SettingsTipProfile(const QString& iniPath)
    : settings_(iniPath, QSettings::IniFormat) {}

std::optional<std::int64_t> SettingsTipProfile::ReadInt(std::string_view key) const {
  const QVariant value = settings_.value(TipKey(key));
  if (!value.isValid()) return std::nullopt;
  bool ok = false;
  const qlonglong number = value.toString().trimmed().toLongLong(&ok);
  if (!ok) return std::nullopt;
  return number;
}

std::optional<std::string> SettingsTipProfile::ReadString(std::string_view key) const {
  const QVariant value = settings_.value(TipKey(key));
  if (!value.isValid()) return std::nullopt;
  return value.toString().toStdString();
}

void SettingsTipProfile::WriteInt(std::string_view key, std::int64_t value) {
  settings_.setValue(TipKey(key), static_cast<qlonglong>(value));
  settings_.sync();
}

void SettingsTipProfile::WriteString(std::string_view key, const std::string& value) {
  settings_.setValue(TipKey(key), QString::fromStdString(value));
  settings_.sync();
}

}  // namespace ui
