#pragma once
#include <QDialog>
#include <memory>

namespace Ui { class Tf_progress; }

class Tf_progress : public QDialog {
    Q_OBJECT
public:
    explicit Tf_progress(QWidget* parent = nullptr);
    ~Tf_progress() override;

private:
    std::unique_ptr<Ui::Tf_progress> ui;
};
