#include "ui/Application.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

QtMessageHandler previousHandler = nullptr;

// The offscreen platform warns about features it lacks; those lines are noise in test logs.
void QuietOffscreenWarnings(QtMsgType type, const QMessageLogContext& context, const QString& msg) {
    if (msg.contains("This plugin does not support")) return;
    if (previousHandler) previousHandler(type, context, msg);
}

} // namespace

int main(int argc, char** argv) {
    // The window tests run headless, also when test discovery starts the binary.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    previousHandler = qInstallMessageHandler(QuietOffscreenWarnings);
    QApplication app(argc, argv);
    velkaro::ApplyVelkaroLook(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
