#pragma once
// What an update handler may say about a command: enabled or not, checked or not. The
// handler also sees the text of the item being updated, for items whose state depends
// on their own text.

#include <QString>
#include <utility>

namespace ui {

class CommandUi {
 public:
  explicit CommandUi(QString text) : text_(std::move(text)) {}

  const QString& Text() const { return text_; }

  void Enable(bool on = true) { enabled_ = on; }
  void SetCheck(bool on = true) { checked_ = on; }

  bool Enabled() const { return enabled_; }
  bool Checked() const { return checked_; }

 private:
  QString text_;
  bool enabled_ = true;
  bool checked_ = false;
};

}  // namespace ui
