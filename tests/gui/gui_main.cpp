// The GUI tests' main: the application object exists before any test runs.
#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The offscreen platform warns about every dialog it sizes; that says
// nothing about the program.
QtMessageHandler standardHandler = nullptr;

void QuietOffscreenNoise(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("propagateSizeHints"))) return;
    if (standardHandler) standardHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv)
{
    // The user's own XDG folders are never touched: the file association and
    // the settings fallback write into a folder of this run.
    QTemporaryDir xdg;
    if (!xdg.isValid()) return 1;
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        qputenv(name, (xdg.path() + QLatin1Char('/') + QLatin1String(name)).toLocal8Bit());
    // Headless unless the caller asks for a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    standardHandler = qInstallMessageHandler(QuietOffscreenNoise);
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(replidex);
    QStandardPaths::setTestModeEnabled(true);
    // A window that closes itself must not end the test program.
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
