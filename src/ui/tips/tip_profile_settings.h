#pragma once
// The program profile's "Tip" section in norvex.ini, in the config directory.

#include <QSettings>
#include <QString>

#include "analysis/tips.h"

namespace ui {

QString ProfilePath(const QString& configDir);

class SettingsTipProfile : public analysis::TipProfile {
 public:
  explicit SettingsTipProfile(const QString& iniPath);

  std::optional<std::int64_t> ReadInt(std::string_view key) const override;
  std::optional<std::string> ReadString(std::string_view key) const override;
  void WriteInt(std::string_view key, std::int64_t value) override;
  void WriteString(std::string_view key, const std::string& value) override;

 private:
  mutable QSettings settings_;
};

}  // namespace ui
