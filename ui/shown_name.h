#pragma once
// A name from outside the program (a file's, a room's) as a window shows it in a title, a
// message or a table: through the one routine the runner's messages use (PrintableText), so a
// control character, a newline or a direction override can neither break nor reorder the text
// around it. Right-to-left letters are kept; the report prints names its own way
// (LiteralUserText: isolated, not escaped).

#include <QString>
#include <string>
#include <vector>

#include "project/printable_text.h"

inline QString ShownName(const QString& name, std::size_t maxChars = zf::project::kPrintedNameChars) {
    return QString::fromStdString(zf::project::PrintableText(name.toStdString(), maxChars));
}

inline std::vector<std::string> ShownNames(std::vector<std::string> names) {
    for (std::string& name : names) name = zf::project::PrintableText(name);
    return names;
}
