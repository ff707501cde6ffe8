#pragma once
// "Критические значения": the limits of the seven hazard factors and the working-zone height
// at which they are judged, one field per row of the input table (model/inputs.h) with its
// unit and whether a value at or above or at or below the limit is dangerous; "По умолчанию"
// puts back the program's values. Controls are made in code with object names tests find them
// by: "Edit" + the file key ("Editcritical_temperature", "Edithr").

#include <QDialog>
#include <optional>
#include <vector>

#include "model/inputs.h"

class QLineEdit;

class TF_CriticalValues : public QDialog {
public:
    explicit TF_CriticalValues(QWidget* parent = nullptr);

    // The inputs the dialog edits: the working-zone height, then the seven critical values.
    static std::vector<const zf::Input*> Rows();

    // Shows the dialog's inputs of `values`.
    void Show(const zf::Parameters& values);
    // `base` with the dialog's inputs as entered; nullopt with `refusal` set (in Russian, naming
    // the field) when a field holds no number or one outside its range.
    std::optional<zf::Parameters> Values(const zf::Parameters& base, QString* refusal) const;
    // Every field back to the program's value.
    void ShowDefaults();

private:
    void TryAccept();

    std::vector<std::pair<const zf::Input*, QLineEdit*>> fields_;
};
