#pragma once
#include <QDialog>
#include <memory>

namespace Ui { class Tf_AddRoom; }

class Tf_AddRoom : public QDialog {
    Q_OBJECT
public:
    explicit Tf_AddRoom(QWidget* parent = nullptr);
    ~Tf_AddRoom() override;

private:
    std::unique_ptr<Ui::Tf_AddRoom> ui;
};
