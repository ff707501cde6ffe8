#pragma once
// What result_export_test.cpp and result_export_table_test.cpp share: their includes, helpers and fixture.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QGraphicsTextItem>
#include <QImage>
#include <QItemSelectionModel>
#include <QRadioButton>
#include <QSet>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <charconv>
#include <cstring>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

#include "chart_picture.h"
#include "result_export.h"
#include "program_font.h"
#include "results_driver.h"
#include "sample_csv.h"
#include "../model/test_buildings.h"


inline bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Pixels within `tolerance` of `colour` in each channel.
inline int PixelsNear(const QImage& image, const QColor& colour, int tolerance = 12) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::abs(c.red() - colour.red()) <= tolerance && std::abs(c.green() - colour.green()) <= tolerance &&
                     std::abs(c.blue() - colour.blue()) <= tolerance;
        }
    return count;
}

inline const QColor kSeries1Colour(1, 73, 116);

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What an SVG file draws: its texts in document order (the lines of a wrapped text one after
// another), the font families they name, and how many vector shapes and embedded pictures it has.
struct SvgContent {
    QString title;
    QStringList texts;
    QSet<QString> fontFamilies;
    int shapes = 0;
    int images = 0;
    QString error;  // why the file is not well-formed XML
};

inline SvgContent ReadSvg(const QByteArray& data) {
    static const QSet<QString> kShapes{"path", "polyline", "polygon", "line", "rect", "circle", "ellipse"};
    SvgContent svg;
    QXmlStreamReader xml(data);
    bool seenSvg = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const QString name = xml.name().toString();
        seenSvg = seenSvg || name == "svg";
        if (name == "title") {
            svg.title = xml.readElementText();
        } else if (name == "text") {
            svg.fontFamilies.insert(xml.attributes().value("font-family").toString());
            svg.texts << xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (name == "image") {
            ++svg.images;
        } else if (kShapes.contains(name)) {
            ++svg.shapes;
        }
    }
    if (xml.hasError()) svg.error = xml.errorString();
    else if (!seenSvg) svg.error = QStringLiteral("no <svg> element");
    return svg;
}

class ResultsExport : public ResultsWindow {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        w.SetErrorReporter([this](const QString& message) { errors << message; });
        // The picture's size is answered without its dialog: `pictureSize`, or cancelled.
        w.SetPictureSizeAsker([this](ChartPictureSize& size) {
            askedPictureSize = size;
            size = pictureSize;
            return pictureAnswered;
        });
    }
    void TearDown() override { w.hide(); }

    // The next file dialog is answered with `name` in the temporary folder (empty: cancelled)
    // and the type whose filter contains `type`.
    void Answer(const QString& name, const QString& type = {}) {
        w.SetSavePathAsker([this, name, type](const QString& caption, const QString& suggested,
                                              const QStringList& filters, QString* chosen) {
            askedCaption = caption;
            askedName = suggested;
            askedFilters = filters;
            for (const QString& f : filters)
                if (!type.isEmpty() && f.contains(type)) *chosen = f;
            return name.isEmpty() ? QString() : dir.filePath(name);
        });
    }
    void Trigger(const char* action) {
        QAction* a = w.findChild<QAction*>(QString::fromLatin1(action));
        ASSERT_NE(a, nullptr) << action;
        a->trigger();
    }
    // A hazard chart with everything on it: curve, limit line, critical-time point and label.
    void ShowTemperatureChart() {
        Fill(zm, 2, 30, 10, 0.01);
        w.show();
        w.PrepareResults(zm);
        ShowHazards();
        QApplication::processEvents();
    }
    QSize ChartSize() { return Find<QChartView>("ChartResult")->viewport()->size(); }
    QString Clipboard() { return QGuiApplication::clipboard()->text(); }

    QTemporaryDir dir;
    QStringList errors;
    ChartPictureSize pictureSize;       // the size answered
    ChartPictureSize askedPictureSize;  // the size the window offered
    bool pictureAnswered = true;
    QString askedCaption, askedName;
    QStringList askedFilters;
};

inline const QString kTemperatureTitle = QStringLiteral("График зависимости температуры в рабочей зоне от времени");
