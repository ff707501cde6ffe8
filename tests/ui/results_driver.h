#pragma once
// Drives the results window through its controls' object names on a scenario whose samples
// and critical times are filled by hand: every value tells its room, element and sample.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QChart>
#include <QChartView>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QTabWidget>
#include <QTableView>
#include <QXYSeries>

#include "radio_group.h"
#include "u_ShowResult.h"
#include "model/scenario.h"

// Element e of sample m of room r.
inline double Value(int r, int e, int m) { return 1000.0 * (r + 1) + 100.0 * e + m; }

// `rooms` rooms of `sampleCount` samples; room r reaches factor k at 10·(r + 1) + k + 0.25 s.
inline void Fill(zf::TzoneMath& zm, int rooms, int sampleCount, int stepsPerSample, double dt) {
    zm.dt = dt;
    zm.StepsPerSample = stepsPerSample;
    zm.SampleCount = sampleCount;
    for (int r = 0; r < rooms; ++r) {
        zm.AddRoom(4, 5, 3);
        zf::TRoom& room = zm.Room(r);
        room.Samples.resize(static_cast<std::size_t>(sampleCount));
        for (int m = 0; m < sampleCount; ++m)
            for (int e = 0; e < zf::ResultSample::kCount; ++e) room.Samples[static_cast<std::size_t>(m)][e] = Value(r, e, m);
        for (int k = 0; k < zf::kHazardCount; ++k) room.*zf::TRoom::CritTimeField(static_cast<zf::HazardKind>(k)) = 10.0 * (r + 1) + k + 0.25;
    }
}

// A series of the results window's chart, by its object name.
inline QXYSeries* FindSeries(QChartView* chart, const char* name) {
    for (QAbstractSeries* s : chart->chart()->series())
        if (s->objectName() == QLatin1String(name)) return qobject_cast<QXYSeries*>(s);
    ADD_FAILURE() << name;
    return nullptr;
}

class ResultsWindow : public ::testing::Test {
protected:
    template <class T> T* Find(const char* name) {
        T* child = w.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QXYSeries* Series(const char* name) { return FindSeries(Find<QChartView>("ChartResult"), name); }
    QGraphicsTextItem* ChartTextItem(const char* name) {
        for (QGraphicsItem* item : Find<QChartView>("ChartResult")->scene()->items())
            if (QGraphicsObject* o = item->toGraphicsObject(); o != nullptr && o->objectName() == QLatin1String(name))
                return qobject_cast<QGraphicsTextItem*>(o);
        ADD_FAILURE() << name;
        return nullptr;
    }
    QString ChartText(const char* name) {
        const QGraphicsTextItem* item = ChartTextItem(name);
        return item != nullptr ? item->toPlainText() : QString();
    }
    // Row 0 is the grid's header row, rows 1.. the samples.
    QString Cell(int row, int col) {
        const QAbstractItemModel* model = Find<QTableView>("GridResult")->model();
        if (row == 0) return model->headerData(col, Qt::Horizontal).toString();
        return model->index(row - 1, col).data().toString();
    }
    int GridRows() { return Find<QTableView>("GridResult")->model()->rowCount() + 1; }
    TRadioGroup* Radio(const char* name) { return Find<TRadioGroup>(name); }
    void ShowHazards() { Find<QTabWidget>("PageAllResults")->setCurrentWidget(Find<QWidget>("TabOFP")); }
    void ShowParameters() { Find<QTabWidget>("PageAllResults")->setCurrentWidget(Find<QWidget>("TabResults")); }
    void ShowTable(const char* page) { Find<QTabWidget>(page)->setCurrentIndex(1); }
    void ShowChart(const char* page) { Find<QTabWidget>(page)->setCurrentIndex(0); }

    zf::TzoneMath zm;
    TF_ShowResult w;
};
