#include "model_info_dialog.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "model_accuracy.h"

TModelInfoDialog::TModelInfoDialog(QWidget* parent, const QString& usedModel) : QDialog(parent) {
    setObjectName(QStringLiteral("ModelInfo"));
    setWindowTitle(QStringLiteral("О модели"));
    const QString text = usedModel.isEmpty() ? ModelLimitsText()
                                             : usedModel + QStringLiteral("\n\nЭталонная модель (без вариантов) по всем "
                                                                         "сравненным величинам.\n\n") + ModelLimitsText();
    // Read-only but selectable, so the figures can be copied into a report.
    Text_ = new QPlainTextEdit(text, this);
    Text_->setObjectName(QStringLiteral("ModelInfoText"));
    Text_->setReadOnly(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Text_);
    layout->addWidget(buttons);
    resize(640, 420);
}

QString TModelInfoDialog::Text() const { return Text_->toPlainText(); }

void AddModelInfoAction(QWidget* window, QWidget* chart, std::function<QString()> usedModel) {
    auto* separator = new QAction(chart);
    separator->setSeparator(true);
    auto* info = new QAction(QStringLiteral("О модели..."), window);
    info->setObjectName(QStringLiteral("ActModelInfo"));
    info->setToolTip(QStringLiteral("Насколько расчет отличается от опытов"));
    info->setShortcut(QKeySequence::HelpContents);
    info->setShortcutContext(Qt::WindowShortcut);
    window->addAction(info);
    chart->addActions({separator, info});
    QObject::connect(info, &QAction::triggered, window, [window, usedModel = std::move(usedModel)] {
        TModelInfoDialog dialog(window, usedModel ? usedModel() : QString());
        dialog.exec();
    });
}
