// Window tests run headless and deterministic: offscreen platform unless told otherwise, a
// fixed Russian locale, so the decimal comma is exercised on purpose, and the program's font,
// so texts take the same room on every machine (without it the run stops at once).
#include <QApplication>
#include <QLocale>
#include <cstdlib>
#include <gtest/gtest.h>

#include "program_font.h"

int main(int argc, char* argv[]) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QApplication app(argc, argv);
    if (!UseProgramFont()) return 2;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
