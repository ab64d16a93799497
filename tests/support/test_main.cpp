// Every test runs headless, with its own settings folder, and with boxes recorded instead of
// shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "support/recorder.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    TRecorder recorder;
    SetDialogs(&recorder);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
