#include "u_AddRoom.h"
#include "ui_u_AddRoom.h"

Tf_AddRoom::Tf_AddRoom(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::Tf_AddRoom>()) { ui->setupUi(this); }
Tf_AddRoom::~Tf_AddRoom() = default;
