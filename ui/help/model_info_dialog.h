#pragma once
// "О модели": how far the model is from fire experiments, reached from the results window.

#include <QDialog>

class QPlainTextEdit;

class TModelInfoDialog : public QDialog {
    Q_OBJECT
public:
    explicit TModelInfoDialog(QWidget* parent = nullptr);
    // The text shown (ModelLimitsText of the built-in figures).
    QString Text() const;

private:
    QPlainTextEdit* Text_;
};

// "О модели..." in the chart's right-click menu (after a separator) and on F1 anywhere in
// `window`; both open the dialog modally over `window`. Moves no control.
void AddModelInfoAction(QWidget* window, QWidget* chart);
