#pragma once
// The modal "Cluster size analysis" dialog: one row per cluster size with its bar, disk
// size and waste, legend bars and the drive's figures. It only reads the analysis.

#include <QDialog>

#include <array>
#include <string>

#include "analysis/cluster_analysis.h"

class QLabel;
class QProgressBar;

namespace ui {

// The question asked before analysing a drive that was not fully scanned this run.
std::string RescanQuestion(const std::string& driveRoot);

class CClusterAnalysisDlg : public QDialog {
 public:
  explicit CClusterAnalysisDlg(const analysis::ClusterAnalysisResult& result,
                               QWidget* parent = nullptr);

  // For tests and screenshots: the row texts and bars as shown.
  QString DiskSizeText(int row) const;
  QString WastedText(int row) const;
  int BarPosition(int row) const;
  QString FieldText(int field) const;  // 0..4, top-left to bottom-right

 private:
  std::array<QProgressBar*, analysis::kClusterSizeCount> bars_{};
  std::array<QLabel*, analysis::kClusterSizeCount> diskSizes_{};
  std::array<QLabel*, analysis::kClusterSizeCount> wasted_{};
  std::array<QLabel*, 5> fields_{};
};

}  // namespace ui
