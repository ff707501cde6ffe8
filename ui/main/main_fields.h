#pragma once
// What the main window's files share about its parameter fields and texts (an inner header of
// ui/main/, included by the main window's parts only).
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QString>
#include <vector>

#include "shown_name.h"
#include "project/document.h"
#include "ui_u_main.h"
#include "model/number_text.h"

namespace zfmain {

inline constexpr int kRecentFiles = 5;  // the recent files the "Файл" menu lists

// The parameter fields, the document's numbers they hold, and the digits after the decimal
// comma of the text a field first shows: the default to as many places as the window has
// always shown it ("0,01450" for 0.0145).
struct Field {
    QLineEdit* Edit;
    double zf::project::Parameters::*Value;
    int FirstTextDecimals;
};

inline std::vector<Field> Fields(const Ui::Tf_main& ui, QLineEdit* fireAreaMax) {
    using P = zf::project::Parameters;
    return {{ui.Edit11, &P::dt, 4}, {ui.Edit12, &P::SimTime, 0}, {ui.Edit1, &P::Qn, 0},   {ui.Edit2, &P::Vlin, 4},
            {ui.Edit3, &P::PsiUd, 5}, {ui.Edit4, &P::D, 0},      {ui.Edit5, &P::Lo2, 4},  {ui.Edit6, &P::Lco, 5},
            {ui.Edit7, &P::Lco2, 5},  {ui.Edit8, &P::Lhcl, 5},   {ui.Edit9, &P::T0, 0},   {ui.Edit10, &P::Nu, 2},
            {ui.Edithr, &P::hr, 1},   {fireAreaMax, &P::FireAreaMax, 0}};
}

// A number as a field or a dialog shows it for editing: the shortest digits that read back to
// the same double, in plain notation (the entry takes digits and one separator, no exponent),
// with the locale's decimal separator. The general format's 15 digits could change the value.
inline QString ExactNumberText(double value) {
    return QString::fromStdString(zf::PlainNumberText(value, QLocale().decimalPoint().toStdString()));
}

// The file's name as the caption and the questions show it.
inline QString DisplayName(const QString& path) {
    return path.isEmpty() ? QStringLiteral("Без имени") : ShownName(QFileInfo(path).fileName());
}

}  // namespace zfmain
