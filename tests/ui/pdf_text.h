#pragma once
// A PDF read back as a reviewer's tools read it: its text extracted with pdftotext
// (poppler-utils), pages separated by form feeds.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <vector>

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

// A word of a PDF page and its box [pt], as pdftotext -bbox-layout finds it.
struct PdfWord {
    int Page = 0;  // from 1
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
    QString Text;
};

inline std::vector<PdfWord> PdfWords(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << "pdftotext (poppler-utils) is needed";
    const QString xml = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression tag(QStringLiteral(
        "<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::vector<PdfWord> words;
    int page = 0;
    for (auto it = tag.globalMatch(xml); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
        words.push_back({page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                         m.captured(4).toDouble(), m.captured(5)});
    }
    return words;
}

// Every two words of one page whose boxes overlap by more than `tolerance` [pt] both ways:
// "стр. 3: «182,052» over «значение»".
inline QStringList OverlappingWords(const std::vector<PdfWord>& words, double tolerance = 0.5) {
    QStringList overlaps;
    for (std::size_t i = 0; i < words.size(); ++i)
        for (std::size_t j = i + 1; j < words.size() && words[j].Page == words[i].Page; ++j) {
            const PdfWord& a = words[i];
            const PdfWord& b = words[j];
            const double wide = std::min(a.Right, b.Right) - std::max(a.Left, b.Left);
            const double high = std::min(a.Bottom, b.Bottom) - std::max(a.Top, b.Top);
            if (wide > tolerance && high > tolerance)
                overlaps << QStringLiteral("стр. %1: «%2» over «%3»").arg(a.Page).arg(a.Text, b.Text);
        }
    return overlaps;
}
