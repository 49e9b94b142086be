// The entry point of every window test: a QApplication on the display xvfb-run gives, with
// standard paths moved aside so no test touches the real user's files.
#include <gtest/gtest.h>
#include <QApplication>
#include <QStandardPaths>

int main(int argc, char* argv[]) {
    // Qt's own file dialog, whatever the desktop offers, so its widgets can be driven.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    // As in the programs: they end when their main window unloads.
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
