#pragma once
// The pagination both reports share (an inner header of report_pdf/).
class QTextDocument;

namespace zfpdf {

// A paragraph is not split over two pages, and a heading and a chart stay on the page of what
// follows them: a block that would be split or parted starts a new page instead. Call once the
// text is laid out with its charts' sizes.
void KeepTogether(QTextDocument& doc);

}  // namespace zfpdf
