#pragma once
// The about box: the program's name, version and what it is for.

#include <QDialog>

namespace ui {

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace ui
