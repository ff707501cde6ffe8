// Window tests run headless and deterministic: offscreen platform unless told otherwise, a
// fixed Russian locale, so the decimal comma is exercised on purpose, and the program's font,
// so texts take the same room on every machine (without it the run stops at once). Each test
// process has a home of its own: the windows keep settings, recent files and the last
// calculated building there, and tests run side by side must not see each other's.
#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

#include "program_font.h"

int main(int argc, char* argv[]) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QTemporaryDir home;
    if (!home.isValid()) return 2;
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    for (const char* xdg : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) unsetenv(xdg);
    QApplication app(argc, argv);
    if (!UseProgramFont()) return 2;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
