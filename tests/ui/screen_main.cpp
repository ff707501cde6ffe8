// The window tests on a laptop's screen: Qt's offscreen platform given one screen of
// 1366×768 pixels at 96 dpi (a configuration file of its own), a fixed Russian locale, the
// program's font and a home of the process's own, so what fits here fits on every machine.
#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

#include "program_font.h"

int main(int argc, char* argv[]) {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QTemporaryDir home;
    if (!home.isValid()) return 2;
    const QString screens = home.filePath(QStringLiteral("screen.json"));
    QFile config(screens);
    if (!config.open(QIODevice::WriteOnly)) return 2;
    config.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768,)"
                 R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    config.close();
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens).toLocal8Bit().constData(), 1);
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    for (const char* xdg : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) unsetenv(xdg);
    QApplication app(argc, argv);
    if (!UseProgramFont()) return 2;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
