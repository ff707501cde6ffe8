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
#include "model/inputs.h"
#include "ui_u_main.h"
#include "model/number_text.h"

namespace zfmain {

inline constexpr int kRecentFiles = 5;  // the recent files the "Файл" menu lists

// The parameter fields of the input table (model/inputs.h), found by the row's object name,
// and the document's numbers they hold, in the table's order. The form (u_main.ui) places the
// fields and their labels; their captions and tips come from the table (CreateMenus).
struct Field {
    QLineEdit* Edit;
    double zf::project::Parameters::*Value;
    const zf::Input* Input;
};

inline std::vector<Field> Fields(const QWidget& window) {
    std::vector<Field> fields;
    for (const zf::Input& input : zf::kInputs) {
        if (input.Widget.empty()) continue;
        const QString name = QString::fromUtf8(input.Widget.data(), static_cast<qsizetype>(input.Widget.size()));
        if (auto* edit = window.findChild<QLineEdit*>(name)) fields.push_back({edit, input.Field, &input});
    }
    return fields;
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
