#pragma once
// The progress window shown while a calculation runs, and the run's view of the windows.
#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <memory>

#include "model/run_view.h"

namespace Ui { class Tf_progress; }

// "Вычисление...": model time, current step and total steps of the running calculation.
// Not modal and kept on top; closing it (button or close box) only hides it, and the run
// takes a hidden window as the user's stop request. Create it without a parent: the run
// disables the main window, and a child window would be disabled with it.
class Tf_progress : public QDialog {
    Q_OBJECT
public:
    explicit Tf_progress(QWidget* parent = nullptr);
    ~Tf_progress() override;

    // Shows the window without waiting, centred on `over` when given.
    void ShowCentred(const QWidget* over);
    // The bar's maximum: the number of steps of the run. Position and texts stay as they are.
    void SetProgressMax(int total);
    // One refresh: bar position and step, model time in whole seconds, total steps.
    void WriteProgress(int iter, std::int64_t seconds, int total);

    void TBXButton1Click();  // "Закрыть"

private:
    std::unique_ptr<Ui::Tf_progress> ui;
};

// The run's platform layer over the progress window and the main window (which may be null,
// e.g. when a run is started without an editor around it).
class TProgressRunView : public zf::RunView {
public:
    TProgressRunView(Tf_progress& progress, QWidget* mainWindow);

    void ShowProgress() override;
    void SetProgressMax(int total) override;
    bool ProgressVisible() override;
    void WriteProgress(int iter, std::int64_t seconds, int total) override;
    void ProcessEvents() override;
    void CloseProgress() override;
    void SetMainEnabled(bool enabled) override;

private:
    Tf_progress& Progress_;
    QPointer<QWidget> Main_;  // guarded: the run must not touch a main window already gone
};
