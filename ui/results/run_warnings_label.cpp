#include "run_warnings_label.h"

#include <QLabel>
#include <QStringList>

#include "model/scenario.h"
#include "model_warnings.h"
#include "report_text.h"  // VerdictColour

void ShowRunWarnings(QLabel& label, const zf::TzoneMath& zm) {
    QStringList lines;
    for (const std::string& w : zfreport::RunWarnings(zm)) lines << QStringLiteral("Внимание: ") + QString::fromStdString(w);
    label.setText(lines.join(QStringLiteral("\n\n")));
    label.setWordWrap(true);
    label.setTextInteractionFlags(Qt::TextSelectableByMouse);  // to copy into a note
    label.setStyleSheet(QStringLiteral("background: #FFF59D; padding: 4px;"));
    label.setVisible(!lines.isEmpty());
}

void ShowRunEndBanner(QLabel& label, const QString& text) {
    label.setText(text);
    label.setWordWrap(true);
    label.setTextInteractionFlags(Qt::TextSelectableByMouse);
    label.setStyleSheet(QStringLiteral("font-weight: bold; background: %1; padding: 4px;")
                            .arg(VerdictColour(zfreport::Verdict::Undetermined).name()));
    label.setVisible(!text.isEmpty());
}
