#pragma once
// The report's text, section by section, as one HTML text (an inner header of report_pdf/).
#include <QString>
#include <QStringList>
#include <utility>
#include <algorithm>
#include <string>
#include <vector>

#include "report_html.h"
#include "report_pdf.h"
#include "verdict_table.h"
#include "model/scenario.h"

class QTextDocument;

namespace zfpdf {

// The report is written as one HTML text; each chart stands as a marker paragraph that
// PlaceCharts then replaces by the custom object drawing it. The inputs start a page after the
// title page; the other sections follow on, their headings kept with what follows (KeepTogether).
class ReportBuilder {
public:
    ReportBuilder(zf::TzoneMath& zm, const ScenarioDescription& description, const ReportStamp& stamp)
        : zm_(zm), d_(description), stamp_(stamp),
          summary_(zfreport::SummaryWithVerdict(zm, description.Evacuation, num_.Separator(), description.RoomNameList())) {}

    void TitlePage();
    void Contents();  // where the contents stand; their lines are written by Text()
    void Inputs();    // report_builder.cpp
    void Building();
    void Results();   // report_results.cpp
    void Charts();
    void Scope();       // report_scope.cpp
    void Validation();
    // The whole text, the contents in their place: a line per section with a placeholder for
    // its page, which NumberContents fills once the text is laid out.
    QString Text() const;

private:
    void InputsTable();
    void CriticalValues();
    void EvacuationTimes();
    void Leaks();
    // The summary's cells on paper: rooms as "№1 Кабинет", headers in words with their unit,
    // t_бл not reached said in words.
    std::vector<std::vector<std::string>> PaperCells(std::vector<std::vector<std::string>> cells) const;
    void TimesTable();
    void RoutesSheet();  // report_routes.cpp
    void VerdictTable();
    // The factors that govern the blocking time of any room, each once, in zf::HazardKind order.
    std::vector<zf::HazardKind> GoverningFactors() const {
        std::vector<zf::HazardKind> factors;
        for (int k = 0; k < zf::kHazardCount; ++k)
            for (const zfreport::RoomVerdict& room : summary_.Verdict.Rooms)
                if (std::find(room.BlockingFactors.begin(), room.BlockingFactors.end(), k) != room.BlockingFactors.end()) {
                    factors.push_back(static_cast<zf::HazardKind>(k));
                    break;
                }
        return factors;
    }

private:
    void Html(const QString& html) { html_ += html; }
    void Section(const QString& title, bool newPage) {
        sections_ << title;
        const QString heading = newPage ? QStringLiteral("<h2 style=\"page-break-before: always\">%1</h2>") : QStringLiteral("<h2>%1</h2>");
        Html(heading.arg(Esc(title)));
    }

    zf::TzoneMath& zm_;
    const ScenarioDescription& d_;
    const ReportStamp& stamp_;
    Numbers num_;
    zfreport::VerdictSummary summary_;
    QString html_;
    QStringList sections_;   // the sections' titles, in order
    qsizetype contentsAt_ = -1;  // where the contents stand in html_; -1: none
    // The figures of room `room`'s charts: the first one's number and how many.
    std::pair<int, int> Figures(int room) const;
};

// The page placeholder of the contents' line of section `index` (from 0).
QString ContentsPagePlaceholder(int index);
// The contents' own heading, which is no line of them.
inline const QString kContentsTitle = QStringLiteral("Содержание");
// Writes each section's page into its line of the contents, once `doc` is laid out in pages.
void NumberContents(QTextDocument& doc);

}  // namespace zfpdf
