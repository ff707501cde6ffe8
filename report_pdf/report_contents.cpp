// The report's contents: a line per section with the page it starts on, and the numbers of the
// figures the text refers to.
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "report_builder.h"
#include "report_text.h"

namespace zfpdf {

QString ContentsPagePlaceholder(int index) {
    return QChar(kReportPlaceholder) + QStringLiteral("page %1").arg(index) + QChar(kReportPlaceholder);
}

void ReportBuilder::Contents() {
    // On the title page, below what identifies the report.
    Html(QStringLiteral("<h2>%1</h2>").arg(kContentsTitle));
    contentsAt_ = html_.size();
}

QString ReportBuilder::Text() const {
    if (contentsAt_ < 0) return html_;
    // Without borders, the pages on the right; the placeholder is wider than any page number, so
    // filling it in later makes no line longer.
    QString contents = QStringLiteral("<table width=\"100%\" cellpadding=\"2\">");
    for (qsizetype i = 0; i < sections_.size(); ++i)
        contents += QStringLiteral("<tr><td width=\"90%\">%1</td><td align=\"right\">%2</td></tr>")
                        .arg(Esc(sections_[i]), ContentsPagePlaceholder(static_cast<int>(i)));
    contents += QStringLiteral("</table>");
    return QString(html_).insert(contentsAt_, contents);
}

std::pair<int, int> ReportBuilder::Figures(int room) const {
    // Two charts of the layer per room, then one per factor that reached its limit.
    const auto count = [this](int i) {
        int n = 2;
        for (int k = 0; k < zf::kHazardCount; ++k) n += zm_.Room(i).CritTimeOf(static_cast<zf::HazardKind>(k)) != 0;
        return n;
    };
    int first = 1;
    for (int i = 0; i < room; ++i) first += count(i);
    return {first, count(room)};
}

void NumberContents(QTextDocument& doc) {
    const double pageHeight = doc.pageSize().height();
    int index = 0;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() != 2 || block.text() == kContentsTitle) continue;
        const int page = static_cast<int>(doc.documentLayout()->blockBoundingRect(block).top() / pageHeight) + 1;
        const QTextCursor at = doc.find(ContentsPagePlaceholder(index++));
        if (at.isNull()) continue;
        QTextCursor(at).insertText(QString::number(page));
    }
}

}  // namespace zfpdf
