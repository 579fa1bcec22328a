#pragma once
// The options kept with QSettings: an INI file in the config directory, group "Options".

#include <QSettings>
#include <QString>

#include "shell/options.h"

namespace ui {

class SettingsOptionStore : public shell::OptionStore {
 public:
  // The file is "options.ini" in `configDir`; the directory is created when missing.
  explicit SettingsOptionStore(const QString& configDir);

  std::string Read(const std::string& name) override;
  void Write(const std::string& name, const std::string& value) override;

 private:
  QSettings settings_;
};

}  // namespace ui
