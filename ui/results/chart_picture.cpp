#include "chart_picture.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QSvgGenerator>
#include <algorithm>

#include "result_export.h"

namespace {

constexpr double kLayoutWidth = 800;   // a chart this wide has room for its labels [px]
constexpr double kLayoutHeight = 500;  // and this high [px]
constexpr double kMetresPerInch = 0.0254;
constexpr double kMillimetresPerInch = 25.4;

// The scene's drawing of the chart at `layout`, scaled into `target` on `painter`.
void DrawChart(QChartView* view, QPainter& painter, QSizeF layout, const QRectF& target) {
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    WithChartLaidOut(view, layout, [&] {
        view->scene()->render(&painter, target, QRectF(view->chart()->pos(), layout), Qt::IgnoreAspectRatio);
    });
}

// The SVG drawn at `layout` in window pixels (fonts resolved as on screen), its physical size
// then set to that of the picture at its resolution: the generator would give it the size of
// the layout at 96 dpi.
QByteArray SvgBytes(QChartView* view, const QString& title, const ChartPictureSize& size) {
    const QSizeF layout = ChartLayoutSize(size.Pixels);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(layout.toSize());
    svg.setViewBox(QRectF(QPointF(0, 0), layout));
    svg.setTitle(title);
    svg.setResolution(view->logicalDpiX());
    QPainter painter(&svg);
    DrawChart(view, painter, layout, QRectF(QPointF(0, 0), layout));
    painter.end();
    QString text = QString::fromUtf8(buffer.data());
    const double mmPerPixel = kMillimetresPerInch / size.Dpi;
    // Only the drawing's root carries a size in millimetres.
    static const QRegularExpression width(QStringLiteral("width=\"[0-9.]+mm\"")), height(QStringLiteral("height=\"[0-9.]+mm\""));
    text.replace(width, QStringLiteral("width=\"%1mm\"").arg(size.Pixels.width() * mmPerPixel, 0, 'f', 2));
    text.replace(height, QStringLiteral("height=\"%1mm\"").arg(size.Pixels.height() * mmPerPixel, 0, 'f', 2));
    return text.toUtf8();
}

}  // namespace

QSizeF ChartLayoutSize(QSize pixels) {
    const double scale = std::min(pixels.width() / kLayoutWidth, pixels.height() / kLayoutHeight);
    return QSizeF(pixels.width() / scale, pixels.height() / scale);
}

void WithChartLaidOut(QChartView* view, QSizeF layout, const std::function<void()>& use) {
    QChart* chart = view->chart();
    const QSizeF shown = chart->size();
    chart->resize(layout);
    if (chart->layout() != nullptr) chart->layout()->activate();
    use();
    chart->resize(shown);
    if (chart->layout() != nullptr) chart->layout()->activate();
}

QImage ChartPicture(QChartView* view, const ChartPictureSize& size) {
    QImage image(size.Pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        // Painted at the image's default resolution, which resolves fonts as the screen does.
        QPainter painter(&image);
        DrawChart(view, painter, ChartLayoutSize(size.Pixels), QRectF(QPointF(0, 0), QSizeF(size.Pixels)));
    }
    const int dotsPerMetre = qRound(size.Dpi / kMetresPerInch);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

QString SaveChartPicture(QChartView* view, const QString& path, bool svg, const QString& title, const ChartPictureSize& size) {
    // Drawn in memory first, then written whole by the writer the building's save uses.
    QByteArray bytes;
    if (svg) {
        bytes = SvgBytes(view, title, size);
    } else {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ChartPicture(view, size).save(&buffer, "PNG");
    }
    return WriteWholeFile(path, bytes);
}

ChartPictureSize LastChartPictureSize() {
    const QSettings settings;
    ChartPictureSize size;
    const int width = settings.value(QStringLiteral("chartPicture/width"), size.Pixels.width()).toInt();
    const int height = settings.value(QStringLiteral("chartPicture/height"), size.Pixels.height()).toInt();
    size.Pixels = QSize(std::clamp(width, kMinPicturePixels, kMaxPicturePixels), std::clamp(height, kMinPicturePixels, kMaxPicturePixels));
    size.Dpi = std::clamp(settings.value(QStringLiteral("chartPicture/dpi"), size.Dpi).toInt(), kMinPictureDpi, kMaxPictureDpi);
    return size;
}

void KeepChartPictureSize(const ChartPictureSize& size) {
    QSettings settings;
    settings.setValue(QStringLiteral("chartPicture/width"), size.Pixels.width());
    settings.setValue(QStringLiteral("chartPicture/height"), size.Pixels.height());
    settings.setValue(QStringLiteral("chartPicture/dpi"), size.Dpi);
}

bool AskChartPictureSize(QWidget* parent, ChartPictureSize& size) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("ChartPictureSizeDialog"));
    dialog.setWindowTitle(QStringLiteral("Размер рисунка"));
    auto* form = new QFormLayout(&dialog);
    const auto field = [&](const char* name, const QString& label, int low, int high, int value, const QString& unit) {
        auto* box = new QSpinBox(&dialog);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(low, high);
        box->setValue(value);
        box->setSuffix(unit);
        form->addRow(label, box);
        return box;
    };
    QSpinBox* width = field("EditPictureWidth", QStringLiteral("&Ширина:"), kMinPicturePixels, kMaxPicturePixels, size.Pixels.width(), QStringLiteral(" пикс."));
    QSpinBox* height = field("EditPictureHeight", QStringLiteral("&Высота:"), kMinPicturePixels, kMaxPicturePixels, size.Pixels.height(), QStringLiteral(" пикс."));
    QSpinBox* dpi = field("EditPictureDpi", QStringLiteral("&Разрешение для печати:"), kMinPictureDpi, kMaxPictureDpi, size.Dpi, QStringLiteral(" dpi"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Далее..."));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отменить"));
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    width->selectAll();
    if (dialog.exec() != QDialog::Accepted) return false;
    size.Pixels = QSize(width->value(), height->value());
    size.Dpi = dpi->value();
    return true;
}
