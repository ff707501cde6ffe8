#include "qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool InstallQtRussianTranslations(QObject* owner) {
    auto* translator = new QTranslator(owner);
    // qtbase_ru holds the widgets' texts; it is the one file of Qt's Russian set they need.
    if (!translator->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
