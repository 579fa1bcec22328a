#pragma once
// The Files list's state images: a 14-image strip of 16 by 16 gauges. Image 0 is never
// used; images 1 to 13 show activity levels 0 to 12.

#include <QPixmap>
#include <vector>

namespace ui {

inline constexpr int kStateImageCount = 14;
inline constexpr int kActivityLevels = 13;

// Drawn once per process.
const std::vector<QPixmap>& ListStateImages();
// The image of an activity level 0..12 (state image index level + 2, one-based).
const QPixmap& ActivityImage(int level);

}  // namespace ui
