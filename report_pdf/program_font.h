// The windows' one font family, DejaVu Sans (Debian's fonts-dejavu-core, installed with the
// other packages). It is named outright so that every machine draws the same letters at the
// same widths: a family the machine lacks would be replaced by whatever the font configuration
// offers, and texts such as the chart's title would wrap differently from one machine to the next.
#pragma once

#include <QFont>

inline constexpr char kProgramFontFamily[] = "DejaVu Sans";

// The program's family at `pointSize` (negative: the application font's size).
QFont ProgramFont(int pointSize = -1, QFont::Weight weight = QFont::Normal);

// Makes the program's family the application font's, keeping the desktop's size. Returns false,
// with a warning, when the family is not installed (the windows then use a substitute).
bool UseProgramFont();
