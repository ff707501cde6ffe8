#pragma once
// The pagination both reports share (an inner header of report_pdf/).
class QPainter;
class QPdfWriter;
class QSizeF;
class QString;
class QTextDocument;

namespace zfpdf {

// A paragraph is not split over two pages, and a heading and a chart stay on the page of what
// follows them: a block that would be split or parted starts a new page instead. Call once the
// text is laid out with its charts' sizes.
void KeepTogether(QTextDocument& doc);

// The height kept below the text of each page for its footer [PDF units].
inline constexpr double kFooterHeight = 28;

// Every page of the laid-out text `doc` (pages of size `page`), each with a footer line that
// says which report it is (`footerText`) and which page of how many.
void PaintPages(QPainter& painter, QPdfWriter& writer, QTextDocument& doc, const QSizeF& page, const QString& footerText);

}  // namespace zfpdf
