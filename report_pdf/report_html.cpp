#include "report_html.h"

#include "critical_times.h"
#include "number_format.h"
#include "report_pdf.h"
#include "report_inputs.h"
#include "report_text.h"

namespace zfpdf {

namespace {

// Numbers and dashes line up on the right; words read from the left.
bool IsNumberCell(const std::string& text) {
    if (text == "—") return true;
    return !text.empty() && text.find_first_not_of("0123456789.,-E*") == std::string::npos;
}
bool IsNumberCell(const QString& text) {
    // A value marked as not the default ("5 *") is still a number.
    const QString number = text.endsWith(kChangedMark) ? text.chopped(kChangedMark.size()) : text;
    return IsNumberCell(number.toStdString()) || number.contains(QStringLiteral("·10"));
}

}  // namespace

// Every text in the report's HTML, the engineer's above all, is printed literally.
QString Esc(const QString& s) { return LiteralUserText(s).toHtmlEscaped(); }
QString Esc(const std::string& s) { return Esc(QString::fromStdString(s)); }

// "2,3E-5" as printed texts write it, "2,3·10⁻⁵"; other numbers as they are.
QString PowerOfTen(const QString& number) {
    const qsizetype e = number.indexOf(QLatin1Char('E'));
    if (e < 0) return number;
    static const QString kSuperscripts = QStringLiteral("⁰¹²³⁴⁵⁶⁷⁸⁹");
    QString exponent;
    for (const QChar c : number.mid(e + 1)) {
        if (c == QLatin1Char('-')) exponent += QChar(0x207B);  // superscript minus
        else if (c.isDigit()) exponent += kSuperscripts[c.digitValue()];
    }
    return number.left(e) + QStringLiteral("·10") + exponent;
}

// The report's numbers in the general format with the report's decimal comma, whatever the
// process's locale.
Numbers::Numbers() : sep_(ReportLocale().decimalPoint().toStdString()) {}
QString Numbers::operator()(double v) const { return PowerOfTen(QString::fromStdString(zfreport::GeneralNumberText(v, sep_))); }

// A room in a narrow column: "№1 Кабинет", the number kept with the name's first word.
QString ShortRoomLabel(const std::vector<std::string>& names, int room) {
    const QString name = QString::fromStdString(std::string(zfreport::RoomNameOf(names, room)));
    const QString number = QStringLiteral("№%1").arg(room + 1);
    return name.isEmpty() ? number : number + QChar(0x00A0) + name;
}

// A table of cells as HTML: a header row, then the rows; `colours` gives a cell's background,
// `widths` the columns' shares of the page in percent (the layout's own choice without them).
QString HtmlTable(const std::vector<std::vector<std::string>>& cells,
                  const std::function<QString(std::size_t row, std::size_t col)>& colours, const std::vector<int>& widths) {
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">");
    for (std::size_t r = 0; r < cells.size(); ++r) {
        // The header row is the table's head: a table broken over pages repeats it on each.
        if (r == 0) html += QStringLiteral("<thead>");
        if (r == 1) html += QStringLiteral("<tbody>");
        html += QStringLiteral("<tr>");
        for (std::size_t c = 0; c < cells[r].size(); ++c) {
            const QString tag = r == 0 ? QStringLiteral("th") : QStringLiteral("td");
            QString attributes;
            if (colours && r > 0)
                if (const QString colour = colours(r - 1, c); !colour.isEmpty())
                    attributes = QStringLiteral(" bgcolor=\"%1\"").arg(colour);
            if (r > 0 && c > 0 && IsNumberCell(QString::fromStdString(cells[r][c]))) attributes += QStringLiteral(" align=\"right\"");
            if (r == 0 && c < widths.size()) attributes += QStringLiteral(" width=\"%1%\"").arg(widths[c]);
            html += QStringLiteral("<%1%2>%3</%1>").arg(tag, attributes, Esc(cells[r][c]));
        }
        html += QStringLiteral("</tr>");
        if (r == 0) html += QStringLiteral("</thead>");
    }
    return html + (cells.size() > 1 ? QStringLiteral("</tbody></table>") : QStringLiteral("</table>"));
}

std::vector<std::vector<std::string>> ToCells(const std::vector<std::vector<QString>>& rows) {
    std::vector<std::vector<std::string>> cells;
    for (const auto& row : rows) {
        std::vector<std::string> line;
        for (const QString& s : row) line.push_back(s.toStdString());
        cells.push_back(std::move(line));
    }
    return cells;
}

QString Paragraph(const QString& text) { return QStringLiteral("<p>") + Esc(text) + QStringLiteral("</p>"); }

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace zfpdf
