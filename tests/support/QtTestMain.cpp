#include "common/widgets/ScreenWindow.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Window tests run headless unless told otherwise.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Choices the windows keep between starts go to a folder of the run's own.
    const QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
    QApplication app(argc, argv);
    // Laid out with the program's own font, as the program shows them.
    useProgramFont();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
