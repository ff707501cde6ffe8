#include "window_size.h"

#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace {

QString SizeKey(const char* key) { return QStringLiteral("windows/%1/size").arg(QLatin1String(key)); }
QString MaximisedKey(const char* key) { return QStringLiteral("windows/%1/maximised").arg(QLatin1String(key)); }

}  // namespace

void AllowMaximise(QWidget* window) {
    window->setWindowFlags(window->windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
}

QSize WithinScreen(const QWidget* window, QSize wanted) {
    const QScreen* screen = window->screen();
    if (screen == nullptr) return wanted;
    return wanted.boundedTo(screen->availableSize());
}

QSize SavedWindowSize(const char* key) {
    const QSize saved = QSettings().value(SizeKey(key)).toSize();
    return saved.isValid() && !saved.isEmpty() ? saved : QSize();
}

void RestoreWindowSize(QWidget* window, const char* key, QSize first) {
    const QSize saved = SavedWindowSize(key);
    window->resize(WithinScreen(window, saved.isValid() ? saved : first));
    if (QSettings().value(MaximisedKey(key), false).toBool())
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

void SaveWindowSize(const QWidget* window, const char* key) {
    QSettings settings;
    const bool maximised = window->isMaximized();
    const QSize normal = window->normalGeometry().size();
    settings.setValue(SizeKey(key), maximised && !normal.isEmpty() ? normal : window->size());
    settings.setValue(MaximisedKey(key), maximised);
}
