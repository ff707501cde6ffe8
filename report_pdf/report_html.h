#pragma once
// The report's HTML pieces (an inner header of report_pdf/): typed text printed literally, the
// report's numbers, tables with numbers to the right, paragraphs.
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/number_text.h"

namespace zfpdf {

// The face of the scenario's SHA-256 and of the footer, which carries its start: without
// ligatures, so a sum copied from the PDF is the sum.
inline const QString kFixedFont = QStringLiteral("DejaVu Sans Mono");

// Every text in the report's HTML, the engineer's above all, is printed literally.
QString Esc(const QString& s);
QString Esc(const std::string& s);

// "2,3E-5" as printed texts write it, "2,3·10⁻⁵"; other numbers as they are.
QString PowerOfTen(const QString& number);

// The report's numbers in the general format with the report's decimal comma, whatever the
// process's locale.
class Numbers {
public:
    Numbers();
    QString operator()(double v) const;
    const std::string& Separator() const { return sep_; }

private:
    std::string sep_;
};

// A room in a narrow column: "№1 Кабинет", the number kept with the name's first word.
QString ShortRoomLabel(const std::vector<std::string>& names, int room);

// A table of cells as HTML: a header row, then the rows; `colours` gives a cell's background,
// `widths` the columns' shares of the page in percent (the layout's own choice without them).
// Numbers and dashes line up on the right; words read from the left.
QString HtmlTable(const std::vector<std::vector<std::string>>& cells,
                  const std::function<QString(std::size_t row, std::size_t col)>& colours = {},
                  const std::vector<int>& widths = {});
std::vector<std::vector<std::string>> ToCells(const std::vector<std::vector<QString>>& rows);

QString Paragraph(const QString& text);

QString Utf8(std::string_view text);

}  // namespace zfpdf
