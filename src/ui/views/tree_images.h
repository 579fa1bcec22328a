#pragma once
// The folders tree's two image lists, drawn at start-up: the state images (drive types
// and the visiting states of folders) and the normal images (scan marks, pies and the
// database fill bars).

#include <QPixmap>
#include <QVector>

namespace ui {

namespace tree_image {
// State images.
inline constexpr int kFirstDriveType = 1;   // + DriveTypeIndex
inline constexpr int kFolderInserted = 7;
inline constexpr int kFolderSelected = 8;
inline constexpr int kFolderLeft = 9;
inline constexpr int kFolderSelectedAgain = 10;
inline constexpr int kStateCount = 11;
// Normal images.
inline constexpr int kFullyRead = 0;
inline constexpr int kNotRead = 1;
inline constexpr int kPartlyReadSelected = 2;
inline constexpr int kNoDatabaseSelected = 3;
inline constexpr int kFirstPie = 4;
inline constexpr int kPieCount = 39;
inline constexpr int kFirstFillBar = 43;
inline constexpr int kFillBarCount = 14;
inline constexpr int kFirstSpanEndedFillBar = 57;
inline constexpr int kNormalCount = 71;
}  // namespace tree_image

class TreeImages {
 public:
  TreeImages();
  const QPixmap& State(int index) const { return state_.at(index); }
  const QPixmap& Normal(int index) const { return normal_.at(index); }
  int StateCount() const { return static_cast<int>(state_.size()); }
  int NormalCount() const { return static_cast<int>(normal_.size()); }
  // Drawn over the state image of a folder that cannot be read.
  const QPixmap& UnreadableOverlay() const { return unreadable_; }

 private:
  QVector<QPixmap> state_;
  QVector<QPixmap> normal_;
  QPixmap unreadable_;
};

}  // namespace ui
