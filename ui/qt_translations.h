#pragma once
// Qt's own texts in Russian: the standard buttons ("Отмена", "Показать подробности..."), the
// file dialogs and the context menus of the entry fields, from the Qt translations installed
// with the system's Qt.

class QObject;

// Loads Qt's Russian translations and installs them into the application; the translator is
// owned by `owner`. Returns false, and installs nothing, when they are not installed.
bool InstallQtRussianTranslations(QObject* owner);
