#pragma once
// The summary of a finished run: every room's critical time of each hazard factor, with the
// earliest one of each room marked, as the headless runner prints it. Copyable like the
// results table.
#include <QDialog>
#include <QStringList>
#include <memory>

namespace zf { class TzoneMath; }

namespace Ui { class TF_CritTimes; }

class TF_CritTimes : public QDialog {
    Q_OBJECT
public:
    explicit TF_CritTimes(QWidget* parent = nullptr);
    ~TF_CritTimes() override;

    // Fills the table from the scenario's rooms; `factorTips` (by HazardKind) explain the
    // short column titles. The table keeps its texts: the scenario may go afterwards.
    void Fill(const zf::TzoneMath& zm, const QStringList& factorTips);

private:
    void FitToTable();

    std::unique_ptr<Ui::TF_CritTimes> ui;
};
