#include "u_AddDoor.h"
#include "ui_u_AddDoor.h"

Tf_AddDoor::Tf_AddDoor(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::Tf_AddDoor>()) { ui->setupUi(this); }
Tf_AddDoor::~Tf_AddDoor() = default;
