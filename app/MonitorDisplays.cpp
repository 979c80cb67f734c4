#include "app/MonitorDisplays.h"

ValueBox::ValueBox(QWidget *parent) : QLabel(parent) {}

RowDisplay::RowDisplay(QWidget *parent) : QLineEdit(parent) {}
