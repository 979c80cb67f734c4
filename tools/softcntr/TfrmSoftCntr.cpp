#include "tools/softcntr/TfrmSoftCntr.h"
#include "ui_TfrmSoftCntr.h"

TfrmSoftCntr::TfrmSoftCntr(QWidget *parent) : QDialog(parent), ui(new Ui::TfrmSoftCntr)
{
    ui->setupUi(this);
}

TfrmSoftCntr::~TfrmSoftCntr()
{
    delete ui;
}
