#pragma once
// The window's Prompter: every question of the core becomes a modal message box with
// the caption "File Norvex".

#include <QPointer>
#include <QWidget>
#include <memory>

#include "common/prompter.h"

class QMessageBox;

namespace ui {

// The box for `message`, ready to run: text, caption, icon, buttons and default button.
std::unique_ptr<QMessageBox> BuildMessageBox(const common::Message& message, QWidget* parent);
// The answer a pressed standard button stands for.
common::Answer AnswerOf(int standardButton);

class MessageBoxPrompter : public common::Prompter {
 public:
  explicit MessageBoxPrompter(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  common::Answer Ask(const common::Message& message) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace ui
