#pragma once
// The report's lines of inputs (an inner header of report_pdf/): every number input of the
// input table, the recording interval, the safety factor, the plume and the model options, each
// with its value as printed, its origin, and whether it differs from the program's default, so
// a reader sees at once what the engineer changed.
#include <QString>
#include <vector>

#include "report_pdf.h"

namespace zf { struct Input; struct Surface; }

namespace zfpdf {

// The mark of an input that is not the program's default, after its value (kept on its line by
// a non-breaking space), and its footnote.
inline const QString kChangedMark = QStringLiteral("\u00A0*");
QString ChangedFootnote();

struct InputLine {
    QString Symbol;  // "Qн"; "—" for a choice
    QString Name;    // what it is, in words
    QString Value;   // as printed, with kChangedMark when Changed
    QString Unit;    // "—" for a ratio or a choice
    QString Source;  // the program's default, the engineer's value, the fire-load library
    bool Changed = false;  // differs from the program's default
};

// The line of one row of zf::kInputs. `fireLoad` is the library row's name the fire-load inputs
// were taken from ("" for none): an input of that row still equal to the library's value names
// the library as its source.
InputLine LineOf(const zf::Input& input, const zf::TzoneMath& zm, const QString& fireLoad);

// The fire load, the initial conditions and the run's settings: every row of zf::kInputs but
// the critical values, then the recording interval, the safety factor and the plume.
std::vector<InputLine> SettingLines(const zf::TzoneMath& zm, const ScenarioDescription& description);

// The model's options: the largest fire area, energy-consistent outflow and heat loss to the
// enclosure with its surfaces; each off in the reference model.
std::vector<InputLine> OptionLines(const zf::TzoneMath& zm);

// The model in one line for the title page: "двухзонная; конвективная колонка — зависимость
// Танака; варианты модели: нет" or the options turned on.
QString ModelText(const zf::TzoneMath& zm);

// "бетон 0,2 м" or "k 1,6 Вт/(м·К), ρ 2 300 кг/м³, c 900 Дж/(кг·К), 0,2 м", the layers from the
// exposed one joined by " + ", then the back face when it is adiabatic.
QString SurfaceText(const zf::Surface& surface);

}  // namespace zfpdf
