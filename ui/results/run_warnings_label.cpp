#include "run_warnings_label.h"

#include <QLabel>
#include <QStringList>

#include "model/scenario.h"
#include "model_warnings.h"

void ShowRunWarnings(QLabel& label, const zf::TzoneMath& zm) {
    QStringList lines;
    for (const std::string& w : zfreport::RunWarnings(zm)) lines << QStringLiteral("Внимание: ") + QString::fromStdString(w);
    label.setText(lines.join(QStringLiteral("\n\n")));
    label.setWordWrap(true);
    label.setTextInteractionFlags(Qt::TextSelectableByMouse);  // to copy into a note
    label.setStyleSheet(QStringLiteral("background: #FFF59D; padding: 4px;"));
    label.setVisible(!lines.isEmpty());
}
