#pragma once
// The modal "Change cluster size" dialog: the user picks the cluster size with which the
// actual sizes of a drive, a folder or the selected entries are recalculated.

#include <QDialog>

#include <functional>
#include <string>

class QComboBox;
class QLineEdit;

namespace ui {

// The typed text reduced to its digits, read as a number and printed again: "00512" gives
// "512", "5a1" gives "51", "" gives "0". Too many digits saturate at the largest number.
std::string FilteredClusterSizeText(const std::string& typed);

// The number a confirmed (already filtered) text stands for.
std::uint64_t ClusterSizeOf(const std::string& text);

class CChangeClusterSizeDlg : public QDialog {
 public:
  // `lastNewSize` is the "New size" of the last dialog closed with OK, kept by the caller:
  // the dialog starts with it (with the original size while it is empty) and sets it on
  // OK. `sizeAnalysis` runs the analysis dialog for the drive the caller analysed; `help`
  // opens the help. Either may be empty.
  CChangeClusterSizeDlg(std::string originalSize, std::string optimalSize, std::string& lastNewSize,
                        std::function<void()> sizeAnalysis, std::function<void()> help,
                        QWidget* parent = nullptr);

  const std::string& NewSize() const { return newSize_; }
  QComboBox& NewSizeBox() const { return *newSizeBox_; }

  void accept() override;

 private:
  void FillFields();
  void ReadFields();
  void SetNewSize(const std::string& size);
  void FilterTypedText(const QString& text);

  std::string originalSize_;
  std::string newSize_;
  std::string optimalSize_;
  std::string& lastNewSize_;
  QComboBox* newSizeBox_ = nullptr;
  QLineEdit* originalField_ = nullptr;
  QLineEdit* optimalField_ = nullptr;
};

}  // namespace ui
