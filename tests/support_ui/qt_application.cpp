#include "support_ui/qt_application.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace testing_support {
namespace {

QtMessageHandler previousHandler = nullptr;

// The offscreen platform says so for every window that asks for what it cannot do.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
  if (previousHandler != nullptr) {
    previousHandler(type, context, message);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(message));
  }
}

class QtApplication : public ::testing::Environment {
 public:
  void SetUp() override { App(); }
  void TearDown() override { application().reset(); }

  static std::unique_ptr<QApplication>& application() {
    static std::unique_ptr<QApplication> instance;
    return instance;
  }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtApplication);

}  // namespace

QApplication& App() {
  auto& application = QtApplication::application();
  if (!application) {
    static int argc = 1;
    static char name[] = "norvex_ui_test";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application = std::make_unique<QApplication>(argc, argv);
    previousHandler = qInstallMessageHandler(QuietHandler);
  }
  return *application;
}

}  // namespace testing_support
