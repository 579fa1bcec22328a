#include "ui/analysis/change_cluster_size_dialog.h"
#include "ui/help/control_help.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <charconv>
#include <limits>

#include "analysis/cluster_analysis.h"

namespace ui {

std::uint64_t ClusterSizeOf(const std::string& text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) return std::numeric_limits<std::uint64_t>::max();
  return error == std::errc{} ? value : 0;
}

std::string FilteredClusterSizeText(const std::string& typed) {
  std::string digits;
  for (const char c : typed) {
    if (c >= '0' && c <= '9') digits += c;
  }
  if (digits.empty()) digits = "0";
  return std::to_string(ClusterSizeOf(digits));
}

CChangeClusterSizeDlg::CChangeClusterSizeDlg(std::string originalSize, std::string optimalSize,
                                             std::string& lastNewSize, std::function<void()> sizeAnalysis,
                                             std::function<void()> help, QWidget* parent)
    : QDialog(parent),
      originalSize_(std::move(originalSize)),
      newSize_(lastNewSize.empty() ? originalSize_ : lastNewSize),
      optimalSize_(std::move(optimalSize)),
      lastNewSize_(lastNewSize) {
  setWindowTitle("Change cluster size");
  setObjectName("ChangeClusterSize");
  setModal(true);
  auto* layout = new QHBoxLayout(this);
  auto* form = new QFormLayout;
  newSizeBox_ = new QComboBox(this);
  newSizeBox_->setEditable(true);
  newSizeBox_->setObjectName("NewSize");
  newSizeBox_->setInsertPolicy(QComboBox::NoInsert);
  for (const std::uint64_t size : analysis::ClusterSizes) newSizeBox_->addItem(QString::number(size));
  form->addRow("&New size:", newSizeBox_);
  originalField_ = new QLineEdit(this);
  originalField_->setReadOnly(true);
  originalField_->setObjectName("OriginalSize");
  form->addRow("Original size:", originalField_);
  optimalField_ = new QLineEdit(this);
  optimalField_->setReadOnly(true);
  optimalField_->setObjectName("OptimalSize");
  form->addRow("Optimal size:", optimalField_);
  layout->addLayout(form);

  auto* buttons = new QVBoxLayout;
  auto* setOriginal = new QPushButton("Set original size", this);
  auto* setOptimal = new QPushButton("Set optimal size", this);
  auto* analyse = new QPushButton("Size analysis", this);
  auto* ok = new QPushButton("OK", this);
  auto* cancel = new QPushButton("&Cancel", this);
  auto* helpButton = new QPushButton("&Help", this);
  ok->setDefault(true);
  setOriginal->setObjectName("SetOriginal");
  setOptimal->setObjectName("SetOptimal");
  analyse->setObjectName("SizeAnalysis");
  ok->setObjectName("Ok");
  cancel->setObjectName("Cancel");
  helpButton->setObjectName("Help");
  for (QPushButton* button : {ok, cancel, setOriginal, setOptimal, analyse, helpButton}) {
    buttons->addWidget(button);
  }
  buttons->addStretch();
  layout->addLayout(buttons);

  connect(setOriginal, &QPushButton::clicked, this, [this] { SetNewSize(originalSize_); });
  connect(setOptimal, &QPushButton::clicked, this, [this] { SetNewSize(optimalSize_); });
  connect(analyse, &QPushButton::clicked, this, [sizeAnalysis = std::move(sizeAnalysis)] {
    if (sizeAnalysis) sizeAnalysis();
  });
  connect(helpButton, &QPushButton::clicked, this, [help = std::move(help)] {
    if (help) help();
  });
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(newSizeBox_, &QComboBox::editTextChanged, this,
          [this](const QString& text) { FilterTypedText(text); });
  FillFields();
  AttachControlHelp(*this);
}

void CChangeClusterSizeDlg::FillFields() {
  const QSignalBlocker block(newSizeBox_);
  newSizeBox_->setEditText(QString::fromStdString(newSize_));
  originalField_->setText(QString::fromStdString(originalSize_));
  optimalField_->setText(QString::fromStdString(optimalSize_));
}

void CChangeClusterSizeDlg::ReadFields() { newSize_ = newSizeBox_->currentText().toStdString(); }

void CChangeClusterSizeDlg::SetNewSize(const std::string& size) {
  newSize_ = size;
  FillFields();
  newSizeBox_->setFocus();
}

void CChangeClusterSizeDlg::FilterTypedText(const QString& text) {
  const std::string typed = text.toStdString();
  const std::string filtered = FilteredClusterSizeText(typed);
  newSize_ = filtered;
  if (filtered != typed) {
    const QSignalBlocker block(newSizeBox_);
    newSizeBox_->setEditText(QString::fromStdString(filtered));
  }
}

void CChangeClusterSizeDlg::accept() {
  ReadFields();
  newSize_ = FilteredClusterSizeText(newSize_);
  lastNewSize_ = newSize_;
  QDialog::accept();
}

}  // namespace ui
