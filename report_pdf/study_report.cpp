#include "study_report.h"

#include <QAbstractTextDocumentLayout>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextObjectInterface>

#include "report_html.h"
#include "report_pages.h"
#include "report_text.h"
#include "study_folder.h"
#include "study_report_text.h"

namespace {

using namespace zfcli::study;

constexpr int kDotsPerInch = 96;  // as the run's report: charts keep their proportions and fonts
constexpr double kMarginLeftMm = 20;  // binding side
constexpr double kMarginOtherMm = 15;

constexpr int kChartObjectType = QTextFormat::UserObject + 2;
enum ChartProperty { kChartIndex = QTextFormat::UserProperty + 1, kChartWidth };

// The text document's custom object that draws the report's charts.
class StudyChartObject : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    StudyChartObject(const std::vector<zfpdf::DistributionChart>& charts, QObject* parent) : QObject(parent), charts_(charts) {}
    QSizeF intrinsicSize(QTextDocument*, int, const QTextFormat& format) override {
        return QSizeF(format.doubleProperty(kChartWidth), Chart(format).Height);
    }
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int, const QTextFormat& format) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        zfpdf::PaintDistributionChart(*painter, rect, Chart(format));
        painter->restore();
    }

private:
    const zfpdf::DistributionChart& Chart(const QTextFormat& format) const {
        return charts_.at(static_cast<std::size_t>(format.intProperty(kChartIndex)));
    }
    const std::vector<zfpdf::DistributionChart>& charts_;
};

void PlaceCharts(QTextDocument& doc, double width) {
    const QRegularExpression marker(QChar(kReportPlaceholder) + QStringLiteral("studychart (\\d+)") + QChar(kReportPlaceholder));
    for (QTextCursor at = doc.find(marker); !at.isNull(); at = doc.find(marker, at)) {
        QTextCharFormat format;
        format.setObjectType(kChartObjectType);
        format.setProperty(kChartIndex, marker.match(at.selectedText()).captured(1).toInt());
        format.setProperty(kChartWidth, width);
        at.insertText(QString(QChar::ObjectReplacementCharacter), format);
    }
}

// The process's default locale, Russian, while the report is drawn: the charts write their
// numbers in the default locale.
class DefaultLocaleForReport {
public:
    DefaultLocaleForReport() { QLocale::setDefault(ReportLocale()); }
    ~DefaultLocaleForReport() { QLocale::setDefault(previous_); }
    DefaultLocaleForReport(const DefaultLocaleForReport&) = delete;
    DefaultLocaleForReport& operator=(const DefaultLocaleForReport&) = delete;

private:
    QLocale previous_;
};

// The share of the study a folder holds, as its summary names it ("shard": "2/8"); the whole
// study when it names none.
Share ShareOf(const QString& folder) {
    QFile file(QDir(folder).filePath(QString::fromUtf8(kSummaryJson)));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QStringList shard = QJsonDocument::fromJson(file.read(1 << 20)).object().value(QStringLiteral("shard")).toString().split(QLatin1Char('/'));
    if (shard.size() != 2 || shard[0].toULongLong() < 1 || shard[0].toULongLong() > shard[1].toULongLong()) return {};
    return {shard[0].toULongLong(), shard[1].toULongLong()};
}

QString WriteReport(QIODevice& device, const zfpdf::StudyReportInput& in) {
    zfpdf::StudyReportText text(in);
    text.Build();
    QPdfWriter writer(&device);
    writer.setResolution(kDotsPerInch);
    writer.setTitle(QStringLiteral("Отчет об исследовании неопределенности"));
    writer.setCreator(QStringLiteral("zonefire ") + in.Version);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginLeftMm, kMarginOtherMm, kMarginOtherMm, kMarginOtherMm), QPageLayout::Millimeter));
    const QRectF paper = writer.pageLayout().paintRectPixels(kDotsPerInch);
    const QSizeF page(paper.width(), paper.height() - zfpdf::kFooterHeight);
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setPageSize(page);
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    doc.setDefaultStyleSheet(QStringLiteral("h1 { font-size: 16pt; } h2 { font-size: 13pt; } h3 { font-size: 11pt; } th { background-color: #e8e8e8; }"));
    doc.documentLayout()->registerHandler(kChartObjectType, new StudyChartObject(text.Charts(), &doc));
    doc.setHtml(text.Html());
    PlaceCharts(doc, page.width() - 2 * doc.documentMargin() - 4);
    doc.markContentsDirty(0, doc.characterCount());  // the charts' sizes are known now: lay out again
    zfpdf::KeepTogether(doc);
    QPainter painter;
    if (!painter.begin(&writer)) return QStringLiteral("Не удалось начать запись отчета.");
    zfpdf::PaintPages(painter, writer, doc, page,
               QStringLiteral("zonefire %1 · исследование %2 · study.json SHA-256 %3…").arg(in.Version, in.FolderName, in.StudySha.left(16)));
    if (!painter.end()) return QStringLiteral("Не удалось записать отчет: %1").arg(device.errorString());
    return {};
}

}  // namespace

StudyReportOutcome WriteStudyReportPdf(const QString& path, const QString& folderPath, const ReportStamp& stamp) {
    const Folder folder{folderPath.toStdString()};
    Study study;
    if (auto bad = LoadFolderStudy(folder, study)) return {QStringLiteral("%1: %2").arg(folderPath, QString::fromStdString(*bad)), true};
    SummaryData data(study);
    if (auto bad = ReadSummaryData(folder, study, data))
        return {QStringLiteral("%1: runs.csv: %2").arg(folderPath, QString::fromStdString(*bad)), true};
    std::string studyText;
    if (auto bad = ReadSmallFile(folder.File(kStudyJson), studyText)) return {QString::fromStdString(*bad), true};
    const QString sha = QString::fromLatin1(QCryptographicHash::hash(QByteArray::fromStdString(studyText), QCryptographicHash::Sha256).toHex());
    const zfpdf::StudyReportInput in{study, data, ShareOf(folderPath), QFileInfo(folderPath).absoluteFilePath().section(QLatin1Char('/'), -1),
                                     sha, stamp.Made, stamp.Version};
    const DefaultLocaleForReport russian;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {QStringLiteral("Не удалось открыть файл для записи отчета:\n%1\n%2").arg(path, file.errorString())};
    if (const QString failure = WriteReport(file, in); !failure.isEmpty()) {
        file.cancelWriting();
        return {failure + QStringLiteral("\n") + path};
    }
    if (!file.commit()) return {QStringLiteral("Не удалось записать отчет в файл:\n%1\n%2").arg(path, file.errorString())};
    return {};
}

#include "study_report.moc"
