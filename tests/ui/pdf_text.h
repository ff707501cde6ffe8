#pragma once
// A PDF read back as a reviewer's tools read it: its text extracted with pdftotext
// (poppler-utils), pages separated by form feeds.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// The text of the pages first..last (0: to the end) as pdftotext gives it.
inline QString PdfText(const QString& pdf, bool layout = false, int first = 1, int last = 0) {
    QProcess p;
    QStringList args{QStringLiteral("-enc"), QStringLiteral("UTF-8"), QStringLiteral("-f"), QString::number(first)};
    if (last > 0) args << QStringLiteral("-l") << QString::number(last);
    if (layout) args << QStringLiteral("-layout");
    args << pdf << QStringLiteral("-");
    p.start(QStringLiteral("pdftotext"), args);
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << "pdftotext (poppler-utils) is needed: " << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Words joined by single spaces, so a caption broken across lines reads whole.
inline QString Flat(QString text) { return text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" ")); }
