#include "result_export.h"

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <set>
#include <sstream>

#include "sample_csv.h"
#include "model/scenario.h"

namespace {

// A cell's text on one line of the copied table: tabs and line breaks would split it.
QString CellText(const QVariant& value) {
    QString text = value.toString();
    for (QChar& ch : text)
        if (ch == u'\t' || ch == u'\n' || ch == u'\r') ch = u' ';
    return text;
}

QString WriteFailure(const QString& path, const QString& reason) {
    return QStringLiteral("Не удалось записать файл\n%1\n(%2)").arg(QDir::toNativeSeparators(path), reason);
}

}  // namespace

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

QString SaveChart(QGraphicsView* view, const QString& path, ChartFileFormat format, const QString& title) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return WriteFailure(path, file.errorString());
    if (format == ChartFileFormat::Png) {
        if (!ChartImage(view).save(&file, "PNG")) {
            file.cancelWriting();
            return WriteFailure(path, file.errorString());
        }
    } else {
        const QRect area = view->viewport()->rect();
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(area.size());
        svg.setViewBox(QRect(QPoint(0, 0), area.size()));
        svg.setTitle(title);
        svg.setResolution(view->logicalDpiX());  // printed as large as it is on screen
        QPainter painter(&svg);
        painter.setRenderHints(view->renderHints());
        view->render(&painter, QRectF(QPointF(0, 0), area.size()), area);
        painter.end();
    }
    if (!file.commit()) return WriteFailure(path, file.errorString());
    return {};
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
            text += (c > 0 ? QStringLiteral("\t") : QString()) + CellText(model->index(r, c).data());
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

QString SaveRoomCsv(const zf::TzoneMath& zm, int room, const QString& path) {
    std::ostringstream csv;
    zfreport::WriteRoomCsv(csv, zm, room);
    const std::string text = csv.str();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return WriteFailure(path, file.errorString());
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        file.cancelWriting();
        return WriteFailure(path, file.errorString());
    }
    if (!file.commit()) return WriteFailure(path, file.errorString());
    return {};
}
