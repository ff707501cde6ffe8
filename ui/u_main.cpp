#include "u_main.h"
#include "ui_u_main.h"

Tf_main::Tf_main(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::Tf_main>()) { ui->setupUi(this); }
Tf_main::~Tf_main() = default;
