// Takes a picture of every window that holds a table or a chart, as a user sees it on the
// screen the program runs on (run it under `xvfb-run -s "-screen 0 1366x768x24"` to see a
// laptop's screen), each at its own first size and again filling the screen:
//
//   window_look OUTPUT_FOLDER EXAMPLES_FOLDER [STUDY_SUMMARY_JSON]
//
// A run stopped part way is shown too, so the windows' notes of a stopped run can be looked at.

#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

#include "chart_picture.h"
#include "program_font.h"
#include "project/scenario_file.h"
#include "qt_translations.h"
#include "report_pdf.h"
#include "routes_dialog.h"
#include "study_window.h"
#include "u_CritTimes.h"
#include "u_ShowResult.h"
#include "u_main.h"

namespace {

bool Save(QWidget* window, const QDir& out, const QString& name) {
    QApplication::processEvents();
    QTest::qWait(50);
    const bool saved = window->grab().save(out.filePath(name));
    std::fprintf(stderr, "%s %s (%dx%d)\n", saved ? "saved" : "NOT SAVED", qPrintable(out.filePath(name)),
                 window->width(), window->height());
    return saved;
}

// Saves the window at its own size, then filling the screen's available area.
bool SaveBoth(QWidget* window, const QDir& out, const QString& name) {
    bool ok = Save(window, out, name + QStringLiteral("-first.png"));
    const QSize first = window->size();
    window->resize(window->screen()->availableSize());
    ok = Save(window, out, name + QStringLiteral("-screen.png")) && ok;
    window->resize(first);
    return ok;
}

// Stops the run at its second refresh: a clock that moves a second at every reading.
class StopSoon : public zf::RunView {
public:
    StopSoon() { TickMs = &Clock; }
    bool ProgressVisible() override { return ++asked_ < 40; }
    static std::int64_t Clock() {
        static std::int64_t now = 0;
        return now += 7;
    }

private:
    int asked_ = 0;
};

bool SaveResults(const QString& examplePath, const QDir& out, const QString& prefix, bool stop) {
    QFile file(examplePath);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const std::string text = file.readAll().toStdString();
    zf::TzoneMath zm;
    zf::project::Document document;
    if (zf::project::ReadScenario(text, zm) || zf::project::ReadDocument(text, document)) return false;
    StopSoon view;
    if (!(stop ? zm.Run(view) : zm.Run())) return false;
    TF_ShowResult results;
    results.SetDescription(DescribeDocument(document, QFileInfo(examplePath).fileName(), QByteArray()));
    results.PrepareResults(zm);
    results.show();
    auto* all = results.findChild<QTabWidget*>(QStringLiteral("PageAllResults"));
    bool ok = true;
    for (int page = 0; page < 2; ++page) {
        all->setCurrentIndex(page);
        auto* inner = results.findChild<QTabWidget*>(page == 0 ? QStringLiteral("PageResults") : QStringLiteral("PageOFP"));
        for (int view = 0; view < 2; ++view) {
            inner->setCurrentIndex(view);
            ok = SaveBoth(&results, out, QStringLiteral("%1-results-%2-%3").arg(prefix, page == 0 ? "layer" : "hazard",
                                                                                    view == 0 ? "chart" : "table")) && ok;
        }
    }
    // The hazard chart as "Сохранить график..." writes it: at the default size and at a small one.
    all->setCurrentIndex(1);
    results.findChild<QTabWidget*>(QStringLiteral("PageOFP"))->setCurrentIndex(0);
    QApplication::processEvents();
    auto* chart = results.findChild<QChartView*>(QStringLiteral("ChartResult"));
    for (const ChartPictureSize size : {ChartPictureSize{}, ChartPictureSize{{472, 364}, 300}}) {
        const QString name = out.filePath(QStringLiteral("%1-chart-export-%2x%3.png").arg(prefix).arg(size.Pixels.width()).arg(size.Pixels.height()));
        ok = ChartPicture(chart, size).save(name) && ok;
        std::fprintf(stderr, "saved %s\n", qPrintable(name));
    }
    results.btnCritTimesClick();
    if (auto* summary = results.findChild<TF_CritTimes*>(); summary != nullptr)
        ok = SaveBoth(summary, out, prefix + QStringLiteral("-summary")) && ok;
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fputs("usage: window_look OUTPUT_FOLDER EXAMPLES_FOLDER [STUDY_SUMMARY_JSON]\n", stderr);
        return 2;
    }
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    UseProgramFont();
    InstallQtRussianTranslations(&app);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QDir examples(QString::fromLocal8Bit(argv[2]));
    std::fprintf(stderr, "screen %dx%d\n", app.primaryScreen()->availableSize().width(),
                 app.primaryScreen()->availableSize().height());
    bool ok = true;
    {
        Tf_main window;
        window.show();
        ok = window.OpenExample(examples.filePath(QStringLiteral("office_floor.json"))) && ok;
        ok = SaveBoth(&window, out, QStringLiteral("main")) && ok;
    }
    {
        // The routes window with one route of two segments.
        TF_Routes routes;
        zf::flow::Route route;
        route.Name = "Лестница А";
        route.People = 40;
        route.StartDelay = 60;
        route.Segments = {{zf::flow::SegmentKind::Horizontal, 12, 1.6, 0}, {zf::flow::SegmentKind::Doorway, 0, 0.9, 1}};
        routes.Show({route}, 2);
        routes.show();
        ok = SaveBoth(&routes, out, QStringLiteral("routes")) && ok;
    }
    ok = SaveResults(examples.filePath(QStringLiteral("office_floor.json")), out, QStringLiteral("office"), false) && ok;
    ok = SaveResults(examples.filePath(QStringLiteral("five_rooms_corridor.json")), out, QStringLiteral("five"), false) && ok;
    ok = SaveResults(examples.filePath(QStringLiteral("office_floor.json")), out, QStringLiteral("stopped"), true) && ok;
    if (argc > 3) {
        StudyWindow study;
        if (const auto refused = study.OpenStudy(QString::fromLocal8Bit(argv[3]))) {
            std::fprintf(stderr, "%s\n", qPrintable(*refused));
            ok = false;
        } else {
            study.show();
            ok = SaveBoth(&study, out, QStringLiteral("study")) && ok;
        }
    }
    return ok ? 0 : 1;
}
