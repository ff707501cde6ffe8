#include "guide_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "zonefire_version.h"

namespace {

// The first of: the installed file (relative to the program, so any install prefix works), the
// source tree's file.
QString FirstExisting(const QString& installed, const QString& inSource) {
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../") + installed);
    for (const QString& path : {beside, QStringLiteral(ZONEFIRE_SOURCE_DIR "/") + inSource})
        if (QFileInfo::exists(path)) return QFileInfo(path).canonicalFilePath();
    return {};
}

}  // namespace

QString GuidePath() {
    return FirstExisting(QStringLiteral("share/doc/zonefire/guide/guide.md"), QStringLiteral("docs/guide.md"));
}

QString ExamplesFolder() {
    return FirstExisting(QStringLiteral("share/zonefire/examples"), QStringLiteral("examples"));
}

TGuideWindow::TGuideWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("GuideWindow"));
    setWindowTitle(QStringLiteral("Руководство пользователя — zonefire " ZONEFIRE_VERSION));
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("GuideText"));
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(900, 700);
}

void TGuideWindow::Open(const QString& path) {
    browser_->setSearchPaths({QFileInfo(path).absolutePath()});
    browser_->setSource(QUrl::fromLocalFile(path), QTextDocument::MarkdownResource);
}

QString TGuideWindow::Text() const { return browser_->toPlainText(); }
