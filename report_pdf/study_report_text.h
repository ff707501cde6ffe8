#pragma once
// The study report's text as one HTML text, section by section, and the charts it places (an
// inner header of report_pdf/): the title page with the study's runs, the varied inputs and
// their drawn values, each room's blocking time and verdict, each escape route's t_р and P_э,
// the failed runs. Figures and tables are numbered in order; each chart stands as a marker
// paragraph that the writer replaces by the chart.
#include <QDateTime>
#include <QString>
#include <vector>

#include "study_chart.h"
#include "study_file.h"
#include "study_table.h"

namespace zfpdf {

// The height of an input's histogram, four to a page [px at 96 dpi].
inline constexpr double kSmallChart = 190;

// The marker of chart `index` in the text.
QString StudyChartMarker(std::size_t index);

struct StudyReportInput {
    const zfcli::study::Study& Study;
    const zfcli::study::SummaryData& Data;
    zfcli::study::Share Part;
    QString FolderName;  // the study folder's name, as the user knows it
    QString StudySha;    // SHA-256 of the folder's study.json, in hex
    QDateTime Made;
    QString Version;
};

class StudyReportText {
public:
    explicit StudyReportText(const StudyReportInput& in) : in_(in) {}
    void Build();
    const QString& Html() const { return html_; }
    const std::vector<DistributionChart>& Charts() const { return charts_; }

private:
    void TitlePage();
    void Inputs();
    void InputCharts();
    void Room(std::size_t room);
    void Route(std::size_t route);
    void FailedRuns();
    // A table under its numbered caption; returns its number.
    int Table(const QString& caption, const std::vector<std::vector<QString>>& rows, const std::vector<int>& widths = {});
    // A chart and its numbered caption under it; returns its number.
    int Figure(DistributionChart chart, const QString& caption);
    std::vector<std::vector<QString>> VerdictRows(const zfcli::study::SummaryData::RoomVerdicts& v) const;
    void Html(const QString& html) { html_ += html; }

    const StudyReportInput& in_;
    QString html_;
    std::vector<DistributionChart> charts_;
    int tables_ = 0, figures_ = 0;
};

// "33,6" with `decimals` decimals, the report's decimal comma and a minus sign; "—" for none.
QString Fixed(const std::optional<double>& v, int decimals);

}  // namespace zfpdf
