#pragma once
// What the two entry dialogs share beyond their forms: the unit written after a field, the
// first field focused with its text selected at every opening, so a value is retyped at once
// and Enter accepts it, and the default sizes as the fields first show them.

#include <QString>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "model/inputs.h"

class QWidget;

class QLineEdit;

// Writes `unit` ("м") right after the field, on the field's own row of its form.
void AppendUnit(QLineEdit* field, const QString& unit);

// Reads each field as a number (NumberFromText), captioned as its label reads with its unit
// ("Длина, м"); at the first one refused, says why in a message box over `dialog`, gives the
// field the focus with its text selected and returns false.
bool CheckNumberFields(QWidget* dialog, std::initializer_list<QLineEdit*> fields);

// Gives the field the keyboard focus with its whole text selected.
void FocusWithTextSelected(QLineEdit* field);

// A default size [m] as a dialog's field first shows it: the shortest digits that read back
// to it, with the decimal comma ("0,9").
QString DefaultSizeText(double metres);

// A text of the input table as the windows show it.
QString InputText(std::string_view text);

// The caption and tip of an input's field from the input table (model/inputs.h): the tip on
// the field and on its label (the label whose buddy it is), the caption on the label.
void ShowInputCaption(QLineEdit* field, const zf::Input& input);

// The field's number (NumberFromText, captioned by the input's label) within the input's
// range; otherwise nullopt with `refusal` (when given) saying why, naming the field.
std::optional<double> InputFieldValue(QLineEdit* field, const zf::Input& input, QString* refusal);
