#pragma once
// The summary of a finished run: every room's critical time of each hazard factor, with the
// earliest one of each room marked, then its blocking time, the factor that governs it and,
// with evacuation inputs, the evacuation verdict, coloured; under the table the building's
// verdict. As the headless runner prints it. Copyable like the results table.
#include <QDialog>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "report_text.h"  // VerdictColour
#include "verdict.h"

class QColor;
namespace zf { class TzoneMath; }

namespace Ui { class TF_CritTimes; }

class TF_CritTimes : public QDialog {
    Q_OBJECT
public:
    explicit TF_CritTimes(QWidget* parent = nullptr);
    ~TF_CritTimes() override;

    // Fills the table from the scenario's rooms judged with the evacuation inputs;
    // `factorTips` (by zf::HazardKind) explain the short column titles; a room with a name in
    // `roomNames` (by room) is labelled "Помещение №2 — Коридор". The table keeps its texts:
    // the scenario may go afterwards.
    void Fill(const zf::TzoneMath& zm, const QStringList& factorTips, const zfreport::EvacuationInputs& evacuation = {},
              const std::vector<std::string>& roomNames = {});

protected:
    void hideEvent(QHideEvent* event) override;  // keeps the dialog's size

private:
    void ShowRunNotes(const zf::TzoneMath& zm);
    void FitToTable();

    std::unique_ptr<Ui::TF_CritTimes> ui;
    QString Caption_;  // the dialog's own caption, before any note of a stopped run
};
