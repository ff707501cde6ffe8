#include "program_font.h"

#include <QApplication>
#include <QFontDatabase>
#include <QtGlobal>

QFont ProgramFont(int pointSize, QFont::Weight weight) {
    QFont font(QString::fromLatin1(kProgramFontFamily), pointSize, weight);
    if (pointSize < 0) font.setPointSizeF(QApplication::font().pointSizeF());
    return font;
}

bool UseProgramFont() {
    QFont font = QApplication::font();
    font.setFamily(QString::fromLatin1(kProgramFontFamily));
    QApplication::setFont(font);
    if (QFontDatabase::hasFamily(font.family())) return true;
    qWarning("The font %s is not installed (Debian package fonts-dejavu-core): the windows use a substitute",
             kProgramFontFamily);
    return false;
}
