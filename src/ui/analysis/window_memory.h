#pragma once
// What the window's commands remember from one use to the next, for as long as the
// window lives: the last cluster size analysis (the dialog shows it again, also after the
// rescan it asked for), the size last confirmed in "Change cluster size", and who makes
// the database pages of a drive's property sheet.

#include <string>

#include "analysis/cluster_analysis.h"
#include "ui/properties/property_sheets.h"

namespace ui {

struct WindowMemory {
  analysis::ClusterAnalysisResult clusterAnalysis;
  std::string lastNewClusterSize;  // empty until a change dialog is closed with OK
  DatabasePageFactory databasePages;  // empty: each page only names its drive
};

}  // namespace ui
