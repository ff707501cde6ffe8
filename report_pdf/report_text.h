#pragma once
// Text the engineer typed (the building's title, notes, room names, the file's name) as the
// report prints it: literally. The report is laid out from HTML with placeholders of its own,
// so a typed sequence must never read as markup or as a placeholder, and a right-to-left mark
// or override must not mirror the caption it stands in, nor a control character cut it.

#include <QColor>
#include <QString>

#include "verdict.h"

// The character that opens and closes the report's own placeholders (a chart's place): the
// first of Unicode's private-use characters, which no text of the report prints.
inline constexpr char16_t kReportPlaceholder = 0xE000;

// `text` made safe to print literally, before HTML escaping: the placeholder character,
// noncharacters and control characters other than line breaks and tabs become U+FFFD, and text
// with any right-to-left letter or direction control is wrapped in a first-strong isolate
// (U+2068 … U+2069), which ends every embedding and override opened inside, so what follows
// keeps its own direction.
QString LiteralUserText(const QString& text);

// The background of a verdict wherever it is shown, the summary window and the report alike:
// green safe, red unsafe, yellow undetermined.
QColor VerdictColour(zfreport::Verdict v);
