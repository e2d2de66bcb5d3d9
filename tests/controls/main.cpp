// The controls are real widgets: the tests run inside one QApplication on
// the offscreen platform unless another one is asked for.
#include <QApplication>

#include <gtest/gtest.h>

namespace {

QtMessageHandler standardHandler = nullptr;

// The offscreen platform warns about window hints it cannot pass on; that
// says nothing about the controls.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains("propagateSizeHints")) return;
  standardHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
  standardHandler = qInstallMessageHandler(QuietHandler);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
