// The results window on a long run, offscreen: preparing it and the first painting of a
// 2000-point chart, then switching to the 2001-row table and back. Run by hand:
//   build/bench/results_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTabWidget>
#include <cstdlib>

#include "u_ShowResult.h"
#include "model/scenario.h"

namespace {

// Two rooms of 2000 samples each, filled with values that vary from sample to sample.
void FillLongRun(zf::TzoneMath& zm) {
    zm.dt = 0.0001;
    zm.StepsPerSample = 1000;
    zm.SampleCount = 2000;
    for (int r = 0; r < 2; ++r) {
        zm.AddRoom(5, 4, 3);
        zf::TRoom& room = zm.Room(r);
        room.Samples.resize(2000);
        for (int m = 0; m < 2000; ++m)
            for (int e = 0; e < zf::ResultSample::kCount; ++e) room.Samples[static_cast<std::size_t>(m)][e] = 0.001 * m + e + r;
        room.CritTimeT = 55.7;
    }
}

void BM_PrepareAndDrawChart(benchmark::State& state) {
    zf::TzoneMath zm;
    FillLongRun(zm);
    TF_ShowResult window;
    window.show();
    for (auto _ : state) {
        window.PrepareResults(zm);
        window.repaint();
        QApplication::processEvents();
    }
    window.hide();
}
BENCHMARK(BM_PrepareAndDrawChart)->Unit(benchmark::kMillisecond);

void BM_SwitchChartAndTable(benchmark::State& state) {
    zf::TzoneMath zm;
    FillLongRun(zm);
    TF_ShowResult window;
    window.show();
    window.PrepareResults(zm);
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("PageResults"));
    for (auto _ : state) {
        tabs->setCurrentIndex(1);  // the table of 2001 rows
        window.repaint();
        QApplication::processEvents();
        tabs->setCurrentIndex(0);  // back to the chart
        window.repaint();
        QApplication::processEvents();
    }
    window.hide();
}
BENCHMARK(BM_SwitchChartAndTable)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
