#pragma once
// A chart saved as a picture of a chosen size, not the window's: the chart is laid out anew at
// a size where its axis labels, title and critical-time label have room (about 800 × 500
// window pixels), then drawn scaled up to fill the picture's pixels, so a large picture is
// sharp and its labels keep their places. The PNG carries the resolution for print; the SVG
// is the same drawing in vectors, its physical size that of the PNG at that resolution.

#include <QSize>
#include <QSizeF>
#include <QString>
#include <functional>

class QChartView;
class QImage;
class QWidget;

struct ChartPictureSize {
    QSize Pixels{1600, 1000};  // the picture's width and height [px]
    int Dpi = 300;             // for print [dots per inch]
};

// The limits the size dialog and the settings keep to.
inline constexpr int kMinPicturePixels = 200;
inline constexpr int kMaxPicturePixels = 8000;
inline constexpr int kMinPictureDpi = 72;
inline constexpr int kMaxPictureDpi = 1200;

// The size the chart is laid out at for a picture of `pixels`: the picture's shape, scaled so
// that the layout is at least 800 wide and 500 high and equals one of them (a large picture
// draws it scaled up, a small one scaled down: its labels never crowd each other).
QSizeF ChartLayoutSize(QSize pixels);

// Lays the view's chart out at `layout` (window pixels), runs `use`, and gives the chart back
// its size in the window.
void WithChartLaidOut(QChartView* view, QSizeF layout, const std::function<void()>& use);

// The chart as a PNG-ready image of size.Pixels with size.Dpi as its resolution.
QImage ChartPicture(QChartView* view, const ChartPictureSize& size);

// Writes the chart to `path` as PNG or SVG (`svg`) at `size`, whole or not at all; `title` is
// the SVG's title. Returns why it failed, empty on success.
QString SaveChartPicture(QChartView* view, const QString& path, bool svg, const QString& title, const ChartPictureSize& size);

// The size last chosen (the default the first time), kept in the settings.
ChartPictureSize LastChartPictureSize();
void KeepChartPictureSize(const ChartPictureSize& size);

// Asks for the picture's width, height and resolution over `parent`, opening with `size`;
// false when cancelled. Object names: EditPictureWidth, EditPictureHeight, EditPictureDpi.
bool AskChartPictureSize(QWidget* parent, ChartPictureSize& size);
