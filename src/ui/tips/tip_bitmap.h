#pragma once
// Bitmap 112, the light bulb beside "Did you know...": 40 x 53 pixels, 16 colours.

#include <QImage>

namespace ui {

inline constexpr int kTipBitmapWidth = 40;
inline constexpr int kTipBitmapHeight = 53;

// Drawn once, then shared.
const QImage& TipBitmap();

}  // namespace ui
