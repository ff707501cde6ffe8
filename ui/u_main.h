#pragma once
#include <QDialog>
#include <memory>

namespace Ui { class Tf_main; }

class Tf_main : public QDialog {
    Q_OBJECT
public:
    explicit Tf_main(QWidget* parent = nullptr);
    ~Tf_main() override;

private:
    std::unique_ptr<Ui::Tf_main> ui;
};
