#pragma once
// "О модели": how far the model is from fire experiments, reached from the results window.

#include <QDialog>
#include <functional>

class QPlainTextEdit;

class TModelInfoDialog : public QDialog {
    Q_OBJECT
public:
    // `usedModel`: the figures of the model the run used (UsedModelAccuracyText), shown first;
    // then the reference model's figures for every compared quantity (ModelLimitsText).
    explicit TModelInfoDialog(QWidget* parent = nullptr, const QString& usedModel = {});
    // The text shown.
    QString Text() const;

private:
    QPlainTextEdit* Text_;
};

// "О модели..." in the chart's right-click menu (after a separator) and on F1 anywhere in
// `window`; both open the dialog modally over `window`, with the figures `usedModel` gives for
// the run shown at that moment (none: the reference model's only). Moves no control.
void AddModelInfoAction(QWidget* window, QWidget* chart, std::function<QString()> usedModel = {});
