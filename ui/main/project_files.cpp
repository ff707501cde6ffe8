#include "project_files.h"
#include "shown_name.h"

#include <QFile>
#include <QFileInfo>

#include "output_file.h"

std::optional<std::string> WriteWhole(const QString& path, const std::string& text) {
    try {
        zf::project::AtomicFile file(QFile::encodeName(path).toStdString());
        file.Stream() << text;
        file.Commit();
        return std::nullopt;
    } catch (const zf::project::OutputError& e) {
        return e.what();
    }
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
