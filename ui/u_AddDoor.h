#pragma once
#include <QDialog>
#include <memory>

namespace Ui { class Tf_AddDoor; }

class Tf_AddDoor : public QDialog {
    Q_OBJECT
public:
    explicit Tf_AddDoor(QWidget* parent = nullptr);
    ~Tf_AddDoor() override;

private:
    std::unique_ptr<Ui::Tf_AddDoor> ui;
};
