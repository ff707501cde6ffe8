#include "result_export.h"

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <cmath>
#include <set>
#include <sstream>

#include "number_format.h"
#include "number_text.h"
#include "output_file.h"
#include "sample_csv.h"
#include "verdict.h"
#include "model/scenario.h"

namespace {

// A cell's text on one line of the copied table: tabs and line breaks would split it.
QString CellText(const QVariant& value) {
    QString text = value.toString();
    for (QChar& ch : text)
        if (ch == u'\t' || ch == u'\n' || ch == u'\r') ch = u' ';
    return text;
}

}  // namespace

QString ExportFailureText(const std::string& failure) {
    return QStringLiteral("Файл не сохранен, прежний файл (если он был) остался как был.\n%1.\nПроверьте, что папка "
                          "существует и в нее можно писать, освободите место на диске или сохраните файл в другое место.")
        .arg(QString::fromStdString(failure));
}

QString WriteWholeFile(const QString& path, const QByteArray& bytes) {
    try {
        zf::project::AtomicFile file(QFile::encodeName(path).toStdString());
        file.Stream().write(bytes.constData(), static_cast<std::streamsize>(bytes.size()));
        file.Commit();
        return {};
    } catch (const zf::project::OutputError& e) {
        return ExportFailureText(e.what());
    }
}

std::optional<ChartFileFormat> ChartFormatOfName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"png") return ChartFileFormat::Png;
    if (suffix == u"svg") return ChartFileFormat::Svg;
    return std::nullopt;
}

QImage ChartImage(QGraphicsView* view) {
    // The viewport holds the drawing; the view's frame around it is no part of the chart.
    return view->viewport()->grab().toImage();
}

QString TableRowsText(const QAbstractItemView* view) {
    const QAbstractItemModel* model = view->model();
    if (model == nullptr) return {};
    std::set<int> rows;
    if (const QItemSelectionModel* selection = view->selectionModel(); selection != nullptr)
        for (const QModelIndex& index : selection->selectedIndexes()) rows.insert(index.row());
    if (rows.empty())
        for (int r = 0; r < model->rowCount(); ++r) rows.insert(r);

    const int columns = model->columnCount();
    QString text;
    for (int c = 0; c < columns; ++c)
        text += (c > 0 ? QStringLiteral("\t") : QString()) + CellText(model->headerData(c, Qt::Horizontal));
    text += u'\n';
    for (int r : rows) {
        for (int c = 0; c < columns; ++c)
            text += (c > 0 ? QStringLiteral("\t") : QString()) + CellText(model->index(r, c).data(Qt::EditRole));
        text += u'\n';
    }
    return text;
}

void CopyTableRows(const QAbstractItemView* view) { QGuiApplication::clipboard()->setText(TableRowsText(view)); }

QAction* AddCopyRowsAction(QAbstractItemView* view) {
    auto* copy = new QAction(QStringLiteral("Копировать"), view);
    copy->setObjectName(QStringLiteral("ActCopyRows"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(copy, &QAction::triggered, view, [view] { CopyTableRows(view); });
    view->addAction(copy);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    return copy;
}

namespace {

// The header of the spreadsheet form, by sample element, each quantity with its unit.
const char* const kSpreadsheetColumns[zf::ResultSample::kCount] = {
    "Площадь очага пожара, м²",
    "Расход конвективной колонки, кг/с",  // the fire room; elsewhere kInflowColumn
    "Координата задымленной зоны, м",
    "Плотность газа в задымленной зоне, кг/м³",
    "Температура газа в задымленной зоне, К",
    "Расход газов через проемы, кг/с",
    "Координата задымленной зоны до учета потоков, м",
    "Температура в рабочей зоне, К",
    "Дальность видимости, м",
    "Парциальная плотность кислорода, кг/м³",
    "Тепловое излучение, Вт/м²",
    "Парциальная плотность оксида углерода, кг/м³",
    "Парциальная плотность диоксида углерода, кг/м³",
    "Парциальная плотность хлороводорода, кг/м³",
};
const char* const kInflowColumn = "Поступление газа через проемы, кг/с";

QString CommaNumber(double value) { return QString::fromStdString(zfreport::GeneralNumberText(value, ",")); }


}  // namespace

QString SpreadsheetRoomCsv(const zf::TzoneMath& zm, int room) {
    QString text = QStringLiteral("Время, с");
    for (int e = 0; e < zf::ResultSample::kCount; ++e)
        text += u';' + QString::fromUtf8(e == 1 && room != 0 ? kInflowColumn : kSpreadsheetColumns[e]);
    text += u'\n';
    const zf::TRoom& r = *zm.Rooms[static_cast<std::size_t>(room)];
    const int samples = zfreport::RecordedSampleCount(zm);
    for (int m = 0; m < samples; ++m) {
        // Up to 15 significant digits, as the table shows them: 0,15, not 0,15000000000000002.
        text += CommaNumber(zfreport::SampleTime(zm, m));
        const zf::ResultSample& sample = r.Samples[static_cast<std::size_t>(m)];
        for (int e = 0; e < zf::ResultSample::kCount; ++e) text += u';' + CommaNumber(sample[e]);
        text += u'\n';
    }
    return text;
}

QString SaveRoomCsv(const zf::TzoneMath& zm, int room, const QString& path, CsvForm form) {
    if (form == CsvForm::Spreadsheet) {
        // The byte-order mark tells a spreadsheet the file is UTF-8, so the header reads in Cyrillic.
        return WriteWholeFile(path, QByteArray("\xEF\xBB\xBF") + SpreadsheetRoomCsv(zm, room).toUtf8());
    }
    std::ostringstream csv;
    zfreport::WriteRoomCsv(csv, zm, room);
    const std::string text = csv.str();
    return WriteWholeFile(path, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

QString StoppedRunNote(const zf::TzoneMath& zm) {
    if (!zm.Stopped) return {};
    return QStringLiteral("Расчет остановлен на %1 с").arg(FormatGeneral(zfreport::RunEndTime(zm)));
}

QString RunEndBannerText(const zf::TzoneMath& zm) {
    const zfreport::RunReach reach = zfreport::RunReachOf(zm);
    return QString::fromStdString(zfreport::RunEndBanner(reach, FormatGeneral(reach.Time).toStdString()));
}
