#include "u_progress.h"
#include "ui_u_progress.h"

Tf_progress::Tf_progress(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::Tf_progress>()) { ui->setupUi(this); }
Tf_progress::~Tf_progress() = default;
