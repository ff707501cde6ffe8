#pragma once
// "Сведения об объекте": what the report's title page says of the object and of who made the
// calculation (the object's name and address, the organisation, the author), one field per
// text of the project file's table (project/document.h, kObjectFields). Controls are made in
// code with object names tests find them by: "Edit" + the file key ("Editaddress").

#include <QDialog>
#include <utility>
#include <vector>

#include "project/document.h"

class QLineEdit;

class TF_ObjectInfo : public QDialog {
public:
    // `forReport`: asked before a report because the fields are empty; says what they are for
    // and that the report can go on without them.
    explicit TF_ObjectInfo(QWidget* parent = nullptr, bool forReport = false);

    // Shows the document's texts.
    void Show(const zf::project::Document& document);
    // Puts the fields' texts, without spaces at their ends, into the document.
    void Store(zf::project::Document& document) const;

private:
    std::vector<std::pair<const zf::project::ObjectField*, QLineEdit*>> fields_;
};
