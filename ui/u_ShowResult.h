#pragma once
#include <QDialog>
#include <memory>

namespace Ui { class TF_ShowResult; }

class TF_ShowResult : public QDialog {
    Q_OBJECT
public:
    explicit TF_ShowResult(QWidget* parent = nullptr);
    ~TF_ShowResult() override;

private:
    std::unique_ptr<Ui::TF_ShowResult> ui;
};
