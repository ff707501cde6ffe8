// The results window's ways of taking results away: the chart saved as PNG or SVG or copied as
// an image, the table's rows copied, the shown room's samples saved as CSV.
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <optional>

#include "result_chart.h"
#include "result_export.h"
#include "u_ShowResult.h"
#include "ui_u_ShowResult.h"

namespace {

const char* const kPngFilter = "Рисунок PNG (*.png)";
const char* const kSvgFilter = "Рисунок SVG (*.svg)";
// The first form opens as columns in a Russian spreadsheet; the second is the runner's.
const char* const kCsvFilter = "CSV для таблиц на русском: «;» и десятичная запятая (*.csv)";
const char* const kPlainCsvFilter = "CSV как у zonefire-cli: «,» и десятичная точка (*.csv)";

}  // namespace

void TF_ShowResult::SetUpExport() {
    // Chart: right-click menu of its own actions.
    auto* saveChart = new QAction(QStringLiteral("Сохранить график..."), ui->ChartResult);
    saveChart->setObjectName(QStringLiteral("ActSaveChart"));
    auto* copyChart = new QAction(QStringLiteral("Копировать график"), ui->ChartResult);
    copyChart->setObjectName(QStringLiteral("ActCopyChart"));
    ui->ChartResult->addActions({saveChart, copyChart});
    ui->ChartResult->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(saveChart, &QAction::triggered, this, &TF_ShowResult::SaveChartAs);
    connect(copyChart, &QAction::triggered, this, &TF_ShowResult::CopyChart);

    // Table: "Копировать" (also Ctrl+C), then "Сохранить в CSV...".
    AddCopyRowsAction(ui->GridResult);
    auto* saveCsv = new QAction(QStringLiteral("Сохранить в CSV..."), ui->GridResult);
    saveCsv->setObjectName(QStringLiteral("ActSaveCsv"));
    ui->GridResult->addAction(saveCsv);
    connect(saveCsv, &QAction::triggered, this, &TF_ShowResult::SaveTableCsvAs);
}



void TF_ShowResult::SetSavePathAsker(SavePathAsker asker) { SavePathAsker_ = std::move(asker); }
void TF_ShowResult::SetErrorReporter(ErrorReporter reporter) { ErrorReporter_ = std::move(reporter); }
void TF_ShowResult::SetPictureSizeAsker(PictureSizeAsker asker) { PictureSizeAsker_ = std::move(asker); }

QString TF_ShowResult::AskSavePath(const QString& caption, const QString& suggestedName, const QStringList& filters,
                                   QString* chosenFilter) {
    if (SavePathAsker_) return SavePathAsker_(caption, suggestedName, filters, chosenFilter);
    const QDir dir(SaveDir_.isEmpty() ? QDir::homePath() : SaveDir_);
    return QFileDialog::getSaveFileName(this, caption, dir.filePath(suggestedName), filters.join(QStringLiteral(";;")),
                                        chosenFilter);
}

void TF_ShowResult::ReportError(const QString& message) {
    if (ErrorReporter_) {
        ErrorReporter_(message);
        return;
    }
    QMessageBox box(QMessageBox::Warning, windowTitle(), message, QMessageBox::Ok, this);
    box.exec();
}

// The chart as saved or copied: its title names the room as well, since a picture leaves the
// window whose room list said which room it shows.
QImage TF_ShowResult::WithRoomInTitle(const std::function<QImage()>& take) {
    const QString shown = Chart_->Title();
    if (ShownRoom_ >= 0) Chart_->SetTitle(UnbrokenRoomNumber(RoomCaption(Description_, ShownRoom_)) + QStringLiteral(". ") + shown);
    QImage image = take();
    if (ShownRoom_ >= 0) Chart_->SetTitle(shown);
    return image;
}

void TF_ShowResult::SaveChartAs() {
    const QString png = kPngFilter, svg = kSvgFilter;
    QString filter = png;
    const QString name = ShownRoom_ < 0 ? QStringLiteral("График.png")
                                        : QStringLiteral("Помещение_%1_%2.png").arg(ShownRoom_ + 1).arg(ShownFileWord_);
    // The picture's size first, as last chosen (1600 × 1000 at 300 dpi the first time).
    ChartPictureSize size = LastChartPictureSize();
    if (!(PictureSizeAsker_ ? PictureSizeAsker_(size) : AskChartPictureSize(this, size))) return;
    KeepChartPictureSize(size);
    QString path = AskSavePath(QStringLiteral("Сохранить график"), name, {png, svg}, &filter);
    if (path.isEmpty()) return;
    // The name's suffix decides; a name without one takes the type chosen in the dialog.
    std::optional<ChartFileFormat> format = ChartFormatOfName(path);
    if (!format) {
        format = filter == svg ? ChartFileFormat::Svg : ChartFileFormat::Png;
        path += *format == ChartFileFormat::Svg ? QStringLiteral(".svg") : QStringLiteral(".png");
    }
    QString failure;
    WithRoomInTitle([&] {
        failure = SaveChartPicture(ui->ChartResult, path, *format == ChartFileFormat::Svg,
                                   Chart_->Title().replace(QChar(0x00A0), QLatin1Char(' ')), size);
        return QImage();
    });
    if (!failure.isEmpty()) {
        ReportError(failure);
        return;
    }
    SaveDir_ = QFileInfo(path).absolutePath();
}

void TF_ShowResult::CopyChart() {
    QGuiApplication::clipboard()->setImage(WithRoomInTitle([this] { return ChartImage(ui->ChartResult); }));
}

void TF_ShowResult::CopyTable() { CopyTableRows(ui->GridResult); }

void TF_ShowResult::SaveTableCsvAs() {
    if (Scenario_ == nullptr || ShownRoom_ < 0 || ShownRoom_ >= Scenario_->RoomCount()) return;
    QString filter = kCsvFilter;
    QString path = AskSavePath(QStringLiteral("Сохранить в CSV"), QStringLiteral("Помещение_%1.csv").arg(ShownRoom_ + 1),
                               {QString(kCsvFilter), QString(kPlainCsvFilter)}, &filter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".csv");
    const CsvForm form = filter == kPlainCsvFilter ? CsvForm::Plain : CsvForm::Spreadsheet;
    const QString failure = SaveRoomCsv(*Scenario_, ShownRoom_, path, form);
    if (!failure.isEmpty()) {
        ReportError(failure);
        return;
    }
    SaveDir_ = QFileInfo(path).absolutePath();
}
