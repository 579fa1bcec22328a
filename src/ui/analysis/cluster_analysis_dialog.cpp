#include "ui/analysis/cluster_analysis_dialog.h"
#include "ui/help/control_help.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace ui {
namespace {

QProgressBar* Bar(int maximum, int position, QWidget* parent) {
  auto* bar = new QProgressBar(parent);
  bar->setRange(0, maximum);
  bar->setValue(position);
  bar->setTextVisible(false);
  bar->setFixedHeight(14);
  return bar;
}

QFrame* Separator(QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

}  // namespace

std::string RescanQuestion(const std::string& driveRoot) {
  return "To get Effeciency Analysis of using space on disk " + driveRoot +
         " you must rescan it first.Disk " + driveRoot +
         " was not rescaned yet.Do you want to rescan it and get Effeciency Analysis of using "
         "disk space?";
}

CClusterAnalysisDlg::CClusterAnalysisDlg(const analysis::ClusterAnalysisResult& result,
                                         QWidget* parent)
    : QDialog(parent) {
  const analysis::ClusterAnalysisView view = analysis::DescribeClusterAnalysis(result);
  setWindowTitle(QString::fromStdString(view.title));
  setModal(true);
  setObjectName("ClusterAnalysis");

  auto* layout = new QVBoxLayout(this);
  auto* rows = new QGridLayout;
  rows->setHorizontalSpacing(12);
  const char* headers[] = {"Cluster size", "Disk space usage", "Disk size", "Wasted"};
  for (int c = 0; c < 4; ++c) {
    auto* header = new QLabel(headers[c], this);
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);
    rows->addWidget(header, 0, c);
  }
  for (std::size_t i = 0; i < analysis::kClusterSizeCount; ++i) {
    const analysis::ClusterAnalysisRow& row = view.rows[i];
    const int r = static_cast<int>(i) + 1;
    auto* size = new QLabel(QString::fromStdString(row.sizeText), this);
    size->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    rows->addWidget(size, r, 0);
    bars_[i] = Bar(100, row.barPosition, this);
    bars_[i]->setMinimumWidth(160);
    bars_[i]->setObjectName("Bar");
    rows->addWidget(bars_[i], r, 1);
    diskSizes_[i] = new QLabel(QString::fromStdString(row.diskSize), this);
    diskSizes_[i]->setObjectName("DiskSize");
    rows->addWidget(diskSizes_[i], r, 2);
    wasted_[i] = new QLabel(QString::fromStdString(row.wasted), this);
    wasted_[i]->setObjectName("Wasted");
    wasted_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    rows->addWidget(wasted_[i], r, 3);
  }
  layout->addLayout(rows);

  // The filled part of a bar is used space, the empty rest wasted space.
  auto* legend = new QGridLayout;
  auto* used = Bar(1, 1, this);
  used->setFixedWidth(40);
  auto* wasted = Bar(1, 0, this);
  wasted->setFixedWidth(40);
  legend->addWidget(used, 0, 0);
  legend->addWidget(new QLabel("Used space", this), 0, 1);
  legend->addWidget(wasted, 0, 2);
  legend->addWidget(new QLabel("Wasted space", this), 0, 3);
  legend->setColumnStretch(4, 1);
  layout->addLayout(legend);
  layout->addWidget(Separator(this));

  auto* bottom = new QGridLayout;
  const std::string* values[] = {&view.currentDiskSize, &view.dataOnDisk, &view.freeSpace,
                                 &view.currentClusterSize, &view.optimalClusterSize};
  const char* labels[] = {"Current disk size:", "Data on disk:", "Free space on disk:",
                          "Current cluster size:", "Optimal cluster size:"};
  const char* names[] = {"CurrentDiskSize", "DataOnDisk", "FreeSpace", "CurrentClusterSize",
                         "OptimalClusterSize"};
  for (int f = 0; f < 5; ++f) {
    const int column = f < 3 ? 0 : 2;
    const int line = f < 3 ? f : f - 3;
    bottom->addWidget(new QLabel(labels[f], this), line, column);
    fields_[f] = new QLabel(QString::fromStdString(*values[f]), this);
    fields_[f]->setObjectName(names[f]);
    bottom->addWidget(fields_[f], line, column + 1);
  }
  bottom->setColumnStretch(1, 1);
  bottom->setColumnStretch(3, 1);
  layout->addLayout(bottom);
  layout->addWidget(Separator(this));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  AttachControlHelp(*this);
}

QString CClusterAnalysisDlg::DiskSizeText(int row) const { return diskSizes_.at(row)->text(); }
QString CClusterAnalysisDlg::WastedText(int row) const { return wasted_.at(row)->text(); }
int CClusterAnalysisDlg::BarPosition(int row) const { return bars_.at(row)->value(); }
QString CClusterAnalysisDlg::FieldText(int field) const { return fields_.at(field)->text(); }

}  // namespace ui
