#include "project_files.h"
#include "shown_name.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool WriteWhole(const QString& path, const std::string& text, QString* reason) {
    // The file put in place keeps the permissions the old one had.
    const QFileInfo old(path);
    const bool existed = old.exists();
    const QFileDevice::Permissions permissions = old.permissions();
    QSaveFile file(path);
    const auto size = static_cast<qint64>(text.size());
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(text.data(), size) == size && file.commit()) {
        if (existed) QFile::setPermissions(path, permissions);
        return true;
    }
    *reason = file.errorString();
    file.cancelWriting();
    return false;
}

QString ReadOnlyReason(const QString& path) {
    const QFileInfo file(path);
    if (file.exists() && !(file.permissions() & QFileDevice::WriteOwner))
        return QStringLiteral("файл доступен только для чтения. Снимите этот признак или сохраните здание под другим "
                              "именем («Сохранить как...»)");
    const QFileInfo folder(file.absolutePath());
    if (!file.exists() && folder.exists() && !(folder.permissions() & QFileDevice::WriteOwner))
        return QStringLiteral("папка «%1» доступна только для чтения. Сохраните здание в другую папку («Сохранить как...»)")
            .arg(ShownName(folder.absoluteFilePath()));
    return {};
}
