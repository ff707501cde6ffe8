#include "program_font.h"

#include <QGuiApplication>
#include <QFontDatabase>
#include <QtGlobal>

QFont ProgramFont(int pointSize, QFont::Weight weight) {
    QFont font(QString::fromLatin1(kProgramFontFamily), pointSize, weight);
    if (pointSize < 0) font.setPointSizeF(QGuiApplication::font().pointSizeF());
    return font;
}

bool UseProgramFont() {
    QFont font = QGuiApplication::font();
    font.setFamily(QString::fromLatin1(kProgramFontFamily));
    QGuiApplication::setFont(font);
    if (QFontDatabase::hasFamily(font.family())) return true;
    qWarning("The font %s is not installed (Debian package fonts-dejavu-core): the windows use a substitute",
             kProgramFontFamily);
    return false;
}
