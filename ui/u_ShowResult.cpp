#include "u_ShowResult.h"
#include "ui_u_ShowResult.h"

TF_ShowResult::TF_ShowResult(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TF_ShowResult>()) { ui->setupUi(this); }
TF_ShowResult::~TF_ShowResult() = default;
