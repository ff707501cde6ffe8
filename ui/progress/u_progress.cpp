#include "u_progress.h"

#include <QCoreApplication>

#include "ui_u_progress.h"

Tf_progress::Tf_progress(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::Tf_progress>()) {
    ui->setupUi(this);
    // Dialog border without resizing, kept above the (disabled) main window during a run.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(343, 140);
    setModal(false);
    connect(ui->TBXButton1, &QPushButton::clicked, this, &Tf_progress::TBXButton1Click);
}

Tf_progress::~Tf_progress() = default;

void Tf_progress::ShowCentred(const QWidget* over) {
    // The frame is known only once the window is shown: place it before, correct it after.
    auto centre = [this, over] {
        QRect frame = frameGeometry();
        frame.moveCenter(over->frameGeometry().center());
        if (frame.topLeft() != pos()) move(frame.topLeft());
    };
    if (over != nullptr) centre();
    show();
    if (over != nullptr) centre();
    raise();
}

void Tf_progress::SetProgressMax(int total) { ui->ProgressBar->setMaximum(total); }

void Tf_progress::WriteProgress(int iter, std::int64_t seconds, int total) {
    ui->ProgressBar->setValue(iter);
    // Plain decimal digits: QString::number ignores the locale's digit grouping.
    ui->TextIter->setText(QString::number(iter));
    ui->TextTime->setText(QString::number(seconds));
    ui->TextIterAll->setText(QString::number(total));
}

// Closing only hides the window; the object is reused by the next run.
void Tf_progress::TBXButton1Click() { close(); }

TProgressRunView::TProgressRunView(Tf_progress& progress, QWidget* mainWindow)
    : Progress_(progress), Main_(mainWindow) {}

void TProgressRunView::ShowProgress() { Progress_.ShowCentred(Main_.data()); }

void TProgressRunView::SetProgressMax(int total) { Progress_.SetProgressMax(total); }

bool TProgressRunView::ProgressVisible() { return Progress_.isVisible(); }

void TProgressRunView::WriteProgress(int iter, std::int64_t seconds, int total) {
    Progress_.WriteProgress(iter, seconds, total);
}

void TProgressRunView::ProcessEvents() { QCoreApplication::processEvents(); }

void TProgressRunView::CloseProgress() { Progress_.close(); }

void TProgressRunView::SetMainEnabled(bool enabled) {
    if (Main_) Main_->setEnabled(enabled);
}
