#pragma once
// The one QApplication that every test of a window area runs inside (offscreen platform).

#include <QApplication>

namespace testing_support {

QApplication& App();

}  // namespace testing_support
