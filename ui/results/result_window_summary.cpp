// The results window's buttons beside the page tabs, which concern every room and both pages:
// the critical-times summary, the building of this calculation back in the editor, and the
// PDF report of the scenario shown.
#include <QFileInfo>
#include <QHBoxLayout>
#include <QToolButton>

#include "chart_quantities.h"
#include "u_CritTimes.h"
#include "shown_name.h"
#include "u_ShowResult.h"
#include "ui_u_ShowResult.h"

void TF_ShowResult::SetUpCornerButtons() {
    // The summary concerns every room and both pages: its button sits beside the page tabs,
    // where it leaves the pages as they are.
    BtnCritTimes_ = new QToolButton(ui->PageAllResults);
    BtnCritTimes_->setObjectName(QStringLiteral("btnCritTimes"));
    BtnCritTimes_->setText(QStringLiteral("Критические времена"));
    BtnCritTimes_->setToolTip(QStringLiteral("Время наступления критических значений ОФП во всех помещениях"));
    connect(BtnCritTimes_, &QToolButton::clicked, this, &TF_ShowResult::btnCritTimesClick);
    // The building of this calculation back in the editor, ready to change and run again.
    BtnRestoreBuilding_ = new QToolButton(ui->PageAllResults);
    BtnRestoreBuilding_->setObjectName(QStringLiteral("btnRestoreBuilding"));
    BtnRestoreBuilding_->setText(QStringLiteral("Вернуть здание"));
    BtnRestoreBuilding_->setToolTip(QStringLiteral("Вернуть здание последнего расчета в редактор (Ctrl+R)"));
    BtnRestoreBuilding_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(BtnRestoreBuilding_, &QToolButton::clicked, this, [this] {
        RestoreRequested_ = true;
        accept();
    });
    // The report, like the summary, concerns every room: its button stands beside it.
    BtnReport_ = new QToolButton(ui->PageAllResults);
    BtnReport_->setObjectName(QStringLiteral("btnReport"));
    BtnReport_->setText(QStringLiteral("Отчет..."));
    BtnReport_->setToolTip(QStringLiteral("Отчет в PDF: исходные данные, здание, критические времена, вывод по "
                                          "эвакуации и графики всех помещений"));
    connect(BtnReport_, &QToolButton::clicked, this, &TF_ShowResult::SaveReportAs);
    auto* corner = new QWidget(ui->PageAllResults);
    corner->setObjectName(QStringLiteral("PageCornerButtons"));
    auto* buttons = new QHBoxLayout(corner);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(4);
    buttons->addWidget(BtnRestoreBuilding_);
    buttons->addWidget(BtnReport_);
    buttons->addWidget(BtnCritTimes_);
    ui->PageAllResults->setCornerWidget(corner, Qt::TopRightCorner);
}

void TF_ShowResult::SetEvacuationInputs(const zfreport::EvacuationInputs& inputs) { Description_.Evacuation = inputs; }
void TF_ShowResult::SetDescription(const ScenarioDescription& description) { Description_ = description; }

void TF_ShowResult::SaveReportAs() {
    if (Scenario_ == nullptr) return;
    const QString pdf = QStringLiteral("Документ PDF (*.pdf)");
    QString filter = pdf;
    const QString base = Description_.FileName.isEmpty() ? QStringLiteral("Отчет")
                                                          : QFileInfo(Description_.FileName).completeBaseName();
    QString path = AskSavePath(QStringLiteral("Сохранить отчет"), base + QStringLiteral(".pdf"), {pdf}, &filter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    const QString failure = WriteReportPdf(path, *Scenario_, Description_);
    if (!failure.isEmpty()) {
        ReportError(failure);
        return;
    }
    SaveDir_ = QFileInfo(path).absolutePath();
}

void TF_ShowResult::btnCritTimesClick() {
    if (Scenario_ == nullptr) return;
    if (CritTimes_ == nullptr) CritTimes_ = new TF_CritTimes(this);
    QStringList tips;
    for (const zfreport::QuantityView& v : zfreport::kHazardViews) tips << QString(v.Item);
    CritTimes_->Fill(*Scenario_, tips, Description_.Evacuation, ShownNames(Description_.RoomNameList()));
    // Not modal: the charts stay at hand while the summary is open.
    CritTimes_->show();
    CritTimes_->raise();
    CritTimes_->activateWindow();
}
